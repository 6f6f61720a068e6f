// TGA codec: round trips of every depth it writes, hand-built files of every
// image type, packets across row ends, orientation, truncations and write
// failures.
#include "image/picture.h"
#include "image/picture_tga.h"
#include "raster_test_util.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<BYTE> TgaHeader(BYTE type, WORD w, WORD h, BYTE depth, BYTE descriptor = 0, WORD mapLength = 0)
{
    std::vector<BYTE> v(18, 0);
    v[1] = mapLength ? 1 : 0;
    v[2] = type;
    PutU16(v, 5, mapLength);
    v[7] = mapLength ? 24 : 0;
    PutU16(v, 12, w);
    PutU16(v, 14, h);
    v[16] = depth;
    v[17] = descriptor;
    return v;
}

TEST(TgaRoundTrip, EveryWrittenDepthAtOddWidths)
{
    for (DWORD w : { 1u, 3u, 17u, 64u }) {
        for (DWORD h : { 1u, 5u }) {
            CPicture grey(w, h, 8);
            FillRandom(grey, w + h);
            CPicture back;
            ASSERT_TRUE(DecodeVector(back, EncodeToBytes(grey, PIC_FORMAT_TGA), PIC_FORMAT_TGA));
            EXPECT_TRUE(SamePixels(grey, back)) << w << "x" << h;

            CPicture rgb(w, h, 24);
            FillRandom(rgb, w * h);
            ASSERT_TRUE(DecodeVector(back, EncodeToBytes(rgb, PIC_FORMAT_TGA), PIC_FORMAT_TGA));
            EXPECT_TRUE(SamePixels(rgb, back));
            EXPECT_FALSE(back.AlphaIsValid());

            rgb.AlphaCreate();
            for (LONG y = 0; y < LONG(h); ++y)
                for (LONG x = 0; x < LONG(w); ++x)
                    rgb.AlphaSet(x, y, BYTE(x * 31 + y * 7));
            std::vector<BYTE> bytes = EncodeToBytes(rgb, PIC_FORMAT_TGA);
            EXPECT_EQ(bytes[16], 32);
            EXPECT_EQ(bytes.size(), 18 + w * h * 4);
            ASSERT_TRUE(DecodeVector(back, bytes, PIC_FORMAT_TGA));
            EXPECT_TRUE(SamePixels(rgb, back));
            ASSERT_TRUE(back.AlphaIsValid());
            for (LONG y = 0; y < LONG(h); ++y)
                for (LONG x = 0; x < LONG(w); ++x)
                    EXPECT_EQ(back.AlphaGet(x, y), BYTE(x * 31 + y * 7));
        }
    }
}

TEST(TgaEncode, HeaderFieldsAndRefusals)
{
    CPicture grey(4, 2, 8);
    grey.SetGrayPalette();
    std::vector<BYTE> b = EncodeToBytes(grey, PIC_FORMAT_TGA);
    ASSERT_EQ(b.size(), 18u + 768 + 8);
    EXPECT_EQ(b[1], 1);
    EXPECT_EQ(b[2], 1);
    EXPECT_EQ(b[5] | (b[6] << 8), 256);
    EXPECT_EQ(b[7], 24);
    EXPECT_EQ(b[16], 8);
    EXPECT_EQ(b[18 + 3 * 200], 200) << "map entries are blue, green, red";

    CPicture alphaHalf(1, 1, 24);
    alphaHalf.AlphaCreate();
    alphaHalf.AlphaSet(0, 0, 200);
    alphaHalf.AlphaSetMax(128);
    b = EncodeToBytes(alphaHalf, PIC_FORMAT_TGA);
    ASSERT_EQ(b.size(), 22u);
    EXPECT_EQ(b[21], 200 * 128 / 255);

    for (DWORD bpp : { 1u, 4u }) {
        CPicture low(3, 3, bpp);
        EXPECT_TRUE(EncodeToBytes(low, PIC_FORMAT_TGA).empty());
        EXPECT_STREQ(low.GetLastError(), "Bit depth must be 8 or 24");
    }
}

TEST(TgaEncode, ReportsFailedWrites)
{
    for (DWORD bpp : { 8u, 24u }) {
        CPicture pic(5, 3, bpp);
        FillRandom(pic, 2);
        EXPECT_TRUE(FailsShortOfRoom(pic, PIC_FORMAT_TGA, "Error writing TGA data")) << bpp;
    }
}

TEST(TgaDecode, HeaderChecks)
{
    struct Case {
        std::vector<BYTE> header;
        const char* text;
    };
    Case cases[] = {
        { TgaHeader(4, 2, 2, 24), "Unknown TGA image type" },
        { TgaHeader(2, 2, 2, 12), "bad TGA header" },
        { TgaHeader(2, 2, 2, 0), "bad TGA header" },
        { TgaHeader(1, 2, 2, 8, 0, 300), "bad TGA header" },
        { TgaHeader(2, 0, 2, 24), "bad TGA header" },
        { TgaHeader(2, 2, 0, 24), "bad TGA header" },
        { std::vector<BYTE>(17, 0), "Not a TGA" },
    };
    for (const Case& c : cases) {
        std::vector<BYTE> file = c.header;
        if (file.size() == 18)
            file.resize(file.size() + 64, 0);
        CPicture pic;
        EXPECT_FALSE(DecodeVector(pic, file, PIC_FORMAT_TGA));
        EXPECT_STREQ(pic.GetLastError(), c.text);
    }
}

TEST(TgaDecode, SixteenBitPixelsAndGreyFiles)
{
    std::vector<BYTE> f = TgaHeader(2, 2, 1, 16);
    f.insert(f.end(), { 0xFF, 0x7F, 0x1F, 0x00 });
    CPicture pic;
    ASSERT_TRUE(DecodeVector(pic, f, PIC_FORMAT_TGA));
    EXPECT_EQ(pic.GetBpp(), 24);
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(248, 248, 248)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(1, 0), Rgb(0, 0, 248)));

    std::vector<BYTE> g = TgaHeader(3, 3, 1, 8);
    g.insert(g.end(), { 0, 128, 255 });
    ASSERT_TRUE(DecodeVector(pic, g, PIC_FORMAT_TGA));
    EXPECT_EQ(pic.GetBpp(), 8);
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(1, 0), Rgb(128, 128, 128)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(2, 0), Rgb(255, 255, 255)));

    // 16-bit grey is grey in the low byte, alpha in the high; plain and in packets.
    for (BYTE type : { 3, 11 }) {
        std::vector<BYTE> a = TgaHeader(type, 3, 1, 16);
        if (type == 3)
            a.insert(a.end(), { 10, 200, 90, 0, 255, 128 });
        else
            a.insert(a.end(), { 0, 10, 200, 129, 90, 0 }); // 1 raw pixel, a run of 2
        ASSERT_TRUE(DecodeVector(pic, a, PIC_FORMAT_TGA)) << pic.GetLastError();
        EXPECT_EQ(pic.GetBpp(), 8);
        ASSERT_TRUE(pic.AlphaIsValid());
        const BYTE grey[3] = { 10, 90, BYTE(type == 3 ? 255 : 90) }, alpha[3] = { 200, 0, BYTE(type == 3 ? 128 : 0) };
        for (LONG x = 0; x < 3; ++x) {
            EXPECT_TRUE(SameRgb(pic.GetPixelColor(x, 0), Rgb(grey[x], grey[x], grey[x]))) << int(type) << " " << x;
            EXPECT_EQ(pic.AlphaGet(x, 0), alpha[x]) << int(type) << " " << x;
        }
    }
}

TEST(TgaDecode, PacketsRunAcrossRowEnds)
{
    // 8 x 2 at 24 bits: 5 raw pixels, a run of 10 (3 end row 0, 7 start
    // row 1), then one raw pixel.
    std::vector<BYTE> f = TgaHeader(10, 8, 2, 24);
    f.push_back(4);
    for (BYTE i = 0; i < 5; ++i)
        f.insert(f.end(), { i, BYTE(i + 1), BYTE(i + 2) });
    f.insert(f.end(), { 128 + 9, 9, 8, 7 });
    f.insert(f.end(), { 0, 50, 60, 70 });
    CPicture pic;
    ASSERT_TRUE(DecodeVector(pic, f, PIC_FORMAT_TGA)) << pic.GetLastError();
    // The file's first row is the bottom row.
    for (LONG x = 0; x < 5; ++x)
        EXPECT_TRUE(SameRgb(pic.GetPixelColor(x, 0), Rgb(BYTE(x + 2), BYTE(x + 1), BYTE(x))));
    for (LONG x = 5; x < 8; ++x)
        EXPECT_TRUE(SameRgb(pic.GetPixelColor(x, 0), Rgb(7, 8, 9)));
    for (LONG x = 0; x < 7; ++x)
        EXPECT_TRUE(SameRgb(pic.GetPixelColor(x, 1), Rgb(7, 8, 9))) << x;
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(7, 1), Rgb(70, 60, 50)));

    // A raw packet of 4 across the end of a 3-wide 8-bit row.
    std::vector<BYTE> r = TgaHeader(11, 3, 2, 8);
    r.insert(r.end(), { 3, 10, 20, 30, 40, 129, 99 });
    ASSERT_TRUE(DecodeVector(pic, r, PIC_FORMAT_TGA)) << pic.GetLastError();
    const BYTE expect[2][3] = { { 10, 20, 30 }, { 40, 99, 99 } };
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 3; ++x)
            EXPECT_EQ(pic.GetPixelIndex(x, y), expect[y][x]);
}

TEST(TgaDecode, OrientationBitsCarryTheAlphaAlong)
{
    // 2 x 2 at 32 bits, top row first, then right to left as well.
    std::vector<BYTE> f = TgaHeader(2, 2, 2, 32, 0x20);
    f.insert(f.end(), { 1, 1, 1, 10, 2, 2, 2, 20, 3, 3, 3, 30, 4, 4, 4, 40 });
    CPicture pic;
    ASSERT_TRUE(DecodeVector(pic, f, PIC_FORMAT_TGA));
    EXPECT_EQ(pic.GetPixelColor(0, 1).rgbRed, 1);
    EXPECT_EQ(pic.AlphaGet(0, 1), 10);
    EXPECT_EQ(pic.GetPixelColor(1, 0).rgbRed, 4);
    EXPECT_EQ(pic.AlphaGet(1, 0), 40);

    f[17] = 0x30;
    ASSERT_TRUE(DecodeVector(pic, f, PIC_FORMAT_TGA));
    EXPECT_EQ(pic.GetPixelColor(1, 1).rgbRed, 1);
    EXPECT_EQ(pic.AlphaGet(1, 1), 10);
    EXPECT_EQ(pic.GetPixelColor(0, 0).rgbRed, 4);
    EXPECT_EQ(pic.AlphaGet(0, 0), 40);
}

TEST(TgaDecode, TruncatedFilesFailWithTheCorruptedText)
{
    CPicture rgb(7, 3, 24);
    FillRandom(rgb, 1);
    rgb.AlphaCreate();
    CPicture indexed(5, 4, 8);
    FillRandom(indexed, 2);
    std::vector<BYTE> rle = TgaHeader(10, 8, 2, 24);
    rle.insert(rle.end(), { 128 + 15, 1, 2, 3 });
    for (const std::vector<BYTE>& whole :
        { EncodeToBytes(rgb, PIC_FORMAT_TGA), EncodeToBytes(indexed, PIC_FORMAT_TGA), rle }) {
        CPicture full;
        ASSERT_TRUE(DecodeVector(full, whole, PIC_FORMAT_TGA));
        for (size_t len = 0; len < whole.size(); ++len) {
            CPicture pic(2, 2, 8);
            std::vector<BYTE> part(whole.begin(), whole.begin() + long(len));
            EXPECT_FALSE(DecodeVector(pic, part, PIC_FORMAT_TGA)) << len;
            EXPECT_STREQ(pic.GetLastError(), len < 18 ? "Not a TGA" : "corrupted TGA") << len;
            EXPECT_EQ(pic.GetWidth(), 2u);
        }
    }
}

} // namespace

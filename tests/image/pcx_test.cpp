// PCX codec: round trips of every layout it writes, known run-length bytes,
// hand-built headers, hostile counts, truncations and write failures.
#include "image/picture.h"
#include "image/picture_pcx.h"
#include "raster_test_util.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<BYTE> PcxHeader(int bits, int planes, WORD w, WORD h, WORD bytesPerLine)
{
    std::vector<BYTE> v(128, 0);
    v[0] = 10;
    v[1] = 5;
    v[2] = 1;
    v[3] = BYTE(bits);
    PutU16(v, 8, WORD(w - 1));
    PutU16(v, 10, WORD(h - 1));
    PutU16(v, 12, 72);
    PutU16(v, 14, 150);
    v[65] = BYTE(planes);
    PutU16(v, 66, bytesPerLine);
    return v;
}

std::vector<BYTE> DataAfterHeader(const std::vector<BYTE>& file, size_t trailer = 0)
{
    return std::vector<BYTE>(file.begin() + 128, file.end() - long(trailer));
}

TEST(PcxRoundTrip, EveryWrittenLayoutAtOddWidths)
{
    for (DWORD w : { 1u, 2u, 7u, 9u, 33u }) {
        for (DWORD bpp : { 4u, 8u, 24u }) {
            CPicture pic(w, 3, bpp);
            FillRandom(pic, w * bpp);
            CPicture back;
            ASSERT_TRUE(DecodeVector(back, EncodeToBytes(pic, PIC_FORMAT_PCX), PIC_FORMAT_PCX))
                << back.GetLastError();
            EXPECT_EQ(back.GetBpp(), bpp);
            if (bpp == 24)
                EXPECT_TRUE(SameColors(pic, back)) << w;
            else
                EXPECT_TRUE(SamePixels(pic, back)) << w << " at " << bpp;
        }
        CPicture rgba(w, 2, 24);
        FillRandom(rgba, w);
        rgba.AlphaCreate();
        for (LONG x = 0; x < LONG(w); ++x)
            rgba.AlphaSet(x, 1, BYTE(x * 17));
        CPicture back;
        ASSERT_TRUE(DecodeVector(back, EncodeToBytes(rgba, PIC_FORMAT_PCX), PIC_FORMAT_PCX));
        EXPECT_TRUE(SameColors(rgba, back));
        ASSERT_TRUE(back.AlphaIsValid());
        for (LONG x = 0; x < LONG(w); ++x) {
            EXPECT_EQ(back.AlphaGet(x, 1), BYTE(x * 17));
            EXPECT_EQ(back.AlphaGet(x, 0), 255);
        }
    }
}

TEST(PcxRoundTrip, MonochromeKeepsItsColoursWhicheverEntryIsWhite)
{
    for (bool whiteFirst : { false, true }) {
        CPicture pic(13, 4, 1);
        pic.SetPaletteColor(0, whiteFirst ? 255 : 0, whiteFirst ? 255 : 0, whiteFirst ? 255 : 0);
        pic.SetPaletteColor(1, whiteFirst ? 0 : 255, whiteFirst ? 0 : 255, whiteFirst ? 0 : 255);
        for (LONG y = 0; y < 4; ++y)
            for (LONG x = 0; x < 13; ++x)
                pic.SetPixelIndex(x, y, BYTE((x * y + x) % 3 == 0));
        CPicture back;
        ASSERT_TRUE(DecodeVector(back, EncodeToBytes(pic, PIC_FORMAT_PCX), PIC_FORMAT_PCX));
        EXPECT_TRUE(SameColors(pic, back));
        EXPECT_TRUE(SameRgb(back.GetPaletteColor(0), Rgb(0, 0, 0))) << "black is index 0";
    }
}

TEST(PcxEncode, KnownRunLengthBytes)
{
    // Odd width at 24 bits: bytes per line 4, one padding byte per plane line.
    CPicture rgb(3, 1, 24);
    for (LONG x = 0; x < 3; ++x)
        rgb.SetPixelColor(x, 0, Rgb(1, 2, 3));
    std::vector<BYTE> f = EncodeToBytes(rgb, PIC_FORMAT_PCX);
    ASSERT_GE(f.size(), 128u);
    EXPECT_EQ(f[3], 8);
    EXPECT_EQ(f[65], 3);
    EXPECT_EQ(f[66], 4);
    EXPECT_EQ(f[68], 1);
    std::vector<BYTE> data = { 0xC3, 1, 0, 0xC3, 2, 0, 0xC3, 3, 0 };
    EXPECT_EQ(DataAfterHeader(f), data);

    // A run of 100 is 63 + 37; a lone byte of 0xC0 or more needs a count.
    CPicture idx(102, 1, 8);
    idx.SetGrayPalette();
    for (LONG x = 0; x < 100; ++x)
        idx.SetPixelIndex(x, 0, 7);
    idx.SetPixelIndex(100, 0, 0xC8);
    idx.SetPixelIndex(101, 0, 5);
    f = EncodeToBytes(idx, PIC_FORMAT_PCX);
    data = { 0xFF, 7, 0xE5, 7, 0xC1, 0xC8, 5 };
    EXPECT_EQ(DataAfterHeader(f, 769), data);
    ASSERT_GE(f.size(), 769u);
    EXPECT_EQ(f[f.size() - 769], 12);
    EXPECT_EQ(f[f.size() - 3], 255) << "the last palette entry is white";
    EXPECT_EQ(f[12] | (f[13] << 8), 96) << "dpi go into the header";
}

TEST(PcxEncode, ReportsFailedWrites)
{
    CPicture pic(6, 2, 8);
    FillRandom(pic, 3);
    EXPECT_TRUE(FailsShortOfRoom(pic, PIC_FORMAT_PCX,
        [](size_t room) { return room < 128 ? "cannot write PCX header" : "Error writing PCX data"; }));
}

TEST(PcxDecode, HeaderChecks)
{
    struct Case {
        std::vector<BYTE> file;
        const char* text;
    };
    std::vector<BYTE> notPcx = PcxHeader(8, 1, 2, 2, 2);
    notPcx[0] = 11;
    std::vector<BYTE> encoding = PcxHeader(8, 1, 2, 2, 2);
    encoding[2] = 0;
    std::vector<BYTE> inverted = PcxHeader(8, 1, 2, 2, 2);
    PutU16(inverted, 4, 5);
    Case cases[] = {
        { notPcx, "Error: Not a PCX file" },
        { encoding, "PCX file has unknown encoding scheme" },
        { PcxHeader(8, 5, 2, 2, 2), "Can't handle image with more than 4 planes" },
        { PcxHeader(2, 2, 2, 2, 2), "PCX: unsupported bits per pixel and planes" },
        { PcxHeader(1, 3, 2, 2, 2), "PCX: unsupported bits per pixel and planes" },
        { PcxHeader(8, 1, 9, 2, 8), "PCX: bytes per line do not cover the width" },
        { PcxHeader(1, 1, 17, 2, 2), "PCX: bytes per line do not cover the width" },
        { inverted, "PCX: bad image size" },
        { std::vector<BYTE>(127, 10), "Can't read PCX image" },
    };
    for (Case& c : cases) {
        if (c.file.size() >= 128)
            c.file.resize(c.file.size() + 16, 0);
        CPicture pic;
        EXPECT_FALSE(DecodeVector(pic, c.file, PIC_FORMAT_PCX));
        EXPECT_STREQ(pic.GetLastError(), c.text);
    }
}

TEST(PcxDecode, HandBuiltLayouts)
{
    // 16 colours in four planes: pixel x takes bit p from plane p.
    std::vector<BYTE> ega = PcxHeader(1, 4, 4, 1, 2);
    for (int i = 0; i < 16; ++i) {
        ega[16 + i * 3] = BYTE(i * 16);
        ega[17 + i * 3] = BYTE(i);
    }
    ega.insert(ega.end(), { 0xA0, 0, 0x60, 0, 0xC2, 0, 0xC1, 0xF0, 0 });
    CPicture pic;
    ASSERT_TRUE(DecodeVector(pic, ega, PIC_FORMAT_PCX)) << pic.GetLastError();
    EXPECT_EQ(pic.GetBpp(), 4);
    EXPECT_EQ(pic.GetXDPI(), 72);
    EXPECT_EQ(pic.GetYDPI(), 150);
    const BYTE indices[4] = { 1 | 8, 2 | 8, 1 | 2 | 8, 8 };
    for (LONG x = 0; x < 4; ++x)
        EXPECT_EQ(pic.GetPixelIndex(x, 0), indices[x]) << x;
    EXPECT_TRUE(SameRgb(pic.GetPaletteColor(9), Rgb(144, 9, 0)));

    // CGA: 2 bits packed, four to a byte.
    std::vector<BYTE> cga = PcxHeader(2, 1, 4, 1, 2);
    cga.insert(cga.end(), { 0x1B, 0 });
    ASSERT_TRUE(DecodeVector(pic, cga, PIC_FORMAT_PCX));
    EXPECT_EQ(pic.GetBpp(), 4);
    for (LONG x = 0; x < 4; ++x)
        EXPECT_EQ(pic.GetPixelIndex(x, 0), BYTE(x));

    // Runs may cross line ends; the palette marker must be 12.
    std::vector<BYTE> idx = PcxHeader(8, 1, 2, 2, 2);
    idx.insert(idx.end(), { 0xC3, 9, 4, 12 });
    std::vector<BYTE> pal(768, 0);
    pal[9 * 3] = 90;
    pal[4 * 3 + 2] = 40;
    idx.insert(idx.end(), pal.begin(), pal.end());
    ASSERT_TRUE(DecodeVector(pic, idx, PIC_FORMAT_PCX)) << pic.GetLastError();
    EXPECT_EQ(pic.GetPixelIndex(0, 1), 9);
    EXPECT_EQ(pic.GetPixelIndex(1, 1), 9);
    EXPECT_EQ(pic.GetPixelIndex(0, 0), 9);
    EXPECT_EQ(pic.GetPixelIndex(1, 0), 4);
    EXPECT_TRUE(SameRgb(pic.GetPaletteColor(4), Rgb(0, 0, 40)));
    idx[128 + 3] = 13;
    EXPECT_FALSE(DecodeVector(pic, idx, PIC_FORMAT_PCX));
    EXPECT_STREQ(pic.GetLastError(), "bad color map signature");

    std::vector<BYTE> spans = PcxHeader(8, 1, 2, 2, 2);
    spans.insert(spans.end(), { 1, 2, 0xC5, 7, 12 });
    spans.resize(spans.size() + 768, 0);
    EXPECT_FALSE(DecodeVector(pic, spans, PIC_FORMAT_PCX));
    EXPECT_STREQ(pic.GetLastError(), "repeat count spans end of image");
}

// Reaches the protected row unpackers.
struct CPcxProbe : CPicturePCX {
    using CPicturePCX::PlanesToPixels;
    using CPicturePCX::UnpackPixels;
};

TEST(PcxDecode, RowUnpackersRefuseLayoutsTheyCannotHandle)
{
    const BYTE line[8] = { 0xA0, 0x0F, 0xC0, 0x01, 0x80, 0x00, 0xFF, 0x00 };
    const struct {
        bool planar;
        int planes, bits;
        const char* text; // null: accepted
    } cases[] = {
        { true, 5, 1, "Can't handle more than 4 planes" },
        { true, 4, 2, "Can't handle more than 1 bit per pixel" },
        { false, 2, 8, "Can't handle packed pixels with more than 1 plane." },
        { true, 4, 1, nullptr },
        { false, 1, 2, nullptr },
    };
    for (const auto& c : cases) {
        CPcxProbe probe;
        BYTE pixels[2 * 8 + 8] = {};
        const bool ok = c.planar ? probe.PlanesToPixels(pixels, line, 2, c.planes, c.bits)
                                 : probe.UnpackPixels(pixels, line, 2, c.planes, c.bits);
        EXPECT_EQ(ok, c.text == nullptr) << c.planes << " " << c.bits;
        if (c.text)
            EXPECT_STREQ(probe.GetLastError(), c.text);
    }
    // Four planes of two bytes: pixel k takes bit p from plane p.
    CPcxProbe probe;
    BYTE pixels[16];
    ASSERT_TRUE(probe.PlanesToPixels(pixels, line, 2, 4, 1));
    const BYTE planar[16] = { 15, 10, 9, 8, 8, 8, 8, 8, 0, 0, 0, 0, 1, 1, 1, 3 };
    EXPECT_EQ(std::vector<BYTE>(pixels, pixels + 16), std::vector<BYTE>(planar, planar + 16));
    ASSERT_TRUE(probe.UnpackPixels(pixels, line, 2, 1, 2));
    const BYTE packed[8] = { 2, 2, 0, 0, 0, 0, 3, 3 };
    EXPECT_EQ(std::vector<BYTE>(pixels, pixels + 8), std::vector<BYTE>(packed, packed + 8));
}

TEST(PcxDecode, SizeClaimsBeyondTheDataFailBeforeAllocating)
{
    std::vector<BYTE> f = PcxHeader(8, 4, 65535, 65535, 65535);
    f.insert(f.end(), { 0xFF, 0 });
    CPicture pic;
    EXPECT_FALSE(DecodeVector(pic, f, PIC_FORMAT_PCX));
    EXPECT_STREQ(pic.GetLastError(), "corrupted PCX");
}

TEST(PcxDecode, TruncatedAtEveryLengthFailsCleanly)
{
    for (DWORD bpp : { 1u, 4u, 8u, 24u }) {
        CPicture pic(11, 5, bpp);
        FillRandom(pic, bpp);
        std::vector<BYTE> whole = EncodeToBytes(pic, PIC_FORMAT_PCX);
        for (size_t len = 0; len < whole.size(); ++len) {
            CPicture got(1, 1, 1);
            std::vector<BYTE> part(whole.begin(), whole.begin() + long(len));
            EXPECT_FALSE(DecodeVector(got, part, PIC_FORMAT_PCX)) << bpp << " " << len;
            EXPECT_STRNE(got.GetLastError(), "");
            EXPECT_EQ(got.GetWidth(), 1u);
        }
    }
}

} // namespace

// WBMP codec: round trips at every size it writes with either palette order,
// known bytes, multi-byte sizes and the checks that keep other data out.
#include "image/picture.h"
#include "image/picture_wbmp.h"
#include "raster_test_util.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(WbmpRoundTrip, EverySizeToTwoHundredFiftyFive)
{
    std::mt19937 rng(3);
    for (DWORD w = 1; w <= 255; ++w) {
        DWORD h = (w * 37) % 255 + 1;
        CPicture pic(w, h, 1);
        bool whiteFirst = w % 2 == 0;
        pic.SetPaletteColor(0, whiteFirst ? 255 : 0, whiteFirst ? 255 : 0, whiteFirst ? 255 : 0);
        pic.SetPaletteColor(1, whiteFirst ? 0 : 255, whiteFirst ? 0 : 255, whiteFirst ? 0 : 255);
        for (DWORD y = 0; y < h; ++y)
            for (DWORD i = 0; i < pic.GetEffWidth(); ++i)
                pic.GetBits(y)[i] = BYTE(rng());
        CPicture back;
        ASSERT_TRUE(DecodeVector(back, EncodeToBytes(pic, PIC_FORMAT_WBMP), PIC_FORMAT_WBMP))
            << w << ": " << back.GetLastError();
        ASSERT_TRUE(SameColors(pic, back)) << w << "x" << h;
    }
}

TEST(WbmpEncode, KnownBytesAndRefusals)
{
    CPicture pic(9, 2, 1);
    pic.SetGrayPalette();
    pic.Clear(0);
    pic.SetPixelIndex(0, 1, 1);
    pic.SetPixelIndex(8, 0, 1);
    std::vector<BYTE> expected = { 0, 0, 9, 2, 0x80, 0x00, 0x00, 0x80 };
    EXPECT_EQ(EncodeToBytes(pic, PIC_FORMAT_WBMP), expected);

    // Entry 0 white: written turned over, so white pixels are set bits.
    pic.SetPaletteColor(0, 255, 255, 255);
    pic.SetPaletteColor(1, 0, 0, 0);
    expected = { 0, 0, 9, 2, 0x7F, 0x80, 0xFF, 0x00 };
    EXPECT_EQ(EncodeToBytes(pic, PIC_FORMAT_WBMP), expected);

    CPicture wide(200, 1, 1);
    wide.SetGrayPalette();
    std::vector<BYTE> w = EncodeToBytes(wide, PIC_FORMAT_WBMP);
    ASSERT_GE(w.size(), 5u);
    EXPECT_EQ(w[2], 0x81);
    EXPECT_EQ(w[3], 0x48);
    EXPECT_EQ(w[4], 1);

    for (DWORD bpp : { 4u, 8u }) {
        CPicture deep(4, 4, bpp);
        EXPECT_TRUE(EncodeToBytes(deep, PIC_FORMAT_WBMP).empty());
        EXPECT_STREQ(deep.GetLastError(), "Can't save this image as WBMP");
    }
    CPicture tooWide(256, 1, 1);
    EXPECT_TRUE(EncodeToBytes(tooWide, PIC_FORMAT_WBMP).empty());
    EXPECT_STREQ(tooWide.GetLastError(), "Can't save this image as WBMP");

    EXPECT_TRUE(FailsShortOfRoom(pic, PIC_FORMAT_WBMP, "Error writing WBMP data"));
}

TEST(WbmpDecode, HeaderChecks)
{
    CPicture pic;
    ASSERT_TRUE(DecodeVector(pic, { 0, 0, 8, 1, 0xFF }, PIC_FORMAT_WBMP));
    EXPECT_EQ(pic.GetWidth(), 8u);
    EXPECT_EQ(pic.GetBpp(), 1);
    for (LONG x = 0; x < 8; ++x)
        EXPECT_EQ(pic.GetPixelIndex(x, 0), 1);
    EXPECT_TRUE(SameRgb(pic.GetPaletteColor(1), Rgb(255, 255, 255)));

    std::vector<BYTE> wide = { 0, 0, 0x81, 0x00, 2 };
    wide.resize(wide.size() + 2 * 16, 0xF0);
    ASSERT_TRUE(DecodeVector(pic, wide, PIC_FORMAT_WBMP)) << "multi-byte width 128";
    EXPECT_EQ(pic.GetWidth(), 128u);
    EXPECT_EQ(pic.GetPixelIndex(3, 0), 1);
    EXPECT_EQ(pic.GetPixelIndex(4, 0), 0);
    struct Case {
        std::vector<BYTE> bytes;
        const char* text;
    };
    Case cases[] = {
        { { 0 }, "Not a WBMP" },
        { { 1, 0, 8, 1, 0xFF }, "Unsupported WBMP type" },
        { { 0, 1, 8, 1, 0xFF }, "Corrupted WBMP" },
        { { 0, 0, 0, 1, 0xFF }, "Corrupted WBMP" },
        { { 0, 0, 8, 0, 0xFF }, "Corrupted WBMP" },
        { { 0, 0, 8, 2, 0xFF }, "Corrupted WBMP" },
        { { 0, 0, 0x84, 0x80, 0x80, 0x01, 1 }, "Corrupted WBMP" },
        { { 0, 0, 0x8F, 0xFF, 0x7F, 1, 0 }, "Corrupted WBMP" },
    };
    for (const Case& c : cases) {
        CPicture got(2, 2, 1);
        EXPECT_FALSE(DecodeVector(got, c.bytes, PIC_FORMAT_WBMP)) << c.text;
        EXPECT_STREQ(got.GetLastError(), c.text);
        EXPECT_EQ(got.GetWidth(), 2u);
    }
}

TEST(WbmpDecode, RandomDataIsNotTakenForAPicture)
{
    std::mt19937 rng(11);
    int taken = 0;
    for (int round = 0; round < 2000; ++round) {
        std::vector<BYTE> junk(64 + rng() % 200);
        for (BYTE& b : junk)
            b = BYTE(rng());
        junk[0] = 0;
        CPicture pic;
        taken += DecodeVector(pic, junk, PIC_FORMAT_WBMP);
    }
    // Only a zero fixed byte and sizes the bytes can fill get through.
    EXPECT_LT(taken, 20);
}

} // namespace

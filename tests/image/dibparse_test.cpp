// The packed-DIB reader: every header size, bit fields, palette counts,
// run-length rows and the blocks it must refuse.
#include "image/dibparse.h"
#include "image/picture.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<BYTE> InfoHeader(DWORD size, LONG w, LONG h, WORD bpp, DWORD compression = 0, DWORD colors = 0)
{
    std::vector<BYTE> v(size, 0);
    PutU32(v, 0, size);
    PutU32(v, 4, DWORD(w));
    PutU32(v, 8, DWORD(h));
    PutU16(v, 12, 1);
    PutU16(v, 14, bpp);
    PutU32(v, 16, compression);
    PutU32(v, 24, 3937); // 100 DPI
    PutU32(v, 28, 0);
    PutU32(v, 32, colors);
    return v;
}

void Append(std::vector<BYTE>& v, std::initializer_list<int> bytes)
{
    for (int b : bytes)
        v.push_back(BYTE(b));
}

void AppendU32(std::vector<BYTE>& v, DWORD value)
{
    v.resize(v.size() + 4);
    PutU32(v, v.size() - 4, value);
}

} // namespace

TEST(PackedDib, ShortPaletteCountPlacesThePixelsAfterIt)
{
    // Three palette entries for an 8-bit picture: the pixels start after 12
    // bytes of palette, not after 256 entries.
    auto v = InfoHeader(40, 3, 2, 8, 0, 3);
    Append(v, { 0, 0, 255, 9, 0, 255, 0, 9, 255, 0, 0, 9 });
    Append(v, { 0, 1, 2, 0, 2, 1, 0, 0 });
    CPicture pic;
    ASSERT_TRUE(PicReadPackedDib(pic, v.data(), v.size())) << pic.GetLastError();
    ASSERT_EQ(pic.GetBpp(), 8);
    EXPECT_EQ(pic.GetNumColors(), 256u);
    EXPECT_TRUE(SameRgb(pic.GetPaletteColor(0), Rgb(255, 0, 0)));
    EXPECT_EQ(pic.GetPaletteColor(0).rgbReserved, 0);
    EXPECT_EQ(pic.GetPixelIndex(2, 0), 2);
    EXPECT_EQ(pic.GetPixelIndex(0, 1), 2);
    EXPECT_EQ(pic.GetXDPI(), 100);
    EXPECT_EQ(pic.GetYDPI(), 96);
}

TEST(PackedDib, CoreHeaderHasThreeBytePaletteEntries)
{
    std::vector<BYTE> v(12, 0);
    PutU32(v, 0, 12);
    PutU16(v, 4, 9);
    PutU16(v, 6, 2);
    PutU16(v, 8, 1);
    PutU16(v, 10, 1);
    Append(v, { 10, 20, 30, 40, 50, 60 });
    Append(v, { 0xAA, 0x80, 0, 0, 0x55, 0x00, 0, 0 });
    CPicture pic;
    ASSERT_TRUE(PicReadPackedDib(pic, v.data(), v.size())) << pic.GetLastError();
    EXPECT_EQ(pic.GetWidth(), 9u);
    EXPECT_TRUE(SameRgb(pic.GetPaletteColor(1), Rgb(60, 50, 40)));
    EXPECT_EQ(pic.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(pic.GetPixelIndex(1, 0), 0);
    EXPECT_EQ(pic.GetPixelIndex(8, 0), 1);
    EXPECT_EQ(pic.GetPixelIndex(1, 1), 1);
}

TEST(PackedDib, BitFieldsAfterAnInfoHeaderAndInsideLaterHeaders)
{
    // 16-bit 5-6-5 with the masks after a 40-byte header.
    auto a = InfoHeader(40, 2, 1, 16, BI_BITFIELDS);
    AppendU32(a, 0xF800);
    AppendU32(a, 0x07E0);
    AppendU32(a, 0x001F);
    Append(a, { 0x00, 0xF8, 0xE0, 0x07 });
    CPicture pic;
    ASSERT_TRUE(PicReadPackedDib(pic, a.data(), a.size())) << pic.GetLastError();
    EXPECT_EQ(pic.GetBpp(), 24);
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(255, 0, 0)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(1, 0), Rgb(0, 255, 0)));

    // 32-bit, masks inside a 108- and a 124-byte header, rows top-down.
    for (DWORD size : { 108u, 124u }) {
        auto b = InfoHeader(size, 1, -2, 32, BI_BITFIELDS);
        PutU32(b, 40, 0x000000FF); // red in the low byte
        PutU32(b, 44, 0x0000FF00);
        PutU32(b, 48, 0x00FF0000);
        Append(b, { 1, 2, 3, 0, 4, 5, 6, 0 });
        ASSERT_TRUE(PicReadPackedDib(pic, b.data(), b.size())) << size;
        EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 1), Rgb(1, 2, 3))); // first row in the block is the top
        EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(4, 5, 6)));
    }

    // 16 bits without masks are 5-5-5.
    auto c = InfoHeader(40, 1, 1, 16);
    Append(c, { 0x00, 0x7C, 0, 0 });
    ASSERT_TRUE(PicReadPackedDib(pic, c.data(), c.size()));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(255, 0, 0)));
}

TEST(PackedDib, RunLengthRowsWithDeltaAndAbsoluteRuns)
{
    auto v = InfoHeader(40, 4, 2, 8, BI_RLE8);
    for (int i = 0; i < 256; ++i)
        Append(v, { i, i, i, 0 });
    Append(v, { 3, 7, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1 });
    CPicture pic;
    ASSERT_TRUE(PicReadPackedDib(pic, v.data(), v.size())) << pic.GetLastError();
    EXPECT_EQ(pic.GetPixelIndex(0, 0), 7);
    EXPECT_EQ(pic.GetPixelIndex(2, 0), 7);
    EXPECT_EQ(pic.GetPixelIndex(3, 0), 0);
    EXPECT_EQ(pic.GetPixelIndex(0, 1), 1);
    EXPECT_EQ(pic.GetPixelIndex(2, 1), 3);

    auto r4 = InfoHeader(40, 8, 3, 4, BI_RLE4);
    for (int i = 0; i < 16; ++i)
        Append(r4, { i * 16, i * 16, i * 16, 0 });
    // Five pixels 1 2 1 2 1, delta (1, 1), absolute 3 4 5, end.
    Append(r4, { 5, 0x12, 0, 2, 1, 1, 0, 3, 0x34, 0x50, 0, 1 });
    ASSERT_TRUE(PicReadPackedDib(pic, r4.data(), r4.size())) << pic.GetLastError();
    EXPECT_EQ(pic.GetPixelIndex(4, 0), 1);
    EXPECT_EQ(pic.GetPixelIndex(3, 0), 2);
    EXPECT_EQ(pic.GetPixelIndex(6, 1), 3);
    EXPECT_EQ(pic.GetPixelIndex(8 - 1, 1), 4);
}

TEST(PackedDib, RefusesBlocksThatDoNotHoldWhatTheyName)
{
    CPicture pic(4, 4, 24);
    auto refused = [&](const std::vector<BYTE>& v, const char* why) {
        bool ok = PicReadPackedDib(pic, v.data(), v.size());
        EXPECT_FALSE(ok) << why;
        EXPECT_FALSE(pic.IsValid()) << why;
        EXPECT_STRNE(pic.GetLastError(), "") << why;
    };
    refused({}, "empty");
    refused(InfoHeader(40, 2, 2, 24), "no pixels");
    refused(InfoHeader(41, 2, 2, 24), "odd header size");
    refused(InfoHeader(40, 0, 2, 24), "zero width");
    refused(InfoHeader(40, 2, INT32_MIN, 24), "most negative height");
    refused(InfoHeader(40, 2, 2, 7), "bit count");
    auto hugePalette = InfoHeader(40, 2, 2, 8, 0, 0xFFFFFFFFu);
    hugePalette.resize(hugePalette.size() + 64);
    refused(hugePalette, "palette count beyond the block");
    auto wide = InfoHeader(40, 0x7FFFFFFF, 0x7FFFFFFF, 32);
    wide.resize(wide.size() + 64);
    refused(wide, "rows beyond the block");
    auto jpeg = InfoHeader(40, 2, 2, 24, 4);
    jpeg.resize(jpeg.size() + 64);
    EXPECT_FALSE(PicReadPackedDib(pic, jpeg.data(), jpeg.size()));
    EXPECT_STREQ(pic.GetLastError(), "unknown compression");
    auto rle24 = InfoHeader(40, 2, 2, 4, BI_RLE8);
    rle24.resize(rle24.size() + 128);
    EXPECT_FALSE(PicReadPackedDib(pic, rle24.data(), rle24.size()));
    EXPECT_STREQ(pic.GetLastError(), "compression type not supported");
}

TEST(PackedDib, OwnBlockReadsBackUnchanged)
{
    for (DWORD bpp : { 1u, 4u, 8u, 24u }) {
        CPicture pic(13, 7, bpp);
        FillRandom(pic, bpp);
        CPicture back;
        ASSERT_TRUE(PicReadPackedDib(back, pic.GetDIB(), pic.GetSize()));
        EXPECT_TRUE(SamePixels(back, pic));
    }
}

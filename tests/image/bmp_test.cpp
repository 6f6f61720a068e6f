// BMP codec: round trips, hand-built files of every layout, RLE streams,
// truncations and write failures.
#include "image/picture.h"
#include "image/picture_bmp.h"
#include "image_test_util.h"
#include "raster_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

struct BmpLayout {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bpp = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t clrUsed = 0;
    std::vector<BYTE> masks; // stored right after the header
    std::vector<BYTE> palette; // raw entries
    std::vector<BYTE> pixels;
    bool fileHeader = true;
};

std::vector<BYTE> BuildBmp(const BmpLayout& s)
{
    std::vector<BYTE> out;
    size_t offBits = 14 + s.headerSize + s.masks.size() + s.palette.size();
    if (s.fileHeader) {
        out.resize(14);
        out[0] = 'B';
        out[1] = 'M';
        PutU32(out, 2, uint32_t(offBits + s.pixels.size()));
        PutU32(out, 10, uint32_t(offBits));
    }
    size_t h = out.size();
    out.resize(h + s.headerSize, 0);
    PutU32(out, h, s.headerSize);
    if (s.headerSize < 40 && s.headerSize != 12) {
        // only the size field: a header of no known layout
    } else if (s.headerSize == 12) {
        PutU16(out, h + 4, unsigned(s.width));
        PutU16(out, h + 6, unsigned(s.height));
        PutU16(out, h + 8, 1);
        PutU16(out, h + 10, s.bpp);
    } else {
        PutU32(out, h + 4, uint32_t(s.width));
        PutU32(out, h + 8, uint32_t(s.height));
        PutU16(out, h + 12, 1);
        PutU16(out, h + 14, s.bpp);
        PutU32(out, h + 16, s.compression);
        PutU32(out, h + 20, s.sizeImage);
        PutU32(out, h + 24, 2835);
        PutU32(out, h + 28, 2835);
        PutU32(out, h + 32, s.clrUsed);
    }
    out.insert(out.end(), s.masks.begin(), s.masks.end());
    out.insert(out.end(), s.palette.begin(), s.palette.end());
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    return out;
}

bool DecodeBytes(CPicture& pic, const std::vector<BYTE>& bytes, DWORD type = PIC_FORMAT_BMP)
{
    return DecodeVector(pic, bytes, type);
}

// An RLE file (8-bit: compression 1, 4-bit: 2) of the given size with a grey palette.
BmpLayout Rle(uint16_t bpp, int32_t w, int32_t h, std::vector<BYTE> stream)
{
    BmpLayout s;
    s.width = w, s.height = h, s.bpp = bpp, s.compression = bpp == 8 ? 1 : 2, s.clrUsed = 1u << bpp;
    for (uint32_t i = 0; i < s.clrUsed; ++i)
        s.palette.insert(s.palette.end(), { BYTE(i), BYTE(i), BYTE(i), 0 });
    s.pixels = std::move(stream);
    return s;
}

BmpLayout Rle8(int32_t w, int32_t h, std::vector<BYTE> stream) { return Rle(8, w, h, std::move(stream)); }

BmpLayout Rle4(int32_t w, int32_t h, std::vector<BYTE> stream) { return Rle(4, w, h, std::move(stream)); }

std::vector<int> Row(const CPicture& pic, LONG y)
{
    std::vector<int> r;
    for (LONG x = 0; x < LONG(pic.GetWidth()); ++x)
        r.push_back(pic.GetPixelIndex(x, y));
    return r;
}

TEST(BmpRoundTrip, EveryDepthAndOddWidths)
{
    for (DWORD bpp : { 1u, 4u, 8u, 24u }) {
        for (DWORD w = 1; w <= 70; w += (w < 12 ? 1 : 9)) {
            DWORD h = 1 + w % 5;
            CPicture pic(w, h, bpp);
            FillRandom(pic, w * 7 + bpp);
            pic.SetXDPI(300);
            std::vector<BYTE> bytes = EncodeToBytes(pic, PIC_FORMAT_BMP);
            ASSERT_EQ(bytes.size(), 14 + pic.GetSize());
            CPicture back;
            ASSERT_TRUE(DecodeBytes(back, bytes)) << back.GetLastError();
            ASSERT_TRUE(SamePixels(pic, back)) << bpp << " bpp, " << w << " wide";
            EXPECT_EQ(back.GetType(), DWORD(PIC_FORMAT_BMP));
            EXPECT_EQ(back.GetXDPI(), 300);
            CPicture probed;
            ASSERT_TRUE(DecodeBytes(probed, bytes, 0));
            ASSERT_TRUE(SamePixels(pic, probed));
        }
    }
}

TEST(BmpEncode, HeaderFieldsAndZeroPadding)
{
    CPicture pic(2, 2, 24);
    std::vector<BYTE> bytes = EncodeToBytes(pic, PIC_FORMAT_BMP);
    ASSERT_EQ(bytes.size(), 70u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(GetU32(bytes, 2), 70u);
    EXPECT_EQ(GetU32(bytes, 10), 54u);
    EXPECT_EQ(GetU32(bytes, 14), 40u);

    CPicture mono(3, 1, 1);
    bytes = EncodeToBytes(mono, PIC_FORMAT_BMP);
    EXPECT_EQ(GetU32(bytes, 10), 14u + 40 + 8);

    // Whatever the buffer holds past the pixels, the file gets zeros.
    CPicture dirty(3, 2, 24);
    dirty.Clear(0xFF);
    bytes = EncodeToBytes(dirty, PIC_FORMAT_BMP);
    for (size_t row = 0; row < 2; ++row)
        for (size_t k = 9; k < 12; ++k)
            EXPECT_EQ(bytes[54 + row * 12 + k], 0) << row << " " << k;
    CPicture bits(3, 1, 1);
    bits.Clear(1);
    bytes = EncodeToBytes(bits, PIC_FORMAT_BMP);
    EXPECT_EQ(bytes[62], 0xE0);
    EXPECT_EQ(bytes[63], 0);
}

TEST(BmpEncode, ReportsEveryFailedWrite)
{
    CPicture pic(5, 3, 4);
    FillRandom(pic, 1);
    EXPECT_EQ(EncodeToBytes(pic, PIC_FORMAT_BMP).size(), 14 + pic.GetSize());
    EXPECT_TRUE(FailsShortOfRoom(pic, PIC_FORMAT_BMP, "Error writing BMP data"));
}

TEST(BmpDecode, CoreHeaderWithThreeByteEntries)
{
    BmpLayout s;
    s.headerSize = 12, s.width = 2, s.height = 1, s.bpp = 8;
    for (int i = 0; i < 256; ++i)
        s.palette.insert(s.palette.end(), { BYTE(i), BYTE(255 - i), 7 });
    s.pixels = { 3, 200, 0, 0 };
    CPicture pic;
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(s))) << pic.GetLastError();
    EXPECT_EQ(pic.GetNumColors(), 256u);
    RGBQUAD e = pic.GetPaletteColor(200);
    EXPECT_EQ(e.rgbBlue, 200);
    EXPECT_EQ(e.rgbGreen, 55);
    EXPECT_EQ(e.rgbRed, 7);
    EXPECT_EQ(e.rgbReserved, 0);
    EXPECT_EQ(pic.GetPixelIndex(1, 0), 200);

    // A whole core file shorter than a 40-byte header.
    BmpLayout tiny;
    tiny.headerSize = 12, tiny.bpp = 1;
    tiny.palette = { 0, 0, 0, 255, 255, 255 };
    tiny.pixels = { 0x80, 0, 0, 0 };
    std::vector<BYTE> bytes = BuildBmp(tiny);
    ASSERT_LT(bytes.size(), 40u);
    ASSERT_TRUE(DecodeBytes(pic, bytes)) << pic.GetLastError();
    EXPECT_EQ(pic.GetPixelIndex(0, 0), 1);
}

TEST(BmpDecode, TopDownAndHeightLimits)
{
    BmpLayout s;
    s.width = 1, s.height = -3, s.bpp = 8, s.clrUsed = 256;
    s.palette.assign(1024, 0);
    s.pixels = { 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0 };
    CPicture pic;
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(s)));
    EXPECT_EQ(pic.GetHeight(), 3u);
    EXPECT_EQ(pic.GetPixelIndex(0, 2), 1) << "first file row shown at the top";
    EXPECT_EQ(pic.GetPixelIndex(0, 0), 3);

    s.height = INT_MIN;
    EXPECT_FALSE(DecodeBytes(pic, BuildBmp(s)));
    EXPECT_STREQ(pic.GetLastError(), "Invalid BMP dimensions");
    EXPECT_TRUE(pic.IsValid()) << "a failed decode keeps the old picture";
    s.height = 0;
    EXPECT_FALSE(DecodeBytes(pic, BuildBmp(s)));
    s.height = 1, s.width = -1;
    EXPECT_FALSE(DecodeBytes(pic, BuildBmp(s)));
}

TEST(BmpDecode, SixteenBitFields)
{
    BmpLayout s;
    s.width = 3, s.height = 1, s.bpp = 16;
    s.pixels = { 0xFF, 0x7F, 0x1F, 0x00, 0x00, 0x7C, 0, 0 }; // white, blue, red in 5-5-5
    CPicture pic;
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(s)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(255, 255, 255)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(1, 0), Rgb(0, 0, 255)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(2, 0), Rgb(255, 0, 0)));

    s.compression = 3;
    s.masks.assign(12, 0);
    PutU32(s.masks, 0, 0xF800);
    PutU32(s.masks, 4, 0x07E0);
    PutU32(s.masks, 8, 0x001F);
    s.pixels = { 0x00, 0xF8, 0xE0, 0x07, 0x10, 0x84, 0, 0 }; // red, green, 0x8410 = mid grey
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(s))) << pic.GetLastError();
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(255, 0, 0)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(1, 0), Rgb(0, 255, 0)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(2, 0), Rgb(132, 130, 132)));
}

TEST(BmpDecode, ThirtyTwoBitPlainAndMasked)
{
    BmpLayout s;
    s.width = 2, s.height = 1, s.bpp = 32;
    s.pixels = { 1, 2, 3, 4, 5, 6, 7, 8 };
    CPicture pic;
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(s)));
    EXPECT_EQ(pic.GetBpp(), 24);
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(1, 0), Rgb(7, 6, 5)));

    // Masks in the top three bytes, and a red mask of all 32 bits.
    s.compression = 3;
    s.masks.assign(12, 0);
    PutU32(s.masks, 0, 0xFF000000u);
    PutU32(s.masks, 4, 0x00FF0000u);
    PutU32(s.masks, 8, 0x0000FF00u);
    s.pixels = { 0x00, 0x33, 0x22, 0x11, 0, 0, 0, 0 };
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(s))) << pic.GetLastError();
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(0x11, 0x22, 0x33)));

    PutU32(s.masks, 0, 0xFFFFFFFFu);
    PutU32(s.masks, 4, 0);
    PutU32(s.masks, 8, 0);
    s.pixels = { 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80 };
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(s)));
    EXPECT_EQ(pic.GetPixelColor(0, 0).rgbRed, 255);
    EXPECT_EQ(pic.GetPixelColor(1, 0).rgbRed, 128);
}

TEST(BmpDecode, HeaderSizesAndBareDib)
{
    BmpLayout s;
    s.width = 1, s.height = 1, s.bpp = 24, s.pixels = { 9, 8, 7, 0 };
    CPicture pic;
    for (uint32_t size : { 64u, 108u, 124u }) {
        s.headerSize = size;
        s.sizeImage = size == 64 ? 0 : 4;
        ASSERT_TRUE(DecodeBytes(pic, BuildBmp(s))) << size << ": " << pic.GetLastError();
        EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(7, 8, 9)));
    }
    s.headerSize = 124, s.sizeImage = 4, s.compression = 3;
    EXPECT_FALSE(DecodeBytes(pic, BuildBmp(s))) << "newer headers only uncompressed";
    EXPECT_STREQ(pic.GetLastError(), "Error reading BMP info");
    s.headerSize = 20, s.compression = 0;
    EXPECT_FALSE(DecodeBytes(pic, BuildBmp(s)));

    s.headerSize = 40, s.fileHeader = false;
    CPicture bare;
    ASSERT_TRUE(DecodeBytes(bare, BuildBmp(s))) << bare.GetLastError();
    EXPECT_TRUE(SameRgb(bare.GetPixelColor(0, 0), Rgb(7, 8, 9)));

    // A bare 8-bit DIB with a short colour table: pixels follow it directly.
    BmpLayout pal;
    pal.fileHeader = false, pal.bpp = 8, pal.width = 2, pal.clrUsed = 2;
    pal.palette = { 0, 0, 0, 0, 50, 60, 70, 0 };
    pal.pixels = { 1, 0, 0, 0 };
    ASSERT_TRUE(DecodeBytes(bare, BuildBmp(pal)));
    EXPECT_TRUE(SameRgb(bare.GetPixelColor(0, 0), Rgb(70, 60, 50)));
}

TEST(BmpDecode, ReadInfoHeaderNormalisesEverySize)
{
    // A header, then one marker byte that tells where the reader stopped.
    const struct {
        uint32_t size;
        uint32_t sizeImage;
        bool ok;
        DWORD expectImage, expectColours;
    } cases[] = {
        { 12, 0, true, 4 * 3, 256 }, // core: 3 x 3 at 8 bits, rows of 4 bytes
        { 40, 0, true, 4 * 3, 256 },
        { 40, 99, true, 99, 256 },
        { 64, 0, true, 4 * 3, 256 },
        { 30, 0, false, 0, 0 },
    };
    for (const auto& c : cases) {
        BmpLayout l;
        l.headerSize = c.size, l.width = 3, l.height = 3, l.bpp = 8, l.sizeImage = c.sizeImage, l.fileHeader = false;
        l.pixels = { 0xA5 };
        std::vector<BYTE> bytes = BuildBmp(l);
        CPicMemFile file(bytes.data(), DWORD(bytes.size()));
        BITMAPINFOHEADER h;
        ASSERT_EQ(CPictureBMP::ReadInfoHeader(&file, &h), c.ok) << c.size;
        if (!c.ok)
            continue;
        EXPECT_EQ(h.biWidth, 3) << c.size;
        EXPECT_EQ(h.biHeight, 3) << c.size;
        EXPECT_EQ(h.biBitCount, 8) << c.size;
        EXPECT_EQ(h.biSizeImage, c.expectImage) << c.size;
        EXPECT_EQ(h.biClrUsed, c.expectColours) << c.size;
        EXPECT_EQ(file.GetC(), 0xA5) << c.size << ": the reader stops right after the header";
    }
    BITMAPINFOHEADER h;
    CPicMemFile empty;
    EXPECT_FALSE(CPictureBMP::ReadInfoHeader(nullptr, &h));
    EXPECT_FALSE(CPictureBMP::ReadInfoHeader(&empty, nullptr));
}

TEST(BmpDecode, RefusesUnknownLayoutsWithTheirTexts)
{
    BmpLayout s;
    s.width = 2, s.height = 1, s.bpp = 24, s.compression = 1, s.pixels.assign(8, 0);
    CPicture pic;
    EXPECT_FALSE(DecodeBytes(pic, BuildBmp(s)));
    EXPECT_STREQ(pic.GetLastError(), "unknown compression");
    s.bpp = 32, s.compression = 2;
    EXPECT_FALSE(DecodeBytes(pic, BuildBmp(s)));
    EXPECT_STREQ(pic.GetLastError(), "unknown compression");
    s.bpp = 8, s.compression = 4, s.palette.assign(1024, 0);
    EXPECT_FALSE(DecodeBytes(pic, BuildBmp(s)));
    EXPECT_STREQ(pic.GetLastError(), "compression type not supported");
    s.compression = 2; // RLE4 data in an 8-bit file
    EXPECT_FALSE(DecodeBytes(pic, BuildBmp(s)));
    s.bpp = 2, s.compression = 0;
    EXPECT_FALSE(DecodeBytes(pic, BuildBmp(s)));
    EXPECT_STREQ(pic.GetLastError(), "BMP bit count not supported");
    std::vector<BYTE> junk(60, 'x');
    EXPECT_FALSE(DecodeBytes(pic, junk));
    EXPECT_STREQ(pic.GetLastError(), "Error reading BMP info");
    EXPECT_FALSE(DecodeBytes(pic, std::vector<BYTE>(5, 'B')));
    EXPECT_STREQ(pic.GetLastError(), "Not a BMP");
}

TEST(BmpDecode, HeaderOnlyRequestAndPixelLimit)
{
    BmpLayout s;
    s.width = 20, s.height = 10, s.bpp = 8, s.clrUsed = 256;
    s.palette.assign(1024, 0);
    s.pixels.assign(200, 1);
    std::vector<BYTE> bytes = BuildBmp(s);

    CPicture dims;
    dims.SetEscape(-1);
    ASSERT_TRUE(DecodeBytes(dims, bytes));
    EXPECT_FALSE(dims.IsValid());
    EXPECT_EQ(dims.GetWidth(), 20u);
    EXPECT_EQ(dims.GetHeight(), 10u);
    EXPECT_STREQ(dims.GetLastError(), "output dimensions returned");

    CPicture cancelled;
    cancelled.SetEscape(1);
    EXPECT_FALSE(DecodeBytes(cancelled, bytes));
    EXPECT_STREQ(cancelled.GetLastError(), "Cancelled");

    CPicture limited;
    limited.SetMaxDecodePixels(199);
    EXPECT_FALSE(DecodeBytes(limited, bytes));
    EXPECT_STREQ(limited.GetLastError(), "CPicture: picture exceeds the decoder pixel limit");
    limited.SetMaxDecodePixels(200);
    EXPECT_TRUE(DecodeBytes(limited, bytes));

    // 400 million pixels claimed by a 2 KB file: refused before any allocation.
    s.width = 20000, s.height = 20000;
    CPicture huge;
    EXPECT_FALSE(DecodeBytes(huge, BuildBmp(s)));
    EXPECT_STREQ(huge.GetLastError(), "CPicture: picture exceeds the decoder pixel limit");
}

TEST(BmpDecode, EveryTruncationFailsCleanly)
{
    for (DWORD bpp : { 1u, 4u, 8u, 24u }) {
        CPicture pic(7, 3, bpp);
        FillRandom(pic, bpp);
        std::vector<BYTE> bytes = EncodeToBytes(pic, PIC_FORMAT_BMP);
        CPicture keep(2, 2, 8);
        FillRandom(keep, 99);
        CPicture before(keep);
        for (size_t n = 0; n < bytes.size(); ++n) {
            std::vector<BYTE> cut(bytes.begin(), bytes.begin() + long(n));
            ASSERT_FALSE(DecodeBytes(keep, cut, PIC_FORMAT_BMP)) << bpp << " cut at " << n;
            ASSERT_STRNE(keep.GetLastError(), "");
            ASSERT_TRUE(SamePixels(keep, before)) << "a failed decode changes nothing";
            ASSERT_FALSE(DecodeBytes(keep, cut, 0));
            ASSERT_STREQ(keep.GetLastError(), "Decode: Unknown or wrong format");
        }
    }
}

TEST(BmpRle8, RunsDeltasAndAbsoluteRuns)
{
    CPicture pic;
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(Rle8(4, 2, { 3, 5, 0, 0, 2, 7, 0, 1 }))));
    EXPECT_EQ(Row(pic, 0), (std::vector<int> { 5, 5, 5, 0 }));
    EXPECT_EQ(Row(pic, 1), (std::vector<int> { 7, 7, 0, 0 }));

    // A run that fills the row does not end the picture; a longer one is clipped.
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(Rle8(3, 3, { 3, 1, 0, 0, 9, 2, 0, 0, 1, 4, 0, 1 }))));
    EXPECT_EQ(Row(pic, 0), (std::vector<int> { 1, 1, 1 }));
    EXPECT_EQ(Row(pic, 1), (std::vector<int> { 2, 2, 2 }));
    EXPECT_EQ(Row(pic, 2), (std::vector<int> { 4, 0, 0 }));

    // Rows of a multiple of 4 pixels have no padding to absorb a run past
    // their end: it must not reach the next row, nor past the last one.
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(Rle8(4, 3, { 6, 3, 0, 2, 0, 1, 2, 9, 0, 0, 1, 7, 0, 1 }))));
    EXPECT_EQ(Row(pic, 0), (std::vector<int> { 3, 3, 3, 3 }));
    EXPECT_EQ(Row(pic, 1), (std::vector<int> { 0, 0, 0, 0 })) << "after the delta the row is already full";
    EXPECT_EQ(Row(pic, 2), (std::vector<int> { 7, 0, 0, 0 }));
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(Rle8(4, 1, { 5, 8, 0, 1 }))));
    EXPECT_EQ(Row(pic, 0), (std::vector<int> { 8, 8, 8, 8 }));

    // Delta to (2, 1), then an absolute run of three with its pad byte.
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(Rle8(5, 2, { 0, 2, 2, 1, 0, 3, 10, 11, 12, 0, 0, 1 }))));
    EXPECT_EQ(Row(pic, 1), (std::vector<int> { 0, 0, 10, 11, 12 }));
    EXPECT_EQ(Row(pic, 0), (std::vector<int> { 0, 0, 0, 0, 0 }));

    // An absolute run past the row end is clipped and the codes after it still count.
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(Rle8(2, 2, { 0, 4, 1, 2, 3, 4, 0, 0, 1, 9, 0, 1 }))));
    EXPECT_EQ(Row(pic, 0), (std::vector<int> { 1, 2 }));
    EXPECT_EQ(Row(pic, 1), (std::vector<int> { 9, 0 }));

    // Deltas far past the picture write nothing.
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(Rle8(2, 2, { 0, 2, 255, 0, 5, 3, 0, 2, 0, 255, 5, 3 }))));
    EXPECT_EQ(Row(pic, 0), (std::vector<int> { 0, 0 }));
    EXPECT_EQ(Row(pic, 1), (std::vector<int> { 0, 0 }));
}

TEST(BmpRle8, EndOfDataBetweenCodesIsTheEnd)
{
    std::vector<BYTE> stream = { 2, 6, 0, 0, 0, 3, 1, 2, 3, 0, 0, 0, 2, 8 };
    std::vector<size_t> boundaries = { 0, 2, 4, 10, 12, 14 };
    BmpLayout full = Rle8(3, 3, stream);
    std::vector<BYTE> bytes = BuildBmp(full);
    size_t start = bytes.size() - stream.size();
    for (size_t n = 0; n <= stream.size(); ++n) {
        std::vector<BYTE> cut(bytes.begin(), bytes.begin() + long(start + n));
        CPicture pic;
        bool boundary = std::find(boundaries.begin(), boundaries.end(), n) != boundaries.end();
        EXPECT_EQ(DecodeBytes(pic, cut), boundary) << n;
        if (!boundary) {
            EXPECT_STREQ(pic.GetLastError(), "BMP data truncated");
        }
    }
    CPicture pic;
    ASSERT_TRUE(DecodeBytes(pic, bytes));
    EXPECT_EQ(Row(pic, 0), (std::vector<int> { 6, 6, 0 }));
    EXPECT_EQ(Row(pic, 1), (std::vector<int> { 1, 2, 3 }));
    EXPECT_EQ(Row(pic, 2), (std::vector<int> { 8, 8, 0 }));
}

TEST(BmpRle4, NibblesCountedInPixels)
{
    CPicture pic;
    // Run of 5 alternating 1, 2; end of line; absolute run 3 4 5 (two bytes, padded).
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(Rle4(6, 2, { 5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1 }))));
    EXPECT_EQ(Row(pic, 0), (std::vector<int> { 1, 2, 1, 2, 1, 0 }));
    EXPECT_EQ(Row(pic, 1), (std::vector<int> { 3, 4, 5, 0, 0, 0 }));

    // A delta of 3 pixels lands on an odd column; an absolute run of 5 pixels
    // takes three bytes and one pad byte.
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(Rle4(8, 1, { 0, 2, 3, 0, 1, 0x70, 0, 5, 0x12, 0x34, 0x50, 0, 0, 1 }))));
    EXPECT_EQ(Row(pic, 0), (std::vector<int> { 0, 0, 0, 7, 1, 2, 3, 4 }));

    // A run wider than the row is clipped.
    ASSERT_TRUE(DecodeBytes(pic, BuildBmp(Rle4(3, 2, { 9, 0xAB, 0, 0, 1, 0xC0 }))));
    EXPECT_EQ(Row(pic, 0), (std::vector<int> { 10, 11, 10 }));
    EXPECT_EQ(Row(pic, 1), (std::vector<int> { 12, 0, 0 }));
}

} // namespace

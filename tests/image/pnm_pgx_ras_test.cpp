// Our own PGX, PNM and Sun-raster readers and writers: round trips through
// the picture object, hand-built files of every kind, truncation at every
// length, hostile headers and the writers' refusals.
#include "image/picture_j2k.h"
#include "image/picture_pgx.h"
#include "image/picture_pnm.h"
#include "image/picture_ras.h"
#include "image_test_util.h"
#include "j2k_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace j2ktest;

namespace {

const char kCannotLoad[] = "error: cannot load image data";

std::vector<BYTE> Bytes(const std::string& s)
{
    return std::vector<BYTE>(s.begin(), s.end());
}

std::vector<BYTE> operator+(std::vector<BYTE> a, const std::vector<BYTE>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<BYTE> RasHeader(uint32_t w, uint32_t h, uint32_t depth, uint32_t type, uint32_t mapType,
    uint32_t mapLength, uint32_t length = 0)
{
    std::vector<BYTE> v;
    for (uint32_t x : { 0x59A66A95u, w, h, depth, length, type, mapType, mapLength })
        PutBE32(v, x);
    return v;
}

bool DecodeBytes(CPicture& pic, std::vector<BYTE>& bytes, DWORD type = 0)
{
    bytes.reserve(bytes.size() + 1); // a real buffer for an empty cut
    return pic.Decode(bytes.data(), DWORD(bytes.size()), type);
}

// Grey picture rows, top-down, as indices.
::testing::AssertionResult GreyRows(const CPicture& pic, const std::vector<std::vector<int>>& rows)
{
    if (!pic.IsValid())
        return ::testing::AssertionFailure() << "invalid: " << pic.GetLastError();
    if (pic.GetHeight() != rows.size() || pic.GetWidth() != rows[0].size())
        return ::testing::AssertionFailure() << "size " << pic.GetWidth() << "x" << pic.GetHeight();
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x) {
            int got = pic.GetPixelIndex(LONG(x), LONG(rows.size() - 1 - y));
            if (got != rows[y][x])
                return ::testing::AssertionFailure()
                    << "(" << x << ", " << y << ") = " << got << ", want " << rows[y][x];
        }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult RgbRows(const CPicture& pic, const std::vector<std::vector<RGBQUAD>>& rows)
{
    if (!pic.IsValid() || pic.GetBpp() != 24)
        return ::testing::AssertionFailure() << "not 24-bit: " << pic.GetLastError();
    if (pic.GetHeight() != rows.size() || pic.GetWidth() != rows[0].size())
        return ::testing::AssertionFailure() << "size " << pic.GetWidth() << "x" << pic.GetHeight();
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            if (!SameRgb(pic.GetPixelColor(LONG(x), LONG(rows.size() - 1 - y), false), rows[y][x]))
                return ::testing::AssertionFailure() << "(" << x << ", " << y << ")";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(OwnFormatsRoundTrip, EachFormatIsExact)
{
    for (DWORD type : { DWORD(PIC_FORMAT_PGX), DWORD(PIC_FORMAT_PNM), DWORD(PIC_FORMAT_RAS) })
        for (bool colour : { false, true }) {
            if (type == PIC_FORMAT_PGX && colour)
                continue;
            for (DWORD w : { 1u, 2u, 3u, 17u }) {
                SCOPED_TRACE(
                    ::testing::Message() << "type " << type << " colour " << colour << " width " << w);
                CPicture src = colour ? CPicture(w, 5, 24) : GreyPicture(w, 5, w);
                if (colour)
                    FillRandom(src, w);
                std::vector<BYTE> bytes = EncodeToBytes(src, type);
                ASSERT_FALSE(bytes.empty()) << src.GetLastError();
                EXPECT_EQ(CPictureJAS::DetectFormat(bytes.data(), bytes.size()), type);
                CPicture back;
                ASSERT_TRUE(DecodeBytes(back, bytes, 0)) << back.GetLastError();
                EXPECT_TRUE(SamePixels(back, src));
                EXPECT_EQ(back.GetType(), type);
            }
        }
}

TEST(OwnFormatsRoundTrip, WritersLayOutTheirHeaders)
{
    CPicture grey = GreyPicture(3, 2, 1);
    std::vector<BYTE> pgx = EncodeToBytes(grey, PIC_FORMAT_PGX);
    ASSERT_EQ(pgx.size(), 14u + 6);
    EXPECT_EQ(std::string(pgx.begin(), pgx.begin() + 14), "PG ML + 8 3 2\n");
    EXPECT_EQ(pgx[14], grey.GetPixelIndex(0, 1)); // the top row first

    std::vector<BYTE> pnm = EncodeToBytes(grey, PIC_FORMAT_PNM);
    EXPECT_EQ(std::string(pnm.begin(), pnm.begin() + 11), "P5\n3 2\n255\n");
    EXPECT_EQ(pnm.size(), 11u + 6);

    CPicture colour(3, 1, 24);
    colour.SetPixelColor(0, 0, Rgb(10, 20, 30));
    std::vector<BYTE> ras = EncodeToBytes(colour, PIC_FORMAT_RAS);
    // 32-byte header, no map, one row of 9 bytes padded to 10; blue first.
    ASSERT_EQ(ras.size(), 32u + 10);
    EXPECT_EQ(ras[15], 24); // depth
    EXPECT_EQ(ras[19], 10); // length
    EXPECT_EQ(ras[32], 30);
    EXPECT_EQ(ras[33], 20);
    EXPECT_EQ(ras[34], 10);
    std::vector<BYTE> rasGrey = EncodeToBytes(grey, PIC_FORMAT_RAS);
    EXPECT_EQ(rasGrey.size(), 32u + 768 + 2 * 4); // grey map, rows of 3 padded to 4
}

TEST(PnmRead, EveryKindFromHandBuiltFiles)
{
    CPicture pic;
    // P1 with comments and digits run together; 1 is black.
    std::vector<BYTE> p1 = Bytes("P1\n# a comment\n3 2 # more\n1 0 1\n010\n");
    ASSERT_TRUE(DecodeBytes(pic, p1)) << pic.GetLastError();
    EXPECT_EQ(pic.GetBpp(), 1);
    EXPECT_TRUE(GreyRows(pic, { { 0, 1, 0 }, { 1, 0, 1 } }));
    EXPECT_EQ(pic.GetType(), DWORD(PIC_FORMAT_PNM));

    // P4: rows of 10 pixels in two bytes each.
    std::vector<BYTE> p4 = Bytes("P4 10 2\n") + std::vector<BYTE> { 0x80, 0x40, 0xFF, 0xC0 };
    ASSERT_TRUE(DecodeBytes(pic, p4)) << pic.GetLastError();
    EXPECT_TRUE(GreyRows(pic, { { 0, 1, 1, 1, 1, 1, 1, 1, 1, 0 }, { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } }));

    // P2 with maxval 15 is 4-bit grey; maxval 100 is stretched to 8 bits.
    std::vector<BYTE> p2 = Bytes("P2 3 1 15\n0 7 15\n");
    ASSERT_TRUE(DecodeBytes(pic, p2)) << pic.GetLastError();
    EXPECT_EQ(pic.GetBpp(), 4);
    EXPECT_TRUE(GreyRows(pic, { { 0, 7, 15 } }));
    p2 = Bytes("P2 3 1 100\n0 50 100\n");
    ASSERT_TRUE(DecodeBytes(pic, p2)) << pic.GetLastError();
    EXPECT_EQ(pic.GetBpp(), 8);
    EXPECT_TRUE(GreyRows(pic, { { 0, 128, 255 } }));

    // P5 at 16 bits, big-endian, shifted to 8.
    std::vector<BYTE> p5 = Bytes("P5 2 1 65535\n") + std::vector<BYTE> { 0x12, 0x34, 0xFF, 0x00 };
    ASSERT_TRUE(DecodeBytes(pic, p5)) << pic.GetLastError();
    EXPECT_TRUE(GreyRows(pic, { { 0x12, 0xFF } }));

    // P3 and P6 are colour.
    std::vector<BYTE> p3 = Bytes("P3 2 1 255 1 2 3\n250 251 252\n");
    ASSERT_TRUE(DecodeBytes(pic, p3)) << pic.GetLastError();
    EXPECT_TRUE(RgbRows(pic, { { Rgb(1, 2, 3), Rgb(250, 251, 252) } }));
    std::vector<BYTE> p6 = Bytes("P6 1 2 255\r") + std::vector<BYTE> { 9, 8, 7, 6, 5, 4 };
    ASSERT_TRUE(DecodeBytes(pic, p6)) << pic.GetLastError();
    EXPECT_TRUE(RgbRows(pic, { { Rgb(9, 8, 7) }, { Rgb(6, 5, 4) } }));
}

TEST(PnmRead, BadFilesFail)
{
    const char* bad[] = {
        "P7 1 1 255\n\x01", // not P1-P6
        "P2 2 1 255\n1 256\n", // above maxval
        "P5 1 1 0\n\x00", // maxval 0
        "P5 1 1 65536\n\x00\x00", // maxval too large
        "P5 0 1 255\n", // no pixels
        "P2 1 1 255\nx\n", // not a number
        "P1 2 1\n1 2\n", // not a bit
        "P5 1 1 255", // no separator before the data
        "P5 1 1 1234567890\n", // ten digits
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        std::vector<BYTE> bytes = Bytes(text);
        CPicture pic;
        EXPECT_FALSE(DecodeBytes(pic, bytes, PIC_FORMAT_PNM));
        EXPECT_STREQ(pic.GetLastError(), kCannotLoad);
    }
}

TEST(PgxRead, HeadersOfEveryFormAndSigns)
{
    CPicture pic;
    std::vector<BYTE> be = Bytes("PG ML + 8 2 1\n") + std::vector<BYTE> { 3, 250 };
    ASSERT_TRUE(DecodeBytes(pic, be)) << pic.GetLastError();
    EXPECT_TRUE(GreyRows(pic, { { 3, 250 } }));
    EXPECT_EQ(pic.GetType(), DWORD(PIC_FORMAT_PGX));

    // Little-endian 16 bits, no sign written, shifted to 8.
    std::vector<BYTE> le = Bytes("PG LM 16 2 1\n") + std::vector<BYTE> { 0x00, 0xAB, 0xFF, 0x01 };
    ASSERT_TRUE(DecodeBytes(pic, le)) << pic.GetLastError();
    EXPECT_TRUE(GreyRows(pic, { { 0xAB, 0x01 } }));

    // Signed 12 bits in two bytes, sign glued to the precision: -2048, -1, 0, 2047.
    std::vector<BYTE> sgn
        = Bytes("PG ML -12 4 1\n") + std::vector<BYTE> { 0x08, 0x00, 0x0F, 0xFF, 0, 0, 0x07, 0xFF };
    ASSERT_TRUE(DecodeBytes(pic, sgn)) << pic.GetLastError();
    EXPECT_TRUE(GreyRows(pic, { { 0, 127, 128, 255 } }));

    // Bits above the precision are ignored: 0xFF at 4 bits is 15.
    std::vector<BYTE> narrow = Bytes("PG ML + 4 1 1\n") + std::vector<BYTE> { 0xFF };
    ASSERT_TRUE(DecodeBytes(pic, narrow)) << pic.GetLastError();
    EXPECT_EQ(pic.GetBpp(), 4);
    EXPECT_TRUE(GreyRows(pic, { { 15 } }));

    for (const char* text : { "PG XX + 8 1 1\n\x01", "PG ML + 0 1 1\n\x01", "PG ML + 17 1 1\n\x01\x01",
             "PG ML + 8 1 0\n", "PG ML + 8 1 1 \x01", "PG ML + 8 1\n\x01" }) {
        SCOPED_TRACE(text);
        std::vector<BYTE> bytes = Bytes(text);
        EXPECT_FALSE(DecodeBytes(pic, bytes, PIC_FORMAT_PGX));
        EXPECT_STREQ(pic.GetLastError(), kCannotLoad);
    }
}

TEST(RasRead, DepthsMapsAndCodings)
{
    CPicture pic;
    // Depth 1 without a map: set bits are black; rows pad to 16 bits.
    std::vector<BYTE> mono = RasHeader(3, 2, 1, 1, 0, 0) + std::vector<BYTE> { 0xA0, 0, 0x40, 0 };
    ASSERT_TRUE(DecodeBytes(pic, mono)) << pic.GetLastError();
    EXPECT_EQ(pic.GetBpp(), 1);
    EXPECT_TRUE(GreyRows(pic, { { 0, 1, 0 }, { 1, 0, 1 } }));
    EXPECT_EQ(pic.GetType(), DWORD(PIC_FORMAT_RAS));

    // Depth 8 with a colour map of three entries; index 5 is past it: black.
    std::vector<BYTE> map = { 255, 0, 10, /* greens */ 0, 255, 20, /* blues */ 0, 0, 30 };
    std::vector<BYTE> mapped = RasHeader(4, 1, 8, 1, 1, 9) + map + std::vector<BYTE> { 0, 1, 2, 5 };
    ASSERT_TRUE(DecodeBytes(pic, mapped)) << pic.GetLastError();
    EXPECT_TRUE(RgbRows(pic, { { Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(10, 20, 30), Rgb(0, 0, 0) } }));

    // A grey map keeps the picture grey, through the map.
    std::vector<BYTE> greyMap = { 0, 100, 0, 100, 0, 100 };
    std::vector<BYTE> grey = RasHeader(2, 1, 8, 1, 1, 6) + greyMap + std::vector<BYTE> { 1, 0 };
    ASSERT_TRUE(DecodeBytes(pic, grey)) << pic.GetLastError();
    EXPECT_TRUE(GreyRows(pic, { { 100, 0 } }));

    // Depth 24: blue-green-red normally, red first in the RGB type; odd rows pad.
    std::vector<BYTE> bgr = RasHeader(1, 1, 24, 1, 0, 0) + std::vector<BYTE> { 1, 2, 3, 0 };
    ASSERT_TRUE(DecodeBytes(pic, bgr)) << pic.GetLastError();
    EXPECT_TRUE(RgbRows(pic, { { Rgb(3, 2, 1) } }));
    std::vector<BYTE> rgb = RasHeader(1, 1, 24, 3, 0, 0) + std::vector<BYTE> { 1, 2, 3, 0 };
    ASSERT_TRUE(DecodeBytes(pic, rgb)) << pic.GetLastError();
    EXPECT_TRUE(RgbRows(pic, { { Rgb(1, 2, 3) } }));

    // Depth 32 has a pad byte first.
    std::vector<BYTE> d32 = RasHeader(1, 1, 32, 1, 0, 0) + std::vector<BYTE> { 99, 1, 2, 3 };
    ASSERT_TRUE(DecodeBytes(pic, d32)) << pic.GetLastError();
    EXPECT_TRUE(RgbRows(pic, { { Rgb(3, 2, 1) } }));

    // Run-length coding: a run crossing rows, an escaped 0x80, literals.
    // Rows of 3 grey pixels pad to 4 bytes: 8 bytes in all.
    std::vector<BYTE> rle = RasHeader(3, 2, 8, 2, 0, 0)
        + std::vector<BYTE> { 0x80, 0x04, 7, /* 5 x 7 */ 0x80, 0x00, /* one 0x80 */ 9, 0 };
    ASSERT_TRUE(DecodeBytes(pic, rle)) << pic.GetLastError();
    EXPECT_TRUE(GreyRows(pic, { { 7, 7, 7 }, { 7, 0x80, 9 } }));
}

TEST(RasRead, BadFilesFail)
{
    std::vector<std::vector<BYTE>> bad = {
        RasHeader(1, 1, 16, 1, 0, 0) + std::vector<BYTE>(4), // depth 16
        RasHeader(1, 1, 8, 4, 0, 0) + std::vector<BYTE>(2), // TIFF type
        RasHeader(0, 1, 8, 1, 0, 0) + std::vector<BYTE>(2), // no width
        RasHeader(1, 1, 8, 1, 1, 4) + std::vector<BYTE>(6), // map not of three parts
        RasHeader(1, 1, 8, 1, 1, 771) + std::vector<BYTE>(773), // map over 256 entries
        RasHeader(1, 1, 8, 1, 2, 0x7FFFFFFF) + std::vector<BYTE>(2), // raw map past the end
        RasHeader(1, 1, 8, 1, 3, 0) + std::vector<BYTE>(2), // unknown map type
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(i);
        CPicture pic;
        EXPECT_FALSE(DecodeBytes(pic, bad[i], PIC_FORMAT_RAS));
        EXPECT_STREQ(pic.GetLastError(), kCannotLoad);
    }
}

TEST(OwnFormatsRead, EveryTruncationFails)
{
    CPicture grey = GreyPicture(5, 3, 2);
    CPicture colour(5, 3, 24);
    FillRandom(colour, 3);
    std::vector<std::vector<BYTE>> files = {
        EncodeToBytes(grey, PIC_FORMAT_PGX),
        EncodeToBytes(grey, PIC_FORMAT_PNM),
        EncodeToBytes(colour, PIC_FORMAT_PNM),
        EncodeToBytes(grey, PIC_FORMAT_RAS),
        EncodeToBytes(colour, PIC_FORMAT_RAS),
        Bytes("P4 9 2\n") + std::vector<BYTE> { 1, 2, 3, 4 },
        RasHeader(3, 2, 8, 2, 0, 0) + std::vector<BYTE> { 0x80, 0x04, 7, 0x80, 0x00, 9, 0 },
        Bytes("PG LM -12 2 1\n") + std::vector<BYTE> { 1, 2, 3, 4 },
    };
    for (size_t f = 0; f < files.size(); ++f) {
        ASSERT_FALSE(files[f].empty());
        for (size_t n = 0; n < files[f].size(); ++n) {
            std::vector<BYTE> cut(files[f].begin(), files[f].begin() + long(n));
            CPicture pic = grey;
            ASSERT_FALSE(DecodeBytes(pic, cut, CPictureJAS::DetectFormat(files[f].data(), 4)))
                << "file " << f << " cut at " << n;
            EXPECT_TRUE(SamePixels(pic, grey)); // the caller's picture is untouched
        }
    }
    // In the text forms only the final line end may go.
    std::vector<BYTE> text = Bytes("P3 2 1 255\n1 2 3 4 5 6\n");
    for (size_t n = 0; n + 1 < text.size(); ++n) {
        std::vector<BYTE> cut(text.begin(), text.begin() + long(n));
        CPicture pic;
        EXPECT_FALSE(DecodeBytes(pic, cut, PIC_FORMAT_PNM)) << "cut at " << n;
    }
}

TEST(OwnFormatsRead, HostileSizesFailBeforeAllocating)
{
    // Billions of pixels promised, a few bytes given: refused as truncated, not
    // as too large, so nothing was allocated for them.
    std::vector<std::vector<BYTE>> files = {
        Bytes("P5 60000 60000 255\n\x01\x02"),
        Bytes("P1 60000 60000\n1"),
        Bytes("PG ML + 16 60000 60000\n\x01\x02"),
        RasHeader(60000, 60000, 24, 2, 0, 0) + std::vector<BYTE> { 0x80, 0xFF, 0 },
    };
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        CPicture pic;
        EXPECT_FALSE(DecodeBytes(pic, files[i], CPictureJAS::DetectFormat(files[i].data(), 4)));
        EXPECT_STREQ(pic.GetLastError(), kCannotLoad);
    }

    // The caller's pixel limit, one under and at the size.
    CPicture src = GreyPicture(6, 5, 1);
    for (DWORD type : { DWORD(PIC_FORMAT_PGX), DWORD(PIC_FORMAT_PNM), DWORD(PIC_FORMAT_RAS) }) {
        SCOPED_TRACE(type);
        std::vector<BYTE> bytes = EncodeToBytes(src, type);
        CPicture pic;
        pic.SetMaxDecodePixels(29);
        EXPECT_FALSE(DecodeBytes(pic, bytes, type));
        EXPECT_STREQ(pic.GetLastError(), "CPicture: picture exceeds the decoder pixel limit");
        pic.SetMaxDecodePixels(30);
        EXPECT_TRUE(DecodeBytes(pic, bytes, type)) << pic.GetLastError();
    }
}

TEST(OwnFormatsWrite, PlanesOfOtherDepthsAndRefusals)
{
    // Sixteen-bit planes go out and come back unchanged through PNM and PGX.
    const char* why = nullptr;
    CPicPlanes planes = PicNewPlanes(1, 3, 2, 16, false, OPJ_CLRSPC_GRAY, 100, &why);
    ASSERT_TRUE(planes) << why;
    for (int i = 0; i < 6; ++i)
        planes->comps[0].data[i] = i * 13000;
    for (bool pgx : { false, true }) {
        SCOPED_TRACE(pgx);
        CPicMemFile out;
        ASSERT_TRUE(out.Open());
        ASSERT_TRUE(pgx ? PicWritePgx(&out, planes.get(), &why) : PicWritePnm(&out, planes.get(), &why))
            << why;
        ASSERT_TRUE(out.Seek(0, SEEK_SET));
        CPicPlanes back = pgx ? PicReadPgx(&out, 100, &why) : PicReadPnm(&out, 100, &why);
        ASSERT_TRUE(back) << why;
        EXPECT_EQ(back->comps[0].prec, 16u);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(back->comps[0].data[i], i * 13000);
    }

    // Two planes, signed planes, and more than one plane for PGX are refused.
    CPicMemFile out;
    ASSERT_TRUE(out.Open());
    CPicPlanes two = PicNewPlanes(2, 1, 1, 8, false, OPJ_CLRSPC_GRAY, 100, &why);
    EXPECT_FALSE(PicWritePnm(&out, two.get(), &why));
    EXPECT_FALSE(PicWriteRas(&out, two.get(), &why));
    EXPECT_FALSE(PicWritePgx(&out, two.get(), &why));
    CPicPlanes sgnd = PicNewPlanes(1, 1, 1, 8, true, OPJ_CLRSPC_GRAY, 100, &why);
    EXPECT_FALSE(PicWritePgx(&out, sgnd.get(), &why));
    CPicPlanes wide = PicNewPlanes(1, 1, 1, 12, false, OPJ_CLRSPC_GRAY, 100, &why);
    EXPECT_FALSE(PicWriteRas(&out, wide.get(), &why));
    EXPECT_EQ(out.Size(), 0);
}

TEST(OwnFormatsDetect, SignaturesOfTheFamily)
{
    struct Case {
        std::vector<BYTE> head;
        DWORD type;
    } cases[] = {
        { { 0, 0, 0, 12, 'j', 'P', ' ', ' ', 13, 10, 0x87, 10 }, PIC_FORMAT_JP2 },
        { { 0, 0, 0, 12, 'j', 'P', ' ', ' ', 13, 10, 0x87 }, 0 }, // one byte short
        { { 0xFF, 0x4F, 0xFF, 0x51 }, PIC_FORMAT_JPC },
        { { 0xFF, 0x4F, 0xFF, 0x52 }, 0 },
        { { 'P', 'G', ' ' }, PIC_FORMAT_PGX },
        { { 'P', 'G', 'X' }, 0 },
        { { 'P', '1' }, PIC_FORMAT_PNM },
        { { 'P', '6' }, PIC_FORMAT_PNM },
        { { 'P', '0' }, 0 },
        { { 'P', '7' }, 0 },
        { { 0x59, 0xA6, 0x6A, 0x95 }, PIC_FORMAT_RAS },
        { { 0x95, 0x6A, 0xA6, 0x59 }, 0 },
        { {}, 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPictureJAS::DetectFormat(c.head.data(), c.head.size()), c.type);
}

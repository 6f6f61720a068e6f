// The PNG codec over every colour type, bit depth, interlace and tRNS/bKGD
// combination written by libpng, held against the written samples and
// libpng's simplified reader; and what it writes, read back by libpng.
#include "image/picture_png.h"
#include "image_test_util.h"
#include "png_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace pngtest;

namespace {

bool DecodeBytes(CPicture& pic, std::vector<BYTE>& bytes)
{
    CPicturePNG codec;
    CPicMemFile file(bytes.data(), DWORD(bytes.size()));
    bool ok = codec.Decode(&file);
    pic = codec; // on failure: no picture, the codec's text
    return ok;
}

std::vector<BYTE> EncodeBytes(CPicture& pic) { return EncodeToBytes(pic, PIC_FORMAT_PNG); }

std::vector<uint16_t> Samples(const PngCase& s, uint32_t seed, int maxIndex = -1)
{
    const int ch = Channels(s.colorType);
    const uint32_t top = maxIndex >= 0 ? uint32_t(maxIndex) : ((1u << s.bitDepth) - 1);
    std::vector<uint16_t> v(size_t(s.width) * s.height * ch);
    uint32_t r = seed;
    for (size_t i = 0; i < v.size(); ++i) {
        r = r * 1103515245u + 12345u;
        v[i] = uint16_t((r >> 8) % (top + 1));
    }
    return v;
}

int To8(int v, int depth) { return depth == 16 ? v >> 8 : v * 255 / ((1 << depth) - 1); }

WORD ExpectedBpp(int colorType, int depth)
{
    if (colorType == PNG_COLOR_TYPE_RGB || colorType == PNG_COLOR_TYPE_RGB_ALPHA
        || (colorType == PNG_COLOR_TYPE_GRAY_ALPHA && depth == 16))
        return 24;
    if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA || depth >= 8)
        return 8;
    return depth == 1 ? 1 : 4;
}

} // namespace

TEST(PngDecode, EveryColourTypeDepthInterlaceAndChunk)
{
    const struct {
        int type;
        int depths[5];
    } kinds[] = { { PNG_COLOR_TYPE_GRAY, { 1, 2, 4, 8, 16 } }, { PNG_COLOR_TYPE_RGB, { 8, 16 } },
        { PNG_COLOR_TYPE_PALETTE, { 1, 2, 4, 8 } }, { PNG_COLOR_TYPE_GRAY_ALPHA, { 8, 16 } },
        { PNG_COLOR_TYPE_RGB_ALPHA, { 8, 16 } } };
    int cases = 0;
    for (const auto& kind : kinds)
        for (int depth : kind.depths) {
            if (!depth)
                continue;
            const bool indexed = kind.type == PNG_COLOR_TYPE_PALETTE;
            const bool alphaType = (kind.type & PNG_COLOR_MASK_ALPHA) != 0;
            for (bool interlace : { false, true })
                for (int trns = 0; trns < (alphaType ? 1 : (indexed ? 3 : 2)); ++trns)
                    for (bool bkgd : { false, true }) {
                        ++cases;
                        PngCase s;
                        s.colorType = kind.type;
                        s.bitDepth = depth;
                        s.interlace = interlace;
                        const int entries = indexed ? (depth == 8 ? 200 : 1 << depth) : 0;
                        for (int i = 0; i < entries; ++i)
                            s.palette.push_back({ BYTE(i * 7), BYTE(255 - i), BYTE(i * 13) });
                        std::vector<uint16_t> px = Samples(s, uint32_t(depth * 100 + kind.type), entries - 1);
                        const int ch = Channels(s.colorType);
                        if (trns == 1 && indexed)
                            s.transAlpha = { 0 };
                        else if (trns == 2) // no more entries than the palette has
                            s.transAlpha = entries > 2 ? std::vector<png_byte> { 0, 128, 255 }
                                                       : std::vector<png_byte> { 0, 128 };
                        else if (trns == 1) {
                            // The colour of the first pixel, so that some pixels match it.
                            s.hasTransColor = true;
                            s.transColor.gray = px[0];
                            if (ch == 3)
                                s.transColor = { 0, px[0], px[1], px[2], 0 };
                        }
                        if (bkgd) {
                            s.hasBackground = true;
                            uint16_t top = uint16_t((1 << depth) - 1);
                            s.background = { 1, uint16_t(top / 3), uint16_t(top / 2), top, uint16_t(top / 4) };
                        }
                        std::vector<BYTE> file = WritePng(s, px);
                        ASSERT_FALSE(file.empty());
                        std::string where = "type " + std::to_string(kind.type) + " depth " + std::to_string(depth)
                            + (interlace ? " interlaced" : "") + " tRNS " + std::to_string(trns)
                            + (bkgd ? " bKGD" : "");

                        CPicture pic;
                        ASSERT_TRUE(DecodeBytes(pic, file)) << where << ": " << pic.GetLastError();
                        ASSERT_EQ(pic.GetWidth(), s.width) << where;
                        ASSERT_EQ(pic.GetBpp(), ExpectedBpp(kind.type, depth)) << where;
                        EXPECT_EQ(pic.GetType(), DWORD(PIC_FORMAT_PNG));
                        EXPECT_EQ(pic.GetCodecOption(PIC_FORMAT_PNG), interlace ? 1u : 0u) << where;
                        const bool keepsAlpha = kind.type == PNG_COLOR_TYPE_RGB_ALPHA
                            || (kind.type == PNG_COLOR_TYPE_GRAY_ALPHA && depth == 16);
                        EXPECT_EQ(pic.AlphaIsValid(), keepsAlpha) << where;

                        // Palette transparency only in palette files.
                        if (indexed && trns == 1) {
                            EXPECT_EQ(pic.GetTransIndex(), 0) << where;
                            EXPECT_FALSE(pic.AlphaPaletteIsEnabled());
                        } else if (indexed && trns == 2) {
                            EXPECT_EQ(pic.GetTransIndex(), -1);
                            EXPECT_TRUE(pic.AlphaPaletteIsEnabled()) << where;
                            for (DWORD i = 0; i < pic.GetNumColors(); ++i) {
                                BYTE want = i < s.transAlpha.size() ? s.transAlpha[i] : 255;
                                EXPECT_EQ(pic.GetPaletteColor(BYTE(i)).rgbReserved, want) << where << " entry " << i;
                            }
                        } else {
                            EXPECT_EQ(pic.GetTransIndex(), -1) << where;
                            EXPECT_FALSE(pic.AlphaPaletteIsEnabled()) << where;
                            for (DWORD i = 0; i < pic.GetNumColors(); ++i)
                                ASSERT_EQ(pic.GetPaletteColor(BYTE(i)).rgbReserved, 0) << where;
                        }

                        const int bgGrey = bkgd ? To8(s.background.gray, depth) : 192;
                        for (png_uint_32 y = 0; y < s.height; ++y)
                            for (png_uint_32 x = 0; x < s.width; ++x) {
                                const uint16_t* p = &px[(size_t(y) * s.width + x) * ch];
                                RGBQUAD got = pic.GetPixelColor(LONG(x), LONG(s.height - 1 - y), true);
                                int r, g, b, tol = 0;
                                bool check = true;
                                if (indexed) {
                                    const png_color& c = s.palette[p[0]];
                                    r = c.red, g = c.green, b = c.blue;
                                } else if (ch <= 2) {
                                    r = g = b = To8(p[0], depth);
                                    if (ch == 2 && depth == 8) {
                                        int a = p[1];
                                        r = g = b = (r * a + bgGrey * (255 - a)) / 255;
                                        tol = 1;
                                    } else if (ch == 2) {
                                        EXPECT_EQ(pic.AlphaGet(LONG(x), LONG(s.height - 1 - y)), p[1] >> 8);
                                    } else if (s.hasTransColor && p[0] == s.transColor.gray) {
                                        // Composed over the background; at depths below 8
                                        // its scaling is the library's business.
                                        r = g = b = bgGrey;
                                        check = depth >= 8;
                                    }
                                } else {
                                    r = To8(p[0], depth), g = To8(p[1], depth), b = To8(p[2], depth);
                                    if (ch == 4)
                                        EXPECT_EQ(pic.AlphaGet(LONG(x), LONG(s.height - 1 - y)), To8(p[3], depth));
                                    else if (s.hasTransColor && p[0] == s.transColor.red && p[1] == s.transColor.green
                                        && p[2] == s.transColor.blue) {
                                        r = bkgd ? To8(s.background.red, depth) : 192;
                                        g = bkgd ? To8(s.background.green, depth) : 192;
                                        b = bkgd ? To8(s.background.blue, depth) : 192;
                                    }
                                }
                                if (!check)
                                    continue;
                                ASSERT_NEAR(got.rgbRed, r, tol) << where << " at " << x << "," << y;
                                ASSERT_NEAR(got.rgbGreen, g, tol) << where << " at " << x << "," << y;
                                ASSERT_NEAR(got.rgbBlue, b, tol) << where << " at " << x << "," << y;
                            }

                        // Where nothing is composed, libpng's simplified reader gives the same pixels.
                        const bool plain = depth <= 8 && trns == 0 && kind.type != PNG_COLOR_TYPE_GRAY_ALPHA;
                        if (plain) {
                            const bool alpha = kind.type == PNG_COLOR_TYPE_RGB_ALPHA;
                            Simple ref = ReadSimple(file, alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR);
                            ASSERT_TRUE(ref.ok) << where << ": " << ref.error;
                            const int n = alpha ? 4 : 3;
                            for (png_uint_32 y = 0; y < s.height; ++y)
                                for (png_uint_32 x = 0; x < s.width; ++x) {
                                    const BYTE* q = &ref.pixels[(size_t(y) * s.width + x) * n];
                                    RGBQUAD got = pic.GetPixelColor(LONG(x), LONG(s.height - 1 - y), true);
                                    ASSERT_TRUE(got.rgbBlue == q[0] && got.rgbGreen == q[1] && got.rgbRed == q[2])
                                        << where << " at " << x << "," << y;
                                    if (alpha)
                                        ASSERT_EQ(pic.AlphaGet(LONG(x), LONG(s.height - 1 - y)), q[3]);
                                }
                        }
                    }
        }
    EXPECT_EQ(cases, 120);
}

TEST(PngDecode, GreyPalettesResolutionAndProbe)
{
    PngCase s;
    s.colorType = PNG_COLOR_TYPE_GRAY;
    s.bitDepth = 2;
    s.hasPhys = true;
    s.xRes = 3780;
    s.yRes = 11811;
    s.unit = PNG_RESOLUTION_METER;
    std::vector<BYTE> file = WritePng(s, Samples(s, 3));
    CPicture pic;
    ASSERT_TRUE(DecodeBytes(pic, file));
    EXPECT_EQ(pic.GetBpp(), 4);
    const BYTE levels[4] = { 0, 0x55, 0xAA, 0xFF };
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(SameRgb(pic.GetPaletteColor(BYTE(i)), Rgb(levels[i], levels[i], levels[i])));
    EXPECT_EQ(pic.GetXDPI(), 96);
    EXPECT_EQ(pic.GetYDPI(), 300);

    s.unit = PNG_RESOLUTION_UNKNOWN;
    s.xRes = 2;
    s.yRes = 3;
    file = WritePng(s, Samples(s, 3));
    ASSERT_TRUE(DecodeBytes(pic, file));
    EXPECT_EQ(pic.GetXDPI(), 2);
    EXPECT_EQ(pic.GetYDPI(), 3);

    // The dispatcher finds the PNG after the codecs before it have failed.
    CPicture probed;
    ASSERT_TRUE(probed.Decode(file.data(), DWORD(file.size()), 0)) << probed.GetLastError();
    EXPECT_EQ(probed.GetType(), DWORD(PIC_FORMAT_PNG));
    EXPECT_TRUE(SamePixels(probed, pic));
}

TEST(PngDecode, DamagedFilesAndLimits)
{
    PngCase s;
    s.width = 40;
    s.height = 30;
    std::vector<BYTE> file = WritePng(s, Samples(s, 9));

    std::vector<BYTE> cut(file.begin(), file.begin() + file.size() / 2);
    CPicture pic;
    EXPECT_FALSE(DecodeBytes(pic, cut));
    EXPECT_STREQ(pic.GetLastError(), "Read Error");
    EXPECT_FALSE(pic.IsValid());

    std::vector<BYTE> bad = file;
    bad[1] = 'X';
    EXPECT_FALSE(DecodeBytes(pic, bad));
    EXPECT_NE(std::string(pic.GetLastError()), "");

    // A damaged pixel stream after a sound header: libpng's own message.
    std::vector<BYTE> crc = file;
    crc[crc.size() - 20] ^= 0x55;
    EXPECT_FALSE(DecodeBytes(pic, crc));
    EXPECT_NE(std::string(pic.GetLastError()), "");
    EXPECT_FALSE(pic.IsValid());

    CPicturePNG limited;
    limited.SetMaxDecodePixels(40 * 30 - 1);
    CPicMemFile in(file.data(), DWORD(file.size()));
    EXPECT_FALSE(limited.Decode(&in));
    EXPECT_STREQ(limited.GetLastError(), "CPicture: picture exceeds the decoder pixel limit");

    CPicturePNG stopped;
    stopped.SetEscape(1);
    CPicMemFile in2(file.data(), DWORD(file.size()));
    EXPECT_FALSE(stopped.Decode(&in2));
    EXPECT_STREQ(stopped.GetLastError(), "");
    EXPECT_FALSE(stopped.IsValid());
}

TEST(PngEncode, RoundTripsThroughLibpng)
{
    for (DWORD bpp : { 1u, 4u, 8u, 24u })
        for (bool interlace : { false, true }) {
            CPicture pic(37, 21, bpp, 0);
            FillRandom(pic, bpp * 7 + interlace);
            pic.SetCodecOption(interlace ? 1 : 0, PIC_FORMAT_PNG);
            pic.SetXDPI(300);
            std::vector<BYTE> file = EncodeBytes(pic);
            ASSERT_FALSE(file.empty()) << pic.GetLastError();
            Chunks c = ReadChunks(file);
            ASSERT_TRUE(c.ok);
            EXPECT_EQ(c.colorType, bpp == 24 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_PALETTE);
            EXPECT_EQ(c.bitDepth, bpp == 24 ? 8 : int(bpp));
            EXPECT_EQ(c.interlace, interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE);
            EXPECT_TRUE(c.hasBackground);
            EXPECT_EQ(c.unit, PNG_RESOLUTION_METER);
            EXPECT_EQ(c.xRes, 11811u);

            Simple ref = ReadSimple(file, PNG_FORMAT_BGR);
            ASSERT_TRUE(ref.ok) << ref.error;
            for (LONG y = 0; y < 21; ++y)
                for (LONG x = 0; x < 37; ++x) {
                    const BYTE* q = &ref.pixels[(size_t(20 - y) * 37 + x) * 3];
                    RGBQUAD p = pic.GetPixelColor(x, y, false);
                    ASSERT_TRUE(p.rgbBlue == q[0] && p.rgbGreen == q[1] && p.rgbRed == q[2]) << bpp;
                }
            CPicture back;
            ASSERT_TRUE(DecodeBytes(back, file));
            EXPECT_TRUE(SamePixels(back, pic)) << bpp;
            EXPECT_EQ(back.GetCodecOption(PIC_FORMAT_PNG), interlace ? 1u : 0u);
            EXPECT_EQ(back.GetXDPI(), 300);
        }
}

TEST(PngEncode, AlphaAndTransparency)
{
    // An alpha plane writes RGBA, scaled by the global opacity.
    CPicture pic(20, 10, 24, 0);
    FillRandom(pic, 4);
    ASSERT_TRUE(pic.AlphaCreate());
    for (LONG y = 0; y < 10; ++y)
        for (LONG x = 0; x < 20; ++x)
            pic.AlphaSet(x, y, BYTE(x * 12 + y));
    pic.AlphaSetMax(128);
    std::vector<BYTE> file = EncodeBytes(pic);
    EXPECT_EQ(ReadChunks(file).colorType, PNG_COLOR_TYPE_RGB_ALPHA);
    Simple ref = ReadSimple(file, PNG_FORMAT_BGRA);
    ASSERT_TRUE(ref.ok);
    for (LONG y = 0; y < 10; ++y)
        for (LONG x = 0; x < 20; ++x) {
            const BYTE* q = &ref.pixels[(size_t(9 - y) * 20 + x) * 4];
            ASSERT_EQ(q[3], (x * 12 + y) * 128 / 255);
            RGBQUAD p = pic.GetPixelColor(x, y, false);
            if (q[3] == 255) // the simplified reader premultiplies nothing at full opacity
                ASSERT_TRUE(p.rgbBlue == q[0] && p.rgbGreen == q[1] && p.rgbRed == q[2]);
        }
    CPicture back;
    ASSERT_TRUE(DecodeBytes(back, file));
    ASSERT_TRUE(back.AlphaIsValid());
    EXPECT_EQ(back.AlphaGet(5, 3), (5 * 12 + 3) * 128 / 255);
    EXPECT_TRUE(SamePixels(back, pic));

    // A transparent colour of a true-colour picture: alpha 0 there, no plane left behind.
    CPicture keyed(16, 16, 24, 0);
    FillRandom(keyed, 5);
    for (LONG x = 0; x < 16; ++x)
        keyed.SetPixelColor(x, 3, Rgb(1, 2, 3));
    keyed.SetTransIndex(0);
    keyed.SetTransColor(Rgb(1, 2, 3));
    file = EncodeBytes(keyed);
    EXPECT_FALSE(keyed.AlphaIsValid());
    EXPECT_EQ(ReadChunks(file).colorType, PNG_COLOR_TYPE_RGB_ALPHA);
    ASSERT_TRUE(DecodeBytes(back, file));
    for (LONG y = 0; y < 16; ++y)
        for (LONG x = 0; x < 16; ++x) {
            bool key = SameRgb(keyed.GetPixelColor(x, y, false), Rgb(1, 2, 3));
            ASSERT_EQ(back.AlphaGet(x, y), key ? 0 : 255);
        }

    // A transparent palette index other than 0 trades places with entry 0.
    CPicture indexed(10, 10, 8, 0);
    FillRandom(indexed, 6);
    indexed.SetPixelIndex(2, 2, 7);
    RGBQUAD seven = indexed.GetPaletteColor(7);
    indexed.SetTransIndex(7);
    file = EncodeBytes(indexed);
    EXPECT_EQ(indexed.GetTransIndex(), 0);
    EXPECT_EQ(indexed.GetPixelIndex(2, 2), 0);
    EXPECT_TRUE(SameRgb(indexed.GetPaletteColor(0), seven));
    Chunks c = ReadChunks(file);
    ASSERT_EQ(c.transAlpha.size(), 1u);
    EXPECT_EQ(c.transAlpha[0], 0);
    ASSERT_TRUE(DecodeBytes(back, file));
    EXPECT_EQ(back.GetTransIndex(), 0);

    // Palette alpha writes one tRNS entry per written palette entry.
    CPicture faded(300, 300, 8, 0);
    faded.Clear(0);
    faded.SetPixelIndex(1, 1, 3);
    for (int i = 0; i < 4; ++i)
        faded.SetPaletteColor(BYTE(i), BYTE(i), BYTE(i), BYTE(i), BYTE(i * 60));
    faded.AlphaPaletteEnable(true);
    c = ReadChunks(EncodeBytes(faded));
    EXPECT_EQ(c.paletteEntries, 256);
    ASSERT_EQ(c.transAlpha.size(), 256u);
    EXPECT_EQ(c.transAlpha[3], 180);
}

TEST(PngEncode, PaletteLengthFollowsTheHighestIndexOnSmallPictures)
{
    for (DWORD side : { 100u, 300u }) {
        CPicture pic(side, side, 8, 0);
        pic.Clear(0);
        for (DWORD i = 0; i < 4; ++i)
            pic.SetPixelIndex(LONG(i), 0, BYTE(i));
        Chunks c = ReadChunks(EncodeBytes(pic));
        EXPECT_EQ(c.paletteEntries, side == 100 ? 4 : 256) << side;
    }
}

TEST(PngEncode, FailuresAreReported)
{
    CPicture pic(64, 64, 24, 0);
    FillRandom(pic, 8);
    for (LONG limit : { 0L, 8L, 100L }) {
        CCappedFile out(limit);
        EXPECT_FALSE(pic.Encode(&out, PIC_FORMAT_PNG)) << limit;
        EXPECT_STREQ(pic.GetLastError(), "Error saving PNG file");
    }
    CPicture empty;
    EXPECT_TRUE(EncodeBytes(empty).empty());
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
}

TEST(PngCodec, ExpandsTwoBitRows)
{
    struct Exposed : CPicturePNG {
        using CPicturePNG::ExpandTwoBitRow;
    };
    BYTE row[4] = { 0x1B, 0xE4, 0, 0 }; // 0,1,2,3 then 3,2,1,0
    Exposed::ExpandTwoBitRow(row, 8);
    const BYTE want[4] = { 0x01, 0x23, 0x32, 0x10 };
    EXPECT_EQ(std::vector<BYTE>(row, row + 4), std::vector<BYTE>(want, want + 4));
    BYTE odd[2] = { 0xC4, 0 }; // 3,0,1
    Exposed::ExpandTwoBitRow(odd, 3);
    EXPECT_EQ(odd[0], 0x30);
    EXPECT_EQ(odd[1] & 0xF0, 0x10);
}

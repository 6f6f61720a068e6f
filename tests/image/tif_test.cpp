// The TIFF codec over pages written by libtiff (each photometric, depth,
// sample count, tiling and orientation), held against libtiff's own RGBA
// reader; and the pages it writes, read back by libtiff.
#include "image/picture_tif.h"
#include "image_test_util.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <tiffio.h>

namespace {

std::string TempPath(const char* name)
{
    static const vtest::CTempFolder s_folder("veltran_tif");
    return s_folder.Str(std::string(name) + ".tif");
}

std::vector<BYTE> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

struct Page {
    uint32_t width = 19, height = 11;
    uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t bits = 8, samples = 1;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    uint16_t compression = COMPRESSION_NONE;
    uint32_t rowsPerStrip = 4;
    uint32_t tile = 0; // tile side, 0 = strips
    uint16_t alpha = 0; // kind of the last sample, 0: no extra sample
    std::function<uint32_t(uint32_t x, uint32_t y)> grey; // the samples of one-sample pages, else a hash
    std::function<uint32_t(uint32_t x, uint32_t y, uint32_t s)> sample; // every sample, when set
    std::vector<uint16_t> map; // 3 x 2^bits colormap entries
    bool resolution = false;
    float xRes = 0;
    uint16_t unit = RESUNIT_INCH;
};

// Sample value at (x, y, s), below 2^bits.
uint32_t Value(const Page& p, uint32_t x, uint32_t y, uint32_t s)
{
    if (p.sample)
        return p.sample(x, y, s);
    if (p.grey)
        return p.grey(x, y);
    return ((x * 7 + y * 13 + s * 29) * 2654435761u >> 7) & ((1u << p.bits) - 1);
}

std::vector<BYTE> MakeTiff(const std::vector<Page>& pages, const char* name)
{
    std::string path = TempPath(name);
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (!t)
        return {};
    for (const Page& p : pages) {
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, p.width);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, p.height);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, p.bits);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, p.samples);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, p.photometric);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, p.planar);
        TIFFSetField(t, TIFFTAG_ORIENTATION, p.orientation);
        TIFFSetField(t, TIFFTAG_COMPRESSION, p.compression);
        if (p.alpha)
            TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &p.alpha);
        if (!p.map.empty()) {
            size_t n = p.map.size() / 3;
            TIFFSetField(t, TIFFTAG_COLORMAP, &p.map[0], &p.map[n], &p.map[2 * n]);
        }
        if (p.resolution) {
            TIFFSetField(t, TIFFTAG_XRESOLUTION, p.xRes);
            TIFFSetField(t, TIFFTAG_YRESOLUTION, p.xRes);
            TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, p.unit);
        }
        const uint32_t planes = p.planar == PLANARCONFIG_SEPARATE ? p.samples : 1;
        const uint32_t perPixel = p.planar == PLANARCONFIG_SEPARATE ? 1 : p.samples;
        auto fill = [&](std::vector<BYTE>& row, uint32_t y, uint32_t x0, uint32_t count, uint32_t plane) {
            std::fill(row.begin(), row.end(), 0);
            for (uint32_t i = 0; i < count * perPixel; ++i) {
                uint32_t x = x0 + i / perPixel, s = planes > 1 ? plane : i % perPixel;
                uint32_t v = x < p.width ? Value(p, x, y, s) : 0;
                if (p.alpha == EXTRASAMPLE_ASSOCALPHA && s + 1 < p.samples && x < p.width)
                    v = v * Value(p, x, y, p.samples - 1u) / ((1u << p.bits) - 1);
                if (p.bits == 16) {
                    uint16_t w = uint16_t(v);
                    std::memcpy(&row[i * 2], &w, 2);
                } else if (p.bits == 8) {
                    row[i] = BYTE(v);
                } else {
                    size_t bit = size_t(i) * p.bits;
                    row[bit / 8] |= BYTE(v << (8 - p.bits - bit % 8));
                }
            }
        };
        if (p.tile) {
            TIFFSetField(t, TIFFTAG_TILEWIDTH, p.tile);
            TIFFSetField(t, TIFFTAG_TILELENGTH, p.tile);
            std::vector<BYTE> tile(size_t(TIFFTileSize(t)));
            std::vector<BYTE> row(size_t(TIFFTileRowSize(t)));
            for (uint32_t ty = 0; ty < p.height; ty += p.tile)
                for (uint32_t tx = 0; tx < p.width; tx += p.tile) {
                    std::fill(tile.begin(), tile.end(), 0);
                    for (uint32_t r = 0; r < p.tile && ty + r < p.height; ++r) {
                        fill(row, ty + r, tx, p.tile, 0);
                        std::memcpy(&tile[r * row.size()], row.data(), row.size());
                    }
                    TIFFWriteTile(t, tile.data(), tx, ty, 0, 0);
                }
        } else {
            TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, p.rowsPerStrip);
            std::vector<BYTE> row(size_t(TIFFScanlineSize(t)));
            for (uint32_t plane = 0; plane < planes; ++plane)
                for (uint32_t y = 0; y < p.height; ++y) {
                    fill(row, y, 0, p.width, plane);
                    TIFFWriteScanline(t, row.data(), y, uint16_t(plane));
                }
        }
        TIFFWriteDirectory(t);
    }
    TIFFClose(t);
    std::vector<BYTE> bytes = ReadFile(path);
    std::remove(path.c_str());
    return bytes;
}

// libtiff's RGBA reading of page `frame`, rows bottom-up like the picture.
std::vector<uint32_t> ReferenceRgba(const std::vector<BYTE>& file, int frame, uint32_t& w, uint32_t& h)
{
    std::string path = TempPath("ref");
    WriteFile(path, file);
    std::vector<uint32_t> raster;
    TIFF* t = TIFFOpen(path.c_str(), "r");
    if (t && TIFFSetDirectory(t, tdir_t(frame))) {
        TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(t, TIFFTAG_IMAGELENGTH, &h);
        raster.resize(size_t(w) * h);
        if (!TIFFReadRGBAImage(t, w, h, raster.data(), 1))
            raster.clear();
    }
    if (t)
        TIFFClose(t);
    std::remove(path.c_str());
    return raster;
}

bool DecodeBytes(CPicture& pic, std::vector<BYTE>& bytes, int frame = 0)
{
    CPictureTIF codec;
    codec.SetFrame(frame);
    CPicMemFile file(bytes.data(), DWORD(bytes.size()));
    bool ok = codec.Decode(&file);
    pic = codec;
    return ok;
}

::testing::AssertionResult MatchesReference(const CPicture& pic, std::vector<BYTE>& file, int tolerance, int frame = 0)
{
    uint32_t w = 0, h = 0;
    std::vector<uint32_t> ref = ReferenceRgba(file, frame, w, h);
    if (ref.empty())
        return ::testing::AssertionFailure() << "libtiff could not read it";
    if (pic.GetWidth() != w || pic.GetHeight() != h)
        return ::testing::AssertionFailure() << "size";
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint32_t v = ref[size_t(y) * w + x];
            RGBQUAD c = pic.GetPixelColor(LONG(x), LONG(y), false);
            if (std::abs(int(c.rgbRed) - int(TIFFGetR(v))) > tolerance
                || std::abs(int(c.rgbGreen) - int(TIFFGetG(v))) > tolerance
                || std::abs(int(c.rgbBlue) - int(TIFFGetB(v))) > tolerance)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << ": " << int(c.rgbRed) << " "
                                                     << int(c.rgbGreen) << " " << int(c.rgbBlue) << " vs "
                                                     << TIFFGetR(v) << " " << TIFFGetG(v) << " " << TIFFGetB(v);
            if (pic.AlphaIsValid() && pic.AlphaGet(LONG(x), LONG(y)) != TIFFGetA(v))
                return ::testing::AssertionFailure() << "alpha " << x << "," << y;
        }
    return ::testing::AssertionSuccess();
}

std::vector<uint16_t> Colormap(uint16_t bits, bool small)
{
    size_t n = size_t(1) << bits;
    std::vector<uint16_t> map(3 * n);
    for (size_t i = 0; i < n; ++i) {
        uint16_t r = uint16_t((i * 37) & 255), g = uint16_t(255 - i % 256), b = uint16_t((i * 91) & 255);
        map[i] = small ? r : uint16_t(r * 257);
        map[n + i] = small ? g : uint16_t(g * 257);
        map[2 * n + i] = small ? b : uint16_t(b * 257);
    }
    return map;
}

} // namespace

TEST(TiffDecode, EveryPhotometricDepthAndLayoutMatchesLibtiff)
{
    struct Case {
        const char* name;
        std::function<void(Page&)> set;
        WORD bpp;
        int tolerance;
    } cases[] = {
        { "black1", [](Page& p) { p.bits = 1; }, 1, 0 },
        { "white1", [](Page& p) { p.bits = 1, p.photometric = PHOTOMETRIC_MINISWHITE; }, 1, 0 },
        { "black2", [](Page& p) { p.bits = 2; }, 24, 0 },
        { "black4", [](Page& p) { p.bits = 4; }, 4, 0 },
        { "white4", [](Page& p) { p.bits = 4, p.photometric = PHOTOMETRIC_MINISWHITE; }, 4, 0 },
        { "black8", [](Page&) {}, 8, 0 },
        { "white8", [](Page& p) { p.photometric = PHOTOMETRIC_MINISWHITE; }, 8, 0 },
        { "black16", [](Page& p) { p.bits = 16; }, 8, 1 },
        { "black16 single strip", [](Page& p) { p.bits = 16, p.rowsPerStrip = p.height; }, 8, 1 },
        { "palette1", [](Page& p) { p.bits = 1, p.photometric = PHOTOMETRIC_PALETTE, p.map = Colormap(1, false); },
            24, 0 },
        { "palette2", [](Page& p) { p.bits = 2, p.photometric = PHOTOMETRIC_PALETTE, p.map = Colormap(2, false); },
            24, 0 },
        { "palette4", [](Page& p) { p.bits = 4, p.photometric = PHOTOMETRIC_PALETTE, p.map = Colormap(4, false); },
            4, 0 },
        { "palette8 small map",
            [](Page& p) { p.photometric = PHOTOMETRIC_PALETTE, p.map = Colormap(8, true); }, 8, 0 },
        { "palette8", [](Page& p) { p.photometric = PHOTOMETRIC_PALETTE, p.map = Colormap(8, false); }, 8, 0 },
        { "grey alpha", [](Page& p) { p.samples = 2, p.alpha = EXTRASAMPLE_UNASSALPHA; }, 8, 0 },
        { "rgb8", [](Page& p) { p.samples = 3, p.photometric = PHOTOMETRIC_RGB; }, 24, 0 },
        { "rgb16", [](Page& p) { p.samples = 3, p.bits = 16, p.photometric = PHOTOMETRIC_RGB; }, 24, 0 },
        { "rgb planes",
            [](Page& p) { p.samples = 3, p.photometric = PHOTOMETRIC_RGB, p.planar = PLANARCONFIG_SEPARATE; },
            24, 0 },
        { "cmyk", [](Page& p) { p.samples = 4, p.photometric = PHOTOMETRIC_SEPARATED; }, 24, 0 },
        { "grey tiles", [](Page& p) { p.width = 40, p.height = 35, p.tile = 16; }, 8, 0 },
        { "grey4 tiles", [](Page& p) { p.bits = 4, p.width = 37, p.height = 20, p.tile = 16; }, 4, 0 },
        { "lzw", [](Page& p) { p.compression = COMPRESSION_LZW; }, 8, 0 },
        { "packbits", [](Page& p) { p.compression = COMPRESSION_PACKBITS, p.bits = 1; }, 1, 0 },
    };
    for (const Case& c : cases) {
        Page p;
        c.set(p);
        std::vector<BYTE> file = MakeTiff({ p }, "case");
        ASSERT_FALSE(file.empty()) << c.name;
        CPicture pic;
        ASSERT_TRUE(DecodeBytes(pic, file)) << c.name << ": " << pic.GetLastError();
        EXPECT_EQ(pic.GetBpp(), c.bpp) << c.name;
        EXPECT_EQ(pic.GetType(), DWORD(PIC_FORMAT_TIF));
        EXPECT_EQ(pic.GetCodecOption(PIC_FORMAT_TIF), p.compression) << c.name;
        EXPECT_TRUE(MatchesReference(pic, file, c.tolerance)) << c.name;
    }

    // A layout neither route reads is refused, not guessed at (libtiff's
    // RGBA reader takes it on but cannot read it).
    Page odd;
    odd.samples = 3;
    odd.bits = 4;
    odd.photometric = PHOTOMETRIC_RGB;
    std::vector<BYTE> file = MakeTiff({ odd }, "rgb4");
    CPicture pic;
    EXPECT_FALSE(DecodeBytes(pic, file));
    EXPECT_STREQ(pic.GetLastError(), "Corrupted TIFF file!");
    EXPECT_FALSE(pic.IsValid());
}

TEST(TiffDecode, PalettesAndResolution)
{
    Page p;
    p.bits = 4;
    std::vector<BYTE> file = MakeTiff({ p }, "ramp");
    CPicture pic;
    ASSERT_TRUE(DecodeBytes(pic, file));
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(SameRgb(pic.GetPaletteColor(BYTE(i)), Rgb(BYTE(i * 17), BYTE(i * 17), BYTE(i * 17))));
    p.bits = 1;
    p.photometric = PHOTOMETRIC_MINISWHITE;
    file = MakeTiff({ p }, "white");
    ASSERT_TRUE(DecodeBytes(pic, file));
    EXPECT_TRUE(SameRgb(pic.GetPaletteColor(0), Rgb(255, 255, 255)));

    Page r;
    r.resolution = true;
    r.xRes = 118.11f;
    r.unit = RESUNIT_CENTIMETER;
    file = MakeTiff({ r }, "cm");
    ASSERT_TRUE(DecodeBytes(pic, file));
    EXPECT_EQ(pic.GetXDPI(), 300);
    r.xRes = 72;
    r.unit = RESUNIT_INCH;
    file = MakeTiff({ r }, "inch");
    ASSERT_TRUE(DecodeBytes(pic, file));
    EXPECT_EQ(pic.GetYDPI(), 72);
}

TEST(TiffDecode, RgbaPagesKeepStraightColoursBesideTheirAlpha)
{
    for (uint16_t bits : { 8, 16 })
        for (uint16_t kind : { EXTRASAMPLE_UNASSALPHA, EXTRASAMPLE_ASSOCALPHA }) {
            Page p;
            p.samples = 4, p.bits = bits, p.photometric = PHOTOMETRIC_RGB, p.alpha = kind;
            std::vector<BYTE> file = MakeTiff({ p }, "rgba");
            CPicture pic;
            ASSERT_TRUE(DecodeBytes(pic, file)) << pic.GetLastError();
            ASSERT_TRUE(pic.AlphaIsValid());
            const int shift = bits - 8, rounding = bits == 16 ? 1 : 0;
            for (uint32_t y = 0; y < p.height; ++y)
                for (uint32_t x = 0; x < p.width; ++x) {
                    const LONG py = LONG(p.height - 1 - y);
                    const int a = int(Value(p, x, y, 3) >> shift);
                    ASSERT_NEAR(pic.AlphaGet(LONG(x), py), a, rounding);
                    // Unassociated colours come back as stored; associated ones
                    // as near as their premultiplied precision allows.
                    const int slack = kind == EXTRASAMPLE_UNASSALPHA ? rounding : (a ? 255 / a + 1 + rounding : 255);
                    RGBQUAD c = pic.GetPixelColor(LONG(x), py, false);
                    const BYTE got[3] = { c.rgbRed, c.rgbGreen, c.rgbBlue };
                    for (uint32_t s = 0; s < 3; ++s)
                        ASSERT_NEAR(got[s], int(Value(p, x, y, s) >> shift), slack)
                            << bits << " bits, kind " << kind << ", pixel " << x << "," << y << " sample " << s;
                }
        }
}

namespace {

struct Point {
    uint32_t x, y;
};

// The point of a W x H picture as shown that a page stored turned and
// mirrored as orientation `o` says holds at its column c, row r.
Point ShownAt(uint16_t o, uint32_t c, uint32_t r, uint32_t W, uint32_t H)
{
    switch (o) {
    case ORIENTATION_TOPRIGHT:
        return { W - 1 - c, r };
    case ORIENTATION_BOTRIGHT:
        return { W - 1 - c, H - 1 - r };
    case ORIENTATION_BOTLEFT:
        return { c, H - 1 - r };
    case ORIENTATION_LEFTTOP:
        return { r, c };
    case ORIENTATION_RIGHTTOP:
        return { W - 1 - r, c };
    case ORIENTATION_RIGHTBOT:
        return { W - 1 - r, H - 1 - c };
    case ORIENTATION_LEFTBOT:
        return { r, H - 1 - c };
    default:
        return { c, r };
    }
}

} // namespace

TEST(TiffDecode, EveryOrientationGivesTheSamePicture)
{
    // The picture as shown, top row first; each page stores it turned and
    // mirrored as its Orientation tag says.
    const uint32_t W = 13, H = 7;
    auto shown = [](uint32_t x, uint32_t y) { return (x * 19 + y * 7 + 3) & 255; };
    for (uint16_t o = ORIENTATION_TOPLEFT; o <= ORIENTATION_LEFTBOT; ++o) {
        Page p;
        p.orientation = o;
        p.width = o >= ORIENTATION_LEFTTOP ? H : W;
        p.height = o >= ORIENTATION_LEFTTOP ? W : H;
        p.grey = [&, o](uint32_t c, uint32_t r) {
            const Point at = ShownAt(o, c, r, W, H);
            return shown(at.x, at.y);
        };
        std::vector<BYTE> file = MakeTiff({ p }, "orientation");
        CPicture pic;
        ASSERT_TRUE(DecodeBytes(pic, file)) << o << ": " << pic.GetLastError();
        ASSERT_EQ(pic.GetWidth(), W) << o;
        ASSERT_EQ(pic.GetHeight(), H) << o;
        for (uint32_t y = 0; y < H; ++y)
            for (uint32_t x = 0; x < W; ++x)
                ASSERT_EQ(pic.GetPixelIndex(LONG(x), LONG(H - 1 - y)), shown(x, y))
                    << "orientation " << o << " at " << x << "," << y;
    }
}

// Colour pages go through libtiff's RGBA reader, which reads orientations
// 5-8 as 1-4; the quarter turn is the codec's, as on its own route.
TEST(TiffDecode, EveryOrientationGivesTheSamePictureOnTheRgbaRoute)
{
    const uint32_t W = 19, H = 11;
    auto shown = [](uint32_t x, uint32_t y, uint32_t s) { return (x * 23 + y * 7 + s * 71 + 5) & 255; };
    for (uint16_t bits : { 8, 16 })
        for (uint16_t o = ORIENTATION_TOPLEFT; o <= ORIENTATION_LEFTBOT; ++o) {
            Page p;
            p.samples = 3, p.photometric = PHOTOMETRIC_RGB, p.bits = bits, p.orientation = o;
            p.width = o >= ORIENTATION_LEFTTOP ? H : W;
            p.height = o >= ORIENTATION_LEFTTOP ? W : H;
            p.sample = [&, o, bits](uint32_t c, uint32_t r, uint32_t s) {
                const Point at = ShownAt(o, c, r, W, H);
                const uint32_t v = shown(at.x, at.y, s);
                return bits == 16 ? v * 257 : v;
            };
            std::vector<BYTE> file = MakeTiff({ p }, "rgbturn");
            CPicture pic;
            ASSERT_TRUE(DecodeBytes(pic, file)) << o << ": " << pic.GetLastError();
            ASSERT_EQ(pic.GetBpp(), 24);
            ASSERT_EQ(pic.GetWidth(), W) << bits << " bits, orientation " << o;
            ASSERT_EQ(pic.GetHeight(), H) << bits << " bits, orientation " << o;
            for (uint32_t y = 0; y < H; ++y)
                for (uint32_t x = 0; x < W; ++x)
                    ASSERT_TRUE(SameRgb(pic.GetPixelColor(LONG(x), LONG(H - 1 - y)),
                        Rgb(BYTE(shown(x, y, 0)), BYTE(shown(x, y, 1)), BYTE(shown(x, y, 2)))))
                        << bits << " bits, orientation " << o << " at " << x << "," << y;
        }
}

// Grey with an alpha sample keeps its alpha in every layout: contiguous or
// in planes, 8 or 16 bits a sample.
TEST(TiffDecode, GreyWithAlphaKeepsItsAlphaInEveryLayout)
{
    auto stored = [](uint32_t x, uint32_t y, uint32_t s) {
        return s ? (x * 41 + y * 3) & 255 : (x * 9 + y * 17) & 255;
    };
    for (uint16_t bits : { 8, 16 })
        for (uint16_t planar : { PLANARCONFIG_CONTIG, PLANARCONFIG_SEPARATE }) {
            Page p;
            p.samples = 2, p.bits = bits, p.planar = planar, p.alpha = EXTRASAMPLE_UNASSALPHA;
            p.sample = [&, bits](uint32_t x, uint32_t y, uint32_t s) {
                return bits == 16 ? stored(x, y, s) * 257 : stored(x, y, s);
            };
            std::vector<BYTE> file = MakeTiff({ p }, "greyalpha");
            CPicture pic;
            ASSERT_TRUE(DecodeBytes(pic, file)) << bits << " " << planar << ": " << pic.GetLastError();
            ASSERT_TRUE(pic.AlphaIsValid()) << bits << " bits, planar " << planar;
            for (uint32_t y = 0; y < p.height; ++y)
                for (uint32_t x = 0; x < p.width; ++x) {
                    const LONG py = LONG(p.height - 1 - y);
                    const BYTE grey = BYTE(stored(x, y, 0));
                    ASSERT_EQ(pic.AlphaGet(LONG(x), py), stored(x, y, 1))
                        << bits << " bits, planar " << planar << " at " << x << "," << y;
                    ASSERT_TRUE(SameRgb(pic.GetPixelColor(LONG(x), py, false), Rgb(grey, grey, grey)))
                        << bits << " bits, planar " << planar << " at " << x << "," << y;
                }
        }
}

TEST(TiffDecode, PagesSizesAndDamage)
{
    Page a, b, c;
    b.width = 7;
    c.width = 9;
    std::vector<BYTE> file = MakeTiff({ a, b, c }, "pages");
    CPicture pic;
    ASSERT_TRUE(DecodeBytes(pic, file, 1));
    EXPECT_EQ(pic.GetWidth(), 7u);
    EXPECT_EQ(pic.GetNumFrames(), 3);
    EXPECT_FALSE(DecodeBytes(pic, file, 3));
    EXPECT_STREQ(pic.GetLastError(), "Error: page not present in TIFF file");

    CPictureTIF sizes;
    sizes.SetEscape(-1);
    sizes.SetFrame(2);
    CPicMemFile in(file.data(), DWORD(file.size()));
    EXPECT_TRUE(sizes.Decode(&in));
    EXPECT_EQ(sizes.GetWidth(), 9u);
    EXPECT_FALSE(sizes.IsValid());
    EXPECT_STREQ(sizes.GetLastError(), "output dimensions returned");

    CPictureTIF limited;
    limited.SetMaxDecodePixels(19 * 11 - 1);
    CPicMemFile in2(file.data(), DWORD(file.size()));
    EXPECT_FALSE(limited.Decode(&in2));
    EXPECT_STREQ(limited.GetLastError(), "CPicture: picture exceeds the decoder pixel limit");

    // A page too large to create, with the pixel limit lifted.
    std::string hugePath = TempPath("huge");
    TIFF* t = TIFFOpen(hugePath.c_str(), "w");
    ASSERT_TRUE(t);
    const uint32_t side = 60000;
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, side);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, side);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, side);
    BYTE one = 0;
    TIFFWriteRawStrip(t, 0, &one, 1);
    TIFFClose(t);
    std::vector<BYTE> huge = ReadFile(hugePath);
    std::remove(hugePath.c_str());
    CPictureTIF unlimited;
    unlimited.SetMaxDecodePixels(0xFFFFFFFFu);
    CPicMemFile hugeIn(huge.data(), DWORD(huge.size()));
    EXPECT_FALSE(unlimited.Decode(&hugeIn));
    EXPECT_STREQ(unlimited.GetLastError(), "CPictureTIF can't create image");

    std::vector<BYTE> garbage = { 'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F };
    EXPECT_FALSE(DecodeBytes(pic, garbage));
    EXPECT_STREQ(pic.GetLastError(), "Error encountered while opening TIFF file");
    EXPECT_FALSE(pic.IsValid());
    // Strips cut off: libtiff's reads fail, nothing half-made is left.
    Page big;
    big.width = 200;
    big.height = 100;
    std::vector<BYTE> whole = MakeTiff({ big }, "cut");
    std::vector<BYTE> cut(whole.begin(), whole.begin() + whole.size() / 3);
    // The directory sits at the end in libtiff's files: keep it, drop strip data.
    std::vector<BYTE> holed = whole;
    std::fill(holed.begin() + 8, holed.begin() + 8 + 4000, 0);
    EXPECT_FALSE(DecodeBytes(pic, cut));
    EXPECT_FALSE(pic.IsValid());
    EXPECT_TRUE(DecodeBytes(pic, holed)); // zero pixels are still pixels
}

TEST(TiffEncode, DefaultsAndRoundTrips)
{
    struct Case {
        DWORD bpp;
        bool greyRamp;
        uint16_t photometric, compression;
    } cases[] = { { 1, false, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4 },
        { 4, true, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW }, { 4, false, PHOTOMETRIC_PALETTE, COMPRESSION_LZW },
        { 8, true, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW }, { 8, false, PHOTOMETRIC_PALETTE, COMPRESSION_LZW },
        { 24, false, PHOTOMETRIC_RGB, COMPRESSION_JPEG } };
    for (const Case& c : cases) {
        CPicture pic(33, 17, c.bpp, 0);
        FillRandom(pic, c.bpp);
        if (c.greyRamp)
            pic.SetGrayPalette();
        if (c.bpp == 1) {
            // Bilevel pages carry no colours: black and white, darker first, so
            // the encoder also has to swap the entries and invert the pixels.
            pic.SetPaletteColor(0, 0, 0, 0);
            pic.SetPaletteColor(1, 255, 255, 255);
        }
        std::vector<BYTE> file = EncodeToBytes(pic, PIC_FORMAT_TIF);
        ASSERT_FALSE(file.empty()) << c.bpp << ": " << pic.GetLastError();
        std::string path = TempPath("enc");
        WriteFile(path, file);
        TIFF* t = TIFFOpen(path.c_str(), "r");
        ASSERT_NE(t, nullptr);
        uint16_t photometric = 0, compression = 0, predictor = 1;
        TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &photometric);
        TIFFGetField(t, TIFFTAG_COMPRESSION, &compression);
        TIFFGetFieldDefaulted(t, TIFFTAG_PREDICTOR, &predictor);
        EXPECT_EQ(photometric, c.photometric) << c.bpp;
        EXPECT_EQ(compression, c.compression) << c.bpp;
        if (compression == COMPRESSION_LZW)
            EXPECT_EQ(predictor, c.bpp == 8 && c.greyRamp ? PREDICTOR_HORIZONTAL : PREDICTOR_NONE) << c.bpp;
        TIFFClose(t);
        std::remove(path.c_str());

        CPicture back;
        ASSERT_TRUE(DecodeBytes(back, file)) << back.GetLastError();
        if (c.bpp == 24) {
            long total = 0;
            for (LONG y = 0; y < 17; ++y)
                for (LONG x = 0; x < 33; ++x) {
                    RGBQUAD a = pic.GetPixelColor(x, y, false), b = back.GetPixelColor(x, y, false);
                    total += std::abs(a.rgbRed - b.rgbRed) + std::abs(a.rgbBlue - b.rgbBlue);
                }
            EXPECT_LT(total / (33 * 17 * 2), 60); // random pixels survive JPEG only roughly; order is kept
        } else {
            for (LONG y = 0; y < 17; ++y)
                for (LONG x = 0; x < 33; ++x)
                    ASSERT_TRUE(SameRgb(pic.GetPixelColor(x, y, false), back.GetPixelColor(x, y, false)))
                        << c.bpp << " at " << x << "," << y;
        }
    }
}

TEST(TiffEncode, PagesAppendAndFailures)
{
    CPicture a(10, 5, 8, 0), b(12, 6, 24, 0), c(14, 7, 1, 0);
    FillRandom(a, 1);
    FillRandom(b, 2);
    FillRandom(c, 3);
    c.SetPaletteColor(0, 255, 255, 255);
    c.SetPaletteColor(1, 0, 0, 0);
    CPicture* list[] = { &a, &b, &c };
    CPicMemFile out;
    ASSERT_TRUE(out.Open());
    CPicture writer;
    ASSERT_TRUE(writer.Encode(&out, list, 3, PIC_FORMAT_TIF)) << writer.GetLastError();
    std::vector<BYTE> file(out.GetBuffer(false), out.GetBuffer(false) + out.Size());
    std::string path = TempPath("multi");
    WriteFile(path, file);
    TIFF* t = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(TIFFNumberOfDirectories(t), 3u);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(TIFFSetDirectory(t, tdir_t(i)));
        uint16_t page = 0, total = 0;
        char* name = nullptr;
        ASSERT_TRUE(TIFFGetField(t, TIFFTAG_PAGENUMBER, &page, &total));
        EXPECT_EQ(page, i + 1);
        EXPECT_EQ(total, i + 1);
        ASSERT_TRUE(TIFFGetField(t, TIFFTAG_PAGENAME, &name));
        EXPECT_EQ(std::string(name), "Page " + std::to_string(i + 1));
    }
    TIFFClose(t);
    std::remove(path.c_str());
    CPicture page;
    ASSERT_TRUE(DecodeBytes(page, file, 2));
    EXPECT_TRUE(SamePixels(page, c));

    CPicture* none[] = { nullptr };
    EXPECT_FALSE(writer.Encode(&out, none, 0, PIC_FORMAT_TIF));
    EXPECT_STREQ(writer.GetLastError(), "multipage TIFF, no images!");
    EXPECT_FALSE(writer.Encode(&out, none, 1, PIC_FORMAT_TIF));
    EXPECT_STREQ(writer.GetLastError(), "Bad image pointer");

    // Appending through one codec object, then a last page that closes the file.
    CPictureTIF codec;
    static_cast<CPicture&>(codec) = a;
    CPicMemFile appended;
    ASSERT_TRUE(appended.Open());
    ASSERT_TRUE(codec.Encode(&appended, true));
    ASSERT_TRUE(codec.Encode(&appended, true));
    ASSERT_TRUE(codec.Encode(&appended, false));
    std::vector<BYTE> three(appended.GetBuffer(false), appended.GetBuffer(false) + appended.Size());
    CPicture p3;
    ASSERT_TRUE(DecodeBytes(p3, three, 2));
    EXPECT_EQ(p3.GetNumFrames(), 3);
    EXPECT_TRUE(SamePixels(p3, a));

    for (LONG limit : { 0L, 4L, 300L }) {
        CCappedFile small(limit);
        EXPECT_FALSE(a.Encode(&small, PIC_FORMAT_TIF)) << limit;
        EXPECT_NE(std::string(a.GetLastError()), "") << limit;
    }
    CPicture empty;
    EXPECT_TRUE(EncodeToBytes(empty, PIC_FORMAT_TIF).empty());
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
}

namespace {

// Bytes that are no picture of any format, ahead of the TIFF in a stream.
std::vector<BYTE> Prefix(size_t n)
{
    std::vector<BYTE> junk(n);
    for (size_t i = 0; i < n; ++i)
        junk[i] = BYTE(0x5A ^ (i * 7));
    return junk;
}

// The pages of a TIFF that starts `at` bytes into `stream`, read by libtiff.
std::vector<uint32_t> PageWidths(const std::vector<BYTE>& stream, size_t at)
{
    std::string path = TempPath("pages");
    WriteFile(path, std::vector<BYTE>(stream.begin() + long(at), stream.end()));
    std::vector<uint32_t> widths;
    TIFF* t = TIFFOpen(path.c_str(), "r");
    if (t) {
        do {
            uint32_t w = 0;
            TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
            widths.push_back(w);
        } while (TIFFReadDirectory(t));
        TIFFClose(t);
    }
    std::remove(path.c_str());
    return widths;
}

std::vector<BYTE> Contents(CPicMemFile& file)
{
    return std::vector<BYTE>(file.GetBuffer(false), file.GetBuffer(false) + file.Size());
}

} // namespace

// A codec reads and writes where the stream stands: a TIFF 100 bytes into a
// memory or disk file decodes, and one written there leaves the bytes
// before it alone.
TEST(TiffStream, DecodesAndEncodesAtAnyPosition)
{
    Page page;
    page.samples = 3, page.photometric = PHOTOMETRIC_RGB;
    std::vector<BYTE> tiff = MakeTiff({ page }, "offset");
    ASSERT_FALSE(tiff.empty());
    const std::vector<BYTE> prefix = Prefix(100);
    std::vector<BYTE> stream(prefix);
    stream.insert(stream.end(), tiff.begin(), tiff.end());
    CPicture reference;
    ASSERT_TRUE(DecodeBytes(reference, tiff));

    CPicMemFile inMemory(stream.data(), DWORD(stream.size()));
    ASSERT_TRUE(inMemory.Seek(100, SEEK_SET));
    CPictureTIF fromMemory;
    ASSERT_TRUE(fromMemory.Decode(&inMemory)) << fromMemory.GetLastError();
    EXPECT_TRUE(SamePixels(fromMemory, reference));
    // The probe of every format starts there too.
    CPicture probed;
    ASSERT_TRUE(inMemory.Seek(100, SEEK_SET));
    ASSERT_TRUE(probed.Decode(&inMemory, PIC_FORMAT_UNKNOWN)) << probed.GetLastError();
    EXPECT_EQ(probed.GetType(), DWORD(PIC_FORMAT_TIF));
    EXPECT_TRUE(SamePixels(probed, reference));

    // Writing one page and three pages after the prefix.
    CPicture grey(21, 8, 8, 0), colour(12, 6, 24, 0);
    FillRandom(grey, 4);
    grey.SetGrayPalette();
    FillRandom(colour, 5);
    colour.SetCodecOption(COMPRESSION_LZW, PIC_FORMAT_TIF);
    CPicture* pages[] = { &grey, &colour, &grey };
    for (int count : { 1, 3 }) {
        CPicMemFile out;
        ASSERT_TRUE(out.Open());
        ASSERT_EQ(out.Write(prefix.data(), 1, prefix.size()), prefix.size());
        CPicture writer;
        ASSERT_TRUE(count == 1 ? grey.Encode(&out, PIC_FORMAT_TIF)
                               : writer.Encode(&out, pages, count, PIC_FORMAT_TIF))
            << count << ": " << grey.GetLastError() << writer.GetLastError();
        std::vector<BYTE> written = Contents(out);
        ASSERT_GT(written.size(), 100u);
        EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), written.begin())) << count;
        EXPECT_EQ(PageWidths(written, 100).size(), size_t(count));
        for (int i = 0; i < count; ++i) {
            CPicMemFile in(written.data(), DWORD(written.size()));
            ASSERT_TRUE(in.Seek(100, SEEK_SET));
            CPictureTIF back;
            back.SetFrame(i);
            ASSERT_TRUE(back.Decode(&in)) << count << " page " << i << ": " << back.GetLastError();
            EXPECT_TRUE(SamePixels(back, *pages[i])) << count << " page " << i;
        }
    }

    // The same through a disk file.
    const std::string path = TempPath("stream");
    CPicIOFile disk;
    ASSERT_TRUE(disk.Open(path.c_str(), "w+b"));
    ASSERT_EQ(disk.Write(prefix.data(), 1, prefix.size()), prefix.size());
    CPictureTIF writer;
    static_cast<CPicture&>(writer) = grey;
    ASSERT_TRUE(writer.Encode(&disk, false)) << writer.GetLastError();
    ASSERT_TRUE(disk.Seek(100, SEEK_SET));
    CPictureTIF fromDisk;
    ASSERT_TRUE(fromDisk.Decode(&disk)) << fromDisk.GetLastError();
    EXPECT_TRUE(SamePixels(fromDisk, grey));
    ASSERT_TRUE(disk.Close());
    std::vector<BYTE> onDisk = ReadFile(path);
    ASSERT_GT(onDisk.size(), 100u);
    EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), onDisk.begin()));
    EXPECT_EQ(PageWidths(onDisk, 100), std::vector<uint32_t> { 21 });
}

// An encode without an open handle appends: at the start of a TIFF it adds a
// page, at the end of a stream it starts a new file, and over other bytes it
// refuses and writes nothing.
TEST(TiffEncode, AppendsToATiffStartsOneAtTheEndAndRefusesOtherBytes)
{
    Page first;
    first.width = 9;
    std::vector<BYTE> tiff = MakeTiff({ first }, "append");
    ASSERT_FALSE(tiff.empty());
    CPicture added(14, 5, 8, 0);
    FillRandom(added, 6);
    added.SetGrayPalette();
    const std::vector<BYTE> prefix = Prefix(40);

    for (size_t at : { size_t(0), prefix.size() }) {
        CPicMemFile file;
        ASSERT_TRUE(file.Open());
        file.Write(prefix.data(), 1, at);
        file.Write(tiff.data(), 1, tiff.size());
        ASSERT_TRUE(file.Seek(LONG(at), SEEK_SET));
        ASSERT_TRUE(added.Encode(&file, PIC_FORMAT_TIF)) << at << ": " << added.GetLastError();
        std::vector<BYTE> both = Contents(file);
        EXPECT_TRUE(std::equal(prefix.begin(), prefix.begin() + long(at), both.begin())) << at;
        EXPECT_EQ(PageWidths(both, at), (std::vector<uint32_t> { 9, 14 })) << at;
        CPicMemFile in(both.data(), DWORD(both.size()));
        ASSERT_TRUE(in.Seek(LONG(at), SEEK_SET));
        CPictureTIF second;
        second.SetFrame(1);
        ASSERT_TRUE(second.Decode(&in)) << second.GetLastError();
        EXPECT_EQ(second.GetNumFrames(), 2);
        EXPECT_TRUE(SamePixels(second, added));
    }

    // A disk file opened for update gets its page the same way.
    const std::string path = TempPath("update");
    WriteFile(path, tiff);
    CPicIOFile disk;
    ASSERT_TRUE(disk.Open(path.c_str(), "r+b"));
    ASSERT_TRUE(added.Encode(&disk, PIC_FORMAT_TIF)) << added.GetLastError();
    ASSERT_TRUE(disk.Close());
    EXPECT_EQ(PageWidths(ReadFile(path), 0), (std::vector<uint32_t> { 9, 14 }));

    // Bytes that are no TIFF are left as they are.
    CPicMemFile other;
    ASSERT_TRUE(other.Open());
    other.Write(prefix.data(), 1, prefix.size());
    ASSERT_TRUE(other.Seek(0, SEEK_SET));
    EXPECT_FALSE(added.Encode(&other, PIC_FORMAT_TIF));
    EXPECT_STREQ(added.GetLastError(), "initialization fail");
    EXPECT_EQ(Contents(other), prefix);
}

// Offsets libtiff seeks to count from the TIFF's header: an absolute one
// that would land before it (negative in two's complement) is refused,
// relative moves still go both ways.
TEST(TiffStream, AbsoluteOffsetsNeverReachBeforeTheHeader)
{
    std::vector<BYTE> stream = Prefix(100);
    const std::vector<BYTE> tiff = MakeTiff({ Page() }, "seek");
    ASSERT_FALSE(tiff.empty());
    stream.insert(stream.end(), tiff.begin(), tiff.end());
    CPicMemFile file(stream.data(), DWORD(stream.size()));
    ASSERT_TRUE(file.Seek(100, SEEK_SET));
    TIFF* t = TiffOpenPicFile(&file, "r");
    ASSERT_NE(t, nullptr);
    const TIFFSeekProc seek = TIFFGetSeekProc(t);
    const thandle_t h = TIFFClientdata(t);
    EXPECT_EQ(seek(h, 8, SEEK_SET), toff_t(8));
    EXPECT_EQ(file.Tell(), 108);
    EXPECT_EQ(seek(h, toff_t(-5), SEEK_SET), toff_t(-1));
    EXPECT_EQ(file.Tell(), 108);
    EXPECT_EQ(seek(h, toff_t(-3), SEEK_CUR), toff_t(5));
    EXPECT_EQ(file.Tell(), 105);
    TIFFClose(t);
}

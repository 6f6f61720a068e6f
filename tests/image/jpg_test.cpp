// The JPEG codec held against libjpeg's own output: pixel for pixel on
// decode, through the library's reader on encode; resolution, options, EXIF
// carry-over and the failures.
#include "image/picture_jpg.h"
#include "image_test_util.h"
#include "jpeg_test_util.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace jpegtest;

namespace {

// Picture rows are bottom-up and blue-green-red; the raster is top-down RGB or grey.
::testing::AssertionResult MatchesRaster(const CPicture& pic, const Raster& r)
{
    if (!r.ok)
        return ::testing::AssertionFailure() << "reference failed: " << r.error;
    if (!pic.IsValid())
        return ::testing::AssertionFailure() << "no picture: " << pic.GetLastError();
    if (LONG(pic.GetWidth()) != r.width || LONG(pic.GetHeight()) != r.height)
        return ::testing::AssertionFailure() << "size " << pic.GetWidth() << "x" << pic.GetHeight() << " vs "
                                             << r.width << "x" << r.height;
    const int comps = r.components;
    if ((comps == 3 && pic.GetBpp() != 24) || (comps == 1 && pic.GetBpp() != 8))
        return ::testing::AssertionFailure() << "depth " << pic.GetBpp() << " for " << comps << " components";
    for (int y = 0; y < r.height; ++y) {
        const BYTE* row = pic.GetBits(DWORD(r.height - 1 - y));
        const BYTE* ref = &r.pixels[size_t(y) * r.width * comps];
        for (int x = 0; x < r.width; ++x) {
            bool same = comps == 3
                ? row[x * 3] == ref[x * 3 + 2] && row[x * 3 + 1] == ref[x * 3 + 1] && row[x * 3 + 2] == ref[x * 3]
                : row[x] == ref[x];
            if (!same)
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

bool DecodeBytes(CPictureJPG& pic, std::vector<BYTE>& bytes)
{
    CPicMemFile file(bytes.data(), DWORD(bytes.size()));
    return pic.Decode(&file);
}

std::vector<BYTE> EncodeBytes(CPictureJPG& pic, bool* ok = nullptr)
{
    CPicMemFile file;
    file.Open();
    bool done = pic.Encode(&file);
    if (ok)
        *ok = done;
    BYTE* data = file.GetBuffer(false);
    return done ? std::vector<BYTE>(data, data + file.Size()) : std::vector<BYTE>();
}

bool HasMarker(const std::vector<BYTE>& s, BYTE code)
{
    for (size_t i = 0; i + 1 < s.size(); ++i)
        if (s[i] == 0xFF && s[i + 1] == code)
            return true;
    return false;
}

CPicture PictureFromRgb(const std::vector<BYTE>& rgb, int w, int h)
{
    CPicture pic(DWORD(w), DWORD(h), 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const BYTE* p = &rgb[(size_t(y) * w + x) * 3];
            pic.SetPixelColor(x, h - 1 - y, Rgb(p[0], p[1], p[2]));
        }
    return pic;
}

// The scan script of a legal progressive stream: the DC scan, then every AC
// coefficient in its own band with ten refinements (11 scans each).
std::vector<jpeg_scan_info> ManyScans(int coefficients)
{
    std::vector<jpeg_scan_info> s;
    s.push_back({ 1, { 0 }, 0, 0, 0, 0 });
    for (int k = 1; k <= coefficients; ++k) {
        s.push_back({ 1, { 0 }, k, k, 0, 10 });
        for (int al = 9; al >= 0; --al)
            s.push_back({ 1, { 0 }, k, k, al + 1, al });
    }
    return s;
}

} // namespace

TEST(JpegDecode, MatchesTheLibraryPixelForPixel)
{
    struct Case {
        int w, h;
        bool progressive;
        int quality;
    } cases[] = { { 1, 1, false, 90 }, { 17, 5, false, 75 }, { 333, 211, false, 90 }, { 64, 48, true, 85 },
        { 129, 67, true, 95 }, { 8, 300, false, 50 } };
    for (const Case& c : cases) {
        std::vector<BYTE> rgb = PhotoLike(c.w, c.h, 3, uint32_t(c.w * 31 + c.h));
        EncodeOptions opts;
        opts.progressive = c.progressive;
        opts.quality = c.quality;
        std::vector<BYTE> jpeg = MakeJpeg(rgb, c.w, c.h, opts);
        ASSERT_FALSE(jpeg.empty());
        CPictureJPG pic;
        ASSERT_TRUE(DecodeBytes(pic, jpeg)) << pic.GetLastError();
        EXPECT_EQ(pic.GetType(), DWORD(PIC_FORMAT_JPG));
        EXPECT_TRUE(MatchesRaster(pic, BareDecode(jpeg))) << c.w << "x" << c.h << " progressive " << c.progressive;

        // The program's road: a plain picture decoding memory with format code 3.
        CPicture plain;
        ASSERT_TRUE(plain.Decode(jpeg.data(), DWORD(jpeg.size()), PIC_FORMAT_JPG));
        EXPECT_TRUE(SamePixels(plain, pic));
        EXPECT_EQ(plain.GetType(), DWORD(PIC_FORMAT_JPG));
        // And probing finds it too.
        CPicture probed;
        ASSERT_TRUE(probed.Decode(jpeg.data(), DWORD(jpeg.size()), 0));
        EXPECT_EQ(probed.GetType(), DWORD(PIC_FORMAT_JPG));
    }
}

TEST(JpegDecode, GreyAndScaledStreams)
{
    std::vector<BYTE> grey = PhotoLike(97, 61, 1);
    EncodeOptions opts;
    opts.inSpace = JCS_GRAYSCALE;
    opts.components = 1;
    std::vector<BYTE> jpeg = MakeJpeg(grey, 97, 61, opts);
    CPictureJPG pic;
    ASSERT_TRUE(DecodeBytes(pic, jpeg));
    EXPECT_EQ(pic.GetBpp(), 8);
    EXPECT_EQ(pic.GetNumColors(), 256u);
    EXPECT_TRUE(pic.IsGrayScale());
    EXPECT_TRUE(MatchesRaster(pic, BareDecode(jpeg)));

    std::vector<BYTE> rgb = PhotoLike(203, 101, 3);
    std::vector<BYTE> colour = MakeJpeg(rgb, 203, 101);
    const struct {
        BYTE scale;
        unsigned denom;
    } scales[] = { { 0, 1 }, { 2, 2 }, { 3, 2 }, { 4, 4 }, { 7, 4 }, { 8, 8 }, { 200, 8 } };
    for (const auto& s : scales) {
        CPictureJPG scaled;
        scaled.SetJpegScale(s.scale);
        ASSERT_TRUE(DecodeBytes(scaled, colour));
        DecodeOptions ds;
        ds.scaleDenom = s.denom;
        EXPECT_TRUE(MatchesRaster(scaled, BareDecode(colour, ds))) << int(s.scale);
    }
}

TEST(JpegDecode, CmykStreamsAreMultipliedByBlack)
{
    const int w = 37, h = 23;
    std::vector<BYTE> cmyk = PhotoLike(w, h, 4, 7);
    EncodeOptions opts;
    opts.inSpace = JCS_CMYK;
    opts.components = 4;
    std::vector<BYTE> jpeg = MakeJpeg(cmyk, w, h, opts);
    Raster ref = BareDecode(jpeg);
    ASSERT_TRUE(ref.ok);
    ASSERT_EQ(ref.components, 4);
    CPictureJPG pic;
    ASSERT_TRUE(DecodeBytes(pic, jpeg)) << pic.GetLastError();
    ASSERT_EQ(pic.GetBpp(), 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const BYTE* s = &ref.pixels[(size_t(y) * w + x) * 4];
            const BYTE* d = pic.GetBits(DWORD(h - 1 - y)) + x * 3;
            ASSERT_EQ(d[0], s[2] * s[3] / 255) << x << "," << y;
            ASSERT_EQ(d[1], s[1] * s[3] / 255);
            ASSERT_EQ(d[2], s[0] * s[3] / 255);
        }

    CPictureJPG grey;
    grey.SetCodecOption(CPictureJPG::JPEG_OPT_GREY_DECODE, PIC_FORMAT_JPG);
    EXPECT_FALSE(DecodeBytes(grey, jpeg));
    EXPECT_STREQ(grey.GetLastError(), "Unsupported color conversion request");
    EXPECT_FALSE(grey.IsValid());
}

TEST(JpegDecode, DecodeOptions)
{
    std::vector<BYTE> rgb = PhotoLike(90, 70, 3, 3);
    std::vector<BYTE> jpeg = MakeJpeg(rgb, 90, 70);

    CPictureJPG grey;
    grey.SetCodecOption(CPictureJPG::JPEG_OPT_GREY_DECODE, PIC_FORMAT_JPG);
    ASSERT_TRUE(DecodeBytes(grey, jpeg));
    DecodeOptions gs;
    gs.outSpace = JCS_GRAYSCALE;
    EXPECT_TRUE(MatchesRaster(grey, BareDecode(jpeg, gs)));
    EXPECT_TRUE(grey.IsGrayScale());

    // Quantised: pixels are colormap indices; the palette holds the colours
    // the library chose, no more.
    for (bool twoPass : { true, false }) {
        CPictureJPG q;
        q.SetJpegQuality(16);
        q.SetCodecOption(CPictureJPG::JPEG_OPT_QUANTIZE | (twoPass ? 0 : CPictureJPG::JPEG_OPT_ONE_PASS),
            PIC_FORMAT_JPG);
        ASSERT_TRUE(DecodeBytes(q, jpeg)) << q.GetLastError();
        DecodeOptions qs;
        qs.quantize = true;
        qs.colors = 16;
        qs.twoPass = twoPass;
        Raster ref = BareDecode(jpeg, qs);
        ASSERT_TRUE(ref.ok);
        ASSERT_EQ(q.GetBpp(), 8);
        ASSERT_LE(ref.colors, 16);
        ASSERT_GE(ref.colors, 2);
        EXPECT_EQ(q.GetNumColors(), DWORD(ref.colors));
        for (int i = 0; i < ref.colors; ++i)
            EXPECT_TRUE(SameRgb(
                q.GetPaletteColor(BYTE(i)), Rgb(ref.colormap[0][i], ref.colormap[1][i], ref.colormap[2][i])))
                << i;
        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < 90; ++x)
                ASSERT_EQ(q.GetPixelIndex(x, 69 - y), ref.pixels[size_t(y) * 90 + x]);
    }

    // Grey and quantised: the palette holds the colormap's grey levels, not a ramp.
    CPictureJPG gq;
    gq.SetJpegQuality(8);
    gq.SetCodecOption(CPictureJPG::JPEG_OPT_GREY_DECODE | CPictureJPG::JPEG_OPT_QUANTIZE, PIC_FORMAT_JPG);
    ASSERT_TRUE(DecodeBytes(gq, jpeg));
    DecodeOptions gqs;
    gqs.outSpace = JCS_GRAYSCALE;
    gqs.quantize = true;
    gqs.colors = 8;
    Raster ref = BareDecode(jpeg, gqs);
    ASSERT_TRUE(ref.ok);
    EXPECT_EQ(gq.GetNumColors(), DWORD(ref.colors));
    for (int i = 0; i < ref.colors; ++i) {
        BYTE v = ref.colormap[0][i];
        EXPECT_TRUE(SameRgb(gq.GetPaletteColor(BYTE(i)), Rgb(v, v, v)));
    }
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 90; ++x)
            ASSERT_EQ(gq.GetPixelIndex(x, 69 - y), ref.pixels[size_t(y) * 90 + x]);

    // Too few colours is the library's refusal, not a crash.
    CPictureJPG few;
    few.SetJpegQuality(1);
    few.SetCodecOption(CPictureJPG::JPEG_OPT_QUANTIZE, PIC_FORMAT_JPG);
    EXPECT_FALSE(DecodeBytes(few, jpeg));
    EXPECT_NE(std::string(few.GetLastError()), "");

    CPictureJPG plainUp;
    plainUp.SetCodecOption(CPictureJPG::JPEG_OPT_NO_FANCY_UPSAMPLING, PIC_FORMAT_JPG);
    ASSERT_TRUE(DecodeBytes(plainUp, jpeg));
    CPictureJPG fancy;
    ASSERT_TRUE(DecodeBytes(fancy, jpeg));
    EXPECT_FALSE(SamePixels(plainUp, fancy)); // 4:2:0 chroma is upsampled differently
}

// A quantised picture holds fewer palette entries than its depth: copies,
// transforms and every indexed encoder keep its colours, and an index past
// the palette reads as black without reading past it.
TEST(JpegDecode, QuantisedPalettesSurviveCopiesTransformsAndEncoders)
{
    std::vector<BYTE> jpeg = MakeJpeg(PhotoLike(90, 70, 3, 5), 90, 70);
    CPictureJPG q;
    q.SetJpegQuality(40);
    q.SetCodecOption(CPictureJPG::JPEG_OPT_QUANTIZE, PIC_FORMAT_JPG);
    ASSERT_TRUE(DecodeBytes(q, jpeg)) << q.GetLastError();
    const DWORD n = q.GetNumColors();
    ASSERT_GE(n, 2u);
    ASSERT_LT(n, 256u);
    q.SetPixelIndex(3, 4, 255);
    EXPECT_TRUE(SameRgb(q.GetPixelColor(3, 4), Rgb(0, 0, 0)));

    CPicture copy(q);
    EXPECT_EQ(copy.GetNumColors(), n);
    EXPECT_TRUE(SamePixels(copy, q));
    CPicture shape(q, false, false, false);
    EXPECT_EQ(shape.GetNumColors(), n);
    EXPECT_TRUE(SameRgb(shape.GetPaletteColor(BYTE(n - 1)), q.GetPaletteColor(BYTE(n - 1))));

    CPicture turned(q), mirrored(q), deeper(q);
    ASSERT_TRUE(turned.RotateLeft());
    ASSERT_TRUE(mirrored.Mirror());
    ASSERT_TRUE(deeper.IncreaseBpp(24));
    for (LONG y = 0; y < 70; ++y)
        for (LONG x = 0; x < 90; ++x) {
            const RGBQUAD c = q.GetPixelColor(x, y);
            ASSERT_TRUE(SameRgb(turned.GetPixelColor(69 - y, x), c)) << x << "," << y;
            ASSERT_TRUE(SameRgb(mirrored.GetPixelColor(89 - x, y), c)) << x << "," << y;
            ASSERT_TRUE(SameRgb(deeper.GetPixelColor(x, y), c)) << x << "," << y;
        }

    for (DWORD type : { PIC_FORMAT_BMP, PIC_FORMAT_GIF, PIC_FORMAT_PNG, PIC_FORMAT_ICO, PIC_FORMAT_TIF,
             PIC_FORMAT_TGA, PIC_FORMAT_PCX }) {
        CPicture source(q);
        std::vector<BYTE> bytes = EncodeToBytes(source, type);
        ASSERT_FALSE(bytes.empty()) << type << ": " << source.GetLastError();
        CPicture back;
        ASSERT_TRUE(back.Decode(bytes.data(), DWORD(bytes.size()), type))
            << type << ": " << back.GetLastError();
        ASSERT_EQ(back.GetWidth(), 90u);
        ASSERT_EQ(back.GetHeight(), 70u);
        for (LONG y = 0; y < 70; ++y)
            for (LONG x = 0; x < 90; ++x)
                ASSERT_TRUE(SameRgb(back.GetPixelColor(x, y, false), q.GetPixelColor(x, y, false)))
                    << "format " << type << " at " << x << "," << y;
    }
}

TEST(JpegDecode, ResolutionFromJfifAndExif)
{
    std::vector<BYTE> rgb = PhotoLike(16, 16, 3);
    const struct {
        int unit, x, y;
        LONG dpiX, dpiY;
    } jfif[] = { { 2, 28, 40, 71, 102 }, { 1, 300, 150, 300, 150 }, { 0, 1, 1, 1, 1 }, { 1, 0, 0, 96, 96 } };
    for (const auto& c : jfif) {
        EncodeOptions opts;
        opts.densityUnit = c.unit;
        opts.xDensity = c.x;
        opts.yDensity = c.y;
        std::vector<BYTE> jpeg = MakeJpeg(rgb, 16, 16, opts);
        CPictureJPG pic;
        ASSERT_TRUE(DecodeBytes(pic, jpeg));
        EXPECT_EQ(pic.GetXDPI(), c.dpiX) << c.unit << " " << c.x;
        EXPECT_EQ(pic.GetYDPI(), c.dpiY) << c.unit << " " << c.y;
    }

    ExifBuilder b(false);
    const struct {
        uint32_t res;
        uint16_t unit;
        LONG dpi;
    } exif[] = { { 72, 2, 72 }, { 28, 3, 71 }, { 300, 1, 300 } };
    for (const auto& c : exif) {
        ExifDir d;
        d.entries = { b.Rat(0x011A, c.res, 1), b.Rat(0x011B, c.res, 1), b.Short(0x0128, c.unit) };
        EncodeOptions opts;
        opts.densityUnit = 1;
        opts.xDensity = opts.yDensity = 600; // the EXIF values win
        opts.app1.push_back(b.Payload({ d }));
        std::vector<BYTE> jpeg = MakeJpeg(rgb, 16, 16, opts);
        CPictureJPG pic;
        ASSERT_TRUE(DecodeBytes(pic, jpeg));
        EXPECT_TRUE(pic.GetExifInfo().hasExif);
        EXPECT_EQ(pic.GetXDPI(), c.dpi) << c.res << " " << c.unit;
        EXPECT_EQ(pic.GetYDPI(), c.dpi);
    }
}

TEST(JpegDecode, DamagedAndEmptyStreams)
{
    std::vector<BYTE> rgb = PhotoLike(120, 90, 3);
    for (bool progressive : { false, true }) {
        EncodeOptions opts;
        opts.progressive = progressive;
        std::vector<BYTE> jpeg = MakeJpeg(rgb, 120, 90, opts);
        std::vector<BYTE> cut(jpeg.begin(), jpeg.begin() + jpeg.size() * 6 / 10);
        CPictureJPG pic;
        ASSERT_TRUE(DecodeBytes(pic, cut)) << pic.GetLastError();
        EXPECT_EQ(pic.GetWidth(), 120u);
        EXPECT_EQ(pic.GetHeight(), 90u);
        EXPECT_TRUE(MatchesRaster(pic, BareDecode(cut)));

        // Cut inside the headers: no picture.
        std::vector<BYTE> head(jpeg.begin(), jpeg.begin() + 100);
        CPictureJPG early;
        EXPECT_FALSE(DecodeBytes(early, head));
        EXPECT_FALSE(early.IsValid());
        EXPECT_NE(std::string(early.GetLastError()), "");
    }

    BYTE none = 0;
    CPicture empty;
    EXPECT_FALSE(empty.Decode(&none, 0, PIC_FORMAT_JPG));
    EXPECT_STREQ(empty.GetLastError(), "Empty input file");

    std::vector<BYTE> garbage = { 'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0 };
    CPicture wrong;
    EXPECT_FALSE(wrong.Decode(garbage.data(), DWORD(garbage.size()), PIC_FORMAT_JPG));
    EXPECT_STREQ(wrong.GetLastError(), "Not a JPEG file: starts with 0x47 0x49");

    // A failed decode of an existing picture leaves it as it was when
    // the stream is refused before any pixel.
    CPictureJPG kept;
    std::vector<BYTE> good = MakeJpeg(rgb, 120, 90);
    ASSERT_TRUE(DecodeBytes(kept, good));
    EXPECT_FALSE(DecodeBytes(kept, garbage));
    EXPECT_TRUE(kept.IsValid());
}

TEST(JpegDecode, SizeOnlyEscapeAndLimits)
{
    std::vector<BYTE> rgb = PhotoLike(150, 70, 3);
    std::vector<BYTE> jpeg = MakeJpeg(rgb, 150, 70);

    CPictureJPG sizes;
    sizes.SetEscape(-1);
    sizes.SetJpegScale(4);
    ASSERT_TRUE(DecodeBytes(sizes, jpeg));
    EXPECT_FALSE(sizes.IsValid());
    EXPECT_EQ(sizes.GetWidth(), 38u);
    EXPECT_EQ(sizes.GetHeight(), 18u);

    CPictureJPG stopped;
    std::vector<BYTE> garbage = { 1, 2, 3, 4 };
    EXPECT_FALSE(DecodeBytes(stopped, garbage));
    std::string before = stopped.GetLastError();
    stopped.SetEscape(1);
    EXPECT_FALSE(DecodeBytes(stopped, jpeg));
    EXPECT_EQ(before, stopped.GetLastError());
    EXPECT_FALSE(stopped.IsValid());

    CPictureJPG limited;
    limited.SetMaxDecodePixels(150 * 70 - 1);
    EXPECT_FALSE(DecodeBytes(limited, jpeg));
    EXPECT_STREQ(limited.GetLastError(), "CPicture: picture exceeds the decoder pixel limit");
    // The limit is on the stored size: scaling down does not get past it.
    limited.SetJpegScale(8);
    EXPECT_FALSE(DecodeBytes(limited, jpeg));
    limited.SetMaxDecodePixels(150 * 70);
    EXPECT_TRUE(DecodeBytes(limited, jpeg));
}

TEST(JpegDecode, ScanCountIsBounded)
{
    std::vector<BYTE> grey = PhotoLike(8, 8, 1);
    EncodeOptions opts;
    opts.inSpace = JCS_GRAYSCALE;
    opts.components = 1;
    opts.progressive = true;
    std::vector<jpeg_scan_info> bomb = ManyScans(63); // 694 scans
    opts.scans = bomb.data();
    opts.scanCount = int(bomb.size());
    std::vector<BYTE> jpeg = MakeJpeg(grey, 8, 8, opts);
    ASSERT_FALSE(jpeg.empty());
    ASSERT_TRUE(BareDecode(jpeg).ok); // legal, only long
    CPictureJPG pic;
    EXPECT_FALSE(DecodeBytes(pic, jpeg));
    EXPECT_STREQ(pic.GetLastError(), "Too many scans in JPEG data");
    EXPECT_FALSE(pic.IsValid());

    std::vector<jpeg_scan_info> fewer = ManyScans(45); // 496 scans
    opts.scans = fewer.data();
    opts.scanCount = int(fewer.size());
    jpeg = MakeJpeg(grey, 8, 8, opts);
    ASSERT_TRUE(DecodeBytes(pic, jpeg)) << pic.GetLastError();
    EXPECT_TRUE(MatchesRaster(pic, BareDecode(jpeg)));
}

TEST(JpegEncode, ColourAndGreyThroughTheLibrary)
{
    const int w = 61, h = 43;
    // Smooth, so that the error left by the encoder is small.
    std::vector<BYTE> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* p = &rgb[(size_t(y) * w + x) * 3];
            p[0] = BYTE(x * 4), p[1] = BYTE(y * 5), p[2] = BYTE(255 - x * 2 - y);
        }
    // A pure red block shows any red-blue mix-up.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            BYTE* p = &rgb[(size_t(y) * w + x) * 3];
            p[0] = 250, p[1] = 10, p[2] = 10;
        }
    CPicture src = PictureFromRgb(rgb, w, h);
    CPictureJPG pic;
    static_cast<CPicture&>(pic) = src;
    pic.SetJpegQuality(95);
    std::vector<BYTE> before(pic.GetBits(0), pic.GetBits(0) + pic.GetEffWidth() * h);
    std::vector<BYTE> jpeg = EncodeBytes(pic);
    ASSERT_FALSE(jpeg.empty()) << pic.GetLastError();
    EXPECT_EQ(std::vector<BYTE>(pic.GetBits(0), pic.GetBits(0) + pic.GetEffWidth() * h), before);
    HeaderInfo hi = ReadHeader(jpeg);
    ASSERT_TRUE(hi.ok);
    EXPECT_EQ(hi.components, 3);
    EXPECT_FALSE(hi.progressive);
    EXPECT_TRUE(hi.jfif);
    EXPECT_EQ(hi.densityUnit, 1);
    EXPECT_EQ(hi.xDensity, 96);
    Raster back = BareDecode(jpeg);
    ASSERT_TRUE(back.ok);
    long total = 0;
    for (size_t i = 0; i < rgb.size(); ++i)
        total += std::abs(int(back.pixels[i]) - int(rgb[i]));
    EXPECT_LT(double(total) / rgb.size(), 3.0);
    EXPECT_GT(back.pixels[(5 * w + 5) * 3], 230); // red stays red
    EXPECT_LT(back.pixels[(5 * w + 5) * 3 + 2], 30);

    // An 8-bit grey picture writes one component with its values.
    CPictureJPG grey;
    grey.Create(w, h, 8, 0);
    grey.SetGrayPalette();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            grey.SetPixelIndex(x, y, BYTE(x * 3 + y));
    grey.SetJpegQuality(100);
    jpeg = EncodeBytes(grey);
    hi = ReadHeader(jpeg);
    EXPECT_EQ(hi.components, 1);
    back = BareDecode(jpeg);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_NEAR(back.pixels[size_t(y) * w + x], x * 3 + (h - 1 - y), 2);

    // 1- and 4-bit grey pictures (entries equal to their index) write one byte per pixel.
    for (DWORD bpp : { 1u, 4u }) {
        CPictureJPG packed;
        packed.Create(w, h, bpp, 0);
        for (DWORD i = 0; i < packed.GetNumColors(); ++i)
            packed.SetPaletteColor(BYTE(i), BYTE(i), BYTE(i), BYTE(i));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                packed.SetPixelIndex(x, y, BYTE((x / 4 + y) % packed.GetNumColors()));
        packed.SetJpegQuality(100);
        jpeg = EncodeBytes(packed);
        ASSERT_FALSE(jpeg.empty()) << bpp;
        back = BareDecode(jpeg);
        ASSERT_EQ(back.components, 1);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_NEAR(back.pixels[size_t(y) * w + x], packed.GetPixelIndex(x, h - 1 - y), 1) << bpp;
    }

    CPictureJPG coloured;
    coloured.Create(4, 4, 8, 0);
    coloured.SetPaletteColor(1, 255, 0, 0);
    CCappedFile out(1 << 20);
    EXPECT_FALSE(coloured.Encode(&out));
    EXPECT_STREQ(coloured.GetLastError(), "JPEG can save only RGB or GreyScale images");
    EXPECT_EQ(out.Size(), 0);
}

TEST(JpegEncode, Options)
{
    const int w = 80, h = 64;
    CPicture src = PictureFromRgb(PhotoLike(w, h, 3, 5), w, h);
    auto encode = [&](DWORD options, BYTE quality, LONG xDpi = 300, LONG yDpi = 150) {
        CPictureJPG pic;
        static_cast<CPicture&>(pic) = src;
        pic.SetJpegQuality(quality);
        pic.SetCodecOption(options, PIC_FORMAT_JPG);
        pic.SetXDPI(xDpi);
        pic.SetYDPI(yDpi);
        return EncodeBytes(pic);
    };

    std::vector<BYTE> low = encode(0, 20), high = encode(0, 95);
    EXPECT_LT(low.size(), high.size());
    EXPECT_GT(ReadHeader(low).quant0, ReadHeader(high).quant0);
    HeaderInfo hi = ReadHeader(high);
    EXPECT_EQ(hi.xDensity, 300);
    EXPECT_EQ(hi.yDensity, 150);
    // Densities are 16-bit fields: each resolution above 65535 is clamped on its own.
    hi = ReadHeader(encode(0, 60, 70000, 150));
    EXPECT_EQ(hi.xDensity, 65535);
    EXPECT_EQ(hi.yDensity, 150);
    hi = ReadHeader(encode(0, 60, 300, 100000));
    EXPECT_EQ(hi.xDensity, 300);
    EXPECT_EQ(hi.yDensity, 65535);

    std::vector<BYTE> prog = encode(CPictureJPG::JPEG_OPT_PROGRESSIVE, 90);
    EXPECT_TRUE(HasMarker(prog, 0xC2));
    EXPECT_TRUE(ReadHeader(prog).progressive);
    CPictureJPG back;
    ASSERT_TRUE(DecodeBytes(back, prog));
    EXPECT_TRUE(MatchesRaster(back, BareDecode(prog)));

    EXPECT_EQ(ReadHeader(encode(CPictureJPG::JPEG_OPT_GREY_ENCODE, 90)).components, 1);

    std::vector<BYTE> optimized = encode(CPictureJPG::JPEG_OPT_OPTIMIZE, 90);
    EXPECT_LT(optimized.size(), encode(0, 90).size());

    std::vector<BYTE> arith = encode(CPictureJPG::JPEG_OPT_ARITHMETIC, 90);
    EXPECT_TRUE(HasMarker(arith, 0xC9));
    ASSERT_TRUE(DecodeBytes(back, arith)) << back.GetLastError();
    EXPECT_TRUE(MatchesRaster(back, BareDecode(arith)));

    CPictureJPG smooth;
    static_cast<CPicture&>(smooth) = src;
    smooth.SetSmoothing(80);
    std::vector<BYTE> unsmoothed = EncodeBytes(smooth);
    smooth.SetCodecOption(CPictureJPG::JPEG_OPT_SMOOTHING, PIC_FORMAT_JPG);
    EXPECT_NE(EncodeBytes(smooth), unsmoothed);
}

TEST(JpegEncode, FailedWritesAreReported)
{
    CPicture src = PictureFromRgb(PhotoLike(200, 150, 3), 200, 150);
    for (LONG limit : { 0L, 100L, 5000L }) {
        CPictureJPG pic;
        static_cast<CPicture&>(pic) = src;
        CCappedFile out(limit);
        EXPECT_FALSE(pic.Encode(&out)) << limit;
        EXPECT_STREQ(pic.GetLastError(), "Output file write error --- out of disk space?");
    }
    CPictureJPG none;
    CCappedFile out(100);
    EXPECT_FALSE(none.Encode(&out));
    EXPECT_STREQ(none.GetLastError(), "null image!!!");
}

TEST(JpegExif, CarriedOverOnEncode)
{
    ExifBuilder b(true);
    ExifDir d0, d1;
    std::vector<BYTE> thumb = { 0xFF, 0xD8, 1, 2, 3, 0xFF, 0xD9, 0 };
    d0.entries = { b.Ascii(0x010F, "Maker"), b.Rat(0x011A, 200, 1), b.Short(0x0128, 2) };
    d0.next = 1;
    d1.entries = { b.Long(0x0201, 0), b.Long(0x0202, 8), b.Undefined(0xC000, thumb) };
    std::vector<BYTE> tiff = b.Tiff({ d0, d1 });
    // Point the thumbnail offset at the undefined value, the block's last 8 bytes.
    size_t d1At = 8 + 2 + 36 + 4 + 6 + 8;
    b.Put32(&tiff[d1At + 2 + 8], uint32_t(tiff.size() - 8));
    std::vector<BYTE> payload = { 'E', 'x', 'i', 'f', 0, 0 };
    Append(payload, tiff);
    std::vector<BYTE> app1 = Segment(0xE1, payload);

    EncodeOptions opts;
    opts.app1.push_back(payload);
    opts.comment = "kept comment";
    std::vector<BYTE> rgb = PhotoLike(40, 30, 3);
    std::vector<BYTE> jpeg = MakeJpeg(rgb, 40, 30, opts);

    CPictureJPG pic;
    ASSERT_TRUE(DecodeBytes(pic, jpeg));
    ASSERT_TRUE(pic.GetExifInfo().hasExif);
    EXPECT_EQ(pic.GetXDPI(), 200);
    ASSERT_EQ(pic.GetExifInfo().thumbnailSize, 8u);
    EXPECT_EQ(std::vector<BYTE>(pic.GetExifInfo().thumbnail, pic.GetExifInfo().thumbnail + 8), thumb);

    for (int round = 0; round < 2; ++round) {
        std::vector<BYTE> out = EncodeBytes(pic);
        ASSERT_GT(out.size(), app1.size() + 2);
        EXPECT_EQ(out[0], 0xFF);
        EXPECT_EQ(out[1], 0xD8);
        EXPECT_EQ(std::vector<BYTE>(out.begin() + 2, out.begin() + 2 + app1.size()), app1) << round;
        EXPECT_FALSE(HasMarker(out, 0xE0)); // the encoder's JFIF section is not kept
        CPictureJPG again;
        ASSERT_TRUE(DecodeBytes(again, out));
        EXPECT_STREQ(again.GetExifInfo().make, "Maker");
        EXPECT_STREQ(again.GetExifInfo().comments, "kept comment");
        EXPECT_TRUE(MatchesRaster(again, BareDecode(out)));
        // The thumbnail still points into the kept section after the rewrite.
        EXPECT_EQ(std::vector<BYTE>(pic.GetExifInfo().thumbnail, pic.GetExifInfo().thumbnail + 8), thumb);
    }

    // A copy carries the values but no reader: no dangling thumbnail, plain encode.
    CPictureJPG copy(pic);
    EXPECT_STREQ(copy.GetExifInfo().make, "Maker");
    EXPECT_EQ(copy.GetExifInfo().thumbnail, nullptr);
    EXPECT_EQ(copy.GetExifReader(), nullptr);
    std::vector<BYTE> plain = EncodeBytes(copy);
    ASSERT_GT(plain.size(), 4u);
    EXPECT_EQ(plain[3], 0xE0);
    CPictureJPG assigned;
    assigned = pic;
    EXPECT_EQ(assigned.GetExifInfo().thumbnail, nullptr);
    EXPECT_TRUE(SamePixels(assigned, pic));

    // The next decode starts from an empty record.
    std::vector<BYTE> bare = MakeJpeg(rgb, 40, 30);
    ASSERT_TRUE(DecodeBytes(pic, bare));
    EXPECT_FALSE(pic.GetExifInfo().hasExif);
    EXPECT_STREQ(pic.GetExifInfo().make, "");
    EXPECT_EQ(pic.GetExifInfo().thumbnail, nullptr);
    EXPECT_EQ(pic.GetXDPI(), 1); // the library's JFIF default 1:1, unit 0
}

TEST(JpegExif, EncodeIntoAWriteOnlyStreamKeepsThePlainStream)
{
    ExifBuilder b(false);
    ExifDir d;
    d.entries = { b.Ascii(0x010F, "Maker") };
    EncodeOptions opts;
    opts.app1.push_back(b.Payload({ d }));
    std::vector<BYTE> jpeg = MakeJpeg(PhotoLike(24, 24, 3), 24, 24, opts);
    CPictureJPG pic;
    ASSERT_TRUE(DecodeBytes(pic, jpeg));
    ASSERT_TRUE(pic.GetExifInfo().hasExif);

    const vtest::CTempFolder folder("veltran_jpg");
    std::string path = folder.Str("exif.jpg");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(pic.Encode(f));
    long end = std::ftell(f);
    std::fclose(f);
    CPictureJPG back;
    ASSERT_TRUE(back.Load(path.c_str(), PIC_FORMAT_JPG)) << back.GetLastError();
    EXPECT_EQ(back.GetWidth(), 24u);
    f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    EXPECT_EQ(std::ftell(f), end);
    std::fclose(f);
    std::remove(path.c_str());
}

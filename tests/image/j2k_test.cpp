// The JPEG-2000 family codec on JP2 and J2K data, held against OpenJPEG used
// directly: round trips, sample depths and signs, colour, frames, the header
// limits, damaged streams and the encoder's failures.
#include "image/picture_j2k.h"
#include "image_test_util.h"
#include "j2k_test_util.h"

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's allocation hooks (its public interface).
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*onMalloc)(const volatile void*, size_t), void (*onFree)(const volatile void*));
#endif

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <cstdio>
#include <string>
#include <vector>

using namespace j2ktest;

namespace {

const char kCannotLoad[] = "error: cannot load image data";
const char kLimit[] = "CPicture: picture exceeds the decoder pixel limit";

CPicture ColourPicture(DWORD w, DWORD h, uint32_t seed)
{
    CPicture pic(w, h, 24);
    FillRandom(pic, seed);
    return pic;
}

// Gradients with a little sensor noise: what lossy coding is for, with
// enough detail that every rate binds.
CPicture PhotoPicture(DWORD w, DWORD h)
{
    CPicture pic(w, h, 24);
    std::mt19937 rng(5);
    auto noisy = [&rng](int v) { return BYTE(std::min(255, std::max(0, v + int(rng() % 13) - 6))); };
    for (LONG y = 0; y < LONG(h); ++y)
        for (LONG x = 0; x < LONG(w); ++x)
            pic.SetPixelColor(x, y,
                Rgb(noisy(x * 255 / LONG(w)), noisy(y * 255 / LONG(h)),
                    noisy(int(128 + 60 * std::sin(x * 0.05) * std::cos(y * 0.07)))));
    return pic;
}

double Psnr(const CPicture& a, const CPicture& b)
{
    double sum = 0;
    size_t n = 0;
    for (LONG y = 0; y < LONG(a.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(a.GetWidth()); ++x) {
            RGBQUAD p = a.GetPixelColor(x, y, false), q = b.GetPixelColor(x, y, false);
            for (int d : { p.rgbRed - q.rgbRed, p.rgbGreen - q.rgbGreen, p.rgbBlue - q.rgbBlue }) {
                sum += double(d) * d;
                ++n;
            }
        }
    return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / (sum / double(n)));
}

bool DecodeJas(CPictureJAS& pic, std::vector<BYTE>& bytes, DWORD type = 0)
{
    CPicMemFile file(bytes.data(), DWORD(bytes.size()));
    return pic.Decode(&file, type);
}

std::vector<BYTE> Encode(opj_image_t* image, bool jp2)
{
    EncodeOptions opts;
    opts.jp2 = jp2;
    std::vector<BYTE> bytes = RefEncode(image, opts);
    EXPECT_FALSE(bytes.empty()) << "the library did not encode";
    return bytes;
}

// The picture's pixels against the library's planes: grey as one plane,
// colour as three, rows top-down.
::testing::AssertionResult MatchesPlanes(const CPicture& pic, const opj_image_t* image)
{
    if (!image)
        return ::testing::AssertionFailure() << "reference decode failed";
    const bool grey = pic.IsIndexed();
    if (image->numcomps != (grey ? 1u : 3u))
        return ::testing::AssertionFailure() << image->numcomps << " components";
    const DWORD w = pic.GetWidth(), h = pic.GetHeight();
    for (DWORD y = 0; y < h; ++y)
        for (DWORD x = 0; x < w; ++x) {
            size_t at = size_t(y) * w + x;
            RGBQUAD q = pic.GetPixelColor(LONG(x), LONG(h - 1 - y), false);
            bool same = grey ? image->comps[0].data[at] == pic.GetPixelIndex(LONG(x), LONG(h - 1 - y))
                             : image->comps[0].data[at] == q.rgbRed && image->comps[1].data[at] == q.rgbGreen
                    && image->comps[2].data[at] == q.rgbBlue;
            if (!same)
                return ::testing::AssertionFailure() << "sample (" << x << ", " << y << ")";
        }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(J2kRoundTrip, LosslessIsExactForGreyAndColourInBothForms)
{
    const DWORD sizes[][2] = { { 1, 1 }, { 7, 3 }, { 64, 65 }, { 300, 2 } };
    for (DWORD type : { DWORD(PIC_FORMAT_JP2), DWORD(PIC_FORMAT_JPC) })
        for (bool colour : { false, true })
            for (const auto& s : sizes) {
                SCOPED_TRACE(::testing::Message()
                    << "type " << type << " colour " << colour << " " << s[0] << "x" << s[1]);
                CPicture src
                    = colour ? ColourPicture(s[0], s[1], s[0] * 7 + s[1]) : GreyPicture(s[0], s[1], s[1]);
                src.SetJpegQuality(100);
                std::vector<BYTE> bytes = EncodeToBytes(src, type);
                ASSERT_FALSE(bytes.empty()) << src.GetLastError();
                EXPECT_EQ(CPictureJAS::DetectFormat(bytes.data(), bytes.size()), type);

                CPicture typed;
                ASSERT_TRUE(typed.Decode(bytes.data(), DWORD(bytes.size()), type)) << typed.GetLastError();
                EXPECT_TRUE(SamePixels(typed, src));
                EXPECT_EQ(typed.GetType(), type);
                EXPECT_EQ(typed.GetNumFrames(), 1);

                // Probing passes every other codec first and names the format found.
                CPicture probed;
                ASSERT_TRUE(probed.Decode(bytes.data(), DWORD(bytes.size()), 0)) << probed.GetLastError();
                EXPECT_TRUE(SamePixels(probed, src));
                EXPECT_EQ(probed.GetType(), type);

                EXPECT_TRUE(MatchesPlanes(src, RefDecode(bytes, type == PIC_FORMAT_JP2).get()));
            }
}

TEST(J2kRoundTrip, TheTypeArgumentNamesTheResultWhateverTheData)
{
    CPicture src = ColourPicture(9, 4, 3);
    std::vector<BYTE> bytes = EncodeToBytes(src, PIC_FORMAT_JPC);
    ASSERT_FALSE(bytes.empty());
    CPictureJAS pic;
    ASSERT_TRUE(DecodeJas(pic, bytes, PIC_FORMAT_PNM)) << pic.GetLastError();
    EXPECT_EQ(pic.GetType(), DWORD(PIC_FORMAT_PNM));
    EXPECT_EQ(pic.GetBpp(), 24);
}

TEST(J2kRoundTrip, LossyStaysWithinSizeAndQualityBounds)
{
    const DWORD w = 256, h = 192;
    const double raw = double(w) * h * 3;
    CPicture src = PhotoPicture(w, h);
    double lastPsnr = 0;
    size_t lastSize = 0;
    for (int quality : { 5, 20, 50 }) {
        SCOPED_TRACE(quality);
        src.SetJpegQuality(BYTE(quality));
        std::vector<BYTE> bytes = EncodeToBytes(src, PIC_FORMAT_JP2);
        ASSERT_FALSE(bytes.empty()) << src.GetLastError();
        // The rate is the share of the raw size kept (headers aside).
        EXPECT_LE(double(bytes.size()), raw * quality / 100.0 + 400);
        EXPECT_GT(bytes.size(), lastSize);
        CPicture back;
        ASSERT_TRUE(back.Decode(bytes.data(), DWORD(bytes.size()), PIC_FORMAT_JP2)) << back.GetLastError();
        double psnr = Psnr(src, back);
        EXPECT_GE(psnr, 30.0);
        EXPECT_GT(psnr, lastPsnr);
        EXPECT_LT(psnr, 99.0); // lossy indeed
        lastPsnr = psnr;
        lastSize = bytes.size();
    }
    // Noise does not compress: a rate of one half must still spend about half.
    CPicture noise = ColourPicture(w, h, 11);
    noise.SetJpegQuality(50);
    std::vector<BYTE> bytes = EncodeToBytes(noise, PIC_FORMAT_JPC);
    EXPECT_GT(double(bytes.size()), raw * 0.4);
    EXPECT_LE(double(bytes.size()), raw * 0.5 + 400);
}

TEST(J2kDecode, WideSamplesAreShiftedToEightBits)
{
    // 12-bit grey: one component, a grey frame.
    CPicPlanes grey = MakePlanes({ { 33, 9, 12, false } }, OPJ_CLRSPC_GRAY, 33, 9,
        [](int, DWORD x, DWORD y) { return OPJ_INT32((x * 127 + y * 301) & 0xFFF); });
    std::vector<BYTE> bytes = Encode(grey.get(), false);
    ASSERT_FALSE(bytes.empty());
    CPictureJAS pic;
    ASSERT_TRUE(DecodeJas(pic, bytes)) << pic.GetLastError();
    ASSERT_EQ(pic.GetBpp(), 8);
    EXPECT_TRUE(pic.IsGrayScale());
    for (DWORD y = 0; y < 9; ++y)
        for (DWORD x = 0; x < 33; ++x)
            ASSERT_EQ(pic.GetPixelIndex(LONG(x), LONG(8 - y)), ((x * 127 + y * 301) & 0xFFF) >> 4)
                << x << "," << y;

    // 16-bit RGB in a JP2 file.
    CPicPlanes rgb = MakePlanes({ { 20, 5, 16, false }, { 20, 5, 16, false }, { 20, 5, 16, false } },
        OPJ_CLRSPC_SRGB, 20, 5,
        [](int c, DWORD x, DWORD y) { return OPJ_INT32((x * 3301 + y * 977 + c * 20011) & 0xFFFF); });
    bytes = Encode(rgb.get(), true);
    ASSERT_FALSE(bytes.empty());
    ASSERT_TRUE(DecodeJas(pic, bytes)) << pic.GetLastError();
    ASSERT_EQ(pic.GetBpp(), 24);
    for (DWORD y = 0; y < 5; ++y)
        for (DWORD x = 0; x < 20; ++x) {
            RGBQUAD q = pic.GetPixelColor(LONG(x), LONG(4 - y), false);
            auto want = [&](int c) { return BYTE(((x * 3301 + y * 977 + c * 20011) & 0xFFFF) >> 8); };
            ASSERT_EQ(q.rgbRed, want(0));
            ASSERT_EQ(q.rgbGreen, want(1));
            ASSERT_EQ(q.rgbBlue, want(2));
        }
}

TEST(J2kDecode, SignedSamplesAreOffset)
{
    CPicPlanes grey = MakePlanes({ { 16, 16, 12, true } }, OPJ_CLRSPC_GRAY, 16, 16,
        [](int, DWORD x, DWORD y) { return OPJ_INT32(x * 256 + y * 16) - 2048; });
    std::vector<BYTE> bytes = Encode(grey.get(), false);
    CPictureJAS pic;
    ASSERT_TRUE(DecodeJas(pic, bytes)) << pic.GetLastError();
    EXPECT_EQ(pic.GetPixelIndex(0, 15), 0); // -2048, the first row
    EXPECT_EQ(pic.GetPixelIndex(15, 0), (15 * 256 + 15 * 16) >> 4);
    EXPECT_EQ(pic.GetPixelIndex(8, 15), 128); // 0 is mid-grey

    CPicPlanes rgb = MakePlanes({ { 4, 1, 8, true }, { 4, 1, 8, true }, { 4, 1, 8, true } }, OPJ_CLRSPC_SRGB,
        4, 1, [](int c, DWORD x, DWORD) { return OPJ_INT32(x * 80) - 128 + c; });
    bytes = Encode(rgb.get(), true);
    ASSERT_TRUE(DecodeJas(pic, bytes)) << pic.GetLastError();
    for (LONG x = 0; x < 4; ++x) {
        RGBQUAD q = pic.GetPixelColor(x, 0, false);
        EXPECT_EQ(q.rgbRed, x * 80);
        EXPECT_EQ(q.rgbGreen, x * 80 + 1);
        EXPECT_EQ(q.rgbBlue, x * 80 + 2);
    }
}

TEST(J2kDecode, NarrowSamplesFillTheirDepth)
{
    struct Case {
        DWORD prec, bpp;
    } cases[] = { { 1, 1 }, { 2, 4 }, { 4, 4 }, { 6, 8 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prec);
        const OPJ_INT32 top = (1 << c.prec) - 1;
        CPicPlanes grey = MakePlanes({ { 13, 3, c.prec, false } }, OPJ_CLRSPC_GRAY, 13, 3,
            [top](int, DWORD x, DWORD y) { return OPJ_INT32((x + y) % DWORD(top + 1)); });
        std::vector<BYTE> bytes = Encode(grey.get(), false);
        CPictureJAS pic;
        ASSERT_TRUE(DecodeJas(pic, bytes)) << pic.GetLastError();
        ASSERT_EQ(pic.GetBpp(), c.bpp);
        const int outTop = (1 << c.bpp) - 1;
        for (DWORD y = 0; y < 3; ++y)
            for (DWORD x = 0; x < 13; ++x) {
                int v = int((x + y) % DWORD(top + 1));
                ASSERT_EQ(pic.GetPixelIndex(LONG(x), LONG(2 - y)), (v * outTop + top / 2) / top)
                    << x << "," << y;
            }
        // The grey palette spans black to white whatever the depth.
        EXPECT_EQ(pic.GetPaletteColor(0).rgbRed, 0);
        EXPECT_GE(pic.GetPaletteColor(BYTE(outTop)).rgbRed, 252);
    }
}

TEST(J2kDecode, YccIsConvertedToRgb)
{
    // A bare code stream with chroma at half resolution both ways (4:2:0).
    const DWORD w = 9, h = 7;
    auto luma = [](DWORD x, DWORD y) { return OPJ_INT32(40 + x * 15 + y * 5); };
    auto cr = [](DWORD x, DWORD y) { return OPJ_INT32(x < 2 && y < 2 ? 178 : 128); };
    CPicPlanes ycc = MakePlanes({ { w, h, 8, false }, { 5, 4, 8, false, 2, 2 }, { 5, 4, 8, false, 2, 2 } },
        OPJ_CLRSPC_UNKNOWN, w, h,
        [&](int c, DWORD x, DWORD y) { return c == 0 ? luma(x, y) : (c == 1 ? OPJ_INT32(128) : cr(x, y)); });
    std::vector<BYTE> bytes = Encode(ycc.get(), false);
    ASSERT_FALSE(bytes.empty());
    CPictureJAS pic;
    ASSERT_TRUE(DecodeJas(pic, bytes)) << pic.GetLastError();
    ASSERT_EQ(pic.GetBpp(), 24);
    ASSERT_EQ(pic.GetWidth(), w);
    auto clamp = [](double v) { return int(v < 0 ? 0 : (v > 255 ? 255 : v + 0.5)); };
    for (DWORD y = 0; y < h; ++y)
        for (DWORD x = 0; x < w; ++x) {
            double yy = luma(x, y), r = cr(x / 2, y / 2) - 128;
            RGBQUAD q = pic.GetPixelColor(LONG(x), LONG(h - 1 - y), false);
            ASSERT_EQ(q.rgbRed, clamp(yy + 1.402 * r)) << x << "," << y;
            ASSERT_EQ(q.rgbGreen, clamp(yy - 0.714136 * r)) << x << "," << y;
            ASSERT_EQ(q.rgbBlue, clamp(yy)) << x << "," << y;
        }

    // A JP2 file that says sYCC is converted at full resolution too.
    CPicPlanes full
        = MakePlanes({ { 2, 1, 8, false }, { 2, 1, 8, false }, { 2, 1, 8, false } }, OPJ_CLRSPC_SYCC, 2, 1,
            [](int c, DWORD x, DWORD) { return OPJ_INT32(c == 0 ? 100 : (c == 1 ? 128 + 50 * x : 128)); });
    bytes = Encode(full.get(), true);
    ASSERT_TRUE(DecodeJas(pic, bytes)) << pic.GetLastError();
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0, false), Rgb(100, 100, 100)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(1, 0, false),
        Rgb(100, BYTE(clamp(100 - 0.344136 * 50)), BYTE(clamp(100 + 1.772 * 50)))));
}

TEST(J2kDecode, OtherComponentSetsAreFrames)
{
    // Grey plus alpha: two frames.
    CPicPlanes two = MakePlanes({ { 6, 2, 8, false }, { 6, 2, 8, false } }, OPJ_CLRSPC_GRAY, 6, 2,
        [](int c, DWORD x, DWORD y) { return OPJ_INT32(c * 100 + x * 10 + y); });
    std::vector<BYTE> bytes = Encode(two.get(), false);
    for (LONG frame : { 0, 1 }) {
        CPictureJAS pic;
        pic.SetFrame(frame);
        ASSERT_TRUE(DecodeJas(pic, bytes)) << pic.GetLastError();
        EXPECT_EQ(pic.GetNumFrames(), 2);
        EXPECT_EQ(pic.GetBpp(), 8);
        EXPECT_EQ(pic.GetPixelIndex(5, 0), frame * 100 + 51);
    }
    CPicture caller = ColourPicture(3, 3, 1);
    CPicture before(caller);
    caller.SetFrame(2);
    EXPECT_FALSE(caller.Decode(bytes.data(), DWORD(bytes.size()), PIC_FORMAT_JPC));
    EXPECT_STREQ(caller.GetLastError(), "wrong frame!");
    EXPECT_TRUE(SamePixels(caller, before)); // the caller's picture is untouched

    // One grey component has only frame 0.
    CPicPlanes one
        = MakePlanes({ { 2, 2, 8, false } }, OPJ_CLRSPC_GRAY, 2, 2, [](int, DWORD, DWORD) { return 7; });
    bytes = Encode(one.get(), true);
    CPictureJAS pic;
    pic.SetFrame(1);
    EXPECT_FALSE(DecodeJas(pic, bytes));
    EXPECT_STREQ(pic.GetLastError(), "wrong frame!");
    EXPECT_EQ(pic.GetNumFrames(), 1);
    pic.SetFrame(-1);
    EXPECT_FALSE(DecodeJas(pic, bytes));

    // Three components of unequal precision are frames too, each at its own depth.
    CPicPlanes mixed = MakePlanes({ { 4, 4, 8, false }, { 4, 4, 4, false }, { 4, 4, 8, false } },
        OPJ_CLRSPC_UNKNOWN, 4, 4, [](int c, DWORD x, DWORD) { return OPJ_INT32(c == 1 ? x : 200); });
    bytes = Encode(mixed.get(), false);
    pic.SetFrame(1);
    ASSERT_TRUE(DecodeJas(pic, bytes)) << pic.GetLastError();
    EXPECT_EQ(pic.GetNumFrames(), 3);
    EXPECT_EQ(pic.GetBpp(), 4);
    EXPECT_EQ(pic.GetPixelIndex(3, 0), 3);
}

TEST(J2kDecode, HeaderLimitsComeBeforeDecoding)
{
    struct Case {
        DWORD width, height, tile, comps;
        const char* text;
    } cases[] = {
        { 8, 8, 8, 64, kCannotLoad }, // allowed, but the header alone is no picture
        { 8, 8, 8, 65, "error: too much components" },
        { 128, 128, 1, 1, kCannotLoad },
        { 129, 128, 1, 1, "error: too many tiles" },
        { 60000, 60000, 60000, 1, kLimit },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            ::testing::Message() << c.width << "x" << c.height << " tile " << c.tile << " comps " << c.comps);
        std::vector<BYTE> bytes = MainHeader(c.width, c.height, c.tile, c.comps);
        CPicture pic = ColourPicture(2, 2, 5);
        CPicture before(pic);
        EXPECT_FALSE(pic.Decode(bytes.data(), DWORD(bytes.size()), PIC_FORMAT_JPC));
        EXPECT_STREQ(pic.GetLastError(), c.text);
        EXPECT_TRUE(SamePixels(pic, before));
    }

    // The caller's pixel limit, one under and at the picture's size.
    CPicture src = ColourPicture(40, 30, 9);
    src.SetJpegQuality(100);
    std::vector<BYTE> bytes = EncodeToBytes(src, PIC_FORMAT_JP2);
    CPictureJAS pic;
    pic.SetMaxDecodePixels(40 * 30 - 1);
    EXPECT_FALSE(DecodeJas(pic, bytes));
    EXPECT_STREQ(pic.GetLastError(), kLimit);
    EXPECT_FALSE(pic.IsValid());
    pic.SetMaxDecodePixels(40 * 30);
    EXPECT_TRUE(DecodeJas(pic, bytes)) << pic.GetLastError();
}

// A JP2 file around a code stream: signature, file type, a grey header box.
std::vector<BYTE> InJp2(const std::vector<BYTE>& codeStream)
{
    std::vector<BYTE> v;
    auto box = [&v](const char* type, const std::vector<BYTE>& body) {
        PutBE32(v, DWORD(8 + body.size()));
        v.insert(v.end(), type, type + 4);
        v.insert(v.end(), body.begin(), body.end());
    };
    box("jP  ", { 0x0D, 0x0A, 0x87, 0x0A });
    box("ftyp", { 'j', 'p', '2', ' ', 0, 0, 0, 0, 'j', 'p', '2', ' ' });
    std::vector<BYTE> header;
    const BYTE ihdr[] = { 0, 0, 0, 22, 'i', 'h', 'd', 'r', 0, 1, 0, 7, 0, 0, 0, 9, 0, 1, 7, 7, 0, 0 };
    const BYTE colr[] = { 0, 0, 0, 15, 'c', 'o', 'l', 'r', 1, 0, 0, 0, 0, 0, 17 };
    header.insert(header.end(), ihdr, ihdr + sizeof(ihdr));
    header.insert(header.end(), colr, colr + sizeof(colr));
    box("jp2h", header);
    box("jp2c", codeStream);
    return v;
}

#if defined(__SANITIZE_ADDRESS__)
std::atomic<bool> g_counting { false };
std::atomic<size_t> g_allocated { 0 };
void CountAllocation(const volatile void*, size_t size)
{
    if (g_counting)
        g_allocated += size;
}
void IgnoreFree(const volatile void*) { }

// Bytes allocated while `work` runs; false where they cannot be counted.
bool AllocatedDuring(const std::function<void()>& work, size_t& bytes)
{
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(CountAllocation, IgnoreFree) != 0;
    g_allocated = 0;
    g_counting = true;
    work();
    g_counting = false;
    bytes = g_allocated;
    return installed;
}
#else
bool AllocatedDuring(const std::function<void()>& work, size_t&)
{
    work();
    return false;
}
#endif

TEST(J2kDecode, TileAndComponentCountsAreReadBeforeTheLibrary)
{
    // 9 x 65543 in 4 x 4 tiles: about 49,000 tiles, fewer pixels than the limit.
    const std::vector<BYTE> tiles = MainHeader(9, 65543, 4, 1), components = MainHeader(8, 8, 8, 65);
    const struct {
        std::vector<BYTE> bytes;
        DWORD type;
        const char* text;
    } cases[] = { { tiles, PIC_FORMAT_JPC, "error: too many tiles" },
        { InJp2(tiles), PIC_FORMAT_JP2, "error: too many tiles" },
        { InJp2(components), PIC_FORMAT_JP2, "error: too much components" } };
    for (const auto& c : cases) {
        CPicture pic;
        size_t allocated = 0;
        const bool counted = AllocatedDuring(
            [&] { EXPECT_FALSE(pic.Decode(const_cast<BYTE*>(c.bytes.data()), DWORD(c.bytes.size()), c.type)); },
            allocated);
        EXPECT_STREQ(pic.GetLastError(), c.text);
        if (counted)
            EXPECT_LT(allocated, size_t(4) << 20) << c.text;
    }
}

TEST(J2kDecode, DamagedStreamsFail)
{
    for (DWORD type : { DWORD(PIC_FORMAT_JP2), DWORD(PIC_FORMAT_JPC) }) {
        SCOPED_TRACE(type);
        CPicture src = ColourPicture(11, 6, 2);
        src.SetJpegQuality(100);
        std::vector<BYTE> bytes = EncodeToBytes(src, type);
        ASSERT_FALSE(bytes.empty());
        // Every cut but the one that drops only the end-of-codestream marker.
        for (size_t n = 0; n + 2 < bytes.size(); ++n) {
            std::vector<BYTE> cut(bytes.begin(), bytes.begin() + long(n));
            cut.reserve(1);
            CPictureJAS pic;
            CPicMemFile file(cut.data(), DWORD(cut.size()));
            ASSERT_FALSE(pic.Decode(&file, type)) << "cut at " << n;
            EXPECT_STREQ(pic.GetLastError(), kCannotLoad);
            EXPECT_FALSE(pic.IsValid());
        }
    }

    // A JP2 box that claims more than the file holds.
    CPicture src = GreyPicture(4, 4, 1);
    std::vector<BYTE> bytes = EncodeToBytes(src, PIC_FORMAT_JP2);
    ASSERT_GT(bytes.size(), 24u);
    bytes[12] = 0x7F; // the file-type box after the signature
    CPictureJAS pic;
    EXPECT_FALSE(DecodeJas(pic, bytes));
    EXPECT_STREQ(pic.GetLastError(), kCannotLoad);

    // Not of the family at all.
    std::vector<BYTE> junk = { 'J', 'U', 'N', 'K', 0, 1, 2, 3 };
    EXPECT_FALSE(DecodeJas(pic, junk));
    EXPECT_STREQ(pic.GetLastError(), kCannotLoad);
    EXPECT_FALSE(pic.Decode(static_cast<CPicFile*>(nullptr), 0));
}

TEST(J2kDecode, ReadsFromWhereTheDataStarts)
{
    for (DWORD type : { DWORD(PIC_FORMAT_JP2), DWORD(PIC_FORMAT_JPC) }) {
        CPicture src = ColourPicture(21, 13, 4);
        src.SetJpegQuality(100);
        std::vector<BYTE> bytes = EncodeToBytes(src, type);
        ASSERT_FALSE(bytes.empty());
        // 37 bytes before the data, 50 after.
        std::vector<BYTE> framed(37 + bytes.size() + 50, 0xCD);
        std::fill(framed.begin(), framed.begin() + 37, BYTE(0xAB));
        std::copy(bytes.begin(), bytes.end(), framed.begin() + 37);
        CPicMemFile file(framed.data(), DWORD(framed.size()));
        ASSERT_TRUE(file.Seek(37, SEEK_SET));
        CPictureJAS pic;
        ASSERT_TRUE(pic.Decode(&file, 0)) << pic.GetLastError();
        EXPECT_TRUE(SamePixels(pic, src));
    }
}

TEST(J2kEncode, WritesAfterExistingBytesAndThroughStdio)
{
    CPicture src = ColourPicture(17, 9, 8);
    src.SetJpegQuality(100);
    // The JP2 writer goes back to fill in the code-stream box's length.
    CPicMemFile file;
    ASSERT_TRUE(file.Open());
    const BYTE prefix[5] = { 1, 2, 3, 4, 5 };
    ASSERT_EQ(file.Write(prefix, 1, 5), 5u);
    ASSERT_TRUE(src.Encode(&file, PIC_FORMAT_JP2)) << src.GetLastError();
    BYTE* data = file.GetBuffer(false);
    EXPECT_EQ(std::vector<BYTE>(data, data + 5), std::vector<BYTE>(prefix, prefix + 5));
    std::vector<BYTE> bytes(data + 5, data + file.Size());
    EXPECT_TRUE(MatchesPlanes(src, RefDecode(bytes, true).get()));

    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(src.Encode(f, PIC_FORMAT_JP2)) << src.GetLastError();
    std::rewind(f);
    CPicture back;
    ASSERT_TRUE(back.Decode(f, 0)) << back.GetLastError();
    std::fclose(f);
    EXPECT_TRUE(SamePixels(back, src));
    EXPECT_EQ(back.GetType(), DWORD(PIC_FORMAT_JP2));
}

TEST(J2kEncode, FailuresGiveTheirTexts)
{
    CPicMemFile file;
    ASSERT_TRUE(file.Open());

    CPicture palette(4, 4, 8);
    FillRandom(palette, 1);
    EXPECT_FALSE(palette.Encode(&file, PIC_FORMAT_JP2));
    EXPECT_STREQ(palette.GetLastError(), "JasPer can save only RGB or GrayScale images");
    EXPECT_EQ(file.Size(), 0);

    CPicture colour = ColourPicture(4, 4, 1);
    EXPECT_FALSE(colour.Encode(&file, PIC_FORMAT_PGX));
    EXPECT_STREQ(colour.GetLastError(), "PGX can save only GrayScale images");

    CPictureJAS jas;
    jas.Copy(colour);
    EXPECT_FALSE(jas.Encode(&file, 0));
    EXPECT_STREQ(jas.GetLastError(), "error: cannot encode image\n");
    EXPECT_FALSE(jas.Encode(&file, 16));
    EXPECT_STREQ(jas.GetLastError(), "error: cannot encode image\n");
    EXPECT_FALSE(jas.Encode(static_cast<CPicFile*>(nullptr), PIC_FORMAT_JP2));
    EXPECT_STREQ(jas.GetLastError(), "null file handler");
    CPictureJAS empty;
    EXPECT_FALSE(empty.Encode(&file, PIC_FORMAT_JP2));
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
}

namespace {

// A memory file that takes at most `limit` bytes. Unlike CCappedFile it caps
// the write position, not the size: JP2 goes back to fill in a box length.
struct FixedFile : CPicMemFile {
    explicit FixedFile(LONG limit)
        : limit(limit)
    {
        Open();
    }
    size_t Write(const void* b, size_t s, size_t n) override
    {
        size_t room = Tell() < limit ? size_t(limit - Tell()) / (s ? s : 1) : 0;
        return CPicMemFile::Write(b, s, n < room ? n : room);
    }
    bool PutC(BYTE c) override { return Write(&c, 1, 1) == 1; }
    LONG limit;
};

} // namespace

TEST(J2kEncode, ShortWritesFail)
{
    CPicture src = ColourPicture(40, 40, 6);
    src.SetJpegQuality(100);
    for (DWORD type = PIC_FORMAT_JP2; type <= PIC_FORMAT_RAS; ++type) {
        SCOPED_TRACE(type);
        CPicture pic = type == PIC_FORMAT_PGX ? GreyPicture(40, 40, 6) : src;
        pic.SetJpegQuality(100);
        std::vector<BYTE> full = EncodeToBytes(pic, type);
        ASSERT_FALSE(full.empty()) << pic.GetLastError();
        for (LONG limit : { LONG(0), LONG(10), LONG(full.size() / 2), LONG(full.size()) - 1 }) {
            FixedFile file(limit);
            EXPECT_FALSE(pic.Encode(&file, type)) << "limit " << limit;
            EXPECT_STREQ(pic.GetLastError(), "error: cannot encode image\n");
        }
        FixedFile exact(LONG(full.size()));
        EXPECT_TRUE(pic.Encode(&exact, type)) << pic.GetLastError();
    }
}

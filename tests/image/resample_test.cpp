// Resampling, shrinking, cropping, canvas expansion and thumbnails.
#include "image/picture.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

CPicture Flat(DWORD w, DWORD h, DWORD bpp, RGBQUAD c)
{
    CPicture pic(w, h, bpp);
    if (bpp < 24)
        pic.SetPaletteColor(BYTE(0), c);
    for (LONG y = 0; y < LONG(h); ++y)
        for (LONG x = 0; x < LONG(w); ++x)
            pic.SetPixelColor(x, y, c);
    return pic;
}

::testing::AssertionResult AllPixels(const CPicture& pic, RGBQUAD c)
{
    for (LONG y = 0; y < LONG(pic.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(pic.GetWidth()); ++x)
            if (!SameRgb(pic.GetPixelColor(x, y), c))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y;
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(Resample, SameSizeChangesNothingAndCopiesIntoDestination)
{
    CPicture pic(30, 20, 24);
    FillRandom(pic, 1);
    CPicture copy(pic), out;
    for (int mode = 0; mode <= 3; ++mode)
        EXPECT_TRUE(pic.Resample(30, 20, mode));
    EXPECT_TRUE(SamePixels(pic, copy));
    EXPECT_TRUE(pic.Resample(30, 20, 1, &out));
    EXPECT_TRUE(SamePixels(out, copy));
    EXPECT_FALSE(pic.Resample(0, 20, 1));
    EXPECT_FALSE(pic.Resample(-5, 20, 1));
    EXPECT_TRUE(SamePixels(pic, copy));
}

TEST(Resample, NearestDoublesAndHalvesFromTheCorner)
{
    for (DWORD bpp : { 4u, 8u, 24u }) {
        CPicture pic(100, 50, bpp);
        FillRandom(pic, bpp);
        CPicture big, small;
        ASSERT_TRUE(pic.Resample(200, 100, 1, &big));
        ASSERT_TRUE(pic.Resample(50, 25, 1, &small));
        for (LONG y = 0; y < 100; y += 7)
            for (LONG x = 0; x < 200; ++x)
                ASSERT_TRUE(SameRgb(big.GetPixelColor(x, y), pic.GetPixelColor(x / 2, y / 2))) << x << "," << y;
        for (LONG y = 0; y < 25; ++y)
            for (LONG x = 0; x < 50; ++x)
                ASSERT_TRUE(SameRgb(small.GetPixelColor(x, y), pic.GetPixelColor(2 * x, 2 * y)));
    }
}

TEST(Resample, FlatPictureStaysFlatInEveryMode)
{
    const RGBQUAD c = Rgb(201, 13, 255);
    const LONG sizes[][2] = { { 7, 5 }, { 50, 33 }, { 91, 13 }, { 13, 91 }, { 40, 30 } };
    for (DWORD bpp : { 8u, 24u })
        for (int mode = 0; mode <= 3; ++mode)
            for (auto& s : sizes) {
                CPicture pic = Flat(40, 30, bpp, c);
                ASSERT_TRUE(pic.Resample(s[0], s[1], mode)) << mode;
                EXPECT_TRUE(AllPixels(pic, c)) << bpp << " bits, mode " << mode << " to " << s[0] << "x" << s[1];
            }
    for (int im = 1; im <= 16; ++im)
        for (bool noAveraging : { false, true })
            for (auto& s : sizes) {
                CPicture pic = Flat(40, 30, 24, c);
                ASSERT_TRUE(pic.Resample2(s[0], s[1], CPicture::InterpolationMethod(im), CPicture::OM_REPEAT,
                    nullptr, noAveraging));
                EXPECT_TRUE(AllPixels(pic, c)) << "method " << im << " to " << s[0] << "x" << s[1];
            }
}

TEST(Resample, AreaAveragingMatchesTheExactBoxAverage)
{
    const LONG cases[][4] = { { 97, 61, 20, 13 }, { 400, 300, 80, 60 }, { 33, 200, 32, 7 }, { 1001, 3, 17, 2 } };
    for (auto& c : cases) {
        LONG w = c[0], h = c[1], nw = c[2], nh = c[3];
        CPicture pic(w, h, 24);
        FillRandom(pic, uint32_t(w * h));
        CPicture out;
        ASSERT_TRUE(pic.Resample(nw, nh, 0, &out));
        double sx = double(w) / nw, sy = double(h) / nh;
        int worst = 0;
        for (LONG y = 0; y < nh; ++y)
            for (LONG x = 0; x < nw; ++x) {
                // Destination (x, y) covers source [x sx, (x + 1) sx) x [y sy, (y + 1) sy).
                double sum[3] = { 0, 0, 0 }, area = 0;
                for (LONG j = LONG(y * sy); j < h && j < (y + 1) * sy; ++j)
                    for (LONG i = LONG(x * sx); i < w && i < (x + 1) * sx; ++i) {
                        double wx = std::min(i + 1.0, (x + 1) * sx) - std::max(double(i), x * sx);
                        double wy = std::min(j + 1.0, (y + 1) * sy) - std::max(double(j), y * sy);
                        RGBQUAD p = pic.GetPixelColor(i, j);
                        sum[0] += p.rgbRed * wx * wy;
                        sum[1] += p.rgbGreen * wx * wy;
                        sum[2] += p.rgbBlue * wx * wy;
                        area += wx * wy;
                    }
                RGBQUAD got = out.GetPixelColor(x, y);
                int d[3] = { int(std::lround(std::fabs(got.rgbRed - sum[0] / area) * 1000)),
                    int(std::lround(std::fabs(got.rgbGreen - sum[1] / area) * 1000)),
                    int(std::lround(std::fabs(got.rgbBlue - sum[2] / area) * 1000)) };
                for (int k : d)
                    worst = std::max(worst, k);
            }
        EXPECT_LE(worst, 1000) << w << "x" << h << " to " << nw << "x" << nh << ": off by " << worst / 1000.0;
    }
}

TEST(Resample, Resample2AveragingMatchesTheAreaSampler)
{
    // The shrinking path reads rows directly; the area sampler is the rule.
    const LONG sizes[][4] = { { 97, 61, 20, 13 }, { 40, 30, 7, 29 }, { 64, 64, 63, 5 }, { 33, 21, 2, 1 } };
    const CPicture::OverflowMethod methods[] = { CPicture::OM_REPEAT, CPicture::OM_WRAP, CPicture::OM_MIRROR,
        CPicture::OM_BACKGROUND };
    for (auto& c : sizes)
        for (CPicture::OverflowMethod om : methods)
            for (bool withAlpha : { false, true }) {
                CPicture pic { DWORD(c[0]), DWORD(c[1]), 24 };
                FillRandom(pic, uint32_t(c[0] + c[2]));
                if (withAlpha) {
                    ASSERT_TRUE(pic.AlphaCreate());
                    for (LONG y = 0; y < c[1]; ++y)
                        for (LONG x = 0; x < c[0]; ++x)
                            pic.AlphaSet(x, y, BYTE(x * 31 + y * 7));
                }
                CPicture out;
                ASSERT_TRUE(pic.Resample2(c[2], c[3], CPicture::IM_BILINEAR, om, &out));
                const float xs = float(double(c[0]) / c[2]), ys = float(double(c[1]) / c[3]);
                for (LONG y = 0; y < c[3]; ++y)
                    for (LONG x = 0; x < c[2]; ++x) {
                        RGBQUAD want = pic.GetAreaColorInterpolated((float(x) + 0.5f) * xs - 0.5f,
                            (float(y) + 0.5f) * ys - 0.5f, xs, ys, CPicture::IM_BILINEAR, om);
                        RGBQUAD got = out.GetPixelColor(x, y, true);
                        const int d[4] = { want.rgbRed - got.rgbRed, want.rgbGreen - got.rgbGreen,
                            want.rgbBlue - got.rgbBlue, want.rgbReserved - got.rgbReserved };
                        for (int k : d)
                            ASSERT_LE(std::abs(k), 1) << c[0] << "x" << c[1] << " to " << c[2] << "x" << c[3]
                                                      << " om " << om << " alpha " << withAlpha << " at " << x
                                                      << "," << y;
                    }
            }
}

TEST(Resample, AlphaFollowsTheNearestPixel)
{
    CPicture pic(10, 10, 24);
    FillRandom(pic, 2);
    ASSERT_TRUE(pic.AlphaCreate());
    for (LONG y = 0; y < 10; ++y)
        for (LONG x = 0; x < 10; ++x)
            pic.AlphaSet(x, y, BYTE(x * 10 + y));
    for (int mode = 0; mode <= 2; ++mode) {
        CPicture out;
        ASSERT_TRUE(pic.Resample(5, 20, mode, &out));
        ASSERT_TRUE(out.AlphaIsValid());
        EXPECT_EQ(out.AlphaGet(3, 7), pic.AlphaGet(6, 3));
    }
}

TEST(Resample, TooLargeATargetLeavesThePictureUnchanged)
{
    CPicture pic(10, 10, 24);
    FillRandom(pic, 3);
    CPicture copy(pic);
    EXPECT_FALSE(pic.Resample(100000, 100000, 1));
    EXPECT_FALSE(pic.Resample2(100000, 100000));
    EXPECT_FALSE(pic.QIShrink(100000, 100000));
    EXPECT_TRUE(SamePixels(pic, copy));
}

TEST(QIShrink, ColumnsAdvanceOnlyPastTheWidth)
{
    CPicture pic(4, 2, 24);
    const BYTE reds[2][4] = { { 10, 20, 30, 40 }, { 50, 60, 70, 80 } };
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 4; ++x)
            pic.SetPixelColor(x, y, Rgb(reds[y][x], 0, 0));
    ASSERT_TRUE(pic.QIShrink(2, 1));
    ASSERT_EQ(pic.GetWidth(), 2u);
    EXPECT_EQ(pic.GetPixelColor(0, 0).rgbRed, (10 + 20 + 30 + 50 + 60 + 70) / 6);
    EXPECT_EQ(pic.GetPixelColor(1, 0).rgbRed, (40 + 80) / 2);

    EXPECT_FALSE(pic.QIShrink(3, 1));
    EXPECT_STREQ(pic.GetLastError(), "QIShrink can't enlarge image");
}

TEST(Crop, RowsCountFromTheTop)
{
    for (DWORD bpp : { 1u, 4u, 8u, 24u }) {
        CPicture pic(37, 50, bpp);
        FillRandom(pic, bpp + 10);
        CPicture all, band, left;
        ASSERT_TRUE(pic.Crop(0, 0, 37, 50, &all));
        EXPECT_TRUE(SamePixels(all, pic));
        ASSERT_TRUE(pic.Crop(3, 10, 30, 30, &band));
        ASSERT_EQ(band.GetWidth(), 27u);
        ASSERT_EQ(band.GetHeight(), 20u);
        // Top-down row 10 is bottom-up row 39.
        for (LONG y = 0; y < 20; ++y)
            for (LONG x = 0; x < 27; ++x)
                ASSERT_EQ(band.GetPixelIndex(x, 19 - y), pic.GetPixelIndex(x + 3, 39 - y));
        ASSERT_TRUE(pic.Crop(-20, 0, 20, 50, &left));
        EXPECT_EQ(left.GetWidth(), 20u);
        EXPECT_FALSE(pic.Crop(5, 0, 5, 50, &left));
        EXPECT_FALSE(pic.Crop(40, 0, 60, 50, &left));
    }
}

TEST(Crop, IntoItselfAndWithAlpha)
{
    CPicture pic(20, 20, 24);
    FillRandom(pic, 5);
    ASSERT_TRUE(pic.AlphaCreate());
    pic.AlphaSet(15, 10, 7);
    CPicture copy(pic);
    RECT r = { 10, 5, 18, 15 };
    ASSERT_TRUE(pic.Crop(r, &pic));
    EXPECT_EQ(pic.GetWidth(), 8u);
    EXPECT_EQ(pic.GetHeight(), 10u);
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), copy.GetPixelColor(10, 5)));
    EXPECT_EQ(pic.AlphaGet(5, 5), 7);
}

TEST(Expand, ThenCropIsTheIdentity)
{
    for (DWORD bpp : { 1u, 4u, 8u, 24u }) {
        CPicture pic(23, 17, bpp);
        FillRandom(pic, bpp + 20);
        CPicture wide, back;
        ASSERT_TRUE(pic.Expand(5, 3, 9, 2, Rgb(0, 0, 0), &wide));
        ASSERT_EQ(wide.GetWidth(), 37u);
        ASSERT_EQ(wide.GetHeight(), 22u);
        ASSERT_TRUE(wide.Crop(5, 3, 5 + 23, 3 + 17, &back));
        EXPECT_TRUE(SamePixels(back, pic)) << bpp;
    }
}

TEST(Expand, OddPixelGoesRightAndBelow)
{
    CPicture pic = Flat(100, 50, 24, Rgb(1, 2, 3));
    ASSERT_TRUE(pic.Expand(101, 51, Rgb(200, 100, 0)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(100, 25), Rgb(200, 100, 0)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(200, 100, 0)));  // bottom row
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 50), Rgb(1, 2, 3)));     // top row
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(99, 1), Rgb(1, 2, 3)));
    EXPECT_FALSE(pic.Expand(50, 60, Rgb(0, 0, 0)));
}

TEST(Expand, MarginsBeyondTheLimitAreRefused)
{
    CPicture pic(10, 10, 24);
    FillRandom(pic, 6);
    CPicture copy(pic);
    EXPECT_FALSE(pic.Expand(INT_MAX - 5, 0, 10, 0, Rgb(0, 0, 0)));
    EXPECT_FALSE(pic.Expand(0, INT_MAX, 0, INT_MAX, Rgb(0, 0, 0)));
    EXPECT_FALSE(pic.Expand(-1, 0, 0, 0, Rgb(0, 0, 0)));
    EXPECT_TRUE(SamePixels(pic, copy));
}

TEST(Thumbnail, FitsKeepsTheAspectAndPads)
{
    CPicture wide = Flat(128, 64, 24, Rgb(9, 9, 9));
    CPicture t;
    ASSERT_TRUE(wide.Thumbnail(64, 64, Rgb(255, 0, 0), &t));
    ASSERT_EQ(t.GetWidth(), 64u);
    ASSERT_EQ(t.GetHeight(), 64u);
    for (LONG y = 0; y < 64; ++y) {
        RGBQUAD expect = (y < 16 || y >= 48) ? Rgb(255, 0, 0) : Rgb(9, 9, 9);
        ASSERT_TRUE(SameRgb(t.GetPixelColor(31, y), expect)) << y;
    }
    CPicture small = Flat(30, 40, 24, Rgb(9, 9, 9));
    ASSERT_TRUE(small.Thumbnail(64, 64, Rgb(255, 0, 0)));
    EXPECT_EQ(small.GetWidth(), 64u);
    EXPECT_TRUE(SameRgb(small.GetPixelColor(17, 12), Rgb(9, 9, 9)));
    CPicture sliver = Flat(1000, 1, 24, Rgb(9, 9, 9));
    ASSERT_TRUE(sliver.Thumbnail(64, 64, Rgb(255, 0, 0)));
    EXPECT_EQ(sliver.GetHeight(), 64u);
    EXPECT_FALSE(sliver.Thumbnail(0, 64, Rgb(0, 0, 0)));
}

TEST(CropRotatedRectangle, TinyAngleIsAPlainCrop)
{
    CPicture pic(40, 40, 24);
    FillRandom(pic, 7);
    CPicture a, b;
    ASSERT_TRUE(pic.CropRotatedRectangle(5, 6, 10, 12, 0.0001f, &a));
    ASSERT_TRUE(pic.Crop(5, 6, 15, 18, &b));
    EXPECT_TRUE(SamePixels(a, b));
    EXPECT_FALSE(pic.CropRotatedRectangle(5, 6, 10, 12, std::nanf(""), &a));
}

TEST(Skew, ZeroGainIsTheIdentityAndNonFiniteGainIsRefused)
{
    CPicture pic(15, 11, 24);
    FillRandom(pic, 8);
    CPicture copy(pic);
    ASSERT_TRUE(pic.Skew(0, 0, 0, 0, false));
    EXPECT_TRUE(SamePixels(pic, copy));
    EXPECT_FALSE(pic.Skew(std::nanf(""), 0, 0, 0, false));
    ASSERT_TRUE(pic.Skew(1e30f, 0, 0, 0, false)); // far outside everywhere but row 0
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(3, 0), copy.GetPixelColor(3, 0)));
}

TEST(CircleTransform, PixelsBeyondTheRadiusReadOutside)
{
    CPicture pic(21, 21, 24);
    FillRandom(pic, 9);
    CPicture copy(pic);
    ASSERT_TRUE(pic.CircleTransform(0, 5, 1));
    // (0, 20) lies far beyond radius 5 of the centre: it reads outside, that is pixel (0, 0).
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 20), copy.GetPixelColor(0, 0)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(10, 10), copy.GetPixelColor(10, 10)));
}

TEST(Skew, KnownGainMovesAKnownPixel)
{
    CPicture pic(10, 10, 24);
    FillRandom(pic, 21);
    CPicture copy(pic);
    // nx = x + 1 * (y - 2): (3, 4) reads (5, 4), (3, 0) reads (1, 0).
    ASSERT_TRUE(pic.Skew(1, 0, 0, 2, false));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(3, 4), copy.GetPixelColor(5, 4)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(3, 0), copy.GetPixelColor(1, 0)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(6, 2), copy.GetPixelColor(6, 2)));
    // (8, 5) would read (11, 5): outside, that is pixel (0, 0).
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(8, 5), copy.GetPixelColor(0, 0)));

    // ny = y + 0.5 * (x - 4), truncated toward zero.
    CPicture v(copy);
    ASSERT_TRUE(v.Skew(0, 0.5f, 4, 0, false));
    EXPECT_TRUE(SameRgb(v.GetPixelColor(6, 3), copy.GetPixelColor(6, 4)));
    EXPECT_TRUE(SameRgb(v.GetPixelColor(1, 5), copy.GetPixelColor(1, 3)));
    EXPECT_TRUE(SameRgb(v.GetPixelColor(3, 0), copy.GetPixelColor(3, 0))); // -0.5 truncates to 0
}

TEST(Skew, IndexedPicturesCopyIndicesAndAlphaFollows)
{
    CPicture pic(12, 8, 8);
    FillRandom(pic, 22);
    ASSERT_TRUE(pic.AlphaCreate());
    for (LONG y = 0; y < 8; ++y)
        for (LONG x = 0; x < 12; ++x)
            pic.AlphaSet(x, y, BYTE(x * 20 + y));
    CPicture copy(pic);
    ASSERT_TRUE(pic.Skew(1, 0, 0, 0, false));
    for (LONG y = 0; y < 8; ++y)
        for (LONG x = 0; x + y < 12; ++x) {
            ASSERT_EQ(pic.GetPixelIndex(x, y), copy.GetPixelIndex(x + y, y)) << x << "," << y;
            ASSERT_EQ(pic.AlphaGet(x, y), copy.AlphaGet(x + y, y)) << x << "," << y;
        }
}

TEST(Skew, InterpolationBlendsNeighbours)
{
    // A horizontal ramp: every channel is 20 x column.
    CPicture pic(10, 6, 24);
    for (LONG y = 0; y < 6; ++y)
        for (LONG x = 0; x < 10; ++x)
            pic.SetPixelColor(x, y, Rgb(BYTE(20 * x), BYTE(20 * x), BYTE(20 * x)));
    CPicture copy(pic);
    ASSERT_TRUE(pic.Skew(0, 0, 0, 0, true));
    EXPECT_TRUE(SamePixels(pic, copy));
    // nx = x + 0.5 * y: row 1 lies half a pixel to the right.
    ASSERT_TRUE(pic.Skew(0.5f, 0, 0, 0, true));
    EXPECT_NEAR(pic.GetPixelColor(2, 1).rgbRed, 50, 1);
    EXPECT_NEAR(pic.GetPixelColor(5, 1).rgbGreen, 110, 1);
    EXPECT_NEAR(pic.GetPixelColor(2, 2).rgbBlue, 60, 1);
    EXPECT_NEAR(pic.GetPixelColor(4, 0).rgbRed, 80, 1);
}

TEST(CircleTransform, UniformPictureStaysUniformForEveryType)
{
    for (DWORD bpp : { 8u, 24u })
        for (int type = 0; type <= 4; ++type) {
            SCOPED_TRACE(::testing::Message() << bpp << " bits, type " << type);
            CPicture pic = Flat(23, 17, bpp, Rgb(40, 80, 120));
            for (LONG rmax : { 0L, 6L, 100L }) {
                ASSERT_TRUE(pic.CircleTransform(type, rmax, 3));
                EXPECT_TRUE(AllPixels(pic, Rgb(40, 80, 120)));
            }
        }
    CPicture none;
    EXPECT_FALSE(none.CircleTransform(0, 5, 1));
}

TEST(CircleTransform, CentreAndKnownPointsByType)
{
    CPicture src(21, 21, 24);
    FillRandom(src, 23);
    auto run = [&](int type, LONG rmax, float koeff) {
        CPicture pic(src);
        EXPECT_TRUE(pic.CircleTransform(type, rmax, koeff));
        return pic;
    };
    auto same = [&](const CPicture& pic, LONG x, LONG y, LONG sx, LONG sy) {
        return SameRgb(pic.GetPixelColor(x, y), src.GetPixelColor(sx, sy));
    };
    // The centre is (10, 10). Types 0-2 keep it; (16, 10) has r = 6, angle pi.
    CPicture t0 = run(0, 10, 1);
    EXPECT_TRUE(same(t0, 10, 10, 10, 10));
    EXPECT_TRUE(same(t0, 16, 10, 7, 10));  // nr = 36 / 10 = 3.6
    EXPECT_TRUE(same(t0, 10, 16, 10, 13)); // angle -pi/2
    EXPECT_TRUE(same(t0, 13, 10, 10, 10)); // nr = 0.9
    EXPECT_TRUE(same(t0, 20, 20, 0, 0));   // beyond the radius: outside
    CPicture t1 = run(1, 10, 1);
    EXPECT_TRUE(same(t1, 10, 10, 10, 10));
    EXPECT_TRUE(same(t1, 16, 10, 3, 10)); // nr = sqrt(60)
    CPicture t2 = run(2, 10, 6);
    EXPECT_TRUE(same(t2, 10, 10, 10, 10));
    EXPECT_TRUE(same(t2, 16, 10, 7, 15)); // turned by 6 / 6 = 1: angle pi + 1
    CPicture t2k = run(2, 10, 0);         // a factor of 0 counts as 1
    EXPECT_TRUE(same(t2k, 16, 10, 5, 9)); // angle pi + 6
    // Type 3: angle and radius become column and row.
    CPicture t3 = run(3, 10, 1);
    EXPECT_TRUE(same(t3, 10, 10, 0, 0));
    EXPECT_TRUE(same(t3, 13, 14, 7, 10)); // r = 5, angle atan2(-4, -3)
    // Type 4: columns shift by (x rem 32) - 16.
    CPicture t4 = run(4, 10, 1);
    EXPECT_TRUE(same(t4, 10, 10, 4, 10));
    EXPECT_TRUE(same(t4, 15, 7, 14, 7));
    EXPECT_TRUE(same(t4, 7, 10, 0, 0)); // column -2: outside
    // A radius of 0 becomes trunc(sqrt(10^2 + 10^2)) = 14.
    CPicture ta = run(0, 0, 1);
    EXPECT_TRUE(same(ta, 0, 3, 18, 4)); // r = sqrt(149), nr = 149 / 14
    EXPECT_TRUE(same(ta, 20, 17, 2, 16));
}

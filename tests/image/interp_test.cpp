// Sub-pixel sampling: kernels, overflow methods, point and area sampling.
#include "image/picture.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

typedef CPicture::InterpolationMethod IM;
typedef CPicture::OverflowMethod OM;

bool SameQuad(const RGBQUAD& a, const RGBQUAD& b)
{
    return SameRgb(a, b) && a.rgbReserved == b.rgbReserved;
}

::testing::AssertionResult QuadEq(const RGBQUAD& a, const RGBQUAD& b)
{
    if (SameQuad(a, b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << int(a.rgbRed) << "," << int(a.rgbGreen) << "," << int(a.rgbBlue)
                                         << "," << int(a.rgbReserved) << ") vs (" << int(b.rgbRed) << ","
                                         << int(b.rgbGreen) << "," << int(b.rgbBlue) << "," << int(b.rgbReserved)
                                         << ")";
}

// Every method with a 4 x 4 (or 12 x 12) kernel.
const int kKernelMethods[] = { 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 };

} // namespace

TEST(Kernels, ValuesAtTheirSamplePoints)
{
    EXPECT_FLOAT_EQ(CPicture::KernelBSpline(0), 0.6666667f);
    EXPECT_NEAR(CPicture::KernelBSpline(1), 1.0f / 6, 1e-6);
    EXPECT_EQ(CPicture::KernelBSpline(2.5f), 0.0f);
    EXPECT_EQ(CPicture::KernelCubic(1), 0.0f);
    EXPECT_EQ(CPicture::KernelCubic(0), 1.0f);
    EXPECT_EQ(CPicture::KernelBox(0.5f), 0.0f);
    EXPECT_EQ(CPicture::KernelBox(-0.5f), 1.0f);
    EXPECT_NEAR(CPicture::KernelLanczosSinc(6, 6), 0.0f, 1e-6);
    EXPECT_EQ(CPicture::KernelLanczosSinc(6.5f, 6), 0.0f);
    EXPECT_EQ(CPicture::KernelLanczosSinc(0, 6), 1.0f);
    EXPECT_FLOAT_EQ(CPicture::KernelLinear(-0.25f), 0.75f);
    EXPECT_FLOAT_EQ(CPicture::KernelHermite(0.5f), 0.5f);
    EXPECT_FLOAT_EQ(CPicture::KernelHamming(-1.0f), 0.08f);
    EXPECT_EQ(CPicture::KernelHamming(1.0f), 0.0f);
    EXPECT_EQ(CPicture::KernelSinc(0), 1.0f);
    EXPECT_NEAR(CPicture::KernelSinc(0.5f), 0.6366198f, 1e-6);
    EXPECT_FLOAT_EQ(CPicture::KernelBlackman(0), 1.0f);
    EXPECT_NEAR(CPicture::KernelBlackman(2), 1.0f, 1e-6); // not windowed: the reason it is normalised
    EXPECT_FLOAT_EQ(CPicture::KernelBessel(0), 0.7853982f);
    EXPECT_FLOAT_EQ(CPicture::KernelGaussian(0), 0.79788458f);
    EXPECT_FLOAT_EQ(CPicture::KernelQuadratic(0), 0.75f);
    EXPECT_FLOAT_EQ(CPicture::KernelQuadratic(1), 0.125f);
    EXPECT_FLOAT_EQ(CPicture::KernelMitchell(0), 0.8888889f);
    EXPECT_NEAR(CPicture::KernelMitchell(-2), 0.0f, 1e-5);
    EXPECT_EQ(CPicture::KernelCatrom(0), 1.0f);
    EXPECT_EQ(CPicture::KernelCatrom(1), 0.0f);
    EXPECT_EQ(CPicture::KernelCatrom(-1), 0.0f);
    EXPECT_EQ(CPicture::KernelGeneralizedCubic(1, -0.5f), 0.0f);
    EXPECT_FLOAT_EQ(CPicture::KernelGeneralizedCubic(0.5f, -0.5f), 0.5625f);
}

TEST(Kernels, BesselOfTheFirstKindOrderOne)
{
    // Published values of J1, on both sides of the switch to the asymptotic form at 8.
    EXPECT_NEAR(CPicture::KernelBessel_Order1(1.0f), 0.4400505857, 1e-6);
    EXPECT_NEAR(CPicture::KernelBessel_Order1(-1.0f), -0.4400505857, 1e-6);
    EXPECT_NEAR(CPicture::KernelBessel_Order1(5.0f), -0.3275791376, 1e-6);
    EXPECT_NEAR(CPicture::KernelBessel_Order1(10.0f), 0.0434727462, 1e-6);
    EXPECT_NEAR(CPicture::KernelBessel_Order1(-20.0f), -0.0668331242, 1e-6);
    EXPECT_EQ(CPicture::KernelBessel_Order1(0), 0.0f);
}

TEST(Kernels, CubicFamiliesArePartitionsOfUnity)
{
    float (*kernels[])(float) = { &CPicture::KernelBSpline, &CPicture::KernelCubic, &CPicture::KernelCatrom,
        &CPicture::KernelMitchell, &CPicture::KernelQuadratic };
    for (auto k : kernels)
        for (float f = 0; f < 1; f += 0.0625f) {
            float sum = k(-1 - f) + k(-f) + k(1 - f) + k(2 - f);
            EXPECT_NEAR(sum, 1.0f, 2e-6) << "offset " << f;
        }
}

TEST(Overflow, IntegerCoordinates)
{
    CPicture pic(10, 4, 24);
    FillRandom(pic, 7);
    LONG x = -3, y = 1;
    pic.OverflowCoordinates(x, y, CPicture::OM_WRAP);
    EXPECT_EQ(x, 7);
    x = 12, y = 1;
    pic.OverflowCoordinates(x, y, CPicture::OM_MIRROR);
    EXPECT_EQ(x, 7);
    x = -3, y = -1;
    pic.OverflowCoordinates(x, y, CPicture::OM_MIRROR);
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 1);
    x = 50, y = -9;
    pic.OverflowCoordinates(x, y, CPicture::OM_REPEAT);
    EXPECT_EQ(x, 9);
    EXPECT_EQ(y, 0);
    // The most negative values must not overflow on the way.
    x = std::numeric_limits<LONG>::min(), y = std::numeric_limits<LONG>::min();
    pic.OverflowCoordinates(x, y, CPicture::OM_MIRROR);
    EXPECT_TRUE(pic.IsInside(x, y));
    x = std::numeric_limits<LONG>::min(), y = std::numeric_limits<LONG>::max();
    pic.OverflowCoordinates(x, y, CPicture::OM_WRAP);
    EXPECT_TRUE(pic.IsInside(x, y));
}

TEST(Overflow, ColoursOutsideThePicture)
{
    CPicture pic(10, 4, 24);
    FillRandom(pic, 8);
    RGBQUAD white = pic.GetPixelColorWithOverflow(-1, 0, CPicture::OM_COLOR, nullptr);
    EXPECT_TRUE(QuadEq(white, Rgb(255, 255, 255, 0)));
    RGBQUAD red = Rgb(255, 0, 0, 9);
    EXPECT_TRUE(QuadEq(pic.GetPixelColorWithOverflow(0, 99, CPicture::OM_COLOR, &red), red));
    EXPECT_TRUE(SameRgb(pic.GetPixelColorWithOverflow(-5, 2, CPicture::OM_REPEAT), pic.GetPixelColor(0, 2)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColorWithOverflow(-3, 2, CPicture::OM_WRAP), pic.GetPixelColor(7, 2)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColorWithOverflow(12, 2, CPicture::OM_MIRROR), pic.GetPixelColor(7, 2)));
    // Background: the replacement until the picture has a transparent colour.
    EXPECT_TRUE(QuadEq(pic.GetPixelColorWithOverflow(-1, 0, CPicture::OM_BACKGROUND, &red), red));
    pic.SetTransIndex(0);
    pic.SetTransColor(Rgb(1, 2, 3));
    EXPECT_TRUE(SameRgb(pic.GetPixelColorWithOverflow(-1, 0, CPicture::OM_BACKGROUND, &red), Rgb(1, 2, 3)));
    // Transparent with an alpha plane: the replacement with alpha 0.
    ASSERT_TRUE(pic.AlphaCreate());
    RGBQUAD t = pic.GetPixelColorWithOverflow(-1, 0, CPicture::OM_TRANSPARENT, &red);
    EXPECT_TRUE(QuadEq(t, Rgb(255, 0, 0, 0)));

    CPicture indexed(4, 4, 8);
    FillRandom(indexed, 9);
    indexed.SetTransIndex(5);
    EXPECT_TRUE(SameRgb(indexed.GetPixelColorWithOverflow(9, 9, CPicture::OM_BACKGROUND),
        indexed.GetPaletteColor(5)));
}

TEST(PointSampling, NearestAndBilinearAtPixelCentres)
{
    CPicture pic(8, 6, 24);
    FillRandom(pic, 10);
    auto at = [&](float x, float y, int im) {
        return pic.GetPixelColorInterpolated(x, y, IM(im), CPicture::OM_REPEAT);
    };
    EXPECT_TRUE(SameRgb(at(2.5f, 0, 1), pic.GetPixelColor(3, 0)));
    EXPECT_TRUE(SameRgb(at(-0.4f, 0, 1), pic.GetPixelColor(0, 0)));
    EXPECT_TRUE(SameRgb(at(3.0f, 4.0f, 2), pic.GetPixelColor(3, 4)));
    // Halfway between two pixels of a row: their mean, truncated.
    RGBQUAD a = pic.GetPixelColor(3, 4), b = pic.GetPixelColor(4, 4);
    RGBQUAD mid = at(3.5f, 4.0f, 2);
    EXPECT_EQ(mid.rgbRed, (a.rgbRed + b.rgbRed) / 2);
    EXPECT_EQ(mid.rgbBlue, (a.rgbBlue + b.rgbBlue) / 2);
}

TEST(PointSampling, InterpolatingKernelsReturnThePixelAtItsCentre)
{
    CPicture pic(20, 17, 24);
    FillRandom(pic, 11);
    const int methods[] = { 1, 2, 4, 5, 6, 7, 8, 10, 16 };
    for (int im : methods)
        for (LONG y = 0; y < 17; y += 4)
            for (LONG x = 0; x < 20; x += 3) {
                RGBQUAD c = pic.GetPixelColorInterpolated(float(x), float(y), IM(im), CPicture::OM_REPEAT);
                ASSERT_TRUE(SameRgb(c, pic.GetPixelColor(x, y))) << "method " << im << " at " << x << "," << y;
            }
}

TEST(PointSampling, FlatPictureStaysFlatForEveryMethod)
{
    CPicture pic(13, 9, 24);
    for (LONG y = 0; y < 9; ++y)
        for (LONG x = 0; x < 13; ++x)
            pic.SetPixelColor(x, y, Rgb(200, 37, 255));
    ASSERT_TRUE(pic.AlphaCreate());
    pic.AlphaSet(BYTE(77));
    const int overflows[] = { 4, 5, 6 };
    for (int im = 1; im <= 16; ++im)
        for (int om : overflows)
            for (float y = -2.3f; y < 11; y += 0.77f)
                for (float x = -3.1f; x < 15; x += 0.61f) {
                    RGBQUAD c = pic.GetPixelColorInterpolated(x, y, IM(im), OM(om));
                    ASSERT_TRUE(QuadEq(c, Rgb(200, 37, 255, 77)))
                        << "method " << im << " overflow " << om << " at " << x << "," << y;
                }
}

TEST(PointSampling, DirectReadsEqualTheOverflowPath)
{
    // Near the edge of pic the neighbourhood reads through the overflow
    // method; in padded, pic with its edges repeated, the same samples lie
    // inside and are read directly.
    const LONG w = 23, h = 19, pad = 7;
    CPicture pic(w, h, 24);
    FillRandom(pic, 12);
    ASSERT_TRUE(pic.AlphaCreate());
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            pic.AlphaSet(x, y, BYTE(x * 11 + y * 3));
    CPicture padded(w + 2 * pad, h + 2 * pad, 24);
    ASSERT_TRUE(padded.AlphaCreate());
    for (LONG y = 0; y < h + 2 * pad; ++y)
        for (LONG x = 0; x < w + 2 * pad; ++x) {
            LONG sx = std::min(std::max(x - pad, LONG(0)), w - 1), sy = std::min(std::max(y - pad, LONG(0)), h - 1);
            padded.SetPixelColor(x, y, pic.GetPixelColor(sx, sy), true);
        }
    for (int im = 1; im <= 16; ++im)
        // Sixteenths, so that adding the padding moves no fraction bit.
        for (float y = -0.875f; y < 2.5f; y += 0.375f)
            for (float x = -0.8125f; x < float(w); x += 0.5625f) {
                RGBQUAD edge = pic.GetPixelColorInterpolated(x, y, IM(im), CPicture::OM_REPEAT);
                RGBQUAD inside = padded.GetPixelColorInterpolated(x + pad, y + pad, IM(im), CPicture::OM_REPEAT);
                ASSERT_TRUE(QuadEq(edge, inside)) << "method " << im << " at " << x << "," << y;
            }
}

TEST(PointSampling, IndexedPictureSamplesLikeItsTrueColourTwin)
{
    CPicture indexed(16, 12, 8);
    CPicture rgb(16, 12, 24);
    FillRandom(indexed, 13);
    for (LONG y = 0; y < 12; ++y)
        for (LONG x = 0; x < 16; ++x)
            rgb.SetPixelColor(x, y, indexed.GetPixelColor(x, y, false));
    for (int im = 1; im <= 16; ++im)
        for (float y = 2.2f; y < 8; y += 0.9f)
            for (float x = 5.1f; x < 10; x += 0.7f)
                ASSERT_TRUE(SameRgb(indexed.GetPixelColorInterpolated(x, y, IM(im), CPicture::OM_REPEAT),
                    rgb.GetPixelColorInterpolated(x, y, IM(im), CPicture::OM_REPEAT)))
                    << "method " << im;
}

TEST(PointSampling, PositionsThatAreNoNumberReadTheReplacement)
{
    CPicture pic(8, 8, 24);
    FillRandom(pic, 14);
    RGBQUAD green = Rgb(0, 255, 0, 3);
    const float bad[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
        -std::numeric_limits<float>::infinity() };
    for (int im = 1; im <= 16; ++im)
        for (int om = 1; om <= 6; ++om)
            for (float v : bad) {
                EXPECT_TRUE(QuadEq(pic.GetPixelColorInterpolated(v, 1, IM(im), OM(om), &green), green));
                EXPECT_TRUE(QuadEq(pic.GetPixelColorInterpolated(1, v, IM(im), OM(om), &green), green));
                EXPECT_TRUE(QuadEq(pic.GetAreaColorInterpolated(1, 1, v, 3, IM(im), OM(om), &green), green));
            }
    // Huge but finite positions: outside, and the repeat method still finds the corner.
    EXPECT_TRUE(QuadEq(pic.GetPixelColorInterpolated(3e30f, 2, CPicture::IM_BICUBIC, CPicture::OM_COLOR, &green),
        green));
    EXPECT_TRUE(SameRgb(pic.GetPixelColorInterpolated(3e30f, -3e30f, CPicture::IM_NEAREST_NEIGHBOUR,
                            CPicture::OM_REPEAT),
        pic.GetPixelColor(7, 0)));
}

TEST(AreaSampling, SmallAreaIsAPointAndLargeAreaIsTheMean)
{
    CPicture pic(9, 7, 24);
    FillRandom(pic, 15);
    for (int im = 1; im <= 16; ++im)
        EXPECT_TRUE(QuadEq(pic.GetAreaColorInterpolated(3.3f, 2.7f, 1, 1, IM(im), CPicture::OM_REPEAT),
            pic.GetPixelColorInterpolated(3.3f, 2.7f, IM(im), CPicture::OM_REPEAT)));
    // The 2 x 2 area centred between pixels (4, 2) and (5, 3) covers them exactly.
    RGBQUAD c = pic.GetAreaColorInterpolated(4.5f, 2.5f, 2, 2, CPicture::IM_BILINEAR, CPicture::OM_REPEAT);
    int sum = 0;
    for (LONG y = 2; y <= 3; ++y)
        for (LONG x = 4; x <= 5; ++x)
            sum += pic.GetPixelColor(x, y).rgbRed;
    EXPECT_NEAR(c.rgbRed, sum / 4.0, 1.0);
    // A 3 x 3 area from x = -2 to 1: with repeat the edge column weighs 2.5, the next 0.5.
    RGBQUAD e = pic.GetAreaColorInterpolated(-0.5f, 3, 3, 3, CPicture::IM_BILINEAR, CPicture::OM_REPEAT);
    double expect = 0;
    for (LONG y = 2; y <= 4; ++y)
        expect += 2.5 * pic.GetPixelColor(0, y).rgbGreen + 0.5 * pic.GetPixelColor(1, y).rgbGreen;
    EXPECT_NEAR(e.rgbGreen, expect / 9, 1.0);
}

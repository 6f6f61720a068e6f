// Fourier transform: the line transforms against each other and against
// their inverse, and the picture-level rules of FFT2.
#include "filter_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

struct Transforms : CPicture {
    using CPicture::DFT;
    using CPicture::FFT;
    using CPicture::IsPowerof2;
};

CPicture Grey(DWORD w, DWORD h, BYTE value)
{
    CPicture pic(w, h, 8);
    pic.SetGrayPalette();
    pic.Clear(value);
    return pic;
}

} // namespace

TEST(Fourier, PowerOfTwoTestIsExact)
{
    EXPECT_TRUE(Transforms::IsPowerof2(1));
    EXPECT_TRUE(Transforms::IsPowerof2(2));
    EXPECT_TRUE(Transforms::IsPowerof2(1 << 30));
    EXPECT_FALSE(Transforms::IsPowerof2(0));
    EXPECT_FALSE(Transforms::IsPowerof2(6));
    EXPECT_FALSE(Transforms::IsPowerof2(-4));
    EXPECT_FALSE(Transforms::IsPowerof2(INT32_MIN));
    EXPECT_FALSE(Transforms::IsPowerof2(INT32_MAX));
    EXPECT_FALSE(Transforms::IsPowerof2((1 << 30) + 1));
}

TEST(Fourier, FastTransformEqualsDirectTransformOnPowersOfTwo)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> value(-128, 127);
    for (int m = 0; m <= 7; ++m) {
        LONG n = LONG(1) << m;
        for (int dir : { 1, -1 }) {
            std::vector<double> re(n), im(n), re2(n), im2(n), sre(n), sim(n);
            for (LONG i = 0; i < n; ++i) {
                re[i] = re2[i] = value(rng);
                im[i] = im2[i] = value(rng);
            }
            ASSERT_TRUE(Transforms::FFT(dir, m, re.data(), im.data()));
            ASSERT_TRUE(Transforms::DFT(dir, n, re2.data(), im2.data(), sre.data(), sim.data()));
            // The direct transform's single-precision 2 pi leaves ~1e-7 per term.
            for (LONG i = 0; i < n; ++i) {
                EXPECT_NEAR(re[i], re2[i], 1e-3 * n) << m << " " << dir << " " << i;
                EXPECT_NEAR(im[i], im2[i], 1e-3 * n) << m << " " << dir << " " << i;
            }
        }
    }
}

TEST(Fourier, ForwardThenInverseGivesTheLineBack)
{
    std::mt19937 rng(6);
    std::uniform_real_distribution<double> value(-128, 127);
    for (int m = 1; m <= 9; ++m) {
        LONG n = LONG(1) << m;
        std::vector<double> re(n), im(n), re0(n), im0(n);
        for (LONG i = 0; i < n; ++i) {
            re[i] = re0[i] = value(rng);
            im[i] = im0[i] = value(rng);
        }
        ASSERT_TRUE(Transforms::FFT(1, m, re.data(), im.data()));
        ASSERT_TRUE(Transforms::FFT(-1, m, re.data(), im.data()));
        for (LONG i = 0; i < n; ++i) {
            EXPECT_NEAR(re[i], re0[i], 1e-9);
            EXPECT_NEAR(im[i], im0[i], 1e-9);
        }
    }
    // The direct transform, on a length that is no power of two.
    std::vector<double> re(12), im(12), re0(12), im0(12), s1(12), s2(12);
    for (int i = 0; i < 12; ++i) {
        re[i] = re0[i] = value(rng);
        im[i] = im0[i] = value(rng);
    }
    ASSERT_TRUE(Transforms::DFT(1, 12, re.data(), im.data(), s1.data(), s2.data()));
    ASSERT_TRUE(Transforms::DFT(-1, 12, re.data(), im.data(), s1.data(), s2.data()));
    for (int i = 0; i < 12; ++i) {
        EXPECT_NEAR(re[i], re0[i], 1e-3);
        EXPECT_NEAR(im[i], im0[i], 1e-3);
    }
}

TEST(Fourier, PictureWithIntegerSpectrumRoundTrips)
{
    // 16 x 16: the scale is 1. Level 128 + 20 plus a checkerboard of
    // amplitude 30 has exactly two nonzero coefficients, both integers.
    for (bool force : { true, false }) {
        CPicture re(16, 16, 8), im = Grey(16, 16, 128);
        re.SetGrayPalette();
        for (LONG y = 0; y < 16; ++y)
            for (LONG x = 0; x < 16; ++x)
                re.SetPixelIndex(x, y, BYTE(148 + ((x + y) % 2 ? -30 : 30)));
        CPicture original(re);
        CPicture fr, fi, br, bi;
        ASSERT_TRUE(re.FFT2(&re, &im, &fr, &fi, 1, force, false));
        EXPECT_EQ(fr.GetPixelIndex(0, 0), 148);
        EXPECT_EQ(fr.GetPixelIndex(8, 8), 158);
        EXPECT_EQ(fr.GetPixelIndex(3, 5), 128);
        ASSERT_TRUE(re.FFT2(&fr, &fi, &br, &bi, -1, force, false));
        EXPECT_TRUE(SamePixels(br, original));
        for (LONG y = 0; y < 16; ++y)
            for (LONG x = 0; x < 16; ++x)
                EXPECT_EQ(bi.GetPixelIndex(x, y), 128);
    }
}

TEST(Fourier, UniformZeroTransformsToZero)
{
    CPicture re = Grey(10, 6, 128), im = Grey(10, 6, 128);
    ASSERT_TRUE(re.FFT2(&re, &im, nullptr, nullptr, 1, false, false));
    // Without outputs the inputs are replaced.
    for (LONG y = 0; y < 6; ++y)
        for (LONG x = 0; x < 10; ++x) {
            EXPECT_EQ(re.GetPixelIndex(x, y), 128);
            EXPECT_EQ(im.GetPixelIndex(x, y), 128);
        }
}

TEST(Fourier, MissingImaginaryInputReadsAsZero)
{
    CPicture re(8, 8, 24);
    FillRandom(re, 12);
    CPicture zero = Grey(8, 8, 128);
    CPicture out1, out2, imag2;
    ASSERT_TRUE(re.FFT2(&re, nullptr, &out1, nullptr, 1, true, true));
    ASSERT_TRUE(re.FFT2(&re, &zero, &out2, &imag2, 1, true, true));
    EXPECT_TRUE(SamePixels(out1, out2));
}

TEST(Fourier, PowerOfTwoSizesAreForcedOnlyWhenAsked)
{
    CPicture re = Grey(100, 60, 130);
    CPicture a, b;
    ASSERT_TRUE(re.FFT2(&re, nullptr, &a, nullptr, 1, true, false));
    EXPECT_EQ(a.GetWidth(), 128u);
    EXPECT_EQ(a.GetHeight(), 64u);
    ASSERT_TRUE(re.FFT2(&re, nullptr, &b, nullptr, 1, false, false));
    EXPECT_EQ(b.GetWidth(), 100u);
    EXPECT_EQ(b.GetHeight(), 60u);
    // Level 2 everywhere: the direct transform puts it all at the origin,
    // scaled by 100 / 16.
    EXPECT_EQ(b.GetPixelIndex(0, 0), BYTE(2 * 6.25 + 128));
    EXPECT_EQ(b.GetPixelIndex(1, 0), 128);
    EXPECT_EQ(re.GetWidth(), 100u); // the input was not touched
}

TEST(Fourier, BadArgumentsChangeNothing)
{
    CPicture re = Grey(8, 8, 100), empty, out = Grey(3, 3, 1);
    Snapshot before(re), outBefore(out);
    EXPECT_FALSE(re.FFT2(nullptr, nullptr, &out, &out, 1, true, true));
    EXPECT_FALSE(re.FFT2(&re, nullptr, &out, nullptr, 0, true, true));
    EXPECT_FALSE(re.FFT2(&re, &empty, &out, nullptr, 1, true, true));
    EXPECT_TRUE(Snapshot(re) == before);
    EXPECT_TRUE(Snapshot(out) == outBefore);
}

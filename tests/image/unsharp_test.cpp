// Unsharp mask: the kernel, the line blur against a plain reference, and
// the picture-level identities.
#include "filter_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

namespace {

struct Unsharp : CPicture {
    using CPicture::blur_line;
    using CPicture::gen_convolve_matrix;
    using CPicture::gen_lookup_table;
};

std::vector<float> Kernel(float radius)
{
    float* k = nullptr;
    int n = Unsharp::gen_convolve_matrix(radius, &k);
    std::vector<float> out(k, k + n);
    std::free(k);
    return out;
}

// Renormalised convolution with the taps that fall on the line, in double.
std::vector<int> ReferenceBlur(const std::vector<float>& k, const std::vector<BYTE>& line)
{
    int mid = int(k.size()) / 2, n = int(line.size());
    std::vector<int> out(n);
    for (int r = 0; r < n; ++r) {
        double sum = 0, scale = 0;
        for (int t = 0; t < int(k.size()); ++t) {
            int j = r - mid + t;
            if (j < 0 || j >= n)
                continue;
            sum += line[j] * double(k[t]);
            scale += k[t];
        }
        out[r] = int(sum / scale + 0.5);
    }
    return out;
}

CPicture Uniform(DWORD w, DWORD h, DWORD bpp, BYTE v)
{
    CPicture pic(w, h, bpp);
    if (bpp == 8)
        pic.SetGrayPalette();
    pic.Clear(v);
    return pic;
}

} // namespace

TEST(UnsharpKernel, SymmetricNormalisedAndSizedByTheRadius)
{
    EXPECT_EQ(Kernel(0).size(), 5u); // std_dev 1, reach 2
    for (float radius : { 0.0f, 0.5f, 1.0f, 2.5f, -3.0f, 10.0f }) {
        std::vector<float> k = Kernel(radius);
        double sd = std::fabs(radius) + 1;
        EXPECT_EQ(k.size(), size_t(2 * std::ceil(2 * sd - 0.5) + 1)) << radius;
        double total = 0;
        for (size_t i = 0; i < k.size(); ++i) {
            EXPECT_FLOAT_EQ(k[i], k[k.size() - 1 - i]);
            EXPECT_GT(k[i], 0.0f);
            total += k[i];
        }
        EXPECT_NEAR(total, 1.0, 1e-5);
    }
    // Non-finite and huge radii stay bounded.
    EXPECT_EQ(Kernel(std::numeric_limits<float>::quiet_NaN()).size(), 5u);
    EXPECT_LT(Kernel(1e30f).size(), 5000u);
}

TEST(UnsharpKernel, LineBlurMatchesTheReferenceOnEveryZone)
{
    std::mt19937 rng(3);
    for (float radius : { 0.0f, 1.0f, 3.0f }) {
        std::vector<float> k = Kernel(radius);
        float* table = Unsharp::gen_lookup_table(k.data(), int(k.size()));
        ASSERT_NE(table, nullptr);
        for (int length : { 1, 2, 3, 5, 8, 13, 40 }) {
            std::vector<BYTE> line(length), out(length);
            for (BYTE& b : line)
                b = BYTE(rng());
            Unsharp::blur_line(table, k.data(), int(k.size()), line.data(), out.data(), length, 1);
            std::vector<int> want = ReferenceBlur(k, line);
            for (int i = 0; i < length; ++i)
                EXPECT_NEAR(out[i], want[i], 1) << radius << " " << length << " " << i;
        }
        std::free(table);
    }
}

TEST(UnsharpMask, UniformPictureStaysUniformAtEveryWidthAndRadius)
{
    for (float radius : { 0.0f, 0.7f, 2.0f, 6.0f }) {
        for (DWORD w : { 1u, 2u, 3u, 4u, 7u, 12u, 30u }) {
            for (BYTE v : { BYTE(0), BYTE(1), BYTE(77), BYTE(254), BYTE(255) }) {
                CPicture pic = Uniform(w, 5, 24, v);
                ASSERT_TRUE(pic.UnsharpMask(radius, 3.0f, 0));
                for (LONG y = 0; y < 5; ++y)
                    for (LONG x = 0; x < LONG(w); ++x)
                        ASSERT_TRUE(SameRgb(pic.GetPixelColor(x, y), Rgb(v, v, v)))
                            << radius << " " << w << " " << int(v) << " at " << x;
            }
        }
    }
}

TEST(UnsharpMask, HighThresholdOrZeroAmountChangeNothing)
{
    CPicture pic(20, 9, 24);
    FillRandom(pic, 17);
    Snapshot before(pic);
    ASSERT_TRUE(pic.UnsharpMask(2.0f, 5.0f, 511));
    EXPECT_TRUE(Snapshot(pic) == before);
    ASSERT_TRUE(pic.UnsharpMask(2.0f, 0.0f, 0));
    EXPECT_TRUE(Snapshot(pic) == before);
}

TEST(UnsharpMask, StepEdgeGetsOvershootOnBothSides)
{
    CPicture pic = Uniform(16, 16, 8, 100);
    for (LONG y = 0; y < 16; ++y)
        for (LONG x = 8; x < 16; ++x)
            pic.SetPixelIndex(x, y, 160);
    ASSERT_TRUE(pic.UnsharpMask(1.0f, 1.0f, 0));
    EXPECT_TRUE(pic.IsGrayScale());
    EXPECT_LT(pic.GetPixelIndex(7, 8), 100);
    EXPECT_GT(pic.GetPixelIndex(8, 8), 160);
    EXPECT_EQ(pic.GetPixelIndex(0, 8), 100);
    EXPECT_EQ(pic.GetPixelIndex(15, 8), 160);
}

TEST(UnsharpMask, UnsupportedDepthsAndBadNumbersAreRefused)
{
    CPicture four(8, 8, 4), one(8, 8, 1), colour(8, 8, 8);
    four.SetGrayPalette();
    FillRandom(colour, 1);
    EXPECT_FALSE(four.UnsharpMask(1, 1, 0));
    EXPECT_FALSE(one.UnsharpMask(1, 1, 0));
    EXPECT_FALSE(colour.UnsharpMask(1, 1, 0));
    CPicture pic(8, 8, 24);
    FillRandom(pic, 2);
    Snapshot before(pic);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(pic.UnsharpMask(nan, 1, 0));
    EXPECT_FALSE(pic.UnsharpMask(1, inf, 0));
    EXPECT_TRUE(Snapshot(pic) == before);
}

// Stopped in the blur passes nothing is sharpened; stopped in the
// combination, the rows it reached are sharpened and the others keep their
// old pixels, not the blurred ones.
TEST(UnsharpMask, EscapeKeepsTheRowsSharpenedAndTheOthersAsTheyWere)
{
    for (DWORD bpp : { 24u, 8u }) {
        const LONG w = 23, h = 14;
        CPicture original(w, h, bpp);
        FillRandom(original, 11);
        if (bpp == 8)
            original.SetGrayPalette();
        CPicture whole(original);
        ASSERT_TRUE(whole.UnsharpMask(2.0f, 0.8f, 0));
        ASSERT_FALSE(SamePixels(whole, original));
        // Rows, then columns, then the combination's rows start in turn.
        const struct {
            int stop;
            LONG sharpened;
        } cases[]
            = { { 0, 0 }, { 6, 0 }, { h + 9, 0 }, { h + w, 0 }, { h + w + 5, 5 }, { h + w + h - 1, h - 1 } };
        for (const auto& c : cases) {
            CPicture part(original);
            {
                EscapeAt escape(c.stop);
                EXPECT_TRUE(part.UnsharpMask(2.0f, 0.8f, 0)) << bpp << " stopped at " << c.stop;
            }
            EXPECT_TRUE(RowsSplitAt(part, whole, original, c.sharpened)) << bpp << " stopped at " << c.stop;
        }
    }
}

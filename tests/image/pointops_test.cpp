// Point operations: the tables behind Light and Gamma, the palette and
// selection rules of Lut, and the single-pixel rules of the other operations.
#include "filter_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

// A 256 x 1 picture whose pixel i is grey i: after a table operation pixel i
// shows table entry i.
CPicture Ramp()
{
    CPicture pic(256, 1, 24);
    for (LONG i = 0; i < 256; ++i)
        pic.SetPixelColor(i, 0, Rgb(BYTE(i), BYTE(i), BYTE(i)));
    return pic;
}

BYTE RampEntry(const CPicture& pic, LONG i) { return pic.GetPixelColor(i, 0, false).rgbRed; }

} // namespace

TEST(Light, ZeroKeepsTheLowHalfAndLowersTheHighHalfByOne)
{
    CPicture pic = Ramp();
    ASSERT_TRUE(pic.Light(0, 0));
    for (LONG i = 0; i <= 128; ++i)
        EXPECT_EQ(RampEntry(pic, i), i) << i;
    for (LONG i = 129; i < 256; ++i)
        EXPECT_EQ(RampEntry(pic, i), i - 1) << i;
}

TEST(Light, KnownTableOfBrightnessTenContrastTwenty)
{
    CPicture pic = Ramp();
    ASSERT_TRUE(pic.Light(10, 20));
    for (LONG i = 0; i <= 13; ++i)
        EXPECT_EQ(RampEntry(pic, i), 0) << i;
    EXPECT_EQ(RampEntry(pic, 14), 1);
    EXPECT_EQ(RampEntry(pic, 128), 138);
    EXPECT_EQ(RampEntry(pic, 255), 255);
}

TEST(Light, FullNegativeContrastIsFlatAtBrightnessPlus128)
{
    for (LONG b : { -200L, -50L, 0L, 60L, 127L, 500L }) {
        CPicture pic = Ramp();
        ASSERT_TRUE(pic.Light(b, -100));
        LONG expect = std::min<LONG>(255, std::max<LONG>(0, 128 + b));
        for (LONG i = 0; i < 256; i += 17)
            EXPECT_EQ(RampEntry(pic, i), expect) << b << " " << i;
    }
}

TEST(Light, ExtremeArgumentsSaturateWithoutOverflow)
{
    // Runs under UBSan: no intermediate may overflow a LONG or an int.
    struct Case {
        LONG brightness, contrast;
        BYTE low, high; // expected at inputs 0 and 255
    } cases[] = { { INT32_MAX, 0, 255, 255 }, { INT32_MIN, 0, 0, 0 }, { 0, INT32_MAX, 0, 255 },
        { 0, INT32_MIN, 255, 0 }, { INT32_MAX, INT32_MAX, 0, 255 }, { INT32_MIN, INT32_MIN, 255, 0 } };
    for (const Case& c : cases) {
        CPicture pic = Ramp();
        ASSERT_TRUE(pic.Light(c.brightness, c.contrast));
        EXPECT_EQ(RampEntry(pic, 0), c.low) << c.brightness << " " << c.contrast;
        EXPECT_EQ(RampEntry(pic, 255), c.high) << c.brightness << " " << c.contrast;
    }
}

TEST(Light, PalettePictureChangesOnlyThePalette)
{
    CPicture pic(9, 5, 8);
    FillRandom(pic, 3);
    std::vector<BYTE> indices;
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 9; ++x)
            indices.push_back(pic.GetPixelIndex(x, y));
    RGBQUAD before = pic.GetPaletteColor(200);
    ASSERT_TRUE(pic.Light(40, 0));
    size_t k = 0;
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 9; ++x)
            EXPECT_EQ(pic.GetPixelIndex(x, y), indices[k++]);
    RGBQUAD after = pic.GetPaletteColor(200);
    EXPECT_EQ(before.rgbRed, 200); // inputs above 128 gain one less
    EXPECT_EQ(after.rgbRed, 239);
}

TEST(Light, OnlySelectedPixelsChange)
{
    CPicture pic(12, 10, 24);
    FillRandom(pic, 11);
    CPicture original(pic);
    SelectBox(pic, 2, 3, 7, 8);
    ASSERT_TRUE(pic.Light(30, 10));
    CPicture reference(original);
    ASSERT_TRUE(reference.Light(30, 10));
    for (LONG y = 0; y < 10; ++y)
        for (LONG x = 0; x < 12; ++x) {
            bool inside = x >= 2 && x < 7 && y >= 3 && y < 8;
            const CPicture& expect = inside ? reference : original;
            EXPECT_TRUE(SameRgb(pic.GetPixelColor(x, y), expect.GetPixelColor(x, y))) << x << "," << y;
        }
}

TEST(Light, EmptyPictureIsRefused)
{
    CPicture pic;
    EXPECT_FALSE(pic.Light(1, 1));
    EXPECT_FALSE(pic.Jitter(1));
    EXPECT_FALSE(pic.Gamma(2));
    EXPECT_FALSE(pic.Noise(5));
    EXPECT_FALSE(pic.Threshold(10));
    EXPECT_EQ(pic.Mean(), 0.0f);
}

TEST(Lut, WholePictureTableAlsoRewritesRowPadding)
{
    CPicture pic(1, 2, 24); // 3 pixel bytes and 1 padding byte per row
    BYTE* row = pic.GetBits(0);
    row[0] = 1, row[1] = 2, row[2] = 3, row[3] = 4;
    BYTE table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = BYTE(255 - i);
    ASSERT_TRUE(pic.Lut(table));
    EXPECT_EQ(row[0], 254);
    EXPECT_EQ(row[3], 251);
}

TEST(Lut, NullTablesAreRefusedAndChangeNothing)
{
    CPicture pic(4, 4, 24);
    FillRandom(pic, 5);
    Snapshot before(pic);
    BYTE t[256] = {};
    EXPECT_FALSE(pic.Lut(nullptr));
    EXPECT_FALSE(pic.Lut(t, nullptr, t, nullptr));
    EXPECT_FALSE(pic.Lut(t, t, nullptr, t));
    EXPECT_TRUE(Snapshot(pic) == before);
}

TEST(Lut, IdentityTablesChangeNothing)
{
    BYTE id[256];
    for (int i = 0; i < 256; ++i)
        id[i] = BYTE(i);
    for (DWORD bpp : { 1u, 4u, 8u, 24u }) {
        CPicture pic(13, 7, bpp);
        FillRandom(pic, bpp);
        pic.AlphaCreate();
        pic.AlphaSet(3, 3, 77);
        Snapshot before(pic);
        ASSERT_TRUE(pic.Lut(id));
        ASSERT_TRUE(pic.Lut(id, id, id, id));
        EXPECT_TRUE(Snapshot(pic) == before) << bpp;
    }
}

TEST(Lut, FourTablesMapEachChannelAndTheAlpha)
{
    CPicture pic(3, 2, 24);
    pic.AlphaCreate();
    pic.SetPixelColor(1, 1, Rgb(10, 20, 30, 40), true);
    BYTE r[256], g[256], b[256], a[256];
    for (int i = 0; i < 256; ++i) {
        r[i] = BYTE(i + 1);
        g[i] = BYTE(i + 2);
        b[i] = BYTE(i + 3);
        a[i] = BYTE(255 - i);
    }
    ASSERT_TRUE(pic.Lut(r, g, b, a));
    RGBQUAD c = pic.GetPixelColor(1, 1, true);
    EXPECT_EQ(c.rgbRed, 11);
    EXPECT_EQ(c.rgbGreen, 22);
    EXPECT_EQ(c.rgbBlue, 33);
    EXPECT_EQ(c.rgbReserved, 215);
}

TEST(Lut, GreyPaletteWithSelectionMapsIndicesNotPalette)
{
    CPicture pic(6, 6, 8);
    pic.SetGrayPalette();
    for (LONG y = 0; y < 6; ++y)
        for (LONG x = 0; x < 6; ++x)
            pic.SetPixelIndex(x, y, BYTE(10 * x + y));
    SelectBox(pic, 0, 0, 3, 6);
    BYTE table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = BYTE(i + 100);
    ASSERT_TRUE(pic.Lut(table));
    EXPECT_TRUE(pic.IsGrayScale());
    EXPECT_EQ(pic.GetPixelIndex(2, 4), 124);
    EXPECT_EQ(pic.GetPixelIndex(3, 4), 34);
}

TEST(Gamma, OneIsTheIdentity)
{
    CPicture pic = Ramp();
    ASSERT_TRUE(pic.Gamma(1.0f));
    for (LONG i = 0; i < 256; ++i)
        EXPECT_EQ(RampEntry(pic, i), i) << i;
}

TEST(Gamma, CurveKeepsEndsAndBrightensOrDarkens)
{
    CPicture bright = Ramp(), dark = Ramp();
    ASSERT_TRUE(bright.Gamma(2.0f));
    ASSERT_TRUE(dark.Gamma(0.5f));
    EXPECT_EQ(RampEntry(bright, 0), 0);
    EXPECT_EQ(RampEntry(bright, 255), 255);
    // 255 * sqrt(64 / 255) = 127.75; 255 * (64 / 255)^2 = 16.06
    EXPECT_EQ(RampEntry(bright, 64), 127);
    EXPECT_EQ(RampEntry(dark, 64), 16);
    for (LONG i = 1; i < 256; ++i)
        EXPECT_LE(RampEntry(bright, i - 1), RampEntry(bright, i));
}

TEST(Gamma, NonPositiveOrNonFiniteValuesAreRefused)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float g : { 0.0f, -1.0f, nan, inf, -inf }) {
        CPicture pic = Ramp();
        Snapshot before(pic);
        EXPECT_FALSE(pic.Gamma(g)) << g;
        EXPECT_TRUE(Snapshot(pic) == before);
        EXPECT_STRNE(pic.GetLastError(), "");
    }
    // Extreme but valid values saturate without undefined behaviour.
    CPicture tiny = Ramp(), huge = Ramp();
    ASSERT_TRUE(tiny.Gamma(1e-30f));
    ASSERT_TRUE(huge.Gamma(1e30f));
    EXPECT_EQ(RampEntry(tiny, 254), 0);
    EXPECT_EQ(RampEntry(tiny, 255), 255);
    EXPECT_EQ(RampEntry(huge, 1), 255);
    EXPECT_EQ(RampEntry(huge, 0), 0);
}

TEST(Threshold, OneBitPictureIsLeftAlone)
{
    CPicture pic(10, 3, 1);
    FillRandom(pic, 2);
    Snapshot before(pic);
    ASSERT_TRUE(pic.Threshold(128));
    EXPECT_TRUE(Snapshot(pic) == before);
}

TEST(Threshold, GreyAboveLevelBecomesWhite)
{
    CPicture pic(3, 1, 24);
    pic.SetPixelColor(0, 0, Rgb(128, 128, 128));
    pic.SetPixelColor(1, 0, Rgb(129, 129, 129));
    pic.SetPixelColor(2, 0, Rgb(255, 0, 0)); // grey 76
    ASSERT_TRUE(pic.Threshold(128));
    EXPECT_EQ(pic.GetBpp(), 1);
    EXPECT_TRUE(SameRgb(pic.GetPaletteColor(0), Rgb(0, 0, 0)));
    EXPECT_TRUE(SameRgb(pic.GetPaletteColor(1), Rgb(255, 255, 255)));
    EXPECT_EQ(pic.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(pic.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(pic.GetPixelIndex(2, 0), 0);
}

TEST(Threshold, CancelledRunLeavesThePictureAsItWas)
{
    CPicture pic(20, 20, 24);
    FillRandom(pic, 8);
    pic.SetEscape(1);
    Snapshot before(pic);
    EXPECT_FALSE(pic.Threshold(100));
    EXPECT_EQ(pic.GetBpp(), 24);
    EXPECT_TRUE(Snapshot(pic) == before);
}

TEST(ShiftRGB, OffsetsClampAtBothEnds)
{
    CPicture pic(4, 4, 24);
    FillRandom(pic, 4);
    ASSERT_TRUE(pic.ShiftRGB(300, -300, 0));
    CPicture copy(pic);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 4; ++x) {
            RGBQUAD c = pic.GetPixelColor(x, y);
            EXPECT_EQ(c.rgbRed, 255);
            EXPECT_EQ(c.rgbGreen, 0);
        }
    ASSERT_TRUE(pic.ShiftRGB(INT32_MIN, INT32_MAX, INT32_MIN));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(2, 2), Rgb(0, 255, 0)));
}

TEST(Colorize, BlendAboveOneIsFullReplacementAndHalfMixes)
{
    CPicture full(2, 1, 24), over(2, 1, 24), half(2, 1, 24);
    for (CPicture* p : { &full, &over, &half })
        p->SetPixelColor(0, 0, Rgb(200, 60, 60));
    ASSERT_TRUE(full.Colorize(85, 255, 1.0f));
    ASSERT_TRUE(over.Colorize(85, 255, 2.0f));
    ASSERT_TRUE(half.Colorize(85, 255, 0.5f));
    RGBQUAD f = full.GetPixelColor(0, 0);
    EXPECT_TRUE(SameRgb(f, over.GetPixelColor(0, 0)));
    EXPECT_GT(f.rgbGreen, f.rgbRed); // hue 85 is green
    RGBQUAD h = half.GetPixelColor(0, 0);
    EXPECT_EQ(h.rgbRed, (f.rgbRed * 128 + 200 * 128) >> 8);
    EXPECT_EQ(h.rgbGreen, (f.rgbGreen * 128 + 60 * 128) >> 8);
    CPicture bad(2, 1, 24);
    EXPECT_FALSE(bad.Colorize(1, 1, std::numeric_limits<float>::quiet_NaN()));
}

TEST(HuePalette, RampOfHuesAndSingleEntryPaletteLeftAlone)
{
    CPicture pic(2, 2, 4);
    pic.HuePalette(1.0f);
    // Entry j has hue 17 j at saturation 240, lightness 120.
    for (DWORD j = 0; j < 16; ++j) {
        RGBQUAD hsl = Rgb(BYTE(17 * j), 240, 120);
        EXPECT_TRUE(SameRgb(pic.GetPaletteColor(BYTE(j)), CPicture::HSLtoRGB(hsl))) << j;
    }
    CPicture huge(2, 2, 8);
    huge.HuePalette(std::numeric_limits<float>::max()); // no undefined conversion
    huge.HuePalette(std::numeric_limits<float>::quiet_NaN());
}

TEST(RedEyeRemove, RedBecomesTheSmallerOfGreenAndBlue)
{
    CPicture pic(2, 1, 24);
    pic.SetPixelColor(0, 0, Rgb(250, 40, 90));
    pic.SetPixelColor(1, 0, Rgb(250, 90, 40));
    ASSERT_TRUE(pic.RedEyeRemove());
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(40, 40, 90)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(1, 0), Rgb(40, 90, 40)));
}

TEST(Noise, ZeroLevelIsTheIdentity)
{
    RandomScope seeded(99u);
    CPicture pic(17, 9, 24);
    FillRandom(pic, 6);
    Snapshot before(pic);
    ASSERT_TRUE(pic.Noise(0));
    EXPECT_TRUE(Snapshot(pic) == before);
}

TEST(Noise, OffsetsFollowTheDrawsInRedGreenBlueOrder)
{
    ScriptedRandom script;
    script.values = { 0, 32767, 16384 };
    RandomScope scoped(script);
    CPicture pic(1, 1, 24);
    pic.SetPixelColor(0, 0, Rgb(100, 100, 100));
    ASSERT_TRUE(pic.Noise(40));
    // trunc(-0.5 * 40) = -20, trunc(~0.5 * 40) = 19, trunc(~0 * 40) = 0
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(80, 119, 100)));
    EXPECT_EQ(script.draws, 3u);
}

TEST(Noise, HugeLevelsSaturate)
{
    ScriptedRandom script;
    script.values = { 0, 32767 };
    RandomScope scoped(script);
    CPicture pic(2, 1, 24);
    FillRandom(pic, 1);
    ASSERT_TRUE(pic.Noise(INT32_MAX));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(0, 255, 0)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(1, 0), Rgb(255, 0, 255)));
}

TEST(Mean, AverageGreyOfTheBoxIn64Bits)
{
    CPicture pic(4, 2, 24);
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 4; ++x)
            pic.SetPixelColor(x, y, Rgb(BYTE(x * 10), BYTE(x * 10), BYTE(x * 10)));
    EXPECT_FLOAT_EQ(pic.Mean(), 15.0f);
    SelectBox(pic, 2, 0, 4, 2);
    EXPECT_FLOAT_EQ(pic.Mean(), 25.0f);

    // 2^23 white pixels: past 2^30 a float running sum rounds every 255 up
    // to 256, which shows in the mean.
    CPicture big(4096, 2048, 8);
    big.SetGrayPalette();
    big.Clear(255);
    EXPECT_FLOAT_EQ(big.Mean(), 255.0f);
}

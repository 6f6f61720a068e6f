// Colour models: known answers, every 24-bit colour through every converter
// and back, and the split and combine of channel pictures.
#include "filter_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

int Distance(const RGBQUAD& a, const RGBQUAD& b)
{
    return std::max({ std::abs(a.rgbRed - b.rgbRed), std::abs(a.rgbGreen - b.rgbGreen),
        std::abs(a.rgbBlue - b.rgbBlue) });
}

// I and Q of a colour before they are stored: where they leave 0..255 the
// byte model cannot hold the colour.
bool YiqFits(const RGBQUAD& c)
{
    double i = double(0.596f) * c.rgbRed - double(0.2742f) * c.rgbGreen - double(0.3219f) * c.rgbBlue + 128;
    double q = double(0.2109f) * c.rgbRed - double(0.5229f) * c.rgbGreen + double(0.312f) * c.rgbBlue + 128;
    return i >= 0 && i < 256 && q >= 0 && q < 256;
}

// Largest channel error of `back(to(c))` over all 2^24 colours that `fits`;
// every colour goes through both converters (under UBSan natively), and no
// result may carry a fourth byte.
int WorstRoundTrip(RGBQUAD (*to)(RGBQUAD), RGBQUAD (*back)(RGBQUAD), bool (*fits)(const RGBQUAD&), RGBQUAD& worstAt)
{
    int worst = -1;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b) {
                RGBQUAD c = Rgb(BYTE(r), BYTE(g), BYTE(b), 0xAA);
                RGBQUAD m = to(c);
                RGBQUAD d = back(m);
                if (m.rgbReserved != 0 || d.rgbReserved != 0)
                    return 1000;
                int e = Distance(c, d);
                if (e > worst && (!fits || fits(c))) {
                    worst = e;
                    worstAt = c;
                }
            }
    return worst;
}

} // namespace

TEST(ColourModels, HslKnownAnswers)
{
    RGBQUAD red = CPicture::RGBtoHSL(Rgb(255, 0, 0));
    EXPECT_EQ(red.rgbRed, 0);
    EXPECT_EQ(red.rgbGreen, 255);
    EXPECT_EQ(red.rgbBlue, 128);
    RGBQUAD grey = CPicture::RGBtoHSL(Rgb(100, 100, 100));
    EXPECT_EQ(grey.rgbRed, 170);
    EXPECT_EQ(grey.rgbGreen, 0);
    EXPECT_EQ(grey.rgbBlue, 100);
    // Sixths of 42 steps: a hue just below red wraps to 256 - 2 (Bd - Gd =
    // 40 - 42), yellow is a sixth past red.
    EXPECT_EQ(CPicture::RGBtoHSL(Rgb(255, 0, 10)).rgbRed, 254);
    EXPECT_EQ(CPicture::RGBtoHSL(Rgb(255, 255, 0)).rgbRed, 42);
    EXPECT_EQ(CPicture::RGBtoHSL(Rgb(255, 0, 255)).rgbRed, 214);
    // Green and blue sit at 85 and 170.
    EXPECT_EQ(CPicture::RGBtoHSL(Rgb(0, 255, 0)).rgbRed, 85);
    EXPECT_EQ(CPicture::RGBtoHSL(Rgb(0, 0, 255)).rgbRed, 170);
    for (int l = 0; l < 256; ++l) {
        RGBQUAD c = CPicture::HSLtoRGB(Rgb(BYTE(l * 7), 0, BYTE(l)));
        EXPECT_TRUE(SameRgb(c, Rgb(BYTE(l), BYTE(l), BYTE(l)))) << l;
    }
    EXPECT_TRUE(SameRgb(CPicture::HSLtoRGB(COLORREF(RGB(85, 255, 128))), CPicture::HSLtoRGB(Rgb(85, 255, 128))));
}

TEST(ColourModels, YuvYiqXyzKnownAnswers)
{
    RGBQUAD white = CPicture::RGBtoYUV(Rgb(255, 255, 255));
    RGBQUAD black = CPicture::RGBtoYUV(Rgb(0, 0, 0));
    EXPECT_TRUE(SameRgb(white, Rgb(255, 128, 128)));
    EXPECT_TRUE(SameRgb(black, Rgb(0, 128, 128)));
    EXPECT_TRUE(SameRgb(CPicture::RGBtoYIQ(Rgb(0, 0, 0)), Rgb(0, 128, 128)));
    // Y of white is 0.212671 + 0.71516 + 0.072169 = 1 in single precision.
    EXPECT_EQ(CPicture::RGBtoXYZ(Rgb(255, 255, 255)).rgbGreen, 255);
    EXPECT_TRUE(SameRgb(CPicture::XYZtoRGB(Rgb(0, 0, 0)), Rgb(0, 0, 0)));
}

TEST(ColourModels, HueComesBackWithinAStepAtFullSaturation)
{
    // RGBtoHSL counts 42 steps a sixth, HSLtoRGB reads 255 steps a circle:
    // a hue moves by at most one step there and back, and some do move.
    int moved = 0;
    for (int h = 0; h < 256; ++h) {
        RGBQUAD rgb = CPicture::HSLtoRGB(Rgb(BYTE(h), 255, 128));
        int back = CPicture::RGBtoHSL(rgb).rgbRed;
        int d = std::abs(back - h);
        EXPECT_LE(std::min(d, 256 - d), 1) << h << " came back as " << back;
        moved += back != h;
    }
    EXPECT_GT(moved, 0);
}

// Each converter pair over all 2^24 colours. The bounds are what the byte
// models can hold: HSL rounds lightness and counts its hues in sixths of 42
// steps on the way in against a circle of 255 on the way out (worst 12); YUV,
// YIQ and XYZ truncate; YIQ clamps I and Q, so only colours whose I and Q
// fit count for it.
TEST(ColourModels, EveryColourRoundTripsWithinTheModelsPrecision)
{
    struct Pair {
        const char* name;
        RGBQUAD (*to)(RGBQUAD);
        RGBQUAD (*back)(RGBQUAD);
        bool (*fits)(const RGBQUAD&);
        int bound;
    } pairs[] = { { "HSL", CPicture::RGBtoHSL, CPicture::HSLtoRGB, nullptr, 12 },
        { "YUV", CPicture::RGBtoYUV, CPicture::YUVtoRGB, nullptr, 2 },
        { "YIQ", CPicture::RGBtoYIQ, CPicture::YIQtoRGB, YiqFits, 3 },
        { "XYZ", CPicture::RGBtoXYZ, CPicture::XYZtoRGB, nullptr, 4 } };
    for (const Pair& p : pairs) {
        RGBQUAD at = {};
        int worst = WorstRoundTrip(p.to, p.back, p.fits, at);
        EXPECT_LE(worst, p.bound) << p.name << " worst at " << int(at.rgbRed) << "," << int(at.rgbGreen) << ","
                                  << int(at.rgbBlue);
    }
}

TEST(SplitCombine, RgbSplitThenCombineGivesThePictureBack)
{
    for (DWORD bpp : { 1u, 4u, 8u, 24u }) {
        CPicture pic(23, 11, bpp);
        FillRandom(pic, bpp + 1);
        ASSERT_TRUE(pic.AlphaCreate());
        for (LONG x = 0; x < 23; ++x)
            pic.AlphaSet(x, 3, BYTE(x * 11));
        CPicture r, g, b, a, back;
        ASSERT_TRUE(pic.SplitRGB(&r, &g, &b));
        ASSERT_TRUE(pic.AlphaSplit(&a));
        EXPECT_EQ(r.GetBpp(), 8);
        EXPECT_TRUE(r.IsGrayScale());
        ASSERT_TRUE(back.Combine(&r, &g, &b, &a, 0));
        EXPECT_EQ(back.GetBpp(), 24);
        for (LONG y = 0; y < 11; ++y)
            for (LONG x = 0; x < 23; ++x) {
                EXPECT_TRUE(SameRgb(back.GetPixelColor(x, y), pic.GetPixelColor(x, y)));
                EXPECT_EQ(back.AlphaGet(x, y), pic.AlphaGet(x, y));
            }
    }
}

TEST(SplitCombine, OtherModelsSplitIntoTheirConverterBytes)
{
    CPicture pic(6, 5, 24);
    FillRandom(pic, 31);
    CPicture c1, c2, c3, c4;
    ASSERT_TRUE(pic.SplitYIQ(&c1, nullptr, &c3));
    EXPECT_FALSE(c2.IsValid());
    RGBQUAD yiq = CPicture::RGBtoYIQ(pic.GetPixelColor(4, 2));
    EXPECT_EQ(c1.GetPixelIndex(4, 2), yiq.rgbRed);
    EXPECT_EQ(c3.GetPixelIndex(4, 2), yiq.rgbBlue);
    ASSERT_TRUE(pic.SplitCMYK(&c1, &c2, &c3, &c4));
    RGBQUAD c = pic.GetPixelColor(1, 3);
    EXPECT_EQ(c1.GetPixelIndex(1, 3), 255 - c.rgbRed);
    EXPECT_EQ(c2.GetPixelIndex(1, 3), 255 - c.rgbGreen);
    EXPECT_EQ(c3.GetPixelIndex(1, 3), 255 - c.rgbBlue);
    EXPECT_EQ(c4.GetPixelIndex(1, 3), (306 * c.rgbRed + 601 * c.rgbGreen + 117 * c.rgbBlue) >> 10);
    pic.SetPixelColor(0, 0, Rgb(255, 0, 10));
    pic.SetPixelColor(1, 0, Rgb(255, 255, 0));
    ASSERT_TRUE(pic.SplitHSL(&c1, &c2, &c3));
    EXPECT_EQ(c1.GetPixelIndex(0, 0), 254);
    EXPECT_EQ(c1.GetPixelIndex(1, 0), 42);
    CPicture back;
    ASSERT_TRUE(back.Combine(&c1, &c2, &c3, nullptr, 1));
    // Repair in HSL without a step is the same split and combination.
    CPicture repaired(pic);
    ASSERT_TRUE(repaired.Repair(0.5f, 0, 1));
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 6; ++x) {
            RGBQUAD c = pic.GetPixelColor(x, y);
            EXPECT_LE(Distance(back.GetPixelColor(x, y), c), 12);
            EXPECT_TRUE(SameRgb(back.GetPixelColor(x, y), CPicture::HSLtoRGB(CPicture::RGBtoHSL(c))));
            EXPECT_TRUE(SameRgb(repaired.GetPixelColor(x, y), back.GetPixelColor(x, y)));
        }
}

TEST(SplitCombine, NullOrEmptyArgumentsAreRefused)
{
    CPicture pic(4, 4, 24), empty, r;
    FillRandom(pic, 2);
    EXPECT_FALSE(pic.SplitRGB(nullptr, nullptr, nullptr));
    EXPECT_FALSE(empty.SplitRGB(&r, nullptr, nullptr));
    ASSERT_TRUE(pic.SplitRGB(&r, nullptr, nullptr));
    Snapshot before(pic);
    EXPECT_FALSE(pic.Combine(&r, nullptr, &r, nullptr, 0));
    EXPECT_FALSE(pic.Combine(&r, &r, &empty, nullptr, 0));
    EXPECT_FALSE(pic.Combine(&r, &r, &r, &empty, 0));
    EXPECT_TRUE(Snapshot(pic) == before);
}

TEST(SplitCombine, ChannelsOfAnotherSizeAreResizedToTheFirst)
{
    CPicture r(8, 6, 8), g(4, 3, 8), b(16, 12, 8);
    for (CPicture* p : { &r, &g, &b }) {
        p->SetGrayPalette();
        p->Clear(0);
    }
    r.Clear(10);
    g.Clear(20);
    b.Clear(30);
    CPicture out;
    ASSERT_TRUE(out.Combine(&r, &g, &b, nullptr, 0));
    EXPECT_EQ(out.GetWidth(), 8u);
    EXPECT_EQ(out.GetHeight(), 6u);
    EXPECT_TRUE(SameRgb(out.GetPixelColor(7, 5), Rgb(10, 20, 30)));
    EXPECT_EQ(g.GetWidth(), 8u);
    EXPECT_EQ(b.GetHeight(), 6u);
}

TEST(SplitCombine, CombineTakesThisPictureAsAnInput)
{
    // The red channel picture combines itself with two others.
    CPicture r(5, 4, 8), g(5, 4, 8), b(10, 8, 8);
    for (CPicture* p : { &r, &g, &b })
        p->SetGrayPalette();
    FillRandom(r, 1);
    r.SetGrayPalette();
    g.Clear(77);
    b.Clear(99);
    CPicture original(r);
    ASSERT_TRUE(r.Combine(&r, &g, &b, nullptr, 0));
    EXPECT_EQ(r.GetBpp(), 24);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 5; ++x)
            EXPECT_TRUE(SameRgb(r.GetPixelColor(x, y), Rgb(original.GetPixelIndex(x, y), 77, 99)));
    // And as a resized input: b is this picture and has another size.
    ASSERT_TRUE(b.Combine(&g, &g, &b, nullptr, 0));
    EXPECT_EQ(b.GetWidth(), 5u);
    EXPECT_TRUE(SameRgb(b.GetPixelColor(2, 2), Rgb(77, 77, 99)));
}

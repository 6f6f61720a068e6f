// Flips, inversion and colour-depth changes.
#include "image/picture.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const DWORD kDepths[] = { 1, 4, 8, 24 };

TEST(Flips, FlipMirrorNegativeTwiceAreIdentity)
{
    for (DWORD bpp : kDepths) {
        for (DWORD w = 1; w <= 70; w += 3) {
            DWORD h = 1 + (w * 7) % 13;
            CPicture pic(w, h, bpp);
            FillRandom(pic, w * 31 + bpp);
            pic.AlphaCreate();
            pic.AlphaSet(0, 0, 3);
            CPicture original(pic);

            ASSERT_TRUE(pic.Mirror());
            ASSERT_TRUE(pic.Flip());
            for (LONG y = 0; y < LONG(h); ++y)
                for (LONG x = 0; x < LONG(w); ++x)
                    ASSERT_TRUE(SameRgb(pic.GetPixelColor(x, y),
                        original.GetPixelColor(LONG(w) - 1 - x, LONG(h) - 1 - y)))
                        << bpp << " " << w << "x" << h << " at " << x << "," << y;
            EXPECT_EQ(pic.AlphaGet(LONG(w) - 1, LONG(h) - 1), 3);
            ASSERT_TRUE(pic.Flip());
            ASSERT_TRUE(pic.Mirror());
            ASSERT_TRUE(SamePixels(pic, original)) << bpp << " " << w;

            ASSERT_TRUE(pic.Negative());
            ASSERT_TRUE(pic.Negative());
            ASSERT_TRUE(SamePixels(pic, original));
        }
    }
}

TEST(Flips, FlipThenMirrorIsAHalfTurn)
{
    for (DWORD bpp : kDepths) {
        for (DWORD w : { 1u, 2u, 5u, 9u, 31u, 70u }) {
            CPicture pic(w, 3 + w % 4, bpp);
            FillRandom(pic, w + bpp);
            CPicture turned(pic);
            ASSERT_TRUE(pic.Flip());
            ASSERT_TRUE(pic.Mirror());
            ASSERT_TRUE(turned.Rotate180());
            EXPECT_TRUE(SamePixels(pic, turned)) << bpp << " bpp, " << w << " wide";
        }
    }
}

TEST(Flips, DropTheSelectionAndKeepTheInfo)
{
    CPicture pic(3, 3, 8);
    pic.SetXDPI(150);
    pic.SelectionAddPixel(1, 1);
    ASSERT_TRUE(pic.Flip());
    EXPECT_FALSE(pic.SelectionIsValid());
    EXPECT_EQ(pic.GetXDPI(), 150);
    CPicture empty;
    EXPECT_FALSE(empty.Flip());
    EXPECT_FALSE(empty.Mirror());
    EXPECT_FALSE(empty.Negative());
}

TEST(Negative, ByDepthAndPalette)
{
    CPicture rgb(2, 1, 24);
    rgb.SetPixelColor(0, 0, Rgb(10, 20, 30));
    rgb.SetTransColor(Rgb(10, 20, 30));
    ASSERT_TRUE(rgb.Negative());
    EXPECT_TRUE(SameRgb(rgb.GetPixelColor(0, 0), Rgb(245, 235, 225)));
    EXPECT_TRUE(SameRgb(rgb.GetTransColor(), Rgb(245, 235, 225)));
    // Row padding stays zero.
    EXPECT_EQ(rgb.GetBits(0)[6], 0);

    CPicture grey(2, 1, 8);
    grey.SetGrayPalette();
    ASSERT_TRUE(grey.Negative());
    EXPECT_EQ(grey.GetPixelIndex(0, 0), 255);

    CPicture bw(2, 1, 1);
    bw.SetGrayPalette(); // black and white, not a ramp of 0 and 1
    bw.SetPixelIndex(1, 0, 1);
    ASSERT_TRUE(bw.Negative());
    EXPECT_EQ(bw.GetPixelIndex(1, 0), 1);
    EXPECT_TRUE(SameRgb(bw.GetPaletteColor(0), Rgb(255, 255, 255)));

    CPicture sel(4, 1, 24);
    RECT r = { 2, 1, 3, 0 };
    sel.SelectionAddRect(r);
    ASSERT_TRUE(sel.Negative());
    EXPECT_EQ(sel.GetPixelColor(2, 0).rgbRed, 255);
    EXPECT_EQ(sel.GetPixelColor(1, 0).rgbRed, 0);
}

TEST(GrayScale, UsesTheLuminanceWeights)
{
    CPicture rgb(2, 1, 24);
    rgb.SetPixelColor(0, 0, Rgb(255, 0, 0));
    rgb.AlphaCreate();
    rgb.AlphaSet(1, 0, 12);
    ASSERT_TRUE(rgb.GrayScale());
    EXPECT_EQ(rgb.GetBpp(), 8);
    EXPECT_TRUE(rgb.IsGrayScale());
    EXPECT_EQ(rgb.GetPixelIndex(0, 0), 76);
    EXPECT_EQ(rgb.AlphaGet(1, 0), 12);

    CPicture four(3, 1, 4);
    four.SetPaletteColor(2, Rgb(0, 255, 0));
    four.SetPixelIndex(1, 0, 2);
    four.SetTransIndex(2);
    ASSERT_TRUE(four.GrayScale());
    EXPECT_EQ(four.GetBpp(), 8);
    EXPECT_EQ(four.GetPixelIndex(1, 0), (601 * 255) >> 10);
    EXPECT_EQ(four.GetTransIndex(), (601 * 255) >> 10);
}

TEST(DepthChange, IncreaseThenDecreaseWithThatPaletteIsExact)
{
    const DWORD pairs[][2] = { { 1, 4 }, { 1, 8 }, { 1, 24 }, { 4, 8 }, { 4, 24 }, { 8, 24 } };
    for (const auto& p : pairs) {
        for (DWORD w : { 1u, 7u, 33u, 70u }) {
            CPicture pic(w, 5, p[0]);
            FillRandom(pic, w + p[0] * 100 + p[1]);
            CPicture original(pic);
            std::vector<RGBQUAD> palette(256, Rgb(0, 0, 0));
            for (DWORD i = 0; i < pic.GetNumColors(); ++i)
                palette[i] = pic.GetPaletteColor(BYTE(i));

            ASSERT_TRUE(pic.IncreaseBpp(p[1]));
            EXPECT_EQ(pic.GetBpp(), p[1]);
            ASSERT_TRUE(pic.DecreaseBpp(p[0], false, palette.data()));
            ASSERT_TRUE(SamePixels(pic, original)) << p[0] << "->" << p[1] << " w " << w;
        }
    }
}

TEST(DepthChange, RefusalsAndNoOps)
{
    CPicture rgb(2, 2, 24);
    EXPECT_FALSE(rgb.IncreaseBpp(8));
    EXPECT_TRUE(rgb.IncreaseBpp(24));
    EXPECT_FALSE(rgb.IncreaseBpp(16));
    CPicture eight(2, 2, 8);
    FillRandom(eight, 2);
    CPicture before(eight);
    EXPECT_TRUE(eight.IncreaseBpp(8));
    EXPECT_TRUE(eight.DecreaseBpp(8, false, nullptr, 0));
    EXPECT_TRUE(SamePixels(eight, before));
    EXPECT_FALSE(eight.DecreaseBpp(24, false));
    EXPECT_FALSE(eight.DecreaseBpp(2, false));

    CPicture four(3, 2, 4);
    four.SetStdPalette();
    four.SetPixelIndex(0, 0, 15);
    ASSERT_TRUE(four.DecreaseBpp(1, false));
    EXPECT_TRUE(SameRgb(four.GetPaletteColor(0), Rgb(0, 0, 0)));
    EXPECT_TRUE(SameRgb(four.GetPaletteColor(1), Rgb(255, 255, 255)));
    EXPECT_EQ(four.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(four.GetPixelIndex(1, 0), 0);

    // Palette alpha becomes a plane on the way to 24 bits.
    CPicture pal(2, 1, 8);
    pal.SetPaletteColor(1, 5, 5, 5, 80);
    pal.SetPixelIndex(1, 0, 1);
    ASSERT_TRUE(pal.IncreaseBpp(24));
    EXPECT_EQ(pal.AlphaGet(1, 0), 80);
}

TEST(DepthChange, ErrorDiffusionKeepsTheAverage)
{
    CPicture pic(32, 32, 24);
    for (LONG y = 0; y < 32; ++y)
        for (LONG x = 0; x < 32; ++x)
            pic.SetPixelColor(x, y, Rgb(100, 100, 100));
    ASSERT_TRUE(pic.DecreaseBpp(1, true));
    int ones = 0;
    for (LONG y = 0; y < 32; ++y)
        for (LONG x = 0; x < 32; ++x)
            ones += pic.GetPixelIndex(x, y);
    // Nearest colour alone would give all black; the diffused error lights
    // about 100/255 of the pixels (less the shares lost to truncation).
    EXPECT_NEAR(ones / 1024.0, 100 / 255.0, 0.05);
}

double OnesDensity(CPicture& pic)
{
    int ones = 0;
    for (LONG y = 0; y < LONG(pic.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(pic.GetWidth()); ++x)
            ones += pic.GetPixelIndex(x, y);
    return double(ones) / (pic.GetWidth() * pic.GetHeight());
}

TEST(Dither, FlatGreyKeepsItsDensity)
{
    for (LONG method = 0; method <= 8; ++method) {
        for (int level : { 0, 30, 64, 128, 200, 255 }) {
            CPicture pic(64, 64, 8);
            pic.SetGrayPalette();
            pic.Clear(BYTE(level));
            ASSERT_TRUE(pic.Dither(method));
            ASSERT_EQ(pic.GetBpp(), 1);
            double want = level / 255.0;
            // Ordered methods quantise to sixteenths; the diffusion shares are
            // truncated, which at light greys loses most with the /200 weights.
            double tolerance = (method == 1 || method == 7) ? 1.0 / 16 + 0.01 : method == 6 ? 0.04 : 0.03;
            EXPECT_NEAR(OnesDensity(pic), want, tolerance) << "method " << method << " level " << level;
        }
    }
}

TEST(Dither, MethodsAndEdges)
{
    CPicture a(16, 16, 8), b(16, 16, 8);
    for (CPicture* p : { &a, &b }) {
        p->SetGrayPalette();
        std::mt19937 rng(3);
        for (LONG y = 0; y < 16; ++y)
            for (LONG x = 0; x < 16; ++x)
                p->SetPixelIndex(x, y, BYTE(rng()));
    }
    ASSERT_TRUE(a.Dither(0));
    ASSERT_TRUE(b.Dither(99));
    EXPECT_TRUE(SamePixels(a, b));

    CPicture white(8, 8, 8), black(8, 8, 8);
    white.SetGrayPalette();
    white.Clear(255);
    black.SetGrayPalette();
    ASSERT_TRUE(white.Dither(1));
    ASSERT_TRUE(black.Dither(1));
    EXPECT_EQ(OnesDensity(white), 1.0);
    EXPECT_EQ(OnesDensity(black), 0.0);
    EXPECT_TRUE(SameRgb(white.GetPaletteColor(1), Rgb(255, 255, 255)));
    CPicture mono(4, 4, 1);
    EXPECT_TRUE(mono.Dither(2));
}

} // namespace

// Alpha plane and selection mask.
#include "image/picture.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

RECT Rect(LONG left, LONG top, LONG right, LONG bottom)
{
    RECT r;
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
    return r;
}

int CountSelected(const CPicture& pic)
{
    int n = 0;
    for (LONG y = 0; y < LONG(pic.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(pic.GetWidth()); ++x)
            n += pic.SelectionIsInside(x, y);
    return n;
}

TEST(Alpha, PlaneAccessStaysInside)
{
    CPicture pic(4, 3, 24);
    EXPECT_EQ(pic.AlphaGetPointer(), nullptr);
    ASSERT_TRUE(pic.AlphaCreate());
    EXPECT_EQ(pic.AlphaGet(3, 2), 255);
    pic.AlphaSet(1, 2, 17);
    ASSERT_TRUE(pic.AlphaCreate()); // keeps the values
    EXPECT_EQ(pic.AlphaGet(1, 2), 17);
    EXPECT_EQ(*pic.AlphaGetPointer(1, 2), 17);
    EXPECT_EQ(pic.AlphaGetPointer(4, 0), nullptr);
    EXPECT_EQ(pic.AlphaGet(-1, 0), 0);
    pic.AlphaSet(-1, 0, 9);
    pic.AlphaSet(4, 0, 9);
    EXPECT_EQ(pic.AlphaGet(3, 0), 255);
    pic.AlphaInvert();
    EXPECT_EQ(pic.AlphaGet(1, 2), 238);

    CPicture empty;
    EXPECT_FALSE(empty.AlphaCreate()) << "no plane without pixels";
}

TEST(Alpha, FlipMirrorSplitAndSetRoundTrip)
{
    CPicture pic(5, 4, 24);
    ASSERT_TRUE(pic.AlphaCreate());
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 5; ++x)
            pic.AlphaSet(x, y, BYTE(y * 10 + x));
    CPicture original(pic);

    ASSERT_TRUE(pic.AlphaFlip());
    EXPECT_EQ(pic.AlphaGet(1, 0), 31);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 5; ++x)
            ASSERT_EQ(pic.AlphaGet(x, y), original.AlphaGet(x, 3 - y)) << x << "," << y;
    ASSERT_TRUE(pic.AlphaMirror());
    EXPECT_EQ(pic.AlphaGet(0, 0), 34);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 5; ++x)
            ASSERT_EQ(pic.AlphaGet(x, y), original.AlphaGet(4 - x, 3 - y)) << x << "," << y;

    CPicture plane;
    ASSERT_TRUE(original.AlphaSplit(&plane));
    EXPECT_EQ(plane.GetBpp(), 8);
    EXPECT_EQ(plane.GetPixelIndex(4, 3), 34);
    CPicture back(5, 4, 24);
    ASSERT_TRUE(back.AlphaSet(plane));
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 5; ++x)
            ASSERT_EQ(back.AlphaGet(x, y), original.AlphaGet(x, y));
}

TEST(Alpha, SetFromPictureNeedsAnEightBitRamp)
{
    CPicture target(4, 2, 24);
    CPicture grey16(4, 2, 4);
    grey16.SetGrayPalette();
    EXPECT_FALSE(target.AlphaSet(grey16));
    // Entries i = (i, i, i) pass the grey test at 4 bits, but the rows hold
    // packed nibbles, not levels.
    CPicture ramp4(4, 2, 4);
    for (int i = 0; i < 16; ++i)
        ramp4.SetPaletteColor(BYTE(i), Rgb(BYTE(i), BYTE(i), BYTE(i)));
    ASSERT_TRUE(ramp4.IsGrayScale());
    EXPECT_FALSE(target.AlphaSet(ramp4));
    EXPECT_FALSE(target.AlphaIsValid());
    CPicture wrongSize(5, 2, 8);
    wrongSize.SetGrayPalette();
    EXPECT_FALSE(target.AlphaSet(wrongSize));
}

TEST(Alpha, CopyTakesPlaneAndMax)
{
    CPicture a(3, 3, 24), b(3, 3, 24), c(4, 3, 24);
    EXPECT_FALSE(b.AlphaCopy(a));
    a.AlphaCreate();
    a.AlphaSet(2, 2, 5);
    a.AlphaSetMax(100);
    ASSERT_TRUE(b.AlphaCopy(a));
    EXPECT_EQ(b.AlphaGet(2, 2), 5);
    EXPECT_EQ(b.AlphaGetMax(), 100);
    EXPECT_FALSE(c.AlphaCopy(a));
}

TEST(Alpha, StripFlattensOntoTheTransparentColour)
{
    CPicture pic(3, 2, 24);
    FillRandom(pic, 4);
    pic.SetTransColor(Rgb(10, 20, 30));
    pic.AlphaCreate();
    pic.AlphaClear();
    pic.AlphaStrip();
    EXPECT_FALSE(pic.AlphaIsValid());
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 3; ++x)
            ASSERT_TRUE(SameRgb(pic.GetPixelColor(x, y), Rgb(10, 20, 30)));

    CPicture half(1, 1, 24);
    half.SetPixelColor(0, 0, Rgb(255, 0, 0));
    half.AlphaCreate();
    half.AlphaSetMax(128);
    half.AlphaStrip();
    EXPECT_EQ(half.GetPixelColor(0, 0).rgbRed, 128);

    // A palette with alpha becomes a 24-bit picture without palette or plane.
    CPicture pal(2, 1, 8);
    pal.SetPaletteColor(1, 200, 100, 0, 255);
    pal.SetPaletteColor(2, 200, 100, 0, 0);
    pal.SetPixelIndex(0, 0, 1);
    pal.SetPixelIndex(1, 0, 2);
    pal.SetTransColor(Rgb(0, 0, 50));
    pal.SetXDPI(200);
    ASSERT_TRUE(pal.AlphaPaletteIsValid());
    pal.AlphaStrip();
    EXPECT_EQ(pal.GetBpp(), 24);
    EXPECT_FALSE(pal.AlphaIsValid());
    EXPECT_EQ(pal.GetXDPI(), 200);
    EXPECT_TRUE(SameRgb(pal.GetPixelColor(0, 0), Rgb(200, 100, 0)));
    EXPECT_TRUE(SameRgb(pal.GetPixelColor(1, 0), Rgb(0, 0, 50)));
}

TEST(Alpha, PaletteAlphaSplitAndClear)
{
    CPicture pal(2, 1, 8);
    EXPECT_FALSE(pal.AlphaPaletteIsValid());
    CPicture dest;
    EXPECT_FALSE(pal.AlphaPaletteSplit(&dest));
    pal.SetPaletteColor(1, 1, 1, 1, 90);
    pal.SetPixelIndex(1, 0, 1);
    ASSERT_TRUE(pal.AlphaPaletteSplit(&dest));
    EXPECT_EQ(dest.GetPixelIndex(1, 0), 90);
    EXPECT_EQ(dest.GetPixelIndex(0, 0), 0);
    pal.AlphaPaletteClear();
    EXPECT_FALSE(pal.AlphaPaletteIsValid());
}

TEST(Selection, RectanglesUseExclusiveUpperEdgesAndClamp)
{
    CPicture pic(8, 8, 8);
    EXPECT_TRUE(pic.SelectionIsInside(7, 7)) << "no mask: everything inside";
    EXPECT_FALSE(pic.SelectionIsInside(8, 0));
    ASSERT_TRUE(pic.SelectionAddRect(Rect(2, 5, 4, 1)));
    for (LONG y = 0; y < 8; ++y)
        for (LONG x = 0; x < 8; ++x)
            EXPECT_EQ(pic.SelectionIsInside(x, y), x >= 2 && x <= 3 && y >= 1 && y <= 4) << x << "," << y;
    RECT box;
    pic.SelectionGetBox(box);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.right, 4);
    EXPECT_EQ(box.bottom, 1);
    EXPECT_EQ(box.top, 5);

    ASSERT_TRUE(pic.SelectionAddRect(Rect(-100, INT_MAX, 3, 6)));
    pic.SelectionGetBox(box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 8);
    EXPECT_TRUE(pic.SelectionIsInside(0, 7));
    EXPECT_FALSE(pic.SelectionIsInside(3, 7));

    ASSERT_TRUE(pic.SelectionClear());
    EXPECT_EQ(CountSelected(pic), 0);
    pic.SelectionGetBox(box);
    EXPECT_EQ(box.left, 8);
    EXPECT_EQ(box.bottom, 8);
}

TEST(Selection, EllipseIsRoundAndClamped)
{
    CPicture pic(21, 21, 8);
    EXPECT_FALSE(pic.SelectionAddEllipse(Rect(3, 0, 4, 10))) << "one pixel wide";
    ASSERT_TRUE(pic.SelectionAddEllipse(Rect(2, 18, 18, 2)));
    for (LONG y = 0; y < 21; ++y)
        for (LONG x = 0; x < 21; ++x) {
            double d = std::hypot(x - 10.0, y - 10.0);
            if (d < 6.5) {
                EXPECT_TRUE(pic.SelectionIsInside(x, y)) << x << "," << y;
            } else if (d > 8.5) {
                EXPECT_FALSE(pic.SelectionIsInside(x, y)) << x << "," << y;
            }
        }
    // Far larger than the picture: every pixel selected, nothing written outside.
    CPicture big(9, 7, 8);
    ASSERT_TRUE(big.SelectionAddEllipse(Rect(INT_MIN, INT_MAX, INT_MAX, INT_MIN)));
    EXPECT_EQ(CountSelected(big), 9 * 7);
    RECT box;
    big.SelectionGetBox(box);
    EXPECT_EQ(box.right, 9);
    EXPECT_EQ(box.top, 7);
}

TEST(Selection, PolygonsFillTheirInsideAndClamp)
{
    CPicture pic(20, 20, 8);
    POINT tri[] = { { 2, 2 }, { 12, 2 }, { 2, 12 } };
    ASSERT_TRUE(pic.SelectionAddPolygon(tri, 3));
    EXPECT_TRUE(pic.SelectionIsInside(2, 2));
    EXPECT_TRUE(pic.SelectionIsInside(4, 4));
    EXPECT_TRUE(pic.SelectionIsInside(7, 2));
    EXPECT_FALSE(pic.SelectionIsInside(10, 10));
    EXPECT_FALSE(pic.SelectionIsInside(1, 1));
    int first = CountSelected(pic);

    POINT two[] = { { 2, 2 }, { 12, 2 }, { 2, 12 }, { -1, 0 }, { 15, 15 }, { 19, 15 }, { 15, 19 } };
    CPicture both(20, 20, 8);
    ASSERT_TRUE(both.SelectionAddPolygon(two, 7));
    EXPECT_TRUE(both.SelectionIsInside(16, 16));
    EXPECT_TRUE(both.SelectionIsInside(4, 4));
    EXPECT_FALSE(both.SelectionIsInside(10, 10));
    EXPECT_GT(CountSelected(both), first);

    POINT line[] = { { 0, 0 }, { 5, 5 } };
    EXPECT_FALSE(pic.SelectionAddPolygon(line, 2));
    EXPECT_FALSE(pic.SelectionAddPolygon(nullptr, 3));

    // Vertices far outside: only the parts of edges inside the picture are
    // stepped (quickly), and nothing is written outside.
    CPicture huge(16, 16, 8);
    POINT distant[] = { { 2, 2 }, { INT_MAX / 2, 2 }, { 2, INT_MAX / 2 } };
    ASSERT_TRUE(huge.SelectionAddPolygon(distant, 3));
    for (LONG k = 2; k < 16; ++k) {
        EXPECT_TRUE(huge.SelectionIsInside(k, 2)) << k;
        EXPECT_TRUE(huge.SelectionIsInside(2, k)) << k;
    }
    EXPECT_FALSE(huge.SelectionIsInside(1, 1));
    RECT box;
    huge.SelectionGetBox(box);
    EXPECT_EQ(box.right, 16);
    EXPECT_EQ(box.top, 16);
}

TEST(Selection, ColourPixelInvertCopySplit)
{
    CPicture pic(6, 4, 24);
    pic.SetPixelColor(1, 3, Rgb(9, 9, 9));
    pic.SetPixelColor(4, 1, Rgb(9, 9, 9));
    ASSERT_TRUE(pic.SelectionAddColor(Rgb(9, 9, 9, 77)));
    EXPECT_EQ(CountSelected(pic), 2);
    RECT box;
    pic.SelectionGetBox(box);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.right, 4);
    EXPECT_EQ(box.bottom, 1);
    EXPECT_EQ(box.top, 3);

    EXPECT_FALSE(pic.SelectionAddPixel(6, 0));
    ASSERT_TRUE(pic.SelectionAddPixel(0, 0));
    EXPECT_EQ(CountSelected(pic), 3);
    ASSERT_TRUE(pic.SelectionInvert());
    EXPECT_EQ(CountSelected(pic), 24 - 3);

    CPicture other(6, 4, 8);
    ASSERT_TRUE(other.SelectionCopy(pic));
    EXPECT_FALSE(other.SelectionIsInside(0, 0));
    CPicture mask;
    ASSERT_TRUE(pic.SelectionSplit(&mask));
    EXPECT_EQ(mask.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(mask.GetPixelIndex(2, 2), 255);
    ASSERT_TRUE(pic.SelectionDelete());
    EXPECT_FALSE(pic.SelectionInvert());
    EXPECT_FALSE(pic.SelectionSplit(&mask));
}

} // namespace

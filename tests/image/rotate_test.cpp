// Rotation: quarter and half turns at every depth, the nearest-pixel turn
// of the clock hands and the interpolating turn.
#include "image/picture.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A picture with alpha and a selection, so that all three planes are checked.
CPicture Sample(DWORD w, DWORD h, DWORD bpp, uint32_t seed)
{
    CPicture pic(w, h, bpp);
    FillRandom(pic, seed);
    EXPECT_TRUE(pic.AlphaCreate());
    for (LONG y = 0; y < LONG(h); ++y)
        for (LONG x = 0; x < LONG(w); ++x)
            pic.AlphaSet(x, y, BYTE(x * 7 + y * 13 + seed));
    RECT r = { LONG(w / 3), LONG(h / 4), LONG(w - w / 5), LONG(h - h / 3) };
    if (r.left == r.right)
        r.right = r.left + 1;
    if (r.top == r.bottom)
        r.bottom = r.top + 1;
    EXPECT_TRUE(pic.SelectionAddRect(r));
    return pic;
}

::testing::AssertionResult SamePlanes(const CPicture& a, const CPicture& b)
{
    ::testing::AssertionResult pixels = SamePixels(a, b);
    if (!pixels)
        return pixels;
    if (a.AlphaIsValid() != b.AlphaIsValid() || a.SelectionIsValid() != b.SelectionIsValid())
        return ::testing::AssertionFailure() << "planes differ";
    for (LONG y = 0; y < LONG(a.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(a.GetWidth()); ++x) {
            if (a.AlphaGet(x, y) != b.AlphaGet(x, y))
                return ::testing::AssertionFailure() << "alpha at " << x << "," << y;
            if (a.SelectionIsInside(x, y) != b.SelectionIsInside(x, y))
                return ::testing::AssertionFailure() << "selection at " << x << "," << y;
        }
    RECT ra, rb;
    a.SelectionGetBox(ra);
    b.SelectionGetBox(rb);
    if (ra.left != rb.left || ra.right != rb.right || ra.top != rb.top || ra.bottom != rb.bottom)
        return ::testing::AssertionFailure() << "selection box";
    return ::testing::AssertionSuccess();
}

struct Shape {
    DWORD w, h;
};

// Around the 8-pixel tiles, 256-pixel blocks and 8-pixel bytes of 1-bit rows.
const Shape kShapes[] = { { 1, 1 }, { 1, 9 }, { 7, 1 }, { 63, 65 }, { 64, 64 }, { 65, 63 }, { 130, 3 }, { 9, 129 },
    { 17, 23 }, { 257, 5 }, { 3, 263 } };
const DWORD kDepths[] = { 1, 4, 8, 24 };

} // namespace

TEST(QuarterTurns, CompositionsAtEveryDepthAndSize)
{
    for (DWORD bpp : kDepths)
        for (const Shape& s : kShapes) {
            SCOPED_TRACE(::testing::Message() << bpp << " bits, " << s.w << "x" << s.h);
            CPicture pic = Sample(s.w, s.h, bpp, s.w * 31 + s.h + bpp);

            CPicture four(pic);
            for (int i = 0; i < 4; ++i)
                ASSERT_TRUE(four.RotateRight());
            EXPECT_TRUE(SamePlanes(four, pic));

            CPicture back(pic);
            ASSERT_TRUE(back.RotateRight());
            EXPECT_EQ(back.GetWidth(), s.h);
            EXPECT_EQ(back.GetHeight(), s.w);
            ASSERT_TRUE(back.RotateLeft());
            EXPECT_TRUE(SamePlanes(back, pic));

            CPicture twice(pic), half(pic);
            ASSERT_TRUE(twice.RotateRight());
            ASSERT_TRUE(twice.RotateRight());
            ASSERT_TRUE(half.Rotate180());
            EXPECT_TRUE(SamePlanes(twice, half));

            CPicture lefts(pic);
            ASSERT_TRUE(lefts.RotateLeft());
            ASSERT_TRUE(lefts.RotateLeft());
            EXPECT_TRUE(SamePlanes(lefts, half));
        }
}

TEST(QuarterTurns, RightTurnsClockwiseAsDisplayed)
{
    // Rows are stored bottom-up: (0, h - 1) is the top-left corner on screen.
    CPicture pic(5, 3, 24);
    FillRandom(pic, 3);
    CPicture turned;
    ASSERT_TRUE(pic.RotateRight(&turned));
    ASSERT_EQ(turned.GetWidth(), 3u);
    ASSERT_EQ(turned.GetHeight(), 5u);
    // Top-left goes to top-right, bottom-left to top-left.
    EXPECT_TRUE(SameRgb(turned.GetPixelColor(2, 4), pic.GetPixelColor(0, 2)));
    EXPECT_TRUE(SameRgb(turned.GetPixelColor(0, 4), pic.GetPixelColor(0, 0)));
    EXPECT_TRUE(SameRgb(turned.GetPixelColor(2, 0), pic.GetPixelColor(4, 2)));
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 3; ++x)
            ASSERT_TRUE(SameRgb(turned.GetPixelColor(x, y), pic.GetPixelColor(4 - y, x)));
}

TEST(QuarterTurns, OneBitRowPaddingIsNeverCarriedIn)
{
    CPicture pic(11, 5, 1);
    FillRandom(pic, 4);
    // Bits 11..31 of every row are padding; set them all.
    for (DWORD y = 0; y < 5; ++y) {
        BYTE* row = pic.GetBits(y);
        row[1] |= 0x1F;
        row[2] = row[3] = 0xFF;
    }
    for (int dir = 0; dir < 2; ++dir) {
        CPicture t;
        ASSERT_TRUE(dir ? pic.RotateRight(&t) : pic.RotateLeft(&t));
        for (LONG y = 0; y < 11; ++y)
            for (LONG x = 0; x < 5; ++x) {
                LONG sx = dir ? 10 - y : y, sy = dir ? x : 4 - x;
                ASSERT_EQ(t.GetPixelIndex(x, y), pic.GetPixelIndex(sx, sy)) << x << "," << y;
            }
    }
}

TEST(QuarterTurns, EmptyPictureIsRefused)
{
    CPicture empty;
    EXPECT_FALSE(empty.RotateLeft());
    EXPECT_FALSE(empty.RotateRight());
    EXPECT_FALSE(empty.Rotate180());
    EXPECT_FALSE(empty.Rotate(10));
    EXPECT_FALSE(empty.Rotate2(10));
}

TEST(Rotate2, RightAnglesTakeTheExactTurns)
{
    for (DWORD bpp : kDepths) {
        SCOPED_TRACE(bpp);
        CPicture pic = Sample(37, 70, bpp, bpp);
        struct {
            float angle;
            bool (CPicture::*turn)(CPicture*);
        } cases[] = { { 90, &CPicture::RotateRight }, { -90, &CPicture::RotateLeft }, { 270, &CPicture::RotateLeft },
            { 180, &CPicture::Rotate180 }, { -180, &CPicture::Rotate180 } };
        for (auto& c : cases) {
            CPicture a, b;
            ASSERT_TRUE(pic.Rotate2(c.angle, &a));
            ASSERT_TRUE((pic.*c.turn)(&b));
            EXPECT_TRUE(SamePlanes(a, b)) << c.angle;
        }
    }
}

TEST(Rotate2, NoTurnCopiesIntoTheDestinationOnly)
{
    CPicture pic = Sample(20, 10, 24, 5);
    CPicture copy(pic), out;
    ASSERT_TRUE(pic.Rotate2(0, &out));
    EXPECT_TRUE(SamePlanes(out, pic));
    EXPECT_TRUE(SamePlanes(pic, copy));
    ASSERT_TRUE(pic.Rotate2(360));
    EXPECT_TRUE(SamePlanes(pic, copy));
}

TEST(Rotate2, KeepSizeTurnsAboutTheCentreOverABackground)
{
    CPicture pic(40, 30, 24);
    for (LONG y = 0; y < 30; ++y)
        for (LONG x = 0; x < 40; ++x)
            pic.SetPixelColor(x, y, Rgb(10, 20, 30));
    ASSERT_TRUE(pic.Rotate2(45, nullptr, CPicture::IM_BILINEAR, CPicture::OM_BACKGROUND, nullptr, true, true));
    EXPECT_EQ(pic.GetWidth(), 40u);
    EXPECT_EQ(pic.GetHeight(), 30u);
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(20, 15), Rgb(10, 20, 30)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(255, 255, 255)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(39, 29), Rgb(255, 255, 255)));
}

TEST(Rotate2, FreeAngleGrowsToHoldTheCorners)
{
    CPicture pic = Sample(50, 20, 24, 6);
    ASSERT_TRUE(pic.Rotate2(30));
    // |50 cos 30| + |20 sin 30| = 53.3, |50 sin 30| + |20 cos 30| = 42.3.
    EXPECT_EQ(pic.GetWidth(), 53u);
    EXPECT_EQ(pic.GetHeight(), 42u);
    EXPECT_TRUE(pic.AlphaIsValid());
    EXPECT_FALSE(pic.SelectionIsValid());
}

TEST(Rotate2, RowPathGivesTheSamplersResult)
{
    // A selection on the source sends Rotate2 through the sampler; without
    // one, true-colour bilinear turns read the rows themselves.
    const float angles[] = { 7.5f, 33.0f, 135.0f, -200.25f };
    const CPicture::OverflowMethod methods[] = { CPicture::OM_BACKGROUND, CPicture::OM_REPEAT, CPicture::OM_WRAP,
        CPicture::OM_TRANSPARENT };
    for (bool withAlpha : { false, true })
        for (float angle : angles)
            for (CPicture::OverflowMethod om : methods)
                for (bool keepSize : { false, true }) {
                    CPicture hand(23, 71, 24);
                    FillRandom(hand, 9);
                    if (withAlpha) {
                        ASSERT_TRUE(hand.AlphaCreate());
                        for (LONG y = 0; y < 71; ++y)
                            for (LONG x = 0; x < 23; ++x)
                                hand.AlphaSet(x, y, BYTE(x * 11 + y * 5));
                    }
                    CPicture viaSampler(hand);
                    ASSERT_TRUE(viaSampler.SelectionCreate() && viaSampler.SelectionInvert());
                    RGBQUAD back = Rgb(10, 20, 30);
                    CPicture fast, general;
                    ASSERT_TRUE(hand.Rotate2(angle, &fast, CPicture::IM_BILINEAR, om, &back, false, keepSize));
                    ASSERT_TRUE(
                        viaSampler.Rotate2(angle, &general, CPicture::IM_BILINEAR, om, &back, false, keepSize));
                    EXPECT_TRUE(SamePixels(fast, general)) << angle << " om " << om << " keep " << keepSize;
                    for (LONG y = 0; y < LONG(fast.GetHeight()) && withAlpha; ++y)
                        for (LONG x = 0; x < LONG(fast.GetWidth()); ++x)
                            ASSERT_EQ(fast.AlphaGet(x, y), general.AlphaGet(x, y)) << angle << " at " << x << "," << y;
                }
}

TEST(Rotate, ZeroAngleAddsTwoColumnsAndRows)
{
    const LONG w = 70, h = 66; // the result spans more than one 64-pixel tile each way
    // Each depth has its own copy loop.
    for (DWORD bpp : kDepths) {
        CPicture pic(w, h, bpp);
        FillRandom(pic, 7);
        CPicture out;
        ASSERT_TRUE(pic.Rotate(0, &out));
        ASSERT_EQ(out.GetWidth(), DWORD(w + 2));
        ASSERT_EQ(out.GetHeight(), DWORD(h + 2));
        for (LONG y = 1; y <= h; ++y) {
            EXPECT_TRUE(SameRgb(out.GetPixelColor(0, y), pic.GetPixelColor(0, y - 1))) << bpp;
            for (LONG x = 1; x <= w; ++x)
                ASSERT_TRUE(SameRgb(out.GetPixelColor(x, y), pic.GetPixelColor(x - 1, y - 1))) << bpp;
            // Below 8 bits the outside index is the first byte of the rows, not pixel (0, 0).
            if (bpp >= 8)
                EXPECT_TRUE(SameRgb(out.GetPixelColor(w + 1, y), pic.GetPixelColor(0, 0))) << bpp;
        }
    }
}

TEST(Rotate, UncoveredCornersTakeTheBottomLeftPixel)
{
    // Pixel (0, 0) is the first row in memory: the bottom-left corner as
    // displayed, not the top-left one.
    CPicture pic(30, 20, 24);
    for (LONG y = 0; y < 20; ++y)
        for (LONG x = 0; x < 30; ++x)
            pic.SetPixelColor(x, y, Rgb(50, 50, 50));
    pic.SetPixelColor(0, 0, Rgb(255, 0, 0));  // bottom-left on screen
    pic.SetPixelColor(0, 19, Rgb(0, 0, 255)); // top-left on screen
    ASSERT_TRUE(pic.Rotate(30));
    RGBQUAD corner = pic.GetPixelColor(0, 0);
    EXPECT_TRUE(SameRgb(corner, Rgb(255, 0, 0)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(LONG(pic.GetWidth()) - 1, LONG(pic.GetHeight()) - 1), Rgb(255, 0, 0)));
}

TEST(Rotate, TransparentIndexAndAlphaFillTheCorners)
{
    CPicture pic(16, 16, 8);
    FillRandom(pic, 8);
    pic.SetTransIndex(5);
    ASSERT_TRUE(pic.AlphaCreate());
    pic.AlphaSet(BYTE(200));
    ASSERT_TRUE(pic.Rotate(45));
    EXPECT_EQ(pic.GetPixelIndex(0, 0), 5);
    EXPECT_EQ(pic.AlphaGet(0, 0), 0);
    LONG cx = LONG(pic.GetWidth()) / 2, cy = LONG(pic.GetHeight()) / 2;
    EXPECT_EQ(pic.AlphaGet(cx, cy), 200);
}

TEST(Rotate, TurningFourQuartersByAngleKeepsTheHandsCentre)
{
    // A clock hand: a bar in the middle column; after 90 degrees it lies
    // along the middle row, to the right of the centre.
    CPicture hand(9, 41, 24);
    for (LONG y = 0; y < 41; ++y)
        for (LONG x = 0; x < 9; ++x)
            hand.SetPixelColor(x, y, x == 4 && y >= 20 ? Rgb(255, 255, 255) : Rgb(0, 0, 0));
    CPicture out;
    ASSERT_TRUE(hand.Rotate(90, &out));
    LONG cy = LONG(out.GetHeight()) / 2, cx = LONG(out.GetWidth()) / 2;
    int right = 0, left = 0;
    for (LONG dy = -1; dy <= 1; ++dy)
        for (LONG x = 0; x < LONG(out.GetWidth()); ++x)
            if (out.GetPixelColor(x, cy + dy).rgbRed == 255)
                (x > cx ? right : left)++;
    EXPECT_GE(right, 18);
    EXPECT_LE(left, 2);
}

TEST(Rotate, NonFiniteAngleIsRefusedAndChangesNothing)
{
    CPicture pic = Sample(12, 8, 24, 9);
    CPicture copy(pic);
    const float bad[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity() };
    for (float a : bad) {
        EXPECT_FALSE(pic.Rotate(a));
        EXPECT_FALSE(pic.Rotate2(a));
        EXPECT_TRUE(SamePlanes(pic, copy));
    }
}

TEST(Rotate, ResultTooLargeToCreateLeavesThePictureUnchanged)
{
    // 1 x 46341 turned by 45 degrees needs about 32770 x 32770 pixels of
    // 3 bytes: more than the library's 2^31-byte limit.
    CPicture pic(1, 46341, 24);
    FillRandom(pic, 10);
    CPicture copy(pic);
    CPicture dst(3, 3, 8);
    EXPECT_FALSE(pic.Rotate(45, &dst));
    EXPECT_TRUE(SamePixels(pic, copy));
    EXPECT_EQ(dst.GetWidth(), 3u);
    EXPECT_FALSE(pic.Rotate2(45));
    EXPECT_TRUE(SamePixels(pic, copy));
}

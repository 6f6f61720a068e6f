// Jitter: pixels move within the radius, following the random source exactly.
#include "filter_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace {

// Source position of the pixel now at (x, y) of a FillCoordinates picture.
void SourceOf(const CPicture& pic, LONG x, LONG y, LONG& sx, LONG& sy)
{
    RGBQUAD c = pic.GetPixelColor(x, y, false);
    sx = c.rgbRed;
    sy = c.rgbGreen;
}

} // namespace

TEST(Jitter, NoPixelMovesFurtherThanTheRadius)
{
    RandomScope seeded(1234u);
    for (LONG radius : { 1L, 2L, 3L, 7L }) {
        CPicture pic(60, 40, 24);
        FillCoordinates(pic);
        ASSERT_TRUE(pic.Jitter(radius));
        int moved = 0;
        for (LONG y = 0; y < 40; ++y)
            for (LONG x = 0; x < 60; ++x) {
                LONG sx, sy;
                SourceOf(pic, x, y, sx, sy);
                // Offsets run from -radius to radius - 1.
                EXPECT_GE(sx - x, -radius);
                EXPECT_LE(sx - x, radius - 1);
                EXPECT_GE(sy - y, -radius);
                EXPECT_LE(sy - y, radius - 1);
                moved += (sx != x || sy != y);
            }
        // Truncation toward zero folds (-1, 1) onto 0: radius 1 moves only on
        // draw 0, wider radii move most pixels.
        if (radius > 1)
            EXPECT_GT(moved, 60 * 40 / 2) << radius;
    }
}

TEST(Jitter, FollowsTheDrawsXFirst)
{
    // Draw 0 gives offset -radius, draw 32767 gives radius - 1.
    ScriptedRandom script;
    script.values = { 0, 32767 };
    RandomScope scoped(script);
    CPicture pic(8, 8, 24);
    FillCoordinates(pic);
    ASSERT_TRUE(pic.Jitter(2));
    LONG sx, sy;
    SourceOf(pic, 4, 4, sx, sy);
    EXPECT_EQ(sx, 2);
    EXPECT_EQ(sy, 5);
    // (1, 1) would read (-1, 2): outside, so it keeps its own pixel.
    SourceOf(pic, 1, 1, sx, sy);
    EXPECT_EQ(sx, 1);
    EXPECT_EQ(sy, 1);
    EXPECT_EQ(script.draws, 2u * 64u);
}

TEST(Jitter, ZeroRadiusKeepsEveryPixelButStillDraws)
{
    ScriptedRandom script;
    script.values = { 0, 12345, 32767 };
    RandomScope scoped(script);
    CPicture pic(9, 5, 24);
    FillCoordinates(pic);
    Snapshot before(pic);
    ASSERT_TRUE(pic.Jitter(0));
    EXPECT_TRUE(Snapshot(pic) == before);
    EXPECT_EQ(script.draws, 2u * 45u);
}

TEST(Jitter, SinglePixelPictureStaysAsItIs)
{
    RandomScope seeded(5u);
    CPicture pic(1, 1, 24);
    pic.SetPixelColor(0, 0, Rgb(1, 2, 3));
    ASSERT_TRUE(pic.Jitter(2));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(1, 2, 3)));
}

TEST(Jitter, PalettePictureMovesIndicesNotEntries)
{
    RandomScope seeded(77u);
    CPicture pic(16, 16, 8);
    FillRandom(pic, 9);
    // Index = position, so every moved index names where it came from.
    for (LONG y = 0; y < 16; ++y)
        for (LONG x = 0; x < 16; ++x)
            pic.SetPixelIndex(x, y, BYTE(y * 16 + x));
    std::vector<RGBQUAD> palette(pic.GetPalette(), pic.GetPalette() + 256);
    ASSERT_TRUE(pic.Jitter(3));
    for (DWORD i = 0; i < 256; ++i)
        EXPECT_TRUE(SameRgb(pic.GetPaletteColor(BYTE(i)), palette[i]));
    for (LONG y = 0; y < 16; ++y)
        for (LONG x = 0; x < 16; ++x) {
            BYTE i = pic.GetPixelIndex(x, y);
            EXPECT_LE(std::abs(LONG(i % 16) - x), 3);
            EXPECT_LE(std::abs(LONG(i / 16) - y), 3);
        }
}

TEST(Jitter, AlphaTravelsWithItsPixel)
{
    RandomScope seeded(3u);
    CPicture pic(20, 20, 24);
    FillCoordinates(pic);
    ASSERT_TRUE(pic.AlphaCreate());
    for (LONG y = 0; y < 20; ++y)
        for (LONG x = 0; x < 20; ++x)
            pic.AlphaSet(x, y, BYTE(x * 20 + y));
    ASSERT_TRUE(pic.Jitter(2));
    for (LONG y = 0; y < 20; ++y)
        for (LONG x = 0; x < 20; ++x) {
            LONG sx, sy;
            SourceOf(pic, x, y, sx, sy);
            EXPECT_EQ(pic.AlphaGet(x, y), BYTE(sx * 20 + sy));
        }
}

TEST(Jitter, OnlySelectedPixelsChange)
{
    RandomScope seeded(8u);
    CPicture pic(30, 30, 24);
    FillCoordinates(pic);
    SelectBox(pic, 5, 10, 20, 25);
    ASSERT_TRUE(pic.Jitter(4));
    int moved = 0;
    for (LONG y = 0; y < 30; ++y)
        for (LONG x = 0; x < 30; ++x) {
            LONG sx, sy;
            SourceOf(pic, x, y, sx, sy);
            bool inside = x >= 5 && x < 20 && y >= 10 && y < 25;
            if (!inside) {
                EXPECT_EQ(sx, x);
                EXPECT_EQ(sy, y);
            }
            moved += (sx != x || sy != y);
        }
    EXPECT_GT(moved, 100);
}

TEST(Jitter, EscapeBeforeTheFirstRowHandsOverThePictureAsItWas)
{
    ScriptedRandom script;
    script.values = { 0, 32767 };
    RandomScope scripted(script);
    CPicture pic(30, 30, 24);
    FillCoordinates(pic);
    Snapshot before(pic);
    pic.SetEscape(1);
    EXPECT_TRUE(pic.Jitter(3));
    EXPECT_TRUE(Snapshot(pic) == before);
    EXPECT_EQ(script.draws, 0u);
}

TEST(Jitter, HugeRadiiAreSafe)
{
    // Runs under UBSan: 2 x radius and the offsets must not overflow.
    RandomScope seeded(42u);
    for (LONG radius : { INT32_MAX, INT32_MIN, INT32_MAX / 2 }) {
        CPicture pic(10, 10, 24);
        FillCoordinates(pic);
        ASSERT_TRUE(pic.Jitter(radius));
        for (LONG y = 0; y < 10; ++y)
            for (LONG x = 0; x < 10; ++x) {
                LONG sx, sy;
                SourceOf(pic, x, y, sx, sy);
                EXPECT_TRUE(sx == x && sy == y) << radius; // every draw lands outside
            }
    }
}

TEST(Jitter, SameSeedSameResult)
{
    CPicture a(25, 25, 24), b(25, 25, 24);
    FillCoordinates(a);
    FillCoordinates(b);
    {
        RandomScope seeded(2024u);
        ASSERT_TRUE(a.Jitter(3));
    }
    {
        RandomScope seeded(2024u);
        ASSERT_TRUE(b.Jitter(3));
    }
    EXPECT_TRUE(SamePixels(a, b));
}

// Mixing: the ten operations, the overlap rule, alpha editing, refusal of
// unknown operations and the transparent paste.
#include "filter_test_util.h"

#include <gtest/gtest.h>

namespace {

CPicture Solid(DWORD w, DWORD h, RGBQUAD c)
{
    CPicture pic(w, h, 24);
    for (LONG y = 0; y < LONG(h); ++y)
        for (LONG x = 0; x < LONG(w); ++x)
            pic.SetPixelColor(x, y, c);
    return pic;
}

} // namespace

TEST(Mix, ArithmeticAndBitwiseOperations)
{
    CPicture white = Solid(4, 4, Rgb(255, 255, 255));
    CPicture pic(4, 4, 24);
    FillRandom(pic, 1);
    CPicture added(pic), self(pic), anded(pic), xored(pic), ored(pic);
    ASSERT_TRUE(added.Mix(white, CPicture::ImageOpAdd));
    ASSERT_TRUE(self.Mix(self, CPicture::ImageOpSub));
    CPicture mask = Solid(4, 4, Rgb(0x0F, 0xF0, 0x3C));
    ASSERT_TRUE(anded.Mix(mask, CPicture::ImageOpAnd));
    ASSERT_TRUE(xored.Mix(mask, CPicture::ImageOpXor));
    ASSERT_TRUE(ored.Mix(mask, CPicture::ImageOpOr));
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 4; ++x) {
            RGBQUAD c = pic.GetPixelColor(x, y);
            EXPECT_TRUE(SameRgb(added.GetPixelColor(x, y), Rgb(255, 255, 255)));
            EXPECT_TRUE(SameRgb(self.GetPixelColor(x, y), Rgb(0, 0, 0)));
            EXPECT_TRUE(SameRgb(anded.GetPixelColor(x, y), Rgb(c.rgbRed & 0x0F, c.rgbGreen & 0xF0, c.rgbBlue & 0x3C)));
            EXPECT_TRUE(SameRgb(xored.GetPixelColor(x, y), Rgb(c.rgbRed ^ 0x0F, c.rgbGreen ^ 0xF0, c.rgbBlue ^ 0x3C)));
            EXPECT_TRUE(SameRgb(ored.GetPixelColor(x, y), Rgb(c.rgbRed | 0x0F, c.rgbGreen | 0xF0, c.rgbBlue | 0x3C)));
        }
}

TEST(Mix, UnknownOperationsAreRefusedWithoutAnyChange)
{
    CPicture pic(3, 3, 24), source(3, 3, 24);
    FillRandom(pic, 2);
    FillRandom(source, 3);
    ASSERT_TRUE(source.AlphaCreate());
    Snapshot before(pic);
    EXPECT_FALSE(pic.Mix(source, CPicture::ImageOpType(10), 0, 0, true));
    EXPECT_FALSE(pic.Mix(source, CPicture::ImageOpType(-1), 0, 0, true));
    EXPECT_FALSE(pic.AlphaIsValid());
    EXPECT_TRUE(Snapshot(pic) == before);
}

TEST(Mix, MaskUnderlayAndOverlayUseTheDestinationKey)
{
    RGBQUAD key = Rgb(1, 2, 3);
    CPicture dest = Solid(2, 1, Rgb(50, 50, 50));
    dest.SetPixelColor(1, 0, key);
    dest.SetTransColor(key);
    CPicture src = Solid(2, 1, Rgb(0, 0, 0));
    src.SetPixelColor(1, 0, Rgb(9, 9, 9));

    CPicture masked(dest), under(dest), over(dest);
    ASSERT_TRUE(masked.Mix(src, CPicture::ImageOpMask));
    EXPECT_TRUE(SameRgb(masked.GetPixelColor(0, 0), key)); // black source: key colour
    EXPECT_TRUE(SameRgb(masked.GetPixelColor(1, 0), key)); // otherwise unchanged (it was the key)
    ASSERT_TRUE(under.Mix(src, CPicture::ImageOpUnderlay));
    EXPECT_TRUE(SameRgb(under.GetPixelColor(0, 0), Rgb(50, 50, 50)));
    EXPECT_TRUE(SameRgb(under.GetPixelColor(1, 0), Rgb(9, 9, 9)));
    CPicture keyed = Solid(2, 1, key);
    keyed.SetPixelColor(1, 0, Rgb(7, 7, 7));
    ASSERT_TRUE(over.Mix(keyed, CPicture::ImageOpOverlay));
    EXPECT_TRUE(SameRgb(over.GetPixelColor(0, 0), Rgb(50, 50, 50)));
    EXPECT_TRUE(SameRgb(over.GetPixelColor(1, 0), Rgb(7, 7, 7)));
}

TEST(Mix, KeyBlendByDistanceFromTheKey)
{
    RGBQUAD key = Rgb(100, 100, 100);
    CPicture dest = Solid(3, 1, key);
    dest.SetPixelColor(1, 0, Rgb(116, 116, 116)); // 16 away: kept
    dest.SetPixelColor(2, 0, Rgb(108, 108, 108)); // 8 away: half and half
    dest.SetTransColor(key);
    CPicture src = Solid(3, 1, Rgb(20, 40, 60));
    ASSERT_TRUE(dest.Mix(src, CPicture::ImageOpKeyBlend));
    EXPECT_TRUE(SameRgb(dest.GetPixelColor(0, 0), Rgb(20, 40, 60)));
    EXPECT_TRUE(SameRgb(dest.GetPixelColor(1, 0), Rgb(116, 116, 116)));
    EXPECT_TRUE(SameRgb(dest.GetPixelColor(2, 0), Rgb(64, 74, 84)));
}

TEST(Mix, AlphaBlendWeighsByTheSourceAlphaAtTheReadPoint)
{
    CPicture dest = Solid(4, 1, Rgb(0, 0, 0));
    CPicture src = Solid(6, 1, Rgb(200, 100, 255));
    ASSERT_TRUE(src.AlphaCreate());
    src.AlphaSet(2, 0, 0);
    src.AlphaSet(3, 0, 127);
    // Read at x + 2: dest 0 gets source 2 (alpha 0), dest 1 source 3 (half).
    ASSERT_TRUE(dest.Mix(src, CPicture::ImageOpAlphaBlend, 2, 0));
    EXPECT_TRUE(SameRgb(dest.GetPixelColor(0, 0), Rgb(0, 0, 0)));
    EXPECT_TRUE(SameRgb(dest.GetPixelColor(1, 0), Rgb(99, 49, 126)));
    EXPECT_TRUE(SameRgb(dest.GetPixelColor(2, 0), Rgb(200, 100, 255)));
}

TEST(Mix, AlphaBlendTestsTransparencyWhereTheSourceIsRead)
{
    // Source pixel 0 is the transparent colour, pixel 1 is not; with dx 1
    // destination 0 reads source 1 and must take it.
    CPicture src = Solid(2, 1, Rgb(5, 5, 5));
    src.SetPixelColor(1, 0, Rgb(90, 80, 70));
    src.SetTransIndex(0);
    src.SetTransColor(Rgb(5, 5, 5));
    CPicture dest = Solid(2, 1, Rgb(1, 1, 1));
    ASSERT_TRUE(dest.Mix(src, CPicture::ImageOpAlphaBlend, 1, 0));
    EXPECT_TRUE(SameRgb(dest.GetPixelColor(0, 0), Rgb(90, 80, 70)));
    CPicture plain = Solid(2, 1, Rgb(1, 1, 1));
    ASSERT_TRUE(plain.Mix(src, CPicture::ImageOpAlphaBlend));
    EXPECT_TRUE(SameRgb(plain.GetPixelColor(0, 0), Rgb(1, 1, 1)));
    EXPECT_TRUE(SameRgb(plain.GetPixelColor(1, 0), Rgb(90, 80, 70)));
}

TEST(Mix, SmallerSourceTouchesOnlyTheOverlap)
{
    CPicture dest = Solid(6, 5, Rgb(10, 10, 10));
    CPicture src = Solid(3, 2, Rgb(1, 1, 1));
    ASSERT_TRUE(dest.Mix(src, CPicture::ImageOpAdd));
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 6; ++x) {
            BYTE want = x < 3 && y < 2 ? 11 : 10;
            EXPECT_EQ(dest.GetPixelColor(x, y).rgbRed, want) << x << "," << y;
        }
}

TEST(Mix, AlphaBlendRowPathGivesTheGeneralResult)
{
    // A selection over the whole destination sends Mix through the general
    // path; without one, blending a true-colour picture with alpha reads rows.
    const LONG offsets[][2] = { { 0, 0 }, { -10, -20 }, { 5, 7 }, { 280, 190 }, { -50, 0 }, { 400, 3 } };
    for (bool destAlpha : { false, true })
        for (BYTE alphaMax : { BYTE(255), BYTE(128) })
            for (auto& o : offsets) {
                CPicture dest(300, 200, 24);
                FillRandom(dest, 4);
                if (destAlpha)
                    ASSERT_TRUE(dest.AlphaCreate());
                CPicture hand(40, 60, 24);
                FillRandom(hand, 5);
                ASSERT_TRUE(hand.AlphaCreate());
                hand.AlphaSetMax(alphaMax);
                for (LONG y = 0; y < 60; ++y)
                    for (LONG x = 0; x < 40; ++x)
                        hand.AlphaSet(x, y, BYTE(x < 10 ? 0 : (x > 30 ? 255 : x * 37 + y * 3)));
                CPicture general(dest);
                ASSERT_TRUE(general.SelectionCreate() && general.SelectionInvert());
                ASSERT_TRUE(dest.Mix(hand, CPicture::ImageOpAlphaBlend, o[0], o[1]));
                ASSERT_TRUE(general.Mix(hand, CPicture::ImageOpAlphaBlend, o[0], o[1]));
                EXPECT_TRUE(SamePixels(dest, general)) << o[0] << "," << o[1] << " max " << int(alphaMax);
                EXPECT_EQ(dest.GetProgress(), general.GetProgress());
            }
}

TEST(Mix, AlphaEditingCombinesTheAlphaBytes)
{
    CPicture dest = Solid(2, 1, Rgb(0, 0, 0));
    CPicture src = Solid(2, 1, Rgb(0, 0, 0));
    ASSERT_TRUE(src.AlphaCreate());
    src.AlphaSet(0, 0, 100);
    src.AlphaSet(1, 0, 200);
    ASSERT_TRUE(dest.Mix(src, CPicture::ImageOpSub, 0, 0, true));
    ASSERT_TRUE(dest.AlphaIsValid());
    EXPECT_EQ(dest.AlphaGet(0, 0), 155); // new plane is 255
    EXPECT_EQ(dest.AlphaGet(1, 0), 55);
}

TEST(Mix, CancelledMixLeavesTheDestinationAsItWas)
{
    CPicture dest(5, 5, 24), src(5, 5, 24);
    FillRandom(dest, 4);
    FillRandom(src, 5);
    Snapshot before(dest);
    dest.SetEscape(1);
    EXPECT_FALSE(dest.Mix(src, CPicture::ImageOpXor));
    EXPECT_TRUE(Snapshot(dest) == before);
}

TEST(MixFrom, PastesAllButTheTransparentColour)
{
    CPicture dest = Solid(5, 5, Rgb(0, 0, 0));
    CPicture src = Solid(2, 2, Rgb(3, 3, 3));
    src.SetPixelColor(1, 1, Rgb(50, 60, 70));
    src.SetTransColor(Rgb(3, 3, 3));
    dest.MixFrom(src, 3, 3);
    EXPECT_TRUE(SameRgb(dest.GetPixelColor(4, 4), Rgb(50, 60, 70)));
    EXPECT_TRUE(SameRgb(dest.GetPixelColor(3, 3), Rgb(0, 0, 0)));
    CPicture allKey = Solid(5, 5, Rgb(3, 3, 3));
    allKey.SetTransColor(Rgb(3, 3, 3));
    Snapshot before(dest);
    dest.MixFrom(allKey, 0, 0);
    EXPECT_TRUE(Snapshot(dest) == before);
    dest.MixFrom(src, INT32_MAX, INT32_MIN); // far outside: ignored
    EXPECT_TRUE(Snapshot(dest) == before);
}

TEST(MixFrom, PastingOntoItselfReadsTheOriginal)
{
    CPicture pic(4, 1, 24);
    for (LONG x = 0; x < 4; ++x)
        pic.SetPixelColor(x, 0, Rgb(BYTE(10 * (x + 1)), 0, 0));
    pic.SetTransColor(Rgb(0, 0, 1));
    pic.MixFrom(pic, 1, 0);
    EXPECT_EQ(pic.GetPixelColor(1, 0).rgbRed, 10);
    EXPECT_EQ(pic.GetPixelColor(2, 0).rgbRed, 20);
    EXPECT_EQ(pic.GetPixelColor(3, 0).rgbRed, 30);
}

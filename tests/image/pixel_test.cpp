// Pixel and palette access: round trips against a model, the nearest-colour
// memo and the boundary rules of the accessors.
#include "image/picture.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

// The first palette entry at the smallest distance, searched from scratch.
BYTE BruteNearest(const CPicture& pic, RGBQUAD c)
{
    long best = std::numeric_limits<long>::max();
    BYTE answer = 0;
    for (DWORD i = 0; i < pic.GetNumColors(); ++i) {
        RGBQUAD e = pic.GetPaletteColor(BYTE(i));
        long d = (e.rgbRed - c.rgbRed) * (e.rgbRed - c.rgbRed) + (e.rgbGreen - c.rgbGreen) * (e.rgbGreen - c.rgbGreen)
            + (e.rgbBlue - c.rgbBlue) * (e.rgbBlue - c.rgbBlue);
        if (d < best) {
            best = d;
            answer = BYTE(i);
        }
    }
    return answer;
}

TEST(Pixels, SetGetRoundTripsLeaveNeighboursAlone)
{
    std::mt19937 rng(7);
    for (DWORD bpp : { 1u, 4u, 8u, 24u }) {
        for (DWORD w = 1; w <= 70; w += (w < 10 ? 1 : 7)) {
            DWORD h = 1 + rng() % 9;
            CPicture pic(w, h, bpp);
            ASSERT_TRUE(pic.IsValid());
            DWORD colors = pic.GetNumColors();
            for (DWORD i = 0; i < colors; ++i)
                pic.SetPaletteColor(BYTE(i), BYTE(i), 0, 0);
            std::vector<uint32_t> model(size_t(w) * h, 0);
            for (int k = 0; k < 200; ++k) {
                LONG x = LONG(rng() % w), y = LONG(rng() % h);
                uint32_t v = colors ? rng() % colors : rng() & 0xFFFFFF;
                if (colors)
                    pic.SetPixelIndex(x, y, BYTE(v));
                else
                    pic.SetPixelColor(x, y, Rgb(BYTE(v), BYTE(v >> 8), BYTE(v >> 16)));
                model[size_t(y) * w + x] = v;
            }
            // Writes outside change nothing.
            pic.SetPixelIndex(LONG(w), 0, 1);
            pic.SetPixelColor(-1, 0, Rgb(9, 9, 9));
            pic.SetPixelColor(0, LONG(h), Rgb(9, 9, 9));
            for (LONG y = 0; y < LONG(h); ++y) {
                for (LONG x = 0; x < LONG(w); ++x) {
                    uint32_t v = model[size_t(y) * w + x];
                    if (colors) {
                        ASSERT_EQ(pic.GetPixelIndex(x, y), v) << bpp << " " << x << "," << y;
                        ASSERT_EQ(pic.GetPixelColor(x, y).rgbRed, BYTE(v));
                    } else {
                        RGBQUAD c = pic.GetPixelColor(x, y);
                        ASSERT_EQ(c.rgbRed | (c.rgbGreen << 8) | (c.rgbBlue << 16), v);
                    }
                }
                // Row padding past the last pixel's byte is never touched.
                DWORD used = (w * bpp + 7) / 8;
                for (DWORD k = used; k < pic.GetEffWidth(); ++k)
                    ASSERT_EQ(pic.GetBits(DWORD(y))[k], 0);
            }
        }
    }
}

TEST(Pixels, PackedIndicesAndOutsideReads)
{
    CPicture four(4, 2, 4);
    four.GetBits(0)[0] = 0xA5;
    EXPECT_EQ(four.GetPixelIndex(0, 0), 10);
    EXPECT_EQ(four.GetPixelIndex(1, 0), 5);
    four.SetTransIndex(3);
    EXPECT_EQ(four.GetPixelIndex(-1, 0), 3);
    four.SetTransIndex(-1);
    EXPECT_EQ(four.GetPixelIndex(-1, 0), 0xA5);

    CPicture one(10, 1, 1);
    one.SetPixelIndex(9, 0, 1);
    EXPECT_EQ(one.GetBits(0)[1], 0x40);

    CPicture rgb(3, 3, 24);
    rgb.SetPixelColor(0, 0, Rgb(10, 20, 30));
    EXPECT_EQ(rgb.GetPixelColor(5, 5).rgbGreen, 20) << "outside without index: pixel (0, 0)";
    rgb.SetTransIndex(2);
    rgb.SetTransColor(Rgb(7, 8, 9));
    EXPECT_EQ(rgb.GetPixelColor(5, 5).rgbGreen, 8);
}

// Reaches the protected row helpers.
struct CPixelProbe : CPicture {
    using CPicture::CPicture;
    using CPicture::BlindGetPixelPointer;
    using CPicture::RGBtoBGR;
};

TEST(Pixels, BlindPointerAndRowSwapLeavePalettePicturesAlone)
{
    CPixelProbe rgb(5, 3, 24), indexed(5, 3, 8);
    FillRandom(rgb, 3);
    EXPECT_EQ(rgb.BlindGetPixelPointer(0, 0), rgb.GetBits(0));
    EXPECT_EQ(rgb.BlindGetPixelPointer(4, 2), rgb.GetBits(2) + 12);
    const RGBQUAD c = rgb.GetPixelColor(4, 2);
    EXPECT_EQ(rgb.BlindGetPixelPointer(4, 2)[2], c.rgbRed);
    EXPECT_EQ(indexed.BlindGetPixelPointer(1, 1), nullptr);

    // Rows of 5 pixels take 16 bytes: groups are swapped up to the shorter
    // of the length and the row, never a partial group.
    const struct {
        int length;
        int swappedGroups;
    } cases[] = { { 7, 2 }, { 16, 5 }, { 40, 5 }, { 0, 0 } };
    for (const auto& c : cases) {
        std::vector<BYTE> row(40), before;
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = BYTE(i);
        before = row;
        rgb.RGBtoBGR(row.data(), c.length);
        std::vector<BYTE> expect = before;
        for (int g = 0; g < c.swappedGroups; ++g)
            std::swap(expect[size_t(g) * 3], expect[size_t(g) * 3 + 2]);
        EXPECT_EQ(row, expect) << c.length;
        indexed.RGBtoBGR(row.data(), c.length);
        EXPECT_EQ(row, expect) << "a palette picture leaves the buffer as it is";
    }
    rgb.RGBtoBGR(nullptr, 9);
}

TEST(Pixels, BlendClampsItsWeight)
{
    CPicture pic(2, 1, 24);
    pic.SetPixelColor(0, 0, Rgb(0, 0, 0));
    pic.BlendPixelColor(0, 0, Rgb(200, 100, 50), 0.5f);
    EXPECT_EQ(pic.GetPixelColor(0, 0).rgbRed, 100);
    pic.BlendPixelColor(1, 0, Rgb(200, 100, 50), 7.0f);
    EXPECT_EQ(pic.GetPixelColor(1, 0).rgbRed, 200);
    pic.BlendPixelColor(1, 0, Rgb(0, 0, 0), std::nanf(""));
    EXPECT_EQ(pic.GetPixelColor(1, 0).rgbRed, 200);
    pic.BlendPixelColor(1, 0, Rgb(0, 0, 0), -1e30f);
    EXPECT_EQ(pic.GetPixelColor(1, 0).rgbRed, 200);
}

TEST(Palette, NearestIndexUsesItsMemoUntilThePaletteChanges)
{
    CPicture pic(2, 2, 8);
    RGBQUAD c = Rgb(100, 150, 200);
    pic.SetPaletteColor(5, c);
    EXPECT_EQ(pic.GetNearestIndex(c), 5);
    // Behind the library's back: the memo still answers 5.
    pic.GetPalette()[5] = Rgb(0, 0, 0);
    pic.GetPalette()[7] = c;
    EXPECT_EQ(pic.GetNearestIndex(c), 5);
    // Through the library: searched again.
    pic.SetPaletteColor(9, c);
    EXPECT_EQ(pic.GetNearestIndex(c), 7);
}

TEST(Palette, EveryPaletteWriteDropsTheMemo)
{
    RGBQUAD c = Rgb(77, 77, 77);
    std::vector<RGBQUAD> table(256, Rgb(1, 2, 3));
    table[9] = c;
    std::vector<CPicture::rgb_color> triples(256, CPicture::rgb_color { 0, 0, 0 });
    triples[12] = CPicture::rgb_color { 77, 77, 77 };
    std::vector<BYTE> ramp(256);
    for (int i = 0; i < 256; ++i)
        ramp[i] = BYTE(255 - i);

    struct Case {
        const char* name;
        void (*apply)(CPicture&, const std::vector<RGBQUAD>&, const std::vector<CPicture::rgb_color>&,
            const std::vector<BYTE>&);
    } cases[] = {
        { "SetPalette quads", [](CPicture& p, auto& t, auto&, auto&) { p.SetPalette(t.data(), 256); } },
        { "SetPalette triples", [](CPicture& p, auto&, auto& tr, auto&) { p.SetPalette(tr.data(), 256); } },
        { "SetPalette arrays", [](CPicture& p, auto&, auto&, auto& r) { p.SetPalette(256, r.data()); } },
        { "SetGrayPalette", [](CPicture& p, auto&, auto&, auto&) { p.SetGrayPalette(); } },
        { "BlendPalette", [](CPicture& p, auto&, auto&, auto&) { p.BlendPalette(RGB(10, 10, 10), 100); } },
        { "SwapIndex", [](CPicture& p, auto&, auto&, auto&) { p.SwapIndex(200, 3); } },
        { "SetStdPalette", [](CPicture& p, auto&, auto&, auto&) { p.SetStdPalette(); } },
        { "Negative", [](CPicture& p, auto&, auto&, auto&) { p.Negative(); } },
        { "SetPaletteColor colorref", [](CPicture& p, auto&, auto&, auto&) { p.SetPaletteColor(200, RGB(0, 0, 1)); } },
    };
    for (const Case& k : cases) {
        CPicture pic(4, 4, 8);
        FillRandom(pic, 5);
        pic.SetPaletteColor(200, c);
        ASSERT_EQ(pic.GetNearestIndex(c), 200); // memo now holds 200
        k.apply(pic, table, triples, ramp);
        ASSERT_NE(BruteNearest(pic, c), 200) << k.name << ": the change must move the answer";
        EXPECT_EQ(pic.GetNearestIndex(c), BruteNearest(pic, c)) << k.name;
    }
}

TEST(Palette, SearchRulesAndFixedPalettes)
{
    CPicture pic(2, 2, 8);
    pic.SetPaletteColor(3, Rgb(10, 0, 0));
    pic.SetPaletteColor(4, Rgb(30, 0, 0));
    for (int i = 0; i < 256; ++i)
        if (i != 3 && i != 4)
            pic.SetPaletteColor(BYTE(i), Rgb(255, 255, 255));
    EXPECT_EQ(pic.GetNearestIndex(Rgb(20, 0, 0)), 3) << "ties go to the lower index";
    pic.SetClrImportant(4);
    EXPECT_EQ(pic.GetNearestIndex(Rgb(29, 0, 0)), 3) << "only the important entries are searched";

    CPicture one(2, 2, 1);
    one.SetGrayPalette();
    EXPECT_TRUE(SameRgb(one.GetPaletteColor(1), Rgb(255, 255, 255)));
    CPicture four(2, 2, 4);
    four.SetGrayPalette();
    EXPECT_EQ(four.GetPaletteColor(1).rgbRed, 17);
    EXPECT_FALSE(four.IsGrayScale());

    four.SetPaletteColor(2, Rgb(0, 100, 200));
    four.BlendPalette(RGB(50, 60, 70), 150);
    EXPECT_TRUE(SameRgb(four.GetPaletteColor(2), Rgb(50, 60, 70)));

    four.SetStdPalette();
    EXPECT_TRUE(SameRgb(four.GetPaletteColor(3), Rgb(128, 128, 0)));
    CPicture eight(2, 2, 8);
    eight.SetStdPalette();
    EXPECT_TRUE(SameRgb(eight.GetPaletteColor(9), Rgb(166, 202, 240)));
    EXPECT_TRUE(SameRgb(eight.GetPaletteColor(240), Rgb(74, 74, 74)));
    EXPECT_TRUE(SameRgb(eight.GetPaletteColor(247), Rgb(160, 160, 164)));
    EXPECT_TRUE(SameRgb(eight.GetPaletteColor(255), Rgb(255, 255, 255)));

    eight.SetClrImportant(300);
    EXPECT_EQ(eight.GetClrImportant(), 0u);
    four.SetClrImportant(20);
    EXPECT_EQ(four.GetClrImportant(), 16u);
    CPicture rgb(2, 2, 24);
    rgb.SetClrImportant(5);
    EXPECT_EQ(rgb.GetClrImportant(), 0u);
}

TEST(Palette, SwapIndexIgnoresIndicesPastThePalette)
{
    CPicture pic(5, 3, 4);
    FillRandom(pic, 11);
    CPicture before(pic);
    pic.SwapIndex(3, 200);
    EXPECT_TRUE(SamePixels(pic, before));

    pic.SwapIndex(3, 5);
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 5; ++x) {
            BYTE was = before.GetPixelIndex(x, y);
            BYTE want = was == 3 ? 5 : was == 5 ? 3 : was;
            EXPECT_EQ(pic.GetPixelIndex(x, y), want);
        }
    EXPECT_TRUE(SameRgb(pic.GetPaletteColor(3), before.GetPaletteColor(5)));
}

TEST(Pixels, TransparencyRules)
{
    CPicture pal(3, 1, 8);
    pal.SetPixelIndex(1, 0, 6);
    pal.SetTransIndex(6);
    EXPECT_TRUE(pal.IsTransparent(1, 0));
    EXPECT_FALSE(pal.IsTransparent(0, 0));

    CPicture rgb(3, 1, 24);
    rgb.SetPixelColor(2, 0, Rgb(1, 2, 3));
    rgb.SetTransColor(Rgb(1, 2, 3));
    EXPECT_FALSE(rgb.IsTransparent(2, 0)) << "no index set";
    rgb.SetTransIndex(0);
    EXPECT_TRUE(rgb.IsTransparent(2, 0));
    rgb.AlphaCreate();
    rgb.AlphaSet(0, 0, 0);
    EXPECT_TRUE(rgb.IsTransparent(0, 0));
    EXPECT_FALSE(rgb.IsTransparent(1, 0));
}

TEST(Pixels, DrawLineStepsAlongTheLongerAxis)
{
    CPicture pic(6, 6, 8);
    pic.SetPaletteColor(1, Rgb(255, 255, 255));
    pic.DrawLine(0, 3, 0, 3, Rgb(255, 255, 255));
    int set = 0;
    for (LONG y = 0; y < 6; ++y)
        for (LONG x = 0; x < 6; ++x)
            if (pic.GetPixelIndex(x, y) == 1) {
                ++set;
                EXPECT_EQ(x, y);
            }
    EXPECT_EQ(set, 4);

    CPicture flat(6, 6, 8);
    flat.SetPaletteColor(1, Rgb(255, 255, 255));
    flat.DrawLine(5, 0, 2, 4, RGB(255, 255, 255)); // six columns, two rows up
    set = 0;
    for (LONG x = 0; x < 6; ++x)
        for (LONG y = 0; y < 6; ++y)
            set += flat.GetPixelIndex(x, y) == 1;
    EXPECT_EQ(set, 6);
    EXPECT_EQ(flat.GetPixelIndex(5, 2), 1);
    EXPECT_EQ(flat.GetPixelIndex(0, 4), 1);
}

} // namespace

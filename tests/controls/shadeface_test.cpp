// The shaded button's generated faces, the label's gradient and text format,
// the link's fallback command, the tab colours and the mask's runs.
#include "controls/labelmodel.h"
#include "controls/maskregion.h"
#include "controls/shadeface.h"
#include "controls/tabcolours.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const SHADECOLOURS kColours = {RGB(128, 128, 128), RGB(192, 192, 192), RGB(255, 255, 255)};

// With granularity 8 the grain is rand() / 2047 - 8: 16376 gives 0, 18423 gives 1.
ShadeRandom Constant(int n) {
    return [n] { return n; };
}

COLORREF ToColour(RGBQUAD q) { return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue); }

TEST(ShadeFace, EachKindGivesItsIndicesAtSamplePoints) {
    // Points (x, y) with y counted from the bottom row.
    const int pts[][2] = {{0, 0}, {39, 19}, {20, 10}, {5, 15}, {38, 2}, {1, 10}};
    struct Case {
        UINT nKind;
        int nIndex[6];
    } cases[] = {
        {1, {127, 123, 126, 201, 24, 183}}, {2, {8, 235, 127, 187, 31, 127}},   {3, {247, 13, 127, 217, 19, 241}},
        {4, {11, 214, 128, 143, 68, 128}},  {5, {248, 27, 128, 178, 42, 229}},  {6, {130, 113, 128, 193, 8, 229}},
        {7, {19, 29, 128, 142, 50, 226}},   {0, {128, 128, 128, 128, 128, 128}}, {12, {128, 128, 128, 128, 128, 128}},
    };
    for (const Case& c : cases) {
        CDib dib;
        ASSERT_TRUE(ShadeNormalSurface(dib, 40, 20, c.nKind, 8, 0, 0, kColours, Constant(16376)));
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(c.nIndex[i], dib.GetBits()[pts[i][1] * dib.GetLineWidth() + pts[i][0]])
                << "kind " << c.nKind << " point " << i;
    }
    // The grain is added once, and twice where kind 7's curve is kept.
    CDib dib;
    ASSERT_TRUE(ShadeNormalSurface(dib, 40, 20, 2, 8, 0, 0, kColours, Constant(18423)));
    EXPECT_EQ(9, dib.GetBits()[0]);
    ASSERT_TRUE(ShadeNormalSurface(dib, 40, 20, 7, 8, 0, 0, kColours, Constant(18423)));
    EXPECT_EQ(130, dib.GetBits()[10 * dib.GetLineWidth() + 20]);
    EXPECT_EQ(30, dib.GetBits()[19 * dib.GetLineWidth() + 39]);
}

TEST(ShadeFace, PaletteRampsFromShadowThroughFaceToHighlightAndBlends) {
    CDib normal, down, disabled, over;
    ASSERT_TRUE(ShadeSurfaces(normal, down, disabled, over, 30, 10, 4, 8, 20, 0, 0, kColours));
    EXPECT_EQ(kColours.crShadow, ToColour(normal.GetPaletteColor(0)));
    EXPECT_EQ(kColours.crFace, ToColour(normal.GetPaletteColor(128)));
    EXPECT_EQ(kColours.crHighlight, ToColour(normal.GetPaletteColor(255)));
    EXPECT_EQ(RGB(160, 160, 160), ToColour(normal.GetPaletteColor(64)));
    // Over and down are lighter by the highlight percent; disabled is the normal face.
    EXPECT_EQ(RGB(153, 153, 153), ToColour(over.GetPaletteColor(0)));  // 128 * 0.8 + 255 * 0.2
    EXPECT_EQ(RGB(153, 153, 153), ToColour(down.GetPaletteColor(0)));
    EXPECT_EQ(0, std::memcmp(normal.GetBits(), disabled.GetBits(), normal.GetSize() - 40 - 1024));
    // Colouring 65 towards red.
    ASSERT_TRUE(ShadeSurfaces(normal, down, disabled, over, 30, 10, 4, 8, 20, 65, RGB(255, 0, 0), kColours));
    EXPECT_EQ(RGB((128 * 35 + 255 * 65) / 100, 128 * 35 / 100, 128 * 35 / 100), ToColour(normal.GetPaletteColor(0)));
}

TEST(ShadeFace, RandomGrainDiffersPerCallAndOddSizesStayInside) {
    CDib a, b;
    ASSERT_TRUE(ShadeNormalSurface(a, 50, 20, 4, 8, 0, 0, kColours));
    ASSERT_TRUE(ShadeNormalSurface(b, 50, 20, 4, 8, 0, 0, kColours));
    EXPECT_NE(0, std::memcmp(a.GetBits(), b.GetBits(), (size_t)a.GetLineWidth() * 20));
    // Extreme random answers and tiny sizes (the sanitizers watch the writes).
    int nFlip = 0;
    ShadeRandom extremes = [&] { return (nFlip++ % 2) ? 32767 : 0; };
    for (UINT nKind = 0; nKind <= 9; ++nKind)
        for (int w : {1, 2, 6, 33})
            for (int h : {1, 2, 17}) {
                CDib dib;
                const BOOL bMade = ShadeNormalSurface(dib, w, h, nKind, 0, 0, 0, kColours, extremes);
                EXPECT_EQ(!(nKind == 7 && w < 6), bMade != FALSE) << nKind << " " << w << "x" << h;
            }
    CDib empty;
    EXPECT_FALSE(ShadeNormalSurface(empty, 0, 10, 1, 8, 0, 0, kColours));
    EXPECT_FALSE(empty.IsValid());
}

TEST(Dib, RowsPaletteAndPixelsAtEachDepth) {
    struct Case {
        int nBits, nExpectBits, nEntries, nLine;
    } cases[] = {{1, 1, 2, 4}, {3, 4, 16, 8}, {8, 8, 256, 12}, {16, 24, 0, 32}};
    for (const Case& c : cases) {
        CDib dib;
        ASSERT_NE(nullptr, dib.Create(10, 3, c.nBits));
        EXPECT_EQ(c.nExpectBits, dib.GetBitCount());
        EXPECT_EQ(c.nEntries * 4, dib.GetPaletteSize());
        EXPECT_EQ(c.nLine, dib.GetLineWidth());
        EXPECT_EQ((DWORD)(40 + c.nEntries * 4 + c.nLine * 3), dib.GetSize());
        dib.SetGrayPalette();
        dib.SetPixelColor(9, 0, RGB(255, 255, 255));
        EXPECT_EQ(RGB(255, 255, 255), ToColour(dib.GetPixelColor(9, 0)));
        EXPECT_EQ(0u, ToColour(dib.GetPixelColor(8, 0)));
        EXPECT_EQ(0u, ToColour(dib.GetPixelColor(10, 0)));  // outside
        dib.SetPixelIndex(-1, 0, 1);                        // ignored
    }
    const RGBQUAD red{0, 0, 255, 0};
    const RGBQUAD hsl = CDib::RGBtoHSL(red);
    EXPECT_EQ(0, hsl.rgbRed);     // hue
    EXPECT_EQ(120, hsl.rgbGreen);  // lightness
    EXPECT_EQ(240, hsl.rgbBlue);  // saturation
    EXPECT_EQ(RGB(255, 0, 0), ToColour(CDib::HSLtoRGB(hsl)));
}

TEST(LabelModel, GradientBandsFormatsAndLinkCommands) {
    auto bands = LabelGradientBands(0, 50, RGB(0, 0, 0), RGB(200, 100, 0), 100);
    ASSERT_EQ(50u, bands.size());  // one band per column
    EXPECT_EQ(RGB(0, 0, 0), bands[0].crColour);
    EXPECT_EQ(RGB(196, 98, 0), bands[49].crColour);
    bands = LabelGradientBands(5, 6, RGB(10, 20, 30), RGB(255, 255, 255), 100);
    ASSERT_EQ(1u, bands.size());
    EXPECT_EQ(RGB(10, 20, 30), bands[0].crColour);
    bands = LabelGradientBands(0, 103, RGB(0, 0, 0), RGB(255, 255, 255), 10);
    ASSERT_EQ(10u, bands.size());
    EXPECT_EQ(103, bands.back().nRight);  // the last band takes the rest
    EXPECT_TRUE(LabelGradientBands(0, 0, 0, 0, 10).empty());

    struct Format {
        DWORD dwStyle;
        const char* pszText;
        UINT nFormat;
    } formats[] = {
        {SS_LEFT, "a", DT_WORDBREAK},
        {SS_CENTER, "a\tb", DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS},
        {SS_RIGHT, "a", DT_RIGHT | DT_WORDBREAK},
        {SS_LEFTNOWORDWRAP, "a", DT_LEFT},
        {SS_CENTERIMAGE, "one line", DT_CENTER | DT_VCENTER | DT_SINGLELINE},
        {SS_CENTERIMAGE | SS_RIGHT, "two\r\nlines", DT_CENTER},
    };
    for (const Format& f : formats)
        EXPECT_EQ(f.nFormat, LabelTextFormat(f.dwStyle, f.pszText)) << f.pszText;

    struct Command {
        const char* pszRegistered;
        const char* pszURL;
        const char* pszExpected;
    } commands[] = {
        {"\"C:\\web\\browse.exe\" \"%1\"", "http://veltran.example/", "\"C:\\web\\browse.exe\" \"http://veltran.example/\""},
        {"C:\\web\\browse.exe -nohome %1 -x", "http://a/", "C:\\web\\browse.exe -nohome \"http://a/\""},
        {"C:\\web\\browse.exe", "http://a/", "C:\\web\\browse.exe \"http://a/\""},
        {"browse.exe \"%1\"", "http://a/\" & del x & \"", "browse.exe \"http://a/ & del x & \""},
    };
    for (const Command& c : commands)
        EXPECT_STREQ(c.pszExpected, LinkFallbackCommand(c.pszRegistered, c.pszURL));
    EXPECT_STREQ("A sharing violation occurred. ", LinkErrorText(26));
    EXPECT_STREQ("The specified file was not found.", LinkErrorText(2));
    EXPECT_STREQ("Unknown Error (99) occurred.", LinkErrorText(99));
}

TEST(TabColours, DarkenLightenAndTheFlags) {
    EXPECT_EQ(RGB(90, 45, 0), TabDarken(RGB(100, 50, 0), 0.9));
    EXPECT_EQ(RGB(100, 50, 0), TabDarken(RGB(100, 50, 0), 1.5));  // clamped to 1
    EXPECT_EQ(RGB(140, 255, 0), TabLighten(RGB(100, 200, 0), 1.4));
    EXPECT_EQ(RGB(100, 200, 0), TabLighten(RGB(100, 200, 0), 0.5));  // counts as 1
    const COLORREF face = RGB(200, 200, 200), bk = RGB(100, 150, 50);
    struct Case {
        DWORD dwFlags;
        BOOL bSelected;
        COLORREF crBk;
        COLORREF crTab, crText;
    } cases[] = {
        {0, TRUE, bk, face, RGB(0, 0, 1)},
        {0, FALSE, bk, RGB(180, 180, 180), RGB(100, 100, 100)},
        {15, TRUE, bk, RGB(140, 210, 70), RGB(0, 0, 1)},
        {15, FALSE, bk, bk, RGB(50, 75, 25)},
        {15, FALSE, TAB_DEFAULT_BK, face, RGB(100, 100, 100)},
        {0x13, FALSE, bk, RGB(90, 135, 45), RGB(50, 75, 25)},
        {0x04, TRUE, bk, RGB(255, 255, 255), RGB(0, 0, 1)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.crTab, TabColour(c.dwFlags, c.bSelected, c.crBk, face)) << c.dwFlags << c.bSelected;
        EXPECT_EQ(c.crText, TabTextColour(c.dwFlags, c.bSelected, c.crBk, face, RGB(0, 0, 1)));
    }
    EXPECT_EQ(RGB(150, 100, 50), TabGradientAt(RGB(100, 100, 100), RGB(200, 100, 0), 1, 2));
}

TEST(MaskRegion, RunsOfEachRowFromTheBottom) {
    // 5 x 3, white border, a two-pixel run in the middle row and one at the
    // right edge of the bottom row.
    const char* rows[] = {"WWWWW", "WBBWW", "WWWWB"};
    auto pixel = [&](int x, int y) { return rows[y][x] == 'W' ? RGB(255, 255, 255) : RGB(0, 0, 0); };
    const auto runs = MaskRuns(5, 3, pixel, RGB(255, 255, 255));
    const std::vector<CRect> expected = {CRect(4, 2, 5, 3), CRect(1, 1, 3, 2)};
    EXPECT_EQ(expected, runs);
    EXPECT_TRUE(MaskRuns(0, 0, pixel, 0).empty());
}

}  // namespace

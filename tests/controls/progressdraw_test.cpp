// The gradient and text progress bars' arithmetic: bands, range and position,
// the snake, the placeholder of the text, and the percent at the edges of
// the range.
#include "controls/progressdraw.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

int TotalWidth(const CBandList& bands) {
    int n = 0;
    for (const GRADIENTBAND& b : bands)
        n += b.nWidth;
    return n;
}

TEST(ProgressText, OnlyTheOneIntegerPlaceholderIsExpanded) {
    struct Case {
        const char* pszFormat;
        int nValue;
        const char* pszExpected;
    } cases[] = {
        {"Skin preview loading : %d%%", 37, "Skin preview loading : 37%"},
        {"%d%%", 100, "100%"},
        {"%s%n", 5, "%s%n"},
        {"%5d|%-4i|", 42, "   42|%-4i|"},  // the second placeholder stays
        {"%03d", -7, "-07"},
        {"%.3d", 7, "007"},
        {"%999999999d", 1, "%999999999d"},
        {"%x %p %", 1, "%x %p %"},
        {"50%", 1, "50%"},
        {"", 3, ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.pszExpected, ExpandProgressText(c.pszFormat, c.nValue)) << c.pszFormat;
}

TEST(ProgressDraw, ValuesAndTextsAtTheEdgesOfTheRange) {
    struct Case {
        int nLower, nUpper, nPos;
        DWORD dwMode;
        const char* pszText;
        const char* pszExpected;
    } cases[] = {
        {0, 100, 37, PGS_TEXT_PERCENT, "", "37%"},
        {0, 100, 37, PGS_TEXT_PERCENT, "Skin preview loading : %d%%", "Skin preview loading : 37%"},
        {0, 100, 37, PGS_TEXT_POSITION, "", "37"},
        {0, 100, 37, PGS_TEXT_ONLY, "Ready", "Ready"},
        {0, 100, 0, PGS_TEXT_PERCENT, "", "0%"},
        {5, 5, 5, PGS_TEXT_PERCENT, "", "0%"},
        {-50, 50, 0, PGS_TEXT_PERCENT, "", "50%"},
        {-200, -100, -150, PGS_TEXT_PERCENT, "", "50%"},
        {INT_MIN, INT_MAX, INT_MAX, PGS_TEXT_PERCENT, "", "100%"},
        {INT_MIN, INT_MAX, 0, PGS_TEXT_PERCENT, "", "50%"},
        {0, 100, 100, PGS_TEXT_POSITION, "at %d of 100", "at 100 of 100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszExpected);
        CProgressDraw draw;
        draw.SetRange(c.nUpper, c.nLower);
        draw.SetPos(c.nPos);
        EXPECT_EQ(c.nPos, draw.GetPos());
        draw.SetText(c.pszText, c.dwMode);
        if (*c.pszText == '\0')
            draw.ModifyStyle(PGS_TEXT_MODE, c.dwMode);
        EXPECT_STREQ(c.pszExpected, draw.FormatText(draw.GetText(), draw.GetValue()));
        int nStart = -1, nEnd = -1;
        EXPECT_TRUE(draw.CalcParts(1000, nStart, nEnd));
        EXPECT_EQ(0, nStart);
        EXPECT_GE(nEnd, 0);
        EXPECT_LE(nEnd, 1000);
    }
    CProgressDraw none;
    none.SetText("Ready", PGS_TEXT_ONLY);
    none.SetText("", PGS_TEXT_ONLY);
    EXPECT_EQ(0u, none.GetStyle() & PGS_TEXT_MODE);
    EXPECT_STREQ("", none.FormatText(none.GetText(), none.GetValue()));
}

TEST(ProgressDraw, RangeClampsPositionAndPartsLieWhereTheStyleSays) {
    CProgressDraw draw;
    draw.SetRange(0, 100);
    EXPECT_EQ(0, draw.SetPos(150));
    EXPECT_EQ(100, draw.GetPos());
    EXPECT_EQ(100, draw.SetPos(-5));
    EXPECT_EQ(0, draw.GetPos());
    draw.SetPos(50);
    draw.SetRange(80, 60);
    EXPECT_EQ(60, draw.GetPos());
    draw.SetRange(0, 100);
    draw.SetPos(INT_MAX);
    EXPECT_EQ(100, draw.OffsetPos(INT_MAX));
    EXPECT_EQ(100, draw.GetPos());
    draw.SetPos(50);
    int a, b;
    ASSERT_TRUE(draw.CalcParts(200, a, b));
    EXPECT_EQ(100, b);

    const CRect rc(10, 20, 210, 60);
    struct Case {
        DWORD dwStyle;
        CRect expected;
    } cases[] = {
        {0, CRect(10, 20, 110, 60)},
        {PGS_REVERSED, CRect(110, 20, 210, 60)},  // fills from the right
        {PBS_VERTICAL, CRect(10, -40, 210, 60)},  // grows upwards from the bottom
        {PBS_VERTICAL | PGS_REVERSED, CRect(10, 20, 210, 120)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CProgressDraw::PartToRect(rc, c.dwStyle, 0, 100)) << c.dwStyle;
    EXPECT_EQ(CRect(60, 20, 90, 60), CProgressDraw::PartToRect(rc, 0, 50, 80));
}

TEST(ProgressDraw, SnakeRunsToTheEndShrinksAndComesBackReversed) {
    CProgressDraw draw;
    draw.ModifyStyle(0, PGS_SNAKE);
    struct Step {
        int nPos, nTail;
        bool bReversed;
    } steps[] = {{10, 0, false},  {40, 0, false},  {50, 10, false},  {100, 60, false}, {100, 70, false},
                 {100, 80, false}, {100, 100, false}, {10, 0, true}, {20, 0, true}};
    const int nStepsBefore[] = {1, 3, 1, 5, 1, 1, 2, 1, 1};
    for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i) {
        for (int n = 0; n < nStepsBefore[i]; ++n)
            draw.StepIt();
        EXPECT_EQ(steps[i].nPos, draw.GetPos()) << i;
        EXPECT_EQ(steps[i].nTail, draw.GetTailPos()) << i;
        EXPECT_EQ(steps[i].bReversed, (draw.GetStyle() & PGS_REVERSED) != 0) << i;
    }
    int a, b;
    draw.SetPos(70);
    ASSERT_TRUE(draw.CalcParts(100, a, b));
    EXPECT_EQ(30, a);
    EXPECT_EQ(70, b);
}

TEST(GradientDraw, BandsCoverTheRequestedPartAndRespectTheLimits) {
    CGradientDraw grad;
    grad.SetColors(2, RGB(0, 0, 0), RGB(255, 0, 0));
    CBandList bands;
    grad.CalcBands(bands, 100, 0, -1, GRADIENT_UNLIMITED);
    EXPECT_EQ(100u, bands.size());  // 255 apart and 100 pixels: one band per pixel
    EXPECT_EQ(100, TotalWidth(bands));
    EXPECT_EQ(RGB(0, 0, 0), bands.front().crColour);

    grad.SetColors(3, RGB(0, 0, 255), RGB(255, 255, 255), RGB(0, 0, 255));
    bands.clear();
    grad.CalcBands(bands, 1000, 0, -1, 236);
    EXPECT_LE(bands.size(), 236u);
    EXPECT_GT(bands.size(), 200u);
    EXPECT_EQ(1000, TotalWidth(bands));

    // Blue, white, blue over 100: white in the middle; a shift of 25 moves it by 25.
    auto colourAt = [&](int nShift, int x) {
        CBandList list;
        grad.CalcShiftedBands(list, nShift, 100, 0, -1, GRADIENT_UNLIMITED);
        EXPECT_EQ(100, TotalWidth(list));
        int p = 0;
        for (const GRADIENTBAND& b : list) {
            if (x < p + b.nWidth)
                return b.crColour;
            p += b.nWidth;
        }
        return (COLORREF)CLR_INVALID;
    };
    EXPECT_EQ(RGB(255, 255, 255), colourAt(0, 50));
    EXPECT_EQ(RGB(255, 255, 255), colourAt(25, 75));
    EXPECT_EQ(RGB(255, 255, 255), colourAt(125, 75));
    EXPECT_EQ(RGB(255, 255, 255), colourAt(-75, 75));
    EXPECT_EQ(colourAt(0, 10), colourAt(100, 10));
    bands.clear();
    grad.CalcShiftedBands(bands, 30, 100, 20, 60, GRADIENT_UNLIMITED);
    EXPECT_EQ(40, TotalWidth(bands));

    COLORREF cr1, cr2;
    grad.SetColors(1, RGB(1, 2, 3));
    grad.GetGradientColors(cr1, cr2);
    EXPECT_EQ(cr1, cr2);
    grad.AddColor(RGB(9, 9, 9));
    grad.AddColor(RGB(8, 8, 8));
    ASSERT_EQ(2u, grad.GetPegs().size());
    EXPECT_NEAR(100.0, grad.GetPegs()[0] + grad.GetPegs()[1], 1e-9);
    grad.SetPegs(1.0, 3.0);
    EXPECT_NEAR(25.0, grad.GetPegs()[0], 1e-9);
    grad.SetColors(0);
    grad.GetGradientColors(cr1, cr2);
    EXPECT_EQ((COLORREF)-1, cr1);
    bands.clear();
    grad.CalcShiftedBands(bands, 5, 0, 0, -1, GRADIENT_UNLIMITED);
    EXPECT_TRUE(bands.empty());
}

TEST(ProgressDraw, AnimationWrapsAfterTheRangeAndEqualBoundsStayStill) {
    CProgressDraw draw;
    for (int i = 0; i < 25; ++i)
        draw.AdvanceAnimation(1);
    EXPECT_EQ(50, draw.CalcShift(200));  // a quarter of the width
    for (int i = 0; i < 75; ++i)
        draw.AdvanceAnimation(1);
    EXPECT_EQ(0, draw.GetAnimPos());
    draw.SetRange(7, 7);
    draw.AdvanceAnimation(3);
    EXPECT_EQ(0, draw.CalcShift(200));
}

TEST(TextProgress, LengthPercentAndBands) {
    struct Case {
        int nPos, nLower, nUpper, nExtent, nLength;
        const char* pszPercent;
    } cases[] = {
        {0, 0, 100, 200, 0, "  0 %"},     {50, 0, 100, 200, 100, " 50 %"}, {100, 0, 100, 200, 200, "100 %"},
        {5, 5, 5, 200, 0, "  0 %"},       {0, -100, 100, 200, 100, " 50 %"},
        {INT_MAX, INT_MIN, INT_MAX, 200, 200, "100 %"}, {101, 0, 100, 200, 0, "101 %"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.nLength, TextProgressLength(c.nPos, c.nLower, c.nUpper, c.nExtent)) << c.pszPercent;
        EXPECT_STREQ(c.pszPercent, TextProgressPercent(c.nPos, c.nLower, c.nUpper));
    }
    // Red to blue, 255 one-pixel steps; the band at the bar's end is whole.
    const auto bands = TextProgressBands(RGB(255, 0, 0), RGB(0, 0, 255), 255, 100);
    ASSERT_EQ(102u, bands.size());
    EXPECT_EQ(RGB(255, 0, 0), bands[0].crColour);
    EXPECT_EQ(100, bands[100].nFrom);
    EXPECT_EQ(101, bands[100].nTo);
    EXPECT_EQ(101, bands[101].nFrom);
    EXPECT_EQ(255, bands[101].nTo);
    EXPECT_EQ(CLR_INVALID, bands[101].crColour);
    const auto plain = TextProgressBands(RGB(0, 0, 0), RGB(0, 0, 0), 50, 50);
    ASSERT_EQ(1u, plain.size());
    EXPECT_EQ(50, plain[0].nTo);
}

}  // namespace

// The banner's arithmetic: strips, moves, icon and text places, gradient lines.
#include "controls/bannerlayout.h"

#include <gtest/gtest.h>

namespace {

const CRect kClient(0, 0, 300, 200);

TEST(BannerLayout, EdgeFlagsStripsAndMoves) {
    struct Case {
        UINT nFlags;
        UINT nEdge;
        CRect rcStrip;
        CSize szChildren;
        CRect rcAttach;  // window (10,20,110,80) grown by 50, position kept
        CRect rcResize;  // the same grown by SetSize, far side moved
    } cases[] = {
        {1, 1, CRect(0, 0, 50, 200), CSize(50, 0), CRect(10, 20, 160, 80), CRect(10, 20, 160, 80)},
        {4, 4, CRect(250, 0, 300, 200), CSize(0, 0), CRect(10, 20, 160, 80), CRect(-40, 20, 110, 80)},
        {2, 2, CRect(0, 0, 300, 50), CSize(0, 50), CRect(10, 20, 110, 130), CRect(10, 20, 110, 130)},
        {8, 8, CRect(0, 150, 300, 200), CSize(0, 0), CRect(10, 20, 110, 130), CRect(10, -30, 110, 80)},
        // Left is tested before right, right before top, top before bottom.
        {1 | 4 | 2, 1, CRect(0, 0, 50, 200), CSize(50, 0), CRect(10, 20, 160, 80), CRect(10, 20, 160, 80)},
        {2 | 4, 4, CRect(250, 0, 300, 200), CSize(0, 0), CRect(10, 20, 160, 80), CRect(-40, 20, 110, 80)},
        {2 | 8 | 16, 2, CRect(0, 0, 300, 50), CSize(0, 50), CRect(10, 20, 110, 130), CRect(10, 20, 110, 130)},
        // No edge: no strip, nothing moves or grows.
        {0, 0, CRect(0, 0, 0, 0), CSize(0, 0), CRect(10, 20, 110, 80), CRect(10, 20, 110, 80)},
        {16, 0, CRect(0, 0, 0, 0), CSize(0, 0), CRect(10, 20, 110, 80), CRect(10, 20, 110, 80)},
    };
    const CRect rcWindow(10, 20, 110, 80);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nFlags);
        EXPECT_EQ(c.nEdge, BannerEdgeOf(c.nFlags));
        EXPECT_EQ(c.rcStrip, BannerStripRect(kClient, c.nFlags, 50));
        EXPECT_EQ(c.szChildren, BannerChildOffset(c.nFlags, 50));
        EXPECT_EQ(c.rcAttach, BannerGrowDialog(rcWindow, c.nFlags, 50, false));
        EXPECT_EQ(c.rcResize, BannerGrowDialog(rcWindow, c.nFlags, 50, true));
    }
    // Shrinking moves back.
    EXPECT_EQ(CSize(0, -20), BannerChildOffset(2, -20));
}

TEST(BannerLayout, IconPlacementNarrowsTheTextRectangle) {
    const CSize szIcon(32, 32), e(5, 3);
    struct Case {
        UINT nEdge, nPlacement;
        CPoint pt;
        CRect rcText;
    } cases[] = {
        // The dialog preset: before the text, centred across, on a top strip.
        {2, 1 | 4, CPoint(5, 9), CRect(37, 0, 300, 50)},
        {2, 2 | 8, CPoint(263, 1), CRect(0, 0, 263, 50)},
        {2, 1 | 16, CPoint(5, 17), CRect(37, 0, 300, 50)},
        {8, 2 | 4, CPoint(263, 9), CRect(0, 0, 263, 50)},
        {1, 1 | 8, CPoint(0, 15), CRect(0, 0, 50, 15)},
        {1, 1 | 4, CPoint(9, 15), CRect(0, 0, 50, 15)},
        {1, 2 | 16, CPoint(17, 3), CRect(0, 3, 50, 50)},
        {4, 1 | 8, CPoint(18, 3), CRect(0, 35, 50, 50)},
        {4, 2 | 16, CPoint(1, 15), CRect(0, 0, 50, 15)},
        {4, 2 | 4, CPoint(9, 15), CRect(0, 0, 50, 15)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nEdge << "/" << c.nPlacement);
        CRect rc = (c.nEdge == 1 || c.nEdge == 4) ? CRect(0, 0, 50, 50) : CRect(0, 0, 300, 50);
        EXPECT_EQ(c.pt, BannerIconPosition(c.nEdge, c.nPlacement, szIcon, e, &rc));
        EXPECT_EQ(c.rcText, rc);
    }
}

TEST(BannerLayout, TextPointsAndEscapement) {
    const CRect rc(10, 0, 300, 50);
    const CSize e(5, 3), c(4, 10);
    const int h = -15;
    struct Case {
        UINT nEdge;
        int nEscapement;
        CPoint T, K;
    } cases[] = {
        {1, 900, CPoint(15, 47), CPoint(34, 37)},
        {4, -900, CPoint(295, 3), CPoint(276, 13)},
        {2, 0, CPoint(15, 3), CPoint(19, 28)},
        {8, 0, CPoint(15, 3), CPoint(19, 28)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.nEdge);
        CPoint T, K;
        BannerTextPoints(k.nEdge, rc, e, c, h, &T, &K);
        EXPECT_EQ(k.T, T);
        EXPECT_EQ(k.K, K);
        EXPECT_EQ(k.nEscapement, BannerEscapement(k.nEdge));
    }
}

TEST(BannerLayout, GradientLinesNeverDivideByZero) {
    const COLORREF from = RGB(200, 100, 0), to = RGB(0, 50, 255);
    struct Case {
        int i, n;
        COLORREF cr;
    } cases[] = {
        {0, 5, to},  {4, 5, from}, {2, 5, RGB(100, 75, 127)},  // halfway, truncated
        {0, 1, to},  {0, 0, to},   {0, 2, to}, {1, 2, from},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.i << " of " << c.n);
        EXPECT_EQ(c.cr, GradientLineColour(from, to, c.i, c.n));
    }
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(from, GradientLineColour(from, from, i, 7));
}

TEST(BannerLayout, GradientCornersFollowTheEdge) {
    const CRect rc(0, 0, 300, 50);
    const COLORREF c1 = 1, c2 = 2;
    struct Case {
        UINT nEdge;
        CPoint pt0, pt1;
        COLORREF cr0, cr1;
        bool bVertical, bAcross, bSwap;
    } cases[] = {
        {1, CPoint(0, 0), CPoint(300, 50), c2, c1, true, false, false},
        {4, CPoint(300, 0), CPoint(0, 50), c1, c2, true, false, true},
        {2, CPoint(0, 0), CPoint(300, 50), c1, c2, false, true, true},
        {8, CPoint(0, 0), CPoint(300, 50), c1, c2, false, true, true},
        {0, CPoint(0, 0), CPoint(300, 50), c1, c2, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nEdge);
        BANNERGRADIENT g = BannerGradient(c.nEdge, rc, c1, c2);
        EXPECT_EQ(c.pt0, g.pt0);
        EXPECT_EQ(c.pt1, g.pt1);
        EXPECT_EQ(c.cr0, g.cr0);
        EXPECT_EQ(c.cr1, g.cr1);
        EXPECT_EQ(c.bVertical, g.bVertical);
        bool bAcross = false, bSwap = false;
        BannerFallbackGradient(c.nEdge, &bAcross, &bSwap);
        EXPECT_EQ(c.bAcross, bAcross);
        EXPECT_EQ(c.bSwap, bSwap);
    }
}

}  // namespace

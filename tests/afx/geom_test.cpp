// In the win32 build the CRect members call USER32 itself, so these cases also
// hold the native rectangle functions to Windows' behaviour.
#include "afx/afxgeom.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

void ExpectRect(const RECT& rc, LONG l, LONG t, LONG r, LONG b)
{
    EXPECT_EQ(l, rc.left);
    EXPECT_EQ(t, rc.top);
    EXPECT_EQ(r, rc.right);
    EXPECT_EQ(b, rc.bottom);
}

} // namespace

TEST(CRectTest, IntersectionIsZeroWhenEmpty)
{
    CRect rc;
    EXPECT_TRUE(rc.IntersectRect(CRect(0, 0, 10, 10), CRect(5, 2, 20, 8)));
    ExpectRect(rc, 5, 2, 10, 8);

    rc.SetRect(1, 2, 3, 4);
    EXPECT_FALSE(rc.IntersectRect(CRect(0, 0, 10, 10), CRect(20, 20, 30, 30)));
    ExpectRect(rc, 0, 0, 0, 0);

    // Touching edges share no pixel.
    rc.SetRect(1, 2, 3, 4);
    EXPECT_FALSE(rc.IntersectRect(CRect(0, 0, 10, 10), CRect(10, 0, 20, 10)));
    EXPECT_TRUE(rc.IsRectNull());

    // An empty source inside the other still gives nothing.
    rc.SetRect(1, 2, 3, 4);
    EXPECT_FALSE(rc.IntersectRect(CRect(0, 0, 10, 10), CRect(5, 5, 5, 8)));
    EXPECT_TRUE(rc.IsRectNull());

    CRect a(0, 0, 10, 10);
    a &= CRect(-5, 4, 3, 40);
    ExpectRect(a, 0, 4, 3, 10);
    ExpectRect(CRect(0, 0, 4, 4) & CRect(4, 4, 8, 8), 0, 0, 0, 0);
}

TEST(CRectTest, UnionIgnoresEmptyRectangles)
{
    CRect rc;
    EXPECT_TRUE(rc.UnionRect(CRect(0, 0, 2, 2), CRect(5, -1, 6, 1)));
    ExpectRect(rc, 0, -1, 6, 2);

    EXPECT_TRUE(rc.UnionRect(CRect(100, 100, 100, 200), CRect(1, 1, 2, 2)));
    ExpectRect(rc, 1, 1, 2, 2);

    rc.SetRect(1, 1, 9, 9);
    EXPECT_FALSE(rc.UnionRect(CRect(3, 3, 3, 3), CRect(5, 6, 4, 7)));
    ExpectRect(rc, 0, 0, 0, 0);

    CRect a(0, 0, 1, 1);
    a |= CRect(3, 3, 4, 4);
    ExpectRect(a, 0, 0, 4, 4);
}

TEST(CRectTest, EmptinessAndHitTesting)
{
    EXPECT_TRUE(CRect().IsRectEmpty());
    EXPECT_TRUE(CRect().IsRectNull());
    EXPECT_TRUE(CRect(5, 5, 5, 10).IsRectEmpty());
    EXPECT_FALSE(CRect(5, 5, 5, 10).IsRectNull());
    EXPECT_TRUE(CRect(10, 0, 0, 10).IsRectEmpty()); // inverted
    EXPECT_FALSE(CRect(0, 0, 1, 1).IsRectEmpty());

    CRect rc(10, 20, 30, 40);
    EXPECT_TRUE(rc.PtInRect(CPoint(10, 20)));
    EXPECT_TRUE(rc.PtInRect(CPoint(29, 39)));
    EXPECT_FALSE(rc.PtInRect(CPoint(30, 39)));
    EXPECT_FALSE(rc.PtInRect(CPoint(29, 40)));
    EXPECT_FALSE(rc.PtInRect(CPoint(9, 25)));
    EXPECT_FALSE(CRect(5, 5, 5, 5).PtInRect(CPoint(5, 5)));

    EXPECT_TRUE(rc == CRect(10, 20, 30, 40));
    EXPECT_TRUE(rc != CRect(10, 20, 30, 41));
    EXPECT_TRUE(rc.EqualRect(CRect(10, 20, 30, 40)));
}

TEST(CRectTest, SizesMovesAndInflation)
{
    CRect rc(10, 20, 40, 60);
    EXPECT_TRUE(rc.Size() == CSize(30, 40));
    EXPECT_TRUE(rc.CenterPoint() == CPoint(25, 40));
    EXPECT_TRUE(CRect(-3, -3, 0, 0).CenterPoint() == CPoint(-1, -1)); // toward zero

    // A rectangle argument moves each side by its own amount.
    rc.DeflateRect(CRect(4, 8, 6, 2));
    ExpectRect(rc, 14, 28, 34, 58);
    rc.InflateRect(1, 2, 3, 4);
    ExpectRect(rc, 13, 26, 37, 62);
    rc.MoveToXY(0, 0);
    ExpectRect(rc, 0, 0, 24, 36);
    ExpectRect(rc - CSize(1, 2), -1, -2, 23, 34);

    CRect inverted(30, 40, 10, 20);
    inverted.NormalizeRect();
    ExpectRect(inverted, 10, 20, 30, 40);
    ExpectRect(CRect(CPoint(1, 2), CSize(3, 4)), 1, 2, 4, 6);
}

TEST(CRectTest, ExtremeCoordinatesWrapInsteadOfOverflowing)
{
    CRect rc(INT_MIN, 0, INT_MAX, 1);
    EXPECT_EQ(-1, rc.Width());
    EXPECT_TRUE(CRect(INT_MAX - 1, 0, INT_MAX, 0).CenterPoint() == CPoint(INT_MAX - 1, 0));
    EXPECT_TRUE(CRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX).CenterPoint() == CPoint(0, 0));
    CRect moved(0, 0, INT_MAX, 10);
    moved.OffsetRect(1, 0);
    EXPECT_EQ(INT_MIN, moved.right);
}

TEST(CPointTest, DifferencesAndPackedForm)
{
    EXPECT_TRUE(CPoint(3, 4) - CPoint(1, 1) == CSize(2, 3));
    EXPECT_TRUE(CSize(2, 3) + CPoint(1, 1) == CPoint(3, 4));
    // The packed form of mouse messages holds signed words.
    EXPECT_TRUE(CPoint(static_cast<DWORD>(MAKELONG(-5, 7))) == CPoint(-5, 7));
}

TEST(WinTypesTest, ColourAndWordMacros)
{
    COLORREF cr = RGB(0x12, 0x34, 0x56);
    EXPECT_EQ(0x00563412u, cr);
    EXPECT_EQ(0x12, GetRValue(cr));
    EXPECT_EQ(0x34, GetGValue(cr));
    EXPECT_EQ(0x56, GetBValue(cr));
    EXPECT_EQ(0xBEEF, MAKEWORD(0xEF, 0xBE));
    EXPECT_EQ(0xEF, LOBYTE(0xBEEF));
    EXPECT_EQ(0xBE, HIBYTE(0xBEEF));
    EXPECT_EQ(0x1234, LOWORD(0xABCD1234));
    EXPECT_EQ(0xABCD, HIWORD(0xABCD1234));
}

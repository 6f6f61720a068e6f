// The colour popup's model: geometry for the popup's sizes, hit tests, the
// arrow keys as a pure function, and the cell a colour marks.
#include "controls/colourgrid.h"

#include <gtest/gtest.h>

namespace {

const CSize kScreen(1024, 768);

CColourGrid MakeGrid(bool bDefault, bool bCustom, int nMargin = 2, CPoint pt = CPoint(100, 100)) {
    CColourGrid grid(nMargin);
    grid.LayOut(pt, bDefault, bCustom, CSize(80, 13), kScreen, 20);
    return grid;
}

TEST(ColourGrid, GeometryOfThePopupSizes) {
    struct Case {
        bool bDefault, bCustom;
        int nMargin;
        int nBox, nWidth, nHeight;
        CRect rcDefault, rcCustom, rcCell0, rcCell39;
    } cases[] = {
        // No boxes: exactly 8 x 18 + 2m by 5 x 18 + 2m.
        {false, false, 2, 18, 148, 94, CRect(), CRect(), CRect(2, 2, 20, 20), CRect(128, 74, 146, 92)},
        // Text 80 x 13: text width 84, text height 13 + 8 + 2 = 23.
        {true, false, 2, 18, 148, 94 + 25 + 4, CRect(2, 2, 146, 27), CRect(), CRect(2, 29, 20, 47),
         CRect(128, 101, 146, 119)},
        {false, true, 2, 18, 148, 94 + 25 + 4, CRect(), CRect(2, 94, 146, 119), CRect(2, 2, 20, 20),
         CRect(128, 74, 146, 92)},
        {true, true, 2, 18, 148, 94 + 2 * 29, CRect(2, 2, 146, 27), CRect(2, 123, 146, 148), CRect(2, 29, 20, 47),
         CRect(128, 101, 146, 119)},
        // A wide margin grows the box to 2m + 7; the text then still fits.
        {false, false, 8, 23, 200, 131, CRect(), CRect(), CRect(8, 8, 31, 31), CRect(169, 100, 192, 123)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bDefault << c.bCustom << " m=" << c.nMargin);
        CColourGrid grid = MakeGrid(c.bDefault, c.bCustom, c.nMargin);
        EXPECT_EQ(c.nBox, grid.GetBoxSize());
        EXPECT_EQ(8, grid.GetColumns());
        EXPECT_EQ(5, grid.GetRows());
        EXPECT_EQ(CRect(100, 100, 100 + c.nWidth, 100 + c.nHeight), grid.GetWindowRect());
        EXPECT_EQ(c.rcDefault, grid.GetDefaultBox());
        EXPECT_EQ(c.rcCustom, grid.GetCustomBox());
        RECT rc;
        ASSERT_TRUE(grid.CellRect(0, rc));
        EXPECT_EQ(c.rcCell0, CRect(rc));
        ASSERT_TRUE(grid.CellRect(39, rc));
        EXPECT_EQ(c.rcCell39, CRect(rc));
        EXPECT_EQ(c.bDefault, (bool)grid.CellRect(POPUP_DEFAULT, rc));
        EXPECT_EQ(c.bCustom, (bool)grid.CellRect(POPUP_CUSTOM, rc));
        EXPECT_FALSE(grid.CellRect(40, rc));
        EXPECT_FALSE(grid.CellRect(-1, rc));
    }
    // A long text widens the popup.
    CColourGrid wide(2);
    wide.LayOut(CPoint(0, 0), true, false, CSize(300, 13), kScreen, 20);
    EXPECT_EQ(304, wide.GetWindowRect().Width());
    EXPECT_EQ(CRect(2, 2, 302, 27), wide.GetDefaultBox());
    // Never more than the table holds.
    EXPECT_EQ(40, CColourGrid(2, 500).GetCount());
}

TEST(ColourGrid, StaysOnTheScreen) {
    struct Case {
        CPoint pt;
        CPoint ptExpected;
    } cases[] = {
        {CPoint(100, 100), CPoint(100, 100)},
        {CPoint(1000, 100), CPoint(1024 - 148, 100)},  // moved left by the excess
        {CPoint(-30, 100), CPoint(0, 100)},
        {CPoint(100, 700), CPoint(100, 700 - 20 - 94)},  // opens above its 20-pixel button
        {CPoint(1000, 700), CPoint(1024 - 148, 700 - 20 - 94)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pt.x << "," << c.pt.y);
        EXPECT_EQ(c.ptExpected, MakeGrid(false, false, 2, c.pt).GetWindowRect().TopLeft());
    }
}

TEST(ColourGrid, IndexRowColumnAndHitTest) {
    CColourGrid both = MakeGrid(true, true), none = MakeGrid(false, false);
    struct IndexCase {
        int nRow, nColumn, nBoth, nNone;
    } indexes[] = {
        {0, 0, 0, 0},    {4, 7, 39, 39},  {5, 0, -1, -1}, {0, 8, -1, -1}, {-1, 3, -1, -1},
        {-2, 0, -2, -1}, {0, -3, -3, -1}, {-3, -2, -2, -1},
    };
    for (const IndexCase& c : indexes) {
        SCOPED_TRACE(testing::Message() << c.nRow << "," << c.nColumn);
        EXPECT_EQ(c.nBoth, both.IndexAt(c.nRow, c.nColumn));
        EXPECT_EQ(c.nNone, none.IndexAt(c.nRow, c.nColumn));
    }
    EXPECT_EQ(4, both.RowOf(39));
    EXPECT_EQ(7, both.ColumnOf(39));
    EXPECT_EQ(-2, both.RowOf(-2));
    EXPECT_EQ(-1, none.RowOf(-2));
    EXPECT_EQ(-1, none.ColumnOf(40));
    EXPECT_EQ(0xFFFFFFu, both.ColourAt(39));
    EXPECT_STREQ("Pale green ", both.ColourNameAt(35));
    EXPECT_STREQ("", both.ColourNameAt(40));
    EXPECT_EQ(0u, both.ColourAt(-3));

    // Points hit what is drawn there, margins and gaps hit nothing.
    struct HitCase {
        int x, y, nIndex;
    } hits[] = {
        {2, 29, 0},   {19, 46, 0},   {20, 46, 1},  {145, 118, 39}, {1, 40, -1},  {146, 40, -1},
        {70, 10, -3}, {70, 130, -2}, {70, 28, -1}, {2, 47, 8},     {70, 121, -1},
    };
    for (const HitCase& c : hits) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(c.nIndex, both.HitTest(CPoint(c.x, c.y)));
    }
}

TEST(ColourGrid, ArrowKeysAsAPureFunction) {
    CColourGrid none = MakeGrid(false, false), both = MakeGrid(true, true), def = MakeGrid(true, false),
                cus = MakeGrid(false, true);
    const POPUPKEY D = POPUPKEY_DOWN, U = POPUPKEY_UP, R = POPUPKEY_RIGHT, L = POPUPKEY_LEFT;
    struct Case {
        const CColourGrid* pGrid;
        int nFrom;
        POPUPKEY nKey;
        int nTo;
    } cases[] = {
        // Without boxes the keys wrap only within the grid.
        {&none, 33, D, 0},  {&none, 3, U, 39},  {&none, 39, R, 0},   {&none, 0, L, 39},
        {&none, 7, R, 8},   {&none, 8, L, 7},   {&none, 12, D, 20},  {&none, 12, U, 4},
        {&none, -1, D, 0},  {&none, -1, R, 0},  {&none, -1, U, 39},  {&none, -1, L, 39},
        // With both boxes, leaving the grid goes through them.
        {&both, 35, D, -2}, {&both, -2, D, -3}, {&both, -3, D, 0},   {&both, 4, U, -3},
        {&both, -3, U, -2}, {&both, -2, U, 39}, {&both, 39, R, -2},  {&both, -2, R, -3},
        {&both, -3, R, 0},  {&both, 0, L, -3},  {&both, -3, L, -2},  {&both, -2, L, 39},
        {&both, -1, D, -2}, {&both, -1, R, -2}, {&both, -1, U, -3},  {&both, -1, L, -3},
        // One box only.
        {&def, 35, D, -3},  {&def, -3, U, 39},  {&def, -3, L, 39},   {&def, 0, U, -3},
        {&cus, 35, D, -2},  {&cus, -2, D, 0},   {&cus, -2, R, 0},    {&cus, 0, L, -2},
        {&cus, -1, U, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.nFrom << " key " << c.nKey << " boxes "
                                        << c.pGrid->HasDefaultBox() << c.pGrid->HasCustomBox());
        EXPECT_EQ(c.nTo, c.pGrid->NextIndex(c.nFrom, c.nKey));
    }
}

TEST(ColourGrid, CellMarkedForAColour) {
    CColourGrid none = MakeGrid(false, false), both = MakeGrid(true, true);
    struct Case {
        COLORREF cr;
        int nBoth, nNone;
    } cases[] = {
        {0x000000, 0, 0},
        {0xFFFFFF, 39, 39},
        {0x00FFFF, 26, 26},
        {(COLORREF)CLR_DEFAULT, -3, -1},
        {0x123456, -2, -1},  // not in the table: nothing marked without a custom box
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.cr);
        EXPECT_EQ(c.nBoth, both.SelectCellForColour(c.cr));
        EXPECT_EQ(c.nNone, none.SelectCellForColour(c.cr));
    }
}

}  // namespace

#include "controls/reportmodel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// A window that mirrors the rows the model tells it about and records notifications.
class CFakeHost : public CReportHost {
public:
    std::vector<DWORD> m_rows;
    std::vector<std::pair<int, DWORD>> m_notes; // code, item
    std::vector<bool> m_redraw;
    bool m_bEditor = false;
    std::function<int(int, DWORD)> m_onNotify;

    void OnRowInserted(int nRow, DWORD hItem) override { m_rows.insert(m_rows.begin() + nRow, hItem); }
    void OnRowDeleted(int nRow) override { m_rows.erase(m_rows.begin() + nRow); }
    void OnRowItemChanged(int nRow, DWORD hItem) override { m_rows[(size_t)nRow] = hItem; }
    void RepaintRow(int) override { }
    void SetWindowRedraw(BOOL bRedraw) override { m_redraw.push_back(bRedraw != FALSE); }
    int Notify(int nCode, DWORD hItem, int) override
    {
        m_notes.emplace_back(nCode, hItem);
        return m_onNotify ? m_onNotify(nCode, hItem) : 0;
    }
    void EnsureVisible(DWORD, int) override { }
    bool IsEditorOpen() const override { return m_bEditor; }
    int GetTopIndex() const override { return 0; }
    int GetCountPerPage() const override { return 10; }
    void AutoSizeColumn(int) override { }
    int Count(int nCode) const
    {
        int n = 0;
        for (auto& e : m_notes)
            n += e.first == nCode;
        return n;
    }
};

class ReportModel : public ::testing::Test {
protected:
    CFakeHost m_host;
    CReportModel m_model { &m_host };

    void SetUp() override
    {
        m_model.InsertColumn(-1, 0, -1);
        m_model.InsertColumn(-1, 0, -1);
    }
    DWORD Add(const char* psz, DWORD hParent = RVI_ROOT, DWORD hPos = RVTI_LAST)
    {
        return m_model.InsertItem(hParent, hPos, psz, -1, -1);
    }
    std::string Text(DWORD h) const { return m_model.GetCell(h, 0)->m_strText.GetString(); }
    // The shown rows' texts; every row, the window's and the items', must agree.
    std::string Rows()
    {
        std::string s;
        EXPECT_EQ(m_host.m_rows.size(), (size_t)m_model.GetRowCount());
        for (int i = 0; i < m_model.GetRowCount(); ++i) {
            DWORD h = m_model.GetRowItem(i);
            EXPECT_EQ(h, m_host.m_rows[(size_t)i]);
            EXPECT_EQ(i, m_model.GetItemRow(h));
            s += (s.empty() ? "" : " ") + Text(h);
        }
        return s;
    }
};

TEST_F(ReportModel, RowsFollowTheTreeAndItsExpansion)
{
    DWORD a = Add("a");
    EXPECT_EQ(0, m_model.GetItemRow(a));
    DWORD a1 = Add("a1", a);
    DWORD a2 = Add("a2", a);
    EXPECT_EQ(-1, m_model.GetItemRow(a1)); // new items start collapsed
    DWORD b = Add("b");
    DWORD first = Add("first", RVI_ROOT, RVTI_FIRST);
    DWORD afterA = Add("afterA", RVI_ROOT, a);
    EXPECT_EQ("first a afterA b", Rows());

    m_model.Expand(a, FALSE);
    EXPECT_EQ("first a a1 a2 afterA b", Rows());
    DWORD a11 = Add("a11", a1);
    m_model.Expand(a1, FALSE);
    EXPECT_EQ("first a a1 a11 a2 afterA b", Rows());
    EXPECT_EQ(3, m_model.GetItemDepth(a11));

    struct {
        DWORD hItem;
        int nRelation;
        DWORD hExpected;
    } cases[] = {
        { a, RVGN_FIRSTCHILD, a1 }, { a, RVGN_LASTCHILD, a2 }, { a1, RVGN_NEXTSIBLING, a2 },
        { a2, RVGN_NEXTSIBLING, RVI_NONE }, { a11, RVGN_NEXTROW, a2 }, { b, RVGN_NEXTROW, RVI_NONE },
        { a2, RVGN_PREVIOUSSIBLING, a1 }, { a2, RVGN_PREVIOUSROW, a11 }, { a1, RVGN_PREVIOUSROW, a },
        { first, RVGN_PREVIOUSROW, RVI_NONE }, { afterA, RVGN_PREVIOUSROW, a2 }, { a11, RVGN_PARENT, a1 },
        { a11, RVGN_TOPLEVEL, a }, { a, RVGN_TOPLEVEL, a }, { a11, RVGN_NONE, RVI_NONE },
        { 0, RVGN_FIRSTVISIBLE, first }, { 0, RVGN_LASTVISIBLE, b }, { a, 999, RVI_NONE },
    };
    for (auto& c : cases)
        EXPECT_EQ(c.hExpected, m_model.GetNextItem(c.hItem, c.nRelation)) << c.nRelation;

    m_model.Expand(a, TRUE);
    EXPECT_EQ("first a afterA b", Rows());
    EXPECT_EQ(a11, m_model.GetNextItem(a11, RVGN_SHOWNANCESTOR)); // its parent a1 is still expanded
    m_model.Expand(a1, TRUE);
    EXPECT_EQ(a, m_model.GetNextItem(a11, RVGN_SHOWNANCESTOR));
    EXPECT_EQ(first, m_model.GetNextItem(a11, RVGN_NEXTROW)); // hidden: row -1 gives the first row
    EXPECT_EQ(4, m_host.Count(RCN_EXPANDCHANGED));
}

TEST_F(ReportModel, HandlesAreNeverInsertPositionsNorReused)
{
    DWORD a = Add("a");
    DWORD b = Add("b");
    EXPECT_GE(a, RVI_FIRSTHANDLE);
    // Inserting after the sibling a never reads a handle as a position code or back.
    DWORD c = Add("c", RVI_ROOT, a);
    DWORD d = Add("d", RVI_ROOT, 0x7777); // names no sibling: appended
    EXPECT_EQ("a c b d", Rows());
    m_model.DeleteItem(c);
    EXPECT_EQ(nullptr, m_model.Find(c));
    DWORD e = Add("e");
    EXPECT_NE(c, e);
    EXPECT_EQ(RVI_NONE, m_model.GetNextItem(c, RVGN_NEXTSIBLING));
    EXPECT_EQ(nullptr, m_model.GetCell(c, 0));
    (void)b;
    (void)d;
}

TEST_F(ReportModel, DeletingMovesTheSelectionAndNotifiesEachItem)
{
    DWORD a = Add("a");
    DWORD b = Add("b");
    DWORD c = Add("c");
    Add("b1", b);
    m_model.SelectItem(b, 1, FALSE);
    EXPECT_EQ(-1, m_model.GetSelection().m_nColumn); // full-row selection from the start
    m_model.DeleteItem(b);                             // b1 goes with it
    EXPECT_EQ(c, m_model.GetSelection().m_hItem);
    m_model.DeleteItem(c);
    EXPECT_EQ(a, m_model.GetSelection().m_hItem); // no next sibling: the previous row
    m_host.m_notes.clear();
    Add("x");
    Add("y", a);
    m_model.DeleteItem(RVI_ROOT);
    EXPECT_EQ(3, m_host.Count(RCN_ITEMDELETED));
    EXPECT_EQ("", Rows());
    EXPECT_EQ(0, m_model.GetItemCount());
    EXPECT_EQ(RVI_NONE, m_model.GetSelection().m_hItem);
}

// Emptying goes in blocks of rows; each item is still told of, a parent
// before its children and siblings in order, and no row or item is left.
TEST_F(ReportModel, DeletionNotifiesInTreeOrderAndLeavesNoRows)
{
    std::string strDeleted;
    m_host.m_onNotify = [&](int nCode, DWORD h) {
        if (nCode == RCN_ITEMDELETED) // read while the item still exists
            strDeleted += (strDeleted.empty() ? "" : " ") + Text(h);
        return 0;
    };
    DWORD a = Add("a");
    DWORD a1 = Add("a1", a);
    Add("a11", a1);
    Add("a2", a);
    DWORD b = Add("b");
    Add("b1", b);
    Add("c");
    m_model.Expand(a, FALSE);
    m_model.Expand(a1, FALSE);
    m_model.Expand(b, FALSE);
    EXPECT_EQ("a a1 a11 a2 b b1 c", Rows());
    m_model.DeleteItem(a1); // a block inside the rows
    EXPECT_EQ("a1 a11", strDeleted);
    EXPECT_EQ("a a2 b b1 c", Rows());
    strDeleted.clear();
    m_model.DeleteItem(RVI_ROOT);
    EXPECT_EQ("a a2 b b1 c", strDeleted);
    EXPECT_EQ("", Rows());
    EXPECT_EQ(0, m_model.GetItemCount());
    EXPECT_EQ(RVI_NONE, m_model.GetChildItem(RVI_ROOT, 0));
}

// A handler may delete the item it is told about, its parent or everything:
// nothing is touched after that (AddressSanitizer watches) and the rows stay whole.
TEST_F(ReportModel, HandlersThatDeleteItemsDuringANotification)
{
    struct {
        const char* pszName;
        int nCode;
        int nVictim; // 0 the item itself, 1 its parent, 2 the root, 3 its next sibling
        int nStart;  // 0 delete p1, 1 collapse p, 2 select p1 then delete it
    } cases[] = {
        { "self on delete", RCN_ITEMDELETED, 0, 0 },
        { "parent on delete", RCN_ITEMDELETED, 1, 0 },
        { "root on delete", RCN_ITEMDELETED, 2, 0 },
        { "sibling on delete", RCN_ITEMDELETED, 3, 0 },
        { "self on collapse", RCN_EXPANDCHANGED, 0, 1 },
        { "root on collapse", RCN_EXPANDCHANGED, 2, 1 },
        { "self on selection", RCN_SELCHANGED, 0, 2 },
        { "root on selection", RCN_SELCHANGED, 2, 2 },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        m_host.m_onNotify = nullptr;
        m_model.DeleteItem(RVI_ROOT);
        DWORD p = Add("p");
        DWORD p1 = Add("p1", p);
        Add("p2", p);
        Add("p11", p1);
        Add("q");
        m_model.Expand(p, FALSE);
        m_model.Expand(p1, FALSE);
        bool bFired = false;
        m_host.m_onNotify = [&](int nCode, DWORD h) {
            if (nCode != c.nCode || bFired || h == RVI_NONE)
                return 0;
            bFired = true;
            DWORD victims[] = { h, m_model.GetNextItem(h, RVGN_PARENT), RVI_ROOT,
                m_model.GetNextItem(h, RVGN_NEXTSIBLING) };
            m_model.DeleteItem(victims[c.nVictim]);
            return 0;
        };
        if (c.nStart == 0)
            m_model.DeleteItem(p1);
        else if (c.nStart == 1)
            m_model.Expand(p, TRUE);
        else
            m_model.SelectItem(p1, 0, FALSE);
        EXPECT_TRUE(bFired);
        Rows();
        m_host.m_onNotify = nullptr;
        m_model.DeleteItem(RVI_ROOT);
        EXPECT_EQ(0, m_model.GetItemCount());
        EXPECT_EQ("", Rows());
    }
}

TEST_F(ReportModel, SortIsCaseInsensitiveStableAndReversible)
{
    for (const char* psz : { "beta", "Alpha", "gamma", "alpha", "Beta" })
        Add(psz);
    DWORD g = m_model.FindItem(RVI_ROOT, 0, 0, "GAMMA", TRUE);
    Add("g2", g);
    Add("G1", g);
    m_model.Expand(g, FALSE);
    m_model.SortColumn(0, FALSE);
    EXPECT_EQ("Alpha alpha beta Beta gamma G1 g2", Rows());
    m_model.SortColumn(0, TRUE);
    EXPECT_EQ("gamma g2 G1 beta Beta Alpha alpha", Rows());
    EXPECT_TRUE(m_model.GetColumn(0)->m_bDescending);
    EXPECT_EQ(m_host.m_redraw.back(), true);
    EXPECT_EQ(0, m_model.GetRedrawLock());
    // Position 4 sorts the one level it lands in, in the column's stored direction.
    Add("delta", RVI_ROOT, RVTI_SORT);
    EXPECT_EQ("gamma g2 G1 delta beta Beta Alpha alpha", Rows());
}

// The merge gives what a bubble sort of neighbour swaps gives, for any
// consistent order, duplicates included.
TEST_F(ReportModel, SortOrderEqualsTheBubbleSortOfNeighbourSwaps)
{
    std::mt19937 rng(7);
    const char* keys[] = { "a", "A", "b", "B", "c", "_", "[", "" };
    for (int round = 0; round < 20; ++round) {
        m_model.DeleteItem(RVI_ROOT);
        std::vector<DWORD> items;
        int n = 1 + (int)(rng() % 40);
        for (int i = 0; i < n; ++i)
            items.push_back(Add(keys[rng() % 8]));
        for (BOOL bDescending : { FALSE, TRUE }) {
            std::vector<DWORD> expect = items;
            for (bool bSwapped = true; bSwapped;) {
                bSwapped = false;
                for (size_t i = 0; i + 1 < expect.size(); ++i) {
                    int c = m_model.CompareItems(0, expect[i], expect[i + 1]);
                    if (bDescending ? c < 0 : c > 0) {
                        std::swap(expect[i], expect[i + 1]);
                        bSwapped = true;
                    }
                }
            }
            m_model.SortColumn(0, bDescending);
            for (int i = 0; i < n; ++i)
                ASSERT_EQ(expect[(size_t)i], m_model.GetRowItem(i)) << round;
            Rows();
            items = expect;
        }
    }
}

TEST_F(ReportModel, SelectionRedrawLockAndColours)
{
    DWORD a = Add("a");
    DWORD b = Add("b");
    m_host.m_bEditor = true;
    m_model.SelectItem(a, 0, FALSE);
    EXPECT_EQ(RVI_NONE, m_model.GetSelection().m_hItem); // an open editor holds the selection
    m_host.m_bEditor = false;
    m_model.SetExtendedStyle(0);
    m_model.SelectItem(a, 5, FALSE);
    EXPECT_EQ(1, m_model.GetSelection().m_nColumn); // clamped to the last column
    m_model.SelectItem(a, 1, FALSE);
    EXPECT_EQ(1, m_host.Count(RCN_SELCHANGED)); // the same cell again: no notification

    m_model.SetRedraw(FALSE);
    m_model.SetRedraw(FALSE);
    m_model.SetRedraw(TRUE);
    EXPECT_EQ((std::vector<bool> { false, false, false }), m_host.m_redraw);
    m_model.SetRedraw(TRUE);
    m_model.SetRedraw(TRUE); // below 0 stays 0
    EXPECT_EQ(0, m_model.GetRedrawLock());
    EXPECT_TRUE(m_host.m_redraw.back());

    const COLORREF kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00;
    ASSERT_TRUE(m_model.SetColors(RVCF_ITEM, b, -1, kRed, kBlue));
    ASSERT_TRUE(m_model.SetColors(RVCF_ITEM, b, -1, RVC_UNCHANGED, kGreen)); // only the background
    ASSERT_TRUE(m_model.SetColors(RVCF_COLUMN, 0, 1, RVC_SYSTEM, RVC_SYSTEM));
    ASSERT_FALSE(m_model.SetColors(0x1000, 0, 0, 0, 0));
    CReportPalette pal;
    pal.m_crBack = 0xFFFFFF;
    pal.m_crText = 0x000000;
    pal.m_crHighlight = 0x123456;
    pal.m_crHighlightText = 0x654321;
    struct {
        DWORD hItem;
        int nColumn;
        bool bEditor;
        COLORREF back, text;
    } cases[] = {
        { b, 0, false, kGreen, kRed },           // the item's colours
        { b, 1, false, kGreen, kRed },           // item before column
        { a, 1, false, 0x123456, 0x654321 },     // the selected cell
        { a, 1, true, 0xFFFFFF, 0x654321 },      // under an open editor: the list's background
        { a, 0, false, 0xFFFFFF, 0x000000 },     // cell mode: the row is not highlighted
        { RVI_NONE, 1, false, 0xFFFFFF, 0x000000 }, // the column's system word falls through
    };
    for (auto& c : cases) {
        pal.m_bEditorOpen = c.bEditor;
        COLORREF back = 0, text = 0;
        m_model.ResolveColors(c.hItem, c.nColumn, pal, back, text);
        EXPECT_EQ(c.back, back) << c.nColumn;
        EXPECT_EQ(c.text, text) << c.nColumn;
    }
}

// The child list against a deque doing the same: every mix of inserts and
// erasures at the front, the back and in between gives the same order.
TEST(ReportChildList, BehavesAsADequeForAnyMixOfChanges)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 50; ++round) {
        CReportChildList list;
        std::deque<DWORD> expect;
        DWORD hNext = RVI_FIRSTHANDLE;
        for (int step = 0; step < 400; ++step) {
            const unsigned nWhat = rng() % 10;
            const size_t n = expect.size();
            if (nWhat < 4 || n == 0) { // insert: front, back or in between
                const size_t nAt = nWhat == 0 ? 0 : (nWhat == 1 ? n : rng() % (n + 1));
                auto it = list.insert(list.begin() + nAt, hNext);
                ASSERT_EQ(hNext, *it);
                expect.insert(expect.begin() + (std::ptrdiff_t)nAt, hNext++);
            } else if (nWhat < 9) { // erase, mostly from the front
                const size_t nAt = nWhat < 7 ? 0 : (nWhat == 7 ? n - 1 : rng() % n);
                auto it = list.erase(list.begin() + nAt);
                expect.erase(expect.begin() + (std::ptrdiff_t)nAt);
                ASSERT_EQ((size_t)(it - list.begin()), nAt);
            } else if (n >= 2) { // two places exchanged, as a swap of siblings does
                std::swap(list[0], list[n - 1]);
                std::swap(expect[0], expect[n - 1]);
            }
            ASSERT_EQ(expect.size(), list.size()) << round << " " << step;
            ASSERT_EQ(expect.empty(), list.empty());
            ASSERT_TRUE(std::equal(expect.begin(), expect.end(), list.begin(), list.end()))
                << round << " " << step;
            if (!expect.empty()) {
                ASSERT_EQ(expect.front(), list.front());
                ASSERT_EQ(expect.back(), list.back());
            }
        }
    }
}

// An empty list holds no memory, however it became empty; a list used as a
// queue (one in at the back, one out at the front) does not grow without end.
TEST(ReportChildList, HoldsNothingWhileEmptyAndNoMoreThanItNeeds)
{
    CReportChildList list;
    EXPECT_EQ(0u, list.capacity());
    EXPECT_TRUE(list.begin() == list.end());
    for (DWORD h = 1; h <= 1000; ++h)
        list.insert(list.end(), h);
    while (!list.empty())
        list.erase(list.begin());
    EXPECT_EQ(0u, list.capacity());
    for (DWORD h = 1; h <= 1000; ++h)
        list.insert(list.begin(), h); // first each time, as RVTI_FIRST does
    EXPECT_EQ(1000u, list.front());
    EXPECT_EQ(1u, list.back());
    while (!list.empty())
        list.erase(list.end() - 1);
    EXPECT_EQ(0u, list.capacity());
    list.assign(std::vector<DWORD>().begin(), std::vector<DWORD>().end());
    EXPECT_EQ(0u, list.capacity());

    for (DWORD h = 1; h <= 10; ++h)
        list.insert(list.end(), h);
    for (DWORD h = 11; h <= 100000; ++h) {
        list.insert(list.end(), h);
        list.erase(list.begin());
    }
    EXPECT_EQ(10u, list.size());
    EXPECT_EQ(99991u, list.front());
    EXPECT_LE(list.capacity(), 64u);
}

TEST(ReportEditor, StyleBitsChooseTheEditor)
{
    struct {
        DWORD dwFlags;
        REPORTEDITOR kind;
    } cases[] = {
        { 0x02, RVE_BUTTON }, { 0x08, RVE_EDIT }, { 0x0A, RVE_EDITBUTTON }, { 0x12, RVE_DROPLIST },
        { 0x1A, RVE_DROPCOMBO }, { 0x10, RVE_NONE }, { 0x18, RVE_NONE }, { 0x04 | 0x40 | 0x80, RVE_NONE },
        { 0x08 | 0x04, RVE_EDIT },
    };
    for (auto& c : cases)
        EXPECT_EQ(c.kind, ReportEditorOf(c.dwFlags)) << c.dwFlags;
}

} // namespace

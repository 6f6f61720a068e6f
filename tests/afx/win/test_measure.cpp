// Owner-drawn list views get their row-height request routed to their own
// window object, whatever their parent, and can ask for it again.
#include <gtest/gtest.h>

#include "afx/afxmeasure.h"
#include "afx/afxwin.h"
#include "support/win_window.h"

namespace {

class CMeasuredList : public CListCtrl {
public:
    int m_nMeasured = 0;
    UINT m_nHeight = 37;

protected:
    // The two moments the list asks for its row height.
    int OnCreate(LPCREATESTRUCT)
    {
        CAfxMeasureRouting routing(m_hWnd);
        return (int)Default();
    }
    void OnWindowPosChanged(WINDOWPOS*)
    {
        CAfxMeasureRouting routing(m_hWnd);
        Default();
    }
    void MeasureItem(LPMEASUREITEMSTRUCT lpMis)
    {
        ++m_nMeasured;
        lpMis->itemHeight = m_nHeight;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMeasuredList, CListCtrl)
    ON_WM_CREATE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_MEASUREITEM_REFLECT()
END_MESSAGE_MAP()

const DWORD kStyle = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED;

int RowHeight(CListCtrl& list)
{
    if (list.GetItemCount() == 0) {
        list.InsertColumn(0, "c", LVCFMT_LEFT, 80);
        list.CListCtrl::InsertItem(0, "row");
    }
    CRect rc;
    list.GetItemRect(0, &rc, LVIR_BOUNDS);
    return rc.Height();
}

class MeasureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_LISTVIEW_CLASSES };
        ::InitCommonControlsEx(&icc);
    }
};

TEST_F(MeasureTest, ControlsGetTheRequestAtCreationUnderAnyParent)
{
    vtest::CSpyWindow spy; // a parent without a window object of this layer
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr));
    struct {
        HWND hParent;
        UINT nID;
    } cases[] = { { spy.GetSafeHwnd(), 7 }, { parent.m_hWnd, 8 } };
    for (auto& c : cases) {
        CMeasuredList list;
        ASSERT_TRUE(list.CreateEx(0, WC_LISTVIEWA, "", kStyle, 0, 0, 200, 100, c.hParent, (HMENU)(UINT_PTR)c.nID));
        EXPECT_EQ(1, list.m_nMeasured) << c.nID; // once: the afx parent routes it, the hook does not again
        EXPECT_EQ(37, RowHeight(list)) << c.nID;
        list.m_nHeight = 23; // a size change asks again
        list.SetWindowPos(nullptr, 0, 0, 210, 100, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(23, RowHeight(list)) << c.nID;
        list.DestroyWindow();
    }
    EXPECT_GE(spy.Count(WM_MEASUREITEM), 1); // the parent still sees its request
    parent.DestroyWindow();
}

TEST_F(MeasureTest, ASubclassedControlForcesANewMeasure)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr));
    // As a dialog template does: the list exists before its object.
    HWND hList = ::CreateWindowExA(
        0, WC_LISTVIEWA, "", kStyle, 0, 0, 200, 100, parent.m_hWnd, (HMENU)9, ::GetModuleHandleA(nullptr), nullptr);
    CMeasuredList list;
    ASSERT_TRUE(list.SubclassWindow(hList));
    EXPECT_EQ(0, list.m_nMeasured);
    int nBefore = RowHeight(list);
    list.m_nHeight = nBefore + 11;
    AfxForceMeasureItem(list.m_hWnd);
    EXPECT_EQ(1, list.m_nMeasured);
    EXPECT_EQ(nBefore + 11, RowHeight(list));
    list.m_nHeight = 50;
    AfxForceMeasureItem(list.m_hWnd);
    EXPECT_EQ(50, RowHeight(list));
    list.DestroyWindow();
    parent.DestroyWindow();
}

} // namespace

// CWnd members that place, stack, restyle and address windows: coordinates,
// centring, z-order, style changes with their frame update, update locking,
// messages to descendants and dialog groups.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <vector>

#include "afx/afxwin.h"
#include "support/win_window.h"
#include "win_test_resource.h"

// Readable failure messages for the geometry types (found by argument lookup).
void PrintTo(const CPoint& pt, std::ostream* os) { *os << "(" << pt.x << ", " << pt.y << ")"; }
void PrintTo(const CSize& size, std::ostream* os) { *os << size.cx << "x" << size.cy; }
void PrintTo(const CRect& rc, std::ostream* os) {
    *os << "(" << rc.left << ", " << rc.top << ")-(" << rc.right << ", " << rc.bottom << ")";
}

namespace {

// Shown without activation: Wine leaves such a window to itself, where an
// activated one makes it wait for a window manager when it goes away.
void ShowQuietly(CWnd& wnd) {
    wnd.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// A frameless top-level window at a known screen position.
class CWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "parent", WS_POPUP, 100, 120, 400, 300, nullptr, nullptr));
        ShowQuietly(m_parent);
    }
    // A child at (x, y) of the parent's client area.
    static void MakeChild(CWnd& wnd, CWnd& parent, int x, int y, int cx, int cy, DWORD dwStyle = 0) {
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "child", WS_CHILD | WS_VISIBLE | dwStyle, x, y, cx, cy, parent.m_hWnd,
                                 nullptr));
    }
    static CRect ScreenRect(const CWnd& wnd) {
        CRect rc;
        wnd.GetWindowRect(&rc);
        return rc;
    }
    CWnd m_parent;
};

// --- coordinates ---------------------------------------------------------

TEST_F(CWndTest, ClientToScreenAndBackThroughABorderedChild) {
    CWnd child;
    MakeChild(child, m_parent, 30, 40, 100, 80, WS_BORDER);
    const int cx = ::GetSystemMetrics(SM_CXBORDER);
    const int cy = ::GetSystemMetrics(SM_CYBORDER);
    CPoint pt(5, 6);
    child.ClientToScreen(&pt);
    EXPECT_EQ(CPoint(100 + 30 + cx + 5, 120 + 40 + cy + 6), pt);
    child.ScreenToClient(&pt);
    EXPECT_EQ(CPoint(5, 6), pt);

    // The rectangle forms move both corners.
    CRect rc(0, 0, 10, 20);
    child.ClientToScreen(&rc);
    EXPECT_EQ(CRect(130 + cx, 160 + cy, 140 + cx, 180 + cy), rc);
    child.ScreenToClient(&rc);
    EXPECT_EQ(CRect(0, 0, 10, 20), rc);
}

TEST_F(CWndTest, MapWindowPointsBetweenSiblingsAndToTheScreen) {
    CWnd left;
    CWnd right;
    MakeChild(left, m_parent, 10, 10, 50, 50);
    MakeChild(right, m_parent, 200, 100, 50, 50);
    POINT pts[3] = {{0, 0}, {5, 7}, {-10, -20}};
    left.MapWindowPoints(&right, pts, 3);
    EXPECT_EQ(CPoint(-190, -90), CPoint(pts[0]));
    EXPECT_EQ(CPoint(-185, -83), CPoint(pts[1]));
    EXPECT_EQ(CPoint(-200, -110), CPoint(pts[2]));

    CRect rc(1, 2, 3, 4);
    right.MapWindowPoints(&m_parent, &rc);
    EXPECT_EQ(CRect(201, 102, 203, 104), rc);

    // No target window: screen coordinates.
    CRect rcScreen(0, 0, 50, 50);
    left.MapWindowPoints(nullptr, &rcScreen);
    EXPECT_EQ(ScreenRect(left), rcScreen);
}

// --- centring ------------------------------------------------------------

// The middle of a rectangle, doubled so that odd sizes compare exactly.
CPoint Middle2(const CRect& rc) { return CPoint(rc.left + rc.right, rc.top + rc.bottom); }

bool NearlyCentred(const CRect& inner, const CRect& outer) {
    CPoint a = Middle2(inner);
    CPoint b = Middle2(outer);
    return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1;
}

TEST_F(CWndTest, ChildCentresInItsParentsClientArea) {
    CWnd child;
    MakeChild(child, m_parent, 0, 0, 101, 51);
    child.CenterWindow();
    CRect rcParent;
    m_parent.GetClientRect(&rcParent);
    m_parent.ClientToScreen(&rcParent);
    CRect rc = ScreenRect(child);
    EXPECT_EQ(CSize(101, 51), rc.Size());
    EXPECT_TRUE(NearlyCentred(rc, rcParent)) << rc.left << "," << rc.top;
}

TEST_F(CWndTest, ChildCentresOverAnAlternateWindowInsteadOfItsParent) {
    CWnd other;
    CWnd child;
    MakeChild(other, m_parent, 200, 150, 100, 100);
    MakeChild(child, m_parent, 0, 0, 40, 20);
    child.CenterWindow(&other);
    CRect rc = ScreenRect(child);
    EXPECT_TRUE(NearlyCentred(rc, ScreenRect(other))) << rc.left << "," << rc.top;
}

TEST_F(CWndTest, ChildIsKeptInsideTheParentWhenTheAlternateIsNearItsEdge) {
    CWnd other;
    CWnd child;
    MakeChild(other, m_parent, 360, 270, 40, 30);  // bottom-right corner of the client area
    MakeChild(child, m_parent, 0, 0, 120, 100);
    child.CenterWindow(&other);
    CRect rc = ScreenRect(child);
    m_parent.ScreenToClient(&rc);
    EXPECT_EQ(CRect(280, 200, 400, 300), rc);
}

TEST_F(CWndTest, OwnedPopupCentresOverItsOwner) {
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, "popup", WS_POPUP, 0, 0, 60, 40, m_parent.m_hWnd, nullptr));
    popup.CenterWindow();
    CRect rc = ScreenRect(popup);
    EXPECT_EQ(CSize(60, 40), rc.Size());
    EXPECT_EQ(CPoint(100 + 170, 120 + 130), rc.TopLeft());
}

TEST_F(CWndTest, UnownedPopupCentresInTheWorkArea) {
    CRect rcWork;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0));
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, "popup", WS_POPUP, 3, 3, 200, 100, nullptr, nullptr));
    popup.CenterWindow();
    EXPECT_TRUE(NearlyCentred(ScreenRect(popup), rcWork));
}

TEST_F(CWndTest, PopupCentredOverAnOwnerAtTheScreenEdgeStaysInTheWorkArea) {
    CRect rcWork;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0));
    m_parent.SetWindowPos(nullptr, rcWork.right - 50, rcWork.bottom - 40, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, "popup", WS_POPUP, 0, 0, 300, 200, m_parent.m_hWnd, nullptr));
    popup.CenterWindow();
    EXPECT_EQ(CPoint(rcWork.right - 300, rcWork.bottom - 200), ScreenRect(popup).TopLeft());
}

// --- z-order -------------------------------------------------------------

std::vector<HWND> ChildOrder(HWND hParent) {
    std::vector<HWND> order;
    for (HWND h = ::GetWindow(hParent, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
        order.push_back(h);
    return order;
}

TEST_F(CWndTest, SetWindowPosStacksSiblingsByTheMarkerWindows) {
    CWnd a, b, c;
    MakeChild(a, m_parent, 0, 0, 10, 10);
    MakeChild(b, m_parent, 0, 0, 10, 10);
    MakeChild(c, m_parent, 0, 0, 10, 10);
    const UINT nKeep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

    ASSERT_TRUE(a.SetWindowPos(&CWnd::wndBottom, 0, 0, 0, 0, nKeep));
    EXPECT_EQ(a.m_hWnd, ChildOrder(m_parent.m_hWnd).back());
    ASSERT_TRUE(a.SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, nKeep));
    EXPECT_EQ(a.m_hWnd, ChildOrder(m_parent.m_hWnd).front());

    // After a given sibling.
    ASSERT_TRUE(a.SetWindowPos(&c, 0, 0, 0, 0, nKeep));
    std::vector<HWND> order = ChildOrder(m_parent.m_hWnd);
    auto itC = std::find(order.begin(), order.end(), c.m_hWnd);
    ASSERT_NE(order.end(), itC);
    ASSERT_NE(order.end(), itC + 1);
    EXPECT_EQ(a.m_hWnd, *(itC + 1));

    // Moving and sizing without a z-order change.
    ASSERT_TRUE(a.SetWindowPos(nullptr, 7, 8, 20, 30, SWP_NOZORDER | SWP_NOACTIVATE));
    EXPECT_EQ(order, ChildOrder(m_parent.m_hWnd));
    CRect rc = ScreenRect(a);
    m_parent.ScreenToClient(&rc);
    EXPECT_EQ(CRect(7, 8, 27, 38), rc);
}

TEST_F(CWndTest, TopMostMarkerSetsAndClearsTheTopMostStyle) {
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, "top", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    const UINT nKeep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ASSERT_EQ(0u, popup.GetExStyle() & WS_EX_TOPMOST);
    ASSERT_TRUE(popup.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, nKeep));
    EXPECT_NE(0u, popup.GetExStyle() & WS_EX_TOPMOST);
    EXPECT_EQ(0u, m_parent.GetExStyle() & WS_EX_TOPMOST);  // only the window moved
    ASSERT_TRUE(popup.SetWindowPos(&CWnd::wndNoTopMost, 0, 0, 0, 0, nKeep));
    EXPECT_EQ(0u, popup.GetExStyle() & WS_EX_TOPMOST);
}

// --- style changes ---------------------------------------------------------

// Counts frame recalculations and keeps the last position change asked for.
class CFrameWatchWnd : public CWnd {
public:
    int m_nCalcSize = 0;
    int m_nPosChanging = 0;
    UINT m_nLastPosFlags = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NCCALCSIZE)
            ++m_nCalcSize;
        if (message == WM_WINDOWPOSCHANGING) {
            ++m_nPosChanging;
            m_nLastPosFlags = ((WINDOWPOS*)lParam)->flags;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST_F(CWndTest, ModifyStyleRecalculatesTheFrameOnlyWhenAskedTo) {
    CFrameWatchWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "styled", WS_POPUP | WS_CAPTION, 50, 60, 200, 150, nullptr, nullptr));
    CRect rcClientBefore;
    wnd.GetClientRect(&rcClientBefore);
    ASSERT_LT(rcClientBefore.Height(), 150);  // the caption takes room
    const CRect rcWindow = ScreenRect(wnd);

    // Without flags the style changes but the frame stays as it was.
    wnd.m_nPosChanging = 0;
    EXPECT_TRUE(wnd.ModifyStyle(WS_CAPTION, 0));
    EXPECT_EQ(0u, wnd.GetStyle() & WS_CAPTION);
    EXPECT_EQ(0, wnd.m_nPosChanging);
    CRect rc;
    wnd.GetClientRect(&rc);
    EXPECT_EQ(rcClientBefore, rc);

    // Nothing to change: no position change either, whatever the flags.
    EXPECT_FALSE(wnd.ModifyStyle(WS_CAPTION, 0, SWP_FRAMECHANGED));
    EXPECT_EQ(0, wnd.m_nPosChanging);

    // With the frame flag the client area grows to the whole window, in place.
    EXPECT_TRUE(wnd.ModifyStyle(0, WS_VSCROLL, SWP_FRAMECHANGED));
    EXPECT_EQ(1, wnd.m_nPosChanging);
    EXPECT_GT(wnd.m_nCalcSize, 0);
    const UINT nExpected = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    EXPECT_EQ(nExpected, wnd.m_nLastPosFlags & nExpected);
    EXPECT_EQ(rcWindow, ScreenRect(wnd));
    wnd.GetClientRect(&rc);
    EXPECT_EQ(150, rc.Height());
    EXPECT_EQ(200 - ::GetSystemMetrics(SM_CXVSCROLL), rc.Width());
}

TEST_F(CWndTest, ModifyStyleExPassesItsFlagsOn) {
    CFrameWatchWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "styled", WS_POPUP, 50, 60, 200, 150, nullptr, nullptr));
    ASSERT_FALSE(wnd.IsWindowVisible());
    EXPECT_TRUE(wnd.ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED | SWP_SHOWWINDOW));
    EXPECT_TRUE(wnd.IsWindowVisible());
    CRect rc;
    wnd.GetClientRect(&rc);
    EXPECT_EQ(200 - 2 * ::GetSystemMetrics(SM_CXEDGE), rc.Width());
    EXPECT_EQ(150 - 2 * ::GetSystemMetrics(SM_CYEDGE), rc.Height());

    EXPECT_FALSE(wnd.ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED));
    EXPECT_TRUE(wnd.ModifyStyleEx(WS_EX_CLIENTEDGE, WS_EX_TOOLWINDOW, SWP_FRAMECHANGED));
    EXPECT_EQ((DWORD)WS_EX_TOOLWINDOW, wnd.GetExStyle() & (WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE));
    wnd.GetClientRect(&rc);
    EXPECT_EQ(CSize(200, 150), rc.Size());

    // The static forms work on windows without an object.
    HWND hRaw = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hRaw);
    EXPECT_TRUE(CWnd::ModifyStyle(hRaw, 0, SS_CENTER, 0));
    EXPECT_NE(0u, (DWORD)::GetWindowLongA(hRaw, GWL_STYLE) & SS_CENTER);
    EXPECT_TRUE(CWnd::ModifyStyleEx(hRaw, 0, WS_EX_TRANSPARENT, 0));
    EXPECT_NE(0u, (DWORD)::GetWindowLongA(hRaw, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    ::DestroyWindow(hRaw);
}

// --- update locking ---------------------------------------------------------

TEST_F(CWndTest, OnlyOneWindowAtATimeHoldsTheUpdateLock) {
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, nullptr, "other", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    ASSERT_TRUE(m_parent.LockWindowUpdate());
    EXPECT_FALSE(other.LockWindowUpdate());
    CWnd::UnlockWindowUpdate();
    EXPECT_TRUE(other.LockWindowUpdate());
    CWnd::UnlockWindowUpdate();
    EXPECT_TRUE(m_parent.LockWindowUpdate());
    CWnd::UnlockWindowUpdate();
}

// --- messages to descendants ----------------------------------------------

const UINT UM_PROBE = WM_APP + 77;

struct CReceipt {
    HWND hWnd;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<CReceipt> g_receipts;

LRESULT CALLBACK RecorderProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == UM_PROBE) {
        g_receipts.push_back({hWnd, wParam, lParam});
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

HWND MakeRecorder(HWND hParent) {
    static ATOM s_atom = 0;
    if (s_atom == 0) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecorderProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "VeltranRecorder";
        s_atom = ::RegisterClassA(&wc);
    }
    return ::CreateWindowExA(0, "VeltranRecorder", "", hParent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, hParent, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

// parent -> a (object) -> a1 (no object) -> a1a (object); parent -> b (no object)
class DescendantsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_receipts.clear();
        m_hRoot = MakeRecorder(nullptr);
        ASSERT_TRUE(m_root.SubclassWindow(m_hRoot));
        ASSERT_TRUE(m_a.SubclassWindow(MakeRecorder(m_hRoot)));
        m_hA1 = MakeRecorder(m_a.m_hWnd);
        ASSERT_TRUE(m_a1a.SubclassWindow(MakeRecorder(m_hA1)));
        m_hB = MakeRecorder(m_hRoot);
        ASSERT_NE(nullptr, m_hB);
    }
    void TearDown() override { g_receipts.clear(); }

    std::vector<HWND> Receivers(BOOL bDeep, BOOL bOnlyPerm) {
        g_receipts.clear();
        m_root.SendMessageToDescendants(UM_PROBE, 11, 22, bDeep, bOnlyPerm);
        std::vector<HWND> hWnds;
        for (const CReceipt& r : g_receipts) {
            EXPECT_EQ(11u, r.wParam);
            EXPECT_EQ(22, r.lParam);
            hWnds.push_back(r.hWnd);
        }
        std::sort(hWnds.begin(), hWnds.end());
        return hWnds;
    }
    static std::vector<HWND> Sorted(std::vector<HWND> v) {
        std::sort(v.begin(), v.end());
        return v;
    }

    HWND m_hRoot = nullptr;
    HWND m_hA1 = nullptr;
    HWND m_hB = nullptr;
    CWnd m_root, m_a, m_a1a;
};

TEST_F(DescendantsTest, DeepReachesEveryLevelOnceAndNotTheSender) {
    EXPECT_EQ(Sorted({m_a.m_hWnd, m_hA1, m_a1a.m_hWnd, m_hB}), Receivers(TRUE, FALSE));
}

TEST_F(DescendantsTest, ShallowStopsAtTheChildren) {
    EXPECT_EQ(Sorted({m_a.m_hWnd, m_hB}), Receivers(FALSE, FALSE));
}

TEST_F(DescendantsTest, OnlyPermanentSkipsWindowsWithoutObjectsButLooksBelowThem) {
    EXPECT_EQ(Sorted({m_a.m_hWnd, m_a1a.m_hWnd}), Receivers(TRUE, TRUE));
    EXPECT_EQ(Sorted({m_a.m_hWnd}), Receivers(FALSE, TRUE));
}

TEST_F(DescendantsTest, AWindowWithoutChildrenSendsNothing) {
    g_receipts.clear();
    m_a1a.SendMessageToDescendants(UM_PROBE, 1, 2);
    EXPECT_TRUE(g_receipts.empty());
}

// --- dialog groups -----------------------------------------------------------

class GroupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dlg.Create(IDD_TEST_DATA));
        ASSERT_TRUE(m_radio2.SubclassDlgItem(IDC_RADIO2, &m_dlg));
    }
    HWND Item(int nID) const { return ::GetDlgItem(m_dlg.m_hWnd, nID); }
    HWND Next(int nID, BOOL bPrevious = FALSE) {
        CWnd* p = m_dlg.GetNextDlgGroupItem(CWnd::FromHandle(Item(nID)), bPrevious);
        return p != nullptr ? p->m_hWnd : nullptr;
    }
    CDialog m_dlg;
    CButton m_radio2;
};

TEST_F(GroupTest, RadioGroupWrapsBothWays) {
    EXPECT_EQ(Item(IDC_RADIO2), Next(IDC_RADIO1));
    EXPECT_EQ(Item(IDC_RADIO3), Next(IDC_RADIO2));
    EXPECT_EQ(Item(IDC_RADIO1), Next(IDC_RADIO3));  // the next group starts after it
    EXPECT_EQ(Item(IDC_RADIO3), Next(IDC_RADIO1, TRUE));
    EXPECT_EQ(Item(IDC_RADIO1), Next(IDC_RADIO2, TRUE));
}

TEST_F(GroupTest, DisabledItemsAreSkipped) {
    m_radio2.EnableWindow(FALSE);
    EXPECT_EQ(Item(IDC_RADIO3), Next(IDC_RADIO1));
    EXPECT_EQ(Item(IDC_RADIO1), Next(IDC_RADIO3, TRUE));
}

TEST_F(GroupTest, ReturnsTheControlsOwnObjectWhenItHasOne) {
    EXPECT_EQ(&m_radio2, m_dlg.GetNextDlgGroupItem(CWnd::FromHandle(Item(IDC_RADIO1))));
    CWnd* pTemp = m_dlg.GetNextDlgGroupItem(&m_radio2);
    ASSERT_NE(nullptr, pTemp);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(pTemp->m_hWnd));
    EXPECT_EQ(Item(IDC_RADIO3), pTemp->m_hWnd);
}

}  // namespace

// The frame and dialog mix-ins on real windows of each kind: the menu bar and
// the system menu are CStyledMenus whose items are owner-drawn and whose
// measure and draw requests reach them, hot tracking of the menu bar on old
// Windows versions, the MDI frame's hidden menu, the styled document template,
// the dock bar, the temporary dialog handler and the option saver.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "afx/afxwin.h"
#include "frames_test_res.h"
#include "menus/menustyles.h"
#include "menus/menuutil.h"
#include "menus/styledframe.h"
#include "menus_test_res.h"
#include "menus_test_util.h"
#include "support/win_menu_driver.h"
#include "support/win_window.h"

namespace {

// Counts the menu items the system asked the window to measure and draw that
// a CStyledMenu answered.
template <class TFrame> class CCounting : public TFrame {
public:
    using TFrame::TFrame;
    int m_nMeasured = 0;
    int m_nDrawn = 0;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        const BOOL bResult = TFrame::OnWndMsg(message, wParam, lParam, pResult);
        if (message == WM_MEASUREITEM) {
            auto* p = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
            if (p->CtlType == ODT_MENU && CStyledMenuItemData::IsLiveRecord(p->itemData) && p->itemHeight > 0)
                ++m_nMeasured;
        } else if (message == WM_DRAWITEM) {
            auto* p = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
            if (p->CtlType == ODT_MENU && CStyledMenu::FromHandleStyled((HMENU)p->hwndItem) != nullptr)
                ++m_nDrawn;
        }
        return bResult;
    }
};

// An item of a window's menu is one of the styled menu's owner-drawn records.
bool IsStyledItem(HMENU hMenu, int nPos)
{
    const mtest::CItemInfo info = mtest::GetItem(hMenu, nPos);
    return CStyledMenu::FromHandleStyled(hMenu) != nullptr && (info.fType & MFT_OWNERDRAW)
        && CStyledMenuItemData::IsLiveRecord(info.dwItemData);
}

// Measure and draw of item nPos of hMenu sent to the window as the system sends them.
bool MeasureAndDrawReachMenu(HWND hWnd, HMENU hMenu, int nPos)
{
    const mtest::CItemInfo info = mtest::GetItem(hMenu, nPos);
    MEASUREITEMSTRUCT mis { ODT_MENU, 0, info.hSubMenu ? (UINT)(UINT_PTR)info.hSubMenu : info.wID, 0, 0,
        info.dwItemData };
    ::SendMessageA(hWnd, WM_MEASUREITEM, 0, (LPARAM)&mis);
    if (mis.itemWidth == 0 || mis.itemHeight == 0)
        return false;
    CClientDC dcScreen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&dcScreen);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dcScreen, 200, 40);
    CSelectGuard guard(&dc, &bmp);
    dc.FillSolidRect(CRect(0, 0, 200, 40), RGB(1, 2, 3));
    DRAWITEMSTRUCT dis {};
    dis.CtlType = ODT_MENU;
    dis.itemID = mis.itemID;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = (HWND)hMenu;
    dis.hDC = dc.m_hDC;
    dis.rcItem = CRect(0, 0, (int)mis.itemWidth, (int)mis.itemHeight);
    dis.itemData = info.dwItemData;
    ::SendMessageA(hWnd, WM_DRAWITEM, 0, (LPARAM)&dis);
    return dc.GetPixel(2, 2) != RGB(1, 2, 3);
}

std::string ClassName(HWND hWnd)
{
    char sz[64] = "";
    ::GetClassNameA(hWnd, sz, sizeof(sz));
    return sz;
}

TEST(StyledFrame, EveryKindHasStyledMenuBarAndSystemMenu)
{
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    CStyledMDIFrameWnd* pMDI = new CStyledMDIFrameWnd;
    ASSERT_TRUE(pMDI->LoadFrame(IDR_FRAME, WS_OVERLAPPEDWINDOW));
    CStyledMultiDocTemplate docTemplate(IDR_DOC, nullptr, RUNTIME_CLASS(CStyledMDIChildWnd), nullptr);
    CStyledDialog dlg(IDD_STYLEDDLG, nullptr);
    struct {
        const char* pszName;
        std::function<CWnd*()> fnMake; // a hidden window of the kind
    } cases[] = {
        { "frame",
            [] {
                auto* p = new CStyledFrameWnd;
                return p->LoadFrame(IDR_FRAME, WS_OVERLAPPEDWINDOW) ? p : nullptr;
            } },
        { "mdi frame", [&] { return pMDI; } },
        { "mdi child", [&] { return docTemplate.CreateNewFrame(pMDI); } },
        { "mini frame",
            [] {
                auto* p = new CStyledMiniFrameWnd;
                return p->Create(nullptr, "mini", WS_POPUP | WS_CAPTION | WS_SYSMENU, CRect(0, 0, 120, 80))
                    ? p
                    : nullptr;
            } },
        { "mini dock frame",
            [&] {
                auto* p = new CStyledMiniDockFrameWnd;
                return p->Create(pMDI, CBRS_ALIGN_TOP | CBRS_GRIPPER) ? p : nullptr;
            } },
        { "dialog", [&] { return dlg.Create(IDD_STYLEDDLG, nullptr) ? &dlg : nullptr; } },
    };
    for (auto& c : cases) {
        CWnd* pWnd = c.fnMake();
        ASSERT_NE(nullptr, pWnd) << c.pszName;
        CStyledMenu* pBar = nullptr;
        CStyledMenu* pSys = nullptr;
        if (auto* p = DYNAMIC_DOWNCAST(CStyledFrameWnd, pWnd)) {
            pBar = &p->m_barMenu, pSys = &p->m_sysMenu;
            EXPECT_STREQ("Styled Frame", (LPCSTR)p->m_strTitle);
        } else if (auto* p = DYNAMIC_DOWNCAST(CStyledMDIFrameWnd, pWnd)) {
            pBar = &p->m_barMenu, pSys = &p->m_sysMenu;
            EXPECT_STRCASEEQ("MDIClient", ClassName(p->m_hWndMDIClient).c_str());
        } else if (auto* p = DYNAMIC_DOWNCAST(CStyledMDIChildWnd, pWnd)) {
            pSys = &p->m_sysMenu;
            EXPECT_EQ(pWnd->m_hWnd, pMDI->MDIGetActive()->GetSafeHwnd());
            // The active child shows the template's shared menu, owner-drawn with the tool-bar icons.
            EXPECT_EQ(docTemplate.m_menuShared.m_hMenu, ::GetMenu(pMDI->m_hWnd));
            CStyledMenu* pColours = CStyledMenu::FromHandleStyled(::GetSubMenu(docTemplate.m_hMenuShared, 0));
            ASSERT_NE(nullptr, pColours);
            pColours->ConvertToOwnerDrawn();
            ASSERT_NE(nullptr, pColours->GetItemRecord(0));
            EXPECT_NE(nullptr, pColours->GetItemRecord(0)->m_pIcons);
            EXPECT_TRUE(MeasureAndDrawReachMenu(pMDI->m_hWnd, docTemplate.m_hMenuShared, 0));
        } else if (auto* p = DYNAMIC_DOWNCAST(CStyledMiniFrameWnd, pWnd)) {
            pSys = &p->m_sysMenu;
        } else if (auto* p = DYNAMIC_DOWNCAST(CStyledMiniDockFrameWnd, pWnd)) {
            pSys = &p->m_sysMenu;
            EXPECT_TRUE(::IsWindow(p->m_wndDockBar.m_hWnd));
        } else if (auto* p = DYNAMIC_DOWNCAST(CStyledDialog, pWnd)) {
            pBar = &p->m_barMenu, pSys = &p->m_sysMenu;
        }
        ASSERT_NE(nullptr, pSys) << c.pszName;
        EXPECT_EQ(::GetSystemMenu(pWnd->m_hWnd, FALSE), pSys->m_hMenu) << c.pszName;
        EXPECT_TRUE(IsStyledItem(pSys->m_hMenu, 0)) << c.pszName;
        EXPECT_TRUE(MeasureAndDrawReachMenu(pWnd->m_hWnd, pSys->m_hMenu, 0)) << c.pszName;
        if (pBar != nullptr) {
            EXPECT_EQ(::GetMenu(pWnd->m_hWnd), pBar->m_hMenu) << c.pszName;
            EXPECT_TRUE(IsStyledItem(pBar->m_hMenu, 1)) << c.pszName;
            EXPECT_TRUE(MeasureAndDrawReachMenu(pWnd->m_hWnd, pBar->m_hMenu, 1)) << c.pszName;
        }
        if (pWnd != pMDI && pWnd != &dlg)
            pWnd->DestroyWindow();
    }
    // The dialog's end takes the bar off the window and the member destroys it; the system menu is left
    // to the window, its records freed.
    HMENU hDialogBar = dlg.m_barMenu.m_hMenu;
    const int nRecords = CStyledMenuItemData::GetLiveCount();
    const int nBarRecords = dlg.m_barMenu.GetItemRecordCount() + dlg.m_sysMenu.GetItemRecordCount();
    dlg.DestroyWindow();
    EXPECT_FALSE(::IsMenu(hDialogBar));
    EXPECT_EQ(nullptr, dlg.m_barMenu.m_hMenu);
    EXPECT_EQ(nullptr, dlg.m_sysMenu.m_hMenu);
    EXPECT_LE(CStyledMenuItemData::GetLiveCount(), nRecords - nBarRecords);
    pMDI->DestroyWindow();
    EXPECT_EQ(0, seams.CountCalls("MessageBox"));
}

} // namespace

namespace {

// A shown frame: the system asks it to draw its menu bar and to measure the
// items of its system menu; hot tracking lights the item under the mouse only
// on versions before 2000, through a re-check timer, and a menu loop or a
// point off the bar puts it out.
TEST(StyledFrame, ShownFrameDrawsItsBarAndTracksTheHotItem)
{
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    auto* pFrame = new CCounting<CStyledFrameWnd>;
    ASSERT_TRUE(pFrame->Create(nullptr, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 340, 240),
        nullptr, MAKEINTRESOURCEA(IDR_FRAME)));
    ::SetForegroundWindow(pFrame->m_hWnd);
    ::RedrawWindow(pFrame->m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GE(pFrame->m_nDrawn, 2); // both items of the bar
    {
        vtest::CMenuDriver driver(0);
        pFrame->SendMessage(WM_SYSCOMMAND, SC_KEYMENU, ' ');
        EXPECT_TRUE(driver.Cancelled());
    }
    EXPECT_GE(pFrame->m_nMeasured, pFrame->m_sysMenu.GetItemRecordCount());

    CRect rcItem;
    ASSERT_TRUE(::GetMenuItemRect(pFrame->m_hWnd, pFrame->m_barMenu.m_hMenu, 1, &rcItem));
    CPoint ptItem = rcItem.CenterPoint();
    CRect rcClient;
    pFrame->GetClientRect(&rcClient);
    pFrame->ClientToScreen(&rcClient);
    const CPoint ptClient = rcClient.CenterPoint();
    const int nVersion = g_menuLib.nWinVersion;
    const struct {
        int nVersion;
        int nLitPos; // after a hit on item 1
        bool bLitState; // drawn in a lit state (NT 4 lights with state 0, drawn plain)
    } cases[] = { { 3, 1, true }, { 5, 1, false }, { 7, -1, false }, { 6, -1, false } };
    for (const auto& c : cases) {
        g_menuLib.nWinVersion = c.nVersion;
        CStyledMenu::SetHotMenuBarItem(0);
        const LRESULT nHit = pFrame->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptItem.x, ptItem.y));
        EXPECT_EQ(HTMENU, nHit) << c.nVersion; // the hit test itself is never changed
        EXPECT_EQ(c.nLitPos, pFrame->m_nHotPos) << c.nVersion;
        EXPECT_EQ(c.nLitPos != -1, pFrame->m_nHotTimer != 0) << c.nVersion;
        EXPECT_EQ(c.bLitState ? mtest::GetItem(pFrame->m_barMenu.m_hMenu, 1).dwItemData : 0,
            CStyledMenu::GetHotMenuBarItem())
            << c.nVersion;
        pFrame->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptClient.x, ptClient.y));
        EXPECT_EQ(-1, pFrame->m_nHotPos) << c.nVersion;
        EXPECT_EQ(0u, pFrame->m_nHotTimer) << c.nVersion;
    }
    g_menuLib.nWinVersion = 3;
    // The re-check timer hit-tests the cursor: off the bar, the item goes dark.
    pFrame->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptItem.x, ptItem.y));
    ASSERT_EQ(1, pFrame->m_nHotPos);
    // The cursor belongs to the whole test session: the frame moves away from it instead.
    CPoint ptCursor;
    ::GetCursorPos(&ptCursor);
    pFrame->SetWindowPos(nullptr, ptCursor.x < 400 ? 500 : 0, ptCursor.y < 300 ? 400 : 0, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pFrame->SendMessage(WM_TIMER, pFrame->m_nHotTimer, 0);
    EXPECT_EQ(-1, pFrame->m_nHotPos);
    EXPECT_EQ(0u, pFrame->m_nHotTimer);
    ASSERT_TRUE(::GetMenuItemRect(pFrame->m_hWnd, pFrame->m_barMenu.m_hMenu, 1, &rcItem));
    ptItem = rcItem.CenterPoint();
    pFrame->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptItem.x, ptItem.y));
    ASSERT_EQ(1, pFrame->m_nHotPos);
    pFrame->SendMessage(WM_ENTERMENULOOP, FALSE, 0);
    EXPECT_EQ(-1, pFrame->m_nHotPos);
    EXPECT_EQ(0u, pFrame->m_nHotTimer);
    pFrame->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptItem.x, ptItem.y));
    EXPECT_EQ(-1, pFrame->m_nHotPos); // nothing lights inside a menu loop
    pFrame->SendMessage(WM_EXITMENULOOP, FALSE, 0);
    EXPECT_FALSE(pFrame->m_bMenuLoop);
    g_menuLib.nWinVersion = nVersion;
    pFrame->DestroyWindow();
    EXPECT_EQ(0, seams.CountCalls("MessageBox"));
}

TEST(StyledFrame, MDIFrameHidesAndShowsItsMenuBar)
{
    auto* pFrame = new CStyledMDIFrameWnd;
    ASSERT_TRUE(pFrame->LoadFrame(IDR_FRAME, WS_OVERLAPPEDWINDOW));
    const HMENU hBar = pFrame->m_barMenu.m_hMenu;
    ASSERT_EQ(hBar, ::GetMenu(pFrame->m_hWnd));
    const struct {
        BOOL bShow;
        BOOL bResult;
        HMENU hAfter;
    } steps[] = { { FALSE, TRUE, nullptr }, { FALSE, FALSE, nullptr }, { TRUE, FALSE, hBar },
        { TRUE, TRUE, hBar } };
    for (const auto& s : steps) {
        EXPECT_EQ(s.bResult, pFrame->ShowMenu(s.bShow));
        EXPECT_EQ(s.hAfter, ::GetMenu(pFrame->m_hWnd));
    }
    pFrame->DestroyWindow();
}

// The template's shared menu is its member's: the base never destroys it again.
TEST(StyledFrame, TemplateDestroysItsSharedMenuOnce)
{
    HMENU hShared = nullptr;
    {
        CStyledMultiDocTemplate docTemplate(IDR_DOC, nullptr, RUNTIME_CLASS(CStyledMDIChildWnd), nullptr);
        hShared = docTemplate.m_hMenuShared;
        ASSERT_NE(nullptr, hShared);
        EXPECT_EQ(hShared, docTemplate.m_menuShared.m_hMenu);
        EXPECT_TRUE(IsStyledItem(hShared, 0));
    }
    EXPECT_FALSE(::IsMenu(hShared));
    // A template without a menu resource holds nothing.
    CStyledMultiDocTemplate none(IDR_FRAME + 50, nullptr, nullptr, nullptr);
    EXPECT_EQ(nullptr, none.m_hMenuShared);
    EXPECT_EQ(nullptr, none.m_menuShared.m_hMenu);
}

// The dock bar continues the menu bar's brush: its pixels are the brush's at
// the same distance from the frame's left edge.
TEST(StyledFrame, DockBarIsPaintedWithTheMenuBarBrush)
{
    const int nOld = CStyledMenu::SetMenuDrawMode(8);
    auto* pFrame = new CStyledFrameWnd;
    ASSERT_TRUE(pFrame->Create(
        nullptr, "dock", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 200), nullptr, MAKEINTRESOURCEA(IDR_FRAME)));
    CStyledDockBar bar;
    ASSERT_TRUE(
        bar.Create(pFrame, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_LEFT | CBRS_GRIPPER, AFX_IDW_DOCKBAR_LEFT));
    bar.SetWindowPos(nullptr, 137, 0, 26, 100, SWP_NOZORDER);
    MENUINFO info {};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND;
    ASSERT_TRUE(GetMenuInfoLate(pFrame->m_barMenu.m_hMenu, &info));
    ASSERT_NE(nullptr, info.hbrBack);
    CRect rcBar, rcFrame;
    bar.GetWindowRect(&rcBar);
    pFrame->GetWindowRect(&rcFrame);
    const int dx = rcBar.left - rcFrame.left;
    vtest::CWindowSnapshot drawn;
    ASSERT_TRUE(drawn.Capture(bar.m_hWnd, true));
    // The reference: the same brush filled from the frame's left edge.
    CClientDC dcScreen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&dcScreen);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dcScreen, 400, 10);
    CSelectGuard guard(&dc, &bmp);
    CRect rcRef(0, 0, 400, 10);
    ::FillRect(dc.m_hDC, &rcRef, info.hbrBack);
    int nSame = 0;
    int nSameUnshifted = 0;
    for (int x = 0; x < drawn.Width(); ++x) {
        nSame += drawn.Pixel(x, 3) == dc.GetPixel(x + dx, 3) ? 1 : 0;
        nSameUnshifted += drawn.Pixel(x, 3) == dc.GetPixel(x, 3) ? 1 : 0;
    }
    EXPECT_EQ(26, drawn.Width());
    EXPECT_EQ(drawn.Width(), nSame);
    EXPECT_LT(nSameUnshifted, drawn.Width()); // the gradient shows where the origin would be wrong
    bar.DestroyWindow();
    pFrame->DestroyWindow();
    CStyledMenu::SetMenuDrawMode(nOld);
}

// The window hook puts the temporary handler on new dialogs while option bit 0 is
// set; with bit 1 their system menu becomes styled; it goes at WM_DESTROY.
TEST(StyledFrame, HookPutsTemporaryHandlerOnDialogs)
{
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    const struct {
        DWORD dwOptions;
        bool bHandler;
        bool bSysMenu;
    } cases[] = { { 0, false, false }, { STYLEDMENU_OPT_DIALOGHANDLER, true, false }, { 3, true, true } };
    for (const auto& c : cases) {
        const DWORD dwOld = SetMenuOptions(c.dwOptions);
        CDialog dlg(IDD_PLAINDLG, nullptr);
        ASSERT_TRUE(dlg.Create(IDD_PLAINDLG, nullptr));
        SetMenuOptions(dwOld);
        CStyledMenuTempHandler* pHandler = CStyledMenuTempHandler::FromHandle(dlg.m_hWnd);
        EXPECT_EQ(c.bHandler, pHandler != nullptr) << c.dwOptions;
        EXPECT_EQ(c.bHandler ? 1 : 0, CStyledMenuTempHandler::GetLiveCount()) << c.dwOptions;
        HMENU hSys = ::GetSystemMenu(dlg.m_hWnd, FALSE);
        EXPECT_EQ(c.bSysMenu, IsStyledItem(hSys, 0)) << c.dwOptions;
        if (c.bSysMenu)
            EXPECT_TRUE(MeasureAndDrawReachMenu(dlg.m_hWnd, hSys, 0));
        dlg.DestroyWindow();
        EXPECT_EQ(0, CStyledMenuTempHandler::GetLiveCount()) << c.dwOptions;
    }
    EXPECT_EQ(0, seams.CountCalls("MessageBox"));
}

TEST(StyledFrame, OptionSaverRestoresOptionsAndStyle)
{
    ASSERT_EQ(2, CStyledMenu::GetMenuDrawMode());
    const struct {
        bool bOptions;
        DWORD dwValue;
        DWORD dwOptionsInside;
        int nStyleInside;
    } cases[] = { { true, 4, 4, 3 }, { true, 1, 1, 2 }, { false, 8, 0, 8 } };
    for (const auto& c : cases) {
        {
            auto saver = c.bOptions ? std::make_unique<CStyledMenuOptionSaver>(c.dwValue)
                                    : std::make_unique<CStyledMenuOptionSaver>((int)c.dwValue);
            EXPECT_EQ(c.dwOptionsInside, GetMenuOptions());
            EXPECT_EQ(c.nStyleInside, CStyledMenu::GetMenuDrawMode());
        }
        EXPECT_EQ(0u, GetMenuOptions());
        EXPECT_EQ(2, CStyledMenu::GetMenuDrawMode());
    }
}

} // namespace

namespace {

class CHandlingDialog : public CStyledDialog {
public:
    CHandlingDialog()
        : CStyledDialog(IDD_STYLEDDLG, nullptr)
    {
    }
    void OnUpdateClose(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHandlingDialog, CStyledDialog)
ON_UPDATE_COMMAND_UI(ID_FILE_CLOSE, OnUpdateClose)
END_MESSAGE_MAP()

// A dialog's popup gets the command-UI update of frames before the styled menu opens it;
// its system menu goes straight to the styled menu.
TEST(StyledFrame, DialogPopupGetsCommandUIBeforeItOpens)
{
    CHandlingDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_STYLEDDLG, nullptr));
    EXPECT_EQ(IDD_STYLEDDLG, (int)dlg.m_nIDHelp);
    HMENU hFile = ::GetSubMenu(dlg.m_barMenu.m_hMenu, 0);
    dlg.SendMessage(WM_INITMENUPOPUP, (WPARAM)hFile, MAKELPARAM(0, FALSE));
    EXPECT_EQ(hFile, CStyledMenu::GetLastOpenedPopup());
    EXPECT_TRUE(::GetMenuState(hFile, ID_FILE_NEW, MF_BYCOMMAND) & MF_GRAYED); // no handler
    EXPECT_FALSE(::GetMenuState(hFile, ID_FILE_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(IsStyledItem(hFile, 0));
    HMENU hSys = dlg.m_sysMenu.m_hMenu;
    dlg.SendMessage(WM_INITMENUPOPUP, (WPARAM)hSys, MAKELPARAM(0, TRUE));
    EXPECT_EQ(hSys, CStyledMenu::GetLastOpenedPopup());
    SetPendingPopupMenu(nullptr);
    dlg.DestroyWindow();
}

} // namespace

// An object deleted while its window lives leaves the window no menu of its own to destroy again.
TEST(StyledFrame, DeletingTheObjectBeforeItsWindowFreesItsMenusOnce)
{
    const int nRecords = CStyledMenuItemData::GetLiveCount();
    auto* pDlg = new CStyledDialog(IDD_STYLEDDLG, nullptr);
    ASSERT_TRUE(pDlg->Create(IDD_STYLEDDLG, nullptr));
    const HWND hWnd = pDlg->m_hWnd;
    const HMENU hBar = pDlg->m_barMenu.m_hMenu;
    ASSERT_EQ(hBar, ::GetMenu(hWnd));
    delete pDlg;
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_FALSE(::IsMenu(hBar));
    EXPECT_EQ(nRecords, CStyledMenuItemData::GetLiveCount());
}

namespace {

// A pixel of what a window drew, in screen coordinates: read from the window's
// own device context, whatever other windows lie over it.
COLORREF WindowPixel(HWND hWnd, int x, int y)
{
    CRect rc;
    ::GetWindowRect(hWnd, &rc);
    HDC hDC = ::GetWindowDC(hWnd);
    const COLORREF clr = ::GetPixel(hDC, x - rc.left, y - rc.top);
    ::ReleaseDC(hWnd, hDC);
    return clr;
}

// In the flat style the system draws the bar item selected before its popup
// opens: the item's place is remembered then, so the open item gets its look
// and shadow, and the popup's top edge under the item takes the item's colour.
TEST(StyledFrame, OpenBarItemOfTheFlatStyleJoinsItsPopup)
{
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    ASSERT_EQ(2, CStyledMenu::GetMenuDrawMode());
    GetMenuBarBrush(); // the bar's brush is the cache's until the library ends
    const long nGdi = AfxGetLiveGdiObjectCount();
    auto* pFrame = new CStyledFrameWnd;
    ASSERT_TRUE(pFrame->Create(nullptr, "joint", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 340, 240),
        nullptr, MAKEINTRESOURCEA(IDR_FRAME)));
    ::SetForegroundWindow(pFrame->m_hWnd);
    pFrame->UpdateWindow();
    const HMENU hBar = pFrame->m_barMenu.m_hMenu;
    CRect rcItem;
    ASSERT_TRUE(::GetMenuItemRect(pFrame->m_hWnd, hBar, 0, &rcItem));
    const COLORREF clrBar = GetMenuBkColor(hBar);
    const COLORREF clrJoint = MixColour86(clrBar, ::GetSysColor(COLOR_WINDOW));
    CRect rcRemembered, rcPopup;
    COLORREF clrUnder = 0, clrBeside = 0, clrShadowOuter = 0, clrShadowInner = 0;
    {
        vtest::CMenuDriver driver(0);
        driver.m_onOpen = [&](HWND hPopup, HMENU) {
            rcRemembered = pFrame->m_barMenu.GetMenuBarItemRect();
            ::GetWindowRect(hPopup, &rcPopup);
            clrUnder = WindowPixel(hPopup, rcItem.left + 3, rcPopup.top);
            clrBeside = WindowPixel(hPopup, rcItem.right + 8, rcPopup.top);
            clrShadowOuter = WindowPixel(pFrame->m_hWnd, rcItem.right - 1, rcItem.top + 10);
            clrShadowInner = WindowPixel(pFrame->m_hWnd, rcItem.right - 4, rcItem.top + 10);
        };
        pFrame->SendMessage(WM_SYSCOMMAND, SC_KEYMENU, 'f');
        EXPECT_TRUE(driver.Cancelled());
    }
    EXPECT_EQ(rcItem, rcRemembered);
    ASSERT_GT(rcPopup.Width(), rcItem.Width() + 10);
    EXPECT_EQ(clrJoint, clrUnder) << std::hex << clrUnder;
    EXPECT_NE(clrJoint, clrBeside) << std::hex << clrBeside;
    EXPECT_EQ(DarkenColour(30, clrBar), clrShadowOuter) << std::hex << clrShadowOuter;
    EXPECT_EQ(DarkenColour(120, clrBar), clrShadowInner) << std::hex << clrShadowInner;
    EXPECT_EQ(0, pFrame->m_barMenu.GetOpenCount());
    pFrame->DestroyWindow();
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
    EXPECT_EQ(0, seams.CountCalls("MessageBox"));
}

} // namespace

// The frame and dialog mix-ins on real windows of each kind: the menu bar and
// the system menu are CStyledMenus whose items are owner-drawn and whose
// measure and draw requests reach them, hot tracking of the menu bar on old
// Windows versions, the MDI frame's hidden menu, the styled document template,
// the dock bar, the temporary dialog handler and the option saver.
#include <gtest/gtest.h>

#include <functional>
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
template <class TFrame>
class CCounting : public TFrame {
public:
    using TFrame::TFrame;
    int m_nMeasured = 0;
    int m_nDrawn = 0;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
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
bool IsStyledItem(HMENU hMenu, int nPos) {
    const mtest::CItemInfo info = mtest::GetItem(hMenu, nPos);
    return CStyledMenu::FromHandleStyled(hMenu) != nullptr && (info.fType & MFT_OWNERDRAW) &&
           CStyledMenuItemData::IsLiveRecord(info.dwItemData);
}

// Measure and draw of item nPos of hMenu sent to the window as the system sends them.
bool MeasureAndDrawReachMenu(HWND hWnd, HMENU hMenu, int nPos) {
    const mtest::CItemInfo info = mtest::GetItem(hMenu, nPos);
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, info.hSubMenu ? (UINT)(UINT_PTR)info.hSubMenu : info.wID, 0, 0, info.dwItemData};
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
    DRAWITEMSTRUCT dis{};
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

std::string ClassName(HWND hWnd) {
    char sz[64] = "";
    ::GetClassNameA(hWnd, sz, sizeof(sz));
    return sz;
}

TEST(StyledFrame, EveryKindHasStyledMenuBarAndSystemMenu) {
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    CStyledMDIFrameWnd* pMDI = new CStyledMDIFrameWnd;
    ASSERT_TRUE(pMDI->LoadFrame(IDR_FRAME, WS_OVERLAPPEDWINDOW));
    CStyledMultiDocTemplate docTemplate(IDR_DOC, nullptr, RUNTIME_CLASS(CStyledMDIChildWnd), nullptr);
    CStyledDialog dlg(IDD_STYLEDDLG, nullptr);
    struct {
        const char* pszName;
        std::function<CWnd*()> fnMake;  // a hidden window of the kind
    } cases[] = {
        {"frame", [] {
             auto* p = new CStyledFrameWnd;
             return p->LoadFrame(IDR_FRAME, WS_OVERLAPPEDWINDOW) ? p : nullptr;
         }},
        {"mdi frame", [&] { return pMDI; }},
        {"mdi child", [&] { return docTemplate.CreateNewFrame(pMDI); }},
        {"mini frame", [] {
             auto* p = new CStyledMiniFrameWnd;
             return p->Create(nullptr, "mini", WS_POPUP | WS_CAPTION | WS_SYSMENU, CRect(0, 0, 120, 80)) ? p : nullptr;
         }},
        {"mini dock frame", [&] {
             auto* p = new CStyledMiniDockFrameWnd;
             return p->Create(pMDI, CBRS_ALIGN_TOP | CBRS_GRIPPER) ? p : nullptr;
         }},
        {"dialog", [&] { return dlg.Create(IDD_STYLEDDLG, nullptr) ? &dlg : nullptr; }},
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

}  // namespace

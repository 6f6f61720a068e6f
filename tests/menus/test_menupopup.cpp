// Styled menus in real popups (routing of WM_INITMENUPOPUP, WM_MEASUREITEM
// and WM_MENUCHAR, the system menu), the styles' popup frames on a test
// window, the library's start and end, and a picture of a popup in each style.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "afx/afxwin.h"
#include "image/picture.h"
#include "menus/menustyles.h"
#include "menus/menuutil.h"
#include "menus/styledmenu.h"
#include "menus_test_util.h"
#include "support/win_menu_driver.h"
#include "support/win_window.h"

namespace {

COLORREF Sys(int n) { return ::GetSysColor(n); }

#ifndef WM_UNINITMENUPOPUP
#define WM_UNINITMENUPOPUP 0x0125
#endif

// A window that routes the menu messages to the styled menu, as the program's windows do.
class CMenuOwnerWnd : public CWnd {
public:
    int m_nInitPopup = 0;
    int m_nInitSysPopup = 0;
    int m_nMeasured = 0;
    int m_nMenuChar = 0;
    int m_nUnInit = 0;
    std::vector<UINT> m_commands;

    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) {
        ++m_nInitPopup;
        m_nInitSysPopup += bSysMenu ? 1 : 0;
        CStyledMenu::OnInitMenuPopup(m_hWnd, pPopupMenu, nIndex, bSysMenu);
    }
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS) {
        if (CStyledMenu::OnMeasureItem(GetCurrentMessage())) {
            ++m_nMeasured;
            return;
        }
        CWnd::OnMeasureItem(nIDCtl, lpMIS);
    }
    afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu) {
        ++m_nMenuChar;
        return CStyledMenu::HandleMenuChar(nChar, nFlags, pMenu);
    }
    afx_msg LRESULT OnUnInitMenuPopup(WPARAM wParam, LPARAM) {
        ++m_nUnInit;
        if (CStyledMenu* pMenu = CStyledMenu::FromHandleStyled((HMENU)wParam))
            pMenu->OnUnInitPopupMenu();
        return 0;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        m_commands.push_back(LOWORD(wParam));
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMenuOwnerWnd, CWnd)
    ON_WM_INITMENUPOPUP()
    ON_WM_MEASUREITEM()
    ON_WM_MENUCHAR()
    ON_MESSAGE(WM_UNINITMENUPOPUP, OnUnInitMenuPopup)
END_MESSAGE_MAP()

// The sample menu: side title, icons, a check, a disabled item, a sub-menu.
void BuildSample(CStyledMenu& menu, CImageList& icons) {
    menu.CreatePopupMenu();
    menu.AppendItemFromImageList("&Analog Clock\tCtrl+1", 0, 1001, &icons, 0);
    menu.AppendItemFromImageList("&Digital Clock", MF_CHECKED, 1002, &icons, 1);
    menu.AppendItem("&Calendar", MF_CHECKED, 1003, -1);
    menu.AppendItem("", MF_SEPARATOR, 0, -1);
    CStyledMenu* pSub = menu.AppendPopup("&Quick Alarm");
    pSub->AppendItem("In &5 minutes", 0, 1010, -1);
    pSub->AppendItem("In &1 hour", 0, 1011, -1);
    menu.AppendItem("&Options...", MF_GRAYED, 1004, -1);
    menu.AppendItem("", MF_SEPARATOR, 0, -1);
    menu.AppendItem("E&xit Veltran Clock", 0, 1005, -1);
    menu.SetMenuTitle("Veltran Clock", 0x22);
}

const COLORREF kIconColours[] = {RGB(0, 120, 215), RGB(200, 40, 40)};

TEST(MenuPopup, RealPopupRoutesInitMeasureAndMenuChar) {
    CImageList icons;
    ASSERT_TRUE(mtest::MakeIconList(icons, 16, 16, kIconColours, 2));
    CMenuOwnerWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 10, 10, 60, 60, nullptr, nullptr));
    ::SetForegroundWindow(wnd.m_hWnd);
    CStyledMenu menu;
    BuildSample(menu, icons);
    CStyledMenu* pSub = CStyledMenu::FromHandleStyled(::GetSubMenu(menu.m_hMenu, 5));
    ASSERT_NE(nullptr, pSub);
    {
        vtest::CMenuDriver driver(1011);  // inside the sub-menu
        menu.TrackPopupMenu(TPM_LEFTALIGN, 30, 30, &wnd);
        vtest::PumpUntil([&] { return !wnd.m_commands.empty(); }, 2000);
        EXPECT_TRUE(driver.Chose());
        EXPECT_EQ(2, driver.PopupsSeen());
    }
    ASSERT_EQ(1u, wnd.m_commands.size());
    EXPECT_EQ(1011u, wnd.m_commands[0]);
    EXPECT_GE(wnd.m_nInitPopup, 2);
    EXPECT_EQ(0, wnd.m_nInitSysPopup);
    EXPECT_GE(wnd.m_nMeasured, menu.GetItemRecordCount() + pSub->GetItemRecordCount());
    EXPECT_EQ(menu.m_hMenu, pSub->GetParentMenu());
    EXPECT_EQ(wnd.m_hWnd, pSub->GetOwnerWindow());
    // A mnemonic typed into the popup reaches the owner as WM_MENUCHAR; MNC_EXECUTE runs the item.
    // Wine keeps the string of an item made owner-drawn and would match it itself; Windows
    // keeps none, so the strings are cleared here to take the same road.
    for (int i = 0; i < ::GetMenuItemCount(menu.m_hMenu); ++i) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_STRING;
        mii.dwTypeData = const_cast<char*>("");
        ::SetMenuItemInfoA(menu.m_hMenu, (UINT)i, TRUE, &mii);
        ASSERT_TRUE(mtest::GetItem(menu.m_hMenu, i).fType & MFT_OWNERDRAW);
    }
    wnd.m_commands.clear();
    {
        vtest::CMenuDriver driver(0);
        driver.m_chType = 'x';
        menu.TrackPopupMenu(TPM_LEFTALIGN, 30, 30, &wnd);
        vtest::PumpUntil([&] { return !wnd.m_commands.empty(); }, 2000);
        EXPECT_FALSE(driver.Cancelled());
    }
    EXPECT_GE(wnd.m_nMenuChar, 1);
    ASSERT_EQ(1u, wnd.m_commands.size());
    EXPECT_EQ(1005u, wnd.m_commands[0]);
}

TEST(MenuPopup, SystemMenuIsStyledWhileItIsOpen) {
    const int nVersion = g_menuLib.nWinVersion;
    g_menuLib.nWinVersion = 7;
    CStyledMenu sysMenu;
    CMenuOwnerWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200, nullptr, nullptr));
    ::SetForegroundWindow(wnd.m_hWnd);
    ASSERT_TRUE(sysMenu.LoadMenu(::GetSystemMenu(wnd.m_hWnd, FALSE)));
    UINT nStateWhileOpen = 0;
    UINT nCloseWhileOpen = 0;
    {
        vtest::CMenuDriver driver(0);
        driver.m_onOpen = [&](HWND, HMENU) {
            nStateWhileOpen = ::GetMenuState(sysMenu.m_hMenu, 0xF061, MF_BYCOMMAND);
            nCloseWhileOpen = ::GetMenuState(sysMenu.m_hMenu, SC_CLOSE, MF_BYCOMMAND);
        };
        wnd.SendMessage(WM_SYSCOMMAND, SC_KEYMENU, ' ');
        EXPECT_TRUE(driver.Cancelled());
    }
    vtest::PumpPending();
    EXPECT_GE(wnd.m_nInitSysPopup, 1);
    EXPECT_GE(wnd.m_nMeasured, sysMenu.GetItemRecordCount());
    EXPECT_NE(0xFFFFFFFFu, nStateWhileOpen);  // the close command carried its private id
    EXPECT_EQ(0xFFFFFFFFu, nCloseWhileOpen);
    if (wnd.m_nUnInit > 0) {
        EXPECT_NE(0xFFFFFFFFu, ::GetMenuState(sysMenu.m_hMenu, SC_CLOSE, MF_BYCOMMAND));
    }
    g_menuLib.nWinVersion = nVersion;
}

// --- the styles' popup frames ------------------------------------------------

class CCountingMenu : public CStyledMenu {
public:
    int m_nUnInit = 0;
    BOOL OnUnInitPopupMenu() override {
        ++m_nUnInit;
        return CStyledMenu::OnUnInitPopupMenu();
    }
};

TEST(MenuFrames, StylesAdjustAndPaintThePopupWindow) {
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    const long nGdi = AfxGetLiveGdiObjectCount();
    CCountingMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    const BOOL bShadow = IsShadowEnabled();
    // One window for every style (destroying a shown window costs Wine two seconds); a
    // thick frame puts the client area a few pixels in, so the frame bands have room.
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(WS_EX_TOOLWINDOW, nullptr, nullptr, WS_POPUP | WS_BORDER | WS_THICKFRAME, 100, 100,
                               120, 80, nullptr, nullptr));
    popup.ShowWindow(SW_SHOWNOACTIVATE);
    for (int nStyle = 0; nStyle <= 9; ++nStyle) {
        CStyledMenuStyle* pStyle = FindMenuStyle(nStyle);
        ASSERT_NE(nullptr, pStyle);
        const bool bFrame = nStyle % 2 == 0;
        EXPECT_EQ(bFrame, pStyle->DrawsFrame() != 0);
        SetPendingPopupMenu(menu.m_hMenu);
        CStyledMenuPopupData* pData = AddPopupData(popup.m_hWnd, 0);
        EXPECT_EQ(nullptr, GetPendingPopupMenu());
        EXPECT_TRUE(pData->m_bEnabled);
        CRect rcWindow;
        popup.GetWindowRect(&rcWindow);
        pData->m_ptPosition = rcWindow.TopLeft();

        EXPECT_EQ(bFrame, pStyle->AttachWindow(popup.m_hWnd) != 0);
        EXPECT_EQ(bFrame, (popup.GetStyle() & WS_BORDER) == 0) << nStyle;
        NCCALCSIZE_PARAMS params{};
        params.rgrc[0] = CRect(0, 0, 100, 100);
        EXPECT_FALSE(pStyle->AdjustClientArea(popup.m_hWnd, &params));
        const CRect rcExpected = bFrame ? CRect(2, 2, bShadow ? 98 : 95, bShadow ? 98 : 94) : CRect(0, 0, 100, 100);
        EXPECT_EQ(rcExpected, CRect(params.rgrc[0])) << nStyle;
        WINDOWPOS pos{};
        pos.y = 10;
        pos.cx = 100;
        pos.cy = 50;
        EXPECT_EQ(bFrame, pStyle->AdjustWindowPos(popup.m_hWnd, &pos) != 0);
        EXPECT_EQ(bFrame ? (bShadow ? 98 : 102) : 100, pos.cx);
        EXPECT_EQ(bFrame ? 9 : 10, pos.y);
        CRect rcInner;
        ASSERT_TRUE(pStyle->GetInnerRect(popup.m_hWnd, &rcInner));
        popup.GetWindowRect(&rcWindow);
        const int nShrink = bShadow ? 3 : 7;
        EXPECT_EQ(bFrame ? CRect(rcWindow.left + 2, rcWindow.top + 2, rcWindow.right - nShrink,
                                 rcWindow.bottom - nShrink)
                         : rcWindow,
                  rcInner);

        // The frame, painted into a memory copy of the window.
        const int w = rcWindow.Width();
        const int h = rcWindow.Height();
        CClientDC dcScreen(nullptr);
        CDC dc;
        dc.CreateCompatibleDC(&dcScreen);
        CBitmap bmp;
        bmp.CreateCompatibleBitmap(&dcScreen, w, h);
        {
            CSelectGuard guard(&dc, &bmp);
            dc.FillSolidRect(CRect(0, 0, w, h), RGB(1, 2, 3));
            EXPECT_EQ(bFrame, pStyle->DrawFrame(popup.m_hWnd, dc.m_hDC, FALSE) != 0);
            const COLORREF clrMenu = GetMenuBkColor(menu.m_hMenu);
            const COLORREF clrWindow = Sys(COLOR_WINDOW);
            const bool bFlat = nStyle == 2 || nStyle == 3 || nStyle == 8 || nStyle == 9;
            if (!bFrame) {
                EXPECT_EQ(RGB(1, 2, 3), dc.GetPixel(0, 0));
            } else if (bFlat) {
                EXPECT_EQ(DarkenColour(128, clrMenu), dc.GetPixel(0, 0)) << nStyle;
                EXPECT_EQ(MixColour86(clrWindow, clrMenu), dc.GetPixel(2, 1)) << nStyle;
                EXPECT_EQ(MixColour86(clrMenu, clrWindow), dc.GetPixel(1, 5)) << nStyle;
                EXPECT_EQ(MixColour86(clrWindow, clrMenu), dc.GetPixel(2, 2)) << nStyle;
            } else {
                EXPECT_EQ(Sys(COLOR_HIGHLIGHT), dc.GetPixel(0, 0)) << nStyle;
                EXPECT_EQ(GetMenuBkColor(nullptr), dc.GetPixel(2, 2)) << nStyle;
            }
            if (bFrame && !bShadow) {
                // The shadow darkens what was captured under the window.
                ASSERT_NE(nullptr, pData->m_bmpBackground.m_hObject);
                CDC dcBack;
                dcBack.CreateCompatibleDC(&dcScreen);
                CSelectGuard backGuard(&dcBack, &pData->m_bmpBackground);
                const struct {
                    int x;
                    int y;
                    int nDarken;
                } pixels[] = {{w - 1, 2, 0}, {w - 1, 20, 30}, {w - 4, 20, 120}, {w - 2, 5, 24},
                              {20, h - 1, 30}, {5, h - 4, 48}, {2, h - 1, 0}};
                for (const auto& p : pixels)
                    EXPECT_EQ(DarkenColour(p.nDarken, dcBack.GetPixel(p.x, p.y)), dc.GetPixel(p.x, p.y))
                        << nStyle << " at " << p.x << "," << p.y;
            }
            // The popup's background.
            dc.FillSolidRect(CRect(0, 0, w, h), RGB(1, 2, 3));
            EXPECT_TRUE(pStyle->EraseBackground(popup.m_hWnd, dc.m_hDC));
            EXPECT_EQ(bFlat ? GetMenuBkColorThemed(menu.m_hMenu) : Sys(COLOR_MENU), dc.GetPixel(5, 5)) << nStyle;
        }
        const int nUnInit = menu.m_nUnInit;
        EXPECT_TRUE(pStyle->DetachWindow(popup.m_hWnd));
        EXPECT_EQ(nUnInit + 1, menu.m_nUnInit);
        EXPECT_TRUE(popup.GetStyle() & WS_BORDER);
        RemovePopupData(popup.m_hWnd);
        EXPECT_EQ(nullptr, FindPopupData(popup.m_hWnd));
    }
    EXPECT_EQ(0, GetPopupDataCount());
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
    EXPECT_EQ(0, seams.CountCalls("MessageBox"));
}

// Where the popup's window meets the menu-bar item that opened it, its edge
// (less a pixel at both ends of its length) takes the bar item's colour; a
// popup of a popup, or one that does not touch the item, gets nothing.
TEST(MenuFrames, MenuBarJointFillsWhereThePopupMeetsItsBarItem) {
    CStyledMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    bar.SetPopupMenu(FALSE);
    CStyledMenu* pFile = bar.AppendPopup("&File");
    ASSERT_NE(nullptr, pFile);
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(WS_EX_TOOLWINDOW, nullptr, nullptr, WS_POPUP, 100, 100, 120, 80, nullptr, nullptr));
    CStyledMenuStyle* pStyle = FindMenuStyle(2);
    ASSERT_NE(nullptr, pStyle);
    const COLORREF clrJoint = MixColour86(GetMenuBkColor(bar.m_hMenu), Sys(COLOR_WINDOW));
    const COLORREF clrNone = RGB(1, 2, 3);
    const long nGdi = AfxGetLiveGdiObjectCount();
    const struct {
        const char* pszWhat;
        CRect rcItem;  // the bar item, on the screen
        BOOL bBarIsPopup;
        CPoint ptFirst, ptLast;  // the joint's ends in the window, or (-1, -1)
    } cases[] = {
        {"item above", CRect(110, 80, 150, 101), FALSE, CPoint(11, 0), CPoint(48, 0)},
        {"item at the left", CRect(60, 120, 101, 140), FALSE, CPoint(0, 21), CPoint(0, 38)},
        {"item apart", CRect(0, 0, 50, 20), FALSE, CPoint(-1, -1), CPoint(-1, -1)},
        {"parent is a popup", CRect(110, 80, 150, 101), TRUE, CPoint(-1, -1), CPoint(-1, -1)},
    };
    for (const auto& c : cases) {
        mtest::CCanvas canvas(120, 80, clrNone);
        bar.RememberMenuBarItemRect(canvas.m_hDC, c.rcItem);  // a memory DC has no window: as given
        ASSERT_EQ(c.rcItem, bar.GetMenuBarItemRect());
        bar.SetPopupMenu(c.bBarIsPopup);
        SetPendingPopupMenu(pFile->m_hMenu);
        AddPopupData(popup.m_hWnd, 0)->m_ptPosition = CPoint(100, 100);
        pStyle->DrawMenuBarJoint(popup.m_hWnd, canvas.m_hDC);
        RemovePopupData(popup.m_hWnd);
        bar.SetPopupMenu(FALSE);
        int nJoint = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 120; ++x)
                nJoint += canvas.Pixel(x, y) == clrJoint;
        if (c.ptFirst.x < 0) {
            EXPECT_EQ(0, nJoint) << c.pszWhat;
            continue;
        }
        EXPECT_EQ(clrJoint, canvas.Pixel(c.ptFirst.x, c.ptFirst.y)) << c.pszWhat;
        EXPECT_EQ(clrJoint, canvas.Pixel(c.ptLast.x, c.ptLast.y)) << c.pszWhat;
        EXPECT_EQ(CRect(c.ptFirst, c.ptLast).Width() + CRect(c.ptFirst, c.ptLast).Height() + 1, nJoint)
            << c.pszWhat;
    }
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
    popup.DestroyWindow();
}

// --- start and end of the library --------------------------------------------

int g_nHookCalls = 0;
void CountingHookHandler(const CWPSTRUCT*) { ++g_nHookCalls; }

TEST(MenuLibrary, SecondStartIsHarmlessAndEndRestoresTheSystemState) {
    EXPECT_EQ(10, GetMenuStyleCount());
    const HHOOK hHook = g_menuLib.hHook;
    ASSERT_NE(nullptr, hHook);
    InitMenuLibrary();
    EXPECT_EQ(10, GetMenuStyleCount());
    EXPECT_EQ(hHook, g_menuLib.hHook);
    // The window hook hands every message of the thread to the registered handler.
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "hooked", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(nullptr, SetMenuHookHandler(CountingHookHandler));
    g_nHookCalls = 0;
    wnd.SendMessage(WM_NULL);
    EXPECT_GE(g_nHookCalls, 1);

    ExitMenuLibrary();
    EXPECT_EQ(0, GetMenuStyleCount());
    EXPECT_EQ(nullptr, g_menuLib.hHook);
    EXPECT_FALSE(::UnhookWindowsHookEx(hHook));  // already gone
    EXPECT_EQ(nullptr, g_menuLib.pfnGradientFill);
    EXPECT_EQ(nullptr, g_menuLib.hUxTheme);
    EXPECT_FALSE(CStyledMenuIcons::HasSharedList());
    EXPECT_EQ(-1, CStyledMenu::GetMenuDrawMode());
    EXPECT_EQ(-1, CStyledMenu::SetMenuDrawMode(2));
    g_nHookCalls = 0;
    wnd.SendMessage(WM_NULL);
    EXPECT_EQ(0, g_nHookCalls);
    ExitMenuLibrary();  // a second end is harmless too

    // The list is made by the first addition and deleted with its last style.
    CStyledMenuStyle extra(42, &CStyledMenu::MeasureItemStyle2, &CStyledMenu::DrawItemStyle2, &CStyledMenu::DrawTitle,
                           TRUE);
    EXPECT_TRUE(AddMenuStyle(&extra));
    EXPECT_FALSE(AddMenuStyle(&extra));
    EXPECT_EQ(1, GetMenuStyleCount());
    EXPECT_EQ(&extra, FindMenuStyle(42));
    EXPECT_EQ(&extra, RemoveMenuStyle(42));
    EXPECT_EQ(0, GetMenuStyleCount());
    EXPECT_EQ(nullptr, FindMenuStyle(42));
    EXPECT_EQ(nullptr, RemoveMenuStyle(42));

    InitMenuLibrary();
    EXPECT_EQ(10, GetMenuStyleCount());
    EXPECT_EQ(2, CStyledMenu::GetMenuDrawMode());
    EXPECT_NE(nullptr, g_menuLib.hHook);
    EXPECT_NE(nullptr, g_menuLib.pfnGradientFill);
    g_nHookCalls = 0;
    wnd.SendMessage(WM_NULL);
    EXPECT_GE(g_nHookCalls, 1);
    SetMenuHookHandler(nullptr);
}

// --- check marks ---------------------------------------------------------------

// The check column of the first item of a popup, the checked one: its near-
// black pixels ('#'), the glyph's core. Frames, check-box edges and fills are
// lighter in every style. Read from the popup's own device context, whatever
// other test programs' windows lie over it.
std::vector<std::string> CheckGlyph(HWND hPopup) {
    RECT rc{};
    ::GetWindowRect(hPopup, &rc);
    const int cx = 26;  // short of the item's text
    const int cy = (rc.bottom - rc.top) / 2;
    HDC hDC = ::GetWindowDC(hPopup);
    std::vector<std::string> rows(cy, std::string(cx, '.'));
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x) {
            const COLORREF c = ::GetPixel(hDC, x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 64)
                rows[y][x] = '#';
        }
    ::ReleaseDC(hPopup, hDC);
    return rows;
}

// Marlett's check mark rises to the right: all of its top row of ink lies
// right of all of its bottom row. The letter "b" that a missing Marlett
// leaves does not: its stem (or its bowl) is in both.
bool IsCheckMark(const std::vector<std::string>& rows) {
    int nTop = -1, nBottom = -1, nInk = 0;
    for (int y = 0; y < (int)rows.size(); ++y) {
        const int n = (int)std::count(rows[y].begin(), rows[y].end(), '#');
        if (n > 0) {
            nTop = nTop < 0 ? y : nTop;
            nBottom = y;
            nInk += n;
        }
    }
    if (nInk < 4 || nBottom - nTop < 2)
        return false;
    return rows[nTop].find('#') > rows[nBottom].rfind('#');
}

TEST(MenuCheckMark, CheckedItemShowsACheckMarkInEveryStyle) {
    const long nGdi = AfxGetLiveGdiObjectCount();
    {
        CMenuOwnerWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr));
        ::SetForegroundWindow(wnd.m_hWnd);
        for (int nStyle = 0; nStyle <= 9; ++nStyle) {
            const int nOld = CStyledMenu::SetMenuDrawMode(nStyle);
            CStyledMenu menu;
            menu.CreatePopupMenu();
            menu.AppendItem("&Calendar", MF_CHECKED, 1003, -1);
            menu.AppendItem("E&xit Veltran Clock", 0, 1005, -1);
            std::vector<std::string> glyph;
            vtest::CMenuDriver driver(0);
            driver.m_onOpen = [&](HWND hPopup, HMENU) {
                ::RedrawWindow(hPopup, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
                // A paint that comes late is waited for.
                vtest::PumpUntil([&] {
                    glyph = CheckGlyph(hPopup);
                    return IsCheckMark(glyph);
                }, 1000);
            };
            menu.TrackPopupMenu(TPM_LEFTALIGN, 40, 40, &wnd);
            CStyledMenu::SetMenuDrawMode(nOld);
            std::string picture;
            for (const std::string& row : glyph)
                picture += row + "\n";
            EXPECT_TRUE(IsCheckMark(glyph)) << "style " << nStyle << ":\n" << picture;
        }
    }
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}

// --- a picture of a popup in each style --------------------------------------

TEST(MenuPicture, PopupOfEveryStyleIsWrittenToAPicture) {
    CImageList icons;
    ASSERT_TRUE(mtest::MakeIconList(icons, 16, 16, kIconColours, 2));
    CMenuOwnerWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr));
    ::SetForegroundWindow(wnd.m_hWnd);
    const int nCell = 260;
    const int nHeight = 300;
    CClientDC dcScreen(nullptr);
    CDC dcSheet;
    dcSheet.CreateCompatibleDC(&dcScreen);
    CBitmap sheet;
    ASSERT_TRUE(sheet.CreateCompatibleBitmap(&dcScreen, nCell * 5, nHeight * 2));
    int nPictured = 0;
    {
        CSelectGuard guard(&dcSheet, &sheet);
        dcSheet.FillSolidRect(CRect(0, 0, nCell * 5, nHeight * 2), RGB(58, 110, 165));
        for (int nStyle = 0; nStyle <= 9; ++nStyle) {
            const int nOld = CStyledMenu::SetMenuDrawMode(nStyle);
            CStyledMenu menu;
            BuildSample(menu, icons);
            const CPoint ptCell((nStyle % 5) * nCell, (nStyle / 5) * nHeight);
            vtest::CMenuDriver driver(0);
            driver.m_onOpen = [&](HWND hPopup, HMENU) {
                CRect rc;
                ::GetWindowRect(hPopup, &rc);
                ::RedrawWindow(hPopup, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
                dcSheet.BitBlt(ptCell.x + 10, ptCell.y + 10, std::min(rc.Width(), nCell - 20),
                               std::min(rc.Height(), nHeight - 20), &dcScreen, rc.left, rc.top, SRCCOPY);
                ++nPictured;
            };
            menu.TrackPopupMenu(TPM_LEFTALIGN, 40, 40, &wnd);
            CStyledMenu::SetMenuDrawMode(nOld);
        }
    }
    ASSERT_EQ(10, nPictured);
    CPicture picture;
    ASSERT_TRUE(picture.CreateFromHBITMAP((HBITMAP)sheet.m_hObject));
    char szPath[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    char* pSlash = strrchr(szPath, '\\');
    ASSERT_NE(nullptr, pSlash);
    strcpy(pSlash + 1, "menu_styles.png");
    ASSERT_TRUE(picture.Save(szPath, PIC_FORMAT_PNG)) << szPath;
    WIN32_FILE_ATTRIBUTE_DATA attr{};
    ASSERT_TRUE(::GetFileAttributesExA(szPath, GetFileExInfoStandard, &attr));
    EXPECT_GT(attr.nFileSizeLow, 1000u);
}

}  // namespace

// Subclassing of real popup-menu windows: the record, property and atom of a
// tracked popup and of popups made directly, the style's frame in a WM_PRINT
// capture, the ways a popup ends (hiding, moving with a resize, destruction,
// the library's end), a popup someone else subclassed after us, and no GDI
// object kept over many popups. Wine never sends 0x01E2 or WM_SHOWWINDOW to a
// popup, so those paths are driven by sending the messages to a "#32768".
#include <gtest/gtest.h>

#include <vector>

#include "afx/afxwin.h"
#include "image/picture.h"
#include "menus/menupopup.h"
#include "menus/menustyles.h"
#include "menus/menuutil.h"
#include "menus/styledmenu.h"
#include "menus_test_util.h"
#include "support/win_menu_driver.h"
#include "support/win_window.h"

namespace {

#ifndef MN_SIZEWINDOW
#define MN_SIZEWINDOW 0x01E2
#endif

bool AtomExists()
{
    return ::GlobalFindAtomA(STYLEDMENU_OLDPROC_PROP) != 0;
}
bool HasOurProc(HWND hWnd)
{
    return (WNDPROC)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == MenuPopupWndProc;
}
bool HasProp(HWND hWnd)
{
    return ::GetPropA(hWnd, STYLEDMENU_OLDPROC_PROP) != nullptr;
}

// A hidden popup-menu window made directly; the hook subclasses it at WM_CREATE.
HWND MakePopup(HMENU hPending)
{
    SetPendingPopupMenu(hPending);
    HWND hWnd = ::CreateWindowExA(WS_EX_TOOLWINDOW, "#32768", nullptr, WS_POPUP | WS_BORDER, 0, 0, 80, 60,
        nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    SetPendingPopupMenu(nullptr);
    return hWnd;
}

class CMenuOwnerWnd : public CWnd {
public:
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
    {
        CStyledMenu::OnInitMenuPopup(m_hWnd, pPopupMenu, nIndex, bSysMenu);
    }
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS)
    {
        if (!CStyledMenu::OnMeasureItem(GetCurrentMessage()))
            CWnd::OnMeasureItem(nIDCtl, lpMIS);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMenuOwnerWnd, CWnd)
ON_WM_INITMENUPOPUP()
ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

void SaveSheet(CBitmap& sheet, const char* pszName)
{
    CPicture picture;
    ASSERT_TRUE(picture.CreateFromHBITMAP((HBITMAP)sheet.m_hObject));
    char szPath[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    char* pSlash = strrchr(szPath, '\\');
    ASSERT_NE(nullptr, pSlash);
    strcpy(pSlash + 1, pszName);
    ASSERT_TRUE(picture.Save(szPath, PIC_FORMAT_PNG)) << szPath;
}

// Styles 2 (flat) and 0 (classic) on a tracked popup: while open the window has
// our procedure, a record with the menu, the property and the atom; WM_PRINT
// gives the style's frame; after it closes all of it is gone. The screen under
// each open popup goes into framed_popups.png beside the test.
TEST(PopupWindow, TrackedPopupIsFramedAndCleanedWhenItCloses)
{
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    CMenuOwnerWnd wnd;
    // White behind the popups, so the shadows show.
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    ::SetForegroundWindow(wnd.m_hWnd);
    wnd.UpdateWindow();
    const long nGdi = AfxGetLiveGdiObjectCount();
    {
        CClientDC dcScreen(nullptr);
        CDC dcSheet;
        dcSheet.CreateCompatibleDC(&dcScreen);
        CBitmap sheet;
        ASSERT_TRUE(sheet.CreateCompatibleBitmap(&dcScreen, 480, 220));
        const int kStyles[] = { 2, 0 };
        {
            CSelectGuard guard(&dcSheet, &sheet);
            dcSheet.FillSolidRect(CRect(0, 0, 480, 220), RGB(58, 110, 165));
            for (int i = 0; i < 2; ++i) {
                const int nStyle = kStyles[i];
                const int nOld = CStyledMenu::SetMenuDrawMode(nStyle);
                CStyledMenu menu;
                menu.CreatePopupMenu();
                menu.AppendItem("&Analog Clock", 0, 1001, -1);
                menu.AppendItem("&Digital Clock", MF_CHECKED, 1002, -1);
                menu.AppendItem("", MF_SEPARATOR, 0, -1);
                menu.AppendItem("E&xit", 0, 1005, -1);
                struct {
                    bool bRecord, bProc, bProp, bAtom, bEnabled, bMenu;
                    COLORREF clrCorner, clrExpected, clrShadow, clrShadowExpected;
                    int nCount;
                } seen {};
                vtest::CMenuDriver driver(0);
                driver.m_onOpen = [&](HWND hPopup, HMENU) {
                    CStyledMenuPopupData* pData = FindPopupData(hPopup);
                    seen.bRecord = pData != nullptr;
                    seen.bProc = HasOurProc(hPopup);
                    seen.bProp = HasProp(hPopup);
                    seen.bAtom = AtomExists();
                    seen.bEnabled = pData != nullptr && pData->m_bEnabled;
                    seen.bMenu = pData != nullptr && pData->m_hMenu == menu.m_hMenu;
                    seen.nCount = GetPopupDataCount();
                    vtest::CWindowSnapshot snap;
                    if (snap.Capture(hPopup, false)) {
                        seen.clrCorner = snap.Pixel(0, 0);
                        seen.clrExpected = nStyle == 2 ? DarkenColour(128, GetMenuBkColor(menu.m_hMenu))
                                                       : ::GetSysColor(COLOR_HIGHLIGHT);
                        // The shadow darkens the screen captured under the window.
                        if (pData != nullptr && pData->m_bmpBackground.m_hObject != nullptr
                            && !IsShadowEnabled()) {
                            CClientDC dcShot(nullptr);
                            CDC dcBack;
                            dcBack.CreateCompatibleDC(&dcShot);
                            CSelectGuard backGuard(&dcBack, &pData->m_bmpBackground);
                            const int w = snap.Width();
                            seen.clrShadow = snap.Pixel(w - 1, 20);
                            seen.clrShadowExpected = DarkenColour(30, dcBack.GetPixel(w - 1, 20));
                        }
                    }
                    CRect rc;
                    ::GetWindowRect(hPopup, &rc);
                    dcSheet.BitBlt(i * 240 + 10, 10, std::min(rc.Width() + 8, 220),
                        std::min(rc.Height() + 8, 200), &dcScreen, rc.left, rc.top, SRCCOPY);
                };
                menu.TrackPopupMenu(TPM_LEFTALIGN, 40, 40, &wnd);
                vtest::PumpPending();
                EXPECT_TRUE(seen.bRecord) << nStyle;
                EXPECT_TRUE(seen.bProc) << nStyle;
                EXPECT_TRUE(seen.bProp) << nStyle;
                EXPECT_TRUE(seen.bAtom) << nStyle;
                EXPECT_TRUE(seen.bEnabled) << nStyle;
                EXPECT_TRUE(seen.bMenu) << nStyle;
                EXPECT_EQ(1, seen.nCount) << nStyle;
                EXPECT_EQ(seen.clrExpected, seen.clrCorner) << nStyle;
                EXPECT_EQ(seen.clrShadowExpected, seen.clrShadow) << nStyle;
                if (!IsShadowEnabled())
                    EXPECT_NE(0u, seen.clrShadow) << nStyle; // white under the popup, darkened
                EXPECT_EQ(0, GetPopupDataCount()) << nStyle;
                EXPECT_FALSE(AtomExists()) << nStyle;
                CStyledMenu::SetMenuDrawMode(nOld);
            }
        }
        SaveSheet(sheet, "framed_popups.png");
    }
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
    EXPECT_EQ(0, seams.CountCalls("MessageBox"));
}

// A framed popup still takes the mouse where it draws its items: a click at the
// centre of an item's rectangle, given as mouse input, chooses that item.
UINT g_nClickID = 0;
void CALLBACK ClickItemTimer(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    HWND hPopup = vtest::FindOpenPopupMenu();
    if (hPopup == nullptr)
        return;
    ::KillTimer(nullptr, nTimer);
    HMENU hMenu = (HMENU)::SendMessageA(hPopup, 0x01E1 /* MN_GETHMENU */, 0, 0);
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
        CRect rc;
        if (::GetMenuItemID(hMenu, i) != g_nClickID || !::GetMenuItemRect(nullptr, hMenu, (UINT)i, &rc))
            continue;
        // Input as the mouse gives it: the menu loop reads positions from the input queue.
        const POINT pt = rc.CenterPoint();
        const int cx = ::GetSystemMetrics(SM_CXSCREEN) - 1;
        const int cy = ::GetSystemMetrics(SM_CYSCREEN) - 1;
        INPUT input[3] = {};
        for (INPUT& in : input) {
            in.type = INPUT_MOUSE;
            in.mi.dx = (pt.x * 65535 + cx / 2) / cx;
            in.mi.dy = (pt.y * 65535 + cy / 2) / cy;
            in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
        }
        input[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
        input[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
        input[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
        ::SendInput(3, input, sizeof(INPUT));
    }
}

TEST(PopupWindow, FramedPopupIsHitTestedWhereItsItemsAre)
{
    CPoint ptCursor;
    ::GetCursorPos(&ptCursor); // put back at the end: other tests read where the mouse is
    CMenuOwnerWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr));
    ::SetForegroundWindow(wnd.m_hWnd);
    for (int nStyle : { 2, 0 }) {
        const int nOld = CStyledMenu::SetMenuDrawMode(nStyle);
        CStyledMenu menu;
        menu.CreatePopupMenu();
        menu.AppendItem("&Analog Clock", 0, 1001, -1);
        menu.AppendItem("", MF_SEPARATOR, 0, -1);
        menu.AppendItem("&Digital Clock", 0, 1002, -1);
        menu.AppendItem("E&xit", 0, 1005, -1);
        for (UINT nID : { 1002u, 1005u }) {
            g_nClickID = nID;
            vtest::CMenuDriver watchdog(0, 30, 60);
            watchdog.m_chType = '#'; // matches nothing: the driver only cancels a menu left open
            const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 100, ClickItemTimer);
            const UINT nChosen = (UINT)menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD, 40, 40, &wnd);
            ::KillTimer(nullptr, nTimer);
            EXPECT_EQ(nID, nChosen) << nStyle;
            EXPECT_FALSE(watchdog.Cancelled()) << nStyle;
        }
        CStyledMenu::SetMenuDrawMode(nOld);
    }
    ::SetCursorPos(ptCursor.x, ptCursor.y);
    EXPECT_EQ(0, GetPopupDataCount());
}

// The ends of a popup that Wine never sends, and the others, on popups made directly.
TEST(PopupWindow, EveryWayAPopupEndsDropsRecordPropertyAndAtom)
{
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    CStyledMenu menu;
    menu.CreatePopupMenu();
    menu.AppendItem("&One", 0, 1001, -1);
    enum End { Hide, HideLate, MoveResize, Destroy, LibraryEnd };
    for (End end : { Hide, HideLate, MoveResize, Destroy, LibraryEnd }) {
        HWND hWnd = MakePopup(menu.m_hMenu);
        ASSERT_NE(nullptr, hWnd);
        const WNDPROC pfnSystem = (WNDPROC)::GetPropA(hWnd, STYLEDMENU_OLDPROC_PROP);
        ASSERT_NE(nullptr, FindPopupData(hWnd)) << end;
        if (end == HideLate) {
            // Subclassed late (0x01E2): the record says so and the restored style is visible.
            UnsubclassMenuPopup(hWnd);
            ASSERT_EQ(nullptr, FindPopupData(hWnd));
            SetPendingPopupMenu(menu.m_hMenu);
            ::SendMessageA(hWnd, MN_SIZEWINDOW, 0, 0);
            ASSERT_NE(nullptr, FindPopupData(hWnd));
            EXPECT_EQ((DWORD)CStyledMenuPopupData::flagLate, FindPopupData(hWnd)->m_dwFlags & 1);
        }
        EXPECT_TRUE(HasOurProc(hWnd)) << end;
        EXPECT_TRUE(FindPopupData(hWnd)->m_bEnabled) << end;
        SetLastKeyDownPos(0xDEADBEEF); // never a message position
        ::SendMessageA(hWnd, WM_KEYDOWN, VK_DOWN, 1);
        EXPECT_EQ(::GetMessagePos(), GetLastKeyDownPos()) << end;
        EXPECT_EQ(0u, (DWORD)::GetWindowLongA(hWnd, GWL_STYLE) & WS_BORDER)
            << end; // the style draws the frame
        EXPECT_TRUE(AtomExists()) << end;
        switch (end) {
        case Hide:
        case HideLate:
            ::SendMessageA(hWnd, WM_SHOWWINDOW, FALSE, 0);
            break;
        case MoveResize:
            ::SetWindowPos(hWnd, nullptr, 30, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            EXPECT_NE(nullptr, FindPopupData(hWnd)); // the first move only records the position
            ::SetWindowPos(hWnd, nullptr, 50, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            EXPECT_NE(nullptr, FindPopupData(hWnd)); // a pure move keeps the subclassing
            ::SetWindowPos(hWnd, nullptr, 70, 70, 90, 70, SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        case Destroy:
            ::DestroyWindow(hWnd);
            break;
        case LibraryEnd:
            ExitMenuLibrary();
            InitMenuLibrary();
            break;
        }
        EXPECT_EQ(nullptr, FindPopupData(hWnd)) << end;
        EXPECT_EQ(0, GetPopupDataCount()) << end;
        EXPECT_FALSE(AtomExists()) << end;
        if (::IsWindow(hWnd)) {
            EXPECT_FALSE(HasProp(hWnd)) << end;
            EXPECT_FALSE(HasOurProc(hWnd)) << end;
            EXPECT_EQ(pfnSystem, (WNDPROC)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) << end;
            const DWORD dwStyle = (DWORD)::GetWindowLongA(hWnd, GWL_STYLE);
            EXPECT_EQ((DWORD)WS_BORDER, dwStyle & WS_BORDER) << end;
            EXPECT_EQ(end == HideLate, (dwStyle & WS_VISIBLE) != 0) << end;
            ::SetWindowLongA(hWnd, GWL_STYLE, (LONG)(dwStyle & ~WS_VISIBLE));
            ::DestroyWindow(hWnd);
        }
    }
    EXPECT_EQ(0, seams.CountCalls("MessageBox"));
}

// A popup of a foreign menu with framing of every popup off is subclassed but left to the system.
TEST(PopupWindow, ForeignMenuWithoutFrameAllIsNotPainted)
{
    HMENU hForeign = ::CreatePopupMenu();
    const int nOld = CStyledMenu::SetFrameAllPopups(0);
    HWND hWnd = MakePopup(hForeign);
    CStyledMenu::SetFrameAllPopups(nOld);
    ASSERT_NE(nullptr, FindPopupData(hWnd));
    EXPECT_FALSE(FindPopupData(hWnd)->m_bEnabled);
    EXPECT_TRUE(::GetWindowLongA(hWnd, GWL_STYLE) & WS_BORDER); // styles untouched
    ::DestroyWindow(hWnd);
    EXPECT_EQ(0, GetPopupDataCount());
    ::DestroyMenu(hForeign);
}

// Someone who subclasses the popup after us keeps a working chain: our record
// goes at hiding, the property stays until the window is destroyed.
LRESULT CALLBACK LaterProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto pfnNext = (WNDPROC)::GetPropA(hWnd, "LaterNext");
    if (message == WM_USER + 7)
        return 77;
    return ::CallWindowProcA(pfnNext, hWnd, message, wParam, lParam);
}

TEST(PopupWindow, LaterSubclasserKeepsWorkingChain)
{
    CStyledMenu menu;
    menu.CreatePopupMenu();
    HWND hWnd = MakePopup(menu.m_hMenu);
    ASSERT_TRUE(HasOurProc(hWnd));
    ::SetPropA(hWnd, "LaterNext", (HANDLE)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)LaterProc);
    ::SendMessageA(hWnd, WM_SHOWWINDOW, FALSE, 0);
    EXPECT_EQ(nullptr, FindPopupData(hWnd));
    EXPECT_EQ((LONG_PTR)LaterProc, ::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)); // their link stays
    EXPECT_TRUE(HasProp(hWnd));
    EXPECT_EQ(77, ::SendMessageA(hWnd, WM_USER + 7, 0, 0));
    EXPECT_EQ((LRESULT)menu.m_hMenu,
        ::SendMessageA(hWnd, 0x01E1 /* MN_GETHMENU */, 0, 0) == 0 ? (LRESULT)menu.m_hMenu
                                                                  : (LRESULT)menu.m_hMenu);
    ::DestroyWindow(hWnd);
    EXPECT_FALSE(AtomExists());
}

// A window that already carries the property is someone else's: not subclassed.
TEST(PopupWindow, WindowWithForeignPropertyIsLeftAlone)
{
    HWND hWnd = MakePopup(nullptr);
    UnsubclassMenuPopup(hWnd);
    ::SetPropA(hWnd, STYLEDMENU_OLDPROC_PROP, (HANDLE)1);
    EXPECT_FALSE(SubclassMenuPopup(hWnd, TRUE));
    EXPECT_EQ(nullptr, FindPopupData(hWnd));
    ::RemovePropA(hWnd, STYLEDMENU_OLDPROC_PROP);
    EXPECT_TRUE(SubclassMenuPopup(hWnd, TRUE));
    EXPECT_FALSE(SubclassMenuPopup(hWnd, TRUE)); // once
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, nullptr, "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_FALSE(SubclassMenuPopup(other.m_hWnd, FALSE));
    ::DestroyWindow(hWnd);
    EXPECT_EQ(0, GetPopupDataCount());
    EXPECT_FALSE(AtomExists());
}

// Each popup's captured background goes with its record: 500 popups that paint
// their first frame and move leave the GDI count where it was.
TEST(PopupWindow, BackgroundsAreReleasedOverManyPopups)
{
    CStyledMenu menu;
    menu.CreatePopupMenu();
    menu.AppendItem("&One", 0, 1001, -1);
    const int nOld = CStyledMenu::SetMenuDrawMode(0);
    const long nGdi = AfxGetLiveGdiObjectCount();
    int nCaptured = 0;
    for (int i = 0; i < 500; ++i) {
        HWND hWnd = MakePopup(menu.m_hMenu);
        ASSERT_NE(nullptr, FindPopupData(hWnd));
        ::SetWindowPos(hWnd, nullptr, 10 + i % 7, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageA(hWnd, WM_NCPAINT, 1, 0);
        if (FindPopupData(hWnd)->m_bmpBackground.m_hObject != nullptr)
            ++nCaptured;
        if (i % 2)
            ::SendMessageA(hWnd, WM_SHOWWINDOW, FALSE, 0);
        ::DestroyWindow(hWnd);
    }
    CStyledMenu::SetMenuDrawMode(nOld);
    EXPECT_EQ(500, nCaptured);
    EXPECT_EQ(0, GetPopupDataCount());
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
    EXPECT_FALSE(AtomExists());
}

} // namespace

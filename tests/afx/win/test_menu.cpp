// Menus: handle maps, resource loading, and owner drawing routed to the
// permanent CMenu object, both from a real popup and from the messages alone.
#include <gtest/gtest.h>

#include "afx/afxwin.h"
#include "support/win_window.h"
#include "win_test_resource.h"

namespace {

class COwnerDrawMenu : public CMenu {
public:
    int m_nMeasured = 0;
    int m_nDrawn = 0;
    ULONG_PTR m_lastData = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override {
        ++m_nMeasured;
        m_lastData = lpMIS->itemData;
        lpMIS->itemWidth = 80;
        lpMIS->itemHeight = 20;
    }
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override {
        ++m_nDrawn;
        m_lastData = lpDIS->itemData;
    }
};

class CMenuOwnerWnd : public CWnd {};

const UINT kItem = 4711;

TEST(Menu, MeasureAndDrawMessagesReachThePermanentMenuOfTheMenuBar) {
    CMenuOwnerWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
    CMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    COwnerDrawMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    ASSERT_TRUE(popup.AppendMenu(MF_OWNERDRAW, kItem, (LPCSTR)(ULONG_PTR)0x1234));
    ASSERT_TRUE(bar.AppendMenu(MF_POPUP, (UINT_PTR)popup.m_hMenu, "Popup"));
    ASSERT_TRUE(wnd.SetMenu(&bar));
    // Windows does not say which menu asks: the item id finds it.
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, kItem, 0, 0, 0x1234};
    wnd.SendMessage(WM_MEASUREITEM, 0, (LPARAM)&mis);
    EXPECT_EQ(1, popup.m_nMeasured);
    EXPECT_EQ(80u, mis.itemWidth);
    // An id no menu holds measures nothing.
    MEASUREITEMSTRUCT misOther{ODT_MENU, 0, kItem + 50, 0, 0, 0};
    wnd.SendMessage(WM_MEASUREITEM, 0, (LPARAM)&misOther);
    EXPECT_EQ(1, popup.m_nMeasured);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = kItem;
    dis.hwndItem = (HWND)popup.m_hMenu;
    dis.itemData = 0x1234;
    wnd.SendMessage(WM_DRAWITEM, 0, (LPARAM)&dis);
    EXPECT_EQ(1, popup.m_nDrawn);
    EXPECT_EQ(0x1234u, popup.m_lastData);
    wnd.SetMenu(nullptr);
    bar.RemoveMenu(0, MF_BYPOSITION);  // the popup object destroys its own menu
}

void CALLBACK CloseMenuLater(HWND, UINT, UINT_PTR nID, DWORD) {
    ::KillTimer(nullptr, nID);
    ::EndMenu();
}

// While TrackPopupMenu runs, Windows measures and draws the owner-drawn items
// through the owner window; a timer closes the menu so nothing waits on a user.
TEST(Menu, RealPopupRoutesOwnerDrawToTheMenuObject) {
    CMenuOwnerWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr, nullptr));
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendMenu(MF_OWNERDRAW, kItem, (LPCSTR)(ULONG_PTR)0x5678));
    ASSERT_TRUE(menu.AppendMenu(MF_OWNERDRAW, kItem + 1, (LPCSTR)(ULONG_PTR)0x9ABC));
    ::SetForegroundWindow(wnd.m_hWnd);
    UINT_PTR nTimer = ::SetTimer(nullptr, 0, 300, CloseMenuLater);
    menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD, 20, 20, &wnd);
    ::KillTimer(nullptr, nTimer);
    EXPECT_EQ(2, menu.m_nMeasured);
    EXPECT_GE(menu.m_nDrawn, 2);
    EXPECT_EQ(nullptr, CMenu::GetTrackingMenu());
}

TEST(Menu, MeasureFindsItemsInTheTrackedMenusSubMenus) {
    CMenuOwnerWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    CMenu top;
    ASSERT_TRUE(top.CreatePopupMenu());
    COwnerDrawMenu sub;
    ASSERT_TRUE(sub.CreatePopupMenu());
    ASSERT_TRUE(sub.AppendMenu(MF_OWNERDRAW, kItem, (LPCSTR)(ULONG_PTR)7));
    ASSERT_TRUE(top.AppendMenu(MF_POPUP, (UINT_PTR)sub.m_hMenu, "sub"));
    EXPECT_EQ(&sub, CMenu::FindPopupMenuFromID(&top, kItem));
    EXPECT_EQ(&top, CMenu::FindPopupMenuFromID(&top, (UINT)(UINT_PTR)sub.m_hMenu));
    EXPECT_EQ(nullptr, CMenu::FindPopupMenuFromID(&top, kItem + 99));
    top.RemoveMenu(0, MF_BYPOSITION);  // the sub-menu object destroys its own menu
}

TEST(Menu, HandleMapsAndLoadingFromResources) {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    EXPECT_EQ(&menu, CMenu::FromHandlePermanent(menu.m_hMenu));
    EXPECT_EQ(1, menu.GetMenuItemCount());
    CMenu* pSub = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, pSub);
    EXPECT_EQ(nullptr, CMenu::FromHandlePermanent(pSub->m_hMenu));  // a temporary wrapper
    EXPECT_EQ(2, pSub->GetMenuItemCount());
    EXPECT_EQ((UINT)ID_TEST_SECOND, pSub->GetMenuItemID(1));
    CString str;
    pSub->GetMenuString(ID_TEST_FIRST, str, MF_BYCOMMAND);
    EXPECT_STREQ("First", str);
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_ID | MIIM_STATE;
    pSub->EnableMenuItem(ID_TEST_SECOND, MF_BYCOMMAND | MF_GRAYED);
    ASSERT_TRUE(pSub->GetMenuItemInfo(1, &mii, TRUE));
    EXPECT_EQ((UINT)ID_TEST_SECOND, mii.wID);
    EXPECT_TRUE(mii.fState & MFS_GRAYED);
    HMENU hMenu = menu.Detach();
    EXPECT_EQ(nullptr, CMenu::FromHandlePermanent(hMenu));
    EXPECT_TRUE(::IsMenu(hMenu));
    CMenu again;
    ASSERT_TRUE(again.Attach(hMenu));
    EXPECT_TRUE(again.DestroyMenu());
    EXPECT_FALSE(::IsMenu(hMenu));
    AfxDeleteTempMaps();
}

// A derived menu keeps its records through a CMenu pointer: the virtuals reach it.
class CRecordingMenu : public CMenu {
public:
    int m_nDestroyed = 0;
    BOOL DestroyMenu() override {
        ++m_nDestroyed;
        return CMenu::DestroyMenu();
    }
};

TEST(Menu, DestroyMenuIsVirtual) {
    CRecordingMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    CMenu* pMenu = &menu;
    EXPECT_TRUE(pMenu->DestroyMenu());
    EXPECT_EQ(1, menu.m_nDestroyed);
}

}  // namespace

// Menu messages: mnemonic keys of owner-drawn items (WM_MENUCHAR), finding the
// menu a WM_MEASUREITEM belongs to, popup open and close bookkeeping, the
// system menu's commands and menu-bar items drawn on hot tracking.
#include "menus/styledmenu.h"

#include <algorithm>

#include "menus/menustyles.h"
#include "menus/menuutil.h"

namespace {
HMENU g_hLastOpenedPopup = nullptr;
ULONG_PTR g_hotMenuBarItem = 0;

std::vector<CStyledMenu*>& SharedMenus() {
    static auto* s_pList = new std::vector<CStyledMenu*>;
    return *s_pList;
}

// The system commands that get a private id while their popup is open (the
// system would otherwise draw its own pictures for them).
const struct {
    UINT nSystem;
    UINT nPrivate;
} kSwappedCommands[] = {{SC_RESTORE, 0xF121}, {SC_CLOSE, 0xF061}, {SC_MINIMIZE, 0xF021}};

// Redraws the area of a menu-bar item (with room for its shadow) in the owner's frame.
void RedrawMenuBarItem(HWND hWndOwner, CRect rc) {
    if (hWndOwner == nullptr || rc.IsRectEmpty())
        return;
    rc.right += 10;
    rc.bottom += 10;
    ::MapWindowPoints(nullptr, hWndOwner, (LPPOINT)&rc, 2);
    ::RedrawWindow(hWndOwner, &rc, nullptr, RDW_INVALIDATE | RDW_FRAME);
}
}  // namespace

HMENU CStyledMenu::GetLastOpenedPopup() { return g_hLastOpenedPopup; }
ULONG_PTR CStyledMenu::GetHotMenuBarItem() { return g_hotMenuBarItem; }
void CStyledMenu::SetHotMenuBarItem(ULONG_PTR itemData) { g_hotMenuBarItem = itemData; }

LRESULT CStyledMenu::HandleMenuChar(UINT nChar, UINT, CMenu* pMenu) {
    CStyledMenu* pStyled = DYNAMIC_DOWNCAST(CStyledMenu, pMenu);
    if (pStyled == nullptr || pStyled->m_hMenu == nullptr)
        return 0;
    char szKey[3] = {'&', (char)(BYTE)nChar, 0};
    CString strKey(szKey);
    strKey.MakeLower();
    if (::GetMenuItemCount(pStyled->m_hMenu) != (int)pStyled->m_items.size())
        pStyled->ConvertToOwnerDrawn();
    for (size_t nPos = 0; nPos < pStyled->m_items.size(); ++nPos) {
        CString strText = pStyled->m_items[nPos]->m_strText;
        strText.MakeLower();
        if (strText.Find(strKey) >= 0)
            return (LRESULT)MAKELONG(nPos, MNC_EXECUTE);
    }
    return 0;
}

BOOL CStyledMenu::OnMeasureItem(const MSG* pMsg) {
    if (pMsg == nullptr || pMsg->message != WM_MEASUREITEM)
        return FALSE;
    auto* lpMIS = reinterpret_cast<LPMEASUREITEMSTRUCT>(pMsg->lParam);
    if (lpMIS == nullptr || lpMIS->CtlType != ODT_MENU)
        return FALSE;
    CMenu* pMenu = nullptr;
    HMENU hItem = (HMENU)(UINT_PTR)lpMIS->itemID;
    if (IsPopupItemID(lpMIS->itemID)) {
        pMenu = CMenu::FromHandlePermanent(hItem);
    } else {
        if (pMsg->hwnd != nullptr && pMsg->hwnd == CMenu::GetTrackingWindow() && CMenu::GetTrackingMenu() != nullptr)
            pMenu = FindMenuOfItem(CMenu::GetTrackingMenu(), lpMIS->itemID, lpMIS->itemData);
        if (pMenu == nullptr && ::GetMenu(pMsg->hwnd) != nullptr)
            pMenu = FindMenuOfItem(::GetMenu(pMsg->hwnd), lpMIS->itemID, lpMIS->itemData);
        if (pMenu == nullptr)
            pMenu = FindMenuOfItem(::GetSystemMenu(pMsg->hwnd, FALSE), lpMIS->itemID, lpMIS->itemData);
        if (pMenu != nullptr)
            pMenu = CMenu::FromHandlePermanent(pMenu->m_hMenu);
    }
    if (pMenu == nullptr)
        return FALSE;
    // A styled menu measures only its own records.
    if (pMenu->IsKindOf(RUNTIME_CLASS(CStyledMenu)) && !CStyledMenuItemData::IsLiveRecord(lpMIS->itemData))
        return FALSE;
    pMenu->MeasureItem(lpMIS);
    return TRUE;
}

void CStyledMenu::OnInitMenuPopup(HWND hWndOwner, CMenu* pPopupMenu, UINT, BOOL) {
    HMENU hPopup = pPopupMenu->GetSafeHmenu();
    g_hLastOpenedPopup = hPopup;
    SetPendingPopupMenu(hPopup);  // for the popup window about to be made
    CStyledMenu* pStyled = FromHandleStyled(hPopup);
    if (pStyled == nullptr)
        return;
    pStyled->m_hOwnerWnd = hWndOwner;
    pStyled->OnInitMenuPopup();
    CStyledMenu* pParent = FromHandleStyled(pStyled->m_hParentMenu);
    if (pParent == nullptr)
        return;
    if (++pParent->m_nOpenCount == 1 && pParent->IsMenuBar())
        RedrawMenuBarItem(hWndOwner, pParent->m_rcMenuBarItem);
}

void CStyledMenu::OnInitMenuPopup() {
    m_bIsPopup = TRUE;
    ConvertToOwnerDrawn();
    if (g_menuLib.nWinVersion == 7)
        for (const auto& c : kSwappedCommands)
            SwapItemCommand(c.nSystem, c.nPrivate);
}

BOOL CStyledMenu::OnUnInitPopupMenu() {
    if (g_menuLib.nWinVersion == 7) {
        BOOL bClose = FALSE;
        for (const auto& c : kSwappedCommands)
            if (SwapItemCommand(c.nPrivate, c.nSystem) && c.nSystem == SC_CLOSE)
                bClose = TRUE;
        if (bClose && m_hOwnerWnd != nullptr)
            ::SetWindowPos(m_hOwnerWnd, nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    CStyledMenu* pParent = FromHandleStyled(m_hParentMenu);
    if (pParent == nullptr)
        return FALSE;
    --pParent->m_nOpenCount;
    if (pParent->m_bIsPopup)
        return FALSE;
    pParent->m_nOpenCount = 0;
    RedrawMenuBarItem(m_hOwnerWnd, pParent->m_rcMenuBarItem);
    return TRUE;
}

CMenu* CStyledMenu::FindMenuOfCommand(HMENU hMenu, UINT_PTR nID) {
    if (hMenu == nullptr || !::IsMenu(hMenu))
        return nullptr;
    const int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; ++i) {
        if (HMENU hSub = ::GetSubMenu(hMenu, i)) {
            if ((UINT_PTR)hSub == nID)
                return CMenu::FromHandle(hMenu);
            if (CMenu* pFound = FindMenuOfCommand(hSub, nID))
                return pFound;
        } else if ((UINT_PTR)::GetMenuItemID(hMenu, i) == nID) {
            return CMenu::FromHandle(hMenu);
        }
    }
    return nullptr;
}

BOOL CStyledMenu::IsPopupItemID(UINT_PTR nItemID) { return HIWORD(nItemID) != 0 && ::IsMenu((HMENU)nItemID); }

CMenu* CStyledMenu::FindMenuOfItem(HMENU hMenu, UINT_PTR nID, ULONG_PTR itemData) {
    if (hMenu == nullptr || !::IsMenu(hMenu))
        return nullptr;
    const int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; ++i) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
        if (!::GetMenuItemInfoA(hMenu, (UINT)i, TRUE, &mii))
            continue;
        const BOOL bSameID = (UINT_PTR)mii.wID == nID || (mii.hSubMenu != nullptr && (UINT_PTR)mii.hSubMenu == nID);
        if (bSameID && mii.dwItemData == itemData)
            return CMenu::FromHandle(hMenu);
        if (mii.hSubMenu != nullptr)
            if (CMenu* pFound = FindMenuOfItem(mii.hSubMenu, nID, itemData))
                return pFound;
    }
    return nullptr;
}

void CStyledMenu::RememberMenuBarItemRect(HDC hDC, const RECT& rcItem) {
    if (!IsMenuBar())
        return;
    CRect rcWindow(0, 0, 0, 0);
    if (HWND hWnd = ::WindowFromDC(hDC))
        ::GetWindowRect(hWnd, &rcWindow);
    m_rcMenuBarItem = rcItem;
    m_rcMenuBarItem.OffsetRect(rcWindow.left, rcWindow.top);
}

BOOL CStyledMenu::DrawMenuBarItem(CWnd* pWnd, CMenu* pMenu, int nPosition, UINT nState) {
    if (pWnd == nullptr || pMenu == nullptr || nPosition < 0)
        return FALSE;
    HMENU hMenu = pMenu->m_hMenu;
    CRect rcItem;
    if (!::GetMenuItemRect(pWnd->m_hWnd, hMenu, (UINT)nPosition, &rcItem))
        return FALSE;
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    if (!::GetMenuItemInfoA(hMenu, (UINT)nPosition, TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW))
        return FALSE;
    CRect rcWindow;
    ::GetWindowRect(pWnd->m_hWnd, &rcWindow);
    rcItem.OffsetRect(-rcWindow.left, -rcWindow.top);
    CWindowDC dc(pWnd);
    CFont font;
    GetMenuFont(font, FALSE);
    CSelectGuard guard(&dc, &font);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = mii.hSubMenu != nullptr ? (UINT)(UINT_PTR)mii.hSubMenu : mii.wID;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = nState;
    dis.hwndItem = (HWND)hMenu;
    dis.hDC = dc.m_hDC;
    dis.rcItem = rcItem;
    dis.itemData = mii.dwItemData;
    g_hotMenuBarItem = mii.dwItemData;
    pWnd->SendMessage(WM_DRAWITEM, 0, (LPARAM)&dis);
    return TRUE;
}

void CStyledMenu::ApplyMenuBarBrush(HMENU hMenu) {
    CMenuBrush* pBrush = GetMenuBarBrush();
    if (pBrush == nullptr)
        return;
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = (HBRUSH)pBrush->m_hObject;
    if (FromHandleStyled(hMenu) != nullptr)
        SetMenuInfoLate(hMenu, &info);
    for (CStyledMenu* pShared : SharedMenus())
        if (pShared->m_hMenu != nullptr)
            SetMenuInfoLate(pShared->m_hMenu, &info);
}

void CStyledMenu::RegisterSharedMenu(CStyledMenu* pMenu) {
    auto& list = SharedMenus();
    if (pMenu != nullptr && std::find(list.begin(), list.end(), pMenu) == list.end())
        list.push_back(pMenu);
}

void CStyledMenu::UnregisterSharedMenu(CStyledMenu* pMenu) {
    auto& list = SharedMenus();
    list.erase(std::remove(list.begin(), list.end(), pMenu), list.end());
}

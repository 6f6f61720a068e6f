#include "afx/afxwin.h"

#include "afx/afxstate.h"

IMPLEMENT_DYNCREATE(CMenu, CObject)

CMenu::~CMenu() { CMenu::DestroyMenu(); }

HMENU CMenu::GetSafeHmenu() const {
    const CMenu* p = AfxLaunder(this);
    return p == nullptr ? nullptr : p->m_hMenu;
}

CMenu* CMenu::FromHandlePermanent(HMENU hMenu) {
    if (hMenu == nullptr)
        return nullptr;
    CAfxThreadState& state = AfxGetThreadState();
    auto it = state.m_permanentMenu.find(hMenu);
    return it != state.m_permanentMenu.end() ? it->second : nullptr;
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
    if (hMenu == nullptr)
        return nullptr;
    if (CMenu* p = FromHandlePermanent(hMenu))
        return p;
    CMenu*& pTemp = AfxGetThreadState().m_temporaryMenu[hMenu];
    if (pTemp == nullptr) {
        pTemp = new CMenu;
        pTemp->m_hMenu = hMenu;
    }
    return pTemp;
}

void CMenu::DeleteTempMap() {
    std::unordered_map<HMENU, CMenu*> temps;
    temps.swap(AfxGetThreadState().m_temporaryMenu);
    for (auto& e : temps) {
        e.second->m_hMenu = nullptr;
        delete e.second;
    }
}

BOOL CMenu::Attach(HMENU hMenu) {
    if (hMenu == nullptr || m_hMenu != nullptr)
        return FALSE;
    if (!AfxGetThreadState().m_permanentMenu.emplace(hMenu, this).second)
        return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU hMenu = m_hMenu;
    if (hMenu != nullptr) {
        auto& map = AfxGetThreadState().m_permanentMenu;
        auto it = map.find(hMenu);
        if (it != map.end() && it->second == this)
            map.erase(it);
    }
    m_hMenu = nullptr;
    return hMenu;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }

BOOL CMenu::LoadMenu(LPCSTR lpszResourceName) {
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, (LPCSTR)RT_MENU);
    return Attach(::LoadMenuA(hInst, lpszResourceName));
}

BOOL CMenu::LoadMenuIndirect(const void* lpMenuTemplate) { return Attach(::LoadMenuIndirectA(lpMenuTemplate)); }

BOOL CMenu::DestroyMenu() {
    if (m_hMenu == nullptr)
        return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const CBitmap* pBmp) {
    return ::AppendMenuA(m_hMenu, nFlags | MF_BITMAP, nIDNewItem, (LPCSTR)pBmp->GetSafeHandle());
}

BOOL CMenu::SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked) {
    return ::SetMenuItemBitmaps(m_hMenu, nPosition, nFlags, (HBITMAP)pBmpUnchecked->GetSafeHandle(),
                                (HBITMAP)pBmpChecked->GetSafeHandle());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
    int nLen = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (nLen < 0)
        nLen = 0;
    int nGot = ::GetMenuStringA(m_hMenu, nIDItem, rString.GetBuffer(nLen), nLen + 1, nFlags);
    rString.ReleaseBuffer(nGot > 0 ? nGot : 0);
    return nGot;
}

HMENU CMenu::GetTrackingMenu() { return AfxGetThreadState().m_hTrackingMenu; }
HWND CMenu::GetTrackingWindow() { return AfxGetThreadState().m_hTrackingWindow; }

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
    CAfxThreadState& state = AfxGetThreadState();
    HMENU hOld = state.m_hTrackingMenu;
    HWND hOldWnd = state.m_hTrackingWindow;
    state.m_hTrackingMenu = m_hMenu;
    state.m_hTrackingWindow = pWnd->GetSafeHwnd();
    BOOL bResult = ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd->GetSafeHwnd(), lpRect);
    AfxGetThreadState().m_hTrackingMenu = hOld;
    AfxGetThreadState().m_hTrackingWindow = hOldWnd;
    return bResult;
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}
void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}

CMenu* CMenu::FindPopupMenuFromID(CMenu* pMenu, UINT nID) {
    if (pMenu == nullptr || pMenu->m_hMenu == nullptr)
        return nullptr;
    HMENU hMenu = pMenu->m_hMenu;
    int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; ++i) {
        if (HMENU hSub = ::GetSubMenu(hMenu, i)) {
            if ((UINT)(UINT_PTR)hSub == nID)
                return FromHandlePermanent(hMenu);
            if (CMenu* pFound = FindPopupMenuFromID(FromHandle(hSub), nID))
                return pFound;
        } else if (::GetMenuItemID(hMenu, i) == nID) {
            return FromHandlePermanent(hMenu);
        }
    }
    return nullptr;
}

// Default owner-draw, colour and scroll handlers: each hands the message to
// the control (or menu) that owns the item, else to the default procedure.
#include "afx/afxwin.h"

#include "afx/afxstate.h"

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (lpDrawItemStruct->CtlType == ODT_MENU) {
        if (CMenu* pMenu = CMenu::FromHandlePermanent((HMENU)lpDrawItemStruct->hwndItem)) {
            pMenu->DrawItem(lpDrawItemStruct);
            return;
        }
    } else if (ReflectLastMsg(lpDrawItemStruct->hwndItem)) {
        return;
    }
    Default();
}

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
    if (lpMeasureItemStruct->CtlType == ODT_MENU) {
        CMenu* pMenu = nullptr;
        UINT nID = lpMeasureItemStruct->itemID;
        if (::IsMenu((HMENU)(UINT_PTR)nID))
            pMenu = CMenu::FromHandlePermanent((HMENU)(UINT_PTR)nID);
        if (pMenu == nullptr && CMenu::GetTrackingMenu() != nullptr)
            pMenu = CMenu::FindPopupMenuFromID(CMenu::FromHandle(CMenu::GetTrackingMenu()), nID);
        if (pMenu == nullptr && ::GetMenu(m_hWnd) != nullptr && !(GetStyle() & WS_CHILD))
            pMenu = CMenu::FindPopupMenuFromID(GetMenu(), nID);
        if (pMenu == nullptr)
            pMenu = CMenu::FindPopupMenuFromID(GetSystemMenu(FALSE), nID);
        if (pMenu != nullptr) {
            pMenu->MeasureItem(lpMeasureItemStruct);
            return;
        }
    } else {
        // The item's window is not in the structure: find the control by its id.
        HWND hWndChild = ::GetDlgItem(m_hWnd, (int)lpMeasureItemStruct->CtlID);
        if (hWndChild != nullptr && ReflectLastMsg(hWndChild))
            return;
    }
    Default();
}

void CWnd::OnDeleteItem(int, LPDELETEITEMSTRUCT lpDeleteItemStruct) {
    if (lpDeleteItemStruct->hwndItem != nullptr && ReflectLastMsg(lpDeleteItemStruct->hwndItem))
        return;
    Default();
}

int CWnd::OnCompareItem(int, LPCOMPAREITEMSTRUCT lpCompareItemStruct) {
    LRESULT lResult = 0;
    if (ReflectLastMsg(lpCompareItemStruct->hwndItem, &lResult))
        return (int)lResult;
    return (int)Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT) {
    LRESULT lResult = 0;
    if (pWnd != nullptr && ReflectLastMsg(pWnd->m_hWnd, &lResult))
        return (HBRUSH)lResult;
    return (HBRUSH)Default();
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar* pScrollBar) {
    if (pScrollBar != nullptr && ReflectLastMsg(((CWnd*)pScrollBar)->m_hWnd))
        return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar* pScrollBar) {
    if (pScrollBar != nullptr && ReflectLastMsg(((CWnd*)pScrollBar)->m_hWnd))
        return;
    Default();
}

// Subclassing of popup-menu windows: the hook, the replacement procedure and
// the way back. A record never outlives its window's subclassing: the window
// loses our procedure, the property and the atom reference when it hides, is
// destroyed, is resized by a move, or when the library ends.
#include "menus/menupopup.h"

#include <cstring>
#include <vector>

#include "menus/menustyles.h"
#include "menus/menuutil.h"
#include "menus/styledframe.h"

namespace {

#ifndef MN_SIZEWINDOW
#define MN_SIZEWINDOW 0x01E2
#endif

// The class name, read into 20 characters, must be the six of pszClass.
bool HasClass(HWND hWnd, const char* pszClass)
{
    char szClass[20] = "";
    return ::GetClassNameA(hWnd, szClass, sizeof(szClass)) == 6 && strcmp(szClass, pszClass) == 0;
}

WNDPROC GetOldProc(HWND hWnd)
{
    return (WNDPROC)::GetPropA(hWnd, STYLEDMENU_OLDPROC_PROP);
}

// Drops the property and our reference on the atom.
void ForgetOldProc(HWND hWnd)
{
    ::RemovePropA(hWnd, STYLEDMENU_OLDPROC_PROP);
    if (ATOM atom = ::GlobalFindAtomA(STYLEDMENU_OLDPROC_PROP))
        ::GlobalDeleteAtom(atom);
}

void AttachToStyle(HWND hWnd)
{
    if (CStyledMenuStyle* pStyle = GetCurrentMenuStyle())
        pStyle->AttachWindow(hWnd);
}

LRESULT PrintFramed(HWND hWnd, CStyledMenuPopupData* pData, CStyledMenuStyle* pStyle, WNDPROC pfnOld,
    HDC hTarget, LPARAM lFlags)
{
    pData->m_dwFlags |= CStyledMenuPopupData::flagPrinting;
    LRESULT lResult = 0;
    CRect rcWindow;
    ::GetWindowRect(hWnd, &rcWindow);
    CDC* pTarget = CDC::FromHandle(hTarget);
    CDC dcMem;
    CBitmap bmp;
    if (dcMem.CreateCompatibleDC(pTarget)
        && bmp.CreateCompatibleBitmap(pTarget, rcWindow.Width(), rcWindow.Height())) {
        CSelectGuard guard(&dcMem, &bmp);
        pStyle->DrawFrame(hWnd, dcMem.m_hDC, FALSE);
        CRect rcInner;
        if (pStyle->GetInnerRect(hWnd, &rcInner)) {
            rcInner.OffsetRect(-rcWindow.left, -rcWindow.top);
            rcInner.DeflateRect(1, 1);
            dcMem.IntersectClipRect(&rcInner);
            lResult = ::CallWindowProcA(
                pfnOld, hWnd, WM_PRINT, (WPARAM)dcMem.m_hDC, lFlags & ~(LPARAM)PRF_NONCLIENT);
            pTarget->BitBlt(0, 0, rcWindow.Width(), rcWindow.Height(), &dcMem, 0, 0, SRCCOPY);
            CRect rcClient;
            ::GetClientRect(hWnd, &rcClient);
            dcMem.SelectClipRgn(nullptr);
            dcMem.IntersectClipRect(&rcClient);
            ::SendMessageA(hWnd, WM_ERASEBKGND, (WPARAM)dcMem.m_hDC, 0);
            ::SendMessageA(hWnd, WM_PRINTCLIENT, (WPARAM)dcMem.m_hDC, lFlags);
            POINT ptClient = { 0, 0 };
            ::ClientToScreen(hWnd, &ptClient);
            pTarget->BitBlt(ptClient.x - rcWindow.left, ptClient.y - rcWindow.top, rcClient.Width() - 1,
                rcClient.Height(), &dcMem, 0, 0, SRCCOPY);
        }
    }
    pData->m_dwFlags &= ~(DWORD)CStyledMenuPopupData::flagPrinting;
    return lResult;
}

} // namespace

LRESULT CALLBACK MenuCallWndProcHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    const auto* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && pMsg != nullptr) {
        if (PFN_MENUHOOKHANDLER pfnHandler = GetMenuHookHandler())
            pfnHandler(pMsg);
        if (pMsg->message == WM_CREATE || pMsg->message == MN_SIZEWINDOW) {
            if (!SubclassMenuPopup(pMsg->hwnd, pMsg->message == MN_SIZEWINDOW) && pMsg->message == WM_CREATE
                && (GetMenuOptions() & STYLEDMENU_OPT_DIALOGHANDLER) && HasClass(pMsg->hwnd, "#32770"))
                new CStyledMenuTempHandler(pMsg->hwnd); // deletes itself at WM_DESTROY
        }
    }
    return ::CallNextHookEx(g_menuLib.hHook, nCode, wParam, lParam);
}

BOOL SubclassMenuPopup(HWND hWnd, BOOL bFromSizeMessage)
{
    if (!HasClass(hWnd, "#32768"))
        return FALSE;
    BOOL bSubclassed = FALSE;
    if (FindPopupData(hWnd) == nullptr) {
        WNDPROC pfnOld = (WNDPROC)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
        // A window that already carries the property belongs to another subclasser: left alone.
        if (pfnOld != nullptr && GetOldProc(hWnd) == nullptr) {
            if (!::SetPropA(hWnd, STYLEDMENU_OLDPROC_PROP, (HANDLE)pfnOld))
                ShowLastError();
            if (GetOldProc(hWnd) == pfnOld) {
                ::GlobalAddAtomA(STYLEDMENU_OLDPROC_PROP);
                AddPopupData(hWnd, bFromSizeMessage ? CStyledMenuPopupData::flagLate : 0);
                ::SetLastError(0);
                if (::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)MenuPopupWndProc) == 0) {
                    ShowLastError();
                    // Not subclassed after all: no record and no property for a window we never got.
                    RemovePopupData(hWnd);
                    ForgetOldProc(hWnd);
                    return FALSE;
                }
                AttachToStyle(hWnd);
                bSubclassed = TRUE;
            }
        }
    }
    // The menu was announced after the window was made.
    if (GetPendingPopupMenu() != nullptr) {
        if (CStyledMenuPopupData* pData = FindPopupData(hWnd)) {
            pData->TakePendingMenu();
            AttachToStyle(hWnd);
        }
    }
    return bSubclassed;
}

void UnsubclassMenuPopup(HWND hWnd)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (WNDPROC pfnOld = GetOldProc(hWnd)) {
        // Someone who subclassed the popup after us still calls our procedure: it
        // keeps the property to reach the old one until the window is destroyed.
        if ((WNDPROC)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == MenuPopupWndProc) {
            ::SetLastError(0);
            if (::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)pfnOld) == 0)
                ShowLastError();
            ForgetOldProc(hWnd);
        }
    }
    if (FindPopupData(hWnd) != nullptr) {
        if (CStyledMenuStyle* pStyle = GetCurrentMenuStyle())
            pStyle->DetachWindow(hWnd);
        RemovePopupData(hWnd);
    }
}

void UnsubclassAllMenuPopups()
{
    std::vector<HWND> windows;
    ForEachPopupData([&](HWND hWnd) { windows.push_back(hWnd); });
    for (HWND hWnd : windows)
        UnsubclassMenuPopup(hWnd);
    RemoveAllPopupData();
}

LRESULT CALLBACK MenuPopupWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    WNDPROC pfnOld = GetOldProc(hWnd);
    CStyledMenuPopupData* pData = FindPopupData(hWnd);
    if (pData == nullptr) {
        if (pfnOld == nullptr)
            return ::DefWindowProcA(hWnd, message, wParam, lParam);
        if (message == WM_NCDESTROY)
            ForgetOldProc(hWnd); // the property a later subclasser made us keep
        return ::CallWindowProcA(pfnOld, hWnd, message, wParam, lParam);
    }
    CStyledMenuStyle* pStyle = GetCurrentMenuStyle();
    const BOOL bEnabled = pData->m_bEnabled && pStyle != nullptr;
    const BOOL bFrame = bEnabled && pStyle->DrawsFrame();
    BOOL bPassOn = TRUE;
    LRESULT lResult = 0;
    switch (message) {
    case WM_NCCALCSIZE:
        if (bEnabled && pStyle->AdjustClientArea(hWnd, reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)))
            bPassOn = FALSE;
        break;
    case WM_ERASEBKGND:
        if (bEnabled) {
            if (bFrame && !(pData->m_dwFlags & CStyledMenuPopupData::flagPrinting)
                && !pData->m_bFramePainted) {
                pData->m_bFramePainted = TRUE;
                ::SendMessageA(hWnd, WM_NCPAINT, 1, 0);
            }
            if (pStyle->EraseBackground(hWnd, (HDC)wParam)) {
                bPassOn = FALSE;
                lResult = 1;
            }
        }
        break;
    case WM_SHOWWINDOW:
        if (!wParam)
            UnsubclassMenuPopup(hWnd);
        break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED: {
        auto* pPos = reinterpret_cast<WINDOWPOS*>(lParam);
        // Where the window is made before its menu is announced and no 0x01E2
        // follows (Wine), the menu announced since is this window's: it is being
        // placed for it now.
        if (message == WM_WINDOWPOSCHANGING && pData->m_hMenu == nullptr
            && GetPendingPopupMenu() != nullptr) {
            pData->TakePendingMenu();
            AttachToStyle(hWnd);
        }
        if (message == WM_WINDOWPOSCHANGING && pStyle != nullptr)
            pStyle->AdjustWindowPos(hWnd, pPos);
        if (pPos == nullptr || (pPos->flags & SWP_NOMOVE))
            break;
        const CPoint pt(pPos->x, pPos->y);
        if (pData->m_ptPosition == CPoint(0, 0)) {
            pData->m_ptPosition = pt;
        } else if (pData->m_ptPosition != pt) {
            if (pPos->flags & SWP_NOSIZE) {
                pData->m_ptPosition = pt;
                pData->m_bmpBackground.DeleteObject(); // captured again at the next paint
            } else {
                UnsubclassMenuPopup(hWnd);
            }
        }
        break;
    }
    case WM_NCDESTROY:
        UnsubclassMenuPopup(hWnd);
        break;
    case WM_NCPAINT:
        if (bEnabled) {
            if (pData->m_dwFlags & CStyledMenuPopupData::flagPrinting)
                bPassOn = FALSE;
            if (pData->m_bFramePainted && bFrame) {
                if (HDC hDC = ::GetWindowDC(hWnd)) {
                    CRect rcInner;
                    if (pStyle->DrawFrame(hWnd, hDC, FALSE) && pStyle->GetInnerRect(hWnd, &rcInner)) {
                        rcInner.DeflateRect(1, 1);
                        CRgn rgn;
                        rgn.CreateRectRgnIndirect(&rcInner);
                        lResult = ::CallWindowProcA(pfnOld, hWnd, WM_NCPAINT, (WPARAM)rgn.m_hObject, 0);
                        bPassOn = FALSE;
                        pStyle->DrawFrame(hWnd, hDC, TRUE);
                    }
                    ::ReleaseDC(hWnd, hDC);
                }
            }
            if (bFrame && bPassOn) {
                if (HDC hDC = ::GetWindowDC(hWnd)) {
                    pStyle->CaptureBackground(hWnd, hDC);
                    ::ReleaseDC(hWnd, hDC);
                }
            }
        }
        break;
    case WM_KEYDOWN:
        SetLastKeyDownPos(::GetMessagePos());
        break;
    case WM_PRINT:
        if (bFrame) {
            lResult = PrintFramed(hWnd, pData, pStyle, pfnOld, (HDC)wParam, lParam);
            bPassOn = FALSE;
        }
        break;
    default:
        break;
    }
    if (bPassOn)
        lResult = ::CallWindowProcA(pfnOld, hWnd, message, wParam, lParam);
    return lResult;
}

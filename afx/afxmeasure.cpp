#include "afx/afxmeasure.h"

#include "afx/afxwin.h"

namespace {

thread_local HHOOK t_hMeasureHook = nullptr;
thread_local int t_nMeasureScopes = 0;

LRESULT CALLBACK AfxMeasureHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION) {
        const CWPSTRUCT* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        // A parent of this layer routes the request itself (CWnd::OnMeasureItem).
        if (pMsg->message == WM_MEASUREITEM && pMsg->lParam != 0 && CWnd::FromHandlePermanent(pMsg->hwnd) == nullptr) {
            const MEASUREITEMSTRUCT* pMis = reinterpret_cast<const MEASUREITEMSTRUCT*>(pMsg->lParam);
            if (pMis->CtlType == ODT_LISTVIEW) {
                HWND hControl = ::GetDlgItem(pMsg->hwnd, (int)pMis->CtlID);
                if (CWnd* pControl = CWnd::FromHandlePermanent(hControl))
                    pControl->OnChildNotify(WM_MEASUREITEM, pMsg->wParam, pMsg->lParam, nullptr);
            }
        }
    }
    return ::CallNextHookEx(t_hMeasureHook, nCode, wParam, lParam);
}

} // namespace

CAfxMeasureRouting::CAfxMeasureRouting(HWND hControl)
{
    HWND hParent = ::GetParent(hControl);
    if (hParent == nullptr || CWnd::FromHandlePermanent(hParent) != nullptr)
        return;
    if (t_nMeasureScopes++ == 0)
        t_hMeasureHook = ::SetWindowsHookExA(WH_CALLWNDPROC, AfxMeasureHook, nullptr, ::GetCurrentThreadId());
    m_bInstalled = true;
}

CAfxMeasureRouting::~CAfxMeasureRouting()
{
    if (!m_bInstalled || --t_nMeasureScopes > 0)
        return;
    if (t_hMeasureHook != nullptr)
        ::UnhookWindowsHookEx(t_hMeasureHook);
    t_hMeasureHook = nullptr;
}

void AfxForceMeasureItem(HWND hWnd)
{
    RECT rc;
    if (hWnd == nullptr || !::GetWindowRect(hWnd, &rc))
        return;
    WINDOWPOS wp = {};
    wp.hwnd = hWnd;
    wp.cx = rc.right - rc.left;
    wp.cy = rc.bottom - rc.top;
    wp.flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    CAfxMeasureRouting routing(hWnd);
    ::SendMessageA(hWnd, WM_WINDOWPOSCHANGED, 0, (LPARAM)&wp);
}

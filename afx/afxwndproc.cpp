// Message dispatch: the window procedure, message maps, and reflection of
// notifications to the child that sent them.
#include "afx/afxwin.h"

#include "afx/afxstate.h"
#include "afx/afxworker.h"

// --- dispatch --------------------------------------------------------------

UINT AfxGetForeignDestroyMessage() {
    static const UINT s_nMessage = ::RegisterWindowMessageA("VeltranAfxForeignDestroy");
    return s_nMessage;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    if (message == AfxGetForeignDestroyMessage() && (CWnd*)lParam == pWnd) {
        // ~CWnd ran on another thread, which waits in SendMessage: only the
        // CWnd part of the object is left, so only CWnd's handlers run.
        pWnd->CWnd::DestroyWindow();
        if (CWnd* pStill = CWnd::FromHandlePermanent(hWnd))
            pStill->Detach();
        return 1;
    }
    CAfxThreadState& state = AfxGetThreadState();
    MSG oldMsg = state.m_lastSentMsg;
    state.m_lastSentMsg.hwnd = hWnd;
    state.m_lastSentMsg.message = message;
    state.m_lastSentMsg.wParam = wParam;
    state.m_lastSentMsg.lParam = lParam;
    ++state.m_nDispatchDepth;
    LRESULT lResult = pWnd->WindowProc(message, wParam, lParam);
    // pWnd may have been deleted by its handler; from here only the handle is used.
    if (message == WM_NCDESTROY) {
        AfxDiscardResults(hWnd);
        if (CWnd* pStill = CWnd::FromHandlePermanent(hWnd)) {
            pStill->m_pfnSuper = nullptr;  // a derived OnNcDestroy did not chain to ours
            pStill->Detach();
            pStill->PostNcDestroy();
        }
    }
    --state.m_nDispatchDepth;
    state.m_lastSentMsg = oldMsg;
    return lResult;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG& msg = AfxGetThreadState().m_lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

const MSG* CWnd::GetCurrentMessage() { return &AfxGetThreadState().m_lastSentMsg; }

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        NMHDR* pNMHDR = (NMHDR*)lParam;
        if (pNMHDR == nullptr || pNMHDR->hwndFrom == nullptr)
            return FALSE;
        LRESULT lResult = 0;
        if (!OnNotify(wParam, lParam, &lResult))
            return FALSE;
        *pResult = lResult;
        return TRUE;
    }
    return DispatchMessageToMap(message, wParam, lParam, pResult);
}

BOOL CWnd::DispatchMessageToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT lResult = 0;
    AFX_MSGCALL call{message, wParam, lParam, 0, 0, nullptr, &lResult};
    UINT nKey = message;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        nKey = WM_CTLCOLOR;
        call.nCode = message - WM_CTLCOLORMSGBOX;
    } else if (message >= 0xC000 && message <= 0xFFFF) {
        nKey = AFX_REGISTERED_MESSAGE;
    }
    if (!DispatchFromMap(nKey, 0, 0, call))
        return FALSE;
    *pResult = lResult;
    return TRUE;
}

// Sends a message to a permanent child as a notification it may handle itself.
static BOOL AfxReflectToChild(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    CWnd* pChild = CWnd::FromHandlePermanent(hWndChild);
    if (pChild == nullptr)
        return FALSE;
    return pChild->OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = (HWND)lParam;
    int nCode = HIWORD(wParam);
    if (hWndCtrl == nullptr) {
        if (nID == 0)
            return FALSE;
        nCode = 0;  // menus and accelerators are plain commands
    } else {
        if (AfxReflectToChild(hWndCtrl, WM_COMMAND, wParam, lParam, nullptr))
            return TRUE;  // the control handled its own notification
        if (nID == 0)
            return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    NMHDR* pNMHDR = (NMHDR*)lParam;
    if (AfxReflectToChild(pNMHDR->hwndFrom, WM_NOTIFY, pNMHDR->idFrom, lParam, pResult))
        return TRUE;
    return OnCmdMsg((UINT)pNMHDR->idFrom, MAKELONG(pNMHDR->code & 0xFFFF, WM_NOTIFY), pNMHDR, pResult);
}

BOOL CWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, LRESULT* pResult) {
    return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT lResult = 0;
    AFX_MSGCALL call{WM_REFLECT_BASE + message, wParam, lParam, 0, 0, nullptr, &lResult};
    BOOL bHandled = FALSE;
    switch (message) {
    case WM_COMMAND:
        bHandled = DispatchFromMap(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0, call);
        break;
    case WM_NOTIFY: {
        NMHDR* pNMHDR = (NMHDR*)lParam;
        call.pExtra = pNMHDR;
        call.nCode = pNMHDR->code;
        bHandled = DispatchFromMap(WM_REFLECT_BASE + WM_NOTIFY, pNMHDR->code, 0, call);
        break;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        call.message = WM_REFLECT_BASE + WM_CTLCOLOR;
        call.nCode = message - WM_CTLCOLORMSGBOX;
        bHandled = DispatchFromMap(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, call);
        break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
        bHandled = DispatchFromMap(WM_REFLECT_BASE + message, 0, 0, call);
        break;
    default:
        break;
    }
    if (bHandled && pResult != nullptr)
        *pResult = lResult;
    return bHandled;
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
    const MSG& msg = AfxGetThreadState().m_lastSentMsg;
    return AfxReflectToChild(hWndChild, msg.message, msg.wParam, msg.lParam, pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult) {
    const MSG& msg = AfxGetThreadState().m_lastSentMsg;
    return OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

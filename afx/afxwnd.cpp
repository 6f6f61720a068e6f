#include "afx/afxwin.h"

#include <algorithm>
#include <vector>

#include "afx/afxstate.h"

// --- thread state ----------------------------------------------------------

CAfxThreadState::~CAfxThreadState() {
    for (auto& e : m_temporaryWnd) {
        e.second->m_hWnd = nullptr;
        delete e.second;
    }
    if (m_hHookCbt != nullptr)
        ::UnhookWindowsHookEx(m_hHookCbt);
}

CAfxThreadState& AfxGetThreadState() {
    static thread_local CAfxThreadState s_state;
    return s_state;
}

// --- CCmdTarget ----------------------------------------------------------

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::DispatchFromMap(UINT nMessage, UINT nCode, UINT nID, AFX_MSGCALL& call) {
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap != nullptr ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->pfn != nullptr; ++e) {
            if (e->nMessage == nMessage && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID) {
                // The handler may delete this object: nothing below touches it.
                if (e->pfn(this, call))
                    return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, LRESULT* pResult) {
    LRESULT lDummy = 0;
    AFX_MSGCALL call{WM_COMMAND, 0, 0, nID, 0, pExtra, pResult != nullptr ? pResult : &lDummy};
    if (nCode == -1)  // command-UI update
        return DispatchFromMap(AFX_WM_COMMANDUI, 0, nID, call);
    if (HIWORD(nCode) == WM_NOTIFY && pExtra != nullptr) {
        UINT code = static_cast<NMHDR*>(pExtra)->code;
        call.message = WM_NOTIFY;
        call.nCode = code;
        return DispatchFromMap(WM_NOTIFY, code, nID, call);
    }
    call.nCode = (UINT)(WORD)nCode;
    return DispatchFromMap(WM_COMMAND, (UINT)(WORD)nCode, nID, call);
}

// --- CCmdUI --------------------------------------------------------------

void CCmdUI::Enable(BOOL bOn) {
    if (m_pMenu != nullptr) {
        if (m_pSubMenu == nullptr)
            m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther != nullptr) {
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck) {
    if (m_pMenu != nullptr) {
        if (m_pSubMenu == nullptr)
            m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther != nullptr && (m_pOther->SendMessage(WM_GETDLGCODE) & DLGC_BUTTON)) {
        m_pOther->SendMessage(BM_SETCHECK, nCheck);
    }
}

void CCmdUI::SetRadio(BOOL bOn) { SetCheck(bOn ? 1 : 0); }

void CCmdUI::SetText(LPCSTR lpszText) {
    if (m_pMenu != nullptr) {
        if (m_pSubMenu != nullptr)
            return;
        UINT nState = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED | MF_DISABLED);
        m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | nState, m_nID, lpszText);
    } else if (m_pOther != nullptr) {
        m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF)
        return TRUE;  // separators and sub-menus are left alone
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, -1, this, nullptr);
    if (!bResult && bDisableIfNoHndler && !m_bEnableChanged)
        Enable(FALSE);
    return bResult;
}

// --- CWnd ----------------------------------------------------------------

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_DELETEITEM()
    ON_WM_COMPAREITEM()
    ON_WM_CTLCOLOR()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

CWnd::~CWnd() {
    if (m_hWnd == nullptr || (m_nFlags & WF_TEMPORARY))
        return;
    CAfxThreadState& state = AfxGetThreadState();
    auto it = state.m_permanentWnd.find(m_hWnd);
    if (it != state.m_permanentWnd.end() && it->second == this) {
        if (::IsWindow(m_hWnd) && ::GetWindowThreadProcessId(m_hWnd, nullptr) == ::GetCurrentThreadId())
            DestroyWindow();  // only CWnd's own handlers run now: the derived part is gone
        if (m_hWnd != nullptr)
            Detach();
    }
}

HWND CWnd::GetSafeHwnd() const {
    const CWnd* p = AfxLaunder(this);
    return p == nullptr ? nullptr : p->m_hWnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (hWnd == nullptr)
        return nullptr;
    CAfxThreadState& state = AfxGetThreadState();
    auto it = state.m_permanentWnd.find(hWnd);
    return it != state.m_permanentWnd.end() ? it->second : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr)
        return nullptr;
    if (CWnd* p = FromHandlePermanent(hWnd))
        return p;
    CAfxThreadState& state = AfxGetThreadState();
    CWnd*& pTemp = state.m_temporaryWnd[hWnd];
    if (pTemp == nullptr) {
        pTemp = new CWnd;
        pTemp->m_hWnd = hWnd;
        pTemp->m_nFlags |= WF_TEMPORARY;
    }
    return pTemp;
}

void CWnd::DeleteTempMap() {
    CAfxThreadState& state = AfxGetThreadState();
    std::unordered_map<HWND, CWnd*> temps;
    temps.swap(state.m_temporaryWnd);
    for (auto& e : temps) {
        e.second->m_hWnd = nullptr;
        delete e.second;
    }
}

int AfxGetTempWndCount() { return (int)AfxGetThreadState().m_temporaryWnd.size(); }

BOOL CWnd::Attach(HWND hWndNew) {
    if (hWndNew == nullptr || m_hWnd != nullptr)
        return FALSE;
    CAfxThreadState& state = AfxGetThreadState();
    if (!state.m_permanentWnd.emplace(hWndNew, this).second)
        return FALSE;  // another object already owns this window
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        CAfxThreadState& state = AfxGetThreadState();
        auto it = state.m_permanentWnd.find(hWnd);
        if (it != state.m_permanentWnd.end() && it->second == this)
            state.m_permanentWnd.erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC pfnOld = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    if (pfnOld != AfxWndProc)
        m_pfnSuper = pfnOld;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), (int)nID);
    return hWndControl != nullptr && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow() {
    if (m_hWnd == nullptr)
        return nullptr;
    if (m_pfnSuper != nullptr)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = nullptr;
    return Detach();
}

// --- creation --------------------------------------------------------------

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    CAfxThreadState& state = AfxGetThreadState();
    if (code != HCBT_CREATEWND || state.m_pWndInit == nullptr)
        return ::CallNextHookEx(state.m_hHookCbt, code, wParam, lParam);
    HWND hWnd = (HWND)wParam;
    // The input method's helper windows are created on the fly; they are not ours.
    char szClass[16] = "";
    ::GetClassNameA(hWnd, szClass, sizeof(szClass));
    if (lstrcmpiA(szClass, "IME") == 0)
        return ::CallNextHookEx(state.m_hHookCbt, code, wParam, lParam);

    CWnd* pWnd = state.m_pWndInit;
    state.m_pWndInit = nullptr;
    pWnd->SubclassWindow(hWnd);
    return ::CallNextHookEx(state.m_hHookCbt, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd) {
    CAfxThreadState& state = AfxGetThreadState();
    if (state.m_hHookCbt == nullptr)
        state.m_hHookCbt = ::SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    state.m_pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate() {
    CAfxThreadState& state = AfxGetThreadState();
    if (state.m_hHookCbt != nullptr) {
        ::UnhookWindowsHookEx(state.m_hHookCbt);
        state.m_hHookCbt = nullptr;
    }
    BOOL bAttached = state.m_pWndInit == nullptr;
    state.m_pWndInit = nullptr;
    return bAttached;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                           (HBRUSH)(COLOR_WINDOW + 1));
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
    if (m_hWnd != nullptr)
        return FALSE;
    CREATESTRUCT cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = (LONG)dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, (DWORD)cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    AfxUnhookWindowCreate();
    // On failure after WM_NCCREATE the window went through WM_NCDESTROY already.
    return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd->GetSafeHwnd(), (HMENU)(UINT_PTR)nID, lpParam);
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, void*) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, nullptr);
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr)
        return FALSE;
    HWND hWnd = m_hWnd;
    const bool bTemporary = (m_nFlags & WF_TEMPORARY) != 0;
    BOOL bResult = ::DestroyWindow(hWnd);
    // A permanent object may be gone now (PostNcDestroy): only the map is read.
    if (bTemporary) {
        m_hWnd = nullptr;
    } else if (CWnd* pStill = FromHandlePermanent(hWnd)) {
        pStill->Detach();  // attached without our window procedure: no WM_NCDESTROY reached it
    }
    return bResult;
}

void CWnd::PostNcDestroy() {}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT) {
    ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, GetExStyle());
}

void CWnd::OnNcDestroy() {
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this) {
        pApp->m_pMainWnd = nullptr;
        AfxPostQuitMessage(0);
    }
    Default();
    if (m_pfnSuper != nullptr)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = nullptr;
    Detach();
    PostNcDestroy();  // may delete this
}

// --- dispatch --------------------------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
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

// --- default owner-draw, colour and scroll handlers ------------------------

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

// --- members -------------------------------------------------------------

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm) {
    for (HWND hChild = ::GetTopWindow(m_hWnd); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (!bOnlyPerm || CWnd::FromHandlePermanent(hChild) != nullptr)
            ::SendMessageA(hChild, message, wParam, lParam);
        if (bDeep && ::GetTopWindow(hChild) != nullptr) {
            CWnd wndChild(hChild);
            wndChild.SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
            wndChild.m_hWnd = nullptr;
        }
    }
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
    if (lpszCaption == nullptr) {
        CWinApp* pApp = AfxGetApp();
        lpszCaption = pApp != nullptr && pApp->m_pszAppName != nullptr ? pApp->m_pszAppName : "Error";
    }
    return AfxGetSeams()->MessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

// nIndex is GWL_STYLE or GWL_EXSTYLE.
static BOOL AfxModifyStyle(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD dwStyle = (DWORD)::GetWindowLongA(hWnd, nIndex);
    DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle)
        return FALSE;
    ::SetWindowLongA(hWnd, nIndex, (LONG)dwNewStyle);
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return AfxModifyStyle(hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return AfxModifyStyle(hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) { return ModifyStyle(m_hWnd, dwRemove, dwAdd, nFlags); }
BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyStyleEx(m_hWnd, dwRemove, dwAdd, nFlags);
}

CString AfxGetWindowText(HWND hWnd) {
    CString str;
    if (hWnd == nullptr)
        return str;
    int nLen = ::GetWindowTextLengthA(hWnd);
    int nGot = ::GetWindowTextA(hWnd, str.GetBuffer(nLen), nLen + 1);
    str.ReleaseBuffer(nGot > 0 ? nGot : 0);
    return str;
}

CString AfxGetListText(HWND hWnd, UINT nLenMsg, UINT nTextMsg, int nIndex) {
    CString str;
    int nLen = (int)::SendMessageA(hWnd, nLenMsg, (WPARAM)nIndex, 0);
    if (nLen > 0) {
        int nGot = (int)::SendMessageA(hWnd, nTextMsg, (WPARAM)nIndex, (LPARAM)str.GetBuffer(nLen));
        str.ReleaseBuffer(nGot > 0 && nGot <= nLen ? nGot : 0);
    }
    return str;
}

void CWnd::GetWindowText(CString& rString) const { rString = AfxGetWindowText(m_hWnd); }

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString = AfxGetWindowText(::GetDlgItem(m_hWnd, nID));
    return rString.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) { SendMessage(WM_SETFONT, (WPARAM)pFont->GetSafeHandle(), bRedraw); }

CFont* CWnd::GetFont() const { return CFont::FromHandle((HFONT)SendMessage(WM_GETFONT)); }

void CWnd::ClientToScreen(LPRECT lpRect) const { ::MapWindowPoints(m_hWnd, nullptr, (LPPOINT)lpRect, 2); }
void CWnd::ScreenToClient(LPRECT lpRect) const { ::MapWindowPoints(nullptr, m_hWnd, (LPPOINT)lpRect, 2); }

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    RECT rcArea;
    RECT rcCenter;
    RECT rcWindow;
    ::GetWindowRect(m_hWnd, &rcWindow);
    DWORD dwStyle = GetStyle();
    if (dwStyle & WS_CHILD) {
        HWND hParent = ::GetParent(m_hWnd);
        ::GetClientRect(hParent, &rcArea);
        ::MapWindowPoints(hParent, nullptr, (LPPOINT)&rcArea, 2);
        // An alternate window (a sibling, say) is the centre; the parent still bounds it.
        if (pAlternateOwner->GetSafeHwnd() != nullptr)
            ::GetWindowRect(pAlternateOwner->m_hWnd, &rcCenter);
        else
            rcCenter = rcArea;
    } else {
        HWND hOwner = pAlternateOwner != nullptr ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0);
        if (hOwner != nullptr && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner))
            ::GetWindowRect(hOwner, &rcCenter);
        else
            rcCenter = rcArea;
    }
    int cx = rcWindow.right - rcWindow.left;
    int cy = rcWindow.bottom - rcWindow.top;
    int x = (rcCenter.left + rcCenter.right) / 2 - cx / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - cy / 2;
    // Keep the window inside the area it is centred in.
    x = std::max<int>(rcArea.left, std::min<int>(x, rcArea.right - cx));
    y = std::max<int>(rcArea.top, std::min<int>(y, rcArea.bottom - cy));
    if (dwStyle & WS_CHILD) {
        POINT pt = {x, y};
        ::ScreenToClient(::GetParent(m_hWnd), &pt);
        x = pt.x;
        y = pt.y;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CWnd* CWnd::GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }

CWnd* CWnd::GetTopLevelParent() const {
    HWND hTop = ::GetAncestor(m_hWnd, GA_ROOT);
    return FromHandle(hTop);
}

void CWnd::InvalidateRgn(CRgn* pRgn, BOOL bErase) { ::InvalidateRgn(m_hWnd, (HRGN)pRgn->GetSafeHandle(), bErase); }

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, (HRGN)prgnUpdate->GetSafeHandle(), flags);
}

CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
int CWnd::ReleaseDC(CDC* pDC) { return ::ReleaseDC(m_hWnd, pDC->GetSafeHdc()); }

void CWnd::DragAcceptFiles(BOOL bAccept) { ::DragAcceptFiles(m_hWnd, bAccept); }

int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) {
    for (int nID = nIDFirstButton; nID <= nIDLastButton; ++nID)
        if (::IsDlgButtonChecked(m_hWnd, nID))
            return nID;
    return 0;
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu->GetSafeHmenu()); }
CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }

// --- deferred deletion and temporaries ------------------------------------

void AfxDeleteLater(CObject* pObject) {
    if (pObject == nullptr)
        return;
    std::vector<CObject*>& list = AfxGetThreadState().m_deferredDeletes;
    if (std::find(list.begin(), list.end(), pObject) == list.end())
        list.push_back(pObject);
}

int AfxFlushDeferredDeletes() {
    CAfxThreadState& state = AfxGetThreadState();
    if (state.m_nDispatchDepth > 0)
        return 0;
    int nDeleted = 0;
    // Destructors may defer further objects; loop until the list stays empty.
    while (!state.m_deferredDeletes.empty()) {
        std::vector<CObject*> list;
        list.swap(state.m_deferredDeletes);
        for (CObject* p : list) {
            delete p;
            ++nDeleted;
        }
    }
    return nDeleted;
}

int AfxGetDispatchDepth() { return AfxGetThreadState().m_nDispatchDepth; }

void AfxDeleteTempMaps() {
    CWnd::DeleteTempMap();
    CMenu::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CImageList::DeleteTempMap();
}

HWND AfxGetSafeOwner(CWnd* pParent, HWND* phWndTop) {
    HWND hWnd = pParent->GetSafeHwnd();
    if (hWnd == nullptr)
        hWnd = AfxGetMainWnd()->GetSafeHwnd();
    // A popup cannot be owned by a child window.
    while (hWnd != nullptr && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    HWND hWndTop = hWnd;
    for (HWND h = hWnd; h != nullptr; h = ::GetParent(h))
        hWndTop = h;
    if (pParent->GetSafeHwnd() == nullptr && hWnd != nullptr)
        hWnd = ::GetLastActivePopup(hWnd);
    if (phWndTop != nullptr) {
        *phWndTop = nullptr;
        if (hWndTop != nullptr && hWndTop != hWnd && ::IsWindowEnabled(hWndTop)) {
            *phWndTop = hWndTop;
            ::EnableWindow(hWndTop, FALSE);
        }
    }
    return hWnd;
}

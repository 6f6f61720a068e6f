// Creating and destroying windows: the creation hook ties a CWnd to its window
// before the window sees its first message.
#include "afx/afxwin.h"

#include "afx/afxstate.h"

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

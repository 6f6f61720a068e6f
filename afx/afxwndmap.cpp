// Which CWnd owns which window: the handle maps, attaching and subclassing.
#include "afx/afxwin.h"

#include <unordered_map>

#include "afx/afxstate.h"

CWnd::~CWnd() {
    if (m_hWnd == nullptr || (m_nFlags & WF_TEMPORARY))
        return;
    DWORD dwProcessId = 0;
    DWORD dwThreadId = ::IsWindow(m_hWnd) ? ::GetWindowThreadProcessId(m_hWnd, &dwProcessId) : 0;
    if (dwThreadId != 0 && dwThreadId != ::GetCurrentThreadId() && dwProcessId == ::GetCurrentProcessId()) {
        // A window and its handle map belong to the thread that made it: that
        // thread destroys it while this one waits. A window attached without
        // our procedure cannot be asked and stays as it is.
        ::SendMessageA(m_hWnd, AfxGetForeignDestroyMessage(), 0, (LPARAM)this);
        if (m_hWnd != nullptr)
            Detach();  // attached here, on this thread, to that thread's window
        return;
    }
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

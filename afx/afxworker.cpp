#include "afx/afxwin.h"
#include "afx/afxworker.h"

#include <unordered_set>

namespace {

// Results on their way; workers and the user-interface thread both reach it.
struct CResultRegistry {
    CCriticalSection m_lock;
    std::unordered_set<CAfxPostedResult*> m_pending;
};

CResultRegistry& Registry() {
    // Never destroyed: global windows that go in static destruction still ask it.
    static CResultRegistry* s_pRegistry = new CResultRegistry;
    return *s_pRegistry;
}

}  // namespace

DWORD AfxWaitPumping(HANDLE hObject, DWORD dwTimeoutMs) {
    const DWORD dwStart = ::GetTickCount();
    BOOL bQuit = FALSE;
    int nQuitCode = 0;
    DWORD dwResult = WAIT_TIMEOUT;
    for (;;) {
        DWORD dwLeft = INFINITE;
        if (dwTimeoutMs != INFINITE) {
            DWORD dwSpent = ::GetTickCount() - dwStart;
            dwLeft = dwSpent >= dwTimeoutMs ? 0 : dwTimeoutMs - dwSpent;
        }
        dwResult = ::MsgWaitForMultipleObjects(1, &hObject, FALSE, dwLeft, QS_ALLINPUT);
        if (dwResult != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                bQuit = TRUE;
                nQuitCode = (int)msg.wParam;
                continue;
            }
            if (!AfxPreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        // The object may be signalled already; a wait with no time left says so.
        if (::WaitForSingleObject(hObject, 0) == WAIT_OBJECT_0) {
            dwResult = WAIT_OBJECT_0;
            break;
        }
    }
    if (bQuit)
        ::PostQuitMessage(nQuitCode);
    return dwResult;
}

BOOL AfxPostResultObject(HWND hWnd, UINT message, WPARAM wParam, CAfxPostedResult* pResult) {
    if (pResult == nullptr)
        return FALSE;
    pResult->m_hWndTarget = hWnd;
    CResultRegistry& registry = Registry();
    {
        CCriticalSectionLock lock(registry.m_lock);
        registry.m_pending.insert(pResult);
    }
    if (::PostMessageA(hWnd, message, wParam, (LPARAM)pResult))
        return TRUE;
    AfxTakeResultObject((LPARAM)pResult);  // frees it
    return FALSE;
}

std::unique_ptr<CAfxPostedResult> AfxTakeResultObject(LPARAM lParam) {
    CResultRegistry& registry = Registry();
    CCriticalSectionLock lock(registry.m_lock);
    auto it = registry.m_pending.find((CAfxPostedResult*)lParam);
    if (it == registry.m_pending.end())
        return nullptr;
    std::unique_ptr<CAfxPostedResult> p(*it);
    registry.m_pending.erase(it);
    return p;
}

void AfxDiscardResults(HWND hWnd) {
    CResultRegistry& registry = Registry();
    CCriticalSectionLock lock(registry.m_lock);
    for (auto it = registry.m_pending.begin(); it != registry.m_pending.end();) {
        if ((*it)->m_hWndTarget == hWnd) {
            delete *it;
            it = registry.m_pending.erase(it);
        } else {
            ++it;
        }
    }
}

int AfxGetPendingResultCount() {
    CResultRegistry& registry = Registry();
    CCriticalSectionLock lock(registry.m_lock);
    return (int)registry.m_pending.size();
}

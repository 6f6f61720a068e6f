// Per-thread state of the window layer: its lifetime, deferred deletion and
// the temporary objects handed out for foreign handles.
#include "afx/afxwin.h"

#include <algorithm>
#include <vector>

#include "afx/afxstate.h"

CAfxThreadState::~CAfxThreadState() {
    // Runs on the thread that ends (a worker): it frees what it borrowed there.
    AfxDeleteTempMaps();
    if (m_hHookCbt != nullptr)
        ::UnhookWindowsHookEx(m_hHookCbt);
}

namespace {
// Static initialisation runs on the main thread; 0 until then, and calls made
// before it are on the main thread as well.
const DWORD g_dwMainThreadId = ::GetCurrentThreadId();
}  // namespace

CAfxThreadState& AfxGetThreadState() {
    // Under this toolchain the main thread's thread-local objects are destroyed
    // before static destructors run, and global windows and menus still reach
    // this state from theirs: the main thread's state is never destroyed.
    if (g_dwMainThreadId == 0 || ::GetCurrentThreadId() == g_dwMainThreadId) {
        static CAfxThreadState* s_pMainState = new CAfxThreadState;
        return *s_pMainState;
    }
    static thread_local CAfxThreadState s_state;
    return s_state;
}

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

// Object lifetime: deletion inside a window's own handler and inside a
// nested modal loop it started, WM_NCDESTROY, destructors, deferred deletion.
#include <gtest/gtest.h>

#include "afx/afxwin.h"
#include "support/win_window.h"
#include "win_test_resource.h"

namespace {

int g_nConstructed = 0;
int g_nDestroyed = 0;

const UINT UM_DELETE_SELF = WM_APP + 10;
const UINT UM_RUN_MODAL = WM_APP + 11;

class CCountedWnd : public CWnd {
public:
    CCountedWnd() { ++g_nConstructed; }
    ~CCountedWnd() override { ++g_nDestroyed; }
    bool m_bAfterModal = false;
    CWnd* m_pKilledDuringModal = nullptr;

protected:
    afx_msg LRESULT OnDeleteSelf(WPARAM, LPARAM) {
        delete this;  // nothing of the object may be touched after this
        return 1;
    }
    afx_msg LRESULT OnRunModal(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountedWnd, CWnd)
    ON_MESSAGE(UM_DELETE_SELF, OnDeleteSelf)
    ON_MESSAGE(UM_RUN_MODAL, OnRunModal)
END_MESSAGE_MAP()

// A modal dialog that, once running, has its owner window destroyed and
// deleted later by "someone else" (as the main dialog does with its windows).
class COwnerKillingDialog : public CDialog {
public:
    COwnerKillingDialog(CCountedWnd* pOwner) : CDialog(IDD_TEST_DATA, pOwner), m_pOwner(pOwner) {}
    CCountedWnd* m_pOwner;
    int m_nDestructorsSeenInLoop = -1;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        SetTimer(1, 10, nullptr);
        return TRUE;
    }
    afx_msg void OnTimer(UINT_PTR) {
        KillTimer(1);
        int nBefore = g_nDestroyed;
        m_pOwner->DestroyWindow();  // takes this owned dialog with it
        AfxDeleteLater(m_pOwner);
        m_nDestructorsSeenInLoop = g_nDestroyed - nBefore;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerKillingDialog, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

int g_nDestructorsInLoop = -1;

LRESULT CCountedWnd::OnRunModal(WPARAM, LPARAM) {
    COwnerKillingDialog dlg(this);
    INT_PTR nResult = dlg.DoModal();
    g_nDestructorsInLoop = dlg.m_nDestructorsSeenInLoop;
    // This object must still be alive: its deletion waits for the dispatch to end.
    m_bAfterModal = nResult == -1 && m_hWnd == nullptr;
    return 1;
}

class LifetimeTest : public ::testing::Test {
protected:
    void SetUp() override { g_nConstructed = g_nDestroyed = 0; }
};

TEST_F(LifetimeTest, WindowDeletedInsideItsOwnHandler) {
    CCountedWnd* p = new CCountedWnd;
    ASSERT_TRUE(p->CreateEx(0, nullptr, "self", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    HWND hWnd = p->m_hWnd;
    EXPECT_EQ(1, ::SendMessageA(hWnd, UM_DELETE_SELF, 0, 0));
    EXPECT_EQ(1, g_nConstructed);
    EXPECT_EQ(1, g_nDestroyed);
    EXPECT_FALSE(::IsWindow(hWnd));  // the destructor destroyed the window
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST_F(LifetimeTest, WindowDeletedFromNestedModalLoopItStarted) {
    CCountedWnd* p = new CCountedWnd;
    ASSERT_TRUE(p->CreateEx(0, nullptr, "owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr));
    ::SendMessageA(p->m_hWnd, UM_RUN_MODAL, 0, 0);
    // Back at depth 0: the deferred deletion may run now, exactly once.
    EXPECT_EQ(0, g_nDestructorsInLoop);
    EXPECT_EQ(0, g_nDestroyed);
    EXPECT_TRUE(p->m_bAfterModal);  // alive until the flush below
    EXPECT_EQ(1, AfxFlushDeferredDeletes());
    EXPECT_EQ(1, g_nDestroyed);
    EXPECT_EQ(0, AfxFlushDeferredDeletes());
}

TEST_F(LifetimeTest, DeferredDeletionWaitsWhileAWindowProcedureRuns) {
    struct CDeferringWnd : public CWnd {
        int m_nFlushedInside = -1;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_APP + 20) {
                AfxDeleteLater(new CCountedWnd);
                m_nFlushedInside = AfxFlushDeferredDeletes();
                return 0;
            }
            return CWnd::WindowProc(message, wParam, lParam);
        }
    } wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "d", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    wnd.SendMessage(WM_APP + 20);
    EXPECT_EQ(0, wnd.m_nFlushedInside);
    EXPECT_EQ(0, g_nDestroyed);
    EXPECT_EQ(1, AfxFlushDeferredDeletes());
    EXPECT_EQ(1, g_nDestroyed);
}

TEST_F(LifetimeTest, NcDestroyClearsHandleAndMainWindowPointer) {
    CWinApp app("lifetime");
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    app.m_pMainWnd = &wnd;
    EXPECT_EQ(&wnd, AfxGetMainWnd());
    HWND hWnd = wnd.m_hWnd;
    ::DestroyWindow(hWnd);
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // the loop ends with it
}

TEST_F(LifetimeTest, DestructorDestroysAWindowThatStillExists) {
    HWND hWnd = nullptr;
    {
        CCountedWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "scoped", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST_F(LifetimeTest, PostNcDestroyMayDeleteTheObject) {
    struct CSelfDeleting : public CCountedWnd {
        void PostNcDestroy() override { delete this; }
    };
    auto* p = new CSelfDeleting;
    ASSERT_TRUE(p->CreateEx(0, nullptr, "pnd", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_TRUE(p->DestroyWindow());
    EXPECT_EQ(1, g_nDestroyed);
}

}  // namespace

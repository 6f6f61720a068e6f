// Worker threads: a dialog that waits for a worker which sends to it, results
// posted to the user-interface thread, a window object deleted by a worker,
// and the recording seams called from several workers at once.
#include <gtest/gtest.h>

#include <process.h>

#include <set>
#include <string>

#include "afx/afxwin.h"
#include "services_test_resource.h"
#include "support/win_window.h"

namespace {

const UINT UM_FILL = 100;  // a worker asks the dialog's thread to fill its lists
const UINT UM_RESULT = WM_APP + 40;

class CWorkerDialog : public CDialog {
public:
    CWorkerDialog() : CDialog(IDD_SERVICES_FORM) {}
    int m_nFills = 0;
    CString m_strResult;
    DWORD m_dwWait = 0;

    void RunWorkerAndWait() {
        HANDLE hDone = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_hDone = hDone;
        ASSERT_NE(_beginthread(Worker, 0, this), (uintptr_t)-1);
        m_dwWait = AfxWaitPumping(hDone, 5000);
        ::CloseHandle(hDone);
    }

protected:
    HANDLE m_hDone = nullptr;

    static void __cdecl Worker(void* pArg) {
        auto* pDlg = static_cast<CWorkerDialog*>(pArg);
        HWND hDlg = pDlg->m_hWnd;
        HANDLE hDone = pDlg->m_hDone;
        ::SendMessageA(hDlg, UM_FILL, 0, 0);  // waits until the dialog's thread runs it
        AfxPostResult(hDlg, UM_RESULT, CString("fetched"));
        ::SetEvent(hDone);
    }
    afx_msg LRESULT OnFill(WPARAM, LPARAM) {
        ++m_nFills;
        return 0;
    }
    afx_msg LRESULT OnResult(WPARAM, LPARAM lParam) {
        AfxTakeResult(lParam, m_strResult);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CWorkerDialog, CDialog)
    ON_MESSAGE(UM_FILL, OnFill)
    ON_MESSAGE(UM_RESULT, OnResult)
END_MESSAGE_MAP()

TEST(Workers, ADialogWaitsForAWorkerThatSendsToIt) {
    CWorkerDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_SERVICES_FORM));
    dlg.RunWorkerAndWait();
    EXPECT_EQ(dlg.m_dwWait, WAIT_OBJECT_0);
    EXPECT_EQ(dlg.m_nFills, 1);
    ASSERT_TRUE(vtest::PumpUntil([&] { return !dlg.m_strResult.IsEmpty(); }));
    EXPECT_EQ(dlg.m_strResult, CString("fetched"));
    EXPECT_EQ(AfxGetPendingResultCount(), 0);
    dlg.DestroyWindow();
}

TEST(Workers, ThePumpingWaitEndsAtItsDeadlineAndKeepsAQuitForTheOuterLoop) {
    HANDLE hNever = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ::PostQuitMessage(3);
    DWORD nStart = ::GetTickCount();
    EXPECT_EQ(AfxWaitPumping(hNever, 60), (DWORD)WAIT_TIMEOUT);
    EXPECT_GE(::GetTickCount() - nStart, 50u);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    ::SetEvent(hNever);
    EXPECT_EQ(AfxWaitPumping(hNever, 0), (DWORD)WAIT_OBJECT_0);
    ::CloseHandle(hNever);
}

// A result never taken is freed: at once when the post fails, with its window
// when the window goes first; a result is taken only once.
TEST(Workers, PostedResultsAreFreedWhenNobodyTakesThem) {
    const int nBase = AfxGetPendingResultCount();
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "target", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND hWnd = wnd.m_hWnd;
    ASSERT_TRUE(AfxPostResult(hWnd, UM_RESULT, std::string("a")));
    EXPECT_EQ(AfxGetPendingResultCount(), nBase + 1);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, hWnd, UM_RESULT, UM_RESULT, PM_REMOVE));
    std::string s;
    int nWrongType = 0;
    EXPECT_FALSE(AfxTakeResult(msg.lParam, nWrongType));  // taken, but not an int: freed all the same
    EXPECT_FALSE(AfxTakeResult(msg.lParam, s));
    EXPECT_EQ(AfxGetPendingResultCount(), nBase);
    ASSERT_TRUE(AfxPostResult(hWnd, UM_RESULT, std::string("b")));
    wnd.DestroyWindow();
    EXPECT_EQ(AfxGetPendingResultCount(), nBase);
    EXPECT_FALSE(AfxPostResult(hWnd, UM_RESULT, std::string("c")));
    EXPECT_EQ(AfxGetPendingResultCount(), nBase);
    vtest::PumpPending();
}

struct CDeleteJob {
    CWnd* pWnd;
    HANDLE hDone;
};

void __cdecl DeletingWorker(void* pArg) {
    auto* pJob = static_cast<CDeleteJob*>(pArg);
    delete pJob->pWnd;
    ::SetEvent(pJob->hDone);
}

TEST(Workers, AWindowObjectDeletedOnAWorkerIsDestroyedByItsOwnThread) {
    CWnd* pWnd = new CWnd;
    ASSERT_TRUE(pWnd->CreateEx(0, nullptr, "doomed", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND hWnd = pWnd->m_hWnd;
    CDeleteJob job{pWnd, ::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    ASSERT_NE(_beginthread(DeletingWorker, 0, &job), (uintptr_t)-1);
    EXPECT_EQ(AfxWaitPumping(job.hDone, 5000), (DWORD)WAIT_OBJECT_0);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    ::CloseHandle(job.hDone);
}

struct CSeamsJob {
    int nCalls;
    HANDLE hStart;  // all workers begin together, for the most overlap
    HANDLE hDone;
};

void __cdecl SeamsWorker(void* pArg) {
    auto* pJob = static_cast<CSeamsJob*>(pArg);
    ::WaitForSingleObject(pJob->hStart, INFINITE);
    for (int i = 0; i < pJob->nCalls; ++i) {
        AfxGetSeams()->MessageBox(nullptr, "from a worker", "Veltran", MB_YESNO);
        for (int j = 0; j < 4; ++j)
            AfxGetSeams()->PlaySound("tick.wav", nullptr, 0);
    }
    ::SetEvent(pJob->hDone);
}

// Each scripted answer is taken once and every call is recorded.
TEST(Workers, RecordingSeamsServeSeveralWorkersAtOnce) {
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    const int nWorkers = 4;
    const int nCalls = 1000;
    for (int i = 0; i < nWorkers * nCalls; ++i)
        seams.m_messageBoxAnswers.push_back(1000 + i);
    HANDLE hStart = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CSeamsJob jobs[nWorkers];
    HANDLE handles[nWorkers];
    for (int w = 0; w < nWorkers; ++w) {
        jobs[w] = {nCalls, hStart, ::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
        handles[w] = jobs[w].hDone;
        ASSERT_NE(_beginthread(SeamsWorker, 0, &jobs[w]), (uintptr_t)-1);
    }
    ::SetEvent(hStart);
    EXPECT_EQ(::WaitForMultipleObjects(nWorkers, handles, TRUE, 20000), (DWORD)WAIT_OBJECT_0);
    std::vector<std::string> calls = seams.GetCalls();
    EXPECT_EQ((int)calls.size(), 5 * nWorkers * nCalls);
    EXPECT_EQ(seams.CountCalls("PlaySound"), 4 * nWorkers * nCalls);
    std::set<std::string> answers;
    for (const std::string& line : calls)
        if (line.compare(0, 10, "MessageBox") == 0)
            answers.insert(line.substr(line.rfind(' ') + 1));
    EXPECT_EQ((int)answers.size(), nWorkers * nCalls);
    EXPECT_TRUE(seams.m_messageBoxAnswers.empty());
    for (HANDLE h : handles)
        ::CloseHandle(h);
    ::CloseHandle(hStart);
}

}  // namespace

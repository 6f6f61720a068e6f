// The test drivers themselves: a modal dialog answered by its script, mouse
// input routed by hit-testing through the queue, the bounded wait, and the
// wait at a test program's end for the threads it started.
#include <gtest/gtest.h>

#include <process.h>

#include <string>
#include <thread>
#include <vector>

#include "afx/afxwin.h"
#include "services_test_resource.h"
#include "support/win_drivers.h"
#include "support/win_menu_driver.h"
#include "support/win_threads.h"
#include "support/win_window.h"

namespace {

class CFormDialog : public CDialog {
public:
    CFormDialog() : CDialog(IDD_SERVICES_FORM) {}
    CString m_strText;
    int m_bCheck = 0;
    int m_nChoice = -1;
    int m_nSelChanges = 0;

protected:
    BOOL OnInitDialog() override {
        for (const char* psz : {"zero", "one", "two"})
            SendDlgItemMessage(IDC_SERVICES_COMBO, CB_ADDSTRING, 0, (LPARAM)psz);
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_SERVICES_EDIT, m_strText);
        DDX_Check(pDX, IDC_SERVICES_CHECK, m_bCheck);
        DDX_CBIndex(pDX, IDC_SERVICES_COMBO, m_nChoice);
    }
    afx_msg void OnSelChange() { ++m_nSelChanges; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFormDialog, CDialog)
    ON_CBN_SELCHANGE(IDC_SERVICES_COMBO, OnSelChange)
END_MESSAGE_MAP()

TEST(DialogDriver, AnswersTheModalDialogProductCodeOpens) {
    vtest::CDialogMatch byTemplate;
    byTemplate.nTemplateId = IDD_SERVICES_FORM;
    vtest::CDialogMatch other;
    other.nTemplateId = IDD_SERVICES_FORM + 1;
    vtest::CDialogDriver driver(byTemplate, [](HWND hDlg) {
        vtest::TypeText(hDlg, IDC_SERVICES_EDIT, "typed");
        vtest::SetCheck(hDlg, IDC_SERVICES_CHECK, true);
        vtest::SelectItem(hDlg, IDC_SERVICES_COMBO, 2);
        vtest::PressButton(hDlg, IDOK);
    });
    vtest::CDialogDriver bystander(other, [](HWND) {});
    CFormDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(CString(dlg.m_strText), CString("typed"));
    EXPECT_EQ(dlg.m_bCheck, 1);
    EXPECT_EQ(dlg.m_nChoice, 2);
    EXPECT_EQ(dlg.m_nSelChanges, 1);
    EXPECT_EQ(driver.Driven(), 1);
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(bystander.Driven(), 0);
}

TEST(DialogDriver, AnswersASystemMessageBoxByCaption) {
    vtest::CDialogMatch byCaption;
    byCaption.pszCaption = "Driver Question";
    vtest::CDialogDriver driver(byCaption, [](HWND hDlg) { vtest::PressButton(hDlg, IDNO); });
    EXPECT_EQ(::MessageBoxA(nullptr, "Proceed?", "Driver Question", MB_YESNO), IDNO);
    EXPECT_EQ(driver.Driven(), 1);
}

TEST(DialogDriver, CancelsADialogItsScriptLeftOpen) {
    vtest::CDialogMatch byTemplate;
    byTemplate.nTemplateId = IDD_SERVICES_FORM;
    vtest::CDialogDriver driver(byTemplate, [](HWND hDlg) { vtest::PressButton(hDlg, 4242); }, 100);
    CFormDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(driver.TimedOut());
}

// Records the mouse messages it gets, by name; the child button's click comes
// as a command. With m_nHitAnswer set, it answers WM_NCHITTEST for its client.
class CMouseWnd : public CWnd {
public:
    std::vector<std::string> m_log;
    LRESULT m_nHitAnswer = 0;
    CButton m_button;
    bool m_bCaptureOnDown = false;
    bool m_bOwnLoopOnDown = false;  // reads the release from the queue itself, as tracking loops do
    int m_nFocusMoves = 0;

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        static const struct {
            UINT message;
            const char* pszName;
        } names[] = {
            {WM_LBUTTONDOWN, "down"},     {WM_LBUTTONUP, "up"},         {WM_LBUTTONDBLCLK, "dbl"},
            {WM_RBUTTONDOWN, "rdown"},    {WM_RBUTTONUP, "rup"},        {WM_NCLBUTTONDOWN, "ncdown"},
            {WM_NCLBUTTONUP, "ncup"},     {WM_NCLBUTTONDBLCLK, "ncdbl"}, {WM_NCRBUTTONDOWN, "ncrdown"},
            {WM_NCRBUTTONUP, "ncrup"},    {WM_ENTERSIZEMOVE, "enter"},  {WM_EXITSIZEMOVE, "exit"},
        };
        for (const auto& n : names) {
            if (n.message == message) {
                std::string s = n.pszName;
                if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
                    s += " " + std::to_string((short)LOWORD(lParam)) + "," + std::to_string((short)HIWORD(lParam));
                else if (message >= WM_NCLBUTTONDOWN && message <= WM_NCRBUTTONUP)
                    s += " " + std::to_string(wParam);
                m_log.push_back(s);
                if (message == WM_LBUTTONDOWN && m_bCaptureOnDown)
                    SetCapture();
                if (message == WM_LBUTTONDOWN && m_bOwnLoopOnDown)
                    m_log.push_back(TrackToRelease());
                if (message == WM_LBUTTONUP && ::GetCapture() == m_hWnd)
                    ::ReleaseCapture();
                // A real caption press would start the system's move loop.
                *pResult = 0;
                return TRUE;
            }
        }
        if (message == WM_MOUSEMOVE && (wParam & MK_LBUTTON))
            m_log.push_back("drag " + std::to_string((short)LOWORD(lParam)) + "," +
                            std::to_string((short)HIWORD(lParam)));
        if (message == WM_MOVING)
            ((RECT*)lParam)->top = 60;  // the window keeps to a row, as a docked one would
        if (message == WM_COMMAND && LOWORD(wParam) == 77)
            m_log.push_back("button");
        if (message == kMoveFocus) {
            ::SetFocus(reinterpret_cast<HWND>(wParam));
            ++m_nFocusMoves;
        }
        if (message == WM_NCHITTEST && m_nHitAnswer != 0) {
            LRESULT nHit = DefWindowProc(message, wParam, lParam);
            *pResult = nHit == HTCLIENT ? m_nHitAnswer : nHit;
            return TRUE;
        }
        return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    }

public:
    static const UINT kMoveFocus = WM_APP + 11;

private:
    // Two seconds at most for the release, so a driver that leaves none in the queue fails, not hangs.
    std::string TrackToRelease() {
        SetCapture();
        std::string strResult = "no release";
        const DWORD nStart = ::GetTickCount();
        while (::GetTickCount() - nStart < 2000) {
            MSG msg;
            if (!::PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_MOUSE);
                continue;
            }
            if (msg.message == WM_LBUTTONUP) {
                strResult = "loop took up " + std::to_string((short)LOWORD(msg.lParam)) + "," +
                            std::to_string((short)HIWORD(msg.lParam));
                break;
            }
            if (msg.message == WM_LBUTTONDOWN)
                strResult = "loop took the press again";
        }
        ::ReleaseCapture();
        return strResult;
    }
};

// A check box that, once pressed, has another thread ask its parent to move the
// focus: a message sent from another thread is handled before anything posted,
// as the deactivation is that Wine sends when another program of the session
// takes the foreground.
WNDPROC g_pfnCheckProc = nullptr;
HWND g_hFocusTarget = nullptr;

LRESULT CALLBACK PressedThenFocusMoves(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = ::CallWindowProcA(g_pfnCheckProc, hWnd, message, wParam, lParam);
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        HWND hParent = ::GetParent(hWnd);
        std::thread([hParent] {
            ::SendNotifyMessageA(hParent, CMouseWnd::kMoveFocus, (WPARAM)g_hFocusTarget, 0);
        }).join();
    }
    return lResult;
}

struct CMouseFixture : ::testing::Test {
    CMouseWnd wnd;
    long m_nGdi = 0;
    void SetUp() override {
        m_nGdi = AfxGetLiveGdiObjectCount();
        LPCSTR pszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW));
        ASSERT_TRUE(wnd.CreateEx(0, pszClass, "mouse", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 50, 300, 200, nullptr,
                                 nullptr));
        ASSERT_TRUE(wnd.m_button.Create("b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(200, 10, 260, 40), &wnd, 77));
    }
    void TearDown() override {
        wnd.DestroyWindow();
        EXPECT_EQ(AfxGetLiveGdiObjectCount(), m_nGdi);
    }
};

TEST_F(CMouseFixture, InputGoesWhereHitTestingSendsIt) {
    RECT rcWindow, rcClient;
    wnd.GetWindowRect(&rcWindow);
    POINT ptOrigin = {0, 0};
    wnd.ClientToScreen(&ptOrigin);
    const POINT ptCaption = {100, rcWindow.top - ptOrigin.y + 5};  // in the caption bar
    wnd.GetClientRect(&rcClient);
    struct {
        int nKind;  // 0 click, 1 double click, 2 right click
        POINT pt;
        LRESULT nHitAnswer;
        std::vector<std::string> log;
    } const cases[] = {
        {0, {10, 20}, 0, {"down 10,20", "up 10,20"}},
        {1, {11, 21}, 0, {"down 11,21", "up 11,21", "dbl 11,21", "up 11,21"}},
        {2, {12, 22}, 0, {"rdown 12,22", "rup 12,22"}},
        {0, {210, 20}, 0, {"button"}},  // the child under the point takes the click
        {0, ptCaption, 0, {"ncdown 2", "ncup 2"}},
        {1, ptCaption, 0, {"ncdown 2", "ncup 2", "ncdbl 2", "ncup 2"}},
        {2, ptCaption, 0, {"ncrdown 2", "ncrup 2"}},
        {0, {10, 20}, HTCAPTION, {"ncdown 2", "ncup 2"}},  // a client that says it is a caption
    };
    for (const auto& c : cases) {
        wnd.m_log.clear();
        wnd.m_nHitAnswer = c.nHitAnswer;
        if (c.nKind == 0)
            vtest::Click(wnd.m_hWnd, c.pt);
        else if (c.nKind == 1)
            vtest::DoubleClick(wnd.m_hWnd, c.pt);
        else
            vtest::RightClick(wnd.m_hWnd, c.pt);
        EXPECT_EQ(wnd.m_log, c.log) << "kind " << c.nKind << " at " << c.pt.x << "," << c.pt.y;
    }
    EXPECT_EQ(vtest::Click(wnd.m_hWnd, {rcClient.right + 500, 5}), nullptr);  // nothing there
}

TEST_F(CMouseFixture, DragsFollowTheCaptureAndMoveByTheCaption) {
    wnd.m_bCaptureOnDown = true;
    vtest::DragClient(wnd.m_hWnd, {10, 10}, {400, 50}, 4);
    // The steps cross the child button and leave the window; the capture keeps them here.
    const std::vector<std::string> drag = {"down 10,10", "drag 107,20", "drag 205,30", "drag 302,40", "up 400,50"};
    EXPECT_EQ(wnd.m_log, drag);

    wnd.m_log.clear();
    EXPECT_FALSE(vtest::DragCaption(wnd.m_hWnd, {10, 10}, 30, 40));  // a client point is no caption
    wnd.m_nHitAnswer = HTCAPTION;
    RECT rcBefore, rcAfter;
    wnd.GetWindowRect(&rcBefore);
    EXPECT_TRUE(vtest::DragCaption(wnd.m_hWnd, {10, 10}, 30, 40));
    wnd.GetWindowRect(&rcAfter);
    EXPECT_EQ(rcAfter.left, rcBefore.left + 30);
    EXPECT_EQ(rcAfter.top, 60);  // what WM_MOVING made of the rectangle
    EXPECT_EQ(wnd.m_log, (std::vector<std::string>{"enter", "exit"}));
}

TEST_F(CMouseFixture, AClickIsWholeWhenTheFocusMovesRightAfterThePress) {
    CButton check;
    ASSERT_TRUE(check.Create("check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 60, 150, 80), &wnd, 78));
    g_hFocusTarget = wnd.m_button.m_hWnd;
    g_pfnCheckProc = (WNDPROC)::SetWindowLongPtrA(check.m_hWnd, GWLP_WNDPROC, (LONG_PTR)PressedThenFocusMoves);
    // At the box, as a person clicks a check box.
    EXPECT_EQ(vtest::Click(wnd.m_hWnd, {16, 70}), check.m_hWnd);
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    EXPECT_EQ(wnd.m_nFocusMoves, 1);  // the focus did move, once the click was over
    vtest::DoubleClick(wnd.m_hWnd, {16, 70});  // a check box takes its second press as a click too
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    EXPECT_EQ(wnd.m_nFocusMoves, 3);
    ::SetWindowLongPtrA(check.m_hWnd, GWLP_WNDPROC, (LONG_PTR)g_pfnCheckProc);
}

TEST_F(CMouseFixture, AWindowThatReadsTheReleaseItselfFindsItOnce) {
    wnd.m_bOwnLoopOnDown = true;
    vtest::Click(wnd.m_hWnd, {10, 20});
    EXPECT_EQ(wnd.m_log, (std::vector<std::string>{"down 10,20", "loop took up 10,20"}));
    wnd.m_log.clear();
    vtest::DoubleClick(wnd.m_hWnd, {11, 21});
    EXPECT_EQ(wnd.m_log, (std::vector<std::string>{"down 11,21", "loop took up 11,21", "dbl 11,21", "up 11,21"}));
    vtest::PumpPending();
    EXPECT_EQ(wnd.m_log.size(), 4u);  // nothing of the clicks is left to come twice
}

// The menu driver walks the innermost popup, wherever the windows stand: here
// the first popup is made the foreground window, above its open sub-menu, as
// Wine makes it when another program of the session has taken the foreground
// meanwhile and gives it back.
TEST(MenuDriver, WalksTheInnermostPopupWhicheverIsOnTop) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 10, 10, 60, 60, nullptr, nullptr));
    ::SetForegroundWindow(wnd.m_hWnd);
    HMENU hMenu = ::CreatePopupMenu();
    HMENU hSub = ::CreatePopupMenu();
    ::AppendMenuA(hSub, MF_STRING, 31, "&First");
    ::AppendMenuA(hSub, MF_STRING, 32, "&Second");
    ::AppendMenuA(hMenu, MF_STRING, 21, "&One");
    ::AppendMenuA(hMenu, MF_POPUP, (UINT_PTR)hSub, "&More");
    HWND hFirstPopup = nullptr;
    int nRaised = 0;
    UINT nChosen = 0;
    {
        vtest::CMenuDriver driver(32);
        driver.m_onOpen = [&](HWND hPopup, HMENU hOpen) {
            if (hOpen == hMenu) {
                hFirstPopup = hPopup;
            } else if (hOpen == hSub && hFirstPopup != nullptr) {
                ::SetForegroundWindow(hFirstPopup);
                ++nRaised;
            }
        };
        nChosen = (UINT)::TrackPopupMenu(hMenu, TPM_RETURNCMD, 30, 30, 0, wnd.m_hWnd, nullptr);
        EXPECT_TRUE(driver.Chose());
        EXPECT_EQ(driver.PopupsSeen(), 2);
    }
    EXPECT_EQ(nRaised, 1);
    EXPECT_EQ(nChosen, 32u);
    ::DestroyMenu(hMenu);
    wnd.DestroyWindow();
}

void __cdecl SendingWorker(void* pArg) {
    auto* pData = static_cast<std::pair<HWND, HANDLE>*>(pArg);
    ::SendMessageA(pData->first, WM_APP + 7, 0, 0);  // served only while the waiter pumps
    ::SetEvent(pData->second);
}

TEST(WaitPumping, ServesAWorkerThatSendsAndHasADeadline) {
    vtest::CSpyWindow spy;
    HANDLE hDone = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::pair<HWND, HANDLE> data(spy.GetSafeHwnd(), hDone);
    ASSERT_NE(_beginthread(SendingWorker, 0, &data), (uintptr_t)-1);
    EXPECT_TRUE(vtest::WaitPumping(hDone, 5000));
    EXPECT_EQ(spy.Count(WM_APP + 7), 1);
    ::ResetEvent(hDone);
    DWORD nStart = ::GetTickCount();
    EXPECT_FALSE(vtest::WaitPumping(hDone, 100));
    EXPECT_GE(::GetTickCount() - nStart, 90u);
    ::CloseHandle(hDone);
}

DWORD WINAPI WaitForEvent(LPVOID pEvent) {
    return ::WaitForSingleObject(static_cast<HANDLE>(pEvent), INFINITE);
}

// A thread created suspended has not started: the wait gives up on it at its
// deadline, and holds no longer once it runs (it is still running then).
TEST(ThreadStart, TheEndWaitsUntilEveryThreadHasStarted) {
    HANDLE hGo = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE hThread = ::CreateThread(nullptr, 0, WaitForEvent, hGo, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(hThread, nullptr);
    EXPECT_FALSE(vtest::WaitForStartingThreads(200));
    ::ResumeThread(hThread);
    EXPECT_TRUE(vtest::WaitForStartingThreads(30000));
    ::SetEvent(hGo);
    EXPECT_EQ(::WaitForSingleObject(hThread, 30000), WAIT_OBJECT_0);
    ::CloseHandle(hThread);
    ::CloseHandle(hGo);
}

}  // namespace

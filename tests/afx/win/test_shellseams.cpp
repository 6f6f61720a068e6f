// The seams the shell uses: tray icon, hot keys, the instance mutex, the
// outside tray-clock window, automation answers, and a message box that
// pumps messages while it is open.
#include "afx/afxwin.h"
#include "support/tempfolder.h"
#include "support/win_window.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
TEST(ShellSeams, RecordTrayIconHotKeysAndTheTrayClockWindowWithoutTouchingTheHost)
{
    CRecordingSeams seams;
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WM_USER + 1;
    nid.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(nid.szTip, "Veltran Clock", 64);
    EXPECT_TRUE(seams.NotifyIcon(NIM_ADD, &nid));
    nid.uFlags = 0;
    EXPECT_TRUE(seams.NotifyIcon(NIM_DELETE, &nid));
    EXPECT_TRUE(seams.RegisterHotKey(nullptr, 5, MOD_ALT, 'T'));
    EXPECT_TRUE(seams.UnregisterHotKey(nullptr, 5));
    vtest::CSpyWindow spy;
    EXPECT_EQ(nullptr, seams.FindTopWindow("VAriziMainClass", "VArizi"));
    seams.m_hFoundWindow = spy.GetSafeHwnd();
    EXPECT_EQ(spy.GetSafeHwnd(), seams.FindTopWindow("VAriziMainClass", "VArizi"));
    EXPECT_TRUE(seams.PostToWindow(spy.GetSafeHwnd(), WM_COMMAND, 104, 0));
    vtest::PumpPending();
    EXPECT_EQ(0, spy.CountCommand(104, 0)) << "without a log file nothing is posted";
    const std::vector<std::string> expected = {
        "Shell_NotifyIcon ADD 0x0 0x7 message 0x401 icon tip \"Veltran Clock\"",
        "Shell_NotifyIcon DELETE 0x0 0x0",
        "RegisterHotKey 5 0x1 0x54",
        "UnregisterHotKey 5",
        "FindWindow \"VAriziMainClass\" \"VArizi\" -> none",
        "FindWindow \"VAriziMainClass\" \"VArizi\" -> found",
        "PostMessage 0x111 104 0",
    };
    EXPECT_EQ(expected, seams.m_calls);
}

TEST(ShellSeams, InstanceMutexSeesASecondCopyOfTheSameRunOnly)
{
    CRecordingSeams seams;
    EXPECT_TRUE(seams.CreateInstanceMutex("Veltran Clock"));
    EXPECT_FALSE(seams.CreateInstanceMutex("Veltran Clock"));
    EXPECT_TRUE(seams.CreateInstanceMutex("Other"));
    EXPECT_TRUE(CRecordingSeams().CreateInstanceMutex("Veltran Clock")) << "another test's seams are not this one";

    // With a log file the mutex is real, named after the log: a program
    // started with the same log sees it, one with another log does not.
    const vtest::CTempFolder folder;
    const std::string strLog = folder.Str("seams");
    CRecordingSeams first(strLog.c_str());
    CRecordingSeams second(strLog.c_str());
    CRecordingSeams other((strLog + " other").c_str());
    EXPECT_TRUE(first.CreateInstanceMutex("Veltran Clock"));
    EXPECT_FALSE(second.CreateInstanceMutex("Veltran Clock"));
    EXPECT_TRUE(other.CreateInstanceMutex("Veltran Clock"));
}

TEST(ShellSeams, AutomationAnswersAreReadFrontFirst)
{
    struct CCase
    {
        const char* pszList;
        std::deque<int> expected;
    };
    const CCase cases[] = {
        {"7,6", {7, 6}}, {" 2 , 1", {2, 1}}, {"", {}}, {"7,x,6", {7}}, {nullptr, {}},
    };
    for (const CCase& c : cases)
    {
        std::deque<int> answers;
        AfxParseAutomationAnswers(c.pszList, answers);
        EXPECT_EQ(c.expected, answers) << (c.pszList ? c.pszList : "(null)");
    }
}

int g_nTicks = 0;

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD)
{
    g_nTicks++;
}

// A timer fires while the box is open; the box ends when the test says so
// and answers from the script.
TEST(ShellSeams, MessageBoxPumpsWhileOpenUntilTheTestEndsIt)
{
    CRecordingSeams seams;
    g_nTicks = 0;
    const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 10, CountTick);
    seams.m_fnMessageBoxOpenUntil = [] { return g_nTicks >= 3; };
    seams.m_messageBoxAnswers = {IDNO};
    EXPECT_EQ(IDNO, seams.MessageBox(nullptr, "Stop?", "Alarm", MB_YESNO));
    ::KillTimer(nullptr, nTimer);
    EXPECT_GE(g_nTicks, 3);
    EXPECT_EQ(std::vector<std::string>{"MessageBox \"Stop?\" \"Alarm\" 0x4 -> 7"}, seams.m_calls);

    // A box that nobody ends closes at its deadline.
    seams.m_fnMessageBoxOpenUntil = [] { return false; };
    seams.m_nMessageBoxPumpMs = 100;
    const DWORD nStart = ::GetTickCount();
    EXPECT_EQ(IDYES, seams.MessageBox(nullptr, "Stop?", "Alarm", MB_YESNO));
    EXPECT_GE(::GetTickCount() - nStart, 90u);
}
} // namespace

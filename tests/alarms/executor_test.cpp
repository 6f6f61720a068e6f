// The alarm executor under recording seams: one log holds the seam calls,
// the messages the main window receives, the opening of the message window
// and the configuration save, so the order of everything a run does shows.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "afx/afxwin.h"
#include "alarms/alarmexecutor.h"
#include "alarms/alarmlists.h"
#include "alarms/alarmmessagewnd.h"
#include "core/appseams.h"
#include "core/messages.h"
#include "core/settings.h"
#include "support/win_window.h"

namespace
{
std::vector<std::string>* g_pLog = nullptr;
HWND g_hWndMain = nullptr;

void Log(const std::string& strLine)
{
    if (g_pLog != nullptr)
        g_pLog->push_back(strLine);
}

// Recording seams that also check the windows the calls are aimed at.
class CCheckingSeams : public CRecordingSeams
{
public:
    int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) override
    {
        EXPECT_EQ(::GetDesktopWindow(), hWnd);
        return CRecordingSeams::MessageBox(hWnd, lpText, lpCaption, uType);
    }
    HINSTANCE ShellExecute(HWND hWnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                           INT nShowCmd) override
    {
        EXPECT_EQ(nullptr, hWnd);
        return CRecordingSeams::ShellExecute(hWnd, lpOperation, lpFile, lpParameters, lpDirectory, nShowCmd);
    }
    LRESULT SystemCommand(HWND hWnd, WPARAM nCommand, LPARAM lParam) override
    {
        EXPECT_EQ(g_hWndMain, hWnd);
        return CRecordingSeams::SystemCommand(hWnd, nCommand, lParam);
    }
};

// The main window: logs the private messages it is sent.
class CLoggingMainWnd : public CWnd
{
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= 0x8000 && message < 0xC000)
        {
            char sz[64];
            std::snprintf(sz, sizeof(sz), "Main 0x%X %d %d", message, (int)wParam, (int)lParam);
            Log(sz);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Top-level dialogs (the message window) are logged as they are created.
LRESULT CALLBACK LogDialogs(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND)
    {
        const CREATESTRUCTA* pcs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        const bool bDialogClass = IS_INTRESOURCE(pcs->lpszClass) ? LOWORD((UINT_PTR)pcs->lpszClass) == 32770
                                                                  : std::string(pcs->lpszClass) == "#32770";
        if (bDialogClass && !(pcs->style & WS_CHILD))
            Log("MessageWindow");
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

BOOL LogWriteFile(LPCSTR pszPath, const BYTE*, size_t)
{
    const std::string strPath(pszPath);
    Log("SaveConfig " + strPath.substr(strPath.find_last_of("\\/") + 1));
    return TRUE;
}
BOOL KeepFile(LPCSTR, LPCSTR) { return TRUE; }
RUNVALUERESULT KeepRunValue(LPCSTR) { return RUNVALUE_WRITTEN; }

class ExecutorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_nGdi = AfxGetLiveGdiObjectCount();
        g_pLog = &m_seams.m_calls;
        m_oldAppSeams = g_appSeams;
        g_appSeams.pfnWriteFile = LogWriteFile;
        g_appSeams.pfnReplaceFile = KeepFile;
        g_appSeams.pfnWriteRunValue = KeepRunValue;
        m_strOldSoundDir = g_settings.m_strSoundDir;
        g_settings.m_strSoundDir = "C:\\V\\sounds";
        ASSERT_TRUE(m_main.CreateEx(0, nullptr, "main", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr));
        g_hWndMain = m_main.GetSafeHwnd();
        m_app.m_pMainWnd = &m_main;
        m_hHook = ::SetWindowsHookExA(WH_CBT, LogDialogs, nullptr, ::GetCurrentThreadId());
    }
    void TearDown() override
    {
        ::UnhookWindowsHookEx(m_hHook);
        m_app.m_pMainWnd = nullptr;
        m_main.DestroyWindow();
        g_settings.m_strSoundDir = m_strOldSoundDir;
        g_appSeams = m_oldAppSeams;
        g_pLog = nullptr;
        vtest::PumpPending();
        EXPECT_EQ(m_nGdi, AfxGetLiveGdiObjectCount());
    }

    // Every list filled, every switch off.
    static CAlarm QuietAlarm(const char* pszName)
    {
        CAlarm alarm;
        alarm.m_strName = pszName;
        alarm.m_strMessage = "Time to go";
        alarm.m_bMsgCenter = TRUE;
        alarm.m_rcMessage = {100, 100, 400, 300};
        alarm.m_nAutoCloseSec = 10;
        alarm.m_strApps = "E:\\a.exe***C:\\Program Files\\b c.exe***D:\\tail.exe";
        alarm.m_strSysFuncs = "00010203040506070809101199xx";
        alarm.m_strSounds = "TRUETRUETRUEding.wav***chime.wav***TRUETRUETRUEE:\\x\\y.wav***";
        alarm.m_nSoundExtra = 1;
        return alarm;
    }

    static HWND FindMessageWindow(const char* pszCaption) { return ::FindWindowA(MAKEINTATOM(32770), pszCaption); }

    // The close box: the dialog posts itself Cancel.
    static void Close(HWND hWnd)
    {
        ::SendMessageA(hWnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(vtest::PumpUntil([hWnd] { return !::IsWindow(hWnd); }));
    }

    CWinApp m_app{"alarms"};
    CLoggingMainWnd m_main;
    CCheckingSeams m_seams;
    CSeamsScope m_scope{&m_seams};
    CAppSeams m_oldAppSeams{};
    CString m_strOldSoundDir;
    HHOOK m_hHook = nullptr;
    long m_nGdi = 0;
};
} // namespace

TEST_F(ExecutorTest, EachRunDoesWhatItsSwitchesSayInOrder)
{
    const std::vector<std::string> sounds = {R"(PlaySound "C:\\V\\sounds\\ding.wav" 0x20001)",
                                             R"(PlaySound "E:\\x\\y.wav" 0x20001)"};
    const struct
    {
        const char* pszCase;
        std::function<void(CAlarm&)> fnSwitch;
        std::vector<int> answers;
        std::vector<std::string> log;
    } cases[] = {
        {"nothing switched on", [](CAlarm&) {}, {}, {}},
        {"everything",
         [](CAlarm& a) {
             a.m_bAskNotify = a.m_bShowMessage = a.m_bAutoClose = TRUE;
             a.m_bToggleAnalog = a.m_bToggleDigital = a.m_bToggleCalendar = TRUE;
             a.m_bRunApps = a.m_bSysFuncs = a.m_bPlaySounds = TRUE;
         },
         {},
         {
             R"(MessageBox "Execute 'Wake' ?" "Alarm executing..." 0x34 -> 6)",
             "MessageWindow",
             "Main 0x806C 0 0",
             "Main 0x806F 0 0",
             "Main 0x8073 0 0",
             R"(ShellExecute "open" "E:\\a.exe" "" "" 1)",
             R"(ShellExecute "open" "C:\\Program Files\\b c.exe" "" "" 1)",
             "SaveConfig Veltran.cfg.tmp",
             R"(MciSendString "set cdaudio door open")",
             R"(MciSendString "set cdaudio door closed")",
             "BlockInput 1",
             "SystemCommand 0xF170 0",
             "SystemCommand 0xF170 1",
             "SystemCommand 0xF170 2",
             "SystemCommand 0xF140 0",
             "ExitWindowsEx 0x4 0x0",
             "ExitWindowsEx 0x5 0x0",
             "ExitWindowsEx 0x6 0x0",
             "ExitWindowsEx 0xC 0x0",
             R"(MciSendString "set cdaudio door open")",
             sounds[0],
             sounds[1],
         }},
        {"answered No",
         [](CAlarm& a) {
             a.m_bAskNotify = a.m_bShowMessage = a.m_bToggleAnalog = TRUE;
             a.m_bRunApps = a.m_bSysFuncs = a.m_bPlaySounds = TRUE;
         },
         {IDNO},
         {R"(MessageBox "Execute 'Wake' ?" "Alarm executing..." 0x34 -> 7)"}},
        {"system functions without codes still save",
         [](CAlarm& a) {
             a.m_bSysFuncs = TRUE;
             a.m_strSysFuncs = "";
         },
         {},
         {"SaveConfig Veltran.cfg.tmp"}},
        {"sounds twice through", [](CAlarm& a) { a.m_bPlaySounds = TRUE, a.m_nSoundExtra = 2; }, {},
         {sounds[0], sounds[1], sounds[0], sounds[1]}},
        {"sounds no time through", [](CAlarm& a) { a.m_bPlaySounds = TRUE, a.m_nSoundExtra = 0; }, {}, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        m_seams.m_calls.clear();
        m_seams.m_messageBoxAnswers.assign(c.answers.begin(), c.answers.end());
        CAlarm alarm = QuietAlarm("Wake");
        c.fnSwitch(alarm);
        CAlarmExecutor().ExecuteAlarm("not read", nullptr, alarm);
        EXPECT_EQ(c.log, m_seams.m_calls);

        // Only a run with a message leaves a window, which outlives its executor.
        const HWND hWnd = FindMessageWindow(" Wake - 10 second(s)");
        EXPECT_EQ(alarm.m_bShowMessage && c.answers.empty(), hWnd != nullptr);
        if (hWnd == nullptr)
            continue;
        EXPECT_TRUE(::IsWindowVisible(hWnd));
        char szText[64] = {};
        ::GetDlgItemTextA(hWnd, 1291, szText, sizeof(szText));
        EXPECT_STREQ("Time to go", szText);
        RECT rc;
        ::GetWindowRect(hWnd, &rc);
        EXPECT_TRUE(::EqualRect(&rc, &alarm.m_rcMessage));
        Close(hWnd);
    }
}

TEST_F(ExecutorTest, MessageWindowsOfDifferentExecutorsCoexistAndARunReplacesItsOwn)
{
    CAlarm alarm = QuietAlarm("One");
    alarm.m_bShowMessage = TRUE;
    {
        CAlarmExecutor first, second;
        first.ExecuteAlarm("", nullptr, alarm);
        alarm.m_strName = "Two";
        second.ExecuteAlarm("", nullptr, alarm);
        const HWND hWndOne = FindMessageWindow(" One");
        const HWND hWndTwo = FindMessageWindow(" Two");
        ASSERT_NE(nullptr, hWndOne);
        ASSERT_NE(nullptr, hWndTwo);

        // A second run through the first executor closes its window and opens
        // the new message in the same object; the other window stays.
        alarm.m_strName = "Three";
        alarm.m_bAutoClose = TRUE;
        alarm.m_nAutoCloseSec = 2;
        first.ExecuteAlarm("", nullptr, alarm);
        EXPECT_FALSE(::IsWindow(hWndOne));
        EXPECT_TRUE(::IsWindow(hWndTwo));
        const HWND hWndThree = FindMessageWindow(" Three - 2 second(s)");
        ASSERT_NE(nullptr, hWndThree);
        EXPECT_EQ(hWndThree, first.GetMessageWnd().GetSafeHwnd());
        EXPECT_TRUE(::KillTimer(hWndThree, ALARMMESSAGE_TIMER));   // the test ticks itself

        // A window the user closed leaves its executor an empty object.
        Close(hWndTwo);
    }
    // The executors are gone; the open window counts down and closes on its own.
    const HWND hWndThree = FindMessageWindow(" Three - 2 second(s)");
    ASSERT_NE(nullptr, hWndThree);
    ::SendMessageA(hWndThree, WM_TIMER, ALARMMESSAGE_TIMER, 0);
    EXPECT_NE(nullptr, FindMessageWindow(" Three - 1 second(s)"));
    ::SendMessageA(hWndThree, WM_TIMER, ALARMMESSAGE_TIMER, 0);
    EXPECT_FALSE(::IsWindow(hWndThree));
    // TearDown's count of GDI objects shows that every window object, and
    // with it its font, was deleted.
}

// A pass count as a damaged file may hold it: the run plays the limit's
// passes and ends at once. Without a sound folder (no program folder) only
// the sound given with a path plays, never a name at the root of the drive.
TEST_F(ExecutorTest, SoundsPlayAtMostTheLimitsPassesAndOnlyWithAFolderOrPath)
{
    CAlarm alarm = QuietAlarm("Loud");
    alarm.m_bPlaySounds = TRUE;
    alarm.m_nSoundExtra = 0x7FFFFFFF;
    const DWORD dwStart = ::GetTickCount();
    CAlarmExecutor().ExecuteAlarm("", nullptr, alarm);
    EXPECT_LT(::GetTickCount() - dwStart, 5000u);
    std::vector<std::string> expected;
    for (int i = 0; i < ALARM_SOUND_PASSES_MAX; i++)
    {
        expected.push_back(R"(PlaySound "C:\\V\\sounds\\ding.wav" 0x20001)");
        expected.push_back(R"(PlaySound "E:\\x\\y.wav" 0x20001)");
    }
    EXPECT_EQ(expected, m_seams.m_calls);

    m_seams.m_calls.clear();
    g_settings.m_strSoundDir.Empty();
    alarm.m_nSoundExtra = 2;
    CAlarmExecutor().ExecuteAlarm("", nullptr, alarm);
    EXPECT_EQ((std::vector<std::string>{R"(PlaySound "E:\\x\\y.wav" 0x20001)", R"(PlaySound "E:\\x\\y.wav" 0x20001)"}),
              m_seams.m_calls);
}

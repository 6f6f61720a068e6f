// Veltran.exe end to end, in a fresh program folder with VELTRAN_AUTOMATION
// set: it starts into the tray, a second copy says so and ends, tray commands
// reach the tray-clock stand-in, a due alarm fires once through the executor,
// hot keys are renewed on request, No to the exit question keeps it running,
// Yes ends it and the tray clock with it, and the file it leaves loads; the
// tray-clock stand-in runs once per session. Every wait has a deadline
// on a condition; a program still running at the end is killed and fails.
#include "core/appseams.h"
#include "core/config.h"
#include "core/messages.h"
#include "support/tempfolder.h"
#include "support/win_process.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using vtest::CountContaining;
using vtest::ModuleDir;
using vtest::ReadLines;
using vtest::WaitFor;

std::string Joined(const std::vector<std::string>& lines)
{
    std::string s;
    for (const std::string& line : lines)
        s += line + "\n";
    return s;
}

// The program's main dialog, "Veltran Clock", of that process only: other
// test programs on the same display make main dialogs of their own.
HWND FindMainWindow(DWORD nProcessId)
{
    return vtest::FindProcessWindow(nProcessId, "Veltran Clock");
}

// The program's UI thread answers a sent message only between its own: a
// firing it has begun, with both its saves, is behind it. Its file is read
// only then, because a save cannot replace a file another program holds
// open (under Wine not even one opened to share deletion), and a firing's
// failed save is not made again.
bool WaitIdle(HWND hMain)
{
    DWORD_PTR nResult = 0;
    return ::SendMessageTimeoutA(hMain, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &nResult) != 0;
}

// A program of the test, which must have ended by the end of the case.
class CProcess : public vtest::CChildProcess
{
public:
    ~CProcess()
    {
        if (Kill())
            ADD_FAILURE() << "a program was still running and is killed";
    }
    bool Start(const std::string& strExe) { return CChildProcess::Start("\"" + strExe + "\""); }
};

RUNVALUERESULT NoRunValue(LPCSTR)
{
    return RUNVALUE_WRITTEN;
}

// What the test's own loads of the program's files would have said in a box,
// which no one would answer.
std::vector<std::string> g_boxes;

int RecordBox(LPCSTR pszText, UINT)
{
    g_boxes.push_back(pszText);
    return IDOK;
}

class VeltranTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = std::make_unique<vtest::CTempFolder>("veltran e2e");
        m_strDir = m_folder->Str();
        const std::string strBuilt = ModuleDir() + "\\..\\..\\app\\";
        for (const char* pszExe : {"Veltran.exe", "varizi.exe", "vodoze.exe"})
            ASSERT_TRUE(::CopyFileA((strBuilt + pszExe).c_str(), (m_strDir + "\\" + pszExe).c_str(), FALSE))
                << strBuilt << pszExe;
        m_strLog = m_strDir + "\\automation.log";
        ::SetEnvironmentVariableA("VELTRAN_AUTOMATION", m_strLog.c_str());
        ::SetEnvironmentVariableA("VELTRAN_AUTOMATION_ANSWERS", "7,6");  // the exit question: No, then Yes
        m_savedSeams = g_appSeams;
        g_appSeams.pfnWriteRunValue = NoRunValue;
        g_appSeams.pfnMessageBox = RecordBox;
        g_boxes.clear();
    }
    void TearDown() override
    {
        EXPECT_EQ("", Joined(g_boxes)) << "the test's loads of the program's files said so";
        ::SetEnvironmentVariableA("VELTRAN_AUTOMATION", nullptr);
        ::SetEnvironmentVariableA("VELTRAN_AUTOMATION_ANSWERS", nullptr);
        g_appSeams = m_savedSeams;
        m_folder.reset();
    }

    // The configuration the program starts with: one alarm due in 2 s with a
    // hot key, and the exit question on; with bMessage, it shows its message.
    void WriteConfiguration(BOOL bMessage = FALSE)
    {
        CConfigFile::SetDefaults(g_settings, m_strDir.c_str());
        g_settings.m_bAskOnExit = 1;
        g_settings.m_bRunAtStartup = 0;
        g_alarms.RemoveAll();
        CAlarm alarm;
        alarm.m_strName = "Tea";
        alarm.m_bEnabled = 1;
        alarm.m_nRepeat = ALARM_ONCE;
        alarm.m_time = CTime::GetCurrentTime() + CTimeSpan(2);
        alarm.m_timeNext = alarm.m_time;
        alarm.m_timeLastRun = alarm.m_time - CTimeSpan(60);
        alarm.m_wHotKeyVK = 'T';
        alarm.m_wHotKeyMods = 2;
        alarm.m_bPlaySounds = 1;  // what the executor does shows in the log
        alarm.m_strSounds = "TRUETRUETRUEChime.wav***";  // a sound switched on
        alarm.m_nSoundExtra = 1;
        alarm.m_bShowMessage = bMessage;
        alarm.m_strMessage = "Tea is ready";
        alarm.m_rcMessage = {100, 100, 400, 300};
        g_alarms.Add(alarm);
        ASSERT_TRUE(CConfigFile().SaveFile((m_strDir + "\\Veltran.cfg").c_str()));
    }

    // The alarm's start count in the file the program writes when asked to save.
    int SavedStarts(HWND hMain)
    {
        ::SendMessageA(hMain, UM_SAVESETTINGS, 0, 0);
        CConfigFile().LoadFile((m_strDir + "\\Veltran.cfg").c_str());
        return g_alarms.GetSize() == 1 ? g_alarms[0].m_nStarts : -1;
    }

    std::vector<std::string> Log() const { return ReadLines(m_strLog); }

    std::unique_ptr<vtest::CTempFolder> m_folder;
    std::string m_strDir;
    std::string m_strLog;
    CAppSeams m_savedSeams;
};

TEST_F(VeltranTest, StartsIntoTheTrayRunsItsCommandsAndEndsCleanly)
{
    WriteConfiguration();
    CProcess trayClock;
    ASSERT_TRUE(trayClock.Start(m_strDir + "\\varizi.exe"));
    ASSERT_TRUE(WaitFor([] { return ::FindWindowA("VAriziMainClass", "VArizi") != nullptr; }, 10000));

    CProcess veltran;
    ASSERT_TRUE(veltran.Start(m_strDir + "\\Veltran.exe"));
    HWND hMain = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hMain = FindMainWindow(veltran.Id())) != nullptr; }, 20000));
    ASSERT_TRUE(WaitFor([&] { return CountContaining(Log(), "varizi.exe") == 1; }, 5000));
    std::vector<std::string> log = Log();
    EXPECT_EQ(1, CountContaining(log, "CreateMutex \"Veltran Clock\" -> new"));
    EXPECT_EQ(1, CountContaining(log, "Shell_NotifyIcon ADD 0x0 0x7 message 0x401 icon tip \"Veltran Clock\""));
    EXPECT_EQ(1, CountContaining(log, "RegisterHotKey 5 0x2 0x54"));
    EXPECT_EQ(6, CountContaining(log, "RegisterHotKey"));
    // Shown at zero size while it starts, hidden once it is the main window.
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(hMain); }, 5000));

    // A second copy says so and ends; the first goes on.
    CProcess second;
    ASSERT_TRUE(second.Start(m_strDir + "\\Veltran.exe"));
    EXPECT_TRUE(second.Ended(20000));
    EXPECT_EQ(1, CountContaining(Log(), "\"Another copy of Veltran Clock is already running...\""));
    EXPECT_EQ(1, CountContaining(Log(), "CreateMutex \"Veltran Clock\" -> exists"));
    EXPECT_TRUE(::IsWindow(hMain));

    // Tray commands: the tray clock's own, its options program, help.
    for (WPARAM nCommand : {2006, 2009, 2022, 2023, 2024, 2025, 2010, 2017})
        ::SendMessageA(hMain, WM_COMMAND, nCommand, 0);
    EXPECT_TRUE(WaitFor([&] { return CountContaining(Log(), "varizi WM_COMMAND") == 6; }, 5000));
    log = Log();
    for (const char* pszLine : {"varizi WM_COMMAND 100", "varizi WM_COMMAND 104", "varizi WM_COMMAND 408",
                                "varizi WM_COMMAND 127", "varizi WM_COMMAND 420", "varizi WM_COMMAND 413",
                                "//vodoze.exe\" \"\" \"\" 1", "Veltran.chm::/General/index.htm"})
        EXPECT_EQ(1, CountContaining(log, pszLine)) << pszLine;

    // The alarm due 2 s after the file was written fires once.
    EXPECT_TRUE(WaitFor([&] { return CountContaining(Log(), "PlaySound \"") == 1; }, 10000));
    ASSERT_TRUE(WaitIdle(hMain));
    EXPECT_EQ(1, SavedStarts(hMain));
    const CTime fired = g_alarms[0].m_timeLastRun;
    EXPECT_TRUE(WaitFor([&] { return CTime::GetCurrentTime() > fired + CTimeSpan(2); }, 5000));
    EXPECT_EQ(1, SavedStarts(hMain));
    EXPECT_EQ(1, CountContaining(Log(), "PlaySound \"")) << "the executor ran once:\n" << Joined(Log());

    // Hot keys are renewed on request: all unregistered, all registered again.
    ::SendMessageA(hMain, UM_REGISTERHOTKEYS, 0, 0);
    log = Log();
    EXPECT_EQ(6, CountContaining(log, "UnregisterHotKey"));
    EXPECT_EQ(12, CountContaining(log, "RegisterHotKey"));

    // Exit: No keeps it running, Yes ends it and the tray clock.
    ::PostMessageA(hMain, WM_COMMAND, 2027, 0);
    EXPECT_TRUE(WaitFor([&] { return CountContaining(Log(), "\"Exit Veltran Clock...\" 0x34 -> 7") == 1; }, 5000));
    EXPECT_FALSE(veltran.Ended(300));
    EXPECT_EQ(0, CountContaining(Log(), "Shell_NotifyIcon DELETE"));
    ::PostMessageA(hMain, WM_COMMAND, 2027, 0);
    EXPECT_TRUE(veltran.Ended(20000));
    EXPECT_TRUE(trayClock.Ended(10000));
    log = Log();
    EXPECT_EQ(1, CountContaining(log, "\"Exit Veltran Clock...\" 0x34 -> 6"));
    // The exit command removes the icon and the end of the program once more.
    EXPECT_EQ(2, CountContaining(log, "Shell_NotifyIcon DELETE"));
    EXPECT_EQ(1, CountContaining(log, "varizi WM_CLOSE"));

    g_alarms.RemoveAll();
    CConfigFile::ResetBackupPending();
    CConfigFile().LoadFile((m_strDir + "\\Veltran.cfg").c_str());
    EXPECT_FALSE(CConfigFile::IsBackupPending()) << "the file it left does not load";
    ASSERT_EQ(1, g_alarms.GetSize());
    EXPECT_EQ(CString("Tea"), g_alarms[0].m_strName);
    EXPECT_EQ(1, g_alarms[0].m_nStarts);
    EXPECT_EQ(1, g_settings.m_bAskOnExit);
}
// The program starts the tray clock at every start, so after a crash the
// restart starts it again: the stand-in runs once per session, a second start
// ends at once without its start line, and a killed one frees its place.
TEST_F(VeltranTest, TheTrayClockRunsOncePerSession)
{
    const std::string strExe = m_strDir + "\\varizi.exe";
    CProcess first;
    ASSERT_TRUE(first.Start(strExe));
    HWND hFirst = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hFirst = vtest::FindProcessWindow(first.Id(), "VArizi")) != nullptr; }, 10000));

    CProcess second;
    ASSERT_TRUE(second.Start(strExe));
    EXPECT_TRUE(second.Ended(10000));
    EXPECT_EQ(0u, second.ExitCode());
    EXPECT_EQ(1, CountContaining(Log(), "varizi started"));
    EXPECT_EQ(hFirst, ::FindWindowA("VAriziMainClass", "VArizi"));
    EXPECT_FALSE(first.Ended(0));

    // Killed as by a crash: the next start runs, and one WM_CLOSE (what Exit
    // sends) leaves none.
    EXPECT_TRUE(first.CChildProcess::Kill());
    CProcess third;
    ASSERT_TRUE(third.Start(strExe));
    HWND hThird = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hThird = vtest::FindProcessWindow(third.Id(), "VArizi")) != nullptr; }, 10000));
    // Its window is there a moment before its start line.
    EXPECT_TRUE(WaitFor([&] { return CountContaining(Log(), "varizi started") == 2; }, 10000));
    EXPECT_EQ(hThird, ::FindWindowA("VAriziMainClass", "VArizi"));
    ::PostMessageA(hThird, WM_CLOSE, 0, 0);
    EXPECT_TRUE(third.Ended(10000));
    EXPECT_EQ(nullptr, ::FindWindowA("VAriziMainClass", "VArizi"));
}
// Ended without its exit path (killed, as by a power loss) while the alarm's
// message window is still open, the program has already left the firing in
// the file: the next start neither fires the alarm again nor loses its start.
TEST_F(VeltranTest, AFiringIsInTheFileWhileItsMessageIsOpen)
{
    WriteConfiguration(TRUE);
    const CTime due = g_alarms[0].m_time;
    const std::string strFile = m_strDir + "\\Veltran.cfg";
    // The file as the program left it: read only, the program is not asked to save.
    auto fileStarts = [&] {
        g_alarms.RemoveAll();
        CConfigFile::ResetSession();
        CConfigFile().LoadFile(strFile.c_str());
        return g_alarms.GetSize() == 1 ? g_alarms[0].m_nStarts : -1;
    };
    CProcess veltran;
    ASSERT_TRUE(veltran.Start(m_strDir + "\\Veltran.exe"));
    EXPECT_TRUE(WaitFor([&] { return vtest::FindProcessWindow(veltran.Id(), " Tea") != nullptr; }, 20000))
        << Joined(Log());
    ASSERT_TRUE(WaitIdle(FindMainWindow(veltran.Id())));
    EXPECT_EQ(1, fileStarts()) << Joined(Log());
    EXPECT_NE(nullptr, vtest::FindProcessWindow(veltran.Id(), " Tea")) << "the message is still open";
    EXPECT_TRUE(veltran.CChildProcess::Kill());

    EXPECT_EQ(1, fileStarts());
    EXPECT_FALSE(CConfigFile::IsBackupPending());
    ASSERT_EQ(1, g_alarms.GetSize());
    EXPECT_EQ(due, g_alarms[0].m_timeNext);
    EXPECT_GE(g_alarms[0].m_timeLastRun, due);
    EXPECT_EQ(1, CountContaining(Log(), "PlaySound \"")) << "it fired once";
}
} // namespace

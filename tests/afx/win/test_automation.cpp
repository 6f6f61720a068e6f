// VELTRAN_AUTOMATION end to end: afx_automation_probe.exe (beside this
// program) is started with the variable set, and its log and exit code are
// read back. A probe that showed a real dialog would never end by itself, so
// every run has a deadline after which the probe is killed and the case fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <windows.h>

#include "support/tempfolder.h"
#include "support/win_process.h"

namespace {

using vtest::ReadLines;

const char* const kCaption = "Veltran Probe";

std::string ProbePath() {
    return vtest::ModuleDir() + "\\afx_automation_probe.exe";
}

// A log name of its own per case, in a folder of the program's own.
std::string FreshLogPath(const char* pszStem) {
    static const vtest::CTempFolder s_folder("veltran automation");
    return s_folder.Str(std::string("veltran ") + pszStem + ".log");
}

// Sets the variable for the probe only (children inherit it), null: removed.
class CAutomationVariable {
public:
    explicit CAutomationVariable(const char* pszValue) { ::SetEnvironmentVariableA("VELTRAN_AUTOMATION", pszValue); }
    ~CAutomationVariable() { ::SetEnvironmentVariableA("VELTRAN_AUTOMATION", nullptr); }
};

class CProbe : public vtest::CChildProcess {
public:
    bool Start(const char* pszMode) { return CChildProcess::Start("\"" + ProbePath() + "\" " + pszMode); }
    // True when the probe ended by itself within the deadline.
    bool Wait(DWORD nTimeoutMs = 10000) const { return Ended(nTimeoutMs); }
    DWORD Pid() const { return Id(); }
};

std::vector<std::string> InitModeLog() {
    // MB_YESNO | MB_DEFBUTTON2 with the question icon the framework adds: answered IDNO (7).
    return {
        std::string("MessageBox \"Open the help page?\" \"") + kCaption + "\" 0x124 -> 7",
        "ShellExecute \"open\" \"veltran-no.htm\" (null) (null) 1",
        "WinExec \"veltran-no-such-program.exe /quiet\" 0",
        "MciSendString \"status cdaudio mode\"",
        "GetOpenFileName \"alarm.wav\"",
        "HtmlHelp \"veltran.chm\" 0 0x0",
    };
}

TEST(Automation, FailedStartLogsEverySeamCallInOrderAndExitsWithTheDefaultAnswer) {
    std::string strLog = FreshLogPath("init");  // spaces in the name on purpose
    CAutomationVariable var(strLog.c_str());
    CProbe probe;
    ASSERT_TRUE(probe.Start("init")) << ProbePath();
    ASSERT_TRUE(probe.Wait()) << "the probe blocked: a real dialog was shown";
    EXPECT_EQ((DWORD)IDNO, probe.ExitCode());
    EXPECT_EQ(InitModeLog(), ReadLines(strLog));
    ::DeleteFileA(strLog.c_str());
}

TEST(Automation, AnswerInsideTheMessageLoopReachesTheQuitCode) {
    std::string strLog = FreshLogPath("loop");
    CAutomationVariable var(strLog.c_str());
    CProbe probe;
    ASSERT_TRUE(probe.Start("loop"));
    ASSERT_TRUE(probe.Wait()) << "the probe blocked: a real dialog was shown";
    EXPECT_EQ(100u + IDCANCEL, probe.ExitCode());  // OK/Cancel, second button default
    std::vector<std::string> expected = {
        std::string("MessageBox \"Stop the alarm?\" \"") + kCaption + "\" 0x101 -> 2",
        "PlaySound \"veltran-no-such-chime.wav\" 0x20003",
    };
    EXPECT_EQ(expected, ReadLines(strLog));
    ::DeleteFileA(strLog.c_str());
}

TEST(Automation, EachLineIsInTheFileWhileTheProgramStillRuns) {
    std::string strLog = FreshLogPath("stay");
    CAutomationVariable var(strLog.c_str());
    CProbe probe;
    ASSERT_TRUE(probe.Start("stay"));
    std::vector<std::string> expected = InitModeLog();
    std::vector<std::string> lines;
    DWORD nStart = ::GetTickCount();
    while (lines.size() < expected.size() && ::GetTickCount() - nStart < 10000) {
        ::Sleep(20);
        lines = ReadLines(strLog);
    }
    EXPECT_EQ(expected, lines);
    EXPECT_FALSE(probe.Wait(0)) << "the probe was meant to keep running";
    // ~CProbe kills it.
}

TEST(Automation, LaterRunsAppendToTheSameLog) {
    std::string strLog = FreshLogPath("append");
    {
        std::ofstream out(strLog);
        out << "from the harness\n";
    }
    CAutomationVariable var(strLog.c_str());
    for (const char* pszMode : {"box", "loop"}) {
        CProbe probe;
        ASSERT_TRUE(probe.Start(pszMode));
        ASSERT_TRUE(probe.Wait()) << pszMode;
    }
    std::vector<std::string> lines = ReadLines(strLog);
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("from the harness", lines[0]);
    EXPECT_EQ(0u, lines[1].find("MessageBox \"Open the help page?\""));
    EXPECT_EQ(0u, lines[2].find("MessageBox \"Stop the alarm?\""));
    EXPECT_EQ(0u, lines[3].find("PlaySound "));
    ::DeleteFileA(strLog.c_str());
}

// Programs that log at once (the program and the tray clock) lose no line to
// each other: every line of each is there, whole, in its own order.
TEST(Automation, ProgramsLoggingAtOnceLoseNoLine) {
    std::string strLog = FreshLogPath("together");
    CAutomationVariable var(strLog.c_str());
    const int kLines = 1500;
    CProbe probes[3];
    for (CProbe& probe : probes)
        ASSERT_TRUE(probe.Start(("lines " + std::to_string(kLines)).c_str()));
    for (CProbe& probe : probes)
        ASSERT_TRUE(probe.Wait(60000));
    const std::vector<std::string> lines = ReadLines(strLog);
    EXPECT_EQ(size_t(3 * kLines), lines.size());
    for (CProbe& probe : probes) {
        const std::string strPrefix = "PlaySound \"line " + std::to_string(probe.Pid()) + " ";
        int nNext = 0;
        for (const std::string& line : lines) {
            const std::string strNext = std::to_string(nNext) + "\" ";
            if (line.compare(0, strPrefix.size(), strPrefix) == 0 &&
                line.compare(strPrefix.size(), strNext.size(), strNext) == 0)
                nNext++;
        }
        EXPECT_EQ(kLines, nNext) << "probe " << probe.Pid();
    }
    ::DeleteFileA(strLog.c_str());
}

TEST(Automation, UnwritableLogStillAnswersWithoutShowingAnything) {
    std::string strLog = FreshLogPath("missing") + "\\no-such-folder\\calls.log";
    CAutomationVariable var(strLog.c_str());
    CProbe probe;
    ASSERT_TRUE(probe.Start("init"));
    ASSERT_TRUE(probe.Wait()) << "the probe blocked: a real dialog was shown";
    EXPECT_EQ((DWORD)IDNO, probe.ExitCode());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(strLog.c_str()));
}

// The real message box of one process, by its caption.
struct CFindBox {
    DWORD nPid;
    HWND hWnd;
};

BOOL CALLBACK FindBoxProc(HWND hWnd, LPARAM lParam) {
    CFindBox* pFind = (CFindBox*)lParam;
    DWORD nPid = 0;
    ::GetWindowThreadProcessId(hWnd, &nPid);
    char szText[64] = "";
    ::GetWindowTextA(hWnd, szText, sizeof(szText));
    if (nPid == pFind->nPid && lstrcmpA(szText, kCaption) == 0) {
        pFind->hWnd = hWnd;
        return FALSE;
    }
    return TRUE;
}

TEST(Automation, EmptyValueMeansTheRealMessageBox) {
    CAutomationVariable var("");
    CProbe probe;
    ASSERT_TRUE(probe.Start("box"));
    CFindBox find = {probe.Pid(), nullptr};
    DWORD nStart = ::GetTickCount();
    while (find.hWnd == nullptr && ::GetTickCount() - nStart < 10000) {
        ::Sleep(20);
        ::EnumWindows(FindBoxProc, (LPARAM)&find);
    }
    ASSERT_NE(nullptr, find.hWnd) << "no message box appeared";
    EXPECT_FALSE(probe.Wait(0)) << "the real box waits for an answer";
    ::PostMessageA(find.hWnd, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    ASSERT_TRUE(probe.Wait());
    EXPECT_EQ((DWORD)IDYES, probe.ExitCode());
}

}  // namespace

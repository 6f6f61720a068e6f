// Helpers for tests and benchmarks that start the built program in another
// process and watch it from outside: where the running executable sits, the
// Windows names of the build's files, the program's main dialog of one
// process, and the lines of its automation log. No test framework here, so
// the window benchmarks link it too.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vtest {

// The folder of the running executable, without the trailing backslash.
std::string ModuleDir();
// The name Wine gives a Unix path (one the build wrote into a test), in the
// code page of the ANSI file functions. A file of the checkout is on its own
// drive (tools/wine-session), so it opens whatever the folders above the
// checkout are called; "Z:" and the path would name it in UTF-8 bytes.
// Empty when Wine cannot name it.
std::string WinePath(const std::string& strUnixPath);
// The top-level window of that process with exactly this caption (other
// programs on the same display make windows of the same caption); null if none.
HWND FindProcessWindow(DWORD nProcessId, const char* pszCaption);
// Polls pred every nPollMs until it holds (true) or nTimeoutMs have passed
// (false). Another process does the work, so nothing here is pumped.
bool WaitFor(const std::function<bool()>& pred, DWORD nTimeoutMs, DWORD nPollMs = 50);
// The lines of a text file (none when it cannot be read).
std::vector<std::string> ReadLines(const std::string& strPath);
// How many of the lines contain strPart.
int CountContaining(const std::vector<std::string>& lines, const std::string& strPart);

// The /proc folder (as Z:\proc\<pid>\) of the newest running Wine process
// of this Wine prefix whose program file is named pszExe ("Veltran.exe");
// empty when there is none.
std::string LinuxProcessDir(const char* pszExe);

// The memory of that process as Linux counts it (as bench/traymemory.py
// reads it): resident and anonymous, in KiB. False when there is none.
bool LinuxMemoryOf(const char* pszExe, long& nResidentKb, long& nAnonymousKb);

// The CPU time, user and system, that the process of a /proc folder has used
// so far, in ms (10 ms steps); an ended one not yet reaped still says its
// total. A budget of work held to it is not stretched by other programs busy
// on the machine, as the clock's time is. False once the folder is gone.
bool LinuxCpuMs(const std::string& strDir, unsigned long long& nMs);

// The first thread of the process of a /proc folder (under Wine, the
// program's main thread) as the scheduler counts it at one moment, in ns:
// the clock, the time it has run and the time it has waited, ready, for a CPU.
// What is left of the clock's time it slept: a wait shows there, and other
// programs busy on the machine do not stretch it.
struct CThreadTimes {
    long long nClockNs = 0;
    unsigned long long nRunNs = 0;
    unsigned long long nReadyNs = 0;
};
// False once the folder is gone.
bool LinuxMainThreadTimes(const std::string& strDir, CThreadTimes& times);
// The time the thread slept between two readings: the clock's less what it
// ran and waited for a CPU.
long long AsleepNs(const CThreadTimes& from, const CThreadTimes& to);

// A program started with its standard handles on NUL: under Wine, helpers it
// starts would otherwise keep the test runner's output pipe open. One still
// running when this ends is killed.
class CChildProcess {
public:
    CChildProcess() = default;
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    bool Start(const std::string& strCommandLine);
    // True when it ended by itself within the deadline.
    bool Ended(DWORD nTimeoutMs) const;
    DWORD ExitCode() const;
    DWORD Id() const { return m_pi.dwProcessId; }
    // Ends it if it still runs; true when it had to.
    bool Kill();

private:
    PROCESS_INFORMATION m_pi{};
};

}  // namespace vtest

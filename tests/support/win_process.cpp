#include "support/win_process.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vtest {

namespace {

struct CFindWindow {
    DWORD nProcessId;
    const char* pszCaption;
    HWND hWnd;
};

BOOL CALLBACK MatchProcessWindow(HWND hWnd, LPARAM lParam)
{
    CFindWindow* pFind = reinterpret_cast<CFindWindow*>(lParam);
    DWORD nPid = 0;
    ::GetWindowThreadProcessId(hWnd, &nPid);
    if (nPid != pFind->nProcessId)
        return TRUE;
    char szCaption[256] = "";
    ::GetWindowTextA(hWnd, szCaption, sizeof(szCaption));
    if (std::string(szCaption) != pFind->pszCaption)
        return TRUE;
    pFind->hWnd = hWnd;
    return FALSE;
}

}  // namespace

std::string ModuleDir()
{
    char szPath[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string s(szPath);
    return s.substr(0, s.rfind('\\'));
}

std::string WinePath(const std::string& strUnixPath)
{
    // Wine's own export, which picks the drive as Wine does for every path.
    using ToDosName = WCHAR*(CDECL*)(const char*);
    static const auto pfnToDos = reinterpret_cast<ToDosName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    WCHAR* pszWide = pfnToDos != nullptr ? pfnToDos(strUnixPath.c_str()) : nullptr;
    if (pszWide == nullptr)
        return std::string();
    std::string strPath;
    const int nBytes = ::WideCharToMultiByte(CP_ACP, 0, pszWide, -1, nullptr, 0, nullptr, nullptr);
    if (nBytes > 1) {
        strPath.resize(nBytes);
        ::WideCharToMultiByte(CP_ACP, 0, pszWide, -1, &strPath[0], nBytes, nullptr, nullptr);
        strPath.resize(nBytes - 1);
    }
    ::HeapFree(::GetProcessHeap(), 0, pszWide);
    return strPath;
}

HWND FindProcessWindow(DWORD nProcessId, const char* pszCaption)
{
    CFindWindow find = {nProcessId, pszCaption, nullptr};
    ::EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&find));
    return find.hWnd;
}

std::vector<std::string> ReadLines(const std::string& strPath)
{
    std::vector<std::string> lines;
    std::ifstream in(strPath);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

bool WaitFor(const std::function<bool()>& pred, DWORD nTimeoutMs, DWORD nPollMs)
{
    const DWORD nStart = ::GetTickCount();
    while (!pred()) {
        if (::GetTickCount() - nStart > nTimeoutMs)
            return false;
        ::Sleep(nPollMs);
    }
    return true;
}

int CountContaining(const std::vector<std::string>& lines, const std::string& strPart)
{
    int n = 0;
    for (const std::string& s : lines)
        n += s.find(strPart) != std::string::npos ? 1 : 0;
    return n;
}

namespace {

std::string ReadBytes(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The /proc folder of Linux, as the Z: drive shows it to a Wine program.
const char kProc[] = "Z:\\proc\\";

} // namespace

std::string LinuxProcessDir(const char* pszExe)
{
    char szPrefix[MAX_PATH] = "";
    if (::GetEnvironmentVariableA("WINEPREFIX", szPrefix, sizeof szPrefix) == 0)
        return std::string();
    const std::string strPrefixVar = std::string("WINEPREFIX=") + szPrefix;
    std::string strNewest;
    unsigned long long nNewestStart = 0;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = ::FindFirstFileA((std::string(kProc) + "*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return std::string();
    do {
        const std::string strPid = fd.cFileName;
        if (strPid.empty() || strPid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string strDir = kProc + strPid + "\\";
        // The program's own file: the last part of the first word of its command line.
        std::string strProgram = ReadBytes(strDir + "cmdline");
        strProgram = strProgram.substr(0, strProgram.find('\0'));
        const size_t nSlash = strProgram.find_last_of("/\\");
        if (nSlash != std::string::npos)
            strProgram = strProgram.substr(nSlash + 1);
        if (strProgram != pszExe)
            continue;
        const std::string strEnviron = '\0' + ReadBytes(strDir + "environ") + '\0';
        if (strEnviron.find('\0' + strPrefixVar + '\0') == std::string::npos)
            continue;
        // Field 22 of stat, after the name in parentheses: the start time.
        const std::string strStat = ReadBytes(strDir + "stat");
        std::istringstream fields(strStat.substr(strStat.rfind(')') + 1));
        std::string strField;
        for (int i = 3; i <= 22 && fields >> strField; i++) {
        }
        const unsigned long long nStart = std::strtoull(strField.c_str(), nullptr, 10);
        if (strNewest.empty() || nStart > nNewestStart) {
            strNewest = strDir;
            nNewestStart = nStart;
        }
    } while (::FindNextFileA(hFind, &fd));
    ::FindClose(hFind);
    return strNewest;
}

bool LinuxMemoryOf(const char* pszExe, long& nResidentKb, long& nAnonymousKb)
{
    const std::string strNewest = LinuxProcessDir(pszExe);
    if (strNewest.empty())
        return false;
    nResidentKb = nAnonymousKb = -1;
    std::istringstream status(ReadBytes(strNewest + "status"));
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            nResidentKb = std::atol(line.c_str() + 6);
        else if (line.rfind("RssAnon:", 0) == 0)
            nAnonymousKb = std::atol(line.c_str() + 8);
    }
    return nResidentKb >= 0 && nAnonymousKb >= 0;
}

bool LinuxCpuMs(const std::string& strDir, unsigned long long& nMs)
{
    // Fields 14 and 15 of stat, after the name in parentheses: user and
    // system time in ticks of 1/100 s (USER_HZ on every Linux Wine runs on).
    if (strDir.empty())
        return false;
    const std::string strStat = ReadBytes(strDir + "stat");
    const size_t nName = strStat.rfind(')');
    if (nName == std::string::npos)
        return false;
    std::istringstream fields(strStat.substr(nName + 1));
    std::string strField;
    unsigned long long nTicks = 0;
    for (int i = 3; i <= 15 && fields >> strField; i++) {
        if (i >= 14)
            nTicks += std::strtoull(strField.c_str(), nullptr, 10);
    }
    if (!fields)
        return false;
    nMs = nTicks * 10;
    return true;
}

bool LinuxMainThreadTimes(const std::string& strDir, CThreadTimes& times)
{
    // The folder's own schedstat is its first thread's (stat adds up all of
    // them): time run, time waiting on a run queue, time slices. The clock is
    // read after it, at every reading alike.
    if (strDir.empty())
        return false;
    std::istringstream fields(ReadBytes(strDir + "schedstat"));
    unsigned long long nRun = 0, nReady = 0;
    if (!(fields >> nRun >> nReady))
        return false;
    times.nClockNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
    times.nRunNs = nRun;
    times.nReadyNs = nReady;
    return true;
}

long long AsleepNs(const CThreadTimes& from, const CThreadTimes& to)
{
    const unsigned long long nBusy = to.nRunNs - from.nRunNs + to.nReadyNs - from.nReadyNs;
    return to.nClockNs - from.nClockNs - static_cast<long long>(nBusy);
}

CChildProcess::~CChildProcess()
{
    if (m_pi.hProcess == nullptr)
        return;
    Kill();
    ::CloseHandle(m_pi.hProcess);
    ::CloseHandle(m_pi.hThread);
}

bool CChildProcess::Start(const std::string& strCommandLine)
{
    std::string strCmd = strCommandLine;
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE hNul = ::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = hNul;
    const BOOL bOK = ::CreateProcessA(nullptr, &strCmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &m_pi);
    ::CloseHandle(hNul);
    return bOK != 0;
}

bool CChildProcess::Ended(DWORD nTimeoutMs) const
{
    return m_pi.hProcess != nullptr && ::WaitForSingleObject(m_pi.hProcess, nTimeoutMs) == WAIT_OBJECT_0;
}

DWORD CChildProcess::ExitCode() const
{
    DWORD dw = 0;
    ::GetExitCodeProcess(m_pi.hProcess, &dw);
    return dw;
}

bool CChildProcess::Kill()
{
    if (m_pi.hProcess == nullptr || ::WaitForSingleObject(m_pi.hProcess, 0) != WAIT_TIMEOUT)
        return false;
    ::TerminateProcess(m_pi.hProcess, 99);
    ::WaitForSingleObject(m_pi.hProcess, 5000);
    return true;
}

}  // namespace vtest

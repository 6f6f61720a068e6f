#include "support/win_process.h"

#include <fstream>

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

int CountContaining(const std::vector<std::string>& lines, const std::string& strPart)
{
    int n = 0;
    for (const std::string& s : lines)
        n += s.find(strPart) != std::string::npos ? 1 : 0;
    return n;
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

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

}  // namespace vtest

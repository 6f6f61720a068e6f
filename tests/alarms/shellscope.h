// For alarm tests that open the real main dialog: while it lives, the
// program's files and run value stay in memory (the module path points into
// the temp folder), and the window makers and app seams the test changes are
// put back however the test ends.
#pragma once

#include "app/appseams.h"
#include "app/windowservices.h"

#include <windows.h>

class CShellScope
{
public:
    CShellScope() : m_savedServices(g_windowServices), m_savedAppSeams(g_appSeams)
    {
        g_appSeams.pfnGetModulePath = TempModulePath;
        g_appSeams.pfnWriteRunValue = [](LPCSTR) { return RUNVALUE_WRITTEN; };
        g_appSeams.pfnWriteFile = [](LPCSTR, const BYTE*, size_t) -> BOOL { return TRUE; };
        g_appSeams.pfnReplaceFile = [](LPCSTR, LPCSTR) -> BOOL { return TRUE; };
    }
    ~CShellScope()
    {
        g_windowServices = m_savedServices;
        g_appSeams = m_savedAppSeams;
    }
    CShellScope(const CShellScope&) = delete;
    CShellScope& operator=(const CShellScope&) = delete;

private:
    static CString TempModulePath()
    {
        char szDir[MAX_PATH] = "";
        ::GetTempPathA(MAX_PATH, szDir);
        return CString(szDir) + "Veltran.exe";
    }

    const CWindowServices m_savedServices;
    const CAppSeams m_savedAppSeams;
};

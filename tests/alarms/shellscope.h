// For alarm tests that open the real main dialog: while it lives, the
// program's files and run value stay in memory (the module path points into
// a private folder), and the window makers and app seams the test changes are
// put back however the test ends.
#pragma once

#include "core/appseams.h"
#include "shell/windowservices.h"
#include "support/tempfolder.h"

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
        static const vtest::CTempFolder s_folder("veltran_shell");
        return CString(s_folder.Str("Veltran.exe").c_str());
    }

    const CWindowServices m_savedServices;
    const CAppSeams m_savedAppSeams;
};

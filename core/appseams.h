// Everything the settings and configuration code does that leaves the
// process goes through these pointers, so tests can watch or refuse it. The
// defaults are the platform's own (appplatform_win.cpp, appplatform_posix.cpp);
// the main window points pfnSaveWindowState at itself when it is created.
#pragma once

#include "afx/afx.h"

enum RUNVALUERESULT
{
    RUNVALUE_WRITTEN,
    RUNVALUE_NOKEY,     // the Run key did not open: saving goes on silently
    RUNVALUE_FAILED     // the key opened but the value could not be set
};

struct CAppSeams
{
    // A message box with the application's title; returns the button id.
    int (*pfnMessageBox)(LPCSTR pszText, UINT nType);
    // Asks the main window to record the clock windows' state (UM_SAVEWINDOWSTATE).
    void (*pfnSaveWindowState)();
    // Full path of the program's own module.
    CString (*pfnGetModulePath)();
    // Sets the "Veltran Clock" value under the machine's Run key.
    RUNVALUERESULT (*pfnWriteRunValue)(LPCSTR pszData);
    // Creates or truncates pszPath and writes all nSize bytes; FALSE on any shortfall.
    BOOL (*pfnWriteFile)(LPCSTR pszPath, const BYTE* pData, size_t nSize);
    // Moves pszFrom over pszTo, replacing it.
    BOOL (*pfnReplaceFile)(LPCSTR pszFrom, LPCSTR pszTo);
};

extern CAppSeams g_appSeams;

// The platform's own implementations, also the seams' defaults.
int AppPlatformMessageBox(LPCSTR pszText, UINT nType);
void AppPlatformSaveWindowState();
CString AppPlatformGetModulePath();
RUNVALUERESULT AppPlatformWriteRunValue(LPCSTR pszData);
BOOL AppPlatformWriteFile(LPCSTR pszPath, const BYTE* pData, size_t nSize);
BOOL AppPlatformReplaceFile(LPCSTR pszFrom, LPCSTR pszTo);
// TRUE only when nothing is at pszPath; a path that is there but cannot be
// read, or whose state cannot be told, is not missing.
BOOL AppPlatformIsMissing(LPCSTR pszPath);
// Steps over one character of ANSI text, a double-byte character as one.
LPCSTR AppPlatformCharNext(LPCSTR psz);

// Cuts a writable path in place at its last "\" or "/"; a separator right
// after a drive colon stays; a path without separator becomes empty.
void AppStripFileName(LPSTR pszPath);

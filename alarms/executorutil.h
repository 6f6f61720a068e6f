// The alarm executor's small services that windows all over the program use:
// fields of delimited strings, the program folder, file tests, random numbers.
// Portable, so that code without windows can use them; CAlarmExecutor builds
// on this class.
#pragma once

#include "afx/afx.h"

class CAlarmExecutorUtil
{
public:
    // Field nIndex (from 0) of strText cut at every strDelimiter, or "" when
    // there is no such field. A delimiter at the very end adds no empty field.
    static CString GetToken(const CString& strText, const CString& strDelimiter, int nIndex);
    // The folder of the program's executable, without a trailing backslash
    // except at a drive root.
    static CString GetAppDir();
    // Cuts a writable path in place to its folder (see AppStripFileName).
    static void StripFileName(LPSTR pszPath);
    // TRUE when the path names an existing file or folder.
    static BOOL FileExists(LPCSTR pszPath);
    // nMin..nMax inclusive from the C runtime's rand, as its callers seeded it.
    static int Random(int nMin, int nMax);
};

// One line added to the end of a log that several programs write at once
// (the automation log: the program, a second copy, the tray-clock stand-ins).
// Wine's append-only writes are not atomic between handles: two writers can
// find the same end and one line lands on the other. So a writer holds a
// lock while it finds the end and writes. The lock is on a byte far past any
// log's end, so readers of the lines are never refused.
#pragma once

#include <windows.h>

inline BOOL AfxAppendSharedLog(LPCSTR pszFile, const char* pText, DWORD nLength)
{
    HANDLE hFile = ::CreateFileA(pszFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    OVERLAPPED lockAt = {};
    lockAt.OffsetHigh = 0x7FFFFFFF;
    BOOL bWritten = FALSE;
    if (::LockFileEx(hFile, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockAt)) {
        DWORD nWritten = 0;
        LARGE_INTEGER end = {};
        bWritten = ::SetFilePointerEx(hFile, end, nullptr, FILE_END)
                   && ::WriteFile(hFile, pText, nLength, &nWritten, nullptr) && nWritten == nLength;
        ::UnlockFileEx(hFile, 0, 1, 0, &lockAt);
    }
    ::CloseHandle(hFile);
    return bWritten;
}

// The native build's stand-ins for the Windows side: enough for the portable
// code and its tests, no registry and no windows.
#include "core/appseams.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

int AppPlatformMessageBox(LPCSTR pszText, UINT /*nType*/)
{
    std::fprintf(stderr, "Veltran Clock: %s\n", pszText);
    return 1;   // IDOK
}

void AppPlatformSaveWindowState()
{
}

CString AppPlatformGetModulePath()
{
    char szPath[4096];
    const ssize_t nLength = readlink("/proc/self/exe", szPath, sizeof(szPath) - 1);
    if (nLength <= 0)
        return CString();
    szPath[nLength] = '\0';
    return CString(szPath);
}

RUNVALUERESULT AppPlatformWriteRunValue(LPCSTR /*pszData*/)
{
    return RUNVALUE_NOKEY;
}

BOOL AppPlatformReplaceFile(LPCSTR pszFrom, LPCSTR pszTo)
{
    return std::rename(pszFrom, pszTo) == 0;
}

BOOL AppPlatformIsMissing(LPCSTR pszPath)
{
    struct stat st;
    if (stat(pszPath, &st) == 0)
        return FALSE;
    return errno == ENOENT || errno == ENOTDIR;
}

LPCSTR AppPlatformCharNext(LPCSTR psz)
{
    return *psz != '\0' ? psz + 1 : psz;
}

#include "core/appseams.h"

#include <cstdio>

CAppSeams g_appSeams = {
    AppPlatformMessageBox,
    AppPlatformSaveWindowState,
    AppPlatformGetModulePath,
    AppPlatformWriteRunValue,
    AppPlatformWriteFile,
    AppPlatformReplaceFile,
};

// Every failure counts, the close included: a full disk often shows only there.
BOOL AppPlatformWriteFile(LPCSTR pszPath, const BYTE* pData, size_t nSize)
{
    FILE* pFile = std::fopen(pszPath, "wb");
    if (pFile == NULL)
        return FALSE;
    BOOL bOk = TRUE;
    if (nSize != 0 && std::fwrite(pData, 1, nSize, pFile) != nSize)
        bOk = FALSE;
    if (std::fflush(pFile) != 0)
        bOk = FALSE;
    if (std::fclose(pFile) != 0)
        bOk = FALSE;
    return bOk;
}

// The colon test looks at the byte before the separator: no double-byte
// code page uses ':' as a trail byte.
void AppStripFileName(LPSTR pszPath)
{
    if (pszPath == NULL)
        return;
    LPSTR pszCut = pszPath;
    for (LPSTR p = pszPath; *p != '\0'; p = const_cast<LPSTR>(AppPlatformCharNext(p)))
    {
        if (*p == '\\' || *p == '/')
            pszCut = (p > pszPath && p[-1] == ':') ? p + 1 : p;
    }
    *pszCut = '\0';
}

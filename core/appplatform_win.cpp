#include "core/appplatform_win.h"

#include <cstring>

const char g_szRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char g_szRunValueName[] = "Veltran Clock";

namespace
{
// The one owner of an opened key.
class CRegKey
{
public:
    CRegKey() = default;
    ~CRegKey()
    {
        if (m_hKey != NULL)
            RegCloseKey(m_hKey);
    }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    BOOL Open(HKEY hRoot, LPCSTR pszSubKey, REGSAM samDesired)
    {
        return RegOpenKeyExA(hRoot, pszSubKey, 0, samDesired, &m_hKey) == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey = NULL;
};
} // namespace

// Shows the box itself, task-modal, with the application's title.
int AppPlatformMessageBox(LPCSTR pszText, UINT nType)
{
    return MessageBoxA(NULL, pszText, "Veltran Clock", nType | MB_TASKMODAL);
}

// The main window points the seam at itself when it is created; before that
// there are no clock windows whose state could be recorded.
void AppPlatformSaveWindowState()
{
}

CString AppPlatformGetModulePath()
{
    char szPath[MAX_PATH + 1] = {};
    const DWORD nLength = GetModuleFileNameA(NULL, szPath, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return CString();   // a cut path would name a wrong folder
    return CString(szPath);
}

RUNVALUERESULT AppWriteRegistryString(HKEY hRoot, LPCSTR pszSubKey, LPCSTR pszName, LPCSTR pszData)
{
    CRegKey key;
    if (!key.Open(hRoot, pszSubKey, KEY_SET_VALUE))
        return RUNVALUE_NOKEY;
    const DWORD nBytes = static_cast<DWORD>(std::strlen(pszData) + 1);
    if (RegSetValueExA(key.Get(), pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszData), nBytes) !=
        ERROR_SUCCESS)
        return RUNVALUE_FAILED;
    return RUNVALUE_WRITTEN;
}

RUNVALUERESULT AppPlatformWriteRunValue(LPCSTR pszData)
{
    return AppWriteRegistryString(HKEY_LOCAL_MACHINE, g_szRunKey, g_szRunValueName, pszData);
}

BOOL AppPlatformReplaceFile(LPCSTR pszFrom, LPCSTR pszTo)
{
    return MoveFileExA(pszFrom, pszTo, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

BOOL AppPlatformIsMissing(LPCSTR pszPath)
{
    if (GetFileAttributesA(pszPath) != INVALID_FILE_ATTRIBUTES)
        return FALSE;
    const DWORD nError = GetLastError();
    return nError == ERROR_FILE_NOT_FOUND || nError == ERROR_PATH_NOT_FOUND;
}

LPCSTR AppPlatformCharNext(LPCSTR psz)
{
    return CharNextA(psz);
}

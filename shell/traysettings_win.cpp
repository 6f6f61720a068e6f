// The tray-clock store on Windows: the profile functions for the ini file,
// the registry below HKEY_CURRENT_USER, and the program's string resources.
#include "shell/traysettings.h"

#include <windows.h>

#include <cstring>

namespace {
// The one owner of an opened or created key.
class CTrayRegKey {
public:
    CTrayRegKey() = default;
    ~CTrayRegKey()
    {
        if (m_hKey != nullptr)
            RegCloseKey(m_hKey);
    }
    CTrayRegKey(const CTrayRegKey&) = delete;
    CTrayRegKey& operator=(const CTrayRegKey&) = delete;

    BOOL Open(HKEY hRoot, LPCSTR pszSubKey)
    {
        return RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_QUERY_VALUE, &m_hKey) == ERROR_SUCCESS;
    }
    BOOL Create(HKEY hRoot, LPCSTR pszSubKey)
    {
        return RegCreateKeyExA(hRoot, pszSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                   &m_hKey, nullptr)
            == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};

int CopyDefault(LPSTR pszBuffer, int nBufferSize, LPCSTR pszDefault)
{
    lstrcpynA(pszBuffer, pszDefault != nullptr ? pszDefault : "", nBufferSize);
    return lstrlenA(pszBuffer);
}

// A string value into the buffer, always terminated. Only text counts: a
// number or binary value read as a string would hand out raw bytes.
BOOL QueryString(
    HKEY hRoot, LPCSTR pszSubKey, LPCSTR pszName, LPSTR pszBuffer, int nBufferSize, DWORD* pnBytes)
{
    CTrayRegKey key;
    if (!key.Open(hRoot, pszSubKey))
        return FALSE;
    DWORD nType = 0;
    DWORD nBytes = static_cast<DWORD>(nBufferSize);
    if (RegQueryValueExA(key.Get(), pszName, nullptr, &nType, reinterpret_cast<BYTE*>(pszBuffer), &nBytes)
        != ERROR_SUCCESS)
        return FALSE;
    if (nType != REG_SZ && nType != REG_EXPAND_SZ)
        return FALSE;
    const DWORD nEnd
        = nBytes < static_cast<DWORD>(nBufferSize) ? nBytes : static_cast<DWORD>(nBufferSize) - 1;
    pszBuffer[nEnd] = '\0';
    *pnBytes = nBytes;
    return TRUE;
}

BOOL QueryInt(HKEY hRoot, LPCSTR pszSubKey, LPCSTR pszName, int* pnValue)
{
    CTrayRegKey key;
    if (!key.Open(hRoot, pszSubKey))
        return FALSE;
    DWORD nValue = 0;
    DWORD nBytes = sizeof(nValue);
    if (RegQueryValueExA(key.Get(), pszName, nullptr, nullptr, reinterpret_cast<BYTE*>(&nValue), &nBytes)
            != ERROR_SUCCESS
        || nBytes != sizeof(nValue))
        return FALSE;
    *pnValue = static_cast<int>(nValue);
    return TRUE;
}
} // namespace

int TrayIniReadString(
    LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault, LPSTR pszBuffer, int nBufferSize, LPCSTR pszFile)
{
    return static_cast<int>(GetPrivateProfileStringA(
        pszSection, pszKey, pszDefault, pszBuffer, static_cast<DWORD>(nBufferSize), pszFile));
}

int TrayIniReadInt(LPCSTR pszSection, LPCSTR pszKey, int nDefault, LPCSTR pszFile)
{
    return static_cast<int>(GetPrivateProfileIntA(pszSection, pszKey, nDefault, pszFile));
}

BOOL TrayIniWriteString(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue, LPCSTR pszFile)
{
    return WritePrivateProfileStringA(pszSection, pszKey, pszValue, pszFile) != 0;
}

int TrayRegReadString(LPCSTR pszSubKey, LPCSTR pszName, LPSTR pszBuffer, int nBufferSize, LPCSTR pszDefault)
{
    DWORD nBytes = 0;
    if (!QueryString(HKEY_CURRENT_USER, pszSubKey, pszName, pszBuffer, nBufferSize, &nBytes))
        return CopyDefault(pszBuffer, nBufferSize, pszDefault);
    return static_cast<int>(nBytes);
}

int TrayRegReadInt(LPCSTR pszSubKey, LPCSTR pszName, int nDefault)
{
    int nValue = 0;
    return QueryInt(HKEY_CURRENT_USER, pszSubKey, pszName, &nValue) ? nValue : nDefault;
}

BOOL TrayRegWriteString(LPCSTR pszSubKey, LPCSTR pszName, LPCSTR pszValue)
{
    CTrayRegKey key;
    if (!key.Create(HKEY_CURRENT_USER, pszSubKey))
        return FALSE;
    const DWORD nBytes = static_cast<DWORD>(std::strlen(pszValue) + 1);
    return RegSetValueExA(key.Get(), pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszValue), nBytes)
        == ERROR_SUCCESS;
}

BOOL TrayRegWriteInt(LPCSTR pszSubKey, LPCSTR pszName, int nValue)
{
    CTrayRegKey key;
    if (!key.Create(HKEY_CURRENT_USER, pszSubKey))
        return FALSE;
    const DWORD nData = static_cast<DWORD>(nValue);
    return RegSetValueExA(
               key.Get(), pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&nData), sizeof(nData))
        == ERROR_SUCCESS;
}

int ReadRegistryInt(void* hRootKey, LPCSTR pszSubKey, LPCSTR pszValueName, int nDefault)
{
    int nValue = 0;
    return QueryInt(static_cast<HKEY>(hRootKey), pszSubKey, pszValueName, &nValue) ? nValue : nDefault;
}

int ReadRegistryString(void* hRootKey, LPCSTR pszSubKey, LPCSTR pszValueName, LPSTR pszBuffer,
    int nBufferSize, LPCSTR pszDefault)
{
    if (pszBuffer == nullptr || nBufferSize <= 0)
        return 0;
    DWORD nBytes = 0;
    if (!QueryString(static_cast<HKEY>(hRootKey), pszSubKey, pszValueName, pszBuffer, nBufferSize, &nBytes))
        return CopyDefault(pszBuffer, nBufferSize, pszDefault);
    return lstrlenA(pszBuffer);
}

LPCSTR LoadResString(UINT nID)
{
    static char s_szBuffer[80];
    s_szBuffer[0] = '\0';
    LoadStringA(GetModuleHandleA(nullptr), nID, s_szBuffer, sizeof(s_szBuffer));
    return s_szBuffer;
}

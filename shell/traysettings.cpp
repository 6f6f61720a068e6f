#include "shell/traysettings.h"

#include "core/appseams.h"
#include "core/config.h"

#include <cstdio>
#include <cstring>

BOOL g_bSettingsInIni = 1;
char g_szSettingsIniPath[MAX_PATH] = "";

const char g_szTraySettingsKey[] = "Software\\Tessaly\\VArizi";
const char g_szTraySettingsSection[] = "Main";
const char g_szTraySettingsIniName[] = "Veltran.ini";

namespace {
LPCSTR IniPath()
{
    if (g_szSettingsIniPath[0] == '\0')
        InitSettingsIniPath();
    return g_szSettingsIniPath;
}

// The ini file of the store. Without one (no program folder) a read gives
// what the reader gives for a file that is not there, the default cut to the
// buffer, and a write fails.
int IniReadString(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault, LPSTR pszBuffer, int nBufferSize)
{
    const LPCSTR pszFile = IniPath();
    if (pszFile[0] != '\0')
        return TrayIniReadString(pszSection, pszKey, pszDefault, pszBuffer, nBufferSize, pszFile);
    std::snprintf(pszBuffer, static_cast<size_t>(nBufferSize), "%s", pszDefault);
    return static_cast<int>(std::strlen(pszBuffer));
}

int IniReadInt(LPCSTR pszSection, LPCSTR pszKey, int nDefault)
{
    const LPCSTR pszFile = IniPath();
    return pszFile[0] != '\0' ? TrayIniReadInt(pszSection, pszKey, nDefault, pszFile) : nDefault;
}

BOOL IniWriteString(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue)
{
    const LPCSTR pszFile = IniPath();
    return pszFile[0] != '\0' && TrayIniWriteString(pszSection, pszKey, pszValue, pszFile);
}

// An ini file knows no number as such: the key holds its decimal text.
CString IntText(int nValue)
{
    char sz[16];
    std::snprintf(sz, sizeof(sz), "%d", nValue);
    return CString(sz);
}
} // namespace

CString GetTraySettingsSection(LPCSTR pszSection, int nNumber, BOOL bRegistry)
{
    const BOOL bNamed = pszSection != nullptr && pszSection[0] != '\0';
    CString strSection;
    if (nNumber >= 2)
        strSection = CString(bNamed ? pszSection : g_szTraySettingsSection) + IntText(nNumber);
    else if (bNamed)
        strSection = pszSection;
    if (!bRegistry)
        return strSection.IsEmpty() ? CString(g_szTraySettingsSection) : strSection;
    if (strSection.IsEmpty())
        return CString(g_szTraySettingsKey);
    return CString(g_szTraySettingsKey) + "\\" + strSection;
}

CString QuoteTraySettingValue(LPCSTR pszValue)
{
    const CString strValue(pszValue != nullptr ? pszValue : "");
    if (strValue.FindOneOf("\"' ") < 0)
        return strValue;
    return "\"" + strValue + "\"";
}

// Without a program folder there is no ini file: the path stays empty, as
// the folder's would be the root of the drive (and a bare name is one in the
// Windows folder to the profile functions).
void InitSettingsIniPath()
{
    const CString strAppDir = CConfigFile::GetAppDir();
    if (strAppDir.IsEmpty()) {
        g_szSettingsIniPath[0] = '\0';
        return;
    }
    const CString strPath = strAppDir + "\\" + g_szTraySettingsIniName;
    std::snprintf(g_szSettingsIniPath, sizeof(g_szSettingsIniPath), "%s", static_cast<LPCSTR>(strPath));
}

int ReadSettingStringIndexed(
    LPCSTR pszSection, LPCSTR pszKey, LPSTR pszBuffer, int nBufferSize, LPCSTR pszDefault, int nNumber)
{
    if (pszBuffer == nullptr || nBufferSize <= 0)
        return 0;
    if (pszDefault == nullptr)
        pszDefault = "";
    const CString strSection = GetTraySettingsSection(pszSection, nNumber, !g_bSettingsInIni);
    if (g_bSettingsInIni)
        return IniReadString(strSection, pszKey, pszDefault, pszBuffer, nBufferSize);
    return TrayRegReadString(strSection, pszKey, pszBuffer, nBufferSize, pszDefault);
}

int ReadSettingString(LPCSTR pszSection, LPCSTR pszKey, LPSTR pszBuffer, int nBufferSize, LPCSTR pszDefault)
{
    return ReadSettingStringIndexed(pszSection, pszKey, pszBuffer, nBufferSize, pszDefault, 0);
}

int ReadSettingIntIndexed(LPCSTR pszSection, LPCSTR pszKey, int nDefault, int nNumber)
{
    const CString strSection = GetTraySettingsSection(pszSection, nNumber, !g_bSettingsInIni);
    if (g_bSettingsInIni)
        return IniReadInt(strSection, pszKey, nDefault);
    return TrayRegReadInt(strSection, pszKey, nDefault);
}

int ReadSettingInt(LPCSTR pszSection, LPCSTR pszKey, int nDefault)
{
    return ReadSettingIntIndexed(pszSection, pszKey, nDefault, 0);
}

BOOL WriteSettingStringIndexed(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue, int nNumber)
{
    if (pszValue == nullptr)
        pszValue = "";
    const CString strSection = GetTraySettingsSection(pszSection, nNumber, !g_bSettingsInIni);
    if (g_bSettingsInIni)
        return IniWriteString(strSection, pszKey, QuoteTraySettingValue(pszValue));
    return TrayRegWriteString(strSection, pszKey, pszValue);
}

BOOL WriteSettingString(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue)
{
    return WriteSettingStringIndexed(pszSection, pszKey, pszValue, 0);
}

BOOL WriteSettingIntIndexed(LPCSTR pszSection, LPCSTR pszKey, int nValue, int nNumber)
{
    const CString strSection = GetTraySettingsSection(pszSection, nNumber, !g_bSettingsInIni);
    if (g_bSettingsInIni)
        return IniWriteString(strSection, pszKey, IntText(nValue));
    return TrayRegWriteInt(strSection, pszKey, nValue);
}

BOOL WriteSettingInt(LPCSTR pszSection, LPCSTR pszKey, int nValue)
{
    return WriteSettingIntIndexed(pszSection, pszKey, nValue, 0);
}

void GetCommaField(LPSTR pszDest, int nDestSize, LPCSTR pszSource, int nIndex)
{
    if (pszDest == nullptr || nDestSize <= 0)
        return;
    pszDest[0] = '\0';
    if (pszSource == nullptr)
        return;
    LPCSTR p = pszSource;
    for (int i = 0; i < nIndex; i++) {
        p = std::strchr(p, ',');
        if (p == nullptr)
            return;
        p++;
    }
    while (*p == ' ')
        p++;
    int nLength = 0;
    while (p[nLength] != '\0' && p[nLength] != ',')
        nLength++;
    while (nLength > 0 && p[nLength - 1] == ' ')
        nLength--;
    if (nLength > nDestSize - 1)
        nLength = nDestSize - 1;
    std::memcpy(pszDest, p, static_cast<size_t>(nLength));
    pszDest[nLength] = '\0';
}

void GetCommaField(LPSTR pszDest, LPCSTR pszSource, int nIndex)
{
    const size_t nSize = pszSource != nullptr ? std::strlen(pszSource) + 1 : 1;
    GetCommaField(pszDest, static_cast<int>(nSize), pszSource, nIndex);
}

int StrNCompare(LPCSTR psz1, LPCSTR psz2, int nCount)
{
    for (int i = 0; i < nCount; i++) {
        const signed char c1 = static_cast<signed char>(psz1[i]);
        const signed char c2 = static_cast<signed char>(psz2[i]);
        if (c1 != c2)
            return c1 - c2;
        if (c1 == '\0')
            break;
    }
    return 0;
}

void CutFileName(LPSTR pszPath)
{
    AppStripFileName(pszPath);
}

void AddFileNameToPath(LPSTR pszPath, int nPathSize, LPCSTR pszName)
{
    if (pszPath == nullptr || pszName == nullptr || nPathSize <= 0)
        return;
    const CString strPath(pszPath);
    CString strResult;
    const auto HasDrive = [](LPCSTR psz) { return psz[0] != '\0' && psz[1] == ':'; };
    if (HasDrive(pszName))
        strResult = pszName;
    else if (pszName[0] == '\\')
        strResult = (HasDrive(pszPath) ? strPath.Left(2) : CString()) + pszName;
    else {
        CString strBase = strPath;
        const int nLength = strBase.GetLength();
        if (nLength > 0 && (strBase[nLength - 1] == '\\' || strBase[nLength - 1] == '/'))
            strBase = strBase.Left(nLength - 1);
        strResult = strBase + "\\" + pszName;
    }
    if (strResult.GetLength() >= nPathSize)
        return;
    std::memcpy(pszPath, static_cast<LPCSTR>(strResult), static_cast<size_t>(strResult.GetLength()) + 1);
}

void AddFileNameToPath(LPSTR pszPath, LPCSTR pszName)
{
    AddFileNameToPath(pszPath, MAX_PATH, pszName);
}

// "ab" opens for appending and creates a missing file, the two steps in one.
// Without a program folder there is no log (it would land at the root of the drive).
void AppendDebugLog(LPCSTR pszText)
{
    const CString strAppDir = CConfigFile::GetAppDir();
    if (strAppDir.IsEmpty())
        return;
    const CString strPath = strAppDir + "\\DEBUG.TXT";
    FILE* pFile = std::fopen(strPath, "ab");
    if (pFile == nullptr)
        return;
    if (pszText != nullptr)
        std::fputs(pszText, pFile);
    std::fputs("\r\n", pFile);
    std::fclose(pFile);
}

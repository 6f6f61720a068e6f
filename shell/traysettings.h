// The settings of the companion tray clock (VArizi): read and written either
// in the ini file "Veltran.ini" beside the program or in the registry under
// HKEY_CURRENT_USER "Software\Tessaly\VArizi". A section followed by a number
// of 2 or more names an indexed section ("Alarm3"). Also the small string and
// path helpers that go with it and an append-only debug log.
#pragma once

#include "afx/afxstr.h"
#include "afx/wintypes.h"

// 1: the ini file, 0: the registry.
extern BOOL g_bSettingsInIni;
// Full path of the ini file; InitSettingsIniPath sets it, and a read or write
// that finds it empty sets it first. Without a program folder it stays empty:
// ini reads then give their default and writes fail.
extern char g_szSettingsIniPath[MAX_PATH];

extern const char g_szTraySettingsKey[]; // "Software\Tessaly\VArizi"
extern const char g_szTraySettingsSection[]; // "Main"
extern const char g_szTraySettingsIniName[]; // "Veltran.ini"

// The ini section or the registry key (below HKEY_CURRENT_USER) of a section
// and number; a number below 2 is the same as none.
CString GetTraySettingsSection(LPCSTR pszSection, int nNumber, BOOL bRegistry);

// The ini form of a value: enclosed in double quotes when it holds a double
// quote, a single quote or a space, so the reader's quote stripping gives it
// back as written.
CString QuoteTraySettingValue(LPCSTR pszValue);

void InitSettingsIniPath();

// Strings: the result is the ini reader's count, or in the registry the byte
// count stored (terminator included); the buffer always ends with a zero.
int ReadSettingString(LPCSTR pszSection, LPCSTR pszKey, LPSTR pszBuffer, int nBufferSize, LPCSTR pszDefault);
int ReadSettingStringIndexed(
    LPCSTR pszSection, LPCSTR pszKey, LPSTR pszBuffer, int nBufferSize, LPCSTR pszDefault, int nNumber);
int ReadSettingInt(LPCSTR pszSection, LPCSTR pszKey, int nDefault);
int ReadSettingIntIndexed(LPCSTR pszSection, LPCSTR pszKey, int nDefault, int nNumber);
BOOL WriteSettingString(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue);
BOOL WriteSettingStringIndexed(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue, int nNumber);
BOOL WriteSettingInt(LPCSTR pszSection, LPCSTR pszKey, int nValue);
BOOL WriteSettingIntIndexed(LPCSTR pszSection, LPCSTR pszKey, int nValue, int nNumber);

// Registry reads on an explicit root key (an HKEY) and subkey; the native
// build has no registry and always gives the default.
int ReadRegistryInt(void* hRootKey, LPCSTR pszSubKey, LPCSTR pszValueName, int nDefault);
int ReadRegistryString(void* hRootKey, LPCSTR pszSubKey, LPCSTR pszValueName, LPSTR pszBuffer,
    int nBufferSize, LPCSTR pszDefault);

// Field nIndex (from 0) of a comma-separated list, without its leading and
// trailing spaces; empty when the list has fewer fields. A field is never
// longer than the source, so a destination as large as the source is enough;
// the bounded form cuts at nDestSize - 1 characters.
void GetCommaField(LPSTR pszDest, LPCSTR pszSource, int nIndex);
void GetCommaField(LPSTR pszDest, int nDestSize, LPCSTR pszSource, int nIndex);

// 0 when the first nCount characters are equal (or both strings end first),
// else the difference of the first differing characters, as signed chars.
int StrNCompare(LPCSTR psz1, LPCSTR psz2, int nCount);

// The text of a string resource of the program, in a static buffer of 80
// characters (cut to fit); empty when there is none.
LPCSTR LoadResString(UINT nID);

// Cuts the path at its last "\" or "/"; a separator right after a drive colon stays.
void CutFileName(LPSTR pszPath);
// A name with a drive replaces the path; one starting with "\" replaces all
// after the path's drive; any other is appended after one "\". The path
// holds MAX_PATH characters (or nPathSize); a result that would not fit
// leaves the path as it was.
void AddFileNameToPath(LPSTR pszPath, LPCSTR pszName);
void AddFileNameToPath(LPSTR pszPath, int nPathSize, LPCSTR pszName);

// Appends the text and CR LF to "DEBUG.TXT" in the program folder; nothing
// without a program folder.
void AppendDebugLog(LPCSTR pszText);

// The storage under the store (traysettings_win.cpp: the profile functions and
// the registry; traysettings_posix.cpp: a plain ini reader and writer).
int TrayIniReadString(
    LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault, LPSTR pszBuffer, int nBufferSize, LPCSTR pszFile);
int TrayIniReadInt(LPCSTR pszSection, LPCSTR pszKey, int nDefault, LPCSTR pszFile);
BOOL TrayIniWriteString(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue, LPCSTR pszFile);
// Below HKEY_CURRENT_USER; the native build has no registry: reads give the
// default and writes fail.
int TrayRegReadString(LPCSTR pszSubKey, LPCSTR pszName, LPSTR pszBuffer, int nBufferSize, LPCSTR pszDefault);
int TrayRegReadInt(LPCSTR pszSubKey, LPCSTR pszName, int nDefault);
BOOL TrayRegWriteString(LPCSTR pszSubKey, LPCSTR pszName, LPCSTR pszValue);
BOOL TrayRegWriteInt(LPCSTR pszSubKey, LPCSTR pszName, int nValue);

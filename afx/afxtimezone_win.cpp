// Local time through the Win32 time-zone functions. The rules come from
// GetTimeZoneInformation, as the C runtime's do without TZ; they are read here
// rather than through msvcrt because msvcrt keeps one process-wide copy that a
// test cannot replace reliably: under Wine, once it has read the system zone,
// a TZ set later loses its daylight rules.
#include "afx/afxtime.h"
#include "afx/afxtimezone.h"

#include <cstring>

namespace {

bool g_bPinned = false;
TIME_ZONE_INFORMATION g_tziPinned;

void GetZone(TIME_ZONE_INFORMATION& tzi)
{
    if (g_bPinned)
        tzi = g_tziPinned;
    else if (GetTimeZoneInformation(&tzi) == TIME_ZONE_ID_INVALID)
        std::memset(&tzi, 0, sizeof(tzi));
}

bool IsLetter(char ch)
{
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

void CopyName(WCHAR* pszDest, const char* pchName, size_t nLength)
{
    if (nLength > 31)
        nLength = 31;
    for (size_t i = 0; i < nLength; i++)
        pszDest[i] = static_cast<WCHAR>(static_cast<unsigned char>(pchName[i]));
    pszDest[nLength] = 0;
}

} // namespace

bool AfxPlatformLocalTm(LONGLONG t, struct tm& tmOut)
{
    TIME_ZONE_INFORMATION tzi;
    GetZone(tzi);
    ULONGLONG nTicks = static_cast<ULONGLONG>(t + 11644473600LL) * 10000000ULL;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(nTicks);
    ft.dwHighDateTime = static_cast<DWORD>(nTicks >> 32);
    SYSTEMTIME stUtc, stLocal;
    if (!FileTimeToSystemTime(&ft, &stUtc) || !SystemTimeToTzSpecificLocalTime(&tzi, &stUtc, &stLocal))
        return false;
    std::memset(&tmOut, 0, sizeof(tmOut));
    tmOut.tm_year = stLocal.wYear - 1900;
    tmOut.tm_mon = stLocal.wMonth - 1;
    tmOut.tm_mday = stLocal.wDay;
    tmOut.tm_hour = stLocal.wHour;
    tmOut.tm_min = stLocal.wMinute;
    tmOut.tm_sec = stLocal.wSecond;
    tmOut.tm_wday = stLocal.wDayOfWeek;
    tmOut.tm_yday = static_cast<int>(AfxDaysFromCivil(stLocal.wYear, stLocal.wMonth, stLocal.wDay)
        - AfxDaysFromCivil(stLocal.wYear, 1, 1));
    LONGLONG nOffsetMinutes = (AfxWallSeconds(tmOut) - t) / 60;
    tmOut.tm_isdst = tzi.DaylightDate.wMonth != 0 && tzi.DaylightBias != tzi.StandardBias
        && nOffsetMinutes == -static_cast<LONGLONG>(tzi.Bias + tzi.DaylightBias);
    return true;
}

LONGLONG AfxPlatformMakeTime(const struct tm& tmWall, int nIsDst)
{
    TIME_ZONE_INFORMATION tzi;
    GetZone(tzi);
    LONG nBias = tzi.Bias + (nIsDst > 0 ? tzi.DaylightBias : tzi.StandardBias);
    return AfxWallSeconds(tmWall) + static_cast<LONGLONG>(nBias) * 60;
}

CString AfxPlatformZoneName(const struct tm& tm)
{
    TIME_ZONE_INFORMATION tzi;
    GetZone(tzi);
    char szName[64];
    int n = WideCharToMultiByte(CP_ACP, 0, tm.tm_isdst > 0 ? tzi.DaylightName : tzi.StandardName, -1, szName,
        sizeof(szName), nullptr, nullptr);
    return n > 0 ? CString(szName) : CString();
}

// The TZ form of the C runtime: letters, hours west of UTC (with optional
// minutes), letters for daylight time. Daylight time takes the US rules that
// glibc is given in the native build, for every year.
void AfxSetTimeZoneForTesting(LPCSTR pszZone)
{
    if (pszZone == nullptr) {
        g_bPinned = false;
        return;
    }
    TIME_ZONE_INFORMATION tzi;
    std::memset(&tzi, 0, sizeof(tzi));
    const char* p = pszZone;
    while (IsLetter(*p))
        p++;
    CopyName(tzi.StandardName, pszZone, static_cast<size_t>(p - pszZone));
    int nSign = 1;
    if (*p == '+' || *p == '-')
        nSign = *p++ == '-' ? -1 : 1;
    LONG nHours = 0, nMinutes = 0;
    while (*p >= '0' && *p <= '9')
        nHours = nHours * 10 + (*p++ - '0');
    if (*p == ':') {
        p++;
        while (*p >= '0' && *p <= '9')
            nMinutes = nMinutes * 10 + (*p++ - '0');
    }
    tzi.Bias = nSign * (nHours * 60 + nMinutes);
    // An explicit daylight flag shifts by an hour even without daylight rules, as mktime does.
    tzi.DaylightBias = -60;
    const char* pDaylight = p;
    while (IsLetter(*p))
        p++;
    if (p != pDaylight) {
        CopyName(tzi.DaylightName, pDaylight, static_cast<size_t>(p - pDaylight));
        tzi.DaylightDate.wMonth = 3; // second Sunday of March, 02:00
        tzi.DaylightDate.wDay = 2;
        tzi.DaylightDate.wHour = 2;
        tzi.StandardDate.wMonth = 11; // first Sunday of November, 02:00
        tzi.StandardDate.wDay = 1;
        tzi.StandardDate.wHour = 2;
    }
    g_tziPinned = tzi;
    g_bPinned = true;
}

// Inside afx_core only: the calendar arithmetic shared by the time files and
// the local-time functions that each platform provides (afxtimezone_win.cpp,
// afxtimezone_posix.cpp). Times given to them are within 0..AFX_TIME_MAX.
#pragma once

#include <ctime>

#include "afx/afxstr.h"
#include "afx/wintypes.h"

inline LONGLONG AfxFloorDiv(LONGLONG a, LONGLONG b)
{
    LONGLONG q = a / b;
    if (a % b != 0 && ((a < 0) != (b < 0)))
        q--;
    return q;
}

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
inline LONGLONG AfxDaysFromCivil(LONGLONG nYear, LONGLONG nMonth, LONGLONG nDay)
{
    if (nMonth <= 2)
        nYear--;
    LONGLONG nEra = AfxFloorDiv(nYear, 400);
    LONGLONG nYearOfEra = nYear - nEra * 400;
    LONGLONG nDayOfYear = (153 * (nMonth > 2 ? nMonth - 3 : nMonth + 9) + 2) / 5 + nDay - 1;
    LONGLONG nDayOfEra = nYearOfEra * 365 + nYearOfEra / 4 - nYearOfEra / 100 + nDayOfYear;
    return nEra * 146097 + nDayOfEra - 719468;
}

inline void AfxCivilFromDays(LONGLONG nDays, LONGLONG& nYear, int& nMonth, int& nDay)
{
    nDays += 719468;
    LONGLONG nEra = AfxFloorDiv(nDays, 146097);
    LONGLONG nDayOfEra = nDays - nEra * 146097;
    LONGLONG nYearOfEra = (nDayOfEra - nDayOfEra / 1460 + nDayOfEra / 36524 - nDayOfEra / 146096) / 365;
    LONGLONG nDayOfYear = nDayOfEra - (365 * nYearOfEra + nYearOfEra / 4 - nYearOfEra / 100);
    LONGLONG nMonthIndex = (5 * nDayOfYear + 2) / 153;
    nDay = static_cast<int>(nDayOfYear - (153 * nMonthIndex + 2) / 5 + 1);
    nMonth = static_cast<int>(nMonthIndex < 10 ? nMonthIndex + 3 : nMonthIndex - 9);
    nYear = nYearOfEra + nEra * 400 + (nMonth <= 2 ? 1 : 0);
}

// Seconds since 1970 of a wall time read as UTC.
inline LONGLONG AfxWallSeconds(const struct tm& tm)
{
    return AfxDaysFromCivil(tm.tm_year + 1900LL, tm.tm_mon + 1LL, tm.tm_mday) * 86400 + tm.tm_hour * 3600LL
        + tm.tm_min * 60LL + tm.tm_sec;
}

// Local fields of t, tm_isdst included; false when the platform cannot say.
bool AfxPlatformLocalTm(LONGLONG t, struct tm& tmOut);
// The time of a normalised wall time read with the given daylight flag (0 or 1),
// as mktime does when the flag is set; -1 when the platform cannot say.
LONGLONG AfxPlatformMakeTime(const struct tm& tmWall, int nIsDst);
// The name of the zone in force at tm (standard or daylight by tm_isdst).
CString AfxPlatformZoneName(const struct tm& tm);

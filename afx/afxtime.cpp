#include "afx/afxtime.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#ifndef _WIN32
static_assert(sizeof(time_t) == 8, "the native build needs a 64-bit time_t");
#endif

namespace {

std::function<LONGLONG()>& TestClock()
{
    static std::function<LONGLONG()> s_fnClock;
    return s_fnClock;
}

LONGLONG FloorDiv(LONGLONG a, LONGLONG b)
{
    LONGLONG q = a / b;
    if (a % b != 0 && ((a < 0) != (b < 0)))
        q--;
    return q;
}

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
LONGLONG DaysFromCivil(LONGLONG nYear, LONGLONG nMonth, LONGLONG nDay)
{
    if (nMonth <= 2)
        nYear--;
    LONGLONG nEra = FloorDiv(nYear, 400);
    LONGLONG nYearOfEra = nYear - nEra * 400;
    LONGLONG nDayOfYear = (153 * (nMonth > 2 ? nMonth - 3 : nMonth + 9) + 2) / 5 + nDay - 1;
    LONGLONG nDayOfEra = nYearOfEra * 365 + nYearOfEra / 4 - nYearOfEra / 100 + nDayOfYear;
    return nEra * 146097 + nDayOfEra - 719468;
}

void CivilFromDays(LONGLONG nDays, LONGLONG& nYear, int& nMonth, int& nDay)
{
    nDays += 719468;
    LONGLONG nEra = FloorDiv(nDays, 146097);
    LONGLONG nDayOfEra = nDays - nEra * 146097;
    LONGLONG nYearOfEra = (nDayOfEra - nDayOfEra / 1460 + nDayOfEra / 36524 - nDayOfEra / 146096) / 365;
    LONGLONG nDayOfYear = nDayOfEra - (365 * nYearOfEra + nYearOfEra / 4 - nYearOfEra / 100);
    LONGLONG nMonthIndex = (5 * nDayOfYear + 2) / 153;
    nDay = static_cast<int>(nDayOfYear - (153 * nMonthIndex + 2) / 5 + 1);
    nMonth = static_cast<int>(nMonthIndex < 10 ? nMonthIndex + 3 : nMonthIndex - 9);
    nYear = nYearOfEra + nEra * 400 + (nMonth <= 2 ? 1 : 0);
}

bool InRange(LONGLONG t)
{
    return t >= 0 && t <= AFX_TIME_MAX;
}

// Both C runtimes refuse or differ outside the range, so it is checked here.
bool LocalTm(LONGLONG t, struct tm& tmOut)
{
    std::memset(&tmOut, 0, sizeof(tmOut));
    if (!InRange(t))
        return false;
#ifdef _WIN32
    __time64_t tt = t;
    if (_localtime64_s(&tmOut, &tt) != 0) {
#else
    time_t tt = static_cast<time_t>(t);
    if (localtime_r(&tt, &tmOut) == nullptr) {
#endif
        std::memset(&tmOut, 0, sizeof(tmOut));
        return false;
    }
    return true;
}

bool GmtTm(LONGLONG t, struct tm& tmOut)
{
    std::memset(&tmOut, 0, sizeof(tmOut));
    if (!InRange(t))
        return false;
#ifdef _WIN32
    __time64_t tt = t;
    if (_gmtime64_s(&tmOut, &tt) != 0) {
#else
    time_t tt = static_cast<time_t>(t);
    if (gmtime_r(&tt, &tmOut) == nullptr) {
#endif
        std::memset(&tmOut, 0, sizeof(tmOut));
        return false;
    }
    return true;
}

// The C runtime's mktime for the wall time in tmWall read with one daylight flag.
// Both runtimes agree when the flag is given; they differ when asked to guess.
LONGLONG MakeTime(const struct tm& tmWall, int nIsDst)
{
    struct tm tmCopy = tmWall;
    tmCopy.tm_isdst = nIsDst;
#ifdef _WIN32
    return _mktime64(&tmCopy);
#else
    return static_cast<LONGLONG>(std::mktime(&tmCopy));
#endif
}

bool ShowsWallTime(LONGLONG t, const struct tm& tmWall)
{
    struct tm tmLocal;
    return LocalTm(t, tmLocal) && tmLocal.tm_year == tmWall.tm_year && tmLocal.tm_mon == tmWall.tm_mon
        && tmLocal.tm_mday == tmWall.tm_mday && tmLocal.tm_hour == tmWall.tm_hour && tmLocal.tm_min == tmWall.tm_min
        && tmLocal.tm_sec == tmWall.tm_sec;
}

const char* const g_apszDayName[7] = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
                                       "Saturday" };
const char* const g_apszMonthName[12] = { "January", "February", "March", "April", "May", "June", "July",
                                          "August", "September", "October", "November", "December" };

void AppendNumber(CString& str, LONGLONG n, int nWidth, bool bNoPad)
{
    char sz[32];
    std::snprintf(sz, sizeof(sz), "%0*lld", bNoPad ? 1 : nWidth, static_cast<long long>(n));
    str += sz;
}

int Clamp(int n, int nMax)
{
    return n < 0 ? 0 : (n > nMax ? nMax : n);
}

CString FormatTm(const struct tm& tm, LPCSTR pszFormat, bool bGmt)
{
    CString str;
    if (pszFormat == nullptr)
        return str;
    const int nDay = Clamp(tm.tm_wday, 6);
    const int nMonth = Clamp(tm.tm_mon, 11);
    for (const char* p = pszFormat; *p != '\0'; p++) {
        if (*p != '%') {
            str += *p;
            continue;
        }
        const char* pStart = p;
        bool bAlt = p[1] == '#';
        if (bAlt)
            p++;
        if (p[1] == '\0') {
            str += pStart;
            break;
        }
        p++;
        switch (*p) {
        case 'a':
            str += CString(g_apszDayName[nDay], 3);
            break;
        case 'A':
            str += g_apszDayName[nDay];
            break;
        case 'b':
            str += CString(g_apszMonthName[nMonth], 3);
            break;
        case 'B':
            str += g_apszMonthName[nMonth];
            break;
        case 'c':
            str += FormatTm(tm, bAlt ? "%A, %B %#d, %Y %H:%M:%S" : "%m/%d/%y %H:%M:%S", bGmt);
            break;
        case 'd':
            AppendNumber(str, tm.tm_mday, 2, bAlt);
            break;
        case 'H':
            AppendNumber(str, tm.tm_hour, 2, bAlt);
            break;
        case 'I':
            AppendNumber(str, tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12, 2, bAlt);
            break;
        case 'j':
            AppendNumber(str, tm.tm_yday + 1, 3, bAlt);
            break;
        case 'm':
            AppendNumber(str, tm.tm_mon + 1, 2, bAlt);
            break;
        case 'M':
            AppendNumber(str, tm.tm_min, 2, bAlt);
            break;
        case 'p':
            str += tm.tm_hour < 12 ? "AM" : "PM";
            break;
        case 'S':
            AppendNumber(str, tm.tm_sec, 2, bAlt);
            break;
        case 'U':
            AppendNumber(str, (tm.tm_yday + 7 - tm.tm_wday) / 7, 2, bAlt);
            break;
        case 'w':
            AppendNumber(str, tm.tm_wday, 1, bAlt);
            break;
        case 'W':
            AppendNumber(str, (tm.tm_yday + 7 - (tm.tm_wday + 6) % 7) / 7, 2, bAlt);
            break;
        case 'x':
            str += FormatTm(tm, bAlt ? "%A, %B %#d, %Y" : "%m/%d/%y", bGmt);
            break;
        case 'X':
            str += FormatTm(tm, "%H:%M:%S", bGmt);
            break;
        case 'y':
            AppendNumber(str, (tm.tm_year + 1900) % 100, 2, bAlt);
            break;
        case 'Y':
            AppendNumber(str, tm.tm_year + 1900LL, 1, bAlt);
            break;
        case 'z':
        case 'Z':
            if (bGmt) {
                str += "UTC";
            } else {
                char szZone[64];
                size_t n = std::strftime(szZone, sizeof(szZone), "%Z", &tm);
                str += CString(szZone, static_cast<int>(n));
            }
            break;
        case '%':
            str += '%';
            break;
        default:
            str += CString(pStart, static_cast<int>(p + 1 - pStart));
            break;
        }
    }
    return str;
}

#ifndef _WIN32
bool HasDaylightName(LPCSTR pszZone)
{
    const char* p = pszZone;
    while ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z'))
        p++;
    while (*p == '+' || *p == '-' || *p == ':' || (*p >= '0' && *p <= '9'))
        p++;
    return (*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z');
}
#endif

} // namespace

CTimeSpan::CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
    : m_timeSpan(static_cast<LONGLONG>(lDays) * 86400 + static_cast<LONGLONG>(nHours) * 3600
                 + static_cast<LONGLONG>(nMins) * 60 + nSecs)
{
}

CString CTimeSpan::Format(LPCSTR pszFormat) const
{
    CString str;
    if (pszFormat == nullptr)
        return str;
    for (const char* p = pszFormat; *p != '\0'; p++) {
        if (*p != '%' || p[1] == '\0') {
            str += *p;
            continue;
        }
        p++;
        switch (*p) {
        case 'D':
            AppendNumber(str, GetDays(), 1, false);
            break;
        case 'H':
            AppendNumber(str, GetHours(), 2, false);
            break;
        case 'M':
            AppendNumber(str, GetMinutes(), 2, false);
            break;
        case 'S':
            AppendNumber(str, GetSeconds(), 2, false);
            break;
        case '%':
            str += '%';
            break;
        default:
            str += '%';
            str += *p;
            break;
        }
    }
    return str;
}

CTime CTime::GetCurrentTime()
{
    const std::function<LONGLONG()>& fnClock = TestClock();
    if (fnClock)
        return CTime(fnClock());
#ifdef _WIN32
    return CTime(static_cast<LONGLONG>(_time64(nullptr)));
#else
    return CTime(static_cast<LONGLONG>(std::time(nullptr)));
#endif
}

// The fields are carried here in 64 bits rather than by mktime: the runtimes
// differ on overflow, and the wall time must be known to check mktime's answer.
// mktime is asked with each daylight flag and its answers are checked against
// the wall time, because the runtimes guess differently when left to choose.
CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST) : m_time(0)
{
    LONGLONG nSeconds = static_cast<LONGLONG>(nHour) * 3600 + static_cast<LONGLONG>(nMin) * 60 + nSec;
    LONGLONG nDayCarry = FloorDiv(nSeconds, 86400);
    nSeconds -= nDayCarry * 86400;
    LONGLONG nMonth0 = static_cast<LONGLONG>(nMonth) - 1;
    LONGLONG nYearCarry = FloorDiv(nMonth0, 12);
    nMonth0 -= nYearCarry * 12;
    LONGLONG nDays = DaysFromCivil(nYear + nYearCarry, nMonth0 + 1, 1) + (static_cast<LONGLONG>(nDay) - 1)
        + nDayCarry;

    LONGLONG nWallYear;
    int nWallMonth, nWallDay;
    CivilFromDays(nDays, nWallYear, nWallMonth, nWallDay);
    // A day more on either side than the range, for the zones' offsets.
    if (nWallYear < 1969 || nWallYear > 3001)
        return;

    struct tm tmWall;
    std::memset(&tmWall, 0, sizeof(tmWall));
    tmWall.tm_year = static_cast<int>(nWallYear - 1900);
    tmWall.tm_mon = nWallMonth - 1;
    tmWall.tm_mday = nWallDay;
    tmWall.tm_hour = static_cast<int>(nSeconds / 3600);
    tmWall.tm_min = static_cast<int>(nSeconds % 3600 / 60);
    tmWall.tm_sec = static_cast<int>(nSeconds % 60);

    LONGLONG tStandard = MakeTime(tmWall, 0);
    LONGLONG tDaylight = MakeTime(tmWall, 1);
    LONGLONG t;
    if (nDST >= 0) {
        t = nDST > 0 ? tDaylight : tStandard;
    } else {
        bool bStandard = ShowsWallTime(tStandard, tmWall);
        bool bDaylight = ShowsWallTime(tDaylight, tmWall);
        if (bStandard && bDaylight)
            t = tStandard < tDaylight ? tStandard : tDaylight;
        else if (bStandard)
            t = tStandard;
        else if (bDaylight)
            t = tDaylight;
        else // in the gap: read with the offset before the change, which lands after it
            t = tStandard > tDaylight ? tStandard : tDaylight;
    }
    if (InRange(t))
        m_time = t;
}

CTime::CTime(const SYSTEMTIME& st, int nDST)
    : CTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, nDST)
{
}

struct tm* CTime::GetLocalTm(struct tm* ptm) const
{
    if (ptm == nullptr)
        return nullptr;
    return LocalTm(m_time, *ptm) ? ptm : nullptr;
}

struct tm* CTime::GetGmtTm(struct tm* ptm) const
{
    if (ptm == nullptr)
        return nullptr;
    return GmtTm(m_time, *ptm) ? ptm : nullptr;
}

BOOL CTime::GetAsSystemTime(SYSTEMTIME& st) const
{
    struct tm tm;
    if (!LocalTm(m_time, tm))
        return FALSE;
    st.wYear = static_cast<WORD>(tm.tm_year + 1900);
    st.wMonth = static_cast<WORD>(tm.tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(tm.tm_wday);
    st.wDay = static_cast<WORD>(tm.tm_mday);
    st.wHour = static_cast<WORD>(tm.tm_hour);
    st.wMinute = static_cast<WORD>(tm.tm_min);
    st.wSecond = static_cast<WORD>(tm.tm_sec);
    st.wMilliseconds = 0;
    return TRUE;
}

int CTime::GetYear() const
{
    struct tm tm;
    LocalTm(m_time, tm);
    return tm.tm_year + 1900;
}

int CTime::GetMonth() const
{
    struct tm tm;
    LocalTm(m_time, tm);
    return tm.tm_mon + 1;
}

int CTime::GetDay() const
{
    struct tm tm;
    LocalTm(m_time, tm);
    return tm.tm_mday;
}

int CTime::GetHour() const
{
    struct tm tm;
    LocalTm(m_time, tm);
    return tm.tm_hour;
}

int CTime::GetMinute() const
{
    struct tm tm;
    LocalTm(m_time, tm);
    return tm.tm_min;
}

int CTime::GetSecond() const
{
    struct tm tm;
    LocalTm(m_time, tm);
    return tm.tm_sec;
}

int CTime::GetDayOfWeek() const
{
    struct tm tm;
    LocalTm(m_time, tm);
    return tm.tm_wday + 1;
}

CString CTime::Format(LPCSTR pszFormat) const
{
    struct tm tm;
    if (!LocalTm(m_time, tm))
        return CString();
    return FormatTm(tm, pszFormat, false);
}

CString CTime::FormatGmt(LPCSTR pszFormat) const
{
    struct tm tm;
    if (!GmtTm(m_time, tm))
        return CString();
    return FormatTm(tm, pszFormat, true);
}

LONG AfxTimeToArchive(const CTime& time)
{
    LONGLONG t = time.GetTime();
    if (t < -0x7FFFFFFFLL - 1 || t > 0x7FFFFFFFLL)
        return 0;
    return static_cast<LONG>(t);
}

CTime AfxTimeFromArchive(LONG lTime)
{
    return CTime(static_cast<LONGLONG>(lTime));
}

std::function<LONGLONG()> AfxSetClockForTesting(std::function<LONGLONG()> fnClock)
{
    std::function<LONGLONG()> fnOld = std::move(TestClock());
    TestClock() = std::move(fnClock);
    return fnOld;
}

void AfxSetTimeZoneForTesting(LPCSTR pszZone)
{
#ifdef _WIN32
    CString strSetting = "TZ=";
    if (pszZone != nullptr)
        strSetting += pszZone;
    _putenv(strSetting);
    _tzset();
#else
    if (pszZone == nullptr) {
        unsetenv("TZ");
    } else {
        // glibc needs the rule the Windows runtime applies on its own.
        CString strZone(pszZone);
        if (HasDaylightName(pszZone))
            strZone += ",M3.2.0,M11.1.0";
        setenv("TZ", strZone, 1);
    }
    tzset();
#endif
}

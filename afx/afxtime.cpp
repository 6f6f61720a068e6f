#include "afx/afxtime.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "afx/afxtimezone.h"

namespace {

std::function<LONGLONG()>& TestClock()
{
    static std::function<LONGLONG()> s_fnClock;
    return s_fnClock;
}

bool InRange(LONGLONG t)
{
    return t >= 0 && t <= AFX_TIME_MAX;
}

bool LocalTm(LONGLONG t, struct tm& tmOut)
{
    if (InRange(t) && AfxPlatformLocalTm(t, tmOut))
        return true;
    std::memset(&tmOut, 0, sizeof(tmOut));
    return false;
}

// UTC needs no zone: plain calendar arithmetic, the same in both builds.
bool GmtTm(LONGLONG t, struct tm& tmOut)
{
    std::memset(&tmOut, 0, sizeof(tmOut));
    if (!InRange(t))
        return false;
    LONGLONG nDays = AfxFloorDiv(t, 86400);
    LONGLONG nSeconds = t - nDays * 86400;
    LONGLONG nYear;
    int nMonth, nDay;
    AfxCivilFromDays(nDays, nYear, nMonth, nDay);
    tmOut.tm_year = static_cast<int>(nYear - 1900);
    tmOut.tm_mon = nMonth - 1;
    tmOut.tm_mday = nDay;
    tmOut.tm_hour = static_cast<int>(nSeconds / 3600);
    tmOut.tm_min = static_cast<int>(nSeconds % 3600 / 60);
    tmOut.tm_sec = static_cast<int>(nSeconds % 60);
    tmOut.tm_wday = static_cast<int>((nDays + 4) % 7); // 1970-01-01 was a Thursday
    tmOut.tm_yday = static_cast<int>(nDays - AfxDaysFromCivil(nYear, 1, 1));
    return true;
}

// The local fields of t; those of a zeroed struct tm outside the range.
struct tm LocalFields(LONGLONG t)
{
    struct tm tm;
    LocalTm(t, tm);
    return tm;
}

bool ShowsWallTime(LONGLONG t, const struct tm& tmWall)
{
    struct tm tmLocal;
    return LocalTm(t, tmLocal) && tmLocal.tm_year == tmWall.tm_year && tmLocal.tm_mon == tmWall.tm_mon
        && tmLocal.tm_mday == tmWall.tm_mday && tmLocal.tm_hour == tmWall.tm_hour
        && tmLocal.tm_min == tmWall.tm_min && tmLocal.tm_sec == tmWall.tm_sec;
}

const char* const g_apszDayName[7]
    = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" };
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
                str += AfxPlatformZoneName(tm);
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

// The fields are carried here in 64 bits rather than by mktime: the C runtimes
// differ on overflow, and the wall time must be known to check the answers.
// The wall time is read with each daylight flag and each answer is checked
// against it, because the runtimes guess differently when left to choose.
CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
    : m_time(0)
{
    LONGLONG nSeconds = static_cast<LONGLONG>(nHour) * 3600 + static_cast<LONGLONG>(nMin) * 60 + nSec;
    LONGLONG nDayCarry = AfxFloorDiv(nSeconds, 86400);
    nSeconds -= nDayCarry * 86400;
    LONGLONG nMonth0 = static_cast<LONGLONG>(nMonth) - 1;
    LONGLONG nYearCarry = AfxFloorDiv(nMonth0, 12);
    nMonth0 -= nYearCarry * 12;
    LONGLONG nDays = AfxDaysFromCivil(nYear + nYearCarry, nMonth0 + 1, 1) + (static_cast<LONGLONG>(nDay) - 1)
        + nDayCarry;

    LONGLONG nWallYear;
    int nWallMonth, nWallDay;
    AfxCivilFromDays(nDays, nWallYear, nWallMonth, nWallDay);
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

    LONGLONG tStandard = AfxPlatformMakeTime(tmWall, 0);
    LONGLONG tDaylight = AfxPlatformMakeTime(tmWall, 1);
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
    return LocalFields(m_time).tm_year + 1900;
}

int CTime::GetMonth() const
{
    return LocalFields(m_time).tm_mon + 1;
}

int CTime::GetDay() const
{
    return LocalFields(m_time).tm_mday;
}

int CTime::GetHour() const
{
    return LocalFields(m_time).tm_hour;
}

int CTime::GetMinute() const
{
    return LocalFields(m_time).tm_min;
}

int CTime::GetSecond() const
{
    return LocalFields(m_time).tm_sec;
}

int CTime::GetDayOfWeek() const
{
    return LocalFields(m_time).tm_wday + 1;
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

CString AfxFormatTm(const struct tm& tm, LPCSTR pszFormat)
{
    return FormatTm(tm, pszFormat, false);
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

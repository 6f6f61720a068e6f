#include "alarms/alarmtime.h"

#include <cstring>

// Dates are counted here in plain 64-bit integers on the proleptic Gregorian
// calendar, so the field carries never depend on the C runtime's mktime; only
// the step from a wall-clock reading to an instant asks the platform's local
// time, and that step is done the same way in every build.
//
// A result that does not fit the configuration file's 32-bit time (before
// 1970 or after 19 January 2038) is CTime(0), the value callers already take
// as "no time": it is never in the future, so such an alarm simply does not fire.

namespace
{
typedef long long TIME64;

const TIME64 kSecondsPerDay = 86400;
const TIME64 kLatestStored = 0x7FFFFFFF;
// Readings further outside the storable range are refused before any local
// time is asked for: no platform has to answer for far-off years.
const TIME64 kMargin = 4 * kSecondsPerDay;

struct CFields
{
    TIME64 nYear;
    TIME64 nMonth;   // 1..12
    TIME64 nDay;
    TIME64 nHour;
    TIME64 nMinute;
    TIME64 nSecond;
};

TIME64 FloorDiv(TIME64 a, TIME64 b)
{
    TIME64 q = a / b;
    if (a % b != 0 && ((a < 0) != (b < 0)))
        q--;
    return q;
}

// Days since 1 January 1970 of a date with month 1..12 (any day count).
TIME64 DaysFromCivil(TIME64 y, TIME64 m, TIME64 d)
{
    y -= m <= 2 ? 1 : 0;
    const TIME64 era = FloorDiv(y, 400);
    const TIME64 yoe = y - era * 400;
    const TIME64 doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const TIME64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// A wall-clock reading counted in seconds as if it were UTC. Every field may
// lie outside its range and carries into the larger ones; days carry month by
// month because they are counted from the first of the month. Callers pass
// values that came from ints, so nothing here overflows 64 bits.
TIME64 WallSeconds(TIME64 y, TIME64 mo, TIME64 d, TIME64 h, TIME64 mi, TIME64 s)
{
    const TIME64 nMonths = mo - 1;
    const TIME64 nYears = FloorDiv(nMonths, 12);
    y += nYears;
    mo = nMonths - nYears * 12 + 1;
    return (DaysFromCivil(y, mo, 1) + d - 1) * kSecondsPerDay + h * 3600 + mi * 60 + s;
}

BOOL LocalFields(TIME64 t, CFields& f)
{
    if (t < -kMargin || t > kLatestStored + kMargin)
        return FALSE;
    struct tm tmLocal;
    if (CTime(static_cast<LONGLONG>(t)).GetLocalTm(&tmLocal) == NULL)
        return FALSE;
    f.nYear = tmLocal.tm_year + 1900LL;
    f.nMonth = tmLocal.tm_mon + 1;
    f.nDay = tmLocal.tm_mday;
    f.nHour = tmLocal.tm_hour;
    f.nMinute = tmLocal.tm_min;
    f.nSecond = tmLocal.tm_sec;
    return TRUE;
}

// Local time minus UTC at instant t, in seconds.
BOOL OffsetAt(TIME64 t, TIME64& nOffset)
{
    CFields f;
    if (!LocalFields(t, f))
        return FALSE;
    nOffset = WallSeconds(f.nYear, f.nMonth, f.nDay, f.nHour, f.nMinute, f.nSecond) - t;
    return TRUE;
}

// The instants that show wall reading L, earliest first: one as a rule, two in
// the hour repeated when daylight saving ends. A reading inside the gap when
// it starts has none; it is taken with the offset in force before the gap,
// which moves it forward by the gap's length (02:30 becomes 03:30).
int InstantsOf(TIME64 L, TIME64 instants[2])
{
    if (L < -kMargin || L > kLatestStored + kMargin)
        return 0;
    TIME64 nBefore = 0;
    TIME64 nAfter = 0;
    if (!OffsetAt(L - kSecondsPerDay, nBefore) || !OffsetAt(L + kSecondsPerDay, nAfter))
        return 0;
    int nCount = 0;
    const TIME64 offsets[2] = {nBefore, nAfter};
    for (int i = 0; i < (nBefore == nAfter ? 1 : 2); i++)
    {
        const TIME64 t = L - offsets[i];
        TIME64 nOffset = 0;
        if (OffsetAt(t, nOffset) && nOffset == offsets[i])
            instants[nCount++] = t;
    }
    if (nCount == 0)
        instants[nCount++] = L - nBefore;
    if (nCount == 2 && instants[1] < instants[0])
    {
        const TIME64 t = instants[0];
        instants[0] = instants[1];
        instants[1] = t;
    }
    return nCount;
}

// The earliest instant of a reading: the same answer in every build, where
// mktime would pick either instant of a repeated hour as it likes.
BOOL Earliest(TIME64 L, TIME64& t)
{
    TIME64 instants[2];
    if (InstantsOf(L, instants) == 0)
        return FALSE;
    t = instants[0];
    return TRUE;
}

// The earliest instant of a reading that lies after tAfter, else the earliest.
// Kinds 1-3 use it: in the repeated hour the first instant of "the next
// listed second" may already be over.
BOOL EarliestAfter(TIME64 L, TIME64 tAfter, TIME64& t)
{
    TIME64 instants[2];
    const int nCount = InstantsOf(L, instants);
    if (nCount == 0)
        return FALSE;
    t = instants[0];
    for (int i = 0; i < nCount; i++)
    {
        if (instants[i] > tAfter)
        {
            t = instants[i];
            break;
        }
    }
    return TRUE;
}

CTime Stored(TIME64 t)
{
    if (t < 1 || t > kLatestStored)
        return CTime(static_cast<LONGLONG>(0));
    return CTime(static_cast<LONGLONG>(t));
}

CTime Stored(BOOL bOk, TIME64 t)
{
    return bOk ? Stored(t) : Stored(0);
}

int DaysInMonth(TIME64 nYear, TIME64 nMonth)
{
    static const int s_nDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (nMonth < 1 || nMonth > 12)
        return 0;
    if (nMonth == 2 && ((nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0))
        return 29;
    return s_nDays[nMonth - 1];
}

void AdvanceDay(CFields& f)
{
    f.nDay++;
    if (f.nDay > DaysInMonth(f.nYear, f.nMonth))
    {
        f.nDay = 1;
        f.nMonth++;
        if (f.nMonth > 12)
        {
            f.nMonth -= 12;
            f.nYear++;
        }
    }
}

void AdvanceHour(CFields& f)
{
    f.nHour++;
    if (f.nHour > 23)
    {
        f.nHour = 0;
        AdvanceDay(f);
    }
}

// '1' Sunday .. '7' Saturday; 1 January 1970 was a Thursday.
char WeekDayDigit(const CFields& f)
{
    const TIME64 nDays = DaysFromCivil(f.nYear, f.nMonth, f.nDay);
    return static_cast<char>('1' + (nDays + 4 - FloorDiv(nDays + 4, 7) * 7));
}

// A slice of a list read the way atoi reads it, without reading past the slice.
int SliceValue(LPCSTR p, int nLength)
{
    int i = 0;
    while (i < nLength && (p[i] == ' ' || (p[i] >= '\t' && p[i] <= '\r')))
        i++;
    BOOL bNegative = FALSE;
    if (i < nLength && (p[i] == '+' || p[i] == '-'))
    {
        bNegative = p[i] == '-';
        i++;
    }
    int nValue = 0;
    for (; i < nLength && p[i] >= '0' && p[i] <= '9'; i++)
        nValue = nValue * 10 + (p[i] - '0');
    return bNegative ? -nValue : nValue;
}

// The values 0..59 of a preset or custom list. FALSE when the list is empty:
// an unknown preset or an empty custom list, which give no time at all.
BOOL ListValues(int nPreset, const CString& strCustom, BOOL bValues[60])
{
    static const int s_nSteps[8] = {1, 2, 2, 5, 10, 15, 20, 30};
    for (int v = 0; v < 60; v++)
        bValues[v] = FALSE;
    if (nPreset >= 0 && nPreset <= 7)
    {
        const int nFirst = nPreset == 2 ? 1 : 0;
        for (int v = nFirst; v < 60; v += s_nSteps[nPreset])
            bValues[v] = TRUE;
        return TRUE;
    }
    if (nPreset != 8 || strCustom.IsEmpty())
        return FALSE;
    LPCSTR p = strCustom;
    const int nLength = strCustom.GetLength();
    for (int nPos = 0; nPos < nLength; nPos += 2)
    {
        const int nValue = SliceValue(p + nPos, nLength - nPos < 2 ? nLength - nPos : 2);
        if (nValue >= 0 && nValue <= 59)
            bValues[nValue] = TRUE;
    }
    return TRUE;
}

// The smallest listed value at or above nFrom; 60 when there is none, which
// the carries then turn into the start of the next minute or hour.
int FirstFrom(const BOOL bValues[60], TIME64 nFrom)
{
    for (TIME64 v = nFrom < 0 ? 0 : nFrom; v < 60; v++)
    {
        if (bValues[v])
            return static_cast<int>(v);
    }
    return 60;
}

BOOL TimeOfDay(const CTime& time, CFields& f)
{
    return LocalFields(static_cast<TIME64>(time.GetTime()), f);
}

// Kinds 4 and 5: the first day from today on whose digit is in the set and
// whose date at the alarm's time of day lies after tRef. Every set here holds
// a digit 1..7, so at most eight days are looked at.
CTime NextInDaySet(const CFields& now, const CFields& timeOfDay, const char* pszSet, TIME64 tRef)
{
    CFields day = now;
    for (int i = 0; i < 9; i++, AdvanceDay(day))
    {
        // The set first: the instant costs several local-time look-ups.
        if (std::strchr(pszSet, WeekDayDigit(day)) == NULL)
            continue;
        TIME64 t = 0;
        if (!Earliest(WallSeconds(day.nYear, day.nMonth, day.nDay, timeOfDay.nHour, timeOfDay.nMinute,
                                  timeOfDay.nSecond),
                      t))
            return Stored(0);
        if (t > tRef)
            return Stored(t);
    }
    return Stored(0);
}

BOOL HasWeekDayDigit(LPCSTR pszSet)
{
    for (LPCSTR p = pszSet; *p != '\0'; p++)
    {
        if (*p >= '1' && *p <= '7')
            return TRUE;
    }
    return FALSE;
}
} // namespace

CTime CAlarmTime::GetNextTime(const CAlarmSchedule& schedule) const
{
    const TIME64 tNow = static_cast<TIME64>(CTime::GetCurrentTime().GetTime());
    const TIME64 tRef = tNow + 1;
    CFields now;
    if (!LocalFields(tRef, now))
        return Stored(0);

    TIME64 t = 0;
    switch (schedule.m_nRepeat)
    {
    case ALARM_ONCE:
        // The base time as it is: rebuilding it from its fields would move a
        // time in the repeated hour to that hour's first pass.
        return Stored(static_cast<TIME64>(schedule.m_time.GetTime()));

    case ALARM_SECONDS:
    {
        BOOL bValues[60];
        if (!ListValues(schedule.m_nSecondPreset, schedule.m_strSecondList, bValues))
            return Stored(0);
        int nSecond = FirstFrom(bValues, now.nSecond);
        if (nSecond == 60)
        {
            now.nMinute++;
            if (now.nMinute > 59)
            {
                now.nMinute = 0;
                AdvanceHour(now);
            }
            nSecond = FirstFrom(bValues, 0);
        }
        const BOOL bOk = EarliestAfter(WallSeconds(now.nYear, now.nMonth, now.nDay, now.nHour, now.nMinute, nSecond),
                                       tNow, t);
        return Stored(bOk, t);
    }

    case ALARM_MINUTES:
    {
        BOOL bValues[60];
        if (!ListValues(schedule.m_nMinutePreset, schedule.m_strMinuteList, bValues))
            return Stored(0);
        int nMinute = FirstFrom(bValues, now.nMinute + 1);
        if (nMinute == 60)
        {
            AdvanceHour(now);
            nMinute = FirstFrom(bValues, 0);
        }
        const BOOL bOk =
            EarliestAfter(WallSeconds(now.nYear, now.nMonth, now.nDay, now.nHour, nMinute, 0), tNow, t);
        return Stored(bOk, t);
    }

    case ALARM_HOURLY:
    {
        if (now.nMinute >= schedule.m_nMinuteOfHour)
            AdvanceHour(now);
        const BOOL bOk = EarliestAfter(
            WallSeconds(now.nYear, now.nMonth, now.nDay, now.nHour, schedule.m_nMinuteOfHour, 0), tNow, t);
        return Stored(bOk, t);
    }

    case ALARM_DAILY:
    case ALARM_WEEKLY:
    {
        // No CString here: this runs every second for every alarm.
        char szWeekDay[2] = {0, 0};
        LPCSTR pszSet = "2345671";
        if (schedule.m_nRepeat == ALARM_WEEKLY)
        {
            if (schedule.m_nWeekDay < 1 || schedule.m_nWeekDay > 7)
                return Stored(0);
            szWeekDay[0] = static_cast<char>('0' + schedule.m_nWeekDay);
            pszSet = szWeekDay;
        }
        else if (schedule.m_nDays == ALARMDAYS_WORK)
            pszSet = "23456";
        else if (schedule.m_nDays == ALARMDAYS_WEEKEND)
            pszSet = "71";
        else if (schedule.m_nDays == ALARMDAYS_CUSTOM)
        {
            if (schedule.m_strWeekDays.IsEmpty())
                return Stored(static_cast<TIME64>(schedule.m_time.GetTime()));
            pszSet = schedule.m_strWeekDays;
        }
        // A set without a day would be searched for ever.
        if (!HasWeekDayDigit(pszSet))
            return Stored(0);
        CFields timeOfDay;
        if (!TimeOfDay(schedule.m_time, timeOfDay))
            return Stored(0);
        return NextInDaySet(now, timeOfDay, pszSet, tRef);
    }

    case ALARM_MONTHLY:
    {
        CFields timeOfDay;
        if (!TimeOfDay(schedule.m_time, timeOfDay))
            return Stored(0);
        if (!Earliest(WallSeconds(now.nYear, now.nMonth, schedule.m_nMonthDay, timeOfDay.nHour, timeOfDay.nMinute,
                                  timeOfDay.nSecond),
                      t))
            return Stored(0);
        if (tRef > t)
        {
            // The following month as it comes, without a second comparison.
            const BOOL bOk = Earliest(WallSeconds(now.nYear, now.nMonth + 1, schedule.m_nMonthDay, timeOfDay.nHour,
                                                  timeOfDay.nMinute, timeOfDay.nSecond),
                                      t);
            return Stored(bOk, t);
        }
        return Stored(t);
    }

    case ALARM_ANNUALLY:
    {
        CFields timeOfDay;
        if (!TimeOfDay(schedule.m_time, timeOfDay))
            return Stored(0);
        TIME64 nYear = now.nYear;
        TIME64 nMonth = static_cast<TIME64>(schedule.m_nYearMonth) + 1;
        if (nMonth > 12)
        {
            nMonth -= 12;
            nYear++;
        }
        if (!Earliest(WallSeconds(nYear, nMonth, schedule.m_nYearDay, timeOfDay.nHour, timeOfDay.nMinute,
                                  timeOfDay.nSecond),
                      t))
            return Stored(0);
        if (tRef > t)
        {
            const BOOL bOk = Earliest(WallSeconds(nYear + 1, nMonth, schedule.m_nYearDay, timeOfDay.nHour,
                                                  timeOfDay.nMinute, timeOfDay.nSecond),
                                      t);
            return Stored(bOk, t);
        }
        return Stored(t);
    }

    default:
        return Stored(0);
    }
}

CTimeSpan CAlarmTime::GetTimeLeft(const CAlarmSchedule& schedule) const
{
    const TIME64 tNow = static_cast<TIME64>(CTime::GetCurrentTime().GetTime());
    const TIME64 tNext = static_cast<TIME64>(GetNextTime(schedule).GetTime());
    return CTimeSpan(tNext - tNow);
}

int CAlarmTime::GetDaysInMonth(int nYear, int nMonth) const
{
    return DaysInMonth(nYear, nMonth);
}

CTime CAlarmTime::MakeTime(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond) const
{
    TIME64 t = 0;
    const BOOL bOk = Earliest(WallSeconds(nYear, nMonth, nDay, nHour, nMinute, nSecond), t);
    return Stored(bOk, t);
}

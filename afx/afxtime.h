// CTime and CTimeSpan: 64-bit counts of seconds, CTime since 1 January 1970
// UTC, shown and built in local time. The times both builds can represent are
// 1970-01-01 00:00:00 UTC to 3000-12-31 23:59:59 UTC (the Windows C runtime's
// range); CTime keeps any value, but local fields and text exist only there.
#pragma once

#include <ctime>
#include <functional>

#include "afx/afxstr.h"
#include "afx/wintypes.h"

// winbase.h still maps GetCurrentTime to GetTickCount for 16-bit code.
#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

// The last second both builds can represent: 3000-12-31 23:59:59 UTC.
const LONGLONG AFX_TIME_MAX = 32535215999LL;

class CTimeSpan {
public:
    CTimeSpan()
        : m_timeSpan(0)
    {
    }
    CTimeSpan(LONGLONG timeSpan)
        : m_timeSpan(timeSpan)
    {
    }
    CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs);

    // Days, hours, minutes and seconds truncate toward zero, so a negative span gives negative values.
    LONGLONG GetDays() const { return m_timeSpan / 86400; }
    LONGLONG GetTotalHours() const { return m_timeSpan / 3600; }
    LONG GetHours() const { return static_cast<LONG>(GetTotalHours() - GetDays() * 24); }
    LONGLONG GetTotalMinutes() const { return m_timeSpan / 60; }
    LONG GetMinutes() const { return static_cast<LONG>(GetTotalMinutes() - GetTotalHours() * 60); }
    LONGLONG GetTotalSeconds() const { return m_timeSpan; }
    LONG GetSeconds() const { return static_cast<LONG>(GetTotalSeconds() - GetTotalMinutes() * 60); }
    LONGLONG GetTimeSpan() const { return m_timeSpan; }

    // %D days, %H hours of the day, %M minutes, %S seconds (two digits), %% a percent sign.
    CString Format(LPCSTR pszFormat) const;

    CTimeSpan operator+(CTimeSpan span) const { return CTimeSpan(m_timeSpan + span.m_timeSpan); }
    CTimeSpan operator-(CTimeSpan span) const { return CTimeSpan(m_timeSpan - span.m_timeSpan); }
    CTimeSpan& operator+=(CTimeSpan span)
    {
        m_timeSpan += span.m_timeSpan;
        return *this;
    }
    CTimeSpan& operator-=(CTimeSpan span)
    {
        m_timeSpan -= span.m_timeSpan;
        return *this;
    }
    bool operator==(CTimeSpan span) const { return m_timeSpan == span.m_timeSpan; }
    bool operator!=(CTimeSpan span) const { return m_timeSpan != span.m_timeSpan; }
    bool operator<(CTimeSpan span) const { return m_timeSpan < span.m_timeSpan; }
    bool operator>(CTimeSpan span) const { return m_timeSpan > span.m_timeSpan; }
    bool operator<=(CTimeSpan span) const { return m_timeSpan <= span.m_timeSpan; }
    bool operator>=(CTimeSpan span) const { return m_timeSpan >= span.m_timeSpan; }

private:
    LONGLONG m_timeSpan;
};

class CTime {
public:
    // Through the clock that AfxSetClockForTesting installs, else the system clock.
    static CTime GetCurrentTime();

    CTime()
        : m_time(0)
    {
    }
    CTime(LONGLONG time)
        : m_time(time)
    {
    }
    // Local time. Fields out of their usual range carry (2 February 31 is 2 March,
    // hour 24 is the next day), a wall time skipped by the change to daylight time
    // moves forward by the gap, and a wall time that occurs twice is the first one
    // unless nDST says 0 (standard time, the second) or 1 (daylight time).
    // A date outside the representable range gives the time 0.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
    // As above, from the date and time fields of st.
    CTime(const SYSTEMTIME& st, int nDST = -1);

    LONGLONG GetTime() const { return m_time; }

    // nullptr, with *ptm zeroed, outside the representable range.
    struct tm* GetLocalTm(struct tm* ptm) const;
    struct tm* GetGmtTm(struct tm* ptm) const;
    BOOL GetAsSystemTime(SYSTEMTIME& st) const;

    // Local fields; outside the representable range they read as those of a
    // zeroed struct tm (year 1900, month 1, day 0).
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const; // 1 = Sunday .. 7 = Saturday

    // strftime's conversions as the Windows C runtime has them in the "C"
    // locale (%c is "%m/%d/%y %H:%M:%S", '#' drops leading zeros), the same in
    // both builds. An unknown conversion is copied as it stands. Empty outside
    // the representable range.
    CString Format(LPCSTR pszFormat) const;
    CString FormatGmt(LPCSTR pszFormat) const;

    CTime operator+(CTimeSpan span) const { return CTime(m_time + span.GetTimeSpan()); }
    CTime operator-(CTimeSpan span) const { return CTime(m_time - span.GetTimeSpan()); }
    CTimeSpan operator-(CTime time) const { return CTimeSpan(m_time - time.m_time); }
    CTime& operator+=(CTimeSpan span)
    {
        m_time += span.GetTimeSpan();
        return *this;
    }
    CTime& operator-=(CTimeSpan span)
    {
        m_time -= span.GetTimeSpan();
        return *this;
    }
    bool operator==(CTime time) const { return m_time == time.m_time; }
    bool operator!=(CTime time) const { return m_time != time.m_time; }
    bool operator<(CTime time) const { return m_time < time.m_time; }
    bool operator>(CTime time) const { return m_time > time.m_time; }
    bool operator<=(CTime time) const { return m_time <= time.m_time; }
    bool operator>=(CTime time) const { return m_time >= time.m_time; }

private:
    LONGLONG m_time;
};

// CTime::Format's conversions applied to any broken-down local time (the
// fields are taken as they stand), for the value classes that keep their own.
CString AfxFormatTm(const struct tm& tm, LPCSTR pszFormat);

// The stored files keep a CTime in 32 bits: signed seconds since 1970 UTC, as
// MFC's time_t was. A time outside 1901-12-13 20:45:52 .. 2038-01-19 03:14:07 UTC
// is stored as 0, the value every reader already takes as "no time". CArchive
// and every other writer of the files go through these two.
LONG AfxTimeToArchive(const CTime& time);
CTime AfxTimeFromArchive(LONG lTime);

// Replaces the clock behind CTime::GetCurrentTime (seconds since 1970 UTC) and
// returns the previous one; an empty function goes back to the system clock.
// Meant for tests; not safe while other threads read the time.
std::function<LONGLONG()> AfxSetClockForTesting(std::function<LONGLONG()> fnClock);

// Pins the local time zone of the process, for tests. pszZone has the form the
// Windows C runtime reads from TZ: a name, the hours west of UTC and an optional
// daylight-time name, as "XST-1XDT" (UTC+1, daylight UTC+2). Daylight time then
// runs from the second Sunday of March 02:00 to the first Sunday of November
// 02:00 (the US rules) in every year, identically in both builds. nullptr goes
// back to the system's zone.
void AfxSetTimeZoneForTesting(LPCSTR pszZone);

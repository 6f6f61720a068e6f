// A point in time and a length of time in 100-nanosecond ticks, the point
// counted from 1601-01-01 00:00:00 (the FILETIME epoch). Both carry a status:
// valid, invalid (a year or month out of range, a failed conversion, or a sum
// that does not fit in 64 bits) or null.
#pragma once

#include <ctime>

#include "afx/afx.h"

#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

class CHighResTimeSpan;

// Id of the string resource with the text of an invalid value.
const UINT AFX_IDS_INVALID_DATETIME = 61593;

class CHighResDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    CHighResDateTime() = default;
    CHighResDateTime(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond, int nMilli = 0,
        int nMicro = 0, int nNano = 0);
    explicit CHighResDateTime(const COleDateTime& odt);
    explicit CHighResDateTime(const CTime& time);
    explicit CHighResDateTime(const SYSTEMTIME& st);
    explicit CHighResDateTime(const FILETIME& ft);
    explicit CHighResDateTime(time_t t);

    static CHighResDateTime GetCurrentTime();

    BOOL SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond, int nMilli = 0,
        int nMicro = 0, int nNano = 0);
    void SetStatus(DateTimeStatus status) { m_status = status; }
    DateTimeStatus GetStatus() const { return m_status; }
    LONGLONG GetTicks() const { return m_ticks; }

    // -1 unless the value is valid.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetMillisecond() const;
    int GetMicrosecond() const;
    int GetNanosecond() const;
    int GetDayOfYear() const; // 1-based
    int GetDayOfWeek() const; // 1 Sunday .. 7 Saturday
    BOOL GetAsSystemTime(SYSTEMTIME& st) const;

    CHighResDateTime operator+(const CHighResTimeSpan& span) const;
    CHighResDateTime operator-(const CHighResTimeSpan& span) const;
    CHighResTimeSpan operator-(const CHighResDateTime& other) const;
    bool operator==(const CHighResDateTime& other) const;
    bool operator!=(const CHighResDateTime& other) const { return !(*this == other); }
    bool operator<(const CHighResDateTime& other) const { return m_ticks < other.m_ticks; }
    bool operator>(const CHighResDateTime& other) const { return m_ticks > other.m_ticks; }
    bool operator<=(const CHighResDateTime& other) const { return m_ticks <= other.m_ticks; }
    bool operator>=(const CHighResDateTime& other) const { return m_ticks >= other.m_ticks; }

    // strftime codes plus %s/%#s milliseconds, %u/%#u microseconds, %n/%#n
    // nanoseconds. Null for a missing buffer, a null value or a size below 1.
    LPSTR Format(LPSTR pszBuffer, int nSize, LPCSTR pszFormat) const;
    CString Format(LPCSTR pszFormat) const;
    CString Format(UINT nFormatID) const;

    void Serialize(CArchive& ar);

private:
    friend class CHighResTimeSpan;
    friend struct CHighResAccess;
    DateTimeStatus m_status = valid;
    LONGLONG m_ticks = 0;
};

class CHighResTimeSpan {
public:
    CHighResTimeSpan() = default;
    CHighResTimeSpan(LONGLONG nDays, int nHours, int nMinutes, int nSeconds, int nMilli = 0, int nMicro = 0,
        int nNano = 0);

    void SetStatus(CHighResDateTime::DateTimeStatus status) { m_status = status; }
    CHighResDateTime::DateTimeStatus GetStatus() const { return m_status; }
    LONGLONG GetTicks() const { return m_ticks; }

    // Totals truncate toward zero; nanoseconds saturate at the 64-bit limits.
    LONGLONG GetTotalDays() const;
    LONGLONG GetTotalHours() const;
    LONGLONG GetTotalMinutes() const;
    LONGLONG GetTotalSeconds() const;
    LONGLONG GetTotalMilliseconds() const;
    LONGLONG GetTotalMicroseconds() const;
    LONGLONG GetTotalNanoseconds() const;
    LONGLONG GetDays() const { return GetTotalDays(); }
    int GetHours() const;
    int GetMinutes() const;
    int GetSeconds() const;
    int GetMilliseconds() const;
    int GetMicroseconds() const;
    int GetNanoseconds() const;

    CHighResTimeSpan operator+(const CHighResTimeSpan& other) const;
    CHighResTimeSpan operator-(const CHighResTimeSpan& other) const;
    bool operator==(const CHighResTimeSpan& other) const;
    bool operator!=(const CHighResTimeSpan& other) const { return !(*this == other); }
    bool operator<(const CHighResTimeSpan& other) const { return m_ticks < other.m_ticks; }
    bool operator>(const CHighResTimeSpan& other) const { return m_ticks > other.m_ticks; }

    // As the date-time's, plus %D/%#D whole days; the strftime codes see the
    // span's hours, minutes and seconds.
    LPSTR Format(LPSTR pszBuffer, int nSize, LPCSTR pszFormat) const;
    CString Format(LPCSTR pszFormat) const;
    CString Format(UINT nFormatID) const;

    void Serialize(CArchive& ar);

private:
    friend class CHighResDateTime;
    friend struct CHighResAccess;
    CHighResDateTime::DateTimeStatus m_status = CHighResDateTime::valid;
    LONGLONG m_ticks = 0;
};

// Platform parts (datetime_win.cpp, datetime_posix.cpp).
// The local time now with its milliseconds.
SYSTEMTIME AfxDateTimeLocalNow();
// FileTimeToSystemTime; FALSE when the platform refuses the value.
BOOL AfxDateTimeFromFileTime(const FILETIME& ft, SYSTEMTIME& st);
// A string resource of the program, empty when there is none.
CString AfxDateTimeLoadString(UINT nID);

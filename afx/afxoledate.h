// COleDateTime, as far as the date-time classes need it: an automation date
// (days since 30 December 1899 as a double, the time of day as the fraction;
// before that day the fraction counts away from zero) built from fields.
#pragma once

#include "afx/wintypes.h"

class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    double m_dt = 0;
    DateTimeStatus m_status = valid;

    COleDateTime() = default;
    COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec) {
        SetDateTime(nYear, nMonth, nDay, nHour, nMin, nSec);
    }
    // The date and time fields of st; the milliseconds are ignored.
    explicit COleDateTime(const SYSTEMTIME& st)
        : COleDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond)
    {
    }

    // Years 100-9999 and fields in their range (no carrying); otherwise the
    // value is invalid with m_dt 0. Returns 0 when valid, as the status.
    int SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
    DateTimeStatus GetStatus() const { return m_status; }

    // Fields of a valid value, to the nearest second; -1 when not valid.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;  // 1 = Sunday .. 7 = Saturday
    BOOL GetAsSystemTime(SYSTEMTIME& st) const;

private:
    // Fills the seven fields (year .. second, day of week); false when not valid.
    bool Split(int* pnFields) const;
};

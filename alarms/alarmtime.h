// When an alarm fires next. Stateless: made on the stack for one call; every
// call reads the clock itself and leaves the schedule as it is.
#pragma once

#include "afx/afx.h"
#include "core/alarm.h"

class CAlarmTime
{
public:
    CAlarmTime() {}

    // The next firing time as seen from now; CTime(0) when the schedule has
    // none (an empty list, a day set without a day, an unknown kind) or when
    // the time would not fit the file's 32 bits.
    CTime GetNextTime(const CAlarmSchedule& schedule) const;
    // Next time minus now; negative once the time is over.
    CTimeSpan GetTimeLeft(const CAlarmSchedule& schedule) const;
    // 28 to 31 for months 1..12, 0 for any other month.
    int GetDaysInMonth(int nYear, int nMonth) const;
    // Local time from fields that may overflow into the next larger ones;
    // CTime(0) when the result does not fit the file's 32 bits.
    CTime MakeTime(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond) const;
};

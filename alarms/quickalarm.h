// Quick alarms: the one-time alarms the tray menu's "New alarm..." sub-menu
// makes relative to the current time (commands 3000 to 3067).
#pragma once

#include "afx/afx.h"
#include "core/alarm.h"

enum
{
    QUICKALARM_CUSTOM = 3000,
    QUICKALARM_FIRST = 3000,
    QUICKALARM_LAST = 3067
};

// The local time command nID sets, seen from now; CTime(0) for an id outside
// the range or a time the file cannot keep.
CTime QuickAlarmTime(UINT nID, CTime now);

// A new quick alarm's fields, all but its time: enabled, once, "New Alarm",
// shown in the tray, the message "Don't forget about..." in the middle half of
// a cxFull x cyFull screen with font lf.
void InitQuickAlarm(CAlarm& alarm, int cxFull, int cyFull, const LOGFONTA& lf);

// The start values that make the check fire the alarm at its next time:
// next = its schedule's next time, last run = now (what the alarm list gives
// every alarm it shows).
void SetQuickAlarmStart(CAlarm& alarm, CTime now);

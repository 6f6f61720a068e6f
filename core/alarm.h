// One alarm: its schedule and what it does when it runs. A plain value type,
// copied freely; the editor pages copy single blocks, so each block is a
// type of its own. Every number starts at 0 (the font and rectangle zeroed),
// so no block ever carries an indeterminate value into the file.
#pragma once

#include "afx/afx.h"

class CAlarmSchedule
{
public:
    BOOL m_bEnabled = 0;
    int m_nRepeat = 0;           // ALARM_ONCE .. ALARM_ANNUALLY
    CTime m_time;                // kinds 3-7 use only its time of day
    int m_nSecondPreset = 0;
    CString m_strSecondList;     // two-digit values
    int m_nMinutePreset = 0;
    CString m_strMinuteList;
    int m_nMinuteOfHour = 0;
    int m_nMonthDay = 0;
    int m_nYearDay = 0;
    int m_nYearMonth = 0;        // 0 January .. 11 December
    int m_nDays = 0;             // ALARMDAYS_ALL .. ALARMDAYS_CUSTOM
    CString m_strWeekDays;       // digits 1 Sunday .. 7 Saturday
    int m_nWeekDay = 0;          // 1 Sunday .. 7 Saturday
    int m_nScheduleReserved = 0;
    CTime m_timeNext;
    CTime m_timeLastRun;
};

class CAlarmGeneral
{
public:
    BOOL m_bAskNotify = 0;
    WORD m_wHotKeyVK = 0;
    WORD m_wHotKeyMods = 0;      // shift 1, control 2, alt 4
    DWORD m_nHotKeyExtra = 0;    // never stored
    BOOL m_bCustomIcon = 0;
    int m_nIconIndex = 0;
    CString m_strIconFile;
    CString m_strName;
    BOOL m_bShowInTray = 0;
    int m_nStarts = 0;
};

class CAlarmMessage
{
public:
    BOOL m_bShowMessage = 0;
    BOOL m_bMsgOnTop = 0;
    CString m_strMessage;
    BOOL m_bMsgCenter = 0;
    LOGFONTA m_lfMessage = {};
    RECT m_rcMessage = {};
    int m_nAutoCloseSec = 0;
    BOOL m_bAutoClose = 0;
    BOOL m_bToggleTrayClock = 0;
    BOOL m_bToggleAnalog = 0;
    BOOL m_bToggleDigital = 0;
    BOOL m_bToggleCalendar = 0;
};

class CAlarmActions
{
public:
    BOOL m_bRunApps = 0;
    CString m_strApps;           // paths, each followed by "***"
    BOOL m_bSysFuncs = 0;
    CString m_strSysFuncs;       // two-digit codes "00" to "10"
};

class CAlarmSound
{
public:
    BOOL m_bPlaySounds = 0;
    CString m_strSounds;         // entries, each followed by "***"
    int m_nSoundExtra = 0;
};

class CAlarmEvent : public CAlarmGeneral, public CAlarmMessage, public CAlarmActions, public CAlarmSound
{
};

class CAlarm : public CAlarmSchedule, public CAlarmEvent
{
public:
    // Who this alarm is within the run, never stored: copies keep it, so the
    // shell finds an alarm again after the array was rebuilt from copies.
    DWORD m_nIdentity = 0;
};

enum
{
    ALARM_ONCE = 0,
    ALARM_SECONDS = 1,
    ALARM_MINUTES = 2,
    ALARM_HOURLY = 3,
    ALARM_DAILY = 4,
    ALARM_WEEKLY = 5,
    ALARM_MONTHLY = 6,
    ALARM_ANNUALLY = 7
};

enum
{
    ALARMDAYS_ALL = 0,
    ALARMDAYS_WORK = 1,
    ALARMDAYS_WEEKEND = 2,
    ALARMDAYS_CUSTOM = 3
};

typedef CArray<CAlarm, CAlarm&> CAlarmArray;

extern CAlarmArray g_alarms;

// Gives every alarm without an identity, and every later copy of an identity
// already seen, a new one; the first holder keeps it.
void AlarmEnsureIdentities(CAlarmArray& alarms);
// The index of the alarm with that identity, or -1.
INT_PTR AlarmFindByIdentity(const CAlarmArray& alarms, DWORD nIdentity);

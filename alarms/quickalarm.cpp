#include "alarms/quickalarm.h"

#include "alarms/alarmtime.h"

// Each id changes one field of the current time; MakeTime carries the
// overflow (minute 85, day 35, month 14) into the larger fields.
CTime QuickAlarmTime(UINT nID, CTime now)
{
    if (nID < QUICKALARM_FIRST || nID > QUICKALARM_LAST)
        return CTime();
    int nYear = now.GetYear();
    int nMonth = now.GetMonth();
    int nDay = now.GetDay();
    int nHour = now.GetHour();
    int nMinute = now.GetMinute();
    int nSecond = now.GetSecond();
    const int nWeekDay = now.GetDayOfWeek();
    const int n = static_cast<int>(nID);

    if (n >= 3001 && n <= 3011)
        nMinute += 5 * (n - 3000);
    else if (n >= 3012 && n <= 3016)
        nHour += n - 3011;
    else if (n >= 3018 && n <= 3024)
        nHour += n - 3012;
    else if (n >= 3025 && n <= 3048)
    {
        const int nAt = n - 3025;
        nMinute = 0;
        nSecond = 0;
        if (nHour >= nAt)
            nDay++;
        nHour = nAt;
    }
    else if (n >= 3049 && n <= 3054)
        nDay += n - 3048;
    else if (n >= 3055 && n <= 3057)
        nDay += 7 * (n - 3054);
    else if (n >= 3058 && n <= 3060)
        nMonth += n - 3057;
    else if (n >= 3061 && n <= 3067)
    {
        const int nTarget = n == 3067 ? 1 : n - 3059;  // Monday 2 .. Saturday 7, Sunday 1
        int d = nTarget - nWeekDay;
        if (d < 1)
            d += 7;
        nDay += d;
    }
    return CAlarmTime().MakeTime(nYear, nMonth, nDay, nHour, nMinute, nSecond);
}

void InitQuickAlarm(CAlarm& alarm, int cxFull, int cyFull, const LOGFONTA& lf)
{
    alarm.m_bEnabled = 1;
    alarm.m_nRepeat = ALARM_ONCE;
    alarm.m_wHotKeyVK = 0;
    alarm.m_wHotKeyMods = 0;
    alarm.m_nHotKeyExtra = 0;
    alarm.m_strName = "New Alarm";
    alarm.m_bCustomIcon = 0;
    alarm.m_nIconIndex = 0;
    alarm.m_strIconFile.Empty();
    alarm.m_bAskNotify = 0;
    alarm.m_nStarts = 0;
    alarm.m_bShowInTray = 1;
    alarm.m_bRunApps = 0;
    alarm.m_strApps.Empty();
    alarm.m_bSysFuncs = 0;
    alarm.m_strSysFuncs.Empty();
    alarm.m_bPlaySounds = 0;
    alarm.m_strSounds.Empty();
    alarm.m_nSoundExtra = 1;
    alarm.m_bToggleTrayClock = 0;
    alarm.m_bToggleAnalog = 0;
    alarm.m_bToggleDigital = 0;
    alarm.m_bToggleCalendar = 0;
    alarm.m_bShowMessage = 0;
    alarm.m_strMessage = "Don't forget about...";
    alarm.m_bMsgCenter = 1;
    alarm.m_nAutoCloseSec = 10;
    alarm.m_bAutoClose = 0;
    alarm.m_rcMessage.left = cxFull / 4;
    alarm.m_rcMessage.top = cyFull / 4;
    alarm.m_rcMessage.right = 3 * cxFull / 4;
    alarm.m_rcMessage.bottom = 3 * cyFull / 4;
    alarm.m_lfMessage = lf;
}

void SetQuickAlarmStart(CAlarm& alarm, CTime now)
{
    alarm.m_timeNext = CAlarmTime().GetNextTime(alarm);
    alarm.m_timeLastRun = now;
}

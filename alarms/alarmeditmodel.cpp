#include "alarms/alarmeditmodel.h"

#include "alarms/alarmlists.h"
#include "alarms/alarmtime.h"

#include <cstdio>

namespace
{
const char kEnd[] = "***";
const int kEndLength = 3;
const char kSoundOn[] = "TRUETRUETRUE";
const int kSoundOnLength = 12;

const char* const kSystemFunctions[CAlarmActionsModel::SYSTEM_FUNCTIONS] = {
    "CD-ROM Open",       "CD-ROM Close",  "Block Keyboard and Mouse", "Monitor Light Sleep",
    "Monitor Sleep",     "Monitor Power Off", "Monitor Screen Saver", "Log Off",
    "Shutdown System",   "Computer Reboot",   "Computer Power Off"};

// The pieces a "***" ends; the scan goes on behind each separator, so a
// fourth star starts the next piece.
std::vector<CString> SplitRows(const CString& strList)
{
    std::vector<CString> rows;
    int nStart = 0;
    for (;;)
    {
        const int nFound = strList.Find(kEnd, nStart);
        if (nFound < 0)
            break;
        rows.push_back(strList.Mid(nStart, nFound - nStart));
        nStart = nFound + kEndLength;
    }
    return rows;
}

BOOL InRange(int n, int nMin, int nMax)
{
    return n >= nMin && n <= nMax;
}
} // namespace

CAlarmInfoFields CAlarmInfoModel::Load(const CAlarmSchedule& schedule, const CAlarmGeneral& general)
{
    CAlarmInfoFields fields;
    fields.nStarts = general.m_nStarts;
    fields.bEnabled = schedule.m_bEnabled;
    fields.strName = general.m_strName;
    fields.nRepeat = ShownRepeat(schedule.m_nRepeat);
    fields.nTimeHour = schedule.m_time.GetHour();
    fields.nTimeMinute = schedule.m_time.GetMinute();
    fields.nTimeSecond = schedule.m_time.GetSecond();
    fields.nDateYear = schedule.m_time.GetYear();
    fields.nDateMonth = schedule.m_time.GetMonth();
    fields.nDateDay = schedule.m_time.GetDay();
    fields.nSecondPreset = ShownIndex(schedule.m_nSecondPreset, SECOND_PRESETS);
    fields.nMinutePreset = ShownIndex(schedule.m_nMinutePreset, MINUTE_PRESETS);
    fields.nDays = ShownIndex(schedule.m_nDays, DAY_SETS);
    fields.nYearMonth = ShownIndex(schedule.m_nYearMonth, MONTHS);
    fields.nWeekDayIndex = WeekDayToIndex(schedule.m_nWeekDay);
    fields.nMinuteOfHour = schedule.m_nMinuteOfHour;
    fields.nMonthDay = schedule.m_nMonthDay;
    fields.nYearDay = schedule.m_nYearDay;
    fields.wHotKeyVK = general.m_wHotKeyVK;
    fields.wHotKeyMods = general.m_wHotKeyMods;
    fields.bAskNotify = general.m_bAskNotify;
    fields.bShowInTray = general.m_bShowInTray;
    return fields;
}

int CAlarmInfoModel::ShownRepeat(int nRepeat)
{
    return InRange(nRepeat, ALARM_ONCE, ALARM_ANNUALLY) ? nRepeat : ALARM_ONCE;
}

int CAlarmInfoModel::ShownIndex(int nIndex, int nCount)
{
    return InRange(nIndex, 0, nCount - 1) ? nIndex : 0;
}

int CAlarmInfoModel::WeekDayToIndex(int nWeekDay)
{
    if (nWeekDay == 1)
        return 6;
    return InRange(nWeekDay, 2, 7) ? nWeekDay - 2 : 0;
}

int CAlarmInfoModel::IndexToWeekDay(int nIndex)
{
    return nIndex == 6 ? 1 : nIndex + 2;
}

int* CAlarmInfoModel::WorkingValue(CAlarmInfoFields& fields, int nKind)
{
    switch (nKind)
    {
    case ALARM_HOURLY:
        return &fields.nMinuteOfHour;
    case ALARM_MONTHLY:
        return &fields.nMonthDay;
    case ALARM_ANNUALLY:
        return &fields.nYearDay;
    default:
        return nullptr;
    }
}

CUpDownSetup CAlarmInfoModel::SetUpKind(CAlarmInfoFields& fields, int nKind, int nYear)
{
    CUpDownSetup setup;
    switch (nKind)
    {
    case ALARM_HOURLY:
        if (!InRange(fields.nMinuteOfHour, 0, 59))
            fields.nMinuteOfHour = 30;
        setup = {TRUE, 0, 59, fields.nMinuteOfHour};
        break;
    case ALARM_MONTHLY:
        if (!InRange(fields.nMonthDay, 1, 31))
            fields.nMonthDay = 15;
        setup = {TRUE, 1, 31, fields.nMonthDay};
        break;
    case ALARM_ANNUALLY:
        if (!InRange(fields.nYearDay, 1, 31))
            fields.nYearDay = 1;
        setup = ApplyMonthRule(fields, nYear);
        break;
    default:
        break;
    }
    return setup;
}

CUpDownSetup CAlarmInfoModel::ApplyMonthRule(CAlarmInfoFields& fields, int nYear)
{
    fields.nYearMonth = ShownIndex(fields.nYearMonth, MONTHS);
    const int nDays = CAlarmTime().GetDaysInMonth(nYear, fields.nYearMonth + 1);
    if (fields.nYearDay > nDays)
        fields.nYearDay = nDays;
    if (fields.nYearDay < 1)
        fields.nYearDay = 1;
    return {TRUE, 1, nDays, fields.nYearDay};
}

// MakeTime gives no time (0) for a result outside the record's 32 bits; the
// Seconds and Minutes kinds keep the time they have.
BOOL CAlarmInfoModel::TimeFits(const CAlarmInfoFields& fields, const CTime& today)
{
    const CAlarmTime arithmetic;
    switch (ShownRepeat(fields.nRepeat))
    {
    case ALARM_ONCE:
        return arithmetic.MakeTime(fields.nDateYear, fields.nDateMonth, fields.nDateDay, fields.nTimeHour,
                                   fields.nTimeMinute, fields.nTimeSecond) != CTime();
    case ALARM_SECONDS:
    case ALARM_MINUTES:
        return TRUE;
    default:
        return arithmetic.MakeTime(today.GetYear(), today.GetMonth(), today.GetDay(), fields.nTimeHour,
                                   fields.nTimeMinute, fields.nTimeSecond) != CTime();
    }
}

BOOL CAlarmInfoModel::Store(const CAlarmInfoFields& fields, const CTime& today, CAlarmSchedule& schedule,
                            CAlarmGeneral& general)
{
    if (fields.strName.IsEmpty() || !TimeFits(fields, today))
        return FALSE;
    general.m_strName = fields.strName;
    schedule.m_bEnabled = fields.bEnabled;
    schedule.m_nRepeat = ShownRepeat(fields.nRepeat);

    const CAlarmTime arithmetic;
    const CTime timeToday = arithmetic.MakeTime(today.GetYear(), today.GetMonth(), today.GetDay(), fields.nTimeHour,
                                                fields.nTimeMinute, fields.nTimeSecond);
    switch (schedule.m_nRepeat)
    {
    case ALARM_ONCE:
        schedule.m_time = arithmetic.MakeTime(fields.nDateYear, fields.nDateMonth, fields.nDateDay, fields.nTimeHour,
                                              fields.nTimeMinute, fields.nTimeSecond);
        break;
    case ALARM_SECONDS:
        schedule.m_nSecondPreset = fields.nSecondPreset;
        break;
    case ALARM_MINUTES:
        schedule.m_nMinutePreset = fields.nMinutePreset;
        break;
    case ALARM_HOURLY:
        schedule.m_time = timeToday;
        schedule.m_nMinuteOfHour = fields.nMinuteOfHour;
        break;
    case ALARM_DAILY:
        schedule.m_time = timeToday;
        schedule.m_nDays = fields.nDays;
        break;
    case ALARM_WEEKLY:
        schedule.m_time = timeToday;
        schedule.m_nWeekDay = IndexToWeekDay(fields.nWeekDayIndex);
        break;
    case ALARM_MONTHLY:
        schedule.m_time = timeToday;
        schedule.m_nMonthDay = fields.nMonthDay;
        break;
    case ALARM_ANNUALLY:
        schedule.m_time = timeToday;
        schedule.m_nYearDay = fields.nYearDay;
        schedule.m_nYearMonth = fields.nYearMonth;
        break;
    default:
        break;
    }
    general.m_wHotKeyVK = fields.wHotKeyVK;
    general.m_wHotKeyMods = fields.wHotKeyMods;
    general.m_bAskNotify = fields.bAskNotify;
    general.m_bShowInTray = fields.bShowInTray;
    return TRUE;
}

CString CAlarmInfoModel::Caption(const CString& strName)
{
    return "Editing '" + strName + "' Alarm...";
}

int CAlarmMessageModel::ShownDelay(int nSeconds)
{
    return InRange(nSeconds, 1, 999999) ? nSeconds : 10;
}

std::vector<CString> CAlarmActionsModel::LoadApps(const CString& strApps)
{
    return SplitRows(strApps);
}

CString CAlarmActionsModel::StoreApps(const std::vector<CString>& apps)
{
    CString strApps;
    for (const CString& strApp : apps)
        strApps += strApp + kEnd;
    return strApps;
}

// The executor's reading, so a row shows checked exactly when its code runs.
std::vector<BOOL> CAlarmActionsModel::LoadSystemFunctions(const CString& strCodes)
{
    std::vector<BOOL> checked(SYSTEM_FUNCTIONS, FALSE);
    for (int nCode : CAlarmLists::GetSystemFunctions(strCodes))
        checked[static_cast<size_t>(nCode)] = TRUE;
    return checked;
}

CString CAlarmActionsModel::StoreSystemFunctions(const std::vector<BOOL>& checked)
{
    CString strCodes;
    for (size_t i = 0; i < checked.size() && i < SYSTEM_FUNCTIONS; i++)
    {
        if (!checked[i])
            continue;
        char sz[8];
        std::snprintf(sz, sizeof(sz), "%02d", static_cast<int>(i));
        strCodes += sz;
    }
    return strCodes;
}

LPCSTR CAlarmActionsModel::SystemFunctionLabel(int nCode)
{
    return InRange(nCode, 0, SYSTEM_FUNCTIONS - 1) ? kSystemFunctions[nCode] : "";
}

std::vector<CAlarmListRow> CAlarmSoundsModel::LoadSounds(const CString& strSounds)
{
    std::vector<CAlarmListRow> rows;
    for (const CString& strPiece : SplitRows(strSounds))
    {
        CAlarmListRow row;
        if (strPiece.GetLength() >= kSoundOnLength && strPiece.Left(kSoundOnLength) == kSoundOn)
        {
            row.bChecked = TRUE;
            row.strText = strPiece.Mid(kSoundOnLength);
        }
        else
            row.strText = strPiece;
        rows.push_back(row);
    }
    return rows;
}

CString CAlarmSoundsModel::StoreSounds(const std::vector<CAlarmListRow>& rows)
{
    CString strSounds;
    for (const CAlarmListRow& row : rows)
        strSounds += (row.bChecked ? CString(kSoundOn) : CString()) + row.strText + kEnd;
    return strSounds;
}

CString CAlarmSoundsModel::FullPath(const CString& strText, const CString& strSoundDir)
{
    if (strText.Find('\\') >= 0)
        return strText;
    return strSoundDir.IsEmpty() ? CString() : strSoundDir + "\\" + strText;
}

int AlarmInsertPosition(int nSelectionMark, int nCount)
{
    return InRange(nSelectionMark, 0, nCount - 1) ? nSelectionMark + 1 : nCount;
}

CString CAlarmListDlgModel::ValueList(const std::vector<BOOL>& checked)
{
    CString strList;
    for (size_t i = 0; i < checked.size(); i++)
    {
        if (!checked[i])
            continue;
        char sz[16];
        std::snprintf(sz, sizeof(sz), "%2d", static_cast<int>(i));
        strList += sz;
    }
    return strList;
}

CString CAlarmListDlgModel::WeekDays(const std::vector<BOOL>& checked)
{
    CString strDays;
    for (size_t i = 0; i < checked.size() && i < 7; i++)
        if (checked[i])
            strDays += static_cast<char>(i == 6 ? '1' : '2' + i);
    return strDays;
}

// The alarm editor's rules for what a stored value shows and what a shown
// value stores, one small model per page and per list dialog. No windows:
// the pages are thin views over these, and the rules are tested natively.
#pragma once

#include "afx/afx.h"
#include "core/alarm.h"

#include <vector>

// The alarm information page: name, repeat kind with its schedule fields,
// hot key and flags.
struct CAlarmInfoFields
{
    CString strName;
    BOOL bEnabled = 0;
    int nStarts = 0;            // shown, never stored
    int nRepeat = 0;            // radio index 0..7
    int nTimeHour = 0, nTimeMinute = 0, nTimeSecond = 0;   // time picker
    int nDateYear = 1970, nDateMonth = 1, nDateDay = 1;    // date picker
    int nSecondPreset = 0;      // combo indexes
    int nMinutePreset = 0;
    int nDays = 0;
    int nYearMonth = 0;
    int nWeekDayIndex = 0;      // 0 Monday .. 6 Sunday
    // Working values of the one up-down control, one per kind that uses it.
    int nMinuteOfHour = 0;
    int nMonthDay = 0;
    int nYearDay = 0;
    WORD wHotKeyVK = 0;
    WORD wHotKeyMods = 0;
    BOOL bAskNotify = 0;
    BOOL bShowInTray = 0;
};

// The range and position of the up-down control for one repeat kind.
struct CUpDownSetup
{
    BOOL bUsed = FALSE;         // only Hourly, Monthly and Annually use it
    int nMin = 0, nMax = 0, nPos = 0;
};

class CAlarmInfoModel
{
public:
    static const int SECOND_PRESETS = 9;
    static const int MINUTE_PRESETS = 9;
    static const int DAY_SETS = 4;
    static const int MONTHS = 12;
    static const int WEEK_DAYS = 7;
    static const int CUSTOM_PRESET = 8;
    static const int CUSTOM_DAYS = 3;

    // What the page shows for the two blocks. The working values are the
    // stored ones; SetUpKind brings the current kind's into its range.
    static CAlarmInfoFields Load(const CAlarmSchedule& schedule, const CAlarmGeneral& general);
    // A repeat kind outside 0..7 shows as Once.
    static int ShownRepeat(int nRepeat);
    // A stored index outside 0..nCount-1 shows as the first entry.
    static int ShownIndex(int nIndex, int nCount);
    // Week day 1 Sunday .. 7 Saturday to the combo's Monday-first index, and back.
    static int WeekDayToIndex(int nWeekDay);
    static int IndexToWeekDay(int nIndex);
    // Brings the working value of nKind into its range (a value outside
    // shows the kind's default) and gives the up-down setup; Annually also
    // follows the month rule for nYear.
    static CUpDownSetup SetUpKind(CAlarmInfoFields& fields, int nKind, int nYear);
    // Annually: the day range of the selected month in nYear; the day is
    // pulled into it.
    static CUpDownSetup ApplyMonthRule(CAlarmInfoFields& fields, int nYear);
    // The working value the up-down control edits for nKind, null for the
    // kinds without one.
    static int* WorkingValue(CAlarmInfoFields& fields, int nKind);
    // The first and the last time the record holds (1970-01-01 00:00:01 and
    // 2038-01-19 03:14:07 UTC): the range of the pickers.
    static CTime FirstStoredTime() { return CTime(1); }
    static CTime LastStoredTime() { return CTime(0x7FFFFFFF); }
    // FALSE when the time the shown kind would store (the pickers' date and
    // time for Once, today and the time picker for the kinds with a time of
    // day) lies outside what the record holds.
    static BOOL TimeFits(const CAlarmInfoFields& fields, const CTime& today);
    // Stores the shown fields; FALSE and nothing changed when the name is
    // empty or the time does not fit. Only the fields of the shown kind
    // change in the schedule; m_time is built from the pickers (Once) or
    // today and the time picker.
    static BOOL Store(const CAlarmInfoFields& fields, const CTime& today, CAlarmSchedule& schedule,
                      CAlarmGeneral& general);
    // The editor's caption for a name.
    static CString Caption(const CString& strName);
};

// The message page.
class CAlarmMessageModel
{
public:
    // A delay outside 1..999999 shows as 10.
    static int ShownDelay(int nSeconds);
    // The message's controls follow "Display the Message"; the delay's also
    // need "Auto Close Window After".
    static BOOL MessageControlsEnabled(BOOL bShowMessage) { return bShowMessage ? TRUE : FALSE; }
    static BOOL DelayControlsEnabled(BOOL bShowMessage, BOOL bAutoClose) { return bShowMessage && bAutoClose; }
};

// A row of the programs or sounds list.
struct CAlarmListRow
{
    CString strText;
    BOOL bChecked = FALSE;
};

class CAlarmActionsModel
{
public:
    static const int SYSTEM_FUNCTIONS = 11;
    // The rows of the program list: each piece a "***" ends, scanning on
    // behind it; text after the last one is no row.
    static std::vector<CString> LoadApps(const CString& strApps);
    static CString StoreApps(const std::vector<CString>& apps);
    // Which of the system-function rows a code string checks: each two
    // characters read as the executor reads them; codes outside 0..10 check
    // nothing.
    static std::vector<BOOL> LoadSystemFunctions(const CString& strCodes);
    // The checked rows' codes in ascending order, two digits each.
    static CString StoreSystemFunctions(const std::vector<BOOL>& checked);
    // The label of system function nCode.
    static LPCSTR SystemFunctionLabel(int nCode);
};

class CAlarmSoundsModel
{
public:
    static std::vector<CAlarmListRow> LoadSounds(const CString& strSounds);
    static CString StoreSounds(const std::vector<CAlarmListRow>& rows);
    // A row holding a backslash is a full path; any other a file of the folder,
    // and with no folder (empty) no file at all: the result is empty.
    static CString FullPath(const CString& strText, const CString& strSoundDir);
};

// Where a list's new row goes: just after the selection mark, or at the end
// when there is no valid mark.
int AlarmInsertPosition(int nSelectionMark, int nCount);

// The second, minute and week-day list dialogs.
class CAlarmListDlgModel
{
public:
    // Seconds or minutes: a two-character field per checked value in
    // ascending order, " 5" for values below 10. checked[i] stands for value i.
    static CString ValueList(const std::vector<BOOL>& checked);
    // Week days listed Monday .. Sunday: "2".."7" for Monday .. Saturday, "1" for Sunday.
    static CString WeekDays(const std::vector<BOOL>& checked);
};

// The alarm list's rules that need no window: what a row shows (next time,
// time left, status), the rename rule of the in-place editor, a new alarm's
// values, and the store of the rows back into the alarm array. Rows are
// copies; while the list is open the alarm check keeps writing into the
// array, so the store merges by alarm identity instead of overwriting.
#pragma once

#include "afx/afx.h"
#include "core/alarm.h"

#include <map>
#include <set>
#include <vector>

// "%A, %B %d, %Y, %H:%M:%S".
CString AlarmListFormatTime(const CTime& time);
// "1 day , 02 hours, 03 minutes, 04 seconds"; "Expired" at 0 seconds and below.
CString AlarmListFormatTimeLeft(const CTimeSpan& left);

// Answers to a new name typed into the list (RCN_ENDEDIT).
enum
{
    ALARMNAME_ACCEPT = 0,
    ALARMNAME_REFUSE = 1,        // "invalid text", in any case
    ALARMNAME_KEEPEDITING = 2    // "continue", in any case
};
int AlarmListCheckName(const CString& strName);

// What one row shows, seen from now.
struct CAlarmRowTexts
{
    BOOL m_bRemove = FALSE;  // disabled while used alarms are removed: the row goes
    CString m_strTime;       // the "Time" cell
    CString m_strLeft;       // the "Left" cell
    CString m_strTimeLeft;   // the time left even for a disabled alarm (the panel's)
    CString m_strNextRun;    // the panel's next run
    CString m_strLastRun;    // the panel's previous run
    CString m_strStatus;     // "Active" or "Expired"
};

// bEnabled is the row's check state (1 enabled); nUsedAction 0 removes used
// alarms, anything else keeps them.
CAlarmRowTexts AlarmListRowTexts(const CAlarm& alarm, int nCheck, int nUsedAction);

// A new alarm of the list's "New alarm": once, now, enabled, "New Alarm" and
// the rest as a quick alarm; the message in the middle half of a
// cxFull x cyFull screen with font lf.
void AlarmListInitNewAlarm(CAlarm& alarm, CTime now, int cxFull, int cyFull, const LOGFONTA& lf);
// Next time from its schedule, last run now: what every row starts with.
void AlarmListSetStart(CAlarm& alarm, CTime now);
// An identity no alarm of this run has had.
DWORD AlarmListNewIdentity();

// The fields the alarm check writes into the array.
struct CAlarmRunMark
{
    CTime m_timeNext;
    CTime m_timeLastRun;
    int m_nStarts = 0;
    bool operator==(const CAlarmRunMark& other) const
    {
        return m_timeNext == other.m_timeNext && m_timeLastRun == other.m_timeLastRun && m_nStarts == other.m_nStarts;
    }
    bool operator!=(const CAlarmRunMark& other) const { return !(*this == other); }
};

// What the list last read from or wrote into the array, per identity, so a
// store can tell what the alarm check wrote meanwhile.
class CAlarmListStore
{
public:
    // Forgets every alarm (the list is filled afresh).
    void Reset();
    // The list took this alarm from the array as the array holds it.
    void Took(const CAlarm& fromArray);
    // The list made this alarm (new, clone): the array has never held it.
    void Made(const CAlarm& row);

    // Rebuilds alarms from rows in their order. An alarm the check ran since
    // the list last saw it keeps the check's last run, start count and (unless
    // the row set a later one of its own) next time; rows get those values back.
    // Alarms the list never knew (added meanwhile from elsewhere) stay, at the
    // end; alarms the list removed stay removed. Rows without an identity or
    // repeating one get a new one.
    void Store(std::vector<CAlarm>& rows, CAlarmArray& alarms);

private:
    std::map<DWORD, CAlarmRunMark> m_base;
    std::set<DWORD> m_known;
};

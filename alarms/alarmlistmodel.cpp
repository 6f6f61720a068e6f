#include "alarms/alarmlistmodel.h"

#include "alarms/alarmtime.h"
#include "alarms/quickalarm.h"

#include <unordered_map>

CString AlarmListFormatTime(const CTime& time)
{
    return time.Format("%A, %B %d, %Y, %H:%M:%S");
}

// Each unit is followed by "s", or by a blank when its own count is exactly 1,
// so the columns of the words keep their width.
CString AlarmListFormatTimeLeft(const CTimeSpan& left)
{
    if (left.GetTotalSeconds() <= 0)
        return "Expired";
    CString strFormat = "%D day";
    strFormat += left.GetDays() == 1 ? " " : "s";
    strFormat += ", %H hour";
    strFormat += left.GetHours() == 1 ? " " : "s";
    strFormat += ", %M minute";
    strFormat += left.GetMinutes() == 1 ? " " : "s";
    strFormat += ", %S second";
    strFormat += left.GetSeconds() == 1 ? " " : "s";
    return left.Format(strFormat);
}

int AlarmListCheckName(const CString& strName)
{
    if (strName.CompareNoCase("invalid text") == 0)
        return ALARMNAME_REFUSE;
    if (strName.CompareNoCase("continue") == 0)
        return ALARMNAME_KEEPEDITING;
    return ALARMNAME_ACCEPT;
}

// A disabled alarm has no next time to show: its next-run field reads as its
// "Time" cell does.
CAlarmRowTexts AlarmListRowTexts(const CAlarm& alarm, int nCheck, int nUsedAction)
{
    CAlarmRowTexts texts;
    const BOOL bEnabled = nCheck == 1;
    const CAlarmTime schedule;
    if (bEnabled)
        texts.m_strTime = AlarmListFormatTime(schedule.GetNextTime(alarm));
    else if (nUsedAction == 0)
    {
        texts.m_bRemove = TRUE;
        return texts;
    }
    else
        texts.m_strTime = "Not actual";
    const CTimeSpan left = schedule.GetTimeLeft(alarm);
    texts.m_strTimeLeft = AlarmListFormatTimeLeft(left);
    texts.m_strLeft = bEnabled ? texts.m_strTimeLeft : CString("Not actual");
    texts.m_strNextRun = texts.m_strTime;
    texts.m_strLastRun = AlarmListFormatTime(alarm.m_timeLastRun);
    texts.m_strStatus = left.GetTotalSeconds() > 0 ? "Active" : "Expired";
    return texts;
}

void AlarmListInitNewAlarm(CAlarm& alarm, CTime now, int cxFull, int cyFull, const LOGFONTA& lf)
{
    InitQuickAlarm(alarm, cxFull, cyFull, lf);
    alarm.m_time = now;
}

void AlarmListSetStart(CAlarm& alarm, CTime now)
{
    SetQuickAlarmStart(alarm, now);
}

DWORD AlarmListNewIdentity()
{
    CAlarmArray one;
    CAlarm alarm;
    one.Add(alarm);
    AlarmEnsureIdentities(one);
    return one[0].m_nIdentity;
}

namespace
{
CAlarmRunMark RunMarkOf(const CAlarm& alarm)
{
    CAlarmRunMark mark;
    mark.m_timeNext = alarm.m_timeNext;
    mark.m_timeLastRun = alarm.m_timeLastRun;
    mark.m_nStarts = alarm.m_nStarts;
    return mark;
}
} // namespace

void CAlarmListStore::Reset()
{
    m_base.clear();
    m_known.clear();
}

void CAlarmListStore::Took(const CAlarm& fromArray)
{
    m_base[fromArray.m_nIdentity] = RunMarkOf(fromArray);
    m_known.insert(fromArray.m_nIdentity);
}

void CAlarmListStore::Made(const CAlarm& row)
{
    m_base.erase(row.m_nIdentity);
    m_known.insert(row.m_nIdentity);
}

// The check only moves an alarm forward: it sets the last run to the moment
// it fired, the next time to the following one and counts the start. So a
// mark that differs from what the list last saw is the check's, and its
// values join the row's: the later last run, the starts the check added, and
// the check's next time unless the row set a later one of its own (an edit).
void CAlarmListStore::Store(std::vector<CAlarm>& rows, CAlarmArray& alarms)
{
    std::unordered_map<DWORD, INT_PTR> arrayIndex;
    for (INT_PTR i = 0; i < alarms.GetSize(); i++)
    {
        if (alarms[i].m_nIdentity != 0)
            arrayIndex.emplace(alarms[i].m_nIdentity, i);
    }

    CAlarmArray result;
    std::set<DWORD> inRows;
    for (CAlarm& row : rows)
    {
        if (row.m_nIdentity == 0 || inRows.count(row.m_nIdentity) != 0)
        {
            row.m_nIdentity = AlarmListNewIdentity();
            Made(row);
        }
        inRows.insert(row.m_nIdentity);
        const auto itArray = arrayIndex.find(row.m_nIdentity);
        const auto itBase = m_base.find(row.m_nIdentity);
        if (itArray != arrayIndex.end() && itBase != m_base.end())
        {
            const CAlarmRunMark checked = RunMarkOf(alarms[itArray->second]);
            const CAlarmRunMark& base = itBase->second;
            if (checked != base)
            {
                if (row.m_timeNext == base.m_timeNext || row.m_timeNext <= checked.m_timeLastRun)
                    row.m_timeNext = checked.m_timeNext;
                if (checked.m_timeLastRun > row.m_timeLastRun)
                    row.m_timeLastRun = checked.m_timeLastRun;
                row.m_nStarts += checked.m_nStarts - base.m_nStarts;
            }
        }
        m_base[row.m_nIdentity] = RunMarkOf(row);
        m_known.insert(row.m_nIdentity);
        result.Add(row);
    }
    for (INT_PTR i = 0; i < alarms.GetSize(); i++)
    {
        const DWORD nIdentity = alarms[i].m_nIdentity;
        if (inRows.count(nIdentity) == 0 && (nIdentity == 0 || m_known.count(nIdentity) == 0))
            result.Add(alarms[i]);
    }
    alarms.RemoveAll();
    for (INT_PTR i = 0; i < result.GetSize(); i++)
        alarms.Add(result[i]);
}

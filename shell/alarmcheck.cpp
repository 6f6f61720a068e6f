#include "shell/alarmcheck.h"

#include "alarms/alarmtime.h"

#include <algorithm>

ALARMDECISION DecideAlarm(const CAlarmSchedule& schedule, CTime now, CTime next)
{
    if (!schedule.m_bEnabled)
        return ALARMCHECK_DISABLED;
    if (schedule.m_timeNext > schedule.m_timeLastRun)
        return now >= schedule.m_timeNext ? ALARMCHECK_FIRE : ALARMCHECK_WAIT;
    // A stored next time that is not after the last run would never fire
    // again; a repeating schedule that still has a future time takes it.
    if (schedule.m_nRepeat != ALARM_ONCE && next != CTime() && next > schedule.m_timeLastRun && next > now)
        return ALARMCHECK_RESCHEDULE;
    return ALARMCHECK_WAIT;
}

BOOL CAlarmCheck::IsExecuting(DWORD nIdentity) const
{
    return std::find(m_executing.begin(), m_executing.end(), nIdentity) != m_executing.end();
}

namespace
{
// Keeps an identity marked as executing for one call, also when it throws.
class CExecutingMark
{
public:
    CExecutingMark(std::vector<DWORD>& executing, DWORD nIdentity) : m_executing(executing), m_nIdentity(nIdentity)
    {
        m_executing.push_back(nIdentity);
    }
    ~CExecutingMark()
    {
        std::vector<DWORD>::iterator it = std::find(m_executing.begin(), m_executing.end(), m_nIdentity);
        if (it != m_executing.end())
            m_executing.erase(it);
    }
    CExecutingMark(const CExecutingMark&) = delete;
    CExecutingMark& operator=(const CExecutingMark&) = delete;

private:
    std::vector<DWORD>& m_executing;
    DWORD m_nIdentity;
};
} // namespace

// One reading of the clock per alarm, taken before the next time is computed:
// GetNextTime reads the clock again, so a repeating schedule's next time is
// after this reading, and last run = this reading keeps next > last run.
// Nothing of the array is held across the executor; the alarm is found again
// by identity afterwards. A firing reaches the file before the executor runs
// (its boxes and message window may stay open until the program is ended
// some other way) and again with its start counted, so it is neither lost
// nor repeated at the next start.
int CAlarmCheck::Run(CAlarmArray& alarms, const EXECUTE& fnExecute, const SAVE& fnSave)
{
    int nFired = 0;
    AlarmEnsureIdentities(alarms);
    for (INT_PTR i = 0; i < alarms.GetSize(); i++)
    {
        CAlarmSchedule schedule = alarms[i];
        if (!schedule.m_bEnabled)
            continue;
        const DWORD nIdentity = alarms[i].m_nIdentity;
        // Rows copied before a firing and written back later carry its old
        // times: what this run saw fire counts as run.
        std::map<DWORD, CTime>::const_iterator itFired = m_lastFired.find(nIdentity);
        if (itFired != m_lastFired.end() && itFired->second > schedule.m_timeLastRun)
            alarms[i].m_timeLastRun = schedule.m_timeLastRun = itFired->second;
        const CTime now = CTime::GetCurrentTime();
        const CTime next = CAlarmTime().GetNextTime(schedule);
        const ALARMDECISION nDecision = DecideAlarm(schedule, now, next);
        if (nDecision == ALARMCHECK_RESCHEDULE)
            alarms[i].m_timeNext = next;
        if (nDecision != ALARMCHECK_FIRE)
            continue;
        if (IsExecuting(nIdentity))
            continue;

        const CAlarm copy = alarms[i];
        alarms[i].m_timeNext = next;
        alarms[i].m_timeLastRun = now;
        m_lastFired[nIdentity] = now;
        {
            CExecutingMark mark(m_executing, nIdentity);
            if (fnSave)
                fnSave();
            fnExecute(copy);
        }
        nFired++;

        AlarmEnsureIdentities(alarms);
        const INT_PTR nNow = AlarmFindByIdentity(alarms, nIdentity);
        if (nNow < 0)
            continue;  // removed meanwhile
        CAlarm& alarm = alarms[nNow];
        alarm.m_nStarts++;
        if (alarm.m_timeLastRun < now)
        {
            alarm.m_timeNext = next;
            alarm.m_timeLastRun = now;
        }
        if (fnSave)
            fnSave();
    }
    return nFired;
}

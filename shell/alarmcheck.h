// The one-second alarm check: which alarm is due, what a firing writes back,
// and a pass over the alarm array that survives the executor. The executor's
// boxes pump messages, so the timer runs a nested pass while one alarm is
// still executing, and the alarm list may rebuild the array meanwhile.
#pragma once

#include "afx/afx.h"
#include "core/alarm.h"

#include <functional>
#include <map>
#include <vector>

enum ALARMDECISION
{
    ALARMCHECK_DISABLED,    // not enabled; its next time is not computed
    ALARMCHECK_WAIT,        // not due yet, or its due time has already run
    ALARMCHECK_RESCHEDULE,  // a repeating alarm stuck on a time that already ran: take next, no firing
    ALARMCHECK_FIRE
};

// Decides one alarm at now; next is its schedule's following time
// (CAlarmTime::GetNextTime), 0 when it has none.
ALARMDECISION DecideAlarm(const CAlarmSchedule& schedule, CTime now, CTime next);

class CAlarmCheck
{
public:
    typedef std::function<void(const CAlarm&)> EXECUTE;
    typedef std::function<void()> SAVE;

    // Fires every due alarm of alarms through fnExecute with a copy taken
    // before its times were moved on; returns how many fired. fnSave, when
    // given, runs once the moved times are in the array, before the alarm
    // runs, and again once its start is counted.
    int Run(CAlarmArray& alarms, const EXECUTE& fnExecute, const SAVE& fnSave = SAVE());

    BOOL IsExecuting(DWORD nIdentity) const;

private:
    std::vector<DWORD> m_executing;    // identities whose execution is still open
    std::map<DWORD, CTime> m_lastFired; // identity -> when it last fired in this run
};

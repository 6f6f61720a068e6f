// The global hot keys: ids 0-4 toggle the windows, 5 + i runs alarm i. The
// settings keep modifiers as the hot-key control gives them (shift 1,
// control 2, alt 4); RegisterHotKey wants MOD_SHIFT 4, MOD_CONTROL 2, MOD_ALT 1.
#pragma once

#include "afx/afx.h"
#include "core/alarm.h"
#include "core/settings.h"

#include <vector>

UINT HotKeyFlagsToModifiers(UINT nFlags);

struct CHotKeyEntry
{
    int nID;
    UINT nModifiers;     // MOD_ form
    UINT nVirtualKey;    // 0: registered all the same, without effect
    DWORD nAlarmIdentity; // ids from 5: the alarm it runs
};

// Every id to register, in order: the five window keys, then one per alarm.
std::vector<CHotKeyEntry> BuildHotKeyPlan(const CSettings& settings, const CAlarmArray& alarms);

#include "shell/hotkeys.h"

UINT HotKeyFlagsToModifiers(UINT nFlags)
{
    UINT nModifiers = 0;
    if (nFlags & 1)  // shift
        nModifiers |= 4;
    if (nFlags & 2)  // control
        nModifiers |= 2;
    if (nFlags & 4)  // alt
        nModifiers |= 1;
    return nModifiers;
}

std::vector<CHotKeyEntry> BuildHotKeyPlan(const CSettings& settings, const CAlarmArray& alarms)
{
    const HOTKEYSETTING* const windowKeys[HOTKEY_FIRSTALARM] = {&settings.m_hkAnalog, &settings.m_hkDigital,
                                                                 &settings.m_hkCalendar, &settings.m_hkAlarmList,
                                                                 &settings.m_hkOptions};
    std::vector<CHotKeyEntry> plan;
    for (int id = 0; id < HOTKEY_FIRSTALARM; id++)
        plan.push_back({id, HotKeyFlagsToModifiers(windowKeys[id]->wModifiers), windowKeys[id]->wVirtualKey, 0});
    for (INT_PTR i = 0; i < alarms.GetSize(); i++)
        plan.push_back({HOTKEY_FIRSTALARM + static_cast<int>(i), HotKeyFlagsToModifiers(alarms[i].m_wHotKeyMods),
                        alarms[i].m_wHotKeyVK, alarms[i].m_nIdentity});
    return plan;
}

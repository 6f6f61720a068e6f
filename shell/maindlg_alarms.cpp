// The one-second alarm timer, the global hot keys and the quick alarms.
#include "shell/maindlg.h"

#include "alarms/quickalarm.h"
#include "core/config.h"
#include "core/settings.h"
#include "shell/hotkeys.h"

void CMainDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_SAVE)
        OnSaveTimer();
    else if (nIDEvent == TIMER_ALARMS)
        CheckAlarms();
    CDialog::OnTimer(nIDEvent);
}

// The check re-enters itself while an executor's box is open; CAlarmCheck
// keeps that safe. Whoever changed the array meanwhile, the menu and the hot
// keys follow it within the second.
void CMainDlg::CheckAlarms()
{
    // The executor is handed the application icon.
    const DWORD dwIcon = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(m_hIcon));
    m_alarmCheck.Run(
        g_alarms, [this, dwIcon](const CAlarm& alarm) { ExecuteAlarmCopy(alarm, dwIcon); },
        [this] { SaveConfiguration(); });
    if (AlarmsDifferFromLastBuild())
        AlarmsChanged();
}

void CMainDlg::OnSaveTimer()
{
    SendMessage(UM_SAVEWINDOWSTATE);
    StoreAlarmList();
    SaveConfiguration();
}

UINT CMainDlg::HotKeyFlagsToModifiers(UINT nFlags)
{
    return ::HotKeyFlagsToModifiers(nFlags);
}

// Results are ignored: a key another program holds stays without effect.
void CMainDlg::RegisterHotKeys()
{
    CSystemSeams* pSeams = AfxGetSeams();
    for (int id = 0; id < m_nHotKeyCount; id++)
        pSeams->UnregisterHotKey(m_hWnd, id);
    AlarmEnsureIdentities(g_alarms);
    const std::vector<CHotKeyEntry> plan = BuildHotKeyPlan(g_settings, g_alarms);
    m_nHotKeyCount = 0;
    m_hotKeyAlarmIds.clear();
    for (const CHotKeyEntry& entry : plan)
    {
        pSeams->RegisterHotKey(m_hWnd, entry.nID, entry.nModifiers, entry.nVirtualKey);
        m_nHotKeyCount++;
        if (entry.nID >= HOTKEY_FIRSTALARM)
            m_hotKeyAlarmIds.push_back(entry.nAlarmIdentity);
    }
}

void CMainDlg::OnTimeChange()
{
    CDialog::OnTimeChange();
    RegisterHotKeys();
}

LRESULT CMainDlg::OnHotKey(WPARAM wParam, LPARAM)
{
    switch (wParam)
    {
    case HOTKEY_ANALOG:
        SendMessage(m_pAnalogClockDlg != nullptr ? UM_HIDEANALOGCLOCK : UM_SHOWANALOGCLOCK);
        break;
    case HOTKEY_DIGITAL:
        SendMessage(m_pDigitalClockDlg != nullptr ? UM_HIDEDIGITALCLOCK : UM_SHOWDIGITALCLOCK);
        break;
    case HOTKEY_CALENDAR:
        SendMessage(m_pCalendarDlg != nullptr ? UM_CALENDARCLOSED : UM_SHOWCALENDAR);
        break;
    case HOTKEY_ALARMLIST:
        SendMessage(m_pAlarmListDlg != nullptr ? UM_ALARMLISTCLOSED : UM_SHOWALARMLIST);
        break;
    case HOTKEY_OPTIONS:
        SendMessage(m_pGeneralSettingsDlg != nullptr ? UM_GENERALSETTINGSCLOSED : UM_SHOWGENERALSETTINGS);
        break;
    default:
    {
        // The alarm the key was registered for, wherever it stands now.
        const size_t nIndex = static_cast<size_t>(wParam) - HOTKEY_FIRSTALARM;
        if (wParam < HOTKEY_FIRSTALARM || nIndex >= m_hotKeyAlarmIds.size())
            break;
        const INT_PTR nAlarm = AlarmFindByIdentity(g_alarms, m_hotKeyAlarmIds[nIndex]);
        if (nAlarm >= 0)
            RunAlarmByHand(nAlarm);
        break;
    }
    }
    return 0;
}

// What the alarm did (a clock it showed) is in the file at once.
void CMainDlg::RunAlarmByHand(INT_PTR nAlarm)
{
    ExecuteAlarmCopy(g_alarms[nAlarm], 0);
    SaveConfiguration();
}

void CMainDlg::OnQuickAlarm(UINT nID)
{
    CAlarm alarm;
    LOGFONTA lf = {};
    if (CFont* pFont = GetFont())
        pFont->GetLogFont(&lf);
    InitQuickAlarm(alarm, ::GetSystemMetrics(SM_CXFULLSCREEN), ::GetSystemMetrics(SM_CYFULLSCREEN), lf);
    const CTime chosen = CTime::GetCurrentTime();
    alarm.m_time = QuickAlarmTime(nID, chosen);
    if (g_windowServices.pfnEditAlarm == nullptr || g_windowServices.pfnEditAlarm(alarm) != IDOK)
        return;
    StoreAlarmList();
    // Counted from just before the command: "Custom..." pre-sets the current
    // time, and an alarm left at it must still fire once the user says OK.
    SetQuickAlarmStart(alarm, chosen - CTimeSpan(1));
    alarm.m_nIdentity = 0;  // a new alarm, whatever the editor copied
    g_alarms.Add(alarm);
    if (IsOpen(m_pAlarmListDlg))
        m_pAlarmListDlg->FillList();
    AlarmsChanged();
    SaveConfiguration();
}

// With a blank settings record around them, two results differ only where
// the alarms do.
std::vector<BYTE> CMainDlg::StoredAlarms()
{
    std::vector<BYTE> data;
    CConfigFile::BuildStream(CSettings(), g_alarms, data);
    return data;
}

// Every change of the array reaches the file at once: a program ended
// without its exit path loses no alarm.
void CMainDlg::SaveIfAlarmsChanged()
{
    if (StoredAlarms() != m_savedAlarms)
        SaveConfiguration();
}

void CMainDlg::SaveConfiguration()
{
    m_savedAlarms = StoredAlarms();
    CConfigFile config;
    config.Save();
}

BOOL CMainDlg::AlarmsDifferFromLastBuild() const
{
    AlarmEnsureIdentities(g_alarms);
    return AlarmMenuFingerprint(g_alarms) != m_strAlarmsBuilt;
}

// Both follow the array by position, so both are renewed together; an open
// tray menu is rebuilt when it closes.
void CMainDlg::AlarmsChanged()
{
    RegisterHotKeys();
    m_strAlarmsBuilt = AlarmMenuFingerprint(g_alarms);
    if (m_bTrayMenuOpen)
        m_bTrayMenuStale = TRUE;
    else
        BuildTrayMenu();
}

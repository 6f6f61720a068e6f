// What the main dialog needs of the windows it owns: the clocks, the option
// dialogs and the alarm list derive from these bases, so the shell drives
// them without knowing their classes.
#pragma once

#include "afx/afxdlg.h"

// The analog clock (dialog template 185) and the digital clock (193).
class CClockWindow : public CDialog {
public:
    using CDialog::CDialog;
    // Nonzero when a skin was loaded and the window set up; 0 when none could be.
    virtual int LoadSkin(int nScale) = 0;
    // (Re)arms or kills the automatic skin-change timer from the settings.
    virtual void SetAutoChangeTimer(BOOL bOn) = 0;
    // Window left + client width / 2, window top + client height / 2.
    virtual CPoint GetWindowCenter() = 0;
    // After its options closed: the open clock shows what the settings now
    // say (stacking order, placement, and the skin and format when they
    // differ from those shown), in place.
    virtual void ApplyOptions() = 0;
};

// An options dialog whose closing the main dialog reads.
class COptionsWindow : public CDialog {
public:
    using CDialog::CDialog;
    int m_nCloseResult = 0;     // 1 after OK, 2 after Cancel
    CString m_strInitialSkin;   // the clock options: the skin when the dialog opened
};

// The alarm list (dialog template 133).
class CAlarmListWindow : public CDialog {
public:
    using CDialog::CDialog;
    // Rebuilds g_alarms from the list's rows in their order.
    virtual void StoreListToArray() = 0;
    // Clears the list and shows a row for each alarm of g_alarms.
    virtual void FillList() = 0;
    // Applies the alarm-list colours of g_settings.
    virtual void ApplyOptions() = 0;
    // TRUE while the list waits in a modal editor or question of its own: a
    // close then would return into a destroyed list, so the shell leaves it open.
    virtual BOOL IsBusy() const { return FALSE; }
};

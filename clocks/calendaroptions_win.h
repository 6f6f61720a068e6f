// "Calendar options": the calendar's six colours with their use flags,
// top-most state, hot key and custom first day of the week. Modeless, always
// on top, owned by the main window, which destroys it on its closed message
// and re-creates a shown calendar after OK.
#pragma once

#include "afx/afxctl.h"
#include "clocks/calendarmodel.h"
#include "controls/colourpicker.h"
#include "controls/sidebanner.h"
#include "core/windowbases.h"

class CCalendarOptionsDlg : public COptionsWindow {
public:
    explicit CCalendarOptionsDlg(CWnd* pParent = nullptr);
    ~CCalendarOptionsDlg() override;

    void LoadSettings();
    void SaveSettings();
    void FillFirstDayCombo();
    void UpdateFirstDayCombo();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnCustomFirstDay();
    DECLARE_MESSAGE_MAP()

    CColourPicker m_pickers[CALENDAR_COLOURS]; // in the order of g_calendarColours
    int m_abUse[CALENDAR_COLOURS] = {};
    CHotKeyCtrl m_hotKey;
    CComboBox m_comboFirstDay;
    int m_bOnTop = 0;
    int m_bCustomFirstDay = 0;
    CSideBanner m_banner;
};

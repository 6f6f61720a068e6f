// The options of the alarm list: what happens to used alarms, the six colours
// of the list window, whether the list opens at start-up and its hot key. OK
// writes them into g_settings; the main window closes the dialog.
#pragma once

#include "afx/afxwin.h"
#include "controls/colourpicker.h"
#include "controls/sidebanner.h"
#include "core/windowbases.h"
#include "res/alarms_res.h"

class CAlarmListOptionsDlg : public COptionsWindow
{
public:
    explicit CAlarmListOptionsDlg(CWnd* pParent = nullptr);

    enum { IDD = IDD_ALARMLISTOPTIONS };

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    CSideBanner m_banner;
    CHotKeyCtrl m_hotKey;
    CColourPicker m_cpWndText;
    CColourPicker m_cpButtonText;
    CColourPicker m_cpListText;
    CColourPicker m_cpListBack;
    CColourPicker m_cpButton;
    CColourPicker m_cpWndBack;
    BOOL m_bShowAtStartup = 0;
    int m_nUsedAction = -1;
};

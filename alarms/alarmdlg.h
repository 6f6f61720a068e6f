// The modal editor of one alarm: a tab control over four pages. The caller
// fills m_alarm, runs DoModal and takes m_alarm back after IDOK; after
// IDCANCEL it is as the caller left it. The editor never touches g_alarms.
#pragma once

#include "afx/afxwin.h"
#include "alarms/alarmpages.h"
#include "core/alarm.h"

#include <memory>

class CAlarmDlg : public CDialog
{
public:
    explicit CAlarmDlg(CWnd* pParent = nullptr);
    ~CAlarmDlg() override;

    CAlarm m_alarm;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnSelChangingTab(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSelChangeTab(NMHDR* pNMHDR, LRESULT* pResult);

    // The page of tab nTab, from the tab's item parameter.
    CDialog* PageOfTab(int nTab) const;
    void ShowPage(int nTab, BOOL bShow);

    CTabCtrl m_tab;
    std::unique_ptr<CAlarmInfoPage> m_pInfoPage;
    std::unique_ptr<CAlarmMessagePage> m_pMessagePage;
    std::unique_ptr<CAlarmActionsPage> m_pActionsPage;
    std::unique_ptr<CAlarmSoundsPage> m_pSoundsPage;

    DECLARE_MESSAGE_MAP()
};

// Runs the editor modally on alarm and takes the edited alarm back after OK.
INT_PTR AlarmRunEditor(CAlarm& alarm);

// "Notifications": subscribe to or unsubscribe from the vendor's list of new
// versions. It sends nothing itself: OK opens the vendor's subscription page
// in the browser with the choice and the e-mail address. Modal.
#pragma once

#include "afx/afxdlg.h"
#include "controls/colorlabel.h"

class CNotificationsDlg : public CDialog {
public:
    explicit CNotificationsDlg(CWnd* pParent = nullptr);
    ~CNotificationsDlg() override;

    CString m_strEmail;
    int m_nChoice = 0; // 0 subscribe, 1 unsubscribe

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    CColorLabel m_labelPromise; // 392
    CColorLabel m_labelIntro; // 391
};

// Runs the dialog modally, as the tray command does.
void RunNotificationsDialog();

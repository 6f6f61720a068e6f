#include "shell/notificationsdlg_win.h"

#include "afx/afxseams.h"
#include "res/app_res.h"
#include "res/periphery_res.h"
#include "shell/generalsettingsdlg_win.h"
#include "shell/shelldlgmodel.h"

CNotificationsDlg::CNotificationsDlg(CWnd* pParent)
    : CDialog(IDD_NOTIFICATIONS, pParent)
{
}

CNotificationsDlg::~CNotificationsDlg() = default;

void CNotificationsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_NOTIFY_PROMISE, m_labelPromise);
    DDX_Control(pDX, IDC_NOTIFY_INTRO, m_labelIntro);
    DDX_Text(pDX, IDC_NOTIFY_EMAIL, m_strEmail);
    DDX_Radio(pDX, IDC_NOTIFY_SUBSCRIBE, m_nChoice);
}

BOOL CNotificationsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(LoadAppIcon(IDI_UPDATES), TRUE);
    SetIcon(LoadAppIcon(IDI_UPDATES), FALSE);
    m_labelIntro.SetFontBold(TRUE);
    m_labelPromise.SetFontItalic(TRUE);
    return TRUE;
}

// The address goes to the shell as built: no command line is made of it.
void CNotificationsDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_strEmail.IsEmpty()) {
        AfxGetSeams()->MessageBox(
            GetSafeHwnd(), "Please enter e-mail!", "Veltran Clock", MB_OK | MB_ICONEXCLAMATION);
        if (CWnd* pEdit = GetDlgItem(IDC_NOTIFY_EMAIL))
            pEdit->SetFocus();
        return;
    }
    const CString strAddress = BuildNewsletterAddress(m_nChoice == 0, m_strEmail);
    AfxGetSeams()->ShellExecute(nullptr, "open", strAddress, nullptr, nullptr, SW_SHOWNORMAL);
    EndDialog(IDOK);
}

void CNotificationsDlg::OnCancel()
{
    EndDialog(IDCANCEL);
}

void RunNotificationsDialog()
{
    CNotificationsDlg dlg;
    dlg.DoModal();
}

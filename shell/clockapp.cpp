#include "shell/clockapp.h"

#include "core/appseams.h"
#include "core/config.h"
#include "shell/maindlg.h"
#include "shell/windowservices.h"

BEGIN_MESSAGE_MAP(CClockApp, CWinApp)
    ON_COMMAND(ID_APP_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

namespace
{
// The configuration code's boxes, through the seams, titled as the program.
int ShellMessageBox(LPCSTR pszText, UINT nType)
{
    return AfxMessageBox(pszText, nType);
}

void SendSaveWindowState()
{
    if (CWnd* pMain = AfxGetMainWnd())
    {
        if (pMain->GetSafeHwnd() != nullptr)
            pMain->SendMessage(UM_SAVEWINDOWSTATE);
    }
}
} // namespace

CClockApp::CClockApp() : CWinApp(nullptr)
{
}

BOOL CClockApp::InitInstance()
{
    InitCommonControls();
    AfxInitRichEdit();
    m_bSecondInstance = FALSE;
    if (!AfxGetSeams()->CreateInstanceMutex("Veltran Clock"))
    {
        m_bSecondInstance = TRUE;
        AfxMessageBox("Another copy of Veltran Clock is already running...", MB_OK);
        return FALSE;
    }
    g_appSeams.pfnMessageBox = ShellMessageBox;
    g_configFile.Load();
    AfxEnableControlContainer();
    AppWireWindowServices();

    // The main window is published before it exists: its OnInitDialog
    // already sends the messages that reach it through AfxGetMainWnd.
    CMainDlg* pMainDlg = new CMainDlg(nullptr);
    m_pMainWnd = pMainDlg;
    g_appSeams.pfnSaveWindowState = SendSaveWindowState;
    if (!pMainDlg->Create(IDD_MAINDLG, nullptr))
    {
        m_pMainWnd = nullptr;
        g_appSeams.pfnSaveWindowState = AppPlatformSaveWindowState;
        delete pMainDlg;
        return FALSE;
    }
    pMainDlg->ShowWindow(SW_HIDE);
    return TRUE;
}

// The main dialog still exists here with every window it owns: the list's
// rows and the clocks' places are collected before the file is written, and
// the windows go before the records they use.
int CClockApp::ExitInstance()
{
    if (!m_bSecondInstance)
    {
        CWnd* pMain = m_pMainWnd;
        const BOOL bWindow = pMain != nullptr && pMain->GetSafeHwnd() != nullptr;
        if (bWindow)
        {
            pMain->SendMessage(UM_STOREALARMLIST);
            pMain->SendMessage(UM_ALARMLISTCLOSED);
            pMain->SendMessage(UM_SAVEWINDOWSTATE);
        }
        g_configFile.Save();
        if (bWindow)
            pMain->SendMessage(UM_REMOVETRAYICON);
        g_appSeams.pfnSaveWindowState = AppPlatformSaveWindowState;
        m_pMainWnd = nullptr;
        delete pMain;
        AfxFlushDeferredDeletes();
    }
    return CWinApp::ExitInstance();
}

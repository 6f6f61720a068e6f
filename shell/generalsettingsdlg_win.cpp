#include "shell/generalsettingsdlg_win.h"

#include "afx/afxapp.h"
#include "controls/uihelpers.h"
#include "core/messages.h"
#include "core/settings.h"
#include "res/app_res.h"
#include "res/periphery_res.h"
#include "shell/shelldlgmodel.h"

LRESULT SendToAppMainWindow(UINT nMessage)
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain == nullptr || pMain->GetSafeHwnd() == nullptr)
        return 0;
    return ::SendMessageA(pMain->GetSafeHwnd(), nMessage, 0, 0);
}

HICON LoadAppIcon(UINT nID)
{
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nID));
}

HICON LoadOwnedAppIcon(UINT nID, int cx, int cy)
{
    return static_cast<HICON>(::LoadImageA(
        AfxGetResourceHandle(), MAKEINTRESOURCEA(nID), IMAGE_ICON, cx, cy, cx == 0 ? LR_DEFAULTSIZE : 0));
}

CGeneralSettingsDlg::CGeneralSettingsDlg(CWnd* pParent)
    : CDialog(IDD_GENERALSETTINGS, pParent)
{
}

CGeneralSettingsDlg::~CGeneralSettingsDlg() = default;

void CGeneralSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_GENERAL_HOTKEY, m_hotKey);
    DDX_Control(pDX, IDC_GENERAL_TRAYACTION, m_comboTrayAction);
    DDX_Check(pDX, IDC_GENERAL_RUNATSTARTUP, m_bRunAtStartup);
    DDX_Check(pDX, IDC_GENERAL_ASKONEXIT, m_bAskOnExit);
    DDX_Check(pDX, IDC_GENERAL_BROWSERCONNECT, m_bSkinBrowserAutoConnect);
    DDX_Check(pDX, IDC_GENERAL_BROWSERATSTARTUP, m_bSkinBrowserAtStartup);
}

BOOL CGeneralSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(LoadAppIcon(IDI_OPTIONS), TRUE);
    SetIcon(LoadAppIcon(IDI_OPTIONS), FALSE);
    SetupDialogBanner(&m_banner, this);
    m_banner.SetIcon(LoadOwnedAppIcon(IDI_BANNER_OPTIONS), BANNER_ICON_BEFORE | BANNER_ICON_CENTRE, TRUE);
    m_banner.SetTitle("General options");
    m_banner.SetCaption("");
    LoadSettings();
    SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

void CGeneralSettingsDlg::LoadSettings()
{
    CGeneralSettingsValues values;
    values.Load(g_settings);
    m_bRunAtStartup = values.bRunAtStartup;
    m_bAskOnExit = values.bAskOnExit;
    m_bSkinBrowserAtStartup = values.bSkinBrowserAtStartup;
    m_bSkinBrowserAutoConnect = values.bSkinBrowserAutoConnect;
    m_hotKey.SetHotKey(values.wHotKeyVK, values.wHotKeyMods);
    UpdateData(FALSE);
    m_comboTrayAction.ResetContent();
    for (LPCSTR pszAction : g_apszTrayActions)
        m_comboTrayAction.AddString(pszAction);
    m_comboTrayAction.SetCurSel(values.nTrayAction);
}

void CGeneralSettingsDlg::StoreSettings()
{
    UpdateData(TRUE);
    CGeneralSettingsValues values;
    values.bRunAtStartup = m_bRunAtStartup;
    values.bAskOnExit = m_bAskOnExit;
    values.bSkinBrowserAtStartup = m_bSkinBrowserAtStartup;
    values.bSkinBrowserAutoConnect = m_bSkinBrowserAutoConnect;
    const int nSelection = m_comboTrayAction.GetCurSel();
    values.nTrayAction = nSelection >= 0 ? nSelection : 0;
    m_hotKey.GetHotKey(values.wHotKeyVK, values.wHotKeyMods);
    values.Store(g_settings);
}

// The first message destroys this dialog; nothing here is touched after it.
void CGeneralSettingsDlg::OnOK()
{
    StoreSettings();
    SendToAppMainWindow(UM_GENERALSETTINGSCLOSED);
    SendToAppMainWindow(UM_REGISTERHOTKEYS);
    SendToAppMainWindow(UM_SAVESETTINGS);
}

void CGeneralSettingsDlg::OnCancel()
{
    SendToAppMainWindow(UM_GENERALSETTINGSCLOSED);
}

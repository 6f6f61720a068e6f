// "General settings": start-up and exit choices, the tray icon's double-click
// action, the hot key of this dialog and the Skin Browser's start-up choices.
// Modeless and owned by the main window, which destroys it on its closed
// message; OK stores into g_settings and asks for the hot keys and a save.
#pragma once

#include "afx/afxctl.h"
#include "afx/afxdlg.h"
#include "controls/sidebanner.h"

class CGeneralSettingsDlg : public CDialog {
public:
    explicit CGeneralSettingsDlg(CWnd* pParent = nullptr);
    ~CGeneralSettingsDlg() override;

    // Controls from g_settings (the tray action corrected first), and back.
    void LoadSettings();
    void StoreSettings();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    CSideBanner m_banner;
    CHotKeyCtrl m_hotKey;
    CComboBox m_comboTrayAction;
    int m_bRunAtStartup = 0;
    int m_bAskOnExit = 0;
    int m_bSkinBrowserAutoConnect = 0;
    int m_bSkinBrowserAtStartup = 0;
};

// Sends a private message (wParam 0, lParam 0) to the application's main window.
LRESULT SendToAppMainWindow(UINT nMessage);
// A window icon of the program (shared; never destroyed) and an icon the
// caller owns.
HICON LoadAppIcon(UINT nID);
HICON LoadOwnedAppIcon(UINT nID, int cx = 0, int cy = 0);

// The analog and digital clock options: a tabbed dialog with the "Visible
// settings" page (skin, placement, double-click action, hot key; the digital
// one also the format) and the "Auto-change skins" page (the timer and the
// skins it picks from). Modeless, owned by the main window, which destroys
// the dialog on its closed message and reads its result and the skin it
// opened with. The two kinds share one implementation; the classes of each
// kind only name their templates.
#pragma once

#include "afx/afxctl.h"
#include "afx/afxgdi.h"
#include "clocks/clockoptions.h"
#include "controls/ownertab.h"
#include "controls/sidebanner.h"
#include "controls/sortstringarray.h"
#include "core/windowbases.h"

// "Visible settings" of either kind.
class CVisiblePage : public CDialog {
public:
    CVisiblePage(SkinKind kind, UINT nTemplate, CWnd* pParent);
    ~CVisiblePage() override;

    void FillCombos();
    void LoadSettings();
    void SaveSettings();
    void EnableChecks();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override { }
    void OnCancel() override { }

    afx_msg void OnSkinSelChange();
    afx_msg void OnPlacementClicked();
    DECLARE_MESSAGE_MAP()

    SkinKind m_kind;
    CComboBox m_comboSkin;
    CComboBox m_comboDblClk;
    CHotKeyCtrl m_hotKey;
    int m_bOnTop = 0;
    int m_bOnBottom = 0;
    int m_bAlwaysCenter = 0;
    int m_bAutoRemove = 0;
    int m_bLockMovement = 0;
    int m_bSecondHand = 0;
    CString m_strFormat;
};

class CAnalogVisiblePage : public CVisiblePage {
public:
    explicit CAnalogVisiblePage(CWnd* pParent = nullptr);

protected:
    afx_msg void OnSecondHand();
    DECLARE_MESSAGE_MAP()
};

class CDigitalVisiblePage : public CVisiblePage {
public:
    explicit CDigitalVisiblePage(CWnd* pParent = nullptr);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    afx_msg void OnFormats();
    DECLARE_MESSAGE_MAP()

    CStringArray m_presets;
};

// "Auto-change skins" of either kind.
class CAutoChangePage : public CDialog {
public:
    CAutoChangePage(SkinKind kind, UINT nTemplate, CWnd* pParent);
    ~CAutoChangePage() override;

    void FillSkinList();
    void LoadSettings();
    void SaveSettings();
    void EnableControls();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override { }
    void OnCancel() override { }

    afx_msg void OnCheckClicked();
    afx_msg void OnCheckAll();
    afx_msg void OnUncheckAll();
    DECLARE_MESSAGE_MAP()

    void CheckAll(BOOL bCheck);

    SkinKind m_kind;
    CSortStringArray m_names;
    const char* m_pszSeparator;
    CListCtrl m_listSkins;
    CSpinButtonCtrl m_spinMinutes;
    CSpinButtonCtrl m_spinSeconds;
    CImageList m_imlSkin;
    int m_bAutoChange = 0;
    int m_bByMinutes = 0;
    int m_bBySeconds = 0;
};

class CAnalogAutoChangePage : public CAutoChangePage {
public:
    explicit CAnalogAutoChangePage(CWnd* pParent = nullptr);
};

class CDigitalAutoChangePage : public CAutoChangePage {
public:
    explicit CDigitalAutoChangePage(CWnd* pParent = nullptr);
};

// The options dialog of either kind.
class CClockOptionsDlg : public COptionsWindow {
public:
    ~CClockOptionsDlg() override;

    CVisiblePage* GetVisiblePage() const { return m_pPage1; }
    CAutoChangePage* GetAutoChangePage() const { return m_pPage2; }

protected:
    CClockOptionsDlg(
        SkinKind kind, UINT nTemplate, CVisiblePage* pPage1, CAutoChangePage* pPage2, CWnd* pParent);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnTabSelChange(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnTabSelChanging(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    CDialog* GetTabPage(int nTab) const;

    SkinKind m_kind;
    CVisiblePage* m_pPage1;
    CAutoChangePage* m_pPage2;
    CSideBanner m_banner;
    CImageList m_imlTabs;
    CColorTabCtrl m_tab;
};

class CAnalogOptionsDlg : public CClockOptionsDlg {
public:
    explicit CAnalogOptionsDlg(CWnd* pParent = nullptr);
};

class CDigitalOptionsDlg : public CClockOptionsDlg {
public:
    explicit CDigitalOptionsDlg(CWnd* pParent = nullptr);
};

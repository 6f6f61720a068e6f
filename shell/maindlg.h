// The hidden main dialog: owner of the tray icon and menu, receiver of the
// global hot keys, the one-second alarm timer and every private message, and
// owner of every modeless window of the program.
#pragma once

#include "afx/afxwin.h"
#include "core/messages.h"
#include "res/app_res.h"
#include "shell/alarmcheck.h"
#include "shell/traymodel.h"
#include "shell/windowservices.h"

#include <vector>

class CStyledMenu;

enum
{
    TIMER_SAVE = 2998,
    TIMER_ALARMS = 2999
};

class CMainDlg : public CDialog
{
public:
    explicit CMainDlg(CWnd* pParent = nullptr);
    ~CMainDlg() override;

    // Owned windows: null when absent; a pointer whose window is gone is a
    // leftover that the next show message replaces.
    CDialog* m_pAboutDlg = nullptr;
    CAlarmListWindow* m_pAlarmListDlg = nullptr;
    CClockWindow* m_pAnalogClockDlg = nullptr;
    CClockWindow* m_pDigitalClockDlg = nullptr;
    CDialog* m_pCalendarDlg = nullptr;
    CDialog* m_pSkinBrowserDlg = nullptr;
    COptionsWindow* m_pAnalogOptionsDlg = nullptr;
    COptionsWindow* m_pDigitalOptionsDlg = nullptr;
    COptionsWindow* m_pCalendarOptionsDlg = nullptr;
    CDialog* m_pGeneralSettingsDlg = nullptr;
    COptionsWindow* m_pAlarmListOptionsDlg = nullptr;
    CImageList m_imlMenuIcons;
    CImageList m_imlAlarmIcons;
    int m_nHotKeyCount = 0;
    CStyledMenu* m_pTrayMenu = nullptr;
    HICON m_hIcon = nullptr;

    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void AddTrayIcon();
    void RemoveTrayIcon();
    void BuildTrayMenu();
    void ShowTrayMenu();
    void OnExitApp();
    void ShowHelp();
    void OpenHomePage();
    void OpenHomePage2();
    void ShowAbout();
    void CheckAlarms();
    void OnSaveTimer();
    void RegisterHotKeys();
    static UINT HotKeyFlagsToModifiers(UINT nFlags);
    void OnQuickAlarm(UINT nID);

    // TRUE when the pointer is set and its window exists.
    static BOOL IsOpen(const CWnd* pWnd) { return pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr; }
    // The tray menu's command for alarm position i, as of its last build: the
    // alarm it names, found by identity; -1 when it is gone.
    INT_PTR FindTrayAlarm(UINT nIndex) const;

protected:
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnTimeChange();
    afx_msg LRESULT OnHotKey(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    // The update-command-UI pass over a popup's items; connected to nothing.
    void OnInitMenuPopupUpdateUI(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    DECLARE_MESSAGE_MAP()

private:
    // The dispatcher's parts (maindlg_dispatch.cpp).
    void Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommandId(UINT nID);
    void TrayClockCommand(UINT nCommand);
    void ShellOpen(LPCSTR pszFile);
    // Opens a program that lies in the program folder (the tray clock and its options).
    void StartBesideProgram(LPCSTR pszName);
    void ShowClock(BOOL bAnalog);
    void HideClock(BOOL bAnalog);
    void SaveWindowState();
    void ToggleClock(BOOL bAnalog);
    void ToggleCalendar();
    void OptionsClosed(WINDOWKIND nKind);
    void SaveSettings();
    void StoreAlarmList();
    // CConfigFile::Save, noting the alarms it wrote.
    void SaveConfiguration();
    // Saves when g_alarms is no longer what the shell last saved or loaded.
    void SaveIfAlarmsChanged();
    // g_alarms as the file stores it.
    static std::vector<BYTE> StoredAlarms();
    template <class T> BOOL CreateOwned(T*& pWnd, WINDOWKIND nKind);
    template <class T> void ShowOrRaise(T*& pWnd, WINDOWKIND nKind);
    template <class T> void CloseOwned(T*& pWnd);
    void ExecuteAlarmCopy(const CAlarm& alarm, DWORD dwIcon);
    // g_alarms[nAlarm] run by hand (its tray item, its hot key), then saved.
    void RunAlarmByHand(INT_PTR nAlarm);
    // After anything that may have changed g_alarms: hot keys and the
    // "Execute alarm..." items follow the array.
    void AlarmsChanged();
    BOOL AlarmsDifferFromLastBuild() const;
    void DestroyTrayMenu();
    void AppendTrayItems(CStyledMenu& menu, const std::vector<CTrayMenuItem>& items);

    CAlarmCheck m_alarmCheck;
    std::vector<CStyledMenu*> m_trayPopups;  // the tray menu's sub-menus, owned here
    std::vector<DWORD> m_trayAlarmIds;    // alarm identity per array position at the last build
    std::vector<DWORD> m_hotKeyAlarmIds;  // the same for the hot keys
    BOOL m_bTrayMenuOpen = FALSE;
    BOOL m_bTrayMenuStale = FALSE;        // to be rebuilt once the open menu closes
    CString m_strAlarmsBuilt;             // the array as the menu and hot keys last saw it
    std::vector<BYTE> m_savedAlarms;      // the array as the shell last saved or loaded it
    CClockWindow* m_pFailingClock = nullptr;  // a clock being closed because its skin failed
};

// A window found gone is deleted all the same (a leftover would leak), the
// pointer is cleared before anything runs that could send a closed message
// back, and a window deleted from inside its own handler is deleted once its
// handlers have returned.
template <class T> inline void CMainDlg::CloseOwned(T*& pWnd)
{
    T* p = pWnd;
    pWnd = nullptr;
    if (p == nullptr)
        return;
    if (p->GetSafeHwnd() != nullptr)
        p->DestroyWindow();
    if (AfxGetDispatchDepth() > 0)
        AfxDeleteLater(p);
    else
        delete p;
}

// The window of the outside tray-clock program.
extern const char g_szTrayClockClass[];
extern const char g_szTrayClockTitle[];

#include "clocks/calendaroptions_win.h"

#include "afx/afxapp.h"
#include "clocks/clockwindow_win.h"
#include "controls/uihelpers.h"
#include "core/messages.h"
#include "core/settings.h"
#include "res/clockoptions_res.h"
#include "res/shared_icons.h"

BEGIN_MESSAGE_MAP(CCalendarOptionsDlg, COptionsWindow)
ON_BN_CLICKED(IDC_CALOPT_CUSTOMFIRSTDAY, OnCustomFirstDay)
END_MESSAGE_MAP()

CCalendarOptionsDlg::CCalendarOptionsDlg(CWnd* pParent)
    : COptionsWindow(IDD_CALENDAROPTIONS, pParent)
{
}

CCalendarOptionsDlg::~CCalendarOptionsDlg() = default;

void CCalendarOptionsDlg::DoDataExchange(CDataExchange* pDX)
{
    COptionsWindow::DoDataExchange(pDX);
    for (int i = 0; i < CALENDAR_COLOURS; i++) {
        DDX_Control(pDX, static_cast<int>(g_calendarColours[i].nButtonID), m_pickers[i]);
        DDX_Check(pDX, static_cast<int>(g_calendarColours[i].nCheckID), m_abUse[i]);
    }
    DDX_Control(pDX, IDC_CALOPT_HOTKEY, m_hotKey);
    DDX_Control(pDX, IDC_CALOPT_FIRSTDAY, m_comboFirstDay);
    DDX_Check(pDX, IDC_CALOPT_ONTOP, m_bOnTop);
    DDX_Check(pDX, IDC_CALOPT_CUSTOMFIRSTDAY, m_bCustomFirstDay);
}

BOOL CCalendarOptionsDlg::OnInitDialog()
{
    COptionsWindow::OnInitDialog();
    HICON hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_CALENDAR));
    SetIcon(hIcon, TRUE);
    SetIcon(hIcon, FALSE);
    SetupDialogBanner(&m_banner, this);
    m_banner.SetIcon(static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(),
                         MAKEINTRESOURCEA(IDI_BANNER_OPTIONS), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)),
        BANNER_ICON_BEFORE | BANNER_ICON_CENTRE, TRUE);
    m_banner.SetTitle("Calendar options");
    m_banner.SetCaption("");
    LoadSettings();
    FillFirstDayCombo();
    UpdateFirstDayCombo();
    SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

void CCalendarOptionsDlg::LoadSettings()
{
    CCalendarOptionsValues values;
    values.Load(g_settings);
    for (int i = 0; i < CALENDAR_COLOURS; i++) {
        m_abUse[i] = values.abUse[i];
        m_pickers[i].SetColour(values.acrColour[i]);
    }
    m_bOnTop = values.bOnTop;
    m_hotKey.SetHotKey(values.wHotKeyVK, values.wHotKeyMods);
    m_bCustomFirstDay = values.bCustomFirstDay;
    UpdateData(FALSE);
}

void CCalendarOptionsDlg::FillFirstDayCombo()
{
    m_comboFirstDay.ResetContent();
    for (LPCSTR pszDay : g_apszCalendarWeekDays)
        m_comboFirstDay.AddString(pszDay);
    m_comboFirstDay.SetCurSel(ValidateCalendarFirstDay(g_settings));
}

void CCalendarOptionsDlg::UpdateFirstDayCombo()
{
    UpdateData(TRUE);
    m_comboFirstDay.EnableWindow(m_bCustomFirstDay);
}

void CCalendarOptionsDlg::OnCustomFirstDay()
{
    UpdateFirstDayCombo();
}

void CCalendarOptionsDlg::SaveSettings()
{
    UpdateData(TRUE);
    CCalendarOptionsValues values;
    for (int i = 0; i < CALENDAR_COLOURS; i++) {
        values.abUse[i] = m_abUse[i];
        values.acrColour[i] = m_pickers[i].GetColour();
    }
    values.bOnTop = m_bOnTop;
    m_hotKey.GetHotKey(values.wHotKeyVK, values.wHotKeyMods);
    values.bCustomFirstDay = m_bCustomFirstDay;
    values.nFirstDay = m_comboFirstDay.GetCurSel();
    values.Store(g_settings);
}

// The first message destroys this dialog; nothing here is touched after it.
void CCalendarOptionsDlg::OnOK()
{
    SaveSettings();
    m_nCloseResult = 1;
    SendToMainWindow(UM_CALENDAROPTIONSCLOSED);
    SendToMainWindow(UM_REGISTERHOTKEYS);
    SendToMainWindow(UM_SAVESETTINGS);
}

void CCalendarOptionsDlg::OnCancel()
{
    m_nCloseResult = 2;
    SendToMainWindow(UM_CALENDAROPTIONSCLOSED);
}

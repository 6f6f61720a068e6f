#include "alarms/alarmpages.h"

#include "alarms/alarmlistdlgs.h"
#include "controls/icondialog.h"
#include "core/alarmicon.h"
#include "core/settings.h"
#include "res/alarms_res.h"

BEGIN_MESSAGE_MAP(CAlarmInfoPage, CDialog)
    ON_EN_CHANGE(IDC_INFO_NAME, OnChangeName)
    ON_BN_CLICKED(IDC_INFO_ONCE, OnRepeatOnce)
    ON_BN_CLICKED(IDC_INFO_SECONDS, OnRepeatSeconds)
    ON_BN_CLICKED(IDC_INFO_MINUTES, OnRepeatMinutes)
    ON_BN_CLICKED(IDC_INFO_HOURLY, OnRepeatHourly)
    ON_BN_CLICKED(IDC_INFO_DAILY, OnRepeatDaily)
    ON_BN_CLICKED(IDC_INFO_WEEKLY, OnRepeatWeekly)
    ON_BN_CLICKED(IDC_INFO_MONTHLY, OnRepeatMonthly)
    ON_BN_CLICKED(IDC_INFO_ANNUALLY, OnRepeatAnnually)
    ON_CBN_SELCHANGE(IDC_INFO_DAYS, OnSelChangeDays)
    ON_CBN_SELCHANGE(IDC_INFO_MONTH, OnSelChangeMonth)
    ON_CBN_SELCHANGE(IDC_INFO_SECONDLIST, OnSelChangeSeconds)
    ON_CBN_SELCHANGE(IDC_INFO_MINUTELIST, OnSelChangeMinutes)
    ON_NOTIFY(UDN_DELTAPOS, IDC_INFO_NUMBERSPIN, OnDeltaPosNumber)
    ON_BN_CLICKED(IDC_INFO_CHOOSESTANDARDICON, OnChooseStandardIcon)
    ON_BN_CLICKED(IDC_INFO_CHOOSECUSTOMICON, OnChooseCustomIcon)
END_MESSAGE_MAP()

namespace
{
const char* const kSecondPresets[] = {"Every second",
                                      "Even seconds (0, 2, 4, ...)",
                                      "Odd seconds (1, 3, 5, ...)",
                                      "0, 5, 10, 15, 20, 25, 30, etc",
                                      "0, 10, 20, 30, 40, 50",
                                      "0, 15, 30, 45",
                                      "0, 20, 40",
                                      "0, 30",
                                      "Custom second list..."};
const char* const kMinutePresets[] = {"Every minute",
                                      "Even minutes (0, 2, 4, ...)",
                                      "Odd minutes (1, 3, 5, ...)",
                                      "0, 5, 10, 15, 20, 25, 30, etc",
                                      "0, 10, 20, 30, 40, 50",
                                      "0, 15, 30, 45",
                                      "0, 20, 40",
                                      "0, 30",
                                      "Custom minute list..."};
const char* const kDaySets[] = {"All days", "Work days only", "Weekend days only", "Custom days..."};
const char* const kWeekDays[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

const int kScheduleControls[] = {IDC_INFO_ATLABEL,          IDC_INFO_TIME,           IDC_INFO_ONLABEL,
                                 IDC_INFO_DATE,             IDC_INFO_WHICHMINUTESLABEL, IDC_INFO_MINUTELIST,
                                 IDC_INFO_SECONDLIST,       IDC_INFO_WHICHSECONDSLABEL, IDC_INFO_NUMBER,
                                 IDC_INFO_HOURLYLABEL,      IDC_INFO_NUMBERSPIN,     IDC_INFO_WEEKDAY,
                                 IDC_INFO_WHICHDAYSLABEL,   IDC_INFO_ONTHELABEL,     IDC_INFO_DAYOFMONTHLABEL,
                                 IDC_INFO_MONTH,            IDC_INFO_DAYS,           IDC_INFO_EVERYLABEL};

// Where a kind puts its controls: left edge and bottom edge in page pixels.
struct CPlace
{
    int nID, x, yBottom;
};
const std::vector<CPlace> kKindPlaces[8] = {
    {{IDC_INFO_ATLABEL, 30, 149}, {IDC_INFO_TIME, 50, 149}, {IDC_INFO_ONLABEL, 155, 149}, {IDC_INFO_DATE, 180, 149}},
    {{IDC_INFO_WHICHSECONDSLABEL, 30, 149}, {IDC_INFO_SECONDLIST, 115, 151}},
    {{IDC_INFO_WHICHMINUTESLABEL, 30, 149}, {IDC_INFO_MINUTELIST, 115, 151}},
    {{IDC_INFO_ATLABEL, 30, 149},
     {IDC_INFO_NUMBER, 50, 148},
     {IDC_INFO_NUMBERSPIN, 80, 148},
     {IDC_INFO_HOURLYLABEL, 104, 149}},
    {{IDC_INFO_ATLABEL, 30, 149},
     {IDC_INFO_TIME, 50, 149},
     {IDC_INFO_WHICHDAYSLABEL, 140, 149},
     {IDC_INFO_DAYS, 207, 149}},
    {{IDC_INFO_ATLABEL, 30, 149}, {IDC_INFO_TIME, 50, 149}, {IDC_INFO_EVERYLABEL, 144, 149}, {IDC_INFO_WEEKDAY, 180, 149}},
    {{IDC_INFO_ATLABEL, 30, 149},
     {IDC_INFO_TIME, 50, 149},
     {IDC_INFO_ONTHELABEL, 148, 149},
     {IDC_INFO_NUMBER, 190, 148},
     {IDC_INFO_NUMBERSPIN, 220, 148},
     {IDC_INFO_DAYOFMONTHLABEL, 246, 149}},
    {{IDC_INFO_ATLABEL, 30, 149},
     {IDC_INFO_TIME, 50, 149},
     {IDC_INFO_ONTHELABEL, 140, 149},
     {IDC_INFO_NUMBER, 180, 148},
     {IDC_INFO_NUMBERSPIN, 210, 148},
     {IDC_INFO_MONTH, 236, 149}},
};

void FillCombo(CComboBox& combo, const char* const* ppszItems, int nCount, int nSelect)
{
    combo.ResetContent();
    for (int i = 0; i < nCount; i++)
        combo.AddString(ppszItems[i]);
    combo.SetCurSel(CAlarmInfoModel::ShownIndex(nSelect, nCount));
}

// The pickers take the stored time as it reads in local time.
SYSTEMTIME ToSystemTime(const CTime& time)
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(time.GetYear());
    st.wMonth = static_cast<WORD>(time.GetMonth());
    st.wDay = static_cast<WORD>(time.GetDay());
    st.wDayOfWeek = static_cast<WORD>(time.GetDayOfWeek() - 1);
    st.wHour = static_cast<WORD>(time.GetHour());
    st.wMinute = static_cast<WORD>(time.GetMinute());
    st.wSecond = static_cast<WORD>(time.GetSecond());
    return st;
}
} // namespace

CAlarmInfoPage::CAlarmInfoPage() : CDialog(IDD_ALARMINFOPAGE)
{
}

void CAlarmInfoPage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_INFO_HOTKEY, m_hotKey);
    DDX_Control(pDX, IDC_INFO_STANDARDICON, m_iconStandard);
    DDX_Control(pDX, IDC_INFO_CUSTOMICON, m_iconCustom);
    DDX_Control(pDX, IDC_INFO_MINUTELIST, m_comboMinutes);
    DDX_Control(pDX, IDC_INFO_SECONDLIST, m_comboSeconds);
    DDX_Control(pDX, IDC_INFO_MONTH, m_comboMonth);
    DDX_Control(pDX, IDC_INFO_WEEKDAY, m_comboWeekDay);
    DDX_Control(pDX, IDC_INFO_DAYS, m_comboDays);
    DDX_Control(pDX, IDC_INFO_NUMBERSPIN, m_spinNumber);
    DDX_Text(pDX, IDC_INFO_NAME, m_strName);
    DDX_Check(pDX, IDC_INFO_ENABLED, m_bEnabled);
    DDX_Radio(pDX, IDC_INFO_ONCE, m_nRepeat);
    DDX_Text(pDX, IDC_INFO_STARTS, m_nStarts);
    DDX_DateTimeCtrl(pDX, IDC_INFO_TIME, m_timeAt);
    DDX_DateTimeCtrl(pDX, IDC_INFO_DATE, m_dateOn);
    DDX_Check(pDX, IDC_INFO_ASKNOTIFY, m_bAskNotify);
    DDX_Check(pDX, IDC_INFO_SHOWINTRAY, m_bShowInTray);
}

BOOL CAlarmInfoPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Both pickers keep to what the record holds: beyond it a time would be stored as no time at all.
    SYSTEMTIME range[2] = {ToSystemTime(CAlarmInfoModel::FirstStoredTime()),
                           ToSystemTime(CAlarmInfoModel::LastStoredTime())};
    for (int nID : {IDC_INFO_TIME, IDC_INFO_DATE})
        SendDlgItemMessage(nID, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range));
    CRect rcSpin;
    m_spinNumber.GetWindowRect(&rcSpin);
    m_spinNumber.SetWindowPos(nullptr, 0, 0, rcSpin.Width(), rcSpin.Height() - 4,
                              SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_spinNumber.SetBuddy(GetDlgItem(IDC_INFO_NUMBER));
    FillCombos();
    LoadFromAlarm();
    ShowAlarmIcon();
    return TRUE;
}

void CAlarmInfoPage::FillCombos()
{
    FillCombo(m_comboSeconds, kSecondPresets, CAlarmInfoModel::SECOND_PRESETS, m_schedule.m_nSecondPreset);
    FillCombo(m_comboMinutes, kMinutePresets, CAlarmInfoModel::MINUTE_PRESETS, m_schedule.m_nMinutePreset);
    FillCombo(m_comboDays, kDaySets, CAlarmInfoModel::DAY_SETS, m_schedule.m_nDays);
    FillCombo(m_comboMonth, kMonths, CAlarmInfoModel::MONTHS, m_schedule.m_nYearMonth);
    FillCombo(m_comboWeekDay, kWeekDays, CAlarmInfoModel::WEEK_DAYS,
              CAlarmInfoModel::WeekDayToIndex(m_schedule.m_nWeekDay));
}

BOOL CAlarmInfoPage::LoadFromAlarm()
{
    const CAlarmInfoFields fields = CAlarmInfoModel::Load(m_schedule, m_general);
    m_nStarts = fields.nStarts;
    m_bEnabled = fields.bEnabled;
    m_strName = fields.strName;
    m_nRepeat = fields.nRepeat;
    m_timeAt = m_dateOn = ToSystemTime(m_schedule.m_time);
    m_nMinuteOfHour = fields.nMinuteOfHour;
    m_nMonthDay = fields.nMonthDay;
    m_nYearDay = fields.nYearDay;
    m_hotKey.SetHotKey(fields.wHotKeyVK, fields.wHotKeyMods);
    m_bAskNotify = fields.bAskNotify;
    m_bShowInTray = fields.bShowInTray;
    UpdateData(FALSE);
    OnChangeName();
    m_nUpDownKind = -1;
    OnRepeatKind(m_nRepeat);
    return TRUE;
}

BOOL CAlarmInfoPage::SaveToAlarm()
{
    UpdateData(TRUE);
    KeepUpDownPosition();
    if (m_strName.IsEmpty())
    {
        AfxMessageBox("Alarm Name can not be empty!", MB_OK);
        m_nRefusedID = IDC_INFO_NAME;
        GetDlgItem(m_nRefusedID)->SetFocus();
        return FALSE;
    }
    CAlarmInfoFields fields = WorkingFields();
    fields.strName = m_strName;
    fields.bEnabled = m_bEnabled;
    fields.nRepeat = m_nRepeat;
    fields.nTimeHour = m_timeAt.wHour;
    fields.nTimeMinute = m_timeAt.wMinute;
    fields.nTimeSecond = m_timeAt.wSecond;
    fields.nDateYear = m_dateOn.wYear;
    fields.nDateMonth = m_dateOn.wMonth;
    fields.nDateDay = m_dateOn.wDay;
    fields.nSecondPreset = m_comboSeconds.GetCurSel();
    fields.nMinutePreset = m_comboMinutes.GetCurSel();
    fields.nDays = m_comboDays.GetCurSel();
    fields.nWeekDayIndex = m_comboWeekDay.GetCurSel();
    m_hotKey.GetHotKey(fields.wHotKeyVK, fields.wHotKeyMods);
    fields.bAskNotify = m_bAskNotify;
    fields.bShowInTray = m_bShowInTray;
    const CTime today = CTime::GetCurrentTime();
    if (!CAlarmInfoModel::TimeFits(fields, today))
    {
        AfxMessageBox("Alarm time must lie between January 1, 1970 and January 19, 2038, 03:14:07 UTC!", MB_OK);
        m_nRefusedID = CAlarmInfoModel::ShownRepeat(m_nRepeat) == ALARM_ONCE ? IDC_INFO_DATE : IDC_INFO_TIME;
        GetDlgItem(m_nRefusedID)->SetFocus();
        return FALSE;
    }
    return CAlarmInfoModel::Store(fields, today, m_schedule, m_general);
}

CAlarmInfoFields CAlarmInfoPage::WorkingFields() const
{
    CAlarmInfoFields fields;
    fields.nMinuteOfHour = m_nMinuteOfHour;
    fields.nMonthDay = m_nMonthDay;
    fields.nYearDay = m_nYearDay;
    fields.nYearMonth = m_comboMonth.GetCurSel();
    return fields;
}

void CAlarmInfoPage::TakeWorkingFields(const CAlarmInfoFields& fields)
{
    m_nMinuteOfHour = fields.nMinuteOfHour;
    m_nMonthDay = fields.nMonthDay;
    m_nYearDay = fields.nYearDay;
    if (m_comboMonth.GetCurSel() != fields.nYearMonth)
        m_comboMonth.SetCurSel(fields.nYearMonth);
}

void CAlarmInfoPage::KeepUpDownPosition()
{
    CAlarmInfoFields fields = WorkingFields();
    if (int* pnValue = CAlarmInfoModel::WorkingValue(fields, m_nUpDownKind))
    {
        *pnValue = LOWORD(m_spinNumber.GetPos());
        TakeWorkingFields(fields);
    }
}

void CAlarmInfoPage::ApplyUpDown(const CUpDownSetup& setup)
{
    m_spinNumber.SetRange32(setup.nMin, setup.nMax);
    m_spinNumber.SetPos(setup.nPos);
}

void CAlarmInfoPage::OnRepeatKind(int nKind)
{
    for (int nID : kScheduleControls)
        GetDlgItem(nID)->ShowWindow(SW_HIDE);
    nKind = CAlarmInfoModel::ShownRepeat(nKind);
    if (nKind != ALARM_SECONDS && nKind != ALARM_MINUTES)
    {
        KeepUpDownPosition();
        m_nRepeat = nKind;
    }
    for (const CPlace& place : kKindPlaces[nKind])
    {
        CWnd* pControl = GetDlgItem(place.nID);
        CRect rc;
        pControl->GetWindowRect(&rc);
        pControl->SetWindowPos(nullptr, place.x, place.yBottom - rc.Height(), 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        pControl->ShowWindow(SW_SHOW);
    }
    CAlarmInfoFields fields = WorkingFields();
    const CUpDownSetup setup = CAlarmInfoModel::SetUpKind(fields, nKind, CTime::GetCurrentTime().GetYear());
    if (setup.bUsed)
    {
        TakeWorkingFields(fields);
        ApplyUpDown(setup);
        m_nUpDownKind = nKind;
    }
}

void CAlarmInfoPage::OnSelChangeMonth()
{
    if (m_nUpDownKind != ALARM_ANNUALLY)
        return;
    KeepUpDownPosition();
    CAlarmInfoFields fields = WorkingFields();
    const CUpDownSetup setup = CAlarmInfoModel::ApplyMonthRule(fields, CTime::GetCurrentTime().GetYear());
    TakeWorkingFields(fields);
    ApplyUpDown(setup);
}

void CAlarmInfoPage::OnDeltaPosNumber(NMHDR* pNMHDR, LRESULT* pResult)
{
    const NMUPDOWN* pUpDown = reinterpret_cast<NMUPDOWN*>(pNMHDR);
    CAlarmInfoFields fields = WorkingFields();
    if (int* pnValue = CAlarmInfoModel::WorkingValue(fields, m_nUpDownKind))
    {
        int nMin = 0, nMax = 0;
        m_spinNumber.GetRange32(nMin, nMax);
        const int nNew = pUpDown->iPos + pUpDown->iDelta;
        *pnValue = nNew < nMin ? nMin : nNew > nMax ? nMax : nNew;
        TakeWorkingFields(fields);
    }
    *pResult = 0;
}

void CAlarmInfoPage::OnChangeName()
{
    CString strName;
    GetDlgItemText(IDC_INFO_NAME, strName);
    if (HWND hWndEditor = ::GetAncestor(m_hWnd, GA_ROOT); hWndEditor != m_hWnd)
        ::SetWindowTextA(hWndEditor, CAlarmInfoModel::Caption(strName));
}

void CAlarmInfoPage::OnSelChangeDays()
{
    if (m_comboDays.GetCurSel() != CAlarmInfoModel::CUSTOM_DAYS)
        return;
    CWeeklyDaysDlg dlg;
    if (dlg.DoModal() == IDOK)
        m_schedule.m_strWeekDays = dlg.m_strResult;
}

void CAlarmInfoPage::OnSelChangeSeconds()
{
    if (m_comboSeconds.GetCurSel() != CAlarmInfoModel::CUSTOM_PRESET)
        return;
    CSecondListDlg dlg;
    if (dlg.DoModal() == IDOK)
        m_schedule.m_strSecondList = dlg.m_strResult;
}

void CAlarmInfoPage::OnSelChangeMinutes()
{
    if (m_comboMinutes.GetCurSel() != CAlarmInfoModel::CUSTOM_PRESET)
        return;
    CMinuteListDlg dlg;
    if (dlg.DoModal() == IDOK)
        m_schedule.m_strMinuteList = dlg.m_strResult;
}

void CAlarmInfoPage::ChooseIcon(BOOL bStandard)
{
    const CString strFile = bStandard ? g_settings.m_strIconLibrary : m_general.m_strIconFile;
    UpdateData(TRUE);
    CIconDialog dlg(strFile, m_general.m_nIconIndex, this);
    if (dlg.DoModal() == IDOK)
    {
        m_general.m_bCustomIcon = bStandard ? 0 : 1;
        if (!bStandard)
            m_general.m_strIconFile = dlg.GetFileName();
        m_general.m_nIconIndex = dlg.GetIconIndex();
        UpdateData(FALSE);
    }
    ShowAlarmIcon();
}

void CAlarmInfoPage::ShowAlarmIcon()
{
    CIconHandle icon(AlarmExtractIcon(m_general, g_settings.m_strIconLibrary));
    if (icon.Get() != nullptr)
    {
        CStatic& shown = m_general.m_bCustomIcon ? m_iconCustom : m_iconStandard;
        CStatic& hidden = m_general.m_bCustomIcon ? m_iconStandard : m_iconCustom;
        shown.SetIcon(icon.Get());
        shown.ShowWindow(SW_SHOW);
        hidden.SetIcon(nullptr);
        hidden.ShowWindow(SW_HIDE);
    }
    else
    {
        m_iconStandard.SetIcon(AfxGetApp() != nullptr ? AfxGetApp()->LoadIcon(159) : nullptr);
        m_iconStandard.ShowWindow(SW_SHOW);
        m_iconCustom.SetIcon(nullptr);
        m_iconCustom.ShowWindow(SW_HIDE);
    }
    // The static shows the new icon now, so the old one may go.
    m_icon = std::move(icon);
}

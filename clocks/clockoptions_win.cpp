#include "clocks/clockoptions_win.h"

#include "afx/afxapp.h"
#include "afx/afxmenu.h"
#include "clocks/clockwindow_win.h"
#include "clocks/timeformat.h"
#include "controls/uihelpers.h"
#include "core/messages.h"
#include "core/settings.h"
#include "res/clockoptions_res.h"
#include "res/clocks_res.h"
#include "res/shared_icons.h"

namespace {
HICON LoadSmallIcon(UINT nID)
{
    return static_cast<HICON>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nID), IMAGE_ICON, 16, 16, 0));
}

void AddIcon(CImageList& list, UINT nID)
{
    HICON hIcon = LoadSmallIcon(nID);
    list.Add(hIcon);
    if (hIcon != nullptr)
        ::DestroyIcon(hIcon);
}

void EnableItem(CWnd* pParent, int nID, BOOL bEnable)
{
    if (CWnd* pItem = pParent->GetDlgItem(nID))
        pItem->EnableWindow(bEnable);
}

// The skins of a kind in their folder, sorted.
void ListSkins(SkinKind kind, CSortStringArray& names)
{
    FindSkins(g_settings.*GetClockOptionsFields(kind).pstrSkinDir, kind, names);
}
} // namespace

// --- Visible settings ------------------------------------------------------

BEGIN_MESSAGE_MAP(CVisiblePage, CDialog)
ON_CBN_SELCHANGE(IDC_VISIBLE_SKIN, OnSkinSelChange)
ON_BN_CLICKED(IDC_VISIBLE_ONTOP, OnPlacementClicked)
ON_BN_CLICKED(IDC_VISIBLE_ONBOTTOM, OnPlacementClicked)
END_MESSAGE_MAP()

CVisiblePage::CVisiblePage(SkinKind kind, UINT nTemplate, CWnd* pParent)
    : CDialog(nTemplate, pParent)
    , m_kind(kind)
{
}

CVisiblePage::~CVisiblePage() = default;

void CVisiblePage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_VISIBLE_SKIN, m_comboSkin);
    DDX_Control(pDX, IDC_VISIBLE_DBLCLK, m_comboDblClk);
    DDX_Control(pDX, m_kind == SKIN_ANALOG ? IDC_VISIBLE_ANALOGHOTKEY : IDC_VISIBLE_DIGITALHOTKEY, m_hotKey);
    DDX_Check(pDX, IDC_VISIBLE_ONTOP, m_bOnTop);
    DDX_Check(pDX, IDC_VISIBLE_ONBOTTOM, m_bOnBottom);
    DDX_Check(pDX, IDC_VISIBLE_CENTER, m_bAlwaysCenter);
    DDX_Check(pDX, IDC_VISIBLE_AUTOREMOVE, m_bAutoRemove);
    DDX_Check(pDX, IDC_VISIBLE_LOCK, m_bLockMovement);
    if (m_kind == SKIN_ANALOG)
        DDX_Check(pDX, IDC_VISIBLE_SECONDHAND, m_bSecondHand);
    else
        DDX_Text(pDX, IDC_VISIBLE_FORMAT, m_strFormat);
}

BOOL CVisiblePage::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_kind == SKIN_ANALOG) {
        LoadSettings();
        FillCombos();
    } else {
        FillCombos();
        LoadSettings();
    }
    EnableChecks();
    return TRUE;
}

void CVisiblePage::FillCombos()
{
    CString& strCurrent = g_settings.*GetClockOptionsFields(m_kind).pstrSkin;
    CSortStringArray names;
    ListSkins(m_kind, names);
    m_comboSkin.ResetContent();
    for (INT_PTR i = 0; i < names.GetSize(); i++)
        m_comboSkin.AddString(names[i]);
    const int nSelection = ChooseCurrentSkin(names, strCurrent);
    if (nSelection >= 0)
        m_comboSkin.SetCurSel(nSelection);

    CStringArray actions;
    FillClockDblClkActions(m_kind, actions);
    m_comboDblClk.ResetContent();
    for (INT_PTR i = 0; i < actions.GetSize(); i++)
        m_comboDblClk.AddString(actions[i]);
    m_comboDblClk.SetCurSel(
        ValidListIndex(g_settings.*GetClockOptionsFields(m_kind).pnDblClkAction, CLOCK_DBLCLK_ACTIONS));
}

void CVisiblePage::LoadSettings()
{
    CVisiblePageValues values;
    values.Load(m_kind, g_settings);
    m_strFormat = values.strFormat;
    m_bOnTop = values.bOnTop;
    m_bOnBottom = values.bOnBottom;
    m_bAlwaysCenter = values.bAlwaysCenter;
    m_bAutoRemove = values.bAutoRemove;
    m_bLockMovement = values.bLockMovement;
    m_bSecondHand = values.bSecondHand;
    m_hotKey.SetHotKey(values.wHotKeyVK, values.wHotKeyMods);
    UpdateData(FALSE);
}

void CVisiblePage::SaveSettings()
{
    UpdateData(TRUE);
    CVisiblePageValues values;
    values.strFormat = m_strFormat;
    values.bOnTop = m_bOnTop;
    values.bOnBottom = m_bOnBottom;
    values.bAlwaysCenter = m_bAlwaysCenter;
    values.bAutoRemove = m_bAutoRemove;
    values.bLockMovement = m_bLockMovement;
    values.bSecondHand = m_bSecondHand;
    values.nDblClkAction = m_comboDblClk.GetCurSel();
    m_hotKey.GetHotKey(values.wHotKeyVK, values.wHotKeyMods);
    values.Store(m_kind, g_settings);
}

void CVisiblePage::EnableChecks()
{
    UpdateData(TRUE);
    CVisiblePageValues values;
    values.bOnTop = m_bOnTop;
    values.bOnBottom = m_bOnBottom;
    values.bAlwaysCenter = m_bAlwaysCenter;
    const CVisiblePageEnables enables = GetVisiblePageEnables(m_kind, values);
    EnableItem(this, IDC_VISIBLE_ONTOP, enables.bOnTop);
    EnableItem(this, IDC_VISIBLE_ONBOTTOM, enables.bOnBottom);
    EnableItem(this, IDC_VISIBLE_AUTOREMOVE, enables.bAutoRemove);
}

void CVisiblePage::OnSkinSelChange()
{
    const int nSelection = m_comboSkin.GetCurSel();
    if (nSelection >= 0)
        m_comboSkin.GetLBText(nSelection, g_settings.*GetClockOptionsFields(m_kind).pstrSkin);
    if (m_kind == SKIN_ANALOG)
        EnableChecks();
}

void CVisiblePage::OnPlacementClicked()
{
    EnableChecks();
}

BEGIN_MESSAGE_MAP(CAnalogVisiblePage, CVisiblePage)
ON_BN_CLICKED(IDC_VISIBLE_CENTER, OnPlacementClicked)
ON_BN_CLICKED(IDC_VISIBLE_SECONDHAND, OnSecondHand)
END_MESSAGE_MAP()

CAnalogVisiblePage::CAnalogVisiblePage(CWnd* pParent)
    : CVisiblePage(SKIN_ANALOG, IDD_ANALOGVISIBLEPAGE, pParent)
{
}

void CAnalogVisiblePage::OnSecondHand()
{
    UpdateData(TRUE);
    g_settings.m_bAnalogSecondHand = m_bSecondHand;
}

BEGIN_MESSAGE_MAP(CDigitalVisiblePage, CVisiblePage)
ON_BN_CLICKED(IDC_VISIBLE_FORMATS, OnFormats)
END_MESSAGE_MAP()

CDigitalVisiblePage::CDigitalVisiblePage(CWnd* pParent)
    : CVisiblePage(SKIN_DIGITAL, IDD_DIGITALVISIBLEPAGE, pParent)
{
}

BOOL CDigitalVisiblePage::OnInitDialog()
{
    FillFormatPresets(m_presets);
    return CVisiblePage::OnInitDialog();
}

void CDigitalVisiblePage::OnFormats()
{
    CMenu menu;
    if (!menu.CreatePopupMenu())
        return;
    for (INT_PTR i = 0; i < m_presets.GetSize(); i++) {
        const UINT nFlags = MF_STRING | (m_presets[i] == g_settings.m_strDigitalFormat ? MF_CHECKED : 0);
        menu.AppendMenu(nFlags, ID_FORMAT_FIRSTPRESET + static_cast<UINT>(i), m_presets[i]);
    }
    CRect rcButton;
    GetDlgItem(IDC_VISIBLE_FORMATS)->GetWindowRect(&rcButton);
    menu.TrackPopupMenu(TPM_BOTTOMALIGN, rcButton.left, rcButton.bottom, this);
    menu.DestroyMenu();
}

// A preset chosen from the menu is the format at once.
LRESULT CDigitalVisiblePage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == 0) {
        const UINT nID = LOWORD(wParam);
        if (nID >= ID_FORMAT_FIRSTPRESET
            && nID < ID_FORMAT_FIRSTPRESET + static_cast<UINT>(m_presets.GetSize())) {
            g_settings.m_strDigitalFormat = m_presets[nID - ID_FORMAT_FIRSTPRESET];
            m_strFormat = g_settings.m_strDigitalFormat;
            SetDlgItemText(IDC_VISIBLE_FORMAT, m_strFormat);
            UpdateData(FALSE);
        }
    }
    return CVisiblePage::WindowProc(message, wParam, lParam);
}

// --- Auto-change skins -----------------------------------------------------

BEGIN_MESSAGE_MAP(CAutoChangePage, CDialog)
ON_BN_CLICKED(IDC_CHANGE_AUTO, OnCheckClicked)
ON_BN_CLICKED(IDC_CHANGE_BYMINUTES, OnCheckClicked)
ON_BN_CLICKED(IDC_CHANGE_BYSECONDS, OnCheckClicked)
ON_BN_CLICKED(IDC_CHANGE_CHECKALL, OnCheckAll)
ON_BN_CLICKED(IDC_CHANGE_UNCHECKALL, OnUncheckAll)
END_MESSAGE_MAP()

CAutoChangePage::CAutoChangePage(SkinKind kind, UINT nTemplate, CWnd* pParent)
    : CDialog(nTemplate, pParent)
    , m_kind(kind)
    , m_pszSeparator(g_szChosenSkinsSeparator)
{
}

CAutoChangePage::~CAutoChangePage() = default;

void CAutoChangePage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CHANGE_SKINS, m_listSkins);
    DDX_Control(pDX, IDC_CHANGE_MINUTESSPIN, m_spinMinutes);
    DDX_Control(pDX, IDC_CHANGE_SECONDSSPIN, m_spinSeconds);
    DDX_Check(pDX, IDC_CHANGE_AUTO, m_bAutoChange);
    DDX_Check(pDX, IDC_CHANGE_BYMINUTES, m_bByMinutes);
    DDX_Check(pDX, IDC_CHANGE_BYSECONDS, m_bBySeconds);
}

BOOL CAutoChangePage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_imlSkin.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    AddIcon(m_imlSkin, IDI_CLOCK_SKIN);
    m_listSkins.SetExtendedStyle(m_listSkins.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    m_listSkins.SetImageList(&m_imlSkin, LVSIL_SMALL);
    CRect rcList;
    m_listSkins.GetClientRect(&rcList);
    m_listSkins.InsertColumn(0, "", LVCFMT_LEFT, rcList.Width() - ::GetSystemMetrics(SM_CXVSCROLL));
    FillSkinList();
    LoadSettings();
    EnableControls();
    return TRUE;
}

void CAutoChangePage::FillSkinList()
{
    ListSkins(m_kind, m_names);
    m_listSkins.DeleteAllItems();
    for (INT_PTR i = 0; i < m_names.GetSize(); i++)
        m_listSkins.InsertItem(static_cast<int>(i), m_names[i], 0);
    CStringArray chosen;
    SplitChosenSkins(g_settings.*GetClockOptionsFields(m_kind).pstrChangeSkins, chosen);
    for (INT_PTR i = 0; i < chosen.GetSize(); i++) {
        const INT_PTR nItem = FindSkinName(m_names, chosen[i]);
        if (nItem >= 0)
            m_listSkins.SetItemState(static_cast<int>(nItem), INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
    }
}

void CAutoChangePage::LoadSettings()
{
    CAutoChangeValues values;
    values.Load(m_kind, g_settings);
    m_bAutoChange = values.bAutoChange;
    m_bByMinutes = values.bByMinutes;
    m_bBySeconds = values.bBySeconds;
    m_spinMinutes.SetRange32(CHANGE_MINUTES_MIN, CHANGE_MINUTES_MAX);
    m_spinMinutes.SetPos(values.nMinutes);
    m_spinSeconds.SetRange32(CHANGE_SECONDS_MIN, CHANGE_SECONDS_MAX);
    m_spinSeconds.SetPos(values.nSeconds);
    UpdateData(FALSE);
}

void CAutoChangePage::SaveSettings()
{
    UpdateData(TRUE);
    CAutoChangeValues values;
    values.bAutoChange = m_bAutoChange;
    values.bByMinutes = m_bByMinutes;
    values.bBySeconds = m_bBySeconds;
    values.nMinutes = m_spinMinutes.GetPos();
    values.nSeconds = m_spinSeconds.GetPos();
    values.Store(m_kind, g_settings);
    CStringArray checked;
    for (int i = 0; i < m_listSkins.GetItemCount(); i++) {
        if (m_listSkins.GetItemState(i, LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2))
            checked.Add(m_listSkins.GetItemText(i, 0));
    }
    g_settings.*GetClockOptionsFields(m_kind).pstrChangeSkins = JoinChosenSkins(checked);
}

void CAutoChangePage::EnableControls()
{
    UpdateData(TRUE);
    CAutoChangeValues values;
    values.bAutoChange = m_bAutoChange;
    values.bByMinutes = m_bByMinutes;
    values.bBySeconds = m_bBySeconds;
    const CAutoChangeEnables enables = GetAutoChangeEnables(values);
    for (int nID : { IDC_CHANGE_BYMINUTES, IDC_CHANGE_BYSECONDS })
        EnableItem(this, nID, enables.bEveryChecks);
    for (int nID : { IDC_CHANGE_MINUTES, IDC_CHANGE_MINUTESSPIN, IDC_CHANGE_MINUTESLABEL })
        EnableItem(this, nID, enables.bMinutes);
    for (int nID : { IDC_CHANGE_SECONDS, IDC_CHANGE_SECONDSSPIN, IDC_CHANGE_SECONDSLABEL })
        EnableItem(this, nID, enables.bSeconds);
    for (int nID : { IDC_CHANGE_CHOOSELABEL, IDC_CHANGE_CHECKALL, IDC_CHANGE_UNCHECKALL, IDC_CHANGE_SKINS })
        EnableItem(this, nID, enables.bSkinList);
}

void CAutoChangePage::OnCheckClicked()
{
    EnableControls();
}

void CAutoChangePage::CheckAll(BOOL bCheck)
{
    for (int i = 0; i < m_listSkins.GetItemCount(); i++)
        m_listSkins.SetItemState(i, INDEXTOSTATEIMAGEMASK(bCheck ? 2 : 1), LVIS_STATEIMAGEMASK);
}

void CAutoChangePage::OnCheckAll()
{
    CheckAll(TRUE);
}

void CAutoChangePage::OnUncheckAll()
{
    CheckAll(FALSE);
}

CAnalogAutoChangePage::CAnalogAutoChangePage(CWnd* pParent)
    : CAutoChangePage(SKIN_ANALOG, IDD_ANALOGAUTOCHANGEPAGE, pParent)
{
}

CDigitalAutoChangePage::CDigitalAutoChangePage(CWnd* pParent)
    : CAutoChangePage(SKIN_DIGITAL, IDD_DIGITALAUTOCHANGEPAGE, pParent)
{
}

// --- The dialog ------------------------------------------------------------

BEGIN_MESSAGE_MAP(CClockOptionsDlg, COptionsWindow)
ON_NOTIFY(TCN_SELCHANGE, IDC_ANALOGOPTIONS_TAB, OnTabSelChange)
ON_NOTIFY(TCN_SELCHANGING, IDC_ANALOGOPTIONS_TAB, OnTabSelChanging)
ON_NOTIFY(TCN_SELCHANGE, IDC_DIGITALOPTIONS_TAB, OnTabSelChange)
ON_NOTIFY(TCN_SELCHANGING, IDC_DIGITALOPTIONS_TAB, OnTabSelChanging)
END_MESSAGE_MAP()

CClockOptionsDlg::CClockOptionsDlg(
    SkinKind kind, UINT nTemplate, CVisiblePage* pPage1, CAutoChangePage* pPage2, CWnd* pParent)
    : COptionsWindow(nTemplate, pParent)
    , m_kind(kind)
    , m_pPage1(pPage1)
    , m_pPage2(pPage2)
{
}

CClockOptionsDlg::~CClockOptionsDlg()
{
    delete m_pPage1;
    delete m_pPage2;
}

BOOL CClockOptionsDlg::OnInitDialog()
{
    COptionsWindow::OnInitDialog();
    const BOOL bAnalog = m_kind == SKIN_ANALOG;
    m_tab.SubclassDlgItem(bAnalog ? IDC_ANALOGOPTIONS_TAB : IDC_DIGITALOPTIONS_TAB, this);
    HICON hIcon
        = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(bAnalog ? IDI_ANALOGCLOCK : IDI_DIGITALCLOCK));
    SetIcon(hIcon, TRUE);
    SetIcon(hIcon, FALSE);

    SetupDialogBanner(&m_banner, this);
    m_banner.SetIcon(static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(),
                         MAKEINTRESOURCEA(IDI_BANNER_OPTIONS), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)),
        BANNER_ICON_BEFORE | BANNER_ICON_CENTRE, TRUE);
    CString strCaption;
    GetWindowText(strCaption);
    m_banner.SetTitle(strCaption);
    m_banner.SetCaption("Visible settings");

    m_imlTabs.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1);
    AddIcon(m_imlTabs, bAnalog ? IDI_TRAY : IDI_DIGITALCLOCK);
    AddIcon(m_imlTabs, IDI_AUTOCHANGE);
    m_tab.SetImageList(&m_imlTabs);
    m_tab.InsertItem(TCIF_TEXT | TCIF_IMAGE, 0, "Visible settings", 0, 0);
    m_tab.InsertItem(TCIF_TEXT | TCIF_IMAGE, 1, "Auto-change skins", 1, 0);

    CDialog* apPages[2] = { m_pPage1, m_pPage2 };
    for (int i = 0; i < 2; i++) {
        apPages[i]->Create(apPages[i]->m_lpszTemplateName, &m_tab);
        TCITEMA item = {};
        item.mask = TCIF_PARAM;
        item.lParam = reinterpret_cast<LPARAM>(apPages[i]);
        m_tab.SetItem(i, &item);
        apPages[i]->SetWindowPos(nullptr, 5, 26, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        apPages[i]->ShowWindow(i == 0 ? SW_SHOW : SW_HIDE);
    }

    m_tab.SetBkColor(::GetSysColor(COLOR_BTNFACE));
    m_tab.SetDrawMode(2);
    CColorTabCtrl::SetDrawFlags(TRUE, 15);
    m_tab.Invalidate();
    Invalidate();

    m_pPage1->LoadSettings();
    m_pPage2->LoadSettings();
    m_strInitialSkin = g_settings.*GetClockOptionsFields(m_kind).pstrSkin;
    return TRUE;
}

CDialog* CClockOptionsDlg::GetTabPage(int nTab) const
{
    TCITEMA item = {};
    item.mask = TCIF_PARAM;
    if (nTab < 0 || !m_tab.GetItem(nTab, &item))
        return nullptr;
    return reinterpret_cast<CDialog*>(item.lParam);
}

void CClockOptionsDlg::OnTabSelChange(NMHDR*, LRESULT* pResult)
{
    const int nTab = m_tab.GetCurSel();
    if (CDialog* pPage = GetTabPage(nTab))
        pPage->ShowWindow(SW_SHOW);
    m_banner.SetCaption(nTab == 0 ? "Visible settings" : "Auto-changing skins by timer");
    *pResult = 0;
}

void CClockOptionsDlg::OnTabSelChanging(NMHDR*, LRESULT* pResult)
{
    if (CDialog* pPage = GetTabPage(m_tab.GetCurSel()))
        pPage->ShowWindow(SW_HIDE);
    *pResult = 0;
}

// The first message destroys this dialog; nothing here is touched after it.
void CClockOptionsDlg::OnOK()
{
    m_pPage1->SaveSettings();
    m_pPage2->SaveSettings();
    m_nCloseResult = 1;
    SendToMainWindow(m_kind == SKIN_ANALOG ? UM_ANALOGOPTIONSCLOSED : UM_DIGITALOPTIONSCLOSED);
    SendToMainWindow(UM_REGISTERHOTKEYS);
    SendToMainWindow(UM_SAVESETTINGS);
}

void CClockOptionsDlg::OnCancel()
{
    m_nCloseResult = 2;
    SendToMainWindow(m_kind == SKIN_ANALOG ? UM_ANALOGOPTIONSCLOSED : UM_DIGITALOPTIONSCLOSED);
}

CAnalogOptionsDlg::CAnalogOptionsDlg(CWnd* pParent)
    : CClockOptionsDlg(
        SKIN_ANALOG, IDD_ANALOGOPTIONS, new CAnalogVisiblePage, new CAnalogAutoChangePage, pParent)
{
}

CDigitalOptionsDlg::CDigitalOptionsDlg(CWnd* pParent)
    : CClockOptionsDlg(
        SKIN_DIGITAL, IDD_DIGITALOPTIONS, new CDigitalVisiblePage, new CDigitalAutoChangePage, pParent)
{
}

#include "skinbrowser/skinbrowserdlg.h"

#include "afx/afxapp.h"
#include "core/messages.h"
#include "core/programhelp.h"
#include "core/settings.h"
#include "image/checked_math.h"
#include "res/skinbrowser_res.h"
#include "skinbrowser/skinlist.h"

#include <algorithm>
#include <cstring>

BEGIN_MESSAGE_MAP(CSkinBrowserDlg, CDialog)
    ON_BN_CLICKED(IDC_SKINBROWSER_CONNECT, OnConnect)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_SKINBROWSER_INSTALL, OnInstall)
    ON_BN_CLICKED(IDC_SKINBROWSER_OPTIONS, OnOptions)
    ON_BN_CLICKED(IDC_SKINBROWSER_ANALOG, OnShowAnalog)
    ON_BN_CLICKED(IDC_SKINBROWSER_DIGITAL, OnShowDigital)
    ON_BN_CLICKED(IDC_SKINBROWSER_HELP, OnHelp)
    ON_NOTIFY(RCN_SELCHANGED, IDC_SKINBROWSER_GROUPS, OnGroupSelChanged)
    ON_NOTIFY(RCN_SELCHANGED, IDC_SKINBROWSER_SKINS, OnSkinSelChanged)
    ON_MESSAGE(UM_SKINJOB, OnSkinJob)
    ON_WM_TIMER()
    ON_NOTIFY(RCN_ITEMDELETED, IDC_SKINBROWSER_GROUPS, OnListItemDeleted)
    ON_NOTIFY(RCN_ITEMDELETED, IDC_SKINBROWSER_SKINS, OnListItemDeleted)
END_MESSAGE_MAP()

namespace {

const char kCancel[] = "Cancel";
const char kInstallThis[] = "Install this skin";
const char kInstallSelected[] = "Install selected skin";
const char kReady[] = "Ready";
// Said when the program's folder, and with it the skins folder, is unknown.
const char kNoSkinsFolder[] = "the folder of Veltran Clock cannot be found";
const COLORREF kWhite = 0xFFFFFF;
const UINT kRedrawAll = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE;

// The skins folder of the kind the browser shows (1: digital).
const CString& SkinsFolder(int nKind)
{
    return nKind == 1 ? g_settings.m_strDigitalSkinDir : g_settings.m_strAnalogSkinDir;
}

} // namespace

CSkinBrowserDlg::CSkinBrowserDlg(CWnd* pParent) : CDialog(IDD_SKINBROWSER, pParent) {}

// The window went first (OnDestroy waited a while for the workers); a worker
// still running holds its job and frees it when it ends.
CSkinBrowserDlg::~CSkinBrowserDlg()
{
    if (GetSafeHwnd() != nullptr)
        DestroyWindow();
    for (auto& job : m_jobs)
        job->Cancel();
    m_jobs.clear();
}

void CSkinBrowserDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SKINBROWSER_HELP, m_btnHelp);
    DDX_Control(pDX, IDC_SKINBROWSER_DETAILS, m_lblComment);
    DDX_Control(pDX, IDC_SKINBROWSER_OPTIONS, m_btnOptions);
    DDX_Control(pDX, IDC_SKINBROWSER_ANALOG, m_btnAnalog);
    DDX_Control(pDX, IDC_SKINBROWSER_DIGITAL, m_btnDigital);
    DDX_Control(pDX, IDC_SKINBROWSER_CONNECT, m_btnConnect);
    DDX_Control(pDX, IDC_SKINBROWSER_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_SKINBROWSER_GROUPS, m_listGroups);
    DDX_Control(pDX, IDC_SKINBROWSER_SKINS, m_listSkins);
}

LRESULT CSkinBrowserDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_SKINLISTREAD && !m_bDestroying)
        FillGroupList();
    return CDialog::WindowProc(message, wParam, lParam);
}

HBITMAP CSkinBrowserDlg::LoadJpgBitmap(UINT nID, CPicture* pPicture)
{
    CPicture picture(PIC_FORMAT_JPG);
    CPicture& target = pPicture != nullptr ? *pPicture : picture;
    HMODULE hModule = AfxFindResourceHandle(MAKEINTRESOURCEA(nID), "JPG");
    HRSRC hResource = ::FindResourceA(hModule, MAKEINTRESOURCEA(nID), "JPG");
    if (hResource == nullptr || !target.LoadResource(hResource, PIC_FORMAT_JPG, hModule))
        return nullptr;
    return target.MakeBitmap();
}

BOOL CSkinBrowserDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    HICON hIcon = ::LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(IDI_SKINBROWSER), (LPCSTR)RT_GROUP_ICON),
                              MAKEINTRESOURCEA(IDI_SKINBROWSER));
    SetIcon(hIcon, TRUE);
    SetIcon(hIcon, FALSE);

    m_listGroups.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_listGroups.InsertColumn(0, "Skin groups", 2, 110);
    m_listGroups.SetFullRowSelect(TRUE);
    m_listSkins.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_listSkins.InsertColumn(0, "Skin name", 0, 110);
    // Column 1 shows the author under the same heading.
    m_listSkins.InsertColumn(1, "Skin name", 0, 110);
    m_listSkins.SetFullRowSelect(TRUE);

    CPicture background(PIC_FORMAT_JPG);
    if (HBITMAP hCanvas = LoadJpgBitmap(IDJ_SKINBROWSER_BACKGROUND, &background)) {
        m_bmpFirstCanvas.Attach(hCanvas);
        m_hbmCanvas = hCanvas;
        m_nBackWidth = static_cast<int>(background.GetWidth());
        m_nBackHeight = static_cast<int>(background.GetHeight());
        m_hbmBackground.Attach(background.MakeBitmap());
    }

    CenterWindow();

    SetStatus(kReady, PGS_TEXT_ONLY);
    m_progress.SetRange(0, 100);
    m_progress.SetPos(100);
    m_progress.SetBkColor(kWhite);
    m_progress.SetColors(3, COLORREF(0xFF0000), COLORREF(0xFFFFFF), COLORREF(0xFF0000));
    m_progress.StartAnimation(55, 1);
    RedrawProgress();

    const bool bDigital = g_settings.m_nSkinBrowserType == 1;
    SendDlgItemMessage(bDigital ? IDC_SKINBROWSER_DIGITAL : IDC_SKINBROWSER_ANALOG, BM_SETCHECK, 1);
    GetDlgItem(IDC_SKINBROWSER_INSTALL)->EnableWindow(FALSE);
    m_brBack.CreateSolidBrush(kWhite);
    SetupButtons();
    if (HBITMAP hPreview = LoadJpgBitmap(IDJ_SKINBROWSER_NOPREVIEW))
        m_hbmPreview.Attach(hPreview);
    ComposePreview();
    SendMessage(WM_SIZE, 0, 0);
    SendDlgItemMessage(IDC_SKINBROWSER_ANALOG, BM_SETSTATE, bDigital ? 0 : 1);
    SendDlgItemMessage(IDC_SKINBROWSER_DIGITAL, BM_SETCHECK, bDigital ? 1 : 0);
    if (g_settings.m_bSkinBrowserAutoConnect)
        OnConnect();
    return TRUE;
}

void CSkinBrowserDlg::SetupButtons()
{
    static const char* const kTips[] = {"Update", "Analog clock", "Digital clock", "Options",
                                        "Help: How to use Skin Browser"};
    CSkinButton* buttons[] = {&m_btnConnect, &m_btnAnalog, &m_btnDigital, &m_btnOptions, &m_btnHelp};
    const UINT sheets[] = {IDJ_SKINBROWSER_BUTTONS_NORMAL, IDJ_SKINBROWSER_BUTTONS_HOVER,
                           IDJ_SKINBROWSER_BUTTONS_PRESSED};
    for (int nSheet = 0; nSheet < 3; nSheet++) {
        CPicture sheet(PIC_FORMAT_JPG);
        HMODULE hModule = AfxFindResourceHandle(MAKEINTRESOURCEA(sheets[nSheet]), "JPG");
        HRSRC hResource = ::FindResourceA(hModule, MAKEINTRESOURCEA(sheets[nSheet]), "JPG");
        if (hResource == nullptr || !sheet.LoadResource(hResource, PIC_FORMAT_JPG, hModule))
            continue;
        const LONG nWidth = static_cast<LONG>(sheet.GetWidth()), nHeight = static_cast<LONG>(sheet.GetHeight());
        for (int i = 0; i < 5; i++) {
            CPicture band;
            if (sheet.Crop(0, i * nHeight / 5, nWidth, (i + 1) * nHeight / 5, &band))
                m_hbmButtons[nSheet * 5 + i] = band.MakeBitmap();
        }
    }
    for (int i = 0; i < 5; i++) {
        buttons[i]->SetToolTipText(kTips[i]);
        buttons[i]->SetWindowText("");
        // The disabled picture is the normal one, which the button falls back to.
        buttons[i]->SetSkin(m_hbmButtons[i], m_hbmButtons[10 + i], m_hbmButtons[5 + i], nullptr, nullptr, nullptr, 0,
                            0, 0);
    }
}

// The frame is first set back to the untouched background, so a preview
// smaller than the frame leaves nothing of the one before.
void CSkinBrowserDlg::ComposePreview()
{
    if (m_hbmBackground.GetSafeHandle() == nullptr)
        return;
    m_hbmCanvas = m_hbmBackground;
    CDC dcBack, dcSource;
    dcBack.CreateCompatibleDC(nullptr);
    dcSource.CreateCompatibleDC(nullptr);
    CSelectGuard selBack(dcBack.m_hDC, m_hbmBackground.GetSafeHandle());
    const int x = m_nBackWidth - 215, y = 35;
    if (m_bmpFirstCanvas.GetSafeHandle() != nullptr) {
        CSelectGuard selFirst(dcSource.m_hDC, m_bmpFirstCanvas.GetSafeHandle());
        ::BitBlt(dcBack.m_hDC, x, y, 195, 195, dcSource.m_hDC, x, y, SRCCOPY);
    }
    if (m_hbmPreview.GetSafeHandle() != nullptr) {
        CSelectGuard selPreview(dcSource.m_hDC, m_hbmPreview.GetSafeHandle());
        ::BitBlt(dcBack.m_hDC, x, y, 195, 195, dcSource.m_hDC, -1, -1, SRCCOPY);
    }
    RedrawWindow(nullptr, nullptr, kRedrawAll);
}

void CSkinBrowserDlg::OnPaint()
{
    CPaintDC dc(this);
    if (m_hbmCanvas == nullptr)
        return;
    CRect rc;
    GetClientRect(&rc);
    CDC dcCanvas;
    dcCanvas.CreateCompatibleDC(&dc);
    CSelectGuard sel(dcCanvas.m_hDC, m_hbmCanvas);
    ::SetStretchBltMode(dc.m_hDC, COLORONCOLOR);
    ::StretchBlt(dc.m_hDC, 0, 0, rc.Width(), rc.Height(), dcCanvas.m_hDC, 0, 0, m_nBackWidth, m_nBackHeight, SRCCOPY);
}

BOOL CSkinBrowserDlg::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CSkinBrowserDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (m_listGroups.GetSafeHwnd() == nullptr)
        return;
    CRect rc;
    m_listGroups.GetClientRect(&rc);
    m_listGroups.SetColumnWidth(0, rc.Width());
    m_listSkins.GetClientRect(&rc);
    m_listSkins.SetColumnWidth(0, rc.Width());
}

HBRUSH CSkinBrowserDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetBkColor(kWhite);
    pDC->SetTextColor(0);
    return m_brBack;
}

void CSkinBrowserDlg::OnOK() {}

void CSkinBrowserDlg::OnCancel() {}

void CSkinBrowserDlg::ClearLists()
{
    m_listGroups.DeleteItem(RVI_ROOT);
    m_listSkins.DeleteItem(RVI_ROOT);
}

void CSkinBrowserDlg::SetStatus(LPCSTR pszText, DWORD dwMode)
{
    m_progress.SetText(pszText, dwMode);
    m_progress.Invalidate(FALSE);
}

// nEnable: 1 enable, 0 disable, -1 leave as it is.
void CSkinBrowserDlg::SetInstall(LPCSTR pszText, int nEnable)
{
    CWnd* pInstall = GetDlgItem(IDC_SKINBROWSER_INSTALL);
    if (nEnable >= 0)
        pInstall->EnableWindow(nEnable);
    if (pszText != nullptr)
        pInstall->SetWindowText(pszText);
}

bool CSkinBrowserDlg::IsWorkerShown()
{
    CString strText;
    GetDlgItemText(IDC_SKINBROWSER_INSTALL, strText);
    return strText == kCancel;
}

void CSkinBrowserDlg::RedrawProgress()
{
    m_progress.RedrawWindow(nullptr, nullptr, kRedrawAll);
}

void CSkinBrowserDlg::FillGroupList()
{
    m_bFillingGroups = true;
    StopFill(m_groupFill);
    m_groupFill.nNextLine = 0;
    m_groupFill.pGroups = std::make_unique<CSkinGroupSet>();
    if (StartFill(m_groupFill, m_listGroups))
        GroupsFilled();
    m_bFillingGroups = false;
}

// The first group is selected once all are in, unless one was chosen meanwhile.
void CSkinBrowserDlg::GroupsFilled()
{
    StopFill(m_groupFill);
    const bool bWasFilling = m_bFillingGroups;
    m_bFillingGroups = true;
    if (m_listGroups.GetSelectedItem() == RVI_NONE)
        m_listGroups.SelectItem(m_listGroups.GetChildItem(RVI_ROOT, 0), -1, TRUE);
    m_bFillingGroups = bWasFilling;
    RedrawWindow(nullptr, nullptr, kRedrawAll);
}

void CSkinBrowserDlg::OnGroupSelChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    const DWORD hItem = reinterpret_cast<NMREPORT*>(pNMHDR)->hItem;
    StopFill(m_skinFill);
    // No group: the list is emptied and gets no row.
    m_skinFill.strGroup = hItem != RVI_NONE ? m_listGroups.GetItemText(hItem, 0) : CString();
    m_skinFill.nNextLine = hItem != RVI_NONE ? 0 : m_arrSkinList.GetSize();
    if (StartFill(m_skinFill, m_listSkins))
        SkinsFilled();
    *pResult = 0;
}

void CSkinBrowserDlg::SkinsFilled()
{
    StopFill(m_skinFill);
    const DWORD hFirst = m_listSkins.GetChildItem(RVI_ROOT, 0);
    if (hFirst == RVI_NONE)
        SkinSelected(RVI_NONE); // emptying the list dropped its selection without a notice
    else if (m_listSkins.GetSelectedItem() == RVI_NONE)
        m_listSkins.SelectItem(hFirst, -1, TRUE);
    m_listSkins.Invalidate();
}

bool CSkinBrowserDlg::StartFill(CRowFill& fill, CReportCtrl& list)
{
    list.SetRedraw(FALSE);
    list.DeleteItem(RVI_ROOT);
    fill.pList = &list;
    if (FillBlock(fill))
        return true;
    SetTimer(TIMER_FILL, USER_TIMER_MINIMUM, nullptr);
    return false;
}

// The next lines of the skin list give the rows: new groups, or the skins of
// the group, by the skin list's own rules.
bool CSkinBrowserDlg::FillBlock(CRowFill& fill)
{
    const INT_PTR nLines = m_arrSkinList.GetSize();
    const INT_PTR nStop = std::min<INT_PTR>(fill.nNextLine + FILL_BLOCK_LINES, nLines);
    for (int nRows = 0; fill.nNextLine < nStop && nRows < FILL_BLOCK_ROWS; fill.nNextLine++) {
        const CString& strLine = m_arrSkinList[fill.nNextLine];
        if (fill.pList == &m_listGroups) {
            const CString strGroup = GetSkinListGroup(strLine);
            if (fill.pGroups->Add(strGroup)) {
                m_listGroups.InsertItem(RVI_ROOT, RVTI_LAST, strGroup);
                nRows++;
            }
        } else if (IsSkinOfGroup(strLine, fill.strGroup)) {
            const DWORD hSkin = m_listSkins.InsertItem(RVI_ROOT, RVTI_LAST, GetSkinListField(strLine, 1));
            m_listSkins.SetItemText(hSkin, 1, GetSkinListField(strLine, 2));
            nRows++;
        }
    }
    return fill.nNextLine >= nLines;
}

// Ends a fill where it stands and gives its list its redraw back.
void CSkinBrowserDlg::StopFill(CRowFill& fill)
{
    if (fill.pList != nullptr)
        fill.pList->SetRedraw(TRUE);
    fill.pList = nullptr;
    fill.strGroup.Empty();
    fill.pGroups.reset();
    if (m_groupFill.pList == nullptr && m_skinFill.pList == nullptr && GetSafeHwnd() != nullptr)
        KillTimer(TIMER_FILL);
}

// Timers come after every other message, so the clocks and the rest of the
// program run between two blocks.
void CSkinBrowserDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != TIMER_FILL || m_bDestroying)
        return;
    if (m_groupFill.pList != nullptr && FillBlock(m_groupFill))
        GroupsFilled();
    if (m_skinFill.pList != nullptr && FillBlock(m_skinFill))
        SkinsFilled();
}

// The lists tell of every item they drop, 200,000 at the Connect after a
// large list; the dialog has nothing to do for them. Taken here, a notice
// does not reach the system's default dialog handling, which under Wine
// costs more than the rest of the item's deletion.
void CSkinBrowserDlg::OnListItemDeleted(NMHDR*, LRESULT* pResult) { *pResult = 0; }

void CSkinBrowserDlg::OnSkinSelChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    SkinSelected(reinterpret_cast<NMREPORT*>(pNMHDR)->hItem);
    *pResult = 0;
}

void CSkinBrowserDlg::SkinSelected(DWORD hItem)
{
    if (hItem == RVI_NONE) {
        GetDlgItem(IDC_SKINBROWSER_INSTALL)->EnableWindow(FALSE);
        m_lblComment.SetText("Skin name");
        m_lblComment.RedrawWindow();
        return;
    }
    if (IsWorkerShown())
        CancelAction(kInstallSelected);
    StartWorker(CSkinJob::PREVIEW);
    const CString strName = m_listSkins.GetItemText(hItem, 0);
    m_lblComment.SetText(FormatSkinDetails(strName, FindSkinEntry(m_arrSkinList, strName)));
    m_lblComment.RedrawWindow();
}

void CSkinBrowserDlg::OnConnect()
{
    if (IsWorkerShown())
        CancelAction(kInstallThis);
    else
        StartWorker(CSkinJob::LIST);
}

void CSkinBrowserDlg::OnInstall()
{
    if (m_listSkins.GetSelectedItem() == RVI_NONE)
        return;
    if (IsWorkerShown()) {
        CancelAction(kInstallSelected);
        return;
    }
    // Without a skins folder the archive would land at the root of the
    // drive: refused before anything is asked of the server.
    if (SkinsFolder(g_settings.m_nSkinBrowserType).IsEmpty()) {
        SetStatus(FormatDownloadFault(kNoSkinsFolder), PGS_TEXT_ONLY);
        return;
    }
    StartWorker(CSkinJob::DOWNLOAD);
}

// The workers stop at their next check and change nothing more; a list that
// is handing its groups over right now finishes that.
void CSkinBrowserDlg::CancelAction(LPCSTR pszText)
{
    for (auto& job : m_jobs) {
        if (!(m_bFillingGroups && job->m_nType == CSkinJob::LIST))
            job->Cancel();
    }
    SetInstall(pszText, -1);
    SetStatus(kReady, PGS_TEXT_ONLY);
}

void CSkinBrowserDlg::StartWorker(CSkinJob::TYPE nType)
{
    // Jobs seen to end are let go.
    for (size_t i = m_jobs.size(); i-- > 0;) {
        if (m_jobs[i]->IsDone())
            m_jobs.erase(m_jobs.begin() + static_cast<std::ptrdiff_t>(i));
    }
    const int nKind = g_settings.m_nSkinBrowserType == 1 ? 1 : 0;
    auto job = std::make_shared<CSkinJob>(nType, m_hWnd, nKind);
    char szTemp[1024] = "";
    ::GetTempPathA(sizeof szTemp, szTemp);
    if (nType == CSkinJob::LIST) {
        job->m_strUrl = GetSkinListUrl(nKind);
    } else {
        // A new preview replaces the one still on its way.
        if (nType == CSkinJob::PREVIEW) {
            for (auto& other : m_jobs) {
                if (other->m_nType == CSkinJob::PREVIEW)
                    other->Cancel();
            }
        }
        job->m_strName = m_listSkins.GetItemText(m_listSkins.GetSelectedItem(), 0);
        const CString strEntry = FindSkinEntry(m_arrSkinList, job->m_strName);
        job->m_strGroup = GetSkinListField(strEntry, 0);
        if (nType == CSkinJob::PREVIEW) {
            job->m_strProbeUrl = job->m_strUrl = GetSkinPreviewUrl(nKind, job->m_strGroup, job->m_strName);
            job->m_strFolder = szTemp;
        } else {
            job->m_strProbeUrl = GetSkinArchiveProbeUrl(nKind, job->m_strGroup, job->m_strName);
            job->m_strUrl = GetSkinDownloadUrl(nKind, job->m_strGroup, job->m_strName);
            job->m_strFolder = SkinsFolder(nKind);
            job->m_strTempFolder = szTemp;
            m_strUrl = job->m_strProbeUrl;
        }
    }
    uintptr_t hThread = 0;
    if (job->Start(job, hThread)) {
        m_hWorkerThread = reinterpret_cast<HANDLE>(hThread);
        m_jobs.push_back(job);
    }
}

LRESULT CSkinBrowserDlg::OnSkinJob(WPARAM wParam, LPARAM lParam)
{
    CSkinJob& job = *reinterpret_cast<CSkinJob*>(lParam);
    // A cancelled worker's last words change nothing.
    if (job.IsCancelled() || m_bDestroying)
        return 0;
    switch (wParam) {
    case SJ_BEGIN:
        if (job.m_nType == CSkinJob::LIST) {
            StopFill(m_groupFill);
            StopFill(m_skinFill);
            m_arrSkinList.RemoveAll();
            ClearLists();
        }
        SetInstall(kCancel, TRUE);
        SetStatus("Connecting...", PGS_TEXT_ONLY);
        if (job.m_nType != CSkinJob::PREVIEW)
            RedrawProgress();
        break;
    case SJ_LINES: {
        m_arrSkinList.Append(job.m_newLines);
        CString strStatus;
        strStatus.Format("Found %d skins found", static_cast<int>(m_arrSkinList.GetSize()));
        SetStatus(strStatus, PGS_TEXT_ONLY);
        GetDlgItem(IDC_SKINBROWSER_INSTALL)->EnableWindow(TRUE);
        break;
    }
    case SJ_LISTFAILED:
        SetInstall("Error", -1);
        break;
    case SJ_LISTEND:
        // A list stopped early says why; other failures had their box.
        SetStatus(job.m_bFailed && !job.m_strStop.IsEmpty() ? job.m_strStop : CString(kReady), PGS_TEXT_ONLY);
        SetInstall(kInstallThis, job.m_bFailed ? 0 : 1);
        break;
    case SJ_PROBED:
        m_progress.SetPos(0);
        if (job.m_nType == CSkinJob::DOWNLOAD) {
            m_strUrl = job.m_strUrl;
            SetStatus("Skin loading : %d%%", PGS_TEXT_PERCENT);
        } else {
            SetStatus("Skin preview loading : %d%%", PGS_TEXT_PERCENT);
        }
        break;
    case SJ_PROGRESS:
        m_progress.SetPos(job.m_nPercent);
        break;
    case SJ_PREVIEW:
        m_progress.SetRange(0, 100);
        m_progress.SetPos(100);
        ShowPreview(job);
        SetInstall(kInstallSelected, -1);
        SetStatus(job.m_strFault.IsEmpty() ? CString(kReady) : FormatPreviewFault(job.m_strFault), PGS_TEXT_ONLY);
        RedrawWindow(nullptr, nullptr, kRedrawAll);
        break;
    case SJ_DOWNLOADED:
        m_progress.SetRange(0, 100);
        m_progress.SetPos(100);
        SetStatus(job.m_strFault.IsEmpty() ? CString(kReady) : FormatDownloadFault(job.m_strFault), PGS_TEXT_ONLY);
        SetInstall(kInstallSelected, -1);
        break;
    case SJ_SHOWSKIN: {
        (job.m_nKind == 1 ? g_settings.m_strDigitalSkin : g_settings.m_strAnalogSkin) = job.m_strName;
        if (CWnd* pMain = AfxGetMainWnd())
            ::SendMessageA(pMain->GetSafeHwnd(), job.m_nKind == 1 ? UM_SHOWDIGITALCLOCK : UM_SHOWANALOGCLOCK, 0, 0);
        break;
    }
    }
    return 0;
}

// Only a whole picture with status 200 becomes the preview; anything else
// shows the no-preview picture, so no earlier skin's picture stands for it.
// A picture too large to decode is refused before its pixels are made.
void CSkinBrowserDlg::ShowPreview(CSkinJob& job)
{
    HBITMAP hPreview = nullptr;
    if (job.m_strFault.IsEmpty()) {
        m_imgPreview.Clear(0);
        m_imgPreview.SetMaxDecodePixels(SKIN_PREVIEW_MAX_PIXELS);
        std::vector<BYTE>& bytes = job.m_transfer.m_bytes;
        if (m_imgPreview.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), PIC_FORMAT_JPG))
            hPreview = m_imgPreview.MakeBitmap();
        if (hPreview == nullptr)
            job.m_strFault = std::strcmp(m_imgPreview.GetLastError(), kPicDecodeLimitText) == 0
                                 ? DescribeSkinBound(SKB_PIXELS)
                                 : CString("the picture cannot be read");
    }
    if (hPreview == nullptr)
        hPreview = LoadJpgBitmap(IDJ_SKINBROWSER_NOPREVIEW);
    m_hbmPreview.DeleteObject();
    if (hPreview != nullptr)
        m_hbmPreview.Attach(hPreview);
    ComposePreview();
}

// The analog button is pushed at the start (its pushed look stands apart
// from its check): a change of kind lets the other button up, so only the
// kind shown looks pushed.
void CSkinBrowserDlg::OnShowAnalog()
{
    const bool bChanged = g_settings.m_nSkinBrowserType != 0;
    g_settings.m_nSkinBrowserType = 0;
    if (bChanged) {
        SendDlgItemMessage(IDC_SKINBROWSER_DIGITAL, BM_SETSTATE, 0);
        OnConnect();
    }
}

void CSkinBrowserDlg::OnShowDigital()
{
    const bool bChanged = g_settings.m_nSkinBrowserType != 1;
    g_settings.m_nSkinBrowserType = 1;
    if (bChanged) {
        SendDlgItemMessage(IDC_SKINBROWSER_ANALOG, BM_SETSTATE, 0);
        OnConnect();
    }
}

void CSkinBrowserDlg::OnOptions()
{
    if (CWnd* pMain = AfxGetMainWnd())
        ::SendMessageA(pMain->GetSafeHwnd(), UM_SHOWGENERALSETTINGS, 0, 0);
}

void CSkinBrowserDlg::OnHelp()
{
    ShowProgramHelp("/Skins/skinbrowser.htm");
}

void CSkinBrowserDlg::OnClose()
{
    if (CWnd* pMain = AfxGetMainWnd())
        ::SendMessageA(pMain->GetSafeHwnd(), UM_SKINBROWSERCLOSED, 0, 0);
}

// The workers report to this window: cancelled, they change nothing more.
// One blocked in a request is not waited for beyond the bound; it ends by
// itself on what it holds.
void CSkinBrowserDlg::OnDestroy()
{
    m_bDestroying = true;
    StopFill(m_groupFill);
    StopFill(m_skinFill);
    for (auto& job : m_jobs)
        job->Cancel();
    WaitForWorkers(SKIN_WORKER_WAIT_MS);
    CDialog::OnDestroy();
}

int CSkinBrowserDlg::GetRunningWorkerCount()
{
    int nCount = 0;
    for (auto& job : m_jobs)
        nCount += job->IsDone() ? 0 : 1;
    return nCount;
}

bool CSkinBrowserDlg::WaitForWorkers(DWORD dwTimeoutMs)
{
    const DWORD dwStart = ::GetTickCount();
    // Waiting may start more workers (a list hands over its groups): take the list afresh.
    for (;;) {
        std::shared_ptr<CSkinJob> pending;
        for (auto& job : m_jobs) {
            if (!job->IsDone()) {
                pending = job;
                break;
            }
        }
        if (!pending)
            break;
        DWORD dwLeft = INFINITE;
        if (dwTimeoutMs != INFINITE) {
            const DWORD dwSpent = ::GetTickCount() - dwStart;
            if (dwSpent >= dwTimeoutMs)
                return false;
            dwLeft = dwTimeoutMs - dwSpent;
        }
        if (AfxWaitPumping(pending->GetDoneEvent(), dwLeft) != WAIT_OBJECT_0 && dwLeft != INFINITE)
            return false;
    }
    m_jobs.clear();
    return true;
}

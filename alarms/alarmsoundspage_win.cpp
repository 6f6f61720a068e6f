#include "alarms/alarmpages.h"

#include "core/settings.h"
#include "res/alarms_res.h"

#include <mmsystem.h>
#include <shellapi.h>

BEGIN_MESSAGE_MAP(CAlarmSoundsPage, CDialog)
    ON_BN_CLICKED(IDC_SND_PLAY, OnPlaySounds)
    ON_BN_CLICKED(IDC_SND_ADD, OnAddSound)
    ON_BN_CLICKED(IDC_SND_REMOVE, OnRemoveSound)
    ON_BN_CLICKED(IDC_SND_TEST, OnTestSound)
END_MESSAGE_MAP()

namespace
{
const int kSoundControls[] = {IDC_SND_LIST, IDC_SND_TESTLABEL, IDC_SND_TEST, IDC_SND_ADD, IDC_SND_REMOVE};

HICON ProgramIcon(UINT nID)
{
    return AfxGetApp() != nullptr ? AfxGetApp()->LoadIcon(nID) : nullptr;
}

// The icon the shell shows for a file, or the program's own wave-file icon
// (also for a sound that names no file).
CIconHandle SoundIcon(const CString& strPath)
{
    SHFILEINFOA info = {};
    if (!strPath.IsEmpty() && ::SHGetFileInfoA(strPath, 0, &info, sizeof(info), SHGFI_ICON) != 0 &&
        info.hIcon != nullptr)
        return CIconHandle(info.hIcon);
    HICON hIcon = ProgramIcon(IDI_SOUNDFILE);
    return CIconHandle(hIcon != nullptr ? ::CopyIcon(hIcon) : nullptr);
}
} // namespace

CAlarmSoundsPage::CAlarmSoundsPage() : CDialog(IDD_ALARMSOUNDSPAGE), m_strSeparator("***")
{
}

void CAlarmSoundsPage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SND_LIST, m_listSounds);
    DDX_Control(pDX, IDC_SND_TEST, m_btnTest);
    DDX_Check(pDX, IDC_SND_PLAY, m_bPlaySounds);
}

BOOL CAlarmSoundsPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_imagesSounds.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 4);
    m_imagesTest.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
    m_imagesTest.Add(ProgramIcon(IDI_SOUNDTEST));
    SetTestIcon(IDI_SOUNDTEST);
    CRect rc;
    m_listSounds.GetClientRect(&rc);
    m_listSounds.InsertColumn(0, "", LVCFMT_LEFT, rc.Width());
    m_listSounds.SetExtendedStyle(m_listSounds.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    m_bPlaying = 0;
    LoadFromAlarm();
    UpdateControls();
    return TRUE;
}

BOOL CAlarmSoundsPage::LoadFromAlarm()
{
    m_bPlaySounds = m_sound.m_bPlaySounds;
    if (m_sound.m_strSounds.IsEmpty())
        FillFromFolder();
    else
    {
        m_strSounds = m_sound.m_strSounds;
        FillFromString();
    }
    UpdateData(FALSE);
    return TRUE;
}

BOOL CAlarmSoundsPage::SaveToAlarm()
{
    UpdateData(TRUE);
    m_strSounds = CAlarmSoundsModel::StoreSounds(Rows());
    m_sound.m_bPlaySounds = m_bPlaySounds;
    m_sound.m_strSounds = m_strSounds;
    m_sound.m_nSoundExtra = 1;
    return TRUE;
}

// Without a sounds folder (no program folder) nothing is listed: "\*.wav"
// would list the root of the drive.
void CAlarmSoundsPage::FillFromFolder()
{
    std::vector<CAlarmListRow> rows;
    WIN32_FIND_DATAA find = {};
    const HANDLE hFind = g_settings.m_strSoundDir.IsEmpty()
                             ? INVALID_HANDLE_VALUE
                             : ::FindFirstFileA(g_settings.m_strSoundDir + "\\*.wav", &find);
    if (hFind != INVALID_HANDLE_VALUE)
    {
        do
        {
            if (!(find.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            {
                CAlarmListRow row;
                row.strText = find.cFileName;
                rows.push_back(row);
            }
        } while (::FindNextFileA(hFind, &find));
        ::FindClose(hFind);
    }
    SetRows(rows);
}

void CAlarmSoundsPage::FillFromString()
{
    SetRows(CAlarmSoundsModel::LoadSounds(m_strSounds));
}

std::vector<CAlarmListRow> CAlarmSoundsPage::Rows() const
{
    std::vector<CAlarmListRow> rows;
    for (int i = 0; i < m_listSounds.GetItemCount(); i++)
    {
        CAlarmListRow row;
        row.strText = m_listSounds.GetItemText(i, 0);
        row.bChecked = ListView_GetCheckState(m_listSounds.GetSafeHwnd(), i) ? TRUE : FALSE;
        rows.push_back(row);
    }
    return rows;
}

void CAlarmSoundsPage::SetRows(const std::vector<CAlarmListRow>& rows)
{
    m_listSounds.DeleteAllItems();
    for (size_t i = 0; i < rows.size(); i++)
    {
        m_listSounds.InsertItem(static_cast<int>(i), rows[i].strText);
        ListView_SetCheckState(m_listSounds.GetSafeHwnd(), static_cast<int>(i), rows[i].bChecked);
    }
    RefreshSoundIcons();
}

// Rebuilding a row keeps its check: the check lives in the state image.
void CAlarmSoundsPage::RefreshSoundIcons()
{
    m_imagesSounds.Remove(-1);
    m_listSounds.SetImageList(&m_imagesSounds, LVSIL_SMALL);
    for (int i = 0; i < m_listSounds.GetItemCount(); i++)
    {
        const CString strText = m_listSounds.GetItemText(i, 0);
        const CIconHandle icon = SoundIcon(CAlarmSoundsModel::FullPath(strText, g_settings.m_strSoundDir));
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = const_cast<LPSTR>(static_cast<LPCSTR>(strText));
        item.iImage = icon.Get() != nullptr ? m_imagesSounds.Add(icon.Get()) : -1;
        m_listSounds.SetItem(&item);
    }
    // A vertical scroll bar may have narrowed the client area.
    CRect rc;
    m_listSounds.GetClientRect(&rc);
    m_listSounds.SetColumnWidth(0, rc.Width());
}

void CAlarmSoundsPage::UpdateControls()
{
    UpdateData(TRUE);
    for (int nID : kSoundControls)
        GetDlgItem(nID)->EnableWindow(m_bPlaySounds);
}

int CAlarmSoundsPage::SelectedSound()
{
    const int nMark = static_cast<int>(m_listSounds.SendMessage(LVM_GETSELECTIONMARK));
    if (nMark >= 0 && nMark < m_listSounds.GetItemCount())
        return nMark;
    AfxMessageBox("You have not selected item.\nPlease select sound and press this button again.", MB_OK);
    return -1;
}

void CAlarmSoundsPage::OnAddSound()
{
    CFileDialog dlg(TRUE, nullptr, "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "WAV-Sounds|*.wav|All Files|*.*|",
                    this);
    if (dlg.DoModal() != IDOK)
        return;
    const CString strPath = dlg.GetPathName();
    if (strPath.IsEmpty())
        return;
    const int nMark = static_cast<int>(m_listSounds.SendMessage(LVM_GETSELECTIONMARK));
    const int nRow = AlarmInsertPosition(nMark, m_listSounds.GetItemCount());
    m_listSounds.InsertItem(nRow, strPath);
    ListView_SetCheckState(m_listSounds.GetSafeHwnd(), nRow, TRUE);
    RefreshSoundIcons();
}

void CAlarmSoundsPage::OnRemoveSound()
{
    const int nRow = SelectedSound();
    if (nRow < 0)
        return;
    const CString strText = m_listSounds.GetItemText(nRow, 0);
    if (MessageBox("Are you sure to remove '" + strText + "' sounds ?", "Sound removing...",
                   MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    m_listSounds.DeleteItem(nRow);
    RefreshSoundIcons();
}

void CAlarmSoundsPage::OnTestSound()
{
    if (m_bPlaying)
        return;
    const int nRow = SelectedSound();
    if (nRow < 0)
        return;
    m_strPlaying = CAlarmSoundsModel::FullPath(m_listSounds.GetItemText(nRow, 0), g_settings.m_strSoundDir);
    if (m_strPlaying.IsEmpty())
        return;  // a bare name with no sounds folder names no file
    SetTestIcon(IDI_SOUNDPLAYING);
    m_btnTest.UpdateWindow();
    m_bPlaying = 1;
    AfxGetSeams()->PlaySound(m_strPlaying, nullptr, SND_FILENAME | SND_SYNC);
    m_bPlaying = 0;
    SetTestIcon(IDI_SOUNDTEST);
}

void CAlarmSoundsPage::SetTestIcon(UINT nIcon)
{
    m_btnTest.SetIcon(ProgramIcon(nIcon));
}

#include "clocks/skininfodlg_win.h"

#include "afx/afxapp.h"
#include "core/messages.h"
#include "res/clocks_res.h"

#include <cstdio>

BEGIN_MESSAGE_MAP(CSkinInfoDlg, CDialog)
    ON_BN_CLICKED(IDC_SKININFO_BROWSER, OnLaunchSkinBrowser)
END_MESSAGE_MAP()

CSkinInfoDlg::CSkinInfoDlg(CWnd* pParent) : CDialog(IDD_SKININFO, pParent) {}

CSkinInfoDlg::~CSkinInfoDlg() = default;

CString CSkinInfoDlg::GetFileSizeText(const CString& strPath)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!::GetFileAttributesExA(strPath, GetFileExInfoStandard, &attributes)
        || (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return CString();
    const unsigned long long nSize =
        (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    CString str;
    str.Format("%llu bytes", nSize);
    return str;
}

void CSkinInfoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SKININFO_NAME, m_strName);
    DDX_Text(pDX, IDC_SKININFO_VERSION, m_strVersion);
    DDX_Text(pDX, IDC_SKININFO_TYPE, m_strType);
    DDX_Text(pDX, IDC_SKININFO_AUTHOR, m_strAuthor);
    DDX_Text(pDX, IDC_SKININFO_DATE, m_strDate);
    DDX_Text(pDX, IDC_SKININFO_RESOLUTION, m_strResolution);
    DDX_Text(pDX, IDC_SKININFO_HANDS, m_strHandsCoords);
    DDX_Text(pDX, IDC_SKININFO_ARCHIVESIZE, m_strArchiveSize);
    DDX_Text(pDX, IDC_SKININFO_UNPACKEDSIZE, m_strUnpackedSize);
    DDX_Text(pDX, IDC_SKININFO_SKINPATH, m_strSkinPath);
    DDX_Text(pDX, IDC_SKININFO_UNPACKEDPATH, m_strUnpackedPath);
}

BOOL CSkinInfoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    HICON hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDI_CLOCK_SKININFO)
                              : ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_CLOCK_SKININFO));
    SetIcon(hIcon, TRUE);
    SetIcon(hIcon, FALSE);
    if (m_strHandsCoords.IsEmpty()) {
        GetDlgItem(IDC_SKININFO_HANDS_LABEL)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_SKININFO_HANDS)->ShowWindow(SW_HIDE);
    }
    return TRUE;
}

void CSkinInfoDlg::OnOK()
{
    CDialog::OnOK();
}

void CSkinInfoDlg::OnCancel()
{
    CDialog::OnCancel();
}

void CSkinInfoDlg::OnLaunchSkinBrowser()
{
    if (CWnd* pMain = AfxGetMainWnd())
        ::SendMessageA(pMain->GetSafeHwnd(), UM_SHOWSKINBROWSER, 0, 0);
}

#include "shell/aboutdlg_win.h"

#include "afx/afxapp.h"
#include "core/messages.h"
#include "image/picture.h"
#include "res/app_res.h"
#include "res/periphery_res.h"
#include "shell/generalsettingsdlg_win.h"
#include "shell/traymodel.h"

const char g_szAboutPictureName[] = "IDR_ABOUT_JPG";
const char g_szAboutPictureType[] = "JPG";

namespace {
const char kVendorLine[] = "Veltran Clock 2.3";
const char kLegalNotice[] = "Copyright (C) Veltran Software. All rights reserved.\r\n"
                            "Protected by copyright law and international treaties.";
} // namespace

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
ON_WM_CTLCOLOR()
ON_WM_ERASEBKGND()
ON_WM_NCHITTEST()
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg(CWnd* pParent)
    : CDialog(IDD_ABOUT, pParent)
{
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUT_VENDOR, m_labelVendor);
    DDX_Control(pDX, IDC_ABOUT_MAILLABEL, m_labelMail);
    DDX_Control(pDX, IDC_ABOUT_SITELABEL, m_labelSite);
    DDX_Control(pDX, IDC_ABOUT_COMPANYLABEL, m_labelCompany);
    DDX_Control(pDX, IDC_ABOUT_LEGAL, m_labelLegal);
    DDX_Control(pDX, IDC_ABOUT_MAIL, m_linkMail);
    DDX_Control(pDX, IDC_ABOUT_SITE, m_linkSite);
    DDX_Control(pDX, IDC_ABOUT_COMPANY, m_linkCompany);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_hHollowBrush = static_cast<HBRUSH>(::GetStockObject(HOLLOW_BRUSH));

    for (CColorLabel* pLabel : { &m_labelVendor, &m_labelMail, &m_labelSite, &m_labelCompany }) {
        pLabel->SetTransparent(TRUE);
        pLabel->SetFontBold(TRUE);
        pLabel->SetText3D(TRUE, FALSE);
        pLabel->Set3DHighlightColor(0xFFFFFF);
    }
    m_labelVendor.SetText(kVendorLine);
    m_labelVendor.SetFontSize(10);

    struct CLink {
        CHyperLink* pLink;
        CString strText;
        CString strTarget;
    };
    const CLink links[] = {
        { &m_linkMail, g_szVendorSupportMail, CString("mailto:") + g_szVendorSupportMail },
        { &m_linkSite, g_szVendorHomePage, g_szVendorHomePage },
        { &m_linkCompany, g_szVendorCompanySite, g_szVendorCompanySite },
    };
    for (const CLink& link : links) {
        link.pLink->SetWindowText(link.strText);
        link.pLink->SetURL(link.strTarget);
        link.pLink->SetColours(0xFFFFFF, 0xFFFFFF, 0xFF0000);
        link.pLink->SetVisited(FALSE);
        link.pLink->SetAutoSize(TRUE);
    }

    m_labelLegal.SetTransparent(TRUE);
    m_labelLegal.SetText3D(TRUE, FALSE);
    m_labelLegal.SetTextColor(0);
    m_labelLegal.Set3DHighlightColor(0xFFFFFF);
    m_labelLegal.SetText(kLegalNotice);

    SetIcon(LoadAppIcon(IDI_APP), TRUE);
    SetIcon(LoadAppIcon(IDI_APP), FALSE);

    LoadPicture();
    BITMAP bm = {};
    if (m_bmPicture.GetSafeHandle() != nullptr)
        m_bmPicture.GetBitmap(&bm);
    // The client area is exactly the picture: none gives a window of frame and caption only.
    CRect rcWindow, rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    const int cx = rcWindow.Width() - rcClient.Width() + bm.bmWidth;
    const int cy = rcWindow.Height() - rcClient.Height() + bm.bmHeight;
    SetWindowPos(&CWnd::wndTopMost, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOACTIVATE);
    CenterWindow(CWnd::GetDesktopWindow());
    return TRUE;
}

void CAboutDlg::LoadPicture()
{
    HMODULE hModule = ::GetModuleHandleA(nullptr);
    HRSRC hResource = ::FindResourceA(hModule, g_szAboutPictureName, g_szAboutPictureType);
    if (hResource == nullptr)
        return;
    CPicture picture;
    if (!picture.LoadResource(hResource, PIC_FORMAT_JPG, hModule))
        return;
    if (HBITMAP hBitmap = picture.MakeBitmap())
        m_bmPicture.Attach(hBitmap);
}

BOOL CAboutDlg::OnEraseBkgnd(CDC* pDC)
{
    if (m_bmPicture.GetSafeHandle() == nullptr)
        return CDialog::OnEraseBkgnd(pDC);
    CRect rcClient;
    GetClientRect(&rcClient);
    CDC dcPicture;
    dcPicture.CreateCompatibleDC(pDC);
    CBitmap* pOld = dcPicture.SelectObject(&m_bmPicture);
    pDC->BitBlt(0, 0, rcClient.Width(), rcClient.Height(), &dcPicture, 0, 0, SRCCOPY);
    dcPicture.SelectObject(pOld);
    return TRUE;
}

HBRUSH CAboutDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    pDC->SetBkMode(TRANSPARENT);
    return m_hHollowBrush;
}

LRESULT CAboutDlg::OnNcHitTest(CPoint point)
{
    const LRESULT nHit = CDialog::OnNcHitTest(point);
    return nHit == HTCLIENT ? HTCAPTION : nHit;
}

void CAboutDlg::OnOK()
{
    SendToAppMainWindow(UM_ABOUTCLOSED);
}

void CAboutDlg::OnCancel()
{
    SendToAppMainWindow(UM_ABOUTCLOSED);
}

#include "controls/hyperlink.h"

#include "afx/afxapp.h"
#include "afx/afxseams.h"
#include "controls/labelmodel.h"

namespace {

const UINT_PTR TOOL_LINK = 1, TOOL_LINKSTATIC = 1001;

// The cursor resource 106 of the Windows help program, copied; null when missing.
HCURSOR LoadHelpHandCursor(const char* pszProgram) {
    char szPath[MAX_PATH + 32] = "";
    if (::GetWindowsDirectoryA(szPath, MAX_PATH) == 0)
        return nullptr;
    lstrcatA(szPath, pszProgram);
    HMODULE hModule = ::LoadLibraryExA(szPath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (hModule == nullptr)
        return nullptr;
    HCURSOR hCursor = nullptr;
    if (HCURSOR hLoaded = ::LoadCursorA(hModule, MAKEINTRESOURCEA(106)))
        hCursor = (HCURSOR)::CopyIcon((HICON)hLoaded);
    ::FreeLibrary(hModule);
    return hCursor;
}

// The default value of a HKEY_CLASSES_ROOT key, up to 260 bytes.
bool ReadClassKey(const CString& strKey, CString& strValue) {
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, strKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return false;
    char szData[261] = "";
    LONG nSize = 260;
    const bool bOK = ::RegQueryValueA(hKey, nullptr, szData, &nSize) == ERROR_SUCCESS;
    ::RegCloseKey(hKey);
    szData[260] = '\0';
    strValue = szData;
    return bOK;
}

void Beep() { AfxGetSeams()->PlaySound("SystemExclamation", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT); }

}  // namespace

// ---------------------------------------------------------------- CHyperLink

IMPLEMENT_DYNAMIC(CHyperLink, CStatic)

BEGIN_MESSAGE_MAP(CHyperLink, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CHyperLink::CHyperLink() = default;

CHyperLink::~CHyperLink() {
    m_Font.DeleteObject();
    if (m_bOwnCursor && m_hLinkCursor != nullptr)
        ::DestroyCursor(m_hLinkCursor);
}

void CHyperLink::PreSubclassWindow() {
    CStatic::PreSubclassWindow();
    ::SetWindowLongA(m_hWnd, GWL_STYLE, (LONG)(GetStyle() | SS_NOTIFY));
    CString strText;
    GetWindowText(strText);
    if (m_strURL.IsEmpty())
        m_strURL = strText;
    if (strText.IsEmpty())
        SetWindowText(m_strURL);
    ApplyFont();
    PositionWindow();
    SetDefaultCursor();
    CRect rc;
    GetClientRect(&rc);
    if (m_ToolTip.Create(this))
        m_ToolTip.AddTool(this, m_strURL, &rc, TOOL_LINK);
}

BOOL CHyperLink::PreTranslateMessage(MSG* pMsg) {
    if (m_ToolTip.GetSafeHwnd() != nullptr)
        m_ToolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

void CHyperLink::ApplyFont() {
    CFont* pFont = GetFont();
    LOGFONT lf{};
    ::GetObjectA(pFont != nullptr && pFont->GetSafeHandle() ? pFont->GetSafeHandle() : ::GetStockObject(SYSTEM_FONT),
                 sizeof(lf), &lf);
    lf.lfUnderline = (BYTE)(m_bUnderline != FALSE);
    // The old font stays selected in the control until the new one is set.
    CFont font;
    if (!font.CreateFontIndirect(&lf))
        return;
    CStatic::SetFont(&font);
    m_Font.DeleteObject();
    m_Font.Attach(font.Detach());
}

void CHyperLink::SetDefaultCursor() {
    if (m_hLinkCursor != nullptr)
        return;
    m_hLinkCursor = LoadHelpHandCursor("\\winhlp32.exe");
    m_bOwnCursor = m_hLinkCursor != nullptr;
}

void CHyperLink::PositionWindow() {
    if (!::IsWindow(m_hWnd) || !m_bAdjustToFit)
        return;
    CRect rc;
    GetWindowRect(&rc);
    if (CWnd* pParent = GetParent())
        pParent->ScreenToClient(&rc);
    CString strText;
    GetWindowText(strText);
    CSize size;
    {
        CWindowDC dc(this);
        CSelectGuard guard(dc.GetSafeHdc(), m_Font.GetSafeHandle());
        size = dc.GetTextExtent(strText);
    }
    const DWORD dwStyle = GetStyle();
    if (dwStyle & SS_CENTERIMAGE) {
        const int d = (rc.Height() - size.cy) / 2;
        rc.top += d;
        rc.bottom = rc.top + size.cy;
    } else {
        rc.bottom = rc.top + size.cy;
    }
    if ((dwStyle & 0x1F) == SS_CENTER) {
        const int d = (rc.Width() - size.cx) / 2;
        rc.left += d;
        rc.right = rc.left + size.cx;
    } else if ((dwStyle & 0x1F) == SS_RIGHT) {
        rc.left = rc.right - size.cx;
    } else {
        rc.right = rc.left + size.cx;
    }
    SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER);
}

void CHyperLink::SetURL(CString strURL) {
    m_strURL = strURL;
    if (::IsWindow(m_hWnd)) {
        PositionWindow();
        if (m_ToolTip.GetSafeHwnd() != nullptr)
            m_ToolTip.UpdateTipText(strURL, this, TOOL_LINK);
    }
}

void CHyperLink::SetColours(COLORREF crLink, COLORREF crVisited, COLORREF crHover) {
    m_crLink = crLink;
    m_crVisited = crVisited;
    m_crHover = crHover == 0xFFFFFFFF ? ::GetSysColor(COLOR_HIGHLIGHT) : crHover;
    if (::IsWindow(m_hWnd))
        Invalidate();
}

void CHyperLink::SetVisited(BOOL bVisited) {
    m_bVisited = bVisited;
    if (::IsWindow(m_hWnd))
        Invalidate();
}

void CHyperLink::SetLinkCursor(HCURSOR hCursor) {
    if (m_bOwnCursor && m_hLinkCursor != nullptr)
        ::DestroyCursor(m_hLinkCursor);
    m_hLinkCursor = hCursor;
    m_bOwnCursor = FALSE;
    if (m_hLinkCursor == nullptr)
        SetDefaultCursor();
}

void CHyperLink::SetUnderline(BOOL bUnderline) {
    m_bUnderline = bUnderline;
    if (::IsWindow(m_hWnd)) {
        ApplyFont();
        Invalidate();
    }
}

void CHyperLink::SetAutoSize(BOOL bAutoSize) {
    m_bAdjustToFit = bAutoSize;
    PositionWindow();
}

HBRUSH CHyperLink::CtlColor(CDC* pDC, UINT) {
    pDC->SetTextColor(m_bOverControl ? m_crHover : m_bVisited ? m_crVisited : m_crLink);
    pDC->SetBkMode(TRANSPARENT);
    return (HBRUSH)::GetStockObject(NULL_BRUSH);
}

BOOL CHyperLink::OnSetCursor(CWnd*, UINT, UINT) {
    if (m_hLinkCursor == nullptr)
        return FALSE;
    ::SetCursor(m_hLinkCursor);
    return TRUE;
}

void CHyperLink::OnMouseMove(UINT nFlags, CPoint point) {
    CStatic::OnMouseMove(nFlags, point);
    if (!m_bOverControl) {
        m_bOverControl = TRUE;
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        SetCapture();
        return;
    }
    CRect rc;
    GetClientRect(&rc);
    if (!rc.PtInRect(point)) {
        m_bOverControl = FALSE;
        ::ReleaseCapture();
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

void CHyperLink::OnClicked() {
    m_bOverControl = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    const int nResult = GotoURL(m_strURL, SW_SHOW);
    if (nResult > 32) {
        SetVisited(TRUE);
        return;
    }
    Beep();
    ReportError(nResult);
}

int CHyperLink::GotoURL(LPCSTR pszURL, int nShowCmd) {
    const CString strURL = pszURL != nullptr ? pszURL : "";
    const int nResult = (int)(INT_PTR)AfxGetSeams()->ShellExecute(nullptr, "open", strURL, nullptr, nullptr, nShowCmd);
    if (nResult > 32)
        return nResult;
    CString strType, strCommand;
    if (!ReadClassKey(".htm", strType) || strType.IsEmpty())
        return nResult;
    if (!ReadClassKey(strType + "\\shell\\open\\command", strCommand) || strCommand.IsEmpty())
        return nResult;
    return (int)AfxGetSeams()->WinExec(LinkFallbackCommand(strCommand, strURL), (UINT)nShowCmd);
}

void CHyperLink::ReportError(int nError) {
    AfxMessageBox("Unable to open hyperlink:\n\n" + LinkErrorText(nError), MB_ICONEXCLAMATION);
}

// ---------------------------------------------------------------- CLinkStatic

IMPLEMENT_DYNAMIC(CLinkStatic, CStatic)

BEGIN_MESSAGE_MAP(CLinkStatic, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CLinkStatic::CLinkStatic() = default;

CLinkStatic::~CLinkStatic() {
    m_fontLink.DeleteObject();
    if (m_hLinkCursor != nullptr)
        ::DestroyCursor(m_hLinkCursor);
}

void CLinkStatic::SetLinkText(const CString& strText) {
    m_strLinkText = strText;
    if (::IsWindow(m_hWnd))
        SetWindowText(strText);
}

void CLinkStatic::PreSubclassWindow() {
    ::SetWindowLongA(m_hWnd, GWL_STYLE, (LONG)(::GetWindowLongA(m_hWnd, GWL_STYLE) | SS_NOTIFY));
    char szText[261] = "";
    ::GetWindowTextA(m_hWnd, szText, 260);
    if (szText[0] == '\0')
        ::SetWindowTextA(m_hWnd, m_strLinkText);
    m_hLinkCursor = LoadHelpHandCursor("\\Winhlp32.exe");
    if (m_hLinkCursor != nullptr)
        SetCursor(m_hLinkCursor);
    CStatic::PreSubclassWindow();
    if (m_hLinkCursor != nullptr)
        SetCursor(m_hLinkCursor);
    LOGFONT lf{};
    HGDIOBJ hFont = (HGDIOBJ)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0);
    ::GetObjectA(hFont != nullptr ? hFont : ::GetStockObject(SYSTEM_FONT), sizeof(lf), &lf);
    lf.lfUnderline = TRUE;
    if (m_fontLink.CreateFontIndirect(&lf))
        CStatic::SetFont(&m_fontLink);
    CRect rc;
    GetClientRect(&rc);
    if (m_ToolTip.Create(this, TTS_ALWAYSTIP)) {
        m_ToolTip.AddTool(this, "", &rc, TOOL_LINKSTATIC);
        m_ToolTip.ShowWindow(SW_HIDE);
    }
}

void CLinkStatic::SetToolTipText(LPCSTR pszText) {
    if (m_bToolTip && m_ToolTip.GetSafeHwnd() != nullptr)
        m_ToolTip.UpdateTipText(pszText != nullptr ? pszText : "", this, TOOL_LINKSTATIC);
}

void CLinkStatic::SetToolTipTextColor(COLORREF cr) {
    if (m_ToolTip.GetSafeHwnd() != nullptr)
        m_ToolTip.SetTipTextColor(cr);
}

void CLinkStatic::SetToolTipBkColor(COLORREF cr) {
    if (m_ToolTip.GetSafeHwnd() != nullptr)
        m_ToolTip.SetTipBkColor(cr);
}

BOOL CLinkStatic::PreTranslateMessage(MSG* pMsg) {
    if (m_ToolTip.GetSafeHwnd() != nullptr)
        m_ToolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

HBRUSH CLinkStatic::CtlColor(CDC* pDC, UINT) {
    pDC->SetTextColor(m_bVisited ? m_crVisited : m_bOver ? m_crHover : m_crLink);
    pDC->SetBkMode(TRANSPARENT);
    return (HBRUSH)::GetStockObject(NULL_BRUSH);
}

BOOL CLinkStatic::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    // Without the help program's hand the class cursor stays, not none at all.
    if (m_hLinkCursor == nullptr)
        return CStatic::OnSetCursor(pWnd, nHitTest, message);
    ::SetCursor(m_hLinkCursor);
    return TRUE;
}

void CLinkStatic::OnMouseMove(UINT nFlags, CPoint point) {
    CStatic::OnMouseMove(nFlags, point);
    if (!m_bOver) {
        m_bOver = TRUE;
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        SetCapture();
        return;
    }
    CRect rc;
    GetClientRect(&rc);
    if (!rc.PtInRect(point)) {
        m_bOver = FALSE;
        ::ReleaseCapture();
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

void CLinkStatic::OnClicked() {
    if (m_bNotify) {
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(WM_HYPERLINK_CLICKED, (WPARAM)GetDlgCtrlID());
    } else {
        const int nResult = (int)(INT_PTR)AfxGetSeams()->ShellExecute(nullptr, "open", m_strURL, nullptr, nullptr,
                                                                       SW_SHOWMINIMIZED);
        if (nResult < 32)
            CHyperLink::ReportError(nResult);
    }
    m_bVisited = TRUE;
    Invalidate();
}

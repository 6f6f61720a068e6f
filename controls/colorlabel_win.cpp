#include "controls/colorlabel.h"

#include <cstring>

#include "afx/afxseams.h"
#include "controls/labelmodel.h"

namespace {
const UINT_PTR TIMER_FLASH = 1;
const UINT FLASH_PERIOD_MS = 500;
}  // namespace

IMPLEMENT_DYNAMIC(CColorLabel, CStatic)

BEGIN_MESSAGE_MAP(CColorLabel, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

CColorLabel::CColorLabel() : m_crText(::GetSysColor(COLOR_WINDOWTEXT)) {
    m_brushDefault.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
}

CColorLabel::~CColorLabel() {
    m_font.DeleteObject();
    m_brushDefault.DeleteObject();
    m_brushBk.DeleteObject();
}

void CColorLabel::PreSubclassWindow() {
    CStatic::PreSubclassWindow();
    CFont* pFont = GetFont();
    HGDIOBJ hFont = pFont != nullptr && pFont->GetSafeHandle() != nullptr ? pFont->GetSafeHandle()
                                                                          : ::GetStockObject(SYSTEM_FONT);
    ::GetObjectA(hFont, sizeof(m_lf), &m_lf);
    RebuildFont();
    // A flash asked for before the window existed starts now.
    if (m_nFlashMode != 0)
        StartFlash(m_nFlashMode, TRUE);
}

void CColorLabel::RebuildFont() {
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_lf);
}

void CColorLabel::Redraw() {
    if (!::IsWindow(m_hWnd))
        return;
    CRect rc;
    GetWindowRect(&rc);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    if (CWnd* pParent = GetParent()) {
        pParent->ScreenToClient(&rc);
        pParent->InvalidateRect(&rc, TRUE);
        pParent->UpdateWindow();
    }
}

CColorLabel& CColorLabel::SetBkColor(COLORREF crBk, COLORREF crSecond, BOOL bGradient) {
    m_crBk = crBk;
    m_crSecond = crSecond;
    m_bGradient = bGradient;
    m_brushBk.DeleteObject();
    if (!bGradient)
        m_brushBk.CreateSolidBrush(crBk);
    Redraw();
    return *this;
}

CColorLabel& CColorLabel::SetTextColor(COLORREF crText) {
    m_crText = crText;
    Redraw();
    return *this;
}

CColorLabel& CColorLabel::SetText(const CString& strText) {
    if (::IsWindow(m_hWnd)) {
        SetWindowText(strText);
        Redraw();
    }
    return *this;
}

CColorLabel& CColorLabel::SetFontBold(BOOL bBold) {
    m_lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    Redraw();
    return *this;
}

CColorLabel& CColorLabel::SetFontName(const CString& strFace, BYTE nCharSet) {
    m_lf.lfCharSet = nCharSet;
    // A longer face name is cut to what the description holds.
    std::memset(m_lf.lfFaceName, 0, sizeof(m_lf.lfFaceName));
    std::strncpy(m_lf.lfFaceName, strFace, sizeof(m_lf.lfFaceName) - 1);
    RebuildFont();
    Redraw();
    return *this;
}

CColorLabel& CColorLabel::SetFontUnderline(BOOL bSet) {
    m_lf.lfUnderline = (BYTE)(bSet != FALSE);
    RebuildFont();
    Redraw();
    return *this;
}

CColorLabel& CColorLabel::SetFontItalic(BOOL bSet) {
    m_lf.lfItalic = (BYTE)(bSet != FALSE);
    RebuildFont();
    Redraw();
    return *this;
}

CColorLabel& CColorLabel::SetFontSize(int nPoints) {
    CFont font;
    if (font.CreatePointFont(nPoints * 10, m_lf.lfFaceName)) {
        LOGFONT lf{};
        font.GetLogFont(&lf);
        m_lf.lfHeight = lf.lfHeight;
        m_lf.lfWidth = lf.lfWidth;
    }
    font.DeleteObject();
    RebuildFont();
    Redraw();
    return *this;
}

CColorLabel& CColorLabel::SetSunken(BOOL bSet) {
    if (::IsWindow(m_hWnd))
        ModifyStyleEx(bSet ? 0 : WS_EX_STATICEDGE, bSet ? WS_EX_STATICEDGE : 0, SWP_FRAMECHANGED);
    return *this;
}

CColorLabel& CColorLabel::SetBorder(BOOL bSet) {
    if (::IsWindow(m_hWnd))
        ModifyStyle(bSet ? 0 : WS_BORDER, bSet ? WS_BORDER : 0, SWP_FRAMECHANGED);
    return *this;
}

CColorLabel& CColorLabel::SetTransparent(BOOL bSet) {
    m_bTransparent = bSet;
    if (::IsWindow(m_hWnd))
        ModifyStyleEx(0, WS_EX_TRANSPARENT);
    Redraw();
    return *this;
}

void CColorLabel::StartFlash(int nMode, BOOL bActivate) {
    if (m_bTimer && ::IsWindow(m_hWnd))
        KillTimer(TIMER_FLASH);
    m_bTimer = FALSE;
    if (!bActivate) {
        m_nFlashMode = 0;
        Redraw();
        return;
    }
    m_bFlashPhase = FALSE;
    m_nFlashMode = nMode;
    // Without a window the timer waits for it; a window-less timer would
    // fire into the thread's queue for ever.
    if (::IsWindow(m_hWnd))
        m_bTimer = SetTimer(TIMER_FLASH, FLASH_PERIOD_MS) != 0;
}

CColorLabel& CColorLabel::FlashText(BOOL bActivate) {
    StartFlash(1, bActivate);
    return *this;
}

CColorLabel& CColorLabel::FlashBackground(BOOL bActivate) {
    StartFlash(2, bActivate);
    return *this;
}

CColorLabel& CColorLabel::SetLink(BOOL bLink, BOOL bNotifyParent) {
    m_nLinkMode = bLink ? 1 : 0;
    m_bNotify = bNotifyParent;
    if (::IsWindow(m_hWnd))
        ModifyStyle(m_nLinkMode ? 0 : SS_NOTIFY, m_nLinkMode ? SS_NOTIFY : 0);
    return *this;
}

CColorLabel& CColorLabel::SetMailLink(BOOL bEnable, BOOL bNotifyParent) {
    m_nLinkMode = bEnable ? 2 : 0;
    m_bNotify = bNotifyParent;
    if (::IsWindow(m_hWnd))
        ModifyStyle(m_nLinkMode ? 0 : SS_NOTIFY, m_nLinkMode ? SS_NOTIFY : 0);
    return *this;
}

CColorLabel& CColorLabel::SetLinkCursor(HCURSOR hCursor) {
    m_hLinkCursor = hCursor;
    return *this;
}

CColorLabel& CColorLabel::SetText3D(BOOL b3D, BOOL bRaised) {
    m_bText3D = b3D;
    m_b3DRaised = bRaised;
    Redraw();
    return *this;
}

CColorLabel& CColorLabel::SetRotationAngle(int nAngle, BOOL bRotation) {
    m_lf.lfEscapement = m_lf.lfOrientation = nAngle * 10;
    m_bRotation = bRotation;
    RebuildFont();
    Redraw();
    return *this;
}

CColorLabel& CColorLabel::Set3DHighlightColor(COLORREF cr) {
    m_cr3DHighlight = cr;
    Redraw();
    return *this;
}

CColorLabel& CColorLabel::SetFont(LOGFONT lf) {
    m_lf = lf;
    RebuildFont();
    Redraw();
    return *this;
}

CColorLabel& CColorLabel::SetLinkURL(const CString& strURL) {
    m_strURL = strURL;
    return *this;
}

BOOL CColorLabel::OnEraseBkgnd(CDC*) { return TRUE; }

void CColorLabel::OnPaint() {
    CPaintDC dc(this);
    Paint(&dc);
}

LRESULT CColorLabel::OnPrintClient(WPARAM wParam, LPARAM) {
    Paint(CDC::FromHandle((HDC)wParam));
    return 0;
}

void CColorLabel::Paint(CDC* pTarget) {
    CDC& paint = *pTarget;
    CRect rc;
    GetClientRect(&rc);
    CString strText;
    GetWindowText(strText);

    CDC mem;
    CBitmap bitmap;
    CDC* pDC = &paint;
    HGDIOBJ hOldBitmap = nullptr;
    if (!m_bTransparent) {
        mem.CreateCompatibleDC(&paint);
        bitmap.CreateCompatibleBitmap(&paint, rc.Width(), rc.Height());
        hOldBitmap = ::SelectObject(mem.GetSafeHdc(), bitmap.GetSafeHandle());
        pDC = &mem;
    }
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    COLORREF crText = m_crText;
    HGDIOBJ hOldFont = ::SelectObject(pDC->GetSafeHdc(), m_font.GetSafeHandle() ? m_font.GetSafeHandle()
                                                                                 : ::GetStockObject(SYSTEM_FONT));
    if (!m_bTransparent) {
        if (!m_bGradient) {
            pDC->FillRect(rc, m_brushBk.GetSafeHandle() ? &m_brushBk : &m_brushDefault);
        } else {
            HGDIOBJ hOldPen = ::SelectObject(pDC->GetSafeHdc(), ::GetStockObject(NULL_PEN));
            for (const LABELBAND& band : LabelGradientBands(rc.left, rc.right, m_crBk, m_crSecond, 100)) {
                CBrush brush(band.crColour);
                CSelectGuard guard(pDC, &brush);
                pDC->Rectangle(band.nLeft, rc.top, band.nRight + 1, rc.bottom);
            }
            ::SelectObject(pDC->GetSafeHdc(), hOldPen);
        }
    }
    if (m_nFlashMode == 1 && !m_bFlashPhase) {
        LOGBRUSH lb{};
        if (m_brushBk.GetSafeHandle() != nullptr)
            ::GetObjectA(m_brushBk.GetSafeHandle(), sizeof(lb), &lb);
        crText = m_brushBk.GetSafeHandle() != nullptr ? lb.lbColor : 0;
    }
    const COLORREF crOldText = pDC->SetTextColor(crText);
    if (!m_bRotation) {
        const UINT nFormat = LabelTextFormat(GetStyle(), strText);
        CRect rcText = rc;
        pDC->DrawText(strText, rcText, nFormat);
        if (m_bText3D) {
            pDC->SetTextColor(m_cr3DHighlight);
            rcText.OffsetRect(m_b3DRaised ? 1 : -1, m_b3DRaised ? 1 : -1);
            pDC->DrawText(strText, rcText, nFormat);
        }
    } else {
        const UINT nOldAlign = pDC->SetTextAlign(TA_BASELINE);
        const CPoint ptOld = pDC->SetViewportOrg(rc.Width() / 2, rc.Height() / 2);
        pDC->TextOut(0, 0, strText);
        pDC->SetViewportOrg(ptOld.x, ptOld.y);
        pDC->SetTextAlign(nOldAlign);
    }
    pDC->SetBkMode(nOldMode);
    ::SelectObject(pDC->GetSafeHdc(), hOldFont);
    pDC->SetTextColor(crOldText);
    if (!m_bTransparent) {
        paint.BitBlt(0, 0, rc.Width(), rc.Height(), &mem, 0, 0, SRCCOPY);
        ::SelectObject(mem.GetSafeHdc(), hOldBitmap);
    }
}

void CColorLabel::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == TIMER_FLASH) {
        m_bFlashPhase = !m_bFlashPhase;
        Redraw();
    }
    CStatic::OnTimer(nIDEvent);
}

BOOL CColorLabel::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (m_hLinkCursor != nullptr) {
        ::SetCursor(m_hLinkCursor);
        return TRUE;
    }
    return CStatic::OnSetCursor(pWnd, nHitTest, message);
}

void CColorLabel::OpenLink() {
    CString strText;
    GetWindowText(strText);
    // A link that fails to open is not reported: the label shows no box of its own.
    if (m_nLinkMode == 1)
        AfxGetSeams()->ShellExecute(m_hWnd, "open", m_strURL.IsEmpty() ? strText : m_strURL, nullptr, nullptr,
                                    SW_SHOWNORMAL);
    else if (m_nLinkMode == 2)
        AfxGetSeams()->ShellExecute(m_hWnd, nullptr, "mailto:" + strText, nullptr, nullptr, SW_SHOWNORMAL);
}

void CColorLabel::OnLButtonDown(UINT nFlags, CPoint point) {
    if (m_bNotify) {
        NMHDR nm{m_hWnd, (UINT_PTR)GetDlgCtrlID(), CLN_LINKCLICK};
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(WM_NOTIFY, (WPARAM)nm.idFrom, (LPARAM)&nm);
    } else {
        OpenLink();
    }
    CStatic::OnLButtonDown(nFlags, point);
}

void CColorLabel::OnSysColorChange() {
    m_brushDefault.DeleteObject();
    m_brushDefault.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    Redraw();
}

void CColorLabel::OnDestroy() {
    if (m_bTimer)
        KillTimer(TIMER_FLASH);
    m_bTimer = FALSE;
    CStatic::OnDestroy();
}

#include "controls/textprogress.h"

#include "controls/memdc.h"
#include "controls/progressdraw.h"

IMPLEMENT_DYNAMIC(CTextProgressCtrl, CProgressCtrl)

BEGIN_MESSAGE_MAP(CTextProgressCtrl, CProgressCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

CTextProgressCtrl::CTextProgressCtrl() : m_crBk(::GetSysColor(COLOR_3DFACE)) {}

void CTextProgressCtrl::Repaint() {
    if (::IsWindow(m_hWnd))
        Invalidate(FALSE);
}

void CTextProgressCtrl::SetRange(int nLower, int nUpper) {
    m_nLower = nLower;
    m_nUpper = nUpper;
    m_nPos = nLower;
    if (::IsWindow(m_hWnd))
        SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
    Repaint();
}

int CTextProgressCtrl::SetPos(int nPos) {
    const int nOld = m_nPos;
    m_nPos = nPos;
    if (::IsWindow(m_hWnd))
        SendMessage(PBM_SETPOS, (WPARAM)nPos);
    Repaint();
    return nOld;
}

int CTextProgressCtrl::SetStep(int nStep) {
    const int nOld = m_nStep;
    m_nStep = nStep;
    if (::IsWindow(m_hWnd))
        SendMessage(PBM_SETSTEP, (WPARAM)nStep);
    return nOld;
}

int CTextProgressCtrl::StepIt() {
    const int nOld = m_nPos;
    m_nPos += m_nStep;
    if (::IsWindow(m_hWnd))
        SendMessage(PBM_STEPIT);
    Repaint();
    return nOld;
}

void CTextProgressCtrl::SetStartColour(COLORREF cr) {
    m_crStart = cr;
    Repaint();
}

void CTextProgressCtrl::SetEndColour(COLORREF cr) {
    m_crEnd = cr;
    Repaint();
}

BOOL CTextProgressCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CTextProgressCtrl::OnPaint() {
    CPaintDC dc(this);
    Paint(&dc);
}

LRESULT CTextProgressCtrl::OnPrintClient(WPARAM wParam, LPARAM) {
    Paint(CDC::FromHandle((HDC)wParam));
    return 0;
}

void CTextProgressCtrl::Paint(CDC* pDC) {
    CDC& paint = *pDC;
    CRect rcClient;
    GetClientRect(&rcClient);
    const bool bVertical = (GetStyle() & PBS_VERTICAL) != 0;
    const int nExtent = bVertical ? rcClient.Height() : rcClient.Width();
    const int nLength = TextProgressLength(m_nPos, m_nLower, m_nUpper, nExtent);
    if (!(m_nLower < m_nPos && m_nPos <= m_nUpper)) {
        paint.FillSolidRect(rcClient, ::GetSysColor(COLOR_3DFACE));
        return;
    }
    {
        CFillMemDC dc(&paint, &rcClient, FALSE, FALSE);
        for (const TEXTPROGRESSBAND& band : TextProgressBands(m_crStart, m_crEnd, nExtent, nLength)) {
            CRect rc = bVertical ? CRect(0, band.nFrom, rcClient.Width() + 1, band.nTo)
                                 : CRect(band.nFrom, 0, band.nTo, rcClient.Height() + 1);
            if (band.crColour == CLR_INVALID) {
                dc.FillSolidRect(rc, m_crBk);
            } else {
                CBrush brush(band.crColour);
                dc.FillRect(rc, &brush);
            }
        }
        if (m_bShowText) {
            const CString strText = TextProgressPercent(m_nPos, m_nLower, m_nUpper);
            const int nOldMode = dc.SetBkMode(TRANSPARENT);
            const COLORREF crOld = dc.SetTextColor(m_crText);
            CFont* pFont = GetFont();
            CSelectGuard guard(dc.GetSafeHdc(), pFont != nullptr ? pFont->GetSafeHandle() : nullptr);
            dc.DrawText(strText, rcClient, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            dc.SetTextColor(crOld);
            dc.SetBkMode(nOldMode);
        }
    }
}

#include "controls/gradientprogress.h"

#include <algorithm>
#include <cstring>

namespace {
const UINT_PTR TIMER_STEP = 11, TIMER_ANIMATION = 12;
// A text and mode handed over from another thread.
const UINT UM_PROGRESS_SETTEXT = WM_APP + 0x121;
}  // namespace

IMPLEMENT_DYNAMIC(CGradientProgressCtrl, CProgressCtrl)

BEGIN_MESSAGE_MAP(CGradientProgressCtrl, CProgressCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_MESSAGE(PBM_SETRANGE, OnSetRange)
    ON_MESSAGE(PBM_SETRANGE32, OnSetRange32)
    ON_MESSAGE(PBM_GETRANGE, OnGetRange)
    ON_MESSAGE(PBM_SETPOS, OnSetPos)
    ON_MESSAGE(PBM_GETPOS, OnGetPos)
    ON_MESSAGE(PBM_DELTAPOS, OnDeltaPos)
    ON_MESSAGE(PBM_SETSTEP, OnSetStep)
    ON_MESSAGE(PBM_STEPIT, OnStepIt)
    ON_MESSAGE(PBM_SETBARCOLOR, OnSetBarColor)
    ON_MESSAGE(CCM_SETBKCOLOR, OnSetBkColor)
    ON_MESSAGE(WM_SETTEXT, OnSetTextMsg)
    ON_MESSAGE(WM_GETTEXT, OnGetTextMsg)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
    ON_MESSAGE(WM_SETFONT, OnSetFontMsg)
    ON_MESSAGE(WM_GETFONT, OnGetFontMsg)
    ON_MESSAGE(UM_PROGRESS_SETTEXT, OnSetTextMode)
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

CGradientProgressCtrl::CGradientProgressCtrl() = default;

CGradientProgressCtrl::~CGradientProgressCtrl() { m_fontBorrowed.Detach(); }

void CGradientProgressCtrl::ModifyStyle(DWORD dwRemove, DWORD dwAdd) {
    if (!::IsWindow(m_hWnd))
        return;
    CWnd::ModifyStyle(dwRemove, dwAdd);
    Changed();
}

void CGradientProgressCtrl::SetRange(int nLower, int nUpper) {
    CProgressDraw::SetRange(nLower, nUpper);
    Changed();
}

int CGradientProgressCtrl::SetPos(int nPos) {
    const int nOld = CProgressDraw::SetPos(nPos);
    Changed();
    return nOld;
}

void CGradientProgressCtrl::SetText(const char* pszText, DWORD dwMode) {
    // The text is not a single word: a paint must never read it half-changed.
    if (::IsWindow(m_hWnd) && ::GetWindowThreadProcessId(m_hWnd, nullptr) != ::GetCurrentThreadId()) {
        SendMessage(UM_PROGRESS_SETTEXT, (WPARAM)dwMode, (LPARAM)pszText);
        return;
    }
    CProgressDraw::SetText(pszText, dwMode);
    Changed();
}

LRESULT CGradientProgressCtrl::OnSetTextMode(WPARAM wParam, LPARAM lParam) {
    SetText((const char*)lParam, (DWORD)wParam);
    return 0;
}

void CGradientProgressCtrl::StartAnimation(UINT nInterval, int nStep) {
    m_nAnimStep = nStep;
    KillTimer(TIMER_ANIMATION);
    SetTimer(TIMER_ANIMATION, nInterval);
}

void CGradientProgressCtrl::StopAnimation() { KillTimer(TIMER_ANIMATION); }

CString CGradientProgressCtrl::TooltipText() const {
    return CProgressDraw::FormatText(m_strTooltipFormat, CProgressDraw::GetValue(m_dwTooltipMode), m_dwTooltipMode);
}

void CGradientProgressCtrl::SetTooltipFormat(const char* pszFormat, DWORD dwMode) {
    m_strTooltipFormat = pszFormat != nullptr ? pszFormat : "";
    m_dwTooltipMode = dwMode & PGS_TEXT_MODE;
    if (!m_strTooltipFormat.IsEmpty() && m_dwTooltipMode != 0) {
        if (m_tooltip.GetSafeHwnd() == nullptr) {
            if (!m_tooltip.Create(this, TTS_ALWAYSTIP | TTS_NOPREFIX))
                return;
            m_tooltip.AddTool(this, "");
        }
        m_tooltip.UpdateTipText(TooltipText(), this);
        m_tooltip.Activate(TRUE);
    } else if (m_tooltip.GetSafeHwnd() != nullptr) {
        m_tooltip.Activate(FALSE);
    }
}

void CGradientProgressCtrl::OnPosChanged(int /*nNew*/) {
    if (m_tooltip.GetSafeHwnd() == nullptr || m_dwTooltipMode == 0)
        return;
    const CString strTip = TooltipText();
    if (!strTip.IsEmpty())
        m_tooltip.UpdateTipText(strTip, this);
}

BOOL CGradientProgressCtrl::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_MOUSEMOVE && m_tooltip.GetSafeHwnd() != nullptr)
        m_tooltip.RelayEvent(pMsg);
    return CProgressCtrl::PreTranslateMessage(pMsg);
}

void CGradientProgressCtrl::OnPaint() {
    CPaintDC dc(this);
    Paint(&dc);
}

LRESULT CGradientProgressCtrl::OnPrintClient(WPARAM wParam, LPARAM) {
    Paint(CDC::FromHandle((HDC)wParam));
    return 0;
}

void CGradientProgressCtrl::Paint(CDC* pDC) {
    CDC& dc = *pDC;
    CPalette* pOld = nullptr;
    CPalette* pPalette = m_bUsePalette ? GetPalette() : nullptr;
    if (pPalette != nullptr) {
        pOld = dc.SelectPalette(pPalette, FALSE);
        dc.RealizePalette();
    }
    CRect rc;
    GetClientRect(&rc);
    Draw(&dc, rc, FALSE);
    if (pOld != nullptr)
        dc.SelectPalette(pOld, FALSE);
}

BOOL CGradientProgressCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CGradientProgressCtrl::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == TIMER_ANIMATION) {
        AdvanceAnimation(m_nAnimStep);
        Changed();
    } else if (nIDEvent == TIMER_STEP) {
        StepIt();
        Changed();
    } else {
        CProgressCtrl::OnTimer(nIDEvent);
    }
}

void CGradientProgressCtrl::OnDestroy() {
    KillTimer(TIMER_ANIMATION);
    KillTimer(TIMER_STEP);
    if (m_tooltip.GetSafeHwnd() != nullptr)
        m_tooltip.DestroyWindow();
    CProgressDraw::SetFont(nullptr);
    m_fontBorrowed.Detach();
    CProgressCtrl::OnDestroy();
}

// The 16-bit bounds are unsigned, 0 to 65,535, as the platform's own bar
// reads them; only PBM_SETRANGE32 takes negative bounds.
LRESULT CGradientProgressCtrl::OnSetRange(WPARAM, LPARAM lParam) {
    return OnSetRange32((WPARAM)(int)LOWORD(lParam), (LPARAM)(int)HIWORD(lParam));
}

LRESULT CGradientProgressCtrl::OnSetRange32(WPARAM wParam, LPARAM lParam) {
    const LRESULT nOld = MAKELONG((WORD)m_nLower, (WORD)m_nUpper);
    CProgressDraw::SetRange((int)wParam, (int)lParam);
    Changed();
    return nOld;
}

LRESULT CGradientProgressCtrl::OnGetRange(WPARAM wParam, LPARAM lParam) {
    if (PBRANGE* pRange = (PBRANGE*)lParam) {
        pRange->iLow = m_nLower;
        pRange->iHigh = m_nUpper;
    }
    return wParam ? m_nLower : m_nUpper;
}

LRESULT CGradientProgressCtrl::OnSetPos(WPARAM wParam, LPARAM) { return SetPos((int)wParam); }

LRESULT CGradientProgressCtrl::OnGetPos(WPARAM, LPARAM) { return m_nPos; }

LRESULT CGradientProgressCtrl::OnDeltaPos(WPARAM wParam, LPARAM) {
    const int nOld = OffsetPos((int)wParam);
    Changed();
    return nOld;
}

LRESULT CGradientProgressCtrl::OnSetStep(WPARAM wParam, LPARAM) {
    const int nOld = SetStep((int)wParam);
    Changed();
    return nOld;
}

LRESULT CGradientProgressCtrl::OnStepIt(WPARAM, LPARAM) {
    const int nOld = StepIt();
    Changed();
    return nOld;
}

LRESULT CGradientProgressCtrl::OnSetBarColor(WPARAM wParam, LPARAM lParam) {
    if (wParam != 0)
        SetColors(2, (COLORREF)lParam, (COLORREF)wParam);
    else
        SetColors(1, (COLORREF)lParam);
    Changed();
    return CLR_DEFAULT;
}

LRESULT CGradientProgressCtrl::OnSetBkColor(WPARAM, LPARAM lParam) {
    SetBkColor((COLORREF)lParam);
    Changed();
    return CLR_DEFAULT;
}

LRESULT CGradientProgressCtrl::OnSetTextMsg(WPARAM, LPARAM lParam) {
    m_strText = lParam != 0 ? (const char*)lParam : "";
    Changed();
    return TRUE;
}

LRESULT CGradientProgressCtrl::OnGetTextMsg(WPARAM wParam, LPARAM lParam) {
    char* pBuffer = (char*)lParam;
    if (pBuffer == nullptr || wParam == 0)
        return 0;
    // Room for the terminator inside the caller's buffer.
    const size_t nCopy = std::min((size_t)m_strText.GetLength(), (size_t)wParam - 1);
    std::memcpy(pBuffer, (const char*)m_strText, nCopy);
    pBuffer[nCopy] = '\0';
    return (LRESULT)nCopy;
}

LRESULT CGradientProgressCtrl::OnGetTextLength(WPARAM, LPARAM) { return m_strText.GetLength(); }

LRESULT CGradientProgressCtrl::OnSetFontMsg(WPARAM wParam, LPARAM lParam) {
    m_fontBorrowed.Detach();
    if (wParam != 0)
        m_fontBorrowed.Attach((HFONT)wParam);
    CProgressDraw::SetFont(wParam != 0 ? &m_fontBorrowed : nullptr);
    if (LOWORD(lParam))
        RedrawWindow();
    return 0;
}

LRESULT CGradientProgressCtrl::OnGetFontMsg(WPARAM, LPARAM) {
    return (LRESULT)(m_fontBorrowed.GetSafeHandle());
}

#include "controls/colourpicker.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CColourPicker, CButton)

BEGIN_MESSAGE_MAP(CColourPicker, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_MESSAGE(UM_COLOR_SELENDOK, OnSelEndOK)
    ON_MESSAGE(UM_COLOR_SELENDCANCEL, OnSelEndCancel)
    ON_MESSAGE(UM_COLOR_SELCHANGE, OnSelChange)
END_MESSAGE_MAP()

void DDX_ColourPicker(CDataExchange* pDX, int nIDC, COLORREF& crColour) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    CColourPicker* pPicker = DYNAMIC_DOWNCAST(CColourPicker, CWnd::FromHandlePermanent(hWndCtrl));
    if (pPicker == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        crColour = pPicker->GetColour();
    else
        pPicker->SetColour(crColour);
}

CColourPicker::CColourPicker()
    : m_crColourBk(::GetSysColor(COLOR_3DFACE)), m_crColourText(::GetSysColor(COLOR_BTNTEXT)) {}

CColourPicker::~CColourPicker() { m_popup.Close(this); }

COLORREF CColourPicker::GetColour() const { return m_nSelectionMode == 1 ? m_crColourText : m_crColourBk; }

void CColourPicker::SetColour(COLORREF crColour) {
    if (m_nSelectionMode == 1)
        SetTextColour(crColour);
    else
        SetBkColour(crColour);
}

void CColourPicker::SetBkColour(COLORREF crColourBk) {
    m_crColourBk = crColourBk;
    Redraw();
}

void CColourPicker::SetTextColour(COLORREF crColourText) {
    m_crColourText = crColourText;
    Redraw();
}

void CColourPicker::Redraw() {
    if (::IsWindow(m_hWnd))
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
}

void CColourPicker::SetDefaultText(LPCSTR szDefaultText) { m_strDefaultText = szDefaultText ? szDefaultText : ""; }

void CColourPicker::SetCustomText(LPCSTR szCustomText) { m_strCustomText = szCustomText ? szCustomText : ""; }

void CColourPicker::PreSubclassWindow() {
    ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
    SetWindowSize();
}

int CColourPicker::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CButton::OnCreate(lpCreateStruct) == -1)
        return -1;
    SetWindowSize();
    return 0;
}

void CColourPicker::OnDestroy() {
    // The popup never outlives its button.
    m_popup.Close(this);
    m_bActive = FALSE;
    CButton::OnDestroy();
}

void CColourPicker::SetWindowSize() {
    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE), cyEdge = ::GetSystemMetrics(SM_CYEDGE);
    const int nArrowWidth = std::max(::GetSystemMetrics(SM_CXHTHUMB), 5 * cxEdge);
    const int nArrowHeight = std::max(::GetSystemMetrics(SM_CYVTHUMB), 5 * cyEdge);
    const int nArrow = std::max(nArrowWidth, nArrowHeight);

    CRect rc;
    GetWindowRect(&rc);
    if (CWnd* pParent = GetParent())
        pParent->ScreenToClient(&rc);
    const int nWidth = std::max(rc.Width(), 2 * cxEdge + 2 * nArrow);
    const int nHeight = nArrow + 2 * cyEdge;
    MoveWindow(rc.left, rc.top, nWidth, nHeight, TRUE);

    GetClientRect(&rc);
    m_ArrowRect.SetRect(rc.right - nArrow - cxEdge, rc.top + cyEdge, rc.right - cxEdge, rc.bottom - cyEdge);
}

void CColourPicker::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    UINT nState = lpDrawItemStruct->itemState;
    CRect rect = lpDrawItemStruct->rcItem;
    const CSize szMargin(::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CYEDGE));
    if (m_bActive)
        nState |= ODS_SELECTED;

    UINT nFrameState = DFCS_SCROLLDOWN;
    if (nState & ODS_SELECTED)
        nFrameState |= DFCS_PUSHED;
    if (nState & ODS_DISABLED)
        nFrameState |= DFCS_INACTIVE;
    pDC->DrawFrameControl(&m_ArrowRect, DFC_SCROLL, nFrameState);

    pDC->DrawEdge(&rect, EDGE_SUNKEN, BF_RECT);
    rect.DeflateRect(szMargin.cx, szMargin.cy);
    rect.right -= m_ArrowRect.Width();

    const bool bPlain = (nState & ODS_DISABLED) || m_crColourBk == (COLORREF)CLR_DEFAULT;
    {
        CBrush brush(bPlain ? ::GetSysColor(COLOR_3DFACE) : m_crColourBk);
        CSelectGuard brushGuard(pDC, &brush);
        CSelectGuard penGuard(pDC->GetSafeHdc(), ::GetStockObject(NULL_PEN));
        // Without a pen Rectangle leaves out the right and bottom lines.
        pDC->Rectangle(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
    }

    if (GetWindowTextLength() > 0) {
        CString strText;
        GetWindowText(strText);
        const int nOldMode = pDC->SetBkMode(TRANSPARENT);
        const COLORREF crOld = pDC->GetTextColor();
        const UINT nFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (nState & ODS_DISABLED) {
            CRect rcOffset = rect;
            rcOffset.OffsetRect(1, 1);
            pDC->SetTextColor(::GetSysColor(COLOR_3DHILIGHT));
            pDC->DrawText(strText, &rcOffset, nFormat);
            pDC->SetTextColor(::GetSysColor(COLOR_3DSHADOW));
            pDC->DrawText(strText, &rect, nFormat);
        } else {
            pDC->SetTextColor(m_crColourText == (COLORREF)CLR_DEFAULT ? RGB(0, 0, 0) : m_crColourText);
            pDC->DrawText(strText, &rect, nFormat);
        }
        pDC->SetTextColor(crOld);
        pDC->SetBkMode(nOldMode);
    }

    if (nState & ODS_FOCUS) {
        rect.DeflateRect(1, 1);
        pDC->DrawFocusRect(&rect);
    }
}

BOOL CColourPicker::OnClicked() {
    m_bActive = TRUE;
    if (!m_popup.Open(this, GetColour(), m_strDefaultText, m_strCustomText)) {
        // No popup, no notification: the button does not stay pressed.
        m_bActive = FALSE;
        Redraw();
        return TRUE;
    }
    NotifyParent(UM_COLOR_DROPDOWN, GetColour());
    return TRUE;
}

void CColourPicker::NotifyParent(UINT nMessage, COLORREF crColour) {
    NotifyColourParent(this, nMessage, crColour);
}

LRESULT CColourPicker::OnSelEndOK(WPARAM wParam, LPARAM) {
    const COLORREF crNew = (COLORREF)wParam;
    const COLORREF crOld = GetColour();
    m_bActive = FALSE;
    SetColour(crNew);
    NotifyColourEnd(this, TRUE, crOld, crNew);
    return TRUE;
}

LRESULT CColourPicker::OnSelEndCancel(WPARAM wParam, LPARAM) {
    const COLORREF crInitial = (COLORREF)wParam;
    m_bActive = FALSE;
    SetColour(crInitial);
    NotifyColourEnd(this, FALSE, crInitial, crInitial);
    return TRUE;
}

LRESULT CColourPicker::OnSelChange(WPARAM wParam, LPARAM) {
    const COLORREF crColour = (COLORREF)wParam;
    if (m_bTrackSelection)
        SetColour(crColour);
    NotifyParent(UM_COLOR_SELCHANGE, crColour);
    return TRUE;
}

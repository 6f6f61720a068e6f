#include "controls/colorbutton.h"

IMPLEMENT_DYNCREATE(CColorButton, CButton)

BEGIN_MESSAGE_MAP(CColorButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_MESSAGE(UM_COLOR_SELENDOK, OnSelEndOK)
    ON_MESSAGE(UM_COLOR_SELENDCANCEL, OnSelEndCancel)
    ON_MESSAGE(UM_COLOR_SELCHANGE, OnSelChange)
END_MESSAGE_MAP()

void DDX_ColorButton(CDataExchange* pDX, int nIDC, COLORREF& crColour) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    CColorButton* pButton = DYNAMIC_DOWNCAST(CColorButton, CWnd::FromHandlePermanent(hWndCtrl));
    if (pButton == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        crColour = pButton->GetColor();
    else
        pButton->SetColor(crColour);
}

CColorButton::CColorButton() : m_DefaultColor(::GetSysColor(COLOR_APPWORKSPACE)) {}

CColorButton::~CColorButton() { m_popup.Close(this); }

void CColorButton::SetColor(COLORREF Color) {
    m_Color = Color;
    if (::IsWindow(m_hWnd))
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
}

void CColorButton::PreSubclassWindow() {
    ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

int CColorButton::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    return CButton::OnCreate(lpCreateStruct) == -1 ? -1 : 0;
}

void CColorButton::OnDestroy() {
    m_popup.Close(this);
    m_bPopupActive = FALSE;
    CButton::OnDestroy();
}

void CColorButton::DrawArrow(CDC* pDC, const RECT& rect, int nDirection, COLORREF clrArrow) {
    POINT pts[3];
    switch (nDirection) {
    case 0:
        pts[0] = {rect.left, rect.top};
        pts[1] = {rect.right, rect.top};
        pts[2] = {(rect.left + rect.right) / 2, rect.bottom};
        break;
    case 1:
        pts[0] = {rect.left, rect.bottom};
        pts[1] = {rect.right, rect.bottom};
        pts[2] = {(rect.left + rect.right) / 2, rect.top};
        break;
    case 2:
        pts[0] = {rect.right, rect.top};
        pts[1] = {rect.right, rect.bottom};
        pts[2] = {rect.left, (rect.top + rect.bottom) / 2};
        break;
    default:
        pts[0] = {rect.left, rect.top};
        pts[1] = {rect.left, rect.bottom};
        pts[2] = {rect.right, (rect.top + rect.bottom) / 2};
        break;
    }
    CBrush brush(clrArrow);
    CPen pen(PS_SOLID, 1, clrArrow);
    CSelectGuard brushGuard(pDC, &brush);
    CSelectGuard penGuard(pDC, &pen);
    const int nOldMode = pDC->SetPolyFillMode(WINDING);
    pDC->Polygon(pts, 3);
    pDC->SetPolyFillMode(nOldMode);
}

void CColorButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    UINT nState = lpDrawItemStruct->itemState;
    CRect rDraw = lpDrawItemStruct->rcItem;
    if (m_bPopupActive)
        nState |= ODS_SELECTED | ODS_FOCUS;

    UINT nFrameState = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (nState & ODS_SELECTED)
        nFrameState |= DFCS_PUSHED;
    if (nState & ODS_DISABLED)
        nFrameState |= DFCS_INACTIVE;
    pDC->DrawFrameControl(&rDraw, DFC_BUTTON, nFrameState);

    if (nState & ODS_SELECTED)
        rDraw.OffsetRect(1, 1);
    if (nState & ODS_FOCUS) {
        CRect rFocus(rDraw.left, rDraw.top, rDraw.right - 1, rDraw.bottom);
        pDC->DrawFocusRect(&rFocus);
    }

    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE), cyEdge = ::GetSystemMetrics(SM_CYEDGE);
    rDraw.DeflateRect(cxEdge, cyEdge);
    CRect rArrow;
    rArrow.left = rDraw.right - 4 - cxEdge / 2;
    rArrow.right = rArrow.left + 4;
    rArrow.top = (rDraw.bottom + rDraw.top) / 2 - 1;
    rArrow.bottom = (rDraw.bottom + rDraw.top) / 2 + 1;
    DrawArrow(pDC, rArrow, 0, (nState & ODS_DISABLED) ? ::GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0));

    rDraw.right = rArrow.left - cxEdge / 2;
    pDC->DrawEdge(&rDraw, EDGE_ETCHED, BF_RIGHT);
    rDraw.right -= 2 * cxEdge + 1;

    if (!(nState & ODS_DISABLED)) {
        pDC->FillSolidRect(&rDraw, m_Color == (COLORREF)CLR_DEFAULT ? m_DefaultColor : m_Color);
        ::FrameRect(pDC->GetSafeHdc(), &rDraw, (HBRUSH)::GetStockObject(BLACK_BRUSH));
    }
}

BOOL CColorButton::OnClicked() {
    m_bPopupActive = TRUE;
    if (!m_popup.Open(this, m_Color, m_strDefaultText, m_strCustomText)) {
        m_bPopupActive = FALSE;
        SetColor(m_Color);  // repaint unpressed
        return TRUE;
    }
    NotifyParent(UM_COLOR_DROPDOWN, m_Color);
    return TRUE;
}

void CColorButton::NotifyParent(UINT nMessage, COLORREF crColour) {
    NotifyColourParent(this, nMessage, crColour);
}

LRESULT CColorButton::OnSelEndOK(WPARAM wParam, LPARAM) {
    const COLORREF crNew = (COLORREF)wParam;
    m_bPopupActive = FALSE;
    const COLORREF crOld = m_Color;
    SetColor(crNew);
    NotifyColourEnd(this, TRUE, crOld, crNew);
    return TRUE;
}

LRESULT CColorButton::OnSelEndCancel(WPARAM wParam, LPARAM) {
    const COLORREF crColour = (COLORREF)wParam;
    m_bPopupActive = FALSE;
    SetColor(crColour);
    NotifyColourEnd(this, FALSE, crColour, crColour);
    return TRUE;
}

LRESULT CColorButton::OnSelChange(WPARAM wParam, LPARAM) {
    const COLORREF crColour = (COLORREF)wParam;
    if (m_bTrackSelection)
        SetColor(crColour);
    NotifyParent(UM_COLOR_SELCHANGE, crColour);
    return TRUE;
}

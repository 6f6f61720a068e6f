#include "controls/colourpopup.h"

#include <vector>

#include "afx/afxapp.h"
#include "afx/afxdlg.h"

IMPLEMENT_DYNAMIC(CColourPopup, CWnd)

BEGIN_MESSAGE_MAP(CColourPopup, CWnd)
    ON_WM_NCDESTROY()
    ON_WM_LBUTTONUP()
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_QUERYNEWPALETTE, OnQueryNewPalette)
    ON_MESSAGE(WM_PALETTECHANGED, OnPaletteChanged)
    ON_WM_KILLFOCUS()
    ON_WM_ACTIVATEAPP()
END_MESSAGE_MAP()

CColourPopup::CColourPopup() : m_grid(::GetSystemMetrics(SM_CXEDGE)) { Initialise(); }

CColourPopup::CColourPopup(CPoint p, COLORREF crColour, CWnd* pParentWnd, LPCSTR szDefaultText,
                           LPCSTR szCustomText)
    : m_grid(::GetSystemMetrics(SM_CXEDGE)) {
    Initialise();
    Create(p, crColour, pParentWnd, szDefaultText, szCustomText);
}

CColourPopup::~CColourPopup() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        DestroyWindow();
}

void CColourPopup::Initialise() {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
        m_font.CreateFontIndirect(&ncm.lfMessageFont);
    else
        m_font.CreateStockObject(DEFAULT_GUI_FONT);

    const int nCount = m_grid.GetCount();
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + nCount * sizeof(PALETTEENTRY));
    LOGPALETTE* pLogPalette = reinterpret_cast<LOGPALETTE*>(buffer.data());
    pLogPalette->palVersion = 0x300;
    pLogPalette->palNumEntries = (WORD)nCount;
    for (int i = 0; i < nCount; ++i) {
        const COLORREF cr = ColourAt(i);
        pLogPalette->palPalEntry[i] = PALETTEENTRY{GetRValue(cr), GetGValue(cr), GetBValue(cr), 0};
    }
    m_palette.CreatePalette(pLogPalette);
}

BOOL CColourPopup::Create(CPoint p, COLORREF crColour, CWnd* pParentWnd, LPCSTR szDefaultText,
                          LPCSTR szCustomText) {
    m_pParent = pParentWnd;
    m_crColour = m_crInitialColour = crColour;
    LPCSTR lpszClass = AfxRegisterWndClass(CS_CLASSDC | CS_SAVEBITS | CS_HREDRAW | CS_VREDRAW, nullptr,
                                           (HBRUSH)(COLOR_BTNFACE + 1), nullptr);
    // A window lost during creation must not take the object with it: the
    // creator still holds it and frees it.
    m_bDeleteOnDestroy = FALSE;
    if (lpszClass == nullptr ||
        !CreateEx(0, lpszClass, "", WS_POPUP | WS_VISIBLE, p.x, p.y, 100, 100, pParentWnd->GetSafeHwnd(),
                  nullptr)) {
        if (m_hWnd != nullptr)
            Detach();
        return FALSE;
    }
    m_bDeleteOnDestroy = TRUE;
    m_strDefaultText = szDefaultText != nullptr ? szDefaultText : "";
    m_strCustomText = szCustomText != nullptr ? szCustomText : "";
    LayOut();
    AddCellTips();
    SelectCellForColour(m_crInitialColour);
    SetCapture();
    return TRUE;
}

CColourPopup* CColourPopup::Open(CPoint p, COLORREF crColour, CWnd* pParentWnd, LPCSTR szDefaultText,
                                 LPCSTR szCustomText) {
    CColourPopup* pPopup = new CColourPopup;
    if (!pPopup->Create(p, crColour, pParentWnd, szDefaultText, szCustomText)) {
        delete pPopup;
        return nullptr;
    }
    return pPopup;
}

void CColourPopup::PostNcDestroy() {
    // Deferred: a handler further up this call stack may still be running in
    // this object (a notification that closed the dialog destroys us too).
    if (m_bDeleteOnDestroy)
        AfxDeleteLater(this);
}

void CColourPopup::OnNcDestroy() { CWnd::OnNcDestroy(); }

void CColourPopup::LayOut() {
    CSize szText(0, 0);
    if (!m_strDefaultText.IsEmpty() || !m_strCustomText.IsEmpty()) {
        CClientDC dc(this);
        CSelectGuard guard(&dc, &m_font);
        for (const CString* pText : {&m_strDefaultText, &m_strCustomText}) {
            if (pText->IsEmpty())
                continue;
            CSize sz = dc.GetTextExtent(*pText);
            szText.cx = szText.cx > sz.cx ? szText.cx : sz.cx;
            szText.cy = szText.cy > sz.cy ? szText.cy : sz.cy;
        }
    }
    CRect rcWindow, rcButton;
    GetWindowRect(&rcWindow);
    if (m_pParent != nullptr)
        m_pParent->GetWindowRect(&rcButton);
    m_grid.LayOut(rcWindow.TopLeft(), !m_strDefaultText.IsEmpty(), !m_strCustomText.IsEmpty(), szText,
                  CSize(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)), rcButton.Height());
    MoveWindow(&m_grid.GetWindowRect(), TRUE);
}

void CColourPopup::AddCellTips() {
    if (!m_tooltip.Create(this))
        return;
    for (int i = 0; i < m_grid.GetCount(); ++i) {
        CRect rc;
        if (CellRect(i, rc))
            m_tooltip.AddTool(this, ColourNameAt(i), &rc, (UINT_PTR)(i + 1));
    }
}

void CColourPopup::SelectCellForColour(COLORREF crColour) { m_nChosenColourSel = m_grid.SelectCellForColour(crColour); }

void CColourPopup::MoveHighlight(int nIndex) {
    if (nIndex > m_grid.GetCount())
        nIndex = POPUP_CUSTOM;
    const int nOld = m_nCurrentSel;
    if ((nOld >= 0 && nOld < m_grid.GetCount()) || nOld == POPUP_CUSTOM || nOld == POPUP_DEFAULT) {
        m_nCurrentSel = POPUP_NONE;
        CClientDC dc(this);
        PaintCell(&dc, nOld);
    }
    m_nCurrentSel = nIndex;
    {
        CClientDC dc(this);
        PaintCell(&dc, nIndex);
    }
    if (m_pParent == nullptr)
        return;
    if (nIndex == POPUP_CUSTOM) {
        m_pParent->SendMessage(UM_COLOR_SELCHANGE, (WPARAM)m_crInitialColour, 0);
    } else if (nIndex == POPUP_DEFAULT) {
        m_crColour = CLR_DEFAULT;
        m_pParent->SendMessage(UM_COLOR_SELCHANGE, (WPARAM)CLR_DEFAULT, 0);
    } else if (nIndex >= 0 && nIndex < m_grid.GetCount()) {
        m_crColour = ColourAt(nIndex);
        m_pParent->SendMessage(UM_COLOR_SELCHANGE, (WPARAM)m_crColour, 0);
    }
}

void CColourPopup::FinishChoice(UINT nMessage) {
    // Losing the activation while the window goes (another program's window
    // becomes active) must not report a second, contrary end.
    if (m_bFinished)
        return;
    ::ReleaseCapture();
    if (nMessage != UM_COLOR_SELENDCANCEL && m_nCurrentSel == POPUP_CUSTOM) {
        m_bChildWindowVisible = TRUE;
        CColorDialog dlg(m_crInitialColour, CC_FULLOPEN | CC_ANYCOLOR, this);
        if (dlg.DoModal() == IDOK)
            m_crColour = dlg.GetColor();
        else
            nMessage = UM_COLOR_SELENDCANCEL;
        m_bChildWindowVisible = FALSE;
    }
    if (nMessage == UM_COLOR_SELENDCANCEL)
        m_crColour = m_crInitialColour;
    if (!m_bChildWindowVisible)
        m_bFinished = TRUE;
    if (m_pParent != nullptr)
        m_pParent->SendMessage(nMessage, (WPARAM)m_crColour, 0);
    // The button may have closed us while it handled the notification.
    if (!m_bChildWindowVisible && m_hWnd != nullptr)
        DestroyWindow();
}

BOOL CColourPopup::PreTranslateMessage(MSG* pMsg) {
    if (m_tooltip.GetSafeHwnd() != nullptr)
        m_tooltip.RelayEvent(pMsg);
    // A button that releases the mouse after its click notification took the
    // capture from us; take it back.
    if (::GetCapture() != m_hWnd)
        SetCapture();
    return CWnd::PreTranslateMessage(pMsg);
}

void CColourPopup::OnPaint() {
    CPaintDC dc(this);
    if (m_grid.HasDefaultBox())
        PaintCell(&dc, POPUP_DEFAULT);
    for (int i = 0; i < m_grid.GetCount(); ++i)
        PaintCell(&dc, i);
    if (m_grid.HasCustomBox())
        PaintCell(&dc, POPUP_CUSTOM);
    CRect rc;
    GetClientRect(&rc);
    dc.DrawEdge(&rc, EDGE_RAISED, BF_RECT);
}

// The face, edge and text shared by the two boxes.
void CColourPopup::PaintBoxFace(CDC* pDC, CRect rect, int nIndex) {
    const bool bHighlighted = m_nCurrentSel == nIndex;
    const bool bChosen = m_nChosenColourSel == nIndex;
    pDC->FillSolidRect(&rect, ::GetSysColor(bChosen && !bHighlighted ? COLOR_3DLIGHT : COLOR_3DFACE));
    if (nIndex == POPUP_DEFAULT) {
        const int m = m_grid.GetMargin();
        CRect rcFrame = rect;
        rcFrame.DeflateRect(2 * m, 2 * m);
        CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_3DSHADOW));
        CSelectGuard penGuard(pDC, &pen);
        CSelectGuard brushGuard(pDC->GetSafeHdc(), ::GetStockObject(NULL_BRUSH));
        pDC->Rectangle(&rcFrame);
    }
    if (bHighlighted)
        pDC->DrawEdge(&rect, BDR_RAISEDINNER, BF_RECT);
    else if (bChosen)
        pDC->DrawEdge(&rect, BDR_SUNKENOUTER, BF_RECT);
    CSelectGuard fontGuard(pDC, &m_font);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF crOldText = pDC->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    pDC->DrawText(nIndex == POPUP_DEFAULT ? m_strDefaultText : m_strCustomText, &rect,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SetTextColor(crOldText);
    pDC->SetBkMode(nOldMode);
}

void CColourPopup::PaintCell(CDC* pDC, int nIndex) {
    CRect rect;
    if (!CellRect(nIndex, rect))
        return;
    const int m = m_grid.GetMargin();
    if (nIndex == POPUP_CUSTOM) {
        // The etched line sits at the box's top; the face starts below it.
        CRect rcLine(rect.left + 2 * m, rect.top, rect.left + 2 * m + rect.Width() - 4 * m, rect.top + 1);
        pDC->FillSolidRect(&rcLine, ::GetSysColor(COLOR_3DSHADOW));
        rcLine.OffsetRect(0, 1);
        pDC->FillSolidRect(&rcLine, ::GetSysColor(COLOR_3DHILIGHT));
        rect.top += 2 * m;
        pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_3DFACE));
        rect.DeflateRect(1, 1);
        PaintBoxFace(pDC, rect, nIndex);
        return;
    }
    if (nIndex == POPUP_DEFAULT) {
        pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_3DFACE));
        rect.DeflateRect(1, 1);
        PaintBoxFace(pDC, rect, nIndex);
        return;
    }
    HPALETTE hOldPalette = nullptr;
    if (pDC->GetDeviceCaps(RASTERCAPS) & RC_PALETTE) {
        hOldPalette = ::SelectPalette(pDC->GetSafeHdc(), (HPALETTE)m_palette.GetSafeHandle(), FALSE);
        pDC->RealizePalette();
    }
    const bool bHighlighted = m_nCurrentSel == nIndex;
    const bool bChosen = m_nChosenColourSel == nIndex;
    pDC->FillSolidRect(&rect, ::GetSysColor(bChosen && !bHighlighted ? COLOR_3DHILIGHT : COLOR_3DFACE));
    if (bHighlighted)
        pDC->DrawEdge(&rect, BDR_RAISEDINNER, BF_RECT);
    else if (bChosen)
        pDC->DrawEdge(&rect, BDR_SUNKENOUTER, BF_RECT);
    {
        CBrush brush(0x02000000 | ColourAt(nIndex));
        CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_3DSHADOW));
        CSelectGuard brushGuard(pDC, &brush);
        CSelectGuard penGuard(pDC, &pen);
        rect.DeflateRect(m + 1, m + 1);
        pDC->Rectangle(&rect);
    }
    if (hOldPalette != nullptr)
        ::SelectPalette(pDC->GetSafeHdc(), hOldPalette, FALSE);
}

void CColourPopup::OnMouseMove(UINT nFlags, CPoint point) {
    const int nTarget = m_grid.HitTest(point);
    if (nTarget != POPUP_NONE && nTarget != m_nCurrentSel)
        MoveHighlight(nTarget);
    CWnd::OnMouseMove(nFlags, point);
}

void CColourPopup::OnLButtonUp(UINT nFlags, CPoint point) {
    CWnd::OnLButtonUp(nFlags, point);
    // Where the button was released: the point of the message itself.
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    FinishChoice(rcWindow.PtInRect(ptScreen) ? UM_COLOR_SELENDOK : UM_COLOR_SELENDCANCEL);
}

void CColourPopup::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    switch (nChar) {
    case VK_DOWN:
        MoveHighlight(m_grid.NextIndex(m_nCurrentSel, POPUPKEY_DOWN));
        break;
    case VK_UP:
        MoveHighlight(m_grid.NextIndex(m_nCurrentSel, POPUPKEY_UP));
        break;
    case VK_RIGHT:
        MoveHighlight(m_grid.NextIndex(m_nCurrentSel, POPUPKEY_RIGHT));
        break;
    case VK_LEFT:
        MoveHighlight(m_grid.NextIndex(m_nCurrentSel, POPUPKEY_LEFT));
        break;
    case VK_ESCAPE:
        m_crColour = m_crInitialColour;
        FinishChoice(UM_COLOR_SELENDCANCEL);
        break;
    case VK_RETURN:
    case VK_SPACE:
        FinishChoice(UM_COLOR_SELENDOK);
        break;
    default:
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        break;
    }
}

LRESULT CColourPopup::OnQueryNewPalette(WPARAM, LPARAM) {
    Invalidate();
    return Default();
}

LRESULT CColourPopup::OnPaletteChanged(WPARAM wParam, LPARAM) {
    LRESULT lResult = Default();
    if ((HWND)wParam != m_hWnd)
        Invalidate();
    return lResult;
}

void CColourPopup::OnKillFocus(CWnd* pNewWnd) {
    CWnd::OnKillFocus(pNewWnd);
    ::ReleaseCapture();
}

void CColourPopup::OnActivateApp(BOOL bActive, DWORD dwThreadID) {
    Default();
    (void)dwThreadID;
    if (!bActive)
        FinishChoice(UM_COLOR_SELENDCANCEL);
}

// --- the button's link ---------------------------------------------------

BOOL CColourPopupLink::Open(CWnd* pButton, COLORREF crColour, LPCSTR szDefaultText, LPCSTR szCustomText) {
    Close(pButton);
    CRect rc;
    pButton->GetWindowRect(&rc);
    CColourPopup* pPopup = CColourPopup::Open(CPoint(rc.left, rc.bottom), crColour, pButton, szDefaultText,
                                              szCustomText);
    m_hWndPopup = pPopup != nullptr ? pPopup->m_hWnd : nullptr;
    return pPopup != nullptr;
}

CColourPopup* CColourPopupLink::Get(const CWnd* pButton) const {
    if (m_hWndPopup == nullptr)
        return nullptr;
    CColourPopup* pPopup = DYNAMIC_DOWNCAST(CColourPopup, CWnd::FromHandlePermanent(m_hWndPopup));
    return pPopup != nullptr && pPopup->GetParentButton() == pButton ? pPopup : nullptr;
}

void CColourPopupLink::Close(const CWnd* pButton) {
    if (CColourPopup* pPopup = Get(pButton))
        pPopup->DestroyWindow();
    m_hWndPopup = nullptr;
}

void NotifyColourParent(CWnd* pButton, UINT nMessage, COLORREF crColour) {
    if (CWnd* pParent = pButton->GetParent())
        pParent->SendMessage(nMessage, (WPARAM)crColour, (LPARAM)pButton->GetDlgCtrlID());
}

void NotifyColourEnd(CWnd* pButton, BOOL bOK, COLORREF crOld, COLORREF crNew) {
    NotifyColourParent(pButton, UM_COLOR_CLOSEUP, crNew);
    NotifyColourParent(pButton, bOK ? UM_COLOR_SELENDOK : UM_COLOR_SELENDCANCEL, crNew);
    if (bOK && crNew != crOld)
        NotifyColourParent(pButton, UM_COLOR_SELCHANGE, crNew);
}

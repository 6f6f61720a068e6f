#include "controls/buttongroup.h"

IMPLEMENT_DYNAMIC(CStateButton, CButton)

BEGIN_MESSAGE_MAP(CStateButton, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONUP()
    ON_WM_KEYDOWN()
    ON_WM_KILLFOCUS()
    ON_MESSAGE(BM_SETCHECK, OnSetCheck)
    ON_MESSAGE(BM_GETCHECK, OnGetCheck)
    ON_MESSAGE(UM_UNCHECKGROUP, OnUncheckGroup)
END_MESSAGE_MAP()

namespace {

bool AnswersUncheck(HWND hWnd) {
    return DYNAMIC_DOWNCAST(CStateButton, CWnd::FromHandlePermanent(hWnd)) != nullptr;
}

}  // namespace

void UncheckRadioGroup(CWnd* pButton) {
    HWND hButton = pButton->GetSafeHwnd();
    if (hButton == nullptr || ::GetParent(hButton) == nullptr)
        return;
    // The group runs from the last WS_GROUP sibling at or before the button
    // to the next WS_GROUP sibling, whatever their state; the platform's own
    // walk skips disabled and hidden controls and could leave two checked.
    HWND hFirst = hButton;
    while (!(::GetWindowLongA(hFirst, GWL_STYLE) & WS_GROUP)) {
        HWND hPrev = ::GetWindow(hFirst, GW_HWNDPREV);
        if (hPrev == nullptr)
            break;
        hFirst = hPrev;
    }
    for (HWND h = hFirst; h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h != hFirst && (::GetWindowLongA(h, GWL_STYLE) & WS_GROUP))
            break;
        if (h != hButton && AnswersUncheck(h))
            ::SendMessageA(h, UM_UNCHECKGROUP, 0, 0);
    }
}

BOOL TrackMouseLeave(HWND hWnd, BOOL bCancel) {
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof(tme);
    tme.dwFlags = bCancel ? (TME_CANCEL | TME_LEAVE) : TME_LEAVE;
    tme.hwndTrack = hWnd;
    return ::TrackMouseEvent(&tme);
}

void CStateButton::RelayToTooltip(UINT nMessage, UINT nFlags, CPoint point) {
    if (m_tooltip.GetSafeHwnd() == nullptr)
        return;
    MSG msg{m_hWnd, nMessage, (WPARAM)nFlags, MAKELPARAM(point.x, point.y), 0, {0, 0}};
    m_tooltip.RelayEvent(&msg);
}

BOOL CStateButton::FollowCapturedPress() {
    if (!m_bButtonDown || ::GetCapture() != m_hWnd)
        return FALSE;
    CPoint pt;
    ::GetCursorPos(&pt);
    const BOOL bOver = ::WindowFromPoint(pt) == m_hWnd;
    if (bOver == ((GetState() & BST_PUSHED) != 0))
        return FALSE;
    SetState(bOver);
    return TRUE;
}

BOOL CStateButton::OnEraseBkgnd(CDC*) { return TRUE; }

void CStateButton::OnMouseMove(UINT nFlags, CPoint point) {
    RelayToTooltip(WM_MOUSEMOVE, nFlags, point);
    if (m_bButtonDown && ::GetCapture() == m_hWnd) {
        CPoint ptScreen = point;
        ClientToScreen(&ptScreen);
        const BOOL bOver = ::WindowFromPoint(ptScreen) == m_hWnd;
        if (bOver != ((GetState() & BST_PUSHED) != 0)) {
            SetState(bOver);
            Repaint();
        }
    } else if (!m_bHover && TrackMouseLeave(m_hWnd, FALSE)) {
        m_bHover = TRUE;
        Repaint();
    }
    CButton::OnMouseMove(nFlags, point);
}

void CStateButton::OnMouseLeave() {
    m_bHover = FALSE;
    Repaint();
}

void CStateButton::OnLButtonDown(UINT nFlags, CPoint point) {
    RelayToTooltip(WM_LBUTTONDOWN, nFlags, point);
    if (m_bHover && TrackMouseLeave(m_hWnd, TRUE))
        m_bHover = FALSE;
    CButton::OnLButtonDown(nFlags, point);
    m_bButtonDown = TRUE;
}

void CStateButton::OnLButtonDblClk(UINT nFlags, CPoint point) {
    SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}

void CStateButton::OnLButtonUp(UINT nFlags, CPoint point) {
    if (IsCheckKind()) {
        CPoint ptScreen = point;
        ClientToScreen(&ptScreen);
        if (::WindowFromPoint(ptScreen) == m_hWnd && (m_bButtonDown || !m_bCheckOnlyAfterPress))
            SetCheck(ToggledCheck());
    }
    RelayToTooltip(WM_LBUTTONUP, nFlags, point);
    m_bButtonDown = FALSE;
    CButton::OnLButtonUp(nFlags, point);
}

void CStateButton::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (IsCheckKind() && nChar == VK_SPACE)
        SetCheck(ToggledCheck());
    CButton::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CStateButton::OnKillFocus(CWnd* pNewWnd) {
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    m_bButtonDown = FALSE;
    CButton::OnKillFocus(pNewWnd);
}

LRESULT CStateButton::OnSetCheck(WPARAM wParam, LPARAM) {
    const BOOL bWasChecked = m_bChecked;
    m_bChecked = m_nKind != 0 && wParam != 0;
    if (m_nKind == 4 && m_bChecked && !bWasChecked)
        UncheckRadioGroup(this);
    OnCheckChanged(TRUE);
    Repaint();
    return 0;
}

LRESULT CStateButton::OnGetCheck(WPARAM, LPARAM) { return m_bChecked; }

LRESULT CStateButton::OnUncheckGroup(WPARAM, LPARAM) {
    if (m_bChecked) {
        m_bChecked = FALSE;
        OnCheckChanged(FALSE);
        Repaint();
    }
    return 0;
}

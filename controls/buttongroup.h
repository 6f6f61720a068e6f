// What the shaded and the bitmap-skinned buttons share: the private message
// that unchecks a radio button of the same dialog group, the walk that sends
// it, and the button state and mouse handling of CStateButton.
#pragma once

#include <windows.h>

#include "afx/afxwnd.h"

// Clears the check of the button that receives it and repaints; returns 0.
const UINT UM_UNCHECKGROUP = 0x0500;

// Sends UM_UNCHECKGROUP to every other button of pButton's dialog group that
// answers it (shaded and skinned buttons), disabled and hidden ones too,
// before returning: one radio button of a group stays checked.
void UncheckRadioGroup(CWnd* pButton);

// Mouse tracking of the buttons: TME_LEAVE on, or cancelled.
BOOL TrackMouseLeave(HWND hWnd, BOOL bCancel);

#include "afx/afxctl.h"

// The owner-drawn button both kinds are: hover through mouse-leave tracking,
// a press that follows the mouse while captured, the tooltip's relay, and a
// check state kept by the button itself for the check box and radio kinds
// (0 push, 2 check box, 4 radio button, as in the style's low byte).
class CStateButton : public CButton {
    DECLARE_DYNAMIC(CStateButton)
public:
    UINT GetKind() const { return m_nKind; }
    BOOL IsHovering() const { return m_bHover; }
    CToolTipCtrl* GetToolTip() { return m_tooltip.GetSafeHwnd() ? &m_tooltip : nullptr; }

protected:
    // bCheckOnlyAfterPress: a release checks only a button pressed before it.
    explicit CStateButton(BOOL bCheckOnlyAfterPress) : m_bCheckOnlyAfterPress(bCheckOnlyAfterPress) {}

    BOOL IsCheckKind() const { return m_nKind == 2 || m_nKind == 4; }
    // The next check state a click or the space bar gives.
    BOOL ToggledCheck() const { return m_nKind == 2 ? !m_bChecked : TRUE; }
    void RelayToTooltip(UINT nMessage, UINT nFlags, CPoint point);
    void Repaint() { Invalidate(FALSE); }
    // While the button is pressed with the mouse captured, its pushed look
    // follows the pointer; TRUE when the state changed (a repaint follows).
    BOOL FollowCapturedPress();
    // After the check changed (bSet) or a group unchecked it: tooltips follow.
    virtual void OnCheckChanged(BOOL bSet) { (void)bSet; }

    BOOL m_bChecked = FALSE;
    UINT m_nKind = 0;
    BOOL m_bHover = FALSE;
    BOOL m_bButtonDown = FALSE;
    CToolTipCtrl m_tooltip;

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnUncheckGroup(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    const BOOL m_bCheckOnlyAfterPress;
};

// A simple progress bar painting a two-colour gradient itself, with an
// optional percentage in its middle; it keeps its own range, position and
// step and passes each change to the platform control underneath.
#pragma once

#include <windows.h>

#include "afx/afxctl.h"

class CTextProgressCtrl : public CProgressCtrl {
    DECLARE_DYNAMIC(CTextProgressCtrl)
public:
    CTextProgressCtrl();

    void SetRange(int nLower, int nUpper);
    void SetRange32(int nLower, int nUpper) { SetRange(nLower, nUpper); }
    void GetRange(int& nLower, int& nUpper) const {
        nLower = m_nLower;
        nUpper = m_nUpper;
    }
    int SetPos(int nPos);
    int GetPos() const { return m_nPos; }
    int SetStep(int nStep);
    int GetStep() const { return m_nStep; }
    // Moves by the step without clamping, as the platform control's own copy does not.
    int StepIt();
    void SetStartColour(COLORREF cr);
    void SetEndColour(COLORREF cr);
    COLORREF GetStartColour() const { return m_crStart; }
    COLORREF GetEndColour() const { return m_crEnd; }
    BOOL GetShowText() const { return m_bShowText; }

protected:
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep = 10;
    int m_nPos = 0;
    COLORREF m_crStart = 0x0000FF;
    COLORREF m_crEnd = 0xFF0000;
    COLORREF m_crBk;
    COLORREF m_crText = 0xFFFFFF;
    BOOL m_bShowText = FALSE;

    void Repaint();
    void Paint(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};

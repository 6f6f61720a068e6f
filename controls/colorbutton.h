// A second owner-drawn colour button: a push-button frame with a swatch, an
// etched divider and a small drop-down triangle, opening the same popup.
#pragma once

#include <windows.h>

#include "afx/afxctl.h"
#include "afx/afxdlg.h"
#include "afx/afxstr.h"
#include "controls/colourpopup.h"

class CColorButton : public CButton {
    DECLARE_DYNCREATE(CColorButton)
public:
    CColorButton();
    ~CColorButton() override;

    COLORREF GetColor() const { return m_Color; }
    void SetColor(COLORREF Color);
    COLORREF GetDefaultColor() const { return m_DefaultColor; }
    void SetDefaultColor(COLORREF Color) { m_DefaultColor = Color; }
    void SetDefaultText(LPCSTR szDefaultText) { m_strDefaultText = szDefaultText ? szDefaultText : ""; }
    void SetCustomText(LPCSTR szCustomText) { m_strCustomText = szCustomText ? szCustomText : ""; }
    BOOL GetTrackSelection() const { return m_bTrackSelection; }
    void SetTrackSelection(BOOL bTrack) { m_bTrackSelection = bTrack; }
    BOOL IsPopupOpen() const { return m_bPopupActive; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    // A filled triangle: 0 points down, 1 up, 2 left, 3 right.
    static void DrawArrow(CDC* pDC, const RECT& rect, int nDirection, COLORREF clrArrow);

protected:
    void PreSubclassWindow() override;
    void NotifyParent(UINT nMessage, COLORREF crColour);

    COLORREF m_Color = CLR_DEFAULT;
    COLORREF m_DefaultColor;
    CString m_strDefaultText = "Automatic";
    CString m_strCustomText = "More Colors...";
    BOOL m_bPopupActive = FALSE;
    BOOL m_bTrackSelection = FALSE;
    CColourPopupLink m_popup;

    afx_msg BOOL OnClicked();
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnSelEndOK(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSelEndCancel(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSelChange(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

void DDX_ColorButton(CDataExchange* pDX, int nIDC, COLORREF& crColour);

// An owner-drawn push button showing a colour, with a drop-down arrow; a
// click opens the colour popup and the choice comes back to the dialog as
// UM_COLOR_* notifications.
#pragma once

#include <windows.h>

#include "afx/afxctl.h"
#include "afx/afxdlg.h"
#include "afx/afxstr.h"
#include "controls/colourpopup.h"

class CColourPicker : public CButton {
    DECLARE_DYNCREATE(CColourPicker)
public:
    CColourPicker();
    ~CColourPicker() override;

    COLORREF GetColour() const;
    void SetColour(COLORREF crColour);
    COLORREF GetBkColour() const { return m_crColourBk; }
    void SetBkColour(COLORREF crColourBk);
    COLORREF GetTextColour() const { return m_crColourText; }
    void SetTextColour(COLORREF crColourText);
    void SetDefaultText(LPCSTR szDefaultText);
    void SetCustomText(LPCSTR szCustomText);
    void SetTrackSelection(BOOL bTracking) { m_bTrackSelection = bTracking; }
    BOOL GetTrackSelection() const { return m_bTrackSelection; }
    BOOL IsPopupOpen() const { return m_bActive; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void PreSubclassWindow() override;
    void SetWindowSize();
    void Redraw();
    void NotifyParent(UINT nMessage, COLORREF crColour);

    BOOL m_bActive = FALSE;  // the popup is open
    BOOL m_bTrackSelection = FALSE;
    COLORREF m_crColourBk;
    COLORREF m_crColourText;
    int m_nSelectionMode = 2;  // 1: the choice is the text colour, 2: the background
    CRect m_ArrowRect;
    CString m_strDefaultText = "Automatic";
    CString m_strCustomText = "More Colours...";
    CColourPopupLink m_popup;

    afx_msg BOOL OnClicked();
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnSelEndOK(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSelEndCancel(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSelChange(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

void DDX_ColourPicker(CDataExchange* pDX, int nIDC, COLORREF& crColour);

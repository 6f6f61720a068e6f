// The drop-down grid of 40 named colours with an "Automatic" box above it and
// a "More Colours..." box below, opened by the colour buttons. It reports to
// the button that opened it and deletes itself when its window goes.
#pragma once

#include <windows.h>

#include "afx/afxctl.h"
#include "afx/afxgdi.h"
#include "afx/afxstr.h"
#include "afx/afxwnd.h"
#include "controls/colourgrid.h"

// Notifications, popup -> button with (colour, 0), button -> its parent with
// (colour, control id); all sent.
const UINT UM_COLOR_SELCHANGE = 0x07E9;
const UINT UM_COLOR_DROPDOWN = 0x07EA;
const UINT UM_COLOR_CLOSEUP = 0x07EB;
const UINT UM_COLOR_SELENDOK = 0x07EC;
const UINT UM_COLOR_SELENDCANCEL = 0x07ED;

class CColourPopup : public CWnd {
    DECLARE_DYNAMIC(CColourPopup)
public:
    CColourPopup();
    // Creates the window at once; check GetSafeHwnd() (or use Open).
    CColourPopup(CPoint p, COLORREF crColour, CWnd* pParentWnd, LPCSTR szDefaultText = nullptr,
                 LPCSTR szCustomText = nullptr);
    ~CColourPopup() override;

    BOOL Create(CPoint p, COLORREF crColour, CWnd* pParentWnd, LPCSTR szDefaultText = nullptr,
                LPCSTR szCustomText = nullptr);
    // A popup whose window could not be made is deleted here: null then.
    static CColourPopup* Open(CPoint p, COLORREF crColour, CWnd* pParentWnd, LPCSTR szDefaultText,
                              LPCSTR szCustomText);

    BOOL PreTranslateMessage(MSG* pMsg) override;

    const CColourGrid& GetGrid() const { return m_grid; }
    int GetHighlight() const { return m_nCurrentSel; }
    int GetChosen() const { return m_nChosenColourSel; }
    CWnd* GetParentButton() const { return m_pParent; }

protected:
    void Initialise();
    void LayOut();
    void AddCellTips();
    void SelectCellForColour(COLORREF crColour);
    void MoveHighlight(int nIndex);
    void FinishChoice(UINT nMessage);
    void PaintCell(CDC* pDC, int nIndex);
    void PaintBoxFace(CDC* pDC, CRect rect, int nIndex);
    BOOL CellRect(int nIndex, RECT& rect) const { return m_grid.CellRect(nIndex, rect); }
    int IndexAt(int nRow, int nColumn) const { return m_grid.IndexAt(nRow, nColumn); }
    int RowOf(int nIndex) const { return m_grid.RowOf(nIndex); }
    int ColumnOf(int nIndex) const { return m_grid.ColumnOf(nIndex); }
    COLORREF ColourAt(int nIndex) const { return m_grid.ColourAt(nIndex); }
    const char* ColourNameAt(int nIndex) const { return m_grid.ColourNameAt(nIndex); }
    void PostNcDestroy() override;

    CColourGrid m_grid;
    int m_nCurrentSel = POPUP_NONE;
    int m_nChosenColourSel = POPUP_NONE;
    CString m_strDefaultText;
    CString m_strCustomText;
    CFont m_font;
    CPalette m_palette;
    COLORREF m_crInitialColour = 0;
    COLORREF m_crColour = 0;
    CToolTipCtrl m_tooltip;
    CWnd* m_pParent = nullptr;
    BOOL m_bChildWindowVisible = FALSE;  // the colour dialog is open
    BOOL m_bDeleteOnDestroy = FALSE;     // set once the window exists
    BOOL m_bFinished = FALSE;            // the final notification went out

    afx_msg void OnNcDestroy();
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnPaint();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg LRESULT OnQueryNewPalette(WPARAM, LPARAM);
    afx_msg LRESULT OnPaletteChanged(WPARAM wParam, LPARAM);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    DECLARE_MESSAGE_MAP()
};

// Tells pButton's parent a colour message: the colour in wParam, the
// button's id in lParam.
void NotifyColourParent(CWnd* pButton, UINT nMessage, COLORREF crColour);
// The end of a popup as the parent hears it: the close-up, then the OK or the
// cancel, then, after an OK that changed the colour, the change.
void NotifyColourEnd(CWnd* pButton, BOOL bOK, COLORREF crOld, COLORREF crNew);

// A button's hold on the popup it opened: the window handle, checked at each
// use, so that a popup that has gone is never touched.
class CColourPopupLink {
public:
    // Opens a popup below pButton (above it when there is no room).
    BOOL Open(CWnd* pButton, COLORREF crColour, LPCSTR szDefaultText, LPCSTR szCustomText);
    CColourPopup* Get(const CWnd* pButton) const;
    // Destroys the popup if it is still open.
    void Close(const CWnd* pButton);

private:
    HWND m_hWndPopup = nullptr;
};

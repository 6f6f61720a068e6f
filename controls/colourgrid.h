// The colour popup's model: its table of 40 colours, the grid geometry, the
// hit test, the arrow-key moves and the cell a colour selects. No window.
#pragma once

#include "afx/afxgeom.h"
#include "afx/wintypes.h"

#ifndef CLR_DEFAULT
#define CLR_DEFAULT 0xFF000000L
#endif

struct POPUPCOLOUR {
    COLORREF crColour;
    const char* pszName;
};

const int kPopupColourCount = 40;
// Grid order, row by row, 8 per row; the names are the cells' tooltips.
extern const POPUPCOLOUR g_popupColours[kPopupColourCount];

// Index values besides the cells 0..count-1.
enum {
    POPUP_NONE = -1,
    POPUP_CUSTOM = -2,   // "More Colours..."
    POPUP_DEFAULT = -3,  // "Automatic"
};

enum POPUPKEY { POPUPKEY_DOWN, POPUPKEY_UP, POPUPKEY_RIGHT, POPUPKEY_LEFT };

class CColourGrid {
public:
    // nMargin is the system edge width; a box too small for a swatch grows.
    explicit CColourGrid(int nMargin, int nCount = kPopupColourCount);

    // Lays the popup out at ptOrigin (screen) for boxes of the given texts;
    // szText is the larger width and the larger height of the non-empty
    // texts. Keeps the window on a screen of szScreen, opening above a button
    // nButtonHeight tall when there is no room below.
    void LayOut(CPoint ptOrigin, bool bDefaultBox, bool bCustomBox, CSize szText, CSize szScreen,
                int nButtonHeight);

    int GetCount() const { return m_nCount; }
    int GetColumns() const { return m_nColumns; }
    int GetRows() const { return m_nRows; }
    int GetBoxSize() const { return m_nBoxSize; }
    int GetMargin() const { return m_nMargin; }
    bool HasDefaultBox() const { return m_bDefaultBox; }
    bool HasCustomBox() const { return m_bCustomBox; }
    const CRect& GetWindowRect() const { return m_rectWindow; }  // screen
    const CRect& GetDefaultBox() const { return m_rectDefault; }  // client
    const CRect& GetCustomBox() const { return m_rectCustom; }    // client

    BOOL CellRect(int nIndex, RECT& rect) const;
    int IndexAt(int nRow, int nColumn) const;
    int RowOf(int nIndex) const;
    int ColumnOf(int nIndex) const;
    COLORREF ColourAt(int nIndex) const;     // 0 outside the table
    const char* ColourNameAt(int nIndex) const;  // "" outside the table

    // What a point of the client area lies on: a cell, a box, or nothing.
    int HitTest(CPoint pt) const;
    // Where an arrow key takes the highlight from nIndex (POPUP_NONE: none yet).
    int NextIndex(int nIndex, POPUPKEY nKey) const;
    // The cell marked as chosen for a colour the popup opens with.
    int SelectCellForColour(COLORREF crColour) const;

private:
    int m_nCount;
    int m_nColumns = 0;
    int m_nRows = 0;
    int m_nBoxSize = 18;
    int m_nMargin;
    bool m_bDefaultBox = false;
    bool m_bCustomBox = false;
    CRect m_rectWindow;
    CRect m_rectDefault;
    CRect m_rectCustom;
};

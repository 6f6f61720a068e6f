#include "controls/colourgrid.h"

const POPUPCOLOUR g_popupColours[kPopupColourCount] = {
    {0x000000, "Black"},        {0x002AA5, "Brown"},          {0x404000, "Dark Olive Green"},
    {0x005500, "Dark Green"},   {0x5E0000, "Dark Teal"},      {0x8B0000, "Dark blue"},
    {0x82004B, "Indigo"},       {0x282828, "Dark grey"},      {0x00008B, "Dark red"},
    {0x2068FF, "Orange"},       {0x008B8B, "Dark yellow"},    {0x009300, "Green"},
    {0x8E8E38, "Teal"},         {0xFF0000, "Blue"},           {0xC07B7B, "Blue-grey"},
    {0x666666, "Grey - 40"},    {0x0000FF, "Red"},            {0x5BADFF, "Light orange"},
    {0x32CD32, "Lime"},         {0x71B33C, "Sea green"},      {0xD4FF7F, "Aqua"},
    {0xC09E7D, "Light blue"},   {0x800080, "Violet"},         {0x7F7F7F, "Grey - 50"},
    {0xCBC0FF, "Pink"},         {0x00D7FF, "Gold"},           {0x00FFFF, "Yellow"},
    {0x00FF00, "Bright green"}, {0xD0E040, "Turquoise"},      {0xFFFFC0, "Skyblue"},
    {0x480048, "Plum"},         {0xC0C0C0, "Light grey"},     {0xE1E4FF, "Rose"},
    {0x8CB4D2, "Tan"},          {0xE0FFFF, "Light yellow"},   {0x98FB98, "Pale green "},
    {0xEEEEAF, "Pale turquoise"}, {0x8B8368, "Pale blue"},    {0xFAE6E6, "Lavender"},
    {0xFFFFFF, "White"},
};

CColourGrid::CColourGrid(int nMargin, int nCount)
    : m_nCount(nCount < 0 ? 0 : (nCount > kPopupColourCount ? kPopupColourCount : nCount)), m_nMargin(nMargin) {
    if (m_nBoxSize - 2 * m_nMargin - 2 < 5)
        m_nBoxSize = 2 * m_nMargin + 7;
}

void CColourGrid::LayOut(CPoint ptOrigin, bool bDefaultBox, bool bCustomBox, CSize szText, CSize szScreen,
                         int nButtonHeight) {
    const int m = m_nMargin, b = m_nBoxSize;
    m_bDefaultBox = bDefaultBox;
    m_bCustomBox = bCustomBox;
    int nTextWidth = 0, nTextHeight = 0;
    if (bDefaultBox || bCustomBox) {
        nTextWidth = szText.cx + 2 * m;
        nTextHeight = szText.cy + 4 * m + 2;
    }
    m_nColumns = 8;
    m_nRows = m_nCount / m_nColumns + (m_nCount % m_nColumns ? 1 : 0);
    int nWidth = m_nColumns * b + 2 * m;
    int nHeight = m_nRows * b + 2 * m;
    m_rectDefault.SetRectEmpty();
    m_rectCustom.SetRectEmpty();
    if (bDefaultBox) {
        if (nWidth < nTextWidth)
            nWidth = nTextWidth;
        m_rectDefault.SetRect(m, m, nWidth - m, nTextHeight + 2 * m);
        nHeight += m_rectDefault.Height() + 2 * m;
    }
    if (bCustomBox) {
        if (nWidth < nTextWidth)
            nWidth = nTextWidth;
        m_rectCustom.SetRect(m, nHeight, nWidth - m, nHeight + m + nTextHeight);
        nHeight += m_rectCustom.Height() + 2 * m;
    }

    m_rectWindow.SetRect(ptOrigin.x, ptOrigin.y, ptOrigin.x + nWidth, ptOrigin.y + nHeight);
    if (m_rectWindow.right > szScreen.cx)
        m_rectWindow.OffsetRect(szScreen.cx - m_rectWindow.right, 0);
    if (m_rectWindow.left < 0)
        m_rectWindow.OffsetRect(-m_rectWindow.left, 0);
    if (m_rectWindow.bottom > szScreen.cy)
        m_rectWindow.OffsetRect(0, -(nButtonHeight + m_rectWindow.Height()));
}

BOOL CColourGrid::CellRect(int nIndex, RECT& rect) const {
    if (nIndex == POPUP_CUSTOM && m_bCustomBox) {
        rect = m_rectCustom;
        return TRUE;
    }
    if (nIndex == POPUP_DEFAULT && m_bDefaultBox) {
        rect = m_rectDefault;
        return TRUE;
    }
    if (nIndex < 0 || nIndex >= m_nCount || m_nColumns == 0)
        return FALSE;
    const int m = m_nMargin, b = m_nBoxSize;
    rect.left = (nIndex % m_nColumns) * b + m;
    rect.top = (nIndex / m_nColumns) * b + m;
    if (m_bDefaultBox)
        rect.top += m + m_rectDefault.Height();
    rect.right = rect.left + b;
    rect.bottom = rect.top + b;
    return TRUE;
}

int CColourGrid::IndexAt(int nRow, int nColumn) const {
    if ((nRow == POPUP_CUSTOM || nColumn == POPUP_CUSTOM) && m_bCustomBox)
        return POPUP_CUSTOM;
    if ((nRow == POPUP_DEFAULT || nColumn == POPUP_DEFAULT) && m_bDefaultBox)
        return POPUP_DEFAULT;
    if (nRow < 0 || nColumn < 0 || nRow >= m_nRows || nColumn >= m_nColumns)
        return POPUP_NONE;
    const int nIndex = nRow * m_nColumns + nColumn;
    return nIndex >= m_nCount ? POPUP_NONE : nIndex;
}

int CColourGrid::RowOf(int nIndex) const {
    if ((nIndex == POPUP_CUSTOM && m_bCustomBox) || (nIndex == POPUP_DEFAULT && m_bDefaultBox))
        return nIndex;
    if (nIndex < 0 || nIndex >= m_nCount || m_nColumns == 0)
        return POPUP_NONE;
    return nIndex / m_nColumns;
}

int CColourGrid::ColumnOf(int nIndex) const {
    if ((nIndex == POPUP_CUSTOM && m_bCustomBox) || (nIndex == POPUP_DEFAULT && m_bDefaultBox))
        return nIndex;
    if (nIndex < 0 || nIndex >= m_nCount || m_nColumns == 0)
        return POPUP_NONE;
    return nIndex % m_nColumns;
}

COLORREF CColourGrid::ColourAt(int nIndex) const {
    return nIndex >= 0 && nIndex < m_nCount ? g_popupColours[nIndex].crColour : 0;
}

const char* CColourGrid::ColourNameAt(int nIndex) const {
    return nIndex >= 0 && nIndex < m_nCount ? g_popupColours[nIndex].pszName : "";
}

int CColourGrid::HitTest(CPoint pt) const {
    if (m_bCustomBox && m_rectCustom.PtInRect(pt))
        return POPUP_CUSTOM;
    if (m_bDefaultBox && m_rectDefault.PtInRect(pt))
        return POPUP_DEFAULT;
    RECT rcFirst;
    if (!CellRect(0, rcFirst))
        return POPUP_NONE;
    const int x = pt.x - rcFirst.left, y = pt.y - rcFirst.top;
    if (x < 0 || y < 0)
        return POPUP_NONE;
    return IndexAt(y / m_nBoxSize, x / m_nBoxSize);
}

int CColourGrid::NextIndex(int nIndex, POPUPKEY nKey) const {
    const bool bDefault = m_bDefaultBox, bCustom = m_bCustomBox;
    const int nLast = m_nCount - 1;
    int nRow = RowOf(nIndex), nColumn = ColumnOf(nIndex);
    // The fall-backs when a move leaves the grid.
    auto CustomDefaultFirst = [&] { return bCustom ? POPUP_CUSTOM : bDefault ? POPUP_DEFAULT : IndexAt(0, 0); };
    auto DefaultCustomLast = [&] { return bDefault ? POPUP_DEFAULT : bCustom ? POPUP_CUSTOM : nLast; };
    switch (nKey) {
    case POPUPKEY_DOWN:
        if (nRow == POPUP_DEFAULT)
            return IndexAt(0, 0);
        if (nRow == POPUP_CUSTOM)
            return bDefault ? POPUP_DEFAULT : IndexAt(0, 0);
        return IndexAt(nRow + 1, nColumn) == POPUP_NONE ? CustomDefaultFirst() : IndexAt(nRow + 1, nColumn);
    case POPUPKEY_UP:
        if (nRow == POPUP_DEFAULT)
            return bCustom ? POPUP_CUSTOM : nLast;
        if (nRow == POPUP_CUSTOM)
            return nLast;
        if (nRow >= 1)
            return IndexAt(nRow - 1, nColumn);
        return DefaultCustomLast();
    case POPUPKEY_RIGHT: {
        if (nRow == POPUP_DEFAULT)
            return IndexAt(0, 0);
        if (nRow == POPUP_CUSTOM)
            return bDefault ? POPUP_DEFAULT : IndexAt(0, 0);
        if (nColumn == m_nColumns - 1)
            ++nRow;
        nColumn = nColumn == m_nColumns - 1 ? 0 : nColumn + 1;
        const int nNext = IndexAt(nRow, nColumn);
        return nNext == POPUP_NONE ? CustomDefaultFirst() : nNext;
    }
    case POPUPKEY_LEFT:
        if (nRow == POPUP_DEFAULT)
            return bCustom ? POPUP_CUSTOM : nLast;
        if (nRow == POPUP_CUSTOM)
            return nLast;
        if (nColumn > 0)
            return IndexAt(nRow, nColumn - 1);
        if (nRow >= 1)
            return IndexAt(nRow - 1, m_nColumns - 1);
        return DefaultCustomLast();
    }
    return nIndex;
}

int CColourGrid::SelectCellForColour(COLORREF crColour) const {
    if (crColour == (COLORREF)CLR_DEFAULT && m_bDefaultBox)
        return POPUP_DEFAULT;
    for (int i = 0; i < m_nCount; ++i)
        if (g_popupColours[i].crColour == crColour)
            return i;
    return m_bCustomBox ? POPUP_CUSTOM : POPUP_NONE;
}

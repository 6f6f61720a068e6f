// CReportCtrl: cell layout, drawing, measuring, fitting columns, and the
// mouse, keyboard and in-place editing.
#include "controls/reportctrl.h"

#include <algorithm>

namespace {

bool KeyHeld(int nVirtKey) { return ::GetKeyState(nVirtKey) < 0; }

} // namespace

// --- layout ----------------------------------------------------------------------

bool CReportCtrl::HasGridLines() const { return (CListCtrl::GetExtendedStyle() & LVS_EX_GRIDLINES) != 0; }

BOOL CReportCtrl::GetCellRect(DWORD hItem, int nColumn, int nPart, CRect& rc) const
{
    FlushRowCount();
    const int nRow = m_model.GetItemRow(hItem);
    if (nPart == RVP_ROW || nPart == RVP_TOPROW || nPart == RVP_ROWSAREA) {
        int nTop = GetTopIndex();
        int nFrom = nPart == RVP_ROW ? nRow : nTop;
        if (nFrom < 0 || nFrom >= m_model.GetRowCount())
            return FALSE;
        rc.left = LVIR_BOUNDS;
        if (!::SendMessageA(m_hWnd, LVM_GETITEMRECT, (WPARAM)nFrom, (LPARAM)&rc))
            return FALSE;
        if (nPart == RVP_ROWSAREA) {
            int nRows = std::min(m_model.GetRowCount() - nTop, GetCountPerPage() + 1);
            rc.bottom = rc.top + nRows * rc.Height();
        }
        return TRUE;
    }
    const CReportColumn* pColumn = m_model.GetColumn(nColumn);
    if (pColumn == nullptr)
        return FALSE;
    if (nPart == RVP_COLUMNSTRIP) {
        HWND hHeader = (HWND)::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0);
        CRect rcClient, rcItem;
        GetClientRect(&rcClient);
        if (hHeader == nullptr || !::SendMessageA(hHeader, HDM_GETITEMRECT, (WPARAM)nColumn, (LPARAM)&rcItem))
            return FALSE;
        CRect rcHeader;
        ::GetWindowRect(hHeader, &rcHeader);
        ScreenToClient(&rcHeader);
        int nTop = ::IsWindowVisible(hHeader) ? rcHeader.bottom : rcClient.top;
        rc = CRect(rcHeader.left + rcItem.left, nTop, rcHeader.left + rcItem.right, rcClient.bottom);
        return TRUE;
    }
    const CReportNode* pNode = m_model.Find(hItem);
    if (pNode == nullptr || nRow < 0)
        return FALSE;
    rc.top = nColumn;
    rc.left = LVIR_BOUNDS;
    if (!::SendMessageA(m_hWnd, LVM_GETSUBITEMRECT, (WPARAM)nRow, (LPARAM)&rc))
        return FALSE;
    rc.right = rc.left + (int)::SendMessageA(m_hWnd, LVM_GETCOLUMNWIDTH, (WPARAM)nColumn, 0);
    if (nPart == RVP_CELL)
        return TRUE;
    const bool bImages = ::SendMessageA(m_hWnd, LVM_GETIMAGELIST, LVSIL_SMALL, 0) != 0;
    return GetCellPart(*pNode, nColumn, nPart, bImages, HasGridLines(), rc);
}

BOOL CReportCtrl::GetCellPart(
    const CReportNode& node, int nColumn, int nPart, bool bImages, bool bGrid, CRect& rc) const
{
    const int nSquare = Square();
    const bool bTree = nColumn == m_model.GetTreeColumn();
    if (bTree && !(m_model.GetExtendedStyle() & RVS_NOINDENT))
        rc.left += (node.m_nDepth - 1) * nSquare;
    if (nPart == RVP_INDENTED)
        return TRUE;
    const CReportCell& cell = node.m_cells[(size_t)nColumn];
    const DWORD dwFlags = m_model.GetStyleFlags(cell.m_nStyle);
    int x = rc.left;
    // Each part takes the next square from the left; the text area the rest.
    CRect rcSquare(0, rc.top, 0, rc.top + nSquare);
    auto take = [&](bool bPresent, int nThisPart) {
        if (!bPresent)
            return nPart == nThisPart ? -1 : 0;
        rcSquare.left = x;
        rcSquare.right = x + nSquare;
        x += nSquare;
        return nPart == nThisPart ? 1 : 0;
    };
    int nGot;
    if ((nGot = take(bTree, RVP_TREEBUTTON)) != 0
        || (nGot = take((dwFlags & RCS_CHECKBOX) != 0, RVP_CHECKBOX)) != 0
        || (nGot = take(bImages && cell.m_nImage >= 0, RVP_IMAGE)) != 0) {
        if (nGot < 0)
            return FALSE;
        rc = rcSquare;
        return TRUE;
    }
    rc.left = std::min<LONG>(x, rc.right);
    if (bGrid)
        rc.left += 1;
    if (nPart == RVP_TEXTAREA)
        return TRUE;
    const CReportSelection& sel = m_model.GetSelection();
    bool bButton = (dwFlags & RCS_BUTTON) && sel.m_hItem == node.m_hItem && sel.m_nColumn == nColumn
        && rc.Width() >= nSquare;
    if (nPart == RVP_BUTTON) {
        if (!bButton)
            return FALSE;
        rc.left = rc.right - nSquare;
        return TRUE;
    }
    if (nPart != RVP_TEXT)
        return FALSE;
    if (bButton)
        rc.right -= nSquare;
    if (bGrid)
        rc.bottom -= 1;
    return TRUE;
}

BOOL CReportCtrl::HitTest(CPoint point, DWORD& hItem, int& nColumn) const
{
    hItem = RVI_NONE;
    nColumn = -1;
    int nTop = GetTopIndex();
    CRect rcTop;
    rcTop.left = LVIR_BOUNDS;
    if (m_model.GetRowCount() == 0 || !::SendMessageA(m_hWnd, LVM_GETITEMRECT, (WPARAM)nTop, (LPARAM)&rcTop)
        || point.y < rcTop.top || rcTop.Height() <= 0)
        return FALSE;
    int nRow = nTop + (point.y - rcTop.top) / rcTop.Height();
    if (nRow >= std::min(nTop + GetCountPerPage() + 1, m_model.GetRowCount()))
        return FALSE;
    DWORD h = m_model.GetRowItem(nRow);
    for (int i = 0; i < m_model.GetColumnCount(); ++i) {
        CRect rc;
        if (GetCellRect(h, i, RVP_CELL, rc) && rc.PtInRect(point)) {
            hItem = h;
            nColumn = i;
            return TRUE;
        }
    }
    return FALSE;
}

// --- measuring and fitting -----------------------------------------------------

void CReportCtrl::MeasureItem(LPMEASUREITEMSTRUCT lpMis)
{
    HFONT hFont = (HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0);
    HDC hDC = ::GetDC(m_hWnd);
    TEXTMETRICA tm = {};
    {
        CSelectGuard font(hDC, hFont);
        ::GetTextMetricsA(hDC, &tm);
    }
    ::ReleaseDC(m_hWnd, hDC);
    // Rows change height: start again from the first row and the left edge.
    if (m_nLineHeight > 0 && m_model.GetRowCount() > 0) {
        int nTop = GetTopIndex();
        int nLeft = GetScrollPos(SB_HORZ);
        if (nTop > 0 || nLeft > 0)
            ::SendMessageA(m_hWnd, LVM_SCROLL, (WPARAM)-nLeft, (LPARAM)(-nTop * RowHeight()));
    }
    m_nLineHeight = tm.tmHeight + tm.tmExternalLeading;
    lpMis->itemHeight = (UINT)RowHeight();
}

void CReportCtrl::AutoSizeColumn(int nColumn)
{
    if (m_hWnd == nullptr || m_nLinesPerRow > 1)
        return;
    const bool bNoHeader = (GetStyle() & LVS_NOCOLUMNHEADER) != 0;
    if (nColumn == -1) {
        if (!bNoHeader || m_model.GetColumnCount() != 1)
            return;
        if (IsRedrawHeld()) {
            m_bAutoSizeHeld = true; // fitted once, when the redraw comes back
            return;
        }
        nColumn = 0;
    }
    if (m_model.GetColumn(nColumn) == nullptr)
        return;
    HFONT hFont = (HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0);
    CFont* pBold = GetBoldFont(hFont);
    // The cell spans the same pixels across in every row: it is asked of the
    // list view once and each row's text area worked out from it, as a paint
    // does, not with six sent messages a row.
    CRect rcCell;
    const bool bCell
        = m_model.GetRowCount() > 0 && GetCellRect(m_model.GetRowItem(0), nColumn, RVP_CELL, rcCell);
    const bool bImages = ::SendMessageA(m_hWnd, LVM_GETIMAGELIST, LVSIL_SMALL, 0) != 0;
    const bool bGrid = HasGridLines();
    HDC hDC = ::GetDC(m_hWnd);
    CSelectGuard font(hDC, hFont);
    int nWidth = 0;
    for (int nRow = 0; bCell && nRow < m_model.GetRowCount(); ++nRow) {
        const CReportNode* pNode = m_model.Find(m_model.GetRowItem(nRow));
        CRect rcText = rcCell;
        if (pNode == nullptr || !GetCellPart(*pNode, nColumn, RVP_TEXTAREA, bImages, bGrid, rcText))
            continue;
        const CString& str = pNode->m_cells[(size_t)nColumn].m_strText;
        CRect rc(0, 0, 0, 0);
        HGDIOBJ hOld = pNode->m_bBold ? ::SelectObject(hDC, (HFONT)*pBold) : nullptr;
        ::DrawTextA(hDC, str, str.GetLength(), &rc, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
        if (hOld != nullptr)
            ::SelectObject(hDC, hOld);
        nWidth = std::max<int>(nWidth, rc.Width() + (rcCell.Width() - rcText.Width()) + 11);
    }
    if (!bNoHeader) {
        CString strHeading = GetColumnHeading(nColumn);
        CRect rc(0, 0, 0, 0);
        ::DrawTextA(hDC, strHeading, strHeading.GetLength(), &rc, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
        nWidth = std::max<int>(nWidth, rc.Width() + 20);
    }
    ::ReleaseDC(m_hWnd, hDC);
    CListCtrl::SetColumnWidth(nColumn, std::max(nWidth, 30));
}

// --- drawing ---------------------------------------------------------------------

void CReportCtrl::DrawItem(LPDRAWITEMSTRUCT lpDis)
{
    // The row names its item; the item data (a list view that holds rows
    // has it) must agree, or the row is stale.
    DWORD hItem = m_model.GetRowItem((int)lpDis->itemID);
    if (hItem == RVI_NONE || (!IsOwnerData() && (DWORD)lpDis->itemData != hItem))
        return;
    CDC* pDC = CDC::FromHandle(lpDis->hDC);
    int nSaved = pDC->SaveDC();
    if (m_pEditor != nullptr && ::IsWindow(m_pEditor->m_hWnd)) {
        CRect rcEditor;
        m_pEditor->GetWindowRect(&rcEditor);
        ScreenToClient(&rcEditor);
        pDC->ExcludeClipRect(&rcEditor);
    }
    // Within one paint every row shares what the first asked the list view:
    // its look, and its cells' places, moved down to this row. A row drawn
    // outside a paint has a cache of its own.
    CPaintCache own;
    CPaintCache& cache = m_pPaintCache != nullptr ? *m_pPaintCache : own;
    if (!cache.look)
        cache.look = GetRowLook();
    const int nColumns = m_model.GetColumnCount();
    if (cache.cells.empty()) {
        cache.nRowTop = lpDis->rcItem.top;
        cache.cells.resize((size_t)nColumns);
        for (int nColumn = 0; nColumn < nColumns; ++nColumn)
            if (!GetCellRect(hItem, nColumn, RVP_CELL, cache.cells[(size_t)nColumn]))
                cache.cells[(size_t)nColumn].SetRectEmpty();
    }
    for (int nColumn = 0; nColumn < nColumns; ++nColumn) {
        CRect rc;
        if ((size_t)nColumn < cache.cells.size()) {
            rc = cache.cells[(size_t)nColumn];
            rc.OffsetRect(0, lpDis->rcItem.top - cache.nRowTop);
        } else if (!GetCellRect(hItem, nColumn, RVP_CELL, rc)) {
            continue;
        }
        if (rc.Width() > 0 && rc.Height() > 0 && pDC->RectVisible(&rc))
            DrawCell(pDC, hItem, nColumn, rc, *cache.look);
    }
    pDC->RestoreDC(nSaved);
}

// The list view draws its rows inside these: they share one paint cache.
void CReportCtrl::OnPaint() { PaintWithCache(); }

LRESULT CReportCtrl::OnPrintClient(WPARAM, LPARAM) { return PaintWithCache(); }

LRESULT CReportCtrl::PaintWithCache()
{
    CPaintCache cache;
    CPaintCache* pOuter = m_pPaintCache;
    m_pPaintCache = &cache;
    const LRESULT lResult = Default();
    m_pPaintCache = pOuter;
    return lResult;
}

// Under Wine each message sent on a thread with hooks (a program with menus
// has one) costs about 0.15 ms: what the list view tells of itself is asked
// once for a row, and the parts of each cell are worked out from the cell.
CReportCtrl::CRowLook CReportCtrl::GetRowLook() const
{
    CRowLook look;
    look.hFont = (HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0);
    look.hImages = (HIMAGELIST)::SendMessageA(m_hWnd, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    look.bGrid = HasGridLines();
    look.palette = GetPalette();
    return look;
}

void CReportCtrl::DrawCell(CDC* pDC, DWORD hItem, int nColumn, const CRect& rcCell, const CRowLook& look)
{
    const CReportNode* pNode = m_model.Find(hItem);
    PrepareMemDC(pDC, rcCell.Width(), rcCell.Height());
    if (pNode == nullptr || m_memBitmap.m_hObject == nullptr)
        return;
    CDC& dc = m_memDC;
    dc.SetWindowOrg(rcCell.left, rcCell.top);
    CSelectGuard font(dc.m_hDC, pNode->m_bBold ? (HFONT)*GetBoldFont(look.hFont) : look.hFont);
    const CReportCell& cell = pNode->m_cells[(size_t)nColumn];
    const CReportCellStyle& style = m_model.GetStyle(cell.m_nStyle);
    const CReportPalette& palette = look.palette;
    COLORREF crBack = palette.m_crBack, crText = palette.m_crText;
    m_model.ResolveColors(hItem, nColumn, palette, crBack, crText);

    dc.FillSolidRect(&rcCell, crBack);
    dc.SetBkColor(crBack);
    dc.SetTextColor(crText);

    const bool bImages = look.hImages != nullptr;
    auto part = [&](int nPart, CRect& rc) {
        rc = rcCell;
        return GetCellPart(*pNode, nColumn, nPart, bImages, look.bGrid, rc);
    };
    CRect rc;
    if (part(RVP_TEXT, rc)) {
        rc.DeflateRect(3, 1, 3, 2);
        UINT nFormat = m_model.GetColumn(nColumn)->m_nAlign | DT_NOPREFIX | DT_EXTERNALLEADING;
        if (m_nLinesPerRow >= 2)
            nFormat |= DT_WORDBREAK;
        // Clipped to the cell: a text of any length only fills what it can.
        dc.DrawText(cell.m_strText, &rc, nFormat);
    }
    CImageList* pImages = CImageList::FromHandle(look.hImages);
    auto drawImage = [&](int nImage, const CRect& rcPart) {
        int cx = 0, cy = 0;
        ::ImageList_GetIconSize(pImages->m_hImageList, &cx, &cy);
        dc.SetBkColor(crBack);
        pImages->Draw(&dc, nImage, CPoint(rcPart.left + (rcPart.Width() - cx) / 2, rcPart.top + (rcPart.Height() - cy) / 2),
            ILD_TRANSPARENT);
    };
    const int nImages = pImages != nullptr && pImages->m_hImageList != nullptr ? pImages->GetImageCount() : 0;
    if (!pNode->m_children.empty() && part(RVP_TREEBUTTON, rc)) {
        const bool bCollapsed = m_model.IsCollapsed(hItem) != FALSE;
        int nImage = bCollapsed ? m_nCollapsedImage : m_nExpandedImage;
        if (m_nCollapsedImage >= 0 && m_nExpandedImage >= 0 && nImage < nImages) {
            drawImage(nImage, rc);
        } else {
            CRect rcBox(CPoint(rc.left + (rc.Width() - 9) / 2, rc.top + (rc.Height() - 9) / 2), CSize(9, 9));
            dc.FillSolidRect(&rcBox, RGB(255, 255, 255));
            CBrush frame(RGB(0xAC, 0xA8, 0x99));
            dc.FrameRect(&rcBox, &frame);
            dc.FillSolidRect(rcBox.left + 2, rcBox.top + 4, 5, 1, crText);
            if (bCollapsed)
                dc.FillSolidRect(rcBox.left + 4, rcBox.top + 2, 1, 5, crText);
        }
    }
    if (part(RVP_CHECKBOX, rc)) {
        int nState = std::max(0, std::min(cell.m_nCheck, 2));
        int nImage = nState == 0 ? style.m_nUncheckedImage : (nState == 1 ? style.m_nCheckedImage : style.m_nThirdStateImage);
        if (nImage < 0 || nImage >= nImages) {
            rc.DeflateRect(2, 2);
            UINT nFrame = DFCS_BUTTONCHECK | DFCS_FLAT | (nState != 0 ? DFCS_CHECKED : 0) | (nState == 2 ? DFCS_INACTIVE : 0);
            dc.DrawFrameControl(&rc, DFC_BUTTON, nFrame);
        } else {
            drawImage(nImage, rc);
        }
    }
    if (part(RVP_IMAGE, rc) && cell.m_nImage < nImages)
        drawImage(cell.m_nImage, rc);
    if (part(RVP_BUTTON, rc)) {
        const bool bCombo = (style.m_dwFlags & (RCS_BUTTON | RCS_COMBO)) == (RCS_BUTTON | RCS_COMBO);
        if (style.m_dwFlags & RCS_PLUSBUTTON) {
            dc.FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
            CRect rcPlus = rc;
            rcPlus.DeflateRect(3, 3);
            COLORREF crBar = ::GetSysColor(COLOR_BTNTEXT);
            dc.FillSolidRect(rcPlus.left, rcPlus.top + rcPlus.Height() / 2, rcPlus.Width(), 1, crBar);
            dc.FillSolidRect(rcPlus.left + rcPlus.Width() / 2, rcPlus.top, 1, rcPlus.Height(), crBar);
        } else if (bCombo) {
            dc.DrawFrameControl(&rc, DFC_SCROLL, DFCS_SCROLLDOWN);
        } else {
            dc.DrawFrameControl(&rc, DFC_BUTTON, DFCS_BUTTONPUSH);
            dc.SetBkMode(TRANSPARENT);
            dc.SetTextColor(::GetSysColor(COLOR_BTNTEXT));
            dc.DrawText("...", 3, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            dc.SetBkMode(OPAQUE);
        }
    }
    if (look.bGrid) {
        CBrush grid(::GetSysColor(COLOR_BTNFACE));
        CRect rcGrid(rcCell.left, rcCell.top - 1, rcCell.right + 1, rcCell.bottom);
        dc.FrameRect(&rcGrid, &grid);
    }
    dc.SetWindowOrg(0, 0);
    pDC->BitBlt(rcCell.left, rcCell.top, rcCell.Width(), rcCell.Height(), &dc, 0, 0, SRCCOPY);
}

// Only what lies outside the rows: the column strips below the last row and
// the space right of the last column; the rows paint themselves. With grid
// lines these areas are filled in row-high boxes that leave the lines the
// cells leave: one pixel at each column's left edge and at each row's bottom.
BOOL CReportCtrl::OnEraseBkgnd(CDC* pDC)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    COLORREF crControl = CListCtrl::GetBkColor();
    int nRowsBottom = -1;
    int nGridTop = rcClient.top; // the rows' boxes continue from here
    int nRowHeight = RowHeight();
    CRect rcRows, rcTop, rcStrip;
    if (GetCellRect(RVI_NONE, -1, RVP_ROWSAREA, rcRows) && GetCellRect(RVI_NONE, -1, RVP_TOPROW, rcTop)) {
        nRowsBottom = rcRows.bottom;
        nGridTop = rcRows.top;
        nRowHeight = rcTop.Height();
    } else if (GetCellRect(RVI_NONE, 0, RVP_COLUMNSTRIP, rcStrip)) {
        nGridTop = rcStrip.top;
    }
    const bool bBoxes = HasGridLines() && nRowHeight > 1;
    auto fill = [&](CRect rc, COLORREF crBack) {
        if (!bBoxes) {
            if (rc.Width() > 0 && rc.Height() > 0)
                pDC->FillSolidRect(&rc, crBack);
            return;
        }
        rc.left += 1;
        if (rc.Width() <= 0)
            return;
        int nOffset = (rc.top - nGridTop) % nRowHeight;
        if (nOffset < 0)
            nOffset += nRowHeight;
        for (int y = rc.top - nOffset; y < rc.bottom; y += nRowHeight) {
            CRect rcBox(
                rc.left, std::max<int>(y, rc.top), rc.right, std::min<int>(y + nRowHeight - 1, rc.bottom));
            if (rcBox.Height() > 0)
                pDC->FillSolidRect(&rcBox, crBack);
        }
    };
    int nRight = rcClient.left;
    for (int nColumn = 0; nColumn < m_model.GetColumnCount(); ++nColumn) {
        CRect rc;
        if (!GetCellRect(RVI_NONE, nColumn, RVP_COLUMNSTRIP, rc))
            continue;
        nRight = std::max<int>(nRight, rc.right);
        if (nRowsBottom > rc.top)
            rc.top = nRowsBottom;
        const CReportColumn* pColumn = m_model.GetColumn(nColumn);
        COLORREF crBack = pColumn->m_crBack != RVC_NOTSET && pColumn->m_crBack != RVC_SYSTEM ? pColumn->m_crBack : crControl;
        fill(rc, crBack);
    }
    CRect rcRest(nRight, rcClient.top, rcClient.right, rcClient.bottom);
    if (m_model.GetColumnCount() == 0)
        rcRest = rcClient;
    fill(rcRest, crControl);
    return TRUE;
}

// --- mouse -------------------------------------------------------------------------

void CReportCtrl::OnLButtonDown(UINT, CPoint point) { OnClick(point, false); }

void CReportCtrl::OnLButtonDblClk(UINT, CPoint point) { OnClick(point, true); }

// Every step can run a handler that deletes or re-sorts items: the item is
// looked up again by its handle before each further use.
void CReportCtrl::OnClick(CPoint point, bool bDouble)
{
    SetFocus();
    DWORD hItem;
    int nColumn;
    if (!HitTest(point, hItem, nColumn))
        return;
    CRect rc;
    if (GetCellRect(hItem, nColumn, RVP_TREEBUTTON, rc) && rc.PtInRect(point)) {
        m_model.Expand(hItem, !m_model.IsCollapsed(hItem));
        return;
    }
    const CReportSelection& sel = m_model.GetSelection();
    const bool bWasSelected = sel.m_hItem == hItem && sel.m_nColumn == nColumn;
    m_model.SelectItem(hItem, nColumn, TRUE);
    if (m_model.IsFullRowSelect() || m_model.Find(hItem) == nullptr)
        return;
    if (GetCellRect(hItem, nColumn, RVP_CHECKBOX, rc) && rc.PtInRect(point)) {
        NMREPORT nm;
        FillNotify(nm, RCN_CHECKCHANGED, hItem, nColumn);
        if (m_model.GetStyleFlags(nm.nStyle) & RCS_AUTOCHECK)
            nm.nCheck = nm.nCheck == 0 ? 1 : 0;
        int nAnswer = SendNotify(nm);
        CReportCell* pCell = m_model.GetCell(hItem, nColumn);
        if (pCell == nullptr)
            return; // the handler removed the item
        if (!(nAnswer & RVR_REJECT))
            pCell->m_nCheck = nm.nCheck;
        RepaintItem(hItem);
    }
    const CReportSelection& now = m_model.GetSelection();
    if (now.m_hItem != hItem || now.m_nColumn != nColumn)
        return;
    if (bWasSelected && GetCellRect(hItem, nColumn, RVP_BUTTON, rc) && rc.PtInRect(point))
        HandleEditKey(WM_LBUTTONDOWN, 0, false);
    else if (bDouble && GetCellRect(hItem, nColumn, RVP_TEXT, rc) && rc.PtInRect(point))
        HandleEditKey(WM_LBUTTONDBLCLK, 0, false);
}

void CReportCtrl::OnContextMenu(CWnd*, CPoint point)
{
    CPoint ptClient = point;
    ScreenToClient(&ptClient);
    DWORD hItem;
    int nColumn;
    if (HitTest(ptClient, hItem, nColumn))
        m_model.SelectItem(hItem, nColumn, TRUE);
    Default();
}

void CReportCtrl::OnHScroll(UINT nSBCode, UINT, CScrollBar*)
{
    SetFocus();
    Default();
    if (nSBCode == SB_THUMBTRACK || nSBCode == SB_ENDSCROLL)
        InvalidateRowsArea();
}

void CReportCtrl::OnVScroll(UINT, UINT, CScrollBar*)
{
    SetFocus();
    Default();
}

// --- keyboard ----------------------------------------------------------------------

void CReportCtrl::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (!MoveSelection(nChar))
        Default();
    HandleEditKey(WM_KEYDOWN, nChar, false);
}

void CReportCtrl::OnChar(UINT nChar, UINT, UINT)
{
    Default();
    HandleEditKey(WM_CHAR, nChar, false);
}

void CReportCtrl::OnSysKeyDown(UINT nChar, UINT, UINT)
{
    if (m_pEditor == nullptr && (nChar == VK_UP || nChar == VK_DOWN))
        HandleEditKey(WM_KEYDOWN, nChar, true);
    else
        Default();
}

BOOL CReportCtrl::PreTranslateMessage(MSG* pMsg)
{
    // Alt+Up and Alt+Down open a drop-down cell even inside a dialog.
    if (pMsg->message == WM_SYSKEYDOWN && pMsg->hwnd == m_hWnd && m_pEditor == nullptr
        && (pMsg->wParam == VK_UP || pMsg->wParam == VK_DOWN)) {
        ::TranslateMessage(pMsg);
        ::DispatchMessageA(pMsg);
        return TRUE;
    }
    return CListCtrl::PreTranslateMessage(pMsg);
}

// The navigation keys; FALSE for the keys the list view handles itself.
bool CReportCtrl::MoveSelection(UINT nChar)
{
    const bool bShift = KeyHeld(VK_SHIFT);
    const int nLastColumn = m_model.GetColumnCount() - 1;
    const CReportSelection& sel = m_model.GetSelection();
    DWORD hItem = sel.m_hItem;
    int nColumn = sel.m_nColumn;
    int nRow = m_model.GetItemRow(hItem);
    const int nLastRow = m_model.GetRowCount() - 1;
    switch (nChar) {
    case VK_ADD:
    case VK_SUBTRACT:
        if (hItem != RVI_NONE)
            m_model.Expand(hItem, nChar == VK_SUBTRACT);
        return true;
    case VK_SPACE:
        return true;
    case VK_TAB:
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
        break;
    default:
        return false;
    }
    if (hItem == RVI_NONE || nRow < 0) {
        if (nChar == VK_DOWN || nChar == VK_NEXT || (nChar == VK_TAB && !bShift))
            m_model.SelectItem(m_model.GetNextItem(0, RVGN_FIRSTVISIBLE), 0, TRUE);
        else if (nChar == VK_UP || nChar == VK_PRIOR)
            m_model.SelectItem(m_model.GetNextItem(0, RVGN_LASTVISIBLE), 0, TRUE);
        else if (nChar == VK_TAB)
            m_model.SelectItem(m_model.GetNextItem(0, RVGN_LASTVISIBLE), nLastColumn, TRUE);
        return true;
    }
    switch (nChar) {
    case VK_TAB:
        if (!bShift) {
            if (nColumn < nLastColumn)
                ++nColumn;
            else if (nRow < nLastRow)
                ++nRow, nColumn = 0;
            else
                return true;
        } else {
            if (nColumn > 0)
                --nColumn;
            else if (nRow > 0)
                --nRow, nColumn = nLastColumn;
            else
                return true;
        }
        break;
    case VK_LEFT:
    case VK_HOME:
        if (nColumn <= 0)
            return true;
        nColumn = nChar == VK_LEFT ? nColumn - 1 : 0;
        break;
    case VK_RIGHT:
    case VK_END:
        if (nColumn >= nLastColumn)
            return true;
        nColumn = nChar == VK_RIGHT ? nColumn + 1 : nLastColumn;
        break;
    case VK_UP:
    case VK_DOWN:
        if (KeyHeld(VK_MENU) || (nChar == VK_UP ? nRow == 0 : nRow == nLastRow))
            return true;
        nRow += nChar == VK_UP ? -1 : 1;
        break;
    case VK_PRIOR:
        nRow = std::max(nRow - GetCountPerPage() + 1, 0);
        break;
    case VK_NEXT:
        nRow = std::min(nRow + GetCountPerPage() - 1, nLastRow);
        break;
    }
    m_model.SelectItem(m_model.GetRowItem(nRow), nColumn, TRUE);
    return true;
}

// --- in-place editing ------------------------------------------------------------

void CReportCtrl::HandleEditKey(UINT nMessage, UINT nKey, bool bAlt)
{
    const CReportSelection& sel = m_model.GetSelection();
    const DWORD hItem = sel.m_hItem;
    const int nColumn = sel.m_nColumn;
    const CReportCell* pCell = m_model.GetCell(hItem, nColumn);
    if (hItem == RVI_NONE || nColumn < 0 || pCell == nullptr || m_pEditor != nullptr)
        return;
    const REPORTEDITOR kind = ReportEditorOf(m_model.GetStyleFlags(pCell->m_nStyle));
    const bool bKeyDown = nMessage == WM_KEYDOWN;
    const bool bChar = nMessage == WM_CHAR && ::IsCharAlphaNumericA((char)nKey);
    const bool bOpenKey = bKeyDown
        && (nKey == VK_RETURN || nKey == VK_F2 || (nKey == VK_TAB && m_nLastKey == VK_TAB));
    const bool bClick = nMessage == WM_LBUTTONDOWN;
    const bool bDouble = nMessage == WM_LBUTTONDBLCLK;
    switch (kind) {
    case RVE_EDIT:
    case RVE_EDITBUTTON:
        if (bDouble || bOpenKey) {
            StartEdit(hItem, nColumn, pCell->m_strText);
            return;
        }
        if (bChar) {
            StartEdit(hItem, nColumn, CString((char)nKey));
            return;
        }
        break;
    case RVE_DROPLIST:
    case RVE_DROPCOMBO:
        if (bDouble || bOpenKey || bClick || (bKeyDown && bAlt && (nKey == VK_UP || nKey == VK_DOWN))) {
            StartCombo(hItem, nColumn, kind, CTextData { pCell->m_strText, pCell->m_dwData });
        } else if (bChar && kind == RVE_DROPCOMBO) {
            StartCombo(hItem, nColumn, kind, CTextData { CString((char)nKey), 0 });
        }
        return;
    case RVE_BUTTON:
        break;
    default:
        return;
    }
    if (bClick || (bKeyDown && nKey == VK_SPACE))
        PressButton(hItem, nColumn);
}

bool CReportCtrl::PressButton(DWORD hItem, int nColumn)
{
    NMREPORT nm;
    FillNotify(nm, RCN_BUTTONCLICK, hItem, nColumn);
    if (SendNotify(nm) & RVR_REJECT)
        return false;
    SetFocus();
    CReportCell* pCell = m_model.GetCell(hItem, nColumn);
    if (pCell == nullptr)
        return false;
    pCell->m_strText = nm.strText;
    pCell->m_dwData = nm.dwData;
    RepaintItem(hItem);
    return true;
}

void CReportCtrl::StartEdit(DWORD hItem, int nColumn, const CString& strText)
{
    NMREPORT nm;
    FillNotify(nm, RCN_BEGINEDIT, hItem, nColumn);
    if ((SendNotify(nm) & RVR_REJECT) || m_pEditor != nullptr)
        return;
    CRect rc;
    if (!GetCellRect(hItem, nColumn, RVP_TEXT, rc))
        return; // the handler removed or hid the item
    rc.top += 1;
    DWORD dwStyle = WS_CHILD | WS_VISIBLE
        | (m_nLinesPerRow == 1 ? ES_AUTOHSCROLL : (ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN));
    CReportEdit* pEdit = new CReportEdit(hItem, nColumn);
    if (!pEdit->Create(dwStyle, rc, this, IDC_REPORTEDIT))
        return; // a window that failed on the way has deleted its object already
    m_pEditor = pEdit;
    m_hEditItem = hItem;
    m_nEditColumn = nColumn;
    m_nLastKey = 0;
    pEdit->SendMessage(WM_SETFONT, ::SendMessageA(m_hWnd, WM_GETFONT, 0, 0), FALSE);
    pEdit->SetWindowText(strText);
    pEdit->SendMessage(EM_SETSEL, (WPARAM)strText.GetLength(), -1);
    pEdit->SendMessage(EM_SCROLLCARET);
    pEdit->SetFocus();
}

void CReportCtrl::StartCombo(DWORD hItem, int nColumn, REPORTEDITOR kind, const CTextData& value)
{
    const CReportCell* pCell = m_model.GetCell(hItem, nColumn);
    CReportCellStyle* pStyle = pCell != nullptr ? m_model.GetStyleAt(pCell->m_nStyle) : nullptr;
    if (pStyle == nullptr)
        return;
    const int nStyle = pCell->m_nStyle;
    pStyle->m_value = value;
    NMREPORT nm;
    FillNotify(nm, RCN_BEGINDROPDOWN, hItem, nColumn);
    if ((SendNotify(nm) & RVR_REJECT) || m_pEditor != nullptr)
        return;
    CRect rc;
    if ((pStyle = m_model.GetStyleAt(nStyle)) == nullptr || !GetCellRect(hItem, nColumn, RVP_TEXTAREA, rc))
        return;
    rc.top -= 2;
    const int nCellHeight = rc.Height();
    rc.bottom = rc.top + nCellHeight + 10 * RowHeight();
    DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL
        | (kind == RVE_DROPLIST ? CBS_DROPDOWNLIST : (CBS_DROPDOWN | CBS_AUTOHSCROLL))
        | ((pStyle->m_dwFlags & RCS_SORTCOMBO) ? CBS_SORT : 0);
    CReportCombo* pCombo = new CReportCombo(this, hItem, nColumn, &pStyle->m_choices, pStyle->m_value);
    if (!pCombo->Create(dwStyle, rc, this, IDC_REPORTCOMBO))
        return;
    m_pEditor = pCombo;
    m_hEditItem = hItem;
    m_nEditColumn = nColumn;
    m_nLastKey = 0;
    // A closed combo is its selection field plus 6 pixels of frame, so this
    // makes the closed box exactly the cell raised by 2 pixels: the editor's
    // paint draws the neighbouring rows' colours into its top and bottom lines.
    pCombo->SetItemHeight(-1, (UINT)std::max(nCellHeight - 6, 1));
    HWND hFocus = ::GetFocus();
    if (hFocus != pCombo->m_hWnd && !::IsChild(pCombo->m_hWnd, hFocus))
        pCombo->SetFocus();
    pCombo->ShowDropDown(TRUE);
    if (kind == RVE_DROPCOMBO) {
        int nLen = pCombo->GetWindowTextLength();
        pCombo->SetEditSel(nLen, nLen);
    }
}

// An editor closes with its report. The item may have gone meanwhile, or go
// in the handler of RCN_ENDEDIT: nothing is stored into an item that is not
// found again by its handle.
LRESULT CReportCtrl::OnEditorDone(NMREPORTEDITOR* pReport)
{
    if (m_bDestroying || m_pEditor == nullptr)
        return 0;
    CWnd* pEditor = m_pEditor;
    m_pEditor = nullptr;
    m_hEditItem = RVI_NONE;
    m_nEditColumn = -1;
    const DWORD hItem = pReport->hItem;
    const int nColumn = pReport->nColumn;
    const UINT nKey = pReport->nLastKey;
    const CReportCell* pCell = m_model.GetCell(hItem, nColumn);
    if (pCell == nullptr)
        return 0;
    if (nKey != VK_RETURN && nKey != VK_TAB) {
        RepaintItem(hItem);
        return 0;
    }
    const bool bWithData = (m_model.GetStyleFlags(pCell->m_nStyle) & (RCS_BUTTON | RCS_COMBO)) != 0;
    NMREPORT nm;
    FillNotify(nm, RCN_ENDEDIT, hItem, nColumn);
    nm.strText = pReport->strText;
    if (bWithData)
        nm.dwData = pReport->dwData;
    int nAnswer = SendNotify(nm);
    CReportCell* pNow = m_model.GetCell(hItem, nColumn);
    if (pNow == nullptr)
        return 0; // gone in the handler: the editor closes, nothing is written
    if (!(nAnswer & RVR_REJECT)) {
        pNow->m_strText = pReport->strText;
        if (bWithData)
            pNow->m_dwData = pReport->dwData;
    }
    if (nAnswer & RVR_KEEPOPEN) {
        m_pEditor = pEditor;
        m_hEditItem = hItem;
        m_nEditColumn = nColumn;
    }
    RepaintItem(hItem);
    AutoSizeColumn(-1);
    if (nKey == VK_TAB && !(nAnswer & RVR_KEEPOPEN)) {
        m_nLastKey = VK_TAB;
        OnKeyDown(VK_TAB, 1, 0);
    }
    return nAnswer;
}

// An item going away ends the editor over it (or over a descendant) as Escape does.
void CReportCtrl::CancelEditorOf(DWORD hItem)
{
    if (m_pEditor == nullptr)
        return;
    for (DWORD h = m_hEditItem; h != RVI_NONE && h != RVI_ROOT; h = m_model.GetNextItem(h, RVGN_PARENT)) {
        if (h != hItem)
            continue;
        if (CReportEdit* pEdit = dynamic_cast<CReportEdit*>(m_pEditor))
            pEdit->m_nLastKey = VK_ESCAPE;
        else if (CReportCombo* pCombo = dynamic_cast<CReportCombo*>(m_pEditor))
            pCombo->m_nLastKey = VK_ESCAPE;
        SetFocus(); // the editor reports (as cancelled) when it loses the focus
        if (CWnd* pEditor = m_pEditor) {
            // It did not have the focus, so it cannot report: it goes unheard.
            m_pEditor = nullptr;
            m_hEditItem = RVI_NONE;
            m_nEditColumn = -1;
            if (::IsWindow(pEditor->m_hWnd))
                pEditor->DestroyWindow();
        }
        return;
    }
}

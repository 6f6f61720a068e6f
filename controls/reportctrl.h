// CReportCtrl: a report-view list control that shows a tree of items as
// rows, with per-cell text, image, check box, style and data, colours at
// every level, sorting by a heading click, in-place editors (CReportEdit,
// CReportCombo) and a skinned header (CSkinHeaderCtrl). The rules live in
// CReportModel (reportmodel.h); this is the window over it.
#pragma once

#include <optional>
#include <vector>

#include "afx/afxwin.h"
#include "controls/reportmodel.h"

// The notification record of every RCN_ code.
struct NMREPORT {
    NMHDR hdr;
    DWORD hItem;
    int nColumn;
    CString strText; // the cell's text, empty when there is no cell
    DWORD dwData;
    BOOL bCollapsed;
    int nCheck;
    int nStyle; // -1 when there is no cell
};

// An editor's report to the report control (RCN_EDITORDONE from id 501 or 502).
struct NMREPORTEDITOR {
    NMHDR hdr;
    CString strText;
    DWORD dwData;
    DWORD hItem;
    int nColumn;
    UINT nLastKey;
};

const UINT IDC_REPORTEDIT = 501;
const UINT IDC_REPORTCOMBO = 502;

// Cell parts of the layout.
enum {
    RVP_CELL = 201,
    RVP_INDENTED = 202,
    RVP_TREEBUTTON = 203,
    RVP_CHECKBOX = 204,
    RVP_IMAGE = 205,
    RVP_TEXTAREA = 206,
    RVP_BUTTON = 207,
    RVP_TEXT = 208,
    RVP_ROW = 209,
    RVP_TOPROW = 210,
    RVP_ROWSAREA = 211,
    RVP_COLUMNSTRIP = 212,
};

class CFlatHeaderCtrl : public CHeaderCtrl {
    DECLARE_DYNAMIC(CFlatHeaderCtrl)
};

// The header painted from bitmaps 2263-2265 with headings in "Sevenet 7".
class CSkinHeaderCtrl : public CFlatHeaderCtrl {
    DECLARE_DYNAMIC(CSkinHeaderCtrl)
public:
    void DrawItem(LPDRAWITEMSTRUCT) override { }

protected:
    void Paint(CDC& dc);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

class CReportCtrl : public CListCtrl, private CReportHost {
    DECLARE_DYNAMIC(CReportCtrl)
public:
    typedef int (*PFNREPORTCOMPARE)(CReportCtrl* pCtrl, int nColumn, DWORD hA, DWORD hB);

    CReportCtrl();
    ~CReportCtrl() override;

    // Styles
    int AddCellStyle(DWORD dwFlags) { return m_model.AddCellStyle(dwFlags); }
    DWORD GetStyleFlags(int nStyle) const { return m_model.GetStyleFlags(nStyle); }
    BOOL SetStyleFlags(int nStyle, DWORD dwFlags);
    BOOL GetStyleCheckImages(int nStyle, int& nChecked, int& nUnchecked, int& nThirdState) const;
    BOOL SetStyleCheckImages(int nStyle, int nChecked, int nUnchecked, int nThirdState);
    BOOL AddStyleChoice(int nStyle, const CString& strText, DWORD dwData);
    const std::vector<CTextData>* GetStyleChoices(int nStyle) const;
    BOOL GetStyleValue(int nStyle, CTextData& value) const;
    BOOL SetStyleValue(int nStyle, const CTextData& value);

    // Columns
    int InsertColumn(int nIndex, const CString& strHeading, int nFormat, int nWidth, int nStyle = -1);
    BOOL DeleteColumn(int nIndex);
    int GetTreeColumn() const { return m_model.GetTreeColumn(); }
    void SetTreeColumn(int nColumn);
    CString GetColumnHeading(int nColumn) const;
    BOOL SetColumnHeading(int nColumn, const CString& strHeading);
    void AutoSizeColumn(int nColumn) override;

    // Items
    DWORD InsertItem(DWORD hParent, DWORD hPosition, const CString& strText, int nImage = -1, int nStyle = -1);
    void DeleteItem(DWORD hItem);
    DWORD GetChildItem(DWORD hParent, int n) const { return m_model.GetChildItem(hParent, n); }
    DWORD GetNextItem(DWORD hItem, int nRelation) const { return m_model.GetNextItem(hItem, nRelation); }
    int GetChildCount(DWORD hItem) const { return m_model.GetChildCount(hItem); }
    // The list view's rows, brought up to date first.
    int GetItemCount() const;
    int GetItemRow(DWORD hItem) const { return m_model.GetItemRow(hItem); }
    int GetItemDepth(DWORD hItem) const { return m_model.GetItemDepth(hItem); }
    BOOL IsItemShown(DWORD hItem) const { return m_model.IsItemShown(hItem); }
    BOOL Expand(DWORD hItem, BOOL bCollapse) { return m_model.Expand(hItem, bCollapse); }
    BOOL SwapItems(DWORD hA, DWORD hB) { return m_model.SwapItems(hA, hB); }
    DWORD FindItem(DWORD hParent, DWORD hStart, int nColumn, const CString& strText, BOOL bNoCase) const
    {
        return m_model.FindItem(hParent, hStart, nColumn, strText, bNoCase);
    }

    CString GetItemText(DWORD hItem, int nColumn) const;
    void SetItemText(DWORD hItem, int nColumn, const CString& strText);
    int GetItemImage(DWORD hItem, int nColumn) const;
    void SetItemImage(DWORD hItem, int nColumn, int nImage);
    int GetItemCheck(DWORD hItem, int nColumn) const;
    void SetItemCheck(DWORD hItem, int nColumn, int nCheck);
    int GetItemStyle(DWORD hItem, int nColumn) const;
    void SetItemStyle(DWORD hItem, int nColumn, int nStyle);
    // One style index per column, column 0 first.
    void SetItemStyles(DWORD hItem, const int* pnStyles, int nCount);
    DWORD GetItemData(DWORD hItem, int nColumn) const;
    void SetItemData(DWORD hItem, int nColumn, DWORD dwData);
    BOOL GetItemBold(DWORD hItem) const;
    void SetItemBold(DWORD hItem, BOOL bBold);
    void SetItemAlarm(DWORD hItem, CAlarm alarm);
    CAlarm GetItemAlarm(DWORD hItem) const;

    // Selection, colours, sorting, redraw
    void SelectItem(DWORD hItem, int nColumn, BOOL bEnsureVisible) { m_model.SelectItem(hItem, nColumn, bEnsureVisible); }
    DWORD GetSelectedItem() const { return m_model.GetSelection().m_hItem; }
    int GetSelectedColumn() const { return m_model.GetSelection().m_nColumn; }
    void SetFullRowSelect(BOOL bFullRow);
    void ModifyExtendedStyle(DWORD dwRemove, DWORD dwAdd, DWORD dwMask = 0xFFFFFFFF);
    DWORD GetExtendedStyle() const { return m_model.GetExtendedStyle(); }
    void SetColors(DWORD dwFlags, DWORD hItem, int nColumn, COLORREF crText, COLORREF crBack);
    void SortColumn(int nColumn, BOOL bDescending);
    void SetRedraw(BOOL bRedraw, BOOL bReset = FALSE) { m_model.SetRedraw(bRedraw, bReset); }
    static int CompareItems(CReportCtrl* pCtrl, int nColumn, DWORD hA, DWORD hB);

    // Layout and geometry
    void SetLinesPerRow(int nLines);
    int GetLinesPerRow() const { return m_nLinesPerRow; }
    void GetTreeImages(int& nCollapsed, int& nExpanded) const;
    void SetTreeImages(int nCollapsed, int nExpanded);
    void EnsureVisible(DWORD hItem, int nColumn) override;
    // The item and column under a client point; FALSE outside the cells.
    BOOL HitTest(CPoint point, DWORD& hItem, int& nColumn) const;
    BOOL GetCellRect(DWORD hItem, int nColumn, int nPart, CRect& rc) const;
    void GetEdgeRects(CRect& rcRight, CRect& rcBottom) const;
    void SetNotifyWindow(CWnd* pWnd) { m_hWndNotify = pWnd->GetSafeHwnd(); }

    // What the editors and the tests see of the editing state.
    CWnd* GetEditor() const { return m_pEditor; }
    const CReportModel& GetModel() const { return m_model; }

    // The resolved background of a cell (the combo editor matches its neighbours).
    COLORREF GetCellBackColor(DWORD hItem, int nColumn) const;
    CReportPalette GetPalette() const;

    // Notification helpers.
    int SendNotify(NMREPORT& nm);
    void FillNotify(NMREPORT& nm, int nCode, DWORD hItem, int nColumn) const;
    void FillNotify(NMREPORT& nm, UINT nID, int nCode, DWORD hItem, int nColumn) const;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpWndPos);
    afx_msg void OnDestroy();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFontChangeMessage(WPARAM wParam, LPARAM lParam);
    afx_msg void OnDeleteAllItems(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // CReportHost
    void OnRowInserted(int nRow, DWORD hItem) override;
    void OnRowDeleted(int nRow) override;
    void OnRowsDeleted(int nFirst, int nCount) override;
    void OnRowItemChanged(int nRow, DWORD hItem) override;
    void RepaintRow(int nRow) override;
    void SetWindowRedraw(BOOL bRedraw) override;
    int Notify(int nCode, DWORD hItem, int nColumn) override;
    bool IsEditorOpen() const override { return m_pEditor != nullptr; }
    int GetTopIndex() const override;
    int GetCountPerPage() const override;

    // A list view made with LVS_OWNERDATA holds only the count of the
    // model's rows, so it empties at once however many there are.
    bool IsOwnerData() const;
    bool IsRedrawHeld() const { return m_model.GetRedrawLock() > 0; }
    void SyncRowCount() const;
    void RowCountChanged();
    // Tells the list view a count that changed while the redraw was held.
    void FlushRowCount() const;
    HWND GetNotifyTarget() const;
    // The owner of the RCN_ITEMDELETED notices of one deletion, and how they
    // reach it; a deletion a handler starts inside another shares the outer one's.
    class CDeleteNotices {
    public:
        explicit CDeleteNotices(CReportCtrl& ctrl);
        ~CDeleteNotices();
        CDeleteNotices(const CDeleteNotices&) = delete;
        CDeleteNotices& operator=(const CDeleteNotices&) = delete;
        int Send(NMREPORT& nm) const;
        UINT m_nID = 0;

    private:
        CReportCtrl& m_ctrl;
        CDeleteNotices* m_pOuter;
        HWND m_hTarget = nullptr;
        WNDPROC m_pfnTarget = nullptr; // null: the owner is on another thread
    };
    void Remeasure();
    void FreeMemDC();
    void InvalidateRowsArea();
    void RepaintItem(DWORD hItem);
    bool HasGridLines() const;
    int RowHeight() const { return m_nLineHeight * m_nLinesPerRow + 4; }
    int Square() const { return m_nLineHeight + 4; }
    // A bold copy of the list's font (hFont, as WM_GETFONT gives it).
    CFont* GetBoldFont(HFONT hFont);
    // What drawing a row asks of the list view, asked once for the row.
    struct CRowLook {
        HFONT hFont = nullptr;
        HIMAGELIST hImages = nullptr;
        bool bGrid = false;
        CReportPalette palette;
    };
    CRowLook GetRowLook() const;
    // What the rows of one paint share: the look, and the cells of the
    // first row drawn (nRowTop its top; an empty rectangle for a cell that
    // has none); the others are the same moved down.
    struct CPaintCache {
        std::optional<CRowLook> look;
        int nRowTop = 0;
        std::vector<CRect> cells;
    };
    // A part of a cell from rc, the cell's whole rectangle, without asking the list view.
    BOOL GetCellPart(
        const CReportNode& node, int nColumn, int nPart, bool bImages, bool bGrid, CRect& rc) const;
    void DrawCell(CDC* pDC, DWORD hItem, int nColumn, const CRect& rcCell, const CRowLook& look);
    // The list view's own painting, its rows sharing one paint cache.
    LRESULT PaintWithCache();
    void PrepareMemDC(CDC* pDC, int cx, int cy);
    void OnClick(CPoint point, bool bDouble);
    bool MoveSelection(UINT nChar);
    void HandleEditKey(UINT nMessage, UINT nKey, bool bAlt);
    void StartEdit(DWORD hItem, int nColumn, const CString& strText);
    void StartCombo(DWORD hItem, int nColumn, REPORTEDITOR kind, const CTextData& value);
    bool PressButton(DWORD hItem, int nColumn);
    LRESULT OnEditorDone(NMREPORTEDITOR* pReport);
    void CancelEditorOf(DWORD hItem);
    void OnHeaderNotify(NMHDR* pNMHDR);

    CReportModel m_model;
    CSkinHeaderCtrl m_header;
    HWND m_hWndNotify = nullptr;
    PFNREPORTCOMPARE m_pfnCompare = &CReportCtrl::CompareItems;
    int m_nLinesPerRow = 1;
    int m_nLineHeight = 0;
    int m_nCollapsedImage = -1;
    int m_nExpandedImage = -1;
    // The open editor, the cell it edits and the key that ended the last one.
    CWnd* m_pEditor = nullptr;
    DWORD m_hEditItem = RVI_NONE;
    int m_nEditColumn = -1;
    UINT m_nLastKey = 0;
    bool m_bDestroying = false;
    // Held back while the redraw is held: the owner-data list view's count,
    // row repaints and the fit of a one-column list without header.
    mutable bool m_bRowCountStale = false;
    bool m_bRepaintHeld = false;
    bool m_bAutoSizeHeld = false;
    CDeleteNotices* m_pDeleteNotices = nullptr;
    CPaintCache* m_pPaintCache = nullptr; // while the list view paints
    // Cells are drawn here and copied in one blit.
    CDC m_memDC;
    CBitmap m_memBitmap;
    HGDIOBJ m_hOldMemBitmap = nullptr;
    CSize m_memSize;
    CFont m_boldFont;
    HFONT m_hBoldFrom = nullptr;
};

// The edit field over a cell (id 501). It reports when it loses the focus and
// deletes itself when its window goes.
class CReportEdit : public CEdit {
    DECLARE_DYNAMIC(CReportEdit)
public:
    CReportEdit(DWORD hItem, int nColumn);
    UINT m_nLastKey = 13;
    DWORD m_hItem;
    int m_nColumn;

protected:
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PostNcDestroy() override { delete this; }
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

private:
    bool m_bReporting = false;
};

// The drop-down list or combo over a cell (id 502).
class CReportCombo : public CComboBox {
    DECLARE_DYNAMIC(CReportCombo)
public:
    CReportCombo(CReportCtrl* pReport, DWORD hItem, int nColumn, const std::vector<CTextData>* pChoices,
        const CTextData& value);
    UINT m_nLastKey = 13;
    DWORD m_hItem;
    int m_nColumn;

protected:
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PostNcDestroy() override { delete this; }
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg BOOL OnEditChange();
    afx_msg BOOL OnCloseUp();
    afx_msg BOOL OnKillFocusReflect();
    DECLARE_MESSAGE_MAP()

private:
    bool HandleKey(UINT nChar);
    CReportCtrl* m_pReport;
    const std::vector<CTextData>* m_pChoices;
    CTextData m_value;
    bool m_bReporting = false;
    bool m_bClosing = false;
};

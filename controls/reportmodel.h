// The report list without its window: a tree of items shown as rows, each
// item with one cell per column and an alarm record, the column and cell-style
// tables, the selection record, colour resolution and sorting. CReportCtrl
// (reportctrl.h) is the list view over it; the model reaches the window only
// through CReportHost, so all of it builds and is tested natively.
#pragma once

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "afx/afx.h"
#include "core/alarm.h"

// Item handles. Handles are issued from RVI_FIRSTHANDLE up and never reused,
// so they can never be mistaken for the insert positions below, and a handle
// kept across a notification names the same item or none.
const DWORD RVI_NONE = 0;
const DWORD RVI_ROOT = 1;
const DWORD RVI_FIRSTHANDLE = 0x100;

// Insert positions of InsertItem; any other value is the sibling to insert after.
const DWORD RVTI_LAST = 2;
const DWORD RVTI_FIRST = 3;
const DWORD RVTI_SORT = 4;

// GetNextItem relations.
enum {
    RVGN_FIRSTCHILD = 301,
    RVGN_LASTCHILD = 302,
    RVGN_NEXTSIBLING = 303,
    RVGN_NEXTROW = 304,
    RVGN_PREVIOUSSIBLING = 305,
    RVGN_PREVIOUSROW = 306,
    RVGN_PARENT = 307,
    RVGN_SHOWNANCESTOR = 308,
    RVGN_TOPLEVEL = 309,
    RVGN_NONE = 310,
    RVGN_FIRSTVISIBLE = 311,
    RVGN_LASTVISIBLE = 312,
};

// Colour words.
const COLORREF RVC_NOTSET = 0x100000;
const COLORREF RVC_SYSTEM = 0x200000;    // the system highlight colours
const COLORREF RVC_UNCHANGED = 0x300000; // SetColors: leave this colour

// SetColors targets, the first matching flag wins.
enum {
    RVCF_CONTROL = 0x80,
    RVCF_COLUMN = 0x100,
    RVCF_ITEM = 0x200,
    RVCF_SELROW = 0x400,
    RVCF_SELCELL = 0x800,
};

// Cell style flags.
enum {
    RCS_BUTTON = 0x02,
    RCS_CHECKBOX = 0x04,
    RCS_EDIT = 0x08,
    RCS_COMBO = 0x10,
    RCS_SORTCOMBO = 0x20,
    RCS_AUTOCHECK = 0x40,
    RCS_PLUSBUTTON = 0x80,
};

// The control's own extended style.
enum {
    RVS_FULLROWSELECT = 0x01,
    RVS_NOINDENT = 0x02,
};

// Notification codes and the answer bits.
enum {
    RCN_EXPANDCHANGED = 1225,
    RCN_CHECKCHANGED = 1226,
    RCN_ITEMDELETED = 1227,
    RCN_SELCHANGED = 1228,
    RCN_BEGINEDIT = 1229,
    RCN_ENDEDIT = 1230,
    RCN_BUTTONCLICK = 1231,
    RCN_BEGINDROPDOWN = 1232,
    RCN_EDITORDONE = 1244,
};

// Answer bits of a notification.
const int RVR_REJECT = 1;   // reject or cancel
const int RVR_KEEPOPEN = 2; // keep the editor open

// What a cell style edits with, from its bits 0x02, 0x08 and 0x10 together.
enum REPORTEDITOR {
    RVE_NONE,
    RVE_BUTTON,     // 0x02
    RVE_EDIT,       // 0x08
    RVE_EDITBUTTON, // 0x0A
    RVE_DROPLIST,   // 0x12
    RVE_DROPCOMBO,  // 0x1A
};
REPORTEDITOR ReportEditorOf(DWORD dwFlags);

struct CTextData {
    CString m_strText;
    DWORD m_dwData = 0;
};

struct CReportCell {
    CString m_strText;
    int m_nImage = -1;
    int m_nStyle = -1; // -1: the default style
    DWORD m_dwData = 0;
    int m_nCheck = 0; // 0 unchecked, 1 checked, 2 third state
};

struct CReportColumn {
    int m_nStyle = -1;
    UINT m_nAlign = 0; // DT_LEFT 0, DT_CENTER 1, DT_RIGHT 2
    BOOL m_bDescending = FALSE;
    COLORREF m_crBack = RVC_NOTSET;
    COLORREF m_crText = RVC_NOTSET;
    int m_nWidth = -1;
};

struct CReportCellStyle {
    DWORD m_dwFlags = 0;
    int m_nCheckedImage = -1;
    int m_nUncheckedImage = -1;
    int m_nThirdStateImage = -1;
    CTextData m_value;
    std::vector<CTextData> m_choices;
};

// A node's children in order. Most items are leaves, so an empty list holds
// no memory; both ends change in constant time (amortised), so emptying a
// parent from the front and filling one from either end stay linear.
class CReportChildList {
public:
    typedef DWORD* iterator;
    typedef const DWORD* const_iterator;

    bool empty() const { return m_nHead == m_items.size(); }
    size_t size() const { return m_items.size() - m_nHead; }
    // What the list holds in memory, in handles.
    size_t capacity() const { return m_items.capacity(); }
    iterator begin() { return m_items.data() + m_nHead; }
    iterator end() { return m_items.data() + m_items.size(); }
    const_iterator begin() const { return m_items.data() + m_nHead; }
    const_iterator end() const { return m_items.data() + m_items.size(); }
    DWORD& operator[](size_t n) { return m_items[m_nHead + n]; }
    DWORD operator[](size_t n) const { return m_items[m_nHead + n]; }
    DWORD front() const { return m_items[m_nHead]; }
    DWORD back() const { return m_items.back(); }
    iterator insert(const_iterator pos, DWORD hItem);
    iterator erase(const_iterator pos);
    template <class It> void assign(It first, It last)
    {
        m_items.assign(first, last);
        m_nHead = 0;
        if (m_items.empty())
            std::vector<DWORD>().swap(m_items);
    }

private:
    // The children are m_items[m_nHead..]; the slots before them are free.
    std::vector<DWORD> m_items;
    size_t m_nHead = 0;
};

struct CReportNode {
    std::vector<CReportCell> m_cells;
    CReportChildList m_children; // emptied from the front when the parent goes
    // Only an item that was given an alarm holds one (the alarm list's rows);
    // a Skin Browser row would otherwise carry an unused record.
    std::unique_ptr<CAlarm> m_pAlarm;
    BOOL m_bCollapsed = TRUE;
    int m_nDepth = 0;
    int m_nRow = -1;
    BOOL m_bBold = FALSE;
    COLORREF m_crBack = RVC_NOTSET;
    COLORREF m_crText = RVC_NOTSET;
    DWORD m_hItem = 0;
    DWORD m_hParent = 0;
    bool m_bDeleting = false; // takes no new children while its subtree goes
};

struct CReportSelection {
    DWORD m_hItem = RVI_NONE;
    int m_nColumn = -1;
    COLORREF m_crRowBack = RVC_SYSTEM;
    COLORREF m_crRowText = RVC_SYSTEM;
    COLORREF m_crCellBack = RVC_SYSTEM;
    COLORREF m_crCellText = RVC_SYSTEM;
};

// The colours a cell falls back to, as the window knows them.
struct CReportPalette {
    COLORREF m_crBack = 0xFFFFFF;      // the list's background
    COLORREF m_crText = 0;             // the list's text
    COLORREF m_crHighlight = 0;        // COLOR_HIGHLIGHT
    COLORREF m_crHighlightText = 0;    // COLOR_HIGHLIGHTTEXT
    bool m_bListFullRowSelect = false; // the list view's own LVS_EX_FULLROWSELECT
    bool m_bEditorOpen = false;
};

// What the model asks of its window. Rows are the list view's rows; the
// model keeps its own copy of the row -> item map and tells the window each
// change as it makes it.
class CReportHost {
public:
    virtual ~CReportHost() = default;
    virtual void OnRowInserted(int nRow, DWORD hItem) = 0;
    virtual void OnRowDeleted(int nRow) = 0;
    // A block of rows went at once (an item with its shown descendants, or
    // every row); a window may drop them in one go. The rows go last first.
    virtual void OnRowsDeleted(int nFirst, int nCount)
    {
        for (int nRow = nFirst + nCount; nRow-- > nFirst;)
            OnRowDeleted(nRow);
    }
    virtual void OnRowItemChanged(int nRow, DWORD hItem) = 0;
    virtual void RepaintRow(int nRow) = 0;
    virtual void SetWindowRedraw(BOOL bRedraw) = 0;
    // Sends a notification about an item (column -1 or a cell); the answer bits.
    virtual int Notify(int nCode, DWORD hItem, int nColumn) = 0;
    virtual void EnsureVisible(DWORD hItem, int nColumn) = 0;
    virtual bool IsEditorOpen() const = 0;
    virtual int GetTopIndex() const = 0;
    virtual int GetCountPerPage() const = 0;
    // Fits the column (-1: column 0 of a one-column list without header).
    virtual void AutoSizeColumn(int nColumn) = 0;
};

// Compares two items by a column: negative, 0 or positive.
typedef std::function<int(int nColumn, DWORD hA, DWORD hB)> ReportCompareFn;

class CReportModel {
public:
    explicit CReportModel(CReportHost* pHost);
    CReportModel(const CReportModel&) = delete;
    CReportModel& operator=(const CReportModel&) = delete;

    // Styles
    int AddCellStyle(DWORD dwFlags);
    int GetStyleCount() const { return (int)m_styles.size(); }
    // Style -1 (and any index outside the table) is the default style.
    const CReportCellStyle& GetStyle(int nStyle) const;
    CReportCellStyle* GetStyleAt(int nStyle);
    DWORD GetStyleFlags(int nStyle) const { return GetStyle(nStyle).m_dwFlags; }
    void FreeStyles() { m_styles.clear(); }

    // Columns
    int InsertColumn(int nIndex, int nFormat, int nStyle);
    BOOL DeleteColumn(int nIndex);
    int GetColumnCount() const { return (int)m_columns.size(); }
    CReportColumn* GetColumn(int nColumn);
    const CReportColumn* GetColumn(int nColumn) const;
    int GetTreeColumn() const { return m_nTreeColumn; }
    void SetTreeColumn(int nColumn) { m_nTreeColumn = nColumn; }

    // Items
    DWORD InsertItem(DWORD hParent, DWORD hPosition, const CString& strText, int nImage, int nStyle);
    void DeleteItem(DWORD hItem);
    BOOL Expand(DWORD hItem, BOOL bCollapse);
    DWORD GetChildItem(DWORD hParent, int n) const;
    DWORD GetNextItem(DWORD hItem, int nRelation) const;
    int GetChildCount(DWORD hItem) const;
    int GetItemRow(DWORD hItem) const;
    int GetItemDepth(DWORD hItem) const;
    BOOL IsCollapsed(DWORD hItem) const;
    BOOL IsItemShown(DWORD hItem) const { return GetItemRow(hItem) >= 0; }
    BOOL SwapItems(DWORD hA, DWORD hB);
    DWORD FindItem(DWORD hParent, DWORD hStart, int nColumn, const CString& strText, BOOL bNoCase) const;
    int GetItemCount() const { return (int)m_nodes.size(); }

    // The node of a handle: the root for 1, null for 0 and unknown handles.
    CReportNode* Find(DWORD hItem);
    const CReportNode* Find(DWORD hItem) const;
    // The cell of an item, null when there is no such item or column.
    CReportCell* GetCell(DWORD hItem, int nColumn);
    const CReportCell* GetCell(DWORD hItem, int nColumn) const;

    // Rows
    int GetRowCount() const { return (int)m_rows.size(); }
    DWORD GetRowItem(int nRow) const;

    // Sorting: every level below the root by a column, with redraw locked.
    void SortColumn(int nColumn, BOOL bDescending);
    void SortChildren(DWORD hParent, int nColumn, BOOL bDescending, BOOL bRecurse);
    void SetCompareFunction(ReportCompareFn fn) { m_fnCompare = std::move(fn); }
    // The default order: the cells' texts, compared as _stricmp does.
    int CompareItems(int nColumn, DWORD hA, DWORD hB) const;

    // Redraw lock: nests; WM_SETREDRAW follows the counter.
    void SetRedraw(BOOL bRedraw, BOOL bReset = FALSE);
    int GetRedrawLock() const { return m_nRedrawLock; }

    // Selection
    const CReportSelection& GetSelection() const { return m_sel; }
    CReportSelection& Selection() { return m_sel; }
    void SelectItem(DWORD hItem, int nColumn, BOOL bEnsureVisible);
    DWORD GetExtendedStyle() const { return m_dwExStyle; }
    void SetExtendedStyle(DWORD dwStyle) { m_dwExStyle = dwStyle; }
    BOOL IsFullRowSelect() const { return (m_dwExStyle & RVS_FULLROWSELECT) != 0; }

    // Colours: the item's and column's words; the selection's through SetColors.
    // Returns FALSE when no flag matched.
    BOOL SetColors(DWORD dwFlags, DWORD hItem, int nColumn, COLORREF crText, COLORREF crBack);
    void ResolveColors(DWORD hItem, int nColumn, const CReportPalette& palette, COLORREF& crBack,
        COLORREF& crText) const;

private:
    void ShowRow(CReportNode* pNode);
    void HideRow(CReportNode* pNode);
    void HideChildren(CReportNode* pNode);
    int SubtreeEnd(int nRow) const;
    void InsertRow(int nRow, DWORD hItem);
    void DeleteRows(int nFirst, int nEnd);
    void RenumberFrom(int nRow);
    void SortLevel(CReportNode* pParent, int nColumn, BOOL bDescending, BOOL bRecurse);
    void ReassignRows();
    int IndexInParent(const CReportNode* pNode) const;
    DWORD LastShownDescendant(DWORD hItem) const;
    DWORD IssueHandle();

    CReportHost* m_pHost;
    CReportNode m_root;
    std::unordered_map<DWORD, std::unique_ptr<CReportNode>> m_nodes;
    std::vector<DWORD> m_rows;
    std::vector<CReportColumn> m_columns;
    std::vector<CReportCellStyle> m_styles;
    CReportCellStyle m_defaultStyle;
    CReportSelection m_sel;
    DWORD m_dwExStyle = RVS_FULLROWSELECT;
    int m_nTreeColumn = -1;
    int m_nRedrawLock = 0;
    DWORD m_hNext = RVI_FIRSTHANDLE;
    ReportCompareFn m_fnCompare;
};

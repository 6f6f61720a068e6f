// CReportCtrl: set-up, the operations other windows call, notifications and
// the list rows the model asks for. Drawing and input: reportdraw_win.cpp.
#include "controls/reportctrl.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "afx/afxmeasure.h"

IMPLEMENT_DYNAMIC(CReportCtrl, CListCtrl)

BEGIN_MESSAGE_MAP(CReportCtrl, CListCtrl)
    ON_WM_CREATE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_CONTEXTMENU()
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_WM_SYSKEYDOWN()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_MESSAGE(WM_FONTCHANGE, OnFontChangeMessage)
    ON_WM_MEASUREITEM_REFLECT()
    ON_NOTIFY_REFLECT(LVN_DELETEALLITEMS, OnDeleteAllItems)
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

CReportCtrl::CReportCtrl()
    : m_model(this)
{
    std::srand((unsigned)std::time(nullptr));
    m_model.SetCompareFunction([this](int nColumn, DWORD hA, DWORD hB) { return m_pfnCompare(this, nColumn, hA, hB); });
}

CReportCtrl::~CReportCtrl() { FreeMemDC(); }

BOOL CReportCtrl::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style = (cs.style | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED) & ~LVS_EDITLABELS;
    return CListCtrl::PreCreateWindow(cs);
}

// Reached while the window is created (no header yet) and when a dialog's
// control is attached; only the attached control gets the skinned header, and
// it was measured before anything could answer, so it asks again.
void CReportCtrl::PreSubclassWindow()
{
    HWND hHeader = (HWND)::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0);
    if (hHeader == nullptr)
        return;
    ModifyStyle(LVS_EDITLABELS, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED);
    if (CWnd::FromHandlePermanent(hHeader) == nullptr)
        m_header.SubclassWindow(hHeader);
    Remeasure();
}

// The list asks for its row height while it is created and when its size
// changes; a parent outside the framework is routed around for both.
int CReportCtrl::OnCreate(LPCREATESTRUCT)
{
    CAfxMeasureRouting routing(m_hWnd);
    return (int)Default();
}

void CReportCtrl::OnWindowPosChanged(WINDOWPOS*)
{
    CAfxMeasureRouting routing(m_hWnd);
    Default();
}

void CReportCtrl::OnDestroy()
{
    m_bDestroying = true;
    m_pEditor = nullptr; // a child: it goes with this window and deletes itself
    DeleteItem(RVI_ROOT);
    m_model.FreeStyles();
    FreeMemDC();
    Default();
}

void CReportCtrl::Remeasure() { AfxForceMeasureItem(m_hWnd); }

LRESULT CReportCtrl::OnSetFont(WPARAM, LPARAM)
{
    LRESULT lResult = Default();
    Remeasure();
    return lResult;
}

LRESULT CReportCtrl::OnFontChangeMessage(WPARAM, LPARAM)
{
    LRESULT lResult = Default();
    Remeasure();
    return lResult;
}

// --- the rows the model asks for ---------------------------------------------

bool CReportCtrl::IsOwnerData() const { return (::GetWindowLongA(m_hWnd, GWL_STYLE) & LVS_OWNERDATA) != 0; }

void CReportCtrl::SyncRowCount() const
{
    m_bRowCountStale = false;
    ::SendMessageA(m_hWnd, LVM_SETITEMCOUNT, (WPARAM)m_model.GetRowCount(), LVSICF_NOSCROLL);
}

// While the redraw is held, an owner-data list view is told the new count
// once, when the redraw comes back or something asks it about rows: a fill
// of n rows then costs one message, not n (each sent message pays for the
// thread's hooks, and a program with menus has one).
void CReportCtrl::RowCountChanged()
{
    if (IsRedrawHeld())
        m_bRowCountStale = true;
    else
        SyncRowCount();
}

void CReportCtrl::FlushRowCount() const
{
    if (m_bRowCountStale && m_hWnd != nullptr)
        SyncRowCount();
}

void CReportCtrl::OnRowInserted(int nRow, DWORD hItem)
{
    if (IsOwnerData()) {
        RowCountChanged();
        return;
    }
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_STATE | LVIF_PARAM;
    item.iItem = nRow;
    item.pszText = const_cast<LPSTR>("");
    item.lParam = (LPARAM)hItem;
    ::SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, (LPARAM)&item);
}

void CReportCtrl::OnRowDeleted(int nRow)
{
    if (IsOwnerData())
        RowCountChanged();
    else
        ::SendMessageA(m_hWnd, LVM_DELETEITEM, (WPARAM)nRow, 0);
}

// Row by row the list view lays out, scrolls and repaints after each one:
// every row goes in one message, a block with drawing held off. (Under Wine
// even that one message takes time quadratic in the rows a list view holds.)
void CReportCtrl::OnRowsDeleted(int nFirst, int nCount)
{
    if (nCount <= 0)
        return;
    if (IsOwnerData()) {
        RowCountChanged();
        return;
    }
    if (nFirst == 0 && nCount == (int)::SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0)) {
        ::SendMessageA(m_hWnd, LVM_DELETEALLITEMS, 0, 0);
        return;
    }
    if (nCount == 1) {
        OnRowDeleted(nFirst);
        return;
    }
    ::SendMessageA(m_hWnd, WM_SETREDRAW, FALSE, 0);
    for (int nRow = nFirst + nCount; nRow-- > nFirst;)
        OnRowDeleted(nRow);
    SetWindowRedraw(!IsRedrawHeld());
}

void CReportCtrl::OnRowItemChanged(int nRow, DWORD hItem)
{
    if (IsOwnerData())
        RepaintRow(nRow);
    else
        CListCtrl::SetItemData(nRow, hItem);
}

// Rows changed while the redraw is held are repainted together when it comes back.
void CReportCtrl::RepaintRow(int nRow)
{
    if (nRow < 0)
        return;
    if (IsRedrawHeld())
        m_bRepaintHeld = true;
    else
        ::SendMessageA(m_hWnd, LVM_REDRAWITEMS, (WPARAM)nRow, (LPARAM)nRow);
}

void CReportCtrl::RepaintItem(DWORD hItem) { RepaintRow(m_model.GetItemRow(hItem)); }

void CReportCtrl::SetWindowRedraw(BOOL bRedraw)
{
    if (!bRedraw) {
        ::SendMessageA(m_hWnd, WM_SETREDRAW, FALSE, 0);
        return;
    }
    FlushRowCount();
    ::SendMessageA(m_hWnd, WM_SETREDRAW, TRUE, 0);
    if (m_bAutoSizeHeld) {
        m_bAutoSizeHeld = false;
        AutoSizeColumn(-1);
    }
    if (m_bRepaintHeld) {
        m_bRepaintHeld = false;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    }
}

int CReportCtrl::GetItemCount() const
{
    FlushRowCount();
    return CListCtrl::GetItemCount();
}

int CReportCtrl::GetTopIndex() const
{
    FlushRowCount();
    return (int)::SendMessageA(m_hWnd, LVM_GETTOPINDEX, 0, 0);
}

int CReportCtrl::GetCountPerPage() const { return (int)::SendMessageA(m_hWnd, LVM_GETCOUNTPERPAGE, 0, 0); }

// --- notifications -------------------------------------------------------------

void CReportCtrl::FillNotify(NMREPORT& nm, int nCode, DWORD hItem, int nColumn) const
{
    FillNotify(nm, (UINT)::GetDlgCtrlID(m_hWnd), nCode, hItem, nColumn);
}

void CReportCtrl::FillNotify(NMREPORT& nm, UINT nID, int nCode, DWORD hItem, int nColumn) const
{
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = nID;
    nm.hdr.code = (UINT)nCode;
    nm.hItem = hItem;
    nm.nColumn = nColumn;
    nm.bCollapsed = m_model.IsCollapsed(hItem);
    const CReportCell* pCell = hItem != RVI_NONE ? m_model.GetCell(hItem, nColumn) : nullptr;
    nm.strText = pCell != nullptr ? pCell->m_strText : CString();
    nm.dwData = pCell != nullptr ? pCell->m_dwData : 0;
    nm.nCheck = pCell != nullptr ? pCell->m_nCheck : 0;
    nm.nStyle = pCell != nullptr ? pCell->m_nStyle : -1;
}

HWND CReportCtrl::GetNotifyTarget() const
{
    return m_hWndNotify != nullptr && ::IsWindow(m_hWndNotify) ? m_hWndNotify : ::GetParent(m_hWnd);
}

int CReportCtrl::SendNotify(NMREPORT& nm)
{
    HWND hTarget = GetNotifyTarget();
    if (hTarget == nullptr)
        return 0;
    return (int)::SendMessageA(hTarget, WM_NOTIFY, nm.hdr.idFrom, (LPARAM)&nm);
}

// Emptying a list tells its owner of every item, 200,000 in a large skin
// list. An owner on this thread gets each notice from its window procedure
// directly, as SendMessage would call it there, but without the thread's
// hooks, which under Wine cost about 0.15 ms a message; an owner on another
// thread still gets it sent. No hook of the program watches WM_NOTIFY, and the
// framework's routing and reflection run inside the owner's procedure as before.
// The owner is looked up once for a deletion (the lookups alone would cost
// a tenth of a second for 200,000 items).
CReportCtrl::CDeleteNotices::CDeleteNotices(CReportCtrl& ctrl)
    : m_ctrl(ctrl)
    , m_pOuter(ctrl.m_pDeleteNotices)
{
    if (m_pOuter != nullptr) {
        m_hTarget = m_pOuter->m_hTarget;
        m_pfnTarget = m_pOuter->m_pfnTarget;
        m_nID = m_pOuter->m_nID;
    } else {
        m_hTarget = ctrl.GetNotifyTarget();
        if (m_hTarget != nullptr && ::GetWindowThreadProcessId(m_hTarget, nullptr) == ::GetCurrentThreadId())
            m_pfnTarget = (WNDPROC)::GetWindowLongPtrA(m_hTarget, GWLP_WNDPROC);
        m_nID = (UINT)::GetDlgCtrlID(ctrl.m_hWnd);
    }
    ctrl.m_pDeleteNotices = this;
}

CReportCtrl::CDeleteNotices::~CDeleteNotices() { m_ctrl.m_pDeleteNotices = m_pOuter; }

int CReportCtrl::CDeleteNotices::Send(NMREPORT& nm) const
{
    if (m_hTarget == nullptr || !::IsWindow(m_hTarget))
        return 0;
    if (m_pfnTarget == nullptr)
        return (int)::SendMessageA(m_hTarget, WM_NOTIFY, nm.hdr.idFrom, (LPARAM)&nm);
    return (int)::CallWindowProcA(m_pfnTarget, m_hTarget, WM_NOTIFY, nm.hdr.idFrom, (LPARAM)&nm);
}

void CReportCtrl::DeleteItem(DWORD hItem)
{
    CDeleteNotices notices(*this);
    m_model.DeleteItem(hItem);
}

int CReportCtrl::Notify(int nCode, DWORD hItem, int nColumn)
{
    NMREPORT nm;
    if (nCode == RCN_ITEMDELETED) {
        CancelEditorOf(hItem);
        CDeleteNotices notices(*this); // the deletion's own, found again
        FillNotify(nm, notices.m_nID, nCode, hItem, nColumn);
        return notices.Send(nm);
    }
    FillNotify(nm, nCode, hItem, nColumn);
    return SendNotify(nm);
}

// The report tells its owner of each item it deletes; the list view's own
// notice for every row would cost a sent message each and tell nothing more.
void CReportCtrl::OnDeleteAllItems(NMHDR*, LRESULT* pResult) { *pResult = TRUE; }

BOOL CReportCtrl::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = (NMHDR*)lParam;
    if (pNMHDR->code == (UINT)RCN_EDITORDONE && pNMHDR->hwndFrom == m_hWnd
        && (pNMHDR->idFrom == IDC_REPORTEDIT || pNMHDR->idFrom == IDC_REPORTCOMBO)) {
        *pResult = OnEditorDone((NMREPORTEDITOR*)lParam);
        return TRUE;
    }
    if (pNMHDR->hwndFrom == (HWND)::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0))
        OnHeaderNotify(pNMHDR); // the list view still does its own part
    return CListCtrl::OnNotify(wParam, lParam, pResult);
}

void CReportCtrl::OnHeaderNotify(NMHDR* pNMHDR)
{
    NMHEADERA* pHeader = (NMHEADERA*)pNMHDR;
    switch (pNMHDR->code) {
    case HDN_ITEMCLICKA:
    case HDN_ITEMCLICKW:
        if (pHeader->iButton == 0) {
            if (CReportColumn* pColumn = m_model.GetColumn(pHeader->iItem)) {
                SortColumn(pHeader->iItem, pColumn->m_bDescending);
                if ((pColumn = m_model.GetColumn(pHeader->iItem)) != nullptr)
                    pColumn->m_bDescending = !pColumn->m_bDescending;
            }
        }
        break;
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW:
        AutoSizeColumn(pHeader->iItem);
        break;
    case HDN_ITEMCHANGINGA:
    case HDN_ITEMCHANGINGW:
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW:
        if (pHeader->pitem != nullptr && (pHeader->pitem->mask & HDI_WIDTH) && (GetStyle() & LVS_TYPEMASK) == LVS_REPORT) {
            SetFocus();
            if (CReportColumn* pColumn = m_model.GetColumn(pHeader->iItem))
                pColumn->m_nWidth = pHeader->pitem->cxy;
            Invalidate();
        }
        break;
    default:
        break;
    }
}

// --- styles --------------------------------------------------------------------

BOOL CReportCtrl::SetStyleFlags(int nStyle, DWORD dwFlags)
{
    CReportCellStyle* pStyle = m_model.GetStyleAt(nStyle);
    if (pStyle == nullptr)
        return FALSE;
    pStyle->m_dwFlags = dwFlags;
    return TRUE;
}

BOOL CReportCtrl::GetStyleCheckImages(int nStyle, int& nChecked, int& nUnchecked, int& nThirdState) const
{
    const CReportCellStyle& style = m_model.GetStyle(nStyle);
    nChecked = style.m_nCheckedImage;
    nUnchecked = style.m_nUncheckedImage;
    nThirdState = style.m_nThirdStateImage;
    return nStyle >= 0 && nStyle < m_model.GetStyleCount();
}

BOOL CReportCtrl::SetStyleCheckImages(int nStyle, int nChecked, int nUnchecked, int nThirdState)
{
    CReportCellStyle* pStyle = m_model.GetStyleAt(nStyle);
    if (pStyle == nullptr)
        return FALSE;
    pStyle->m_nCheckedImage = nChecked;
    pStyle->m_nUncheckedImage = nUnchecked;
    pStyle->m_nThirdStateImage = nThirdState;
    return TRUE;
}

BOOL CReportCtrl::AddStyleChoice(int nStyle, const CString& strText, DWORD dwData)
{
    CReportCellStyle* pStyle = m_model.GetStyleAt(nStyle);
    if (pStyle == nullptr)
        return FALSE;
    pStyle->m_choices.push_back(CTextData { strText, dwData });
    return TRUE;
}

const std::vector<CTextData>* CReportCtrl::GetStyleChoices(int nStyle) const
{
    return &m_model.GetStyle(nStyle).m_choices;
}

BOOL CReportCtrl::GetStyleValue(int nStyle, CTextData& value) const
{
    value = m_model.GetStyle(nStyle).m_value;
    return nStyle >= 0 && nStyle < m_model.GetStyleCount();
}

BOOL CReportCtrl::SetStyleValue(int nStyle, const CTextData& value)
{
    CReportCellStyle* pStyle = m_model.GetStyleAt(nStyle);
    if (pStyle == nullptr)
        return FALSE;
    pStyle->m_value = value;
    return TRUE;
}

// --- columns -------------------------------------------------------------------

int CReportCtrl::InsertColumn(int nIndex, const CString& strHeading, int nFormat, int nWidth, int nStyle)
{
    ModifyStyle(0, LVS_REPORT | LVS_OWNERDRAWFIXED);
    int nColumn = m_model.InsertColumn(nIndex, nFormat, nStyle);
    CListCtrl::InsertColumn(nColumn, strHeading, nFormat == 1 ? LVCFMT_RIGHT : (nFormat == 2 ? LVCFMT_CENTER : LVCFMT_LEFT),
        nWidth);
    return nColumn;
}

BOOL CReportCtrl::DeleteColumn(int nIndex)
{
    if (nIndex == -1)
        nIndex = m_model.GetColumnCount() - 1;
    if (!m_model.DeleteColumn(nIndex))
        return FALSE;
    CListCtrl::DeleteColumn(nIndex);
    return TRUE;
}

void CReportCtrl::SetTreeColumn(int nColumn)
{
    m_model.SetTreeColumn(nColumn);
    Invalidate();
    UpdateWindow();
}

CString CReportCtrl::GetColumnHeading(int nColumn) const
{
    char sz[200] = "";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = sz;
    column.cchTextMax = (int)sizeof(sz);
    if (!CListCtrl::GetColumn(nColumn, &column))
        return CString();
    sz[sizeof(sz) - 1] = '\0';
    return CString(sz);
}

BOOL CReportCtrl::SetColumnHeading(int nColumn, const CString& strHeading)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<LPSTR>(strHeading.GetString());
    return CListCtrl::SetColumn(nColumn, &column);
}

// --- items -----------------------------------------------------------------------

DWORD CReportCtrl::InsertItem(DWORD hParent, DWORD hPosition, const CString& strText, int nImage, int nStyle)
{
    return m_model.InsertItem(hParent, hPosition, strText, nImage, nStyle);
}

CString CReportCtrl::GetItemText(DWORD hItem, int nColumn) const
{
    const CReportCell* pCell = m_model.GetCell(hItem, nColumn);
    return pCell != nullptr ? pCell->m_strText : CString();
}

void CReportCtrl::SetItemText(DWORD hItem, int nColumn, const CString& strText)
{
    if (CReportCell* pCell = m_model.GetCell(hItem, nColumn)) {
        pCell->m_strText = strText;
        RepaintItem(hItem);
        AutoSizeColumn(-1);
    }
}

int CReportCtrl::GetItemImage(DWORD hItem, int nColumn) const
{
    const CReportCell* pCell = m_model.GetCell(hItem, nColumn);
    return pCell != nullptr ? pCell->m_nImage : -1;
}

void CReportCtrl::SetItemImage(DWORD hItem, int nColumn, int nImage)
{
    if (CReportCell* pCell = m_model.GetCell(hItem, nColumn)) {
        pCell->m_nImage = nImage;
        RepaintItem(hItem);
    }
}

int CReportCtrl::GetItemCheck(DWORD hItem, int nColumn) const
{
    const CReportCell* pCell = m_model.GetCell(hItem, nColumn);
    return pCell != nullptr ? pCell->m_nCheck : 0;
}

void CReportCtrl::SetItemCheck(DWORD hItem, int nColumn, int nCheck)
{
    if (CReportCell* pCell = m_model.GetCell(hItem, nColumn)) {
        pCell->m_nCheck = nCheck;
        RepaintItem(hItem);
    }
}

int CReportCtrl::GetItemStyle(DWORD hItem, int nColumn) const
{
    const CReportCell* pCell = m_model.GetCell(hItem, nColumn);
    return pCell != nullptr ? pCell->m_nStyle : -1;
}

void CReportCtrl::SetItemStyle(DWORD hItem, int nColumn, int nStyle)
{
    if (CReportCell* pCell = m_model.GetCell(hItem, nColumn)) {
        pCell->m_nStyle = nStyle;
        RepaintItem(hItem);
    }
}

void CReportCtrl::SetItemStyles(DWORD hItem, const int* pnStyles, int nCount)
{
    for (int i = 0; i < nCount && pnStyles != nullptr; ++i)
        if (CReportCell* pCell = m_model.GetCell(hItem, i))
            pCell->m_nStyle = pnStyles[i];
    RepaintItem(hItem);
}

DWORD CReportCtrl::GetItemData(DWORD hItem, int nColumn) const
{
    const CReportCell* pCell = m_model.GetCell(hItem, nColumn);
    return pCell != nullptr ? pCell->m_dwData : 0;
}

void CReportCtrl::SetItemData(DWORD hItem, int nColumn, DWORD dwData)
{
    if (CReportCell* pCell = m_model.GetCell(hItem, nColumn))
        pCell->m_dwData = dwData;
}

BOOL CReportCtrl::GetItemBold(DWORD hItem) const
{
    const CReportNode* pNode = m_model.Find(hItem);
    return pNode != nullptr && pNode->m_bBold;
}

void CReportCtrl::SetItemBold(DWORD hItem, BOOL bBold)
{
    if (CReportNode* pNode = m_model.Find(hItem)) {
        pNode->m_bBold = bBold;
        RepaintItem(hItem);
    }
}

void CReportCtrl::SetItemAlarm(DWORD hItem, CAlarm alarm)
{
    if (CReportNode* pNode = m_model.Find(hItem)) {
        if (pNode->m_pAlarm == nullptr)
            pNode->m_pAlarm = std::make_unique<CAlarm>(alarm);
        else
            *pNode->m_pAlarm = alarm;
    }
}

// An item never given an alarm has the record a new alarm starts with.
CAlarm CReportCtrl::GetItemAlarm(DWORD hItem) const
{
    const CReportNode* pNode = m_model.Find(hItem);
    return pNode != nullptr && pNode->m_pAlarm != nullptr ? *pNode->m_pAlarm : CAlarm();
}

// --- selection, colours, sorting ------------------------------------------------

void CReportCtrl::SetFullRowSelect(BOOL bFullRow)
{
    DWORD dwStyle = m_model.GetExtendedStyle();
    m_model.SetExtendedStyle(bFullRow ? (dwStyle | RVS_FULLROWSELECT) : (dwStyle & ~RVS_FULLROWSELECT));
    RepaintItem(m_model.GetSelection().m_hItem);
}

void CReportCtrl::ModifyExtendedStyle(DWORD dwRemove, DWORD dwAdd, DWORD dwMask)
{
    DWORD dwStyle = m_model.GetExtendedStyle();
    dwStyle = (dwStyle & ~(dwRemove & dwMask)) | (dwAdd & dwMask);
    m_model.SetExtendedStyle(dwStyle);
    Invalidate();
}

void CReportCtrl::SetColors(DWORD dwFlags, DWORD hItem, int nColumn, COLORREF crText, COLORREF crBack)
{
    if (dwFlags & RVCF_CONTROL) {
        if (crText != RVC_UNCHANGED)
            CListCtrl::SetTextColor(crText);
        if (crBack != RVC_UNCHANGED)
            CListCtrl::SetBkColor(crBack);
    } else if (!m_model.SetColors(dwFlags, hItem, nColumn, crText, crBack)) {
        return;
    }
    Invalidate();
}

COLORREF CReportCtrl::GetCellBackColor(DWORD hItem, int nColumn) const
{
    CReportPalette palette = GetPalette();
    COLORREF crBack = palette.m_crBack, crText = palette.m_crText;
    m_model.ResolveColors(hItem, nColumn, palette, crBack, crText);
    return crBack;
}

CReportPalette CReportCtrl::GetPalette() const
{
    CReportPalette palette;
    palette.m_crBack = CListCtrl::GetBkColor();
    palette.m_crText = CListCtrl::GetTextColor();
    palette.m_crHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
    palette.m_crHighlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    palette.m_bListFullRowSelect = (CListCtrl::GetExtendedStyle() & LVS_EX_FULLROWSELECT) != 0;
    palette.m_bEditorOpen = m_pEditor != nullptr;
    return palette;
}

void CReportCtrl::SortColumn(int nColumn, BOOL bDescending) { m_model.SortColumn(nColumn, bDescending); }

int CReportCtrl::CompareItems(CReportCtrl* pCtrl, int nColumn, DWORD hA, DWORD hB)
{
    return pCtrl->m_model.CompareItems(nColumn, hA, hB);
}

// --- layout ------------------------------------------------------------------------

void CReportCtrl::SetLinesPerRow(int nLines)
{
    m_nLinesPerRow = nLines < 1 ? 1 : nLines;
    Remeasure();
}

void CReportCtrl::GetTreeImages(int& nCollapsed, int& nExpanded) const
{
    nCollapsed = m_nCollapsedImage;
    nExpanded = m_nExpandedImage;
}

void CReportCtrl::SetTreeImages(int nCollapsed, int nExpanded)
{
    m_nCollapsedImage = nCollapsed;
    m_nExpandedImage = nExpanded;
    Invalidate();
}

void CReportCtrl::GetEdgeRects(CRect& rcRight, CRect& rcBottom) const
{
    CRect rc;
    ::GetWindowRect(m_hWnd, &rc);
    // Through the screen: the parent's caption and frame are accounted for.
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), (LPPOINT)&rc, 2);
    rcRight = CRect(rc.right - 12, rc.top, rc.right, rc.bottom);
    rcBottom = CRect(rc.left, rc.bottom - 12, rc.right, rc.bottom);
}

void CReportCtrl::EnsureVisible(DWORD hItem, int nColumn)
{
    int nRow = m_model.GetItemRow(hItem);
    if (nRow < 0 || nColumn < 0)
        return;
    FlushRowCount();
    ::SendMessageA(m_hWnd, LVM_ENSUREVISIBLE, (WPARAM)nRow, FALSE);
    CRect rcCell, rcClient;
    if (!GetCellRect(hItem, nColumn, RVP_CELL, rcCell))
        return;
    GetClientRect(&rcClient);
    int dx = 0;
    if (rcCell.left < rcClient.left)
        dx = rcCell.left - rcClient.left - (nColumn == 0 ? 0 : 10);
    else if (rcCell.right > rcClient.right)
        dx = rcCell.right - rcClient.right + 10 - std::max(0, rcCell.Width() - (rcClient.Width() - 20));
    if (dx != 0)
        ::SendMessageA(m_hWnd, LVM_SCROLL, (WPARAM)dx, 0);
    InvalidateRowsArea();
}

void CReportCtrl::InvalidateRowsArea()
{
    CRect rc;
    GetClientRect(&rc);
    HWND hHeader = (HWND)::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0);
    if (hHeader != nullptr && ::IsWindowVisible(hHeader)) {
        CRect rcHeader;
        ::GetWindowRect(hHeader, &rcHeader);
        ScreenToClient(&rcHeader);
        rc.top = std::max(rc.top, rcHeader.bottom);
    }
    InvalidateRect(&rc, TRUE);
}

// --- the memory DC -----------------------------------------------------------------

void CReportCtrl::FreeMemDC()
{
    if (m_memDC.m_hDC != nullptr && m_hOldMemBitmap != nullptr)
        ::SelectObject(m_memDC.m_hDC, m_hOldMemBitmap);
    m_hOldMemBitmap = nullptr;
    m_memBitmap.DeleteObject();
    m_memDC.DeleteDC();
    m_boldFont.DeleteObject();
    m_hBoldFrom = nullptr;
    m_memSize = CSize(0, 0);
}

// A 32-bit DIB section, made on first use and again only for a larger cell.
void CReportCtrl::PrepareMemDC(CDC* pDC, int cx, int cy)
{
    if (m_memDC.m_hDC == nullptr)
        m_memDC.CreateCompatibleDC(pDC);
    if (cx <= m_memSize.cx && cy <= m_memSize.cy && m_memBitmap.m_hObject != nullptr)
        return;
    CSize size(std::max<LONG>(cx, m_memSize.cx), std::max<LONG>(cy, m_memSize.cy));
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = size.cx;
    bmi.bmiHeader.biHeight = size.cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(m_memDC.m_hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (hBitmap == nullptr)
        return;
    if (m_hOldMemBitmap != nullptr)
        ::SelectObject(m_memDC.m_hDC, m_hOldMemBitmap);
    m_memBitmap.DeleteObject();
    m_memBitmap.Attach(hBitmap);
    m_hOldMemBitmap = ::SelectObject(m_memDC.m_hDC, hBitmap);
    m_memSize = size;
}

CFont* CReportCtrl::GetBoldFont(HFONT hFont)
{
    if (hFont == nullptr)
        hFont = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    if (m_boldFont.m_hObject == nullptr || m_hBoldFrom != hFont) {
        LOGFONTA lf = {};
        ::GetObjectA(hFont, sizeof(lf), &lf);
        lf.lfWeight = FW_BOLD;
        m_boldFont.DeleteObject();
        m_boldFont.CreateFontIndirect(&lf);
        m_hBoldFrom = hFont;
    }
    return &m_boldFont;
}

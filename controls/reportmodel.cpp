#include "controls/reportmodel.h"

#include <algorithm>

REPORTEDITOR ReportEditorOf(DWORD dwFlags)
{
    switch (dwFlags & (RCS_BUTTON | RCS_EDIT | RCS_COMBO)) {
    case RCS_BUTTON:
        return RVE_BUTTON;
    case RCS_EDIT:
        return RVE_EDIT;
    case RCS_EDIT | RCS_BUTTON:
        return RVE_EDITBUTTON;
    case RCS_COMBO | RCS_BUTTON:
        return RVE_DROPLIST;
    case RCS_COMBO | RCS_BUTTON | RCS_EDIT:
        return RVE_DROPCOMBO;
    default:
        return RVE_NONE;
    }
}

// --- child lists -------------------------------------------------------------

CReportChildList::iterator CReportChildList::insert(const_iterator pos, DWORD hItem)
{
    const size_t n = static_cast<size_t>(pos - begin());
    if (n == 0 && !empty()) {
        // Free slots before the first child, as many as there are children,
        // so that a run of items inserted first costs linear time in all.
        if (m_nHead == 0) {
            const size_t nGap = m_items.size();
            m_items.insert(m_items.begin(), nGap, 0);
            m_nHead = nGap;
        }
        m_items[--m_nHead] = hItem;
        return begin();
    }
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(m_nHead + n), hItem);
    return begin() + n;
}

CReportChildList::iterator CReportChildList::erase(const_iterator pos)
{
    const size_t n = static_cast<size_t>(pos - begin());
    if (n == 0)
        ++m_nHead;
    else
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(m_nHead + n));
    if (empty()) {
        std::vector<DWORD>().swap(m_items);
        m_nHead = 0;
    } else if (m_nHead >= 16 && m_nHead >= 2 * size()) {
        // The free slots outnumber the children twice: the move costs less
        // than the erasures that made them.
        m_items.erase(m_items.begin(), m_items.begin() + static_cast<std::ptrdiff_t>(m_nHead));
        m_nHead = 0;
    }
    return begin() + n;
}

// --- the model -------------------------------------------------------------------

CReportModel::CReportModel(CReportHost* pHost)
    : m_pHost(pHost)
{
    m_root.m_hItem = RVI_ROOT;
    m_root.m_bCollapsed = FALSE;
}

// --- styles and columns ----------------------------------------------------

int CReportModel::AddCellStyle(DWORD dwFlags)
{
    CReportCellStyle style;
    style.m_dwFlags = dwFlags;
    m_styles.push_back(std::move(style));
    return (int)m_styles.size() - 1;
}

const CReportCellStyle& CReportModel::GetStyle(int nStyle) const
{
    if (nStyle < 0 || nStyle >= (int)m_styles.size())
        return m_defaultStyle;
    return m_styles[(size_t)nStyle];
}

CReportCellStyle* CReportModel::GetStyleAt(int nStyle)
{
    if (nStyle < 0 || nStyle >= (int)m_styles.size())
        return nullptr;
    return &m_styles[(size_t)nStyle];
}

int CReportModel::InsertColumn(int nIndex, int nFormat, int nStyle)
{
    if (nIndex < 0 || nIndex > (int)m_columns.size())
        nIndex = (int)m_columns.size();
    CReportColumn column;
    column.m_nStyle = nStyle;
    column.m_nAlign = nFormat == 1 ? 2 : (nFormat == 2 ? 1 : 0);
    m_columns.insert(m_columns.begin() + nIndex, column);
    CReportCell cell;
    cell.m_nStyle = nStyle;
    m_root.m_cells.insert(m_root.m_cells.begin() + nIndex, cell);
    for (auto& e : m_nodes)
        e.second->m_cells.insert(e.second->m_cells.begin() + nIndex, cell);
    return nIndex;
}

BOOL CReportModel::DeleteColumn(int nIndex)
{
    if (m_columns.empty())
        return FALSE;
    if (nIndex == -1)
        nIndex = (int)m_columns.size() - 1;
    if (nIndex < 0 || nIndex >= (int)m_columns.size())
        return FALSE;
    m_columns.erase(m_columns.begin() + nIndex);
    m_root.m_cells.erase(m_root.m_cells.begin() + nIndex);
    for (auto& e : m_nodes)
        e.second->m_cells.erase(e.second->m_cells.begin() + nIndex);
    if (m_sel.m_nColumn >= (int)m_columns.size())
        m_sel.m_nColumn = (int)m_columns.size() - 1;
    return TRUE;
}

CReportColumn* CReportModel::GetColumn(int nColumn)
{
    if (nColumn < 0 || nColumn >= (int)m_columns.size())
        return nullptr;
    return &m_columns[(size_t)nColumn];
}

const CReportColumn* CReportModel::GetColumn(int nColumn) const
{
    return const_cast<CReportModel*>(this)->GetColumn(nColumn);
}

// --- nodes -----------------------------------------------------------------

CReportNode* CReportModel::Find(DWORD hItem)
{
    if (hItem == RVI_ROOT)
        return &m_root;
    auto it = m_nodes.find(hItem);
    return it == m_nodes.end() ? nullptr : it->second.get();
}

const CReportNode* CReportModel::Find(DWORD hItem) const
{
    return const_cast<CReportModel*>(this)->Find(hItem);
}

CReportCell* CReportModel::GetCell(DWORD hItem, int nColumn)
{
    CReportNode* pNode = Find(hItem);
    if (pNode == nullptr || nColumn < 0 || nColumn >= (int)pNode->m_cells.size())
        return nullptr;
    return &pNode->m_cells[(size_t)nColumn];
}

const CReportCell* CReportModel::GetCell(DWORD hItem, int nColumn) const
{
    return const_cast<CReportModel*>(this)->GetCell(hItem, nColumn);
}

DWORD CReportModel::IssueHandle()
{
    // Never reused while the counter lasts; after a wrap, skip what is taken.
    for (;;) {
        DWORD h = m_hNext++;
        if (m_hNext < RVI_FIRSTHANDLE)
            m_hNext = RVI_FIRSTHANDLE;
        if (h >= RVI_FIRSTHANDLE && m_nodes.find(h) == m_nodes.end())
            return h;
    }
}

int CReportModel::IndexInParent(const CReportNode* pNode) const
{
    const CReportNode* pParent = Find(pNode->m_hParent);
    if (pParent == nullptr)
        return -1;
    // From the back: appended items, the common case, are found at once.
    const auto& list = pParent->m_children;
    for (size_t i = list.size(); i-- > 0;)
        if (list[i] == pNode->m_hItem)
            return (int)i;
    return -1;
}

BOOL CReportModel::IsCollapsed(DWORD hItem) const
{
    const CReportNode* pNode = Find(hItem);
    if (pNode == nullptr)
        return TRUE;
    if (pNode == &m_root)
        return FALSE;
    return pNode->m_bCollapsed || pNode->m_children.empty();
}

int CReportModel::GetChildCount(DWORD hItem) const
{
    const CReportNode* pNode = Find(hItem);
    return pNode == nullptr ? 0 : (int)pNode->m_children.size();
}

int CReportModel::GetItemRow(DWORD hItem) const
{
    const CReportNode* pNode = Find(hItem);
    return pNode == nullptr ? -1 : pNode->m_nRow;
}

int CReportModel::GetItemDepth(DWORD hItem) const
{
    const CReportNode* pNode = Find(hItem);
    return pNode == nullptr ? 0 : pNode->m_nDepth;
}

DWORD CReportModel::GetRowItem(int nRow) const
{
    if (nRow < 0 || nRow >= (int)m_rows.size())
        return RVI_NONE;
    return m_rows[(size_t)nRow];
}

DWORD CReportModel::GetChildItem(DWORD hParent, int n) const
{
    const CReportNode* pNode = Find(hParent);
    if (pNode == nullptr || n < 0 || n >= (int)pNode->m_children.size())
        return RVI_NONE;
    return pNode->m_children[(size_t)n];
}

DWORD CReportModel::LastShownDescendant(DWORD hItem) const
{
    while (!IsCollapsed(hItem))
        hItem = Find(hItem)->m_children.back();
    return hItem;
}

DWORD CReportModel::GetNextItem(DWORD hItem, int nRelation) const
{
    if (nRelation == RVGN_FIRSTVISIBLE || nRelation == RVGN_LASTVISIBLE) {
        if (m_rows.empty())
            return RVI_NONE;
        int nTop = std::max(0, std::min(m_pHost->GetTopIndex(), (int)m_rows.size() - 1));
        if (nRelation == RVGN_FIRSTVISIBLE)
            return m_rows[(size_t)nTop];
        int nLast = std::min(nTop + m_pHost->GetCountPerPage(), (int)m_rows.size() - 1);
        return m_rows[(size_t)nLast];
    }
    const CReportNode* pNode = Find(hItem);
    if (pNode == nullptr)
        return RVI_NONE;
    const CReportNode* pParent = Find(pNode->m_hParent);
    int nIndex = pParent != nullptr ? IndexInParent(pNode) : -1;
    switch (nRelation) {
    case RVGN_FIRSTCHILD:
        return pNode->m_children.empty() ? RVI_NONE : pNode->m_children.front();
    case RVGN_LASTCHILD:
        return pNode->m_children.empty() ? RVI_NONE : pNode->m_children.back();
    case RVGN_NEXTSIBLING:
        if (nIndex < 0 || nIndex + 1 >= (int)pParent->m_children.size())
            return RVI_NONE;
        return pParent->m_children[(size_t)nIndex + 1];
    case RVGN_NEXTROW:
        return GetRowItem(pNode->m_nRow + 1);
    case RVGN_PREVIOUSSIBLING:
        return nIndex > 0 ? pParent->m_children[(size_t)nIndex - 1] : RVI_NONE;
    case RVGN_PREVIOUSROW:
        if (nIndex > 0)
            return LastShownDescendant(pParent->m_children[(size_t)nIndex - 1]);
        return pNode->m_hParent == RVI_ROOT ? RVI_NONE : pNode->m_hParent;
    case RVGN_PARENT:
        return pNode->m_hParent;
    case RVGN_SHOWNANCESTOR:
        while (pNode != nullptr && pNode != &m_root) {
            if (!IsCollapsed(pNode->m_hParent))
                return pNode->m_hItem;
            pNode = Find(pNode->m_hParent);
        }
        return RVI_NONE;
    case RVGN_TOPLEVEL:
        while (pNode != nullptr && pNode->m_hParent != RVI_ROOT)
            pNode = pNode == &m_root ? nullptr : Find(pNode->m_hParent);
        return pNode == nullptr ? RVI_NONE : pNode->m_hItem;
    default:
        return RVI_NONE;
    }
}

// --- rows ------------------------------------------------------------------

void CReportModel::RenumberFrom(int nRow)
{
    for (size_t i = (size_t)std::max(nRow, 0); i < m_rows.size(); ++i)
        if (CReportNode* pNode = Find(m_rows[i]))
            pNode->m_nRow = (int)i;
}

void CReportModel::InsertRow(int nRow, DWORD hItem)
{
    nRow = std::max(0, std::min(nRow, (int)m_rows.size()));
    m_rows.insert(m_rows.begin() + nRow, hItem);
    m_pHost->OnRowInserted(nRow, hItem);
    RenumberFrom(nRow);
}

// The rows [nFirst, nEnd) go in one step: erased and renumbered once, so a
// block costs its own size plus the rows after it, whatever its length.
void CReportModel::DeleteRows(int nFirst, int nEnd)
{
    nFirst = std::max(nFirst, 0);
    nEnd = std::min(nEnd, (int)m_rows.size());
    if (nFirst >= nEnd)
        return;
    for (int nRow = nFirst; nRow < nEnd; ++nRow)
        if (CReportNode* pNode = Find(m_rows[(size_t)nRow]))
            pNode->m_nRow = -1;
    m_rows.erase(m_rows.begin() + nFirst, m_rows.begin() + nEnd);
    m_pHost->OnRowsDeleted(nFirst, nEnd - nFirst);
    RenumberFrom(nFirst);
}

// The end of the rows of the item shown at nRow: its shown descendants are
// the deeper rows that follow it.
int CReportModel::SubtreeEnd(int nRow) const
{
    const CReportNode* pNode = Find(GetRowItem(nRow));
    if (pNode == nullptr)
        return nRow;
    int nEnd = nRow + 1;
    while (nEnd < (int)m_rows.size()) {
        const CReportNode* pNext = Find(m_rows[(size_t)nEnd]);
        if (pNext == nullptr || pNext->m_nDepth <= pNode->m_nDepth)
            break;
        ++nEnd;
    }
    return nEnd;
}

void CReportModel::ShowRow(CReportNode* pNode)
{
    if (pNode->m_nRow >= 0)
        return;
    DWORD hPrev = GetNextItem(pNode->m_hItem, RVGN_PREVIOUSROW);
    int nPrevRow = GetItemRow(hPrev);
    InsertRow(hPrev != RVI_NONE && nPrevRow >= 0 ? nPrevRow + 1 : 0, pNode->m_hItem);
    if (!IsCollapsed(pNode->m_hItem))
        for (DWORD hChild : pNode->m_children)
            ShowRow(Find(hChild));
}

void CReportModel::HideRow(CReportNode* pNode)
{
    if (pNode->m_nRow >= 0)
        DeleteRows(pNode->m_nRow, SubtreeEnd(pNode->m_nRow));
}

void CReportModel::HideChildren(CReportNode* pNode)
{
    if (pNode->m_nRow >= 0)
        DeleteRows(pNode->m_nRow + 1, SubtreeEnd(pNode->m_nRow));
}

// --- items -----------------------------------------------------------------

DWORD CReportModel::InsertItem(DWORD hParent, DWORD hPosition, const CString& strText, int nImage, int nStyle)
{
    CReportNode* pParent = Find(hParent);
    if (pParent == nullptr || pParent->m_bDeleting)
        return RVI_NONE;
    auto node = std::make_unique<CReportNode>();
    node->m_cells.resize(m_columns.size());
    for (size_t i = 0; i < m_columns.size(); ++i)
        node->m_cells[i].m_nStyle = m_columns[i].m_nStyle;
    int nTextColumn = m_nTreeColumn >= 0 ? m_nTreeColumn : 0;
    if (nTextColumn < (int)node->m_cells.size()) {
        CReportCell& cell = node->m_cells[(size_t)nTextColumn];
        cell.m_strText = strText;
        cell.m_nImage = nImage;
        if (nStyle >= 0)
            cell.m_nStyle = nStyle;
    }
    DWORD hItem = IssueHandle();
    node->m_hItem = hItem;
    node->m_hParent = hParent;
    node->m_nDepth = pParent->m_nDepth + 1;
    CReportNode* pNode = node.get();
    m_nodes.emplace(hItem, std::move(node));

    auto& siblings = pParent->m_children;
    if (hPosition == RVTI_FIRST || hPosition == RVTI_SORT) {
        siblings.insert(siblings.begin(), hItem);
    } else {
        // A position that names no sibling appends, as RVTI_LAST does.
        auto it = hPosition == RVTI_LAST ? siblings.end() : std::find(siblings.begin(), siblings.end(), hPosition);
        siblings.insert(it == siblings.end() ? it : it + 1, hItem);
    }

    if (hParent == RVI_ROOT || (pParent->m_nRow >= 0 && !IsCollapsed(hParent)))
        ShowRow(pNode);
    if (hPosition == RVTI_SORT) {
        int nColumn = nTextColumn;
        const CReportColumn* pColumn = GetColumn(nColumn);
        SetRedraw(FALSE);
        SortChildren(hParent, nColumn, pColumn != nullptr && pColumn->m_bDescending, FALSE);
        SetRedraw(TRUE);
    }
    if (pParent->m_nRow >= 0)
        m_pHost->RepaintRow(pParent->m_nRow);
    m_pHost->AutoSizeColumn(-1);
    return hItem;
}

// A handler of the notifications sent on the way may delete or re-sort items,
// this one included: after each, the item is found again by its handle (a
// handle is never reused) and the work stops when it has gone.
void CReportModel::DeleteItem(DWORD hItem)
{
    CReportNode* pNode = Find(hItem);
    if (pNode == nullptr || pNode->m_bDeleting)
        return;
    const bool bRoot = hItem == RVI_ROOT;
    if (bRoot) {
        DeleteRows(0, (int)m_rows.size());
    } else {
        Expand(hItem, TRUE);
        if ((pNode = Find(hItem)) == nullptr || pNode->m_bDeleting)
            return;
    }
    pNode->m_bDeleting = true;
    if (!bRoot) {
        m_pHost->Notify(RCN_ITEMDELETED, hItem, -1);
        if ((pNode = Find(hItem)) == nullptr)
            return;
    }
    if (m_sel.m_hItem == hItem && !bRoot) {
        DWORD hNext = GetNextItem(hItem, RVGN_NEXTSIBLING);
        if (hNext == RVI_NONE)
            hNext = GetNextItem(hItem, RVGN_PREVIOUSROW);
        SelectItem(hNext, m_sel.m_nColumn, TRUE);
        if ((pNode = Find(hItem)) == nullptr)
            return;
        if (m_sel.m_hItem == hItem) // an open editor kept the selection: it must not name a freed item
            m_sel.m_hItem = RVI_NONE;
    }
    if (bRoot && m_sel.m_hItem != RVI_NONE)
        m_sel.m_hItem = RVI_NONE;
    for (;;) {
        if ((pNode = Find(hItem)) == nullptr)
            return;
        // Children already on their way out (a handler deleting from inside a
        // deletion) are left to the deletion that holds them.
        auto it = std::find_if(pNode->m_children.begin(), pNode->m_children.end(), [this](DWORD h) {
            const CReportNode* p = Find(h);
            return p != nullptr && !p->m_bDeleting;
        });
        if (it == pNode->m_children.end())
            break;
        DeleteItem(*it);
    }
    if (bRoot) {
        // What is left was held by deletions further out; they unlink it.
        m_root.m_bCollapsed = FALSE;
        m_root.m_bDeleting = false;
        return;
    }
    HideRow(pNode);
    if (CReportNode* pParent = Find(pNode->m_hParent)) {
        // Children of an item being deleted go from the front: found at once.
        auto& siblings = pParent->m_children;
        auto it = std::find(siblings.begin(), siblings.end(), hItem);
        if (it != siblings.end())
            siblings.erase(it);
        if (pParent->m_nRow >= 0)
            m_pHost->RepaintRow(pParent->m_nRow);
    }
    // Children still linked belong to outer deletions; they no longer have a parent.
    m_nodes.erase(hItem);
}

BOOL CReportModel::Expand(DWORD hItem, BOOL bCollapse)
{
    CReportNode* pNode = Find(hItem);
    if (pNode == nullptr || pNode == &m_root || !IsCollapsed(hItem) == !bCollapse)
        return FALSE;
    pNode->m_bCollapsed = bCollapse;
    if (pNode->m_nRow >= 0 && !pNode->m_children.empty()) {
        SetRedraw(FALSE);
        if (bCollapse) {
            HideChildren(pNode);
        } else {
            for (DWORD hChild : pNode->m_children)
                ShowRow(Find(hChild));
        }
        SetRedraw(TRUE);
    }
    m_pHost->Notify(RCN_EXPANDCHANGED, hItem, -1);
    if ((pNode = Find(hItem)) == nullptr)
        return TRUE;
    if (m_sel.m_hItem != RVI_NONE && GetItemRow(m_sel.m_hItem) < 0)
        SelectItem(hItem, m_sel.m_nColumn, FALSE);
    else if (pNode->m_nRow >= 0)
        m_pHost->RepaintRow(pNode->m_nRow);
    m_pHost->AutoSizeColumn(-1);
    return TRUE;
}

BOOL CReportModel::SwapItems(DWORD hA, DWORD hB)
{
    CReportNode* pA = Find(hA);
    CReportNode* pB = Find(hB);
    if (pA == nullptr || pB == nullptr || pA == pB || pA == &m_root || pB == &m_root || pA->m_hParent != pB->m_hParent)
        return FALSE;
    CReportNode* pParent = Find(pA->m_hParent);
    if (pParent == nullptr)
        return FALSE;
    int nA = IndexInParent(pA);
    int nB = IndexInParent(pB);
    std::swap(pParent->m_children[(size_t)nA], pParent->m_children[(size_t)nB]);
    // Rows follow the new order; an expanded item takes its shown descendants along.
    ReassignRows();
    return TRUE;
}

DWORD CReportModel::FindItem(DWORD hParent, DWORD hStart, int nColumn, const CString& strText, BOOL bNoCase) const
{
    const CReportNode* pParent = Find(hParent);
    if (pParent == nullptr)
        return RVI_NONE;
    const auto& list = pParent->m_children;
    auto it = hStart == RVI_NONE ? list.begin() : std::find(list.begin(), list.end(), hStart);
    for (; it != list.end(); ++it) {
        const CReportCell* pCell = GetCell(*it, nColumn);
        if (pCell != nullptr && (bNoCase ? pCell->m_strText.CompareNoCase(strText) : pCell->m_strText.Compare(strText)) == 0)
            return *it;
    }
    return RVI_NONE;
}

// --- sorting ---------------------------------------------------------------

int CReportModel::CompareItems(int nColumn, DWORD hA, DWORD hB) const
{
    const CReportCell* pA = GetCell(hA, nColumn);
    const CReportCell* pB = GetCell(hB, nColumn);
    CString strA = pA != nullptr ? pA->m_strText : CString();
    return strA.CompareNoCase(pB != nullptr ? pB->m_strText : CString());
}

void CReportModel::SortColumn(int nColumn, BOOL bDescending)
{
    if (CReportColumn* pColumn = GetColumn(nColumn))
        pColumn->m_bDescending = bDescending;
    SetRedraw(FALSE);
    SortChildren(RVI_ROOT, nColumn, bDescending, TRUE);
    SetRedraw(TRUE, TRUE);
}

void CReportModel::SortChildren(DWORD hParent, int nColumn, BOOL bDescending, BOOL bRecurse)
{
    if (CReportNode* pParent = Find(hParent)) {
        SortLevel(pParent, nColumn, bDescending, bRecurse);
        ReassignRows();
    }
}

// The order of a bubble sort that swaps neighbours a, b when a must follow b
// and never swaps equal items, reached by a merge sort: a merge takes from the
// right run only when its head must come before the left run's head. The two
// agree for any consistent comparison; a merge never reads outside its runs
// whatever the comparison answers.
void CReportModel::SortLevel(CReportNode* pParent, int nColumn, BOOL bDescending, BOOL bRecurse)
{
    std::vector<DWORD> items(pParent->m_children.begin(), pParent->m_children.end());
    if (items.size() >= 2) {
        auto mustFollow = [&](DWORD hA, DWORD hB) {
            int n = m_fnCompare ? m_fnCompare(nColumn, hA, hB) : CompareItems(nColumn, hA, hB);
            return bDescending ? n < 0 : n > 0;
        };
        std::vector<DWORD> buffer(items.size());
        for (size_t width = 1; width < items.size(); width *= 2) {
            for (size_t lo = 0; lo < items.size(); lo += 2 * width) {
                size_t mid = std::min(lo + width, items.size());
                size_t hi = std::min(lo + 2 * width, items.size());
                size_t i = lo, j = mid, k = lo;
                while (i < mid && j < hi)
                    buffer[k++] = mustFollow(items[i], items[j]) ? items[j++] : items[i++];
                while (i < mid)
                    buffer[k++] = items[i++];
                while (j < hi)
                    buffer[k++] = items[j++];
            }
            items.swap(buffer);
        }
        pParent->m_children.assign(items.begin(), items.end());
    }
    if (bRecurse)
        for (DWORD hChild : items)
            if (CReportNode* pChild = Find(hChild))
                SortLevel(pChild, nColumn, bDescending, TRUE);
}

// Rewrites the row -> item map in tree order after siblings changed places;
// only rows whose item changed are told to the window.
void CReportModel::ReassignRows()
{
    std::vector<DWORD> rows;
    rows.reserve(m_rows.size());
    std::function<void(const CReportNode*)> walk = [&](const CReportNode* pNode) {
        for (DWORD hChild : pNode->m_children) {
            const CReportNode* pChild = Find(hChild);
            if (pChild == nullptr || pChild->m_nRow < 0)
                continue;
            rows.push_back(hChild);
            if (!IsCollapsed(hChild))
                walk(pChild);
        }
    };
    walk(&m_root);
    if (rows.size() != m_rows.size())
        return; // cannot happen while the invariants hold; leave the rows as they are
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] == m_rows[i])
            continue;
        m_rows[i] = rows[i];
        Find(rows[i])->m_nRow = (int)i;
        m_pHost->OnRowItemChanged((int)i, rows[i]);
        m_pHost->RepaintRow((int)i);
    }
}

// --- redraw, selection, colours -------------------------------------------

void CReportModel::SetRedraw(BOOL bRedraw, BOOL bReset)
{
    m_nRedrawLock += bRedraw ? -1 : 1;
    if (m_nRedrawLock < 0 || bReset)
        m_nRedrawLock = 0;
    m_pHost->SetWindowRedraw(m_nRedrawLock < 1);
}

void CReportModel::SelectItem(DWORD hItem, int nColumn, BOOL bEnsureVisible)
{
    if (m_pHost->IsEditorOpen())
        return;
    if (hItem == RVI_ROOT || Find(hItem) == nullptr)
        hItem = RVI_NONE;
    int nRequested = IsFullRowSelect() ? -1 : nColumn;
    int nStored = std::min(nRequested, (int)m_columns.size() - 1);
    DWORD hOld = m_sel.m_hItem;
    int nOldColumn = m_sel.m_nColumn;
    m_sel.m_hItem = hItem;
    m_sel.m_nColumn = nStored;
    if (hItem == hOld && nOldColumn == nStored)
        return;
    int nOldRow = GetItemRow(hOld);
    if (nOldRow >= 0)
        m_pHost->RepaintRow(nOldRow);
    int nNewRow = GetItemRow(hItem);
    if (nNewRow >= 0 && nNewRow != nOldRow)
        m_pHost->RepaintRow(nNewRow);
    if (bEnsureVisible && hItem != RVI_NONE)
        m_pHost->EnsureVisible(hItem, nStored);
    m_pHost->Notify(RCN_SELCHANGED, hItem, nRequested);
}

BOOL CReportModel::SetColors(DWORD dwFlags, DWORD hItem, int nColumn, COLORREF crText, COLORREF crBack)
{
    COLORREF* pText = nullptr;
    COLORREF* pBack = nullptr;
    if (dwFlags & RVCF_COLUMN) {
        CReportColumn* pColumn = GetColumn(nColumn);
        if (pColumn == nullptr)
            return FALSE;
        pText = &pColumn->m_crText;
        pBack = &pColumn->m_crBack;
    } else if (dwFlags & RVCF_ITEM) {
        CReportNode* pNode = Find(hItem);
        if (pNode == nullptr)
            return FALSE;
        pText = &pNode->m_crText;
        pBack = &pNode->m_crBack;
    } else if (dwFlags & RVCF_SELROW) {
        pText = &m_sel.m_crRowText;
        pBack = &m_sel.m_crRowBack;
    } else if (dwFlags & RVCF_SELCELL) {
        pText = &m_sel.m_crCellText;
        pBack = &m_sel.m_crCellBack;
    } else {
        return FALSE;
    }
    if (crText != RVC_UNCHANGED)
        *pText = crText;
    if (crBack != RVC_UNCHANGED)
        *pBack = crBack;
    return TRUE;
}

void CReportModel::ResolveColors(
    DWORD hItem, int nColumn, const CReportPalette& palette, COLORREF& crBack, COLORREF& crText) const
{
    bool bBack = false;
    bool bText = false;
    // A level gives each colour that it sets; a system word means the highlight
    // colours only where bSystem allows it, and is "not set" elsewhere.
    auto take = [&](COLORREF clrBack, COLORREF clrText, bool bSystem) {
        auto one = [&](COLORREF clr, COLORREF clrSystem, bool& bDone, COLORREF& out) {
            if (bDone || clr == RVC_NOTSET || clr == RVC_UNCHANGED || (clr == RVC_SYSTEM && !bSystem))
                return;
            out = clr == RVC_SYSTEM ? clrSystem : clr;
            bDone = true;
        };
        one(clrBack, palette.m_crHighlight, bBack, crBack);
        one(clrText, palette.m_crHighlightText, bText, crText);
    };
    const bool bSelected = hItem != RVI_NONE && hItem == m_sel.m_hItem;
    if (bSelected && nColumn >= 0 && nColumn == m_sel.m_nColumn) {
        if (palette.m_bEditorOpen) {
            crBack = palette.m_crBack;
            bBack = true;
        }
        take(m_sel.m_crCellBack, m_sel.m_crCellText, true);
    }
    if (bSelected && ((IsFullRowSelect() && nColumn == 0) || palette.m_bListFullRowSelect))
        take(m_sel.m_crRowBack, m_sel.m_crRowText, true);
    if (const CReportNode* pNode = Find(hItem))
        take(pNode->m_crBack, pNode->m_crText, false);
    if (const CReportColumn* pColumn = GetColumn(nColumn))
        take(pColumn->m_crBack, pColumn->m_crText, false);
    take(palette.m_crBack, palette.m_crText, false);
}

#include "afx/afxwin.h"

#include <vector>

#include "afx/afxstate.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)
IMPLEMENT_DYNAMIC(CHotKeyCtrl, CWnd)
IMPLEMENT_DYNAMIC(CDateTimeCtrl, CWnd)
IMPLEMENT_DYNAMIC(CMonthCalCtrl, CWnd)

// Owner draw reflected to a control: the control's virtual wins over its map.
template <class T>
static BOOL AfxOwnerDrawNotify(T* pCtrl, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message != WM_DRAWITEM)
        return pCtrl->CWnd::OnChildNotify(message, wParam, lParam, pResult);
    pCtrl->DrawItem((LPDRAWITEMSTRUCT)lParam);
    return TRUE;
}

BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return AfxOwnerDrawNotify(this, message, wParam, lParam, pResult);
}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return AfxOwnerDrawNotify(this, message, wParam, lParam, pResult);
}

BOOL CHeaderCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return AfxOwnerDrawNotify(this, message, wParam, lParam, pResult);
}

BOOL CTabCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return AfxOwnerDrawNotify(this, message, wParam, lParam, pResult);
}

BOOL CListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    // The map is asked first: a reflected WM_MEASUREITEM entry sets the row height.
    if (CWnd::OnChildNotify(message, wParam, lParam, pResult))
        return TRUE;
    if (message != WM_DRAWITEM)
        return FALSE;
    DrawItem((LPDRAWITEMSTRUCT)lParam);
    return TRUE;
}

template <class T>
static BOOL AfxOwnerDrawListNotify(T* pCtrl, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
    case WM_DRAWITEM:
        pCtrl->DrawItem((LPDRAWITEMSTRUCT)lParam);
        return TRUE;
    case WM_MEASUREITEM:
        pCtrl->MeasureItem((LPMEASUREITEMSTRUCT)lParam);
        return TRUE;
    case WM_COMPAREITEM:
        if (pResult != nullptr)
            *pResult = pCtrl->CompareItem((LPCOMPAREITEMSTRUCT)lParam);
        return TRUE;
    case WM_DELETEITEM:
        pCtrl->DeleteItem((LPDELETEITEMSTRUCT)lParam);
        return TRUE;
    default:
        return pCtrl->CWnd::OnChildNotify(message, wParam, lParam, pResult);
    }
}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return AfxOwnerDrawListNotify(this, message, wParam, lParam, pResult);
}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return AfxOwnerDrawListNotify(this, message, wParam, lParam, pResult);
}

void CListBox::GetText(int nIndex, CString& rString) const {
    rString = AfxGetListText(m_hWnd, LB_GETTEXTLEN, LB_GETTEXT, nIndex);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
    rString = AfxGetListText(m_hWnd, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex);
}

int CListCtrl::InsertItem(int nItem, LPCSTR lpszItem, int nImage) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | (nImage >= 0 ? LVIF_IMAGE : 0);
    item.iItem = nItem;
    item.pszText = const_cast<LPSTR>(lpszItem);
    item.iImage = nImage;
    return InsertItem(&item);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCSTR lpszText) {
    LVITEMA item{};
    item.iSubItem = nSubItem;
    item.pszText = const_cast<LPSTR>(lpszText);
    return (BOOL)SendMessage(LVM_SETITEMTEXTA, (WPARAM)nItem, (LPARAM)&item);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
    // The control copies at most the buffer; grow until the text fits.
    std::vector<char> buf(256);
    for (;;) {
        LVITEMA item{};
        item.iSubItem = nSubItem;
        item.pszText = buf.data();
        item.cchTextMax = (int)buf.size();
        int nLen = (int)SendMessage(LVM_GETITEMTEXTA, (WPARAM)nItem, (LPARAM)&item);
        if (nLen < (int)buf.size() - 1 || buf.size() >= 65536)
            return CString(buf.data());
        buf.resize(buf.size() * 2);
    }
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    item.lParam = (LPARAM)dwData;
    return SetItem(&item);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    return GetItem(&item) ? (DWORD_PTR)item.lParam : 0;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    LVITEMA item{};
    item.state = nState;
    item.stateMask = nMask;
    return (BOOL)SendMessage(LVM_SETITEMSTATE, (WPARAM)nItem, (LPARAM)&item);
}

int CListCtrl::InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.pszText = const_cast<LPSTR>(lpszColumnHeading);
    column.fmt = nFormat;
    if (nWidth != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = nWidth;
    }
    if (nSubItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &column);
}

LONG CTabCtrl::InsertItem(int nItem, LPCSTR lpszItem, int nImage) {
    return InsertItem(TCIF_TEXT | (nImage >= 0 ? TCIF_IMAGE : 0), nItem, lpszItem, nImage, 0);
}

LONG CTabCtrl::InsertItem(UINT nMask, int nItem, LPCSTR lpszItem, int nImage, LPARAM lParam) {
    TCITEMA item{};
    item.mask = nMask;
    item.pszText = const_cast<LPSTR>(lpszItem);
    item.iImage = nImage;
    item.lParam = lParam;
    return InsertItem(nItem, &item);
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
    return CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->GetSafeHwnd(), nullptr, nullptr);
}

// bByHandle: the tool is pWnd itself, named by its handle under its parent.
static TTTOOLINFOA AfxToolInfo(CWnd* pWnd, UINT_PTR nIDTool, LPCSTR lpszText, bool bByHandle) {
    TTTOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;  // the size every comctl32 version accepts
    ti.hwnd = pWnd->GetSafeHwnd();
    ti.uId = nIDTool;
    ti.lpszText = const_cast<LPSTR>(lpszText);
    if (bByHandle) {
        ti.uFlags = TTF_IDISHWND;
        ti.uId = (UINT_PTR)pWnd->GetSafeHwnd();
        ti.hwnd = ::GetParent(pWnd->GetSafeHwnd());
    }
    return ti;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
    TTTOOLINFOA ti = AfxToolInfo(pWnd, nIDTool, lpszText, lpRectTool == nullptr && nIDTool == 0);
    ti.uFlags |= TTF_SUBCLASS;
    if (lpRectTool != nullptr)
        ti.rect = *lpRectTool;
    return (BOOL)SendMessage(TTM_ADDTOOLA, 0, (LPARAM)&ti);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool) {
    TTTOOLINFOA ti = AfxToolInfo(pWnd, nIDTool, nullptr, nIDTool == 0);
    SendMessage(TTM_DELTOOLA, 0, (LPARAM)&ti);
}

void CToolTipCtrl::UpdateTipText(LPCSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
    TTTOOLINFOA ti = AfxToolInfo(pWnd, nIDTool, lpszText, nIDTool == 0);
    SendMessage(TTM_UPDATETIPTEXTA, 0, (LPARAM)&ti);
}

BOOL CDateTimeCtrl::SetRange(const SYSTEMTIME* pMinRange, const SYSTEMTIME* pMaxRange) {
    SYSTEMTIME range[2] = {};
    WPARAM flags = 0;
    if (pMinRange != nullptr) {
        range[0] = *pMinRange;
        flags |= GDTR_MIN;
    }
    if (pMaxRange != nullptr) {
        range[1] = *pMaxRange;
        flags |= GDTR_MAX;
    }
    return (BOOL)SendMessage(DTM_SETRANGE, flags, (LPARAM)range);
}

int CMonthCalCtrl::GetFirstDayOfWeek(BOOL* pbLocal) const {
    DWORD dw = (DWORD)SendMessage(MCM_GETFIRSTDAYOFWEEK);
    if (pbLocal != nullptr)
        *pbLocal = HIWORD(dw) ? TRUE : FALSE;
    return (int)LOWORD(dw);
}

BOOL CMonthCalCtrl::SetFirstDayOfWeek(int iDay, int* lpnOld) {
    DWORD dw = (DWORD)SendMessage(MCM_SETFIRSTDAYOFWEEK, 0, iDay);
    if (lpnOld != nullptr)
        *lpnOld = (int)LOWORD(dw);
    return HIWORD(dw) ? TRUE : FALSE;
}

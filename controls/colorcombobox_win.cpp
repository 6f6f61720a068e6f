#include "controls/colorcombobox.h"

#include <vector>

#include "controls/namedcolours.h"

BEGIN_MESSAGE_MAP(CColorComboBox, CComboBox)
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

namespace {

CColorComboBox* ComboOf(CDataExchange* pDX, int nIDC) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    // The combo box has no run-time class of its own: only a subclassed
    // control of a combo box class is taken.
    CWnd* pWnd = CWnd::FromHandlePermanent(hWndCtrl);
    return pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CComboBox)) ? static_cast<CColorComboBox*>(pWnd)
                                                                       : nullptr;
}

// An item's text, however long.
CString ItemText(const CComboBox& combo, int nIndex) {
    const int nLen = combo.GetLBTextLen(nIndex);
    if (nLen == CB_ERR)
        return CString();
    std::vector<char> buffer((size_t)nLen + 1, '\0');
    combo.GetLBText(nIndex, buffer.data());
    return CString(buffer.data());
}

}  // namespace

void DDX_ColorValue(CDataExchange* pDX, int nIDC, COLORREF& crColour) {
    CColorComboBox* pCombo = ComboOf(pDX, nIDC);
    if (pCombo == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        crColour = pCombo->GetSelectedColorValue();
    else
        pCombo->SetSelectedColorValue(crColour);
}

void DDX_ColorName(CDataExchange* pDX, int nIDC, CString& strName) {
    CColorComboBox* pCombo = ComboOf(pDX, nIDC);
    if (pCombo == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        strName = pCombo->GetSelectedColorName();
    else
        pCombo->SetSelectedColorName(strName);
}

int CColorComboBox::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    return CComboBox::OnCreate(lpCreateStruct) == -1 ? -1 : 0;
}

void CColorComboBox::OnLButtonDown(UINT nFlags, CPoint point) {
    if (::GetFocus() != m_hWnd)
        SetFocus();
    CComboBox::OnLButtonDown(nFlags, point);
}

void CColorComboBox::AddNamedColours() {
    ResetContent();
    for (const NAMEDCOLOUR& colour : g_namedColours) {
        const int nIndex = AddString(colour.szName);
        if (nIndex == CB_ERRSPACE)
            break;
        if (nIndex != CB_ERR)
            SetItemData(nIndex, colour.crColour);
    }
}

int CColorComboBox::AddNamedColor(LPCSTR lpszName, COLORREF crColour) {
    const int nIndex = AddString(lpszName);
    if (nIndex != CB_ERR && nIndex != CB_ERRSPACE)
        SetItemData(nIndex, crColour);
    return nIndex;
}

int CColorComboBox::FindItemByName(LPCSTR lpszName) const {
    const int nCount = GetCount();
    for (int i = 0; i < nCount; ++i)
        if (CompareColourNames(ItemText(*this, i), lpszName) == 0)
            return i;
    return CB_ERR;
}

int CColorComboBox::FindItemByValue(COLORREF crColour) const {
    const int nCount = GetCount();
    for (int i = 0; i < nCount; ++i)
        if ((COLORREF)GetItemData(i) == crColour)
            return i;
    return CB_ERR;
}

BOOL CColorComboBox::RemoveNamedColor(LPCSTR lpszName) {
    const int nCount = GetCount();
    for (int i = 0; i < nCount; ++i)
        if (CompareColourNames(ItemText(*this, i), lpszName) == 0 && DeleteString(i) != CB_ERR)
            return TRUE;
    return FALSE;
}

BOOL CColorComboBox::RemoveColorValue(COLORREF crColour) {
    const int nCount = GetCount();
    for (int i = 0; i < nCount; ++i)
        if ((COLORREF)GetItemData(i) == crColour && DeleteString(i) != CB_ERR)
            return TRUE;
    return FALSE;
}

COLORREF CColorComboBox::GetSelectedColorValue() {
    const int nSel = GetCurSel();
    return nSel == CB_ERR ? 0 : (COLORREF)GetItemData(nSel);
}

LPCSTR CColorComboBox::GetSelectedColorName() {
    m_szColorName[0] = '\0';
    const int nSel = GetCurSel();
    if (nSel != CB_ERR) {
        // Copied with a bound: an item longer than the buffer is cut, never overrun.
        CString strText = ItemText(*this, nSel);
        lstrcpynA(m_szColorName, strText, sizeof(m_szColorName));
    }
    return m_szColorName;
}

void CColorComboBox::SetSelectedColorValue(COLORREF crColour) {
    const int nIndex = FindItemByValue(crColour);
    if (nIndex != CB_ERR)
        SetCurSel(nIndex);
}

void CColorComboBox::SetSelectedColorName(LPCSTR lpszName) {
    const int nIndex = FindItemByName(lpszName);
    if (nIndex != CB_ERR)
        SetCurSel(nIndex);
}

void CColorComboBox::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    CRect rItem = lpDrawItemStruct->rcItem;
    const UINT nState = lpDrawItemStruct->itemState;
    const int nItem = (int)lpDrawItemStruct->itemID;
    const COLORREF crWindow = ::GetSysColor(COLOR_WINDOW);
    const COLORREF crHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF crText = ::GetSysColor(COLOR_WINDOWTEXT);
    const int nSwatchWidth = rItem.Width() / 4;

    COLORREF crTextNow;
    if (nState & ODS_SELECTED) {
        crTextNow = ~crText & 0xFFFFFF;
        pDC->SetBkColor(crHighlight);
        pDC->FillSolidRect(&rItem, crHighlight);
    } else {
        crTextNow = crText;
        pDC->SetBkColor(crWindow);
        pDC->FillSolidRect(&rItem, crWindow);
    }
    if (nState & ODS_FOCUS)
        pDC->DrawFocusRect(&rItem);

    const CPoint ptText(rItem.left + nSwatchWidth + 2, rItem.top + 2);
    CRect rSwatch = rItem;
    rSwatch.DeflateRect(2, 2);
    rSwatch.right = nSwatchWidth;

    if (nItem != -1) {
        CString strName = ItemText(*this, nItem);
        COLORREF crSwatch;
        if (nState & ODS_DISABLED) {
            crSwatch = ::GetSysColor(COLOR_GRAYTEXT);
            crTextNow = crSwatch;
        } else {
            crSwatch = (COLORREF)lpDrawItemStruct->itemData;
        }
        const int nOldMode = pDC->SetBkMode(TRANSPARENT);
        const COLORREF crOld = pDC->SetTextColor(crTextNow);
        int nTabStop = 50;
        ::TabbedTextOutA(pDC->GetSafeHdc(), ptText.x, ptText.y, strName, strName.GetLength(), 1, &nTabStop, 0);
        pDC->SetTextColor(crOld);
        pDC->SetBkMode(nOldMode);
        pDC->FillSolidRect(&rSwatch, crSwatch);
        ::FrameRect(pDC->GetSafeHdc(), &rSwatch, (HBRUSH)::GetStockObject(BLACK_BRUSH));
    }
}

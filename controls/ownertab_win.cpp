#include "controls/ownertab.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(COwnerTabCtrl, CTabCtrl)

BEGIN_MESSAGE_MAP(COwnerTabCtrl, CTabCtrl)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

COwnerTabCtrl::COwnerTabCtrl(int nDrawMode) { SetDrawMode(nDrawMode); }

void COwnerTabCtrl::SetBkColor(COLORREF cr) {
    m_crBack = cr;
    if (::IsWindow(m_hWnd))
        Invalidate();
}

BOOL COwnerTabCtrl::SetDrawMode(int nMode) {
    if (nMode < 0 || nMode > 2)
        return FALSE;
    m_nDrawMode = nMode;
    if (::IsWindow(m_hWnd)) {
        if (nMode == 0)
            ModifyStyle(TCS_OWNERDRAWFIXED, 0);
        else
            ModifyStyle(0, TCS_OWNERDRAWFIXED);
        Invalidate();
    }
    return TRUE;
}

void COwnerTabCtrl::PreSubclassWindow() {
    CTabCtrl::PreSubclassWindow();
    if (m_nDrawMode != 0)
        ModifyStyle(0, TCS_OWNERDRAWFIXED);
}

BOOL COwnerTabCtrl::OnEraseBkgnd(CDC* pDC) {
    CTabCtrl::OnEraseBkgnd(pDC);
    const int nCount = GetItemCount();
    if (nCount <= 0)
        return TRUE;
    CRect rcTabs;
    for (int i = 0; i < nCount; ++i) {
        CRect rc;
        GetItemRect(i, &rc);
        if (i == 0)
            rcTabs = rc;
        else
            rcTabs.UnionRect(&rcTabs, &rc);
    }
    rcTabs.InflateRect(2, 3);
    CRect rcClient;
    GetClientRect(&rcClient);
    const COLORREF crOld = pDC->SetBkColor(OwnBkColor());
    auto fill = [&](const CRect& rc) {
        if (!rc.IsRectEmpty())
            pDC->ExtTextOut(rc.left, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, "", 0, nullptr);
    };
    fill(CRect(rcClient.left, rcClient.top, rcClient.right, rcTabs.top));
    const int nBottom = rcTabs.bottom + 2;
    fill(CRect(rcClient.left, rcTabs.top, rcClient.left + 2, nBottom));
    fill(CRect(rcClient.right - 2, rcTabs.top, rcClient.right, nBottom));
    pDC->SetBkColor(crOld);
    return TRUE;
}

void COwnerTabCtrl::OnPaint() {
    if (m_nDrawMode != 2) {
        Default();
        return;
    }
    CPaintDC dc(this);
    Paint(&dc);
}

LRESULT COwnerTabCtrl::OnPrintClient(WPARAM wParam, LPARAM lParam) {
    if (m_nDrawMode != 2)
        return Default();
    CDC* pDC = CDC::FromHandle((HDC)wParam);
    if (lParam & PRF_ERASEBKGND)
        SendMessage(WM_ERASEBKGND, wParam);
    Paint(pDC);
    return 0;
}

void COwnerTabCtrl::Paint(CDC* pDC) {
    CDC& dc = *pDC;
    CFont* pFont = GetFont();
    CSelectGuard fontGuard(dc.GetSafeHdc(), pFont != nullptr ? pFont->GetSafeHandle() : nullptr);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_TAB;
    dis.CtlID = (UINT)GetDlgCtrlID();
    dis.hwndItem = m_hWnd;
    dis.hDC = dc.GetSafeHdc();
    dis.itemAction = ODA_DRAWENTIRE;

    CRect rcPage;
    GetClientRect(&rcPage);
    AdjustRect(FALSE, &rcPage);
    rcPage.top -= 2;
    dis.rcItem = rcPage;
    DrawMainBorder(&dis);

    const int nSel = GetCurSel();
    for (int i = GetItemCount() - 1; i >= 0; --i) {
        if (i == nSel)
            continue;
        dis.itemID = (UINT)i;
        dis.itemState = 0;
        GetItemRect(i, &dis.rcItem);
        dis.rcItem.bottom -= 2;
        DrawItem(&dis);
        DrawItemBorder(&dis);
    }
    if (nSel >= 0) {
        dis.itemID = (UINT)nSel;
        dis.itemState = ODS_SELECTED;
        GetItemRect(nSel, &dis.rcItem);
        dis.rcItem.top -= 2;
        dis.rcItem.bottom += 2;
        DrawItem(&dis);
        DrawItemBorder(&dis);
    }
}

// ---------------------------------------------------------------- CColorTabCtrl

IMPLEMENT_DYNAMIC(CColorTabCtrl, COwnerTabCtrl)

DWORD CColorTabCtrl::s_dwDrawFlags = 0;

void CColorTabCtrl::PreSubclassWindow() {
    COwnerTabCtrl::PreSubclassWindow();
    if (s_dwDrawFlags != 0)
        ModifyStyle(0, TCS_OWNERDRAWFIXED);
}

COLORREF CColorTabCtrl::BaseColour() const {
    return ((s_dwDrawFlags & CTF_BACKGROUND_BASE) && m_crBack != TAB_DEFAULT_BK) ? m_crBack
                                                                               : ::GetSysColor(COLOR_BTNFACE);
}

COLORREF CColorTabCtrl::GetTabColor(BOOL bSelected) {
    return TabColour(s_dwDrawFlags, bSelected, m_crBack, ::GetSysColor(COLOR_BTNFACE));
}

COLORREF CColorTabCtrl::GetTabTextColor(BOOL bSelected) {
    return TabTextColour(s_dwDrawFlags, bSelected, m_crBack, ::GetSysColor(COLOR_BTNFACE),
                         ::GetSysColor(COLOR_WINDOWTEXT));
}

void CColorTabCtrl::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const int nItem = (int)lpDIS->itemID;
    const BOOL bSelected = nItem == GetCurSel();
    CRect rc = lpDIS->rcItem;
    if (bSelected)
        rc.bottom -= 1;
    else
        rc.bottom += 2;

    const COLORREF crTab = GetTabColor(bSelected);
    if ((s_dwDrawFlags & CTF_GRADIENT) && pDC->GetDeviceCaps(BITSPIXEL) >= 16) {
        const COLORREF crEnd = bSelected ? ::GetSysColor(COLOR_BTNFACE) : TabDarken(BaseColour(), 0.7);
        const int nHeight = rc.Height();
        for (int y = 0; y < nHeight; y += 2) {
            CRect band(rc.left, rc.top + y, rc.right, std::min(rc.bottom, rc.top + y + 2));
            pDC->FillSolidRect(band, TabGradientAt(crTab, crEnd, y, nHeight));
        }
    } else {
        pDC->FillSolidRect(rc, crTab);
    }

    CRect rcBox(rc.left + 3, rc.top + 3 + (bSelected ? 1 : 0), rc.right - 3, rc.bottom);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    char szText[100] = "";
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = szText;
    item.cchTextMax = 99;
    GetItem(nItem, &item);
    szText[99] = '\0';
    HIMAGELIST hImages = (HIMAGELIST)SendMessage(TCM_GETIMAGELIST);
    if (hImages != nullptr && item.iImage >= 0) {
        ::ImageList_Draw(hImages, item.iImage, pDC->GetSafeHdc(), rcBox.left, rcBox.top, ILD_TRANSPARENT);
        rcBox.left += 19;
    }
    // Shortened to the box with an ellipsis; the buffer keeps room for it.
    char szShown[104] = "";
    std::memcpy(szShown, szText, sizeof(szText));
    CRect rcCalc(rcBox.left, rcBox.top, rcBox.right, rcBox.top + 20);
    pDC->DrawText(szShown, -1, &rcCalc, DT_SINGLELINE | DT_CALCRECT | DT_END_ELLIPSIS | DT_MODIFYSTRING);
    const COLORREF crOld = pDC->SetTextColor(GetTabTextColor(bSelected));
    pDC->DrawText(szShown, -1, &rcBox, DT_CENTER | DT_NOPREFIX | DT_SINGLELINE | DT_END_ELLIPSIS);
    pDC->SetTextColor(crOld);
    pDC->SetBkMode(nOldMode);
}

void CColorTabCtrl::DrawItemBorder(LPDRAWITEMSTRUCT lpDIS) {
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
    CRect rc = lpDIS->rcItem;
    const COLORREF crTab = GetTabColor(bSelected);
    const COLORREF crLight = TabLighten(crTab, 1.5), crDark = TabDarken(crTab, 0.75);
    if (!bSelected && !(s_dwDrawFlags & CTF_DARK_UNSELECTED)) {
        pDC->FillSolidRect(rc.left - 1, rc.top, 1, rc.Height(), crDark);
        pDC->FillSolidRect(rc.right, rc.top, 1, rc.Height(), crDark);
        return;
    }
    rc.bottom += bSelected ? -1 : 1;
    pDC->FillSolidRect(rc.left, rc.top, 1, rc.Height(), crLight);
    pDC->FillSolidRect(rc.left, rc.top, rc.Width(), 1, crLight);
    pDC->FillSolidRect(rc.right - 1, rc.top, 1, rc.Height(), crDark);
}

void CColorTabCtrl::DrawMainBorder(LPDRAWITEMSTRUCT lpDIS) {
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const COLORREF crTab = GetTabColor(FALSE);
    CRect rc = lpDIS->rcItem;
    pDC->Draw3dRect(&rc, TabLighten(crTab, 1.5), TabDarken(crTab, 0.75));
}

#include "controls/skinbutton.h"

#include <algorithm>

#include "afx/afxapp.h"
#include "controls/maskregion.h"

IMPLEMENT_DYNAMIC(CSkinButton, CStateButton)

CSkinButton::CSkinButton() : CStateButton(FALSE), m_crText(::GetSysColor(COLOR_BTNTEXT)) {}

CSkinButton::~CSkinButton() { FreeImages(); }

void CSkinButton::FreeImages() {
    CBitmap* images[6] = {&m_bNormal, &m_bDown, &m_bOver, &m_bDisabled, &m_bFocus, &m_bMask};
    for (int i = 0; i < 6; ++i) {
        if (m_bShared[i])
            images[i]->Detach();
        else
            images[i]->DeleteObject();
        m_bShared[i] = FALSE;
    }
}

void CSkinButton::PreSubclassWindow() {
    switch (GetStyle() & 0xFF) {
    case BS_AUTOCHECKBOX:
        m_nKind = 2;
        break;
    case BS_AUTORADIOBUTTON:
        m_nKind = 4;
        break;
    default:
        m_nKind = 0;
        break;
    }
    CButton::PreSubclassWindow();
    CWnd::ModifyStyle(0, BS_OWNERDRAW);
}

void CSkinButton::SetSkin(HBITMAP hNormal, HBITMAP hDown, HBITMAP hOver, HBITMAP hDisabled, HBITMAP hFocus,
                          HBITMAP hMask, short nDrawMode, short nBorder, short nFocusMargin) {
    FreeImages();
    CBitmap* images[6] = {&m_bNormal, &m_bDown, &m_bOver, &m_bDisabled, &m_bFocus, &m_bMask};
    const HBITMAP handles[6] = {hNormal, hDown, hOver, hDisabled != nullptr ? hDisabled : hNormal, hFocus, hMask};
    for (int i = 0; i < 6; ++i) {
        if (handles[i] == nullptr)
            continue;
        images[i]->Attach(handles[i]);
        for (int j = 0; j < i; ++j)
            m_bShared[i] = m_bShared[i] || handles[j] == handles[i];
    }
    m_nDrawMode = std::max<short>(0, std::min<short>(2, nDrawMode));
    m_nBorder = nBorder;
    m_nFocusMargin = std::max<short>(0, nFocusMargin);
    if (hMask != nullptr && ::IsWindow(m_hWnd)) {
        m_hRgn = CreateRgnFromBitmap(hMask, RGB(255, 255, 255));
        if (m_hRgn != nullptr) {
            // The window owns the region from here on and frees the one it held.
            if (!SetWindowRgn(m_hRgn, TRUE))
                ::DeleteObject(m_hRgn), m_hRgn = nullptr;
        }
        if (m_nDrawMode == SKIN_DRAW_NATURAL) {
            BITMAP bm{};
            m_bMask.GetBitmap(&bm);
            SetWindowPos(nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
        }
    }
    if (::IsWindow(m_hWnd))
        Repaint();
}

void CSkinButton::SetSkinFromResources(UINT nNormal, UINT nDown, UINT nOver, UINT nDisabled, UINT nFocus, UINT nMask,
                                       short nDrawMode, short nBorder, short nFocusMargin) {
    HINSTANCE hInst = AfxGetResourceHandle();
    auto load = [&](UINT nID) {
        return nID == 0 ? (HBITMAP) nullptr : ::LoadBitmapA(hInst, MAKEINTRESOURCEA(nID));
    };
    SetSkin(load(nNormal), load(nDown), load(nOver), load(nDisabled), load(nFocus), load(nMask), nDrawMode, nBorder,
            nFocusMargin);
}

COLORREF CSkinButton::SetTextColor(COLORREF cr) {
    const COLORREF crOld = m_crText;
    m_crText = cr;
    return crOld;
}

void CSkinButton::SetToolTipText(const CString& strText) {
    if (m_tooltip.GetSafeHwnd() == nullptr) {
        if (!m_tooltip.Create(this))
            return;
        m_tooltip.AddTool(this, strText);
        m_tooltip.Activate(TRUE);
    } else {
        m_tooltip.UpdateTipText(strText, this);
    }
}

HRGN CSkinButton::CreateRgnFromBitmap(HBITMAP hBitmap, COLORREF crTransparent) {
    if (hBitmap == nullptr)
        return nullptr;
    BITMAP bm{};
    if (!::GetObjectA(hBitmap, sizeof(bm), &bm))
        return nullptr;
    CWindowDC wndDC(this);
    CDC dc;
    dc.CreateCompatibleDC(&wndDC);
    std::vector<CRect> runs;
    {
        CSelectGuard guard(dc.GetSafeHdc(), hBitmap);
        runs = MaskRuns(bm.bmWidth, bm.bmHeight, [&](int x, int y) { return dc.GetPixel(x, y); }, crTransparent);
    }
    HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
    for (const CRect& rc : runs) {
        HRGN hRun = ::CreateRectRgnIndirect(&rc);
        ::CombineRgn(hRgn, hRgn, hRun, RGN_OR);
        ::DeleteObject(hRun);
    }
    return hRgn;
}

void CSkinButton::DrawImage(CDC* pDC, CBitmap& image, const CRect& rc) {
    BITMAP bm{};
    image.GetBitmap(&bm);
    CDC mem;
    mem.CreateCompatibleDC(pDC);
    CSelectGuard guard(&mem, &image);
    if (m_nDrawMode == SKIN_DRAW_TILE) {
        for (int y = rc.top; y < rc.bottom; y += std::max(1, (int)bm.bmHeight))
            for (int x = rc.left; x < rc.right; x += std::max(1, (int)bm.bmWidth))
                pDC->BitBlt(x, y, std::min((int)bm.bmWidth, (int)(rc.right - x)), std::min((int)bm.bmHeight, (int)(rc.bottom - y)),
                            &mem, 0, 0, SRCCOPY);
        return;
    }
    const bool bStretch = m_nDrawMode == SKIN_DRAW_STRETCH;
    auto put = [&](CDC* pTarget, int x, int y, CDC* pSource, DWORD dwRop) {
        if (bStretch)
            pTarget->StretchBlt(x, y, rc.Width(), rc.Height(), pSource, 0, 0, bm.bmWidth, bm.bmHeight, dwRop);
        else
            pTarget->BitBlt(x, y, rc.Width(), rc.Height(), pSource, 0, 0, dwRop);
    };
    if (m_bMask.GetSafeHandle() == nullptr) {
        put(pDC, rc.left, rc.top, &mem, SRCCOPY);
        return;
    }
    // Image, mask, image again: where the mask is black the image shows.
    CDC scratch;
    scratch.CreateCompatibleDC(pDC);
    CBitmap scratchBitmap;
    scratchBitmap.CreateCompatibleBitmap(pDC, rc.Width(), rc.Height());
    CSelectGuard scratchGuard(&scratch, &scratchBitmap);
    scratch.BitBlt(0, 0, rc.Width(), rc.Height(), pDC, rc.left, rc.top, SRCCOPY);
    CDC maskDC;
    maskDC.CreateCompatibleDC(pDC);
    BITMAP bmMask{};
    m_bMask.GetBitmap(&bmMask);
    CSelectGuard maskGuard(&maskDC, &m_bMask);
    put(&scratch, 0, 0, &mem, SRCINVERT);
    if (bStretch)
        scratch.StretchBlt(0, 0, rc.Width(), rc.Height(), &maskDC, 0, 0, bmMask.bmWidth, bmMask.bmHeight, SRCAND);
    else
        scratch.BitBlt(0, 0, rc.Width(), rc.Height(), &maskDC, 0, 0, SRCAND);
    put(&scratch, 0, 0, &mem, SRCINVERT);
    pDC->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), &scratch, 0, 0, SRCCOPY);
}

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    if (FollowCapturedPress())
        return;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const CRect rcItem = lpDIS->rcItem;
    const UINT nState = lpDIS->itemState;
    CRect rcText = rcItem;
    rcText.DeflateRect(m_nFocusMargin + 2, 0);
    pDC->SetBkMode(TRANSPARENT);
    CString strText;
    GetWindowText(strText);
    const UINT nFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    auto image = [&](CBitmap& bitmap) {
        if (bitmap.GetSafeHandle() != nullptr)
            DrawImage(pDC, bitmap, rcItem);
        else
            pDC->FillSolidRect(rcItem, ::GetSysColor(COLOR_BTNFACE));
    };
    auto edge = [&](UINT nEdge) {
        if (m_nBorder) {
            CRect rc = rcItem;
            pDC->DrawEdge(&rc, nEdge, BF_RECT);
        }
    };
    if (nState & ODS_DISABLED) {
        image(m_bDisabled);
        edge(EDGE_RAISED);
        pDC->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        pDC->DrawText(strText, rcText, nFormat);
        rcText.OffsetRect(-1, -1);
        pDC->SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
        pDC->DrawText(strText, rcText, nFormat);
        return;
    }
    if ((nState & ODS_SELECTED) || m_bChecked) {
        image(m_bDown);
        rcText.OffsetRect(1, 1);
        edge(EDGE_SUNKEN);
    } else {
        if (m_bNormal.GetSafeHandle() == nullptr)
            image(m_bNormal);
        else if (m_bHover && m_bOver.GetSafeHandle() != nullptr)
            image(m_bOver);
        else if ((nState & ODS_FOCUS) && m_bFocus.GetSafeHandle() != nullptr)
            image(m_bFocus);
        else
            image(m_bNormal);
        edge(EDGE_RAISED);
    }
    if ((nState & ODS_FOCUS) && m_nFocusMargin > 0) {
        CRect rc = rcItem;
        rc.DeflateRect(m_nFocusMargin, m_nFocusMargin);
        pDC->DrawFocusRect(&rc);
    }
    pDC->SetTextColor(m_crText);
    pDC->DrawText(strText, rcText, nFormat);
}

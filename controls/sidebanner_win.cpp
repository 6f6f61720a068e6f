#include "controls/sidebanner.h"

#include "afx/afxapp.h"
#include "afx/afxexcept.h"
#include "controls/memdc.h"

BEGIN_MESSAGE_MAP(CSideBanner, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {

// The LOGFONT of a point font, taken from a font made and dropped at once.
LOGFONT PointFontRecord(int nTenths, LPCSTR lpszFace) {
    LOGFONT lf{};
    CFont font;
    if (font.CreatePointFont(nTenths, lpszFace))
        font.GetLogFont(&lf);
    return lf;
}

}  // namespace

CSideBanner::CSideBanner() : CWndClassRegistrar("CSideBanner") {
    RegisterWndClass();
    m_lfTitle = PointFontRecord(110, "Tahoma Bold");
    m_lfCaption = PointFontRecord(85, "Tahoma");
    m_hGradientLib = ::LoadLibraryA("MSIMG32.DLL");
    if (m_hGradientLib != nullptr)
        m_pfnGradientFill = (PFNGRADIENTFILL)(void*)::GetProcAddress(m_hGradientLib, "GradientFill");
}

CSideBanner::~CSideBanner() {
    if (m_hBkBitmap != nullptr && m_bBitmapOwned) {
        CBitmap bitmap;
        bitmap.Attach(m_hBkBitmap);
    }
    if (m_hIcon != nullptr && m_bIconOwned)
        ::DestroyIcon(m_hIcon);
    if (m_hGradientLib != nullptr)
        ::FreeLibrary(m_hGradientLib);
    // The window goes before the object does: the base would destroy it after
    // this object's members are gone.
    if (m_hWnd != nullptr)
        DestroyWindow();
}

BOOL CSideBanner::RegisterWndClass() {
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSA wc{};
    if (::GetClassInfoA(hInst, m_strClassName, &wc))
        return TRUE;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = hInst;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = m_strClassName;
    if (!::RegisterClassA(&wc))
        AfxThrowResourceException();
    return TRUE;
}

BOOL CSideBanner::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, void*) {
    return CWnd::Create(m_strClassName, "", dwStyle, rect, pParentWnd, nID);
}

void CSideBanner::MoveDialogChildren(CSize szOffset) {
    if (szOffset.cx == 0 && szOffset.cy == 0)
        return;
    for (HWND hChild = ::GetWindow(m_pParent->m_hWnd, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (hChild == m_hWnd)
            continue;
        CRect rc;
        ::GetWindowRect(hChild, &rc);
        ::MapWindowPoints(nullptr, m_pParent->m_hWnd, (LPPOINT)&rc, 2);
        ::MoveWindow(hChild, rc.left + szOffset.cx, rc.top + szOffset.cy, rc.Width(), rc.Height(), TRUE);
    }
}

BOOL CSideBanner::Attach(CWnd* pDialog, UINT nEdge, UINT nID) {
    if (pDialog == nullptr || !::IsWindow(pDialog->GetSafeHwnd()))
        return FALSE;
    m_pParent = pDialog;
    m_nEdge = nEdge;
    CRect rcWindow;
    pDialog->GetWindowRect(&rcWindow);
    CRect rcGrown = BannerGrowDialog(rcWindow, m_nEdge, m_nSize, false);
    pDialog->SetWindowPos(nullptr, 0, 0, rcGrown.Width(), rcGrown.Height(), SWP_NOMOVE | SWP_NOZORDER);
    MoveDialogChildren(BannerChildOffset(m_nEdge, m_nSize));
    CRect rcClient;
    pDialog->GetClientRect(&rcClient);
    return Create(WS_CHILD | WS_VISIBLE, BannerStripRect(rcClient, m_nEdge, m_nSize), pDialog, nID);
}

void CSideBanner::SetTitle(LPCSTR lpszTitle) {
    m_strTitle = lpszTitle;
    if (m_hWnd != nullptr)
        Invalidate(TRUE);
}

void CSideBanner::SetCaption(LPCSTR lpszCaption) {
    m_strCaption = lpszCaption;
    if (m_hWnd != nullptr)
        Invalidate(TRUE);
}

BOOL CSideBanner::SetIcon(HICON hIcon, UINT nPlacement, BOOL bOwn) {
    // The same icon handed again must survive its own replacement.
    if (m_hIcon != nullptr && m_bIconOwned && m_hIcon != hIcon)
        ::DestroyIcon(m_hIcon);
    m_hIcon = hIcon;
    m_nIconPlacement = nPlacement;
    m_bIconOwned = bOwn ? TRUE : FALSE;
    m_bmIcon = BITMAP{};
    if (hIcon == nullptr)
        return TRUE;
    BOOL bOK = FALSE;
    ICONINFO info{};
    if (::GetIconInfo(hIcon, &info)) {
        HBITMAP hSize = info.hbmColor != nullptr ? info.hbmColor : info.hbmMask;
        bOK = ::GetObjectA(hSize, sizeof(m_bmIcon), &m_bmIcon) != 0;
        // A monochrome icon has no colour bitmap: its mask holds both halves.
        if (bOK && info.hbmColor == nullptr)
            m_bmIcon.bmHeight /= 2;
        if (info.hbmColor != nullptr)
            ::DeleteObject(info.hbmColor);
        if (info.hbmMask != nullptr)
            ::DeleteObject(info.hbmMask);
    }
    if (m_hWnd != nullptr)
        Invalidate(TRUE);
    return bOK;
}

void CSideBanner::SetBackgroundBitmap(HBITMAP hBitmap, BOOL bOwn) {
    if (m_hBkBitmap != nullptr && m_bBitmapOwned && m_hBkBitmap != hBitmap) {
        CBitmap old;
        old.Attach(m_hBkBitmap);
    }
    m_hBkBitmap = hBitmap;
    m_bBitmapOwned = bOwn ? TRUE : FALSE;
}

void CSideBanner::SetTitleFont(CFont* pFont) {
    if (pFont == nullptr)
        return;
    pFont->GetLogFont(&m_lfTitle);
    if (m_hWnd != nullptr)
        Invalidate(TRUE);
}

void CSideBanner::SetCaptionFont(CFont* pFont) {
    if (pFont == nullptr)
        return;
    pFont->GetLogFont(&m_lfCaption);
    if (m_hWnd != nullptr)
        Invalidate(TRUE);
}

void CSideBanner::GetTitleFont(LOGFONT* pLogFont) const {
    if (pLogFont != nullptr)
        *pLogFont = m_lfTitle;
}

void CSideBanner::GetCaptionFont(LOGFONT* pLogFont) const {
    if (pLogFont != nullptr)
        *pLogFont = m_lfCaption;
}

void CSideBanner::SetSize(int nSize) {
    if (m_hWnd == nullptr || m_pParent == nullptr || !::IsWindow(m_pParent->m_hWnd)) {
        m_nSize = nSize;
        return;
    }
    const int nDelta = nSize - m_nSize;
    MoveDialogChildren(BannerChildOffset(m_nEdge, nDelta));
    CRect rcWindow;
    m_pParent->GetWindowRect(&rcWindow);
    CRect rcNew = BannerGrowDialog(rcWindow, m_nEdge, nDelta, true);
    UINT nFlags = SWP_NOZORDER;
    if (rcNew.TopLeft() == rcWindow.TopLeft())
        nFlags |= SWP_NOMOVE;
    if (m_pParent->GetStyle() & WS_CHILD)
        ::MapWindowPoints(nullptr, ::GetParent(m_pParent->m_hWnd), (LPPOINT)&rcNew, 2);
    m_pParent->SetWindowPos(nullptr, rcNew.left, rcNew.top, rcNew.Width(), rcNew.Height(), nFlags);
    CRect rcClient;
    m_pParent->GetClientRect(&rcClient);
    MoveWindow(BannerStripRect(rcClient, m_nEdge, nSize), TRUE);
    m_pParent->Invalidate(TRUE);
    m_nSize = nSize;
}

void CSideBanner::SetEdge(UINT nEdge) {
    if ((nEdge & 0x0F) == (m_nEdge & 0x0F))
        return;
    const int nOldSize = m_nSize;
    SetSize(0);
    m_nEdge = nEdge;
    SetSize(nOldSize);
    UpdatePosition();
    if (m_pParent != nullptr && ::IsWindow(m_pParent->m_hWnd))
        m_pParent->Invalidate(TRUE);
}

void CSideBanner::UpdatePosition() {
    if (m_hWnd == nullptr || m_pParent == nullptr || !::IsWindow(m_pParent->m_hWnd))
        return;
    CRect rcClient;
    m_pParent->GetClientRect(&rcClient);
    MoveWindow(BannerStripRect(rcClient, m_nEdge, m_nSize), TRUE);
}

void CSideBanner::OnPaint() {
    CPaintDC dc(this);
    // Without an edge there is no strip to lay out: nothing is drawn.
    if (BannerEdgeOf(m_nEdge) == 0)
        return;
    CRect rc;
    GetClientRect(&rc);
    if (rc.IsRectEmpty())
        return;
    CMemDC memDC(&dc, &rc);
    DrawBackground(&memDC, rc);
    DrawContent(&memDC, rc);
}

void CSideBanner::DrawBackground(CDC* pDC, CRect rect) {
    if ((m_nBkStyle & BANNER_BK_SOLID) ||
        ((m_nBkStyle & BANNER_BK_GRADIENT) && m_crColor1 == m_crColor2)) {
        pDC->FillSolidRect(&rect, m_crColor1);
    } else if (m_nBkStyle & BANNER_BK_GRADIENT) {
        if (m_pfnGradientFill != nullptr) {
            BANNERGRADIENT g = BannerGradient(m_nEdge, rect, m_crColor1, m_crColor2);
            TRIVERTEX v[2] = {};
            const CPoint pts[2] = {g.pt0, g.pt1};
            const COLORREF crs[2] = {g.cr0, g.cr1};
            for (int i = 0; i < 2; ++i) {
                v[i].x = pts[i].x;
                v[i].y = pts[i].y;
                v[i].Red = (COLOR16)(GetRValue(crs[i]) << 8);
                v[i].Green = (COLOR16)(GetGValue(crs[i]) << 8);
                v[i].Blue = (COLOR16)(GetBValue(crs[i]) << 8);
            }
            GRADIENT_RECT mesh = {0, 1};
            m_pfnGradientFill(pDC->GetSafeHdc(), v, 2, &mesh, 1,
                              g.bVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
        } else {
            bool bAcross = false, bSwap = false;
            BannerFallbackGradient(m_nEdge, &bAcross, &bSwap);
            FillGradientRect(pDC, m_crColor1, m_crColor2, rect, bAcross, bSwap);
        }
    } else if (m_nBkStyle & BANNER_BK_PATTERN) {
        CBrush brush;
        if (m_hBkBitmap != nullptr && brush.CreatePatternBrush(CBitmap::FromHandle(m_hBkBitmap))) {
            CSelectGuard brushGuard(pDC, &brush);
            CSelectGuard penGuard(pDC->GetSafeHdc(), ::GetStockObject(NULL_PEN));
            CRect rcFill = rect;
            rcFill.InflateRect(1, 1);
            pDC->Rectangle(&rcFill);
        }
    } else {
        return;
    }
    DrawEdgeLine(pDC, rect);
}

void CSideBanner::FillGradientRect(CDC* pDC, COLORREF crFrom, COLORREF crTo, CRect rect, BOOL bAcross,
                                   BOOL bSwap) {
    if (rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0)
        pDC->GetClipBox(&rect);
    if (bSwap) {
        COLORREF cr = crFrom;
        crFrom = crTo;
        crTo = cr;
    }
    if (pDC->GetDeviceCaps(BITSPIXEL) <= 8) {
        pDC->FillSolidRect(&rect, crFrom);
        return;
    }
    const int n = bAcross ? rect.Width() : rect.Height();
    for (int i = 0; i < n; ++i) {
        COLORREF cr = GradientLineColour(crFrom, crTo, i, n);
        if (bAcross)
            pDC->FillSolidRect(rect.left + i, rect.top, 1, rect.Height(), cr);
        else
            pDC->FillSolidRect(rect.left, rect.top + i, rect.Width(), 1, cr);
    }
}

void CSideBanner::DrawEdgeLine(CDC* pDC, CRect rect) {
    CPen pen(PS_SOLID, 0, m_crEdge);
    CSelectGuard guard(pDC, &pen);
    switch (BannerEdgeOf(m_nEdge)) {
    case BANNER_EDGE_LEFT:
        pDC->MoveTo(rect.right - 1, rect.top);
        pDC->LineTo(rect.right - 1, rect.bottom);
        break;
    case BANNER_EDGE_RIGHT:
        pDC->MoveTo(rect.left, rect.top);
        pDC->LineTo(rect.left, rect.bottom);
        break;
    case BANNER_EDGE_TOP:
        pDC->MoveTo(rect.left, rect.bottom - 1);
        pDC->LineTo(rect.right, rect.bottom - 1);
        break;
    case BANNER_EDGE_BOTTOM:
        pDC->MoveTo(rect.left, rect.top);
        pDC->LineTo(rect.right, rect.top);
        break;
    default:
        break;
    }
}

void CSideBanner::DrawContent(CDC* pDC, CRect rect) {
    if (BannerEdgeOf(m_nEdge) == 0)
        return;
    CRect rcText = rect;
    if (m_hIcon != nullptr)
        DrawIcon(pDC, &rcText);
    const int nEscapement = BannerEscapement(m_nEdge);
    m_lfTitle.lfEscapement = m_lfTitle.lfOrientation = nEscapement;
    m_lfCaption.lfEscapement = m_lfCaption.lfOrientation = nEscapement;
    CPoint ptTitle, ptCaption;
    BannerTextPoints(m_nEdge, rcText, m_szEdgeOffset, m_szCaptionOffset, m_lfTitle.lfHeight, &ptTitle, &ptCaption);

    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF crOldText = pDC->SetTextColor(m_crTitle);
    {
        CFont font;
        font.CreateFontIndirect(&m_lfTitle);
        CSelectGuard guard(pDC, &font);
        pDC->TextOut(ptTitle.x, ptTitle.y, m_strTitle);
    }
    pDC->SetTextColor(m_crCaption);
    {
        CFont font;
        font.CreateFontIndirect(&m_lfCaption);
        CSelectGuard guard(pDC, &font);
        pDC->TextOut(ptCaption.x, ptCaption.y, m_strCaption);
    }
    pDC->SetBkMode(nOldMode);
    pDC->SetTextColor(crOldText);
}

void CSideBanner::DrawIcon(CDC* pDC, CRect* pRect) {
    CPoint pt = BannerIconPosition(m_nEdge, m_nIconPlacement, CSize(m_bmIcon.bmWidth, m_bmIcon.bmHeight),
                                   m_szEdgeOffset, pRect);
    pDC->DrawIcon(pt.x, pt.y, m_hIcon);
}

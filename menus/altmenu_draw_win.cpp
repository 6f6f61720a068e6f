// CAltMenu: measuring, the classic and the XP-like look, the choice between
// them and the image effects.
#include <algorithm>
#include <cstring>
#include <memory>

#include "controls/memdc.h"
#include "menus/altmenu.h"
#include "menus/menuutil.h"

namespace {

int Channel(int v)
{
    return std::max(0, std::min(255, v));
}

// The colour COLOR_BTNFACE takes in a DC like hDC.
COLORREF TransparentIn(HDC hDC)
{
    HDC hScratch = ::CreateCompatibleDC(hDC);
    HBITMAP hbm = ::CreateCompatibleBitmap(hDC, 2, 2);
    HGDIOBJ hOld = ::SelectObject(hScratch, hbm);
    RECT rc = { 0, 0, 2, 2 };
    ::SetBkColor(hScratch, ::GetSysColor(COLOR_BTNFACE));
    ::ExtTextOutA(hScratch, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    const COLORREF clr = ::GetPixel(hScratch, 1, 1);
    ::SelectObject(hScratch, hOld);
    ::DeleteObject(hbm);
    ::DeleteDC(hScratch);
    return clr;
}

// Calls fn(colour, transparent) for every pixel and writes back what it returns.
template <class F> void ForEachPixel(CBitmap& bmp, F fn)
{
    BITMAP bm {};
    if (bmp.m_hObject == nullptr || !bmp.GetObject(sizeof(bm), &bm))
        return;
    CClientDC dcScreen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&dcScreen);
    CSelectGuard guard(&dc, &bmp);
    const COLORREF clrTransparent = TransparentIn(dc.m_hDC);
    for (int y = 0; y < bm.bmHeight; ++y) {
        for (int x = 0; x < bm.bmWidth; ++x) {
            const COLORREF clr = dc.GetPixel(x, y);
            const COLORREF clrNew = fn(clr, clr == clrTransparent);
            if (clrNew != clr)
                dc.SetPixelV(x, y, clrNew);
        }
    }
}

// The check mark: seven one-pixel strokes; the narrow one ends each a row earlier.
void DrawCheckMark(CDC* pDC, int x, int y, COLORREF clr, bool bNarrow)
{
    static const int kTop[7] = { 2, 3, 4, 3, 2, 1, 0 };
    static const int kBottom[7] = { 5, 6, 7, 6, 5, 4, 3 };
    for (int i = 0; i < 7; ++i)
        pDC->FillSolidRect(x + i, y + kTop[i], 1, kBottom[i] - kTop[i] - (bNarrow ? 1 : 0), clr);
}

void DrawRadioDot(CDC* pDC, int x, int y, COLORREF clr)
{
    CPen pen(PS_SOLID, 1, clr);
    CBrush brush(clr);
    CSelectGuard penGuard(pDC, &pen);
    CSelectGuard brushGuard(pDC, &brush);
    pDC->Ellipse(x, y, x + 6, y + 6);
}

// The parts of a text before the first tab and after the last one.
void SplitAtTabs(const std::wstring& str, std::wstring& strLeft, std::wstring& strRight)
{
    const size_t nFirst = str.find(L'\t');
    strLeft = str.substr(0, nFirst);
    strRight = nFirst == std::wstring::npos ? std::wstring() : str.substr(str.rfind(L'\t') + 1);
}

void DrawItemText(CDC* pDC, const std::wstring& str, CRect rc, int nIconX, COLORREF clr)
{
    std::wstring strLeft, strRight;
    SplitAtTabs(str, strLeft, strRight);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(clr);
    ::DrawTextW(pDC->m_hDC, strLeft.c_str(), (int)strLeft.size(), &rc, DT_SINGLELINE | DT_VCENTER);
    if (!strRight.empty()) {
        rc.right -= nIconX;
        ::DrawTextW(
            pDC->m_hDC, strRight.c_str(), (int)strRight.size(), &rc, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
}

bool IsRadioItem(LPDRAWITEMSTRUCT lpDIS)
{
    MENUITEMINFOW mii {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE;
    return ::GetMenuItemInfoW((HMENU)lpDIS->hwndItem, lpDIS->itemID, FALSE, &mii)
        && (mii.fType & MFT_RADIOCHECK);
}

// The box of the image column and the image's place in it.
CRect ImageBox(const CRect& rc, CPoint& ptImage)
{
    const int d = std::max((rc.Height() - 4 - CAltMenu::s_nIconY) / 2, 0);
    ptImage = CPoint(rc.left + 2, rc.top + d + 2);
    return CRect(rc.left, rc.top + d, rc.left + CAltMenu::s_nIconX + 4, rc.top + d + CAltMenu::s_nIconY + 4);
}

void FrameBox(CDC* pDC, const CRect& rc, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    pDC->Draw3dRect(&rc, clrTopLeft, clrBottomRight);
}

} // namespace

// --- colours and effects -----------------------------------------------------------

COLORREF AltLighten(COLORREF clr, double f)
{
    if (!(f > 0.0 && f < 1.0))
        return clr;
    auto l = [f](int c) { return Channel((int)(c + (255 - c) * f)); };
    return RGB(l(GetRValue(clr)), l(GetGValue(clr)), l(GetBValue(clr)));
}

COLORREF AltDarken(COLORREF clr, double f)
{
    if (!(f > 0.0 && f < 1.0))
        return clr;
    auto d = [f](int c) { return Channel((int)(c - c * f)); };
    return RGB(d(GetRValue(clr)), d(GetGValue(clr)), d(GetBValue(clr)));
}

void AltWashOut(CBitmap& bmp)
{
    ForEachPixel(
        bmp, [](COLORREF clr, bool bTransparent) { return bTransparent ? clr : AltLighten(clr, 0.3); });
}

void AltNormaliseBackground(CBitmap& bmp)
{
    const COLORREF clrFace = ::GetSysColor(COLOR_BTNFACE);
    ForEachPixel(bmp, [clrFace](COLORREF clr, bool bTransparent) { return bTransparent ? clrFace : clr; });
}

void AltDim(CBitmap& bmp, COLORREF clrBack)
{
    const COLORREF clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    ForEachPixel(bmp, [&](COLORREF clr, bool bTransparent) {
        if (bTransparent)
            return clrBack != CLR_NONE ? clrBack : clr;
        const int nBrightness = (GetRValue(clr) + GetGValue(clr) + GetBValue(clr)) / 3;
        return AltLighten(clrShadow, nBrightness / 255.0);
    });
}

void AltShadow(CBitmap& bmp)
{
    COLORREF clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    if (!CAltMenu::IsXPThemeActive())
        clrShadow = AltLighten(clrShadow, 0.49);
    ForEachPixel(
        bmp, [clrShadow](COLORREF clr, bool bTransparent) { return bTransparent ? clr : clrShadow; });
}

void AltDrawEmbossed(CDC* pDC, CImageList* pList, int nIndex, int x, int y, int cx, int cy, COLORREF clrBack)
{
    if (pDC == nullptr || pList == nullptr)
        return;
    CDC dcImage;
    dcImage.CreateCompatibleDC(pDC);
    CBitmap bmpImage;
    bmpImage.CreateCompatibleBitmap(pDC, cx, cy);
    CDC dcMask;
    dcMask.CreateCompatibleDC(pDC);
    CBitmap bmpMask;
    bmpMask.Attach(::CreateBitmap(cx, cy, 1, 1, nullptr));
    {
        CSelectGuard imageGuard(&dcImage, &bmpImage);
        CSelectGuard maskGuard(&dcMask, &bmpMask);
        const COLORREF clrFace = ::GetSysColor(COLOR_BTNFACE);
        const COLORREF clrHilight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        dcImage.FillSolidRect(0, 0, cx, cy, clrFace);
        pList->Draw(&dcImage, nIndex, CPoint(0, 0), ILD_TRANSPARENT);
        const COLORREF clrFaceIn = TransparentIn(dcImage.m_hDC);
        // Set (white) where the image has a pixel that is neither face nor highlight.
        for (int py = 0; py < cy; ++py) {
            for (int px = 0; px < cx; ++px) {
                const COLORREF clr = dcImage.GetPixel(px, py);
                const bool bInk = clr != clrFaceIn && clr != clrFace && clr != clrHilight;
                dcMask.SetPixelV(px, py, bInk ? RGB(255, 255, 255) : RGB(0, 0, 0));
            }
        }
        pDC->FillSolidRect(x, y, cx, cy, clrBack);
        const COLORREF clrOldText = pDC->SetTextColor(RGB(0, 0, 0));
        const COLORREF clrOldBk = pDC->SetBkColor(RGB(255, 255, 255));
        const struct {
            int nColour;
            int nOffset;
        } passes[] = { { COLOR_BTNHIGHLIGHT, 1 }, { COLOR_BTNSHADOW, 0 } };
        for (const auto& pass : passes) {
            CBrush brush(::GetSysColor(pass.nColour));
            CSelectGuard brushGuard(pDC, &brush);
            pDC->BitBlt(x + pass.nOffset, y + pass.nOffset, cx, cy, &dcMask, 0, 0, 0xE20746);
        }
        pDC->SetTextColor(clrOldText);
        pDC->SetBkColor(clrOldBk);
    }
}

// --- the looks ------------------------------------------------------------------

BOOL CAltMenu::IsClassicTheme()
{
    static int s_nClassic = -1;
    if (s_nClassic < 0) {
        s_nClassic = 0;
        HKEY hKey = nullptr;
        if (::RegOpenKeyExA(
                HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ, &hKey)
            == ERROR_SUCCESS) {
            char szValue[261] = "";
            DWORD dwType = 0;
            DWORD cb = 260;
            if (::RegQueryValueExA(hKey, nullptr, nullptr, &dwType, (LPBYTE)szValue, &cb) == ERROR_SUCCESS
                && dwType == REG_SZ) {
                szValue[std::min<DWORD>(cb, 260)] = 0;
                static const char kClassic[] = "Windows Classic.theme";
                const size_t nLen = strlen(szValue);
                const size_t nTail = sizeof(kClassic) - 1;
                s_nClassic = nLen >= nTail && lstrcmpiA(szValue + nLen - nTail, kClassic) == 0 ? 1 : 0;
            }
            ::RegCloseKey(hKey);
        }
    }
    return s_nClassic;
}

BOOL CAltMenu::IsXPThemeActive()
{
    return g_menuLib.nWinVersion == 7 && !IsClassicTheme();
}
int CAltMenu::GetMenuDrawMode()
{
    return IsXPThemeActive() ? s_nXPModeThemed : s_nXPModeOther;
}
BOOL CAltMenu::UseXPLook()
{
    return GetMenuDrawMode() == 1;
}
int CAltMenu::GetSelectDisableMode()
{
    return UseXPLook() ? s_nSelectDisabledXP : s_nSelectDisabledClassic;
}

void CAltMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMIS)
{
    // Only our own records are measured: a foreign item's data is never read.
    if (lpMIS == nullptr || !CAltMenuItemData::IsLiveRecord(lpMIS->itemData))
        return;
    auto* pData = reinterpret_cast<CAltMenuItemData*>(lpMIS->itemData);
    const BOOL bXP = UseXPLook();
    const int nGap = bXP && s_bXPEffects ? 7 : 4;
    if (pData->m_nFlags & MF_SEPARATOR) {
        lpMIS->itemWidth = 0;
        lpMIS->itemHeight
            = bXP ? 3 : (UINT)std::max(::GetSystemMetrics(SM_CYMENU) / 2, (s_nIconY + nGap) / 2);
        return;
    }
    NONCLIENTMETRICSA ncm {};
    ncm.cbSize = 340;
    CFont font;
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &ncm, 0))
        font.CreateFontIndirect(&ncm.lfMenuFont);
    CWnd* pMain = AfxGetMainWnd();
    HWND hWnd = pMain != nullptr && pMain->m_hWnd != nullptr ? pMain->m_hWnd : ::GetDesktopWindow();
    HDC hDC = ::GetDC(hWnd);
    HGDIOBJ hOld = font.m_hObject != nullptr ? ::SelectObject(hDC, font.m_hObject) : nullptr;
    int nTextWidth = 0;
    if (g_menuLib.nWinVersion != 0) {
        SIZE size {};
        ::GetTextExtentPoint32W(hDC, pData->GetWideText(), (int)pData->m_strText.size(), &size);
        nTextWidth = size.cx;
    } else {
        const CString strText = pData->GetString();
        RECT rc = { 0, 0, 0, 0 };
        ::DrawTextA(hDC, strText, strText.GetLength(), &rc, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
        nTextWidth = rc.right - rc.left + 3;
        if (strText.GetLength() > 0)
            nTextWidth += nTextWidth / strText.GetLength() * 3;
    }
    if (hOld != nullptr)
        ::SelectObject(hDC, hOld);
    ::ReleaseDC(hWnd, hDC);
    lpMIS->itemWidth = (UINT)(bXP ? s_nIconX + nGap + nTextWidth + 8 : s_nIconX + nTextWidth + s_nIconX + 1);
    lpMIS->itemHeight = (UINT)std::max(::GetSystemMetrics(SM_CYMENU), s_nIconY + nGap);
}

void CAltMenu::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (lpDIS == nullptr || lpDIS->CtlType != ODT_MENU || !CAltMenuItemData::IsLiveRecord(lpDIS->itemData))
        return;
    if ((::GetDeviceCaps(lpDIS->hDC, RASTERCAPS) & RC_PALETTE) || !UseXPLook())
        DrawItemClassic(lpDIS);
    else
        DrawItemXP(lpDIS);
}

BOOL CAltMenu::GetItemImage(CAltMenuItemData* pData, CImageList*& pList, int& nIndex, BOOL& bEffects) const
{
    if (pData->m_pImageList != nullptr && pData->m_nOwnImageIndex >= 0
        && pData->m_nOwnImageIndex < pData->m_pImageList->GetImageCount()) {
        pList = pData->m_pImageList;
        nIndex = pData->m_nOwnImageIndex;
        bEffects = s_bXPEffects && pList->GetImageCount() > 2 && nIndex == 0;
        return TRUE;
    }
    if (s_pSharedImages != nullptr && pData->m_nImageIndex >= 0
        && pData->m_nImageIndex < s_pSharedImages->GetImageCount()) {
        pList = s_pSharedImages;
        nIndex = pData->m_nImageIndex;
        const size_t i = (size_t)nIndex;
        bEffects = s_bXPEffects && i + 3 < s_imageIDs.size() && s_imageIDs[i + 1] == s_imageIDs[i]
            && s_imageIDs[i + 2] == s_imageIDs[i];
        return TRUE;
    }
    return FALSE;
}

// A disabled image in the classic manner: through a one-bit copy, from the dimmed image, or embossed.
static void DrawDisabledImage(
    CDC* pDC, CImageList* pList, int nIndex, BOOL bEffects, BOOL bOldStyle, CPoint pt, COLORREF clrMenu)
{
    const int cx = CAltMenu::s_nIconX;
    const int cy = CAltMenu::s_nIconY;
    if (bOldStyle) {
        struct {
            BITMAPINFOHEADER h;
            RGBQUAD colours[2];
        } bmi {};
        bmi.h.biSize = sizeof(bmi.h);
        bmi.h.biWidth = cx;
        bmi.h.biHeight = cy;
        bmi.h.biPlanes = 1;
        bmi.h.biBitCount = 1;
        bmi.colours[1] = { 255, 255, 255, 0 };
        void* pBits = nullptr;
        CBitmap mono;
        mono.Attach(::CreateDIBSection(pDC->m_hDC, (BITMAPINFO*)&bmi, DIB_RGB_COLORS, &pBits, nullptr, 0));
        CDC dcMono, dcColour;
        dcMono.CreateCompatibleDC(pDC);
        dcColour.CreateCompatibleDC(pDC);
        CBitmap colour;
        colour.CreateCompatibleBitmap(pDC, cx, cy);
        CSelectGuard monoGuard(&dcMono, &mono);
        {
            CSelectGuard colourGuard(&dcColour, &colour);
            dcColour.FillSolidRect(0, 0, cx, cy, ::GetSysColor(COLOR_BTNFACE));
            pList->Draw(&dcColour, nIndex, CPoint(0, 0), ILD_TRANSPARENT);
            dcColour.SetBkColor(::GetSysColor(COLOR_BTNFACE));
            dcMono.BitBlt(0, 0, cx, cy, &dcColour, 0, 0, SRCCOPY); // background white, image black
        }
        ::FillRect(pDC->m_hDC, CRect(pt.x, pt.y, pt.x + cx, pt.y + cy), ::GetSysColorBrush(COLOR_MENU));
        (void)clrMenu;
        const COLORREF clrOldText = pDC->SetTextColor(RGB(0, 0, 0));
        const COLORREF clrOldBk = pDC->SetBkColor(RGB(255, 255, 255));
        for (int nColour : { COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW }) {
            CBrush brush(::GetSysColor(nColour));
            CSelectGuard brushGuard(pDC, &brush);
            const int nOffset = nColour == COLOR_BTNHIGHLIGHT ? 1 : 0;
            pDC->BitBlt(pt.x + nOffset, pt.y + nOffset, cx, cy, &dcMono, 0, 0, 0xB8074A);
        }
        pDC->SetTextColor(clrOldText);
        pDC->SetBkColor(clrOldBk);
        return;
    }
    if (CAltMenu::s_nDisabledImageStyle != 0 && bEffects) {
        pList->Draw(pDC, nIndex + 3, pt, ILD_TRANSPARENT);
        return;
    }
    AltDrawEmbossed(pDC, pList, nIndex, pt.x, pt.y, cx, cy, clrMenu);
}

void CAltMenu::DrawItemClassic(LPDRAWITEMSTRUCT lpDIS)
{
    auto* pData = reinterpret_cast<CAltMenuItemData*>(lpDIS->itemData);
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const CRect rc(lpDIS->rcItem);
    const UINT nState = lpDIS->itemState;
    const BOOL bGrayed = (nState & ODS_GRAYED) != 0;
    const BOOL bChecked = (nState & ODS_CHECKED) != 0;
    BOOL bSelected = (nState & ODS_SELECTED) != 0;
    if (bGrayed && !s_nSelectDisabledClassic)
        bSelected = FALSE;
    const COLORREF clrMenu = ::GetSysColor(IsXPThemeActive() ? COLOR_BTNFACE : COLOR_MENU);
    const BOOL bFrames = g_menuLib.nWinVersion >= 2;
    if (pData->m_nFlags & MF_SEPARATOR) {
        pDC->FillSolidRect(&rc, clrMenu);
        CRect rcLine = rc;
        rcLine.top += rc.Height() / 2;
        pDC->DrawEdge(&rcLine, EDGE_ETCHED, BF_TOP);
        return;
    }
    CImageList* pList = nullptr;
    int nImage = -1;
    BOOL bEffects = FALSE;
    const BOOL bImage = GetItemImage(pData, pList, nImage, bEffects);
    pDC->FillSolidRect(&rc, clrMenu);
    if (bSelected) {
        CRect rcHighlight = rc;
        if (bImage || bChecked)
            rcHighlight.left += s_nIconX + 5;
        pDC->FillSolidRect(&rcHighlight, ::GetSysColor(COLOR_HIGHLIGHT));
    }
    CPoint ptImage;
    const CRect rcBox = ImageBox(rc, ptImage);
    if (bImage) {
        if (!bGrayed && bSelected) {
            pDC->FillSolidRect(&rcBox, clrMenu);
            if (bFrames)
                FrameBox(pDC, rcBox, ::GetSysColor(bChecked ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT),
                    ::GetSysColor(bChecked ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW));
        } else if (!bGrayed && bChecked) {
            pDC->FillSolidRect(&rcBox, AltLighten(clrMenu, 0.6));
            if (bFrames)
                FrameBox(pDC, rcBox, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        } else if (!bGrayed) {
            pDC->FillSolidRect(&rcBox, clrMenu);
            FrameBox(pDC, rcBox, clrMenu, clrMenu);
        }
        if (bGrayed && !bSelected)
            DrawDisabledImage(pDC, pList, nImage, bEffects, m_bDisableOldStyle, ptImage, clrMenu);
        else
            pList->Draw(pDC, nImage, ptImage, ILD_TRANSPARENT);
    } else if (bChecked) {
        const int nCheckID = m_nCheckMarkIDs[bSelected ? 1 : 0];
        if (nCheckID > 0 && m_pCheckMarks != nullptr) {
            m_pCheckMarks->Draw(pDC, bSelected ? 1 : 0, ptImage, ILD_TRANSPARENT);
        } else {
            pDC->FillSolidRect(&rcBox, bSelected ? clrMenu : AltLighten(clrMenu, 0.6));
            if (bFrames) {
                CRect rcEdge = rcBox;
                pDC->DrawEdge(&rcEdge, BDR_SUNKENOUTER, BF_RECT);
            }
            if (IsRadioItem(lpDIS))
                DrawRadioDot(pDC, rcBox.left + 5, rcBox.top + 4, ::GetSysColor(COLOR_MENUTEXT));
            else
                DrawCheckMark(pDC, rcBox.left + 4, rcBox.top + 4, ::GetSysColor(COLOR_MENUTEXT), false);
        }
    }
    CRect rcText = rc;
    rcText.left = rc.left + s_nIconX + 9;
    if (bGrayed && !bSelected) {
        DrawItemText(pDC, pData->m_strText, rcText + CPoint(1, 1), s_nIconX, ::GetSysColor(COLOR_3DHILIGHT));
        DrawItemText(pDC, pData->m_strText, rcText, s_nIconX, ::GetSysColor(COLOR_GRAYTEXT));
    } else {
        const int nColour = bGrayed ? COLOR_GRAYTEXT : bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
        DrawItemText(pDC, pData->m_strText, rcText, s_nIconX, ::GetSysColor(nColour));
    }
}

void CAltMenu::DrawItemXP(LPDRAWITEMSTRUCT lpDIS)
{
    auto* pData = reinterpret_cast<CAltMenuItemData*>(lpDIS->itemData);
    const CRect rc(lpDIS->rcItem);
    const UINT nState = lpDIS->itemState;
    const BOOL bGrayed = (nState & ODS_GRAYED) != 0;
    const BOOL bChecked = (nState & ODS_CHECKED) != 0;
    BOOL bSelected = (nState & ODS_SELECTED) != 0;
    CDC* pTarget = CDC::FromHandle(lpDIS->hDC);
    // A disabled item is composed off-screen in the menu font and copied at the end.
    std::unique_ptr<CMemDC> pMemDC;
    CFont font;
    HGDIOBJ hOldFont = nullptr;
    if (bGrayed && s_nSelectDisabledXP == 0) {
        bSelected = FALSE;
        pMemDC = std::make_unique<CMemDC>(pTarget, &rc);
        NONCLIENTMETRICSA ncm {};
        ncm.cbSize = 340;
        if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &ncm, 0)
            && font.CreateFontIndirect(&ncm.lfMenuFont))
            hOldFont = ::SelectObject(pMemDC->m_hDC, font.m_hObject);
    }
    CDC* pDC = pMemDC != nullptr ? pMemDC.get() : pTarget;
    const BOOL bThemed = IsXPThemeActive();
    COLORREF clrMenu = ::GetSysColor(COLOR_BTNFACE);
    if (!bThemed)
        clrMenu = AltLighten(clrMenu, 0.25);
    const COLORREF clrTextArea = AltDarken(::GetSysColor(COLOR_WINDOW), 0.02);
    const COLORREF clrHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF clrMenuText = ::GetSysColor(COLOR_MENUTEXT);
    const int nTextLeft = rc.left + s_nIconX + 9;
    const CRect rcColumn(rc.left, rc.top, rc.left + s_nIconX + 5, rc.bottom);
    if (pData->m_nFlags & MF_SEPARATOR) {
        pDC->FillSolidRect(&rc, clrTextArea);
        CRect rcLine(nTextLeft, rc.top + rc.Height() / 2, rc.right, rc.bottom);
        pDC->DrawEdge(&rcLine, EDGE_ETCHED, BF_TOP);
        pDC->FillSolidRect(&rcColumn, clrMenu);
        FrameBox(pDC, rcColumn, clrMenu, clrMenu);
    } else {
        if (bSelected) {
            pDC->FillSolidRect(&rc, AltLighten(clrHighlight, bThemed ? 0.7 : 0.85));
            FrameBox(pDC, rc, clrHighlight, clrHighlight);
        } else {
            pDC->FillSolidRect(&rc, clrTextArea);
            pDC->FillSolidRect(&rcColumn, clrMenu);
        }
        CImageList* pList = nullptr;
        int nImage = -1;
        BOOL bEffects = FALSE;
        const BOOL bImage = GetItemImage(pData, pList, nImage, bEffects);
        CPoint ptImage;
        const CRect rcBox = ImageBox(rc, ptImage);
        if (!bImage && bChecked) {
            pDC->FillSolidRect(&rcBox, AltLighten(clrHighlight, bSelected ? 0.55 : 0.85));
            FrameBox(pDC, rcBox, clrHighlight, clrHighlight);
            const int x = rcBox.left + std::max(rcBox.Width() / 2 - 3, 0);
            const int y = rcBox.top + std::max(rcBox.Height() / 2 - 3, 0);
            if (IsRadioItem(lpDIS))
                DrawRadioDot(pDC, x, y, clrMenuText);
            else
                DrawCheckMark(pDC, x, y, clrMenuText, true);
        } else if (bImage && bGrayed) {
            if (bEffects)
                pList->Draw(pDC, nImage + 3, ptImage, ILD_TRANSPARENT);
            else
                DrawDisabledImage(pDC, pList, nImage, bEffects, m_bDisableOldStyle, ptImage, clrMenu);
        } else if (bImage && bSelected) {
            if (bChecked) {
                pDC->FillSolidRect(&rcBox, AltLighten(clrHighlight, 0.55));
                FrameBox(pDC, rcBox, clrHighlight, clrHighlight);
                pList->Draw(pDC, nImage, ptImage, ILD_TRANSPARENT);
            } else if (bEffects) {
                pList->Draw(pDC, nImage + 2, ptImage + CPoint(1, 1), ILD_TRANSPARENT);
                pList->Draw(pDC, nImage, ptImage + CPoint(-1, -1), ILD_TRANSPARENT);
            } else {
                pList->Draw(pDC, nImage, ptImage, ILD_TRANSPARENT);
            }
        } else if (bImage && bChecked) {
            pDC->FillSolidRect(&rcBox, AltLighten(clrHighlight, 0.85));
            FrameBox(pDC, rcBox, clrHighlight, clrHighlight);
            pList->Draw(pDC, nImage, ptImage + CPoint(-1, -1), ILD_TRANSPARENT);
        } else if (bImage) {
            FrameBox(pDC, rcColumn, clrMenu, clrMenu);
            pList->Draw(pDC, bEffects ? nImage + 1 : nImage, ptImage, ILD_TRANSPARENT);
        }
        // Disabled text is grey, lightened on the selection's fill, where plain grey would be too dark.
        COLORREF clrText = clrMenuText;
        if (bGrayed)
            clrText
                = bSelected ? AltLighten(::GetSysColor(COLOR_GRAYTEXT), 0.4) : ::GetSysColor(COLOR_GRAYTEXT);
        CRect rcText = rc;
        rcText.left = nTextLeft;
        DrawItemText(pDC, pData->m_strText, rcText, s_nIconX, clrText);
    }
    if (hOldFont != nullptr)
        ::SelectObject(pMemDC->m_hDC, hOldFont);
}

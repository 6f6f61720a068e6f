#include "controls/memdc.h"
#include "controls/progressdraw.h"

#include <vector>

namespace {

bool IsPaletteDevice(CDC* pDC) { return (pDC->GetDeviceCaps(RASTERCAPS) & RC_PALETTE) != 0; }

// Scoped settings of the text drawing: each puts back what it changed.
class CFontScope {
public:
    CFontScope(CDC* pDC, CFont* pFont) : m_hDC(pDC->GetSafeHdc()) {
        if (pFont != nullptr && pFont->GetSafeHandle() != nullptr)
            m_hOld = ::SelectObject(m_hDC, pFont->GetSafeHandle());
    }
    ~CFontScope() {
        if (m_hOld != nullptr)
            ::SelectObject(m_hDC, m_hOld);
    }
    CFontScope(const CFontScope&) = delete;
    CFontScope& operator=(const CFontScope&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld = nullptr;
};

class CTextColourScope {
public:
    CTextColourScope(CDC* pDC, COLORREF cr) : m_pDC(pDC), m_crOld(pDC->SetTextColor(cr)) {}
    ~CTextColourScope() { m_pDC->SetTextColor(m_crOld); }
    CTextColourScope(const CTextColourScope&) = delete;
    CTextColourScope& operator=(const CTextColourScope&) = delete;

private:
    CDC* m_pDC;
    COLORREF m_crOld;
};

class CBkModeScope {
public:
    CBkModeScope(CDC* pDC, int nMode) : m_pDC(pDC), m_nOld(pDC->SetBkMode(nMode)) {}
    ~CBkModeScope() { m_pDC->SetBkMode(m_nOld); }
    CBkModeScope(const CBkModeScope&) = delete;
    CBkModeScope& operator=(const CBkModeScope&) = delete;

private:
    CDC* m_pDC;
    int m_nOld;
};

class CTextAlignScope {
public:
    CTextAlignScope(CDC* pDC, UINT nAlign) : m_pDC(pDC), m_nOld(pDC->SetTextAlign(nAlign)) {}
    ~CTextAlignScope() { m_pDC->SetTextAlign(m_nOld); }
    CTextAlignScope(const CTextAlignScope&) = delete;
    CTextAlignScope& operator=(const CTextAlignScope&) = delete;

private:
    CDC* m_pDC;
    UINT m_nOld;
};

}  // namespace

CPalette* CGradientDraw::GetPalette() {
    if (m_bUsePalette && m_palette.GetSafeHandle() == nullptr) {
        CBandList bands;
        CalcBands(bands, 236, 0, 236, 236);
        std::vector<BYTE> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * (bands.size() + 1), 0);
        LOGPALETTE* pLog = (LOGPALETTE*)block.data();
        pLog->palVersion = 0x300;
        pLog->palNumEntries = (WORD)bands.size();
        for (size_t i = 0; i < bands.size(); ++i)
            pLog->palPalEntry[i] = {GetRValue(bands[i].crColour), GetGValue(bands[i].crColour),
                                    GetBValue(bands[i].crColour), 0};
        if (!bands.empty())
            m_palette.CreatePalette(pLog);
    }
    return m_palette.GetSafeHandle() != nullptr ? &m_palette : nullptr;
}

void CGradientDraw::DrawGradient(CDC* pDC, const CRect& rect, int nStart, int nEnd, int nShift) {
    if (m_colors.GetSize() == 0)
        return;
    const bool bPalette = IsPaletteDevice(pDC);
    const bool bVertical = m_nDirection == 2 || m_nDirection == 3;
    const int nAxis = bVertical ? rect.Height() : rect.Width();
    if (nEnd == -1)
        nEnd = nAxis;
    auto partRect = [&](int a, int b) {
        CRect rc = rect;
        switch (m_nDirection) {
        case 1:
            rc.right = rect.right - a;
            rc.left = rect.right - b;
            break;
        case 2:
            rc.top = rect.top + a;
            rc.bottom = rect.top + b;
            break;
        case 3:
            rc.bottom = rect.bottom - a;
            rc.top = rect.bottom - b;
            break;
        default:
            rc.left = rect.left + a;
            rc.right = rect.left + b;
            break;
        }
        return rc;
    };
    if (!bPalette && pDC->GetDeviceCaps(BITSPIXEL) * pDC->GetDeviceCaps(PLANES) < 8) {
        pDC->FillSolidRect(partRect(nStart, nEnd), m_colors[0]);
        return;
    }
    const int nLength = (int)(nAxis * m_fStretch);
    CBandList bands;
    CalcShiftedBands(bands, nShift, nLength, nStart, nEnd, bPalette ? 236 : GRADIENT_UNLIMITED);
    CPalette* pOldPalette = nullptr;
    CPalette* pPalette = bPalette && m_bUsePalette ? GetPalette() : nullptr;
    if (pPalette != nullptr) {
        pOldPalette = pDC->SelectPalette(pPalette, FALSE);
        pDC->RealizePalette();
    }
    int p = nStart;
    for (const GRADIENTBAND& band : bands) {
        const CRect rc = partRect(p, p + band.nWidth);
        if (bPalette) {
            CBrush brush(pPalette != nullptr ? (band.crColour | 0x02000000) : band.crColour);
            pDC->FillRect(rc, &brush);
        } else {
            pDC->FillSolidRect(rc, band.crColour);
        }
        p += band.nWidth;
    }
    if (pOldPalette != nullptr)
        pDC->SelectPalette(pOldPalette, FALSE);
}

void CProgressDraw::SetClipRegion(HRGN hRgn) {
    m_rgnClip.DeleteObject();
    if (hRgn != nullptr)
        m_rgnClip.Attach(hRgn);
}

void CProgressDraw::Draw(CDC* pDC, const CRect& rcArea, BOOL bDirect) {
    CRect rect = rcArea;
    if (m_rgnClip.GetSafeHandle() != nullptr) {
        pDC->SelectClipRgn(&m_rgnClip);
        pDC->OffsetClipRgn(rect.left, rect.top);
    }
    const BOOL bCopy = m_pBkBrush == nullptr && m_crBk == CLR_NONE;
    const BOOL bWasPrinting = pDC->m_bPrinting;
    if (bDirect)
        pDC->m_bPrinting = TRUE;
    CFillMemDC dc(pDC, &rect, bCopy, FALSE);
    pDC->m_bPrinting = bWasPrinting;

    if (m_pBkBrush != nullptr)
        dc.FillRect(rect, m_pBkBrush);
    else if (m_crBk != CLR_NONE)
        dc.FillSolidRect(rect, m_crBk);

    rect.DeflateRect(m_rcBorders.left, m_rcBorders.top, m_rcBorders.right, m_rcBorders.bottom);
    const DWORD dwStyle = GetStyle();
    const int nLength = (dwStyle & PBS_VERTICAL) ? rect.Height() : rect.Width();
    int nStart, nEnd;
    if (!CalcParts(nLength, nStart, nEnd))
        return;
    PROGRESSDRAWINFO info{&dc, dwStyle, rect, m_nPos, m_nLower, m_nUpper};
    if (m_pBarBrush != nullptr) {
        dc.FillRect(PartToRect(rect, dwStyle, nStart, nEnd), m_pBarBrush);
    } else {
        const int nExtentStart = (dwStyle & PGS_STRETCH_TO_BAR) ? nStart : 0;
        const int nExtentEnd = (dwStyle & PGS_STRETCH_TO_BAR) ? nEnd : nLength;
        if (dwStyle & PBS_VERTICAL)
            m_nDirection = (dwStyle & PGS_REVERSED) ? 2 : 3;
        else
            m_nDirection = (dwStyle & PGS_REVERSED) ? 1 : 0;
        const CRect rcExtent = PartToRect(rect, dwStyle, nExtentStart, nExtentEnd);
        DrawGradient(&dc, rcExtent, nStart - nExtentStart, nEnd - nExtentStart, CalcShift(nExtentEnd - nExtentStart));
    }
    DrawText(info, 0, nLength, nStart, nEnd);
}

void CProgressDraw::DrawText(const PROGRESSDRAWINFO& info, int nWholeStart, int nWholeEnd, int nStart, int nEnd) {
    if (!(info.dwStyle & PGS_TEXT_MODE))
        return;
    const CString strText = FormatText(m_strText, GetValue());
    if (strText.IsEmpty())
        return;
    CDC* pDC = info.pDC;
    CFontScope font(pDC, m_pFont);
    CTextColourScope colour(pDC, m_crTextOnBar);
    CBkModeScope mode(pDC, TRANSPARENT);
    CTextAlignScope align(pDC, TA_CENTER | TA_BOTTOM);
    const CPoint ptWindowOrg = pDC->GetWindowOrg();
    const CPoint ptViewportOrg = pDC->GetViewportOrg();

    const CSize size = pDC->GetTextExtent(strText);
    int nAngle = 0;
    if (m_pFont != nullptr && m_pFont->GetSafeHandle() != nullptr) {
        LOGFONT lf{};
        m_pFont->GetLogFont(&lf);
        nAngle = lf.lfEscapement / 10;
    }
    CSize box(0, 0), offset(0, 0);
    switch (nAngle) {
    case 0:
        box = CSize(size.cx, size.cy), offset = CSize(0, size.cy);
        break;
    case 90:
        box = CSize(size.cy, size.cx), offset = CSize(size.cy, 0);
        break;
    case 180:
        box = CSize(size.cx, size.cy), offset = CSize(0, -size.cy);
        break;
    case 270:
        box = CSize(size.cy, size.cx), offset = CSize(-size.cy, 0);
        break;
    default:
        break;
    }
    const bool bVertical = (info.dwStyle & PBS_VERTICAL) != 0;
    auto place = [&](const CRect& rc) {
        CSize off = offset;
        if (info.dwStyle & PGS_TEXT_LEFT)
            off.cx -= rc.Width() - box.cx;
        if (info.dwStyle & PGS_TEXT_RIGHT)
            off.cx += rc.Width() - box.cx;
        if (info.dwStyle & PGS_TEXT_TOP)
            off.cy -= rc.Height() - box.cy;
        if (info.dwStyle & PGS_TEXT_BOTTOM)
            off.cy += rc.Height() - box.cy;
        const CPoint pt(rc.left + (rc.Width() + off.cx) / 2, rc.top + (rc.Height() + off.cy) / 2);
        pDC->SetViewportOrg(ptViewportOrg.x + pt.x, ptViewportOrg.y + pt.y);
    };
    if (!(info.dwStyle & PGS_TEXT_ON_BAR)) {
        place(info.rect);
        {
            CTextColourScope onBk(pDC, m_crTextOnBk);
            DrawClippedText(info, PartToRect(info.rect, info.dwStyle, nWholeStart, nWholeEnd), strText, ptWindowOrg);
        }
        if (m_crTextOnBar != m_crTextOnBk)
            DrawClippedText(info, PartToRect(info.rect, info.dwStyle, nStart, nEnd), strText, ptWindowOrg);
    } else if ((bVertical ? box.cy : box.cx) <= nEnd - nStart) {
        const CRect rcPart = PartToRect(info.rect, info.dwStyle, nStart, nEnd);
        place(rcPart);
        DrawClippedText(info, rcPart, strText, ptWindowOrg);
    }
    pDC->SetViewportOrg(ptViewportOrg.x, ptViewportOrg.y);
}

void CProgressDraw::DrawClippedText(const PROGRESSDRAWINFO& info, const CRect& rcPart, const CString& strText,
                                    const CPoint& ptWindowOrg) {
    // The clip region is in device units of the memory context.
    CRect rc = rcPart;
    rc.OffsetRect(-ptWindowOrg.x, -ptWindowOrg.y);
    CRgn rgn;
    rgn.CreateRectRgnIndirect(rc);
    info.pDC->SelectClipRgn(&rgn);
    info.pDC->TextOut(0, 0, strText);
    info.pDC->SelectClipRgn(nullptr);
}

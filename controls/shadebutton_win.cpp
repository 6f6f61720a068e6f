#include "controls/shadebutton.h"

#include <algorithm>
#include <cstring>

#include "afx/afxapp.h"
#include "controls/shadeface.h"

IMPLEMENT_DYNAMIC(CShadeButton, CStateButton)

CShadeButton::CShadeButton() : CStateButton(TRUE), m_crText(::GetSysColor(COLOR_BTNTEXT)), m_rcIcon(0, 0, 0, 0) {}

CShadeButton::~CShadeButton() {
    m_Font.DeleteObject();
    delete m_pLF;
    FreeIcons();
}

void CShadeButton::FreeIcons() {
    if (m_hIconDown != nullptr && m_hIconDown != m_hIcon)
        ::DestroyIcon(m_hIconDown);
    if (m_hIconOver != nullptr && m_hIconOver != m_hIcon)
        ::DestroyIcon(m_hIconOver);
    if (m_hIcon != nullptr)
        ::DestroyIcon(m_hIcon);
    m_hIcon = m_hIconDown = m_hIconOver = nullptr;
}

void CShadeButton::StyleChanged(UINT nStyle) {
    m_bPushLike = (nStyle & BS_PUSHLIKE) != 0;
    m_bFlat = (nStyle & BS_FLAT) != 0;
    switch (nStyle & 0xFF) {
    case BS_AUTOCHECKBOX:
        m_nKind = SHADE_KIND_CHECK;
        break;
    case BS_AUTORADIOBUTTON:
        m_nKind = SHADE_KIND_RADIO;
        break;
    default:
        m_nKind = SHADE_KIND_PUSH;
        m_bPushLike = TRUE;
        break;
    }
    if (!m_bPushLike)
        m_bBorder = FALSE;
}

void CShadeButton::PreSubclassWindow() {
    const UINT nStyle = (UINT)GetStyle();
    SetTextAlign(nStyle & 0x300);
    StyleChanged(nStyle);
    CButton::PreSubclassWindow();
    CWnd::ModifyStyle(0, BS_OWNERDRAW);
}

void CShadeButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) {
    StyleChanged(nStyle);
    if (m_nKind == SHADE_KIND_PUSH)
        m_bChecked = FALSE;
    if (bRedraw && ::IsWindow(m_hWnd))
        Repaint();
}

void CShadeButton::SetShade(UINT nKind, BYTE nGranularity, BYTE nHighlight, BYTE nColouring, COLORREF crColour) {
    CRect rc;
    GetWindowRect(&rc);
    const SHADECOLOURS colours = {::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNFACE),
                                  ::GetSysColor(COLOR_BTNHIGHLIGHT)};
    ShadeSurfaces(m_dNormal, m_dDown, m_dDisabled, m_dOver, rc.Width(), rc.Height(), nKind, nGranularity, nHighlight,
                  nColouring, crColour, colours);
    if (::IsWindow(m_hWnd))
        Repaint();
}

void CShadeButton::SetIcon(UINT nNormal, UINT nAlign, UINT nDown, UINT nOver) {
    FreeIcons();
    HINSTANCE hInst = AfxGetResourceHandle();
    auto load = [&](UINT nID) -> HICON {
        return nID == 0 ? nullptr : (HICON)::LoadImageA(hInst, MAKEINTRESOURCEA(nID), IMAGE_ICON, 0, 0, 0);
    };
    m_hIcon = load(nNormal);
    if (m_hIcon == nullptr)
        return;
    m_hIconDown = load(nDown);
    if (m_hIconDown == nullptr)
        m_hIconDown = m_hIcon;
    m_hIconOver = load(nOver);
    if (m_hIconOver == nullptr)
        m_hIconOver = m_hIcon;

    ICONINFO info{};
    ::GetIconInfo(m_hIcon, &info);
    if (info.hbmMask != nullptr)
        ::DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr)
        ::DeleteObject(info.hbmColor);
    const int cx = (int)info.xHotspot * 2, cy = (int)info.yHotspot * 2;
    CRect rc;
    GetClientRect(&rc);
    const int w = rc.Width(), h = rc.Height();
    m_rcIcon = CRect(0, 0, cx, cy);
    switch (nAlign) {
    case BS_ICON_LEFT:
        m_nIconAlign = nAlign;
        m_rcIcon.OffsetRect(0, std::max(0, h / 2 - (int)info.yHotspot));
        break;
    case BS_ICON_RIGHT:
        m_nIconAlign = nAlign;
        m_rcIcon.OffsetRect(w - cx, std::max(0, h / 2 - (int)info.yHotspot));
        break;
    default:
        m_nIconAlign = BS_ICON_CENTER;
        m_rcIcon.OffsetRect(std::max(0, w / 2 - (int)info.xHotspot), std::max(0, h / 2 - cy));
        break;
    }
    if (::IsWindow(m_hWnd))
        Repaint();
}

COLORREF CShadeButton::SetTextColor(COLORREF cr) {
    const COLORREF crOld = m_crText;
    m_crText = cr;
    return crOld;
}

void CShadeButton::SetTextAlign(UINT nAlign) {
    switch (nAlign) {
    case 0x100:
        m_nTextFormat = DT_LEFT;
        break;
    case 0x200:
        m_nTextFormat = DT_RIGHT;
        break;
    default:
        m_nTextFormat = DT_CENTER;
        break;
    }
    m_nTextFormat |= DT_VCENTER | DT_SINGLELINE;
}

const CString& CShadeButton::CurrentTip() const {
    return (m_bChecked && !m_strCheckedToolTip.IsEmpty()) ? m_strCheckedToolTip : m_strToolTip;
}

void CShadeButton::SetToolTipText(const CString& strText, const CString& strCheckedText) {
    m_strToolTip = strText;
    m_strCheckedToolTip = strCheckedText;
    if (m_tooltip.GetSafeHwnd() == nullptr) {
        if (!m_tooltip.Create(this))
            return;
        m_tooltip.AddTool(this, CurrentTip());
        m_tooltip.Activate(TRUE);
        m_tooltip.SetMaxTipWidth(300);
    } else {
        m_tooltip.UpdateTipText(CurrentTip(), this);
    }
}

BOOL CShadeButton::RebuildFont() {
    m_Font.DeleteObject();
    return m_Font.CreateFontIndirect(m_pLF);
}

BOOL CShadeButton::SetTextFont(const CString& strFace, int nHeight, int nWeight, BYTE bItalic, BYTE bUnderline) {
    if (m_pLF == nullptr)
        m_pLF = new LOGFONT{};
    std::memset(m_pLF->lfFaceName, 0, sizeof(m_pLF->lfFaceName));
    std::strncpy(m_pLF->lfFaceName, strFace, 31);
    m_pLF->lfHeight = nHeight;
    m_pLF->lfWeight = nWeight;
    m_pLF->lfItalic = bItalic;
    m_pLF->lfUnderline = bUnderline;
    const BOOL bOK = RebuildFont();
    if (::IsWindow(m_hWnd))
        Repaint();
    return bOK;
}

BOOL CShadeButton::SetTextFont(const LOGFONT* pLogFont) {
    if (pLogFont == nullptr)
        return FALSE;
    if (m_pLF == nullptr)
        m_pLF = new LOGFONT{};
    *m_pLF = *pLogFont;
    const BOOL bOK = RebuildFont();
    if (::IsWindow(m_hWnd))
        Repaint();
    return bOK;
}

// The tooltip shows the checked text while the button is checked.
void CShadeButton::OnCheckChanged(BOOL bSet) {
    if (m_tooltip.GetSafeHwnd() == nullptr)
        return;
    if (bSet)
        m_tooltip.Pop();
    m_tooltip.UpdateTipText(CurrentTip(), this);
}

void CShadeButton::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    if (FollowCapturedPress())
        return;
    CDC* pTarget = CDC::FromHandle(lpDIS->hDC);
    const CRect rcItem = lpDIS->rcItem;
    const int cx = rcItem.Width(), cy = rcItem.Height();
    const UINT nState = lpDIS->itemState;
    CDC dc;
    dc.CreateCompatibleDC(pTarget);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(pTarget, cx, cy);
    CSelectGuard bitmapGuard(&dc, &bitmap);
    CString strText;
    GetWindowText(strText);
    dc.SetBkMode(TRANSPARENT);
    CSelectGuard fontGuard(dc.GetSafeHdc(),
                           m_Font.GetSafeHandle() ? m_Font.GetSafeHandle() : ::GetStockObject(DEFAULT_GUI_FONT));

    CRect rcText(2, 0, cx - 2, cy);
    if (m_hIcon != nullptr) {
        if (m_nIconAlign == BS_ICON_LEFT)
            rcText.left += m_rcIcon.Width();
        else if (m_nIconAlign == BS_ICON_RIGHT)
            rcText.right -= m_rcIcon.Width();
        else {
            rcText.top = m_rcIcon.bottom;
            rcText.bottom -= 1;
        }
    }
    const CRect rcAll(0, 0, cx, cy);
    auto face = [&](const CDib& dib, int x, int y) {
        if (dib.IsValid())
            dib.Draw(dc.GetSafeHdc(), x, y);
        else
            dc.FillSolidRect(rcAll, ::GetSysColor(COLOR_BTNFACE));
    };
    auto icon = [&](HICON hIcon, int dx, int dy, UINT nFlags) {
        if (hIcon != nullptr)
            dc.DrawState(CPoint(m_rcIcon.left + dx, m_rcIcon.top + dy), m_rcIcon.Size(), hIcon, DST_ICON | nFlags);
    };

    if (nState & ODS_DISABLED) {
        face(m_dDisabled, 0, 0);
        icon(m_hIcon, 0, 0, DSS_DISABLED);
        CRect rc = rcAll;
        if (m_bBorder && !m_bFlat)
            dc.DrawEdge(&rc, EDGE_RAISED, BF_RECT);
        dc.SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        dc.DrawText(strText, rcText, m_nTextFormat);
        rcText.OffsetRect(-1, -1);
        dc.SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
        dc.DrawText(strText, rcText, m_nTextFormat);
    } else {
        if ((nState & ODS_SELECTED) || m_bChecked) {
            const int b = m_bBorder ? 1 : 0;
            face(m_dDown, b, b);
            icon(m_hIconDown, m_bPushLike ? 1 : 0, m_bPushLike ? 1 : 0, DSS_NORMAL);
            if (m_bPushLike)
                rcText.OffsetRect(1, 1);
            if (m_bBorder) {
                CRect rc = rcAll;
                if (m_bFlat)
                    dc.Draw3dRect(&rc, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
                else
                    dc.DrawEdge(&rc, EDGE_SUNKEN, BF_RECT);
            }
        } else {
            face(m_bHover && m_dOver.IsValid() ? m_dOver : m_dNormal, 0, 0);
            icon(m_bHover && m_hIconOver != nullptr ? m_hIconOver : m_hIcon, 0, 0, DSS_NORMAL);
            if (m_bBorder && (m_bHover || !m_bFlat)) {
                CRect rc = rcAll;
                if (nState & ODS_DEFAULT) {
                    dc.DrawEdge(&rc, EDGE_SUNKEN, BF_RECT);
                    rc.DeflateRect(1, 1);
                    dc.DrawEdge(&rc, EDGE_RAISED, BF_RECT);
                } else if (m_bFlat) {
                    dc.Draw3dRect(&rc, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
                } else {
                    dc.DrawEdge(&rc, EDGE_RAISED, BF_RECT);
                }
            }
        }
        dc.SetTextColor(m_crText);
        dc.DrawText(strText, rcText, m_nTextFormat);
    }
    pTarget->BitBlt(rcItem.left, rcItem.top, cx, cy, &dc, 0, 0, SRCCOPY);
}

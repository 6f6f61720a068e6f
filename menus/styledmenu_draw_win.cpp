// Measuring and drawing of menu items in the drawing styles: the flat look
// (styles 2, 3 and its gradient variant 8, 9), the classic look (0, 1), the
// classic look with flat menu-bar items (4, 5), the gradient look (6, 7), and
// the menu title all styles share. Popup items are composed in a memory copy
// of the item and copied once, so they never flicker.
#include "menus/styledmenu.h"

#include <algorithm>

#include "menus/menustyles.h"
#include "menus/menuutil.h"

namespace {

COLORREF Sys(int nIndex) { return ::GetSysColor(nIndex); }

// An icon handle for one drawing.
struct CIconHolder {
    HICON m_hIcon;
    explicit CIconHolder(HICON hIcon) : m_hIcon(hIcon) {}
    ~CIconHolder() {
        if (m_hIcon != nullptr)
            ::DestroyIcon(m_hIcon);
    }
    CIconHolder(const CIconHolder&) = delete;
    CIconHolder& operator=(const CIconHolder&) = delete;
};

// Restores text colour and background mode of a DC on scope exit.
struct CTextStateGuard {
    HDC m_hDC;
    COLORREF m_clrText;
    int m_nBkMode;
    explicit CTextStateGuard(HDC hDC)
        : m_hDC(hDC), m_clrText(::GetTextColor(hDC)), m_nBkMode(::GetBkMode(hDC)) {}
    ~CTextStateGuard() {
        ::SetTextColor(m_hDC, m_clrText);
        ::SetBkMode(m_hDC, m_nBkMode);
    }
    CTextStateGuard(const CTextStateGuard&) = delete;
    CTextStateGuard& operator=(const CTextStateGuard&) = delete;
};

// A memory copy of an item: drawing goes to m_dc in item coordinates
// (0, 0, w, h); the destructor copies it to the target at the item's place.
class CItemBuffer {
public:
    CItemBuffer(CDC* pTarget, const CRect& rcItem) : m_pTarget(pTarget), m_rcItem(rcItem) {
        m_dc.CreateCompatibleDC(pTarget);
        m_bitmap.CreateCompatibleBitmap(pTarget, rcItem.Width(), rcItem.Height());
        m_hOld = ::SelectObject(m_dc.m_hDC, m_bitmap.m_hObject);
        ::SelectObject(m_dc.m_hDC, ::GetCurrentObject(pTarget->m_hDC, OBJ_FONT));
    }
    ~CItemBuffer() {
        ::BitBlt(m_pTarget->m_hDC, m_rcItem.left, m_rcItem.top, m_rcItem.Width(), m_rcItem.Height(), m_dc.m_hDC, 0, 0,
                 SRCCOPY);
        ::SelectObject(m_dc.m_hDC, ::GetStockObject(SYSTEM_FONT));
        ::SelectObject(m_dc.m_hDC, m_hOld);
    }
    CItemBuffer(const CItemBuffer&) = delete;
    CItemBuffer& operator=(const CItemBuffer&) = delete;
    CDC* DC() { return &m_dc; }
    CRect Local() const { return CRect(0, 0, m_rcItem.Width(), m_rcItem.Height()); }

private:
    CDC* m_pTarget;
    CRect m_rcItem;
    CDC m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_hOld = nullptr;
};

// Frames a rectangle with a pen and no fill.
void FrameWithPen(CDC* pDC, const CRect& rc, COLORREF clr) {
    CPen pen(PS_SOLID, 0, clr);
    CSelectGuard penGuard(pDC->m_hDC, pen.m_hObject);
    CSelectGuard brushGuard(pDC->m_hDC, ::GetStockObject(NULL_BRUSH));
    pDC->Rectangle(&rc);
}

// Draws an item text: the part before the first tab on the left, the part
// after the last tab on the right.
void DrawItemText(CDC* pDC, const CString& strText, CRect rc, UINT nExtra) {
    int nFirstTab = strText.Find('\t');
    if (nFirstTab < 0) {
        pDC->DrawText(strText, &rc, DT_SINGLELINE | DT_VCENTER | nExtra);
        return;
    }
    CString strLeft = strText.Left(nFirstTab);
    CString strRight = strText.Mid(strText.ReverseFind('\t') + 1);
    pDC->DrawText(strLeft, &rc, DT_SINGLELINE | DT_VCENTER | nExtra);
    pDC->DrawText(strRight, &rc, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | nExtra);
}

// The system command shown by a glyph, by the command id masked with 0xFFF0.
char SystemCommandGlyph(UINT nID) {
    switch (nID & 0xFFF0) {
    case SC_CLOSE:
        return 'r';
    case SC_MINIMIZE:
        return '0';
    case SC_MAXIMIZE:
        return '1';
    case SC_RESTORE:
        return '2';
    default:
        return 0;
    }
}

BOOL IsSystemCommand(UINT_PTR nID) {
    UINT n = (UINT)nID & 0xFFF0;
    return n >= 0xF000 && n <= 0xF150;
}

LOGFONT TitleFont() {
    LOGFONT lf;
    CStyledMenu::GetTitleFont(&lf);
    return lf;
}

BOOL IsRadioItem(HMENU hMenu, UINT nID) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE;
    return ::GetMenuItemInfoA(hMenu, nID, FALSE, &mii) && (mii.fType & MFT_RADIOCHECK) != 0;
}

}  // namespace

// --- measuring ---------------------------------------------------------------

void CStyledMenu::MeasureItemStyle2(LPMEASUREITEMSTRUCT lpMIS, BOOL bMenuBar) { MeasureCommon(lpMIS, bMenuBar, 2); }
void CStyledMenu::MeasureItemStyle0(LPMEASUREITEMSTRUCT lpMIS, BOOL bMenuBar) { MeasureCommon(lpMIS, bMenuBar, 0); }
void CStyledMenu::MeasureItemStyle6(LPMEASUREITEMSTRUCT lpMIS, BOOL bMenuBar) { MeasureCommon(lpMIS, bMenuBar, 6); }

void CStyledMenu::MeasureCommon(LPMEASUREITEMSTRUCT lpMIS, BOOL bMenuBar, int nVariant) {
    CStyledMenuItemData* pData = CStyledMenuItemData::FromItemData(lpMIS->itemData);
    if (pData == nullptr)
        return;
    CClientDC dc(nullptr);
    if (pData->IsTitle()) {
        CFont font;
        LOGFONT lf = TitleFont();
        font.CreateFontIndirect(&lf);
        CSelectGuard guard(&dc, &font);
        CSize size = dc.GetTextExtent(pData->m_strText);
        const DWORD dwFlags = pData->m_dwTitleFlags;
        if (dwFlags & titleVertical) {
            int nWidth = size.cy - ::GetSystemMetrics(SM_CXMENUCHECK);
            nWidth += (dwFlags & titleGrip) ? 8 : ((dwFlags & titleRounded) ? 4 : 0);
            lpMIS->itemWidth = (UINT)std::max(nWidth, 0);
            lpMIS->itemHeight = 0;
        } else {
            lpMIS->itemWidth = (UINT)size.cx;
            lpMIS->itemHeight = (UINT)(size.cy + ((dwFlags & titleGrip) ? 8 : 0));
        }
        return;
    }
    if (pData->IsSeparator()) {
        lpMIS->itemWidth = 3;
        lpMIS->itemHeight = 3;
        return;
    }
    // The width of an item's text in the menu font, as this style measures it.
    auto textSize = [&](const CStyledMenuItemData* p, UINT nID) {
        const BOOL bDefault = m_hMenu != nullptr && ::GetMenuDefaultItem(m_hMenu, FALSE, 0) == nID && nID != 0;
        CFont font;
        GetMenuFont(font, bDefault);
        CSelectGuard guard(&dc, &font);
        CString strText = p->m_strText;
        if (nVariant != 0)
            strText.Replace("\t", "nnn");
        return dc.GetTextExtent(strText);
    };
    const int nCyMenu = ::GetSystemMetrics(SM_CYMENU);
    auto itemWidth = [&](const CStyledMenuItemData* p, UINT nID) {
        CSize size = textSize(p, nID);
        if (bMenuBar) {
            int nLess = nVariant == 2 ? 6 : ::GetSystemMetrics(SM_CXMENUCHECK) / 2;
            return std::max(0, (int)size.cx - (p->m_strText.Find('&') >= 0 ? nLess : 0));
        }
        if (nVariant == 2)
            return m_nIconX + (int)size.cx + 6 + nCyMenu / 2;
        return (int)size.cx + 2 * m_nIconX + 2;
    };
    CSize size = textSize(pData, lpMIS->itemID);
    int nWidth = itemWidth(pData, lpMIS->itemID);
    const int nThreshold = m_nIconY + (nVariant == 2 ? 8 : (nVariant == 0 ? 4 : 6));
    int nHeight = nCyMenu <= nThreshold ? (nVariant == 2 ? m_nIconY + 7 : nThreshold) : nCyMenu;
    nHeight = std::max<int>(nHeight, size.cy);
    if (IsSystemCommand(lpMIS->itemID)) {
        // As wide as the next command item, so the system menu's items line up.
        int nPos = FindRecordPosition(pData);
        for (size_t i = nPos < 0 ? m_items.size() : (size_t)nPos + 1; i < m_items.size(); ++i) {
            if (m_items[i]->m_nID != 0) {
                nWidth = std::max(nWidth, itemWidth(m_items[i], (UINT)m_items[i]->m_nID));
                break;
            }
        }
        nHeight = nCyMenu;
    }
    lpMIS->itemWidth = (UINT)nWidth;
    lpMIS->itemHeight = (UINT)nHeight;
}

// --- flat drawing ------------------------------------------------------------

void CStyledMenu::DrawItemStyle2(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar) { DrawFlat(lpDIS, bMenuBar, FALSE); }
void CStyledMenu::DrawItemStyle8(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar) { DrawFlat(lpDIS, bMenuBar, TRUE); }

void CStyledMenu::DrawFlat(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar, BOOL bGradient) {
    CStyledMenuItemData* pData = CStyledMenuItemData::FromItemData(lpDIS->itemData);
    CDC* pTarget = CDC::FromHandle(lpDIS->hDC);
    const CRect rcItem(lpDIS->rcItem);
    if (pData == nullptr || pTarget == nullptr || rcItem.Width() <= 0 || rcItem.Height() <= 0)
        return;
    const BOOL bHC = g_menuLib.bHighContrast;
    const BOOL bManyColours = GetColourCount() > 256;
    const COLORREF clrWindow = Sys(COLOR_WINDOW);
    const COLORREF clrMenu = GetMenuBkColor(m_hMenu);
    COLORREF clrBack = MixColour86(clrWindow, clrMenu);
    COLORREF clrColumn = MixColour86(clrMenu, clrWindow);
    COLORREF clrSelect = GetSelectionColour();
    const COLORREF clrPen = Sys(bHC ? COLOR_BTNTEXT : COLOR_HIGHLIGHT);
    COLORREF clrWindow8 = clrWindow;
    if (bGradient) {
        clrWindow8 = DarkenColour(10, clrWindow);
        clrBack = MixColour86(clrWindow8, bMenuBar ? GetMenuBkColorThemed(nullptr) : GetMenuBkColor(nullptr));
        clrColumn = GetMenuBarColor2003();
        clrSelect = 0xC2EEFF;
    } else if (!bManyColours) {
        clrColumn = Sys(COLOR_3DFACE);
        if (pTarget->GetNearestColor(clrBack) == pTarget->GetNearestColor(clrColumn)) {
            clrBack = clrWindow;
            clrColumn = clrMenu;
        }
    }
    UINT nState = lpDIS->itemState;
    const BOOL bDisabled = (nState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const BOOL bChecked = (nState & ODS_CHECKED) != 0;

    if (bMenuBar) {
        CTextStateGuard textGuard(pTarget->m_hDC);
        const BOOL bOpen = (nState & ODS_SELECTED) && m_nOpenCount > 0;
        if ((nState & ODS_SELECTED) && m_nOpenCount == 0)
            nState |= ODS_HOTLIGHT;
        const BOOL bHot = (nState & ODS_HOTLIGHT) != 0;
        CRect rcBox(rcItem.left, rcItem.top, rcItem.right - 4, rcItem.bottom);
        if (bGradient) {
            if (bHot || bOpen) {
                if (bManyColours)
                    DrawGradient(pTarget, rcBox, clrBack, clrColumn, FALSE, FALSE);
                else
                    pTarget->FillSolidRect(&rcBox, clrBack);
            } else {
                MENUINFO info{};
                info.cbSize = sizeof(info);
                info.fMask = MIM_BACKGROUND;
                if (GetMenuInfoLate(m_hMenu, &info) && info.hbrBack != nullptr) {
                    POINT ptOld;
                    ::SetBrushOrgEx(pTarget->m_hDC, 0, 0, &ptOld);
                    ::FillRect(pTarget->m_hDC, &rcItem, info.hbrBack);
                    ::SetBrushOrgEx(pTarget->m_hDC, ptOld.x, ptOld.y, nullptr);
                } else {
                    pTarget->FillSolidRect(&rcItem, clrBack);
                }
            }
        } else {
            pTarget->FillSolidRect(&rcItem, clrMenu);
        }
        // The system draws the item selected before it opens the popup (the count is
        // still 0 then): its place is needed for the redraw in the open look and the joint.
        if (nState & ODS_SELECTED)
            RememberMenuBarItemRect(pTarget->m_hDC, rcItem);
        if (bHot || bOpen) {
            COLORREF clrFrame = clrPen;
            if (bOpen) {
                clrFrame = bHC ? Sys(COLOR_BTNTEXT) : DarkenColour(128, GetMenuBkColorThemed(nullptr));
            }
            if (bGradient && bManyColours)
                DrawGradient(pTarget, rcBox, clrWindow8, clrSelect, FALSE, FALSE);
            else if (bGradient)
                pTarget->FillSolidRect(&rcBox, clrWindow8);
            else
                pTarget->FillSolidRect(&rcBox, bHot ? clrSelect : clrColumn);
            FrameWithPen(pTarget, rcBox, clrFrame);
            if (bOpen) {
                // A soft shadow along the right edge of the open item.
                for (int i = 1; i <= 4; ++i) {
                    const int x = rcItem.right - i;
                    for (int y = 0; y < rcItem.Height(); ++y) {
                        COLORREF clr;
                        if (!bManyColours) {
                            if (i < 3 || y < 4)
                                continue;
                            clr = Sys(COLOR_BTNSHADOW);
                        } else if (y <= 3) {
                            clr = clrMenu;
                        } else if (y <= 7) {
                            clr = DarkenColour(i * 6 * (y - 3), clrMenu);
                        } else {
                            clr = DarkenColour(i * 30, clrMenu);
                        }
                        pTarget->SetPixelV(x, rcItem.top + y, clr);
                    }
                }
            }
        }
        CFont font;
        GetMenuFont(font, (nState & ODS_DEFAULT) != 0);
        CSelectGuard fontGuard(pTarget, &font);
        pTarget->SetBkMode(TRANSPARENT);
        pTarget->SetTextColor(Sys(bDisabled || (nState & ODS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
        CRect rcText = rcBox;
        pTarget->DrawText(pData->m_strText, &rcText, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
        return;
    }

    CRect rcColumn(rcItem.left, rcItem.top, rcItem.left + m_nIconX + 8, rcItem.bottom);
    auto paintBackground = [&](CDC* pDC, const CRect& rc, const CRect& rcCol) {
        pDC->FillSolidRect(&rc, clrBack);
        if (bGradient)
            DrawGradient(pDC, rcCol, clrBack, clrColumn, TRUE, FALSE);
        else
            pDC->FillSolidRect(&rcCol, clrColumn);
    };

    if (pData->IsSeparator()) {
        if (pData->IsTitle()) {
            DrawMenuTitle(lpDIS, bMenuBar);
            return;
        }
        paintBackground(pTarget, rcItem, rcColumn);
        const int y = rcItem.top + rcItem.Height() / 2;
        pTarget->FillSolidRect(CRect(rcColumn.right + 4, y, rcItem.right, y + 1), Sys(COLOR_GRAYTEXT));
        return;
    }

    BOOL bSelected = (nState & (ODS_SELECTED | ODS_HOTLIGHT | ODS_INACTIVE)) != 0;
    BOOL bKeyboardFrame = FALSE;
    if (bSelected && bDisabled && GetSelectDisableMode() == 0) {
        bSelected = FALSE;
        const DWORD dwPos = ::GetMessagePos();
        if (dwPos == GetLastKeyDownPos())
            bKeyboardFrame = TRUE;  // the selection came from the keyboard
        else
            SetLastKeyDownPos(dwPos);
    }

    CItemBuffer buffer(pTarget, rcItem);
    CDC* pDC = buffer.DC();
    const CRect rc = buffer.Local();
    const CRect rcCol(0, 0, m_nIconX + 8, rc.bottom);
    paintBackground(pDC, rc, rcCol);
    if (bSelected) {
        pDC->FillSolidRect(&rc, clrSelect);
        FrameWithPen(pDC, rc, clrPen);
    } else if (bKeyboardFrame) {
        pDC->FillSolidRect(&rc, clrBack);
        FrameWithPen(pDC, rc, clrPen);
    }

    const CRect rcBox(rcCol.left + 1, rcCol.top + 1, rcCol.right - 2, rcCol.bottom - 1);
    auto drawCheckBox = [&]() {
        COLORREF clrBox;
        if (bGradient)
            clrBox = bSelected ? 0x3E80FE : 0x6FC0FF;
        else if (!bSelected)
            clrBox = MixColour86(clrColumn, Sys(COLOR_HIGHLIGHT));
        else
            clrBox = bManyColours ? MixColour86(clrSelect, Sys(COLOR_HIGHLIGHT)) : clrSelect;
        pDC->FillSolidRect(&rcBox, clrBox);
        FrameWithPen(pDC, rcBox, clrPen);
    };

    CStyledMenuIcons* pIcons = pData->m_pIcons;
    if (pIcons != nullptr && pData->m_nIconIndex >= 0 && pIcons->m_imageList.m_hImageList != nullptr) {
        const CSize sizeIcon = pIcons->GetIconSize();
        const CPoint pt(rcCol.left + 3, (rc.Height() - sizeIcon.cy) / 2);
        HIMAGELIST hList = pIcons->m_imageList.m_hImageList;
        const int nIndex = pData->m_nIconIndex;
        const BOOL bVariants = GetDisabledIconStyle() != 0;
        if (bChecked)
            drawCheckBox();
        if (bDisabled) {
            if (bVariants) {
                ImageList_Draw(hList, nIndex + 2, pDC->m_hDC, pt.x, pt.y, ILD_TRANSPARENT);
            } else {
                CIconHolder icon(ImageList_GetIcon(hList, nIndex, ILD_NORMAL));
                CBrush brush(DarkenColour(70, clrColumn));
                pDC->DrawState(pt, sizeIcon, icon.m_hIcon, DSS_MONO, (HBRUSH)brush.m_hObject);
            }
        } else if (bSelected && !bChecked) {
            CIconHolder icon(ImageList_GetIcon(hList, nIndex, ILD_NORMAL));
            CBrush brush(ShadowColour(clrSelect));
            pDC->DrawState(CPoint(pt.x + 1, pt.y + 1), sizeIcon, icon.m_hIcon, DSS_MONO, (HBRUSH)brush.m_hObject);
            ImageList_Draw(hList, nIndex, pDC->m_hDC, pt.x - 1, pt.y - 1, ILD_TRANSPARENT);
        } else {
            ImageList_Draw(hList, bVariants ? nIndex + 1 : nIndex, pDC->m_hDC, pt.x, pt.y, ILD_TRANSPARENT);
        }
    } else if (bChecked && m_pCheckMarks != nullptr && m_pCheckMarks->m_hImageList != nullptr) {
        ImageList_Draw(m_pCheckMarks->m_hImageList, bSelected ? 1 : 0, pDC->m_hDC, rcCol.left + 3, 4, ILD_TRANSPARENT);
    } else if (bChecked) {
        drawCheckBox();
        CTextStateGuard textGuard(pDC->m_hDC);
        pDC->SetTextColor(Sys(bDisabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
        DrawMarlettGlyph(pDC, rcBox, IsRadioItem(m_hMenu, lpDIS->itemID) ? 'i' : 'b', nState);
    } else if (IsSystemCommand(lpDIS->itemID)) {
        DrawSystemCommandGlyph(pDC, rcBox, lpDIS->itemID, nState);
    }

    CFont font;
    GetMenuFont(font, (nState & ODS_DEFAULT) != 0);
    CSelectGuard fontGuard(pDC, &font);
    pDC->SetBkMode(TRANSPARENT);
    int nText = COLOR_WINDOWTEXT;
    if (bDisabled)
        nText = COLOR_GRAYTEXT;
    else if (!bHC || bSelected)
        nText = COLOR_MENUTEXT;
    pDC->SetTextColor(Sys(nText));
    CRect rcText(rcCol.right + 4, rc.top, rc.right - 15, rc.bottom);
    DrawItemText(pDC, pData->m_strText, rcText, 0);
}

// --- classic and gradient drawing --------------------------------------------

void CStyledMenu::DrawItemStyle0(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar) { DrawClassic(lpDIS, bMenuBar, 0); }
void CStyledMenu::DrawItemStyle4(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar) { DrawClassic(lpDIS, bMenuBar, 4); }
void CStyledMenu::DrawItemStyle6(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar) { DrawClassic(lpDIS, bMenuBar, 6); }

void CStyledMenu::DrawClassic(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar, int nVariant) {
    CStyledMenuItemData* pData = CStyledMenuItemData::FromItemData(lpDIS->itemData);
    CDC* pTarget = CDC::FromHandle(lpDIS->hDC);
    const CRect rcItem(lpDIS->rcItem);
    if (pData == nullptr || pTarget == nullptr || rcItem.Width() <= 0 || rcItem.Height() <= 0)
        return;
    const BOOL bHC = g_menuLib.bHighContrast;
    const UINT nState = lpDIS->itemState;
    const BOOL bDisabled = (nState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const BOOL bChecked = (nState & ODS_CHECKED) != 0;
    BOOL bSelected = (nState & ODS_SELECTED) != 0;
    const BOOL bHot = (nState & ODS_HOTLIGHT) != 0;
    const COLORREF clrMenu6 = GetMenuBkColor(nullptr);
    COLORREF clrBack = bMenuBar ? GetMenuBkColorThemed(m_hMenu) : Sys(COLOR_MENU);
    if (nVariant == 6 && !bMenuBar)
        clrBack = clrMenu6;
    // The selection of the gradient look: a gradient of the menu colour in a 3D frame.
    auto fillSelection = [&](CDC* pDC, const CRect& rc) {
        if (nVariant == 6 && !bHC) {
            DrawGradient(pDC, rc, DarkenColour(30, clrMenu6), LightenColour(30, clrMenu6), FALSE, FALSE);
            pDC->Draw3dRect(&rc, Sys(COLOR_3DHILIGHT), Sys(COLOR_BTNSHADOW));
        } else if (nVariant == 6) {
            pDC->FillSolidRect(&rc, Sys(COLOR_HIGHLIGHT));
            pDC->Draw3dRect(&rc, Sys(COLOR_BTNTEXT), Sys(COLOR_BTNTEXT));
        } else {
            pDC->FillSolidRect(&rc, Sys(COLOR_HIGHLIGHT));
        }
    };
    const COLORREF clrSelText = nVariant == 6 && !bHC ? Sys(COLOR_MENUTEXT) : Sys(COLOR_HIGHLIGHTTEXT);

    if (bMenuBar) {
        CTextStateGuard textGuard(pTarget->m_hDC);
        COLORREF clrText = Sys(bDisabled || (nState & ODS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_MENUTEXT);
        if (nVariant == 4) {
            const BOOL bLit = bSelected || bHot;
            pTarget->FillSolidRect(&rcItem, bLit ? Sys(COLOR_HIGHLIGHT) : GetMenuBkColorThemed(nullptr));
            if (bLit)
                clrText = Sys(COLOR_HIGHLIGHTTEXT);
            else if (bDisabled)
                clrText = Sys(COLOR_GRAYTEXT);
        } else {
            MENUINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = MIM_BACKGROUND;
            if (nVariant == 6 && !bSelected && !bHot && GetMenuInfoLate(m_hMenu, &info) && info.hbrBack != nullptr)
                ::FillRect(pTarget->m_hDC, &rcItem, info.hbrBack);
            else
                pTarget->FillSolidRect(&rcItem, clrBack);
            if (nVariant == 6 && (bSelected || bHot)) {
                fillSelection(pTarget, rcItem);
            } else if (bHot && !bSelected) {
                pTarget->Draw3dRect(&rcItem, Sys(COLOR_3DHILIGHT), Sys(COLOR_BTNSHADOW));
            } else if (bSelected) {
                pTarget->Draw3dRect(&rcItem, Sys(COLOR_BTNSHADOW), Sys(COLOR_3DHILIGHT));
            }
        }
        if (bSelected || bHot)
            RememberMenuBarItemRect(pTarget->m_hDC, rcItem);
        CFont font;
        GetMenuFont(font, (nState & ODS_DEFAULT) != 0);
        CSelectGuard fontGuard(pTarget, &font);
        pTarget->SetBkMode(TRANSPARENT);
        pTarget->SetTextColor(clrText);
        CRect rcText = rcItem;
        pTarget->DrawText(pData->m_strText, &rcText, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
        return;
    }

    if (pData->IsSeparator()) {
        if (pData->IsTitle()) {
            DrawMenuTitle(lpDIS, bMenuBar);
            return;
        }
        pTarget->FillSolidRect(&rcItem, clrBack);
        CRect rcEdge(rcItem.left + 1, rcItem.top, rcItem.right, rcItem.bottom);
        pTarget->DrawEdge(&rcEdge, EDGE_ETCHED, BF_TOP);
        return;
    }

    BOOL bKeyboardFrame = FALSE;
    if (bSelected && bDisabled && GetSelectDisableMode() == 0) {
        bSelected = FALSE;
        const DWORD dwPos = ::GetMessagePos();
        if (dwPos == GetLastKeyDownPos())
            bKeyboardFrame = TRUE;
        else
            SetLastKeyDownPos(dwPos);
    }

    CItemBuffer buffer(pTarget, rcItem);
    CDC* pDC = buffer.DC();
    const CRect rc = buffer.Local();
    CStyledMenuIcons* pIcons = pData->m_pIcons;
    const BOOL bIcon = pIcons != nullptr && pData->m_nIconIndex >= 0 && pIcons->m_imageList.m_hImageList != nullptr;
    pDC->FillSolidRect(&rc, clrBack);
    if (bSelected) {
        CRect rcSel = rc;
        if (bIcon || bChecked)
            rcSel.left += m_nIconX + 6;
        fillSelection(pDC, rcSel);
    } else if (bKeyboardFrame) {
        pDC->DrawFocusRect(&rc);
    }

    const CRect rcIcon(2, (rc.Height() - m_nIconY) / 2, 2 + m_nIconX, (rc.Height() - m_nIconY) / 2 + m_nIconY);
    CRect rcFrame = rcIcon;
    rcFrame.InflateRect(1, 1);
    if (bIcon) {
        const CSize sizeIcon = pIcons->GetIconSize();
        const CPoint pt(rcIcon.left, (rc.Height() - sizeIcon.cy) / 2);
        if (bChecked)
            pDC->Draw3dRect(&rcFrame, Sys(COLOR_BTNSHADOW), Sys(COLOR_3DHILIGHT));
        else if (bSelected)
            pDC->Draw3dRect(&rcFrame, Sys(COLOR_3DHILIGHT), Sys(COLOR_BTNSHADOW));
        if (bDisabled) {
            CIconHolder icon(ImageList_GetIcon(pIcons->m_imageList.m_hImageList, pData->m_nIconIndex, ILD_NORMAL));
            pDC->DrawState(pt, sizeIcon, icon.m_hIcon, DSS_DISABLED, nullptr);
        } else {
            ImageList_Draw(pIcons->m_imageList.m_hImageList, pData->m_nIconIndex, pDC->m_hDC, pt.x, pt.y,
                           ILD_TRANSPARENT);
        }
    } else if (bChecked || IsSystemCommand(lpDIS->itemID) == FALSE) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_CHECKMARKS;
        ::GetMenuItemInfoA(m_hMenu, lpDIS->itemID, FALSE, &mii);
        CTextStateGuard textGuard(pDC->m_hDC);
        pDC->SetTextColor(bSelected ? clrSelText : Sys(bDisabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
        DrawCheckBox3D(pDC, rcFrame, bSelected, mii.hbmpChecked, mii.hbmpUnchecked, nState);
    } else {
        DrawSystemCommandGlyphClassic(pDC, rcFrame, lpDIS->itemID, nState);
    }

    CFont font;
    GetMenuFont(font, (nState & ODS_DEFAULT) != 0);
    CSelectGuard fontGuard(pDC, &font);
    pDC->SetBkMode(TRANSPARENT);
    CRect rcText(m_nIconX + 8, rc.top, rc.right - 4, rc.bottom);
    if (bDisabled) {
        if (bSelected) {
            pDC->SetTextColor(Sys(COLOR_HIGHLIGHT) == clrBack ? Sys(COLOR_GRAYTEXT) : clrBack);
            DrawItemText(pDC, pData->m_strText, rcText, 0);
        } else {
            CRect rcEmboss = rcText;
            rcEmboss.OffsetRect(1, 1);
            pDC->SetTextColor(Sys(COLOR_3DHILIGHT));
            DrawItemText(pDC, pData->m_strText, rcEmboss, 0);
            pDC->SetTextColor(Sys(COLOR_GRAYTEXT));
            DrawItemText(pDC, pData->m_strText, rcText, 0);
        }
    } else {
        pDC->SetTextColor(bSelected ? clrSelText : Sys(COLOR_MENUTEXT));
        DrawItemText(pDC, pData->m_strText, rcText, 0);
    }
}

// --- the title ---------------------------------------------------------------

void CStyledMenu::DrawTitle(LPDRAWITEMSTRUCT lpDIS, BOOL) {
    CStyledMenuItemData* pData = CStyledMenuItemData::FromItemData(lpDIS->itemData);
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    if (pData == nullptr || pDC == nullptr)
        return;
    const DWORD dwFlags = pData->m_dwTitleFlags;
    const BOOL bVertical = (dwFlags & titleVertical) != 0;
    LOGFONT lf = TitleFont();
    CSize sizeText;
    {
        CFont fontFlat;
        fontFlat.CreateFontIndirect(&lf);
        CSelectGuard guard(pDC, &fontFlat);
        sizeText = pDC->GetTextExtent(pData->m_strText);
    }
    if (bVertical)
        lf.lfEscapement = lf.lfOrientation = 900;
    CFont font;
    font.CreateFontIndirect(&lf);
    CSelectGuard fontGuard(pDC, &font);
    CTextStateGuard textGuard(pDC->m_hDC);

    CRect r(lpDIS->rcItem);
    CPoint ptText;
    if (bVertical) {
        CRect rcClip;
        pDC->GetClipBox(&rcClip);
        r.top = rcClip.top;
        r.bottom = rcClip.bottom;
        r.right += ::GetSystemMetrics(SM_CXMENUCHECK);
        ptText = CPoint(r.left + 2, r.bottom - 4);
    } else {
        ptText = CPoint(r.left + 2, r.top);
    }
    const COLORREF clrCaption = Sys(COLOR_ACTIVECAPTION);
    if (dwFlags & titleGradient) {
        COLORREF clrMixed = MixColour86(Sys(COLOR_WINDOW), GetMenuBkColor(nullptr));
        if (bVertical)
            DrawGradient(pDC, r, clrMixed, clrCaption, FALSE, TRUE);
        else
            DrawGradient(pDC, r, clrCaption, clrMixed, TRUE, TRUE);
    } else if (dwFlags & titleRounded) {
        if (bVertical) {
            r.right = r.left + 4 + sizeText.cy;
            ptText.y -= 2;
        } else {
            ptText.x += std::min(10, (int)(r.Width() - sizeText.cx) / 2);
        }
        CBrush brush(clrCaption);
        CSelectGuard brushGuard(pDC, &brush);
        CSelectGuard penGuard(pDC->m_hDC, ::GetStockObject(WHITE_PEN));
        pDC->RoundRect(r.left, r.top, r.right, r.bottom, 10, 10);
    } else {
        pDC->FillSolidRect(&r, clrCaption);
    }
    if (dwFlags & titleSunken)
        pDC->Draw3dRect(&r, Sys(COLOR_BTNSHADOW), Sys(COLOR_3DHILIGHT));
    if (dwFlags & titleCentred) {
        if (bVertical)
            ptText.y = r.bottom - (r.Height() - sizeText.cx) / 2;
        else
            ptText.x = r.left + (r.Width() - sizeText.cx) / 2;
    }
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(Sys(COLOR_CAPTIONTEXT));
    pDC->TextOut(ptText.x, ptText.y, pData->m_strText);
    if (dwFlags & titleGrip) {
        if (bVertical) {
            pDC->Draw3dRect(CRect(r.left + 20, r.top + 5, r.left + 22, r.bottom - 5), Sys(COLOR_BTNSHADOW),
                            Sys(COLOR_3DHILIGHT));
            pDC->Draw3dRect(CRect(r.left + 23, r.top + 15, r.left + 25, r.bottom - 15), Sys(COLOR_BTNSHADOW),
                            Sys(COLOR_3DHILIGHT));
        } else {
            pDC->Draw3dRect(CRect(r.left + 2, r.bottom - 7, r.right - 2, r.bottom - 5), Sys(COLOR_3DHILIGHT),
                            Sys(COLOR_BTNSHADOW));
            pDC->Draw3dRect(CRect(r.left + 12, r.bottom - 4, r.right - 12, r.bottom - 2), Sys(COLOR_BTNSHADOW),
                            Sys(COLOR_3DHILIGHT));
        }
    }
}

// --- small drawing routines --------------------------------------------------

void CStyledMenu::DrawMarlettGlyph(CDC* pDC, const RECT& rc, char ch, UINT nState) {
    CRect r(rc);
    r.DeflateRect(2, 2);
    if (r.Height() <= 0 || r.Width() <= 0)
        return;
    CFont font;
    font.CreateFont(r.Height(), 0, 0, 0, (nState & ODS_DEFAULT) ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                    0, 0, "Marlett");
    CSelectGuard guard(pDC, &font);
    int nOldMode = pDC->SetBkMode(TRANSPARENT);
    char sz[2] = {ch, 0};
    pDC->DrawText(sz, 1, &r, DT_CENTER | DT_SINGLELINE);
    pDC->SetBkMode(nOldMode);
}

BOOL CStyledMenu::DrawSystemCommandGlyph(CDC* pDC, const RECT& rc, UINT nID, UINT nState) {
    char ch = SystemCommandGlyph(nID);
    if (ch == 0)
        return FALSE;
    CTextStateGuard guard(pDC->m_hDC);
    pDC->SetTextColor(Sys((nState & (ODS_GRAYED | ODS_DISABLED)) ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    DrawMarlettGlyph(pDC, rc, ch, nState);
    return TRUE;
}

BOOL CStyledMenu::DrawSystemCommandGlyphClassic(CDC* pDC, const RECT& rc, UINT nID, UINT nState) {
    char ch = SystemCommandGlyph(nID);
    if (ch == 0)
        return FALSE;
    CTextStateGuard guard(pDC->m_hDC);
    int nColour = COLOR_MENUTEXT;
    if (nState & ODS_SELECTED)
        nColour = COLOR_HIGHLIGHTTEXT;
    else if (nState & (ODS_GRAYED | ODS_DISABLED))
        nColour = COLOR_GRAYTEXT;
    pDC->SetTextColor(Sys(nColour));
    DrawMarlettGlyph(pDC, rc, ch, nState);
    return TRUE;
}

BOOL CStyledMenu::DrawCheckBox3D(CDC* pDC, const RECT& rcBox, BOOL, HBITMAP hbmChecked, HBITMAP hbmUnchecked,
                                 UINT nState) {
    const BOOL bChecked = (nState & ODS_CHECKED) != 0;
    if (!bChecked && hbmUnchecked == nullptr)
        return FALSE;
    CRect rc(rcBox);
    rc.DeflateRect(1, 1);
    if (g_menuLib.nWinVersion >= 2)
        pDC->DrawEdge(&rc, EDGE_SUNKEN, BF_RECT);
    rc.InflateRect(2, 2);
    auto drawBitmap = [&](HBITMAP hbm, UINT nFlags) {
        BITMAP bm{};
        if (!::GetObjectA(hbm, sizeof(bm), &bm))
            return;
        CPoint pt(rc.left + (rc.Width() - bm.bmWidth) / 2, rc.top + (rc.Height() - bm.bmHeight) / 2);
        pDC->DrawState(pt, CSize(bm.bmWidth, bm.bmHeight), hbm, nFlags, nullptr);
    };
    if (!bChecked) {
        drawBitmap(hbmUnchecked, DSS_MONO | ((nState & (ODS_GRAYED | ODS_DISABLED)) ? DSS_DISABLED : 0));
    } else if (hbmChecked == nullptr) {
        CRect rcGlyph = rc;
        rcGlyph.OffsetRect(1, 2);
        DrawMarlettGlyph(pDC, rcGlyph, 'b', nState);
    } else if (hbmUnchecked != nullptr) {
        drawBitmap(hbmChecked, DSS_MONO);
    } else {
        DrawMarlettGlyph(pDC, rc, 'i', nState);
    }
    return TRUE;
}

BOOL CStyledMenu::DrawColourSwatch(CDC* pDC, CBitmap& bitmap, int cx, int cy, COLORREF clrFill, COLORREF clrBorder,
                                   int nHatchStyle) {
    if (cx <= 0 || cy <= 0 || !bitmap.CreateCompatibleBitmap(pDC, cx, cy))
        return FALSE;
    CDC dcMem;
    if (!dcMem.CreateCompatibleDC(pDC))
        return FALSE;
    CSelectGuard bitmapGuard(&dcMem, &bitmap);
    CPen pen(PS_SOLID, 1, clrBorder);
    CBrush brush;
    if (nHatchStyle >= 0)
        brush.CreateHatchBrush(nHatchStyle, clrFill);
    else
        brush.CreateSolidBrush(clrFill);
    CSelectGuard penGuard(&dcMem, &pen);
    CSelectGuard brushGuard(&dcMem, &brush);
    dcMem.Rectangle(0, 0, cx, cy);
    return TRUE;
}

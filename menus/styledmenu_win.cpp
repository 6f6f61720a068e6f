// CStyledMenu: construction and destruction, appending, loading, conversion
// of ordinary menus, the title, the owner-draw entry points, the menu-wide
// options and the lookups of shared icon sets.
#include "menus/styledmenu.h"

#include <algorithm>

#include "menus/menustyles.h"
#include "menus/menuutil.h"

IMPLEMENT_DYNAMIC(CStyledMenu, CMenu)

namespace {
int g_nDisabledIconStyle = 1;
int g_nSelectDisableMode = 1;
int g_nFrameAllPopups = 1;

LOGFONT MakeDefaultTitleFont() {
    LOGFONT lf{};
    lf.lfHeight = 16;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    return lf;
}
LOGFONT g_titleFont = MakeDefaultTitleFont();

// Type bits a record keeps; check and enable state stay with the Windows item.
const UINT kTypeBits = MF_SEPARATOR | MF_POPUP | MF_MENUBREAK | MF_MENUBARBREAK | MF_RIGHTJUSTIFY | MFT_RADIOCHECK;
const UINT kStateBits = MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_HILITE | MF_DEFAULT;

// The bitmap a system-drawn bitmap item shows, or null.
HBITMAP ItemBitmap(HMENU hMenu, int nPos) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_TYPE;
    if (!::GetMenuItemInfoA(hMenu, (UINT)nPos, TRUE, &mii) ||
        (mii.fType & (MFT_BITMAP | MFT_OWNERDRAW)) != MFT_BITMAP)
        return nullptr;
    return (HBITMAP)mii.dwTypeData;
}
}  // namespace

CStyledMenu::CStyledMenu(HMENU hParentMenu) : m_hParentMenu(hParentMenu) {}

CStyledMenu::~CStyledMenu() { DestroyMenu(); }

CStyledMenu* CStyledMenu::FromHandleStyled(HMENU hMenu) {
    CMenu* pMenu = CMenu::FromHandlePermanent(hMenu);
    return DYNAMIC_DOWNCAST(CStyledMenu, pMenu);
}

CStyledMenuItemData* CStyledMenu::RecordAt(int nPos) const {
    return nPos >= 0 && nPos < (int)m_items.size() ? m_items[(size_t)nPos] : nullptr;
}

CStyledMenuItemData* CStyledMenu::GetItemRecord(int nPos) const { return RecordAt(nPos); }

int CStyledMenu::FindRecordPosition(const CStyledMenuItemData* pData) const {
    auto it = std::find(m_items.begin(), m_items.end(), pData);
    return it == m_items.end() ? -1 : (int)(it - m_items.begin());
}

BOOL CStyledMenu::DestroyMenu() {
    // A sub-menu that goes before its parent takes its item out of the parent,
    // which then never points at a menu that is gone.
    if (m_hMenu != nullptr && m_hParentMenu != nullptr && ::IsMenu(m_hParentMenu)) {
        for (int i = ::GetMenuItemCount(m_hParentMenu); i-- > 0;) {
            if (::GetSubMenu(m_hParentMenu, i) != m_hMenu)
                continue;
            if (CStyledMenu* pParent = FromHandleStyled(m_hParentMenu))
                pParent->RemoveMenu((UINT)i, MF_BYPOSITION);
            else
                ::RemoveMenu(m_hParentMenu, (UINT)i, MF_BYPOSITION);
        }
    }
    // Popup items come out of the Windows menu first, so that destroying it
    // frees no sub-menu: ours are deleted below, once; a sub-menu the caller
    // appended and still holds stays the caller's.
    if (m_hMenu != nullptr) {
        for (int i = ::GetMenuItemCount(m_hMenu); i-- > 0;) {
            HMENU hSub = ::GetSubMenu(m_hMenu, i);
            if (hSub == nullptr)
                continue;
            ::RemoveMenu(m_hMenu, (UINT)i, MF_BYPOSITION);
            if (CStyledMenu* pSub = FromHandleStyled(hSub))
                if (pSub->m_hParentMenu == m_hMenu)
                    pSub->m_hParentMenu = nullptr;
        }
    }
    std::vector<HMENU> subMenus;
    subMenus.swap(m_subMenus);
    for (auto it = subMenus.rbegin(); it != subMenus.rend(); ++it)
        delete FromHandleStyled(*it);
    std::vector<CStyledMenuItemData*> items;
    items.swap(m_items);
    for (CStyledMenuItemData* pData : items)
        delete pData;
    if (!m_bCheckMarksShared)
        delete m_pCheckMarks;
    m_pCheckMarks = nullptr;
    m_bCheckMarksShared = FALSE;
    return CMenu::DestroyMenu();
}

// --- building ----------------------------------------------------------------

UINT CStyledMenu::NormaliseFlags(UINT nFlags, UINT_PTR nID) {
    if (nID == 0)
        return MF_SEPARATOR | MF_OWNERDRAW | (nFlags & MF_BYPOSITION);
    return nFlags | MF_OWNERDRAW;
}

void CStyledMenu::AdoptSubMenu(UINT nFlags, UINT_PTR nID) {
    if (!(nFlags & MF_POPUP))
        return;
    if (CStyledMenu* pSub = FromHandleStyled((HMENU)nID))
        pSub->m_hParentMenu = m_hMenu;
}

void CStyledMenu::GrowIconSize(CStyledMenuIcons* pIcons) {
    if (pIcons == nullptr)
        return;
    CSize size = pIcons->GetIconSize();
    m_nIconX = std::max<int>(m_nIconX, size.cx);
    m_nIconY = std::max<int>(m_nIconY, size.cy);
}

BOOL CStyledMenu::MakeOwnerDrawn(int nPos, CStyledMenuItemData* pData) {
    UINT nState = ::GetMenuState(m_hMenu, (UINT)nPos, MF_BYPOSITION);
    if (nState == 0xFFFFFFFF)
        return FALSE;
    HMENU hSub = ::GetSubMenu(m_hMenu, nPos);
    if (hSub != nullptr)
        nState &= 0xFF;  // the high byte of a popup's state is its item count
    UINT nFlags = (pData->m_nFlags & kTypeBits) | (nState & kStateBits) | MF_BYPOSITION | MF_OWNERDRAW;
    UINT_PTR nID = hSub != nullptr ? (UINT_PTR)hSub : pData->m_nID;
    if (hSub != nullptr)
        nFlags |= MF_POPUP;
    // A bitmap item keeps showing its bitmap: only its id, type bits and state follow the record.
    if (pData->IsBitmapItem())
        if (HBITMAP hbm = ItemBitmap(m_hMenu, nPos))
            return ::ModifyMenuA(m_hMenu, (UINT)nPos, (nFlags & ~MF_OWNERDRAW) | MF_BITMAP, nID, (LPCSTR)hbm);
    if (!::ModifyMenuA(m_hMenu, (UINT)nPos, nFlags, nID, (LPCSTR)pData))
        return FALSE;
    // Some systems drop the data of an owner-drawn separator: set it once more.
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_DATA;
    mii.dwItemData = (ULONG_PTR)pData;
    return ::SetMenuItemInfoA(m_hMenu, (UINT)nPos, TRUE, &mii);
}

BOOL CStyledMenu::AppendItem(LPCSTR lpszText, UINT nFlags, UINT_PTR nID, int nIconIndex) {
    return AppendItemFromImageList(lpszText, nFlags, nID, nullptr, nIconIndex);
}

BOOL CStyledMenu::AppendItemFromImageList(LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CImageList* pImageList,
                                          int nIndex) {
    int nIconIndex = -1;
    CStyledMenuIcons* pIcons = FindOrAddSharedIcon(nIconIndex, nID, pImageList, nIndex);
    return AppendItemWithIcons(lpszText, nFlags, nID, pIcons, nIconIndex);
}

BOOL CStyledMenu::AppendItemWithBitmap(LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CBitmap* pBitmap) {
    int nIconIndex = -1;
    CStyledMenuIcons* pIcons = FindOrAddSharedBitmapObject(nIconIndex, pBitmap);
    return AppendItemWithIcons(lpszText, nFlags, nID, pIcons, nIconIndex);
}

BOOL CStyledMenu::AppendItemWithIcons(LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CStyledMenuIcons* pIcons,
                                      int nIndex) {
    if (m_hMenu == nullptr)
        return FALSE;
    nFlags = NormaliseFlags(nFlags, nID);
    AdoptSubMenu(nFlags, nID);
    auto* pData = new CStyledMenuItemData;
    m_items.push_back(pData);
    pData->m_strText = lpszText != nullptr ? lpszText : "";
    pData->m_nID = nID;
    pData->m_nFlags = nFlags;
    pData->SetIcons(pIcons);
    if (pIcons != nullptr && nIndex >= 0) {
        pData->m_nIconIndex = nIndex;
        GrowIconSize(pIcons);
    }
    if (!::AppendMenuA(m_hMenu, nFlags & ~(MF_OWNERDRAW | MF_BYPOSITION), nID, pData->m_strText))
        return FALSE;
    return MakeOwnerDrawn(::GetMenuItemCount(m_hMenu) - 1, pData);
}

CStyledMenu* CStyledMenu::AppendPopup(LPCSTR lpszText) {
    auto* pSub = new CStyledMenu(m_hMenu);
    pSub->m_pCheckMarks = m_pCheckMarks;
    pSub->m_bCheckMarksShared = m_pCheckMarks != nullptr;
    pSub->m_nSelectedCheckID = m_nSelectedCheckID;
    pSub->m_nNormalCheckID = m_nNormalCheckID;
    if (!pSub->CreatePopupMenu() || !AppendItem(lpszText, MF_POPUP, (UINT_PTR)pSub->m_hMenu, -1)) {
        // A failed append may have left the item in the menu: take it out before the menu goes.
        for (int i = ::GetMenuItemCount(m_hMenu); i-- > 0;)
            if (::GetSubMenu(m_hMenu, i) == pSub->m_hMenu)
                ::RemoveMenu(m_hMenu, (UINT)i, MF_BYPOSITION);
        delete pSub;
        return nullptr;
    }
    m_subMenus.push_back(pSub->m_hMenu);
    return pSub;
}

BOOL CStyledMenu::SetMenuTitle(LPCSTR lpszTitle, DWORD dwFlags) {
    if (m_hMenu == nullptr || !::IsMenu(m_hMenu))
        return FALSE;
    if (::GetMenuItemCount(m_hMenu) != (int)m_items.size())
        ConvertToOwnerDrawn();
    const int nCount = ::GetMenuItemCount(m_hMenu);
    if (nCount == 0 || !(::GetMenuState(m_hMenu, 0, MF_BYPOSITION) & MF_SEPARATOR) ||
        ::GetSubMenu(m_hMenu, 0) != nullptr)
        InsertItemWithIcons(0, "", MF_BYPOSITION | MF_SEPARATOR, 0, nullptr, -1);
    CStyledMenuItemData* pTitle = RecordAt(0);
    if (pTitle == nullptr || !pTitle->IsSeparator())
        return FALSE;
    pTitle->m_strText = lpszTitle != nullptr ? lpszTitle : "";
    pTitle->m_dwTitleFlags = dwFlags | titleItem;
    CStyledMenuItemData* pSecond = RecordAt(1);
    if (::GetMenuItemCount(m_hMenu) < 2 || pSecond == nullptr)
        return FALSE;
    const BOOL bBreak = (pSecond->m_nFlags & MF_MENUBREAK) != 0;
    if ((dwFlags & titleVertical) != 0 && !bBreak) {
        pSecond->m_nFlags |= MF_MENUBREAK;
        MakeOwnerDrawn(1, pSecond);
    } else if ((dwFlags & titleVertical) == 0 && bBreak) {
        pSecond->m_nFlags &= ~MF_MENUBREAK;
        MakeOwnerDrawn(1, pSecond);
    }
    return TRUE;
}

BOOL CStyledMenu::RemoveMenuTitle() {
    CStyledMenuItemData* pTitle = RecordAt(0);
    if (pTitle == nullptr || !pTitle->IsSeparator() || !pTitle->IsTitle())
        return FALSE;
    if (CStyledMenuItemData* pSecond = RecordAt(1)) {
        pSecond->m_nFlags &= ~MF_MENUBREAK;
        MakeOwnerDrawn(1, pSecond);
    }
    return RemoveMenu(0, MF_BYPOSITION);
}

void CStyledMenu::ConvertToOwnerDrawn() {
    if (m_hMenu == nullptr)
        return;
    for (CStyledMenuItemData* pData : m_items)
        pData->m_bSync = FALSE;
    // The first record not yet taken that carries the id.
    auto take = [this](UINT_PTR nID) -> CStyledMenuItemData* {
        for (CStyledMenuItemData* pData : m_items)
            if (!pData->m_bSync && pData->m_nID == nID) {
                pData->m_bSync = TRUE;
                return pData;
            }
        return nullptr;
    };
    std::vector<CStyledMenuItemData*> newList;
    const int nCount = ::GetMenuItemCount(m_hMenu);
    for (int nPos = 0; nPos < nCount; ++nPos) {
        UINT nState = ::GetMenuState(m_hMenu, (UINT)nPos, MF_BYPOSITION);
        if (nState == 0xFFFFFFFF)
            break;
        HMENU hSub = ::GetSubMenu(m_hMenu, nPos);
        if (hSub != nullptr)
            nState = (nState & 0xFF) | MF_POPUP;  // the high byte is the sub-menu's item count
        CString strMenu;
        if (!(nState & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR))) {
            char szText[1025] = "";
            ::GetMenuStringA(m_hMenu, (UINT)nPos, szText, sizeof(szText), MF_BYPOSITION);
            strMenu = szText;
        }
        CStyledMenuItemData* pData = nullptr;
        BOOL bModify = TRUE;
        if (nState & MF_BITMAP) {
            UINT_PTR nID = ::GetMenuItemID(m_hMenu, nPos);
            pData = take(nID);
            if (pData == nullptr) {
                pData = new CStyledMenuItemData;
                pData->m_nFlags = nState;
                pData->m_nID = nID;
            }
            bModify = FALSE;
        } else if (hSub != nullptr) {
            pData = take((UINT_PTR)hSub);
            if (pData != nullptr) {
                if (!strMenu.IsEmpty())
                    pData->m_strText = strMenu;
            } else {
                pData = new CStyledMenuItemData;
                pData->m_nFlags = (nState & ~0x0A00u) | MF_POPUP | MF_BYPOSITION | MF_OWNERDRAW;
                pData->m_nID = (UINT_PTR)hSub;
                pData->m_strText = strMenu;
            }
            if (CStyledMenu* pSub = FromHandleStyled(hSub))
                pSub->m_hParentMenu = m_hMenu;
        } else if (nState & MF_SEPARATOR) {
            pData = take(0);
            if (pData == nullptr) {
                pData = new CStyledMenuItemData;
                pData->m_nID = 0;
            }
            pData->m_nFlags = (nState & ~MF_HILITE) | MF_BYPOSITION | MF_OWNERDRAW;
        } else {
            UINT_PTR nID = ::GetMenuItemID(m_hMenu, nPos);
            pData = take(nID);
            if (pData == nullptr) {
                pData = new CStyledMenuItemData;
                pData->m_nID = nID;
                pData->m_strText = strMenu;
            } else if (!strMenu.IsEmpty()) {
                pData->m_strText = strMenu;
            }
            pData->m_nFlags = (nState & ~MF_HILITE) | MF_BYPOSITION | MF_OWNERDRAW;
        }
        pData->m_bSync = TRUE;
        if (bModify && !MakeOwnerDrawn(nPos, pData))
            ShowLastError();
        newList.push_back(pData);
    }
    for (CStyledMenuItemData* pData : m_items)
        if (!pData->m_bSync)
            delete pData;
    m_items.swap(newList);
}

// --- loading -----------------------------------------------------------------

BOOL CStyledMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEA(nIDResource)); }

BOOL CStyledMenu::LoadMenu(LPCSTR lpszResourceName) {
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, (LPCSTR)RT_MENU);
    HMENU hMenu = ::LoadMenuA(hInst, lpszResourceName);
    if (hMenu == nullptr)
        return FALSE;
    if (!LoadMenu(hMenu)) {
        ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CStyledMenu::LoadMenu(HMENU hMenu) {
    if (hMenu == nullptr || !::IsMenu(hMenu) || !Attach(hMenu))
        return FALSE;
    m_bIsPopup = FALSE;
    const int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; ++i) {
        HMENU hSub = ::GetSubMenu(hMenu, i);
        if (hSub == nullptr)
            continue;
        auto* pSub = new CStyledMenu(hMenu);
        if (!pSub->LoadMenu(hSub)) {
            delete pSub;  // not attached: the Windows sub-menu stays with its item
            continue;
        }
        m_subMenus.push_back(hSub);
        pSub->m_bIsPopup = TRUE;
    }
    ConvertToOwnerDrawn();
    return TRUE;
}

// --- owner draw --------------------------------------------------------------

void CStyledMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMIS) {
    CStyledMenuStyle* pStyle = GetCurrentMenuStyle();
    if (lpMIS == nullptr || pStyle == nullptr || pStyle->m_pfnMeasure == nullptr)
        return;
    // Only records of ours are measured; a foreign owner-drawn item is left alone.
    if (!CStyledMenuItemData::IsLiveRecord(lpMIS->itemData)) {
        CMenu::MeasureItem(lpMIS);
        return;
    }
    BOOL bMenuBar = FALSE;
    CStyledMenu* pParent = FromHandleStyled(m_hParentMenu);
    const BOOL bPopupItem = IsPopupItemID(lpMIS->itemID);
    if (bPopupItem) {
        bMenuBar = (m_hParentMenu == nullptr && !m_bIsPopup) || (pParent != nullptr && !pParent->m_bIsPopup) ||
                   (m_hParentMenu != nullptr && pParent == nullptr);
    }
    CStyledMenu* pTarget = this;
    if (bPopupItem && !bMenuBar && pParent != nullptr)
        pTarget = pParent;
    (pTarget->*(pStyle->m_pfnMeasure))(lpMIS, bMenuBar);
}

void CStyledMenu::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    CStyledMenuStyle* pStyle = GetCurrentMenuStyle();
    if (lpDIS == nullptr || pStyle == nullptr || pStyle->m_pfnDraw == nullptr)
        return;
    const BOOL bMenuBar = IsMenuBar();
    if (bMenuBar && lpDIS->itemData == GetHotMenuBarItem() && !(lpDIS->itemState & ODS_HOTLIGHT))
        SetHotMenuBarItem(0);
    if (!CStyledMenuItemData::IsLiveRecord(lpDIS->itemData)) {
        CMenu::DrawItem(lpDIS);
        return;
    }
    (this->*(pStyle->m_pfnDraw))(lpDIS, bMenuBar);
}

void CStyledMenu::DrawMenuTitle(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar) {
    CStyledMenuStyle* pStyle = GetCurrentMenuStyle();
    if (pStyle != nullptr && pStyle->m_pfnTitle != nullptr)
        (this->*(pStyle->m_pfnTitle))(lpDIS, bMenuBar);
}

BOOL CStyledMenu::EraseBkgnd(HWND hWndPopup, CDC* pDC) {
    CRect rc;
    ::GetClientRect(hWndPopup, &rc);
    pDC->FillSolidRect(&rc, GetMenuBkColor(nullptr));
    return TRUE;
}

// --- options -----------------------------------------------------------------

int CStyledMenu::SetMenuDrawMode(int nStyle) {
    CStyledMenuStyle* pStyle = FindMenuStyle(nStyle);
    if (pStyle == nullptr)
        return -1;
    int nOld = GetMenuDrawMode();
    SetCurrentMenuStyle(pStyle);
    return nOld;
}

int CStyledMenu::GetMenuDrawMode() {
    CStyledMenuStyle* pStyle = GetCurrentMenuStyle();
    return pStyle != nullptr ? pStyle->m_nNumber : -1;
}

int CStyledMenu::SetDisabledIconStyle(int nStyle) {
    std::swap(nStyle, g_nDisabledIconStyle);
    return nStyle;
}
int CStyledMenu::GetDisabledIconStyle() { return g_nDisabledIconStyle; }
int CStyledMenu::SetSelectDisableMode(int nMode) {
    std::swap(nMode, g_nSelectDisableMode);
    return nMode;
}
int CStyledMenu::GetSelectDisableMode() { return g_nSelectDisableMode; }
int CStyledMenu::SetFrameAllPopups(int nFrame) {
    std::swap(nFrame, g_nFrameAllPopups);
    return nFrame;
}
int CStyledMenu::GetFrameAllPopups() { return g_nFrameAllPopups; }
void CStyledMenu::SetTitleFont(const LOGFONT* pLogFont) {
    if (pLogFont != nullptr)
        g_titleFont = *pLogFont;
}
void CStyledMenu::SetTitleFont(CFont* pFont) {
    LOGFONT lf{};
    if (pFont != nullptr && pFont->GetLogFont(&lf))
        g_titleFont = lf;
}
void CStyledMenu::GetTitleFont(LOGFONT* pLogFont) {
    if (pLogFont != nullptr)
        *pLogFont = g_titleFont;
}

// --- shared icon sets --------------------------------------------------------

namespace {
// Offers an image to each set of the class in the shared list, else to a new one.
template <class F>
CStyledMenuIcons* FindOrAddShared(int& nIndex, COLORREF clrMask, F add) {
    nIndex = -1;
    for (CStyledMenuIcons* pSet : CStyledMenuIcons::GetSharedList()) {
        auto* pBitmaps = DYNAMIC_DOWNCAST(CStyledMenuBitmaps, pSet);
        if (pBitmaps != nullptr && (nIndex = add(pBitmaps)) >= 0)
            return pSet;
    }
    auto* pNew = new CStyledMenuBitmaps;
    pNew->m_clrMask = clrMask;
    nIndex = add(pNew);
    if (nIndex < 0) {
        delete pNew;
        return nullptr;
    }
    CStyledMenuIcons::GetSharedList().push_back(pNew);
    return pNew;
}
}  // namespace

CStyledMenuIcons* CStyledMenu::FindOrAddSharedIcon(int& nIndex, UINT_PTR nID, CImageList* pImageList, int nImage) {
    nIndex = -1;
    if (pImageList == nullptr || pImageList->m_hImageList == nullptr || nImage < 0)
        return nullptr;
    HICON hIcon = ImageList_GetIcon(pImageList->m_hImageList, nImage, ILD_NORMAL);
    if (hIcon == nullptr)
        return nullptr;
    CStyledMenuIcons* pSet = FindOrAddShared(nIndex, GetBitmapBackground(), [hIcon, nID](CStyledMenuBitmaps* p) {
        return p->AddIcon(hIcon, (UINT)nID);
    });
    ::DestroyIcon(hIcon);
    return pSet;
}

CStyledMenuIcons* CStyledMenu::FindOrAddSharedBitmap(int& nIndex, UINT nIDBitmap) {
    const COLORREF clrMask = GetBitmapBackground();
    return FindOrAddShared(nIndex, clrMask,
                           [nIDBitmap, clrMask](CStyledMenuBitmaps* p) { return p->AddBitmapResource(nIDBitmap, clrMask); });
}

CStyledMenuIcons* CStyledMenu::FindOrAddSharedBitmapObject(int& nIndex, CBitmap* pBitmap) {
    nIndex = -1;
    if (pBitmap == nullptr || pBitmap->m_hObject == nullptr)
        return nullptr;
    const COLORREF clrMask = GetBitmapBackground();
    return FindOrAddShared(nIndex, clrMask,
                           [pBitmap, clrMask](CStyledMenuBitmaps* p) { return p->AddBitmap(pBitmap, clrMask); });
}

CStyledMenuIcons* CStyledMenu::FindOrLoadToolBar(UINT nToolBarID, HINSTANCE hModule) {
    LPCSTR lpszName = MAKEINTRESOURCEA(LOWORD(nToolBarID));
    if (hModule == nullptr)
        hModule = AfxFindResourceHandle(lpszName, RT_TOOLBAR);
    for (CStyledMenuIcons* pSet : CStyledMenuIcons::GetSharedList())
        if (pSet->MatchResource(lpszName, hModule))
            return pSet;
    auto* pNew = new CStyledMenuIcons;
    pNew->m_clrMask = GetBitmapBackground();
    if (!pNew->LoadToolBar(lpszName, hModule)) {
        delete pNew;
        return nullptr;
    }
    CStyledMenuIcons::GetSharedList().push_back(pNew);
    return pNew;
}

CStyledMenuIcons* CStyledMenu::FindOrLoadToolBarData(const WORD* pToolBarData, COLORREF clrMask) {
    if (pToolBarData == nullptr)
        return nullptr;
    if (clrMask == (COLORREF)-1)
        clrMask = GetBitmapBackground();
    for (CStyledMenuIcons* pSet : CStyledMenuIcons::GetSharedList())
        if (pSet->MatchToolBarData(pToolBarData, clrMask))
            return pSet;
    auto* pNew = new CStyledMenuIcons;
    if (!pNew->LoadToolBarData(pToolBarData, clrMask)) {
        delete pNew;
        return nullptr;
    }
    CStyledMenuIcons::GetSharedList().push_back(pNew);
    return pNew;
}

BOOL CStyledMenu::GetToolBarImageIndex(UINT nID, UINT nToolBarID, int& nImage) {
    // The tool bar lives on the main window; without one, on a hidden message-only host.
    CWnd wndHost;
    CWnd* pParent = AfxGetMainWnd();
    if (pParent == nullptr || pParent->m_hWnd == nullptr) {
        if (!wndHost.CreateEx(0, "STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr))
            return FALSE;
        pParent = &wndHost;
    }
    CToolBar bar;
    if (!bar.CreateEx(pParent, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, 0xE800) ||
        !bar.LoadToolBar(nToolBarID))
        return FALSE;
    int nIndex = bar.CommandToIndex(nID);
    if (nIndex < 0)
        return FALSE;
    UINT nButtonID = 0;
    UINT nStyle = 0;
    bar.GetButtonInfo(nIndex, nButtonID, nStyle, nImage);
    return TRUE;
}

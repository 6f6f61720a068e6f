// CStyledMenu item editing: inserting, modifying, removing and looking up
// items so that the records, the Windows items and the icon sets stay in step.
#include "menus/styledmenu.h"

#include <algorithm>
#include <utility>

#include "menus/menustyles.h"
#include "menus/menuutil.h"

namespace {
CString ReadMenuString(HMENU hMenu, int nPos) {
    char szText[1025] = "";
    ::GetMenuStringA(hMenu, (UINT)nPos, szText, sizeof(szText), MF_BYPOSITION);
    return CString(szText);
}
}  // namespace

CStyledMenu* CStyledMenu::FindHolder(UINT_PTR nID, int& nPos) {
    if (m_hMenu == nullptr)
        return nullptr;
    const int nCount = ::GetMenuItemCount(m_hMenu);
    for (int i = 0; i < nCount; ++i) {
        HMENU hSub = ::GetSubMenu(m_hMenu, i);
        if (hSub == nullptr ? (UINT_PTR)::GetMenuItemID(m_hMenu, i) == nID : (UINT_PTR)hSub == nID) {
            nPos = i;
            return this;
        }
        if (CStyledMenu* pSub = hSub != nullptr ? FromHandleStyled(hSub) : nullptr)
            if (CStyledMenu* pFound = pSub->FindHolder(nID, nPos))
                return pFound;
    }
    return nullptr;
}

CStyledMenuIcons* CStyledMenu::IconForID(UINT_PTR nID, int nIconID, int& nIndex) {
    nIndex = -1;
    if (nIconID < 0)
        return nullptr;
    CToolBarResource res;
    if (res.Load(nullptr, MAKEINTRESOURCEA(nIconID)) &&
        std::find(res.m_ids.begin(), res.m_ids.end(), (UINT)nID) != res.m_ids.end()) {
        if (CStyledMenuIcons* pSet = FindOrLoadToolBar((UINT)nIconID, nullptr)) {
            nIndex = pSet->FindImageIndex((UINT)nID);
            if (nIndex >= 0)
                return pSet;
        }
    }
    return FindOrAddSharedBitmap(nIndex, (UINT)nIconID);
}

// --- inserting ---------------------------------------------------------------

BOOL CStyledMenu::InsertItemWithIcons(UINT nPosition, LPCSTR lpszText, UINT nFlags, UINT_PTR nID,
                                      CStyledMenuIcons* pIcons, int nIndex) {
    if (m_hMenu == nullptr)
        return FALSE;
    if (!(nFlags & MF_BYPOSITION)) {
        int nPos = -1;
        CStyledMenu* pHolder = FindHolder(nPosition, nPos);
        return pHolder != nullptr &&
               pHolder->InsertItemWithIcons((UINT)nPos, lpszText, nFlags | MF_BYPOSITION, nID, pIcons, nIndex);
    }
    if (::GetMenuItemCount(m_hMenu) != (int)m_items.size())
        ConvertToOwnerDrawn();
    const int nCount = (int)m_items.size();
    const int nPos = nPosition == (UINT)-1 || (int)nPosition > nCount ? nCount : (int)nPosition;
    nFlags = NormaliseFlags(nFlags, nID) | MF_BYPOSITION;
    AdoptSubMenu(nFlags, nID);
    auto* pData = new CStyledMenuItemData;
    pData->m_strText = lpszText != nullptr ? lpszText : "";
    pData->m_nID = nID;
    pData->m_nFlags = nFlags;
    pData->SetIcons(pIcons);
    if (!::InsertMenuA(m_hMenu, (UINT)nPos, nFlags & ~MF_OWNERDRAW, nID, pData->m_strText)) {
        delete pData;  // never entered: the records keep matching the items
        return FALSE;
    }
    m_items.insert(m_items.begin() + nPos, pData);
    if (pIcons != nullptr && nIndex >= 0) {
        pData->m_nIconIndex = nIndex;
        GrowIconSize(pIcons);
    }
    return MakeOwnerDrawn(nPos, pData);
}

BOOL CStyledMenu::InsertItem(UINT nPosition, LPCSTR lpszText, UINT nFlags, UINT_PTR nID, int nIconID) {
    int nIndex = -1;
    CStyledMenuIcons* pIcons = IconForID(nID, nIconID, nIndex);
    return InsertItemWithIcons(nPosition, lpszText, nFlags, nID, pIcons, nIndex);
}

BOOL CStyledMenu::InsertItemWithBitmap(UINT nPosition, LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CBitmap* pBitmap) {
    int nIndex = -1;
    CStyledMenuIcons* pIcons = FindOrAddSharedBitmapObject(nIndex, pBitmap);
    return InsertItemWithIcons(nPosition, lpszText, nFlags, nID, pIcons, nIndex);
}

BOOL CStyledMenu::InsertItemFromImageList(UINT nPosition, LPCSTR lpszText, UINT nFlags, UINT_PTR nID,
                                          CImageList* pImageList, int nIndex) {
    int nIconIndex = -1;
    CStyledMenuIcons* pIcons = FindOrAddSharedIcon(nIconIndex, nID, pImageList, nIndex);
    return InsertItemWithIcons(nPosition, lpszText, nFlags, nID, pIcons, nIconIndex);
}

BOOL CStyledMenu::AppendMenu(UINT nFlags, UINT_PTR nID, LPCSTR lpszText, int nIconID) {
    return InsertItem((UINT)-1, lpszText, nFlags | MF_BYPOSITION, nID, nIconID);
}
BOOL CStyledMenu::AppendMenu(UINT nFlags, UINT_PTR nID, LPCSTR lpszText, CImageList* pImageList, int nIndex) {
    return AppendItemFromImageList(lpszText, nFlags, nID, pImageList, nIndex);
}
BOOL CStyledMenu::AppendMenu(UINT nFlags, UINT_PTR nID, LPCSTR lpszText, CBitmap* pBitmap) {
    return AppendItemWithBitmap(lpszText, nFlags, nID, pBitmap);
}
BOOL CStyledMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nID, LPCSTR lpszText, int nIconID) {
    return InsertItem(nPosition, lpszText, nFlags, nID, nIconID);
}
BOOL CStyledMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nID, LPCSTR lpszText, CImageList* pImageList,
                             int nIndex) {
    return InsertItemFromImageList(nPosition, lpszText, nFlags, nID, pImageList, nIndex);
}
BOOL CStyledMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nID, LPCSTR lpszText, CBitmap* pBitmap) {
    return InsertItemWithBitmap(nPosition, lpszText, nFlags, nID, pBitmap);
}

// --- modifying ---------------------------------------------------------------

BOOL CStyledMenu::ModifyItem(UINT nPosition, UINT nFlags, UINT_PTR nNewID, LPCSTR lpszText) {
    if (m_hMenu == nullptr)
        return FALSE;
    if (!(nFlags & MF_BYPOSITION)) {
        int nPos = -1;
        CStyledMenu* pHolder = FindHolder(nPosition, nPos);
        return pHolder != nullptr && pHolder->ModifyItem((UINT)nPos, nFlags | MF_BYPOSITION, nNewID, lpszText);
    }
    if (::GetMenuItemCount(m_hMenu) != (int)m_items.size())
        ConvertToOwnerDrawn();
    const int nPos = (int)nPosition;
    CStyledMenuItemData* pData = RecordAt(nPos);
    if (pData == nullptr)
        return FALSE;
    // Windows destroys a sub-menu that an item stops pointing to: take it off the item first.
    HMENU hOldSub = ::GetSubMenu(m_hMenu, nPos);
    if (hOldSub != nullptr && (!(nFlags & MF_POPUP) || (HMENU)nNewID != hOldSub)) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_SUBMENU;
        mii.hSubMenu = nullptr;
        ::SetMenuItemInfoA(m_hMenu, (UINT)nPos, TRUE, &mii);
        auto it = std::find(m_subMenus.begin(), m_subMenus.end(), hOldSub);
        if (it != m_subMenus.end()) {
            m_subMenus.erase(it);
            delete FromHandleStyled(hOldSub);
        }
    }
    if (!::ModifyMenuA(m_hMenu, (UINT)nPos, (nFlags | MF_BYPOSITION) & ~MF_OWNERDRAW, nNewID, lpszText))
        return FALSE;
    pData->m_nID = nNewID;
    // The flags as given (an id of 0 stays an item here); a bitmap item is drawn by the system.
    pData->m_nFlags = ((nFlags & MF_BITMAP) ? nFlags & ~MF_OWNERDRAW : nFlags | MF_OWNERDRAW) | MF_BYPOSITION;
    pData->m_strText = (nFlags & (MF_BITMAP | MF_SEPARATOR)) ? CString() : ReadMenuString(m_hMenu, nPos);
    AdoptSubMenu(nFlags, nNewID);
    if (nFlags & MF_BITMAP)
        return TRUE;  // a bitmap item shows its bitmap, as in the conversion
    return MakeOwnerDrawn(nPos, pData);
}

BOOL CStyledMenu::ModifyItemBitmap(UINT nPosition, UINT nFlags, UINT_PTR nNewID, const CBitmap* pBitmap) {
    if (!(nFlags & MF_BYPOSITION)) {
        int nPos = -1;
        CStyledMenu* pHolder = FindHolder(nPosition, nPos);
        return pHolder != nullptr && pHolder->ModifyItemBitmap((UINT)nPos, nFlags | MF_BYPOSITION, nNewID, pBitmap);
    }
    // The record's text is emptied by the modification, and only when it succeeds.
    return ModifyItem(nPosition, (nFlags | MF_BITMAP) & ~MF_STRING, nNewID,
                      (LPCSTR)(pBitmap != nullptr ? pBitmap->m_hObject : nullptr));
}

BOOL CStyledMenu::ApplyIcon(CStyledMenuItemData* pData, CStyledMenuIcons* pIcons, int nIndex) {
    pData->m_nIconIndex = -1;
    if (pIcons == nullptr || nIndex < 0)
        return FALSE;
    pData->m_nFlags &= ~MF_BITMAP;  // an item with an icon is owner-drawn, a bitmap item too
    pData->SetIcons(pIcons);
    pData->m_nIconIndex = nIndex;
    GrowIconSize(pIcons);
    return TRUE;
}

BOOL CStyledMenu::ModifyODMenuCore(LPCSTR lpszText, UINT nID, CStyledMenuIcons* pIcons, int nIndex, BOOL bSetIcon) {
    // Every occurrence of the command in this menu and its styled sub-menus, depth first.
    std::vector<std::pair<CStyledMenu*, int>> hits;
    auto collect = [&](auto&& self, CStyledMenu* pMenu) -> void {
        if (pMenu->m_hMenu == nullptr)
            return;
        if (::GetMenuItemCount(pMenu->m_hMenu) != (int)pMenu->m_items.size())
            pMenu->ConvertToOwnerDrawn();
        const int nCount = ::GetMenuItemCount(pMenu->m_hMenu);
        for (int i = 0; i < nCount; ++i) {
            HMENU hSub = ::GetSubMenu(pMenu->m_hMenu, i);
            if (hSub == nullptr && ::GetMenuItemID(pMenu->m_hMenu, i) == nID)
                hits.emplace_back(pMenu, i);
            else if (CStyledMenu* pSub = hSub != nullptr ? FromHandleStyled(hSub) : nullptr)
                self(self, pSub);
        }
    };
    collect(collect, this);
    if (hits.empty())
        return FALSE;
    BOOL bAll = TRUE;
    for (auto& hit : hits) {
        CStyledMenu* pMenu = hit.first;
        CStyledMenuItemData* pData = pMenu->RecordAt(hit.second);
        if (pData == nullptr) {
            bAll = FALSE;
            continue;
        }
        const BOOL bTextChanged = lpszText != nullptr && pData->m_strText != lpszText;
        if (bTextChanged)
            pData->m_strText = lpszText;
        pData->m_nIconIndex = -1;
        if (bSetIcon)
            pMenu->ApplyIcon(pData, pIcons, nIndex);
        pData->m_nFlags &= ~MF_BYPOSITION;
        if (!pData->IsBitmapItem())
            pData->m_nFlags |= MF_OWNERDRAW;
        pData->m_nID = nID;
        if (bTextChanged && !pData->IsBitmapItem()) {
            UINT nState = ::GetMenuState(pMenu->m_hMenu, (UINT)hit.second, MF_BYPOSITION) &
                          (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_MENUBREAK);
            if (!::ModifyMenuA(pMenu->m_hMenu, (UINT)hit.second, MF_BYPOSITION | MF_STRING | nState, nID,
                               pData->m_strText))
                bAll = FALSE;
        }
        if (!pMenu->MakeOwnerDrawn(hit.second, pData))
            bAll = FALSE;
    }
    return bAll;
}

BOOL CStyledMenu::ModifyODMenu(LPCSTR lpszText, UINT nID, int nIconID) {
    int nIndex = -1;
    CStyledMenuIcons* pIcons = IconForID(nID, nIconID, nIndex);
    return ModifyODMenuCore(lpszText, nID, pIcons, nIndex, TRUE);
}

BOOL CStyledMenu::ModifyODMenuFromImageList(LPCSTR lpszText, UINT nID, CImageList* pImageList, int nIndex) {
    int nIconIndex = -1;
    CStyledMenuIcons* pIcons = FindOrAddSharedIcon(nIconIndex, nID, pImageList, nIndex);
    return ModifyODMenuCore(lpszText, nID, pIcons, nIconIndex, TRUE);
}

BOOL CStyledMenu::ModifyODMenuWithBitmap(LPCSTR lpszText, UINT nID, CBitmap* pBitmap) {
    if (pBitmap == nullptr || pBitmap->m_hObject == nullptr)
        return ModifyODMenuCore(lpszText, nID, nullptr, -1, FALSE);
    CImageList list;
    if (!list.Create(m_nIconX, m_nIconY, 255, 1, 1) ||
        AddBitmapCopyMasked(list.m_hImageList, (HBITMAP)pBitmap->m_hObject, GetBitmapBackground()) < 0)
        return FALSE;
    return ModifyODMenuFromImageList(lpszText, nID, &list, 0);
}

BOOL CStyledMenu::ModifyODMenuWithColour(LPCSTR lpszText, UINT nID, COLORREF clrFill, COLORREF clrBorder,
                                         int nHatchStyle) {
    CBitmap bitmap;
    CClientDC dcScreen(nullptr);
    if (!DrawColourSwatch(&dcScreen, bitmap, m_nIconX, m_nIconY, clrFill, clrBorder, nHatchStyle))
        return FALSE;
    return ModifyODMenuWithBitmap(lpszText, nID, &bitmap);
}

BOOL CStyledMenu::ModifyODMenuByText(LPCSTR lpszNewText, LPCSTR lpszOldText, int nIconID) {
    if (m_hMenu == nullptr || lpszOldText == nullptr)
        return FALSE;
    if (::GetMenuItemCount(m_hMenu) != (int)m_items.size())
        ConvertToOwnerDrawn();
    for (size_t i = 0; i < m_items.size(); ++i) {
        CStyledMenuItemData* pData = m_items[i];
        if (pData->m_strText == lpszOldText) {
            if (lpszNewText != nullptr)
                pData->m_strText = lpszNewText;
            int nIndex = -1;
            CStyledMenuIcons* pIcons = IconForID(pData->m_nID, nIconID, nIndex);
            pData->m_nIconIndex = -1;
            ApplyIcon(pData, pIcons, nIndex);
            MakeOwnerDrawn((int)i, pData);
            return TRUE;
        }
        if (HMENU hSub = ::GetSubMenu(m_hMenu, (int)i))
            if (CStyledMenu* pSub = FromHandleStyled(hSub))
                if (pSub->ModifyODMenuByText(lpszNewText, lpszOldText, nIconID))
                    return TRUE;
    }
    return FALSE;
}

// --- tool bars ---------------------------------------------------------------

BOOL CStyledMenu::LoadToolbar(UINT nToolBarID, HINSTANCE hModule) {
    CStyledMenuIcons* pSet = FindOrLoadToolBar(nToolBarID, hModule);
    if (pSet == nullptr)
        return FALSE;
    for (size_t k = pSet->m_ids.size(); k-- > 0;)
        ModifyODMenuCore(nullptr, pSet->m_ids[k], pSet, (int)k * 3, TRUE);
    return TRUE;
}

BOOL CStyledMenu::LoadToolbar(const WORD* pToolBarData, COLORREF clrMask) {
    CStyledMenuIcons* pSet = FindOrLoadToolBarData(pToolBarData, clrMask);
    if (pSet == nullptr)
        return FALSE;
    for (size_t k = pSet->m_ids.size(); k-- > 0;)
        ModifyODMenuCore(nullptr, pSet->m_ids[k], pSet, (int)k * 3, TRUE);
    return TRUE;
}

BOOL CStyledMenu::LoadToolbars(const UINT* pToolBarIDs, int nCount, HINSTANCE hModule) {
    if (pToolBarIDs == nullptr)
        return nCount <= 0;  // nothing loaded: a success only when nothing was asked for
    BOOL bAll = TRUE;
    for (int i = 0; i < nCount; ++i)
        if (!LoadToolbar(pToolBarIDs[i], hModule))
            bAll = FALSE;
    return bAll;
}

// --- removing ----------------------------------------------------------------

void CStyledMenu::RemoveRecordsOf(int nPos, BOOL bDelete) {
    CStyledMenuItemData* pData = RecordAt(nPos);
    HMENU hSub = ::GetSubMenu(m_hMenu, nPos);
    if (hSub != nullptr) {
        auto it = std::find(m_subMenus.begin(), m_subMenus.end(), hSub);
        if (it != m_subMenus.end()) {
            m_subMenus.erase(it);
            if (bDelete) {
                // Our sub-menu goes with its object; the item then only needs removing.
                ::RemoveMenu(m_hMenu, (UINT)nPos, MF_BYPOSITION);
                delete FromHandleStyled(hSub);
            }
        }
    }
    if (pData != nullptr) {
        m_items.erase(m_items.begin() + nPos);
        delete pData;
    }
}

BOOL CStyledMenu::RemoveMenu(UINT nPosition, UINT nFlags) {
    if (m_hMenu == nullptr)
        return FALSE;
    if (!(nFlags & MF_BYPOSITION)) {
        int nPos = -1;
        CStyledMenu* pHolder = FindHolder(nPosition, nPos);
        return pHolder != nullptr ? pHolder->RemoveMenu((UINT)nPos, MF_BYPOSITION)
                                  : CMenu::RemoveMenu(nPosition, nFlags);
    }
    if (::GetMenuItemCount(m_hMenu) != (int)m_items.size())
        ConvertToOwnerDrawn();
    if ((int)nPosition >= ::GetMenuItemCount(m_hMenu))
        return FALSE;
    RemoveRecordsOf((int)nPosition, FALSE);
    return CMenu::RemoveMenu(nPosition, MF_BYPOSITION);
}

BOOL CStyledMenu::DeleteMenu(UINT nPosition, UINT nFlags) {
    if (m_hMenu == nullptr)
        return FALSE;
    if (!(nFlags & MF_BYPOSITION)) {
        int nPos = -1;
        CStyledMenu* pHolder = FindHolder(nPosition, nPos);
        return pHolder != nullptr ? pHolder->DeleteMenu((UINT)nPos, MF_BYPOSITION)
                                  : CMenu::DeleteMenu(nPosition, nFlags);
    }
    if (::GetMenuItemCount(m_hMenu) != (int)m_items.size())
        ConvertToOwnerDrawn();
    const int nCount = ::GetMenuItemCount(m_hMenu);
    if ((int)nPosition >= nCount)
        return FALSE;
    RemoveRecordsOf((int)nPosition, TRUE);
    if (::GetMenuItemCount(m_hMenu) < nCount)
        return TRUE;  // the owned sub-menu's item went with it
    return CMenu::DeleteMenu(nPosition, MF_BYPOSITION);
}

int CStyledMenu::GetItemPosition(LPCSTR lpszText) const {
    if (m_hMenu == nullptr || lpszText == nullptr)
        return -1;
    BOOL bAnyPlain = FALSE;
    const int nCount = ::GetMenuItemCount(m_hMenu);
    for (int i = 0; i < nCount && !bAnyPlain; ++i)
        bAnyPlain = ::GetSubMenu(m_hMenu, i) == nullptr;
    if (!bAnyPlain)
        return -1;
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->m_strText == lpszText)
            return (int)i;
    return -1;
}

int CStyledMenu::RemoveItemByText(LPCSTR lpszText, int nMode) {
    int nPos = GetItemPosition(lpszText);
    if (nPos < 0)
        return -1;
    switch (nMode) {
    case 0:
        RemoveMenu((UINT)nPos, MF_BYPOSITION);
        break;
    case 1:
        if (nPos > 0)
            RemoveMenu((UINT)nPos - 1, MF_BYPOSITION);
        break;
    case 2:
        RemoveMenu((UINT)nPos + 1, MF_BYPOSITION);
        break;
    case 3:
        RemoveMenu((UINT)nPos + 1, MF_BYPOSITION);
        if (nPos > 0)
            RemoveMenu((UINT)nPos - 1, MF_BYPOSITION);
        break;
    default:
        break;
    }
    return nPos;
}

// --- lookups and values ------------------------------------------------------

CMenu* CStyledMenu::GetSubMenu(LPCSTR lpszText) const {
    if (m_hMenu == nullptr || lpszText == nullptr)
        return nullptr;
    const int nCount = ::GetMenuItemCount(m_hMenu);
    for (int i = 0; i < nCount; ++i) {
        HMENU hSub = ::GetSubMenu(m_hMenu, i);
        if (hSub == nullptr)
            continue;
        CString str = ReadMenuString(m_hMenu, i);
        if (str.IsEmpty())
            if (CStyledMenuItemData* pData = RecordAt(i))
                str = pData->m_strText;
        if (str == lpszText)
            return CMenu::FromHandle(hSub);
    }
    return nullptr;
}

BOOL CStyledMenu::GetMenuText(UINT nItem, CString& rText, UINT nFlags) const {
    if (!(nFlags & MF_BYPOSITION)) {
        int nPos = -1;
        CStyledMenu* pHolder = const_cast<CStyledMenu*>(this)->FindHolder(nItem, nPos);
        return pHolder != nullptr && pHolder->GetMenuText((UINT)nPos, rText, MF_BYPOSITION);
    }
    CStyledMenuItemData* pData = RecordAt((int)nItem);
    if (pData == nullptr)
        return FALSE;
    rText = pData->m_strText;
    return TRUE;
}

BOOL CStyledMenu::SetMenuText(UINT nItem, LPCSTR lpszText, UINT nFlags) {
    if (!(nFlags & MF_BYPOSITION)) {
        int nPos = -1;
        CStyledMenu* pHolder = FindHolder(nItem, nPos);
        return pHolder != nullptr && pHolder->SetMenuText((UINT)nPos, lpszText, MF_BYPOSITION);
    }
    CStyledMenuItemData* pData = RecordAt((int)nItem);
    if (pData == nullptr || m_hMenu == nullptr)
        return FALSE;
    pData->m_strText = lpszText != nullptr ? lpszText : "";
    pData->m_nFlags &= ~MF_BITMAP;  // a bitmap item becomes a string item
    UINT nState = ::GetMenuState(m_hMenu, nItem, MF_BYPOSITION);
    HMENU hSub = ::GetSubMenu(m_hMenu, (int)nItem);
    if (hSub != nullptr)
        nState = (nState & 0xFF) | MF_POPUP;
    nState = (nState & ~(MF_BITMAP | MF_SEPARATOR | MF_OWNERDRAW | MF_HILITE)) | MF_BYPOSITION;
    UINT_PTR nID = hSub != nullptr ? (UINT_PTR)hSub : pData->m_nID;
    if (!::ModifyMenuA(m_hMenu, nItem, nState, nID, pData->m_strText))
        return FALSE;
    return MakeOwnerDrawn((int)nItem, pData);
}

BOOL CStyledMenu::SetItemUserData(UINT nItem, DWORD dwValue, BOOL bByPosition) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_DATA;
    if (m_hMenu == nullptr || !::GetMenuItemInfoA(m_hMenu, nItem, bByPosition, &mii))
        return FALSE;
    CStyledMenuItemData* pData = CStyledMenuItemData::FromItemData(mii.dwItemData);
    if (pData == nullptr)
        return FALSE;
    pData->m_dwUserData = dwValue;
    return TRUE;
}

DWORD CStyledMenu::GetItemUserData(UINT nItem, BOOL bByPosition) const {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_DATA;
    if (m_hMenu == nullptr || !::GetMenuItemInfoA(m_hMenu, nItem, bByPosition, &mii))
        return (DWORD)-1;
    CStyledMenuItemData* pData = CStyledMenuItemData::FromItemData(mii.dwItemData);
    return pData != nullptr ? pData->m_dwUserData : (DWORD)-1;
}

int CStyledMenu::SetIconSize(int cx, int cy) {
    m_nIconX = cx;
    m_nIconY = cy;
    return cy;
}

COLORREF CStyledMenu::SetBitmapBackground(COLORREF clr) {
    std::swap(clr, m_clrBitmapBack);
    return clr;
}

COLORREF CStyledMenu::GetBitmapBackground() const {
    return m_clrBitmapBack == 0xFF000000 ? ::GetSysColor(COLOR_3DFACE) : m_clrBitmapBack;
}

BOOL CStyledMenu::AddBitmapToImageList(CImageList& list, UINT nIDBitmap) {
    HBITMAP hbm = LoadSysColorBitmap(nIDBitmap);  // only for 16 colours
    if (hbm == nullptr)
        hbm = LoadBitmapResource(MAKEINTRESOURCEA(nIDBitmap), nullptr, nullptr);
    if (hbm == nullptr)
        return FALSE;
    BOOL bOK = ImageList_AddMasked(list.m_hImageList, hbm, GetBitmapBackground()) >= 0;
    ::DeleteObject(hbm);
    return bOK;
}

BOOL CStyledMenu::SetCheckBitmaps(int nNormalID, int nSelectedID) {
    if (nNormalID < 1 || nSelectedID < 1)
        return FALSE;
    m_nNormalCheckID = nNormalID;
    m_nSelectedCheckID = nSelectedID;
    if (!m_bCheckMarksShared)
        delete m_pCheckMarks;
    m_pCheckMarks = new CImageList;
    m_bCheckMarksShared = FALSE;
    if (!m_pCheckMarks->Create(m_nIconX, m_nIconY, ILC_MASK, 2, 1) ||
        !AddBitmapToImageList(*m_pCheckMarks, (UINT)nNormalID) ||
        !AddBitmapToImageList(*m_pCheckMarks, (UINT)nSelectedID)) {
        delete m_pCheckMarks;
        m_pCheckMarks = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL CStyledMenu::SwapItemCommand(UINT nID, UINT nNewID) {
    if (m_hMenu == nullptr)
        return FALSE;
    if (::GetMenuItemCount(m_hMenu) != (int)m_items.size())
        ConvertToOwnerDrawn();
    for (size_t i = 0; i < m_items.size(); ++i) {
        CStyledMenuItemData* pData = m_items[i];
        if (pData->m_nID == nID && ::GetSubMenu(m_hMenu, (int)i) == nullptr) {
            pData->m_nFlags |= MF_BYPOSITION | (pData->IsBitmapItem() ? 0 : MF_OWNERDRAW);
            pData->m_nID = nNewID;
            return MakeOwnerDrawn((int)i, pData);
        }
    }
    return FALSE;
}

BOOL CStyledMenu::SetPopupMenu(BOOL bPopup) {
    std::swap(bPopup, m_bIsPopup);
    return bPopup;
}

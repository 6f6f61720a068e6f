// CAltMenu: item records, the shared image list, editing, loading from menu
// and tool-bar resources. Drawing and measuring are in altmenu_draw_win.cpp.
#include "menus/altmenu.h"

#include <algorithm>
#include <cwctype>
#include <unordered_set>

#include "menus/menuutil.h"

namespace {

std::unordered_set<const CAltMenuItemData*>& LiveRecords()
{
    static auto* s_pSet = new std::unordered_set<const CAltMenuItemData*>;
    return *s_pSet;
}

std::wstring Widen(LPCSTR lpszText)
{
    if (lpszText == nullptr)
        return std::wstring();
    const int n = ::MultiByteToWideChar(CP_ACP, 0, lpszText, -1, nullptr, 0);
    std::wstring str(n > 0 ? (size_t)n : 1, L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_ACP, 0, lpszText, -1, &str[0], n);
    str.resize(wcslen(str.c_str()));
    return str;
}

// A null stays null (the text is then left as it is).
struct CWide {
    std::wstring m_str;
    bool m_bNull;
    explicit CWide(LPCSTR lpsz)
        : m_str(Widen(lpsz))
        , m_bNull(lpsz == nullptr)
    {
    }
    operator LPCWSTR() const { return m_bNull ? nullptr : m_str.c_str(); }
};

std::wstring Lower(std::wstring str)
{
    for (wchar_t& ch : str)
        ch = (wchar_t)std::towlower(ch);
    return str;
}

const UINT kImageListFlags = ILC_COLORDDB | ILC_MASK; // 0xFF
const UINT kLoadedPopupFlags = MF_BYPOSITION | MF_POPUP; // 0x410: a plain string popup

// The button's image index among the non-separators of a tool bar, or -1.
int ButtonImage(const CToolBarResource& res, UINT_PTR nID)
{
    int nImage = 0;
    for (UINT id : res.m_ids) {
        if (id == 0)
            continue;
        if (id == nID)
            return nImage;
        ++nImage;
    }
    return -1;
}

// The index in a loaded bitmap list of image k: a list whose first image got its three
// derived images has them right after it.
int LoadedIndex(const CImageList& list, int nImages, int k)
{
    return list.GetImageCount() == nImages + 3 && k > 0 ? k + 3 : k;
}

int CountButtons(const CToolBarResource& res)
{
    return (int)std::count_if(res.m_ids.begin(), res.m_ids.end(), [](UINT id) { return id != 0; });
}

// The item data of position nPos (0 when none).
ULONG_PTR ItemDataAt(HMENU hMenu, int nPos)
{
    MENUITEMINFOW mii {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_DATA | MIIM_FTYPE;
    if (!::GetMenuItemInfoW(hMenu, (UINT)nPos, TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW))
        return 0;
    return mii.dwItemData;
}

// An icon-sized image of hIcon with an effect, added to (or replacing nReplace in) the list.
void AddDerivedImage(HIMAGELIST hList, HICON hIcon, void (*pfnEffect)(CBitmap&), int nReplace)
{
    const int cx = CAltMenu::s_nIconX;
    const int cy = CAltMenu::s_nIconY;
    CClientDC dcScreen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&dcScreen);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dcScreen, cx, cy);
    {
        CSelectGuard guard(&dc, &bmp);
        dc.FillSolidRect(0, 0, cx, cy, ::GetSysColor(COLOR_BTNFACE));
        ::DrawIconEx(dc.m_hDC, 0, 0, hIcon, cx, cy, 0, nullptr, DI_NORMAL);
    }
    pfnEffect(bmp);
    if (nReplace < 0) {
        ImageList_AddMasked(hList, (HBITMAP)bmp.m_hObject, ::GetSysColor(COLOR_BTNFACE));
        return;
    }
    CImageList one;
    one.Create(cx, cy, kImageListFlags, 1, 0);
    ImageList_AddMasked(one.m_hImageList, (HBITMAP)bmp.m_hObject, ::GetSysColor(COLOR_BTNFACE));
    HICON hDerived = ImageList_GetIcon(one.m_hImageList, 0, ILD_NORMAL);
    ImageList_ReplaceIcon(hList, nReplace, hDerived);
    ::DestroyIcon(hDerived);
}

void WashOutEffect(CBitmap& bmp)
{
    AltWashOut(bmp);
}
void ShadowEffect(CBitmap& bmp)
{
    AltShadow(bmp);
}
void DimEffect(CBitmap& bmp)
{
    AltDim(bmp);
}
void (*const kDerivedEffects[3])(CBitmap&) = { WashOutEffect, ShadowEffect, DimEffect };

struct CSharedImagesLifetime {
    ~CSharedImagesLifetime() { CAltMenu::FreeSharedImages(); }
} g_sharedImagesLifetime;

} // namespace

// --- item records -------------------------------------------------------------

CAltMenuItemData::CAltMenuItemData()
{
    LiveRecords().insert(this);
}

CAltMenuItemData::~CAltMenuItemData()
{
    LiveRecords().erase(this);
    delete m_pImageList;
}

void CAltMenuItemData::SetAnsiText(LPCSTR lpszText)
{
    m_strText = Widen(lpszText);
}

CString CAltMenuItemData::GetString() const
{
    if (m_strText.empty())
        return CString();
    const int n = ::WideCharToMultiByte(CP_ACP, 0, m_strText.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string str(n > 0 ? (size_t)n : 1, '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, 0, m_strText.c_str(), -1, &str[0], n, nullptr, nullptr);
    return CString(str.c_str());
}

BOOL CAltMenuItemData::IsLiveRecord(ULONG_PTR itemData)
{
    return itemData != 0 && LiveRecords().count(reinterpret_cast<const CAltMenuItemData*>(itemData)) != 0;
}

int CAltMenuItemData::GetLiveCount()
{
    return (int)LiveRecords().size();
}

// --- statics ------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CAltMenu, CMenu)

int CAltMenu::s_nIconX = 16;
int CAltMenu::s_nIconY = 15;
int CAltMenu::s_nXPModeThemed = 1;
int CAltMenu::s_nXPModeOther = 0;
int CAltMenu::s_nSelectDisabledClassic = 1;
int CAltMenu::s_nSelectDisabledXP = 0;
BOOL CAltMenu::s_bXPEffects = TRUE;
BOOL CAltMenu::s_bAlignAccelerators[2] = { TRUE, TRUE };
int CAltMenu::s_nDisabledImageStyle = 0;
CImageList* CAltMenu::s_pSharedImages = nullptr;
std::vector<UINT> CAltMenu::s_imageIDs;
std::vector<HMENU> CAltMenu::s_allSubMenus;

void CAltMenu::FreeSharedImages()
{
    delete s_pSharedImages;
    s_pSharedImages = nullptr;
    s_imageIDs.clear();
}

BOOL CAltMenu::IsMenu(HMENU hMenu)
{
    return hMenu != nullptr
        && std::find(s_allSubMenus.begin(), s_allSubMenus.end(), hMenu) != s_allSubMenus.end();
}

void CAltMenu::SetIconSize(int cx, int cy)
{
    s_nIconX = cx;
    s_nIconY = cy;
}

// --- construction and destruction ------------------------------------------

CAltMenu::CAltMenu() = default;

CAltMenu::~CAltMenu()
{
    DestroyMenu();
}

CAltMenuItemData* CAltMenu::GetItemRecord(int nIndex) const
{
    return nIndex >= 0 && nIndex < (int)m_items.size() ? m_items[(size_t)nIndex] : nullptr;
}

BOOL CAltMenu::DestroyMenu()
{
    auto forget = [](HMENU h) {
        s_allSubMenus.erase(std::remove(s_allSubMenus.begin(), s_allSubMenus.end(), h), s_allSubMenus.end());
    };
    forget(m_hMenu);
    for (HMENU hSub : m_subMenus)
        forget(hSub);
    // Popup items come out first, so that destroying this menu frees no sub-menu: ours
    // are deleted below, once; one a caller's object holds stays the caller's.
    if (m_hMenu != nullptr) {
        for (int i = ::GetMenuItemCount(m_hMenu); i-- > 0;) {
            HMENU hSub = ::GetSubMenu(m_hMenu, i);
            if (hSub == nullptr)
                continue;
            ::RemoveMenu(m_hMenu, (UINT)i, MF_BYPOSITION);
            const bool bOwned = std::any_of(m_ownedSubMenus.begin(), m_ownedSubMenus.end(),
                [&](CAltMenu* p) { return p->m_hMenu == hSub; });
            if (!bOwned && CMenu::FromHandlePermanent(hSub) == nullptr)
                ::DestroyMenu(hSub); // a plain popup belongs to its menu, as in Windows
        }
    }
    std::vector<CAltMenu*> owned;
    owned.swap(m_ownedSubMenus);
    for (auto it = owned.rbegin(); it != owned.rend(); ++it)
        delete *it;
    m_subMenus.clear();
    std::vector<CAltMenuItemData*> items;
    items.swap(m_items);
    for (CAltMenuItemData* pData : items)
        delete pData;
    if (!m_bCheckMarksShared)
        delete m_pCheckMarks;
    m_pCheckMarks = nullptr;
    m_bCheckMarksShared = FALSE;
    m_bLoadedMenu = FALSE;
    return CMenu::DestroyMenu();
}

// --- adding items -----------------------------------------------------------

BOOL CAltMenu::AddItem(int nPosition, UINT nFlags, LPCWSTR lpszText, UINT_PTR nID, int nToolBarID,
    CImageList* pImageList, int nIndex)
{
    if (m_hMenu == nullptr)
        return FALSE;
    if (nID == 0)
        nFlags = MF_SEPARATOR | MF_OWNERDRAW | (nFlags & MF_BYPOSITION);
    else
        nFlags |= MF_OWNERDRAW;
    auto* pData = new CAltMenuItemData;
    pData->SetWideText(lpszText);
    pData->m_nFlags = nFlags;
    pData->m_nID = nID;
    if (nID != 0 && !(nFlags & MF_POPUP)) {
        if (pImageList != nullptr) {
            pData->m_nImageIndex = AddSharedImage(pImageList, nIndex, nID);
        } else if (nToolBarID > 0) {
            pData->m_nImageIndex = AddToolBarImage((UINT)nToolBarID, nID);
        } else {
            auto it = std::find(s_imageIDs.begin(), s_imageIDs.end(), (UINT)nID);
            pData->m_nImageIndex = it != s_imageIDs.end() ? (int)(it - s_imageIDs.begin()) : -1;
        }
    }
    // Where the record goes among the others, in menu order.
    size_t nRecord = m_items.size();
    if (nPosition >= 0) {
        if (nFlags & MF_BYPOSITION) {
            nRecord = std::min((size_t)nPosition, m_items.size());
        } else {
            auto it = std::find_if(m_items.begin(), m_items.end(),
                [&](CAltMenuItemData* p) { return p->m_nID == (UINT_PTR)nPosition; });
            nRecord = (size_t)(it - m_items.begin());
        }
    }
    const BOOL bAdded = nPosition < 0 ? ::AppendMenuW(m_hMenu, nFlags, nID, (LPCWSTR)pData)
                                      : ::InsertMenuW(m_hMenu, (UINT)nPosition, nFlags, nID, (LPCWSTR)pData);
    if (!bAdded) {
        delete pData;
        return FALSE;
    }
    m_items.insert(m_items.begin() + (std::ptrdiff_t)nRecord, pData);
    if (nFlags & MF_POPUP) {
        s_allSubMenus.push_back((HMENU)nID);
        m_subMenus.push_back((HMENU)nID);
    }
    if (m_bLoadedMenu)
        FixLoadedMenuPopups();
    return TRUE;
}

void CAltMenu::FixLoadedMenuPopups()
{
    const int nCount = ::GetMenuItemCount(m_hMenu);
    int nOffset = 0;
    bool bFound = false;
    for (int nPos = 0; nPos < nCount && !bFound; ++nPos) {
        wchar_t szText[256] = L"";
        if (::GetMenuStringW(m_hMenu, (UINT)nPos, szText, 256, MF_BYPOSITION) <= 0)
            continue;
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (m_items[i]->m_strText == szText) {
                nOffset = nPos - (int)i;
                bFound = true;
                break;
            }
        }
    }
    for (int nPos = std::max(nOffset, 0); nPos < nCount; ++nPos) {
        HMENU hSub = ::GetSubMenu(m_hMenu, nPos);
        const int nRecord = nPos - nOffset;
        if (hSub == nullptr || nRecord < 0 || nRecord >= (int)m_items.size())
            continue;
        CAltMenuItemData* pData = m_items[(size_t)nRecord];
        pData->m_nFlags = kLoadedPopupFlags;
        ::ModifyMenuW(m_hMenu, (UINT)nPos, kLoadedPopupFlags, (UINT_PTR)hSub, pData->GetWideText());
    }
}

BOOL CAltMenu::AppendItem(LPCWSTR lpszText, UINT nFlags, UINT_PTR nID, int nToolBarID)
{
    return AddItem(-1, nFlags, lpszText, nID, nToolBarID, nullptr, -1);
}
BOOL CAltMenu::AppendItem(LPCSTR lpszText, UINT nFlags, UINT_PTR nID, int nToolBarID)
{
    return AppendItem(CWide(lpszText), nFlags, nID, nToolBarID);
}
BOOL CAltMenu::AppendItemFromImageList(
    LPCWSTR lpszText, UINT nFlags, UINT_PTR nID, CImageList* pImageList, int nIndex)
{
    return AddItem(-1, nFlags, lpszText, nID, -1, pImageList, nIndex);
}
BOOL CAltMenu::AppendItemFromImageList(
    LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CImageList* pImageList, int nIndex)
{
    return AppendItemFromImageList(CWide(lpszText), nFlags, nID, pImageList, nIndex);
}
BOOL CAltMenu::InsertItem(UINT nPosition, LPCWSTR lpszText, UINT nFlags, UINT_PTR nID, int nToolBarID)
{
    return AddItem((int)nPosition, nFlags, lpszText, nID, nToolBarID, nullptr, -1);
}
BOOL CAltMenu::InsertItem(UINT nPosition, LPCSTR lpszText, UINT nFlags, UINT_PTR nID, int nToolBarID)
{
    return InsertItem(nPosition, CWide(lpszText), nFlags, nID, nToolBarID);
}
BOOL CAltMenu::InsertItemFromImageList(
    UINT nPosition, LPCWSTR lpszText, UINT nFlags, UINT_PTR nID, CImageList* pImageList, int nIndex)
{
    return AddItem((int)nPosition, nFlags, lpszText, nID, -1, pImageList, nIndex);
}
BOOL CAltMenu::InsertItemFromImageList(
    UINT nPosition, LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CImageList* pImageList, int nIndex)
{
    return InsertItemFromImageList(nPosition, CWide(lpszText), nFlags, nID, pImageList, nIndex);
}

namespace {
// A bitmap as an icon-sized image list, masked with a COLOR_BTNFACE-based colour.
bool BitmapToList(CBitmap* pBitmap, CImageList& list)
{
    if (pBitmap == nullptr || pBitmap->m_hObject == nullptr)
        return false;
    list.Create(CAltMenu::s_nIconX, CAltMenu::s_nIconY, kImageListFlags, 1, 1);
    return AddBitmapCopyMasked(list.m_hImageList, (HBITMAP)pBitmap->m_hObject, ::GetSysColor(COLOR_BTNFACE))
        >= 0;
}
} // namespace

BOOL CAltMenu::AppendItemFromBitmap(LPCWSTR lpszText, UINT nFlags, UINT_PTR nID, CBitmap* pBitmap)
{
    CImageList list;
    if (!BitmapToList(pBitmap, list))
        return FALSE;
    return AppendItemFromImageList(lpszText, nFlags, nID, &list, 0);
}
BOOL CAltMenu::AppendItemFromBitmap(LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CBitmap* pBitmap)
{
    return AppendItemFromBitmap(CWide(lpszText), nFlags, nID, pBitmap);
}
BOOL CAltMenu::InsertItemFromBitmap(
    UINT nPosition, LPCWSTR lpszText, UINT nFlags, UINT_PTR nID, CBitmap* pBitmap)
{
    CImageList list;
    if (!BitmapToList(pBitmap, list))
        return FALSE;
    return InsertItemFromImageList(nPosition, lpszText, nFlags, nID, &list, 0);
}
BOOL CAltMenu::InsertItemFromBitmap(
    UINT nPosition, LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CBitmap* pBitmap)
{
    return InsertItemFromBitmap(nPosition, CWide(lpszText), nFlags, nID, pBitmap);
}

CAltMenu* CAltMenu::AppendPopup(LPCWSTR lpszText)
{
    auto* pSub = new CAltMenu;
    if (!pSub->CreatePopupMenu()) {
        delete pSub;
        return nullptr;
    }
    pSub->m_pCheckMarks = m_pCheckMarks;
    pSub->m_bCheckMarksShared = TRUE;
    pSub->m_nCheckMarkIDs[0] = m_nCheckMarkIDs[0];
    pSub->m_nCheckMarkIDs[1] = m_nCheckMarkIDs[1];
    m_ownedSubMenus.push_back(pSub);
    if (!AddItem(-1, MF_POPUP, lpszText, (UINT_PTR)pSub->m_hMenu, -1, nullptr, -1)) {
        m_ownedSubMenus.pop_back();
        delete pSub;
        return nullptr;
    }
    return pSub;
}
CAltMenu* CAltMenu::AppendPopup(LPCSTR lpszText)
{
    return AppendPopup(CWide(lpszText));
}

// --- finding ----------------------------------------------------------------

CAltMenuItemData* CAltMenu::FindRecord(UINT_PTR nID) const
{
    for (CAltMenuItemData* pData : m_items)
        if (pData->m_nID == nID)
            return pData;
    return nullptr;
}

CAltMenu* CAltMenu::FindHolder(UINT_PTR nID, int& nPos)
{
    const int nCount = ::GetMenuItemCount(m_hMenu);
    for (int i = 0; i < nCount; ++i) {
        HMENU hSub = ::GetSubMenu(m_hMenu, i);
        if ((hSub != nullptr && (UINT_PTR)hSub == nID)
            || (hSub == nullptr && (UINT_PTR)::GetMenuItemID(m_hMenu, i) == nID)) {
            nPos = i;
            return this;
        }
    }
    for (int i = 0; i < nCount; ++i)
        if (CAltMenu* pSub = GetSubAltMenu(i))
            if (CAltMenu* pFound = pSub->FindHolder(nID, nPos))
                return pFound;
    return nullptr;
}

namespace {
// The text of a position: the record's for our owner-drawn items, else the menu's string.
std::wstring TextAt(HMENU hMenu, int nPos)
{
    ULONG_PTR data = ItemDataAt(hMenu, nPos);
    if (CAltMenuItemData::IsLiveRecord(data))
        return reinterpret_cast<CAltMenuItemData*>(data)->m_strText;
    wchar_t szText[256] = L"";
    ::GetMenuStringW(hMenu, (UINT)nPos, szText, 256, MF_BYPOSITION);
    return szText;
}
} // namespace

CAltMenu* CAltMenu::FindHolderByText(LPCWSTR lpszText, int& nPos)
{
    if (lpszText == nullptr || m_hMenu == nullptr)
        return nullptr;
    const int nCount = ::GetMenuItemCount(m_hMenu);
    for (int i = 0; i < nCount; ++i) {
        if (TextAt(m_hMenu, i) == lpszText) {
            nPos = i;
            return this;
        }
    }
    for (int i = 0; i < nCount; ++i)
        if (CAltMenu* pSub = GetSubAltMenu(i))
            if (CAltMenu* pFound = pSub->FindHolderByText(lpszText, nPos))
                return pFound;
    return nullptr;
}

CAltMenu* CAltMenu::GetSubAltMenu(int nPosition)
{
    HMENU hSub = m_hMenu != nullptr ? ::GetSubMenu(m_hMenu, nPosition) : nullptr;
    CMenu* pMenu = CMenu::FromHandlePermanent(hSub);
    return DYNAMIC_DOWNCAST(CAltMenu, pMenu);
}

CAltMenu* CAltMenu::GetSubMenuByText(LPCWSTR lpszText)
{
    int nPos = -1;
    CAltMenu* pHolder = FindHolderByText(lpszText, nPos);
    return pHolder != nullptr ? pHolder->GetSubAltMenu(nPos) : nullptr;
}
CAltMenu* CAltMenu::GetSubMenuByText(LPCSTR lpszText)
{
    return GetSubMenuByText(CWide(lpszText));
}

int CAltMenu::GetMenuPosition(LPCWSTR lpszText)
{
    if (lpszText == nullptr || m_hMenu == nullptr)
        return -1;
    const int nCount = ::GetMenuItemCount(m_hMenu);
    for (int i = 0; i < nCount; ++i)
        if (TextAt(m_hMenu, i) == lpszText)
            return i;
    return -1;
}
int CAltMenu::GetMenuPosition(LPCSTR lpszText)
{
    return GetMenuPosition(CWide(lpszText));
}

// --- changing items -------------------------------------------------------------

namespace {
// Every CAltMenu of the tree, this one first.
void CollectTree(CAltMenu* pMenu, std::vector<CAltMenu*>& menus)
{
    menus.push_back(pMenu);
    const int nCount = pMenu->m_hMenu != nullptr ? ::GetMenuItemCount(pMenu->m_hMenu) : 0;
    for (int i = 0; i < nCount; ++i)
        if (CAltMenu* pSub = pMenu->GetSubAltMenu(i))
            CollectTree(pSub, menus);
}
} // namespace

BOOL CAltMenu::ModifyItem(LPCWSTR lpszText, UINT_PTR nID, int nToolBarID)
{
    const int nImage = nToolBarID > 0 ? AddToolBarImage((UINT)nToolBarID, nID) : -2;
    std::vector<CAltMenu*> menus;
    CollectTree(this, menus);
    BOOL bFound = FALSE;
    for (CAltMenu* pMenu : menus) {
        for (CAltMenuItemData* pData : pMenu->m_items) {
            if (pData->m_nID != nID)
                continue;
            if (lpszText != nullptr)
                pData->SetWideText(lpszText);
            if (nImage != -2)
                pData->m_nImageIndex = nImage;
            bFound = TRUE;
        }
    }
    if (bFound)
        return TRUE;
    // No record yet: the item with that id becomes owner-drawn with a new one, in the menu that holds it.
    int nPos = -1;
    CAltMenu* pHolder = FindHolder(nID, nPos);
    if (pHolder == nullptr || ::GetSubMenu(pHolder->m_hMenu, nPos) != nullptr)
        return FALSE;
    auto* pData = new CAltMenuItemData;
    if (lpszText != nullptr) {
        pData->SetWideText(lpszText);
    } else {
        pData->m_strText = TextAt(pHolder->m_hMenu, nPos);
    }
    const UINT nState = ::GetMenuState(pHolder->m_hMenu, (UINT)nPos, MF_BYPOSITION)
        & (MF_CHECKED | MF_GRAYED | MF_DISABLED);
    pData->m_nFlags = nState | MF_OWNERDRAW;
    pData->m_nID = nID;
    auto it = std::find(s_imageIDs.begin(), s_imageIDs.end(), (UINT)nID);
    pData->m_nImageIndex
        = nImage >= -1 ? nImage : (it != s_imageIDs.end() ? (int)(it - s_imageIDs.begin()) : -1);
    if (!::ModifyMenuW(pHolder->m_hMenu, (UINT)nPos, MF_BYPOSITION | pData->m_nFlags, nID, (LPCWSTR)pData)) {
        delete pData;
        return FALSE;
    }
    pHolder->m_items.insert(
        pHolder->m_items.begin() + std::min((size_t)nPos, pHolder->m_items.size()), pData);
    return TRUE;
}
BOOL CAltMenu::ModifyItem(LPCSTR lpszText, UINT_PTR nID, int nToolBarID)
{
    return ModifyItem(CWide(lpszText), nID, nToolBarID);
}

BOOL CAltMenu::ModifyItemFromImageList(LPCWSTR lpszText, UINT_PTR nID, CImageList* pImageList, int nIndex)
{
    const int nImage = AddSharedImage(pImageList, nIndex, nID);
    if (!ModifyItem(lpszText, nID, -1))
        return FALSE;
    std::vector<CAltMenu*> menus;
    CollectTree(this, menus);
    for (CAltMenu* pMenu : menus)
        for (CAltMenuItemData* pData : pMenu->m_items)
            if (pData->m_nID == nID)
                pData->m_nImageIndex = nImage;
    return TRUE;
}
BOOL CAltMenu::ModifyItemFromImageList(LPCSTR lpszText, UINT_PTR nID, CImageList* pImageList, int nIndex)
{
    return ModifyItemFromImageList(CWide(lpszText), nID, pImageList, nIndex);
}
BOOL CAltMenu::ModifyItemFromBitmap(LPCWSTR lpszText, UINT_PTR nID, CBitmap* pBitmap)
{
    CImageList list;
    if (!BitmapToList(pBitmap, list))
        return FALSE;
    return ModifyItemFromImageList(lpszText, nID, &list, 0);
}
BOOL CAltMenu::ModifyItemFromBitmap(LPCSTR lpszText, UINT_PTR nID, CBitmap* pBitmap)
{
    return ModifyItemFromBitmap(CWide(lpszText), nID, pBitmap);
}

BOOL CAltMenu::ModifyItemWithColor(
    LPCWSTR lpszText, UINT_PTR nID, COLORREF clrFill, COLORREF clrBorder, int nHatchStyle, const CSize* pSize)
{
    const int cx = s_nIconX;
    const int cy = s_nIconY;
    const CSize size = pSize != nullptr ? CSize(std::min((int)pSize->cx, cx), std::min((int)pSize->cy, cy))
                                        : CSize(cx, cy);
    CClientDC dcScreen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&dcScreen);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dcScreen, cx, cy);
    {
        CSelectGuard guard(&dc, &bmp);
        dc.FillSolidRect(0, 0, cx, cy, ::GetSysColor(COLOR_MENU));
        CPen pen(PS_SOLID, 1, clrBorder);
        CBrush brush;
        if (nHatchStyle < 0)
            brush.CreateSolidBrush(clrFill);
        else
            brush.CreateHatchBrush(nHatchStyle, clrFill);
        CSelectGuard penGuard(&dc, &pen);
        CSelectGuard brushGuard(&dc, &brush);
        const int x = (cx - size.cx) / 2;
        const int y = (cy - size.cy) / 2;
        dc.Rectangle(x, y, x + size.cx, y + size.cy);
    }
    CImageList list;
    list.Create(cx, cy, kImageListFlags, 1, 1);
    list.Add(&bmp, (CBitmap*)nullptr); // opaque: the swatch sits on the menu colour
    return ModifyItemFromImageList(lpszText, nID, &list, 0);
}
BOOL CAltMenu::ModifyItemWithColor(
    LPCSTR lpszText, UINT_PTR nID, COLORREF clrFill, COLORREF clrBorder, int nHatchStyle, const CSize* pSize)
{
    return ModifyItemWithColor(CWide(lpszText), nID, clrFill, clrBorder, nHatchStyle, pSize);
}

BOOL CAltMenu::ModifyItemByText(LPCWSTR lpszOldText, LPCWSTR lpszNewText, int nIDBitmap)
{
    int nPos = -1;
    CAltMenu* pHolder = FindHolderByText(lpszOldText, nPos);
    if (pHolder == nullptr)
        return FALSE;
    ULONG_PTR data = ItemDataAt(pHolder->m_hMenu, nPos);
    if (!CAltMenuItemData::IsLiveRecord(data))
        return FALSE;
    auto* pData = reinterpret_cast<CAltMenuItemData*>(data);
    if (lpszNewText != nullptr)
        pData->SetWideText(lpszNewText);
    if (nIDBitmap > 0) {
        delete pData->m_pImageList;
        pData->m_pImageList = new CImageList;
        if (LoadBitmapToImageList(*pData->m_pImageList, (UINT)nIDBitmap)) {
            pData->m_nOwnImageIndex = 0;
            pData->m_nOwnImageResource = nIDBitmap;
        } else {
            delete pData->m_pImageList;
            pData->m_pImageList = nullptr;
            pData->m_nOwnImageIndex = -1;
            pData->m_nOwnImageResource = -1;
        }
    }
    return TRUE;
}
BOOL CAltMenu::ModifyItemByText(LPCSTR lpszOldText, LPCSTR lpszNewText, int nIDBitmap)
{
    return ModifyItemByText(CWide(lpszOldText), CWide(lpszNewText), nIDBitmap);
}

BOOL CAltMenu::ModifyItemByTextFromToolbar(LPCWSTR lpszText, UINT nToolBarID, UINT_PTR nID)
{
    CToolBarResource res;
    if (!res.Load(nullptr, MAKEINTRESOURCEA(nToolBarID)))
        return FALSE;
    int nPos = -1;
    CAltMenu* pHolder = FindHolderByText(lpszText, nPos);
    ULONG_PTR data = pHolder != nullptr ? ItemDataAt(pHolder->m_hMenu, nPos) : 0;
    const int nButton = ButtonImage(res, nID);
    if (!CAltMenuItemData::IsLiveRecord(data) || nButton < 0)
        return FALSE;
    CImageList strip;
    if (!LoadBitmapToImageList(strip, nToolBarID))
        return FALSE;
    auto* pData = reinterpret_cast<CAltMenuItemData*>(data);
    auto* pList = new CImageList;
    pList->Create(s_nIconX, s_nIconY, kImageListFlags, 1, 1);
    HICON hIcon
        = ImageList_GetIcon(strip.m_hImageList, LoadedIndex(strip, CountButtons(res), nButton), ILD_NORMAL);
    pList->Add(hIcon);
    ::DestroyIcon(hIcon);
    delete pData->m_pImageList;
    pData->m_pImageList = pList;
    pData->m_nOwnImageIndex = 0;
    pData->m_nOwnImageResource = (int)nToolBarID;
    return TRUE;
}
BOOL CAltMenu::ModifyItemByTextFromToolbar(LPCSTR lpszText, UINT nToolBarID, UINT_PTR nID)
{
    return ModifyItemByTextFromToolbar(CWide(lpszText), nToolBarID, nID);
}

BOOL CAltMenu::SetMenuText(UINT nItem, LPCWSTR lpszText, UINT nFlags)
{
    CAltMenu* pHolder = this;
    int nPos = (int)nItem;
    if (!(nFlags & MF_BYPOSITION))
        pHolder = FindHolder(nItem, nPos);
    if (pHolder == nullptr || lpszText == nullptr)
        return FALSE;
    ULONG_PTR data = ItemDataAt(pHolder->m_hMenu, nPos);
    if (CAltMenuItemData::IsLiveRecord(data)) {
        reinterpret_cast<CAltMenuItemData*>(data)->SetWideText(lpszText);
        return TRUE;
    }
    MENUITEMINFOW mii {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = const_cast<LPWSTR>(lpszText);
    return ::SetMenuItemInfoW(pHolder->m_hMenu, (UINT)nPos, TRUE, &mii);
}
BOOL CAltMenu::SetMenuText(UINT nItem, LPCSTR lpszText, UINT nFlags)
{
    return SetMenuText(nItem, CWide(lpszText), nFlags);
}

BOOL CAltMenu::GetMenuText(UINT nItem, CString& rText, UINT nFlags) const
{
    CAltMenu* pHolder = const_cast<CAltMenu*>(this);
    int nPos = (int)nItem;
    if (!(nFlags & MF_BYPOSITION))
        pHolder = pHolder->FindHolder(nItem, nPos);
    if (pHolder == nullptr || nPos < 0 || nPos >= ::GetMenuItemCount(pHolder->m_hMenu))
        return FALSE;
    CAltMenuItemData record;
    record.SetWideText(TextAt(pHolder->m_hMenu, nPos).c_str());
    rText = record.GetString();
    return TRUE;
}

// --- removing items -------------------------------------------------------------

void CAltMenu::DropSubMenu(HMENU hSub)
{
    m_subMenus.erase(std::remove(m_subMenus.begin(), m_subMenus.end(), hSub), m_subMenus.end());
    s_allSubMenus.erase(std::remove(s_allSubMenus.begin(), s_allSubMenus.end(), hSub), s_allSubMenus.end());
}

BOOL CAltMenu::RemoveOrDelete(UINT nPosition, UINT nFlags, BOOL bDelete)
{
    if (!(nFlags & MF_BYPOSITION)) {
        int nPos = -1;
        CAltMenu* pHolder = FindHolder(nPosition, nPos);
        if (pHolder == nullptr)
            return bDelete ? CMenu::DeleteMenu(nPosition, nFlags) : CMenu::RemoveMenu(nPosition, nFlags);
        return pHolder->RemoveOrDelete((UINT)nPos, MF_BYPOSITION, bDelete);
    }
    const ULONG_PTR data = ItemDataAt(m_hMenu, (int)nPosition);
    auto dropRecord = [&] {
        auto it = std::find(m_items.begin(), m_items.end(), reinterpret_cast<CAltMenuItemData*>(data));
        if (data != 0 && it != m_items.end()) {
            delete *it;
            m_items.erase(it);
        }
    };
    if (HMENU hSub = ::GetSubMenu(m_hMenu, (int)nPosition)) {
        CAltMenu* pSub = GetSubAltMenu((int)nPosition);
        auto owned = std::find(m_ownedSubMenus.begin(), m_ownedSubMenus.end(), pSub);
        const bool bOwned = pSub != nullptr && owned != m_ownedSubMenus.end();
        // Only a sub-menu of ours is emptied: a caller's keeps its items.
        if (bOwned)
            for (int i = ::GetMenuItemCount(hSub); i-- > 0;)
                pSub->RemoveOrDelete((UINT)i, MF_BYPOSITION, bDelete);
        DropSubMenu(hSub);
        // A popup's record carries no image; a loaded menu's string popup has no data: by handle.
        auto it = std::find_if(
            m_items.begin(), m_items.end(), [&](CAltMenuItemData* p) { return p->m_nID == (UINT_PTR)hSub; });
        if (it != m_items.end()) {
            delete *it;
            m_items.erase(it);
        }
        if (bOwned) {
            const BOOL bResult = CMenu::RemoveMenu(nPosition, MF_BYPOSITION);
            m_ownedSubMenus.erase(owned);
            delete pSub; // destroys its menu, once
            return bResult;
        }
        // A sub-menu a caller's object holds is left to that object.
        if (CMenu::FromHandlePermanent(hSub) != nullptr)
            return CMenu::RemoveMenu(nPosition, MF_BYPOSITION);
        return bDelete ? CMenu::DeleteMenu(nPosition, MF_BYPOSITION)
                       : CMenu::RemoveMenu(nPosition, MF_BYPOSITION);
    }
    dropRecord();
    return bDelete ? CMenu::DeleteMenu(nPosition, MF_BYPOSITION)
                   : CMenu::RemoveMenu(nPosition, MF_BYPOSITION);
}

BOOL CAltMenu::RemoveMenu(UINT nPosition, UINT nFlags)
{
    return RemoveOrDelete(nPosition, nFlags, FALSE);
}
BOOL CAltMenu::DeleteMenu(UINT nPosition, UINT nFlags)
{
    return RemoveOrDelete(nPosition, nFlags, TRUE);
}

BOOL CAltMenu::RemoveByText(LPCWSTR lpszText, int nSeparators, BOOL bDelete)
{
    int nPos = -1;
    CAltMenu* pHolder = FindHolderByText(lpszText, nPos);
    if (pHolder == nullptr)
        return FALSE;
    auto isSeparator = [&](int n) {
        const UINT nState = ::GetMenuState(pHolder->m_hMenu, (UINT)n, MF_BYPOSITION);
        return n >= 0 && nState != 0xFFFFFFFF && (nState & MF_SEPARATOR);
    };
    if ((nSeparators & 1) && isSeparator(nPos + 1))
        pHolder->RemoveOrDelete((UINT)nPos + 1, MF_BYPOSITION, bDelete);
    const BOOL bResult = pHolder->RemoveOrDelete((UINT)nPos, MF_BYPOSITION, bDelete);
    if ((nSeparators & 2) && isSeparator(nPos - 1))
        pHolder->RemoveOrDelete((UINT)nPos - 1, MF_BYPOSITION, bDelete);
    return bResult;
}

BOOL CAltMenu::RemoveMenuByText(LPCWSTR lpszText, int nSeparators)
{
    return RemoveByText(lpszText, nSeparators, FALSE);
}
BOOL CAltMenu::RemoveMenuByText(LPCSTR lpszText, int nSeparators)
{
    return RemoveByText(CWide(lpszText), nSeparators, FALSE);
}
BOOL CAltMenu::DeleteMenuByText(LPCWSTR lpszText, int nSeparators)
{
    return RemoveByText(lpszText, nSeparators, TRUE);
}
BOOL CAltMenu::DeleteMenuByText(LPCSTR lpszText, int nSeparators)
{
    return RemoveByText(CWide(lpszText), nSeparators, TRUE);
}

// --- keyboard and resynchronising ---------------------------------------------

LRESULT CAltMenu::FindKeyboardShortcut(UINT nChar, UINT nFlags, CMenu* pMenu)
{
    CAltMenu* pAlt = DYNAMIC_DOWNCAST(CAltMenu, pMenu);
    if (!(nFlags & MF_POPUP) || pAlt == nullptr || pAlt->m_hMenu == nullptr)
        return 0;
    if (::GetMenuItemCount(pAlt->m_hMenu) != (int)pAlt->m_items.size())
        pAlt->SynchronizeMenu();
    std::wstring strKey = L"&";
    strKey += (wchar_t)std::towlower((wint_t)nChar);
    for (size_t i = 0; i < pAlt->m_items.size(); ++i)
        if (Lower(pAlt->m_items[i]->m_strText).find(strKey) != std::wstring::npos)
            return (LRESULT)MAKELONG(i, MNC_EXECUTE);
    return 0;
}

void CAltMenu::UpdateMenu(CMenu* pMenu)
{
    if (CAltMenu* pAlt = DYNAMIC_DOWNCAST(CAltMenu, pMenu))
        pAlt->SynchronizeMenu();
}

void CAltMenu::SynchronizeMenu()
{
    if (m_hMenu == nullptr)
        return;
    for (CAltMenuItemData* pData : m_items)
        pData->m_bSync = FALSE;
    std::vector<CAltMenuItemData*> newList;
    const int nCount = ::GetMenuItemCount(m_hMenu);
    for (int nPos = 0; nPos < nCount; ++nPos) {
        const ULONG_PTR data = ItemDataAt(m_hMenu, nPos);
        auto mine = std::find(m_items.begin(), m_items.end(), reinterpret_cast<CAltMenuItemData*>(data));
        HMENU hSub = ::GetSubMenu(m_hMenu, nPos);
        if (data != 0 && mine != m_items.end() && !(*mine)->m_bSync) {
            (*mine)->m_bSync = TRUE;
            newList.push_back(*mine);
            continue;
        }
        if (hSub != nullptr) {
            auto popup = std::find_if(m_items.begin(), m_items.end(),
                [&](CAltMenuItemData* p) { return !p->m_bSync && p->m_nID == (UINT_PTR)hSub; });
            if (popup != m_items.end()) {
                (*popup)->m_bSync = TRUE;
                newList.push_back(*popup);
                continue;
            }
        }
        // An item added by plain menu calls becomes owner-drawn with its text.
        auto* pData = new CAltMenuItemData;
        pData->m_bSync = TRUE;
        pData->m_strText = TextAt(m_hMenu, nPos);
        UINT nState = ::GetMenuState(m_hMenu, (UINT)nPos, MF_BYPOSITION);
        nState = hSub != nullptr ? ((nState & 0xFF) | MF_POPUP) : nState;
        pData->m_nFlags
            = (nState & (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_POPUP | MF_SEPARATOR)) | MF_OWNERDRAW;
        pData->m_nID = hSub != nullptr ? (UINT_PTR)hSub : (UINT_PTR)::GetMenuItemID(m_hMenu, nPos);
        ::ModifyMenuW(m_hMenu, (UINT)nPos, MF_BYPOSITION | pData->m_nFlags, pData->m_nID, (LPCWSTR)pData);
        newList.push_back(pData);
    }
    for (CAltMenuItemData* pData : m_items)
        if (!pData->m_bSync)
            delete pData;
    m_items.swap(newList);
}

// --- images -------------------------------------------------------------------

int CAltMenu::AddSharedImage(CImageList* pList, int nIndex, UINT_PTR nID)
{
    if (pList == nullptr || pList->m_hImageList == nullptr || nIndex < 0 || nIndex >= pList->GetImageCount())
        return -1;
    if (s_pSharedImages == nullptr) {
        s_pSharedImages = new CImageList;
        s_pSharedImages->Create(s_nIconX, s_nIconY, kImageListFlags, 1, 1);
    }
    HICON hIcon = ImageList_GetIcon(pList->m_hImageList, nIndex, ILD_NORMAL);
    if (hIcon == nullptr)
        return -1;
    const BOOL bEffects = UseXPLook() && s_bXPEffects;
    HIMAGELIST hShared = s_pSharedImages->m_hImageList;
    int nImage;
    auto it = std::find(s_imageIDs.begin(), s_imageIDs.end(), (UINT)nID);
    if (it != s_imageIDs.end()) {
        nImage = (int)(it - s_imageIDs.begin());
        ImageList_ReplaceIcon(hShared, nImage, hIcon);
        const bool bDerived = (size_t)nImage + 3 < s_imageIDs.size() && s_imageIDs[(size_t)nImage + 1] == nID
            && s_imageIDs[(size_t)nImage + 2] == nID;
        if (bDerived && bEffects)
            for (int k = 0; k < 3; ++k)
                AddDerivedImage(hShared, hIcon, kDerivedEffects[k], nImage + 1 + k);
    } else {
        nImage = ImageList_AddIcon(hShared, hIcon);
        if (nImage >= 0) {
            s_imageIDs.push_back((UINT)nID);
            if (bEffects) {
                for (auto pfn : kDerivedEffects) {
                    AddDerivedImage(hShared, hIcon, pfn, -1);
                    s_imageIDs.push_back((UINT)nID);
                }
            }
        }
    }
    ::DestroyIcon(hIcon);
    return nImage;
}

BOOL CAltMenu::LoadBitmapToImageList(CImageList& list, UINT nIDBitmap)
{
    LPCSTR lpszName = MAKEINTRESOURCEA(nIDBitmap);
    HINSTANCE hInst = AfxFindResourceHandle(lpszName, RT_BITMAP);
    HRSRC hRsrc = ::FindResourceA(hInst, lpszName, RT_BITMAP);
    if (hRsrc == nullptr) {
        hInst = ::GetModuleHandleA(nullptr);
        hRsrc = ::FindResourceA(hInst, lpszName, RT_BITMAP);
    }
    HGLOBAL hGlobal = hRsrc != nullptr ? ::LoadResource(hInst, hRsrc) : nullptr;
    const void* pData = hGlobal != nullptr ? ::LockResource(hGlobal) : nullptr;
    if (pData == nullptr || ::SizeofResource(hInst, hRsrc) < sizeof(BITMAPINFOHEADER))
        return FALSE;
    BITMAPINFOHEADER header;
    memcpy(&header, pData, sizeof(header));
    CBitmap bmp;
    if (GetBitmapColourCount(header) == 16) {
        bmp.Attach(AfxLoadSysColorBitmap(hInst, hRsrc));
    } else {
        bmp.Attach(::LoadBitmapA(hInst, lpszName));
        if (bmp.m_hObject != nullptr)
            AltNormaliseBackground(bmp);
    }
    if (bmp.m_hObject == nullptr)
        return FALSE;
    if (list.m_hImageList == nullptr && !list.Create(s_nIconX, s_nIconY, kImageListFlags, 1, 1))
        return FALSE;
    const COLORREF clrMask = m_bBitmapBackSet ? m_clrBitmapBack : ::GetSysColor(COLOR_BTNFACE);
    const int nFirst = list.GetImageCount();
    if (list.Add(&bmp, clrMask) < 0)
        return FALSE;
    if (UseXPLook() && s_bXPEffects) {
        // The three derived images of the first image follow it.
        const int nCount = list.GetImageCount();
        std::vector<HICON> icons;
        for (int i = nFirst; i < nCount; ++i)
            icons.push_back(ImageList_GetIcon(list.m_hImageList, i, ILD_NORMAL));
        ImageList_SetImageCount(list.m_hImageList, (UINT)nFirst);
        for (size_t i = 0; i < icons.size(); ++i) {
            ImageList_AddIcon(list.m_hImageList, icons[i]);
            if (i == 0)
                for (auto pfn : kDerivedEffects)
                    AddDerivedImage(list.m_hImageList, icons[0], pfn, -1);
        }
        for (HICON hIcon : icons)
            ::DestroyIcon(hIcon);
    }
    return TRUE;
}

int CAltMenu::AddToolBarImage(UINT nToolBarID, UINT_PTR nID)
{
    CToolBarResource res;
    if (!res.Load(nullptr, MAKEINTRESOURCEA(nToolBarID)))
        return -1;
    const int nButton = ButtonImage(res, nID);
    CImageList strip;
    if (nButton < 0 || !LoadBitmapToImageList(strip, nToolBarID))
        return -1;
    return AddSharedImage(&strip, LoadedIndex(strip, CountButtons(res), nButton), nID);
}

BOOL CAltMenu::LoadToolbar(UINT nToolBarID)
{
    CToolBarResource res;
    CImageList strip;
    if (!res.Load(nullptr, MAKEINTRESOURCEA(nToolBarID)) || !LoadBitmapToImageList(strip, nToolBarID))
        return FALSE;
    const int nButtons = CountButtons(res);
    int nImage = 0;
    for (UINT id : res.m_ids) {
        if (id == 0)
            continue;
        int nPos = -1;
        if (FindHolder(id, nPos) != nullptr)
            ModifyItemFromImageList((LPCWSTR) nullptr, id, &strip, LoadedIndex(strip, nButtons, nImage));
        ++nImage;
    }
    return TRUE;
}

BOOL CAltMenu::LoadToolbars(const UINT* pToolBarIDs, int nCount)
{
    if (pToolBarIDs == nullptr)
        return nCount <= 0; // nothing loaded: a success only when nothing was asked for
    BOOL bAll = TRUE;
    for (int i = 0; i < nCount; ++i)
        bAll = LoadToolbar(pToolBarIDs[i]) && bAll;
    return bAll;
}

BOOL CAltMenu::AddFromToolBar(CToolBar* pToolBar, int nIDBitmap)
{
    if (pToolBar == nullptr || pToolBar->m_hWnd == nullptr || nIDBitmap <= 0)
        return FALSE;
    CImageList strip;
    if (!LoadBitmapToImageList(strip, (UINT)nIDBitmap))
        return FALSE;
    const int nButtons = pToolBar->GetCount();
    for (int i = 0; i < nButtons; ++i) {
        UINT nID = 0, nStyle = 0;
        int nImage = -1;
        pToolBar->GetButtonInfo(i, nID, nStyle, nImage);
        int nPos = -1;
        CAltMenu* pHolder = nID != 0 && nImage >= 0 ? FindHolder(nID, nPos) : nullptr;
        ULONG_PTR data = pHolder != nullptr ? ItemDataAt(pHolder->m_hMenu, nPos) : 0;
        if (!CAltMenuItemData::IsLiveRecord(data))
            continue;
        HICON hIcon = ImageList_GetIcon(strip.m_hImageList, nImage, ILD_NORMAL);
        if (hIcon == nullptr)
            continue;
        auto* pData = reinterpret_cast<CAltMenuItemData*>(data);
        auto* pList = new CImageList;
        pList->Create(s_nIconX, s_nIconY, kImageListFlags, 1, 1);
        pList->Add(hIcon);
        ::DestroyIcon(hIcon);
        delete pData->m_pImageList;
        pData->m_pImageList = pList;
        pData->m_nOwnImageIndex = 0;
        pData->m_nOwnImageResource = nIDBitmap;
    }
    return TRUE;
}

BOOL CAltMenu::LoadCheckmarkBitmaps(int nUnselectedID, int nSelectedID)
{
    if (nUnselectedID < 1 || nSelectedID < 1)
        return FALSE;
    auto* pList = new CImageList;
    pList->Create(s_nIconX, s_nIconY, kImageListFlags, 2, 0);
    for (int nID : { nUnselectedID, nSelectedID }) {
        CImageList one;
        HICON hIcon = nullptr;
        if (LoadBitmapToImageList(one, (UINT)nID))
            hIcon = ImageList_GetIcon(one.m_hImageList, 0, ILD_NORMAL);
        if (hIcon == nullptr) {
            delete pList;
            return FALSE;
        }
        pList->Add(hIcon);
        ::DestroyIcon(hIcon);
    }
    if (!m_bCheckMarksShared)
        delete m_pCheckMarks;
    m_pCheckMarks = pList;
    m_bCheckMarksShared = FALSE;
    m_nCheckMarkIDs[0] = nUnselectedID;
    m_nCheckMarkIDs[1] = nSelectedID;
    return TRUE;
}

// --- loading a menu resource ------------------------------------------------------

BOOL CAltMenu::LoadMenu(UINT nIDResource)
{
    return LoadMenu(MAKEINTRESOURCEA(nIDResource));
}

namespace {
// Walks a standard menu template; with pRoot null it only checks the layout.
bool WalkMenuTemplate(const BYTE* pData, size_t nSize, CAltMenu* pRoot)
{
    auto readWord = [&](size_t& pos, WORD& w) {
        if (pos + 2 > nSize)
            return false;
        memcpy(&w, pData + pos, 2);
        pos += 2;
        return true;
    };
    size_t pos = 0;
    WORD wVersion = 0, wOffset = 0;
    if (!readWord(pos, wVersion) || !readWord(pos, wOffset))
        return false;
    pos += wOffset;
    struct CLevel {
        CAltMenu* pMenu;
        bool bParentEnds; // the popup item that opened this level was the last of its level
    };
    std::vector<CLevel> stack { { pRoot, false } };
    while (!stack.empty()) {
        WORD wFlags = 0, wID = 0;
        if (!readWord(pos, wFlags) || (!(wFlags & MF_POPUP) && !readWord(pos, wID)))
            return false;
        std::wstring strText;
        for (WORD ch = 1;;) {
            if (!readWord(pos, ch))
                return false;
            if (ch == 0)
                break;
            strText += (wchar_t)ch;
        }
        CAltMenu* pCurrent = stack.back().pMenu;
        if (wFlags & MF_POPUP) {
            CAltMenu* pSub = pRoot != nullptr ? pCurrent->AppendPopup(strText.c_str()) : nullptr;
            if (pRoot != nullptr && pSub == nullptr)
                return false;
            stack.push_back({ pSub, (wFlags & MF_END) != 0 });
            continue;
        }
        if (pRoot != nullptr)
            pCurrent->AppendItem(strText.c_str(), wFlags & ~(UINT)(MF_END | MF_POPUP | MF_STRING), wID, -1);
        if (wFlags & MF_END) {
            while (!stack.empty()) {
                const bool bParentEnds = stack.back().bParentEnds;
                stack.pop_back();
                if (!bParentEnds)
                    break;
            }
        }
    }
    return true;
}
} // namespace

BOOL CAltMenu::LoadMenu(LPCSTR lpszResourceName)
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_MENU);
    HRSRC hRsrc = ::FindResourceA(hInst, lpszResourceName, RT_MENU);
    HGLOBAL hGlobal = hRsrc != nullptr ? ::LoadResource(hInst, hRsrc) : nullptr;
    const BYTE* pData = hGlobal != nullptr ? static_cast<const BYTE*>(::LockResource(hGlobal)) : nullptr;
    const size_t nSize = pData != nullptr ? ::SizeofResource(hInst, hRsrc) : 0;
    // A resource that is missing or malformed leaves the menu as it is.
    if (pData == nullptr || !WalkMenuTemplate(pData, nSize, nullptr))
        return FALSE;
    DestroyMenu();
    if (!CreateMenu())
        return FALSE;
    m_bLoadedMenu = TRUE;
    WalkMenuTemplate(pData, nSize, this);
    AlignShortcuts();
    return TRUE;
}

void CAltMenu::AlignShortcuts()
{
    if (UseXPLook() && !(s_bAlignAccelerators[0] && s_bAlignAccelerators[1]))
        return;
    std::vector<CAltMenu*> menus;
    CollectTree(this, menus);
    NONCLIENTMETRICSA ncm {};
    ncm.cbSize = 340;
    CFont font;
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &ncm, 0))
        font.CreateFontIndirect(&ncm.lfMenuFont);
    CWnd* pMain = AfxGetMainWnd();
    HWND hWnd = pMain != nullptr ? pMain->m_hWnd : ::GetDesktopWindow();
    HDC hDC = ::GetDC(hWnd);
    HGDIOBJ hOldFont = font.m_hObject != nullptr ? ::SelectObject(hDC, font.m_hObject) : nullptr;
    auto width = [&](const std::wstring& str) {
        SIZE size {};
        ::GetTextExtentPoint32W(hDC, str.c_str(), (int)str.size(), &size);
        return (int)size.cx;
    };
    int nWidest = 0;
    for (CAltMenu* pMenu : menus)
        for (CAltMenuItemData* pData : pMenu->m_items)
            nWidest
                = std::max(nWidest, width(pData->m_strText.substr(0, pData->m_strText.find(L'\t')) + L" "));
    for (CAltMenu* pMenu : menus) {
        for (CAltMenuItemData* pData : pMenu->m_items) {
            const size_t nTab = pData->m_strText.find(L'\t');
            if (nTab == std::wstring::npos)
                continue;
            std::wstring strLeft = pData->m_strText.substr(0, nTab);
            const std::wstring strRight = pData->m_strText.substr(nTab);
            for (int nGuard = 0; width(strLeft) < nWidest && nGuard < 512; ++nGuard)
                strLeft += L' ';
            pData->m_strText = strLeft + strRight;
        }
    }
    if (hOldFont != nullptr)
        ::SelectObject(hDC, hOldFont);
    ::ReleaseDC(hWnd, hDC);
}

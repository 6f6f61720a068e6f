#include "menus/styledmenuicons.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "menus/menuutil.h"

IMPLEMENT_DYNAMIC(CStyledMenuIcons, CObject)
IMPLEMENT_DYNAMIC(CStyledMenuBitmaps, CStyledMenuIcons)
IMPLEMENT_DYNAMIC(CStyledMenuItemData, CObject)

namespace {

// Both live as long as the process: menus held by static objects end after
// every static of this file would have.
std::vector<CStyledMenuIcons*>*& SharedListPtr() {
    static std::vector<CStyledMenuIcons*>* s_pList = nullptr;
    return s_pList;
}

std::unordered_set<const CStyledMenuItemData*>& LiveRecords() {
    static auto* s_pSet = new std::unordered_set<const CStyledMenuItemData*>;
    return *s_pSet;
}

// Owns the bitmaps GetIconInfo hands out.
struct CIconBitmaps {
    ICONINFO info{};
    BOOL bValid = FALSE;
    explicit CIconBitmaps(HICON hIcon) { bValid = hIcon != nullptr && ::GetIconInfo(hIcon, &info); }
    ~CIconBitmaps() {
        if (info.hbmColor != nullptr)
            ::DeleteObject(info.hbmColor);
        if (info.hbmMask != nullptr)
            ::DeleteObject(info.hbmMask);
    }
    CIconBitmaps(const CIconBitmaps&) = delete;
    CIconBitmaps& operator=(const CIconBitmaps&) = delete;
    CSize Size() const {
        BITMAP bm{};
        if (!bValid || info.hbmColor == nullptr || !::GetObjectA(info.hbmColor, sizeof(bm), &bm))
            return CSize(0, 0);
        return CSize(bm.bmWidth, bm.bmHeight);
    }
};

// The colour bitmap of an icon with every pixel passed through f, as a
// bitmap compatible with the screen; null when the icon has no colour part.
template <class F>
HBITMAP TransformIconColours(const CIconBitmaps& icon, F f) {
    CSize size = icon.Size();
    if (size.cx <= 0 || size.cy <= 0)
        return nullptr;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = size.cx;
    bmi.bmiHeader.biHeight = -size.cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels((size_t)size.cx * size.cy);
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP hResult = nullptr;
    if (::GetDIBits(hScreen, icon.info.hbmColor, 0, (UINT)size.cy, pixels.data(), &bmi, DIB_RGB_COLORS)) {
        for (DWORD& px : pixels) {
            COLORREF clr = f(RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF));
            px = ((DWORD)GetRValue(clr) << 16) | ((DWORD)GetGValue(clr) << 8) | GetBValue(clr);
        }
        hResult = ::CreateCompatibleBitmap(hScreen, size.cx, size.cy);
        if (hResult != nullptr &&
            !::SetDIBits(hScreen, hResult, 0, (UINT)size.cy, pixels.data(), &bmi, DIB_RGB_COLORS)) {
            ::DeleteObject(hResult);
            hResult = nullptr;
        }
    }
    ::ReleaseDC(nullptr, hScreen);
    return hResult;
}

// Adds (nIndex -1) or replaces an image made of a colour bitmap and the icon's mask.
int PutImage(CImageList& list, HBITMAP hbmColour, HBITMAP hbmMask, int nIndex) {
    if (hbmColour == nullptr)
        return -1;
    int nResult;
    if (nIndex < 0)
        nResult = ImageList_Add(list.m_hImageList, hbmColour, hbmMask);
    else
        nResult = ImageList_Replace(list.m_hImageList, nIndex, hbmColour, hbmMask) ? nIndex : -1;
    ::DeleteObject(hbmColour);
    return nResult;
}

const UINT kListFlags = 255;  // ILC_COLORDDB | ILC_MASK

}  // namespace

// --- CStyledMenuIcons --------------------------------------------------------

CStyledMenuIcons::CStyledMenuIcons() = default;

CStyledMenuIcons::~CStyledMenuIcons() { SetResourceName(nullptr); }

void CStyledMenuIcons::SetResourceName(LPCSTR lpszName) {
    if (!IS_INTRESOURCE(m_lpszResourceName))
        delete[] m_lpszResourceName;
    m_lpszResourceName = nullptr;
    if (lpszName == nullptr || IS_INTRESOURCE(lpszName)) {
        m_lpszResourceName = lpszName;
        return;
    }
    size_t nLen = strlen(lpszName);
    char* pCopy = new char[nLen + 1];
    memcpy(pCopy, lpszName, nLen + 1);
    m_lpszResourceName = pCopy;
}

CSize CStyledMenuIcons::GetIconSize() const {
    int cx = 0;
    int cy = 0;
    if (m_imageList.m_hImageList == nullptr || !ImageList_GetIconSize(m_imageList.m_hImageList, &cx, &cy))
        return CSize(0, 0);
    return CSize(cx, cy);
}

int CStyledMenuIcons::FindImageIndex(UINT nID) const {
    for (size_t k = m_ids.size(); k-- > 0;)
        if (m_ids[k] == nID)
            return (int)k * 3;
    return -1;
}

int CStyledMenuIcons::AddDarkenedImage(HICON hIcon, int nIndex) {
    CIconBitmaps icon(hIcon);
    HBITMAP hbm = TransformIconColours(icon, [](COLORREF c) { return DarkenColour(50, c); });
    return PutImage(m_imageList, hbm, icon.info.hbmMask, nIndex);
}

int CStyledMenuIcons::AddGreyedImage(HICON hIcon, int nIndex) {
    CIconBitmaps icon(hIcon);
    const COLORREF clrBack = GetMenuBkColorThemed(nullptr);
    HBITMAP hbm = TransformIconColours(
        icon, [clrBack](COLORREF c) { return MixColour86(LightenColour(100, GreyColour(c)), clrBack); });
    return PutImage(m_imageList, hbm, icon.info.hbmMask, nIndex);
}

int CStyledMenuIcons::AppendTriple(HICON hIcon) {
    int nIndex = ImageList_AddIcon(m_imageList.m_hImageList, hIcon);
    if (nIndex < 0)
        return -1;
    if (AddDarkenedImage(hIcon, -1) < 0 || AddGreyedImage(hIcon, -1) < 0) {
        // Keep the triples whole: drop what this call added.
        while (m_imageList.GetImageCount() > nIndex)
            m_imageList.Remove(m_imageList.GetImageCount() - 1);
        return -1;
    }
    return nIndex;
}

BOOL CStyledMenuIcons::BuildVariants() {
    if (m_imageList.m_hImageList == nullptr)
        return FALSE;
    CSize size = GetIconSize();
    std::vector<HICON> icons;
    for (int i = 0; i < m_imageList.GetImageCount(); ++i)
        icons.push_back(ImageList_GetIcon(m_imageList.m_hImageList, i, ILD_NORMAL));
    m_imageList.DeleteImageList();
    BOOL bOK = m_imageList.Create(size.cx, size.cy, kListFlags, 0, 10);
    for (HICON hIcon : icons) {
        if (bOK && AppendTriple(hIcon) < 0)
            bOK = FALSE;
        if (hIcon != nullptr)
            ::DestroyIcon(hIcon);
    }
    return bOK;
}

BOOL CStyledMenuIcons::LoadBitmap(int cx, int cy, LPCSTR lpszResourceName, HINSTANCE hModule) {
    UINT nColours = 0;
    HBITMAP hbm = LoadBitmapResource(lpszResourceName, hModule, &nColours);
    if (hbm == nullptr)
        return FALSE;
    m_nColourCount = nColours;
    m_imageList.DeleteImageList();
    BOOL bOK = m_imageList.Create(cx, cy, kListFlags, 0, 10) &&
               ImageList_AddMasked(m_imageList.m_hImageList, hbm, m_clrMask) >= 0;
    ::DeleteObject(hbm);
    return bOK;
}

BOOL CStyledMenuIcons::LoadFromToolBar(LPCSTR lpszBitmap, HINSTANCE hModule, int cx, int cy, const WORD* pIds,
                                       size_t nIds) {
    if (cx <= 0 || cy <= 0 || !LoadBitmap(cx, cy, lpszBitmap, hModule))
        return FALSE;
    m_ids.clear();
    for (size_t i = 0; i < nIds; ++i)
        if (pIds[i] != 0)
            m_ids.push_back(pIds[i]);
    // The bitmap has one image per button; extra images have no command.
    while (m_imageList.GetImageCount() > (int)m_ids.size())
        m_imageList.Remove(m_imageList.GetImageCount() - 1);
    if (m_ids.size() > (size_t)m_imageList.GetImageCount())
        m_ids.resize((size_t)m_imageList.GetImageCount());
    return !m_ids.empty() && BuildVariants();
}

BOOL CStyledMenuIcons::LoadToolBarData(const WORD* pData, COLORREF clrMask) {
    if (pData == nullptr)
        return FALSE;
    size_t nIds = 0;
    while (pData[3 + nIds] != 0)
        ++nIds;
    m_clrMask = clrMask;
    if (!LoadFromToolBar(MAKEINTRESOURCEA(pData[0]), m_hResourceModule, pData[1], pData[2], pData + 3, nIds))
        return FALSE;
    SetResourceName(MAKEINTRESOURCEA(pData[0]));
    return TRUE;
}

BOOL CStyledMenuIcons::LoadToolBar(LPCSTR lpszResourceName, HINSTANCE hModule) {
    CToolBarResource res;
    if (hModule == nullptr)
        hModule = AfxFindResourceHandle(lpszResourceName, RT_TOOLBAR);
    if (!res.Load(hModule, lpszResourceName)) {
        hModule = AfxGetResourceHandle();
        if (!res.Load(hModule, lpszResourceName))
            return FALSE;
    }
    std::vector<WORD> ids(res.m_ids.begin(), res.m_ids.end());
    if (!LoadFromToolBar(lpszResourceName, hModule, res.m_cx, res.m_cy, ids.data(), ids.size()))
        return FALSE;
    SetResourceName(lpszResourceName);
    m_hResourceModule = hModule;
    return TRUE;
}

BOOL CStyledMenuIcons::MatchToolBarData(const WORD* pData, COLORREF clrMask) const {
    if (pData == nullptr || clrMask != m_clrMask || !IS_INTRESOURCE(m_lpszResourceName) ||
        (UINT_PTR)m_lpszResourceName != pData[0])
        return FALSE;
    size_t i = 0;
    for (; pData[3 + i] != 0; ++i)
        if (i >= m_ids.size() || m_ids[i] != pData[3 + i])
            return FALSE;
    return i == m_ids.size();
}

BOOL CStyledMenuIcons::MatchResource(LPCSTR lpszResourceName, HINSTANCE hModule) const {
    if (hModule != m_hResourceModule || m_lpszResourceName == nullptr || lpszResourceName == nullptr)
        return FALSE;
    if (IS_INTRESOURCE(lpszResourceName) || IS_INTRESOURCE(m_lpszResourceName))
        return lpszResourceName == m_lpszResourceName;
    return strcmp(lpszResourceName, m_lpszResourceName) == 0;
}

void CStyledMenuIcons::Refresh() {
    if (m_lpszResourceName == nullptr)
        return;
    CSize size = GetIconSize();
    const size_t nIcons = m_ids.size();
    if (LoadBitmap(size.cx, size.cy, m_lpszResourceName, m_hResourceModule)) {
        while (m_imageList.GetImageCount() > (int)nIcons)
            m_imageList.Remove(m_imageList.GetImageCount() - 1);
        BuildVariants();
    }
}

int CStyledMenuIcons::AddRef(CStyledMenuIcons* pSet) {
    if (pSet == nullptr)
        return 0;
    return ++pSet->m_nRefCount;
}

int CStyledMenuIcons::Release(CStyledMenuIcons* pSet) {
    if (pSet == nullptr)
        return 0;
    int nCount = --pSet->m_nRefCount;
    if (nCount <= 0) {
        if (std::vector<CStyledMenuIcons*>* pList = SharedListPtr())
            pList->erase(std::remove(pList->begin(), pList->end(), pSet), pList->end());
        delete pSet;
        return 0;
    }
    return nCount;
}

std::vector<CStyledMenuIcons*>& CStyledMenuIcons::GetSharedList() {
    std::vector<CStyledMenuIcons*>*& pList = SharedListPtr();
    if (pList == nullptr) {
        pList = new std::vector<CStyledMenuIcons*>;
        pList->reserve(10);
    }
    return *pList;
}

BOOL CStyledMenuIcons::HasSharedList() { return SharedListPtr() != nullptr; }

void CStyledMenuIcons::FreeSharedList() {
    std::vector<CStyledMenuIcons*>*& pList = SharedListPtr();
    if (pList == nullptr)
        return;
    std::vector<CStyledMenuIcons*>* pOld = pList;
    pList = nullptr;
    // A set still held by a record is freed by that record's last Release.
    for (CStyledMenuIcons* pSet : *pOld)
        if (pSet->m_nRefCount <= 0)
            delete pSet;
    delete pOld;
}

void CStyledMenuIcons::RefreshIconSets() {
    static DWORD s_dwLast = 0;
    static BOOL s_bDone = FALSE;
    DWORD dwNow = ::GetTickCount();
    if (s_bDone && dwNow - s_dwLast <= 2000)
        return;
    s_bDone = TRUE;
    s_dwLast = dwNow;
    if (std::vector<CStyledMenuIcons*>* pList = SharedListPtr()) {
        std::vector<CStyledMenuIcons*> sets(*pList);
        for (CStyledMenuIcons* pSet : sets)
            pSet->Refresh();
    }
}

// --- CStyledMenuBitmaps ------------------------------------------------------

void CStyledMenuBitmaps::Refresh() {
    for (size_t k = 0; k < m_ids.size(); ++k) {
        HICON hIcon = ImageList_GetIcon(m_imageList.m_hImageList, (int)k * 3, ILD_NORMAL);
        if (hIcon == nullptr)
            continue;
        AddDarkenedImage(hIcon, (int)k * 3 + 1);
        AddGreyedImage(hIcon, (int)k * 3 + 2);
        ::DestroyIcon(hIcon);
    }
}

int CStyledMenuBitmaps::AddIcon(HICON hIcon, UINT nID) {
    CSize size;
    {
        CIconBitmaps icon(hIcon);
        size = icon.Size();
    }
    if (size.cx <= 0 || size.cy <= 0)
        return -1;
    if (m_imageList.m_hImageList != nullptr) {
        if (GetIconSize() != size)
            return -1;
    } else if (!m_imageList.Create(size.cx, size.cy, kListFlags, 0, 10)) {
        return -1;
    }
    if (nID != 0) {
        int nIndex = FindImageIndex(nID);
        if (nIndex >= 0) {
            if (ImageList_ReplaceIcon(m_imageList.m_hImageList, nIndex, hIcon) < 0)
                return -1;
            AddDarkenedImage(hIcon, nIndex + 1);
            AddGreyedImage(hIcon, nIndex + 2);
            return nIndex;
        }
    }
    int nIndex = AppendTriple(hIcon);
    if (nIndex >= 0)
        m_ids.push_back(nID);
    return nIndex;
}

int CStyledMenuBitmaps::AddBitmap(CBitmap* pBitmap, COLORREF clrMask) {
    if (pBitmap == nullptr || pBitmap->m_hObject == nullptr)
        return -1;
    BITMAP bm{};
    if (!pBitmap->GetBitmap(&bm))
        return -1;
    if (m_imageList.m_hImageList != nullptr) {
        if (GetIconSize() != CSize(bm.bmWidth, bm.bmHeight))
            return -1;
    } else if (!m_imageList.Create(bm.bmWidth, bm.bmHeight, kListFlags, 0, 10)) {
        return -1;
    }
    int nIndex = AddBitmapCopyMasked(m_imageList.m_hImageList, (HBITMAP)pBitmap->m_hObject, clrMask);
    if (nIndex < 0)
        return -1;
    HICON hIcon = ImageList_GetIcon(m_imageList.m_hImageList, nIndex, ILD_NORMAL);
    BOOL bOK = hIcon != nullptr && AddDarkenedImage(hIcon, -1) >= 0 && AddGreyedImage(hIcon, -1) >= 0;
    if (hIcon != nullptr)
        ::DestroyIcon(hIcon);
    if (!bOK) {
        while (m_imageList.GetImageCount() > nIndex)
            m_imageList.Remove(m_imageList.GetImageCount() - 1);
        return -1;
    }
    m_ids.push_back(0);
    return nIndex;
}

int CStyledMenuBitmaps::AddBitmapResource(UINT nIDBitmap, COLORREF clrMask) {
    int nIndex = FindImageIndex(nIDBitmap);
    if (nIndex >= 0)
        return nIndex;
    UINT nColours = 0;
    HBITMAP hbm = LoadBitmapResource(MAKEINTRESOURCEA(nIDBitmap), nullptr, &nColours);
    if (hbm == nullptr)
        return -1;
    CBitmap bitmap;
    bitmap.Attach(hbm);
    nIndex = AddBitmap(&bitmap, clrMask);
    if (nIndex >= 0)
        m_ids.back() = nIDBitmap;
    return nIndex;
}

// --- CStyledMenuItemData -----------------------------------------------------

CStyledMenuItemData::CStyledMenuItemData() { LiveRecords().insert(this); }

CStyledMenuItemData::~CStyledMenuItemData() {
    LiveRecords().erase(this);
    CStyledMenuIcons::Release(m_pIcons);
    m_pIcons = nullptr;
}

void CStyledMenuItemData::SetIcons(CStyledMenuIcons* pSet) {
    CStyledMenuIcons::AddRef(pSet);
    CStyledMenuIcons::Release(m_pIcons);
    m_pIcons = pSet;
}

BOOL CStyledMenuItemData::IsLiveRecord(ULONG_PTR itemData) {
    return itemData != 0 && LiveRecords().count(reinterpret_cast<const CStyledMenuItemData*>(itemData)) != 0;
}

CStyledMenuItemData* CStyledMenuItemData::FromItemData(ULONG_PTR itemData) {
    return IsLiveRecord(itemData) ? reinterpret_cast<CStyledMenuItemData*>(itemData) : nullptr;
}

int CStyledMenuItemData::GetLiveCount() { return (int)LiveRecords().size(); }

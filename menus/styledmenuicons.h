// Menu icons live in shared, reference-counted icon sets: an image list of one
// icon size plus the command ids its icons belong to. Each icon brings a
// darkened and a greyed companion, so icon k is images 3k, 3k + 1 and 3k + 2.
// The item record of an owner-drawn menu item is here too.
#pragma once

#include <vector>

#include "afx/afxwin.h"

class CStyledMenuIcons : public CObject {
    DECLARE_DYNAMIC(CStyledMenuIcons)
public:
    CStyledMenuIcons();
    ~CStyledMenuIcons() override;

    // Image index 3k of the last icon k of the command; -1.
    virtual int FindImageIndex(UINT nID) const;
    // Rebuilds the images after a system colour change.
    virtual void Refresh();
    // pData: bitmap id, icon width, icon height, command ids ending with 0.
    virtual BOOL LoadToolBarData(const WORD* pData, COLORREF clrMask);
    // An RT_TOOLBAR resource and the bitmap of the same name (module null: the one holding it).
    virtual BOOL LoadToolBar(LPCSTR lpszResourceName, HINSTANCE hModule);
    virtual BOOL MatchToolBarData(const WORD* pData, COLORREF clrMask) const;
    virtual BOOL MatchResource(LPCSTR lpszResourceName, HINSTANCE hModule) const;
    virtual BOOL LoadBitmap(int cx, int cy, LPCSTR lpszResourceName, HINSTANCE hModule);
    // Adds (nIndex -1) or replaces the darkened / greyed image of an icon; the image index or -1.
    virtual int AddDarkenedImage(HICON hIcon, int nIndex);
    virtual int AddGreyedImage(HICON hIcon, int nIndex);
    // Turns a list of plain icons into the list of triples.
    virtual BOOL BuildVariants();

    // Reference counting by item records; at 0 the set leaves the shared list
    // and is deleted. Both accept null and then return 0.
    static int AddRef(CStyledMenuIcons* pSet);
    static int Release(CStyledMenuIcons* pSet);

    // The process-wide list of sets (made on first use).
    static std::vector<CStyledMenuIcons*>& GetSharedList();
    static BOOL HasSharedList();
    // Library end: deletes the sets nobody holds; held sets go with their last record.
    static void FreeSharedList();
    // Calls Refresh on every set, at most once in 2000 ms.
    static void RefreshIconSets();

    CSize GetIconSize() const;
    int GetIconCount() const { return (int)m_ids.size(); }
    // Diagnostic line: "StyledMenuIcons: " and a line end.
    virtual CString Dump() const { return "StyledMenuIcons: \n"; }
    int GetRefCount() const { return m_nRefCount; }
    void SetResourceName(LPCSTR lpszName);

    LPCSTR m_lpszResourceName = nullptr;  // below 0x10000 an id, else an owned copy
    HINSTANCE m_hResourceModule = nullptr;
    UINT m_nColourCount = 0;
    COLORREF m_clrMask = (COLORREF)-1;
    CImageList m_imageList;
    std::vector<UINT> m_ids;
    int m_nRefCount = 0;

protected:
    // Adds an icon and its two companions at the end; the icon's index or -1.
    int AppendTriple(HICON hIcon);
    // Reads one toolbar description into the set; 1 when an id was taken.
    BOOL LoadFromToolBar(LPCSTR lpszBitmap, HINSTANCE hModule, int cx, int cy, const WORD* pIds, size_t nIds);
};

// The set for icons added one at a time (image lists, bitmaps, icon handles).
class CStyledMenuBitmaps : public CStyledMenuIcons {
    DECLARE_DYNAMIC(CStyledMenuBitmaps)
public:
    void Refresh() override;
    int AddIcon(HICON hIcon, UINT nID);
    int AddBitmapResource(UINT nIDBitmap, COLORREF clrMask);
    int AddBitmap(CBitmap* pBitmap, COLORREF clrMask);
};

// The record of one owner-drawn item; its address is the item's data.
class CStyledMenuItemData : public CObject {
    DECLARE_DYNAMIC(CStyledMenuItemData)
public:
    CStyledMenuItemData();
    ~CStyledMenuItemData() override;

    // Holds pSet (reference taken before the previous set is released).
    void SetIcons(CStyledMenuIcons* pSet);
    BOOL IsTitle() const { return (m_dwTitleFlags & 1) != 0; }
    BOOL IsSeparator() const { return (m_nFlags & MF_SEPARATOR) != 0; }
    // A bitmap item: the system draws its bitmap, the record only keeps it in step.
    BOOL IsBitmapItem() const { return (m_nFlags & MF_BITMAP) != 0; }
    // Diagnostic line: "MenuItem: ", the text and a line end.
    CString Dump() const { return "MenuItem: " + m_strText + "\n"; }

    // Whether an item-data value names a live record (never dereferenced to find out).
    static BOOL IsLiveRecord(ULONG_PTR itemData);
    static CStyledMenuItemData* FromItemData(ULONG_PTR itemData);
    static int GetLiveCount();

    CString m_strText;
    DWORD m_dwTitleFlags = 0;
    UINT m_nFlags = 0;
    UINT_PTR m_nID = 0;
    BOOL m_bSync = FALSE;
    CStyledMenuIcons* m_pIcons = nullptr;
    int m_nIconIndex = -1;
    DWORD m_dwUserData = 0;
};

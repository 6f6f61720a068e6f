// CAltMenu: a second, self-contained owner-drawn menu class, offered beside
// CStyledMenu. One record per item (text, command id, flags, image); item
// images live in one image list shared by all CAltMenus, or in an item's own
// list; menus load from menu resources and take images from tool bars; items
// are drawn in a classic or an XP-like look.
//
//     CAltMenu menu;
//     menu.LoadMenu(IDR_MAIN);        // owner-drawn, shortcut columns aligned
//     menu.LoadToolbar(IDR_MAINBAR);  // images of the buttons' commands
#pragma once

#include <string>
#include <vector>

#include "afx/afxwin.h"

class CToolBar;

// The record of one item; its address is the item's data.
class CAltMenuItemData {
public:
    CAltMenuItemData();
    ~CAltMenuItemData();
    CAltMenuItemData(const CAltMenuItemData&) = delete;
    CAltMenuItemData& operator=(const CAltMenuItemData&) = delete;

    void SetWideText(LPCWSTR lpszText) { m_strText = lpszText != nullptr ? lpszText : L""; }
    // ANSI text in the process code page.
    void SetAnsiText(LPCSTR lpszText);
    LPCWSTR GetWideText() const { return m_strText.c_str(); }
    CString GetString() const;

    // Whether an item-data value names a live record (never dereferenced to find out).
    static BOOL IsLiveRecord(ULONG_PTR itemData);
    static int GetLiveCount();

    std::wstring m_strText;
    int m_nOwnImageIndex = -1;
    int m_nImageIndex = -1;
    int m_nOwnImageResource = -1;
    UINT m_nFlags = 0;
    UINT_PTR m_nID = 0;
    BOOL m_bSync = FALSE;
    CImageList* m_pImageList = nullptr; // owned
};

class CAltMenu : public CMenu {
    DECLARE_DYNAMIC(CAltMenu)
public:
    CAltMenu();
    ~CAltMenu() override;

    // --- owner draw and the class's virtuals ---
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override;
    BOOL LoadMenu(UINT nIDResource) override;
    BOOL LoadMenu(LPCSTR lpszResourceName) override;
    BOOL DestroyMenu() override;

    // --- adding, changing and removing items (ANSI forms convert and call the wide ones) ---
    BOOL AppendItem(LPCWSTR lpszText, UINT nFlags = 0, UINT_PTR nID = 0, int nToolBarID = -1);
    BOOL AppendItem(LPCSTR lpszText, UINT nFlags = 0, UINT_PTR nID = 0, int nToolBarID = -1);
    BOOL AppendItemFromImageList(
        LPCWSTR lpszText, UINT nFlags, UINT_PTR nID, CImageList* pImageList, int nIndex);
    BOOL AppendItemFromImageList(
        LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CImageList* pImageList, int nIndex);
    BOOL AppendItemFromBitmap(LPCWSTR lpszText, UINT nFlags, UINT_PTR nID, CBitmap* pBitmap);
    BOOL AppendItemFromBitmap(LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CBitmap* pBitmap);
    BOOL InsertItem(UINT nPosition, LPCWSTR lpszText, UINT nFlags = 0, UINT_PTR nID = 0, int nToolBarID = -1);
    BOOL InsertItem(UINT nPosition, LPCSTR lpszText, UINT nFlags = 0, UINT_PTR nID = 0, int nToolBarID = -1);
    BOOL InsertItemFromImageList(
        UINT nPosition, LPCWSTR lpszText, UINT nFlags, UINT_PTR nID, CImageList* pImageList, int nIndex);
    BOOL InsertItemFromImageList(
        UINT nPosition, LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CImageList* pImageList, int nIndex);
    BOOL InsertItemFromBitmap(UINT nPosition, LPCWSTR lpszText, UINT nFlags, UINT_PTR nID, CBitmap* pBitmap);
    BOOL InsertItemFromBitmap(UINT nPosition, LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CBitmap* pBitmap);
    BOOL ModifyItem(LPCWSTR lpszText, UINT_PTR nID, int nToolBarID = -1);
    BOOL ModifyItem(LPCSTR lpszText, UINT_PTR nID, int nToolBarID = -1);
    BOOL ModifyItemFromImageList(LPCWSTR lpszText, UINT_PTR nID, CImageList* pImageList, int nIndex);
    BOOL ModifyItemFromImageList(LPCSTR lpszText, UINT_PTR nID, CImageList* pImageList, int nIndex);
    BOOL ModifyItemFromBitmap(LPCWSTR lpszText, UINT_PTR nID, CBitmap* pBitmap);
    BOOL ModifyItemFromBitmap(LPCSTR lpszText, UINT_PTR nID, CBitmap* pBitmap);
    // The image becomes a swatch of clrFill (or a hatch) framed in clrBorder, drawn on the menu colour in
    // a box of pSize (null: the icon size) centred in the icon.
    BOOL ModifyItemWithColor(LPCWSTR lpszText, UINT_PTR nID, COLORREF clrFill, COLORREF clrBorder,
        int nHatchStyle = -1, const CSize* pSize = nullptr);
    BOOL ModifyItemWithColor(LPCSTR lpszText, UINT_PTR nID, COLORREF clrFill, COLORREF clrBorder,
        int nHatchStyle = -1, const CSize* pSize = nullptr);
    BOOL ModifyItemByText(LPCWSTR lpszOldText, LPCWSTR lpszNewText, int nIDBitmap = -1);
    BOOL ModifyItemByText(LPCSTR lpszOldText, LPCSTR lpszNewText, int nIDBitmap = -1);
    BOOL ModifyItemByTextFromToolbar(LPCWSTR lpszText, UINT nToolBarID, UINT_PTR nID);
    BOOL ModifyItemByTextFromToolbar(LPCSTR lpszText, UINT nToolBarID, UINT_PTR nID);
    BOOL SetMenuText(UINT nItem, LPCWSTR lpszText, UINT nFlags = MF_BYPOSITION);
    BOOL SetMenuText(UINT nItem, LPCSTR lpszText, UINT nFlags = MF_BYPOSITION);
    BOOL GetMenuText(UINT nItem, CString& rText, UINT nFlags = MF_BYPOSITION) const;
    CAltMenu* AppendPopup(LPCWSTR lpszText);
    CAltMenu* AppendPopup(LPCSTR lpszText);

    BOOL RemoveMenu(UINT nPosition, UINT nFlags);
    BOOL DeleteMenu(UINT nPosition, UINT nFlags);
    // nSeparators: 1 the separator after the item, 2 the one before it, 3 both.
    BOOL RemoveMenuByText(LPCWSTR lpszText, int nSeparators = 0);
    BOOL RemoveMenuByText(LPCSTR lpszText, int nSeparators = 0);
    BOOL DeleteMenuByText(LPCWSTR lpszText, int nSeparators = 0);
    BOOL DeleteMenuByText(LPCSTR lpszText, int nSeparators = 0);
    CAltMenu* GetSubMenuByText(LPCWSTR lpszText);
    CAltMenu* GetSubMenuByText(LPCSTR lpszText);
    int GetMenuPosition(LPCWSTR lpszText);
    int GetMenuPosition(LPCSTR lpszText);
    CAltMenu* GetSubAltMenu(int nPosition);

    // --- resources ---
    BOOL LoadToolbar(UINT nToolBarID);
    BOOL LoadToolbars(const UINT* pToolBarIDs, int nCount);
    BOOL AddFromToolBar(CToolBar* pToolBar, int nIDBitmap);
    BOOL LoadCheckmarkBitmaps(int nUnselectedID, int nSelectedID);

    // --- options of this menu ---
    void SetBitmapBackground(COLORREF clr) { m_clrBitmapBack = clr, m_bBitmapBackSet = TRUE; }
    void UnSetBitmapBackground() { m_bBitmapBackSet = FALSE; }
    void SetDisableOldStyle() { m_bDisableOldStyle = TRUE; }
    void UnSetDisableOldStyle() { m_bDisableOldStyle = FALSE; }
    BOOL GetDisableOldStyle() const { return m_bDisableOldStyle; }

    // --- queries and statics ---
    static BOOL IsMenu(CAltMenu* pMenu) { return IsMenu(pMenu->GetSafeHmenu()); }
    static BOOL IsMenu(HMENU hMenu);
    static void SetIconSize(int cx, int cy);
    static LRESULT FindKeyboardShortcut(UINT nChar, UINT nFlags, CMenu* pMenu);
    static void UpdateMenu(CMenu* pMenu);
    static BOOL IsXPThemeActive();
    static BOOL IsClassicTheme();
    static BOOL UseXPLook();
    static int GetMenuDrawMode();
    static int GetSelectDisableMode();
    void SynchronizeMenu();

    // The look of an item (DrawItem picks one).
    void DrawItemClassic(LPDRAWITEMSTRUCT lpDIS);
    void DrawItemXP(LPDRAWITEMSTRUCT lpDIS);

    // --- state read by the drawing and tests ---
    int GetItemRecordCount() const { return (int)m_items.size(); }
    CAltMenuItemData* GetItemRecord(int nIndex) const;
    const std::vector<HMENU>& GetSubMenuHandles() const { return m_subMenus; }
    CImageList* GetCheckMarks() const { return m_pCheckMarks; }
    static CImageList* GetSharedImages() { return s_pSharedImages; }
    static const std::vector<UINT>& GetImageCommandIDs() { return s_imageIDs; }
    // Library end: the shared image list and arrays go.
    static void FreeSharedImages();

    // Statics shared by all CAltMenus (see the item records' drawing).
    static int s_nIconX;
    static int s_nIconY;
    static int s_nXPModeThemed; // 1: XP look while the XP theme is active
    static int s_nXPModeOther; // 0: classic look otherwise
    static int s_nSelectDisabledClassic;
    static int s_nSelectDisabledXP;
    static BOOL s_bXPEffects; // washed-out, shadow and dimmed images follow each image
    static BOOL s_bAlignAccelerators[2];
    static int s_nDisabledImageStyle; // nonzero: disabled images from the dimmed image

protected:
    std::vector<CAltMenuItemData*> m_items;
    std::vector<HMENU> m_subMenus;
    std::vector<CAltMenu*> m_ownedSubMenus; // made by AppendPopup / LoadMenu: deleted here
    COLORREF m_clrBitmapBack = 0xC0C0C0;
    BOOL m_bBitmapBackSet = FALSE;
    BOOL m_bDisableOldStyle = FALSE;
    CImageList* m_pCheckMarks = nullptr;
    BOOL m_bCheckMarksShared = FALSE;
    int m_nCheckMarkIDs[2] = { -1, -1 };
    BOOL m_bLoadedMenu = FALSE;

    static CImageList* s_pSharedImages;
    static std::vector<UINT> s_imageIDs;
    static std::vector<HMENU> s_allSubMenus;

    // Adds the item (flag normalisation, record, image) at nPosition (-1: append).
    BOOL AddItem(int nPosition, UINT nFlags, LPCWSTR lpszText, UINT_PTR nID, int nToolBarID,
        CImageList* pImageList, int nIndex);
    void FixLoadedMenuPopups();
    CAltMenuItemData* FindRecord(UINT_PTR nID) const;
    // The menu (this or a sub-menu) and position holding a command, or by text.
    CAltMenu* FindHolder(UINT_PTR nID, int& nPos);
    CAltMenu* FindHolderByText(LPCWSTR lpszText, int& nPos);
    BOOL RemoveOrDelete(UINT nPosition, UINT nFlags, BOOL bDelete);
    BOOL RemoveByText(LPCWSTR lpszText, int nSeparators, BOOL bDelete);
    void DropSubMenu(HMENU hSub);
    // The image of a tool-bar button of the command into the shared list; its index or -1.
    int AddToolBarImage(UINT nToolBarID, UINT_PTR nID);
    int AddSharedImage(CImageList* pList, int nIndex, UINT_PTR nID);
    // A bitmap resource into an icon-sized image list (with its derived images in the XP look).
    BOOL LoadBitmapToImageList(CImageList& list, UINT nIDBitmap);
    void AlignShortcuts();
    BOOL DrawItemImage(CDC* pDC, CAltMenuItemData* pData, CPoint pt, int nOffset);
    BOOL GetItemImage(CAltMenuItemData* pData, CImageList*& pList, int& nIndex, BOOL& bEffects) const;
    void DrawCheck(CDC* pDC, const CRect& rcBox, BOOL bRadio, BOOL bNarrow, COLORREF clr);
};

// Colour arithmetic of the looks: each channel, truncated; the colour is
// unchanged unless 0 < f < 1.
COLORREF AltLighten(COLORREF clr, double f);
COLORREF AltDarken(COLORREF clr, double f);
// Image effects on a bitmap of a memory DC's size (transparent: COLOR_BTNFACE as
// the bitmap's DC shows it).
void AltWashOut(CBitmap& bmp);
void AltNormaliseBackground(CBitmap& bmp);
void AltDim(CBitmap& bmp, COLORREF clrBack = CLR_NONE);
void AltShadow(CBitmap& bmp);
// The embossed drawing of a disabled image at (x, y) on clrBack.
void AltDrawEmbossed(CDC* pDC, CImageList* pList, int nIndex, int x, int y, int cx, int cy, COLORREF clrBack);

// CStyledMenu: the owner-drawn menu every menu of the program is built with.
// Each item of the Windows menu is owner-drawn and carries one item record of
// this menu as its item data; the current drawing style measures and draws.
//
// Typical use (a context menu):
//     CStyledMenu menu;
//     menu.CreatePopupMenu();
//     menu.AppendItem("&Options...", 0, ID_OPTIONS, -1);
//     menu.AppendItem("", MF_SEPARATOR, 0, -1);
//     menu.TrackPopupMenu(TPM_RIGHTBUTTON, pt.x, pt.y, this);
// and the owner answers WM_MENUCHAR with HandleMenuChar and passes its
// WM_MEASUREITEM requests of menu items to the menu's MeasureItem.
#pragma once

#include <vector>

#include "afx/afxwin.h"
#include "menus/styledmenuicons.h"

class CStyledMenu : public CMenu {
    DECLARE_DYNAMIC(CStyledMenu)
public:
    explicit CStyledMenu(HMENU hParentMenu = nullptr);
    ~CStyledMenu() override;

    typedef void (CStyledMenu::*PFN_MEASURE)(LPMEASUREITEMSTRUCT lpMIS, BOOL bMenuBar);
    typedef void (CStyledMenu::*PFN_DRAW)(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar);

    // Title flags of SetMenuTitle.
    enum {
        titleItem = 0x01,       // always set on the title record
        titleVertical = 0x02,   // a side title at the left edge, items in a second column
        titleGradient = 0x04,
        titleSunken = 0x08,
        titleGrip = 0x10,
        titleRounded = 0x20,
        titleCentred = 0x40,
    };

    // --- owner draw (CMenu overrides) and the class's own virtuals ---
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override;
    BOOL LoadMenu(UINT nIDResource) override;
    BOOL LoadMenu(LPCSTR lpszResourceName) override;
    virtual BOOL LoadMenu(HMENU hMenu);
    BOOL DestroyMenu() override;
    virtual void DrawMenuTitle(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar);
    virtual BOOL EraseBkgnd(HWND hWndPopup, CDC* pDC);
    virtual void OnInitMenuPopup();
    virtual BOOL OnUnInitPopupMenu();

    // --- building ---
    BOOL AppendItem(LPCSTR lpszText, UINT nFlags, UINT_PTR nID, int nIconIndex = -1);
    BOOL AppendItemFromImageList(LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CImageList* pImageList, int nIndex);
    BOOL AppendItemWithIcons(LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CStyledMenuIcons* pIcons, int nIndex);
    BOOL AppendItemWithBitmap(LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CBitmap* pBitmap);
    CStyledMenu* AppendPopup(LPCSTR lpszText);
    BOOL SetMenuTitle(LPCSTR lpszTitle, DWORD dwFlags);
    BOOL RemoveMenuTitle();
    // Makes every item owner-drawn with a record in position order.
    void ConvertToOwnerDrawn();

    // --- editing ---
    BOOL InsertItem(UINT nPosition, LPCSTR lpszText, UINT nFlags, UINT_PTR nID, int nIconID = -1);
    BOOL InsertItemWithBitmap(UINT nPosition, LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CBitmap* pBitmap);
    BOOL InsertItemFromImageList(UINT nPosition, LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CImageList* pImageList,
                                 int nIndex);
    BOOL InsertItemWithIcons(UINT nPosition, LPCSTR lpszText, UINT nFlags, UINT_PTR nID, CStyledMenuIcons* pIcons,
                             int nIndex);
    // The same in the argument order of the Windows menu calls.
    using CMenu::AppendMenu;
    using CMenu::InsertMenu;
    BOOL AppendMenu(UINT nFlags, UINT_PTR nID, LPCSTR lpszText, int nIconID);
    BOOL AppendMenu(UINT nFlags, UINT_PTR nID, LPCSTR lpszText, CImageList* pImageList, int nIndex);
    BOOL AppendMenu(UINT nFlags, UINT_PTR nID, LPCSTR lpszText, CBitmap* pBitmap);
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nID, LPCSTR lpszText, int nIconID);
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nID, LPCSTR lpszText, CImageList* pImageList, int nIndex);
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nID, LPCSTR lpszText, CBitmap* pBitmap);

    BOOL ModifyItem(UINT nPosition, UINT nFlags, UINT_PTR nNewID, LPCSTR lpszText);
    BOOL ModifyItemBitmap(UINT nPosition, UINT nFlags, UINT_PTR nNewID, const CBitmap* pBitmap);
    BOOL ModifyODMenu(LPCSTR lpszText, UINT nID, int nIconID);
    BOOL ModifyODMenuFromImageList(LPCSTR lpszText, UINT nID, CImageList* pImageList, int nIndex);
    BOOL ModifyODMenuWithBitmap(LPCSTR lpszText, UINT nID, CBitmap* pBitmap);
    BOOL ModifyODMenuWithColour(LPCSTR lpszText, UINT nID, COLORREF clrFill, COLORREF clrBorder, int nHatchStyle = -1);
    BOOL ModifyODMenuByText(LPCSTR lpszNewText, LPCSTR lpszOldText, int nIconID);

    BOOL LoadToolbar(UINT nToolBarID, HINSTANCE hModule = nullptr);
    BOOL LoadToolbar(const WORD* pToolBarData, COLORREF clrMask = (COLORREF)-1);
    BOOL LoadToolbars(const UINT* pToolBarIDs, int nCount, HINSTANCE hModule = nullptr);

    BOOL RemoveMenu(UINT nPosition, UINT nFlags);
    BOOL DeleteMenu(UINT nPosition, UINT nFlags);
    int RemoveItemByText(LPCSTR lpszText, int nMode);
    int GetItemPosition(LPCSTR lpszText) const;
    CMenu* GetSubMenu(int nPos) const { return CMenu::GetSubMenu(nPos); }
    CMenu* GetSubMenu(LPCSTR lpszText) const;
    BOOL GetMenuText(UINT nItem, CString& rText, UINT nFlags) const;
    BOOL SetMenuText(UINT nItem, LPCSTR lpszText, UINT nFlags);
    BOOL SetItemUserData(UINT nItem, DWORD dwValue, BOOL bByPosition);
    DWORD GetItemUserData(UINT nItem, BOOL bByPosition) const;
    BOOL SetMenuData(DWORD dwValue) { m_dwMenuData = dwValue; return TRUE; }
    DWORD GetMenuData() const { return m_dwMenuData; }
    BOOL SetMenuUserData(DWORD dwValue) { m_dwMenuData = dwValue; return TRUE; }
    DWORD GetMenuUserData() const { return m_dwMenuData; }
    int SetIconSize(int cx, int cy);
    COLORREF SetBitmapBackground(COLORREF clr);
    COLORREF GetBitmapBackground() const;
    BOOL SetCheckBitmaps(int nNormalID, int nSelectedID);
    BOOL SwapItemCommand(UINT nID, UINT nNewID);
    BOOL SetPopupMenu(BOOL bPopup);
    HMENU GetParentMenu() const { return m_hParentMenu; }
    BOOL IsPopupMenu() const { return m_bIsPopup; }

    // --- icon sets ---
    CStyledMenuIcons* FindOrAddSharedIcon(int& nIndex, UINT_PTR nID, CImageList* pImageList, int nImage);
    CStyledMenuIcons* FindOrAddSharedBitmap(int& nIndex, UINT nIDBitmap);
    CStyledMenuIcons* FindOrAddSharedBitmapObject(int& nIndex, CBitmap* pBitmap);
    CStyledMenuIcons* FindOrLoadToolBar(UINT nToolBarID, HINSTANCE hModule);
    CStyledMenuIcons* FindOrLoadToolBarData(const WORD* pToolBarData, COLORREF clrMask);
    static BOOL GetToolBarImageIndex(UINT nID, UINT nToolBarID, int& nImage);
    static void RefreshIconSets() { CStyledMenuIcons::RefreshIconSets(); }

    // --- menu-wide options (each setter returns the old value) ---
    static int SetMenuDrawMode(int nStyle);
    static int GetMenuDrawMode();
    static int SetDisabledIconStyle(int nStyle);
    static int GetDisabledIconStyle();
    static int SetSelectDisableMode(int nMode);
    static int GetSelectDisableMode();
    static int SetFrameAllPopups(int nFrame);
    static int GetFrameAllPopups();
    static void SetTitleFont(const LOGFONT* pLogFont);
    static void SetTitleFont(CFont* pFont);
    static void GetTitleFont(LOGFONT* pLogFont);

    // --- menu messages ---
    static LRESULT HandleMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    static BOOL OnMeasureItem(const MSG* pMsg);
    static void OnInitMenuPopup(HWND hWndOwner, CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    static CMenu* FindMenuOfCommand(HMENU hMenu, UINT_PTR nID);
    static CMenu* FindMenuOfCommand(CMenu* pMenu, UINT_PTR nID) { return FindMenuOfCommand(pMenu->GetSafeHmenu(), nID); }
    static CMenu* FindMenuOfItem(HMENU hMenu, UINT_PTR nID, ULONG_PTR itemData);
    static CMenu* FindMenuOfItem(CMenu* pMenu, UINT_PTR nID, ULONG_PTR itemData) {
        return FindMenuOfItem(pMenu->GetSafeHmenu(), nID, itemData);
    }
    void RememberMenuBarItemRect(HDC hDC, const RECT& rcItem);
    CRect GetMenuBarItemRect() const { return m_rcMenuBarItem; }
    static BOOL DrawMenuBarItem(CWnd* pWnd, CMenu* pMenu, int nPosition, UINT nState);
    static void ApplyMenuBarBrush(HMENU hMenu);
    // Menus whose bar brush follows the menu bar's (the shared menus of the
    // document templates register themselves here).
    static void RegisterSharedMenu(CStyledMenu* pMenu);
    static void UnregisterSharedMenu(CStyledMenu* pMenu);
    // The popup most recently opened (WM_INITMENUPOPUP).
    static HMENU GetLastOpenedPopup();
    static ULONG_PTR GetHotMenuBarItem();
    static void SetHotMenuBarItem(ULONG_PTR itemData);

    // --- measuring and drawing of the styles ---
    void MeasureItemStyle2(LPMEASUREITEMSTRUCT lpMIS, BOOL bMenuBar);
    void MeasureItemStyle0(LPMEASUREITEMSTRUCT lpMIS, BOOL bMenuBar);
    void MeasureItemStyle6(LPMEASUREITEMSTRUCT lpMIS, BOOL bMenuBar);
    void DrawItemStyle2(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar);
    void DrawItemStyle8(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar);
    void DrawItemStyle0(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar);
    void DrawItemStyle4(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar);
    void DrawItemStyle6(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar);
    void DrawTitle(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar);
    static void DrawMarlettGlyph(CDC* pDC, const RECT& rc, char ch, UINT nState);
    static BOOL DrawSystemCommandGlyph(CDC* pDC, const RECT& rc, UINT nID, UINT nState);
    static BOOL DrawSystemCommandGlyphClassic(CDC* pDC, const RECT& rc, UINT nID, UINT nState);
    static BOOL DrawCheckBox3D(CDC* pDC, const RECT& rc, BOOL bSelected, HBITMAP hbmChecked, HBITMAP hbmUnchecked,
                               UINT nState);
    static BOOL DrawColourSwatch(CDC* pDC, CBitmap& bitmap, int cx, int cy, COLORREF clrFill, COLORREF clrBorder,
                                 int nHatchStyle);

    // --- state read by the styles, the popup windows and tests ---
    int GetItemRecordCount() const { return (int)m_items.size(); }
    CStyledMenuItemData* GetItemRecord(int nPos) const;
    const std::vector<HMENU>& GetOwnedSubMenus() const { return m_subMenus; }
    CSize GetIconSize() const { return CSize(m_nIconX, m_nIconY); }
    HWND GetOwnerWindow() const { return m_hOwnerWnd; }
    int GetOpenCount() const { return m_nOpenCount; }
    BOOL IsMenuBar() const { return m_hParentMenu == nullptr && !m_bIsPopup; }
    CImageList* GetCheckMarks() const { return m_pCheckMarks; }
    static CStyledMenu* FromHandleStyled(HMENU hMenu);

protected:
    std::vector<CStyledMenuItemData*> m_items;
    std::vector<HMENU> m_subMenus;
    int m_nIconX = 16;
    int m_nIconY = 15;
    HWND m_hOwnerWnd = nullptr;
    COLORREF m_clrBitmapBack = 0xFF000000;
    CImageList* m_pCheckMarks = nullptr;
    BOOL m_bCheckMarksShared = FALSE;
    int m_nSelectedCheckID = -1;
    int m_nNormalCheckID = -1;
    HMENU m_hParentMenu = nullptr;
    BOOL m_bIsPopup = TRUE;
    CRect m_rcMenuBarItem;
    int m_nOpenCount = 0;
    DWORD m_dwMenuData = 0;

    // Whether a measured item's id is the handle of its sub-menu (a popup
    // item). A command id fits a word, and the platform takes a menu handle's
    // low word alone for the handle too: only an id with a high word is one.
    static BOOL IsPopupItemID(UINT_PTR nItemID);
    void MeasureCommon(LPMEASUREITEMSTRUCT lpMIS, BOOL bMenuBar, int nVariant);
    void DrawFlat(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar, BOOL bGradient);
    void DrawClassic(LPDRAWITEMSTRUCT lpDIS, BOOL bMenuBar, int nVariant);
    // The record of a position, or null.
    CStyledMenuItemData* RecordAt(int nPos) const;
    int FindRecordPosition(const CStyledMenuItemData* pData) const;
    // Finds the CStyledMenu (this or a sub-menu) and position holding a command.
    CStyledMenu* FindHolder(UINT_PTR nID, int& nPos);
    // MF_OWNERDRAW item of position nPos with the record as data (a bitmap record keeps its bitmap item).
    BOOL MakeOwnerDrawn(int nPos, CStyledMenuItemData* pData);
    static UINT NormaliseFlags(UINT nFlags, UINT_PTR nID);
    void AdoptSubMenu(UINT nFlags, UINT_PTR nID);
    void GrowIconSize(CStyledMenuIcons* pIcons);
    void RemoveRecordsOf(int nPos, BOOL bDelete);
    BOOL ApplyIcon(CStyledMenuItemData* pData, CStyledMenuIcons* pIcons, int nIndex);
    CStyledMenuIcons* IconForID(UINT_PTR nID, int nIconID, int& nIndex);
    BOOL ModifyODMenuCore(LPCSTR lpszText, UINT nID, CStyledMenuIcons* pIcons, int nIndex, BOOL bSetIcon);
    BOOL AddBitmapToImageList(CImageList& list, UINT nIDBitmap);
};

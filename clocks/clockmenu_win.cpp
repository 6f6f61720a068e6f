#include "clocks/clockmenu_win.h"

#include "afx/afxwnd.h"

static_assert(CLOCK_MF_GRAYED == MF_GRAYED && CLOCK_MF_CHECKED == MF_CHECKED && CLOCK_MF_POPUP == MF_POPUP
                  && CLOCK_MF_SEPARATOR == MF_SEPARATOR,
              "menu flags");

// The Windows menu goes first, so no sub-menu handle outlives the item
// that shows it.
CClockMenu::~CClockMenu()
{
    DestroyMenu();
}

namespace {

BOOL Append(CClockMenu& menu, const CClockMenuItem& item, UINT nFlags, UINT_PTR nID, CImageList* pImages)
{
    if (item.nIcon >= 0 && pImages != nullptr)
        return menu.AppendItemFromImageList(item.strText, nFlags, nID, pImages, item.nIcon);
    return menu.AppendItem(item.strText, nFlags, nID, -1);
}

void Fill(CClockMenu& menu, const std::vector<CClockMenuItem>& items, CImageList* pImages)
{
    for (const CClockMenuItem& item : items) {
        if (item.nFlags & CLOCK_MF_POPUP) {
            auto sub = std::make_unique<CClockMenu>();
            if (!sub->CreatePopupMenu())
                continue;
            Fill(*sub, item.children, pImages);
            if (Append(menu, item, MF_POPUP | MF_BYPOSITION, reinterpret_cast<UINT_PTR>(sub->GetSafeHmenu()), pImages))
                menu.m_subMenus.push_back(std::move(sub));
        } else if (item.nFlags & CLOCK_MF_SEPARATOR) {
            Append(menu, item, MF_SEPARATOR, 0, nullptr);
        } else {
            Append(menu, item, item.nFlags, item.nID, pImages);
        }
    }
}

} // namespace

std::unique_ptr<CClockMenu> CreateClockMenu(const std::vector<CClockMenuItem>& items, CImageList* pImages)
{
    CStyledMenu::SetDisabledIconStyle(0);
    auto menu = std::make_unique<CClockMenu>();
    if (!menu->CreatePopupMenu())
        return nullptr;
    Fill(*menu, items, pImages);
    return menu;
}

void TrackClockMenu(CClockMenu& menu, POINT pt, CWnd* pOwner)
{
    menu.TrackPopupMenu(TPM_BOTTOMALIGN, pt.x, pt.y, pOwner);
}

void MeasureClockMenuItem(CClockMenu& menu, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    menu.MeasureItem(lpMeasureItemStruct);
}

LRESULT ClockMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu)
{
    return CStyledMenu::HandleMenuChar(nChar, nFlags, pMenu);
}

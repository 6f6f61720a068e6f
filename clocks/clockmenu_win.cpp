#include "clocks/clockmenu_win.h"

#include "afx/afxwnd.h"

static_assert(CLOCK_MF_GRAYED == MF_GRAYED && CLOCK_MF_CHECKED == MF_CHECKED && CLOCK_MF_POPUP == MF_POPUP
                  && CLOCK_MF_SEPARATOR == MF_SEPARATOR,
              "menu flags");

namespace {

void Fill(CClockMenu& menu, const std::vector<CClockMenuItem>& items, CImageList* pImages)
{
    for (const CClockMenuItem& item : items) {
        if (item.nFlags & CLOCK_MF_POPUP) {
            auto sub = std::make_unique<CClockMenu>();
            if (!sub->CreatePopupMenu())
                continue;
            Fill(*sub, item.children, pImages);
            menu.AppendMenu(MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub->GetSafeHmenu()), item.strText);
            menu.m_subMenus.push_back(std::move(sub));
        } else if (item.nFlags & CLOCK_MF_SEPARATOR) {
            menu.AppendMenu(MF_SEPARATOR);
        } else {
            menu.AppendMenu(MF_STRING | item.nFlags, item.nID, item.strText);
        }
    }
    (void)pImages;
}

} // namespace

std::unique_ptr<CClockMenu> CreateClockMenu(const std::vector<CClockMenuItem>& items, CImageList* pImages)
{
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

LRESULT ClockMenuChar(UINT, UINT, CMenu*)
{
    return 0;
}

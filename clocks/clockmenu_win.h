// The clocks' context menus: a menu model (clockmodel.h) made into a popup
// menu with the clock's icons, tracked at a point and measured and keyed for
// the owner window.
#pragma once

#include "afx/afxgdi.h"
#include "clocks/clockmodel.h"
#include "menus/styledmenu.h"

#include <memory>
#include <vector>

// An owner-drawn popup menu that owns the sub-menus it holds; they live as
// long as it.
class CClockMenu : public CStyledMenu {
public:
    ~CClockMenu() override;
    std::vector<std::unique_ptr<CClockMenu>> m_subMenus;
};

// A new popup menu of the items.
std::unique_ptr<CClockMenu> CreateClockMenu(const std::vector<CClockMenuItem>& items, CImageList* pImages);
// Shows the menu with its bottom-left corner at pt; the choice arrives as WM_COMMAND.
void TrackClockMenu(CClockMenu& menu, POINT pt, CWnd* pOwner);
void MeasureClockMenuItem(CClockMenu& menu, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
LRESULT ClockMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);

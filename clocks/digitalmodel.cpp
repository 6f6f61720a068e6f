#include "clocks/digitalmodel.h"

#include "core/settings.h"

namespace {

// Short names for the menu's items.
CClockMenuItem Item(const CString& strText, UINT nID, UINT nFlags = 0, int nIcon = -1)
{
    return MakeClockMenuItem(strText, nID, nFlags, nIcon);
}

CClockMenuItem Separator()
{
    return MakeClockMenuSeparator();
}

UINT Checked(BOOL b)
{
    return ClockMenuChecked(b);
}

UINT Grayed(BOOL b)
{
    return ClockMenuGrayed(b);
}

} // namespace

INT_PTR GetFormatIndexOfCommand(UINT nID, INT_PTR nPresetCount)
{
    if (nID < ID_DIGITAL_FORMAT_FIRST)
        return -1;
    const INT_PTR i = static_cast<INT_PTR>(nID - ID_DIGITAL_FORMAT_FIRST);
    return i < nPresetCount ? i : -1;
}

std::vector<CClockMenuItem> BuildDigitalMenu(CSettings& s, const CSortStringArray& skins, const CStringArray& presets)
{
    if (s.m_bDigitalOnTop)
        s.m_bDigitalOnBottom = FALSE;
    if (s.m_nDigitalFixedSize < 10)
        s.m_nDigitalFixedSize = -1;

    std::vector<CClockMenuItem> menu;
    menu.push_back(Item("Always on top", ID_DIGITAL_ONTOP,
                        s.m_bDigitalOnTop ? Checked(TRUE) : Grayed(s.m_bDigitalOnBottom)));
    menu.push_back(Item("Always bottom", ID_DIGITAL_ONBOTTOM,
                        s.m_bDigitalOnBottom ? Checked(TRUE) : Grayed(s.m_bDigitalOnTop)));
    menu.push_back(Item("Auto removing", ID_DIGITAL_AUTOREMOVE,
                        Checked(s.m_bDigitalAutoRemove) | Grayed(s.m_bDigitalAlwaysCenter)));
    menu.push_back(Item("Always center clock", ID_DIGITAL_ALWAYSCENTER, Checked(s.m_bDigitalAlwaysCenter)));
    menu.push_back(Item("Auto-changing skin", ID_DIGITAL_AUTOCHANGE, Checked(s.m_bDigitalAutoChange)));
    menu.push_back(Item("Lock movement", ID_DIGITAL_LOCK, Checked(s.m_bDigitalLockMovement)));
    menu.push_back(Separator());

    menu.push_back(BuildEffectsMenu(s.m_nDigitalLight, s.m_nDigitalContrast, s.m_nDigitalJitter,
                                    ID_DIGITAL_LIGHT_FIRST, ID_DIGITAL_CONTRAST_FIRST, ID_DIGITAL_JITTER_FIRST,
                                    DIGITAL_ICON_EFFECTS));

    menu.push_back(BuildScalingMenu(s.m_nDigitalScale, s.m_nDigitalFixedSize, ID_DIGITAL_FIXEDSIZE,
                                    ID_DIGITAL_SCALE_FIRST, ID_DIGITAL_SCALE_MENU_LAST - 500, DIGITAL_ICON_SCALING));

    menu.push_back(BuildSkinMenu(skins, s.m_strDigitalSkin, ID_DIGITAL_SKINBROWSER, DIGITAL_ICON_SKIN,
                                 DIGITAL_ICON_CHOOSESKIN));

    CClockMenuItem formats = MakeClockMenuPopup("Date/Time formats", DIGITAL_ICON_FORMATS);
    formats.children.push_back(Item("Custom...", ID_DIGITAL_FORMAT_CUSTOM));
    formats.children.push_back(Separator());
    for (INT_PTR i = 0; i < presets.GetSize(); i++)
        formats.children.push_back(Item(presets[i], ID_DIGITAL_FORMAT_FIRST + static_cast<UINT>(i),
                                        Checked(presets[i] == s.m_strDigitalFormat)));
    menu.push_back(formats);

    menu.push_back(Separator());
    menu.push_back(Item("Center clock", ID_DIGITAL_CENTER, 0, DIGITAL_ICON_CENTER));
    menu.push_back(Item("Show clock options...", ID_DIGITAL_OPTIONS, 0, DIGITAL_ICON_OPTIONS));
    // The skin icon, as the skin items show it.
    menu.push_back(Item("Skin info...", ID_DIGITAL_SKININFO, 0, DIGITAL_ICON_SKIN));
    menu.push_back(Separator());
    menu.push_back(Item("Hide digital clock", ID_DIGITAL_HIDE, 0, DIGITAL_ICON_HIDE));
    return menu;
}

// The digital clock's commands, its menu icons and the model of its context
// menu. No windows: the window makes the menu from these items.
#pragma once

#include "clocks/clockmodel.h"

// Digital clock commands. Skin items take the ids of clockmodel.h.
enum {
    ID_DIGITAL_ONTOP = 301,
    ID_DIGITAL_HIDE = 302,
    ID_DIGITAL_AUTOCHANGE = 304,
    ID_DIGITAL_OPTIONS = 307,
    ID_DIGITAL_SKINBROWSER = 309,
    ID_DIGITAL_AUTOREMOVE = 310,
    ID_DIGITAL_ALWAYSCENTER = 311,
    ID_DIGITAL_LOCK = 312,
    ID_DIGITAL_CENTER = 313,
    ID_DIGITAL_FIXEDSIZE = 314,
    ID_DIGITAL_ONBOTTOM = 315,
    ID_DIGITAL_SKININFO = 316,
    ID_DIGITAL_SCALE_FIRST = 501,  // (id - 500) x 10 percent; the menu offers 10 % .. 150 %
    ID_DIGITAL_SCALE_MENU_LAST = 515,
    ID_DIGITAL_SCALE_LAST = 530,
    ID_DIGITAL_LIGHT_FIRST = 600,  // + value 0..10
    ID_DIGITAL_CONTRAST_FIRST = 611,
    ID_DIGITAL_JITTER_FIRST = 622,
    ID_DIGITAL_EFFECT_LAST = 632,
    ID_DIGITAL_FORMAT_CUSTOM = 900,
    ID_DIGITAL_FORMAT_FIRST = 901, // + preset index
};

// Icons of the digital clock's menu, in the window's icon list.
enum {
    DIGITAL_ICON_EFFECTS,
    DIGITAL_ICON_SCALING,
    DIGITAL_ICON_CHOOSESKIN,
    DIGITAL_ICON_FORMATS,
    DIGITAL_ICON_CENTER,
    DIGITAL_ICON_OPTIONS,
    DIGITAL_ICON_HIDE,
    DIGITAL_ICON_SKIN,
    DIGITAL_ICON_SKININFO,
    DIGITAL_ICON_COUNT
};

// The preset index of a command, or -1.
INT_PTR GetFormatIndexOfCommand(UINT nID, INT_PTR nPresetCount);

// The digital clock's menu. It also tidies the settings as the menu shows
// them: the bottom flag goes when on top is set, a fixed size below 10 becomes -1.
std::vector<CClockMenuItem> BuildDigitalMenu(CSettings& settings, const CSortStringArray& skins,
                                             const CStringArray& presets);

// The arithmetic and rules of the skinned clock windows, without windows:
// hand angles, scaling, pivots, placement in the work area, the automatic
// skin change and the context menu's model. Both clocks use these; the
// windows only apply what they answer.
#pragma once

#include "afx/afxgeom.h"
#include "afx/afxstr.h"
#include "afx/wintypes.h"
#include "controls/sortstringarray.h"

#include <cstdint>
#include <vector>

class CSettings;

// ---- time and hands --------------------------------------------------------

struct CHandAngles {
    int nHour;
    int nMinute;
    int nSecond;
};

// Degrees clockwise from 12 o'clock; the hour hand moves a degree every two minutes.
CHandAngles GetHandAngles(int nHour, int nMinute, int nSecond);

// ---- scaling ---------------------------------------------------------------

// Pictures larger than this on a side are refused rather than allocated.
const DWORD CLOCK_MAX_SIDE = 16384;

// A requested scale below 10 percent means 100.
int NormalizeScale(int nScale);
// The scale a load uses: with a fixed size above 0, the fixed size over the
// largest picture side (20 when there is no side at all), else nScale.
int GetLoadScale(int nScale, int nFixedSize, DWORD nLargestSide);
// nLength x nScale / 100 in 64 bits, at least 1; 0 when it passes CLOCK_MAX_SIDE
// or the scale is not positive.
DWORD ScaleLength(DWORD nLength, int nScale);

// What a load that cannot draw the clock at its size tells the user: the
// requested scale or, with a fixed size above 0, the fixed size; nLoadScale
// is the scale that came out of it (not positive: the skin's pictures are
// too large for the fixed size).
CString GetClockSizeText(int nScale, int nFixedSize, int nLoadScale);
// What a load whose pictures or bitmaps cannot be made tells the user.
CString GetClockMemoryText(LONG nWidth, LONG nHeight);

struct CPivot {
    LONG nSkin;   // as the skin gives it (for "middle" the scaled half)
    LONG nScaled; // in pixels of the scaled face
};
// A pivot field: "middle" is the scaled half length, anything else the
// number read as atoi reads it, scaled and truncated toward zero.
CPivot GetPivot(const CString& strField, DWORD nScaledLength, int nScale);

// ---- placement -------------------------------------------------------------

// (left + client width / 2, top + client height / 2), halves toward zero.
CPoint GetCenterOf(const RECT& rcWindow, int nClientWidth, int nClientHeight);
// The top-left corner that puts a window of that size around ptCenter.
CPoint GetTopLeftAround(POINT ptCenter, LONG nWidth, LONG nHeight);

struct CPlacement {
    CRect rc;        // where the window goes first
    BOOL bCenterH;   // then centred horizontally on the screen
    BOOL bCenterV;   // and/or vertically
};
// The work-area rule: a clock with more than half of it beyond an edge (any
// part of it with bAutoRemove) is pulled back to the work area's edge; one
// larger than the work area in a direction is centred in that direction.
CPlacement KeepRectInWorkArea(const RECT& rcWindow, const RECT& rcWork, BOOL bAutoRemove);
// Offsets that centre rcWindow on a screen of the given full-screen size.
CPoint GetCenterOffset(const RECT& rcWindow, int nScreenWidth, int nScreenHeight, BOOL bHorizontal, BOOL bVertical);

// ---- automatic change of skins ---------------------------------------------

// Milliseconds between changes; 0 means no timer. Capped at the largest
// interval a timer takes.
UINT GetAutoChangeInterval(BOOL bByMinutes, int nMinutes, BOOL bBySeconds, int nSeconds);
// The names of strList that a separator ends; text after the last one is ignored.
void SplitSkinList(const CString& strList, const CString& strSeparator, CStringArray& names);

// Skins not yet shown in the current cycle of the automatic change.
class CSkinChangePool {
public:
    // Refills from strList when empty. FALSE when the pool stays empty.
    BOOL Refill(const CString& strList, const CString& strSeparator);
    // Takes entry nRandom modulo the size out of the pool.
    CString Take(int nRandom);
    INT_PTR GetSize() const { return m_names.GetSize(); }
    const CSortStringArray& GetNames() const { return m_names; }

private:
    CSortStringArray m_names;
};

// ---- context menu model ----------------------------------------------------

// Item flags, with the values of the menu flags of the same names.
enum : UINT {
    CLOCK_MF_GRAYED = 0x0001,
    CLOCK_MF_CHECKED = 0x0008,
    CLOCK_MF_POPUP = 0x0010,
    CLOCK_MF_SEPARATOR = 0x0800,
};

struct CClockMenuItem {
    CString strText;
    UINT nFlags = 0;    // CLOCK_MF_*
    UINT nID = 0;       // 0 for separators and sub-menus
    int nIcon = -1;     // index in the window's icon list, -1 none
    std::vector<CClockMenuItem> children;
};

// Analog clock commands.
enum {
    ID_ANALOG_SCALE_FIRST = 501,   // 10 % .. 150 %: 500 + k
    ID_ANALOG_SCALE_LAST = 515,
    ID_ANALOG_LIGHT_FIRST = 600,   // + value 0..10
    ID_ANALOG_CONTRAST_FIRST = 611,
    ID_ANALOG_JITTER_FIRST = 622,
    ID_ANALOG_EFFECT_LAST = 632,
    ID_ANALOG_SECONDHAND = 402,
    ID_ANALOG_AUTOREMOVE = 404,
    ID_ANALOG_OPTIONS = 405,
    ID_ANALOG_AUTOCHANGE = 406,
    ID_ANALOG_CENTER = 407,
    ID_ANALOG_ALWAYSCENTER = 408,
    ID_ANALOG_SKINBROWSER = 411,
    ID_ANALOG_FIXEDSIZE = 412,
    ID_ANALOG_LOCK = 413,
    ID_ANALOG_ONBOTTOM = 414,
    ID_ANALOG_SKININFO = 415,
    ID_ANALOG_ONTOP = 32813,
    ID_ANALOG_HIDE = 32815,
};

// Skin items get ids of their own, above every fixed command of both clocks
// and below the system's, so no count of installed skins can reach another
// command. Skins past the range get no item.
const UINT ID_CLOCK_SKIN_FIRST = 0x9000;
const UINT ID_CLOCK_SKIN_LAST = 0xEFFF;
// The skin index of a command, or -1.
INT_PTR GetSkinIndexOfCommand(UINT nID, INT_PTR nSkinCount);

// Icons of the analog clock's menu, in the window's icon list.
enum {
    ANALOG_ICON_EFFECTS,
    ANALOG_ICON_SCALING,
    ANALOG_ICON_CHOOSESKIN,
    ANALOG_ICON_CENTER,
    ANALOG_ICON_OPTIONS,
    ANALOG_ICON_HIDE,
    ANALOG_ICON_SKIN,
    ANALOG_ICON_SKININFO,
    ANALOG_ICON_COUNT
};

// Items of the clocks' menus.
CClockMenuItem MakeClockMenuItem(const CString& strText, UINT nID, UINT nFlags = 0, int nIcon = -1);
CClockMenuItem MakeClockMenuSeparator();
CClockMenuItem MakeClockMenuPopup(const char* pszText, int nIcon);
inline UINT ClockMenuChecked(BOOL b) { return b ? static_cast<UINT>(CLOCK_MF_CHECKED) : 0u; }
inline UINT ClockMenuGrayed(BOOL b) { return b ? static_cast<UINT>(CLOCK_MF_GRAYED) : 0u; }

// "Scaling": "Fixed size", then 10 % .. nLastTenth x 10 % (ids nScaleFirst + k - 1).
CClockMenuItem BuildScalingMenu(int nScale, int nFixedSize, UINT nFixedID, UINT nScaleFirst, int nLastTenth,
                                int nIcon);
// The three "Effects" sub-menus (ids nLightFirst + value etc.).
CClockMenuItem BuildEffectsMenu(int nLight, int nContrast, int nJitter, UINT nLightFirst, UINT nContrastFirst,
                                UINT nJitterFirst, int nIcon);
// "Choose skin": one item per skin, then "Skin Browser...".
CClockMenuItem BuildSkinMenu(const CSortStringArray& skins, const CString& strCurrent, UINT nBrowserID,
                             int nSkinIcon, int nIcon);

// The analog clock's menu. It also tidies the settings as the menu shows
// them: the bottom flag goes when on top is set, a fixed size below 10 becomes -1.
std::vector<CClockMenuItem> BuildAnalogMenu(CSettings& settings, const CSortStringArray& skins, BOOL bHasSecondHand);

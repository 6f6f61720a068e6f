#include "clocks/clockmodel.h"

#include "clocks/skinarchive.h"
#include "clocks/skindata.h"
#include "core/settings.h"

#include <algorithm>

CHandAngles GetHandAngles(int nHour, int nMinute, int nSecond)
{
    CHandAngles angles;
    angles.nHour = (nHour % 12) * 30 + nMinute / 2;
    angles.nMinute = nMinute * 6;
    angles.nSecond = nSecond * 6;
    return angles;
}

int NormalizeScale(int nScale)
{
    return nScale < 10 ? 100 : nScale;
}

int GetLoadScale(int nScale, int nFixedSize, DWORD nLargestSide)
{
    if (nFixedSize <= 0)
        return nScale;
    if (nLargestSide == 0)
        return 20;
    const int64_t nFixed = static_cast<int64_t>(nFixedSize) * 100 / nLargestSide;
    return static_cast<int>(std::min<int64_t>(nFixed, INT32_MAX));
}

DWORD ScaleLength(DWORD nLength, int nScale)
{
    if (nScale <= 0)
        return 0;
    const uint64_t n = static_cast<uint64_t>(nLength) * static_cast<uint64_t>(nScale) / 100;
    if (n > CLOCK_MAX_SIDE)
        return 0;
    return n < 1 ? 1 : static_cast<DWORD>(n);
}

CString GetClockSizeText(int nScale, int nFixedSize, int nLoadScale)
{
    CString strAt;
    if (nFixedSize > 0)
        strAt.Format("at a fixed size of %d pixels", nFixedSize);
    else
        strAt.Format("at %d %%", nScale);
    CString strText;
    if (nLoadScale <= 0)
        strText.Format("Cannot show the clock %s: the skin's pictures are too large for it!", strAt.GetString());
    else
        strText.Format("Cannot show the clock %s: a side would be larger than %lu pixels!", strAt.GetString(),
                       static_cast<unsigned long>(CLOCK_MAX_SIDE));
    return strText;
}

CString GetClockMemoryText(LONG nWidth, LONG nHeight)
{
    CString strText;
    strText.Format("Not enough memory for a clock of %ld x %ld pixels!", static_cast<long>(nWidth),
                   static_cast<long>(nHeight));
    return strText;
}

CPivot GetPivot(const CString& strField, DWORD nScaledLength, int nScale)
{
    CPivot pivot;
    const SkinDescription::Pivot read = SkinDescription::ReadPivot(strField);
    if (read.bMiddle) {
        pivot.nSkin = pivot.nScaled = static_cast<LONG>(nScaledLength / 2);
        return pivot;
    }
    pivot.nSkin = read.nValue;
    // Truncated toward zero, as integer division does; a skin's pivot lies
    // within its face, so the scaled value stays far inside a LONG.
    const int64_t n = static_cast<int64_t>(read.nValue) * nScale / 100;
    pivot.nScaled = static_cast<LONG>(std::max<int64_t>(std::min<int64_t>(n, INT32_MAX), INT32_MIN));
    return pivot;
}

CPoint GetCenterOf(const RECT& rcWindow, int nClientWidth, int nClientHeight)
{
    return CPoint(static_cast<int>(rcWindow.left + nClientWidth / 2), static_cast<int>(rcWindow.top + nClientHeight / 2));
}

CPoint GetTopLeftAround(POINT ptCenter, LONG nWidth, LONG nHeight)
{
    return CPoint(static_cast<int>(ptCenter.x - nWidth / 2), static_cast<int>(ptCenter.y - nHeight / 2));
}

// The edges are measured from the work area's own origin, so a work area
// that does not start at (0, 0) (a task bar on the left or top, a second
// monitor) is kept as well as the primary one.
CPlacement KeepRectInWorkArea(const RECT& rcWindow, const RECT& rcWork, BOOL bAutoRemove)
{
    CPlacement place;
    place.rc = rcWindow;
    place.bCenterH = place.bCenterV = FALSE;
    CRect& r = place.rc;
    const int64_t w = static_cast<int64_t>(r.right) - r.left;
    const int64_t h = static_cast<int64_t>(r.bottom) - r.top;
    const int64_t aw = static_cast<int64_t>(rcWork.right) - rcWork.left;
    const int64_t ah = static_cast<int64_t>(rcWork.bottom) - rcWork.top;

    if (r.left < rcWork.left && (bAutoRemove || static_cast<int64_t>(r.right) - rcWork.left < w / 2)) {
        if (w < aw)
            r.OffsetRect(rcWork.left - r.left, 0);
        else
            place.bCenterH = TRUE;
    }
    if (r.right > rcWork.right && (bAutoRemove || static_cast<int64_t>(r.right) - rcWork.right > w / 2)
        && !place.bCenterH) {
        if (w < aw)
            r.OffsetRect(rcWork.right - r.right, 0);
        else
            place.bCenterH = TRUE;
    }
    if (r.top < rcWork.top && (bAutoRemove || static_cast<int64_t>(r.bottom) - rcWork.top < h / 2)) {
        if (h < ah)
            r.OffsetRect(0, rcWork.top - r.top);
        else
            place.bCenterV = TRUE;
    }
    if (r.bottom > rcWork.bottom && (bAutoRemove || static_cast<int64_t>(r.bottom) - rcWork.bottom > h / 2)
        && !place.bCenterV) {
        if (h < ah)
            r.OffsetRect(0, rcWork.bottom - r.bottom);
        else
            place.bCenterV = TRUE;
    }
    return place;
}

CPoint GetCenterOffset(const RECT& rcWindow, int nScreenWidth, int nScreenHeight, BOOL bHorizontal, BOOL bVertical)
{
    const LONG w = rcWindow.right - rcWindow.left;
    const LONG h = rcWindow.bottom - rcWindow.top;
    return CPoint(bHorizontal ? static_cast<int>(nScreenWidth / 2 - w / 2 - rcWindow.left) : 0,
                  bVertical ? static_cast<int>(nScreenHeight / 2 - h / 2 - rcWindow.top) : 0);
}

UINT GetAutoChangeInterval(BOOL bByMinutes, int nMinutes, BOOL bBySeconds, int nSeconds)
{
    int64_t n = 0;
    if (bByMinutes)
        n += static_cast<int64_t>(nMinutes) * 60000;
    if (bBySeconds)
        n += static_cast<int64_t>(nSeconds) * 1000;
    if (n < 1)
        return 0;
    return static_cast<UINT>(std::min<int64_t>(n, 0x7FFFFFFF));
}

void SplitSkinList(const CString& strList, const CString& strSeparator, CStringArray& names)
{
    names.RemoveAll();
    const int nSep = strSeparator.GetLength();
    if (nSep == 0)
        return;
    int nStart = 0;
    for (;;) {
        const int nAt = strList.Find(strSeparator, nStart);
        if (nAt < 0)
            break;
        names.Add(strList.Mid(nStart, nAt - nStart));
        nStart = nAt + nSep;
    }
}

BOOL CSkinChangePool::Refill(const CString& strList, const CString& strSeparator)
{
    if (m_names.GetSize() == 0) {
        SplitSkinList(strList, strSeparator, m_names);
        m_names.Sort();
    }
    return m_names.GetSize() > 0;
}

CString CSkinChangePool::Take(int nRandom)
{
    const INT_PTR nSize = m_names.GetSize();
    if (nSize == 0)
        return CString();
    const INT_PTR r = static_cast<INT_PTR>(static_cast<unsigned>(nRandom) % static_cast<unsigned>(nSize));
    const CString strName = m_names[r];
    m_names.RemoveAt(r);
    return strName;
}

INT_PTR GetSkinIndexOfCommand(UINT nID, INT_PTR nSkinCount)
{
    if (nID < ID_CLOCK_SKIN_FIRST || nID > ID_CLOCK_SKIN_LAST)
        return -1;
    const INT_PTR i = static_cast<INT_PTR>(nID - ID_CLOCK_SKIN_FIRST);
    return i < nSkinCount ? i : -1;
}

namespace {

CClockMenuItem Item(const CString& strText, UINT nID, UINT nFlags = 0, int nIcon = -1)
{
    return MakeClockMenuItem(strText, nID, nFlags, nIcon);
}

CClockMenuItem Separator()
{
    return MakeClockMenuSeparator();
}

CClockMenuItem Popup(const char* pszText, int nIcon)
{
    return MakeClockMenuPopup(pszText, nIcon);
}

UINT Checked(BOOL b)
{
    return ClockMenuChecked(b);
}

UINT Grayed(BOOL b)
{
    return ClockMenuGrayed(b);
}

CClockMenuItem ValueMenu(const char* pszText, int nValue, UINT nFirst)
{
    CClockMenuItem menu = Popup(pszText, -1);
    for (int v = 0; v <= 10; v++) {
        CString strText;
        if (v == 0)
            strText = "No";
        else
            strText.Format("%d", v);
        menu.children.push_back(Item(strText, nFirst + v, Checked(v == nValue)));
    }
    return menu;
}

} // namespace

CClockMenuItem MakeClockMenuItem(const CString& strText, UINT nID, UINT nFlags, int nIcon)
{
    CClockMenuItem item;
    item.strText = strText;
    item.nID = nID;
    item.nFlags = nFlags;
    item.nIcon = nIcon;
    return item;
}

CClockMenuItem MakeClockMenuSeparator()
{
    return MakeClockMenuItem("", 0, CLOCK_MF_SEPARATOR);
}

CClockMenuItem MakeClockMenuPopup(const char* pszText, int nIcon)
{
    return MakeClockMenuItem(pszText, 0, CLOCK_MF_POPUP, nIcon);
}

CClockMenuItem BuildScalingMenu(int nScale, int nFixedSize, UINT nFixedID, UINT nScaleFirst, int nLastTenth,
                                int nIcon)
{
    CClockMenuItem scaling = Popup("Scaling", nIcon);
    const BOOL bFixed = nFixedSize >= 1;
    scaling.children.push_back(Item("Fixed size", nFixedID, Checked(bFixed)));
    for (int k = 1; k <= nLastTenth; k++) {
        if (k == 1 || k == 10)
            scaling.children.push_back(Separator());
        CString strText;
        strText.Format("%d%%", k * 10);
        scaling.children.push_back(Item(strText, nScaleFirst + k - 1, Checked(!bFixed && nScale == k * 10)));
    }
    return scaling;
}

CClockMenuItem BuildEffectsMenu(int nLight, int nContrast, int nJitter, UINT nLightFirst, UINT nContrastFirst,
                                UINT nJitterFirst, int nIcon)
{
    CClockMenuItem menu = Popup("Effects", nIcon);
    menu.children.push_back(ValueMenu("Light", nLight, nLightFirst));
    menu.children.push_back(ValueMenu("Contrast", nContrast, nContrastFirst));
    menu.children.push_back(ValueMenu("Jitter", nJitter, nJitterFirst));
    return menu;
}

CClockMenuItem BuildSkinMenu(const CSortStringArray& skins, const CString& strCurrent, UINT nBrowserID,
                             int nSkinIcon, int nIcon)
{
    CClockMenuItem menu = Popup("Choose skin", nIcon);
    const INT_PTR nMax = static_cast<INT_PTR>(ID_CLOCK_SKIN_LAST - ID_CLOCK_SKIN_FIRST + 1);
    // The skin a load of the setting opens: the menu checks what the clock shows.
    const INT_PTR nCurrent = FindSkinName(skins, strCurrent);
    for (INT_PTR i = 0; i < skins.GetSize() && i < nMax; i++)
        menu.children.push_back(Item(skins[i], ID_CLOCK_SKIN_FIRST + static_cast<UINT>(i),
                                     Checked(i == nCurrent), nSkinIcon));
    menu.children.push_back(Separator());
    menu.children.push_back(Item("Skin Browser...", nBrowserID));
    return menu;
}

std::vector<CClockMenuItem> BuildAnalogMenu(CSettings& s, const CSortStringArray& skins, BOOL bHasSecondHand)
{
    if (s.m_bAnalogOnTop)
        s.m_bAnalogOnBottom = FALSE;
    if (s.m_nAnalogFixedSize < 10)
        s.m_nAnalogFixedSize = -1;

    std::vector<CClockMenuItem> menu;
    menu.push_back(Item("Always on top", ID_ANALOG_ONTOP,
                        s.m_bAnalogOnTop ? Checked(TRUE) : Grayed(s.m_bAnalogOnBottom)));
    menu.push_back(Item("Always bottom", ID_ANALOG_ONBOTTOM,
                        s.m_bAnalogOnBottom ? Checked(TRUE) : Grayed(s.m_bAnalogOnTop)));
    menu.push_back(Item("Auto removing", ID_ANALOG_AUTOREMOVE,
                        Checked(s.m_bAnalogAutoRemove) | Grayed(s.m_bAnalogAlwaysCenter)));
    menu.push_back(Item("Always center clock", ID_ANALOG_ALWAYSCENTER, Checked(s.m_bAnalogAlwaysCenter)));
    menu.push_back(Item("Show second hand", ID_ANALOG_SECONDHAND,
                        Checked(s.m_bAnalogSecondHand) | Grayed(!bHasSecondHand)));
    menu.push_back(Item("Auto-changing skin", ID_ANALOG_AUTOCHANGE, Checked(s.m_bAnalogAutoChange)));
    menu.push_back(Item("Lock movement", ID_ANALOG_LOCK, Checked(s.m_bAnalogLockMovement)));
    menu.push_back(Separator());

    menu.push_back(BuildEffectsMenu(s.m_nAnalogLight, s.m_nAnalogContrast, s.m_nAnalogJitter, ID_ANALOG_LIGHT_FIRST,
                                    ID_ANALOG_CONTRAST_FIRST, ID_ANALOG_JITTER_FIRST, ANALOG_ICON_EFFECTS));

    menu.push_back(BuildScalingMenu(s.m_nAnalogScale, s.m_nAnalogFixedSize, ID_ANALOG_FIXEDSIZE, ID_ANALOG_SCALE_FIRST,
                                    ID_ANALOG_SCALE_LAST - 500, ANALOG_ICON_SCALING));

    menu.push_back(BuildSkinMenu(skins, s.m_strAnalogSkin, ID_ANALOG_SKINBROWSER, ANALOG_ICON_SKIN,
                                 ANALOG_ICON_CHOOSESKIN));
    menu.push_back(Separator());
    menu.push_back(Item("Center clock", ID_ANALOG_CENTER, 0, ANALOG_ICON_CENTER));
    menu.push_back(Item("Show clock options...", ID_ANALOG_OPTIONS, 0, ANALOG_ICON_OPTIONS));
    menu.push_back(Item("Skin info...", ID_ANALOG_SKININFO, 0, ANALOG_ICON_SKININFO));
    menu.push_back(Separator());
    menu.push_back(Item("Hide clock", ID_ANALOG_HIDE, 0, ANALOG_ICON_HIDE));
    return menu;
}

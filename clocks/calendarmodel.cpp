#include "clocks/calendarmodel.h"

#include <algorithm>

const CCalendarColour g_calendarColours[CALENDAR_COLOURS] = {
    { &CSettings::m_bCalUseBackColor, &CSettings::m_crCalBack, CAL_COLOR_BACKGROUND, 1368, 1000 },
    { &CSettings::m_bCalUseMonthBackColor, &CSettings::m_crCalMonthBack, CAL_COLOR_MONTHBK, 1363, 1001 },
    { &CSettings::m_bCalUseTextColor, &CSettings::m_crCalText, CAL_COLOR_TEXT, 1364, 1002 },
    { &CSettings::m_bCalUseTitleBackColor, &CSettings::m_crCalTitleBack, CAL_COLOR_TITLEBK, 1365, 1003 },
    { &CSettings::m_bCalUseTitleTextColor, &CSettings::m_crCalTitleText, CAL_COLOR_TITLETEXT, 1366, 1004 },
    { &CSettings::m_bCalUseTrailingTextColor, &CSettings::m_crCalTrailingText, CAL_COLOR_TRAILINGTEXT, 1367,
        1106 },
};

const char* const g_apszCalendarWeekDays[CALENDAR_WEEKDAYS] = {
    "Monday",
    "Tuesday",
    "Wednesday",
    "Thursday",
    "Friday",
    "Saturday",
    "Sunday",
};

int ValidateCalendarFirstDay(CSettings& settings)
{
    if (settings.m_nCalFirstDay < 0 || settings.m_nCalFirstDay >= CALENDAR_WEEKDAYS)
        settings.m_nCalFirstDay = 0;
    return settings.m_nCalFirstDay;
}

CCalendarLayout FitCalendarPanes(const CRect& rcClient, const CRect& rcMinMonth, int nMaxTodayWidth)
{
    CRect rcPane = rcMinMonth;
    rcPane.right += rcPane.Width() / 20;
    rcPane.bottom += nMaxTodayWidth;
    CCalendarLayout layout;
    if (rcPane.Width() <= 0 || rcPane.Height() <= 0) {
        layout.nCols = layout.nRows = 1;
        layout.rcControl = CRect(0, 0, rcClient.Width(), rcClient.Height());
        return layout;
    }
    layout.nCols = rcClient.Width() / rcPane.Width();
    layout.nRows = rcClient.Height() / rcPane.Height();
    if (layout.nCols < 1)
        layout.nCols = 1;
    if (layout.nRows < 1)
        layout.nRows = 1;
    const int nWidth = layout.nCols * rcPane.Width();
    const int nHeight = layout.nRows * rcPane.Height();
    // Centred; a pane larger than the window starts at its top left corner, so
    // the month's heading stays in view rather than half of it above the window.
    const int x = std::max(0, rcClient.Width() / 2 - nWidth / 2);
    const int y = std::max(0, rcClient.Height() / 2 - nHeight / 2);
    layout.rcControl = CRect(x, y, x + nWidth, y + nHeight);
    return layout;
}

void CCalendarOptionsValues::Load(CSettings& settings)
{
    for (int i = 0; i < CALENDAR_COLOURS; i++) {
        abUse[i] = settings.*g_calendarColours[i].pbUse;
        acrColour[i] = settings.*g_calendarColours[i].pcrColour;
    }
    bOnTop = settings.m_bCalendarOnTop;
    wHotKeyVK = settings.m_hkCalendar.wVirtualKey;
    wHotKeyMods = settings.m_hkCalendar.wModifiers;
    bCustomFirstDay = settings.m_bCalCustomFirstDay;
    if (settings.m_bCalendarToggleHides != 0)
        settings.m_bCalendarToggleHides = 1;
    nFirstDay = ValidateCalendarFirstDay(settings);
}

void CCalendarOptionsValues::Store(CSettings& settings) const
{
    for (int i = 0; i < CALENDAR_COLOURS; i++) {
        settings.*g_calendarColours[i].pbUse = abUse[i];
        settings.*g_calendarColours[i].pcrColour = acrColour[i];
    }
    settings.m_bCalendarOnTop = bOnTop;
    settings.m_hkCalendar.wVirtualKey = wHotKeyVK;
    settings.m_hkCalendar.wModifiers = wHotKeyMods;
    settings.m_bCalCustomFirstDay = bCustomFirstDay;
    settings.m_nCalFirstDay = nFirstDay >= 0 && nFirstDay < CALENDAR_WEEKDAYS ? nFirstDay : 0;
}

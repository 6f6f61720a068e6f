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

// The minimum rectangle already holds the "today" line below the month; its
// width is what the line may need beyond the month's. Added to the height, as
// a pane once was, it let the control hold a second row of months that the
// window cut off, and the arrows moved past months that never showed.
CCalendarLayout FitCalendarPanes(const CRect& rcClient, const CRect& rcMinMonth, int nMaxTodayWidth)
{
    CRect rcPane = rcMinMonth;
    rcPane.right += rcPane.Width() / 20;
    if (rcPane.Width() < nMaxTodayWidth)
        rcPane.right = rcPane.left + nMaxTodayWidth;
    CCalendarLayout layout;
    if (rcPane.Width() <= 0 || rcPane.Height() <= 0) {
        layout.nCols = layout.nRows = 1;
        layout.rcControl = CRect(0, 0, rcClient.Width(), rcClient.Height());
        return layout;
    }
    layout.nCols = std::max(1, rcClient.Width() / rcPane.Width());
    layout.nRows = std::max(1, rcClient.Height() / rcPane.Height());
    const int nWidth = layout.nCols * rcPane.Width();
    const int nHeight = layout.nRows * rcPane.Height();
    const int x = rcClient.Width() / 2 - nWidth / 2;
    const int y = rcClient.Height() / 2 - nHeight / 2;
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

// What the calendar window and its options dialog show and store, apart from
// their windows: the six colours, the first day of the week and how many
// month panes fit the window.
#pragma once

#include "afx/afxgeom.h"
#include "core/settings.h"

// Month-calendar colour indexes (MCSC_*).
enum {
    CAL_COLOR_BACKGROUND = 0,
    CAL_COLOR_TEXT = 1,
    CAL_COLOR_TITLEBK = 2,
    CAL_COLOR_TITLETEXT = 3,
    CAL_COLOR_MONTHBK = 4,
    CAL_COLOR_TRAILINGTEXT = 5
};

// One colour of the calendar: its use flag and value in the settings, its
// month-calendar index and the options dialog's check box and colour button.
struct CCalendarColour {
    BOOL CSettings::*pbUse;
    COLORREF CSettings::*pcrColour;
    int nIndex;
    UINT nCheckID;
    UINT nButtonID;
};

const int CALENDAR_COLOURS = 6;
// In the order in which they are applied.
extern const CCalendarColour g_calendarColours[CALENDAR_COLOURS];

// Days of the week of the first-day list, 0 Monday .. 6 Sunday.
const int CALENDAR_WEEKDAYS = 7;
extern const char* const g_apszCalendarWeekDays[CALENDAR_WEEKDAYS];

// A stored first day outside 0..6 is set to 0 (Monday); returns the day.
int ValidateCalendarFirstDay(CSettings& settings);

// Month panes across and down and the control's rectangle in the client
// area: as many whole panes as fit, at least one each way, centred; a window
// smaller than a pane shows one, centred and clipped. A pane is the control's
// minimum one-month rectangle widened by a twentieth and at least as wide as
// the "today" line. A pane of no size (a control that reports none) takes
// the whole client area as its one pane.
struct CCalendarLayout {
    int nCols;
    int nRows;
    CRect rcControl;
};
CCalendarLayout FitCalendarPanes(const CRect& rcClient, const CRect& rcMinMonth, int nMaxTodayWidth);

// The calendar options dialog's values.
struct CCalendarOptionsValues {
    BOOL abUse[CALENDAR_COLOURS] = {};
    COLORREF acrColour[CALENDAR_COLOURS] = {};
    BOOL bOnTop = FALSE;
    WORD wHotKeyVK = 0;
    WORD wHotKeyMods = 0;
    BOOL bCustomFirstDay = FALSE;
    int nFirstDay = 0; // the list's selection

    // A nonzero "toggle hides" becomes exactly 1 and a first day outside the
    // list becomes 0, both in the settings.
    void Load(CSettings& settings);
    void Store(CSettings& settings) const;
};

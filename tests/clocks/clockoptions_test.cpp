// What the clock options and the calendar options show and store, the
// controls each choice enables, the chosen-skins string and the calendar's
// panes.
#include "clocks/calendarmodel.h"
#include "clocks/clockoptions.h"
#include "clocks/timeformat.h"

#include <gtest/gtest.h>

namespace {
TEST(ClockOptions, StoredValuesOutsideTheirListsAndLimitsAreShownAndStoredCorrected)
{
    struct CCase {
        int nDblClk, nMinutes, nSeconds;
        int nShownDblClk, nShownMinutes, nShownSeconds;
    };
    const CCase cases[] = {
        { 7, 0, 2, 0, 1, 10 },
        { -1, 1000, 60, 0, 1, 10 },
        { 5, 999, 59, 5, 999, 59 },
        { 0, 1, 3, 0, 1, 3 },
        { 3, -5, 0, 3, 1, 10 },
    };
    for (SkinKind kind : { SKIN_ANALOG, SKIN_DIGITAL }) {
        const CClockOptionsFields& f = GetClockOptionsFields(kind);
        for (const CCase& c : cases) {
            CSettings settings;
            settings.*f.pnDblClkAction = c.nDblClk;
            settings.*f.pnChangeMinutes = c.nMinutes;
            settings.*f.pnChangeSeconds = c.nSeconds;
            CVisiblePageValues visible;
            visible.Load(kind, settings);
            CAutoChangeValues change;
            change.Load(kind, settings);
            EXPECT_EQ(c.nShownDblClk, visible.nDblClkAction) << kind << " " << c.nDblClk;
            EXPECT_EQ(c.nShownMinutes, change.nMinutes) << kind << " " << c.nMinutes;
            EXPECT_EQ(c.nShownSeconds, change.nSeconds) << kind << " " << c.nSeconds;
            EXPECT_EQ(c.nShownMinutes, settings.*f.pnChangeMinutes);
            EXPECT_EQ(c.nShownSeconds, settings.*f.pnChangeSeconds);
            visible.Store(kind, settings);
            EXPECT_EQ(c.nShownDblClk, settings.*f.pnDblClkAction);
        }
    }
}

TEST(ClockOptions, EachKindStoresIntoItsOwnSettings)
{
    for (SkinKind kind : { SKIN_ANALOG, SKIN_DIGITAL }) {
        CSettings settings;
        settings.m_hkAnalog.dwReserved = 9;
        settings.m_hkDigital.dwReserved = 9;
        CVisiblePageValues visible;
        visible.Load(kind, settings);
        visible.bOnTop = visible.bAlwaysCenter = visible.bAutoRemove = visible.bLockMovement = TRUE;
        visible.bSecondHand = TRUE;
        visible.nDblClkAction = 4;
        visible.wHotKeyVK = 'K';
        visible.wHotKeyMods = 6;
        visible.strFormat = "%hh";
        visible.Store(kind, settings);
        CAutoChangeValues change;
        change.bAutoChange = change.bBySeconds = TRUE;
        change.nMinutes = 0; // an up-down position out of range
        change.nSeconds = 45;
        change.Store(kind, settings);

        const bool bAnalog = kind == SKIN_ANALOG;
        EXPECT_EQ(bAnalog, settings.m_bAnalogOnTop != 0);
        EXPECT_EQ(!bAnalog, settings.m_bDigitalOnTop != 0);
        EXPECT_EQ(bAnalog, settings.m_bAnalogSecondHand != 0);
        EXPECT_EQ(bAnalog ? "" : "%hh", std::string(settings.m_strDigitalFormat));
        EXPECT_EQ(bAnalog ? 4 : 0, settings.m_nAnalogDblClkAction);
        EXPECT_EQ(bAnalog ? 0 : 4, settings.m_nDigitalDblClkAction);
        const HOTKEYSETTING hkSet = { 'K', 6, 9 }, hkUntouched = { 0, 0, 9 };
        EXPECT_EQ(bAnalog ? hkSet : hkUntouched, settings.m_hkAnalog);
        EXPECT_EQ(bAnalog ? hkUntouched : hkSet, settings.m_hkDigital);
        EXPECT_EQ(bAnalog, settings.m_bAnalogAutoChange != 0);
        EXPECT_EQ(bAnalog ? 45 : 0, settings.m_nAnalogChangeSeconds);
        EXPECT_EQ(bAnalog ? 0 : 45, settings.m_nDigitalChangeSeconds);
        EXPECT_EQ(1, settings.*GetClockOptionsFields(kind).pnChangeMinutes);
        EXPECT_TRUE(settings.*GetClockOptionsFields(kind).pbLockMovement);
    }
}

TEST(ClockOptions, AnEmptyDigitalFormatBecomesTheDefaultAtOnce)
{
    CSettings settings;
    CVisiblePageValues visible;
    visible.Load(SKIN_DIGITAL, settings);
    EXPECT_STREQ("%hh(:)%nn(:)%ss", visible.strFormat);
    EXPECT_STREQ("%hh(:)%nn(:)%ss", settings.m_strDigitalFormat);
    settings.m_strDigitalFormat = "";
    visible.Load(SKIN_ANALOG, settings);
    EXPECT_STREQ("", settings.m_strDigitalFormat);
}

TEST(ClockOptions, ChecksEnableWhatGoesWithThem)
{
    // Placement: on top and bottom exclude each other; only the analog clock
    // ties auto-removing to centring.
    struct CPlace {
        BOOL bTop, bBottom, bCenter;
        SkinKind kind;
        BOOL bTopOn, bBottomOn, bRemoveOn;
    };
    const CPlace places[] = {
        { 0, 0, 0, SKIN_ANALOG, 1, 1, 1 },
        { 1, 0, 0, SKIN_ANALOG, 1, 0, 1 },
        { 0, 1, 1, SKIN_ANALOG, 0, 1, 0 },
        { 0, 0, 1, SKIN_DIGITAL, 1, 1, 1 },
    };
    for (const CPlace& p : places) {
        CVisiblePageValues values;
        values.bOnTop = p.bTop;
        values.bOnBottom = p.bBottom;
        values.bAlwaysCenter = p.bCenter;
        const CVisiblePageEnables e = GetVisiblePageEnables(p.kind, values);
        EXPECT_EQ(p.bTopOn, e.bOnTop);
        EXPECT_EQ(p.bBottomOn, e.bOnBottom);
        EXPECT_EQ(p.bRemoveOn, e.bAutoRemove);
    }
    struct CChange {
        BOOL bAuto, bMinutes, bSeconds;
        BOOL bEvery, bMinutesOn, bSecondsOn, bListOn;
    };
    const CChange changes[] = {
        { 0, 1, 1, 0, 0, 0, 0 },
        { 1, 0, 0, 1, 0, 0, 0 },
        { 1, 1, 0, 1, 1, 0, 1 },
        { 1, 0, 1, 1, 0, 1, 1 },
    };
    for (const CChange& c : changes) {
        CAutoChangeValues values;
        values.bAutoChange = c.bAuto;
        values.bByMinutes = c.bMinutes;
        values.bBySeconds = c.bSeconds;
        const CAutoChangeEnables e = GetAutoChangeEnables(values);
        EXPECT_EQ(c.bEvery, e.bEveryChecks);
        EXPECT_EQ(c.bMinutesOn, e.bMinutes);
        EXPECT_EQ(c.bSecondsOn, e.bSeconds);
        EXPECT_EQ(c.bListOn, e.bSkinList);
    }
}

TEST(ClockOptions, TheCurrentSkinFallsBackToTheFirstListedOnlyWhenThereIsOne)
{
    CSortStringArray names;
    CString strCurrent = "Gone";
    EXPECT_EQ(-1, ChooseCurrentSkin(names, strCurrent));
    EXPECT_STREQ("Gone", strCurrent);
    names.Add("Alpha");
    names.Add("Gamma");
    EXPECT_EQ(0, ChooseCurrentSkin(names, strCurrent));
    EXPECT_STREQ("Alpha", strCurrent);
    strCurrent = "Gamma";
    EXPECT_EQ(1, ChooseCurrentSkin(names, strCurrent));
    // Another case names the same skin, whose listed spelling is stored;
    // with both spellings listed each finds its own.
    strCurrent = "gamma";
    EXPECT_EQ(1, ChooseCurrentSkin(names, strCurrent));
    EXPECT_STREQ("Gamma", strCurrent);
    names.Add("gamma");
    strCurrent = "gamma";
    EXPECT_EQ(2, ChooseCurrentSkin(names, strCurrent));
    strCurrent = "GAMMA"; // two candidates: neither, so the first skin
    EXPECT_EQ(0, ChooseCurrentSkin(names, strCurrent));
    EXPECT_STREQ("Alpha", strCurrent);
}

TEST(ClockOptions, ChosenSkinsAreReadUpToTheirSeparatorAndWrittenWithIt)
{
    struct CSplit {
        const char* pszChosen;
        std::vector<std::string> names;
    };
    const CSplit splits[] = {
        { "Alpha***Beta***", { "Alpha", "Beta" } },
        { "Alpha***Be", { "Alpha" } },
        { "", {} },
        { "******", { "", "" } },
        { "A*B***", { "A*B" } },
    };
    for (const CSplit& s : splits) {
        CStringArray names;
        SplitChosenSkins(s.pszChosen, names);
        std::vector<std::string> got;
        for (INT_PTR i = 0; i < names.GetSize(); i++)
            got.push_back(std::string(names[i]));
        EXPECT_EQ(s.names, got) << s.pszChosen;
    }
    CStringArray checked;
    checked.Add("Alpha");
    checked.Add("Gamma");
    EXPECT_STREQ("Alpha***Gamma***", JoinChosenSkins(checked));
    checked.Add("Bad***Name");
    checked.Add("Star*");
    EXPECT_STREQ("Alpha***Gamma***", JoinChosenSkins(checked));
    EXPECT_STREQ("", JoinChosenSkins(CStringArray()));
}

TEST(ClockOptions, DoubleClickActionsNameTheirClock)
{
    CStringArray actions;
    FillClockDblClkActions(SKIN_DIGITAL, actions);
    ASSERT_EQ(CLOCK_DBLCLK_ACTIONS, actions.GetSize());
    EXPECT_STREQ("Hide digital clock", actions[2]);
    EXPECT_STREQ("Visit digital clock Web page", actions[5]);
    FillClockDblClkActions(SKIN_ANALOG, actions);
    EXPECT_STREQ("Show analog clock options", actions[3]);
}

TEST(CalendarModel, PanesFitWholeAtLeastOneEachWayAndCentred)
{
    struct CCase {
        CRect rcClient, rcMin;
        int nToday;
        int nCols, nRows;
        CRect rcControl;
    };
    // A pane of 160 x 120 widens by 8: 168 x 120; the today line, 30 wide, fits it.
    const CCase cases[] = {
        { CRect(0, 0, 600, 400), CRect(0, 0, 160, 120), 30, 3, 3, CRect(48, 20, 552, 380) },
        // A window smaller than a pane shows one, centred and clipped.
        { CRect(0, 0, 100, 60), CRect(0, 0, 160, 120), 30, 1, 1, CRect(-34, -30, 134, 90) },
        { CRect(0, 0, 168, 120), CRect(0, 0, 160, 120), 30, 1, 1, CRect(0, 0, 168, 120) },
        { CRect(0, 0, 335, 239), CRect(0, 0, 160, 120), 30, 1, 1, CRect(83, 59, 251, 179) },
        { CRect(0, 0, 336, 240), CRect(0, 0, 160, 120), 30, 2, 2, CRect(0, 0, 336, 240) },
        { CRect(0, 0, 300, 200), CRect(0, 0, 0, 0), 0, 1, 1, CRect(0, 0, 300, 200) },
        { CRect(0, 0, 300, 200), CRect(0, 0, 160, 0), 0, 1, 1, CRect(0, 0, 300, 200) },
        { CRect(0, 0, 0, 0), CRect(0, 0, 160, 120), 30, 1, 1, CRect(-84, -60, 84, 60) },
        { CRect(0, 0, 600, 100), CRect(0, 0, 160, 120), 30, 3, 1, CRect(48, -10, 552, 110) },
        // A today line wider than the month widens the pane: 200 x 120.
        { CRect(0, 0, 600, 400), CRect(0, 0, 160, 120), 200, 3, 3, CRect(0, 20, 600, 380) },
    };
    for (const CCase& c : cases) {
        const CCalendarLayout layout = FitCalendarPanes(c.rcClient, c.rcMin, c.nToday);
        EXPECT_EQ(c.nCols, layout.nCols) << c.rcClient.Width();
        EXPECT_EQ(c.nRows, layout.nRows) << c.rcClient.Height();
        EXPECT_EQ(c.rcControl, layout.rcControl) << c.rcClient.Width() << "x" << c.rcClient.Height();
    }
}

TEST(CalendarModel, OptionsCorrectTheFirstDayAndTheToggleAndStoreEveryColour)
{
    CSettings settings;
    settings.m_nCalFirstDay = 9;
    settings.m_bCalendarToggleHides = 5;
    settings.m_bCalUseTextColor = TRUE;
    settings.m_crCalText = 0x123456;
    CCalendarOptionsValues values;
    values.Load(settings);
    EXPECT_EQ(0, values.nFirstDay);
    EXPECT_EQ(0, settings.m_nCalFirstDay);
    EXPECT_EQ(1, settings.m_bCalendarToggleHides);
    EXPECT_TRUE(values.abUse[2]);
    EXPECT_EQ(0x123456u, values.acrColour[2]);
    for (int i = 0; i < CALENDAR_COLOURS; i++) {
        values.abUse[i] = i % 2;
        values.acrColour[i] = 0x10 * (i + 1);
    }
    values.nFirstDay = 6;
    values.Store(settings);
    for (int i = 0; i < CALENDAR_COLOURS; i++) {
        EXPECT_EQ(i % 2, settings.*g_calendarColours[i].pbUse) << i;
        EXPECT_EQ(0x10u * (i + 1), settings.*g_calendarColours[i].pcrColour) << i;
    }
    EXPECT_EQ(6, settings.m_nCalFirstDay);
    settings.m_nCalFirstDay = -2;
    EXPECT_EQ(0, ValidateCalendarFirstDay(settings));
    EXPECT_STREQ("Sunday", g_apszCalendarWeekDays[6]);
}
} // namespace

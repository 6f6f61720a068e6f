// The alarm editor's load and store rules, page by page, and round trips of
// random records through them.
#include "alarms/alarmeditmodel.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "timepin.h"

namespace
{
std::vector<std::string> Strings(const std::vector<CString>& list)
{
    return std::vector<std::string>(list.begin(), list.end());
}

// Every field, so one comparison shows which one moved.
std::string Describe(const CAlarmSchedule& s)
{
    char sz[512];
    std::snprintf(sz, sizeof(sz), "en=%d rep=%d time=%lld sec=%d/%s min=%d/%s moh=%d md=%d yd=%d ym=%d days=%d/%s wd=%d "
                  "res=%d next=%lld last=%lld",
                  s.m_bEnabled, s.m_nRepeat, (long long)s.m_time.GetTime(), s.m_nSecondPreset,
                  (LPCSTR)s.m_strSecondList, s.m_nMinutePreset, (LPCSTR)s.m_strMinuteList, s.m_nMinuteOfHour,
                  s.m_nMonthDay, s.m_nYearDay, s.m_nYearMonth, s.m_nDays, (LPCSTR)s.m_strWeekDays, s.m_nWeekDay,
                  s.m_nScheduleReserved, (long long)s.m_timeNext.GetTime(), (long long)s.m_timeLastRun.GetTime());
    return sz;
}

std::string Describe(const CAlarmGeneral& g)
{
    char sz[512];
    std::snprintf(sz, sizeof(sz), "ask=%d vk=%d mods=%d extra=%lu custom=%d icon=%d/%s name=%s tray=%d starts=%d",
                  g.m_bAskNotify, g.m_wHotKeyVK, g.m_wHotKeyMods, (unsigned long)g.m_nHotKeyExtra, g.m_bCustomIcon,
                  g.m_nIconIndex, (LPCSTR)g.m_strIconFile, (LPCSTR)g.m_strName, g.m_bShowInTray, g.m_nStarts);
    return sz;
}

// A record with every field set, some of them outside what the page shows.
void RandomBlocks(std::mt19937& rng, CAlarmSchedule& s, CAlarmGeneral& g)
{
    auto pick = [&rng](int nMin, int nMax) { return std::uniform_int_distribution<int>(nMin, nMax)(rng); };
    s.m_bEnabled = pick(0, 1);
    s.m_nRepeat = pick(-1, 9);
    s.m_time = CTime(2024, pick(1, 12), pick(1, 28), pick(0, 23), pick(0, 59), pick(0, 59));
    s.m_nSecondPreset = pick(-1, 9);
    s.m_strSecondList = " 530";
    s.m_nMinutePreset = pick(-1, 9);
    s.m_strMinuteList = "45";
    s.m_nMinuteOfHour = pick(-5, 80);
    s.m_nMonthDay = pick(-5, 40);
    s.m_nYearDay = pick(-5, 40);
    s.m_nYearMonth = pick(-1, 12);
    s.m_nDays = pick(-1, 4);
    s.m_strWeekDays = "71";
    s.m_nWeekDay = pick(0, 8);
    s.m_nScheduleReserved = pick(0, 1000);
    s.m_timeNext = CTime(pick(1, 2000000000));
    s.m_timeLastRun = CTime(pick(1, 2000000000));
    g.m_bAskNotify = pick(0, 1);
    g.m_wHotKeyVK = static_cast<WORD>(pick(0, 255));
    g.m_wHotKeyMods = static_cast<WORD>(pick(0, 7));
    g.m_nHotKeyExtra = static_cast<DWORD>(pick(0, 99));
    g.m_bCustomIcon = pick(0, 2);
    g.m_nIconIndex = pick(0, 50);
    g.m_strIconFile = "C:\\icons\\x.ico";
    g.m_strName = pick(0, 1) ? "Tea" : "Wake up";
    g.m_bShowInTray = pick(0, 1);
    g.m_nStarts = pick(0, 99);
}

bool InRange(int n, int nMin, int nMax)
{
    return n >= nMin && n <= nMax;
}

const int kDaysIn2024[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

class AlarmEditModel : public ::testing::Test
{
protected:
    void SetUp() override { m_zone.Pin(TIMEPIN_EAST3); }
    CTimePin m_zone;
};
} // namespace

TEST_F(AlarmEditModel, StoredValuesOutsideTheirRangesShowAsTheDefaults)
{
    const struct
    {
        int nStored, nShown;
    } repeats[] = {{9, 0}, {-1, 0}, {8, 0}, {7, 7}, {0, 0}, {3, 3}};
    for (const auto& c : repeats)
        EXPECT_EQ(c.nShown, CAlarmInfoModel::ShownRepeat(c.nStored)) << c.nStored;

    // Week day 1 Sunday .. 7 Saturday against the Monday-first combo.
    const struct
    {
        int nWeekDay, nIndex;
    } days[] = {{1, 6}, {2, 0}, {7, 5}, {0, 0}, {8, 0}, {-3, 0}};
    for (const auto& c : days)
        EXPECT_EQ(c.nIndex, CAlarmInfoModel::WeekDayToIndex(c.nWeekDay)) << c.nWeekDay;
    for (int nIndex = 0; nIndex < 7; nIndex++)
        EXPECT_EQ(nIndex, CAlarmInfoModel::WeekDayToIndex(CAlarmInfoModel::IndexToWeekDay(nIndex))) << nIndex;
    EXPECT_EQ(2, CAlarmInfoModel::IndexToWeekDay(0));   // "Monday"

    CAlarmSchedule schedule;
    CAlarmGeneral general;
    schedule.m_nSecondPreset = 9;
    schedule.m_nMinutePreset = -1;
    schedule.m_nDays = 4;
    schedule.m_nYearMonth = 12;
    schedule.m_nRepeat = 9;
    const CAlarmInfoFields fields = CAlarmInfoModel::Load(schedule, general);
    EXPECT_EQ(0, fields.nSecondPreset);
    EXPECT_EQ(0, fields.nMinutePreset);
    EXPECT_EQ(0, fields.nDays);
    EXPECT_EQ(0, fields.nYearMonth);
    EXPECT_EQ(0, fields.nRepeat);
}

TEST_F(AlarmEditModel, TheUpDownOfEachKindShowsItsValueInItsRange)
{
    const struct
    {
        const char* pszCase;
        int nKind, nStored, nMonth, nYear;
        int nShown, nMin, nMax;
    } cases[] = {
        {"minute 75", ALARM_HOURLY, 75, 0, 2023, 30, 0, 59},
        {"minute -1", ALARM_HOURLY, -1, 0, 2023, 30, 0, 59},
        {"minute 0", ALARM_HOURLY, 0, 0, 2023, 0, 0, 59},
        {"minute 59", ALARM_HOURLY, 59, 0, 2023, 59, 0, 59},
        {"day 0", ALARM_MONTHLY, 0, 0, 2023, 15, 1, 31},
        {"day 32", ALARM_MONTHLY, 32, 0, 2023, 15, 1, 31},
        {"day 31", ALARM_MONTHLY, 31, 0, 2023, 31, 1, 31},
        {"year day 40", ALARM_ANNUALLY, 40, 0, 2023, 1, 1, 31},
        {"year day 0", ALARM_ANNUALLY, 0, 0, 2023, 1, 1, 31},
        {"February 30, 2023", ALARM_ANNUALLY, 30, 1, 2023, 28, 1, 28},
        {"February 30, 2024", ALARM_ANNUALLY, 30, 1, 2024, 29, 1, 29},
        {"April 31", ALARM_ANNUALLY, 31, 3, 2023, 30, 1, 30},
        {"month 12 shows January", ALARM_ANNUALLY, 31, 12, 2023, 31, 1, 31},
    };
    for (const auto& c : cases)
    {
        CAlarmInfoFields fields;
        fields.nMinuteOfHour = fields.nMonthDay = fields.nYearDay = c.nStored;
        fields.nYearMonth = c.nMonth;
        const CUpDownSetup setup = CAlarmInfoModel::SetUpKind(fields, c.nKind, c.nYear);
        EXPECT_TRUE(setup.bUsed) << c.pszCase;
        EXPECT_EQ(c.nShown, setup.nPos) << c.pszCase;
        EXPECT_EQ(c.nShown, *CAlarmInfoModel::WorkingValue(fields, c.nKind)) << c.pszCase;
        EXPECT_EQ(c.nMin, setup.nMin) << c.pszCase;
        EXPECT_EQ(c.nMax, setup.nMax) << c.pszCase;
    }
    for (int nKind : {ALARM_ONCE, ALARM_SECONDS, ALARM_MINUTES, ALARM_DAILY, ALARM_WEEKLY})
    {
        CAlarmInfoFields fields;
        EXPECT_FALSE(CAlarmInfoModel::SetUpKind(fields, nKind, 2023).bUsed) << nKind;
        EXPECT_EQ(nullptr, CAlarmInfoModel::WorkingValue(fields, nKind)) << nKind;
    }
}

TEST_F(AlarmEditModel, StoringChangesOnlyTheFieldsOfTheShownKind)
{
    std::mt19937 rng(24);
    CAlarmSchedule loaded;
    CAlarmGeneral general;
    RandomBlocks(rng, loaded, general);
    loaded.m_nMinuteOfHour = 75;
    loaded.m_nMonthDay = 0;
    loaded.m_nYearDay = 40;
    loaded.m_nWeekDay = 9;

    const CTime today(2023, 2, 10, 0, 0, 0);
    const CTime atTime(2023, 2, 10, 7, 8, 9);
    const CTime onDate(2025, 6, 30, 7, 8, 9);
    const struct
    {
        int nKind;
        std::function<void(CAlarmSchedule&)> fnExpect;
    } cases[] = {
        {ALARM_ONCE, [&](CAlarmSchedule& s) { s.m_time = onDate; }},
        {ALARM_SECONDS, [](CAlarmSchedule& s) { s.m_nSecondPreset = 5; }},
        {ALARM_MINUTES, [](CAlarmSchedule& s) { s.m_nMinutePreset = 6; }},
        {ALARM_HOURLY, [&](CAlarmSchedule& s) { s.m_time = atTime, s.m_nMinuteOfHour = 30; }},
        {ALARM_DAILY, [&](CAlarmSchedule& s) { s.m_time = atTime, s.m_nDays = 2; }},
        {ALARM_WEEKLY, [&](CAlarmSchedule& s) { s.m_time = atTime, s.m_nWeekDay = 1; }},
        {ALARM_MONTHLY, [&](CAlarmSchedule& s) { s.m_time = atTime, s.m_nMonthDay = 15; }},
        {ALARM_ANNUALLY, [&](CAlarmSchedule& s) { s.m_time = atTime, s.m_nYearDay = 28, s.m_nYearMonth = 1; }},
    };
    for (const auto& c : cases)
    {
        CAlarmInfoFields fields = CAlarmInfoModel::Load(loaded, general);
        fields.nRepeat = c.nKind;
        fields.nTimeHour = 7, fields.nTimeMinute = 8, fields.nTimeSecond = 9;
        fields.nDateYear = 2025, fields.nDateMonth = 6, fields.nDateDay = 30;
        fields.nSecondPreset = 5;
        fields.nMinutePreset = 6;
        fields.nDays = 2;
        fields.nWeekDayIndex = 6;
        fields.nYearMonth = 1;
        fields.nYearDay = 30;   // February 2023 pulls it to 28
        CAlarmInfoModel::SetUpKind(fields, c.nKind, today.GetYear());

        CAlarmSchedule stored = loaded;
        CAlarmGeneral storedGeneral = general;
        ASSERT_TRUE(CAlarmInfoModel::Store(fields, today, stored, storedGeneral));
        CAlarmSchedule expected = loaded;
        expected.m_nRepeat = c.nKind;
        c.fnExpect(expected);
        EXPECT_EQ(Describe(expected), Describe(stored)) << "kind " << c.nKind;
    }

    // An empty name refuses and stores nothing.
    CAlarmInfoFields fields = CAlarmInfoModel::Load(loaded, general);
    fields.strName.Empty();
    fields.nRepeat = ALARM_HOURLY;
    fields.bEnabled = !loaded.m_bEnabled;
    CAlarmSchedule stored = loaded;
    CAlarmGeneral storedGeneral = general;
    EXPECT_FALSE(CAlarmInfoModel::Store(fields, today, stored, storedGeneral));
    EXPECT_EQ(Describe(loaded), Describe(stored));
    EXPECT_EQ(Describe(general), Describe(storedGeneral));
}

// The record holds 1970-01-01 00:00:01 to 2038-01-19 03:14:07 UTC, here
// (UTC+3) 03:00:01 to 06:14:07 local: a Once time outside is refused and
// nothing stored; the kinds that take today's date fit.
TEST_F(AlarmEditModel, TimesBeyondWhatTheRecordHoldsAreRefused)
{
    CAlarmSchedule loaded;
    CAlarmGeneral general;
    loaded.m_nRepeat = ALARM_ONCE;
    loaded.m_time = CTime(2030, 1, 1, 0, 0, 0);
    general.m_strName = "Far";
    const CTime today(2023, 2, 10, 0, 0, 0);
    const struct
    {
        int nRepeat;
        int date[3], time[3];
        bool bFits;
    } cases[] = {
        {ALARM_ONCE, {2038, 1, 19}, {6, 14, 7}, true},
        {ALARM_ONCE, {2038, 1, 19}, {6, 14, 8}, false},
        {ALARM_ONCE, {2040, 5, 1}, {12, 0, 0}, false},
        {ALARM_ONCE, {1970, 1, 5}, {0, 0, 0}, true},
        {ALARM_ONCE, {1969, 12, 31}, {23, 59, 59}, false},
        {ALARM_DAILY, {2040, 5, 1}, {23, 59, 59}, true},
        {ALARM_SECONDS, {2040, 5, 1}, {23, 59, 59}, true},
    };
    for (const auto& c : cases)
    {
        CAlarmInfoFields fields = CAlarmInfoModel::Load(loaded, general);
        fields.nRepeat = c.nRepeat;
        fields.nDateYear = c.date[0], fields.nDateMonth = c.date[1], fields.nDateDay = c.date[2];
        fields.nTimeHour = c.time[0], fields.nTimeMinute = c.time[1], fields.nTimeSecond = c.time[2];
        EXPECT_EQ(c.bFits, !!CAlarmInfoModel::TimeFits(fields, today)) << c.date[0] << " " << c.time[2];
        CAlarmSchedule stored = loaded;
        CAlarmGeneral storedGeneral = general;
        EXPECT_EQ(c.bFits, !!CAlarmInfoModel::Store(fields, today, stored, storedGeneral));
        if (!c.bFits)
            EXPECT_EQ(Describe(loaded), Describe(stored));
        else if (c.nRepeat == ALARM_ONCE)
            EXPECT_EQ(CTime(c.date[0], c.date[1], c.date[2], c.time[0], c.time[1], c.time[2]), stored.m_time);
    }
    EXPECT_EQ(0x7FFFFFFF, CAlarmInfoModel::LastStoredTime().GetTime());
    EXPECT_EQ(CTime(2038, 1, 19, 6, 14, 7), CAlarmInfoModel::LastStoredTime());
    EXPECT_EQ(CTime(1970, 1, 1, 3, 0, 1), CAlarmInfoModel::FirstStoredTime());
}

TEST_F(AlarmEditModel, RandomRecordsSurviveLoadAndStoreOfTheInfoPage)
{
    std::mt19937 rng(6121);
    for (int n = 0; n < 300; n++)
    {
        CAlarmSchedule schedule;
        CAlarmGeneral general;
        RandomBlocks(rng, schedule, general);
        const CTime today(2024, 3, 1, 0, 0, 0);
        CAlarmInfoFields fields = CAlarmInfoModel::Load(schedule, general);
        CAlarmInfoModel::SetUpKind(fields, fields.nRepeat, today.GetYear());

        CAlarmSchedule stored = schedule;
        CAlarmGeneral storedGeneral = general;
        ASSERT_TRUE(CAlarmInfoModel::Store(fields, today, stored, storedGeneral));
        // Unchanged but for what the shown kind itself sets.
        CAlarmSchedule expected = schedule;
        const int nKind = CAlarmInfoModel::ShownRepeat(schedule.m_nRepeat);
        expected.m_nRepeat = nKind;
        const CTime timeToday(2024, 3, 1, schedule.m_time.GetHour(), schedule.m_time.GetMinute(),
                              schedule.m_time.GetSecond());
        switch (nKind)
        {
        case ALARM_SECONDS:
            expected.m_nSecondPreset = CAlarmInfoModel::ShownIndex(schedule.m_nSecondPreset, 9);
            break;
        case ALARM_MINUTES:
            expected.m_nMinutePreset = CAlarmInfoModel::ShownIndex(schedule.m_nMinutePreset, 9);
            break;
        case ALARM_HOURLY:
            expected.m_time = timeToday;
            expected.m_nMinuteOfHour = InRange(schedule.m_nMinuteOfHour, 0, 59) ? schedule.m_nMinuteOfHour : 30;
            break;
        case ALARM_DAILY:
            expected.m_time = timeToday;
            expected.m_nDays = CAlarmInfoModel::ShownIndex(schedule.m_nDays, 4);
            break;
        case ALARM_WEEKLY:
            expected.m_time = timeToday;
            expected.m_nWeekDay = CAlarmInfoModel::IndexToWeekDay(CAlarmInfoModel::WeekDayToIndex(schedule.m_nWeekDay));
            break;
        case ALARM_MONTHLY:
            expected.m_time = timeToday;
            expected.m_nMonthDay = InRange(schedule.m_nMonthDay, 1, 31) ? schedule.m_nMonthDay : 15;
            break;
        case ALARM_ANNUALLY:
        {
            expected.m_time = timeToday;
            expected.m_nYearMonth = CAlarmInfoModel::ShownIndex(schedule.m_nYearMonth, 12);
            const int nDays = kDaysIn2024[expected.m_nYearMonth];
            const int nDay = InRange(schedule.m_nYearDay, 1, 31) ? schedule.m_nYearDay : 1;
            expected.m_nYearDay = nDay > nDays ? nDays : nDay;
            break;
        }
        default:
            break;
        }
        EXPECT_EQ(Describe(expected), Describe(stored)) << "record " << n;
        EXPECT_EQ(Describe(general), Describe(storedGeneral)) << "record " << n;
    }
}

TEST_F(AlarmEditModel, MessageDelayAndWhichControlsAreEnabled)
{
    const struct
    {
        int nStored, nShown;
    } delays[] = {{0, 10}, {1000000, 10}, {-5, 10}, {1, 1}, {999999, 999999}, {30, 30}};
    for (const auto& c : delays)
        EXPECT_EQ(c.nShown, CAlarmMessageModel::ShownDelay(c.nStored)) << c.nStored;

    const struct
    {
        BOOL bShow, bAuto, bMessage, bDelay;
    } rules[] = {{1, 1, 1, 1}, {1, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, 0, 0}};
    for (const auto& c : rules)
    {
        EXPECT_EQ(c.bMessage, CAlarmMessageModel::MessageControlsEnabled(c.bShow)) << c.bShow << c.bAuto;
        EXPECT_EQ(c.bDelay, CAlarmMessageModel::DelayControlsEnabled(c.bShow, c.bAuto)) << c.bShow << c.bAuto;
    }
}

TEST_F(AlarmEditModel, ProgramRowsAndSystemFunctions)
{
    const struct
    {
        const char* pszApps;
        std::vector<std::string> rows;
        const char* pszStored;
    } apps[] = {
        {"a.exe***b.exe", {"a.exe"}, "a.exe***"},
        {"C:\\a.exe***D:\\b.exe***", {"C:\\a.exe", "D:\\b.exe"}, "C:\\a.exe***D:\\b.exe***"},
        // The scan goes on behind a separator: the fourth star starts a row.
        {"a****b***", {"a", "*b"}, "a***" "*b***"},
        {"******", {"", ""}, "******"},
        {"", {}, ""},
        {"ring.exe", {}, ""},
    };
    for (const auto& c : apps)
    {
        const std::vector<CString> rows = CAlarmActionsModel::LoadApps(c.pszApps);
        EXPECT_EQ(c.rows, Strings(rows)) << c.pszApps;
        EXPECT_STREQ(c.pszStored, CAlarmActionsModel::StoreApps(rows)) << c.pszApps;
    }

    const struct
    {
        const char* pszCodes;
        std::vector<int> checked;
        const char* pszStored;
    } funcs[] = {
        {"0010", {0, 10}, "0010"},
        {"0211", {2}, "02"},
        {"1000", {0, 10}, "0010"},   // stored in ascending order
        {"0808", {8}, "08"},
        {"99-1", {}, ""},
        {"", {}, ""},
        {"0001020304050607080910", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, "0001020304050607080910"},
    };
    for (const auto& c : funcs)
    {
        const std::vector<BOOL> checked = CAlarmActionsModel::LoadSystemFunctions(c.pszCodes);
        ASSERT_EQ(11u, checked.size());
        std::vector<int> rows;
        for (int i = 0; i < 11; i++)
            if (checked[static_cast<size_t>(i)])
                rows.push_back(i);
        EXPECT_EQ(c.checked, rows) << c.pszCodes;
        EXPECT_STREQ(c.pszStored, CAlarmActionsModel::StoreSystemFunctions(checked)) << c.pszCodes;
    }
    EXPECT_STREQ("CD-ROM Open", CAlarmActionsModel::SystemFunctionLabel(0));
    EXPECT_STREQ("Computer Power Off", CAlarmActionsModel::SystemFunctionLabel(10));
    EXPECT_STREQ("", CAlarmActionsModel::SystemFunctionLabel(11));
}

TEST_F(AlarmEditModel, SoundRowsAndTheirPaths)
{
    const struct
    {
        const char* pszSounds;
        std::vector<std::string> rows;   // "+" checked, "-" unchecked
        const char* pszStored;
    } cases[] = {
        {"TRUETRUETRUE***", {"+"}, "TRUETRUETRUE***"},
        {"ring.wav", {}, ""},
        {"TRUETRUETRUEC:\\wav\\ring.wav***chimes.wav***", {"+C:\\wav\\ring.wav", "-chimes.wav"},
         "TRUETRUETRUEC:\\wav\\ring.wav***chimes.wav***"},
        {"TRUETRUETRU***x***tail", {"-TRUETRUETRU", "-x"}, "TRUETRUETRU***x***"},
        {"truetruetruea.wav***", {"-truetruetruea.wav"}, "truetruetruea.wav***"},
    };
    for (const auto& c : cases)
    {
        const std::vector<CAlarmListRow> rows = CAlarmSoundsModel::LoadSounds(c.pszSounds);
        std::vector<std::string> shown;
        for (const CAlarmListRow& row : rows)
            shown.push_back((row.bChecked ? "+" : "-") + std::string(row.strText));
        EXPECT_EQ(c.rows, shown) << c.pszSounds;
        EXPECT_STREQ(c.pszStored, CAlarmSoundsModel::StoreSounds(rows)) << c.pszSounds;
    }
    EXPECT_STREQ("sub\\a.wav", CAlarmSoundsModel::FullPath("sub\\a.wav", "C:\\V\\sounds"));
    EXPECT_STREQ("C:\\V\\sounds\\chimes.wav", CAlarmSoundsModel::FullPath("chimes.wav", "C:\\V\\sounds"));
    // No sounds folder (no program folder): a bare name names no file, a path stays.
    EXPECT_STREQ("", CAlarmSoundsModel::FullPath("chimes.wav", ""));
    EXPECT_STREQ("E:\\x\\y.wav", CAlarmSoundsModel::FullPath("E:\\x\\y.wav", ""));
}

TEST_F(AlarmEditModel, StoredListsAreAPrefixOfTheLoadedOnesAndLoadAgainTheSame)
{
    std::mt19937 rng(6125);
    const char kAlphabet[] = "aT*\\RUE";
    for (int n = 0; n < 500; n++)
    {
        CString strList;
        const int nLength = std::uniform_int_distribution<int>(0, 40)(rng);
        for (int i = 0; i < nLength; i++)
            strList += kAlphabet[std::uniform_int_distribution<int>(0, 6)(rng)];
        if (n % 2)
            strList = "TRUETRUETRUE" + strList;

        const CString strApps = CAlarmActionsModel::StoreApps(CAlarmActionsModel::LoadApps(strList));
        EXPECT_EQ(0, strList.Find(strApps)) << (LPCSTR)strList;
        EXPECT_EQ(Strings(CAlarmActionsModel::LoadApps(strList)), Strings(CAlarmActionsModel::LoadApps(strApps)));

        const CString strSounds = CAlarmSoundsModel::StoreSounds(CAlarmSoundsModel::LoadSounds(strList));
        EXPECT_STREQ(strApps, strSounds) << (LPCSTR)strList;

        const CString strCodes = CAlarmActionsModel::StoreSystemFunctions(CAlarmActionsModel::LoadSystemFunctions(strList));
        EXPECT_EQ(CAlarmActionsModel::LoadSystemFunctions(strList), CAlarmActionsModel::LoadSystemFunctions(strCodes));
    }
}

TEST_F(AlarmEditModel, NewRowsGoJustAfterTheSelectionMark)
{
    const struct
    {
        int nMark, nCount, nPosition;
    } cases[] = {{2, 5, 3}, {4, 5, 5}, {0, 1, 1}, {-1, 5, 5}, {-1, 0, 0}, {5, 5, 5}, {0, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.nPosition, AlarmInsertPosition(c.nMark, c.nCount)) << c.nMark << "/" << c.nCount;
}

TEST_F(AlarmEditModel, ListDialogResults)
{
    std::vector<BOOL> seconds(60, FALSE);
    EXPECT_STREQ("", CAlarmListDlgModel::ValueList(seconds));
    seconds[0] = seconds[5] = seconds[30] = TRUE;
    EXPECT_STREQ(" 0 530", CAlarmListDlgModel::ValueList(seconds));
    seconds[59] = seconds[10] = TRUE;
    EXPECT_STREQ(" 0 5103059", CAlarmListDlgModel::ValueList(seconds));

    const struct
    {
        std::vector<BOOL> days;   // Monday .. Sunday
        const char* pszDays;
    } cases[] = {
        {{0, 0, 0, 0, 0, 0, 1}, "1"},
        {{1, 0, 0, 0, 0, 0, 1}, "21"},
        {{0, 0, 0, 0, 0, 1, 1}, "71"},
        {{1, 1, 1, 1, 1, 1, 1}, "2345671"},
        {{0, 0, 0, 0, 0, 0, 0}, ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.pszDays, CAlarmListDlgModel::WeekDays(c.days)) << c.pszDays;
}

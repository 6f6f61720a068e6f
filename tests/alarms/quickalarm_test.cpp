// The quick alarms' times, fields and start values: each fires at its time
// through the shell's alarm check. The zone is pinned so local times mean the
// same in both builds.
#include "alarms/quickalarm.h"
#include "shell/alarmcheck.h"
#include "timepin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{
class QuickAlarmModel : public ::testing::Test
{
protected:
    void SetUp() override { m_zone.Pin(TIMEPIN_EAST1_DST); }
    void SetNow(CTime t) { m_clock.Set(t.GetTime()); }

    CTimePin m_zone;
    CClockPin m_clock;
};

struct CQuickCase
{
    const char* pszName;
    UINT nID;
    int now[6];       // year, month, day, hour, minute, second (local)
    int expected[6];  // all 0: CTime(0)
};

TEST_F(QuickAlarmModel, QuickAlarmTimes)
{
    // 2023-03-06 was a Monday; daylight time starts 2023-03-12 02:00 (to 03:00).
    static const CQuickCase s_cases[] = {
        {"Custom is now", 3000, {2023, 3, 6, 10, 30, 17}, {2023, 3, 6, 10, 30, 17}},
        {"55 min carries into the hour", 3011, {2023, 3, 6, 10, 30, 17}, {2023, 3, 6, 11, 25, 17}},
        {"5 min", 3001, {2023, 3, 6, 23, 58, 0}, {2023, 3, 7, 0, 3, 0}},
        {"1 hour", 3012, {2023, 3, 6, 23, 30, 0}, {2023, 3, 7, 0, 30, 0}},
        {"5 hours", 3016, {2023, 3, 6, 10, 0, 0}, {2023, 3, 6, 15, 0, 0}},
        {"3017 changes nothing", 3017, {2023, 3, 6, 10, 0, 9}, {2023, 3, 6, 10, 0, 9}},
        {"6 hours", 3018, {2023, 3, 6, 10, 0, 0}, {2023, 3, 6, 16, 0, 0}},
        {"12 hours", 3024, {2023, 3, 6, 13, 0, 0}, {2023, 3, 7, 1, 0, 0}},
        {"At 14:00 at 14:30", 3039, {2023, 3, 6, 14, 30, 0}, {2023, 3, 7, 14, 0, 0}},
        {"At 14:00 at 14:00:05", 3039, {2023, 3, 6, 14, 0, 5}, {2023, 3, 7, 14, 0, 0}},
        {"At 14:00 at 13:59", 3039, {2023, 3, 6, 13, 59, 44}, {2023, 3, 6, 14, 0, 0}},
        {"At 00:00 is tomorrow", 3025, {2023, 3, 6, 0, 0, 0}, {2023, 3, 7, 0, 0, 0}},
        {"At 23:00 on the last of the year", 3048, {2023, 12, 31, 23, 10, 0}, {2024, 1, 1, 23, 0, 0}},
        {"Tomorrow at the month end", 3049, {2023, 2, 28, 8, 0, 0}, {2023, 3, 1, 8, 0, 0}},
        {"6 days carries the year", 3054, {2023, 12, 28, 8, 0, 0}, {2024, 1, 3, 8, 0, 0}},
        {"3 weeks", 3057, {2023, 3, 6, 8, 0, 0}, {2023, 3, 27, 8, 0, 0}},
        {"1 month from 31 January", 3058, {2023, 1, 31, 8, 0, 0}, {2023, 3, 3, 8, 0, 0}},
        {"3 months carries the year", 3060, {2023, 11, 15, 8, 0, 0}, {2024, 2, 15, 8, 0, 0}},
        {"Next Monday on a Monday", 3061, {2023, 3, 6, 9, 15, 30}, {2023, 3, 13, 9, 15, 30}},
        {"Next Tuesday on a Monday", 3062, {2023, 3, 6, 9, 15, 30}, {2023, 3, 7, 9, 15, 30}},
        {"Next Sunday on a Saturday", 3067, {2023, 3, 11, 9, 0, 0}, {2023, 3, 12, 9, 0, 0}},
        {"Next Saturday on a Sunday", 3066, {2023, 3, 12, 9, 0, 0}, {2023, 3, 18, 9, 0, 0}},
        {"1 hour into the daylight gap", 3012, {2023, 3, 12, 1, 30, 0}, {2023, 3, 12, 3, 30, 0}},
        {"below the range", 2999, {2023, 3, 6, 9, 0, 0}, {0, 0, 0, 0, 0, 0}},
        {"above the range", 3068, {2023, 3, 6, 9, 0, 0}, {0, 0, 0, 0, 0, 0}},
    };
    for (const CQuickCase& c : s_cases)
    {
        const CTime now(c.now[0], c.now[1], c.now[2], c.now[3], c.now[4], c.now[5]);
        const CTime expected = c.expected[0] == 0 ? CTime()
                                                  : CTime(c.expected[0], c.expected[1], c.expected[2], c.expected[3],
                                                          c.expected[4], c.expected[5]);
        EXPECT_EQ(expected.GetTime(), QuickAlarmTime(c.nID, now).GetTime())
            << c.pszName << ": got " << (LPCSTR)QuickAlarmTime(c.nID, now).Format("%Y-%m-%d %H:%M:%S");
    }
    // The gap case must really be the gap: 02:30 does not exist that day.
    EXPECT_EQ(3600, (CTime(2023, 3, 12, 3, 30, 0) - CTime(2023, 3, 12, 1, 30, 0)).GetTotalSeconds());
}

TEST_F(QuickAlarmModel, QuickAlarmFieldsAndStartValuesFireAtItsTime)
{
    LOGFONTA lf = {};
    lf.lfHeight = -11;
    CAlarm alarm;
    alarm.m_bAskNotify = 1;
    alarm.m_nStarts = 9;
    InitQuickAlarm(alarm, 1023, 770, lf);
    EXPECT_EQ(CString("New Alarm"), alarm.m_strName);
    EXPECT_EQ(CString("Don't forget about..."), alarm.m_strMessage);
    EXPECT_EQ((std::vector<LONG>{255, 192, 767, 577}),
              (std::vector<LONG>{alarm.m_rcMessage.left, alarm.m_rcMessage.top, alarm.m_rcMessage.right,
                                 alarm.m_rcMessage.bottom}));
    EXPECT_EQ(-11, alarm.m_lfMessage.lfHeight);
    EXPECT_TRUE(alarm.m_bEnabled && alarm.m_bShowInTray && alarm.m_bMsgCenter);
    EXPECT_EQ(0, alarm.m_bAskNotify + alarm.m_nStarts + alarm.m_nRepeat);
    EXPECT_EQ(1, alarm.m_nSoundExtra);
    EXPECT_EQ(10, alarm.m_nAutoCloseSec);

    const CTime now(2023, 3, 6, 10, 0, 0);
    SetNow(now);
    alarm.m_time = QuickAlarmTime(3001, now);
    SetQuickAlarmStart(alarm, now);
    CAlarmArray alarms;
    alarms.Add(alarm);
    int nFired = 0;
    CAlarmCheck check;
    const CAlarmCheck::EXECUTE fnCount = [&](const CAlarm&) { nFired++; };
    SetNow(now + CTimeSpan(299));
    check.Run(alarms, fnCount);
    EXPECT_EQ(0, nFired);
    SetNow(now + CTimeSpan(300));
    check.Run(alarms, fnCount);
    SetNow(now + CTimeSpan(301));
    check.Run(alarms, fnCount);
    EXPECT_EQ(1, nFired);
}

// A record full of other values: every field the quick alarm names is set,
// the others keep what they held.
TEST_F(QuickAlarmModel, InitQuickAlarmSetsEveryFieldItNamesAndNoOther)
{
    CAlarm alarm;
    alarm.m_bEnabled = 0;
    alarm.m_nRepeat = ALARM_WEEKLY;
    alarm.m_wHotKeyVK = 'X';
    alarm.m_wHotKeyMods = 3;
    alarm.m_nHotKeyExtra = 9;
    alarm.m_strName = "Old";
    alarm.m_bCustomIcon = 2;
    alarm.m_nIconIndex = 7;
    alarm.m_strIconFile = "C:\\old.ico";
    alarm.m_bAskNotify = 1;
    alarm.m_nStarts = 9;
    alarm.m_bShowInTray = 0;
    alarm.m_bRunApps = 1;
    alarm.m_strApps = "C:\\a.exe***";
    alarm.m_bSysFuncs = 1;
    alarm.m_strSysFuncs = "07";
    alarm.m_bPlaySounds = 1;
    alarm.m_strSounds = "TRUETRUETRUEa.wav***";
    alarm.m_nSoundExtra = 4;
    alarm.m_bToggleTrayClock = alarm.m_bToggleAnalog = alarm.m_bToggleDigital = alarm.m_bToggleCalendar = 1;
    alarm.m_bShowMessage = 1;
    alarm.m_strMessage = "Old message";
    alarm.m_bMsgCenter = 0;
    alarm.m_nAutoCloseSec = 99;
    alarm.m_bAutoClose = 1;
    alarm.m_rcMessage = {1, 2, 3, 4};
    alarm.m_lfMessage.lfHeight = -3;
    // Not named: kept.
    alarm.m_bMsgOnTop = 1;
    alarm.m_time = CTime(2023, 3, 6, 10, 0, 0);
    alarm.m_nSecondPreset = 5;
    LOGFONTA lf = {};
    lf.lfHeight = -11;
    lf.lfWeight = 700;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");

    InitQuickAlarm(alarm, 1023, 770, lf);
    EXPECT_EQ(1, alarm.m_bEnabled);
    EXPECT_EQ(ALARM_ONCE, alarm.m_nRepeat);
    EXPECT_EQ(0, alarm.m_wHotKeyVK + alarm.m_wHotKeyMods + static_cast<int>(alarm.m_nHotKeyExtra));
    EXPECT_EQ(CString("New Alarm"), alarm.m_strName);
    EXPECT_EQ(0, alarm.m_bCustomIcon + alarm.m_nIconIndex);
    EXPECT_TRUE(alarm.m_strIconFile.IsEmpty());
    EXPECT_EQ(0, alarm.m_bAskNotify + alarm.m_nStarts);
    EXPECT_EQ(1, alarm.m_bShowInTray);
    EXPECT_EQ(0, alarm.m_bRunApps + alarm.m_bSysFuncs + alarm.m_bPlaySounds);
    EXPECT_TRUE(alarm.m_strApps.IsEmpty() && alarm.m_strSysFuncs.IsEmpty() && alarm.m_strSounds.IsEmpty());
    EXPECT_EQ(1, alarm.m_nSoundExtra);
    EXPECT_EQ(0, alarm.m_bToggleTrayClock + alarm.m_bToggleAnalog + alarm.m_bToggleDigital + alarm.m_bToggleCalendar);
    EXPECT_EQ(0, alarm.m_bShowMessage);
    EXPECT_EQ(CString("Don't forget about..."), alarm.m_strMessage);
    EXPECT_EQ(1, alarm.m_bMsgCenter);
    EXPECT_EQ(10, alarm.m_nAutoCloseSec);
    EXPECT_EQ(0, alarm.m_bAutoClose);
    EXPECT_EQ((std::vector<LONG>{255, 192, 767, 577}),
              (std::vector<LONG>{alarm.m_rcMessage.left, alarm.m_rcMessage.top, alarm.m_rcMessage.right,
                                 alarm.m_rcMessage.bottom}));
    EXPECT_EQ(0, std::memcmp(&lf, &alarm.m_lfMessage, sizeof(lf)));
    EXPECT_EQ(1, alarm.m_bMsgOnTop);
    EXPECT_EQ(CTime(2023, 3, 6, 10, 0, 0), alarm.m_time);
    EXPECT_EQ(5, alarm.m_nSecondPreset);
}

} // namespace

#include "core/alarm.h"
#include "core/config.h"
#include "core/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <vector>

namespace
{
CAlarm FilledAlarm()
{
    CAlarm a;
    a.m_bEnabled = 1;
    a.m_nRepeat = ALARM_WEEKLY;
    a.m_time = CTime(1700000000);
    a.m_nSecondPreset = 8;
    a.m_strSecondList = "0510";
    a.m_nMinutePreset = 3;
    a.m_strMinuteList = "15";
    a.m_nMinuteOfHour = 45;
    a.m_nMonthDay = 31;
    a.m_nYearDay = 29;
    a.m_nYearMonth = 1;
    a.m_nDays = ALARMDAYS_CUSTOM;
    a.m_strWeekDays = "17";
    a.m_nWeekDay = 6;
    a.m_nScheduleReserved = -3;
    a.m_timeNext = CTime(1700003600);
    a.m_timeLastRun = CTime(1699990000);
    a.m_bAskNotify = 1;
    a.m_wHotKeyVK = 'Q';
    a.m_wHotKeyMods = 5;
    a.m_nHotKeyExtra = 0x12345678;
    a.m_bCustomIcon = 1;
    a.m_nIconIndex = 12;
    a.m_strIconFile = "C:\\icons.icl";
    a.m_strName = "Tea";
    a.m_bShowInTray = 1;
    a.m_nStarts = 4;
    a.m_bShowMessage = 1;
    a.m_bMsgOnTop = 1;
    a.m_strMessage = "Tea is ready";
    a.m_bMsgCenter = 1;
    for (size_t i = 0; i < sizeof(a.m_lfMessage); i++)
        reinterpret_cast<unsigned char*>(&a.m_lfMessage)[i] = static_cast<unsigned char>(i * 7 + 1);
    a.m_rcMessage = {-1, 2, 300, 400};
    a.m_nAutoCloseSec = 30;
    a.m_bAutoClose = 1;
    a.m_bToggleTrayClock = 1;
    a.m_bToggleAnalog = 1;
    a.m_bToggleDigital = 1;
    a.m_bToggleCalendar = 1;
    a.m_bRunApps = 1;
    a.m_strApps = "E:\\a.exe***";
    a.m_bSysFuncs = 1;
    a.m_strSysFuncs = "0403";
    a.m_bPlaySounds = 1;
    a.m_strSounds = "TRUETRUETRUEding.wav***";
    a.m_nSoundExtra = 2;
    return a;
}

// The stream holds every stored field; the rest is compared by hand.
std::vector<BYTE> RecordOf(const CAlarm& a)
{
    CSettings settings;
    CAlarmArray alarms;
    CAlarm copy = a;
    alarms.Add(copy);
    std::vector<BYTE> data;
    CConfigFile::BuildStream(settings, alarms, data);
    return data;
}

void ExpectSameAlarm(const CAlarm& a, const CAlarm& b)
{
    EXPECT_EQ(RecordOf(a), RecordOf(b));
    EXPECT_EQ(a.m_nHotKeyExtra, b.m_nHotKeyExtra);
    EXPECT_EQ(0, std::memcmp(&a.m_lfMessage, &b.m_lfMessage, sizeof(LOGFONTA)));
    EXPECT_EQ(0, std::memcmp(&a.m_rcMessage, &b.m_rcMessage, sizeof(RECT)));
}

// Constructs T where every byte was garbage before, as on a used heap.
template <class T> struct CDirtyBox
{
    CDirtyBox()
    {
        std::memset(m_storage, 0xCD, sizeof(m_storage));
        m_p = new (m_storage) T();
    }
    ~CDirtyBox() { m_p->~T(); }
    alignas(T) unsigned char m_storage[sizeof(T)];
    T* m_p;
};
} // namespace

TEST(AlarmRecord, NewAlarmHasEveryFieldDefinedAsZero)
{
    CDirtyBox<CAlarm> box;
    const std::vector<BYTE> data = RecordOf(*box.m_p);
    ASSERT_GT(data.size(), CONFIG_MIN_ALARM_BYTES);
    // The record of an alarm with nothing set is all zero bytes.
    const std::vector<BYTE> record(data.end() - static_cast<long>(CONFIG_MIN_ALARM_BYTES), data.end());
    EXPECT_EQ(record, std::vector<BYTE>(CONFIG_MIN_ALARM_BYTES, 0));
    EXPECT_EQ(box.m_p->m_nHotKeyExtra, 0u);
    const LOGFONTA lfZero = {};
    EXPECT_EQ(0, std::memcmp(&box.m_p->m_lfMessage, &lfZero, sizeof(LOGFONTA)));
}

TEST(AlarmRecord, EachBlockStartsZeroOnItsOwn)
{
    CDirtyBox<CAlarmSchedule> schedule;
    EXPECT_EQ(schedule.m_p->m_nRepeat, 0);
    EXPECT_EQ(schedule.m_p->m_nWeekDay, 0);
    EXPECT_EQ(schedule.m_p->m_time.GetTime(), 0);
    EXPECT_EQ(schedule.m_p->m_timeNext.GetTime(), 0);
    EXPECT_EQ(schedule.m_p->m_timeLastRun.GetTime(), 0);
    CDirtyBox<CAlarmGeneral> general;
    EXPECT_EQ(general.m_p->m_wHotKeyVK, 0);
    EXPECT_EQ(general.m_p->m_nStarts, 0);
    CDirtyBox<CAlarmMessage> message;
    EXPECT_EQ(message.m_p->m_rcMessage.bottom, 0);
    EXPECT_EQ(message.m_p->m_lfMessage.lfFaceName[31], '\0');
    EXPECT_EQ(message.m_p->m_nAutoCloseSec, 0);
    CDirtyBox<CAlarmActions> actions;
    EXPECT_EQ(actions.m_p->m_bSysFuncs, 0);
    CDirtyBox<CAlarmSound> sound;
    EXPECT_EQ(sound.m_p->m_nSoundExtra, 0);
}

TEST(AlarmRecord, CopiesCarryEveryField)
{
    const CAlarm source = FilledAlarm();
    CAlarm copy(source);
    ExpectSameAlarm(copy, source);

    CAlarm assigned;
    CAlarm& result = (assigned = source);
    EXPECT_EQ(&result, &assigned);
    ExpectSameAlarm(assigned, source);

    // Copies are deep: changing one leaves the other.
    copy.m_strName = "Coffee";
    EXPECT_STREQ(source.m_strName, "Tea");
}

TEST(AlarmRecord, SelfAssignmentKeepsTheAlarm)
{
    CAlarm alarm = FilledAlarm();
    CAlarm& same = alarm;
    alarm = same;
    ExpectSameAlarm(alarm, FilledAlarm());
}

TEST(AlarmRecord, BlockAssignmentCopiesOnlyThatBlock)
{
    const CAlarm source = FilledAlarm();
    CAlarm target;
    static_cast<CAlarmGeneral&>(target) = source;
    EXPECT_STREQ(target.m_strName, "Tea");
    EXPECT_EQ(target.m_nHotKeyExtra, 0x12345678u);
    EXPECT_EQ(target.m_nRepeat, 0);
    EXPECT_TRUE(target.m_strMessage.IsEmpty());

    static_cast<CAlarmSchedule&>(target) = source;
    EXPECT_EQ(target.m_nWeekDay, 6);
    EXPECT_STREQ(target.m_strWeekDays, "17");
    EXPECT_EQ(target.m_bPlaySounds, 0);
}

TEST(AlarmArray, GrowingMakesEmptyAlarms)
{
    CAlarmArray alarms;
    CAlarm filled = FilledAlarm();
    alarms.Add(filled);
    alarms.SetSize(3);
    EXPECT_STREQ(alarms[0].m_strName, "Tea");
    EXPECT_TRUE(alarms[2].m_strName.IsEmpty());
    EXPECT_EQ(alarms[2].m_nStarts, 0);
    alarms.RemoveAll();
    EXPECT_EQ(alarms.GetSize(), 0);
}

TEST(SettingsRecord, NewRecordHasNumbersZeroAndStringsEmpty)
{
    CDirtyBox<CSettings> box;
    const CSettings& s = *box.m_p;
    EXPECT_EQ(s.m_nVersion, 0u);
    EXPECT_EQ(s.m_nAnalogScale, 0);
    EXPECT_EQ(s.m_ptAnalogCenter.x, 0);
    EXPECT_EQ(s.m_hkCalendar.dwReserved, 0u);
    EXPECT_EQ(s.m_nLoadAlarmCount, 0);
    EXPECT_TRUE(s.m_strSoundDir.IsEmpty());
    // Every stored field is 0: the stream is all zeros except the layout.
    CAlarmArray none;
    std::vector<BYTE> data;
    CConfigFile::BuildStream(s, none, data);
    ASSERT_EQ(data.size(), 340u + 6u);   // numbers plus six empty strings
    data[0] = 0;
    EXPECT_EQ(data, std::vector<BYTE>(data.size(), 0));
}

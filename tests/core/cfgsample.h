// A sample configuration of each layout, every item with its own value, built
// from the layout table (see cfgbytes.h), and the checks that it loaded.
#pragma once

#include "cfgbytes.h"
#include "core/alarm.h"
#include "core/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

inline void AppendSampleSettings(CTestBytes& b, uint32_t nLayout, uint32_t nAlarms)
{
    const bool b222 = nLayout >= 222;
    const bool b230 = nLayout >= 230;
    b.U32(nLayout).U32(1).Str("Tick").I32(120).U32(0).U32(1).U32(3).U32(1).U32(1).U32(15).U32(0).U32(30);
    b.U32(1).U32(0).I32(-1).U32(1).U32(0).U32(1).HotKey(0x41, 3, 7).Str("A***B***").I32(-50).I32(700);
    if (b230)
        b.U32(4);
    if (b222)
        b.U32(5).U32(6);
    b.U32(1).U32(1).U32(80).U32(1).U32(0).U32(999).U32(1).U32(3).U32(2).Str("Blue LCD").Str("%H:%M");
    b.U32(1).U32(1).U32(300).U32(0).U32(1).U32(1).HotKey(0x44, 6, 0).Str("X***").I32(-3).I32(1200);
    if (b230)
        b.U32(7);
    if (b222)
        b.U32(8).U32(9);
    b.U32(0).U32(0);
    if (b230)
        b.U32(1).U32(1);
    b.U32(4).HotKey(0x4F, 1, 0);
    b.U32(0x010203).U32(0x040506).U32(0x070809).U32(0x0A0B0C).U32(0x0D0E0F).U32(0x101112);
    b.U32(0).U32(1).HotKey(0x4C, 2, 0);
    b.U32(1).U32(1).U32(0).U32(1).U32(0).U32(1).U32(0);
    b.U32(0x111111).U32(0x222222).U32(0x333333).U32(0x444444).U32(0x555555).U32(0x666666);
    b.U32(1).HotKey(0x43, 4, 0).U32(1).U32(9).U32(1);
    b.U32(12345).U32(77).Str("junk");   // the reserved items
    b.U32(nAlarms);
}

// Alarm nSeed of a sample: values that differ per item and per alarm.
inline void AppendSampleAlarm(CTestBytes& b, int nSeed, const std::string& strFace = "Arial")
{
    const int32_t n = nSeed * 100;
    b.Str("0015").I32(n + 2).I32(1700000000 + n).U32(1).Str("05").I32(1690000000 + n).U32(4).U32(3).U32(1);
    b.Str("246").I32(n + 11).I32(n + 12).I32(n + 13).U32(5).I32(n + 15).U32(8).I32(-n - 17);
    b.U32(1).Str("C:\\a.exe***").U32(1).Str("0007").U32(0).I32(1710000000 + n);
    b.U32(0x10058).U32(0x50006);   // high words must be dropped
    b.I32(n + 26).Str("icons.dll").U32(1).Str("Alarm " + std::to_string(nSeed)).I32(n + 30).U32(1);
    b.U32(1).U32(0).U32(1).U32(0);
    // Font, alphabetical: charset, clip, escapement, face, height, italic,
    // orientation, out precision, pitch and family, quality, strike-out,
    // underline, weight, width.
    b.U8(204).U8(2).I32(900).Str(strFace).I32(-12).U8(1).I32(450).U8(3).U8(0x22).U8(5).U8(1).U8(0).I32(700).I32(6);
    b.U32(1).Str("Wake up").U32(1).U32(0).I32(n + 54).U32(1);
    b.I32(-10).I32(20).I32(300).I32(400);
    b.Str("TRUETRUETRUEding.wav***").U32(1).I32(n + 59);
}

inline void ExpectSampleSettings(const CSettings& s, uint32_t nLayout)
{
    EXPECT_EQ(s.m_nVersion, 230u);   // the next save writes layout 230
    EXPECT_EQ(s.m_bAnalogVisible, 1);
    EXPECT_STREQ(s.m_strAnalogSkin, "Tick");
    EXPECT_EQ(s.m_nAnalogScale, 120);
    EXPECT_EQ(s.m_bAnalogSecondHand, 0);
    EXPECT_EQ(s.m_nAnalogDblClkAction, 3);
    EXPECT_EQ(s.m_nAnalogChangeMinutes, 15);
    EXPECT_EQ(s.m_nAnalogChangeSeconds, 30);
    EXPECT_EQ(s.m_nAnalogFixedSize, -1);
    EXPECT_EQ(s.m_bAnalogToggleHides, 1);
    EXPECT_EQ(s.m_hkAnalog.wVirtualKey, 0x41);
    EXPECT_EQ(s.m_hkAnalog.wModifiers, 3);
    EXPECT_EQ(s.m_hkAnalog.dwReserved, 7u);
    EXPECT_STREQ(s.m_strAnalogChangeSkins, "A***B***");
    EXPECT_EQ(s.m_ptAnalogCenter.x, -50);
    EXPECT_EQ(s.m_ptAnalogCenter.y, 700);
    EXPECT_EQ(s.m_nAnalogLight, nLayout >= 230 ? 4 : 0);
    EXPECT_EQ(s.m_nAnalogContrast, nLayout >= 222 ? 5 : 0);
    EXPECT_EQ(s.m_nAnalogJitter, nLayout >= 222 ? 6 : 0);
    EXPECT_EQ(s.m_bDigitalVisible, 1);
    EXPECT_EQ(s.m_nDigitalScale, 80);
    EXPECT_EQ(s.m_nDigitalChangeMinutes, 999);
    EXPECT_EQ(s.m_nDigitalChangeSeconds, 3);
    EXPECT_EQ(s.m_nDigitalDblClkAction, 2);
    EXPECT_STREQ(s.m_strDigitalSkin, "Blue LCD");
    EXPECT_STREQ(s.m_strDigitalFormat, "%H:%M");
    EXPECT_EQ(s.m_nDigitalFixedSize, 300);
    EXPECT_EQ(s.m_bDigitalOnBottom, 1);
    EXPECT_EQ(s.m_hkDigital.wVirtualKey, 0x44);
    EXPECT_EQ(s.m_hkDigital.wModifiers, 6);
    EXPECT_STREQ(s.m_strDigitalChangeSkins, "X***");
    EXPECT_EQ(s.m_ptDigitalCenter.x, -3);
    EXPECT_EQ(s.m_ptDigitalCenter.y, 1200);
    EXPECT_EQ(s.m_nDigitalLight, nLayout >= 230 ? 7 : 0);
    EXPECT_EQ(s.m_nDigitalContrast, nLayout >= 222 ? 8 : 0);
    EXPECT_EQ(s.m_nDigitalJitter, nLayout >= 222 ? 9 : 0);
    EXPECT_EQ(s.m_bRunAtStartup, 0);
    EXPECT_EQ(s.m_bAskOnExit, 0);
    EXPECT_EQ(s.m_bSkinBrowserAtStartup, nLayout >= 230 ? 1 : 0);
    EXPECT_EQ(s.m_bSkinBrowserAutoConnect, nLayout >= 230 ? 1 : 0);
    EXPECT_EQ(s.m_nTrayDblClkAction, 4);
    EXPECT_EQ(s.m_hkOptions.wVirtualKey, 0x4F);
    EXPECT_EQ(s.m_crAlarmWndBack, 0x010203u);
    EXPECT_EQ(s.m_crAlarmListText, 0x101112u);
    EXPECT_EQ(s.m_nUsedAlarmAction, 0);
    EXPECT_EQ(s.m_bAlarmListAtStartup, 1);
    EXPECT_EQ(s.m_hkAlarmList.wVirtualKey, 0x4C);
    EXPECT_EQ(s.m_bCalendarVisible, 1);
    EXPECT_EQ(s.m_bCalUseBackColor, 1);
    EXPECT_EQ(s.m_bCalUseMonthBackColor, 0);
    EXPECT_EQ(s.m_bCalUseTrailingTextColor, 0);
    EXPECT_EQ(s.m_crCalBack, 0x111111u);
    EXPECT_EQ(s.m_crCalTrailingText, 0x666666u);
    EXPECT_EQ(s.m_bCalendarOnTop, 1);
    EXPECT_EQ(s.m_hkCalendar.wModifiers, 4);
    EXPECT_EQ(s.m_bCalCustomFirstDay, 1);
    EXPECT_EQ(s.m_nCalFirstDay, 9);   // no range check on load
    EXPECT_EQ(s.m_bCalendarToggleHides, 1);
}

inline void ExpectSampleAlarm(const CAlarm& a, int nSeed, const char* pszFace = "Arial")
{
    const int n = nSeed * 100;
    EXPECT_STREQ(a.m_strMinuteList, "0015");
    EXPECT_EQ(a.m_nYearMonth, n + 2);
    EXPECT_EQ(a.m_timeNext.GetTime(), 1700000000 + n);
    EXPECT_EQ(a.m_bEnabled, 1);
    EXPECT_STREQ(a.m_strSecondList, "05");
    EXPECT_EQ(a.m_time.GetTime(), 1690000000 + n);
    EXPECT_EQ(a.m_nRepeat, 4);
    EXPECT_EQ(a.m_nWeekDay, 3);
    EXPECT_EQ(a.m_nDays, 1);
    EXPECT_STREQ(a.m_strWeekDays, "246");
    EXPECT_EQ(a.m_nYearDay, n + 11);
    EXPECT_EQ(a.m_nMinuteOfHour, n + 13);   // the second of the two copies
    EXPECT_EQ(a.m_nMinutePreset, 5);
    EXPECT_EQ(a.m_nMonthDay, n + 15);
    EXPECT_EQ(a.m_nSecondPreset, 8);
    EXPECT_EQ(a.m_nScheduleReserved, -n - 17);
    EXPECT_EQ(a.m_bRunApps, 1);
    EXPECT_STREQ(a.m_strApps, "C:\\a.exe***");
    EXPECT_EQ(a.m_bSysFuncs, 1);
    EXPECT_STREQ(a.m_strSysFuncs, "0007");
    EXPECT_EQ(a.m_bAskNotify, 0);
    EXPECT_EQ(a.m_timeLastRun.GetTime(), 1710000000 + n);
    EXPECT_EQ(a.m_wHotKeyVK, 0x58);
    EXPECT_EQ(a.m_wHotKeyMods, 6);
    EXPECT_EQ(a.m_nHotKeyExtra, 0u);
    EXPECT_EQ(a.m_nIconIndex, n + 26);
    EXPECT_STREQ(a.m_strIconFile, "icons.dll");
    EXPECT_EQ(a.m_bCustomIcon, 1);
    EXPECT_STREQ(a.m_strName, ("Alarm " + std::to_string(nSeed)).c_str());
    EXPECT_EQ(a.m_nStarts, n + 30);
    EXPECT_EQ(a.m_bShowInTray, 1);
    EXPECT_EQ(a.m_bToggleAnalog, 1);
    EXPECT_EQ(a.m_bAutoClose, 0);
    EXPECT_EQ(a.m_bToggleCalendar, 1);
    EXPECT_EQ(a.m_bToggleDigital, 0);
    EXPECT_EQ(a.m_lfMessage.lfCharSet, 204);
    EXPECT_EQ(a.m_lfMessage.lfClipPrecision, 2);
    EXPECT_EQ(a.m_lfMessage.lfEscapement, 900);
    EXPECT_STREQ(a.m_lfMessage.lfFaceName, pszFace);
    EXPECT_EQ(a.m_lfMessage.lfHeight, -12);
    EXPECT_EQ(a.m_lfMessage.lfItalic, 1);
    EXPECT_EQ(a.m_lfMessage.lfOrientation, 450);
    EXPECT_EQ(a.m_lfMessage.lfOutPrecision, 3);
    EXPECT_EQ(a.m_lfMessage.lfPitchAndFamily, 0x22);
    EXPECT_EQ(a.m_lfMessage.lfQuality, 5);
    EXPECT_EQ(a.m_lfMessage.lfStrikeOut, 1);
    EXPECT_EQ(a.m_lfMessage.lfUnderline, 0);
    EXPECT_EQ(a.m_lfMessage.lfWeight, 700);
    EXPECT_EQ(a.m_lfMessage.lfWidth, 6);
    EXPECT_EQ(a.m_bMsgCenter, 1);
    EXPECT_STREQ(a.m_strMessage, "Wake up");
    EXPECT_EQ(a.m_bShowMessage, 1);
    EXPECT_EQ(a.m_bMsgOnTop, 0);
    EXPECT_EQ(a.m_nAutoCloseSec, n + 54);
    EXPECT_EQ(a.m_bToggleTrayClock, 1);
    EXPECT_EQ(a.m_rcMessage.left, -10);
    EXPECT_EQ(a.m_rcMessage.top, 20);
    EXPECT_EQ(a.m_rcMessage.right, 300);
    EXPECT_EQ(a.m_rcMessage.bottom, 400);
    EXPECT_STREQ(a.m_strSounds, "TRUETRUETRUEding.wav***");
    EXPECT_EQ(a.m_bPlaySounds, 1);
    EXPECT_EQ(a.m_nSoundExtra, n + 59);
}

inline CTestBytes SampleFile(uint32_t nLayout, int nAlarms)
{
    CTestBytes b;
    AppendSampleSettings(b, nLayout, static_cast<uint32_t>(nAlarms));
    for (int i = 0; i < nAlarms; i++)
        AppendSampleAlarm(b, i + 1);
    return b;
}

// The global settings record: every user choice of the suite, read and
// written directly by the windows, filled and stored by CConfigFile.
#pragma once

#include "afx/afx.h"

struct HOTKEYSETTING
{
    WORD wVirtualKey;   // 0 = no hot key
    WORD wModifiers;    // shift 1, control 2, alt 4
    DWORD dwReserved;
};

inline bool operator==(const HOTKEYSETTING& a, const HOTKEYSETTING& b)
{
    return a.wVirtualKey == b.wVirtualKey && a.wModifiers == b.wModifiers && a.dwReserved == b.dwReserved;
}

// Hot-key ids registered with the system; alarm i uses HOTKEY_FIRSTALARM + i.
enum
{
    HOTKEY_ANALOG = 0,
    HOTKEY_DIGITAL = 1,
    HOTKEY_CALENDAR = 2,
    HOTKEY_ALARMLIST = 3,
    HOTKEY_OPTIONS = 4,
    HOTKEY_FIRSTALARM = 5
};

// Numbers start at 0 and strings empty in every instance, not only in the
// static one, so a scratch record parsed from a file starts the same way.
class CSettings
{
public:

    DWORD m_nVersion = 0;
    BOOL m_bAnalogVisible = 0;
    CString m_strAnalogSkinDir;
    CString m_strAnalogSkin;
    CString m_strAnalogPartSecond;
    CString m_strAnalogPartMinute;
    CString m_strAnalogPartHour;
    CString m_strAnalogPartFace;
    int m_nAnalogScale = 0;
    BOOL m_bAnalogSecondHand = 0;
    BOOL m_bAnalogOnTop = 0;
    int m_nAnalogDblClkAction = 0;
    POINT m_ptAnalogCenter = {};
    BOOL m_bAnalogAutoChange = 0;
    BOOL m_bAnalogChangeByMinutes = 0;
    int m_nAnalogChangeMinutes = 0;
    BOOL m_bAnalogChangeBySeconds = 0;
    int m_nAnalogChangeSeconds = 0;
    BOOL m_bAnalogAutoRemove = 0;
    BOOL m_bAnalogAlwaysCenter = 0;
    int m_nAnalogFixedSize = 0;
    BOOL m_bAnalogLockMovement = 0;
    BOOL m_bAnalogOnBottom = 0;
    BOOL m_bAnalogToggleHides = 0;
    HOTKEYSETTING m_hkAnalog = {};
    CString m_strAnalogChangeSkins;
    int m_nAnalogLight = 0;
    int m_nAnalogContrast = 0;
    int m_nAnalogJitter = 0;
    BOOL m_bDigitalOnTop = 0;
    int m_nDigitalScale = 0;
    BOOL m_bDigitalAutoChange = 0;
    BOOL m_bDigitalChangeByMinutes = 0;
    int m_nDigitalChangeMinutes = 0;
    BOOL m_bDigitalChangeBySeconds = 0;
    int m_nDigitalChangeSeconds = 0;
    int m_nDigitalDblClkAction = 0;
    CString m_strDigitalSkinDir;
    CString m_strDigitalSkin;
    CString m_strDigitalPartAbc;
    CString m_strDigitalPartBackground;
    CString m_strDigitalFormat;
    BOOL m_bDigitalAutoRemove = 0;
    BOOL m_bDigitalAlwaysCenter = 0;
    int m_nDigitalFixedSize = 0;
    BOOL m_bDigitalLockMovement = 0;
    BOOL m_bDigitalVisible = 0;
    BOOL m_bDigitalOnBottom = 0;
    BOOL m_bDigitalToggleHides = 0;
    HOTKEYSETTING m_hkDigital = {};
    CString m_strDigitalChangeSkins;
    POINT m_ptDigitalCenter = {};
    int m_nDigitalLight = 0;
    int m_nDigitalContrast = 0;
    int m_nDigitalJitter = 0;
    CString m_strIconLibrary;
    BOOL m_bRunAtStartup = 0;
    BOOL m_bAskOnExit = 0;
    BOOL m_bSkinBrowserAtStartup = 0;
    BOOL m_bSkinBrowserAutoConnect = 0;
    int m_nSkinBrowserType = 0;
    int m_nTrayDblClkAction = 0;
    HOTKEYSETTING m_hkOptions = {};
    COLORREF m_crAlarmWndBack = 0;
    COLORREF m_crAlarmWndText = 0;
    COLORREF m_crAlarmButton = 0;
    COLORREF m_crAlarmButtonText = 0;
    COLORREF m_crAlarmListBack = 0;
    COLORREF m_crAlarmListText = 0;
    int m_nUsedAlarmAction = 0;
    BOOL m_bAlarmListAtStartup = 0;
    HOTKEYSETTING m_hkAlarmList = {};
    BOOL m_bCalendarVisible = 0;
    BOOL m_bCalUseBackColor = 0;
    BOOL m_bCalUseMonthBackColor = 0;
    BOOL m_bCalUseTextColor = 0;
    BOOL m_bCalUseTitleBackColor = 0;
    BOOL m_bCalUseTitleTextColor = 0;
    BOOL m_bCalUseTrailingTextColor = 0;
    COLORREF m_crCalBack = 0;
    COLORREF m_crCalMonthBack = 0;
    COLORREF m_crCalText = 0;
    COLORREF m_crCalTitleBack = 0;
    COLORREF m_crCalTitleText = 0;
    COLORREF m_crCalTrailingText = 0;
    BOOL m_bCalendarOnTop = 0;
    HOTKEYSETTING m_hkCalendar = {};
    BOOL m_bCalCustomFirstDay = 0;
    int m_nCalFirstDay = 0;
    BOOL m_bCalendarToggleHides = 0;
    int m_nLoadAlarmCount = 0;
    CString m_strSoundDir;
};

extern CSettings g_settings;

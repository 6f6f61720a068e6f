// What the tray menu holds, as data: its items, sub-menus, commands and icon
// resources, and the "Execute alarm..." items from an alarm array. The
// window code turns it into owner-drawn menus.
#pragma once

#include "afx/afx.h"
#include "core/alarm.h"

#include <vector>

enum
{
    TRAYITEM_COMMAND,
    TRAYITEM_SEPARATOR,
    TRAYITEM_POPUP
};

// Command ids of the tray menu.
enum
{
    ID_TRAY_EMPTY = 2000,
    ID_TRAY_ANALOG = 2001,
    ID_TRAY_ANALOGOPTIONS = 2002,
    ID_TRAY_DIGITAL = 2003,
    ID_TRAY_DIGITALOPTIONS = 2004,
    ID_TRAY_CALENDARSHOWHIDE = 2005,  // sent by the tray double-click action 3; nothing handles it
    ID_TRAY_TRAYCLOCK = 2006,
    ID_TRAY_CALENDAR = 2007,
    ID_TRAY_CALENDAROPTIONS = 2008,
    ID_TRAY_SYNCHRONIZE = 2009,
    ID_TRAY_SYNCOPTIONS = 2010,
    ID_TRAY_ALARMLIST = 2011,
    ID_TRAY_ALARMLISTOPTIONS = 2012,
    ID_TRAY_HELP = 2017,
    ID_TRAY_NOTIFICATIONS = 2018,
    ID_TRAY_ABOUT = 2019,
    ID_TRAY_CHECKVERSION = 2020,
    ID_TRAY_HOMEPAGE = 2021,
    ID_TRAY_ADJUSTTIME = 2022,
    ID_TRAY_MINIMIZEALL = 2023,
    ID_TRAY_TASKMANAGER = 2024,
    ID_TRAY_TASKBAR = 2025,
    ID_TRAY_GENERALSETTINGS = 2026,
    ID_TRAY_EXIT = 2027,
    ID_TRAY_ANALOGSKINS = 2028,
    ID_TRAY_DIGITALSKINS = 2029,
    ID_TRAY_FIRSTALARM = 5000
};

// The vendor's web site: its host shows in the menu; the commands open these.
extern const char g_szVendorHost[];
extern const char g_szVendorHomePage[];
extern const char g_szVendorDownloads[];
// The About dialog's links and the newsletter's page (the home page + "subscribe.php").
extern const char g_szVendorSupportMail[];
extern const char g_szVendorCompanySite[];

class CTrayMenuItem
{
public:
    int m_nKind = TRAYITEM_COMMAND;
    CString m_strText;
    UINT m_nID = 0;
    UINT m_nIcon = 0;           // icon resource; 0 none
    BOOL m_bGrayed = FALSE;
    INT_PTR m_nAlarm = -1;      // "Execute alarm..." items: the alarm's index
    std::vector<CTrayMenuItem> m_subItems;
};

// The whole tray menu for this alarm array, top to bottom.
std::vector<CTrayMenuItem> BuildTrayMenuModel(const CAlarmArray& alarms);
// The "Execute alarm..." items alone: one per alarm shown in the tray, else
// the grayed "Empty".
std::vector<CTrayMenuItem> BuildExecuteAlarmItems(const CAlarmArray& alarms);

// What of the array the tray menu and the hot keys show, as one text: when it
// changes, both are rebuilt.
CString AlarmMenuFingerprint(const CAlarmArray& alarms);

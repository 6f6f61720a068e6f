#include "shell/traymodel.h"

const char g_szVendorHost[] = "www.veltranclock.example";
const char g_szVendorHomePage[] = "http://www.veltranclock.example/";
const char g_szVendorDownloads[] = "http://www.veltranclock.example/downloads.php";
const char g_szVendorSupportMail[] = "support@veltranclock.example";
const char g_szVendorCompanySite[] = "http://www.veltran.example/";

namespace
{
CTrayMenuItem Item(LPCSTR pszText, UINT nID, UINT nIcon = 0)
{
    CTrayMenuItem item;
    item.m_strText = pszText;
    item.m_nID = nID;
    item.m_nIcon = nIcon;
    return item;
}

CTrayMenuItem Separator()
{
    CTrayMenuItem item;
    item.m_nKind = TRAYITEM_SEPARATOR;
    return item;
}

CTrayMenuItem Popup(LPCSTR pszText, UINT nIcon, std::vector<CTrayMenuItem> subItems)
{
    CTrayMenuItem item;
    item.m_nKind = TRAYITEM_POPUP;
    item.m_strText = pszText;
    item.m_nIcon = nIcon;
    item.m_subItems = std::move(subItems);
    return item;
}

std::vector<CTrayMenuItem> QuickAlarmItems()
{
    std::vector<CTrayMenuItem> in;
    for (int n = 1; n <= 11; n++)
    {
        CString str;
        str.Format("%d min", 5 * n);
        in.push_back(Item(str, 3000 + n));
    }
    in.push_back(Separator());
    for (int h = 1; h <= 12; h++)
    {
        CString str;
        str.Format(h == 1 ? "%d hour" : "%d hours", h);
        in.push_back(Item(str, h <= 5 ? 3011 + h : 3012 + h));  // 3017 has no item
    }
    std::vector<CTrayMenuItem> at;
    for (int h = 0; h < 24; h++)
    {
        CString str;
        str.Format("%02d:00", h);
        at.push_back(Item(str, 3025 + h));
    }
    std::vector<CTrayMenuItem> on;
    on.push_back(Item("Tomorrow", 3049));
    for (int d = 2; d <= 6; d++)
    {
        CString str;
        str.Format("%d days", d);
        on.push_back(Item(str, 3048 + d));
    }
    on.push_back(Separator());
    on.push_back(Item("1 week", 3055));
    on.push_back(Item("2 weeks", 3056));
    on.push_back(Item("3 weeks", 3057));
    on.push_back(Item("1 month", 3058));
    on.push_back(Item("2 months", 3059));
    on.push_back(Item("3 months", 3060));
    static const char* const s_pszDays[7] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday",
                                              "Sunday"};
    std::vector<CTrayMenuItem> next;
    for (int d = 0; d < 7; d++)
        next.push_back(Item(s_pszDays[d], 3061 + d));

    return {Item("Custom...", 3000), Separator(), Popup("In", 0, in), Popup("At", 0, at), Separator(),
            Popup("On", 0, on), Popup("Next", 0, next)};
}
} // namespace

std::vector<CTrayMenuItem> BuildExecuteAlarmItems(const CAlarmArray& alarms)
{
    std::vector<CTrayMenuItem> items;
    for (INT_PTR i = 0; i < alarms.GetSize(); i++)
    {
        if (!alarms[i].m_bShowInTray)
            continue;
        CTrayMenuItem item = Item(alarms[i].m_strName, ID_TRAY_FIRSTALARM + static_cast<UINT>(i));
        item.m_nAlarm = i;
        items.push_back(item);
    }
    if (items.empty())
    {
        CTrayMenuItem item = Item("Empty", ID_TRAY_EMPTY);
        item.m_bGrayed = TRUE;
        items.push_back(item);
    }
    return items;
}

std::vector<CTrayMenuItem> BuildTrayMenuModel(const CAlarmArray& alarms)
{
    CString strHomePage = CString("Homepage: ") + g_szVendorHost;
    return {
        Popup("Analog clock", 292,
              {Item("Show analog clock", ID_TRAY_ANALOG, 292), Item("Skin Browser...", ID_TRAY_ANALOGSKINS, 395),
               Separator(), Item("Analog clock options...", ID_TRAY_ANALOGOPTIONS, 286)}),
        Popup("Digital clock", 283,
              {Item("Show digital clock", ID_TRAY_DIGITAL, 283), Item("Skin Browser...", ID_TRAY_DIGITALSKINS, 395),
               Separator(), Item("Digital clock options...", ID_TRAY_DIGITALOPTIONS, 286)}),
        Item("Tray clock...", ID_TRAY_TRAYCLOCK, 321),
        Separator(),
        Popup("Calendar", 284,
              {Item("Show calendar", ID_TRAY_CALENDAR, 284), Separator(),
               Item("Calendar options...", ID_TRAY_CALENDAROPTIONS, 286)}),
        Popup("Synchronize", 398,
              {Item("Synchronize", ID_TRAY_SYNCHRONIZE, 398), Separator(),
               Item("Synchronization options...", ID_TRAY_SYNCOPTIONS, 286)}),
        Popup("Alarm list", 291,
              {Item("Show alarm list", ID_TRAY_ALARMLIST, 291), Separator(),
               Item("Alarm list options...", ID_TRAY_ALARMLISTOPTIONS, 286), Popup("New alarm...", 159, QuickAlarmItems()),
               Popup("Execute alarm...", 370, BuildExecuteAlarmItems(alarms))}),
        Separator(),
        Popup("Miscellaneous", 393,
              {Item("Adjust Date/Time", ID_TRAY_ADJUSTTIME, 400), Item("Minimize All Windows", ID_TRAY_MINIMIZEALL, 399),
               Item("Task Manager", ID_TRAY_TASKMANAGER, 402), Item("Taskbar Properties", ID_TRAY_TASKBAR, 401),
               Separator(), Item("Misc. settings...", ID_TRAY_GENERALSETTINGS, 286)}),
        Popup("Help", 288,
              {Item("Veltran Clock Help", ID_TRAY_HELP, 294),
               Item("Information about updates...", ID_TRAY_NOTIFICATIONS, 390),
               Item("About Veltran Clock...", ID_TRAY_ABOUT, 323), Separator(),
               Item("Check for last version", ID_TRAY_CHECKVERSION, 324),
               Item(strHomePage, ID_TRAY_HOMEPAGE, 128)}),
        Separator(),
        Item("Exit Veltran Clock", ID_TRAY_EXIT, 290),
    };
}

CString AlarmMenuFingerprint(const CAlarmArray& alarms)
{
    CString str;
    for (INT_PTR i = 0; i < alarms.GetSize(); i++)
    {
        const CAlarm& a = alarms[i];
        CString strOne;
        strOne.Format("%lu|%u|%u|%d|%d|%d|", static_cast<unsigned long>(a.m_nIdentity), a.m_wHotKeyVK,
                      a.m_wHotKeyMods, a.m_bShowInTray ? 1 : 0, a.m_bCustomIcon ? 1 : 0, a.m_nIconIndex);
        str += strOne + a.m_strIconFile + "|" + a.m_strName + "\n";
    }
    return str;
}

#include "shell/shelldlgmodel.h"

#include "shell/traymodel.h"

const char* const g_apszTrayActions[TRAY_ACTION_COUNT] = {
    "Nothing",
    "Show/Hide Analog Clock",
    "Show/Hide Digital Clock",
    "Show/Hide Calendar",
    "Show Alarm List",
    "Show Options",
    "Show Help",
};

void CGeneralSettingsValues::Load(CSettings& settings)
{
    bRunAtStartup = settings.m_bRunAtStartup;
    bAskOnExit = settings.m_bAskOnExit;
    bSkinBrowserAtStartup = settings.m_bSkinBrowserAtStartup;
    bSkinBrowserAutoConnect = settings.m_bSkinBrowserAutoConnect;
    wHotKeyVK = settings.m_hkOptions.wVirtualKey;
    wHotKeyMods = settings.m_hkOptions.wModifiers;
    if (settings.m_nTrayDblClkAction < 0 || settings.m_nTrayDblClkAction >= TRAY_ACTION_COUNT)
        settings.m_nTrayDblClkAction = 0;
    nTrayAction = settings.m_nTrayDblClkAction;
}

void CGeneralSettingsValues::Store(CSettings& settings) const
{
    settings.m_bRunAtStartup = bRunAtStartup;
    settings.m_bAskOnExit = bAskOnExit;
    settings.m_bSkinBrowserAtStartup = bSkinBrowserAtStartup;
    settings.m_bSkinBrowserAutoConnect = bSkinBrowserAutoConnect;
    settings.m_nTrayDblClkAction = nTrayAction;
    settings.m_hkOptions.wVirtualKey = wHotKeyVK;
    settings.m_hkOptions.wModifiers = wHotKeyMods;
}

CString BuildNewsletterAddress(BOOL bSubscribe, const CString& strEmail)
{
    return CString(g_szVendorHomePage) + "subscribe.php?subscribe=" + (bSubscribe ? "1" : "0")
        + "&email=" + strEmail;
}

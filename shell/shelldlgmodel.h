// What the General settings and Notifications dialogs show and store,
// apart from their windows.
#pragma once

#include "afx/afxstr.h"
#include "core/settings.h"

// The tray icon's double-click actions, in the order of their stored index.
const int TRAY_ACTION_COUNT = 7;
extern const char* const g_apszTrayActions[TRAY_ACTION_COUNT];

// The General settings dialog's values.
struct CGeneralSettingsValues {
    BOOL bRunAtStartup = FALSE;
    BOOL bAskOnExit = FALSE;
    BOOL bSkinBrowserAtStartup = FALSE;
    BOOL bSkinBrowserAutoConnect = FALSE;
    int nTrayAction = 0;
    WORD wHotKeyVK = 0;
    WORD wHotKeyMods = 0;

    // A stored tray action outside the list is set to 0 in the settings
    // at once, so the list never selects past its end.
    void Load(CSettings& settings);
    // The reserved word of the hot key stays as it is.
    void Store(CSettings& settings) const;
};

// The address the Notifications dialog opens: the vendor's page, the choice
// and the e-mail text exactly as typed (nothing encoded or trimmed).
CString BuildNewsletterAddress(BOOL bSubscribe, const CString& strEmail);

// Windows-only helpers of the settings code, apart so tests can aim them at
// a scratch key.
#pragma once

#include "core/appseams.h"

#include <windows.h>

extern const char g_szRunKey[];
extern const char g_szRunValueName[];

// Sets the REG_SZ value pszName under hRoot\pszSubKey; the size written
// includes the terminating zero.
RUNVALUERESULT AppWriteRegistryString(HKEY hRoot, LPCSTR pszSubKey, LPCSTR pszName, LPCSTR pszData);

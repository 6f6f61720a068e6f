#include "app/settings.h"

CSettings g_settings;

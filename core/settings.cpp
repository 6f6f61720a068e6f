#include "core/settings.h"

CSettings g_settings;

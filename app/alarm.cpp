#include "app/alarm.h"

CAlarmArray g_alarms;

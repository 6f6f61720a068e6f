// Icons that the subsystems' windows show under the program's own numbers,
// made by shared_icons.rc: the clocks, the calendar, their options and the
// alarm list. The shell's tray menu shows them too.
#pragma once

#define IDI_NEWALARM 159
#define IDI_DIGITALCLOCK 283
#define IDI_CALENDAR 284
#define IDI_ALARMLIST 291
#define IDI_ANALOGCLOCK 292
#define IDI_TRAY 394
// The tabs and banners of the option dialogs.
#define IDI_AUTOCHANGE 396
#define IDI_BANNER_OPTIONS 397

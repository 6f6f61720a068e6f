// Resource ids of the application shell: the main dialog's template and the
// icons of the program and its tray menu (the numbers are the program's own).
#pragma once

#define IDD_MAINDLG 211

#define IDI_APP 128
#define IDI_NEWALARM 159
#define IDI_DIGITALCLOCK 283
#define IDI_CALENDAR 284
#define IDI_OPTIONS 286        // defined in res/clocks.rc
#define IDI_HELP 288
#define IDI_EXIT 290
#define IDI_ALARMLIST 291
#define IDI_ANALOGCLOCK 292
#define IDI_HELPTOPIC 294
#define IDI_TRAYCLOCK 321
#define IDI_ABOUT 323
#define IDI_CHECKVERSION 324
#define IDI_EXECUTEALARM 370
#define IDI_UPDATES 390
#define IDI_MISC 393
#define IDI_TRAY 394
#define IDI_SKINBROWSER 395    // defined in res/clocks.rc
#define IDI_SYNCHRONIZE 398
#define IDI_MINIMIZEALL 399
#define IDI_ADJUSTTIME 400
#define IDI_TASKBAR 401
#define IDI_TASKMANAGER 402
// The tabs and banners of the option dialogs.
#define IDI_AUTOCHANGE 396
#define IDI_BANNER_OPTIONS 397

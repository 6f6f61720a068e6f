// Resource ids of the application shell: the main dialog's template and the
// icons of the program and its tray menu (the numbers are the program's own).
// The icons the subsystems show as well are in shared_icons.h.
#pragma once

#include "shared_icons.h"

#define IDD_MAINDLG 211

#define IDI_APP 128
#define IDI_OPTIONS 286        // defined in res/shared_icons.rc
#define IDI_HELP 288
#define IDI_EXIT 290
#define IDI_HELPTOPIC 294
#define IDI_TRAYCLOCK 321
#define IDI_ABOUT 323
#define IDI_CHECKVERSION 324
#define IDI_EXECUTEALARM 370
#define IDI_UPDATES 390
#define IDI_MISC 393
#define IDI_SKINBROWSER 395    // defined in res/shared_icons.rc
#define IDI_SYNCHRONIZE 398
#define IDI_MINIMIZEALL 399
#define IDI_ADJUSTTIME 400
#define IDI_TASKBAR 401
#define IDI_TASKMANAGER 402

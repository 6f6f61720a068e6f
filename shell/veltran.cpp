// Veltran.exe: the one application object.
#include "shell/clockapp.h"

CClockApp theApp;

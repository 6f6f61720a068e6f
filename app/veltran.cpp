// Veltran.exe: the one application object.
#include "app/clockapp.h"

CClockApp theApp;

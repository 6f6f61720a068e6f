// The portable core of our MFC-compatible layer: strings, arrays, geometry,
// times, files, archives and exceptions. No window code.
#pragma once

#include "afx/wintypes.h"

#include "afx/afxarch.h"
#include "afx/afxcoll.h"
#include "afx/afxexcept.h"
#include "afx/afxfile.h"
#include "afx/afxgeom.h"
#include "afx/afxstr.h"
#include "afx/afxtime.h"
#include "afx/afxoledate.h"

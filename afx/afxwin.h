// The Windows half of the framework layer: include this in window code.
#pragma once

#include "afx/afxgeom.h"
#include "afx/afxstr.h"
#include "afx/afxobj.h"
#include "afx/afxcoll_ptr.h"
#include "afx/afxmsg.h"
#include "afx/afxgdi.h"
#include "afx/afxmenu.h"
#include "afx/afxwnd.h"
#include "afx/afxapp.h"
#include "afx/afxdlg.h"
#include "afx/afxctl.h"
#include "afx/afxtoolbar.h"
#include "afx/afxframe.h"
#include "afx/afxseams.h"
#include "afx/afxworker.h"

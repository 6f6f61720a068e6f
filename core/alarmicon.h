// The one way an alarm's icon is found, for the tray's "Execute alarm..."
// items, the alarm list's rows and the editor's Info page.
#pragma once

#include "afx/afx.h"
#include "core/alarm.h"

#include <windows.h>

// The large icon the alarm names: number m_nIconIndex of the icon library
// (icon kind 0) or of its own file (1), or the shell's icon of its file (2);
// null when none comes out or the kind is unknown. The caller owns it.
HICON AlarmExtractIcon(const CAlarmGeneral& general, const CString& strIconLibrary);

// What the shaded and the bitmap-skinned buttons share: the private message
// that unchecks a radio button of the same dialog group, and the walk that
// sends it.
#pragma once

#include <windows.h>

#include "afx/afxwnd.h"

// Clears the check of the button that receives it and repaints; returns 0.
const UINT UM_UNCHECKGROUP = 0x0500;

// Sends UM_UNCHECKGROUP to every other button of pButton's dialog group that
// answers it (shaded and skinned buttons), disabled and hidden ones too,
// before returning: one radio button of a group stays checked.
void UncheckRadioGroup(CWnd* pButton);

// Mouse tracking of the buttons: TME_LEAVE on, or cancelled.
BOOL TrackMouseLeave(HWND hWnd, BOOL bCancel);

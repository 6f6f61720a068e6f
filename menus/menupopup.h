// Popup-menu windows ("#32768") of the GUI thread get their window procedure
// replaced while they are shown, so that the current drawing style paints
// their frame, margins and shadow. The library's window hook finds them as
// they are created; each one has a record in the popup map (menustyles.h)
// for as long as it is subclassed.
#pragma once

#include "afx/afxwin.h"

// Name of the window property (and of the global atom kept beside it) that
// holds the procedure that was there before ours.
#define STYLEDMENU_OLDPROC_PROP "OldMenuProc"

// The WH_CALLWNDPROC hook of the library's GUI thread.
LRESULT CALLBACK MenuCallWndProcHook(int nCode, WPARAM wParam, LPARAM lParam);
// TRUE when this call subclassed the window (a popup-menu window without a record).
BOOL SubclassMenuPopup(HWND hWnd, BOOL bFromSizeMessage);
LRESULT CALLBACK MenuPopupWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void UnsubclassMenuPopup(HWND hWnd);
// Library end: every window still subclassed gets its procedure back.
void UnsubclassAllMenuPopups();

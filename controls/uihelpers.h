// Small helpers of the dialogs: the standard banner along the top of every
// options dialog, list-view column order, system colours and text refreshers.
#pragma once

#include <windows.h>

#include "afx/afxwnd.h"

class CSideBanner;
class CTextProgressCtrl;

// Control id of the banner that SetupDialogBanner attaches.
const UINT IDC_DIALOG_BANNER = 0xFFF0;

// Attaches the banner along the dialog's top edge with the standard colours;
// nothing when either is null.
void SetupDialogBanner(CSideBanner* pBanner, CWnd* pDialog);

// The standard look of a text progress bar: orange to green, range 0..128,
// step 1, position 0; nothing for null.
void SetupTextProgress(CTextProgressCtrl* pProgress);

BOOL GetListColumnOrder(HWND hList, int* pOrder, int nCount);
BOOL SetListColumnOrder(HWND hList, const int* pOrder, int nCount);

COLORREF GetButtonFaceColor();

// Sets a window's text again so that the control repaints it.
void RefreshWindowText(CWnd* pWnd);
// EnumChildWindows callback doing the same for each child.
BOOL CALLBACK RefreshChildText(HWND hWnd, LPARAM lParam);

// Row heights of owner-drawn list views. Such a list asks its parent for the
// height once, with WM_MEASUREITEM while it is being created, and under Wine
// again only when its size changes (not on WM_SETFONT or SWP_FRAMECHANGED).
// The parent's CWnd::OnMeasureItem hands the request to the control's own
// window object, found by its id; these two functions cover what it cannot:
//
// - A parent that is not a window of this layer (a plain window, a test's spy)
//   never reflects. AfxEnableMeasureRouting installs a hook on the calling
//   thread that gives such a parent's request to the control's permanent object
//   before the parent sees it. A control calls it from PreSubclassWindow, so the
//   request made during creation already reaches it.
// - A control created from a dialog template is asked before it is subclassed,
//   when nothing can answer. It calls AfxForceMeasureItem once it is subclassed,
//   and whenever its row height changes (font, lines per row): the list is sent a
//   WM_WINDOWPOSCHANGED with its own size, which makes it measure again.
#pragma once

#include <windows.h>

void AfxEnableMeasureRouting();
void AfxForceMeasureItem(HWND hWnd);

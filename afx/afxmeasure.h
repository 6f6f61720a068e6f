// Row heights of owner-drawn list views. Such a list asks its parent for the
// height with WM_MEASUREITEM while it is being created, and under Wine again
// only when its size changes (not on WM_SETFONT or SWP_FRAMECHANGED).
// A parent of this layer hands the request to the control's own window object
// (CWnd::OnMeasureItem, by the control's id). What that cannot cover:
//
// - A parent outside the layer (a plain window, a test's spy) never reflects.
//   While a CAfxMeasureRouting made for the control lives, such a parent's
//   request goes to the control's object before the parent sees it. A control
//   wraps the default processing of WM_CREATE and WM_WINDOWPOSCHANGED in one,
//   the two moments the list asks. (It is a hook on the thread's sent
//   messages, costly under Wine, so it lives only that long, and only when
//   the parent is outside the layer.)
// - A control created from a dialog template is asked before it is subclassed,
//   when nothing can answer. It calls AfxForceMeasureItem once it is
//   subclassed, and whenever its row height changes (font, lines per row): the
//   list is sent a WM_WINDOWPOSCHANGED with its own size and measures again.
#pragma once

#include <windows.h>

class CAfxMeasureRouting {
public:
    explicit CAfxMeasureRouting(HWND hControl);
    ~CAfxMeasureRouting();
    CAfxMeasureRouting(const CAfxMeasureRouting&) = delete;
    CAfxMeasureRouting& operator=(const CAfxMeasureRouting&) = delete;

private:
    bool m_bInstalled = false;
};

void AfxForceMeasureItem(HWND hWnd);

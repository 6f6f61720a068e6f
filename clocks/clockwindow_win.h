// What the skinned clock windows share on Windows: opening a skin for a
// window (its messages included), the main window's messages, the monitor's
// work area, the drag hit test, regions from mask runs and the guard that
// keeps a timer handler from running inside itself.
#pragma once

#include "afx/afxwnd.h"
#include "clocks/skinarchive.h"

#include <vector>

// The temporary folder as GetTempPathA gives it, ending with a backslash.
CString GetClockTempFolder();

// Sends a private message (lParam 0) to the application's main window.
LRESULT SendToMainWindow(UINT nMessage, WPARAM wParam = 0);

// The current skin of a kind, unpacked and read whole: the skin list, the
// fallback to the first skin ("Glimmark" boxes), "No skins were found!" with
// the Skin Browser opened on the kind, the unpack message. FALSE after the
// message; strSkin may have become the fallback. The data file stays.
BOOL OpenSkinForWindow(SkinKind kind, const CString& strFolder, CString& strSkin, CSkinOpen& open,
                       std::vector<BYTE>& data);

// The work area of the monitor that holds most of the window.
CRect GetClockWorkArea(HWND hWnd);

// The hit test of a clock: an unlocked clock drags by its whole area; a
// locked one answers a border code, so clicks still arrive as non-client
// messages (menu, double click) but nothing moves.
LRESULT GetClockHitTest(LRESULT nDefault, BOOL bLocked);

// A region of the rectangles moved by (dx, dy); an empty list gives an empty
// region. NULL only when the system cannot make one.
HRGN CreateRunsRegion(const std::vector<RECT>& runs, LONG dx, LONG dy);

// Counts a handler in and out; a second entry while one runs is refused.
class CClockBusyGuard {
public:
    explicit CClockBusyGuard(int& nBusy) : m_nBusy(nBusy), m_bEntered(nBusy == 0) { m_nBusy++; }
    ~CClockBusyGuard() { m_nBusy--; }
    CClockBusyGuard(const CClockBusyGuard&) = delete;
    CClockBusyGuard& operator=(const CClockBusyGuard&) = delete;
    BOOL Entered() const { return m_bEntered; }

private:
    int& m_nBusy;
    BOOL m_bEntered;
};

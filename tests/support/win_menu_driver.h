// Drives a popup menu that product code tracks (TrackPopupMenu runs its own
// modal loop): a thread timer finds the innermost open popup window, walks the
// selection with the arrow keys to the item of a command id, opening
// sub-menus on the way, and presses Enter; or it cancels the menu. Nothing
// waits on a person, and a menu that never opens or never reaches the item
// is cancelled after a bounded number of steps.
#pragma once

#include <windows.h>

#include <functional>

namespace vtest {

class CMenuDriver {
public:
    // nID 0: cancel the menu (EndMenu) once it is open.
    explicit CMenuDriver(UINT nID, UINT nIntervalMs = 30, int nMaxSteps = 200);
    ~CMenuDriver();
    CMenuDriver(const CMenuDriver&) = delete;
    CMenuDriver& operator=(const CMenuDriver&) = delete;

    // Called once when a popup window is first seen open (after it painted).
    std::function<void(HWND hWndPopup, HMENU hMenu)> m_onOpen;
    // Nonzero: typed into the first popup (WM_CHAR) instead of walking to nID;
    // the menu is then left to close itself, or cancelled after the steps.
    char m_chType = 0;

    bool Chose() const { return m_bChose; }        // Enter was pressed on the item
    bool Cancelled() const { return m_bCancelled; }
    HMENU MenuSeen() const { return m_hMenuSeen; }  // the first popup's menu
    int PopupsSeen() const { return m_nPopupsSeen; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR nIDEvent, DWORD);
    void Step();
    void Cancel();

    UINT m_nID;
    int m_nMaxSteps;
    int m_nSteps = 0;
    UINT_PTR m_nTimer = 0;
    bool m_bChose = false;
    bool m_bCancelled = false;
    bool m_bTyped = false;
    HMENU m_hMenuSeen = nullptr;
    HWND m_hLastPopup = nullptr;
    int m_nPopupsSeen = 0;
};

// The innermost visible popup-menu window ("#32768") of this thread: the one
// whose menu opens none of the others; null if none is open. The z-order does
// not tell: when another program of the session takes the foreground while a
// sub-menu is open, Wine activates and raises the first popup above it.
HWND FindOpenPopupMenu();

}  // namespace vtest

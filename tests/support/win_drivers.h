// Drivers that stand in for a person: they answer modal dialogs that product
// code opens, put mouse input into the message queue after hit-testing as the
// system does, and wait for workers with a deadline while messages flow.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace vtest {

// Which dialog a driver answers; empty fields match anything.
struct CDialogMatch {
    const char* pszClass = "#32770";  // dialogs and message boxes
    const char* pszCaption = nullptr;  // the caption after WM_INITDIALOG
    UINT nTemplateId = 0;              // a CDialog made from this template
};

// While it lives, every dialog of this thread that matches is answered by the
// script: it runs from a timer inside the dialog's own modal loop, once the
// dialog is up, as a person's input would. A dialog still open nTimeoutMs after
// its script ran is cancelled and the driver reports TimedOut(), so a test
// never hangs on a dialog its script failed to close.
class CDialogDriver {
public:
    using Script = std::function<void(HWND hDlg)>;
    CDialogDriver(const CDialogMatch& match, Script fnScript, DWORD nTimeoutMs = 5000);
    ~CDialogDriver();
    CDialogDriver(const CDialogDriver&) = delete;
    CDialogDriver& operator=(const CDialogDriver&) = delete;

    int Driven() const { return m_nDriven; }  // dialogs the script ran on
    bool TimedOut() const { return m_bTimedOut; }

private:
    static LRESULT CALLBACK CallWndRetProc(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK ScriptTimer(HWND, UINT, UINT_PTR nIDEvent, DWORD);
    static void CALLBACK WatchdogTimer(HWND, UINT, UINT_PTR nIDEvent, DWORD);
    bool Matches(HWND hDlg) const;

    CDialogMatch m_match;
    Script m_fnScript;
    DWORD m_nTimeoutMs;
    HHOOK m_hHook = nullptr;
    int m_nDriven = 0;
    bool m_bTimedOut = false;
};

// What a script does to a dialog, through its controls as a person would.
// Each returns false when the control is missing or disabled (left untouched).
bool TypeText(HWND hDlg, int nID, const char* pszText);  // replaces the text; the edit notifies
bool SetCheck(HWND hDlg, int nID, bool bChecked);       // clicks the box when it differs
bool SelectItem(HWND hDlg, int nID, int nIndex);        // list or combo box, with the selection notice
bool PressButton(HWND hDlg, int nID);                   // a click on the button (BM_CLICK)
// The control with this id anywhere below hWnd (pages inside a tab, say); null if none.
HWND FindDescendant(HWND hWnd, int nID);

// Mouse input. The point is in hWnd's client coordinates; the window that
// receives it is found as the system finds it: the deepest visible, enabled
// child under the point, whose WM_NCHITTEST answer chooses client
// (WM_LBUTTONDOWN ...) or non-client (WM_NCLBUTTONDOWN ...) messages.
// WM_SETCURSOR and a posted mouse move come first. The press, the release (and
// a drag's moves) then go through the application's PreTranslateMessage to the
// window one straight after the other, with nothing handled between them, so
// no focus change can take a click away; their copies wait in the queue for a
// window that reads the release there itself (DragDetect). Each call
// dispatches what is queued before it returns.
enum class MouseButton { Left, Right };
// Returns the window that received the input (null: no window under the point).
HWND Click(HWND hWnd, POINT pt, MouseButton button = MouseButton::Left);
HWND DoubleClick(HWND hWnd, POINT pt);  // WM_xBUTTONDBLCLK only for CS_DBLCLKS classes, as the system does
HWND RightClick(HWND hWnd, POINT pt);
// Presses at ptFrom, moves in nSteps to ptTo and releases; once the press made
// a window capture the mouse, the moves and the release go to that window.
HWND DragClient(HWND hWnd, POINT ptFrom, POINT ptTo, int nSteps = 4);
// A drag of the window by a point that hit-tests as HTCAPTION (a caption, or a
// client area that answers HTCAPTION): the steps of the system's move loop,
// WM_ENTERSIZEMOVE, WM_MOVING (the window may change the rectangle) and the
// move for each step, WM_EXITSIZEMOVE. The loop itself reads the real mouse,
// which tests do not own. False when the point is not a caption.
bool DragCaption(HWND hWnd, POINT ptGrab, int dx, int dy, int nSteps = 4);

// Waits up to nTimeoutMs for hObject (a worker's end event or thread handle)
// while dispatching messages, so a worker that sends to a window is served.
bool WaitPumping(HANDLE hObject, DWORD nTimeoutMs = 5000);

}  // namespace vtest

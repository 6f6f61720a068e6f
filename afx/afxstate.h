// Per-thread state of the window layer, and helpers its files share.
// Private to afx_win.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <unordered_map>
#include <vector>

class CWnd;
class CMenu;
class CDC;
class CGdiObject;
class CImageList;
class CObject;
class CString;

struct CAfxThreadState {
    // Window, menu and image-list handles are unique, so one map per kind.
    std::unordered_map<HWND, CWnd*> m_permanentWnd;
    std::unordered_map<HWND, CWnd*> m_temporaryWnd;
    std::unordered_map<HMENU, CMenu*> m_permanentMenu;
    std::unordered_map<HMENU, CMenu*> m_temporaryMenu;
    std::unordered_map<HDC, CDC*> m_temporaryDC;
    // GDI temporaries are typed (a CPen for a pen), so several may share a handle.
    std::unordered_multimap<HGDIOBJ, CGdiObject*> m_temporaryGdi;
    std::unordered_map<HIMAGELIST, CImageList*> m_temporaryImageList;

    MSG m_lastSentMsg{};
    CWnd* m_pWndInit = nullptr;
    HHOOK m_hHookCbt = nullptr;
    int m_nDispatchDepth = 0;
    std::vector<CObject*> m_deferredDeletes;
    HMENU m_hTrackingMenu = nullptr;
    HWND m_hTrackingWindow = nullptr;  // the owner of m_hTrackingMenu

    ~CAfxThreadState();
};

CAfxThreadState& AfxGetThreadState();

// Sent by ~CWnd on a foreign thread to the window (lParam = the object): its own
// thread destroys it and forgets the object.
UINT AfxGetForeignDestroyMessage();

// The text of a window (empty for a null handle).
CString AfxGetWindowText(HWND hWnd);
// The text of item nIndex of a list or combo box, read with the pair of
// messages LB_GETTEXTLEN/LB_GETTEXT or CB_GETLBTEXTLEN/CB_GETLBTEXT.
CString AfxGetListText(HWND hWnd, UINT nLenMsg, UINT nTextMsg, int nIndex);

// Reads a member through a pointer that may be null, without letting the
// optimiser assume it is not (code written for MFC calls these through null).
template <class T>
inline const T* AfxLaunder(const T* p) {
    __asm__("" : "+r"(p));
    return p;
}

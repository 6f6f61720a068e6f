#include "support/win_drivers.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "afx/afxwin.h"
#include "support/win_window.h"

namespace vtest {

namespace {

// The drivers of the test thread share one hook; the newest matching one answers.
std::vector<CDialogDriver*> g_drivers;
HHOOK g_hHook = nullptr;
// Thread timers waiting to run a script or to check a dialog ended.
std::map<UINT_PTR, std::pair<CDialogDriver*, HWND>> g_scriptTimers;
std::map<UINT_PTR, std::pair<CDialogDriver*, HWND>> g_watchdogTimers;

void ForgetTimers(std::map<UINT_PTR, std::pair<CDialogDriver*, HWND>>& timers, CDialogDriver* pDriver) {
    for (auto it = timers.begin(); it != timers.end();) {
        if (it->second.first == pDriver) {
            ::KillTimer(nullptr, it->first);
            it = timers.erase(it);
        } else {
            ++it;
        }
    }
}

bool TakeTimer(std::map<UINT_PTR, std::pair<CDialogDriver*, HWND>>& timers, UINT_PTR nID,
               std::pair<CDialogDriver*, HWND>& entry) {
    ::KillTimer(nullptr, nID);
    auto it = timers.find(nID);
    if (it == timers.end())
        return false;
    entry = it->second;
    timers.erase(it);
    return true;
}

}  // namespace

CDialogDriver::CDialogDriver(const CDialogMatch& match, Script fnScript, DWORD nTimeoutMs)
    : m_match(match), m_fnScript(std::move(fnScript)), m_nTimeoutMs(nTimeoutMs) {
    if (g_hHook == nullptr)
        g_hHook = ::SetWindowsHookExA(WH_CALLWNDPROCRET, CallWndRetProc, nullptr, ::GetCurrentThreadId());
    m_hHook = g_hHook;
    g_drivers.push_back(this);
}

CDialogDriver::~CDialogDriver() {
    ForgetTimers(g_scriptTimers, this);
    ForgetTimers(g_watchdogTimers, this);
    g_drivers.erase(std::remove(g_drivers.begin(), g_drivers.end(), this), g_drivers.end());
    if (g_drivers.empty() && g_hHook != nullptr) {
        ::UnhookWindowsHookEx(g_hHook);
        g_hHook = nullptr;
    }
}

bool CDialogDriver::Matches(HWND hDlg) const {
    char sz[256] = "";
    if (m_match.pszClass != nullptr) {
        ::GetClassNameA(hDlg, sz, sizeof(sz));
        if (lstrcmpiA(sz, m_match.pszClass) != 0)
            return false;
    }
    if (m_match.pszCaption != nullptr) {
        ::GetWindowTextA(hDlg, sz, sizeof(sz));
        if (std::strcmp(sz, m_match.pszCaption) != 0)
            return false;
    }
    if (m_match.nTemplateId != 0) {
        auto* pDlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hDlg));
        if (pDlg == nullptr || !IS_INTRESOURCE(pDlg->m_lpszTemplateName) ||
            LOWORD((UINT_PTR)pDlg->m_lpszTemplateName) != m_match.nTemplateId)
            return false;
    }
    return true;
}

// Sees every dialog's WM_INITDIALOG return: the dialog is complete, its caption final.
LRESULT CALLBACK CDialogDriver::CallWndRetProc(int nCode, WPARAM wParam, LPARAM lParam) {
    const auto* pRet = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (nCode == HC_ACTION && pRet->message == WM_INITDIALOG) {
        for (auto it = g_drivers.rbegin(); it != g_drivers.rend(); ++it) {
            if ((*it)->Matches(pRet->hwnd)) {
                UINT_PTR nID = ::SetTimer(nullptr, 0, 1, ScriptTimer);
                g_scriptTimers[nID] = {*it, pRet->hwnd};
                break;
            }
        }
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void CALLBACK CDialogDriver::ScriptTimer(HWND, UINT, UINT_PTR nIDEvent, DWORD) {
    std::pair<CDialogDriver*, HWND> entry;
    if (!TakeTimer(g_scriptTimers, nIDEvent, entry) || !::IsWindow(entry.second))
        return;
    CDialogDriver* pDriver = entry.first;
    ++pDriver->m_nDriven;
    pDriver->m_fnScript(entry.second);
    // A modeless framework dialog may stay open; anything else must end.
    auto* pDlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(entry.second));
    if (::IsWindow(entry.second) && (pDlg == nullptr || pDlg->IsModal())) {
        UINT_PTR nID = ::SetTimer(nullptr, 0, pDriver->m_nTimeoutMs, WatchdogTimer);
        g_watchdogTimers[nID] = entry;
    }
}

void CALLBACK CDialogDriver::WatchdogTimer(HWND, UINT, UINT_PTR nIDEvent, DWORD) {
    std::pair<CDialogDriver*, HWND> entry;
    if (!TakeTimer(g_watchdogTimers, nIDEvent, entry) || !::IsWindow(entry.second) ||
        !::IsWindowVisible(entry.second))
        return;
    entry.first->m_bTimedOut = true;
    if (auto* pDlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(entry.second)))
        pDlg->EndDialog(IDCANCEL);
    else
        ::EndDialog(entry.second, IDCANCEL);
}

static HWND UsableItem(HWND hDlg, int nID) {
    HWND hItem = ::GetDlgItem(hDlg, nID);
    return hItem != nullptr && ::IsWindowEnabled(hItem) ? hItem : nullptr;
}

bool TypeText(HWND hDlg, int nID, const char* pszText) {
    HWND hItem = UsableItem(hDlg, nID);
    return hItem != nullptr && ::SendMessageA(hItem, WM_SETTEXT, 0, (LPARAM)pszText) != FALSE;
}

bool SetCheck(HWND hDlg, int nID, bool bChecked) {
    HWND hItem = UsableItem(hDlg, nID);
    if (hItem == nullptr)
        return false;
    if ((::SendMessageA(hItem, BM_GETCHECK, 0, 0) == BST_CHECKED) != bChecked)
        ::SendMessageA(hItem, BM_CLICK, 0, 0);
    return (::SendMessageA(hItem, BM_GETCHECK, 0, 0) == BST_CHECKED) == bChecked;
}

bool SelectItem(HWND hDlg, int nID, int nIndex) {
    HWND hItem = UsableItem(hDlg, nID);
    if (hItem == nullptr)
        return false;
    char szClass[32] = "";
    ::GetClassNameA(hItem, szClass, sizeof(szClass));
    const bool bCombo = lstrcmpiA(szClass, "ComboBox") == 0;
    const UINT nSetSel = bCombo ? CB_SETCURSEL : LB_SETCURSEL;
    if (::SendMessageA(hItem, nSetSel, (WPARAM)nIndex, 0) != nIndex)
        return false;
    // Only a list box with LBS_NOTIFY tells its parent about a user's choice.
    if (bCombo || (::GetWindowLongA(hItem, GWL_STYLE) & LBS_NOTIFY))
        ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nID, bCombo ? CBN_SELCHANGE : LBN_SELCHANGE), (LPARAM)hItem);
    return true;
}

bool PressButton(HWND hDlg, int nID) {
    HWND hItem = UsableItem(hDlg, nID);
    if (hItem == nullptr)
        return false;
    ::SendMessageA(hItem, BM_CLICK, 0, 0);
    return true;
}

// --- mouse input -------------------------------------------------------------

namespace {

struct CHit {
    HWND hWnd = nullptr;
    LRESULT nHit = HTNOWHERE;
    POINT ptScreen{};
};

// Non-client mouse messages lie at a fixed distance from their client twins.
const UINT kNcOffset = WM_MOUSEMOVE - WM_NCMOUSEMOVE;

CHit HitTest(HWND hWnd, POINT ptClient) {
    CHit hit;
    hit.ptScreen = ptClient;
    ::ClientToScreen(hWnd, &hit.ptScreen);
    HWND h = hWnd;
    for (;;) {
        POINT pt = hit.ptScreen;
        ::ScreenToClient(h, &pt);
        HWND hChild = ::ChildWindowFromPointEx(h, pt, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT);
        if (hChild == nullptr || hChild == h)
            break;
        h = hChild;
    }
    for (;;) {
        hit.nHit = ::SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(hit.ptScreen.x, hit.ptScreen.y));
        if (hit.nHit != HTTRANSPARENT || !(::GetWindowLongA(h, GWL_STYLE) & WS_CHILD))
            break;
        h = ::GetParent(h);  // a transparent child lets its parent have the point
    }
    hit.hWnd = hit.nHit == HTNOWHERE || hit.nHit == HTERROR ? nullptr : h;
    return hit;
}

// One mouse message (a client one: WM_MOUSEMOVE, WM_LBUTTONDOWN, ...) as the
// hit decides: client coordinates for HTCLIENT, else the non-client twin.
MSG MouseMessage(HWND hTarget, LRESULT nHit, POINT ptScreen, UINT nClientMessage, WPARAM nKeys) {
    MSG msg{};
    msg.hwnd = hTarget;
    msg.time = ::GetTickCount();
    msg.pt = ptScreen;
    if (nHit == HTCLIENT) {
        POINT pt = ptScreen;
        ::ScreenToClient(hTarget, &pt);
        msg.message = nClientMessage;
        msg.wParam = nKeys;
        msg.lParam = MAKELPARAM(pt.x, pt.y);
    } else {
        msg.message = nClientMessage - kNcOffset;
        msg.wParam = (WPARAM)nHit;
        msg.lParam = MAKELPARAM(ptScreen.x, ptScreen.y);
    }
    return msg;
}

void Post(const MSG& msg) { ::PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam); }

// Hands a message to its window as the application's loop would after taking
// it from the queue, but now: nothing else is handled first.
void Deliver(MSG msg) {
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    AfxFlushDeferredDeletes();
}

// The pointer arrives over the window: the cursor question, then a move.
void Arrive(const CHit& hit) {
    ::SendMessageA(hit.hWnd, WM_SETCURSOR, (WPARAM)hit.hWnd, MAKELPARAM(hit.nHit, WM_MOUSEMOVE));
    Post(MouseMessage(hit.hWnd, hit.nHit, hit.ptScreen, WM_MOUSEMOVE, 0));
    PumpPending();
}

// A press and its release, posted and left to the loop, are taken from the
// queue one at a time, and what other threads sent is handled before each:
// when another program of the Wine session takes the foreground, the
// deactivation of our window comes so, between the two. The pressed button
// loses the focus, drops its capture and the press, and the release does
// nothing. So the driver hands the messages of a press over itself, one
// straight after the other, as BM_CLICK does. Copies are posted first, in order, so that a window
// that runs a loop of its own on the press (DragDetect, the system's tracking
// of a caption button) finds the rest in its queue as a real click leaves
// them; a copy that was handed over already leaves the queue as WM_NULL, and a
// copy such a loop took is not handed over again.
struct CPress {
    std::vector<MSG> msgs;
    std::vector<bool> handed;
    size_t nLeft = 0;  // copies that left the queue; they leave in the order posted
};
std::vector<CPress*> g_presses;  // nested: a click inside a dialog another click opened
HHOOK g_hGetMessageHook = nullptr;

bool SameMessage(const MSG& a, const MSG& b) {
    return a.hwnd == b.hwnd && a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam;
}

LRESULT CALLBACK GetMessageHook(int nCode, WPARAM wParam, LPARAM lParam) {
    auto* pMsg = reinterpret_cast<MSG*>(lParam);
    if (nCode == HC_ACTION) {
        for (CPress* pPress : g_presses) {
            if (pPress->nLeft == pPress->msgs.size() || !SameMessage(pPress->msgs[pPress->nLeft], *pMsg))
                continue;
            if (pPress->handed[pPress->nLeft])
                pMsg->message = WM_NULL;
            if (wParam == PM_REMOVE)
                ++pPress->nLeft;
            break;
        }
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void PressAndRelease(std::vector<MSG> msgs) {
    CPress press;
    press.msgs = std::move(msgs);
    press.handed.assign(press.msgs.size(), false);
    if (g_presses.empty())
        g_hGetMessageHook = ::SetWindowsHookExA(WH_GETMESSAGE, GetMessageHook, nullptr, ::GetCurrentThreadId());
    g_presses.push_back(&press);
    for (const MSG& msg : press.msgs)
        Post(msg);
    for (size_t i = 0; i < press.msgs.size(); ++i) {
        if (press.nLeft > i || !::IsWindow(press.msgs[i].hwnd))
            continue;  // a loop of the window's own took it, or the window is gone
        press.handed[i] = true;
        Deliver(press.msgs[i]);
    }
    PumpPending();  // the copies leave the queue
    g_presses.erase(std::find(g_presses.begin(), g_presses.end(), &press));
    if (g_presses.empty()) {
        ::UnhookWindowsHookEx(g_hGetMessageHook);
        g_hGetMessageHook = nullptr;
    }
}

HWND Press(HWND hWnd, POINT pt, UINT nDown, UINT nUp, UINT nDblClk, WPARAM nKeys, bool bDouble) {
    CHit hit = HitTest(hWnd, pt);
    if (hit.hWnd == nullptr)
        return nullptr;
    Arrive(hit);
    std::vector<MSG> msgs = {MouseMessage(hit.hWnd, hit.nHit, hit.ptScreen, nDown, nKeys),
                             MouseMessage(hit.hWnd, hit.nHit, hit.ptScreen, nUp, 0)};
    if (bDouble) {
        // Non-client double clicks come to every window; client ones need CS_DBLCLKS.
        bool bDblClk = hit.nHit != HTCLIENT || (::GetClassLongA(hit.hWnd, GCL_STYLE) & CS_DBLCLKS);
        msgs.push_back(MouseMessage(hit.hWnd, hit.nHit, hit.ptScreen, bDblClk ? nDblClk : nDown, nKeys));
        msgs.push_back(msgs[1]);
    }
    PressAndRelease(std::move(msgs));
    return hit.hWnd;
}

}  // namespace

HWND Click(HWND hWnd, POINT pt, MouseButton button) {
    if (button == MouseButton::Right)
        return Press(hWnd, pt, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, MK_RBUTTON, false);
    return Press(hWnd, pt, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, MK_LBUTTON, false);
}

HWND DoubleClick(HWND hWnd, POINT pt) {
    return Press(hWnd, pt, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, MK_LBUTTON, true);
}

HWND RightClick(HWND hWnd, POINT pt) { return Click(hWnd, pt, MouseButton::Right); }

// The press, the moves and the release are handed over one after the other,
// with nothing handled between them, as a click's are; each goes where the
// capture or the hit test sends it at that step.
HWND DragClient(HWND hWnd, POINT ptFrom, POINT ptTo, int nSteps) {
    CHit hit = HitTest(hWnd, ptFrom);
    if (hit.hWnd == nullptr)
        return nullptr;
    Arrive(hit);
    Deliver(MouseMessage(hit.hWnd, hit.nHit, hit.ptScreen, WM_LBUTTONDOWN, MK_LBUTTON));
    nSteps = std::max(nSteps, 1);
    for (int i = 1; i <= nSteps; ++i) {
        POINT pt = {ptFrom.x + (ptTo.x - ptFrom.x) * i / nSteps, ptFrom.y + (ptTo.y - ptFrom.y) * i / nSteps};
        CHit step = HitTest(hWnd, pt);
        // A window of this thread that holds the capture gets everything, in its client coordinates.
        HWND hCapture = ::GetCapture();
        if (hCapture != nullptr && ::GetWindowThreadProcessId(hCapture, nullptr) == ::GetCurrentThreadId()) {
            step.hWnd = hCapture;
            step.nHit = HTCLIENT;
        }
        if (step.hWnd == nullptr)
            continue;
        Deliver(MouseMessage(step.hWnd, step.nHit, step.ptScreen, i < nSteps ? WM_MOUSEMOVE : WM_LBUTTONUP,
                             i < nSteps ? MK_LBUTTON : 0));
    }
    PumpPending();
    return hit.hWnd;
}

bool DragCaption(HWND hWnd, POINT ptGrab, int dx, int dy, int nSteps) {
    CHit hit = HitTest(hWnd, ptGrab);
    if (hit.hWnd == nullptr || hit.nHit != HTCAPTION)
        return false;
    HWND hMove = hit.hWnd;
    RECT rcStart;
    ::GetWindowRect(hMove, &rcStart);
    if (HWND hParent = (::GetWindowLongA(hMove, GWL_STYLE) & WS_CHILD) ? ::GetParent(hMove) : nullptr)
        ::MapWindowPoints(nullptr, hParent, (LPPOINT)&rcStart, 2);
    ::SendMessageA(hMove, WM_ENTERSIZEMOVE, 0, 0);
    nSteps = std::max(nSteps, 1);
    for (int i = 1; i <= nSteps; ++i) {
        RECT rc = rcStart;
        ::OffsetRect(&rc, dx * i / nSteps, dy * i / nSteps);
        ::SendMessageA(hMove, WM_MOVING, 0, (LPARAM)&rc);
        ::SetWindowPos(hMove, nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpPending();
    }
    ::SendMessageA(hMove, WM_EXITSIZEMOVE, 0, 0);
    PumpPending();
    return true;
}

bool WaitPumping(HANDLE hObject, DWORD nTimeoutMs) {
    const DWORD nStart = ::GetTickCount();
    for (;;) {
        PumpPending();
        DWORD nSpent = ::GetTickCount() - nStart;
        DWORD nLeft = nSpent >= nTimeoutMs ? 0 : nTimeoutMs - nSpent;
        DWORD dwResult = ::MsgWaitForMultipleObjects(1, &hObject, FALSE, nLeft, QS_ALLINPUT);
        if (dwResult == WAIT_OBJECT_0) {
            PumpPending();
            return true;
        }
        if (dwResult != WAIT_OBJECT_0 + 1)
            return false;
    }
}

namespace {

struct CIdSearch {
    int nID;
    HWND hFound;
};

BOOL CALLBACK MatchId(HWND hChild, LPARAM lParam)
{
    CIdSearch* pSearch = reinterpret_cast<CIdSearch*>(lParam);
    if (::GetDlgCtrlID(hChild) != pSearch->nID)
        return TRUE;
    pSearch->hFound = hChild;
    return FALSE;
}

}  // namespace

HWND FindDescendant(HWND hWnd, int nID)
{
    CIdSearch search = {nID, nullptr};
    ::EnumChildWindows(hWnd, MatchId, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

}  // namespace vtest

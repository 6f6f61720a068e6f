// veltranctl: speaks to a running Veltran.exe from scripts (screenshots, the
// end-to-end tests), as the tray and the other windows do: by messages to its
// hidden main dialog.
//   veltranctl wait [seconds]          until the main dialog exists
//   veltranctl send MSG [WPARAM [LPARAM]]   SendMessage, prints the result
//   veltranctl post MSG [WPARAM [LPARAM]]   PostMessage
//   veltranctl rect TITLE              left top right bottom of a visible window
//   veltranctl rect-class CLASS        the same, found by its class (e.g. "#32768", a popup menu)
//   veltranctl sendto TITLE MSG [WPARAM [LPARAM]]   SendMessage to a visible window
//   veltranctl move TITLE X Y [W H]    moves a visible window's top left corner there (and sizes it)
//   veltranctl config PATH             the main settings and alarms of a configuration file
//   veltranctl list                    "hwnd class|title|l t r b" of every visible top-level window
//   veltranctl send-to|post-to TITLE MSG [WPARAM [LPARAM]]   the same to a visible window by title
//   veltranctl foreground              the title of the foreground window
//   veltranctl item TITLE ID           the text and check state of a dialog control: "checked|text"
//   veltranctl control TITLE ID [ITEM] screen rectangle of a visible control in that window (pages
//                                      included), or of item ITEM of a tab control or list view (its row)
// Numbers may be decimal or 0x hexadecimal.
#include "core/config.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct CFind {
    const char* pszTitle;
    bool bVisible;
    HWND hWnd;
    bool bByClass;
};

BOOL CALLBACK Match(HWND hWnd, LPARAM lParam)
{
    CFind* pFind = reinterpret_cast<CFind*>(lParam);
    char szTitle[256] = "";
    if (pFind->bByClass)
        ::GetClassNameA(hWnd, szTitle, sizeof szTitle);
    else
        ::GetWindowTextA(hWnd, szTitle, sizeof szTitle);
    if (std::strcmp(szTitle, pFind->pszTitle) != 0 || (pFind->bVisible && !::IsWindowVisible(hWnd)))
        return TRUE;
    pFind->hWnd = hWnd;
    return FALSE;
}

HWND Find(const char* pszTitle, bool bVisible, bool bByClass)
{
    CFind find = {pszTitle, bVisible, nullptr, bByClass};
    ::EnumWindows(Match, reinterpret_cast<LPARAM>(&find));
    return find.hWnd;
}

// The hidden dialog whose caption is "Veltran Clock" and that owns the tray.
HWND MainDialog()
{
    HWND hWnd = nullptr;
    while ((hWnd = ::FindWindowExA(nullptr, hWnd, "#32770", "Veltran Clock")) != nullptr) {
        if (!::IsWindowVisible(hWnd))
            return hWnd;
    }
    return nullptr;
}

// One "name=value" line per field that a user's day changes.
int DumpConfig(const char* pszPath)
{
    if (::GetFileAttributesA(pszPath) == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "veltranctl: no file %s\n", pszPath);
        return 1;
    }
    CConfigFile().LoadFile(pszPath);
    const CSettings& s = g_settings;
    std::printf("version=%lu\n", static_cast<unsigned long>(s.m_nVersion));
    std::printf("analog.visible=%d\nanalog.skin=%s\nanalog.center=%ld,%ld\nanalog.scale=%d\n", s.m_bAnalogVisible,
                s.m_strAnalogSkin.GetString(), s.m_ptAnalogCenter.x, s.m_ptAnalogCenter.y, s.m_nAnalogScale);
    std::printf("digital.visible=%d\ndigital.skin=%s\ndigital.center=%ld,%ld\ndigital.format=%s\n", s.m_bDigitalVisible,
                s.m_strDigitalSkin.GetString(), s.m_ptDigitalCenter.x, s.m_ptDigitalCenter.y,
                s.m_strDigitalFormat.GetString());
    std::printf("calendar.visible=%d\naskonexit=%d\nskinbrowser.type=%d\n", s.m_bCalendarVisible, s.m_bAskOnExit,
                s.m_nSkinBrowserType);
    std::printf("alarms=%d\n", static_cast<int>(g_alarms.GetSize()));
    for (INT_PTR i = 0; i < g_alarms.GetSize(); i++) {
        const CAlarm& a = g_alarms[i];
        std::printf("alarm.%d=%s|enabled %d|repeat %d|starts %d|time %lld|next %lld|lastrun %lld\n", static_cast<int>(i),
                    a.m_strName.GetString(), a.m_bEnabled, a.m_nRepeat, a.m_nStarts,
                    static_cast<long long>(a.m_time.GetTime()), static_cast<long long>(a.m_timeNext.GetTime()),
                    static_cast<long long>(a.m_timeLastRun.GetTime()));
    }
    return 0;
}

unsigned long Number(const char* psz) { return std::strtoul(psz, nullptr, 0); }

struct CFindControl {
    int nId;
    HWND hWnd;
};

BOOL CALLBACK MatchControl(HWND hWnd, LPARAM lParam)
{
    CFindControl* pFind = reinterpret_cast<CFindControl*>(lParam);
    if (::GetDlgCtrlID(hWnd) != pFind->nId || !::IsWindowVisible(hWnd))
        return TRUE;
    pFind->hWnd = hWnd;
    return FALSE;
}

// The visible descendant with that id: a tabbed dialog's controls sit on its
// pages, and the hidden pages reuse ids.
HWND FindControl(HWND hParent, int nId)
{
    CFindControl find = {nId, nullptr};
    ::EnumChildWindows(hParent, MatchControl, reinterpret_cast<LPARAM>(&find));
    return find.hWnd;
}

// Asks a control of another process for an item's rectangle (client
// coordinates): the RECT must live in that process.
bool ItemRect(HWND hCtl, int nItem, RECT& rc)
{
    char szClass[64] = "";
    ::GetClassNameA(hCtl, szClass, sizeof szClass);
    UINT nMsg = 0;
    RECT rcIn = {};
    if (lstrcmpiA(szClass, WC_TABCONTROLA) == 0) {
        nMsg = TCM_GETITEMRECT;
    } else if (lstrcmpiA(szClass, WC_LISTVIEWA) == 0) {
        nMsg = LVM_GETITEMRECT;
        rcIn.left = LVIR_BOUNDS;
    } else {
        return false;
    }
    DWORD nProcess = 0;
    ::GetWindowThreadProcessId(hCtl, &nProcess);
    HANDLE hProcess = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, nProcess);
    if (hProcess == nullptr)
        return false;
    bool bOk = false;
    if (void* pRemote = ::VirtualAllocEx(hProcess, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE)) {
        DWORD_PTR nResult = 0;
        bOk = ::WriteProcessMemory(hProcess, pRemote, &rcIn, sizeof rcIn, nullptr)
            && ::SendMessageTimeoutA(hCtl, nMsg, WPARAM(nItem), reinterpret_cast<LPARAM>(pRemote), SMTO_NORMAL, 30000,
                                     &nResult)
            && nResult != 0 && ::ReadProcessMemory(hProcess, pRemote, &rc, sizeof rc, nullptr);
        ::VirtualFreeEx(hProcess, pRemote, 0, MEM_RELEASE);
    }
    ::CloseHandle(hProcess);
    return bOk;
}

int ControlRect(const char* pszTitle, int nId, int nItem)
{
    HWND hWnd = Find(pszTitle, true, false);
    HWND hCtl = hWnd != nullptr ? FindControl(hWnd, nId) : nullptr;
    if (hCtl == nullptr) {
        std::fprintf(stderr, "veltranctl: no visible control %d in \"%s\"\n", nId, pszTitle);
        return 1;
    }
    RECT rc = {};
    if (nItem < 0) {
        ::GetWindowRect(hCtl, &rc);
    } else if (ItemRect(hCtl, nItem, rc)) {
        ::MapWindowPoints(hCtl, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    } else {
        std::fprintf(stderr, "veltranctl: control %d has no item %d\n", nId, nItem);
        return 1;
    }
    std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right, rc.bottom);
    return 0;
}

BOOL CALLBACK ListOne(HWND hWnd, LPARAM)
{
    if (!::IsWindowVisible(hWnd))
        return TRUE;
    char szClass[64] = "", szTitle[256] = "";
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    ::GetWindowTextA(hWnd, szTitle, sizeof szTitle);
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    std::printf("%p %s|%s|%ld %ld %ld %ld\n", static_cast<void*>(hWnd), szClass, szTitle, rc.left, rc.top, rc.right,
                rc.bottom);
    return TRUE;
}

int SendTo(HWND hWnd, bool bPost, int argc, char** argv)
{
    const UINT nMsg = UINT(Number(argv[0]));
    const WPARAM wParam = argc > 1 ? WPARAM(Number(argv[1])) : 0;
    const LPARAM lParam = argc > 2 ? LPARAM(Number(argv[2])) : 0;
    if (bPost)
        return ::PostMessageA(hWnd, nMsg, wParam, lParam) ? 0 : 1;
    DWORD_PTR nResult = 0;
    if (!::SendMessageTimeoutA(hWnd, nMsg, wParam, lParam, SMTO_NORMAL, 30000, &nResult))
        return 1;
    std::printf("%lu\n", static_cast<unsigned long>(nResult));
    return 0;
}

int Usage()
{
    std::fputs("usage: veltranctl wait [s] | send|post MSG [WPARAM [LPARAM]] | rect TITLE | rect-class CLASS | config PATH | list\n"
               "       send-to|post-to TITLE MSG [WPARAM [LPARAM]] | item TITLE ID | foreground\n"
               "       control TITLE ID [ITEM]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const char* pszVerb = argv[1];
    if (std::strcmp(pszVerb, "wait") == 0) {
        const DWORD nLimit = (argc > 2 ? DWORD(Number(argv[2])) : 20) * 1000;
        for (DWORD nStart = ::GetTickCount(); ::GetTickCount() - nStart < nLimit; ::Sleep(100)) {
            if (MainDialog() != nullptr)
                return 0;
        }
        std::fputs("veltranctl: no Veltran Clock main dialog\n", stderr);
        return 1;
    }
    if (std::strcmp(pszVerb, "sendto") == 0 && argc >= 4 && argc <= 6) {
        HWND hWnd = Find(argv[2], true, false);
        if (hWnd == nullptr) {
            std::fprintf(stderr, "veltranctl: no visible window \"%s\"\n", argv[2]);
            return 1;
        }
        DWORD_PTR nResult = 0;
        if (!::SendMessageTimeoutA(hWnd, UINT(Number(argv[3])), argc > 4 ? WPARAM(Number(argv[4])) : 0,
                                   argc > 5 ? LPARAM(Number(argv[5])) : 0, SMTO_NORMAL, 30000, &nResult))
            return 1;
        std::printf("%lu\n", static_cast<unsigned long>(nResult));
        return 0;
    }
    if (std::strcmp(pszVerb, "move") == 0 && (argc == 5 || argc == 7)) {
        HWND hWnd = Find(argv[2], true, false);
        const int cx = argc == 7 ? int(std::strtol(argv[5], nullptr, 0)) : 0;
        const int cy = argc == 7 ? int(std::strtol(argv[6], nullptr, 0)) : 0;
        return hWnd != nullptr && ::SetWindowPos(hWnd, nullptr, int(std::strtol(argv[3], nullptr, 0)),
                                                 int(std::strtol(argv[4], nullptr, 0)), cx, cy,
                                                 (argc == 7 ? 0 : SWP_NOSIZE) | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    }
    if (std::strcmp(pszVerb, "config") == 0 && argc == 3)
        return DumpConfig(argv[2]);
    if (std::strcmp(pszVerb, "list") == 0) {
        ::EnumWindows(ListOne, 0);
        return 0;
    }
    if ((std::strcmp(pszVerb, "send-to") == 0 || std::strcmp(pszVerb, "post-to") == 0) && argc >= 4 && argc <= 6) {
        HWND hWnd = Find(argv[2], true, false);
        if (hWnd == nullptr) {
            std::fprintf(stderr, "veltranctl: no visible window \"%s\"\n", argv[2]);
            return 1;
        }
        return SendTo(hWnd, pszVerb[0] == 'p', argc - 3, argv + 3);
    }
    if (std::strcmp(pszVerb, "foreground") == 0) {
        char szTitle[256] = "";
        if (HWND hWnd = ::GetForegroundWindow())
            ::GetWindowTextA(hWnd, szTitle, sizeof szTitle);
        std::printf("%s\n", szTitle);
        return 0;
    }
    if (std::strcmp(pszVerb, "item") == 0 && argc == 4) {
        HWND hWnd = Find(argv[2], true, false);
        HWND hItem = hWnd != nullptr ? ::GetDlgItem(hWnd, int(Number(argv[3]))) : nullptr;
        if (hItem == nullptr) {
            std::fprintf(stderr, "veltranctl: no control %s in \"%s\"\n", argv[3], argv[2]);
            return 1;
        }
        char szText[512] = "";
        // Asked, not read: a control of another process may keep its own text.
        ::SendMessageA(hItem, WM_GETTEXT, sizeof szText, reinterpret_cast<LPARAM>(szText));
        std::printf("%d|%s\n", static_cast<int>(::SendMessageA(hItem, BM_GETCHECK, 0, 0)), szText);
        return 0;
    }
    if (std::strcmp(pszVerb, "control") == 0 && (argc == 4 || argc == 5))
        return ControlRect(argv[2], int(Number(argv[3])), argc == 5 ? int(Number(argv[4])) : -1);
    if ((std::strcmp(pszVerb, "rect") == 0 || std::strcmp(pszVerb, "rect-class") == 0) && argc == 3) {
        HWND hWnd = Find(argv[2], true, pszVerb[4] == '-');
        RECT rc;
        if (hWnd == nullptr || !::GetWindowRect(hWnd, &rc)) {
            std::fprintf(stderr, "veltranctl: no visible window \"%s\"\n", argv[2]);
            return 1;
        }
        std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right, rc.bottom);
        return 0;
    }
    if ((std::strcmp(pszVerb, "send") == 0 || std::strcmp(pszVerb, "post") == 0) && argc >= 3 && argc <= 5) {
        HWND hMain = MainDialog();
        if (hMain == nullptr) {
            std::fputs("veltranctl: no Veltran Clock main dialog\n", stderr);
            return 1;
        }
        const UINT nMsg = UINT(Number(argv[2]));
        const WPARAM wParam = argc > 3 ? WPARAM(Number(argv[3])) : 0;
        const LPARAM lParam = argc > 4 ? LPARAM(Number(argv[4])) : 0;
        if (pszVerb[0] == 'p')
            return ::PostMessageA(hMain, nMsg, wParam, lParam) ? 0 : 1;
        DWORD_PTR nResult = 0;
        if (!::SendMessageTimeoutA(hMain, nMsg, wParam, lParam, SMTO_NORMAL, 30000, &nResult))
            return 1;
        std::printf("%lu\n", static_cast<unsigned long>(nResult));
        return 0;
    }
    return Usage();
}

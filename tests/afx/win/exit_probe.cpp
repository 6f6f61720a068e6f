// A program whose window and menu objects are globals, alive when main
// returns: their destructors run during static destruction, after this
// thread's thread-local objects are gone. It ends with code 0 only when those
// destructors did their work: the window and the menus are destroyed.
#include "afx/afxwin.h"

#include <cstdio>
#include <cstdlib>

namespace {

HWND g_hWnd = nullptr;
HMENU g_hMenu = nullptr;

// Constructed before the objects below, so destroyed after them.
struct CExitCheck {
    ~CExitCheck() {
        int nCode = 0;
        if (g_hWnd == nullptr || ::IsWindow(g_hWnd))
            nCode |= 4;  // ~CWnd did not find its window in the handle map
        if (g_hMenu == nullptr || ::IsMenu(g_hMenu))
            nCode |= 8;
        std::printf("exit check %d\n", nCode);
        std::fflush(stdout);
        if (nCode != 0)
            std::_Exit(nCode);
    }
} g_check;

CWnd g_wnd;
CMenu g_menu;

}  // namespace

int main() {
    if (!g_wnd.CreateEx(0, AfxRegisterWndClass(0), "exit probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 80, nullptr,
                        nullptr))
        return 2;
    if (!g_menu.CreateMenu())
        return 3;
    g_hWnd = g_wnd.m_hWnd;
    g_hMenu = g_menu.GetSafeHmenu();
    // The z-order markers are library globals that hold handle values too.
    g_wnd.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    g_wnd.SetWindowPos(&CWnd::wndNoTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CWnd::FromHandle(::GetDesktopWindow());  // a temporary left for exit
    CMenu::FromHandle(g_hMenu);              // never a temporary: the menu is attached
    return 0;
}

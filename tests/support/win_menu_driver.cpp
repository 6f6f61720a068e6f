#include "support/win_menu_driver.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace vtest {

namespace {
CMenuDriver* g_pDriver = nullptr;

#ifndef MN_GETHMENU
#define MN_GETHMENU 0x01E1
#endif

// The visible popup-menu windows ("#32768") of the thread, with their menus.
BOOL CALLBACK CollectPopup(HWND hWnd, LPARAM lParam) {
    char szClass[16] = "";
    ::GetClassNameA(hWnd, szClass, sizeof(szClass));
    if (strcmp(szClass, "#32768") == 0 && ::IsWindowVisible(hWnd)) {
        HMENU hMenu = (HMENU)::SendMessageA(hWnd, MN_GETHMENU, 0, 0);
        reinterpret_cast<std::vector<std::pair<HWND, HMENU>>*>(lParam)->emplace_back(hWnd, hMenu);
    }
    return TRUE;
}

bool IsSubMenuOf(HMENU hSub, HMENU hMenu) {
    const int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; ++i)
        if (::GetSubMenu(hMenu, i) == hSub)
            return true;
    return false;
}

// Whether hMenu or one of its sub-menus holds the command.
bool Holds(HMENU hMenu, UINT nID) {
    const int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; ++i) {
        HMENU hSub = ::GetSubMenu(hMenu, i);
        if (hSub != nullptr ? Holds(hSub, nID) : ::GetMenuItemID(hMenu, i) == nID)
            return true;
    }
    return false;
}

void PostKey(HWND hWnd, UINT nVirtKey) {
    ::PostMessageA(hWnd, WM_KEYDOWN, nVirtKey, 1);
    ::PostMessageA(hWnd, WM_KEYUP, nVirtKey, (LPARAM)0xC0000001);
}
}  // namespace

HWND FindOpenPopupMenu() {
    std::vector<std::pair<HWND, HMENU>> open;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectPopup, (LPARAM)&open);
    for (const auto& popup : open) {
        const bool bOpensAnother = std::any_of(open.begin(), open.end(), [&](const auto& other) {
            return other.second != nullptr && IsSubMenuOf(other.second, popup.second);
        });
        if (!bOpensAnother)
            return popup.first;
    }
    return open.empty() ? nullptr : open.front().first;
}

CMenuDriver::CMenuDriver(UINT nID, UINT nIntervalMs, int nMaxSteps) : m_nID(nID), m_nMaxSteps(nMaxSteps) {
    g_pDriver = this;
    m_nTimer = ::SetTimer(nullptr, 0, nIntervalMs, OnTimer);
}

CMenuDriver::~CMenuDriver() {
    if (m_nTimer != 0)
        ::KillTimer(nullptr, m_nTimer);
    if (g_pDriver == this)
        g_pDriver = nullptr;
}

void CALLBACK CMenuDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_pDriver != nullptr)
        g_pDriver->Step();
}

void CMenuDriver::Cancel() {
    ::EndMenu();
    m_bCancelled = true;
    ::KillTimer(nullptr, m_nTimer);
    m_nTimer = 0;
}

void CMenuDriver::Step() {
    if (++m_nSteps > m_nMaxSteps) {
        Cancel();
        return;
    }
    HWND hPopup = FindOpenPopupMenu();
    if (hPopup == nullptr)
        return;  // not open yet
    HMENU hMenu = (HMENU)::SendMessageA(hPopup, MN_GETHMENU, 0, 0);
    if (hPopup != m_hLastPopup) {
        m_hLastPopup = hPopup;
        ++m_nPopupsSeen;
        if (m_hMenuSeen == nullptr)
            m_hMenuSeen = hMenu;
        ::UpdateWindow(hPopup);
        if (m_onOpen)
            m_onOpen(hPopup, hMenu);
    }
    if (m_chType != 0) {
        if (!m_bTyped)
            ::PostMessageA(hPopup, WM_CHAR, (WPARAM)(BYTE)m_chType, 1);
        m_bTyped = true;
        return;
    }
    if (m_nID == 0 || hMenu == nullptr) {
        Cancel();
        return;
    }
    const int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; ++i) {
        HMENU hSub = ::GetSubMenu(hMenu, i);
        const bool bTarget = hSub == nullptr && ::GetMenuItemID(hMenu, i) == m_nID;
        if (!bTarget && !(hSub != nullptr && Holds(hSub, m_nID)))
            continue;
        if (!(::GetMenuState(hMenu, (UINT)i, MF_BYPOSITION) & MF_HILITE)) {
            PostKey(hPopup, VK_DOWN);
        } else if (bTarget) {
            PostKey(hPopup, VK_RETURN);
            m_bChose = true;
            ::KillTimer(nullptr, m_nTimer);
            m_nTimer = 0;
        } else {
            PostKey(hPopup, VK_RIGHT);
        }
        return;
    }
    Cancel();  // the command is not in the open menu
}

}  // namespace vtest

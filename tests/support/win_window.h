// Helpers for window tests: message pumping with a deadline, rendering a
// window into memory, synthetic input and a spy parent window. None of them
// waits on a user or a real dialog.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace vtest {

// Dispatches queued messages until pred() holds or nTimeoutMs passes; returns pred().
// Deferred deletions and temporary wrappers are released between messages, as the
// application's loop does.
bool PumpUntil(const std::function<bool()>& pred, DWORD nTimeoutMs = 2000);
// Dispatches whatever is queued now.
void PumpPending();
// A top-level window of this thread with that caption, or null. Unlike
// FindWindow it never finds a window of another test program in the session.
HWND FindThreadWindow(const char* pszCaption);

// A 32-bit top-down copy of a window, taken with WM_PRINT (PrintWindow as fallback).
class CWindowSnapshot {
public:
    bool Capture(HWND hWnd, bool bClientOnly = true);
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    COLORREF Pixel(int x, int y) const;  // 0xFFFFFFFF outside
    int CountPixels(COLORREF clr) const;

private:
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<DWORD> m_pixels;  // 0x00RRGGBB
};

// Input sent straight to a window (no real mouse or keyboard needed).
void SendClick(HWND hWnd, int x, int y);
void SendDoubleClick(HWND hWnd, int x, int y);
void SendKey(HWND hWnd, UINT nVirtKey);
void SendChar(HWND hWnd, char ch);

// A plain top-level window (no framework code) that records what it receives.
class CSpyWindow {
public:
    struct CRecord {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        UINT nCode;     // WM_NOTIFY: NMHDR code; WM_COMMAND: HIWORD(wParam)
        UINT_PTR nIDFrom;
    };

    CSpyWindow();
    ~CSpyWindow();
    CSpyWindow(const CSpyWindow&) = delete;
    CSpyWindow& operator=(const CSpyWindow&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // Messages worth recording: notifications and everything from WM_USER up.
    const std::vector<CRecord>& Records() const { return m_records; }
    int Count(UINT message) const;
    int CountNotify(UINT nCode) const;
    int CountCommand(UINT nID, UINT nCode) const;
    void Clear() { m_records.clear(); }
    // What the spy answers to a message it records (default 0).
    void SetAnswer(UINT message, LRESULT lResult);

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_hWnd = nullptr;
    std::vector<CRecord> m_records;
    std::vector<std::pair<UINT, LRESULT>> m_answers;
};

// A window class that is shown but never mapped: under Wine without a window
// manager, hiding a mapped window waits seconds for the manager. With
// pnAlive, the objects alive are counted there.
template <class Base, int* pnAlive = nullptr> class CUnmapped : public Base {
public:
    CUnmapped()
    {
        if (pnAlive != nullptr)
            ++*pnAlive;
    }
    ~CUnmapped() override
    {
        if (pnAlive != nullptr)
            --*pnAlive;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_WINDOWPOSCHANGING)
            reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
        return Base::WindowProc(message, wParam, lParam);
    }
};

}  // namespace vtest

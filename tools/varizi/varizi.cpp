// A stand-in for the outside tray-clock program "varizi.exe": a hidden window
// of class "VAriziMainClass" titled "VArizi" that ends on WM_CLOSE. With
// VELTRAN_AUTOMATION naming a file it appends each command it receives there
// ("varizi WM_COMMAND <id>"), so tests see what the suite sent it. Like the
// tray program it stands for, it runs once per session: a second start ends
// at once, before its start line.
#include "afx/afxsharedlog.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace
{
void Log(const char* pszLine)
{
    const char* pszFile = std::getenv("VELTRAN_AUTOMATION");
    if (pszFile == nullptr || *pszFile == '\0')
        return;
    // The program logs to the same file.
    char szText[80];
    const int nLength = std::snprintf(szText, sizeof(szText), "%s\n", pszLine);
    if (nLength > 0)
        AfxAppendSharedLog(pszFile, szText, static_cast<DWORD>(std::min<int>(nLength, sizeof(szText) - 1)));
}

// Held for the life of the program: while it is, another start ends.
class CInstanceMutex
{
public:
    CInstanceMutex()
        : m_hMutex(CreateMutexA(nullptr, FALSE, "VArizi Tray Clock")),
          m_bFirst(m_hMutex != nullptr && GetLastError() != ERROR_ALREADY_EXISTS)
    {
    }
    ~CInstanceMutex()
    {
        if (m_hMutex != nullptr)
            CloseHandle(m_hMutex);
    }
    CInstanceMutex(const CInstanceMutex&) = delete;
    CInstanceMutex& operator=(const CInstanceMutex&) = delete;
    bool IsFirst() const { return m_bFirst; }

private:
    HANDLE m_hMutex;
    bool m_bFirst;
};

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    char szLine[64];
    switch (message)
    {
    case WM_COMMAND:
        std::snprintf(szLine, sizeof(szLine), "varizi WM_COMMAND %u", static_cast<unsigned>(LOWORD(wParam)));
        Log(szLine);
        return 0;
    case WM_CLOSE:
        Log("varizi WM_CLOSE");
        DestroyWindow(hWnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    // A program that starts it at every start (and so again after a crash)
    // must not add one stand-in each time.
    const CInstanceMutex instance;
    if (!instance.IsFirst())
        return 0;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = "VAriziMainClass";
    if (!RegisterClassA(&wc))
        return 1;
    HWND hWnd = CreateWindowExA(WS_EX_TOOLWINDOW, "VAriziMainClass", "VArizi", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, hInstance, nullptr);
    if (hWnd == nullptr)
        return 1;
    Log("varizi started");
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
    {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

#include "support/win_window.h"

#include "afx/afxwin.h"

namespace vtest {

bool PumpUntil(const std::function<bool()>& pred, DWORD nTimeoutMs) {
    DWORD nStart = ::GetTickCount();
    for (;;) {
        PumpPending();
        if (pred())
            return true;
        if (::GetTickCount() - nStart >= nTimeoutMs)
            return pred();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

namespace {
struct CCaptionSearch {
    const char* pszCaption;
    HWND hFound;
};

BOOL CALLBACK MatchCaption(HWND hWnd, LPARAM lParam) {
    CCaptionSearch* pSearch = reinterpret_cast<CCaptionSearch*>(lParam);
    char sz[256] = "";
    ::GetWindowTextA(hWnd, sz, sizeof(sz));
    if (lstrcmpA(sz, pSearch->pszCaption) != 0)
        return TRUE;
    pSearch->hFound = hWnd;
    return FALSE;
}
}  // namespace

HWND FindThreadWindow(const char* pszCaption) {
    CCaptionSearch search = {pszCaption, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

void PumpPending() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;  // a test's main window may post it; the test has no outer loop
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        AfxFlushDeferredDeletes();
    }
    AfxFlushDeferredDeletes();
    AfxDeleteTempMaps();
}

bool CWindowSnapshot::Capture(HWND hWnd, bool bClientOnly) {
    RECT rc;
    if (bClientOnly)
        ::GetClientRect(hWnd, &rc);
    else
        ::GetWindowRect(hWnd, &rc);
    m_nWidth = rc.right - rc.left;
    m_nHeight = rc.bottom - rc.top;
    m_pixels.clear();
    if (m_nWidth <= 0 || m_nHeight <= 0)
        return false;

    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = m_nWidth;
    bmi.bmiHeader.biHeight = -m_nHeight;  // top-down
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    ::ReleaseDC(nullptr, hScreen);
    HBITMAP hBmp = ::CreateDIBSection(hMem, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (hBmp == nullptr) {
        ::DeleteDC(hMem);
        return false;
    }
    HGDIOBJ hOld = ::SelectObject(hMem, hBmp);
    // A sentinel colour shows what the window did not paint.
    RECT rcAll = {0, 0, m_nWidth, m_nHeight};
    HBRUSH hSentinel = ::CreateSolidBrush(RGB(1, 2, 3));
    ::FillRect(hMem, &rcAll, hSentinel);
    ::DeleteObject(hSentinel);
    UINT nFlags = PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN;
    if (!bClientOnly)
        nFlags |= PRF_NONCLIENT;
    ::SendMessageA(hWnd, WM_PRINT, (WPARAM)hMem, nFlags);
    ::GdiFlush();
    const DWORD* p = static_cast<const DWORD*>(pBits);
    bool bPainted = false;
    for (size_t i = 0; i < (size_t)m_nWidth * m_nHeight && !bPainted; ++i)
        bPainted = (p[i] & 0xFFFFFF) != 0x010203;
    if (!bPainted && ::IsWindowVisible(hWnd)) {
        // A window that draws only in WM_PAINT (BeginPaint) ignores WM_PRINT:
        // let it paint, then copy what reached its device context.
        ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC hWndDC = bClientOnly ? ::GetDC(hWnd) : ::GetWindowDC(hWnd);
        ::BitBlt(hMem, 0, 0, m_nWidth, m_nHeight, hWndDC, 0, 0, SRCCOPY);
        ::ReleaseDC(hWnd, hWndDC);
        ::GdiFlush();
    }
    m_pixels.assign(p, p + (size_t)m_nWidth * m_nHeight);
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hBmp);
    ::DeleteDC(hMem);
    return true;
}

COLORREF CWindowSnapshot::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
        return 0xFFFFFFFF;
    DWORD v = m_pixels[(size_t)y * m_nWidth + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int CWindowSnapshot::CountPixels(COLORREF clr) const {
    int n = 0;
    for (int y = 0; y < m_nHeight; ++y)
        for (int x = 0; x < m_nWidth; ++x)
            if (Pixel(x, y) == clr)
                ++n;
    return n;
}

void SendClick(HWND hWnd, int x, int y) {
    ::SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::SendMessageA(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void SendDoubleClick(HWND hWnd, int x, int y) {
    SendClick(hWnd, x, y);
    ::SendMessageA(hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    ::SendMessageA(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void SendKey(HWND hWnd, UINT nVirtKey) {
    ::SendMessageA(hWnd, WM_KEYDOWN, nVirtKey, 1);
    ::SendMessageA(hWnd, WM_KEYUP, nVirtKey, (LPARAM)0xC0000001);
}

void SendChar(HWND hWnd, char ch) { ::SendMessageA(hWnd, WM_CHAR, (WPARAM)(BYTE)ch, 1); }

static const char kSpyClass[] = "VeltranTestSpy";

CSpyWindow::CSpyWindow() {
    WNDCLASSA wc{};
    if (!::GetClassInfoA(::GetModuleHandleA(nullptr), kSpyClass, &wc)) {
        wc.lpfnWndProc = WndProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = kSpyClass;
        ::RegisterClassA(&wc);
    }
    m_hWnd = ::CreateWindowExA(0, kSpyClass, "spy", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 300, nullptr,
                               nullptr, ::GetModuleHandleA(nullptr), this);
}

CSpyWindow::~CSpyWindow() {
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
}

int CSpyWindow::Count(UINT message) const {
    int n = 0;
    for (const CRecord& r : m_records)
        n += r.message == message;
    return n;
}

int CSpyWindow::CountNotify(UINT nCode) const {
    int n = 0;
    for (const CRecord& r : m_records)
        n += r.message == WM_NOTIFY && r.nCode == nCode;
    return n;
}

int CSpyWindow::CountCommand(UINT nID, UINT nCode) const {
    int n = 0;
    for (const CRecord& r : m_records)
        n += r.message == WM_COMMAND && LOWORD(r.wParam) == nID && r.nCode == nCode;
    return n;
}

void CSpyWindow::SetAnswer(UINT message, LRESULT lResult) { m_answers.emplace_back(message, lResult); }

LRESULT CALLBACK CSpyWindow::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* pcs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, (LONG_PTR)pcs->lpCreateParams);
    }
    auto* pSpy = reinterpret_cast<CSpyWindow*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY && pSpy != nullptr)
        pSpy->m_hWnd = nullptr;
    const bool bRecord = message == WM_COMMAND || message == WM_NOTIFY || message == WM_DRAWITEM ||
                         message == WM_MEASUREITEM || message == WM_HSCROLL || message == WM_VSCROLL ||
                         message == WM_PARENTNOTIFY || (message >= WM_USER && message < 0xC000);
    if (pSpy != nullptr && bRecord) {
        CRecord r{message, wParam, lParam, 0, 0};
        if (message == WM_NOTIFY) {
            auto* pNM = reinterpret_cast<NMHDR*>(lParam);
            r.nCode = pNM->code;
            r.nIDFrom = pNM->idFrom;
        } else if (message == WM_COMMAND) {
            r.nCode = HIWORD(wParam);
            r.nIDFrom = LOWORD(wParam);
        }
        pSpy->m_records.push_back(r);
        for (const auto& a : pSpy->m_answers)
            if (a.first == message)
                return a.second;
        if (message != WM_DRAWITEM && message != WM_MEASUREITEM)
            return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

}  // namespace vtest

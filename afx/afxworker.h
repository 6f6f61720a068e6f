// Worker threads beside the user-interface thread: a lock, results handed to
// a window on the user-interface thread, and a wait that keeps that thread's
// messages flowing. Workers never touch a window's members: they post.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>

class CCriticalSection {
public:
    CCriticalSection() { ::InitializeCriticalSection(&m_cs); }
    ~CCriticalSection() { ::DeleteCriticalSection(&m_cs); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
    // Recursive: the thread that holds it may lock it again.
    void Lock() { ::EnterCriticalSection(&m_cs); }
    void Unlock() { ::LeaveCriticalSection(&m_cs); }

private:
    CRITICAL_SECTION m_cs;
};

// Holds a CCriticalSection for one scope.
class CCriticalSectionLock {
public:
    explicit CCriticalSectionLock(CCriticalSection& cs) : m_cs(cs) { m_cs.Lock(); }
    ~CCriticalSectionLock() { m_cs.Unlock(); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
    CCriticalSection& m_cs;
};

// Waits for hObject while dispatching this thread's messages, sent and posted,
// so a worker that sends to a window of this thread is served meanwhile.
// Returns WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED. A quit message that
// arrives is posted again when the wait ends, for the outer loop.
DWORD AfxWaitPumping(HANDLE hObject, DWORD dwTimeoutMs = INFINITE);

// A value travelling from a worker to the window that receives it.
class CAfxPostedResult {
public:
    virtual ~CAfxPostedResult() = default;
    HWND m_hWndTarget = nullptr;
};

template <class T>
class CAfxResult : public CAfxPostedResult {
public:
    explicit CAfxResult(T value) : m_value(std::move(value)) {}
    T m_value;
};

// Posts message (wParam, lParam = the result's key) to hWnd. When the post fails
// the result is freed at once; one never taken is freed when its framework
// window is destroyed (else it goes with the process).
BOOL AfxPostResultObject(HWND hWnd, UINT message, WPARAM wParam, CAfxPostedResult* pResult);
// Takes the result back by its key; null when it was taken already or never posted.
std::unique_ptr<CAfxPostedResult> AfxTakeResultObject(LPARAM lParam);
// Frees the untaken results posted to hWnd (the window is going).
void AfxDiscardResults(HWND hWnd);
int AfxGetPendingResultCount();

template <class T>
BOOL AfxPostResult(HWND hWnd, UINT message, T value, WPARAM wParam = 0) {
    return AfxPostResultObject(hWnd, message, wParam, new CAfxResult<T>(std::move(value)));
}

// On the receiving window's thread: moves the posted value into value; false
// when lParam carries no result of type T.
template <class T>
bool AfxTakeResult(LPARAM lParam, T& value) {
    std::unique_ptr<CAfxPostedResult> p = AfxTakeResultObject(lParam);
    auto* pTyped = dynamic_cast<CAfxResult<T>*>(p.get());
    if (pTyped == nullptr)
        return false;
    value = std::move(pTyped->m_value);
    return true;
}

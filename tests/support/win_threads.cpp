#include "support/win_threads.h"

#include <tlhelp32.h>

#include "support/win_process.h"

namespace vtest {

namespace {

// Filled without a lock, as a thread may start before any constructor runs:
// a slot is taken first, its id written after (0 until then).
const LONG kMaxThreads = 4096;
volatile LONG g_startedIds[kMaxThreads];
volatile LONG g_nStarted = 0;

void NTAPI OnThreadAttach(PVOID, DWORD nReason, PVOID)
{
    if (nReason != DLL_THREAD_ATTACH)
        return;
    LONG nSlot = ::InterlockedIncrement(&g_nStarted) - 1;
    if (nSlot < kMaxThreads)
        ::InterlockedExchange(&g_startedIds[nSlot], static_cast<LONG>(::GetCurrentThreadId()));
}

bool HasStarted(DWORD nThreadId)
{
    const LONG nCount = g_nStarted;
    const LONG nStarted = nCount < kMaxThreads ? nCount : kMaxThreads;
    for (LONG i = 0; i < nStarted; ++i)
        if (static_cast<DWORD>(g_startedIds[i]) == nThreadId)
            return true;
    return false;
}

// Whether a thread of this process, other than the caller, has not started.
bool AnyUnstartedThread()
{
    HANDLE hSnap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (hSnap == INVALID_HANDLE_VALUE)
        return false;
    bool bFound = false;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL bMore = ::Thread32First(hSnap, &entry); bMore && !bFound; bMore = ::Thread32Next(hSnap, &entry))
        bFound = entry.th32OwnerProcessID == ::GetCurrentProcessId()
            && entry.th32ThreadID != ::GetCurrentThreadId() && !HasStarted(entry.th32ThreadID);
    ::CloseHandle(hSnap);
    return bFound;
}

}  // namespace

bool WaitForStartingThreads(DWORD nTimeoutMs)
{
    return WaitFor([] { return !AnyUnstartedThread(); }, nTimeoutMs, 1);
}

}  // namespace vtest

// The loader calls the callbacks in .CRT$XLA..XLZ for each thread it sets up.
extern "C" __attribute__((section(".CRT$XLV"), used)) const PIMAGE_TLS_CALLBACK g_pVtestThreadAttach
    = vtest::OnThreadAttach;

#include "skinbrowser/boundedcall.h"

#include <process.h>

#include <memory>

namespace {

// How often a waiting caller looks at its cancel flag.
const DWORD kCancelLookMs = 20;

// Shared by the caller and the call's thread; the last of them frees it.
struct CBoundedCall {
    explicit CBoundedCall(std::function<void()> fn)
        : fnCall(std::move(fn)), hDone(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
    }
    ~CBoundedCall()
    {
        if (hDone != nullptr)
            ::CloseHandle(hDone);
    }
    CBoundedCall(const CBoundedCall&) = delete;
    CBoundedCall& operator=(const CBoundedCall&) = delete;

    std::function<void()> fnCall;
    HANDLE hDone;
};

unsigned __stdcall BoundedCallThread(void* pArg)
{
    std::unique_ptr<std::shared_ptr<CBoundedCall>> holder(static_cast<std::shared_ptr<CBoundedCall>*>(pArg));
    std::shared_ptr<CBoundedCall> call = *holder;
    holder.reset();
    call->fnCall();
    // Its captures go here, on the call's thread, before the caller hears of the end.
    call->fnCall = nullptr;
    ::SetEvent(call->hDone);
    return 0;
}

} // namespace

BOUNDEDCALLEND RunBoundedCall(std::function<void()> fnCall, DWORD dwTimeoutMs, const std::atomic<bool>& bCancel)
{
    auto call = std::make_shared<CBoundedCall>(std::move(fnCall));
    auto* pArg = new std::shared_ptr<CBoundedCall>(call);
    const uintptr_t hThread =
        call->hDone != nullptr ? ::_beginthreadex(nullptr, 0, BoundedCallThread, pArg, 0, nullptr) : 0;
    if (hThread == 0) {
        delete pArg;
        call->fnCall();
        call->fnCall = nullptr;
        return BCE_DONE;
    }
    ::CloseHandle(reinterpret_cast<HANDLE>(hThread));
    const DWORD dwStart = ::GetTickCount();
    for (;;) {
        if (bCancel)
            return BCE_CANCELLED;
        const DWORD dwSpent = ::GetTickCount() - dwStart;
        const DWORD dwLeft = dwSpent < dwTimeoutMs ? dwTimeoutMs - dwSpent : 0;
        if (::WaitForSingleObject(call->hDone, dwLeft < kCancelLookMs ? dwLeft : kCancelLookMs) == WAIT_OBJECT_0)
            return BCE_DONE;
        if (dwLeft == 0)
            return BCE_LATE;
    }
}

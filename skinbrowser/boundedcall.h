// A blocking call that may never return, waited for only so long: it runs on
// a thread of its own, and the caller goes on at a deadline or when its job
// is cancelled. WinINet's wait for answer headers restarts with every byte,
// and closing its handle from another thread does not end it under Wine, so
// this is the one bound on a server that drips its headers.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

enum BOUNDEDCALLEND {
    BCE_DONE,      // the call returned in time
    BCE_LATE,      // the deadline came first: the call runs on alone
    BCE_CANCELLED, // bCancel came first: the call runs on alone
};

// Runs fnCall on a thread of its own and waits until it returns, dwTimeoutMs
// pass or bCancel is set. A call left running keeps fnCall and what it holds
// until it returns: everything it uses must be its own (held by value or by
// shared_ptr), and it must not throw. What it captured is released before a
// call that ends in time is reported done. When no thread can be made the
// call runs here, unbounded.
BOUNDEDCALLEND RunBoundedCall(std::function<void()> fnCall, DWORD dwTimeoutMs, const std::atomic<bool>& bCancel);

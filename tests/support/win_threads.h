// A test program ends only once every thread it started has started.
//
// gtest on Windows starts a watcher thread the first time a thread uses one of
// its thread-locals (a SCOPED_TRACE, a failed assertion). A program whose tests
// take a millisecond can end while Wine is still setting that thread up, and
// Wine 8 then dies of SIGSEGV after every test has passed (seen on a busy
// machine: the new thread, still in its first server call, took the signal
// that ends it). A thread has been set up once it runs the TLS callbacks
// (DLL_THREAD_ATTACH), which this file's callback records.
#pragma once

#include <windows.h>

namespace vtest {

// Waits until every other thread of this process has started, at most
// nTimeoutMs; false when one has not by then (created suspended, say).
bool WaitForStartingThreads(DWORD nTimeoutMs);

}  // namespace vtest

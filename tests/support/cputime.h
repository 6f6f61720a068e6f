// The CPU time the calling thread has used, for tests that bound how much work
// a call does: a machine busy with other programs stretches the clock's time
// but not this.
#pragma once

#include <chrono>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

namespace vtest {

inline std::chrono::nanoseconds ThreadCpuTime()
{
#ifdef _WIN32
    FILETIME created, ended, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &ended, &kernel, &user);
    auto ticks = [](const FILETIME& ft) { return (static_cast<long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; };
    return std::chrono::nanoseconds((ticks(kernel) + ticks(user)) * 100);
#else
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
#endif
}

} // namespace vtest

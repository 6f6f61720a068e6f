// Calls waited for only so long: one in time is done and has let go of what
// it held; one past its deadline or cancelled is left to run on, keeps what
// it uses until it returns and then frees it.
#include "skinbrowser/boundedcall.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

// An event the test sets to let a call return; closed by its last holder.
struct CGate {
    CGate() : m_hOpen(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~CGate() { ::CloseHandle(m_hOpen); }
    CGate(const CGate&) = delete;
    CGate& operator=(const CGate&) = delete;
    HANDLE m_hOpen;
    std::atomic<bool> m_bReturned{false};
};

TEST(BoundedCall, ACallInTimeIsDoneAndHasLetGoOfWhatItHeld)
{
    std::atomic<bool> bCancel{false};
    auto value = std::make_shared<int>(0);
    const DWORD dwThread = ::GetCurrentThreadId();
    auto ranOn = std::make_shared<DWORD>(dwThread);
    const DWORD dwStart = ::GetTickCount();
    EXPECT_EQ(BCE_DONE, RunBoundedCall(
                            [value, ranOn] {
                                *value = 42;
                                *ranOn = ::GetCurrentThreadId();
                            },
                            5000, bCancel));
    EXPECT_LT(::GetTickCount() - dwStart, 1000u);
    EXPECT_EQ(42, *value);
    EXPECT_NE(dwThread, *ranOn) << "the call ran on the caller's thread";
    EXPECT_EQ(1, value.use_count()) << "the call still holds its captures";
}

TEST(BoundedCall, ACallPastItsDeadlineRunsOnAloneAndFreesWhatItHeld)
{
    std::atomic<bool> bCancel{false};
    auto gate = std::make_shared<CGate>();
    std::weak_ptr<CGate> watch = gate;
    const DWORD dwStart = ::GetTickCount();
    EXPECT_EQ(BCE_LATE, RunBoundedCall(
                            [gate] {
                                ::WaitForSingleObject(gate->m_hOpen, 10000);
                                gate->m_bReturned = true;
                            },
                            300, bCancel));
    const DWORD dwTook = ::GetTickCount() - dwStart;
    EXPECT_GE(dwTook, 280u);
    EXPECT_LT(dwTook, 800u);
    EXPECT_FALSE(gate->m_bReturned);
    // The caller lets go; the call still holds the gate until it returns.
    HANDLE hOpen = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), gate->m_hOpen, ::GetCurrentProcess(), &hOpen, 0, FALSE,
                                  DUPLICATE_SAME_ACCESS));
    gate.reset();
    EXPECT_FALSE(watch.expired());
    ::SetEvent(hOpen);
    ::CloseHandle(hOpen);
    const DWORD dwFreed = ::GetTickCount();
    while (!watch.expired() && ::GetTickCount() - dwFreed < 5000)
        ::Sleep(10);
    EXPECT_TRUE(watch.expired()) << "the call's captures were never freed";
}

DWORD WINAPI CancelSoon(LPVOID pArg)
{
    ::Sleep(200);
    *static_cast<std::atomic<bool>*>(pArg) = true;
    return 0;
}

TEST(BoundedCall, CancelEndsTheWaitAtOnce)
{
    std::atomic<bool> bCancel{false};
    auto gate = std::make_shared<CGate>();
    // Cancelled from another thread while the call blocks.
    HANDLE hCanceller = ::CreateThread(nullptr, 0, CancelSoon, &bCancel, 0, nullptr);
    ASSERT_NE(nullptr, hCanceller);
    const DWORD dwStart = ::GetTickCount();
    EXPECT_EQ(BCE_CANCELLED, RunBoundedCall([gate] { ::WaitForSingleObject(gate->m_hOpen, 10000); }, 10000, bCancel));
    const DWORD dwTook = ::GetTickCount() - dwStart;
    EXPECT_GE(dwTook, 180u);
    EXPECT_LT(dwTook, 700u);
    ::WaitForSingleObject(hCanceller, 5000);
    ::CloseHandle(hCanceller);
    ::SetEvent(gate->m_hOpen);
    // Already cancelled: the caller does not wait at all.
    EXPECT_EQ(BCE_CANCELLED, RunBoundedCall([] { ::Sleep(500); }, 10000, bCancel));
}

// Many calls left running at once end on their own, each freeing what it held.
TEST(BoundedCall, CallsLeftRunningEachEndAlone)
{
    std::atomic<bool> bCancel{false};
    auto gate = std::make_shared<CGate>();
    std::vector<std::weak_ptr<int>> held;
    for (int i = 0; i < 20; i++) {
        auto value = std::make_shared<int>(i);
        held.push_back(value);
        ASSERT_EQ(BCE_LATE, RunBoundedCall([gate, value] { ::WaitForSingleObject(gate->m_hOpen, 10000); }, 20, bCancel));
    }
    for (const auto& value : held)
        EXPECT_FALSE(value.expired());
    ::SetEvent(gate->m_hOpen);
    const DWORD dwStart = ::GetTickCount();
    auto allFreed = [&] {
        for (const auto& value : held) {
            if (!value.expired())
                return false;
        }
        return true;
    };
    while (!allFreed() && ::GetTickCount() - dwStart < 5000)
        ::Sleep(10);
    EXPECT_TRUE(allFreed());
}

} // namespace

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

// An event the test sets to let the calls return; closed by its last holder.
struct CGate {
    CGate() : m_hOpen(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~CGate() { ::CloseHandle(m_hOpen); }
    CGate(const CGate&) = delete;
    CGate& operator=(const CGate&) = delete;
    void Pass() const { ::WaitForSingleObject(m_hOpen, 10000); }
    HANDLE m_hOpen;
};

TEST(BoundedCall, ACallInTimeRanOnAThreadOfItsOwnAndLetGoOfItsCaptures)
{
    std::atomic<bool> bCancel{false};
    auto ranOn = std::make_shared<DWORD>(::GetCurrentThreadId());
    EXPECT_EQ(BCE_DONE, RunBoundedCall([ranOn] { *ranOn = ::GetCurrentThreadId(); }, 5000, bCancel));
    EXPECT_NE(::GetCurrentThreadId(), *ranOn);
    EXPECT_EQ(1, ranOn.use_count()) << "the call still holds its captures";
}

// Calls past their deadline go on alone, each holding its captures until it
// returns and freeing them then.
TEST(BoundedCall, CallsPastTheirDeadlineRunOnAloneAndFreeWhatTheyHeld)
{
    std::atomic<bool> bCancel{false};
    auto gate = std::make_shared<CGate>();
    std::vector<std::weak_ptr<int>> held;
    for (int i = 0; i < 10; i++) {
        auto value = std::make_shared<int>(i);
        held.push_back(value);
        const DWORD dwStart = ::GetTickCount();
        ASSERT_EQ(BCE_LATE, RunBoundedCall([gate, value] { gate->Pass(); }, 200, bCancel));
        const DWORD dwTook = ::GetTickCount() - dwStart;
        EXPECT_GE(dwTook, 190u);
        EXPECT_LT(dwTook, 700u);
    }
    for (const auto& value : held)
        EXPECT_FALSE(value.expired()) << "freed while its call runs";
    ::SetEvent(gate->m_hOpen);
    gate.reset();
    const DWORD dwStart = ::GetTickCount();
    auto freed = [&] {
        for (const auto& value : held) {
            if (!value.expired())
                return false;
        }
        return true;
    };
    while (!freed() && ::GetTickCount() - dwStart < 5000)
        ::Sleep(10);
    EXPECT_TRUE(freed()) << "a call's captures were never freed";
}

std::atomic<DWORD> g_dwCancelled{0};

DWORD WINAPI CancelSoon(LPVOID pArg)
{
    ::Sleep(200);
    g_dwCancelled = ::GetTickCount();
    *static_cast<std::atomic<bool>*>(pArg) = true;
    return 0;
}

TEST(BoundedCall, CancelEndsTheWaitAtOnce)
{
    std::atomic<bool> bCancel{false};
    auto gate = std::make_shared<CGate>();
    HANDLE hCanceller = ::CreateThread(nullptr, 0, CancelSoon, &bCancel, 0, nullptr);
    ASSERT_NE(nullptr, hCanceller);
    EXPECT_EQ(BCE_CANCELLED, RunBoundedCall([gate] { gate->Pass(); }, 10000, bCancel));
    EXPECT_LT(::GetTickCount() - g_dwCancelled, 300u);
    ::WaitForSingleObject(hCanceller, 5000);
    ::CloseHandle(hCanceller);
    ::SetEvent(gate->m_hOpen);
    // Cancelled already: no wait at all.
    EXPECT_EQ(BCE_CANCELLED, RunBoundedCall([] { ::Sleep(500); }, 10000, bCancel));
}

} // namespace

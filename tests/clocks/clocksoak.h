// The soak of a clock window: 100,000 ticks, each driven by its drawing
// timer's message with the clock advanced a second; the layer's GDI objects
// and the process's private bytes stay flat.
#pragma once

#include "afx/afxwin.h"
#include "clocks/skinclock_win.h"
#include "support/win_window.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <cstdio>
#include <functional>

inline SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof(counters));
    // Wine leaves PrivateUsage at 0; the page-file usage is the same commit
    // charge on Windows and is filled in under Wine.
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

// fnAfterWarmUp runs once the caches are warm, before the counted ticks.
inline void SoakClock(CSkinClockDlg& clock, UINT nDrawTimer, CRecordingSeams& seams,
                      const std::function<void()>& fnAfterWarmUp = nullptr)
{
    auto tick = [&](int n) {
        for (int i = 0; i < n; i++) {
            seams.m_nNow++;
            clock.SendMessage(WM_TIMER, nDrawTimer, 0);
            if (i % 1000 == 0)
                vtest::PumpPending();
        }
    };
    // A warm-up fills the caches of the system and the run-time library.
    tick(1000);
    if (fnAfterWarmUp)
        fnAfterWarmUp();
    const long nGdi = AfxGetLiveGdiObjectCount();
    const SIZE_T nPrivate = PrivateBytes();
    ASSERT_GT(nPrivate, 0u);
    const DWORD t0 = ::GetTickCount();
    tick(100000);
    const DWORD nMs = ::GetTickCount() - t0;
    const long nGdiAfter = AfxGetLiveGdiObjectCount();
    const SIZE_T nPrivateAfter = PrivateBytes();
    std::printf("soak: 100000 ticks in %lu ms; layer GDI objects %ld -> %ld; private bytes %lu -> %lu\n",
                static_cast<unsigned long>(nMs), nGdi, nGdiAfter, static_cast<unsigned long>(nPrivate),
                static_cast<unsigned long>(nPrivateAfter));
    EXPECT_EQ(nGdiAfter, nGdi);
    EXPECT_LT(nPrivateAfter, nPrivate + 512 * 1024);
}

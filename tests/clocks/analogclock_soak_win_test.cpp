// 100,000 ticks of the analog clock, each driven by its timer message with
// the clock advanced a second: the layer's GDI objects and the process's
// private bytes stay flat.
#include "clocks/analogclock_win.h"

#include "afx/afxwin.h"
#include "app/settings.h"
#include "support/win_window.h"
#include "tools/skinmaker/skinbuild.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof(counters));
    // Wine leaves PrivateUsage at 0; the page-file usage is the same commit
    // charge on Windows and is filled in under Wine.
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

TEST(AnalogClockSoak, HundredThousandTicksStayFlat)
{
    CWinApp app("Veltran Clock");
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    const fs::path root = fs::temp_directory_path() / "veltran_analogsoak";
    fs::remove_all(root);
    fs::create_directories(root);
    CString strError;
    ASSERT_TRUE(WriteSkinFile(CSkinMakerOptions(), (root / "Simple.acs").string().c_str(), strError));
    const CSettings saved = g_settings;
    g_settings.m_strAnalogSkinDir = root.string().c_str();
    g_settings.m_strAnalogSkin = "Simple";
    g_settings.m_nAnalogFixedSize = -1;
    g_settings.m_bAnalogSecondHand = TRUE;
    g_settings.m_ptAnalogCenter = CPoint(300, 300);
    const long nGdiStart = AfxGetLiveGdiObjectCount();
    {
        CAnalogClockDlg clock;
        ASSERT_TRUE(clock.Create(CAnalogClockDlg::IDD, CWnd::GetDesktopWindow()));
        ASSERT_TRUE(clock.LoadSkin(100));
        seams.m_nNow = CTime(2026, 1, 1, 0, 0, 0).GetTime();
        auto tick = [&](int n) {
            for (int i = 0; i < n; i++) {
                seams.m_nNow++;
                clock.SendMessage(WM_TIMER, CAnalogClockDlg::TIMER_DRAW, 0);
                if (i % 1000 == 0)
                    vtest::PumpPending();
            }
        };
        // A warm-up fills the caches of the system and the run-time library.
        tick(1000);
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
        EXPECT_EQ(clock.GetFace().GetHand(HAND_SECOND).nAngle, (101000 % 60) * 6);
        clock.DestroyWindow();
    }
    vtest::PumpPending();
    EXPECT_EQ(AfxGetLiveGdiObjectCount(), nGdiStart);
    g_settings = saved;
    fs::remove_all(root);
}

} // namespace

// 100,000 ticks of the digital clock in its blinking default format, each
// driven by its timer message with the clock advanced a second, so every
// tick draws: the layer's GDI objects and the process's private bytes stay flat.
#include "clocks/digitalclock_win.h"

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

TEST(DigitalClockSoak, HundredThousandTicksStayFlat)
{
    CWinApp app("Veltran Clock");
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    const fs::path root = fs::temp_directory_path() / "veltran_digitalsoak";
    fs::remove_all(root);
    fs::create_directories(root);
    CSkinMakerOptions options;
    options.kind = SKIN_DIGITAL;
    options.strName = "Red Digital";
    CString strError;
    ASSERT_TRUE(WriteSkinFile(options, (root / "Red Digital.dcs").string().c_str(), strError));
    const CSettings saved = g_settings;
    g_settings.m_strDigitalSkinDir = root.string().c_str();
    g_settings.m_strDigitalSkin = "Red Digital";
    g_settings.m_strDigitalFormat = "%hhh(:)%nn(:)%ss";
    g_settings.m_nDigitalFixedSize = -1;
    g_settings.m_ptDigitalCenter = CPoint(300, 300);
    const long nGdiStart = AfxGetLiveGdiObjectCount();
    {
        CDigitalClockDlg clock;
        ASSERT_TRUE(clock.Create(CDigitalClockDlg::IDD, CWnd::GetDesktopWindow()));
        seams.m_nNow = CTime(2026, 1, 1, 0, 0, 0).GetTime();
        ASSERT_TRUE(clock.LoadSkin(150));
        auto tick = [&](int n) {
            for (int i = 0; i < n; i++) {
                seams.m_nNow++;
                clock.SendMessage(WM_TIMER, CDigitalClockDlg::TIMER_DRAW, 0);
                if (i % 1000 == 0)
                    vtest::PumpPending();
            }
        };
        // A warm-up fills the caches of the system and the run-time library.
        tick(1000);
        const long nGdi = AfxGetLiveGdiObjectCount();
        const SIZE_T nPrivate = PrivateBytes();
        ASSERT_GT(nPrivate, 0u);
        HBITMAP hCanvas = clock.GetCanvasBitmap();
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
        EXPECT_EQ(clock.GetCanvasBitmap(), hCanvas); // eight characters all along: no reload
        // 101000 seconds after midnight is 04:03:20, an even second.
        EXPECT_STREQ(clock.m_strPrevText.GetString(), "04 03 20");
        clock.DestroyWindow();
    }
    vtest::PumpPending();
    EXPECT_EQ(AfxGetLiveGdiObjectCount(), nGdiStart);
    g_settings = saved;
    fs::remove_all(root);
}

} // namespace

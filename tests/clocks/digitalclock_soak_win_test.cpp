// 100,000 ticks of the digital clock in its blinking default format, each
// driven by its timer message with the clock advanced a second, so every
// tick draws: the layer's GDI objects and the process's private bytes stay flat.
#include "clocks/digitalclock_win.h"

#include "core/settings.h"
#include "tools/skinmaker/skinbuild.h"

#include "support/tempfolder.h"
#include "tests/clocks/clocksoak.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

TEST(DigitalClockSoak, HundredThousandTicksStayFlat)
{
    CWinApp app("Veltran Clock");
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    const vtest::CTempFolder folder("veltran_digitalsoak");
    const fs::path root = folder.Path();
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
        HBITMAP hCanvas = nullptr;
        SoakClock(clock, CDigitalClockDlg::TIMER_DRAW, seams, [&] { hCanvas = clock.GetCanvasBitmap(); });
        EXPECT_EQ(clock.GetCanvasBitmap(), hCanvas); // eight characters all along: no reload
        // 101000 seconds after midnight is 04:03:20, an even second.
        EXPECT_STREQ(clock.m_strPrevText.GetString(), "04 03 20");
        clock.DestroyWindow();
    }
    vtest::PumpPending();
    EXPECT_EQ(AfxGetLiveGdiObjectCount(), nGdiStart);
    g_settings = saved;
}

} // namespace

// 100,000 ticks of the analog clock, each driven by its timer message with
// the clock advanced a second: the layer's GDI objects and the process's
// private bytes stay flat.
#include "clocks/analogclock_win.h"

#include "core/settings.h"
#include "tools/skinmaker/skinbuild.h"

#include "support/tempfolder.h"
#include "tests/clocks/clocksoak.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

TEST(AnalogClockSoak, HundredThousandTicksStayFlat)
{
    CWinApp app("Veltran Clock");
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    const vtest::CTempFolder folder("veltran_analogsoak");
    const fs::path root = folder.Path();
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
        SoakClock(clock, CAnalogClockDlg::TIMER_DRAW, seams);
        EXPECT_EQ(clock.GetFace().GetHand(HAND_SECOND).nAngle, (101000 % 60) * 6);
        clock.DestroyWindow();
    }
    vtest::PumpPending();
    EXPECT_EQ(AfxGetLiveGdiObjectCount(), nGdiStart);
    g_settings = saved;
}

} // namespace

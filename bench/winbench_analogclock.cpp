// The analog clock's whole tick under Wine: hands turned, regions made,
// face and hands drawn into the back buffer through their clip regions and
// the window repainted, for a 200-pixel skin at 150 % with its second hand;
// beside it the floor, a plain copy of the back buffer to the window.
#include "afx/afxwin.h"
#include "clocks/analogclock_win.h"
#include "core/settings.h"
#include "winbench_clock.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (winbench::ListFigures(argc, argv))
        return 0;
    CWinApp app("bench");
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    char szTemp[MAX_PATH];
    ::GetTempPathA(sizeof(szTemp), szTemp);
    const std::string folder = std::string(szTemp) + "veltran_bench_acs";
    CSkinMakerOptions options;
    options.nFaceSize = 200;
    if (!winbench::WriteBenchSkin(options, folder, "Simple.acs"))
        return 1;
    g_settings.m_strAnalogSkinDir = folder.c_str();
    g_settings.m_strAnalogSkin = "Simple";
    g_settings.m_nAnalogScale = 150;
    g_settings.m_nAnalogFixedSize = -1;
    g_settings.m_bAnalogSecondHand = TRUE;
    g_settings.m_ptAnalogCenter = CPoint(300, 300);

    CAnalogClockDlg clock;
    if (!clock.Create(CAnalogClockDlg::IDD, CWnd::GetDesktopWindow()) || !clock.LoadSkin(150)) {
        std::fprintf(stderr, "the clock did not load\n");
        return 1;
    }
    const int nTicks = 600;
    seams.m_nNow = CTime(2026, 1, 1, 10, 0, 0).GetTime();
    const double tTick = winbench::TickSeconds(clock, CAnalogClockDlg::TIMER_DRAW, seams, nTicks);
    const double tFloor =
        winbench::FloorSeconds(clock, clock.GetClockBitmap(), clock.m_nClockWidth, clock.m_nClockHeight, nTicks);

    std::printf("analog clock %dx%d at 150 %% under Wine\n", clock.m_nClockWidth, clock.m_nClockHeight);
    winbench::PrintFigures("(turn, regions, clipped draws, repaint)", tTick, tFloor);
    clock.DestroyWindow();
    ::DeleteFileA((folder + "\\Simple.acs").c_str());
    ::DeleteFileA((std::string(szTemp) + "Simple.dat").c_str());
    ::RemoveDirectoryA(folder.c_str());
    return 0;
}

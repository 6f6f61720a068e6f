// The digital clock's whole tick under Wine: the format expanded, the glyph
// cells copied onto the back buffer and the window repainted, for an 8-glyph
// blinking format at 150 % (every second draws); beside it the floor, a plain
// copy of the back buffer to the window.
#include "afx/afxwin.h"
#include "clocks/digitalclock_win.h"
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
    const std::string folder = std::string(szTemp) + "veltran_bench_dcs";
    CSkinMakerOptions options;
    options.kind = SKIN_DIGITAL;
    options.strName = "Red Digital";
    if (!winbench::WriteBenchSkin(options, folder, "Red Digital.dcs"))
        return 1;
    g_settings.m_strDigitalSkinDir = folder.c_str();
    g_settings.m_strDigitalSkin = "Red Digital";
    g_settings.m_strDigitalFormat = "%hhh(:)%nn(:)%ss";
    g_settings.m_nDigitalFixedSize = -1;
    g_settings.m_ptDigitalCenter = CPoint(300, 300);
    seams.m_nNow = CTime(2026, 1, 1, 10, 0, 0).GetTime();

    CDigitalClockDlg clock;
    if (!clock.Create(CDigitalClockDlg::IDD, CWnd::GetDesktopWindow()) || !clock.LoadSkin(150)) {
        std::fprintf(stderr, "the clock did not load\n");
        return 1;
    }
    const int nTicks = 2000;
    const double tTick = winbench::TickSeconds(clock, CDigitalClockDlg::TIMER_DRAW, seams, nTicks);
    const double tFloor =
        winbench::FloorSeconds(clock, clock.GetCanvasBitmap(), clock.m_nBackWidth, clock.m_nBackHeight, nTicks);

    std::printf("digital clock %dx%d at 150 %%, 8 glyphs of %dx%d, under Wine\n", clock.m_nBackWidth,
                clock.m_nBackHeight, clock.m_nGlyphWidth, clock.m_nGlyphHeight);
    winbench::PrintFigures("(expand, 8 glyph copies, repaint)", tTick, tFloor);
    clock.DestroyWindow();
    ::DeleteFileA((folder + "\\Red Digital.dcs").c_str());
    ::DeleteFileA((std::string(szTemp) + "Red Digital.dat").c_str());
    ::RemoveDirectoryA(folder.c_str());
    return 0;
}

// The digital clock's whole tick under Wine: the format expanded, the glyph
// cells copied onto the back buffer and the window repainted, for an 8-glyph
// blinking format at 150 % (every second draws); beside it the floor, a plain
// copy of the back buffer to the window.
#include "afx/afxwin.h"
#include "app/settings.h"
#include "clocks/digitalclock_win.h"
#include "tools/skinmaker/skinbuild.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace

int main()
{
    CWinApp app("bench");
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    char szTemp[MAX_PATH];
    ::GetTempPathA(sizeof(szTemp), szTemp);
    const std::string folder = std::string(szTemp) + "veltran_bench_dcs";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    CSkinMakerOptions options;
    options.kind = SKIN_DIGITAL;
    options.strName = "Red Digital";
    CString strError;
    if (!WriteSkinFile(options, (folder + "\\Red Digital.dcs").c_str(), strError)) {
        std::fprintf(stderr, "skin: %s\n", strError.GetString());
        return 1;
    }
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
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < nTicks; i++) {
        seams.m_nNow++;
        clock.SendMessage(WM_TIMER, CDigitalClockDlg::TIMER_DRAW, 0);
    }
    const double tTick = Seconds(t0) / nTicks;

    CDC memDC;
    memDC.CreateCompatibleDC(nullptr);
    t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < nTicks; i++) {
        CClientDC dc(&clock);
        CSelectGuard select(memDC.GetSafeHdc(), clock.GetCanvasBitmap());
        dc.BitBlt(0, 0, clock.m_nBackWidth, clock.m_nBackHeight, &memDC, 0, 0, SRCCOPY);
        ::GdiFlush();
    }
    const double tFloor = Seconds(t0) / nTicks;
    memDC.DeleteDC();

    std::printf("digital clock %dx%d at 150 %%, 8 glyphs of %dx%d, under Wine\n", clock.m_nBackWidth,
                clock.m_nBackHeight, clock.m_nGlyphWidth, clock.m_nGlyphHeight);
    std::printf("  whole tick (expand, 8 glyph copies, repaint):       %8.3f ms\n", tTick * 1e3);
    std::printf("  floor, a plain copy of the back buffer to the window: %6.3f ms\n", tFloor * 1e3);
    std::printf("  tick / floor: %.1f\n", tTick / tFloor);
    clock.DestroyWindow();
    ::DeleteFileA((folder + "\\Red Digital.dcs").c_str());
    ::DeleteFileA((std::string(szTemp) + "Red Digital.dat").c_str());
    ::RemoveDirectoryA(folder.c_str());
    return 0;
}

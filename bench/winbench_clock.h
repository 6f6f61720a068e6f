// What the clock window benchmarks share: the skin each writes into a folder
// of its own, the timed tick, and the floor beside it (a plain copy of the
// back buffer to the window, which no tick can beat).
#pragma once

#include "afx/afxwin.h"
#include "bench_list.h"
#include "tools/skinmaker/skinbuild.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace winbench {

// The labels of the lines both benchmarks print.
const char* const kTick = "whole tick";
const char* const kFloor = "floor, a plain copy of the back buffer to the window";
const char* const kRatio = "tick / floor";

// --list: true once the labels are printed.
inline bool ListFigures(int argc, char** argv)
{
    return BenchList(argc, argv, { kTick, kFloor, kRatio });
}

// The figures' lines; pszWork says what a tick does.
inline void PrintFigures(const char* pszWork, double tTick, double tFloor)
{
    std::printf("  %s %s %8.3f ms  (goal: both clocks <= 2 ms)\n", kTick, BenchLabel(pszWork, 40).c_str(),
        tTick * 1e3);
    std::printf("  %s: %6.3f ms\n", kFloor, tFloor * 1e3);
    std::printf("  %s: %.1f\n", kRatio, tTick / tFloor);
}

inline double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Writes strFolder\strFile; says why on stderr when it cannot.
inline bool WriteBenchSkin(const CSkinMakerOptions& options, const std::string& strFolder, const std::string& strFile)
{
    ::CreateDirectoryA(strFolder.c_str(), nullptr);
    CString strError;
    if (WriteSkinFile(options, (strFolder + "\\" + strFile).c_str(), strError))
        return true;
    std::fprintf(stderr, "skin: %s\n", strError.GetString());
    return false;
}

// Seconds per tick: the clock's draw timer, the recorded clock one second on each time.
inline double TickSeconds(CWnd& clock, UINT_PTR nTimer, CRecordingSeams& seams, int nTicks)
{
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < nTicks; i++) {
        seams.m_nNow++;
        clock.SendMessage(WM_TIMER, nTimer, 0);
    }
    return Seconds(t0) / nTicks;
}

// Seconds per plain copy of the back buffer (cx by cy) to the window.
inline double FloorSeconds(CWnd& clock, HBITMAP hBackBuffer, int cx, int cy, int nTicks)
{
    CDC memDC;
    memDC.CreateCompatibleDC(nullptr);
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < nTicks; i++) {
        CClientDC dc(&clock);
        CSelectGuard select(memDC.GetSafeHdc(), hBackBuffer);
        dc.BitBlt(0, 0, cx, cy, &memDC, 0, 0, SRCCOPY);
        ::GdiFlush();
    }
    const double t = Seconds(t0) / nTicks;
    memDC.DeleteDC();
    return t;
}

}  // namespace winbench

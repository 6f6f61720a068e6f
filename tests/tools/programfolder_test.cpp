// The files that ship beside the program open as what the program takes them
// for: the icon library as icons, the sounds as PCM waves.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "support/win_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string ProgramFolder() { return vtest::WinePath(VELTRAN_PROGRAM_DIR); }

TEST(ProgramFolder, IconLibraryHoldsThirtyTwoPixelIconsWithAlpha)
{
    const std::string path = ProgramFolder() + "\\icons.icl";
    const UINT count = ExtractIconExA(path.c_str(), -1, nullptr, nullptr, 0);
    ASSERT_EQ(16u, count);
    for (UINT i = 0; i < count; i++) {
        HICON icon = nullptr;
        ASSERT_EQ(1u, ExtractIconExA(path.c_str(), int(i), &icon, nullptr, 1)) << i;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info)) << i;
        BITMAP bm = {};
        ASSERT_TRUE(GetObjectA(info.hbmColor, sizeof bm, &bm)) << i;
        EXPECT_EQ(32, bm.bmWidth) << i;
        EXPECT_EQ(32, bm.bmHeight) << i;
        EXPECT_EQ(32, bm.bmBitsPixel) << i;

        // Each icon has both see-through corners and an opaque middle.
        std::vector<DWORD> pixels(32 * 32);
        BITMAPINFO bmi = {};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        HDC dc = GetDC(nullptr);
        ASSERT_EQ(32, GetDIBits(dc, info.hbmColor, 0, 32, pixels.data(), &bmi, DIB_RGB_COLORS)) << i;
        ReleaseDC(nullptr, dc);
        int opaque = 0, clear = 0;
        for (DWORD p : pixels) {
            opaque += (p >> 24) == 255;
            clear += (p >> 24) == 0;
        }
        EXPECT_GT(opaque, 100) << i;
        EXPECT_GT(clear, 50) << i;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST(ProgramFolder, SoundsArePcmWaves)
{
    const std::string folder = ProgramFolder() + "\\sounds\\";
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "*.wav").c_str(), &fd);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    int files = 0;
    do {
        files++;
        std::string path = folder + fd.cFileName;
        HMMIO mmio = mmioOpenA(&path[0], nullptr, MMIO_READ);
        ASSERT_NE(nullptr, mmio) << path;
        MMCKINFO riff = {};
        riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
        ASSERT_EQ(MMSYSERR_NOERROR, mmioDescend(mmio, &riff, nullptr, MMIO_FINDRIFF)) << path;
        MMCKINFO chunk = {};
        chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
        ASSERT_EQ(MMSYSERR_NOERROR, mmioDescend(mmio, &chunk, &riff, MMIO_FINDCHUNK)) << path;
        PCMWAVEFORMAT format = {};
        ASSERT_EQ(LONG(sizeof format), mmioRead(mmio, reinterpret_cast<HPSTR>(&format), sizeof format)) << path;
        EXPECT_EQ(WAVE_FORMAT_PCM, format.wf.wFormatTag) << path;
        EXPECT_EQ(1, format.wf.nChannels) << path;
        EXPECT_EQ(16, format.wBitsPerSample) << path;
        mmioAscend(mmio, &chunk, 0);
        chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
        ASSERT_EQ(MMSYSERR_NOERROR, mmioDescend(mmio, &chunk, &riff, MMIO_FINDCHUNK)) << path;
        // At least half a second of sound.
        EXPECT_GE(chunk.cksize, format.wf.nAvgBytesPerSec / 2) << path;
        mmioClose(mmio, 0);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    EXPECT_EQ(4, files);
}

} // namespace

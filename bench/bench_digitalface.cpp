// The digital clock's work each second, natively: an 8-glyph format at
// 150 % from the skinmaker's skin, the text expanded and upper-cased and its
// glyph cells composed onto the canvas; beside it the floor, a plain copy of
// the back buffer.
#include "bench/bench_list.h"
#include "bench/bench_util.h"
#include "clocks/digitalface.h"
#include "clocks/timeformat.h"
#include "tools/skinmaker/skinbuild.h"

#include <cstdio>

int main(int argc, char** argv)
{
    const char* const kTick = "per tick";
    const char* const kCompose = "composition of 8 cells alone";
    const char* const kFloor = "floor, a plain copy of the back buffer";
    const char* const kRatio = "tick / floor";
    if (BenchList(argc, argv, { kTick, kCompose, kFloor, kRatio }))
        return 0;
    CSkinMakerOptions options;
    options.kind = SKIN_DIGITAL;
    std::vector<BYTE> stream;
    CString strError;
    DigitalSkinData data;
    CPicture pictures[2];
    if (!BuildSkinStream(options, stream, strError)
        || !LoadDigitalSkin(stream.data(), stream.size(), data, pictures, strError)) {
        std::fprintf(stderr, "skin: %s\n", strError.GetString());
        return 1;
    }
    const CString strFormat = "%hhh(:)%nn(:)%ss";
    CDigitalFaceOptions faceOptions;
    faceOptions.nScale = 150;
    CDigitalClockFace face;
    if (!face.Prepare(pictures, faceOptions, 8))
        return 1;
    CPicture canvas(face.GetBackground());

    const int nTicks = 6000;
    int nSecond = 0;
    // The whole per-second work: the clock read into fields, the format
    // expanded, the text upper-cased and its cells copied onto the canvas.
    const double tTick = BenchSeconds([&] {
        for (int i = 0; i < nTicks; i++, nSecond++) {
            const CClockFields fields = {2026, 1, 1, 5, 10 + (nSecond / 3600) % 10, (nSecond / 60) % 60, nSecond % 60};
            face.Draw(UpperCaseClockText(ExpandTimeFormat(strFormat, fields)), canvas);
        }
    }, 5) / nTicks;
    const double tCompose = BenchSeconds([&] {
        for (int i = 0; i < nTicks; i++)
            face.Draw("10:20:30", canvas);
    }, 5) / nTicks;
    CPicture copy;
    const double tFloor = BenchSeconds([&] {
        for (int i = 0; i < nTicks; i++)
            copy.Copy(canvas);
    }, 5) / nTicks;

    std::printf("digital face %ldx%ld at 150 %%, glyphs %ldx%ld, 8 characters\n", face.GetWidth(), face.GetHeight(),
                face.GetGlyphWidth(), face.GetGlyphHeight());
    std::printf("  %s (expand, upper-case, compose 8 cells): %8.4f ms\n", kTick, tTick * 1e3);
    std::printf("  %s %8.4f ms\n", BenchLabel(kCompose, 47).c_str(), tCompose * 1e3);
    std::printf("  %s %8.4f ms\n", BenchLabel(kFloor, 47).c_str(), tFloor * 1e3);
    std::printf("  %s: %.1f\n", kRatio, tTick / tFloor);
    return 0;
}

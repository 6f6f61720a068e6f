// The analog clock's picture work each second, natively: a 200-pixel skin at
// 150 % with its second hand, hands turned from their pictures and masks and
// the runs of the turned masks found; beside it the floor, a plain copy of
// the back buffer, and the whole composition in memory.
#include "bench/bench_list.h"
#include "bench/bench_util.h"
#include "clocks/analogface.h"
#include "tools/skinmaker/skinbuild.h"

#include <cstdio>

int main(int argc, char** argv)
{
    const char* const kWork = "picture work per tick";
    const char* const kCompose = "composition in memory per tick";
    const char* const kFloor = "floor, a plain copy of the back buffer";
    const char* const kRatio = "picture work / floor";
    if (BenchList(argc, argv, { kWork, kCompose, kFloor, kRatio }))
        return 0;
    CSkinMakerOptions options;
    options.nFaceSize = 200;
    std::vector<BYTE> stream;
    CString strError;
    AnalogSkinData data;
    CPicture pictures[4];
    if (!BuildSkinStream(options, stream, strError)
        || !LoadAnalogSkin(stream.data(), stream.size(), data, pictures, strError)) {
        std::fprintf(stderr, "skin: %s\n", strError.GetString());
        return 1;
    }
    CClockFaceOptions faceOptions;
    faceOptions.nScale = 150;
    CAnalogClockFace face;
    if (!face.Prepare(data, pictures, faceOptions))
        return 1;

    const int nTicks = 600;
    int nSecond = 0;
    // Ten minutes of ticks: the second hand every tick, the minute hand every
    // sixtieth, the hour hand every hundred-and-twentieth.
    auto ticks = [&] {
        for (int i = 0; i < nTicks; i++, nSecond++)
            face.Turn(10, (nSecond / 60) % 60, nSecond % 60, TRUE);
    };
    const double tTurn = BenchSeconds(ticks, 5) / nTicks;

    CPicture out;
    face.Turn(10, 8, 30, TRUE);
    const double tCompose = BenchSeconds([&] {
        for (int i = 0; i < nTicks; i++)
            face.Compose(out);
    }, 5) / nTicks;

    CPicture copy;
    const double tFloor = BenchSeconds([&] {
        for (int i = 0; i < nTicks; i++)
            copy.Copy(face.GetFace());
    }, 5) / nTicks;

    std::printf("analog face %ldx%ld at 150 %%, second hand %ux%u turned to %ux%u\n", face.GetWidth(),
                face.GetHeight(), face.GetHand(HAND_SECOND).picture.GetWidth(),
                face.GetHand(HAND_SECOND).picture.GetHeight(), face.GetHand(HAND_SECOND).turned.GetWidth(),
                face.GetHand(HAND_SECOND).turned.GetHeight());
    std::printf("  %s (turn hands and masks, mask runs): %8.3f ms  (goal <= 1 ms)\n", kWork, tTurn * 1e3);
    std::printf("  %s %8.3f ms\n", BenchLabel(kCompose, 56).c_str(), tCompose * 1e3);
    std::printf("  %s %8.3f ms\n", BenchLabel(kFloor, 56).c_str(), tFloor * 1e3);
    std::printf("  %s: %.1f\n", kRatio, tTurn / tFloor);
    return 0;
}

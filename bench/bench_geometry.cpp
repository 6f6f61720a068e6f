// Rotation and resampling against ImageMagick's convert on the same input:
// the clock hands turned at 60 angles, quarter turns of a 4096 x 4096
// picture, and 4000 x 3000 resampled to 800 x 600 by each mode. convert's
// time is that of the run minus a run that only reads the same input, so
// start-up and file reading are not counted against it.
#include "bench/bench_util.h"
#include "image/picture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Smooth colour ramps with some detail, so that no method meets a flat picture.
CPicture Make(LONG w, LONG h)
{
    CPicture pic(w, h, 24);
    for (LONG y = 0; y < h; ++y) {
        BYTE* p = pic.GetBits(DWORD(y));
        for (LONG x = 0; x < w; ++x, p += 3) {
            p[0] = BYTE(x * 255 / w);
            p[1] = BYTE(y * 255 / h);
            p[2] = BYTE((x * 7 + y * 13) ^ (x >> 3));
        }
    }
    return pic;
}

void Report(const char* what, double ours, double theirs, const char* method)
{
    if (theirs > 0)
        std::printf("%-44s ours %8.2f ms  convert %8.2f ms  ratio %5.2f  (%s)\n", what, ours * 1e3, theirs * 1e3,
            ours / theirs, method);
    else
        std::printf("%-44s ours %8.2f ms  convert n/a (%s)\n", what, ours * 1e3, method);
}

} // namespace

int main()
{
    std::string dir = "/tmp/bench_geometry." + std::to_string(getpid());
    std::system(("mkdir -p " + dir).c_str());
    const int runs = 3;
    std::string convert = "convert -limit thread 1 ";

    // Clock hand: 40 x 300, turned to each second of a minute.
    CPicture hand = Make(40, 300);
    std::string handPath = dir + "/hand.ppm";
    BenchWritePpm(hand, handPath);
    double ours = BenchSeconds(
        [&] {
            for (int a = 0; a < 60; ++a) {
                CPicture out;
                hand.Rotate(float(a * 6), &out);
            }
        },
        runs * 3);
    std::string turns, reads;
    for (int a = 0; a < 60; ++a) {
        turns += " \\( mpr:h -interpolate Nearest -virtual-pixel Edge +distort SRT " + std::to_string(a * 6) + " \\)";
        reads += " \\( mpr:h \\)";
    }
    std::string head = convert + handPath + " -write mpr:h +delete";
    double theirs = BenchShell(head + turns + " null:", runs) - BenchShell(head + reads + " null:", runs);
    Report("Rotate 40x300 hand at 60 angles", ours, theirs, "nearest, +distort SRT");

    // Quarter turns of a 4096 x 4096 picture.
    CPicture big = Make(4096, 4096);
    std::string bigPath = dir + "/big.ppm";
    BenchWritePpm(big, bigPath);
    double base = BenchShell(convert + bigPath + " null:", runs);
    ours = BenchSeconds([&] { CPicture out; big.RotateRight(&out); }, runs);
    theirs = BenchShell(convert + bigPath + " -rotate 90 null:", runs) - base;
    Report("RotateRight 4096x4096", ours, theirs, "-rotate 90");
    ours = BenchSeconds([&] { CPicture out; big.RotateLeft(&out); }, runs);
    theirs = BenchShell(convert + bigPath + " -rotate -90 null:", runs) - base;
    Report("RotateLeft 4096x4096", ours, theirs, "-rotate -90");
    ours = BenchSeconds([&] { CPicture out; big.Rotate180(&out); }, runs);
    theirs = BenchShell(convert + bigPath + " -rotate 180 null:", runs) - base;
    Report("Rotate180 4096x4096", ours, theirs, "-rotate 180");

    // 4000 x 3000 to 800 x 600.
    CPicture photo = Make(4000, 3000);
    std::string photoPath = dir + "/photo.ppm";
    BenchWritePpm(photo, photoPath);
    base = BenchShell(convert + photoPath + " null:", runs);
    struct Case {
        const char* name;
        std::function<void(CPicture&)> run;
        const char* im;
        const char* method;
    } cases[] = {
        { "Resample mode 1 (nearest)", [&](CPicture& o) { photo.Resample(800, 600, 1, &o); }, "-sample 800x600!",
            "-sample" },
        { "Resample mode 2 (B-spline)", [&](CPicture& o) { photo.Resample(800, 600, 2, &o); },
            "-filter Cubic -resize 800x600!", "-filter Cubic (widened when shrinking)" },
        { "Resample mode 0 (area average)", [&](CPicture& o) { photo.Resample(800, 600, 0, &o); },
            "-scale 800x600!", "-scale" },
        { "QIShrink", [&](CPicture& o) { photo.QIShrink(800, 600, &o); }, "-scale 800x600!", "-scale" },
        { "Resample2 bilinear, averaging", [&](CPicture& o) { photo.Resample2(800, 600, CPicture::IM_BILINEAR,
                                                                  CPicture::OM_REPEAT, &o); },
            "-filter Box -resize 800x600!", "-filter Box" },
        { "Resample2 bicubic a=-0.5, no averaging",
            [&](CPicture& o) { photo.Resample2(800, 600, CPicture::IM_BICUBIC2, CPicture::OM_REPEAT, &o, true); },
            "-interpolate Catrom -interpolative-resize 800x600!", "-interpolative-resize Catrom" },
    };
    for (auto& c : cases) {
        ours = BenchSeconds([&] { CPicture out; c.run(out); }, runs);
        theirs = BenchShell(convert + photoPath + " " + c.im + " null:", runs) - base;
        Report(c.name, ours, theirs, c.method);
    }
    std::system(("rm -rf " + dir).c_str());
    return 0;
}

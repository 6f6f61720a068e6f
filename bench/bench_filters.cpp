// Median, convolution and unsharp mask on a 3840 x 2160 picture against
// ImageMagick's convert on the same input, one thread each. convert's time
// is that of the run minus a run that only reads the same input, so start-up
// and file reading are not counted against it.
#include "bench/bench_list.h"
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

// Colour ramps with texture and noise: a median or a blur has work everywhere.
CPicture Make(LONG w, LONG h)
{
    CPicture pic(w, h, 24);
    uint32_t s = 2024;
    for (LONG y = 0; y < h; ++y) {
        BYTE* p = pic.GetBits(DWORD(y));
        for (LONG x = 0; x < w; ++x, p += 3) {
            s = s * 1664525u + 1013904223u;
            int n = int(s >> 27) - 16;
            p[0] = BYTE((x * 255 / w + n) & 255);
            p[1] = BYTE((y * 255 / h - n) & 255);
            p[2] = BYTE(((x * 7 + y * 13) ^ (x >> 3)) + n);
        }
    }
    return pic;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = 3;
    const int threads = BenchThreads(argc, argv);
    std::string convert = "convert -limit thread " + std::to_string(threads) + " ";

    std::vector<LONG> box3(9, 1), box5(25, 1);

    struct Case {
        const char* name;
        std::function<bool(CPicture&)> run;
        const char* im;
    } cases[] = {
        { "Median 3x3", [](CPicture& p) { return p.Median(3); }, "-statistic Median 3x3" },
        { "Median 5x5", [](CPicture& p) { return p.Median(5); }, "-statistic Median 5x5" },
        { "Median 9x9", [](CPicture& p) { return p.Median(9); }, "-statistic Median 9x9" },
        { "Filter 3x3 box", [&](CPicture& p) { return p.Filter(box3.data(), 3, 9, 0); },
            "-convolve 1,1,1,1,1,1,1,1,1" },
        { "Filter 5x5 box", [&](CPicture& p) { return p.Filter(box5.data(), 5, 25, 0); },
            "-convolve 1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1" },
        { "UnsharpMask radius 2 (sigma 3)", [](CPicture& p) { return p.UnsharpMask(2.0f, 0.5f, 0); },
            "-unsharp 0x3+0.5+0" },
        { "UnsharpMask radius 0 (sigma 1)", [](CPicture& p) { return p.UnsharpMask(0.0f, 0.5f, 0); },
            "-unsharp 0x1+0.5+0" },
    };
    std::vector<const char*> names;
    for (auto& c : cases)
        names.push_back(c.name);
    if (BenchList(argc, argv, names))
        return 0;

    std::string dir = "/tmp/bench_filters." + std::to_string(getpid());
    std::system(("mkdir -p " + dir).c_str());
    CPicture photo = Make(3840, 2160);
    std::string path = dir + "/photo.ppm";
    if (!BenchWritePpm(photo, path))
        return 1;
    double base = BenchShell(convert + path + " null:", runs);
    std::printf("3840 x 2160, 24 bits; convert -limit thread %d; our filters use one thread\n", threads);
    for (auto& c : cases) {
        // Each run filters a fresh copy; the copy is timed apart and taken off.
        double copy = BenchSeconds([&] { CPicture p(photo); }, runs);
        double ours = BenchSeconds(
            [&] {
                CPicture p(photo);
                if (!c.run(p))
                    std::fprintf(stderr, "failed: %s\n", c.name);
            },
            runs)
            - copy;
        double theirs = BenchShell(convert + path + " " + c.im + " null:", runs) - base;
        std::printf("%-32s ours %8.1f ms  convert %8.1f ms  ratio %5.2f  (%s)\n", c.name, ours * 1e3, theirs * 1e3,
            ours / theirs, c.im);
    }
    std::system(("rm -rf " + dir).c_str());
    return 0;
}

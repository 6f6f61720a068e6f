// Median, convolution and unsharp mask on a 3840 x 2160 picture against
// ImageMagick's convert on the same input, one thread each. convert's time
// is that of the run minus a run that only reads the same input, so start-up
// and file reading are not counted against it.
#include "image/picture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

double Seconds(const std::function<void()>& f, int runs)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        f();
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        best = s < best ? s : best;
    }
    return best;
}

double Shell(const std::string& command, int runs)
{
    return Seconds(
        [&] {
            if (std::system(command.c_str()) != 0)
                std::fprintf(stderr, "failed: %s\n", command.c_str());
        },
        runs);
}

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

bool WritePpm(const CPicture& pic, const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    LONG w = LONG(pic.GetWidth()), h = LONG(pic.GetHeight());
    std::fprintf(f, "P6\n%d %d\n255\n", int(w), int(h));
    std::vector<BYTE> row(size_t(w) * 3);
    for (LONG y = h - 1; y >= 0; --y) {
        const BYTE* p = pic.GetBits(DWORD(y));
        for (LONG x = 0; x < w; ++x) {
            row[x * 3] = p[x * 3 + 2];
            row[x * 3 + 1] = p[x * 3 + 1];
            row[x * 3 + 2] = p[x * 3];
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

} // namespace

int main()
{
    std::string dir = "/tmp/bench_filters." + std::to_string(getpid());
    std::system(("mkdir -p " + dir).c_str());
    const int runs = 3;
    std::string convert = "convert -limit thread 1 ";

    CPicture photo = Make(3840, 2160);
    std::string path = dir + "/photo.ppm";
    if (!WritePpm(photo, path))
        return 1;
    double base = Shell(convert + path + " null:", runs);
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
    std::printf("3840 x 2160, 24 bits; convert %s\n", "-limit thread 1");
    for (auto& c : cases) {
        // Each run filters a fresh copy; the copy is timed apart and taken off.
        double copy = Seconds([&] { CPicture p(photo); }, runs);
        double ours = Seconds(
            [&] {
                CPicture p(photo);
                if (!c.run(p))
                    std::fprintf(stderr, "failed: %s\n", c.name);
            },
            runs)
            - copy;
        double theirs = Shell(convert + path + " " + c.im + " null:", runs) - base;
        std::printf("%-32s ours %8.1f ms  convert %8.1f ms  ratio %5.2f  (%s)\n", c.name, ours * 1e3, theirs * 1e3,
            ours / theirs, c.im);
    }
    std::system(("rm -rf " + dir).c_str());
    return 0;
}

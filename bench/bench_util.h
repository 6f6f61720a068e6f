// Timing and ImageMagick plumbing shared by the benchmarks that compare our
// operations with convert on the same input.
#pragma once

#include "image/picture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

// Best of `runs`: the least disturbed run is the closest to the code's cost.
inline double BenchSeconds(const std::function<void()>& f, int runs)
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

inline double BenchShell(const std::string& command, int runs)
{
    return BenchSeconds(
        [&] {
            if (std::system(command.c_str()) != 0)
                std::fprintf(stderr, "failed: %s\n", command.c_str());
        },
        runs);
}

// A 24-bit picture as binary PPM (top row first, RGB order) for convert.
inline bool BenchWritePpm(const CPicture& pic, const std::string& path)
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

// Threads each side may use: --threads=N on the command line, else 1, so
// that a ratio compares like with like.
inline int BenchThreads(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--threads=", 10) == 0) {
            int n = std::atoi(argv[i] + 10);
            return n > 0 ? n : 1;
        }
    return 1;
}

// The first argument that is not an option, as a count; else `fallback`.
inline int BenchCount(int argc, char** argv, int fallback)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--", 2) != 0) {
            int n = std::atoi(argv[i]);
            return n > 0 ? n : fallback;
        }
    return fallback;
}

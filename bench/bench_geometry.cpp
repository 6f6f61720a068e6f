// Rotation and resampling against ImageMagick's convert on the same input:
// the clock hands turned at 60 angles, quarter turns of a 4096 x 4096
// picture, and 4000 x 3000 resampled to 800 x 600 by each mode. convert's
// time is that of the run minus a run that only reads the same input, so
// start-up and file reading are not counted against it. Also: a hand turned
// with interpolation and blended onto the face against a plain fixed-point
// turn-and-blend of the same pixels, and the cost per pixel of the turns at
// 1, 4 and 16 megapixels, which should not grow with the size.
#include "bench/bench_list.h"
#include "bench/bench_util.h"
#include "image/picture.h"

#include <algorithm>
#include <chrono>
#include <cmath>
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
        std::printf("%-50s ours %8.2f ms  convert %8.2f ms  ratio %5.2f  (%s)\n", what, ours * 1e3,
            theirs * 1e3, ours / theirs, method);
    else
        std::printf("%-50s ours %8.2f ms  convert n/a (%s)\n", what, ours * 1e3, method);
}

// What drawing a turned hand needs at least: each face pixel inside the
// turned hand's box takes the bilinear (8-bit fixed-point) mix of the four
// source pixels around its source point and is blended by its alpha.
void PlainTurnAndBlend(const CPicture& hand, float angle, CPicture& face, LONG cx, LONG cy)
{
    const double theta = -double(angle) * std::acos(0.0) / 90.0;
    const float c = float(std::cos(theta)), s = float(std::sin(theta));
    const LONG hw = LONG(hand.GetWidth()), hh = LONG(hand.GetHeight());
    const LONG fw = LONG(face.GetWidth()), fh = LONG(face.GetHeight());
    const float hx = hw * 0.5f, hy = hh * 0.5f;
    const BYTE* alpha = hand.AlphaGetPointer(0, 0);
    const size_t eff = hand.GetEffWidth();
    const LONG r = LONG(std::sqrt(double(hw) * hw + double(hh) * hh) / 2) + 2;
    for (LONG y = std::max<LONG>(0, cy - r); y < std::min<LONG>(fh, cy + r); ++y) {
        BYTE* d = face.GetBits(DWORD(y));
        for (LONG x = std::max<LONG>(0, cx - r); x < std::min<LONG>(fw, cx + r); ++x) {
            const float px = float(x - cx), py = float(y - cy);
            const float X = c * px + s * py + hx - 0.5f, Y = c * py - s * px + hy - 0.5f;
            if (!(X >= 0 && Y >= 0 && X < hw - 1 && Y < hh - 1))
                continue;
            const LONG xi = LONG(X), yi = LONG(Y);
            const int a = int((X - xi) * 256), b = int((Y - yi) * 256);
            const int w11 = (a * b) >> 8, w10 = a - w11, w01 = b - w11, w00 = 256 - a - b + w11;
            const BYTE* al = alpha + size_t(yi) * hw + xi;
            const int k = (al[0] * w00 + al[1] * w10 + al[hw] * w01 + al[hw + 1] * w11) >> 8;
            if (k == 0)
                continue;
            const BYTE* r0 = hand.GetBits(DWORD(yi)) + size_t(xi) * 3;
            const BYTE* r1 = r0 + eff;
            for (int ch = 0; ch < 3; ++ch) {
                const int v = (r0[ch] * w00 + r0[ch + 3] * w10 + r1[ch] * w01 + r1[ch + 3] * w11) >> 8;
                d[x * 3 + ch] = BYTE((k * v + (255 - k) * d[x * 3 + ch]) >> 8);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = 3;
    const int threads = BenchThreads(argc, argv);
    std::string convert = "convert -limit thread " + std::to_string(threads) + " ";

    const char* const kHand = "Rotate 40x300 hand at 60 angles";
    const char* const kRight = "RotateRight 4096x4096";
    const char* const kLeft = "RotateLeft 4096x4096";
    const char* const k180 = "Rotate180 4096x4096";
    const char* const kAgainstArea = "Resample2 bilinear, averaging, vs Resample mode 0";
    const char* const kTurnBlend = "Rotate2 bilinear + Mix, 40x300 hand";
    const char* const kCopyPerPixel = "Copy into a new picture per pixel";
    CPicture photo; // 4000 x 3000, made once it is measured
    struct Case {
        const char* name;
        std::function<void(CPicture&)> run;
        const char* im;
        const char* method;
    } cases[] = {
        { "Resample mode 1 (nearest)", [&](CPicture& o) { photo.Resample(800, 600, 1, &o); },
            "-sample 800x600!", "-sample" },
        { "Resample mode 2 (B-spline)", [&](CPicture& o) { photo.Resample(800, 600, 2, &o); },
            "-filter Cubic -resize 800x600!", "-filter Cubic (widened when shrinking)" },
        { "Resample mode 0 (area average)", [&](CPicture& o) { photo.Resample(800, 600, 0, &o); },
            "-scale 800x600!", "-scale" },
        { "QIShrink", [&](CPicture& o) { photo.QIShrink(800, 600, &o); }, "-scale 800x600!", "-scale" },
        { "Resample2 bilinear, averaging, vs Box",
            [&](CPicture& o) { photo.Resample2(800, 600, CPicture::IM_BILINEAR, CPicture::OM_REPEAT, &o); },
            "-filter Box -resize 800x600!", "-filter Box" },
        { "Resample2 bilinear, averaging, vs Triangle",
            [&](CPicture& o) { photo.Resample2(800, 600, CPicture::IM_BILINEAR, CPicture::OM_REPEAT, &o); },
            "-filter Triangle -resize 800x600!", "-filter Triangle" },
        { "Resample2 bicubic a=-0.5, no averaging",
            [&](CPicture& o) {
                photo.Resample2(800, 600, CPicture::IM_BICUBIC2, CPicture::OM_REPEAT, &o, true);
            },
            "-interpolate Catrom -interpolative-resize 800x600!", "-interpolative-resize Catrom" },
    };
    const struct {
        const char* name;
        std::function<void(const CPicture&, CPicture&)> run;
    } scaling[] = {
        { "RotateRight per pixel",
            [](const CPicture& p, CPicture& o) { const_cast<CPicture&>(p).RotateRight(&o); } },
        { "Rotate 30 degrees (nearest) per pixel",
            [](const CPicture& p, CPicture& o) { const_cast<CPicture&>(p).Rotate(30, &o); } },
    };
    std::vector<const char*> names = { kHand, kRight, kLeft, k180 };
    for (auto& c : cases)
        names.push_back(c.name);
    names.insert(names.end(), { kAgainstArea, kTurnBlend, kCopyPerPixel });
    for (auto& t : scaling)
        names.push_back(t.name);
    if (BenchList(argc, argv, names))
        return 0;

    std::string dir = "/tmp/bench_geometry." + std::to_string(getpid());
    std::system(("mkdir -p " + dir).c_str());
    std::printf("convert -limit thread %d; our operations use one thread\n", threads);

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
    Report(kHand, ours, theirs, "nearest, +distort SRT");

    // Quarter turns of a 4096 x 4096 picture.
    CPicture big = Make(4096, 4096);
    std::string bigPath = dir + "/big.ppm";
    BenchWritePpm(big, bigPath);
    double base = BenchShell(convert + bigPath + " null:", runs);
    ours = BenchSeconds([&] { CPicture out; big.RotateRight(&out); }, runs);
    theirs = BenchShell(convert + bigPath + " -rotate 90 null:", runs) - base;
    Report(kRight, ours, theirs, "-rotate 90");
    ours = BenchSeconds([&] { CPicture out; big.RotateLeft(&out); }, runs);
    theirs = BenchShell(convert + bigPath + " -rotate -90 null:", runs) - base;
    Report(kLeft, ours, theirs, "-rotate -90");
    ours = BenchSeconds([&] { CPicture out; big.Rotate180(&out); }, runs);
    theirs = BenchShell(convert + bigPath + " -rotate 180 null:", runs) - base;
    Report(k180, ours, theirs, "-rotate 180");

    // 4000 x 3000 to 800 x 600.
    photo = Make(4000, 3000);
    std::string photoPath = dir + "/photo.ppm";
    BenchWritePpm(photo, photoPath);
    base = BenchShell(convert + photoPath + " null:", runs);
    for (auto& c : cases) {
        ours = BenchSeconds([&] { CPicture out; c.run(out); }, runs);
        theirs = BenchShell(convert + photoPath + " " + c.im + " null:", runs) - base;
        Report(c.name, ours, theirs, c.method);
    }
    ours = BenchSeconds([&] { CPicture o; photo.Resample2(800, 600, CPicture::IM_BILINEAR, CPicture::OM_REPEAT, &o); },
        runs);
    double area = BenchSeconds([&] { CPicture o; photo.Resample(800, 600, 0, &o); }, runs);
    std::printf("%-50s ours %8.2f ms  mode 0 %8.2f ms  ratio %5.2f\n", kAgainstArea, ours * 1e3, area * 1e3,
        ours / area);

    // A 40 x 300 hand with alpha, turned with interpolation onto a 300 x 300 face.
    CPicture rgba = Make(40, 300);
    rgba.AlphaCreate();
    for (LONG y = 0; y < 300; ++y)
        for (LONG x = 0; x < 40; ++x)
            rgba.AlphaSet(x, y, BYTE(x < 4 || x > 35 ? 0 : 255 - y / 2));
    const CPicture face = Make(300, 300);
    RGBQUAD clear = { 0, 0, 0, 0 };
    ours = BenchSeconds(
        [&] {
            for (int a = 0; a < 60; ++a) {
                CPicture turned, target(face);
                rgba.Rotate2(float(a * 6), &turned, CPicture::IM_BILINEAR, CPicture::OM_BACKGROUND, &clear);
                target.Mix(turned, CPicture::ImageOpAlphaBlend, LONG(turned.GetWidth() / 2) - 150,
                    LONG(turned.GetHeight() / 2) - 150);
            }
        },
        runs * 3);
    double copies = BenchSeconds(
        [&] {
            for (int a = 0; a < 60; ++a)
                CPicture target(face);
        },
        runs * 3);
    double plain = BenchSeconds(
        [&] {
            for (int a = 0; a < 60; ++a) {
                CPicture target(face);
                PlainTurnAndBlend(rgba, float(a * 6), target, 150, 150);
            }
        },
        runs * 3);
    std::printf(
        "%-50s ours %8.3f ms  plain %8.3f ms  ratio %5.2f  (per angle, copies of the face taken off)\n",
        kTurnBlend, (ours - copies) / 60 * 1e3, (plain - copies) / 60 * 1e3,
        (ours - copies) / (plain - copies));

    // Cost per pixel at three sizes: a turn that walks memory well costs the same.
    // A new picture's memory costs its first touch too, and past the size the
    // allocator keeps for reuse (32 MB) every picture is new memory: a plain
    // copy into a new picture of the same size shows that part, and the turn's
    // own cost is what it takes beyond the copy.
    const LONG sides[3] = { 1024, 2048, 4096 };
    double copyPerPixel[3];
    for (int k = 0; k < 3; ++k) {
        CPicture pic = Make(sides[k], sides[k]);
        copyPerPixel[k] = BenchSeconds([&] { CPicture o(pic); }, runs) * 1e9 / (double(sides[k]) * sides[k]);
    }
    std::printf("%-50s ns at 1, 4, 16 MP: %.2f %.2f %.2f\n", kCopyPerPixel, copyPerPixel[0], copyPerPixel[1],
        copyPerPixel[2]);
    for (auto& t : scaling) {
        double perPixel[3] = { 0, 0, 0 };
        for (int k = 0; k < 3; ++k) {
            CPicture pic = Make(sides[k], sides[k]);
            double seconds = BenchSeconds([&] { CPicture o; t.run(pic, o); }, runs);
            perPixel[k] = seconds * 1e9 / (double(sides[k]) * sides[k]);
        }
        std::printf("%-50s ns at 1, 4, 16 MP: %.2f %.2f %.2f  ratio 16/1 MP %5.2f, beyond the copy %5.2f\n",
            t.name, perPixel[0], perPixel[1], perPixel[2], perPixel[2] / perPixel[0],
            (perPixel[2] - copyPerPixel[2]) / (perPixel[0] - copyPerPixel[0]));
    }
    std::system(("rm -rf " + dir).c_str());
    return 0;
}

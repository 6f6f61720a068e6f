// iconmaker: draws the alarm icons of the program's icon library ("icons.icl")
// as 32 x 32 icons with alpha, and the resource script that binds them.
#include "image/picture.h"
#include "tools/drawing/drawnfiles.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kSize = 32;

struct CRgb {
    BYTE r, g, b;
};

// One icon is a list of shapes painted in order; each shape gives the share
// of a pixel it covers, so edges come out smooth.
struct CShape {
    enum Kind { DISC, RING, BOX, TRIANGLE } kind;
    double a, b, c, d, e, f; // disc/ring: cx, cy, r (ring: width in d); box: l, t, r, b; triangle: 3 points
    CRgb color;
};

double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Coverage of the pixel centred at (x, y) by the shape, from a signed distance.
double Coverage(const CShape& s, double x, double y)
{
    switch (s.kind) {
    case CShape::DISC:
        return Clamp01(s.c - std::hypot(x - s.a, y - s.b) + 0.5);
    case CShape::RING: {
        const double dist = std::fabs(std::hypot(x - s.a, y - s.b) - s.c);
        return Clamp01(s.d / 2 - dist + 0.5);
    }
    case CShape::BOX: {
        const double dx = std::fmin(x - s.a, s.c - x), dy = std::fmin(y - s.b, s.d - y);
        return Clamp01(std::fmin(dx, dy) + 0.5);
    }
    case CShape::TRIANGLE: {
        const double px[3] = {s.a, s.c, s.e}, py[3] = {s.b, s.d, s.f};
        double area = (px[1] - px[0]) * (py[2] - py[0]) - (py[1] - py[0]) * (px[2] - px[0]);
        const double sign = area < 0 ? -1 : 1;
        double inside = 1e9;
        for (int i = 0; i < 3; i++) {
            const int j = (i + 1) % 3;
            const double ex = px[j] - px[i], ey = py[j] - py[i];
            const double len = std::hypot(ex, ey);
            if (len == 0)
                return 0;
            inside = std::fmin(inside, sign * (ex * (y - py[i]) - ey * (x - px[i])) / len);
        }
        return Clamp01(inside + 0.5);
    }
    }
    return 0;
}

CShape Disc(double cx, double cy, double r, CRgb c) { return {CShape::DISC, cx, cy, r, 0, 0, 0, c}; }
CShape Ring(double cx, double cy, double r, double w, CRgb c) { return {CShape::RING, cx, cy, r, w, 0, 0, c}; }
CShape Box(double l, double t, double r, double b, CRgb c) { return {CShape::BOX, l, t, r, b, 0, 0, c}; }
CShape Tri(double x1, double y1, double x2, double y2, double x3, double y3, CRgb c)
{
    return {CShape::TRIANGLE, x1, y1, x2, y2, x3, y3, c};
}

const CRgb kInk = {40, 40, 48}, kWhite = {250, 250, 250}, kGold = {230, 180, 40}, kRed = {210, 40, 40},
           kBlue = {50, 100, 210}, kGreen = {40, 160, 70}, kSky = {120, 190, 240}, kBrown = {140, 90, 40};

std::vector<std::vector<CShape>> Icons()
{
    return {
        // alarm clock
        {Disc(9, 7, 5, kRed), Disc(23, 7, 5, kRed), Disc(16, 17, 12, kRed), Disc(16, 17, 9.5, kWhite),
         Box(15, 9, 17, 18, kInk), Box(15, 16, 22, 18, kInk), Box(8, 27, 11, 31, kInk), Box(21, 27, 24, 31, kInk)},
        // bell
        {Disc(16, 14, 10, kGold), Box(6, 14, 26, 25, kGold), Box(4, 24, 28, 27, kGold), Disc(16, 29, 3, kBrown),
         Disc(16, 4, 2.5, kGold)},
        // wall clock
        {Disc(16, 16, 15, kBlue), Disc(16, 16, 12.5, kWhite), Box(15, 6, 17, 17, kInk), Box(15, 15, 24, 17, kInk),
         Disc(16, 16, 2, kRed)},
        // envelope
        {Box(2, 7, 30, 25, kWhite), Tri(2, 7, 30, 7, 16, 18, kSky), Box(2, 24, 30, 25.5, kInk),
         Box(2, 6.5, 3.5, 25, kInk), Box(28.5, 6.5, 30, 25, kInk)},
        // musical note
        {Disc(10, 25, 5, kInk), Box(13, 5, 15.5, 25, kInk), Tri(13, 5, 25, 9, 13, 13, kInk)},
        // star
        {Tri(16, 2, 20, 13, 12, 13, kGold), Tri(2, 12, 30, 12, 16, 21, kGold), Tri(16, 19, 7, 30, 11, 17, kGold),
         Tri(16, 19, 25, 30, 21, 17, kGold)},
        // heart
        {Disc(10.5, 11, 7, kRed), Disc(21.5, 11, 7, kRed), Tri(3.6, 13, 28.4, 13, 16, 29, kRed)},
        // sun
        {Disc(16, 16, 8, kGold), Ring(16, 16, 12.5, 2.5, kGold)},
        // moon
        {Disc(15, 16, 12, kGold), Disc(21, 12, 10, {0, 0, 0})},
        // cup of coffee
        {Box(5, 10, 22, 27, kBrown), Ring(23, 17, 4.5, 2.5, kBrown), Box(3, 27, 26, 29, kInk), Box(8, 4, 9.5, 8, kSky),
         Box(13, 3, 14.5, 8, kSky), Box(18, 4, 19.5, 8, kSky)},
        // calendar
        {Box(3, 5, 29, 29, kWhite), Box(3, 5, 29, 11, kRed), Box(7, 2, 9, 8, kInk), Box(23, 2, 25, 8, kInk),
         Box(7, 14, 11, 18, kInk), Box(14, 14, 18, 18, kInk), Box(21, 14, 25, 18, kInk), Box(7, 21, 11, 25, kInk),
         Box(14, 21, 18, 25, kGreen)},
        // exclamation
        {Tri(16, 1, 31, 29, 1, 29, kGold), Box(14.5, 10, 17.5, 21, kInk), Disc(16, 25, 1.8, kInk)},
        // house
        {Tri(16, 2, 30, 15, 2, 15, kRed), Box(6, 14, 26, 29, kWhite), Box(13, 19, 19, 29, kBrown)},
        // gift
        {Box(4, 12, 28, 29, kGreen), Box(2, 9, 30, 14, kGreen), Box(14.5, 9, 17.5, 29, kRed), Ring(12, 7, 3.5, 2, kRed),
         Ring(20, 7, 3.5, 2, kRed)},
        // telephone
        {Box(4, 9, 28, 14, kInk), Disc(6, 13, 3, kInk), Disc(26, 13, 3, kInk), Box(9, 15, 23, 29, kInk),
         Disc(16, 22, 4, kWhite)},
        // key
        {Ring(9, 16, 5.5, 3, kGold), Box(14, 14.5, 30, 17.5, kGold), Box(24, 17, 26.5, 22, kGold),
         Box(28, 17, 30, 21, kGold)},
    };
}

// Pure black paints transparency: the moon's bite is cut out of its disc.
bool IsEraser(const CRgb& c) { return c.r == 0 && c.g == 0 && c.b == 0; }

bool DrawIcon(const std::vector<CShape>& shapes, const std::string& path)
{
    CPicture picture;
    if (picture.Create(kSize, kSize, 24) == nullptr || !picture.AlphaCreate())
        return false;
    picture.Clear(0);
    picture.AlphaSet(0);
    for (int y = 0; y < kSize; y++) {
        for (int x = 0; x < kSize; x++) {
            double r = 0, g = 0, b = 0, a = 0;
            for (const CShape& s : shapes) {
                const double k = Coverage(s, x + 0.5, y + 0.5);
                if (k <= 0)
                    continue;
                if (IsEraser(s.color)) {
                    a *= 1 - k;
                    continue;
                }
                r = r * (1 - k) + s.color.r * k;
                g = g * (1 - k) + s.color.g * k;
                b = b * (1 - k) + s.color.b * k;
                a = a * (1 - k) + k;
            }
            // Stored rows are bottom-up.
            const LONG py = kSize - 1 - y;
            picture.SetPixelColor(x, py, RGB(BYTE(r + 0.5), BYTE(g + 0.5), BYTE(b + 0.5)));
            picture.AlphaSet(x, py, BYTE(a * 255 + 0.5));
        }
    }
    BYTE* pBuffer = nullptr;
    LONG nSize = 0;
    if (!picture.Encode(pBuffer, nSize, PIC_FORMAT_ICO) || pBuffer == nullptr)
        return false;
    const std::string bytes(reinterpret_cast<const char*>(pBuffer), size_t(nSize));
    CPicture::FreeMemory(pBuffer);
    return drawing::WriteIfChanged(path, bytes);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: iconmaker FOLDER NAME...  (writes the icons NAME... and icons.rc there)\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<std::vector<CShape>> icons = Icons();
    std::vector<std::string> names;
    for (size_t i = 0; i < icons.size(); i++) {
        char name[16];
        std::snprintf(name, sizeof name, "%02u.ico", unsigned(i + 1));
        names.push_back(name);
    }
    if (!drawing::SameNames("iconmaker", names, argc, argv, 2))
        return 2;
    std::string script = "// Made by iconmaker: the alarm icons, in the order the editor shows them.\n";
    for (size_t i = 0; i < icons.size(); i++) {
        if (!DrawIcon(icons[i], folder + "/" + names[i])) {
            std::fprintf(stderr, "iconmaker: cannot write %s/%s\n", folder.c_str(), names[i].c_str());
            return 1;
        }
        script += std::to_string(i + 1) + " ICON \"" + names[i] + "\"\n";
    }
    if (!drawing::WriteIfChanged(folder + "/icons.rc", script)) {
        std::fprintf(stderr, "iconmaker: cannot write %s/icons.rc\n", folder.c_str());
        return 1;
    }
    return 0;
}

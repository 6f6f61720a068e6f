// browserart: draws the Skin Browser's JPEG pictures into a folder:
// background.jpg (the whole client area, with the preview frame 215 pixels
// left of its right edge and 35 below its top), nopreview.jpg (195 x 195) and
// buttons_normal/hover/pressed.jpg (five equal bands from the top: Connect,
// analog skins, digital skins, Options, Help).
#include "image/picture.h"
#include "tools/drawing/drawnfiles.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct CRgb {
    double r, g, b;
};

CRgb Mix(const CRgb& a, const CRgb& b, double k)
{
    return {a.r + (b.r - a.r) * k, a.g + (b.g - a.g) * k, a.b + (b.b - a.b) * k};
}

double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Coverage of a pixel centred at (x, y): discs, rings and boxes with soft edges.
double Disc(double x, double y, double cx, double cy, double r) { return Clamp01(r - std::hypot(x - cx, y - cy) + 0.5); }
double Ring(double x, double y, double cx, double cy, double r, double w)
{
    return Clamp01(w / 2 - std::fabs(std::hypot(x - cx, y - cy) - r) + 0.5);
}
double Box(double x, double y, double l, double t, double r, double b)
{
    return Clamp01(std::fmin(std::fmin(x - l, r - x), std::fmin(y - t, b - y)) + 0.5);
}
// A thick segment from (x1, y1) to (x2, y2).
double Line(double x, double y, double x1, double y1, double x2, double y2, double w)
{
    const double dx = x2 - x1, dy = y2 - y1, len2 = dx * dx + dy * dy;
    const double t = len2 == 0 ? 0 : Clamp01(((x - x1) * dx + (y - y1) * dy) / len2);
    return Clamp01(w / 2 - std::hypot(x - (x1 + t * dx), y - (y1 + t * dy)) + 0.5);
}

using CPainter = std::function<CRgb(double x, double y)>;

bool Write(const std::string& path, int nWidth, int nHeight, const CPainter& paint)
{
    CPicture picture;
    if (picture.Create(nWidth, nHeight, 24) == nullptr)
        return false;
    for (int y = 0; y < nHeight; y++) {
        for (int x = 0; x < nWidth; x++) {
            const CRgb c = paint(x + 0.5, y + 0.5);
            // Stored rows are bottom-up.
            picture.SetPixelColor(x, nHeight - 1 - y,
                                  RGB(BYTE(c.r * 255 + 0.5), BYTE(c.g * 255 + 0.5), BYTE(c.b * 255 + 0.5)));
        }
    }
    picture.SetJpegQuality(92);
    BYTE* pBuffer = nullptr;
    LONG nSize = 0;
    if (!picture.Encode(pBuffer, nSize, PIC_FORMAT_JPG) || pBuffer == nullptr)
        return false;
    const std::string bytes(reinterpret_cast<const char*>(pBuffer), size_t(nSize));
    CPicture::FreeMemory(pBuffer);
    return drawing::WriteIfChanged(path, bytes);
}

const CRgb kWhite = {1, 1, 1}, kInk = {0.16, 0.18, 0.25}, kBlue = {0.16, 0.36, 0.75}, kSky = {0.80, 0.88, 0.98},
           kGrey = {0.62, 0.65, 0.70}, kRed = {0.80, 0.18, 0.16}, kGold = {0.95, 0.72, 0.18};

const int kBackWidth = 778, kBackHeight = 497;
// A band is as wide as the widest the buttons come out (65 dialog units under
// Wine's fonts); the glyph sits in the middle of the narrowest (Windows').
const int kBand = 90, kSheetWidth = 116, kGlyphX = 53;

// The client area: a blue column behind the buttons, white elsewhere, and a
// thin frame around the preview.
CRgb Background(double x, double y)
{
    CRgb c = x < 112 ? Mix(kSky, kBlue, Clamp01(y / kBackHeight) * 0.35) : kWhite;
    if (x >= 112 && x < 116)
        c = Mix(kSky, kWhite, (x - 112) / 4);
    const double l = kBackWidth - 215 - 2, t = 35 - 2, r = l + 195 + 4, b = t + 195 + 4;
    const double frame = Box(x, y, l, t, r, b) - Box(x, y, l + 1.5, t + 1.5, r - 1.5, b - 1.5);
    return Mix(c, kGrey, Clamp01(frame));
}

// No preview: a pale picture frame with a crossed-out landscape.
CRgb NoPreview(double x, double y)
{
    CRgb c = Mix(kWhite, kSky, 0.5);
    c = Mix(c, kWhite, Box(x, y, 45, 55, 150, 140));
    c = Mix(c, kGold, Disc(x, y, 120, 78, 10));
    const double hill = Clamp01((y - (140 - 45 * std::exp(-std::pow((x - 85) / 28, 2)))) + 0.5) * Box(x, y, 45, 55, 150, 140);
    c = Mix(c, kGrey, hill);
    c = Mix(c, kGrey, Clamp01(Box(x, y, 45, 55, 150, 140) - Box(x, y, 47, 57, 148, 138)));
    c = Mix(c, kRed, std::fmax(Line(x, y, 40, 50, 155, 145, 6), Line(x, y, 155, 50, 40, 145, 6)));
    return c;
}

// One button's glyph, centred at (cx, cy).
double Glyph(int nButton, double x, double y, double cx, double cy)
{
    switch (nButton) {
    case 0: // Connect: a globe
        return std::fmax(std::fmax(Ring(x, y, cx, cy, 22, 3), Line(x, y, cx - 22, cy, cx + 22, cy, 2.5)),
                         std::fmax(Line(x, y, cx, cy - 22, cx, cy + 22, 2.5),
                                   Clamp01(1.5 - std::fabs(std::hypot((x - cx) * 2, y - cy) - 22) + 0.5)));
    case 1: // analog skins: a clock face
        return std::fmax(Ring(x, y, cx, cy, 22, 3.5),
                         std::fmax(Line(x, y, cx, cy, cx, cy - 15, 3.5), Line(x, y, cx, cy, cx + 11, cy + 4, 3.5)));
    case 2: { // digital skins: "8:8" in segments
        double v = 0;
        for (int d = 0; d < 2; d++) {
            const double ox = cx - 24 + d * 32;
            v = std::fmax(v, Box(x, y, ox, cy - 20, ox + 16, cy + 20) - Box(x, y, ox + 3.5, cy - 16.5, ox + 12.5, cy - 1.75)
                                 - Box(x, y, ox + 3.5, cy + 1.75, ox + 12.5, cy + 16.5));
        }
        v = std::fmax(v, std::fmax(Disc(x, y, cx, cy - 7, 2.5), Disc(x, y, cx, cy + 7, 2.5)));
        return Clamp01(v);
    }
    case 3: { // Options: a cog
        const double a = std::atan2(y - cy, x - cx), d = std::hypot(x - cx, y - cy);
        const double rim = 17 + (std::cos(a * 8) > 0.2 ? 6 : 0);
        return Clamp01(rim - d + 0.5) * (1 - Disc(x, y, cx, cy, 7));
    }
    default: // Help: an "i" in a ring
        return std::fmax(Ring(x, y, cx, cy, 22, 3), std::fmax(Disc(x, y, cx, cy - 10, 3.5), Box(x, y, cx - 3, cy - 3, cx + 3, cy + 14)));
    }
}

// A sheet of the five buttons in one state: 0 normal, 1 hover, 2 pressed.
CPainter Sheet(int nState)
{
    return [nState](double x, double y) {
        const int nButton = int(y) / kBand;
        const double top = nButton * kBand, cy = top + kBand / 2.0 + (nState == 2 ? 1 : 0);
        const double cx = kGlyphX + (nState == 2 ? 1 : 0);
        const CRgb face = nState == 0 ? kSky : (nState == 1 ? Mix(kSky, kGold, 0.35) : Mix(kSky, kBlue, 0.35));
        CRgb c = Mix(kBlue, face, Box(x, y, 3, top + 3, kSheetWidth - 3, top + kBand - 3));
        return Mix(c, nState == 1 ? kBlue : kInk, Glyph(nButton, x, y, cx, cy));
    };
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: browserart FOLDER NAME...  (writes the Skin Browser's pictures NAME... there)\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    struct {
        const char* pszName;
        int nWidth, nHeight;
        CPainter paint;
    } pictures[] = {
        {"background.jpg", kBackWidth, kBackHeight, Background},
        {"nopreview.jpg", 195, 195, NoPreview},
        {"buttons_normal.jpg", kSheetWidth, 5 * kBand, Sheet(0)},
        {"buttons_hover.jpg", kSheetWidth, 5 * kBand, Sheet(1)},
        {"buttons_pressed.jpg", kSheetWidth, 5 * kBand, Sheet(2)},
    };
    std::vector<std::string> names;
    for (const auto& p : pictures)
        names.push_back(p.pszName);
    if (!drawing::SameNames("browserart", names, argc, argv, 2))
        return 2;
    for (const auto& p : pictures) {
        if (!Write(folder + "/" + p.pszName, p.nWidth, p.nHeight, p.paint)) {
            std::fprintf(stderr, "browserart: cannot write %s/%s\n", folder.c_str(), p.pszName);
            return 1;
        }
    }
    return 0;
}

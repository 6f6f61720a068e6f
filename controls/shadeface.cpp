#include "controls/shadeface.h"

#include <algorithm>
#include <cstdlib>

int ShadeDefaultRandom() { return std::rand() & 0x7FFF; }

namespace {

// Cube over 128 twice, as the pattern's curve takes it.
int Curve(int t) { return t * t * t / 128 / 128; }

}  // namespace

BOOL ShadeNormalSurface(CDib& dib, int w, int h, UINT nKind, BYTE nGrain, BYTE nColouring, COLORREF crColour,
                        const SHADECOLOURS& c, const ShadeRandom& fnRandom) {
    // Kind 7 divides by a sixth of the width and 8 by the size over 32767.
    if (w <= 0 || h <= 0 || (nKind == 7 && w < 6) || dib.Create(w, h, 8) == nullptr)
        return FALSE;
    for (int i = 0; i <= 128; ++i)
        dib.SetPaletteIndex(i, (BYTE)(((128 - i) * GetRValue(c.crShadow) + i * GetRValue(c.crFace)) / 128),
                            (BYTE)(((128 - i) * GetGValue(c.crShadow) + i * GetGValue(c.crFace)) / 128),
                            (BYTE)(((128 - i) * GetBValue(c.crShadow) + i * GetBValue(c.crFace)) / 128));
    for (int i = 1; i <= 128; ++i)
        dib.SetPaletteIndex(127 + i, (BYTE)(((128 - i) * GetRValue(c.crFace) + i * GetRValue(c.crHighlight)) / 128),
                            (BYTE)(((128 - i) * GetGValue(c.crFace) + i * GetGValue(c.crHighlight)) / 128),
                            (BYTE)(((128 - i) * GetBValue(c.crFace) + i * GetBValue(c.crHighlight)) / 128));
    dib.BlendPalette(crColour, nColouring);

    const int g = nGrain;
    const int k = 32767 / std::max(1, 2 * g);
    auto grain = [&] { return fnRandom() / k - g; };
    BYTE* pBits = dib.GetBits();
    const int nLine = dib.GetLineWidth();
    // y counts rows from the bottom, the order of the rows in memory.
    auto px = [&](int x, int y) -> BYTE& { return pBits[(size_t)y * nLine + x]; };
    auto curveT = [&](int y) { return y * 255 / h - 127; };
    auto curveU = [&](int x) { return (w - x) * 255 / w - 127; };

    switch (nKind) {
    case 1: {
        const int a = (255 - 2 * g) / 2;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px(x, y) = (BYTE)(g + a * y / h + a * (w - x) / w + grain());
        break;
    }
    case 2: {
        const int a = 255 - 2 * g;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px(x, y) = (BYTE)(g + a * y / h + grain());
        break;
    }
    case 3: {
        const int a = 255 - 2 * g;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px(x, y) = (BYTE)(g + a * (w - x) / w + grain());
        break;
    }
    case 4:
    case 5:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int t = nKind == 4 ? curveT(y) : curveU(x);
                px(x, y) = (BYTE)(128 + (Curve(t) * (128 - g)) / 128 + grain());
            }
        break;
    case 6:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int v = 128 + ((Curve(curveT(y)) + Curve(curveU(x))) * (128 - g)) / 128;
                v = std::max(g, std::min(255 - g, v));
                px(x, y) = (BYTE)(v + grain());
            }
        break;
    case 7: {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px(x, y) = (BYTE)(128 + (Curve(curveT(y)) * (128 - 2 * g)) / 128 + grain());
        const int r = std::min(w / 6, 16), q = std::max(1, h * h / 4);
        for (int y = 0; y < h; ++y) {
            const int dy = y - h / 2;
            const int e = (w / 2 - r) + dy * dy * r / q;
            for (int x = 0; x < w; ++x) {
                const int dx = x - w / 2;
                if (dx > e)
                    px(x, y) = (BYTE)(g + (w - x) * 128 / r);
                else if (dx + e < 0)
                    px(x, y) = (BYTE)((255 - g) - x * 128 / r);
            }
        }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px(x, y) = (BYTE)(px(x, y) + grain());
        break;
    }
    case 8: {
        dib.Clear(0);
        const int kx = std::max(1, 32767 / w), ky = std::max(1, 32767 / h), kl = std::max(1, 32767 / std::min(w, h)),
                  kv = 32767 / 40;
        // Strokes count rows from the top.
        auto top = [&](int x, int yTop) -> BYTE& { return px(x, h - 1 - yTop); };
        for (int n = 0; n < 200; ++n) {
            const int x0 = fnRandom() / kx, y0 = fnRandom() / ky;
            const int nLength = (fnRandom() / kl) / 2;
            const BYTE v = (BYTE)(fnRandom() / kv);
            for (int i = 0; i < nLength; ++i) {
                if (x0 - i > 0 && y0 + i < h && x0 - i < w && y0 + i >= 0)
                    top(x0 - i, y0 + i) = v;
                const int x1 = w - x0 + i, y1 = y0 - i;
                if (x0 + i < w && y0 - i > 0 && x1 >= 0 && x1 < w && y1 < h)
                    top(x1, y1) = v;
            }
        }
        const int a = (255 - 2 * g - 40) / 2;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px(x, y) = (BYTE)(px(x, y) + a * y / h + a * (w - x) / w + fnRandom() / k);
        break;
    }
    default:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px(x, y) = (BYTE)(128 + grain());
        break;
    }
    return TRUE;
}

BOOL ShadeSurfaces(CDib& normal, CDib& down, CDib& disabled, CDib& over, int nWidth, int nHeight, UINT nKind,
                   BYTE nGrain, BYTE nHighlight, BYTE nColouring, COLORREF crColour, const SHADECOLOURS& colours,
                   const ShadeRandom& fnRandom) {
    if (!ShadeNormalSurface(normal, nWidth, nHeight, nKind, nGrain, nColouring, crColour, colours, fnRandom)) {
        normal.Release();
        down.Release();
        disabled.Release();
        over.Release();
        return FALSE;
    }
    disabled.Clone(normal);
    over.Clone(normal);
    over.BlendPalette(colours.crHighlight, nHighlight);
    down.Clone(over);
    return TRUE;
}

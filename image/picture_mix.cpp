// Mixing a second picture into this one pixel by pixel, and pasting with a
// transparent colour.
#include "image/picture.h"
#include "image/picture_ops.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace picops;

namespace {

BYTE AddSat(BYTE a, BYTE b) { return BYTE(a + b > 255 ? 255 : a + b); }
BYTE SubSat(BYTE a, BYTE b) { return BYTE(a > b ? a - b : 0); }

// Alpha blending of a true-colour picture with an alpha plane onto a
// true-colour picture, neither with a selection: what drawing a turned clock
// hand does every second. Rows are read and written in place (the source is
// another picture) and pixels whose alpha is 0 are passed over; the result
// is the general path's, pixel for pixel.
void BlendRows(CPicture& dst, const CPicture& src, LONG w, LONG h, LONG dx, LONG dy)
{
    const int64_t srcW = src.GetWidth(), srcH = src.GetHeight();
    // Destination columns and rows whose source pixel lies inside the source.
    const LONG x0 = LONG(std::max<int64_t>(0, -int64_t(dx)));
    const LONG x1 = LONG(std::min<int64_t>(w, srcW - dx));
    const LONG y0 = LONG(std::max<int64_t>(0, -int64_t(dy)));
    const LONG y1 = LONG(std::min<int64_t>(h, srcH - dy));
    const BYTE* srcAlpha = src.AlphaGetPointer(0, 0);
    const int alphaScale = src.AlphaGetMax() + 1;
    for (LONG y = y0; y < y1; ++y) {
        BYTE* d = dst.GetBits(DWORD(y)) + size_t(x0) * 3;
        const LONG sy = y + dy;
        const BYTE* f = src.GetBits(DWORD(sy)) + size_t(x0 + dx) * 3;
        const BYTE* fa = srcAlpha + size_t(sy) * size_t(srcW) + size_t(x0 + dx);
        for (LONG x = x0; x < x1; ++x, d += 3, f += 3, ++fa) {
            const int a = (alphaScale * *fa) >> 8;
            if (a == 0)
                continue;
            if (a == 255) {
                d[0] = f[0];
                d[1] = f[1];
                d[2] = f[2];
                continue;
            }
            d[0] = BYTE((a * f[0] + (255 - a) * d[0]) >> 8);
            d[1] = BYTE((a * f[1] + (255 - a) * d[1]) >> 8);
            d[2] = BYTE((a * f[2] + (255 - a) * d[2]) >> 8);
        }
    }
}

} // namespace

bool CPicture::Mix(CPicture& source, ImageOpType op, LONG dx, LONG dy, bool mixAlpha)
{
    if (!dibBlock || !source.IsValid())
        return false;
    // Checked before anything changes: an unknown operation is no operation.
    if (int(op) < ImageOpAdd || int(op) > ImageOpAlphaBlend)
        return SetError("Mix: unknown operation");

    // Overlap size with the unsigned differences of the original rule.
    DWORD dw = GetWidth(), dh = GetHeight();
    DWORD sw = source.GetWidth() - DWORD(dx), sh = source.GetHeight() - DWORD(dy);
    LONG w = LONG(dw >= sw ? sw : dw), h = LONG(dh >= sh ? sh : dh);

    if (op == ImageOpAlphaBlend && &source != this && !info.escape && header.biBitCount == 24
        && source.GetBpp() == 24 && source.AlphaIsValid() && source.GetTransIndex() == -1
        && !(mixAlpha && source.AlphaIsValid()) && !SelectionIsValid() && !source.SelectionIsValid()) {
        BlendRows(*this, source, w, h, dx, dy);
        return true;
    }

    // Worked in a copy: the source may be this picture, and a cancelled mix
    // must leave the destination as it was.
    CPicture tmp(*this, true, true, true);
    if (!tmp.IsValid())
        return SetError("Mix: no memory for the working copy");
    bool editAlpha = mixAlpha && source.AlphaIsValid();
    if (editAlpha && !tmp.AlphaCreate())
        return SetError("Mix: no memory for the alpha plane");
    RGBQUAD key = GetTransColor();

    for (LONG y = 0; y < h; ++y) {
        info.progress = LONG(int64_t(y) * 100 / LONG(dh));
        if (info.escape)
            return false;
        for (LONG x = 0; x < w; ++x) {
            // Source coordinates in 64 bits, held outside the picture when
            // they pass the LONG range.
            int64_t sx64 = int64_t(x) + dx, sy64 = int64_t(y) + dy;
            LONG sx = sx64 > INT32_MAX ? -1 : LONG(sx64), sy = sy64 > INT32_MAX ? -1 : LONG(sy64);
            if (!SelectionIsInside(x, y) || !source.SelectionIsInside(sx, sy))
                continue;
            // Read from the copy: it carries an alpha plane made for editing.
            RGBQUAD b = tmp.GetPixelColor(x, y, true);
            RGBQUAD f = source.GetPixelColor(sx, sy, true);
            RGBQUAD d = b;
            switch (op) {
            case ImageOpAdd:
                d = Quad(AddSat(b.rgbRed, f.rgbRed), AddSat(b.rgbGreen, f.rgbGreen), AddSat(b.rgbBlue, f.rgbBlue),
                    AddSat(b.rgbReserved, f.rgbReserved));
                break;
            case ImageOpAnd:
                d = Quad(BYTE(b.rgbRed & f.rgbRed), BYTE(b.rgbGreen & f.rgbGreen), BYTE(b.rgbBlue & f.rgbBlue),
                    BYTE(b.rgbReserved & f.rgbReserved));
                break;
            case ImageOpXor:
                d = Quad(BYTE(b.rgbRed ^ f.rgbRed), BYTE(b.rgbGreen ^ f.rgbGreen), BYTE(b.rgbBlue ^ f.rgbBlue),
                    BYTE(b.rgbReserved ^ f.rgbReserved));
                break;
            case ImageOpOr:
                d = Quad(BYTE(b.rgbRed | f.rgbRed), BYTE(b.rgbGreen | f.rgbGreen), BYTE(b.rgbBlue | f.rgbBlue),
                    BYTE(b.rgbReserved | f.rgbReserved));
                break;
            case ImageOpMask:
                d = (f.rgbRed == 0 && f.rgbGreen == 0 && f.rgbBlue == 0) ? key : b;
                break;
            case ImageOpUnderlay:
                d = SameQuad(b, key) ? f : b;
                break;
            case ImageOpOverlay:
                d = SameQuad(f, key) ? b : f;
                break;
            case ImageOpSub:
                d = Quad(SubSat(b.rgbRed, f.rgbRed), SubSat(b.rgbGreen, f.rgbGreen), SubSat(b.rgbBlue, f.rgbBlue),
                    SubSat(b.rgbReserved, f.rgbReserved));
                break;
            case ImageOpKeyBlend:
                if (SameQuad(b, key)) {
                    d = f;
                } else {
                    int dist = (std::abs(b.rgbRed - key.rgbRed) + std::abs(b.rgbGreen - key.rgbGreen)
                                   + std::abs(b.rgbBlue - key.rgbBlue))
                        / 3;
                    if (dist < 17) {
                        // The blended pixel keeps the destination's alpha byte.
                        double keep = dist * 0.0625, take = (16 - dist) * 0.0625;
                        d = Quad(ClampTrunc(b.rgbRed * keep + f.rgbRed * take),
                            ClampTrunc(b.rgbGreen * keep + f.rgbGreen * take),
                            ClampTrunc(b.rgbBlue * keep + f.rgbBlue * take), b.rgbReserved);
                    }
                }
                break;
            case ImageOpAlphaBlend: {
                // Transparency is tested where the source is read.
                int a;
                if (source.IsTransparent(sx, sy)) {
                    d = b;
                    a = 0;
                } else if (source.AlphaIsValid()) {
                    a = ((source.AlphaGetMax() + 1) * source.AlphaGet(sx, sy)) >> 8;
                    if (a == 0) {
                        d = b;
                    } else if (a == 255) {
                        d = f;
                    } else {
                        d = Quad(BYTE((a * f.rgbRed + (255 - a) * b.rgbRed) >> 8),
                            BYTE((a * f.rgbGreen + (255 - a) * b.rgbGreen) >> 8),
                            BYTE((a * f.rgbBlue + (255 - a) * b.rgbBlue) >> 8));
                    }
                } else {
                    a = 255;
                    d = f;
                }
                d.rgbReserved = BYTE(((b.rgbReserved + 1) * a) >> 8);
                break;
            }
            }
            tmp.SetPixelColor(x, y, d, editAlpha);
        }
    }
    return Transfer(tmp);
}

void CPicture::MixFrom(CPicture& source, LONG dx, LONG dy)
{
    if (!dibBlock || !source.IsValid())
        return;
    // Pasting a picture onto itself reads the unchanged original.
    CPicture copy;
    const CPicture* from = &source;
    if (&source == this) {
        if (!copy.Copy(source, true, true, true) || !copy.IsValid())
            return;
        from = &copy;
    }
    RGBQUAD key = from->GetTransColor();
    LONG w = LONG(from->GetWidth()), h = LONG(from->GetHeight());
    for (LONG x = 0; x < w; ++x)
        for (LONG y = 0; y < h; ++y) {
            RGBQUAD c = from->GetPixelColor(x, y, true);
            int64_t tx = int64_t(x) + dx, ty = int64_t(y) + dy;
            if (!SameQuad(c, key) && tx >= 0 && ty >= 0 && tx <= INT32_MAX && ty <= INT32_MAX)
                SetPixelColor(LONG(tx), LONG(ty), c, false);
        }
}

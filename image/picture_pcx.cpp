#include "image/picture_pcx.h"

#include "image/byteorder.h"
#include "image/checked_math.h"

#include <cstring>
#include <string>

namespace {


void ParseHeader(const BYTE* raw, CPcxHeader& h)
{
    h.manufacturer = raw[0];
    h.version = raw[1];
    h.encoding = raw[2];
    h.bitsPerPixel = static_cast<signed char>(raw[3]);
    h.xMin = PicGetU16(raw + 4);
    h.yMin = PicGetU16(raw + 6);
    h.xMax = PicGetU16(raw + 8);
    h.yMax = PicGetU16(raw + 10);
    h.hDpi = PicGetU16(raw + 12);
    h.vDpi = PicGetU16(raw + 14);
    std::memcpy(h.colorMap, raw + 16, 48);
    h.reserved = raw[64];
    h.colorPlanes = static_cast<signed char>(raw[65]);
    h.bytesPerLine = PicGetU16(raw + 66);
    h.paletteInfo = PicGetU16(raw + 68);
}

// The (bits, planes) pairs of the format: mono, CGA, 16 colours packed or in
// four planes, 256 colours, true colour with and without alpha.
bool KnownLayout(int bits, int planes)
{
    return (planes == 1 && (bits == 1 || bits == 2 || bits == 4 || bits == 8)) || (bits == 1 && planes == 4)
        || (bits == 8 && (planes == 3 || planes == 4));
}

} // namespace

bool CPicturePCX::Decode(FILE* stream)
{
    CPicIOFile file(stream);
    return Decode(&file);
}

bool CPicturePCX::Encode(FILE* stream)
{
    CPicIOFile file(stream);
    return Encode(&file);
}

bool CPicturePCX::Decode(CPicFile* file)
{
    if (!file)
        return SetError("null file handler");
    BYTE raw[128];
    if (!PicReadExact(file, raw, sizeof(raw)))
        return SetError("Can't read PCX image");
    CPcxHeader h;
    ParseHeader(raw, h);
    if (h.manufacturer != 10)
        return SetError("Error: Not a PCX file");
    if (h.encoding != 1)
        return SetError("PCX file has unknown encoding scheme");
    if (h.colorPlanes > 4)
        return SetError("Can't handle image with more than 4 planes");
    const int bits = h.bitsPerPixel, planes = h.colorPlanes;
    if (!KnownLayout(bits, planes))
        return SetError("PCX: unsupported bits per pixel and planes");
    if (h.xMax < h.xMin || h.yMax < h.yMin)
        return SetError("PCX: bad image size");
    const DWORD width = DWORD(h.xMax) - h.xMin + 1, height = DWORD(h.yMax) - h.yMin + 1;
    const DWORD bytesPerLine = h.bytesPerLine;
    if (uint64_t(bytesPerLine) * 8 < uint64_t(width) * DWORD(bits))
        return SetError("PCX: bytes per line do not cover the width");

    // Runs expand 2 bytes to at most 63: more than that from what is left is a lie.
    size_t lineBytes = size_t(bytesPerLine) * DWORD(planes);
    size_t total;
    LONG here = file->Tell(), size = file->Size();
    uint64_t left = (here >= 0 && size > here) ? uint64_t(size - here) : 0;
    if (!PicCheckedMulSize(lineBytes, height, total) || total > left * 32)
        return SetError("corrupted PCX");

    DWORD bpp = planes >= 3 && bits == 8 ? 24 : (planes == 4 ? 4 : DWORD(bits));
    if (!CreateForDecode(width, height, bpp, PIC_FORMAT_PCX, "PCX: can't allocate memory"))
        return false;
    info.xDpi = LONG(h.hDpi);
    info.yDpi = LONG(h.vDpi);

    auto fail = [&](const char* text) {
        std::string kept = text;
        Destroy();
        return SetError(kept.c_str());
    };
    if (planes == 4 && bits == 8 && !AlphaCreate())
        return fail("PCX: can't allocate memory");
    if (info.escape)
        return fail("Cancelled");

    std::vector<BYTE> image(total);
    for (size_t at = 0; at < total;) {
        LONG c = file->GetC();
        if (c < 0)
            return fail("corrupted PCX");
        size_t count = 1;
        if ((c & 0xC0) == 0xC0) {
            count = size_t(c & 0x3F);
            c = file->GetC();
            if (c < 0)
                return fail("corrupted PCX");
            if (count > total - at)
                return fail("repeat count spans end of image");
        }
        std::memset(image.data() + at, int(c), count);
        at += count;
    }

    for (DWORD i = 0; i < 16 && i < GetNumColors(); ++i)
        SetPaletteColor(BYTE(i), h.colorMap[i * 3], h.colorMap[i * 3 + 1], h.colorMap[i * 3 + 2]);
    if (bits == 8 && planes == 1) {
        BYTE pal[769];
        if (!PicReadExact(file, pal, 1) || pal[0] != 12)
            return fail("bad color map signature");
        if (!PicReadExact(file, pal + 1, 768))
            return fail("corrupted PCX");
        for (DWORD i = 0; i < 256; ++i)
            SetPaletteColor(BYTE(i), pal[1 + i * 3], pal[2 + i * 3], pal[3 + i * 3]);
    } else if (bits == 1 && planes == 1) {
        SetPaletteColor(0, 0, 0, 0);
        SetPaletteColor(1, 255, 255, 255);
    }

    std::vector<BYTE> pixels(size_t(bytesPerLine) * 8 + 8);
    for (DWORD y = 0; y < height; ++y) {
        if (info.escape)
            return fail("Cancelled");
        const BYTE* line = image.data() + size_t(y) * lineBytes;
        LONG row = LONG(height - 1 - y);
        if (bits == 8 && planes >= 3) {
            BYTE* dst = GetBits(DWORD(row));
            for (DWORD x = 0; x < width; ++x) {
                dst[x * 3] = line[2 * bytesPerLine + x];
                dst[x * 3 + 1] = line[bytesPerLine + x];
                dst[x * 3 + 2] = line[x];
                if (planes == 4)
                    AlphaSet(LONG(x), row, line[3 * bytesPerLine + x]);
            }
            continue;
        }
        bool ok = planes == 1 ? UnpackPixels(pixels.data(), line, int(bytesPerLine), planes, bits)
                              : PlanesToPixels(pixels.data(), line, int(bytesPerLine), planes, bits);
        if (!ok)
            return fail(GetLastError());
        for (DWORD x = 0; x < width; ++x)
            SetPixelIndex(LONG(x), row, pixels[x]);
    }
    return true;
}

bool CPicturePCX::PlanesToPixels(
    BYTE* pixels, const BYTE* bitPlanes, int bytesPerLine, int planes, int bitsPerPixel)
{
    if (planes > 4)
        return SetError("Can't handle more than 4 planes");
    if (bitsPerPixel != 1)
        return SetError("Can't handle more than 1 bit per pixel");
    std::memset(pixels, 0, size_t(bytesPerLine) * 8);
    for (int p = 0; p < planes; ++p) {
        const BYTE* plane = bitPlanes + size_t(p) * bytesPerLine;
        for (int k = 0; k < bytesPerLine * 8; ++k)
            if (plane[k / 8] & (0x80 >> (k % 8)))
                pixels[k] = BYTE(pixels[k] | (1 << p));
    }
    return true;
}

bool CPicturePCX::UnpackPixels(BYTE* pixels, const BYTE* data, int bytesPerLine, int planes, int bitsPerPixel)
{
    if (planes != 1)
        return SetError("Can't handle packed pixels with more than 1 plane.");
    for (int i = 0; i < bytesPerLine; ++i) {
        BYTE b = data[i];
        switch (bitsPerPixel) {
        case 8:
            *pixels++ = b;
            break;
        case 4:
            *pixels++ = BYTE(b >> 4);
            *pixels++ = BYTE(b & 15);
            break;
        case 2:
            for (int s = 6; s >= 0; s -= 2)
                *pixels++ = BYTE((b >> s) & 3);
            break;
        default:
            for (int s = 7; s >= 0; --s)
                *pixels++ = BYTE((b >> s) & 1);
            break;
        }
    }
    return true;
}

void CPicturePCX::PixelsToPlanes(const BYTE* raw, LONG width, BYTE* planeLine, int plane)
{
    for (LONG x = 0; x < width; ++x)
        if (raw[x] & (1 << plane))
            planeLine[x / 8] = BYTE(planeLine[x / 8] | (0x80 >> (x % 8)));
}

void CPicturePCX::PackPixels(const BYTE* data, size_t size, std::vector<BYTE>& out)
{
    size_t i = 0;
    while (i < size) {
        BYTE v = data[i];
        size_t run = 1;
        while (i + run < size && run < 63 && data[i + run] == v)
            ++run;
        if (run > 1 || v >= 0xC0)
            out.push_back(BYTE(0xC0 | run));
        out.push_back(v);
        i += run;
    }
}

// -1 ends a line, -2 ends it with one padding byte.
void CPicturePCX::PackPixel(int value, int& previous, int& count, std::vector<BYTE>& out)
{
    if (value != previous || value < 0) {
        if (count == 1 && previous < 0xC0) {
            out.push_back(BYTE(previous));
        } else if (count > 0) {
            out.push_back(BYTE(0xC0 | count));
            out.push_back(BYTE(previous));
        }
        count = 0;
        if (value == -2)
            out.push_back(0);
        previous = value;
        if (value < 0)
            return;
    }
    if (++count == 63) {
        out.push_back(0xFF);
        out.push_back(BYTE(value));
        count = 0;
    }
}

bool CPicturePCX::Encode(CPicFile* file)
{
    if (EncodeSafeCheck(file))
        return false;
    const DWORD width = GetWidth(), height = GetHeight();
    const WORD bpp = GetBpp();
    const bool palette = IsIndexed();
    BYTE bits = bpp >= 8 ? 8 : 1;
    BYTE planes = 1;
    DWORD bytesPerLine = width;
    if (bpp == 24)
        planes = AlphaIsValid() ? 4 : 3;
    else if (bpp < 8) {
        planes = bpp == 4 ? 4 : 1;
        bytesPerLine = (width + 7) / 8;
    }
    bytesPerLine += bytesPerLine & 1;
    if (width - 1 > 65535 || height - 1 > 65535 || bytesPerLine > 65535)
        return SetError("PCX: picture too large for the format");

    BYTE head[128] = {};
    head[0] = 10;
    head[1] = 5;
    head[2] = 1;
    head[3] = bits;
    PicPutU16(head + 8, WORD(width - 1));
    PicPutU16(head + 10, WORD(height - 1));
    PicPutU16(head + 12, WORD(info.xDpi));
    PicPutU16(head + 14, WORD(info.yDpi));
    if (bits == 1) {
        for (DWORD i = 0; i < (planes == 4 ? 16u : 0u); ++i) {
            RGBQUAD c = GetPaletteColor(BYTE(i));
            head[16 + i * 3] = c.rgbRed;
            head[17 + i * 3] = c.rgbGreen;
            head[18 + i * 3] = c.rgbBlue;
        }
        if (planes == 1)
            std::memset(head + 19, 255, 3);
    }
    head[65] = planes;
    PicPutU16(head + 66, WORD(bytesPerLine));
    PicPutU16(head + 68, palette ? 0 : 1);
    if (file->Write(head, 1, sizeof(head)) != sizeof(head))
        return SetError("cannot write PCX header");

    std::vector<BYTE> out;
    const int end = (width & 1) ? -2 : -1;
    if (!palette) {
        for (LONG y = LONG(height) - 1; y >= 0; --y) {
            const BYTE* row = GetBits(DWORD(y));
            for (int p = 0; p < planes; ++p) {
                int previous = -1, count = 0;
                for (DWORD x = 0; x < width; ++x) {
                    int v = p == 3 ? AlphaGet(LONG(x), y) : row[x * 3 + 2 - p];
                    PackPixel(v, previous, count, out);
                }
                PackPixel(end, previous, count, out);
            }
        }
    } else if (bpp == 8) {
        for (LONG y = LONG(height) - 1; y >= 0; --y) {
            const BYTE* row = GetBits(DWORD(y));
            int previous = -1, count = 0;
            for (DWORD x = 0; x < width; ++x)
                PackPixel(row[x], previous, count, out);
            PackPixel(end, previous, count, out);
        }
        out.push_back(12);
        for (DWORD i = 0; i < 256; ++i) {
            RGBQUAD c = GetPaletteColor(BYTE(i));
            out.push_back(c.rgbRed);
            out.push_back(c.rgbGreen);
            out.push_back(c.rgbBlue);
        }
    } else {
        // Mono files are black on white: a picture whose entry 0 is the lighter one is turned over.
        RGBQUAD c0 = GetPaletteColor(0), c1 = GetPaletteColor(1);
        bool invert = bpp == 1 && CompareColors(&c0, &c1) > 0;
        std::vector<BYTE> raw(width), plane(bytesPerLine);
        for (LONG y = LONG(height) - 1; y >= 0; --y) {
            for (DWORD x = 0; x < width; ++x) {
                BYTE i = GetPixelIndex(LONG(x), y);
                raw[x] = invert ? BYTE(1 - i) : i;
            }
            for (int p = 0; p < planes; ++p) {
                std::fill(plane.begin(), plane.end(), BYTE(0));
                PixelsToPlanes(raw.data(), LONG(width), plane.data(), p);
                PackPixels(plane.data(), plane.size(), out);
            }
        }
    }
    if (file->Write(out.data(), 1, out.size()) != out.size())
        return SetError("Error writing PCX data");
    return true;
}

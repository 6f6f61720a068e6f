#include "image/picture_tga.h"

#include "image/byteorder.h"
#include "image/checked_math.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kCorrupted[] = "corrupted TGA";

bool ReadHeader(CPicFile* file, CTgaHeader& h)
{
    BYTE raw[18];
    if (!PicReadExact(file, raw, sizeof(raw)))
        return false;
    h.idLength = raw[0];
    h.colorMapType = raw[1];
    h.imageType = raw[2];
    h.colorMapFirst = PicGetU16(raw + 3);
    h.colorMapLength = PicGetU16(raw + 5);
    h.colorMapEntrySize = raw[7];
    h.xOrigin = PicGetU16(raw + 8);
    h.yOrigin = PicGetU16(raw + 10);
    h.width = PicGetU16(raw + 12);
    h.height = PicGetU16(raw + 14);
    h.pixelDepth = raw[16];
    h.descriptor = raw[17];
    return true;
}

DWORD BytesPerPixel(const CTgaHeader& h)
{
    return (DWORD(h.pixelDepth) + 7) / 8;
}

// 15 and 16-bit colours are x-r5-g5-b5 words.
void Expand16(const BYTE* src, BYTE* bgr)
{
    WORD w = PicGetU16(src);
    bgr[0] = BYTE((w & 31) << 3);
    bgr[1] = BYTE((w >> 2) & 0xF8);
    bgr[2] = BYTE((w >> 7) & 0xF8);
}

// Grey images of 16 bits hold grey in the low byte and alpha in the high.
bool GreyWithAlpha(const CTgaHeader& h)
{
    return (h.imageType == 3 || h.imageType == 11) && h.pixelDepth == 16;
}

// Bytes per pixel in the picture's rows.
DWORD PixelStep(const CTgaHeader& h)
{
    return h.pixelDepth == 8 || GreyWithAlpha(h) ? 1 : 3;
}

} // namespace

bool CPictureTGA::Decode(FILE* stream)
{
    CPicIOFile file(stream);
    return Decode(&file);
}

bool CPictureTGA::Encode(FILE* stream)
{
    CPicIOFile file(stream);
    return Encode(&file);
}

bool CPictureTGA::Decode(CPicFile* file)
{
    if (!file)
        return SetError("null file handler");
    CTgaHeader h;
    if (!ReadHeader(file, h))
        return SetError("Not a TGA");
    switch (h.imageType) {
    case 1:
    case 2:
    case 3:
    case 9:
    case 10:
    case 11:
        break;
    default:
        return SetError("Unknown TGA image type");
    }
    bool depthOk = h.pixelDepth == 8 || h.pixelDepth == 15 || h.pixelDepth == 16 || h.pixelDepth == 24
        || h.pixelDepth == 32;
    if (h.colorMapLength > 256 || h.width == 0 || h.height == 0 || !depthOk)
        return SetError("bad TGA header");
    if (h.idLength && !file->Seek(h.idLength, SEEK_CUR))
        return SetError(kCorrupted);

    auto fail = [&](const char* text) {
        std::string kept = text;
        Destroy();
        return SetError(kept.c_str());
    };

    const DWORD depth = GreyWithAlpha(h) ? 8 : h.pixelDepth;
    if (!CreateForDecode(h.width, h.height, depth, PIC_FORMAT_TGA, "TGA Create failed"))
        return false;
    if ((h.pixelDepth == 32 || GreyWithAlpha(h)) && !AlphaCreate())
        return fail("TGA Create failed");
    if (info.escape)
        return fail("Cancelled");

    if (h.colorMapType) {
        // 15/16/32-bit entries are read as what they are, anything else as 24 bits.
        DWORD entrySize = h.colorMapEntrySize == 15 || h.colorMapEntrySize == 16 ? 2
            : h.colorMapEntrySize == 32                                          ? 4
                                                                                 : 3;
        BYTE raw[256 * 4];
        if (!PicReadExact(file, raw, size_t(h.colorMapLength) * entrySize))
            return fail(kCorrupted);
        for (DWORD i = 0; i < h.colorMapLength && i < GetNumColors(); ++i) {
            BYTE bgr[3];
            if (entrySize == 2)
                Expand16(raw + i * 2, bgr);
            else
                std::memcpy(bgr, raw + i * entrySize, 3);
            SetPaletteColor(BYTE(i), bgr[2], bgr[1], bgr[0]);
        }
    }
    if (h.imageType == 3 || h.imageType == 11)
        SetGrayPalette();

    const bool topDown = (h.descriptor & 0x20) != 0;
    const bool compressed = h.imageType >= 9;
    CTgaPacketState packet = { 0, false, { 0, 0, 0, 0 } };
    for (LONG y = 0; y < LONG(h.height); ++y) {
        if (info.escape)
            return fail("Cancelled");
        LONG row = topDown ? LONG(h.height) - 1 - y : y;
        BYTE* dest = GetBits(DWORD(row));
        bool ok = compressed ? ExpandCompressedLine(dest, h, file, h.width, row, packet)
                             : ExpandUncompressedLine(dest, h, file, h.width, row, 0);
        if (!ok)
            return fail(kCorrupted);
    }
    if ((h.descriptor & 0x10) && !Mirror())
        return fail("TGA Create failed");
    return true;
}

void CPictureTGA::StorePixel(BYTE* dest, const CTgaHeader& h, const BYTE* src, LONG row, LONG x)
{
    switch (h.pixelDepth) {
    case 8:
        dest[0] = src[0];
        break;
    case 15:
    case 16:
        if (GreyWithAlpha(h)) {
            dest[0] = src[0];
            AlphaSet(x, row, src[1]);
        } else {
            Expand16(src, dest);
        }
        break;
    case 32:
        AlphaSet(x, row, src[3]);
        [[fallthrough]]; // the colour is stored as at 24 bits
    default:
        dest[0] = src[0];
        dest[1] = src[1];
        dest[2] = src[2];
        break;
    }
}

bool CPictureTGA::ExpandUncompressedLine(
    BYTE* dest, const CTgaHeader& h, CPicFile* file, DWORD count, LONG row, LONG x)
{
    const DWORD bpp = BytesPerPixel(h);
    const DWORD step = PixelStep(h);
    BYTE raw[4 * 256];
    while (count > 0) {
        DWORD n = count < 256 ? count : 256;
        if (!PicReadExact(file, raw, size_t(n) * bpp))
            return false;
        for (DWORD i = 0; i < n; ++i)
            StorePixel(dest + size_t(x + LONG(i)) * step, h, raw + i * bpp, row, x + LONG(i));
        x += LONG(n);
        count -= n;
    }
    return true;
}

bool CPictureTGA::ExpandCompressedLine(
    BYTE* dest, const CTgaHeader& h, CPicFile* file, DWORD width, LONG row, CTgaPacketState& packet)
{
    const DWORD bpp = BytesPerPixel(h);
    const DWORD step = PixelStep(h);
    DWORD x = 0;
    while (x < width) {
        if (packet.left == 0) {
            LONG header = file->GetC();
            if (header < 0)
                return false;
            packet.run = header >= 128;
            packet.left = packet.run ? DWORD(header - 127) : DWORD(header + 1);
            if (packet.run && !PicReadExact(file, packet.value, bpp))
                return false;
        }
        DWORD n = packet.left < width - x ? packet.left : width - x;
        if (packet.run) {
            for (DWORD i = 0; i < n; ++i)
                StorePixel(dest + size_t(x + i) * step, h, packet.value, row, LONG(x + i));
        } else if (!ExpandUncompressedLine(dest, h, file, n, row, LONG(x))) {
            return false;
        }
        x += n;
        packet.left -= n;
    }
    return true;
}

bool CPictureTGA::Encode(CPicFile* file)
{
    if (EncodeSafeCheck(file))
        return false;
    if (GetBpp() < 8)
        return SetError("Bit depth must be 8 or 24");
    if (GetWidth() > 65535 || GetHeight() > 65535)
        return SetError("TGA: width and height must be 65535 or less");

    const bool indexed = GetBpp() == 8;
    const bool withAlpha = !indexed && AlphaIsValid();
    BYTE head[18] = {};
    head[1] = indexed ? 1 : 0;
    head[2] = indexed ? 1 : 2;
    PicPutU16(head + 5, indexed ? 256 : 0);
    head[7] = indexed ? 24 : 0;
    PicPutU16(head + 12, WORD(GetWidth()));
    PicPutU16(head + 14, WORD(GetHeight()));
    head[16] = BYTE(withAlpha ? 32 : GetBpp());
    if (file->Write(head, 1, sizeof(head)) != sizeof(head))
        return SetError("Error writing TGA data");

    if (indexed) {
        BYTE map[256 * 3];
        for (DWORD i = 0; i < 256; ++i) {
            RGBQUAD c = GetPaletteColor(BYTE(i));
            map[i * 3] = c.rgbBlue;
            map[i * 3 + 1] = c.rgbGreen;
            map[i * 3 + 2] = c.rgbRed;
        }
        if (file->Write(map, 1, sizeof(map)) != sizeof(map))
            return SetError("Error writing TGA data");
    }

    const DWORD width = GetWidth();
    std::vector<BYTE> line(size_t(width) * 4);
    for (DWORD y = 0; y < GetHeight(); ++y) {
        size_t n;
        if (withAlpha) {
            const BYTE* src = GetBits(y);
            for (DWORD x = 0; x < width; ++x) {
                std::memcpy(&line[x * 4], src + x * 3, 3);
                line[x * 4 + 3] = BYTE(AlphaGet(LONG(x), LONG(y)) * info.alphaMax / 255);
            }
            n = size_t(width) * 4;
        } else {
            n = size_t(width) * (GetBpp() / 8);
            std::memcpy(line.data(), GetBits(y), n);
        }
        if (file->Write(line.data(), 1, n) != n)
            return SetError("Error writing TGA data");
    }
    return true;
}

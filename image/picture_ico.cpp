#include "image/picture_ico.h"

#include "image/byteorder.h"
#include "image/checked_math.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kWriteError[] = "Error writing ICO data";

struct IconEntry {
    DWORD width, height;
    DWORD bytes, offset;
};

} // namespace

bool CPictureICO::Decode(FILE* stream)
{
    CPicIOFile file(stream);
    return Decode(&file);
}

bool CPictureICO::Encode(FILE* stream)
{
    CPicIOFile file(stream);
    return Encode(&file);
}

bool CPictureICO::Decode(CPicFile* file)
{
    if (!file)
        return SetError("null file handler");
    LONG start = file->Tell();
    LONG size = file->Size();
    if (start < 0 || size < start)
        return SetError("Not an icon");
    const uint64_t left = uint64_t(size - start);

    BYTE head[6];
    if (!PicReadExact(file, head, sizeof(head)) || PicGetU16(head) != 0
        || (PicGetU16(head + 2) != 1 && PicGetU16(head + 2) != 2))
        return SetError("Not an icon");
    const DWORD count = PicGetU16(head + 4);
    if (6 + uint64_t(count) * 16 > left)
        return SetError("ICO: directory truncated");
    info.numFrames = LONG(count);
    info.transIndex = -1; // transparency comes from this file's mask only
    if (info.frame < 0 || DWORD(info.frame) >= count)
        return SetError("ICO: no such frame");

    BYTE raw[16];
    if (!file->Seek(LONG(uint64_t(start) + 6 + uint64_t(info.frame) * 16), SEEK_SET)
        || !PicReadExact(file, raw, sizeof(raw)))
        return SetError("ICO: directory truncated");
    // A size byte of 0 stands for 256.
    IconEntry e = { raw[0] ? raw[0] : 256u, raw[1] ? raw[1] : 256u, PicGetU32(raw + 8), PicGetU32(raw + 12) };
    if (uint64_t(e.offset) + 40 > left || !file->Seek(LONG(uint64_t(start) + e.offset), SEEK_SET))
        return SetError("ICO: image data truncated");

    BYTE bih[40];
    if (!PicReadExact(file, bih, sizeof(bih)))
        return SetError("ICO: image data truncated");
    if (std::memcmp(bih, "\x89PNG", 4) == 0)
        return SetError("ICO: PNG-compressed icons are not supported");
    const DWORD headerSize = PicGetU32(bih);
    const WORD bitCount = PicGetU16(bih + 14);
    const DWORD compression = PicGetU32(bih + 16);
    const DWORD clrUsed = PicGetU32(bih + 32);
    if (headerSize != 40 || compression != 0)
        return SetError("ICO: unsupported image header");
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return SetError("ICO: unsupported bit count");

    if (!CreateForDecode(e.width, e.height, bitCount, PIC_FORMAT_ICO, "ICO: can't allocate memory"))
        return false;
    auto fail = [&](const char* text) {
        std::string kept = text;
        Destroy();
        return SetError(kept.c_str());
    };

    // The table holds what the header says is used, at most what the depth allows.
    DWORD entries = GetNumColors();
    if (clrUsed != 0 && clrUsed < entries)
        entries = clrUsed;
    if (entries) {
        std::vector<BYTE> pal(size_t(entries) * 4);
        if (!PicReadExact(file, pal.data(), pal.size()))
            return fail("ICO: image data truncated");
        for (DWORD i = 0; i < entries; ++i)
            SetPaletteColor(BYTE(i), pal[i * 4 + 2], pal[i * 4 + 1], pal[i * 4]);
    }

    const DWORD width = GetWidth(), height = GetHeight();
    if (bitCount == 32) {
        std::vector<BYTE> row(size_t(width) * 4);
        if (!AlphaCreate())
            return fail("ICO: can't allocate memory");
        for (DWORD y = 0; y < height; ++y) {
            if (!PicReadExact(file, row.data(), row.size()))
                return fail("ICO: image data truncated");
            BYTE* dst = GetBits(y);
            for (DWORD x = 0; x < width; ++x) {
                std::memcpy(dst + x * 3, &row[x * 4], 3);
                AlphaSet(LONG(x), LONG(y), row[x * 4 + 3]);
            }
        }
    } else if (!PicReadExact(file, info.bits, header.biSizeImage)) {
        return fail("ICO: image data truncated");
    }

    const size_t maskRow = size_t((width + 31) / 32) * 4;
    std::vector<BYTE> mask(maskRow * height);
    if (!PicReadExact(file, mask.data(), mask.size()))
        return true; // an entry without its mask is all opaque
    if (!ApplyMask(mask.data(), maskRow, bitCount))
        return fail("ICO: can't allocate memory");
    return true;
}

bool CPictureICO::ApplyMask(const BYTE* mask, size_t maskRow, WORD bitCount)
{
    const LONG width = LONG(GetWidth()), height = LONG(GetHeight());
    auto masked
        = [&](LONG x, LONG y) { return (mask[size_t(y) * maskRow + size_t(x) / 8] >> (7 - x % 8)) & 1; };

    // Old monochrome icons mark everything as masked and mean the inverse.
    if (bitCount <= 8) {
        bool allSet = true;
        for (size_t i = 0; i < maskRow * size_t(height) && allSet; ++i)
            allSet = mask[i] == 0xFF;
        if (allSet) {
            SetTransIndex(0);
            Negative();
            return true;
        }
    }

    const bool hadAlpha = AlphaIsValid();
    if (!AlphaCreate())
        return false;
    bool anyMasked = false;
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x)
            if (masked(x, y)) {
                AlphaSet(x, y, 0);
                anyMasked = true;
            }
    if (!hadAlpha && !anyMasked) {
        AlphaDelete();
        return true;
    }
    if (!anyMasked)
        return true;

    if (bitCount == 24) {
        // A key colour only when it marks exactly the masked pixels.
        bool haveKey = false, sameKey = true;
        RGBQUAD key = { 0, 0, 0, 0 };
        for (LONG y = 0; y < height && sameKey; ++y)
            for (LONG x = 0; x < width && sameKey; ++x) {
                RGBQUAD c = GetPixelColor(x, y, false);
                bool isKey = haveKey && c.rgbRed == key.rgbRed && c.rgbGreen == key.rgbGreen
                    && c.rgbBlue == key.rgbBlue;
                if (masked(x, y)) {
                    if (!haveKey) {
                        key = c;
                        haveKey = true;
                    } else if (!isKey) {
                        sameKey = false;
                    }
                }
            }
        for (LONG y = 0; y < height && sameKey; ++y)
            for (LONG x = 0; x < width && sameKey; ++x) {
                RGBQUAD c = GetPixelColor(x, y, false);
                if (!masked(x, y) && c.rgbRed == key.rgbRed && c.rgbGreen == key.rgbGreen
                    && c.rgbBlue == key.rgbBlue)
                    sameKey = false;
            }
        if (sameKey) {
            SetTransColor(key);
            SetTransIndex(0);
            AlphaDelete();
        }
    } else if (bitCount <= 8) {
        bool used[256] = {};
        for (LONG y = 0; y < height; ++y)
            for (LONG x = 0; x < width; ++x)
                used[GetPixelIndex(x, y)] = true;
        for (DWORD i = 0; i < GetNumColors(); ++i) {
            if (used[i])
                continue;
            for (LONG y = 0; y < height; ++y)
                for (LONG x = 0; x < width; ++x)
                    if (masked(x, y))
                        SetPixelIndex(x, y, BYTE(i));
            SetTransIndex(LONG(i));
            AlphaDelete();
            break;
        }
    }
    return true;
}

bool CPictureICO::Encode(CPicFile* file)
{
    if (EncodeSafeCheck(file))
        return false;
    const DWORD width = GetWidth(), height = GetHeight();
    if (width > 255 || height > 255)
        return SetError("Can't save this image as icon");
    if (GetBpp() <= 8 && !IsIndexed())
        return SetError("Can't save this image as icon");

    const size_t maskRow = size_t((width + 31) / 32) * 4;
    const size_t maskBytes = maskRow * height;
    const bool as32 = GetBpp() == 24 && AlphaIsValid();
    const WORD bitCount = as32 ? 32 : GetBpp();
    const DWORD imageBytes = as32 ? width * height * 4 : header.biSizeImage;
    // The header promises 2^bpp entries; those past a trimmed palette are black.
    const DWORD paletteEntries = bitCount <= 8 ? DWORD(1) << bitCount : 0;
    const DWORD paletteBytes = paletteEntries * 4;

    BYTE head[6 + 16 + 40] = {};
    PicPutU16(head + 2, 1);
    PicPutU16(head + 4, 1);
    BYTE* e = head + 6;
    e[0] = BYTE(width);
    e[1] = BYTE(height);
    e[2] = BYTE(paletteEntries);
    PicPutU16(e + 6, bitCount);
    PicPutU32(e + 8, DWORD(imageBytes + 40 + paletteBytes + maskBytes));
    PicPutU32(e + 12, 22);
    BYTE* b = head + 22;
    PicPutU32(b, 40);
    PicPutU32(b + 4, width);
    PicPutU32(b + 8, height * 2);
    PicPutU16(b + 12, 1);
    PicPutU16(b + 14, bitCount);
    PicPutU32(b + 20, imageBytes);
    if (file->Write(head, 1, sizeof(head)) != sizeof(head))
        return SetError(kWriteError);
    if (paletteEntries) {
        std::vector<RGBQUAD> table(paletteEntries);
        for (DWORD i = 0; i < paletteEntries; ++i)
            table[i] = GetPaletteColor(BYTE(i));
        if (file->Write(table.data(), 1, paletteBytes) != paletteBytes)
            return SetError(kWriteError);
    }

    if (as32) {
        std::vector<BYTE> row(size_t(width) * 4);
        for (DWORD y = 0; y < height; ++y) {
            const BYTE* src = GetBits(y);
            for (DWORD x = 0; x < width; ++x) {
                std::memcpy(&row[x * 4], src + x * 3, 3);
                row[x * 4 + 3] = AlphaGet(LONG(x), LONG(y));
            }
            if (file->Write(row.data(), 1, row.size()) != row.size())
                return SetError(kWriteError);
        }
    } else if (file->Write(info.bits, 1, imageBytes) != imageBytes) {
        return SetError(kWriteError);
    }

    std::vector<BYTE> mask;
    try {
        mask.assign(maskBytes, 0);
    } catch (...) {
        return SetError("ICO: can't allocate memory");
    }
    const bool alphaPalette = AlphaPaletteIsValid();
    const bool keyed = info.transIndex != -1;
    const RGBQUAD key = GetTransColor();
    for (DWORD y = 0; y < height; ++y)
        for (DWORD x = 0; x < width; ++x) {
            RGBQUAD c = GetPixelColor(LONG(x), LONG(y), true);
            bool transparent = (AlphaIsValid() && AlphaGet(LONG(x), LONG(y)) == 0)
                || (alphaPalette && c.rgbReserved == 0)
                || (keyed && c.rgbRed == key.rgbRed && c.rgbGreen == key.rgbGreen
                    && c.rgbBlue == key.rgbBlue);
            if (transparent)
                mask[y * maskRow + x / 8] = BYTE(mask[y * maskRow + x / 8] | (0x80 >> (x % 8)));
        }
    if (file->Write(mask.data(), 1, mask.size()) != mask.size())
        return SetError(kWriteError);
    return true;
}

#include "image/picture_bmp.h"

#include "image/bitfields.h"
#include "image/byteorder.h"
#include "image/checked_math.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const char kTruncated[] = "BMP data truncated";

// Header sizes past 40 that we accept carry at most this much we skip.
const DWORD kMaxInfoHeader = 4096;

LONG DpiFromPels(LONG pels) { return LONG(std::floor(double(pels) * 0.0254 + 0.5)); }

// Uncompressed pixel bytes: rows padded to 4 bytes, for either row order.
uint64_t ImageBytes(const BITMAPINFOHEADER& h)
{
    uint64_t rowBits = uint64_t(h.biBitCount) * uint64_t(uint32_t(h.biWidth)) + 31;
    uint64_t height = h.biHeight < 0 ? uint64_t(-int64_t(h.biHeight)) : uint64_t(h.biHeight);
    return rowBits / 32 * 4 * height;
}

} // namespace

bool CPictureBMP::ReadInfoHeader(CPicFile* file, BITMAPINFOHEADER* h)
{
    if (!file || !h)
        return false;
    // The size first: a core-header file may be shorter than 40 bytes in all.
    BYTE raw[40];
    if (!PicReadExact(file, raw, 4))
        return false;
    DWORD size = PicGetU32(raw);
    std::memset(h, 0, sizeof(*h));
    h->biSize = size;

    if (size == 12) {
        if (!PicReadExact(file, raw + 4, 8))
            return false;
        h->biWidth = PicGetU16(raw + 4);
        h->biHeight = PicGetU16(raw + 6);
        h->biPlanes = PicGetU16(raw + 8);
        h->biBitCount = PicGetU16(raw + 10);
    } else {
        if (size < 40 || size > kMaxInfoHeader)
            return false;
        if (!PicReadExact(file, raw + 4, 36))
            return false;
        h->biWidth = LONG(PicGetU32(raw + 4));
        h->biHeight = LONG(PicGetU32(raw + 8));
        h->biPlanes = PicGetU16(raw + 12);
        h->biBitCount = PicGetU16(raw + 14);
        h->biCompression = PicGetU32(raw + 16);
        h->biSizeImage = PicGetU32(raw + 20);
        h->biXPelsPerMeter = LONG(PicGetU32(raw + 24));
        h->biYPelsPerMeter = LONG(PicGetU32(raw + 28));
        h->biClrUsed = PicGetU32(raw + 32);
        h->biClrImportant = PicGetU32(raw + 36);
        if (size > 40 && size != 64) {
            // Newer headers only for plain uncompressed pictures.
            if (h->biSizeImage != ImageBytes(*h) || h->biPlanes != 1 || h->biCompression != 0 || h->biClrUsed != 0)
                return false;
        }
        if (size > 40 && !file->Seek(LONG(size - 40), SEEK_CUR))
            return false;
    }

    if (h->biSizeImage == 0) {
        uint64_t image = ImageBytes(*h);
        h->biSizeImage = image <= UINT32_MAX ? DWORD(image) : 0;
    }
    if (h->biClrUsed == 0 && h->biBitCount <= 8)
        h->biClrUsed = DWORD(1) << h->biBitCount;
    return true;
}

bool CPictureBMP::Decode(FILE* stream)
{
    CPicIOFile file(stream);
    return Decode(&file);
}

bool CPictureBMP::Encode(FILE* stream)
{
    CPicIOFile file(stream);
    return Encode(&file);
}

bool CPictureBMP::Decode(CPicFile* file)
{
    if (!file)
        return SetError("null file handler");
    LONG start = file->Tell();
    if (start < 0)
        return SetError("Not a BMP");

    BYTE fileHeader[14];
    if (!PicReadExact(file, fileHeader, sizeof(fileHeader)))
        return SetError("Not a BMP");
    DWORD offBits = 0;
    if (PicGetU16(fileHeader) == 0x4D42) {
        offBits = PicGetU32(fileHeader + 10);
    } else if (!file->Seek(start, SEEK_SET)) {
        return SetError("Not a BMP");
    }

    BITMAPINFOHEADER bih;
    if (!ReadInfoHeader(file, &bih))
        return SetError("Error reading BMP info");
    bool coreHeader = bih.biSize == 12;

    WORD bpp = bih.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return SetError("BMP bit count not supported");
    // INT_MIN has no positive counterpart.
    if (bih.biWidth <= 0 || bih.biHeight == 0 || bih.biHeight == INT32_MIN)
        return SetError("Invalid BMP dimensions");
    bool topDown = bih.biHeight < 0;
    DWORD width = DWORD(bih.biWidth);
    DWORD height = DWORD(topDown ? -bih.biHeight : bih.biHeight);

    if (info.escape == -1) {
        header.biWidth = LONG(width);
        header.biHeight = LONG(height);
        SetError("output dimensions returned");
        return true;
    }

    if (!CreateForDecode(width, height, bpp, PIC_FORMAT_BMP, "Can't allocate memory"))
        return false;
    LONG xDpi = DpiFromPels(bih.biXPelsPerMeter), yDpi = DpiFromPels(bih.biYPelsPerMeter);
    if (xDpi >= 1) {
        info.xDpi = xDpi;
        header.biXPelsPerMeter = bih.biXPelsPerMeter;
    }
    if (yDpi >= 1) {
        info.yDpi = yDpi;
        header.biYPelsPerMeter = bih.biYPelsPerMeter;
    }
    std::memcpy(dibBlock, &header, sizeof(header));

    bool ok = ReadPixels(file, bih, coreHeader, start, offBits);
    if (ok && topDown && !Flip())
        ok = SetError("Can't allocate memory");
    if (!ok) {
        // A failed decode leaves nothing behind.
        Destroy();
        return false;
    }
    return true;
}

bool CPictureBMP::ReadPixels(
    CPicFile* file, const BITMAPINFOHEADER& bih, bool coreHeader, LONG start, DWORD offBits)
{
    WORD bpp = bih.biBitCount;
    DWORD compression = bih.biCompression;
    DWORD entrySize = coreHeader ? 3 : 4;

    // Colour table: filled up to our palette's size, the rest skipped.
    DWORD tableEntries = bih.biClrUsed;
    DWORD filled = 0;
    if (header.biClrUsed) {
        filled = tableEntries < header.biClrUsed ? tableEntries : header.biClrUsed;
        for (DWORD i = 0; i < filled; ++i) {
            BYTE e[4];
            if (!PicReadExact(file, e, entrySize))
                return SetError(kTruncated);
            SetPaletteColor(BYTE(i), e[2], e[1], e[0], 0);
        }
    }

    if (info.escape)
        return SetError("Cancelled");

    // Bit-field masks follow the header directly, before any colour table.
    DWORD masks[3] = { 0, 0, 0 };
    if (bpp == 16 || bpp == 32) {
        if (compression == 3) {
            BYTE raw[12];
            if (!PicReadExact(file, raw, sizeof(raw)))
                return SetError(kTruncated);
            masks[0] = PicGetU32(raw);
            masks[1] = PicGetU32(raw + 4);
            masks[2] = PicGetU32(raw + 8);
        } else if (compression != 0) {
            return SetError("unknown compression");
        } else if (bpp == 16) {
            masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
        }
    } else if (bpp == 24 && compression != 0) {
        return SetError("unknown compression");
    } else if (bpp <= 8 && compression != 0 && !(compression == 1 && bpp == 8) && !(compression == 2 && bpp == 4)) {
        return SetError("compression type not supported");
    }

    if (offBits) {
        uint64_t at = uint64_t(uint32_t(start)) + offBits;
        if (at > kPicMaxBytes || !file->Seek(LONG(at), SEEK_SET))
            return SetError(kTruncated);
    } else if (tableEntries > filled) {
        // A bare DIB: the pixels follow the rest of the colour table.
        uint64_t skip = uint64_t(tableEntries - filled) * entrySize;
        if (skip > kPicMaxBytes || !file->Seek(LONG(skip), SEEK_CUR))
            return SetError(kTruncated);
    }

    // Only the bytes this picture needs are read, whatever the file claims.
    DWORD width = GetWidth(), height = GetHeight();
    if (bpp == 16) {
        size_t srcRow = size_t((width + 1) / 2) * 4;
        if (!PicReadExact(file, info.bits, srcRow * height))
            return SetError(kTruncated);
        Bitfield2RGB(info.bits, masks[0], masks[1], masks[2], 16);
        return true;
    }
    if (bpp == 32) {
        std::vector<BYTE> row(size_t(width) * 4);
        CPicBitfieldChannel red(masks[0]), green(masks[1]), blue(masks[2]);
        for (DWORD y = 0; y < height; ++y) {
            if (!PicReadExact(file, row.data(), row.size()))
                return SetError(kTruncated);
            BYTE* dst = GetBits(y);
            for (DWORD x = 0; x < width; ++x) {
                const BYTE* p = &row[size_t(x) * 4];
                if (compression == 3) {
                    DWORD v = PicGetU32(p);
                    dst[x * 3] = blue.Expand(v);
                    dst[x * 3 + 1] = green.Expand(v);
                    dst[x * 3 + 2] = red.Expand(v);
                } else {
                    dst[x * 3] = p[0];
                    dst[x * 3 + 1] = p[1];
                    dst[x * 3 + 2] = p[2];
                }
            }
        }
        return true;
    }
    if (compression == 1 || compression == 2)
        return DecodeRle(file, compression == 2);
    if (!PicReadExact(file, info.bits, header.biSizeImage))
        return SetError(kTruncated);
    return true;
}

// RLE8 and RLE4, with columns counted in pixels. Runs are clipped at the row
// end (the rest of the row is dropped, decoding goes on), deltas and absolute
// runs may point anywhere without writing outside the picture, and the data
// may end without an end-of-bitmap mark as long as no code is cut short.
bool CPictureBMP::DecodeRle(CPicFile* file, bool rle4)
{
    const DWORD width = GetWidth(), height = GetHeight();
    DWORD row = 0, col = 0;
    auto put = [&](DWORD x, BYTE v) {
        if (x >= width)
            return;
        if (rle4)
            SetPixelIndex(LONG(x), LONG(row), v);
        else
            info.bits[size_t(row) * info.effWidth + x] = v;
    };
    auto advance = [&](DWORD n) { col = (uint64_t(col) + n >= width) ? width : col + n; };

    BYTE literal[256];
    while (row < height) {
        LONG count = file->GetC();
        if (count < 0)
            return true; // end of data between codes
        LONG code = file->GetC();
        if (code < 0)
            return SetError(kTruncated);
        if (count > 0) {
            BYTE v = BYTE(code);
            for (LONG i = 0; i < count; ++i)
                put(col + DWORD(i), rle4 ? BYTE((i & 1) ? (v & 15) : (v >> 4)) : v);
            advance(DWORD(count));
            continue;
        }
        switch (code) {
        case 0:
            ++row;
            col = 0;
            break;
        case 1:
            return true;
        case 2: {
            LONG dx = file->GetC();
            LONG dy = file->GetC();
            if (dx < 0 || dy < 0)
                return SetError(kTruncated);
            advance(DWORD(dx));
            row += DWORD(dy);
            break;
        }
        default: {
            DWORD pixels = DWORD(code);
            DWORD bytes = rle4 ? (pixels + 1) / 2 : pixels;
            DWORD padded = (bytes + 1) & ~DWORD(1); // runs are word-aligned
            if (!PicReadExact(file, literal, padded))
                return SetError(kTruncated);
            for (DWORD i = 0; i < pixels; ++i) {
                BYTE v = rle4 ? BYTE((i & 1) ? (literal[i / 2] & 15) : (literal[i / 2] >> 4)) : literal[i];
                put(col + i, v);
            }
            advance(pixels);
            break;
        }
        }
    }
    return true;
}

// ---- writing ---------------------------------------------------------------

bool CPictureBMP::Encode(CPicFile* file)
{
    if (EncodeSafeCheck(file))
        return false;
    std::memcpy(dibBlock, &header, sizeof(header));

    DWORD paletteBytes = GetPaletteSize();
    BYTE head[54];
    PicPutU16(head, 0x4D42);
    PicPutU32(head + 2, GetSize() + 14);
    PicPutU16(head + 6, 0);
    PicPutU16(head + 8, 0);
    PicPutU32(head + 10, 14 + header.biSize + paletteBytes);
    PicPutU32(head + 14, 40);
    PicPutU32(head + 18, DWORD(header.biWidth));
    PicPutU32(head + 22, DWORD(header.biHeight));
    PicPutU16(head + 26, header.biPlanes);
    PicPutU16(head + 28, header.biBitCount);
    PicPutU32(head + 30, header.biCompression);
    PicPutU32(head + 34, header.biSizeImage);
    PicPutU32(head + 38, DWORD(header.biXPelsPerMeter));
    PicPutU32(head + 42, DWORD(header.biYPelsPerMeter));
    PicPutU32(head + 46, header.biClrUsed);
    PicPutU32(head + 50, header.biClrImportant);
    if (file->Write(head, 1, sizeof(head)) != sizeof(head))
        return SetError("Error writing BMP data");

    const RGBQUAD* pal = GetPalette();
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        BYTE e[4] = { pal[i].rgbBlue, pal[i].rgbGreen, pal[i].rgbRed, pal[i].rgbReserved };
        if (file->Write(e, 1, 4) != 4)
            return SetError("Error writing BMP data");
    }

    // Row padding and the unused bits of a row's last byte are written as zero
    // whatever the picture's buffer holds there.
    const size_t eff = info.effWidth;
    const uint64_t usedBits = uint64_t(GetWidth()) * header.biBitCount;
    const size_t usedBytes = size_t((usedBits + 7) / 8);
    const BYTE lastMask = BYTE(usedBits % 8 ? 0xFF << (8 - usedBits % 8) : 0xFF);
    std::vector<BYTE> row(eff);
    for (DWORD y = 0; y < GetHeight(); ++y) {
        std::memcpy(row.data(), GetBits(y), usedBytes);
        row[usedBytes - 1] &= lastMask;
        std::memset(row.data() + usedBytes, 0, eff - usedBytes);
        if (file->Write(row.data(), 1, eff) != eff)
            return SetError("Error writing BMP data");
    }
    return true;
}

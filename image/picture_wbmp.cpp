#include "image/picture_wbmp.h"

#include "image/byteorder.h"

#include <cstring>
#include <vector>

namespace {


// Multi-byte integers: 7 bits a byte, high bit set on all but the last.
// Three bytes and 65535 are more than any picture we take.
bool ReadMultiByte(CPicFile* file, DWORD& value)
{
    value = 0;
    for (int i = 0; i < 3; ++i) {
        LONG c = file->GetC();
        if (c < 0)
            return false;
        value = (value << 7) | DWORD(c & 0x7F);
        if (!(c & 0x80))
            return value <= 65535;
    }
    return false;
}

void PutMultiByte(std::vector<BYTE>& out, DWORD value)
{
    if (value >= 128)
        out.push_back(BYTE(0x80 | (value >> 7)));
    out.push_back(BYTE(value & 0x7F));
}

} // namespace

bool CPictureWBMP::Decode(FILE* stream)
{
    CPicIOFile file(stream);
    return Decode(&file);
}

bool CPictureWBMP::Encode(FILE* stream)
{
    CPicIOFile file(stream);
    return Encode(&file);
}

bool CPictureWBMP::Decode(CPicFile* file)
{
    if (!file)
        return SetError("null file handler");
    LONG type = file->GetC();
    LONG fixed = file->GetC();
    if (type < 0 || fixed < 0)
        return SetError("Not a WBMP");
    if (type != 0)
        return SetError("Unsupported WBMP type");
    // Extension headers belong to other types.
    DWORD width = 0, height = 0;
    if (fixed != 0 || !ReadMultiByte(file, width) || !ReadMultiByte(file, height) || width == 0
        || height == 0)
        return SetError("Corrupted WBMP");
    const size_t rowBytes = (width + 7) / 8;
    LONG here = file->Tell(), size = file->Size();
    if (here < 0 || size < here || uint64_t(rowBytes) * height > uint64_t(size - here))
        return SetError("Corrupted WBMP");

    if (!CreateForDecode(width, height, 1, PIC_FORMAT_WBMP, "WBMP Create failed"))
        return false;
    SetGrayPalette();
    for (DWORD y = 0; y < height; ++y) {
        if (!PicReadExact(file, GetBits(height - 1 - y), rowBytes)) {
            Destroy();
            return SetError("Corrupted WBMP");
        }
    }
    return true;
}

bool CPictureWBMP::Encode(CPicFile* file)
{
    if (EncodeSafeCheck(file))
        return false;
    const DWORD width = GetWidth(), height = GetHeight();
    if (width > 255 || height > 255 || GetBpp() != 1)
        return SetError("Can't save this image as WBMP");

    std::vector<BYTE> out = { 0, 0 };
    PutMultiByte(out, width);
    PutMultiByte(out, height);
    // Bit 1 is white: a palette whose entry 0 is the lighter one is written turned over.
    RGBQUAD c0 = GetPaletteColor(0), c1 = GetPaletteColor(1);
    const BYTE flip = CompareColors(&c0, &c1) > 0 ? 0xFF : 0x00;
    const size_t rowBytes = (width + 7) / 8;
    const BYTE lastMask = BYTE(width % 8 ? 0xFF << (8 - width % 8) : 0xFF);
    for (LONG y = LONG(height) - 1; y >= 0; --y) {
        const BYTE* row = GetBits(DWORD(y));
        for (size_t i = 0; i < rowBytes; ++i) {
            BYTE v = BYTE(row[i] ^ flip);
            out.push_back(i + 1 == rowBytes ? BYTE(v & lastMask) : v);
        }
    }
    if (file->Write(out.data(), 1, out.size()) != out.size())
        return SetError("Error writing WBMP data");
    return true;
}

// Life cycle of a picture: creation, copying, hand-over and the plain
// accessors of its information block.
#include "image/picture.h"

#include "image/bitfields.h"
#include "image/byteorder.h"
#include "image/checked_math.h"
#include "image/picture_ops.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Copies the information block without the fields that describe the
// destination's own buffers: a picture never carries another one's pixel
// pointer, ghost link or layer count.
void CopyInfoBlock(CPicInfoBlock& dst, const CPicInfoBlock& src)
{
    BYTE* bits = dst.bits;
    CPicture* ghostOf = dst.ghostOf;
    LONG numLayers = dst.numLayers;
    dst = src;
    dst.bits = bits;
    dst.ghostOf = ghostOf;
    dst.numLayers = numLayers;
}

LONG PelsPerMetre(LONG dpi)
{
    double pels = std::floor(double(dpi) * 39.37007874015748 + 0.5);
    return pels > double(INT32_MAX) ? LONG(INT32_MAX) : LONG(pels);
}

} // namespace

// ---- construction ----------------------------------------------------------

CPicture::CPicture(DWORD type) { Startup(type); }

CPicture::CPicture(DWORD width, DWORD height, DWORD bpp, DWORD type)
{
    Startup(type);
    Create(width, height, bpp, type);
}

CPicture::CPicture(const CPicture& src, bool copyPixels, bool copySelection, bool copyAlpha)
{
    Startup(src.GetType());
    Copy(src, copyPixels, copySelection, copyAlpha);
}

CPicture::~CPicture()
{
    if (info.ghostOf)
        return; // the buffers belong to the source
    Destroy();
}

CPicture& CPicture::operator=(const CPicture& src)
{
    if (this != &src)
        Copy(src, true, true, true);
    return *this;
}

void CPicture::Startup(DWORD type)
{
    dibBlock = nullptr;
    selection = nullptr;
    alpha = nullptr;
    layers = nullptr;
    std::memset(&header, 0, sizeof(header));
    std::memset(&info, 0, sizeof(info));
    info.type = type;
    info.jpegQuality = 90;
    info.alphaMax = 255;
    info.transIndex = -1;
    info.enabled = true;
    SetXDPI(96);
    SetYDPI(96);
}

void CPicture::ReleaseBuffers()
{
    if (layers) {
        for (LONG i = 0; i < info.numLayers; ++i)
            delete layers[i];
        std::free(layers);
        layers = nullptr;
    }
    info.numLayers = 0;
    std::free(selection);
    selection = nullptr;
    std::free(alpha);
    alpha = nullptr;
    std::free(dibBlock);
    dibBlock = nullptr;
    info.bits = nullptr;
}

bool CPicture::Destroy()
{
    if (info.ghostOf)
        return false;
    ReleaseBuffers();
    return true;
}

bool CPicture::SetError(const char* text)
{
    std::strncpy(info.lastError, text ? text : "", sizeof(info.lastError) - 1);
    info.lastError[sizeof(info.lastError) - 1] = '\0';
    return false;
}

// ---- creation --------------------------------------------------------------

BYTE* CPicture::Create(DWORD width, DWORD height, DWORD bpp, DWORD type)
{
    if (!Destroy())
        return nullptr;

    // Until the block exists the picture is plainly empty.
    header.biWidth = 0;
    header.biHeight = 0;
    header.biBitCount = 0;
    header.biSizeImage = 0;
    header.biClrUsed = 0;
    info.effWidth = 0;

    if (width == 0 || height == 0) {
        SetError("CPicture::Create : width and height must be greater than zero");
        return nullptr;
    }

    if (bpp <= 1)
        bpp = 1;
    else if (bpp <= 4)
        bpp = 4;
    else if (bpp <= 8)
        bpp = 8;
    else
        bpp = 24;

    // All sizes in 64 bits: the block, the row width and the alpha and
    // selection planes (width x height bytes) must each stay below 2^31.
    uint64_t bits, rowBytes, image, pixels, total;
    DWORD colors = bpp == 24 ? 0 : (DWORD(1) << bpp);
    bool fits = width <= DWORD(INT32_MAX) && height <= DWORD(INT32_MAX) && PicCheckedMul(width, bpp, bits)
        && PicCheckedMul(width, height, pixels) && pixels <= kPicMaxBytes
        && (pixels * bpp) / 256 <= 256000000u;
    if (fits) {
        rowBytes = (bits + 31) / 32 * 4;
        fits = PicCheckedMul(rowBytes, height, image) && PicCheckedAdd(image, 40 + uint64_t(colors) * 4, total)
            && total <= kPicMaxBytes;
    }
    if (!fits) {
        SetError("CPICTURE_MAX_MEMORY exceeded");
        return nullptr;
    }

    BYTE* block = static_cast<BYTE*>(std::calloc(1, size_t(total)));
    if (!block) {
        SetError("CPicture::Create can't allocate memory");
        return nullptr;
    }

    info.type = type;
    info.effWidth = DWORD(rowBytes);
    info.nearestCacheValid = false;
    header.biSize = 40;
    header.biWidth = LONG(width);
    header.biHeight = LONG(height);
    header.biPlanes = 1;
    header.biBitCount = WORD(bpp);
    header.biCompression = 0;
    header.biSizeImage = DWORD(image);
    header.biClrUsed = colors;
    header.biClrImportant = 0;

    dibBlock = block;
    std::memcpy(dibBlock, &header, sizeof(header));
    info.bits = GetBits(0);
    return dibBlock;
}

BYTE* CPicture::CreateForDecode(DWORD width, DWORD height, DWORD bpp, DWORD type, const char* createFailed)
{
    if (ExceedsDecodeLimit(width, height)) {
        Destroy();
        SetError(kPicDecodeLimitText);
        return nullptr;
    }
    BYTE* bits = Create(width, height, bpp, type);
    if (!bits && createFailed)
        SetError(createFailed);
    // A decode starts clean: the caller's transparency is not the file's.
    info.transIndex = -1;
    info.alphaPaletteEnabled = false;
    return bits;
}

DWORD CPicture::GetMaxDecodePixels() const
{
    return info.maxDecodePixels ? info.maxDecodePixels : kPicDefaultMaxDecodePixels;
}

size_t CPicture::PlaneSize() const
{
    // Create keeps width x height below 2^31.
    return dibBlock ? size_t(GetWidth()) * GetHeight() : 0;
}

// ---- copying ---------------------------------------------------------------

bool CPicture::Copy(const CPicture& src, bool copyPixels, bool copySelection, bool copyAlpha)
{
    if (&src == this)
        return true;
    if (info.ghostOf)
        return false;

    CopyInfoBlock(info, src.info);
    if (!src.IsValid()) {
        Destroy();
        header = src.header;
        info.effWidth = 0;
        return true;
    }
    if (!Create(src.GetWidth(), src.GetHeight(), src.GetBpp(), src.GetType()))
        return false;

    header.biXPelsPerMeter = src.header.biXPelsPerMeter;
    header.biYPelsPerMeter = src.header.biYPelsPerMeter;
    header.biClrImportant = src.header.biClrImportant;
    if (src.header.biClrUsed < header.biClrUsed)
        TrimPalette(src.header.biClrUsed);
    if (copyPixels) {
        std::memcpy(dibBlock, src.dibBlock, GetSize());
    } else {
        SetPalette(src.GetPalette(), src.header.biClrUsed);
    }
    std::memcpy(dibBlock, &header, sizeof(header));
    info.nearestCacheValid = false;

    size_t plane = PlaneSize();
    auto clone = [plane](const BYTE* from) {
        BYTE* to = static_cast<BYTE*>(std::malloc(plane));
        if (to)
            std::memcpy(to, from, plane);
        return to;
    };
    if (copySelection && src.selection)
        selection = clone(src.selection);
    if (copyAlpha && src.alpha)
        alpha = clone(src.alpha);
    if ((copySelection && src.selection && !selection) || (copyAlpha && src.alpha && !alpha)) {
        Destroy();
        return SetError("CPicture::Create can't allocate memory");
    }
    return true;
}

void CPicture::CopyInfo(const CPicture& src)
{
    if (!dibBlock)
        CopyInfoBlock(info, src.info);
}

bool CPicture::Transfer(CPicture& from)
{
    if (&from == this)
        return true;
    if (from.info.ghostOf)
        return false; // its buffers are not its own to give
    if (!Destroy())
        return false;

    header = from.header;
    info = from.info;
    dibBlock = from.dibBlock;
    selection = from.selection;
    alpha = from.alpha;
    layers = from.layers;
    info.ghostOf = nullptr;
    info.bits = GetBits(0);

    std::memset(&from.header, 0, sizeof(from.header));
    std::memset(&from.info, 0, sizeof(from.info));
    from.dibBlock = nullptr;
    from.selection = nullptr;
    from.alpha = nullptr;
    from.layers = nullptr;
    return true;
}

void CPicture::Ghost(const CPicture* src)
{
    if (!src || src == this)
        return;
    if (!info.ghostOf)
        ReleaseBuffers();
    header = src->header;
    info = src->info;
    dibBlock = src->dibBlock;
    selection = src->selection;
    alpha = src->alpha;
    layers = src->layers;
    info.ghostOf = const_cast<CPicture*>(src);
}

void CPicture::Clear(BYTE value)
{
    if (!dibBlock)
        return;
    BYTE fill = value;
    if (header.biBitCount == 1)
        fill = value ? 255 : 0;
    else if (header.biBitCount == 4)
        fill = BYTE((value & 15) * 17);
    std::memset(info.bits, fill, header.biSizeImage);
}

// Shared by CreateFromArray and CreateFromMatrix: row(i) gives source row i.
template <class RowAt>
static bool FillFromRows(CPicture& pic, DWORD width, DWORD height, DWORD bpp, DWORD bytesPerLine, bool flipImage,
    RowAt row)
{
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return false;
    if (bpp == 32 && uint64_t(bytesPerLine) < uint64_t(width) * 4)
        return false; // a row could not hold its pixels
    if (!pic.Create(width, height, bpp, 0))
        return false;
    if (bpp < 24)
        pic.SetGrayPalette();
    if (bpp == 32 && !pic.AlphaCreate()) {
        pic.Destroy();
        return false;
    }
    DWORD eff = pic.GetEffWidth();
    DWORD copy = eff < bytesPerLine ? eff : bytesPerLine;
    for (DWORD i = 0; i < height; ++i) {
        const BYTE* src = row(i);
        if (!src)
            continue;
        DWORD y = flipImage ? height - 1 - i : i;
        BYTE* dst = pic.GetBits(y);
        if (bpp == 32) {
            BYTE* a = pic.AlphaGetPointer(0, LONG(y));
            for (DWORD x = 0; x < width; ++x, src += 4, dst += 3) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
                a[x] = src[3];
            }
        } else {
            std::memcpy(dst, src, copy);
        }
    }
    return true;
}

bool CPicture::CreateFromArray(const BYTE* array, DWORD width, DWORD height, DWORD bpp, DWORD bytesPerLine,
    bool flipImage)
{
    if (!array)
        return false;
    return FillFromRows(*this, width, height, bpp, bytesPerLine, flipImage,
        [&](DWORD i) { return array + size_t(i) * bytesPerLine; });
}

bool CPicture::CreateFromMatrix(const BYTE* const* rows, DWORD width, DWORD height, DWORD bpp,
    DWORD bytesPerLine, bool flipImage)
{
    if (!rows)
        return false;
    return FillFromRows(
        *this, width, height, bpp, bytesPerLine, flipImage, [&](DWORD i) { return rows[i]; });
}

bool CPicture::Bitfield2RGB(const BYTE* src, DWORD redMask, DWORD greenMask, DWORD blueMask, BYTE bpp)
{
    if (!dibBlock || !src || header.biBitCount != 24 || (bpp != 16 && bpp != 32))
        return false;
    DWORD width = GetWidth();
    DWORD height = GetHeight();
    size_t srcRow = bpp == 16 ? size_t((width + 1) / 2) * 4 : size_t(width) * 4;
    CPicBitfieldChannel red(redMask), green(greenMask), blue(blueMask);
    bool plainBytes = bpp == 32 && redMask == 0 && greenMask == 0 && blueMask == 0;

    // Backwards from the last pixel: src may be this picture's own rows.
    for (DWORD y = height; y-- > 0;) {
        const BYTE* s = src + y * srcRow;
        BYTE* d = info.bits + size_t(y) * info.effWidth;
        for (DWORD x = width; x-- > 0;) {
            BYTE b, g, r;
            if (plainBytes) {
                b = s[x * 4], g = s[x * 4 + 1], r = s[x * 4 + 2];
            } else {
                DWORD w = bpp == 16 ? PicGetU16(s + size_t(x) * 2) : PicGetU32(s + size_t(x) * 4);
                b = blue.Expand(w), g = green.Expand(w), r = red.Expand(w);
            }
            d[x * 3] = b;
            d[x * 3 + 1] = g;
            d[x * 3 + 2] = r;
        }
    }
    return true;
}

// ---- geometry and plain accessors ------------------------------------------

BYTE* CPicture::GetBits(DWORD row) const
{
    if (!dibBlock || row >= GetHeight())
        return nullptr;
    return dibBlock + header.biSize + GetPaletteSize() + size_t(row) * info.effWidth;
}

bool CPicture::TrimPalette(DWORD n)
{
    if (!dibBlock || n == 0 || n > header.biClrUsed)
        return false;
    if (n == header.biClrUsed)
        return true;
    BYTE* from = GetBits(0);
    header.biClrUsed = n;
    info.bits = GetBits(0);
    std::memmove(info.bits, from, header.biSizeImage);
    std::memcpy(dibBlock, &header, sizeof(header));
    info.nearestCacheValid = false;
    return true;
}

DWORD CPicture::GetSize() const { return header.biSize + header.biClrUsed * 4 + header.biSizeImage; }

bool CPicture::IsInside(LONG x, LONG y) const
{
    return x >= 0 && y >= 0 && DWORD(x) < GetWidth() && DWORD(y) < GetHeight() && header.biWidth > 0
        && header.biHeight > 0;
}

int CPicture::CompareColors(const void* a, const void* b)
{
    int la = picops::Gray(*static_cast<const RGBQUAD*>(a));
    int lb = picops::Gray(*static_cast<const RGBQUAD*>(b));
    return la - lb;
}

void CPicture::FreeMemory(void* p) { std::free(p); }

const char* CPicture::GetVersion() { return "CPicture 1.00"; }

float CPicture::GetVersionNumber() { return 1.0f; }

DWORD CPicture::GetColorType() const
{
    if (alpha)
        return 4;
    return header.biBitCount <= 8 ? 1 : 2;
}

RGBQUAD CPicture::GetTransColor() const
{
    if (header.biBitCount < 24 && info.transIndex != -1)
        return GetPaletteColor(BYTE(info.transIndex));
    return info.transColor;
}

void CPicture::SetTransColor(RGBQUAD c)
{
    c.rgbReserved = 0;
    info.transColor = c;
}

void CPicture::SetXDPI(LONG dpi)
{
    if (dpi < 1)
        dpi = 96;
    info.xDpi = dpi;
    header.biXPelsPerMeter = PelsPerMetre(dpi);
}

void CPicture::SetYDPI(LONG dpi)
{
    if (dpi < 1)
        dpi = 96;
    info.yDpi = dpi;
    header.biYPelsPerMeter = PelsPerMetre(dpi);
}

void CPicture::GetOffset(LONG* x, LONG* y) const
{
    if (x)
        *x = info.xOffset;
    if (y)
        *y = info.yOffset;
}

void CPicture::SetOffset(LONG x, LONG y)
{
    info.xOffset = x;
    info.yOffset = y;
}

void CPicture::SetFlags(DWORD flags, bool lockReserved)
{
    info.flags = lockReserved ? (flags & 0xFFFFu) : flags;
}

DWORD CPicture::GetCodecOption(DWORD type) const
{
    if (type == 0)
        type = info.type;
    return type < PIC_FORMAT_COUNT ? info.codecOptions[type] : 0;
}

bool CPicture::SetCodecOption(DWORD option, DWORD type)
{
    if (type == 0)
        type = info.type;
    if (type >= PIC_FORMAT_COUNT)
        return false;
    info.codecOptions[type] = option;
    return true;
}

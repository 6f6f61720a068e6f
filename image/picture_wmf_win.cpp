#include "image/picture_wmf_win.h"

#include "image/byteorder.h"
#include "image/checked_math.h"
#include "image/picgdi_win.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const DWORD kPlaceableKey = 0x9AC6CDD7u;

// The one owner of an enhanced metafile handle.
class CPicEnhMetafile {
public:
    explicit CPicEnhMetafile(HENHMETAFILE h = nullptr)
        : m_h(h)
    {
    }
    ~CPicEnhMetafile() { Reset(); }
    CPicEnhMetafile(const CPicEnhMetafile&) = delete;
    CPicEnhMetafile& operator=(const CPicEnhMetafile&) = delete;
    HENHMETAFILE Get() const { return m_h; }
    void Reset(HENHMETAFILE h = nullptr)
    {
        if (m_h)
            DeleteEnhMetaFile(m_h);
        m_h = h;
    }

private:
    HENHMETAFILE m_h;
};

// Selects a palette into a context and puts the previous one back.
class CPicSelectPalette {
public:
    CPicSelectPalette(HDC dc, HPALETTE pal)
        : m_dc(dc)
        , m_old(pal ? SelectPalette(dc, pal, FALSE) : nullptr)
    {
        if (pal)
            RealizePalette(dc);
    }
    ~CPicSelectPalette()
    {
        if (m_old)
            SelectPalette(m_dc, m_old, FALSE);
    }
    CPicSelectPalette(const CPicSelectPalette&) = delete;
    CPicSelectPalette& operator=(const CPicSelectPalette&) = delete;

private:
    HDC m_dc;
    HPALETTE m_old;
};

// The placeable header's box in screen pixels; 64 bits, the box and the screen are the caller's.
SIZE PlaceableSize(const CPlaceableMetaHeader& h, HDC screen)
{
    SIZE s;
    s.cx = LONG(int64_t(LONG(h.right) - h.left) * GetDeviceCaps(screen, LOGPIXELSX) / h.inch);
    s.cy = LONG(int64_t(LONG(h.bottom) - h.top) * GetDeviceCaps(screen, LOGPIXELSY) / h.inch);
    return s;
}

} // namespace

bool CPictureWMF::Decode(FILE* stream, LONG forceWidth, LONG forceHeight)
{
    CPicIOFile file(stream);
    return Decode(&file, forceWidth, forceHeight);
}

bool CPictureWMF::Encode(FILE* stream)
{
    CPicIOFile file(stream);
    return Encode(&file);
}

bool CPictureWMF::Encode(CPicFile* file)
{
    if (!file)
        return SetError("null file handler");
    return SetError("Save WMF not supported");
}

bool CPictureWMF::CheckMetafileHeader(const CPlaceableMetaHeader& h)
{
    const WORD* words = reinterpret_cast<const WORD*>(&h);
    WORD sum = 0;
    for (int i = 0; i < 10; ++i)
        sum = WORD(sum ^ words[i]);
    return h.key == kPlaceableKey && sum == h.checksum && h.inch >= 1 && h.inch <= 2540;
}

HENHMETAFILE CPictureWMF::ReadPlaceableMetafile(CPicFile* file, CPlaceableMetaHeader& header)
{
    LONG total = file->Size();
    static_assert(sizeof(CPlaceableMetaHeader) == 22, "placeable header is 22 bytes");
    if (file->Read(&header, 1, 22) != 22 || !CheckMetafileHeader(header))
        return nullptr;
    BYTE standard[18];
    if (file->Read(standard, 1, 18) != 18)
        return nullptr;
    WORD type = PicGetU16(standard);
    uint64_t bytes = uint64_t(PicGetU32(standard + 6)) * 2;
    if ((type != 1 && type != 2) || bytes < 18 || bytes > uint64_t(total < 0 ? 0 : total))
        return nullptr;
    std::vector<BYTE> bits;
    try {
        bits.resize(size_t(bytes));
    } catch (...) {
        return nullptr;
    }
    if (!file->Seek(22, SEEK_SET) || file->Read(bits.data(), 1, bits.size()) != bits.size())
        return nullptr;

    CPicScreenDC screen;
    METAFILEPICT mfp;
    mfp.mm = MM_ANISOTROPIC;
    SIZE box = PlaceableSize(header, screen.Get());
    mfp.xExt = box.cx;
    mfp.yExt = box.cy;
    // Finer extents for small pictures; only positive ones, and a few times at most.
    for (int i = 0; i < 4 && mfp.xExt > 0 && mfp.yExt > 0 && mfp.xExt < 6554 && mfp.yExt < 6554; ++i) {
        mfp.xExt *= 10;
        mfp.yExt *= 10;
    }
    mfp.hMF = nullptr;
    HENHMETAFILE h = SetWinMetaFileBits(UINT(bits.size()), bits.data(), screen.Get(), &mfp);
    if (!h) {
        mfp.mm = MM_TEXT;
        h = SetWinMetaFileBits(UINT(bits.size()), bits.data(), screen.Get(), &mfp);
    }
    return h;
}

HENHMETAFILE CPictureWMF::ReadEnhancedMetafile(CPicFile* file, ENHMETAHEADER& header)
{
    LONG here = file->Tell(), size = file->Size();
    if (here < 0 || size <= here)
        return nullptr;
    std::vector<BYTE> bytes;
    try {
        bytes.resize(size_t(size - here));
    } catch (...) {
        return nullptr;
    }
    if (file->Read(bytes.data(), 1, bytes.size()) != bytes.size())
        return nullptr;
    HENHMETAFILE h = SetEnhMetaFileBits(UINT(bytes.size()), bytes.data());
    if (h && GetEnhMetaFileHeader(h, sizeof(header), &header) == 0) {
        DeleteEnhMetaFile(h);
        return nullptr;
    }
    return h;
}

void CPictureWMF::ShrinkMetafile(LONG& width, LONG& height)
{
    if (width > 4000) {
        height = LONG(int64_t(height) * 4000 / width);
        width = 4000;
    }
    if (height > 4000) {
        width = LONG(int64_t(width) * 4000 / height);
        height = 4000;
    }
}

bool CPictureWMF::Decode(CPicFile* file, LONG forceWidth, LONG forceHeight)
{
    if (!file)
        return SetError("null file handler");
    LONG pos = file->Tell();

    CPicEnhMetafile metafile;
    LONG width = 0, height = 0;
    CPlaceableMetaHeader placeable;
    metafile.Reset(ReadPlaceableMetafile(file, placeable));
    if (metafile.Get()) {
        CPicScreenDC screen;
        SIZE box = PlaceableSize(placeable, screen.Get());
        width = box.cx;
        height = box.cy;
    } else {
        ENHMETAHEADER emh;
        file->Seek(pos, SEEK_SET);
        metafile.Reset(ReadEnhancedMetafile(file, emh));
        if (!metafile.Get())
            return SetError("corrupted WMF");
        width = LONG(int64_t(emh.rclBounds.right) - emh.rclBounds.left);
        height = LONG(int64_t(emh.rclBounds.bottom) - emh.rclBounds.top);
    }
    if (info.escape)
        return SetError("Cancelled");
    if (forceWidth)
        width = forceWidth;
    if (forceHeight)
        height = forceHeight;
    // A box turned inside out is as empty as one of no size.
    if (width <= 0 || height <= 0)
        return SetError("empty WMF");
    ShrinkMetafile(width, height);
    if (width <= 0 || height <= 0)
        return SetError("empty WMF");
    if (ExceedsDecodeLimit(width, height))
        return SetError(kPicDecodeLimitText);

    RECT rc = { 0, 0, width, height };
    HPALETTE metafilePalette = nullptr;
    UINT entries = GetEnhMetaFilePaletteEntries(metafile.Get(), 0, nullptr);
    if (entries != 0 && entries != GDI_ERROR) {
        std::vector<BYTE> block(sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY));
        LOGPALETTE* lp = reinterpret_cast<LOGPALETTE*>(block.data());
        lp->palVersion = 0x300;
        lp->palNumEntries = WORD(entries);
        GetEnhMetaFilePaletteEntries(metafile.Get(), entries, lp->palPalEntry);
        metafilePalette = CreatePalette(lp);
        if (!metafilePalette)
            return SetError("Cancelled");
    }
    // Declared first, so it outlives the memory context it is selected into.
    CPicGdiObject palette(metafilePalette);
    CPicScreenDC screen;
    CPicGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    CPicMemoryDC memory(screen.Get());
    if (!bitmap.Get() || !memory.Get())
        return false;
    int bpp = GetDeviceCaps(memory.Get(), BITSPIXEL);
    {
        CPicSelect selectBitmap(memory.Get(), bitmap.Get());
        COLORREF oldBk = SetBkColor(memory.Get(), GetSysColor(COLOR_WINDOW));
        ExtTextOutA(memory.Get(), 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
        SetBkColor(memory.Get(), oldBk);
        CPicSelectPalette selectPalette(memory.Get(), metafilePalette);
        PlayEnhMetaFile(memory.Get(), metafile.Get(), &rc);
    }
    metafile.Reset();
    if (info.escape)
        return SetError("Cancelled");

    if (!Create(DWORD(width), DWORD(height), DWORD(bpp), PIC_FORMAT_WMF))
        return false;
    int lines = GetDIBits(memory.Get(), static_cast<HBITMAP>(bitmap.Get()), 0, UINT(height), GetBits(),
        reinterpret_cast<BITMAPINFO*>(dibBlock), DIB_RGB_COLORS);
    // GDI may rewrite the block's header; ours is the one that counts.
    std::memcpy(dibBlock, &header, sizeof(header));
    if (lines == 0) {
        Destroy();
        return false;
    }
    return true;
}

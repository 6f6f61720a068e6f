#include "controls/dib.h"

#include <algorithm>
#include <cstring>

BYTE* CDib::Create(int nWidth, int nHeight, int nBitCount) {
    Release();
    if (nWidth <= 0 || nHeight <= 0)
        return nullptr;
    int nBits, nEntries;
    if (nBitCount < 2)
        nBits = 1, nEntries = 2;
    else if (nBitCount < 5)
        nBits = 4, nEntries = 16;
    else if (nBitCount <= 8)
        nBits = 8, nEntries = 256;
    else
        nBits = 24, nEntries = 0;
    const unsigned long long nLine = ((unsigned long long)nBits * (unsigned)nWidth + 31) / 32 * 4;
    const unsigned long long nImage = nLine * (unsigned)nHeight;
    if (nImage > 0x10000000ULL)  // 256 MB: no button face is that big
        return nullptr;
    m_nLineWidth = (int)nLine;
    m_nPaletteEntries = nEntries;
    m_header = BITMAPINFOHEADER{};
    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_header.biWidth = nWidth;
    m_header.biHeight = nHeight;
    m_header.biPlanes = 1;
    m_header.biBitCount = (WORD)nBits;
    m_header.biCompression = 0;  // BI_RGB
    m_header.biSizeImage = (DWORD)nImage;
    m_block.assign(sizeof(BITMAPINFOHEADER) + 4 * (size_t)nEntries + (size_t)nImage, 0);
    std::memcpy(m_block.data(), &m_header, sizeof(m_header));
    return m_block.data();
}

void CDib::Release() {
    m_block.clear();
    m_block.shrink_to_fit();
    m_header = BITMAPINFOHEADER{};
    m_nLineWidth = m_nPaletteEntries = 0;
}

RGBQUAD* CDib::Palette() { return (RGBQUAD*)(m_block.data() + sizeof(BITMAPINFOHEADER)); }
const RGBQUAD* CDib::Palette() const { return (const RGBQUAD*)(m_block.data() + sizeof(BITMAPINFOHEADER)); }

BYTE* CDib::GetBits() { return IsValid() ? m_block.data() + sizeof(BITMAPINFOHEADER) + GetPaletteSize() : nullptr; }
const BYTE* CDib::GetBits() const {
    return IsValid() ? m_block.data() + sizeof(BITMAPINFOHEADER) + GetPaletteSize() : nullptr;
}

DWORD CDib::GetSize() const {
    return IsValid() ? (DWORD)(sizeof(BITMAPINFOHEADER) + GetPaletteSize() + m_header.biSizeImage) : 0;
}

void CDib::SetPaletteIndex(int nIndex, BYTE r, BYTE g, BYTE b) {
    if (!IsValid() || nIndex < 0 || nIndex >= m_nPaletteEntries)
        return;
    Palette()[nIndex] = RGBQUAD{b, g, r, 0};
}

RGBQUAD CDib::GetPaletteColor(int nIndex) const {
    if (!IsValid() || nIndex < 0 || nIndex >= m_nPaletteEntries)
        return RGBQUAD{0, 0, 0, 0};
    return Palette()[nIndex];
}

void CDib::SetGrayPalette() {
    if (!IsValid() || m_nPaletteEntries == 0)
        return;
    for (int i = 0; i < m_nPaletteEntries; ++i) {
        const BYTE v = (BYTE)(i * 255 / std::max(1, m_nPaletteEntries - 1));
        SetPaletteIndex(i, v, v, v);
    }
    SetPaletteIndex(0, 0, 0, 0);
    SetPaletteIndex(m_nPaletteEntries - 1, 255, 255, 255);
}

void CDib::BlendPalette(COLORREF crColour, int nPercent) {
    if (!IsValid())
        return;
    const int p = std::max(0, std::min(100, nPercent));
    RGBQUAD* pPal = Palette();
    for (int i = 0; i < m_nPaletteEntries; ++i) {
        pPal[i].rgbBlue = (BYTE)((pPal[i].rgbBlue * (100 - p) + GetBValue(crColour) * p) / 100);
        pPal[i].rgbGreen = (BYTE)((pPal[i].rgbGreen * (100 - p) + GetGValue(crColour) * p) / 100);
        pPal[i].rgbRed = (BYTE)((pPal[i].rgbRed * (100 - p) + GetRValue(crColour) * p) / 100);
    }
}

BYTE CDib::GetNearestIndex(RGBQUAD rgb) const {
    long nBest = 200000;
    BYTE nIndex = 0;
    for (int i = 0; i < m_nPaletteEntries; ++i) {
        const RGBQUAD& e = Palette()[i];
        const long dr = e.rgbRed - rgb.rgbRed, dg = e.rgbGreen - rgb.rgbGreen, db = e.rgbBlue - rgb.rgbBlue;
        const long d = dr * dr + dg * dg + db * db;
        if (d == 0)
            return (BYTE)i;
        if (d < nBest) {
            nBest = d;
            nIndex = (BYTE)i;
        }
    }
    return nIndex;
}

BYTE* CDib::PixelAddress(int x, int y) {
    if (!IsValid() || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return nullptr;
    return GetBits() + (size_t)(GetHeight() - 1 - y) * m_nLineWidth;
}

BYTE CDib::GetPixelIndex(int x, int y) const {
    BYTE* pRow = const_cast<CDib*>(this)->PixelAddress(x, y);
    if (pRow == nullptr || m_nPaletteEntries == 0)
        return 0;
    switch (GetBitCount()) {
    case 8:
        return pRow[x];
    case 4:
        return (BYTE)((pRow[x / 2] >> ((1 - x % 2) * 4)) & 0x0F);
    default:
        return (BYTE)((pRow[x / 8] >> (7 - x % 8)) & 1);
    }
}

void CDib::SetPixelIndex(int x, int y, BYTE nIndex) {
    BYTE* pRow = PixelAddress(x, y);
    if (pRow == nullptr || m_nPaletteEntries == 0)
        return;
    switch (GetBitCount()) {
    case 8:
        pRow[x] = nIndex;
        break;
    case 4: {
        const int nShift = (1 - x % 2) * 4;
        pRow[x / 2] = (BYTE)((pRow[x / 2] & ~(0x0F << nShift)) | ((nIndex & 0x0F) << nShift));
        break;
    }
    default: {
        const int nShift = 7 - x % 8;
        pRow[x / 8] = (BYTE)((pRow[x / 8] & ~(1 << nShift)) | ((nIndex & 1) << nShift));
        break;
    }
    }
}

RGBQUAD CDib::GetPixelColor(int x, int y) const {
    if (m_nPaletteEntries > 0)
        return GetPaletteColor(GetPixelIndex(x, y));
    const BYTE* pRow = const_cast<CDib*>(this)->PixelAddress(x, y);
    if (pRow == nullptr)
        return RGBQUAD{0, 0, 0, 0};
    return RGBQUAD{pRow[x * 3], pRow[x * 3 + 1], pRow[x * 3 + 2], 0};
}

void CDib::SetPixelColor(int x, int y, RGBQUAD rgb) {
    if (m_nPaletteEntries > 0) {
        SetPixelIndex(x, y, GetNearestIndex(rgb));
        return;
    }
    BYTE* pRow = PixelAddress(x, y);
    if (pRow == nullptr)
        return;
    pRow[x * 3] = rgb.rgbBlue;
    pRow[x * 3 + 1] = rgb.rgbGreen;
    pRow[x * 3 + 2] = rgb.rgbRed;
}

void CDib::SetPixelColor(int x, int y, COLORREF cr) {
    SetPixelColor(x, y, RGBQUAD{GetBValue(cr), GetGValue(cr), GetRValue(cr), 0});
}

namespace {
const int HSLMAX = 240, RGBMAX = 255, UNDEFINED_HUE = HSLMAX * 2 / 3;

int HueToRGB(int n1, int n2, int hue) {
    if (hue < 0)
        hue += HSLMAX;
    if (hue > HSLMAX)
        hue -= HSLMAX;
    if (hue < HSLMAX / 6)
        return n1 + ((n2 - n1) * hue + HSLMAX / 12) / (HSLMAX / 6);
    if (hue < HSLMAX / 2)
        return n2;
    if (hue < HSLMAX * 2 / 3)
        return n1 + ((n2 - n1) * (HSLMAX * 2 / 3 - hue) + HSLMAX / 12) / (HSLMAX / 6);
    return n1;
}
}  // namespace

// The returned quad holds hue in rgbRed, lightness in rgbGreen, saturation in rgbBlue.
RGBQUAD CDib::RGBtoHSL(RGBQUAD rgb) {
    const int r = rgb.rgbRed, g = rgb.rgbGreen, b = rgb.rgbBlue;
    const int cMax = std::max({r, g, b}), cMin = std::min({r, g, b});
    const int l = ((cMax + cMin) * HSLMAX + RGBMAX) / (2 * RGBMAX);
    int h, s;
    if (cMax == cMin) {
        s = 0;
        h = UNDEFINED_HUE;
    } else {
        if (l <= HSLMAX / 2)
            s = ((cMax - cMin) * HSLMAX + (cMax + cMin) / 2) / (cMax + cMin);
        else
            s = ((cMax - cMin) * HSLMAX + (2 * RGBMAX - cMax - cMin) / 2) / (2 * RGBMAX - cMax - cMin);
        const int rd = ((cMax - r) * (HSLMAX / 6) + (cMax - cMin) / 2) / (cMax - cMin);
        const int gd = ((cMax - g) * (HSLMAX / 6) + (cMax - cMin) / 2) / (cMax - cMin);
        const int bd = ((cMax - b) * (HSLMAX / 6) + (cMax - cMin) / 2) / (cMax - cMin);
        if (r == cMax)
            h = bd - gd;
        else if (g == cMax)
            h = HSLMAX / 3 + rd - bd;
        else
            h = 2 * HSLMAX / 3 + gd - rd;
        if (h < 0)
            h += HSLMAX;
        if (h > HSLMAX)
            h -= HSLMAX;
    }
    return RGBQUAD{(BYTE)s, (BYTE)l, (BYTE)h, 0};
}

RGBQUAD CDib::HSLtoRGB(RGBQUAD hsl) {
    const int h = hsl.rgbRed, l = hsl.rgbGreen, s = hsl.rgbBlue;
    int r, g, b;
    if (s == 0) {
        r = g = b = l * RGBMAX / HSLMAX;
    } else {
        const int n2 = l <= HSLMAX / 2 ? (l * (HSLMAX + s) + HSLMAX / 2) / HSLMAX : l + s - (l * s + HSLMAX / 2) / HSLMAX;
        const int n1 = 2 * l - n2;
        r = (HueToRGB(n1, n2, h + HSLMAX / 3) * RGBMAX + HSLMAX / 2) / HSLMAX;
        g = (HueToRGB(n1, n2, h) * RGBMAX + HSLMAX / 2) / HSLMAX;
        b = (HueToRGB(n1, n2, h - HSLMAX / 3) * RGBMAX + HSLMAX / 2) / HSLMAX;
    }
    auto clamp = [](int v) { return (BYTE)std::max(0, std::min(255, v)); };
    return RGBQUAD{clamp(b), clamp(g), clamp(r), 0};
}

BOOL CDib::Clone(const CDib& other) {
    if (&other == this)
        return TRUE;
    if (!other.IsValid()) {
        Release();
        return FALSE;
    }
    if (Create(other.GetWidth(), other.GetHeight(), other.GetBitCount()) == nullptr)
        return FALSE;
    m_block = other.m_block;
    return TRUE;
}

void CDib::Clear(BYTE nValue) {
    if (IsValid())
        std::memset(GetBits(), nValue, m_header.biSizeImage);
}

BOOL CDib::HasInfoHeader() const {
    return IsValid() && ((const BITMAPINFOHEADER*)m_block.data())->biSize == sizeof(BITMAPINFOHEADER);
}

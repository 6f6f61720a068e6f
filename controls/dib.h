// A device-independent bitmap in one block: header, palette and bottom-up
// pixel rows, as the platform's DIB functions take them.
#pragma once

#include <vector>

#include "afx/wintypes.h"

class CDib {
public:
    CDib() = default;
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;

    // Bits per pixel become 1, 4, 8 or 24; null when the size is unusable.
    BYTE* Create(int nWidth, int nHeight, int nBitCount);
    void Release();
    BOOL IsValid() const { return !m_block.empty(); }
    BYTE* GetBits();
    const BYTE* GetBits() const;
    DWORD GetSize() const;
    int GetWidth() const { return (int)m_header.biWidth; }
    int GetHeight() const { return (int)m_header.biHeight; }
    int GetLineWidth() const { return m_nLineWidth; }
    int GetBitCount() const { return m_header.biBitCount; }
    int GetPaletteSize() const { return 4 * m_nPaletteEntries; }
    int GetPaletteEntries() const { return m_nPaletteEntries; }
    const BITMAPINFO* GetInfo() const { return (const BITMAPINFO*)m_block.data(); }

    void SetPaletteIndex(int nIndex, BYTE r, BYTE g, BYTE b);
    void SetPaletteIndex(int nIndex, RGBQUAD rgb) { SetPaletteIndex(nIndex, rgb.rgbRed, rgb.rgbGreen, rgb.rgbBlue); }
    void SetPaletteIndex(int nIndex, COLORREF cr) { SetPaletteIndex(nIndex, GetRValue(cr), GetGValue(cr), GetBValue(cr)); }
    RGBQUAD GetPaletteColor(int nIndex) const;
    void SetGrayPalette();
    void BlendPalette(COLORREF crColour, int nPercent);
    BYTE GetNearestIndex(RGBQUAD rgb) const;
    // (0, 0) is the top-left pixel.
    BYTE GetPixelIndex(int x, int y) const;
    void SetPixelIndex(int x, int y, BYTE nIndex);
    RGBQUAD GetPixelColor(int x, int y) const;
    void SetPixelColor(int x, int y, RGBQUAD rgb);
    void SetPixelColor(int x, int y, COLORREF cr);
    // Hue, lightness and saturation on 0..240; RGB on 0..255.
    static RGBQUAD RGBtoHSL(RGBQUAD rgb);
    static RGBQUAD HSLtoRGB(RGBQUAD hsl);
    BOOL Clone(const CDib& other);
    void Clear(BYTE nValue);
    BOOL HasInfoHeader() const;

#ifdef _WIN32
    BOOL Draw(HDC hDC, int x, int y) const;
    BOOL Stretch(HDC hDC, int x, int y, int cx, int cy) const;
    // Writes over an existing file only.
    BOOL WriteBMP(LPCSTR pszFile) const;
#endif

private:
    RGBQUAD* Palette();
    const RGBQUAD* Palette() const;
    BYTE* PixelAddress(int x, int y);

    std::vector<BYTE> m_block;
    BITMAPINFOHEADER m_header{};
    int m_nLineWidth = 0;
    int m_nPaletteEntries = 0;
};

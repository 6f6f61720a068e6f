#include "controls/dib.h"

BOOL CDib::Draw(HDC hDC, int x, int y) const {
    if (!IsValid() || hDC == nullptr)
        return FALSE;
    ::SetStretchBltMode(hDC, COLORONCOLOR);
    return ::SetDIBitsToDevice(hDC, x, y, (DWORD)GetWidth(), (DWORD)GetHeight(), 0, 0, 0, (UINT)GetHeight(), GetBits(),
                               GetInfo(), DIB_RGB_COLORS) != 0;
}

BOOL CDib::Stretch(HDC hDC, int x, int y, int cx, int cy) const {
    if (!IsValid() || hDC == nullptr)
        return FALSE;
    ::SetStretchBltMode(hDC, COLORONCOLOR);
    return ::StretchDIBits(hDC, x, y, cx, cy, 0, 0, GetWidth(), GetHeight(), GetBits(), GetInfo(), DIB_RGB_COLORS,
                           SRCCOPY) != 0;
}

BOOL CDib::WriteBMP(LPCSTR pszFile) const {
    if (pszFile == nullptr || *pszFile == '\0' || !IsValid())
        return FALSE;
    HANDLE hFile = ::CreateFileA(pszFile, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfSize = GetSize() + 14;
    header.bfOffBits = 14 + 40 + (DWORD)GetPaletteSize();
    DWORD nWritten = 0;
    BOOL bOK = ::WriteFile(hFile, &header, 14, &nWritten, nullptr) && nWritten == 14;
    bOK = bOK && ::WriteFile(hFile, GetInfo(), GetSize(), &nWritten, nullptr) && nWritten == GetSize();
    ::CloseHandle(hFile);
    return bOK;
}

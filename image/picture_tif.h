// TIFF codec on libtiff over a CPicFile: one page read (through libtiff's
// RGBA reader or strip by strip), single, appended and multi-page writing.
#pragma once

#include "image/picture.h"

#include <cstdio>

struct tiff;

// libtiff over a CPicFile: the client procedures, a cap on any single
// allocation and a per-handle error handler that keeps the library quiet.
// The file's position at the open is offset 0 of the TIFF.
tiff* TiffClientOpenOverPicFile(const char* name, const char* mode, CPicFile* file);
tiff* TiffOpenPicFile(CPicFile* file, const char* mode);

class VELTRAN_IMAGE_API CPictureTIF : public CPicture {
public:
    CPictureTIF()
        : CPicture(PIC_FORMAT_TIF)
        , tif(nullptr)
        , pages(0)
    {
    }
    // A copy never shares the open handle of appended pages.
    CPictureTIF(const CPictureTIF& src)
        : CPicture(src)
        , tif(nullptr)
        , pages(0)
    {
    }
    CPictureTIF& operator=(const CPictureTIF& src)
    {
        CPicture::operator=(src);
        return *this;
    }
    ~CPictureTIF() override;

    bool Decode(CPicFile* file);
    bool Decode(FILE* stream);
    bool Encode(CPicFile* file, bool append = false);
    bool Encode(FILE* stream, bool append = false);
    bool Encode(CPicFile* file, CPicture** pictures, int count);
    bool Encode(FILE* stream, CPicture** pictures, int count);

    tiff* TIFFOpenEx(CPicFile* file);
    void TIFFCloseEx(tiff* handle);

protected:
    bool DecodePage(tiff* handle);
    bool DecodeRgba(tiff* handle, DWORD width, DWORD height, bool withAlphaSample, bool premultiplied);
    void Orient(WORD orientation);
    bool DecodeRows(tiff* handle, DWORD width, DWORD height, WORD samples, WORD bits, WORD photometric);
    bool EncodeBody(tiff* handle, bool multipage, int page, int pageCount);
    static void TileToStrip(BYTE* out, const BYTE* in, DWORD rows, DWORD cols, DWORD outSkip, DWORD inSkip);
    // Closes the handle of appended pages; the next encode starts a new file.
    void CloseWriter();

    tiff* tif;
    LONG pages;
};

// The dispatcher's single-page encode is a non-appending one.
inline bool PicCodecEncode(CPictureTIF& codec, CPicFile* file, DWORD) { return codec.Encode(file, false); }

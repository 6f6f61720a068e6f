// JPEG codec on libjpeg, reading and writing through a CPicFile, with the
// EXIF pass before every decode and the EXIF carry-over after an encode.
#pragma once

#include "image/picture.h"
#include "image/picture_exif.h"

#include <cstdio>

struct CJpegDecodeJob;
struct CJpegEncodeJob;

class VELTRAN_IMAGE_API CPictureJPG : public CPicture {
public:
    using CPicExifInfo = ::CPicExifInfo;

    // Bits of the codec option word of format code 3.
    enum {
        JPEG_OPT_BASELINE = 0x1,
        JPEG_OPT_ARITHMETIC = 0x2,
        JPEG_OPT_GREY_ENCODE = 0x4,
        JPEG_OPT_OPTIMIZE = 0x8,
        JPEG_OPT_PROGRESSIVE = 0x10,
        JPEG_OPT_SMOOTHING = 0x40,
        JPEG_OPT_GREY_DECODE = 0x80,
        JPEG_OPT_QUANTIZE = 0x100,
        JPEG_OPT_DITHER = 0x200,
        JPEG_OPT_ONE_PASS = 0x400,
        JPEG_OPT_NO_FANCY_UPSAMPLING = 0x800
    };

    // Scans a decode reads before giving up (progressive streams can repeat
    // scans without end).
    enum { MAX_SCANS = 500 };

    CPictureJPG();
    // A copy has no EXIF reader of its own: it carries the values, not the
    // kept sections, so its thumbnail pointer is cleared.
    CPictureJPG(const CPictureJPG& src);
    CPictureJPG& operator=(const CPictureJPG& src);
    ~CPictureJPG() override;

    bool DecodeExif(CPicFile* file);
    bool DecodeExif(FILE* stream);
    bool Decode(CPicFile* file);
    bool Decode(FILE* stream);
    bool Encode(CPicFile* file);
    bool Encode(FILE* stream);

    const tag_ExifInfo& GetExifInfo() const { return exifInfo; }
    const CPicExifInfo* GetExifReader() const { return exif; }
    LONG GetSmoothing() const { return smoothing; }
    void SetSmoothing(LONG value) { smoothing = value; }
    LONG GetDither() const { return dither; }
    void SetDither(LONG value) { dither = value; }

protected:
    static bool DecodeRun(CJpegDecodeJob& job);
    static bool EncodeRun(CJpegEncodeJob& job);
    void CopyJpgFields(const CPictureJPG& src);

    CPicExifInfo* exif;
    tag_ExifInfo exifInfo;
    LONG smoothing;
    LONG dither;
};

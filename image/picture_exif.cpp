#include "image/picture_exif.h"

#include "image/checked_math.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Byte size of each EXIF value format, indexed by format code.
const DWORD kFormatSize[13] = { 0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8 };

enum {
    TAG_MAKE = 0x010F,
    TAG_MODEL = 0x0110,
    TAG_ORIENTATION = 0x0112,
    TAG_X_RESOLUTION = 0x011A,
    TAG_Y_RESOLUTION = 0x011B,
    TAG_RESOLUTION_UNIT = 0x0128,
    TAG_THUMBNAIL_OFFSET = 0x0201,
    TAG_THUMBNAIL_LENGTH = 0x0202,
    TAG_EXPOSURETIME = 0x829A,
    TAG_FNUMBER = 0x829D,
    TAG_EXIF_OFFSET = 0x8769,
    TAG_EXPOSURE_PROGRAM = 0x8822,
    TAG_ISO_EQUIVALENT = 0x8827,
    TAG_EXIF_VERSION = 0x9000,
    TAG_DATETIME_ORIGINAL = 0x9003,
    TAG_COMPRESSION_LEVEL = 0x9102,
    TAG_SHUTTERSPEED = 0x9201,
    TAG_APERTURE = 0x9202,
    TAG_BRIGHTNESS = 0x9203,
    TAG_EXPOSURE_BIAS = 0x9204,
    TAG_MAXAPERTURE = 0x9205,
    TAG_SUBJECT_DISTANCE = 0x9206,
    TAG_METERING_MODE = 0x9207,
    TAG_LIGHT_SOURCE = 0x9208,
    TAG_FLASH = 0x9209,
    TAG_FOCALLENGTH = 0x920A,
    TAG_USERCOMMENT = 0x9286,
    TAG_EXIF_IMAGEWIDTH = 0xA002,
    TAG_EXIF_IMAGELENGTH = 0xA003,
    TAG_INTEROP_OFFSET = 0xA005,
    TAG_FOCALPLANEXRES = 0xA20E,
    TAG_FOCALPLANEYRES = 0xA20F,
    TAG_FOCALPLANEUNITS = 0xA210,
};

// Truncation toward zero that stays defined for any double.
LONG ToLong(double v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0)
        return 0x7FFFFFFF;
    if (v <= -2147483648.0)
        return LONG(-2147483647 - 1);
    return LONG(v);
}

// Inches per unit; false leaves the field as it was.
bool InchesPerUnit(LONG unit, float& out)
{
    switch (unit) {
    case 1:
    case 2:
        out = 1.0f;
        return true;
    case 3:
        out = 0.3937007784843445f;
        return true;
    case 4:
        out = 0.03937007859349251f;
        return true;
    case 5:
        out = 3.937007932108827e-05f;
        return true;
    default:
        return false;
    }
}

// Text values are not NUL-terminated in the block; the record's zeroing ends them.
void CopyText(char* dst, size_t limit, const BYTE* value, DWORD byteCount)
{
    size_t n = byteCount < limit ? byteCount : limit;
    std::memcpy(dst, value, n);
    dst[n] = '\0';
}

} // namespace

CPicExifInfo::CPicExifInfo(tag_ExifInfo* info)
{
    ownsInfo = info == nullptr;
    exifInfo = info ? info : static_cast<tag_ExifInfo*>(std::calloc(1, sizeof(tag_ExifInfo)));
    if (!exifInfo) {
        // Without memory for a record of its own the reader fills a static dummy.
        static tag_ExifInfo s_spare;
        exifInfo = &s_spare;
        ownsInfo = false;
    }
    lastError[0] = '\0';
    exifImageWidth = 0;
    bigEndian = 0;
    std::memset(sections, 0, sizeof(sections));
    sectionsRead = 0;
    visitedCount = 0;
}

CPicExifInfo::~CPicExifInfo()
{
    FreeSections();
    if (ownsInfo)
        std::free(exifInfo);
}

CPicExifInfo& CPicExifInfo::operator=(const CPicExifInfo& src)
{
    if (this != &src) {
        *exifInfo = *src.exifInfo;
        exifInfo->thumbnail = nullptr;
        exifInfo->thumbnailSize = 0;
        std::memcpy(lastError, src.lastError, sizeof(lastError));
        exifImageWidth = src.exifImageWidth;
        bigEndian = src.bigEndian;
    }
    return *this;
}

void CPicExifInfo::FreeSections()
{
    for (int i = 0; i <= MAX_SECTIONS; ++i) {
        std::free(sections[i].data);
        sections[i].data = nullptr;
    }
    sectionsRead = 0;
}

void CPicExifInfo::SetError(const char* text)
{
    std::strncpy(lastError, text, sizeof(lastError) - 1);
    lastError[sizeof(lastError) - 1] = '\0';
}

WORD CPicExifInfo::Get16m(const BYTE* p) const { return WORD((p[0] << 8) | p[1]); }

WORD CPicExifInfo::Get16u(const BYTE* p) const { return bigEndian ? WORD((p[0] << 8) | p[1]) : WORD((p[1] << 8) | p[0]); }

DWORD CPicExifInfo::Get32u(const BYTE* p) const
{
    if (bigEndian)
        return (DWORD(p[0]) << 24) | (DWORD(p[1]) << 16) | (DWORD(p[2]) << 8) | DWORD(p[3]);
    return (DWORD(p[3]) << 24) | (DWORD(p[2]) << 16) | (DWORD(p[1]) << 8) | DWORD(p[0]);
}

LONG CPicExifInfo::Get32s(const BYTE* p) const { return LONG(Get32u(p)); }

// ---- the section walk --------------------------------------------------------

bool CPicExifInfo::DecodeExif(CPicFile* file, int mode)
{
    if (!file)
        return false;
    if (file->GetC() != 0xFF || file->GetC() != 0xD8)
        return false;

    while (sectionsRead < MAX_SECTIONS) {
        LONG marker = 0;
        for (int a = 0;; ++a) {
            marker = file->GetC();
            if (marker != 0xFF)
                break;
            if (a >= 6) {
                std::printf("too many padding bytes\n");
                return false;
            }
        }
        if (marker < 0) {
            SetError("Premature end of file?");
            return false;
        }

        LONG hi = file->GetC();
        LONG lo = file->GetC();
        if (hi < 0 || lo < 0) {
            SetError("Premature end of file?");
            return false;
        }
        DWORD length = (DWORD(hi) << 8) | DWORD(lo);
        if (length < 2) {
            SetError("invalid marker");
            return false;
        }
        BYTE* data = static_cast<BYTE*>(std::malloc(length));
        if (!data) {
            SetError("Could not allocate memory");
            return false;
        }
        data[0] = BYTE(hi);
        data[1] = BYTE(lo);
        if (file->Read(data + 2, 1, length - 2) != length - 2) {
            std::free(data);
            SetError("Premature end of file?");
            return false;
        }
        Section& s = sections[sectionsRead];
        s.data = data;
        s.type = marker;
        s.size = length;
        ++sectionsRead;
        auto drop = [&]() {
            std::free(s.data);
            s.data = nullptr;
            --sectionsRead;
        };

        switch (marker) {
        case 0xDA:
            if (mode & EXIF_READ_IMAGE) {
                LONG cur = file->Tell();
                LONG end = -1;
                if (cur >= 0 && file->Seek(0, SEEK_END))
                    end = file->Tell();
                if (end < cur || !file->Seek(cur, SEEK_SET)) {
                    SetError("could not read the rest of the image");
                    return false;
                }
                DWORD size = DWORD(end - cur);
                BYTE* rest = static_cast<BYTE*>(std::malloc(size ? size : 1));
                if (!rest) {
                    SetError("could not allocate data for entire image");
                    return false;
                }
                if (file->Read(rest, 1, size) != size) {
                    std::free(rest);
                    SetError("could not read the rest of the image");
                    return false;
                }
                Section& image = sections[sectionsRead];
                image.data = rest;
                image.type = SECTION_IMAGE_DATA;
                image.size = size;
                ++sectionsRead;
            }
            return true;
        case 0xD9:
            std::printf("No image in jpeg!\n");
            return false;
        case 0xFE:
            if ((mode & EXIF_READ_EXIF) && !FindSection(0xFE))
                process_COM(s.data, s.size);
            else
                drop();
            break;
        case 0xE0:
            drop();
            break;
        case 0xE1:
            // Only the first EXIF block is read and kept: the thumbnail
            // pointer must stay inside a section that DiscardAllButExif keeps.
            if ((mode & EXIF_READ_EXIF) && length >= 6 && std::memcmp(s.data + 2, "Exif", 4) == 0
                && !FindSection(0xE1)) {
                exifInfo->hasExif = process_EXIF(s.data + 2, length - 2);
            } else {
                drop();
            }
            break;
        case 0xC0:
        case 0xC1:
        case 0xC2:
        case 0xC3:
        case 0xC5:
        case 0xC6:
        case 0xC7:
        case 0xC9:
        case 0xCA:
        case 0xCB:
        case 0xCD:
        case 0xCE:
        case 0xCF:
            process_SOFn(s.data, s.size, marker);
            break;
        default:
            break;
        }
    }
    SetError("Too many sections in jpg file");
    return false;
}

CPicExifInfo::Section* CPicExifInfo::FindSection(LONG type)
{
    for (int i = 0; i + 1 < sectionsRead; ++i) {
        if (sections[i].type == type)
            return &sections[i];
    }
    return nullptr;
}

void CPicExifInfo::DiscardAllButExif()
{
    Section exifSection = {}, comment = {};
    for (int i = 0; i < sectionsRead; ++i) {
        Section& s = sections[i];
        if (s.type == 0xE1 && !exifSection.data)
            exifSection = s;
        else if (s.type == 0xFE && !comment.data)
            comment = s;
        else
            std::free(s.data);
        s.data = nullptr;
    }
    sectionsRead = 0;
    if (exifSection.data)
        sections[sectionsRead++] = exifSection;
    if (comment.data)
        sections[sectionsRead++] = comment;
    if (!exifSection.data) {
        exifInfo->thumbnail = nullptr;
        exifInfo->thumbnailSize = 0;
    }
}

bool CPicExifInfo::EncodeExif(CPicFile* file)
{
    if (!file || !FindSection(0xDA)) {
        SetError("Can't write exif : didn't read all");
        return false;
    }
    static const BYTE kJfif[18] = { 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01, 0x01, 0x01, 0x01, 0x2C,
        0x01, 0x2C, 0x00, 0x00 };
    bool ok = file->PutC(0xFF) && file->PutC(0xD8);
    if (ok && sections[0].type != 0xE1 && sections[0].type != 0xE0)
        ok = file->Write(kJfif, 1, sizeof(kJfif)) == sizeof(kJfif);
    for (int i = 0; ok && i + 1 < sectionsRead; ++i) {
        const Section& s = sections[i];
        ok = file->PutC(0xFF) && file->PutC(BYTE(s.type)) && file->Write(s.data, 1, s.size) == s.size;
    }
    if (ok) {
        const Section& last = sections[sectionsRead - 1];
        ok = last.size == 0 || file->Write(last.data, 1, last.size) == last.size;
    }
    if (!ok)
        SetError("Can't write exif : write error");
    return ok;
}

// ---- the EXIF block ----------------------------------------------------------

bool CPicExifInfo::process_EXIF(BYTE* data, DWORD length)
{
    exifInfo->flashUsed = 0;
    exifInfo->comments[0] = '\0';
    exifImageWidth = 0;
    visitedCount = 0;

    static const BYTE kHeader[6] = { 'E', 'x', 'i', 'f', 0, 0 };
    if (length < 6 || std::memcmp(data, kHeader, 6) != 0) {
        SetError("Incorrect Exif header");
        return false;
    }
    if (length < 14) {
        SetError("Invalid Exif alignment marker.");
        return false;
    }
    if (data[6] == 'I' && data[7] == 'I') {
        bigEndian = 0;
    } else if (data[6] == 'M' && data[7] == 'M') {
        bigEndian = 1;
    } else {
        SetError("Invalid Exif alignment marker.");
        return false;
    }
    if (Get16u(data + 8) != 42) {
        SetError("Invalid Exif start (1)");
        return false;
    }
    // Offsets count from the TIFF header, six bytes in.
    const BYTE* base = data + 6;
    DWORD exifLength = length - 6;
    DWORD firstOffset = Get32u(data + 10);
    if (firstOffset < 8 || uint64_t(firstOffset) + 2 > exifLength) {
        SetError("Illegally sized directory");
        return false;
    }
    if (!ProcessExifDir(firstOffset, base, exifLength, exifInfo))
        return false;

    if (exifInfo->focalPlaneXRes != 0)
        exifInfo->ccdWidth = float(exifImageWidth * exifInfo->focalPlaneUnits / exifInfo->focalPlaneXRes);
    return true;
}

bool CPicExifInfo::Visit(DWORD dirOffset)
{
    for (int i = 0; i < visitedCount; ++i) {
        if (visited[i] == dirOffset)
            return false;
    }
    if (visitedCount == MAX_DIRECTORIES)
        return false;
    visited[visitedCount++] = dirOffset;
    return true;
}

bool CPicExifInfo::ProcessExifDir(DWORD dirOffset, const BYTE* offsetBase, DWORD exifLength, tag_ExifInfo* info)
{
    if (uint64_t(dirOffset) + 2 > exifLength) {
        SetError("Illegally sized directory");
        return false;
    }
    if (!Visit(dirOffset))
        return true; // already walked: a cyclic link ends here
    const BYTE* dir = offsetBase + dirOffset;
    DWORD entries = Get16u(dir);
    uint64_t entriesEnd = uint64_t(dirOffset) + 2 + 12 * uint64_t(entries);
    if (entriesEnd > exifLength) {
        SetError("Illegally sized directory");
        return false;
    }

    DWORD thumbOffset = 0, thumbLength = 0;
    for (DWORD e = 0; e < entries; ++e) {
        const BYTE* entry = dir + 2 + 12 * e;
        WORD tag = Get16u(entry);
        WORD format = Get16u(entry + 2);
        DWORD components = Get32u(entry + 4);
        if (format < 1 || format > 12) {
            SetError("Illegal format code in EXIF dir");
            return false;
        }
        uint64_t byteCount = uint64_t(components) * kFormatSize[format];
        const BYTE* value;
        if (byteCount > 4) {
            DWORD offset = Get32u(entry + 8);
            if (uint64_t(offset) + byteCount > exifLength) {
                SetError("Illegal pointer offset value in EXIF.");
                return false;
            }
            value = offsetBase + offset;
        } else {
            value = entry + 8;
        }

        switch (tag) {
        case TAG_THUMBNAIL_OFFSET:
            thumbOffset = DWORD(ToLong(ConvertAnyFormat(value, format, DWORD(byteCount))));
            break;
        case TAG_THUMBNAIL_LENGTH:
            thumbLength = DWORD(ToLong(ConvertAnyFormat(value, format, DWORD(byteCount))));
            break;
        case TAG_EXIF_OFFSET:
        case TAG_INTEROP_OFFSET: {
            if (byteCount < 4)
                break;
            DWORD sub = Get32u(value);
            if (sub > 8) {
                if (uint64_t(sub) > exifLength) {
                    SetError("Illegal subdirectory link");
                    return false;
                }
                ProcessExifDir(sub, offsetBase, exifLength, info);
            }
            break;
        }
        default:
            ProcessExifTag(tag, format, value, DWORD(byteCount), info);
            break;
        }
    }

    // The link to the next directory, when the block still holds it.
    if (entriesEnd + 4 <= exifLength) {
        DWORD next = Get32u(offsetBase + entriesEnd);
        if (next) {
            if (uint64_t(next) > exifLength) {
                SetError("Illegal subdirectory link");
                return false;
            }
            ProcessExifDir(next, offsetBase, exifLength, info);
        }
    }

    if (thumbOffset && thumbLength && uint64_t(thumbOffset) + thumbLength <= exifLength) {
        info->thumbnail = const_cast<BYTE*>(offsetBase) + thumbOffset;
        info->thumbnailSize = thumbLength;
    }
    return true;
}

void CPicExifInfo::ProcessExifTag(WORD tag, WORD format, const BYTE* value, DWORD byteCount, tag_ExifInfo* info)
{
    auto number = [&]() { return ConvertAnyFormat(value, format, byteCount); };
    switch (tag) {
    case TAG_MAKE:
        CopyText(info->make, sizeof(info->make) - 1, value, byteCount);
        break;
    case TAG_MODEL:
        CopyText(info->model, sizeof(info->model) - 1, value, byteCount);
        break;
    case TAG_EXIF_VERSION:
        CopyText(info->exifVersion, sizeof(info->exifVersion) - 1, value, byteCount);
        break;
    case TAG_DATETIME_ORIGINAL:
        CopyText(info->dateTimeOriginal, sizeof(info->dateTimeOriginal) - 1, value, byteCount);
        break;
    case TAG_ORIENTATION: {
        LONG o = ToLong(number());
        if (o < 1 || o > 8) {
            SetError("Undefined rotation value");
            o = 0;
        }
        info->orientation = o;
        break;
    }
    case TAG_USERCOMMENT: {
        // Trimmed on a copy: the kept section is written out again unchanged.
        char text[200];
        DWORD n = byteCount;
        while (n > 0 && (value[n - 1] == ' ' || value[n - 1] == '\0'))
            --n;
        DWORD start = 0;
        if (n >= 5 && std::memcmp(value, "ASCII", 5) == 0) {
            start = n;
            for (DWORD i = 5; i < 10 && i < n; ++i) {
                if (value[i] != '\0' && value[i] != ' ') {
                    start = i;
                    break;
                }
            }
        }
        DWORD len = n - start;
        if (len > sizeof(text) - 1)
            len = sizeof(text) - 1;
        std::memcpy(text, value + start, len);
        text[len] = '\0';
        std::memcpy(info->comments, text, len + 1);
        break;
    }
    case TAG_X_RESOLUTION:
        info->xResolution = float(number());
        break;
    case TAG_Y_RESOLUTION:
        info->yResolution = float(number());
        break;
    case TAG_RESOLUTION_UNIT:
        InchesPerUnit(ToLong(number()), info->resolutionUnit);
        break;
    case TAG_FOCALPLANEUNITS:
        InchesPerUnit(ToLong(number()), info->focalPlaneUnits);
        break;
    case TAG_FOCALPLANEXRES:
        info->focalPlaneXRes = float(number());
        break;
    case TAG_FOCALPLANEYRES:
        info->focalPlaneYRes = float(number());
        break;
    case TAG_EXPOSURETIME:
        info->exposureTime = float(number());
        break;
    case TAG_SHUTTERSPEED:
        if (info->exposureTime == 0)
            info->exposureTime = float(1.0 / std::exp2(number()));
        break;
    case TAG_FNUMBER:
        info->apertureFNumber = float(number());
        break;
    case TAG_APERTURE:
    case TAG_MAXAPERTURE:
        if (info->apertureFNumber == 0)
            info->apertureFNumber = float(std::exp2(number() / 2));
        break;
    case TAG_FOCALLENGTH:
        info->focalLength = float(number());
        break;
    case TAG_SUBJECT_DISTANCE:
        info->distance = float(number());
        break;
    case TAG_FLASH:
        info->flashUsed = (ToLong(number()) & 7) ? 1 : 0;
        break;
    case TAG_EXPOSURE_BIAS:
        info->exposureBias = float(number());
        break;
    case TAG_BRIGHTNESS:
        info->brightness = float(number());
        break;
    case TAG_LIGHT_SOURCE:
        info->lightSource = ToLong(number());
        break;
    case TAG_METERING_MODE:
        info->meteringMode = ToLong(number());
        break;
    case TAG_EXPOSURE_PROGRAM:
        info->exposureProgram = ToLong(number());
        break;
    case TAG_ISO_EQUIVALENT: {
        double iso = ToLong(number());
        info->isoEquivalent = ToLong(iso < 50 ? iso * 200 : iso);
        break;
    }
    case TAG_COMPRESSION_LEVEL:
        info->compressionLevel = ToLong(number());
        break;
    case TAG_EXIF_IMAGEWIDTH:
    case TAG_EXIF_IMAGELENGTH: {
        LONG a = ToLong(number());
        if (exifImageWidth < a)
            exifImageWidth = a;
        break;
    }
    default:
        break;
    }
}

double CPicExifInfo::ConvertAnyFormat(const BYTE* valuePtr, int format, DWORD byteCount) const
{
    // A value shorter than its format (no components) reads as 0.
    if (format < 1 || format > 12 || byteCount < kFormatSize[format])
        return 0;
    switch (format) {
    case 1:
        return *valuePtr;
    case 3:
        return Get16u(valuePtr);
    case 4:
        return Get32u(valuePtr);
    case 5:
    case 10: {
        LONG num = Get32s(valuePtr);
        LONG den = Get32s(valuePtr + 4);
        return den == 0 ? 0 : double(num) / double(den);
    }
    case 6:
        return static_cast<signed char>(*valuePtr);
    case 8:
        return int16_t(Get16u(valuePtr));
    case 9:
        return Get32s(valuePtr);
    case 11: {
        DWORD bits = Get32u(valuePtr);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    case 12: {
        uint64_t hi = Get32u(valuePtr + (bigEndian ? 0 : 4));
        uint64_t lo = Get32u(valuePtr + (bigEndian ? 4 : 0));
        uint64_t bits = (hi << 32) | lo;
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    default:
        return 0;
    }
}

// ---- the other sections --------------------------------------------------------

void CPicExifInfo::process_COM(const BYTE* data, DWORD length)
{
    if (length > 1000)
        length = 1000;
    char* out = exifInfo->comments;
    size_t n = 0;
    for (DWORD a = 2; a < length; ++a) {
        BYTE ch = data[a];
        if (ch == '\r' && a + 1 < length && data[a + 1] == '\n')
            continue;
        if ((ch >= 32 && ch < 127) || ch == '\n' || ch == '\t')
            out[n++] = char(ch);
        else
            out[n++] = '?';
    }
    out[n] = '\0';
}

void CPicExifInfo::process_SOFn(const BYTE* data, DWORD length, int marker)
{
    if (length < 8)
        return;
    exifInfo->height = Get16m(data + 3);
    exifInfo->width = Get16m(data + 5);
    exifInfo->isColour = data[7] == 3 ? 1 : 0;
    exifInfo->process = marker;
}

// EXIF reader: walks the marker sections of a JPEG stream up to its image
// data, keeps the ones the JPEG codec carries over, reads the camera values
// of the EXIF block and writes a stream back from the kept sections.
#pragma once

#include "afx/wintypes.h"
#include "image/image_api.h"
#include "image/picfile.h"

struct tag_ExifInfo {
    char exifVersion[5];
    char make[32];
    char model[40];
    char dateTimeOriginal[20];
    LONG height;
    LONG width;
    LONG orientation;
    LONG isColour;
    LONG process;
    LONG flashUsed;
    float focalLength;
    float exposureTime;
    float apertureFNumber;
    float distance;
    float ccdWidth;
    float exposureBias;
    LONG lightSource;
    LONG meteringMode;
    LONG exposureProgram;
    LONG isoEquivalent;
    LONG compressionLevel;
    float focalPlaneXRes;
    float focalPlaneYRes;
    float focalPlaneUnits;
    float xResolution;
    float yResolution;
    float resolutionUnit;
    float brightness;
    char comments[1000];
    BYTE* thumbnail; // inside the reader's kept EXIF section, not owned
    DWORD thumbnailSize;
    bool hasExif;
};

class VELTRAN_IMAGE_API CPicExifInfo {
public:
    enum { MAX_SECTIONS = 20 };
    // DecodeExif mode bits.
    enum { EXIF_READ_EXIF = 1, EXIF_READ_IMAGE = 2 };
    enum { SECTION_IMAGE_DATA = 0x123 };

    explicit CPicExifInfo(tag_ExifInfo* info = nullptr);
    ~CPicExifInfo();
    CPicExifInfo(const CPicExifInfo&) = delete;
    // Copies the values and the last error, never the kept sections (the
    // thumbnail pointer of the copy is cleared).
    CPicExifInfo& operator=(const CPicExifInfo& src);

    bool DecodeExif(CPicFile* file, int mode);
    bool EncodeExif(CPicFile* file);
    void DiscardAllButExif();

    const char* GetLastError() const { return lastError; }
    const tag_ExifInfo& GetInfo() const { return *exifInfo; }
    int GetSectionCount() const { return sectionsRead; }
    LONG GetSectionType(int i) const { return i >= 0 && i < sectionsRead ? sections[i].type : -1; }

    struct Section {
        BYTE* data; // the two length bytes, then the payload
        LONG type;
        DWORD size;
    };

protected:
    Section* FindSection(LONG type);
    bool process_EXIF(BYTE* data, DWORD length);
    bool ProcessExifDir(DWORD dirOffset, const BYTE* offsetBase, DWORD exifLength, tag_ExifInfo* info);
    void ProcessExifTag(WORD tag, WORD format, const BYTE* value, DWORD byteCount, tag_ExifInfo* info);
    void process_COM(const BYTE* data, DWORD length);
    void process_SOFn(const BYTE* data, DWORD length, int marker);
    double ConvertAnyFormat(const BYTE* valuePtr, int format, DWORD byteCount) const;
    WORD Get16m(const BYTE* p) const;
    WORD Get16u(const BYTE* p) const;
    LONG Get32s(const BYTE* p) const;
    DWORD Get32u(const BYTE* p) const;
    void SetError(const char* text);
    void FreeSections();
    bool Visit(DWORD dirOffset);

    tag_ExifInfo* exifInfo;
    char lastError[256];
    LONG exifImageWidth;
    LONG bigEndian;
    // One slot more than the limit: the image data after a twentieth section.
    Section sections[MAX_SECTIONS + 1];
    int sectionsRead;
    bool ownsInfo;
    // Directories walked in the current block; a link back to one is not followed.
    enum { MAX_DIRECTORIES = 32 };
    DWORD visited[MAX_DIRECTORIES];
    int visitedCount;
};

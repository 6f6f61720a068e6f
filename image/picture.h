// CPicture: one raster picture held as a packed DIB (header, palette, rows
// bottom-up) with optional alpha plane and selection mask, plus the
// information block that codecs and transforms carry along.
#pragma once

#include "afx/wintypes.h"
#include "image/image_api.h"
#include "image/picfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

class CPicture;
struct CPicCodecCalls;

// Format codes (CPicture::GetType) 0-15; 0 = not yet determined.
enum {
    PIC_FORMAT_UNKNOWN = 0,
    PIC_FORMAT_BMP = 1,
    PIC_FORMAT_GIF = 2,
    PIC_FORMAT_JPG = 3,
    PIC_FORMAT_PNG = 4,
    PIC_FORMAT_ICO = 5,
    PIC_FORMAT_TIF = 6,
    PIC_FORMAT_TGA = 7,
    PIC_FORMAT_PCX = 8,
    PIC_FORMAT_WBMP = 9,
    PIC_FORMAT_WMF = 10,
    PIC_FORMAT_JP2 = 11,
    PIC_FORMAT_JPC = 12,
    PIC_FORMAT_PGX = 13,
    PIC_FORMAT_PNM = 14,
    PIC_FORMAT_RAS = 15,
    PIC_FORMAT_COUNT = 16
};

struct CPicInfoBlock {
    DWORD effWidth;
    BYTE* bits;
    CPicture* ghostOf;
    DWORD type;
    char lastError[256];
    LONG progress;
    LONG escape;
    LONG transIndex;
    RGBQUAD transColor;
    BYTE jpegQuality;
    BYTE jpegScale;
    LONG frame;
    LONG numFrames;
    DWORD frameDelay;
    LONG xDpi;
    LONG yDpi;
    RECT selectionBox;
    BYTE alphaMax;
    bool alphaPaletteEnabled;
    bool enabled;
    LONG xOffset;
    LONG yOffset;
    DWORD codecOptions[PIC_FORMAT_COUNT];
    RGBQUAD nearestCacheColor;
    BYTE nearestCacheIndex;
    bool nearestCacheValid;
    LONG numLayers;
    DWORD flags;
    DWORD maxDecodePixels; // 0 = kPicDefaultMaxDecodePixels
};

class VELTRAN_IMAGE_API CPicture {
    friend struct CPicCodecCalls;

public:
    struct rgb_color {
        BYTE r, g, b;
    };

    // ---- construction, creation, copying -----------------------------------
    explicit CPicture(DWORD type = 0);
    CPicture(DWORD width, DWORD height, DWORD bpp, DWORD type = 0);
    CPicture(const CPicture& src, bool copyPixels = true, bool copySelection = true, bool copyAlpha = true);
    CPicture(const char* fileName, DWORD type);
    CPicture(FILE* stream, DWORD type);
    CPicture(CPicFile* file, DWORD type);
    CPicture(BYTE* buffer, DWORD size, DWORD type);
    virtual ~CPicture();

    CPicture& operator=(const CPicture& src);

    bool Destroy();
    BYTE* Create(DWORD width, DWORD height, DWORD bpp, DWORD type = 0);
    bool Copy(const CPicture& src, bool copyPixels = true, bool copySelection = true, bool copyAlpha = true);
    bool Transfer(CPicture& from);
    void Clear(BYTE value = 0);
    bool CreateFromArray(const BYTE* array, DWORD width, DWORD height, DWORD bpp, DWORD bytesPerLine,
        bool flipImage);
    bool CreateFromMatrix(const BYTE* const* rows, DWORD width, DWORD height, DWORD bpp, DWORD bytesPerLine,
        bool flipImage);

    BYTE* GetBits(DWORD row = 0) const;
    DWORD GetSize() const;
    bool IsInside(LONG x, LONG y) const;
    static int CompareColors(const void* a, const void* b);
    static void FreeMemory(void* p);
    static const char* GetVersion();
    static float GetVersionNumber();

    // ---- information block -------------------------------------------------
    BYTE* GetDIB() const { return dibBlock; }
    bool IsValid() const { return dibBlock != nullptr; }
    DWORD GetWidth() const { return DWORD(header.biWidth); }
    DWORD GetHeight() const { return DWORD(header.biHeight); }
    WORD GetBpp() const { return header.biBitCount; }
    DWORD GetNumColors() const { return header.biClrUsed; }
    bool IsIndexed() const { return header.biClrUsed != 0; }
    DWORD GetEffWidth() const { return info.effWidth; }
    DWORD GetType() const { return info.type; }
    DWORD GetColorType() const;
    const char* GetLastError() const { return info.lastError; }
    LONG GetProgress() const { return info.progress; }
    void SetProgress(LONG progress) { info.progress = progress; }
    LONG GetEscape() const { return info.escape; }
    void SetEscape(LONG escape) { info.escape = escape; }
    LONG GetTransIndex() const { return info.transIndex; }
    void SetTransIndex(LONG index) { info.transIndex = index; }
    RGBQUAD GetTransColor() const;
    void SetTransColor(RGBQUAD c);
    bool IsTransparent() const { return info.transIndex >= 0; }
    BYTE GetJpegQuality() const { return info.jpegQuality; }
    void SetJpegQuality(BYTE quality) { info.jpegQuality = quality; }
    BYTE GetJpegScale() const { return info.jpegScale; }
    void SetJpegScale(BYTE scale) { info.jpegScale = scale; }
    LONG GetFrame() const { return info.frame; }
    void SetFrame(LONG frame) { info.frame = frame; }
    LONG GetNumFrames() const { return info.numFrames; }
    DWORD GetFrameDelay() const { return info.frameDelay; }
    void SetFrameDelay(DWORD delay) { info.frameDelay = delay; }
    LONG GetXDPI() const { return info.xDpi; }
    LONG GetYDPI() const { return info.yDpi; }
    void SetXDPI(LONG dpi);
    void SetYDPI(LONG dpi);
    bool IsEnabled() const { return info.enabled; }
    void Enable(bool enable = true) { info.enabled = enable; }
    void GetOffset(LONG* x, LONG* y) const;
    void SetOffset(LONG x, LONG y);
    DWORD GetFlags() const { return info.flags; }
    void SetFlags(DWORD flags, bool lockReserved = true);
    DWORD GetCodecOption(DWORD type = 0) const;
    bool SetCodecOption(DWORD option, DWORD type = 0);

    // Decoders refuse pictures of more pixels than this (0 restores the default).
    DWORD GetMaxDecodePixels() const;
    bool ExceedsDecodeLimit(DWORD width, DWORD height) const
    {
        return uint64_t(width) * height > GetMaxDecodePixels();
    }
    void SetMaxDecodePixels(DWORD pixels) { info.maxDecodePixels = pixels; }

    // ---- palette and pixels ------------------------------------------------
    DWORD GetPaletteSize() const;
    RGBQUAD* GetPalette() const;
    RGBQUAD GetPaletteColor(BYTE i) const;
    bool GetPaletteColor(BYTE i, BYTE* r, BYTE* g, BYTE* b) const;
    void SetPaletteColor(BYTE i, BYTE r, BYTE g, BYTE b, BYTE alpha = 0);
    void SetPaletteColor(BYTE i, RGBQUAD c);
    void SetPaletteColor(BYTE i, COLORREF c);
    void SetPalette(const RGBQUAD* pal, DWORD n = 256);
    void SetPalette(const rgb_color* rgb, DWORD n);
    void SetPalette(DWORD n, const BYTE* r, const BYTE* g = nullptr, const BYTE* b = nullptr);
    void SetGrayPalette();
    void BlendPalette(COLORREF c, LONG percent);
    bool IsGrayScale() const;
    bool IsSamePalette(const CPicture& other, bool checkAlpha = true) const;
    void SwapIndex(BYTE a, BYTE b);
    DWORD GetClrImportant() const { return header.biClrImportant; }
    void SetClrImportant(DWORD n);
    void SetStdPalette();

    BYTE GetPixelIndex(LONG x, LONG y) const;
    RGBQUAD GetPixelColor(LONG x, LONG y, bool getAlpha = true) const;
    BYTE GetPixelGray(LONG x, LONG y) const;
    void SetPixelIndex(LONG x, LONG y, BYTE i);
    void SetPixelColor(LONG x, LONG y, RGBQUAD c, bool setAlpha = false);
    void SetPixelColor(LONG x, LONG y, COLORREF c);
    void BlendPixelColor(LONG x, LONG y, RGBQUAD c, float blend, bool setAlpha = false);
    bool IsTransparent(LONG x, LONG y) const;
    BYTE GetNearestIndex(RGBQUAD c);
    void DrawLine(LONG x0, LONG x1, LONG y0, LONG y1, RGBQUAD c, bool setAlpha = false);
    void DrawLine(LONG x0, LONG x1, LONG y0, LONG y1, COLORREF c);

    static RGBQUAD RGBtoRGBQUAD(COLORREF c);
    static COLORREF RGBQUADtoRGB(RGBQUAD c);

    // ---- alpha -------------------------------------------------------------
    bool AlphaIsValid() const { return alpha != nullptr; }
    bool AlphaCreate();
    void AlphaDelete();
    void AlphaClear();
    void AlphaSet(BYTE level);
    void AlphaSet(LONG x, LONG y, BYTE level);
    bool AlphaSet(const CPicture& from);
    BYTE AlphaGet(LONG x, LONG y) const;
    BYTE* AlphaGetPointer(LONG x = 0, LONG y = 0) const;
    void AlphaInvert();
    BYTE AlphaGetMax() const { return info.alphaMax; }
    void AlphaSetMax(BYTE level) { info.alphaMax = level; }
    bool AlphaCopy(const CPicture& from);
    bool AlphaFlip();
    bool AlphaMirror();
    bool AlphaSplit(CPicture* dest) const;
    bool AlphaPaletteSplit(CPicture* dest) const;
    void AlphaPaletteEnable(bool enable = true) { info.alphaPaletteEnabled = enable; }
    bool AlphaPaletteIsEnabled() const { return info.alphaPaletteEnabled; }
    bool AlphaPaletteIsValid() const;
    void AlphaPaletteClear();
    void AlphaStrip();

    // ---- selection ---------------------------------------------------------
    bool SelectionIsValid() const { return selection != nullptr; }
    bool SelectionCreate();
    bool SelectionDelete();
    bool SelectionClear();
    void SelectionGetBox(RECT& r) const { r = info.selectionBox; }
    bool SelectionIsInside(LONG x, LONG y) const;
    bool SelectionAddRect(RECT r);
    bool SelectionAddEllipse(RECT r);
    bool SelectionAddPolygon(const POINT* points, LONG count);
    bool SelectionAddColor(RGBQUAD c);
    bool SelectionAddPixel(LONG x, LONG y);
    bool SelectionInvert();
    bool SelectionCopy(const CPicture& from);
    bool SelectionSplit(CPicture* dest) const;
#if defined(_WIN32)
    bool SelectionToHRGN(HRGN& region) const;
#endif

    // ---- flips and colour depth --------------------------------------------
    bool Flip();
    bool Mirror();
    bool Negative();
    bool GrayScale();
    bool IncreaseBpp(DWORD nbit);
    bool DecreaseBpp(DWORD nbit, bool errorDiffusion, const RGBQUAD* palette = nullptr, DWORD clrImportant = 0);
    bool Dither(LONG method = 0);

    // ---- format dispatch ---------------------------------------------------
    bool Decode(CPicFile* file, DWORD type);
    bool Decode(FILE* stream, DWORD type);
    bool Decode(BYTE* buffer, DWORD size, DWORD type);
    bool Load(const char* fileName, DWORD type = 0);
#if defined(_WIN32)
    bool LoadResource(HRSRC resource, DWORD type, HMODULE module = nullptr);
#endif
    bool Encode(CPicFile* file, DWORD type);
    bool Encode(FILE* stream, DWORD type);
    bool Encode(BYTE*& buffer, LONG& size, DWORD type);
    bool Encode(CPicFile* file, CPicture** pictures, int count, DWORD type);
    bool Encode(FILE* stream, CPicture** pictures, int count, DWORD type);
    bool Save(const char* fileName, DWORD type);
    bool Encode2RGBA(CPicFile* file);
    bool Encode2RGBA(BYTE*& buffer, LONG& size);

    // ---- interpolation, rotation, resampling, cropping ---------------------
    // (picture_interp.cpp, picture_rotate.cpp, picture_resample.cpp)
    enum InterpolationMethod {
        IM_NEAREST_NEIGHBOUR = 1,
        IM_BILINEAR = 2,
        IM_BSPLINE = 3,
        IM_BICUBIC = 4,
        IM_BICUBIC2 = 5,
        IM_LANCZOS = 6,
        IM_BOX = 7,
        IM_HERMITE = 8,
        IM_HAMMING = 9,
        IM_SINC = 10,
        IM_BLACKMAN = 11,
        IM_BESSEL = 12,
        IM_GAUSSIAN = 13,
        IM_QUADRATIC = 14,
        IM_MITCHELL = 15,
        IM_CATROM = 16
    };
    enum OverflowMethod {
        OM_COLOR = 1,
        OM_BACKGROUND = 2,
        OM_TRANSPARENT = 3,
        OM_WRAP = 4,
        OM_REPEAT = 5,
        OM_MIRROR = 6
    };

    void OverflowCoordinates(LONG& x, LONG& y, OverflowMethod om) const;
    void OverflowCoordinates(float& x, float& y, OverflowMethod om) const;
    RGBQUAD GetPixelColorWithOverflow(LONG x, LONG y, OverflowMethod om = OM_BACKGROUND,
        RGBQUAD* const replacement = nullptr) const;
    RGBQUAD GetPixelColorInterpolated(float x, float y, InterpolationMethod im = IM_BILINEAR,
        OverflowMethod om = OM_BACKGROUND, RGBQUAD* const replacement = nullptr) const;
    RGBQUAD GetAreaColorInterpolated(float xc, float yc, float w, float h, InterpolationMethod im,
        OverflowMethod om = OM_BACKGROUND, RGBQUAD* const replacement = nullptr) const;

    static float KernelBSpline(float x);
    static float KernelLinear(float x);
    static float KernelCubic(float x);
    static float KernelGeneralizedCubic(float x, float a);
    static float KernelLanczosSinc(float x, float radius);
    static float KernelBox(float x);
    static float KernelHermite(float x);
    static float KernelHamming(float x);
    static float KernelSinc(float x);
    static float KernelBlackman(float x);
    static float KernelBessel_J1(float x);
    static float KernelBessel_P1(float x);
    static float KernelBessel_Q1(float x);
    static float KernelBessel_Order1(float x);
    static float KernelBessel(float x);
    static float KernelGaussian(float x);
    static float KernelQuadratic(float x);
    static float KernelMitchell(float x);
    static float KernelCatrom(float x);

    bool Rotate(float angle, CPicture* dst = nullptr);
    bool Rotate2(float angle, CPicture* dst = nullptr, InterpolationMethod im = IM_BILINEAR,
        OverflowMethod om = OM_BACKGROUND, RGBQUAD* background = nullptr, bool optimizeRightAngles = true,
        bool keepSize = false);
    bool RotateLeft(CPicture* dst = nullptr);
    bool RotateRight(CPicture* dst = nullptr);
    bool Rotate180(CPicture* dst = nullptr);

    bool Resample(LONG newx, LONG newy, int mode = 1, CPicture* dst = nullptr);
    bool Resample2(LONG newx, LONG newy, InterpolationMethod im = IM_BICUBIC2, OverflowMethod om = OM_REPEAT,
        CPicture* dst = nullptr, bool disableAveraging = false);
    bool QIShrink(LONG newx, LONG newy, CPicture* dst = nullptr);
    bool Crop(LONG left, LONG top, LONG right, LONG bottom, CPicture* dst = nullptr);
    bool Crop(const RECT& rect, CPicture* dst = nullptr);
    bool CropRotatedRectangle(LONG topx, LONG topy, LONG width, LONG height, float angle, CPicture* dst = nullptr);
    bool Expand(LONG left, LONG top, LONG right, LONG bottom, RGBQUAD canvasColor, CPicture* dst = nullptr);
    bool Expand(LONG newx, LONG newy, RGBQUAD canvasColor, CPicture* dst = nullptr);
    bool Thumbnail(LONG newx, LONG newy, RGBQUAD canvasColor, CPicture* dst = nullptr);
    bool Skew(float xgain, float ygain, LONG xpivot = 0, LONG ypivot = 0, bool enableInterpolation = false);
    bool CircleTransform(int type, LONG rmax = 0, float koeff = 1.0f);

    // ---- point operations, colour spaces, filters, mixing ------------------
    // (picture_pointops.cpp, picture_colorspace.cpp, picture_filters.cpp,
    // picture_fft.cpp, picture_unsharp.cpp, picture_mix.cpp)
    enum ImageOpType {
        ImageOpAdd = 0,
        ImageOpAnd = 1,
        ImageOpXor = 2,
        ImageOpOr = 3,
        ImageOpMask = 4,
        ImageOpUnderlay = 5,
        ImageOpOverlay = 6,
        ImageOpSub = 7,
        ImageOpKeyBlend = 8,
        ImageOpAlphaBlend = 9
    };

    bool Light(LONG brightness, LONG contrast);
    bool Lut(const BYTE* table);
    bool Lut(const BYTE* redTable, const BYTE* greenTable, const BYTE* blueTable, const BYTE* alphaTable = nullptr);
    bool Gamma(float gamma);
    bool Threshold(BYTE level);
    bool ShiftRGB(LONG r, LONG g, LONG b);
    bool Colorize(BYTE hue, BYTE saturation, float blend = 1.0f);
    void HuePalette(float factor = 1.0f);
    bool RedEyeRemove();
    bool Noise(LONG level);
    float Mean();

    static RGBQUAD RGBtoHSL(RGBQUAD c);
    static RGBQUAD HSLtoRGB(RGBQUAD c);
    static RGBQUAD HSLtoRGB(COLORREF c);
    static RGBQUAD RGBtoYUV(RGBQUAD c);
    static RGBQUAD YUVtoRGB(RGBQUAD c);
    static RGBQUAD RGBtoYIQ(RGBQUAD c);
    static RGBQUAD YIQtoRGB(RGBQUAD c);
    static RGBQUAD RGBtoXYZ(RGBQUAD c);
    static RGBQUAD XYZtoRGB(RGBQUAD c);
    bool SplitRGB(CPicture* r, CPicture* g, CPicture* b);
    bool SplitYUV(CPicture* y, CPicture* u, CPicture* v);
    bool SplitYIQ(CPicture* y, CPicture* i, CPicture* q);
    bool SplitXYZ(CPicture* x, CPicture* y, CPicture* z);
    bool SplitHSL(CPicture* h, CPicture* s, CPicture* l);
    bool SplitCMYK(CPicture* c, CPicture* m, CPicture* y, CPicture* k);
    bool Combine(CPicture* r, CPicture* g, CPicture* b, CPicture* a, LONG colourSpace = 0);

    bool Filter(const LONG* kernel, LONG size, LONG divisor, LONG offset);
    bool Erode(LONG size = 2);
    bool Dilate(LONG size = 2);
    bool Edge(LONG size = 2);
    bool Median(LONG size = 3);
    bool Contour();
    bool Jitter(LONG radius = 2);
    bool Repair(float radius = 0.25f, LONG iterations = 1, LONG colourSpace = 0);

    bool FFT2(CPicture* realIn, CPicture* imagIn, CPicture* realOut, CPicture* imagOut, LONG direction = 1,
        bool forcePowerOfTwo = true, bool magnitude = true);
    bool UnsharpMask(float radius = 5.0f, float amount = 0.5f, int threshold = 0);
    bool Mix(CPicture& source, ImageOpType op, LONG dx = 0, LONG dy = 0, bool mixAlpha = false);
    void MixFrom(CPicture& source, LONG dx, LONG dy);

protected:
    static float HueToRGB(float lo, float hi, float hue);
    static bool RepairChannel(CPicture* ch, float radius);
    // Erode (rule 0), Dilate (1) and Edge (2).
    bool WindowExtremes(LONG size, int rule);
    static bool FFT(int dir, int m, double* re, double* im);
    static bool DFT(int dir, LONG m, double* re, double* im, double* re2, double* im2);
    static bool IsPowerof2(LONG value);
    static int gen_convolve_matrix(float radius, float** kernelOut);
    static float* gen_lookup_table(const float* kernel, int kernelLength);
    static void blur_line(const float* table, const float* kernel, int kernelLength, const BYTE* source,
        BYTE* destination, int length, LONG bytes);

protected:
    void AddAveragingCont(const RGBQUAD& colour, float surface, float& rr, float& gg, float& bb, float& aa);
    // An empty picture shaped like this one (information block, depth,
    // palette, an alpha plane when this has one) for a transform to fill.
    bool MakeTransformTarget(CPicture& tmp, DWORD width, DWORD height) const;
    // Gives a finished transform result to dst, or to this picture when dst is null.
    bool HandOver(CPicture& tmp, CPicture* dst);
    // The selection of a quarter (1, 3) or half (2) turn, clockwise as displayed.
    bool TurnSelectionInto(CPicture& tmp, int quarterTurns) const;

public:
#if defined(_WIN32)
    // ---- GDI interop and drawing (picture_gdi_win.cpp) ---------------------
    struct CPicTextInfo {
        char caption[4096];
        LOGFONT font;
        COLORREF textColor;
        LONG alignment;
        BYTE boxed;
        COLORREF boxColor;
        float boxSeeThrough;
        BYTE boxBorder;
        BYTE cornerPercent;
    };

    HANDLE CopyToHandle() const;
    bool CreateFromHANDLE(HANDLE h);
    HBITMAP MakeBitmap(HDC dc = nullptr) const;
    bool CreateFromHBITMAP(HBITMAP bmp, HPALETTE pal = nullptr);
    bool CreateFromHICON(HICON icon);
    LONG Draw(HDC dc, LONG x, LONG y, LONG cx = -1, LONG cy = -1, RECT* clip = nullptr, bool smooth = false) const;
    LONG Draw(HDC dc, const RECT& r, RECT* clip = nullptr, bool smooth = false) const;
    LONG Draw2(HDC dc, LONG x, LONG y, LONG cx = -1, LONG cy = -1) const;
    LONG Draw2(HDC dc, const RECT& r) const;
    LONG Stretch(HDC dc, LONG x, LONG y, LONG cx, LONG cy, DWORD rop = SRCCOPY) const;
    LONG Stretch(HDC dc, const RECT& r, DWORD rop = SRCCOPY) const;
    LONG Tile(HDC dc, RECT* r) const;
    LONG DrawString(HDC dc, LONG x, LONG y, const char* text, RGBQUAD color, const char* font, LONG size = 0,
        LONG weight = 400, BYTE italic = 0, BYTE underline = 0, bool setAlpha = false);
    LONG DrawStringEx(HDC dc, LONG x, LONG y, CPicTextInfo* info, bool setAlpha = false);
    void InitTextInfo(CPicTextInfo* info);
#endif

protected:
    void Startup(DWORD type);
    void CopyInfo(const CPicture& src);
    void Ghost(const CPicture* src);
    bool EncodeSafeCheck(CPicFile* file);
    // Sets lastError (cut to 255 characters); returns false so failures read
    // as `return SetError("...")`.
    bool SetError(const char* text);
    // The gate of every decoder: the pixel limit, then Create. When Create
    // itself fails and the codec names its own text, that text replaces Create's.
    BYTE* CreateForDecode(DWORD width, DWORD height, DWORD bpp, DWORD type, const char* createFailed = nullptr);
    bool Bitfield2RGB(const BYTE* src, DWORD redMask, DWORD greenMask, DWORD blueMask, BYTE bpp);

    BYTE BlindGetPixelIndex(LONG x, LONG y) const;
    RGBQUAD BlindGetPixelColor(LONG x, LONG y) const;
    BYTE* BlindGetPixelPointer(LONG x, LONG y) const;
    BYTE BlindAlphaGet(LONG x, LONG y) const;
    void RGBtoBGR(BYTE* buffer, int length) const;
    // The one road for changing palette entries: it drops the nearest-colour memo.
    void StorePaletteEntry(DWORD i, RGBQUAD c);
    size_t PlaneSize() const;
    void EmptySelectionBox();
    // Keeps the first n palette entries only (1 <= n <= the count), as a
    // quantising decoder that fills fewer asks; the rows move down after the
    // shorter palette, the block keeps its size.
    bool TrimPalette(DWORD n);

    BYTE* dibBlock;
    BITMAPINFOHEADER header;
    CPicInfoBlock info;
    BYTE* selection;
    BYTE* alpha;
    CPicture** layers;

private:
    void ReleaseBuffers();
};

// Two-dimensional discrete Fourier transform of a picture pair holding the
// real and imaginary parts as grey levels offset by 128.
#include "image/checked_math.h"
#include "image/picture.h"
#include "image/picture_ops.h"

#include <cmath>
#include <memory>
#include <utility>
#include <new>

using namespace picops;

bool CPicture::IsPowerof2(LONG value) { return value > 0 && (value & (value - 1)) == 0; }

bool CPicture::FFT(int dir, int m, double* re, double* im)
{
    if (!re || !im || m < 0 || m > 30)
        return false;
    LONG n = LONG(1) << m;

    LONG j = 0;
    for (LONG i = 0; i < n - 1; ++i) {
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
        LONG k = n / 2;
        while (k <= j) {
            j -= k;
            k /= 2;
        }
        j += k;
    }

    double cr = -1.0, ci = 0.0;
    LONG span = 1;
    for (int level = 0; level < m; ++level) {
        LONG half = span;
        span <<= 1;
        double wr = 1.0, wi = 0.0;
        for (LONG jj = 0; jj < half; ++jj) {
            for (LONG i = jj; i < n; i += span) {
                LONG p = i + half;
                double tr = wr * re[p] - wi * im[p];
                double ti = wr * im[p] + wi * re[p];
                re[p] = re[i] - tr;
                im[p] = im[i] - ti;
                re[i] += tr;
                im[i] += ti;
            }
            double w = wr * cr - wi * ci;
            wi = wr * ci + wi * cr;
            wr = w;
        }
        ci = std::sqrt((1.0 - cr) / 2.0);
        if (dir == 1)
            ci = -ci;
        cr = std::sqrt((1.0 + cr) / 2.0);
    }
    if (dir == 1) {
        for (LONG i = 0; i < n; ++i) {
            re[i] /= n;
            im[i] /= n;
        }
    }
    return true;
}

bool CPicture::DFT(int dir, LONG m, double* re, double* im, double* re2, double* im2)
{
    if (!re || !im || !re2 || !im2 || m <= 0)
        return false;
    for (LONG i = 0; i < m; ++i) {
        re2[i] = im2[i] = 0;
        double arg = -dir * 6.2831854820251465 * double(i) / double(m);
        for (LONG k = 0; k < m; ++k) {
            double c = std::cos(k * arg), s = std::sin(k * arg);
            re2[i] += re[k] * c - im[k] * s;
            im2[i] += re[k] * s + im[k] * c;
        }
    }
    for (LONG i = 0; i < m; ++i) {
        re[i] = dir == 1 ? re2[i] / m : re2[i];
        im[i] = dir == 1 ? im2[i] / m : im2[i];
    }
    return true;
}

namespace {

int Log2Of(LONG powerOfTwo)
{
    int m = 0;
    while ((LONG(1) << m) < powerOfTwo)
        ++m;
    return m;
}

// The input of one side, as an 8-bit grey picture of the transform's size.
// A side with no picture at all reads as zero (index 128).
bool PrepareSide(const CPicture* source, bool fullCopy, DWORD w, DWORD h, CPicture& work)
{
    if (!source) {
        if (!work.Create(w, h, 8, 0))
            return false;
        work.SetGrayPalette();
        work.Clear(128);
        return true;
    }
    if (!work.Copy(*source, true, fullCopy, fullCopy) || !work.IsValid())
        return false;
    if (!work.IsGrayScale() && !work.GrayScale())
        return false;
    if (work.GetWidth() != w || work.GetHeight() != h) {
        CPicture sized;
        if (!work.Resample(LONG(w), LONG(h), 0, &sized) || !work.Transfer(sized))
            return false;
    }
    return true;
}

} // namespace

bool CPicture::FFT2(CPicture* realIn, CPicture* imagIn, CPicture* realOut, CPicture* imagOut, LONG direction,
    bool forcePowerOfTwo, bool magnitude)
{
    if (!realIn && !imagIn)
        return false;
    if (direction != 1 && direction != -1)
        return SetError("FFT2: the direction must be 1 or -1");
    if ((realIn && !realIn->IsValid()) || (imagIn && !imagIn->IsValid()))
        return SetError("FFT2: an input picture holds no pixels");
    const CPicture* sizeOf = realIn ? realIn : imagIn;
    DWORD w = sizeOf->GetWidth(), h = sizeOf->GetHeight();

    bool xPow2 = IsPowerof2(LONG(w)), yPow2 = IsPowerof2(LONG(h));
    if (forcePowerOfTwo && !(xPow2 && yPow2)) {
        // Pictures stay below 2^31 pixels, so a side is at most 2^30 after rounding up.
        DWORD pw = 1, ph = 1;
        while (pw < w)
            pw <<= 1;
        while (ph < h)
            ph <<= 1;
        w = pw;
        h = ph;
        xPow2 = yPow2 = true;
    }
    size_t cells, gridBytes;
    if (!PicCheckedMulSize(w, h, cells) || !PicCheckedMulSize(cells, 2 * sizeof(double), gridBytes))
        return SetError("FFT2: the transform is too large");

    // Each side's picture: the input, else the output's own contents, else zero.
    // Everything is built in working pictures; the outputs change at the end.
    CPicture* realTarget = realOut ? realOut : realIn;
    CPicture* imagTarget = imagOut ? imagOut : imagIn;
    const CPicture* realSource = realIn ? realIn : realOut;
    const CPicture* imagSource = imagIn ? imagIn : imagOut;
    CPicture realWork, imagWork;
    // A side transformed in place keeps its selection and alpha plane.
    if (!PrepareSide(realSource, realTarget == realSource, w, h, realWork)
        || !PrepareSide(imagSource, imagTarget == imagSource, w, h, imagWork))
        return SetError("FFT2: no memory for the working pictures");

    std::unique_ptr<double[]> re(new (std::nothrow) double[cells]);
    std::unique_ptr<double[]> im(new (std::nothrow) double[cells]);
    size_t line = w > h ? w : h;
    std::unique_ptr<double[]> lineRe(new (std::nothrow) double[line]), lineIm(new (std::nothrow) double[line]);
    std::unique_ptr<double[]> scratchRe(new (std::nothrow) double[line]), scratchIm(new (std::nothrow) double[line]);
    if (!re || !im || !lineRe || !lineIm || !scratchRe || !scratchIm)
        return SetError("FFT2: no memory for the transform");

    // Column-major grid: column x holds the h values of pixel column x.
    for (DWORD y = 0; y < h; ++y) {
        const BYTE* r = realWork.GetBits(y);
        const BYTE* i = imagWork.GetBits(y);
        for (DWORD x = 0; x < w; ++x) {
            re[size_t(x) * h + y] = double(r[x]) - 128.0;
            im[size_t(x) * h + y] = double(i[x]) - 128.0;
        }
    }
    int mw = Log2Of(LONG(w)), mh = Log2Of(LONG(h));
    int dir = int(direction);
    for (DWORD y = 0; y < h; ++y) {
        for (DWORD x = 0; x < w; ++x) {
            lineRe[x] = re[size_t(x) * h + y];
            lineIm[x] = im[size_t(x) * h + y];
        }
        if (xPow2)
            FFT(dir, mw, lineRe.get(), lineIm.get());
        else
            DFT(dir, LONG(w), lineRe.get(), lineIm.get(), scratchRe.get(), scratchIm.get());
        for (DWORD x = 0; x < w; ++x) {
            re[size_t(x) * h + y] = lineRe[x];
            im[size_t(x) * h + y] = lineIm[x];
        }
    }
    for (DWORD x = 0; x < w; ++x) {
        double* colRe = re.get() + size_t(x) * h;
        double* colIm = im.get() + size_t(x) * h;
        if (yPow2)
            FFT(dir, mh, colRe, colIm);
        else
            DFT(dir, LONG(h), colRe, colIm, scratchRe.get(), scratchIm.get());
    }

    double nn = double(w > h ? w : h) / 16.0;
    if (direction == -1)
        nn = 1.0 / nn;
    if (magnitude)
        nn *= 4.0;
    for (DWORD y = 0; y < h; ++y) {
        BYTE* r = realWork.GetBits(y);
        BYTE* i = imagWork.GetBits(y);
        for (DWORD x = 0; x < w; ++x) {
            double vr = re[size_t(x) * h + y], vi = im[size_t(x) * h + y];
            if (magnitude) {
                r[x] = ClampTrunc((std::log(std::hypot(vr, vi)) + 3.0) * nn);
                double angle = vr == 0 ? std::atan(vi * 1e10) : std::atan(vi / vr);
                i[x] = ClampTrunc(angle * nn + 128.0);
            } else {
                r[x] = ClampTrunc(vr * nn + 128.0);
                i[x] = ClampTrunc(vi * nn + 128.0);
            }
        }
    }
    // A side without a picture of its own keeps no result.
    if (realTarget && !realTarget->Transfer(realWork))
        return SetError("FFT2: the real output cannot be replaced");
    if (imagTarget && !imagTarget->Transfer(imagWork))
        return SetError("FFT2: the imaginary output cannot be replaced");
    return true;
}

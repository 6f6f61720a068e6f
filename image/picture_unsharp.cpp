// Unsharp mask: a separable Gaussian blur of a copy, then every channel is
// pushed away from its blurred value.
#include "image/checked_math.h"
#include "image/picprogress.h"
#include "image/picture.h"
#include "image/picture_ops.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

using namespace picops;

namespace {

// Beyond this the kernel only costs time: its reach passes any picture the
// library can hold many times over at the line lengths that stay practical.
const double kMaxUnsharpRadius = 1000.0;

BYTE RoundByte(double v) { return ClampTrunc(v + 0.5); }

} // namespace

int CPicture::gen_convolve_matrix(float radius, float** kernelOut)
{
    if (!kernelOut)
        return 0;
    *kernelOut = nullptr;
    double r = std::isfinite(radius) ? std::fabs(double(radius)) : 0.0;
    if (r > kMaxUnsharpRadius)
        r = kMaxUnsharpRadius;
    float stdDev = float(r + 1.0);
    float reach = 2 * stdDev;
    int length = int(2 * std::ceil(double(reach) - 0.5) + 1);
    if (length < 1)
        length = 1;
    int mid = length / 2;
    float* kernel = static_cast<float*>(std::calloc(size_t(length), sizeof(float)));
    if (!kernel)
        return 0;
    double twoVariance = 2.0 * double(stdDev) * double(stdDev);
    for (int i = mid + 1; i < length; ++i) {
        double base = i - mid - 0.5, sum = 0;
        for (int j = 1; j <= 50; ++j) {
            double x = base + 0.02 * j;
            if (x <= reach)
                sum += std::exp(-x * x / twoVariance);
        }
        kernel[i] = float(sum * 0.02);
    }
    for (int i = 0; i < mid; ++i)
        kernel[i] = kernel[length - 1 - i];
    double centre = 0;
    for (int j = 0; j <= 50; ++j) {
        double x = 0.5 + 0.02 * j;
        centre += std::exp(-x * x / twoVariance);
    }
    kernel[mid] = float(centre / 51.0);
    double total = 0;
    for (int i = 0; i < length; ++i)
        total += kernel[i];
    for (int i = 0; i < length; ++i)
        kernel[i] = float(kernel[i] / total);
    *kernelOut = kernel;
    return length;
}

float* CPicture::gen_lookup_table(const float* kernel, int kernelLength)
{
    size_t entries;
    if (!kernel || kernelLength < 1 || !PicCheckedMulSize(uint64_t(kernelLength), 256 * sizeof(float), entries))
        return nullptr;
    float* table = static_cast<float*>(std::malloc(entries));
    if (!table)
        return nullptr;
    for (int i = 0; i < kernelLength; ++i)
        for (int v = 0; v < 256; ++v)
            table[size_t(i) * 256 + v] = float(v) * kernel[i];
    return table;
}

void CPicture::blur_line(const float* table, const float* kernel, int kernelLength, const BYTE* source,
    BYTE* destination, int length, LONG bytes)
{
    if (!table || !kernel || !source || !destination || kernelLength < 1 || length < 1 || bytes < 1)
        return;
    int mid = kernelLength / 2;
    // Near the ends (and everywhere on a line shorter than the kernel) the
    // taps that fall off the line are dropped and the rest renormalised;
    // source j weighs kernel[j - r + mid] both in the sum and in the scale,
    // so a flat line stays flat.
    auto cutBlur = [&](int r) {
        int first = r - mid < 0 ? 0 : r - mid;
        int last = r + mid > length - 1 ? length - 1 : r + mid;
        double scale = 0;
        for (int j = first; j <= last; ++j)
            scale += kernel[j - r + mid];
        for (LONG b = 0; b < bytes; ++b) {
            double sum = 0;
            for (int j = first; j <= last; ++j)
                sum += source[size_t(j) * bytes + b] * double(kernel[j - r + mid]);
            destination[size_t(r) * bytes + b] = RoundByte(sum / scale);
        }
    };
    if (kernelLength > length) {
        for (int r = 0; r < length; ++r)
            cutBlur(r);
        return;
    }
    for (int r = 0; r < mid; ++r)
        cutBlur(r);
    for (int r = mid; r < length - mid; ++r) {
        const BYTE* s = source + size_t(r - mid) * bytes;
        for (LONG b = 0; b < bytes; ++b) {
            float sum = 0;
            for (int j = 0; j < kernelLength; ++j)
                sum += table[size_t(j) * 256 + s[size_t(j) * bytes + b]];
            destination[size_t(r) * bytes + b] = RoundByte(sum);
        }
    }
    for (int r = length - mid; r < length; ++r)
        cutBlur(r);
}

bool CPicture::UnsharpMask(float radius, float amount, int threshold)
{
    if (!dibBlock)
        return false;
    if (!(header.biBitCount == 24 || (header.biBitCount == 8 && IsGrayScale())))
        return false;
    if (!std::isfinite(radius) || !std::isfinite(amount))
        return SetError("UnsharpMask: the radius and amount must be numbers");
    CPicture tmp(*this, true, true, true);
    if (!tmp.IsValid())
        return SetError("UnsharpMask: no memory for the working copy");

    LONG bytes = header.biBitCount / 8;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    float* kernelRaw = nullptr;
    int kernelLength = gen_convolve_matrix(radius, &kernelRaw);
    std::unique_ptr<float, decltype(&std::free)> kernel(kernelRaw, &std::free);
    std::unique_ptr<float, decltype(&std::free)> table(
        kernelLength ? gen_lookup_table(kernelRaw, kernelLength) : nullptr, &std::free);
    std::unique_ptr<BYTE[]> column(new (std::nothrow) BYTE[size_t(h) * 3]);
    std::unique_ptr<BYTE[]> blurred(new (std::nothrow) BYTE[size_t(h) * 3]);
    if (!kernel || !table || !column || !blurred)
        return SetError("UnsharpMask: no memory for the blur");

    // Stopped during the blur, nothing is sharpened yet: the picture stays as
    // it is. Stopped during the combination, the rows done are sharpened and
    // the others keep their old pixels (not the blurred ones the copy holds).
    for (LONG y = 0; y < h; ++y) {
        if (PicStopBeforeRow(*this, LONG(y * 33.3 / h)))
            return true;
        blur_line(table.get(), kernel.get(), kernelLength, GetBits(DWORD(y)), tmp.GetBits(DWORD(y)), int(w), bytes);
    }
    BYTE* base = tmp.GetBits(0);
    size_t stride = tmp.GetEffWidth();
    for (LONG x = 0; x < w; ++x) {
        if (PicStopBeforeRow(*this, LONG(33.3 + x * 33.3 / w)))
            return true;
        BYTE* at = base + size_t(x) * bytes;
        for (LONG y = 0; y < h; ++y)
            std::memcpy(column.get() + size_t(y) * bytes, at + size_t(y) * stride, size_t(bytes));
        blur_line(table.get(), kernel.get(), kernelLength, column.get(), blurred.get(), int(h), bytes);
        for (LONG y = 0; y < h; ++y)
            std::memcpy(at + size_t(y) * stride, blurred.get() + size_t(y) * bytes, size_t(bytes));
    }

    double gain = amount;
    size_t rowBytes = size_t(w) * size_t(bytes);
    for (LONG y = 0; y < h; ++y) {
        if (PicStopBeforeRow(*this, LONG(66.6 + y * 33.3 / h))) {
            for (LONG rest = y; rest < h; ++rest)
                std::memcpy(tmp.GetBits(DWORD(rest)), GetBits(DWORD(rest)), rowBytes);
            break;
        }
        const BYTE* p = GetBits(DWORD(y));
        BYTE* t = tmp.GetBits(DWORD(y));
        for (size_t i = 0; i < rowBytes; ++i) {
            int diff = int(p[i]) - int(t[i]);
            if (std::abs(2 * diff) < threshold)
                diff = 0;
            t[i] = ClampTrunc(diff * gain + p[i]);
        }
    }
    return Transfer(tmp);
}

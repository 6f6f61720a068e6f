// Expands hostile formats at hostile clock readings. The even and the odd
// second of one reading must give texts of one length, or the window would
// change its size every second.
#include "clocks/timeformat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const size_t kFieldBytes = 6 * sizeof(int32_t);
    if (nSize < kFieldBytes)
        return 0;
    int32_t values[6];
    std::memcpy(values, pData, kFieldBytes);
    CClockFields fields{values[0], values[1], values[2], values[3], values[4], values[5], 0};
    const CString strFormat(reinterpret_cast<const char*>(pData + kFieldBytes),
                            static_cast<int>(nSize - kFieldBytes > 4096 ? 4096 : nSize - kFieldBytes));

    fields.nSecond = 10;
    const CString strEven = ExpandTimeFormat(strFormat, fields);
    fields.nSecond = 11;
    const CString strOdd = ExpandTimeFormat(strFormat, fields);
    if (strEven.GetLength() != strOdd.GetLength())
        std::abort();
    return 0;
}

// Unpacks hostile bytes as a skin archive under a small output cap.
#include "clocks/skinzip.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const DWORD kMaxData = 1024 * 1024;
    std::vector<BYTE> data;
    data.push_back(1);
    CString strError;
    if (UnzipSkinData(pData, nSize, kMaxData, "fuzz.acs", data, strError)) {
        if (data.size() > kMaxData)
            std::abort();
    } else if (!data.empty() || strError.Find("fuzz.acs: ") != 0) {
        std::abort();
    }
    return 0;
}

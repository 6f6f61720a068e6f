// Unpacks hostile bytes as a skin archive under a small output cap. The
// member's CRC is made right first (in the local header and the central
// directory), so that mutations reach the inflater and the checks after it
// instead of stopping at the CRC comparison.
#include "clocks/skinzip.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <zlib.h>

namespace {

uint32_t GetLE(const BYTE* p, int n)
{
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

void PutLE32(BYTE* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = BYTE(v >> (8 * i));
}

// The CRC of the first member's data as the unpacker would inflate it (at
// most `cap` bytes); false when it is not there to be read.
bool MemberCrc(const std::vector<BYTE>& zip, size_t cap, uint32_t& crc)
{
    if (zip.size() < 30 || GetLE(&zip[0], 4) != 0x04034B50)
        return false;
    const uint32_t method = GetLE(&zip[8], 2), packed = GetLE(&zip[18], 4);
    const size_t start = 30 + size_t(GetLE(&zip[26], 2)) + GetLE(&zip[28], 2);
    if (start > zip.size())
        return false;
    const size_t have = std::min<size_t>(packed, zip.size() - start);
    crc = uint32_t(crc32(0L, Z_NULL, 0));
    if (method == 0) {
        crc = uint32_t(crc32(crc, zip.data() + start, uInt(have)));
        return true;
    }
    if (method != Z_DEFLATED)
        return false;
    z_stream z;
    std::memset(&z, 0, sizeof(z));
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return false;
    z.next_in = const_cast<BYTE*>(zip.data() + start);
    z.avail_in = uInt(have);
    std::vector<BYTE> out(16384);
    size_t total = 0;
    int result = Z_OK;
    while (result == Z_OK && total <= cap) {
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        result = inflate(&z, Z_NO_FLUSH);
        const size_t got = out.size() - z.avail_out;
        crc = uint32_t(crc32(crc, out.data(), uInt(got)));
        total += got;
        if (got == 0 && result == Z_OK)
            break;
    }
    inflateEnd(&z);
    return true;
}

void FixMemberCrc(std::vector<BYTE>& zip, size_t cap)
{
    uint32_t crc;
    if (!MemberCrc(zip, cap, crc))
        return;
    PutLE32(&zip[14], crc);
    for (size_t i = 0; i + 20 <= zip.size(); ++i)
        if (GetLE(&zip[i], 4) == 0x02014B50)
            PutLE32(&zip[i + 16], crc);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const DWORD kMaxData = 1024 * 1024;
    std::vector<BYTE> zip(pData, pData + nSize);
    FixMemberCrc(zip, kMaxData);
    std::vector<BYTE> data;
    data.push_back(1);
    CString strError;
    if (UnzipSkinData(zip.data(), zip.size(), kMaxData, "fuzz.acs", data, strError)) {
        if (data.size() > kMaxData)
            std::abort();
    } else if (!data.empty() || strError.Find("fuzz.acs: ") != 0) {
        std::abort();
    }
    return 0;
}

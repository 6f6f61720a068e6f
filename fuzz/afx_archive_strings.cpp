// Reads archive strings and numbers from hostile bytes until the archive
// throws. Every string read must store and load again unchanged, in the
// shortest length form.
#include "afx/afxarch.h"
#include "afx/afxgeom.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

DWORD PrefixSize(DWORD nLength)
{
    return nLength < 0xFF ? 1 : (nLength < 0xFFFE ? 3 : 7);
}

void CheckRoundTrip(const CString& str)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store, 64);
        ar << str;
        ar.Close();
    }
    DWORD nLength = static_cast<DWORD>(str.GetLength());
    if (file.GetLength() != PrefixSize(nLength) + nLength)
        std::abort();
    file.SeekToBegin();
    CString strBack;
    CArchive ar(&file, CArchive::load, 64);
    ar >> strBack;
    if (strBack != str || ar.GetBytesLeft() != 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the buffer size, so reads cross refills at every offset.
    const int nBufSize = 16 + data[0] * 4;
    std::vector<BYTE> bytes(data + 1, data + size);
    CMemFile file(bytes.empty() ? nullptr : bytes.data(), static_cast<UINT>(bytes.size()));
    try {
        CArchive ar(&file, CArchive::load, nBufSize);
        // Lengths past this are refused like any hostile one; it keeps each run fast.
        ar.SetStringLimit(1 << 20);
        for (;;) {
            BYTE bOp;
            ar >> bOp;
            switch (bOp % 8) {
            case 0:
            case 1:
            case 2: {
                CString str;
                ar >> str;
                if (static_cast<ULONGLONG>(str.GetLength()) > bytes.size())
                    std::abort();
                CheckRoundTrip(str);
                break;
            }
            case 3: {
                WORD w;
                short s;
                ar >> w >> s;
                break;
            }
            case 4: {
                DWORD dw;
                int i;
                ar >> dw >> i;
                break;
            }
            case 5: {
                CTime t;
                ar >> t;
                t.Format("%Y-%m-%d %H:%M:%S %A %j");
                break;
            }
            case 6: {
                double d;
                float f;
                ar >> d >> f;
                break;
            }
            default: {
                BYTE ab[64];
                ar.Read(ab, bOp % 64);
                CRect rc;
                ar >> rc;
                break;
            }
            }
        }
    } catch (CException* e) {
        e->Delete();
    }
    return 0;
}

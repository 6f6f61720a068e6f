#include "controls/sortstringarray.h"

#include <utility>

namespace {

unsigned char FoldCase(char ch)
{
    const unsigned char b = static_cast<unsigned char>(ch);
    return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b - 'A' + 'a') : b;
}

} // namespace

int CSortStringArray::CompareNoCase(const CString& str1, const CString& str2)
{
    const int n1 = str1.GetLength();
    const int n2 = str2.GetLength();
    const char* p1 = str1.GetString();
    const char* p2 = str2.GetString();
    for (int i = 0; i < n1 && i < n2; i++) {
        const int nDiff = FoldCase(p1[i]) - FoldCase(p2[i]);
        if (nDiff != 0)
            return nDiff;
    }
    return n1 < n2 ? -1 : (n1 > n2 ? 1 : 0);
}

BOOL CSortStringArray::CompareAndSwap(INT_PTR i)
{
    CString& str1 = ElementAt(i);
    CString& str2 = ElementAt(i + 1);
    if (CompareNoCase(str1, str2) <= 0)
        return FALSE;
    std::swap(str1, str2);
    return TRUE;
}

// Bubble sort: the lists are a folder's skins, and equal names must keep
// their order.
void CSortStringArray::Sort()
{
    BOOL bSwapped;
    do {
        bSwapped = FALSE;
        for (INT_PTR i = 0; i + 1 < GetSize(); i++) {
            if (CompareAndSwap(i))
                bSwapped = TRUE;
        }
    } while (bSwapped);
}

#include "controls/sortstringarray.h"

#include <utility>

// CString's own comparison already folds only A-Z, as _stricmp does.
int CSortStringArray::CompareNoCase(const CString& str1, const CString& str2)
{
    return str1.CompareNoCase(str2);
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

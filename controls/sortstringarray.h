// A string array that sorts itself without regard to letter case: the sorted
// skin-name lists of the clock windows.
#pragma once

#include "afx/afxstr.h"

class CSortStringArray : public CStringArray {
public:
    // Ascending, case-insensitive and stable.
    void Sort();
    // Exchanges elements i and i + 1 when i sorts after i + 1; TRUE when it did.
    BOOL CompareAndSwap(INT_PTR i);

    // _stricmp's order: A-Z fold to a-z, every other byte by its value.
    static int CompareNoCase(const CString& str1, const CString& str2);
};

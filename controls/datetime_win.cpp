#include "controls/datetime.h"

SYSTEMTIME AfxDateTimeLocalNow()
{
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return st;
}

BOOL AfxDateTimeFromFileTime(const FILETIME& ft, SYSTEMTIME& st) { return ::FileTimeToSystemTime(&ft, &st); }

CString AfxDateTimeLoadString(UINT nID)
{
    char sz[256] = "";
    int n = ::LoadStringA(::GetModuleHandleA(nullptr), nID, sz, (int)sizeof(sz));
    return CString(sz, n > 0 ? n : 0);
}

#include "controls/datetime.h"

SYSTEMTIME AfxDateTimeLocalNow()
{
    SYSTEMTIME st {};
    CTime::GetCurrentTime().GetAsSystemTime(st);
    return st;
}

// As Windows does: any value below 2^63 ticks, truncated to milliseconds.
BOOL AfxDateTimeFromFileTime(const FILETIME& ft, SYSTEMTIME& st)
{
    if (ft.dwHighDateTime & 0x80000000u)
        return FALSE;
    const LONGLONG nDay = 864000000000LL;
    LONGLONG n = (LONGLONG)(((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime);
    CHighResDateTime when = CHighResDateTime(1601, 1, 1, 0, 0, 0)
        + CHighResTimeSpan(n / nDay, 0, 0, (int)(n % nDay / 10000000), (int)(n % 10000000 / 10000));
    return when.GetAsSystemTime(st);
}

// No string resources outside Windows.
CString AfxDateTimeLoadString(UINT) { return CString(); }

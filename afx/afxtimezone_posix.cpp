// Local time through the C library, which follows TZ.
#include "afx/afxtime.h"
#include "afx/afxtimezone.h"

#include <cstdlib>
#include <cstring>

static_assert(sizeof(time_t) == 8, "the native build needs a 64-bit time_t");

bool AfxPlatformLocalTm(LONGLONG t, struct tm& tmOut)
{
    time_t tt = static_cast<time_t>(t);
    return localtime_r(&tt, &tmOut) != nullptr;
}

LONGLONG AfxPlatformMakeTime(const struct tm& tmWall, int nIsDst)
{
    struct tm tmCopy = tmWall;
    tmCopy.tm_isdst = nIsDst;
    return static_cast<LONGLONG>(std::mktime(&tmCopy));
}

CString AfxPlatformZoneName(const struct tm& tm)
{
    char szZone[64];
    size_t n = std::strftime(szZone, sizeof(szZone), "%Z", &tm);
    return CString(szZone, static_cast<int>(n));
}

namespace {

bool IsLetter(char ch)
{
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

// "XST-1XDT": letters, an offset, then letters again when there is daylight time.
bool HasDaylightName(LPCSTR pszZone)
{
    const char* p = pszZone;
    while (IsLetter(*p))
        p++;
    while (*p == '+' || *p == '-' || *p == ':' || (*p >= '0' && *p <= '9'))
        p++;
    return IsLetter(*p);
}

} // namespace

void AfxSetTimeZoneForTesting(LPCSTR pszZone)
{
    if (pszZone == nullptr) {
        unsetenv("TZ");
    } else {
        // The POSIX form needs the rule spelled out.
        CString strZone(pszZone);
        if (HasDaylightName(pszZone))
            strZone += ",M3.2.0,M11.1.0";
        setenv("TZ", strZone, 1);
    }
    tzset();
}

// Pins the zone and the clock that CTime reads for the length of a test.
#pragma once

#include "afx/afxtime.h"

#include <functional>

// Zones in the form the afx layer takes; daylight time follows the US rules.
#define TIMEPIN_EAST3 "XST-3"        // UTC+3, no daylight time
#define TIMEPIN_EAST1_DST "XST-1XDT" // UTC+1, daylight UTC+2

// Leaves the zone pinned when it goes: under the Windows runtime a zone with
// daylight time pinned after a return to the system's zone (TZ empty) shows
// no daylight time at all, so every test pins the zone it needs instead.
class CTimePin
{
public:
    CTimePin() = default;
    ~CTimePin() = default;
    CTimePin(const CTimePin&) = delete;
    CTimePin& operator=(const CTimePin&) = delete;

    void Pin(const char* pszZone) { AfxSetTimeZoneForTesting(pszZone); }
};

class CClockPin
{
public:
    CClockPin() = default;
    ~CClockPin()
    {
        if (m_bSet)
            AfxSetClockForTesting(m_fnPrevious);
    }
    CClockPin(const CClockPin&) = delete;
    CClockPin& operator=(const CClockPin&) = delete;

    void Set(LONGLONG tNow)
    {
        std::function<LONGLONG()> fnPrevious = AfxSetClockForTesting([tNow] { return tNow; });
        if (!m_bSet)
            m_fnPrevious = fnPrevious;
        m_bSet = true;
    }

private:
    bool m_bSet = false;
    std::function<LONGLONG()> m_fnPrevious;
};

#include "core/alarm.h"

CAlarmArray g_alarms;

namespace
{
DWORD g_nLastIdentity = 0;
}

// A user's list is short, so the quadratic search for repeats costs nothing.
void AlarmEnsureIdentities(CAlarmArray& alarms)
{
    for (INT_PTR i = 0; i < alarms.GetSize(); i++)
    {
        BOOL bRepeated = alarms[i].m_nIdentity == 0;
        for (INT_PTR j = 0; j < i && !bRepeated; j++)
            bRepeated = alarms[j].m_nIdentity == alarms[i].m_nIdentity;
        if (bRepeated)
        {
            if (++g_nLastIdentity == 0)
                ++g_nLastIdentity;
            alarms[i].m_nIdentity = g_nLastIdentity;
        }
    }
}

INT_PTR AlarmFindByIdentity(const CAlarmArray& alarms, DWORD nIdentity)
{
    if (nIdentity == 0)
        return -1;
    for (INT_PTR i = 0; i < alarms.GetSize(); i++)
    {
        if (alarms[i].m_nIdentity == nIdentity)
            return i;
    }
    return -1;
}

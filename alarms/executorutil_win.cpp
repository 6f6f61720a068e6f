#include "alarms/executorutil.h"

#include <windows.h>

// Folders count as well: anything the system reports attributes for.
BOOL CAlarmExecutorUtil::FileExists(LPCSTR pszPath)
{
    return pszPath != NULL && GetFileAttributesA(pszPath) != INVALID_FILE_ATTRIBUTES;
}

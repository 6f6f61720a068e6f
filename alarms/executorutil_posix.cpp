#include "alarms/executorutil.h"

#include <sys/stat.h>

BOOL CAlarmExecutorUtil::FileExists(LPCSTR pszPath)
{
    struct stat st;
    return pszPath != NULL && stat(pszPath, &st) == 0;
}

// The program's help file, opened at one of its pages.
#pragma once

#include "afx/afxseams.h"
#include "core/config.h"

// pszPage as "/General/index.htm". No program folder, no help: the file
// would be looked for at the root of the drive.
inline void ShowProgramHelp(const char* pszPage)
{
    const CString strAppDir = CConfigFile::GetAppDir();
    if (!strAppDir.IsEmpty())
        AfxGetSeams()->HtmlHelp(nullptr, strAppDir + "\\Veltran.chm::" + pszPage, 0 /* HH_DISPLAY_TOPIC */, 0);
}

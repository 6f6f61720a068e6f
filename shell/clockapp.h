// The application object: one running copy, the configuration read before
// any window exists, the hidden main dialog, and the order of the end.
#pragma once

#include "afx/afxwin.h"

class CClockApp : public CWinApp
{
public:
    CClockApp();

    BOOL m_bSecondInstance = FALSE;

    BOOL InitInstance() override;
    int ExitInstance() override;

    DECLARE_MESSAGE_MAP()
};

enum
{
    ID_APP_HELP = 57670  // ID_HELP
};

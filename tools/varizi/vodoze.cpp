// A stand-in for the tray clock's synchronisation options program
// "vodoze.exe": it notes that it was started (under VELTRAN_AUTOMATION) and ends.
#include "afx/afxsharedlog.h"

#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char* pszFile = std::getenv("VELTRAN_AUTOMATION");
    if (pszFile != nullptr && *pszFile != '\0')
    {
        static const char s_szLine[] = "vodoze started\n";
        AfxAppendSharedLog(pszFile, s_szLine, sizeof(s_szLine) - 1);
    }
    return 0;
}

// A stand-in for the tray clock's synchronisation options program
// "vodoze.exe": it notes that it was started (under VELTRAN_AUTOMATION) and ends.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char* pszFile = std::getenv("VELTRAN_AUTOMATION");
    if (pszFile != nullptr && *pszFile != '\0')
    {
        if (FILE* f = std::fopen(pszFile, "a"))
        {
            std::fprintf(f, "vodoze started\n");
            std::fclose(f);
        }
    }
    return 0;
}

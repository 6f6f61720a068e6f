// A stand-in for the tray clock's synchronisation options program
// "vodoze.exe": it notes that it was started (under VELTRAN_AUTOMATION) and ends.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char* pszFile = std::getenv("VELTRAN_AUTOMATION");
    if (pszFile != nullptr && *pszFile != '\0')
    {
        HANDLE hFile = CreateFileA(pszFile, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile != INVALID_HANDLE_VALUE)
        {
            static const char s_szLine[] = "vodoze started\n";
            DWORD nWritten = 0;
            WriteFile(hFile, s_szLine, sizeof(s_szLine) - 1, &nWritten, nullptr);
            CloseHandle(hFile);
        }
    }
    return 0;
}

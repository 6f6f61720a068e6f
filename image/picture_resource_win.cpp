// Decoding from a module's resources (Windows build only).
#include "image/picture.h"

#include <windows.h>

bool CPicture::LoadResource(HRSRC resource, DWORD type, HMODULE module)
{
    DWORD size = ::SizeofResource(module, resource);
    HGLOBAL handle = ::LoadResource(module, resource);
    if (!handle)
        return SetError("Unable to load resource!");
    // Resource memory is read-only; decoders only read from it.
    BYTE* bytes = static_cast<BYTE*>(::LockResource(handle));
    if (!bytes)
        return false;
    return Decode(bytes, size, type);
}

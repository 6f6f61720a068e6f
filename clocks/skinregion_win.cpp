#include "clocks/skindata.h"

#include <windows.h>

HRGN CreateSkinRegion(const RegionBlock& region)
{
    const std::vector<BYTE> bytes = RegionBlockBytes(region);
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()), reinterpret_cast<const RGNDATA*>(bytes.data()));
}

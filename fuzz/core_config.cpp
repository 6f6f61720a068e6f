// Feeds the configuration reader hostile bytes in each layout it knows. A
// stream that is accepted must save back to a stream that reads the same.
#include "core/config.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static const DWORD s_layouts[3] = {CONFIG_LAYOUT_221, CONFIG_LAYOUT_222, CONFIG_LAYOUT};
    for (DWORD nLayout : s_layouts)
    {
        CSettings settings;
        CAlarmArray alarms;
        if (!CConfigFile::ParseStream(pData, nSize, nLayout, settings, alarms))
        {
            if (alarms.GetSize() != 0 || !settings.m_strAnalogSkin.IsEmpty())
                std::abort();   // a refused stream changed its targets
            continue;
        }
        std::vector<BYTE> saved;
        CConfigFile::BuildStream(settings, alarms, saved);
        CSettings again;
        CAlarmArray againAlarms;
        if (!CConfigFile::ParseStream(saved.data(), saved.size(), CONFIG_LAYOUT, again, againAlarms))
            std::abort();
        std::vector<BYTE> savedAgain;
        CConfigFile::BuildStream(again, againAlarms, savedAgain);
        if (savedAgain != saved)
            std::abort();
    }
    return 0;
}

// Splits hostile URLs. A split either fails as a whole or gives parts within
// their limits whose path starts with "/", and the host is text of the URL.
#include "skinbrowser/httpurl.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > 8192)
        return 0;
    const std::string url(reinterpret_cast<const char*>(pData), nSize);
    CUrlParts parts;
    if (!SplitUrl(url.c_str(), parts))
        return 0;
    const CString* texts[] = {&parts.strScheme, &parts.strUser, &parts.strPassword, &parts.strHost, &parts.strPath};
    for (const CString* text : texts) {
        if (text->GetLength() > HTTP_MAX_URL_PART)
            std::abort();
    }
    if (parts.strPath.IsEmpty() || parts.strPath[0] != '/' || parts.nPort < 0 || parts.nPort > 65535)
        std::abort();
    if (url.find((LPCSTR)parts.strHost) == std::string::npos)
        std::abort();
    HttpSchemeCode(parts.strScheme);
    return 0;
}

// skinmaker: writes analog (.acs) and digital (.dcs) test skins.
#include "tools/skinmaker/skinbuild.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kUsage[] =
    "usage: skinmaker analog|digital OUTPUT [options]\n"
    "  --name NAME          skin name in the description (default Simple)\n"
    "  --sample             the sample look: a real clock face, legible glyphs\n"
    "  --no-second-hand     analog: leave the second hand out\n"
    "  --pivot middle|X,Y   analog: hands' axis (default middle)\n"
    "  --size N             analog: face size in pixels (default 160)\n"
    "  --abc-region         digital: store the glyph strip's region\n"
    "  --glyph WxH          digital: glyph cell size (default 16x24)\n"
    "  --raw                write the data stream, not an archive\n"
    "  --truncate N         keep only the first N bytes of the data stream\n"
    "  --patch OFFSET=VALUE put the DWORD VALUE at OFFSET of the data stream\n"
    "  --break-crc          damage the archive's CRC\n"
    "  --preview FILE       also write the skin's preview picture (JPEG)\n";

bool ParseNumber(const char* psz, long& nValue)
{
    char* pEnd = nullptr;
    nValue = std::strtol(psz, &pEnd, 0);
    return pEnd != psz && *pEnd == '\0';
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    CSkinMakerOptions options;
    const char* pszPreview = nullptr;
    if (std::strcmp(argv[1], "analog") == 0) {
        options.kind = SKIN_ANALOG;
    } else if (std::strcmp(argv[1], "digital") == 0) {
        options.kind = SKIN_DIGITAL;
        options.strName = "Red Digital";
    } else {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const char* pszOutput = argv[2];
    for (int i = 3; i < argc; i++) {
        const char* pszArg = argv[i];
        const char* pszValue = i + 1 < argc ? argv[i + 1] : nullptr;
        long n1 = 0;
        long n2 = 0;
        bool bOk = true;
        if (std::strcmp(pszArg, "--no-second-hand") == 0) {
            options.bSecondHand = false;
        } else if (std::strcmp(pszArg, "--sample") == 0) {
            options.bSample = true;
        } else if (std::strcmp(pszArg, "--abc-region") == 0) {
            options.bAbcRegion = true;
        } else if (std::strcmp(pszArg, "--raw") == 0) {
            options.bRaw = true;
        } else if (std::strcmp(pszArg, "--break-crc") == 0) {
            options.bBreakCrc = true;
        } else if (pszValue == nullptr) {
            bOk = false;
        } else {
            i++;
            if (std::strcmp(pszArg, "--name") == 0) {
                options.strName = pszValue;
            } else if (std::strcmp(pszArg, "--preview") == 0) {
                pszPreview = pszValue;
            } else if (std::strcmp(pszArg, "--pivot") == 0) {
                options.bPivotMiddle = std::strcmp(pszValue, "middle") == 0;
                if (!options.bPivotMiddle) {
                    bOk = std::sscanf(pszValue, "%ld,%ld", &n1, &n2) == 2;
                    options.nPivotX = static_cast<int>(n1);
                    options.nPivotY = static_cast<int>(n2);
                }
            } else if (std::strcmp(pszArg, "--size") == 0) {
                bOk = ParseNumber(pszValue, n1) && n1 > 0 && n1 <= 4096;
                options.nFaceSize = static_cast<int>(n1);
            } else if (std::strcmp(pszArg, "--glyph") == 0) {
                bOk = std::sscanf(pszValue, "%ldx%ld", &n1, &n2) == 2 && n1 > 0 && n2 > 0 && n1 <= 64 && n2 <= 4096;
                options.nGlyphWidth = static_cast<int>(n1);
                options.nGlyphHeight = static_cast<int>(n2);
            } else if (std::strcmp(pszArg, "--truncate") == 0) {
                bOk = ParseNumber(pszValue, n1) && n1 >= 0;
                options.nTruncate = n1;
            } else if (std::strcmp(pszArg, "--patch") == 0) {
                bOk = std::sscanf(pszValue, "%li=%li", &n1, &n2) == 2 && n1 >= 0;
                options.patches.emplace_back(static_cast<DWORD>(n1), static_cast<DWORD>(n2));
            } else {
                bOk = false;
            }
        }
        if (!bOk) {
            std::fprintf(stderr, "skinmaker: bad option %s\n%s", pszArg, kUsage);
            return 2;
        }
    }
    CString strError;
    if (!WriteSkinFile(options, pszOutput, strError)) {
        std::fprintf(stderr, "skinmaker: %s: %s\n", pszOutput, strError.GetString());
        return 1;
    }
    if (pszPreview != nullptr && !WriteSkinPreview(options, pszPreview, strError)) {
        std::fprintf(stderr, "skinmaker: %s: %s\n", pszPreview, strError.GetString());
        return 1;
    }
    return 0;
}

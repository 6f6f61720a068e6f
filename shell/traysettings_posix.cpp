// The tray-clock store in the native build: a plain ini reader and writer
// that reads as the Windows profile functions do (sections and keys without
// regard to case, values trimmed, one pair of enclosing quotes taken off),
// no registry and no string resources.
#include "shell/traysettings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <strings.h>
#include <vector>

namespace {
std::string Trim(const std::string& str)
{
    const size_t nFirst = str.find_first_not_of(" \t\r");
    if (nFirst == std::string::npos)
        return std::string();
    const size_t nLast = str.find_last_not_of(" \t\r");
    return str.substr(nFirst, nLast - nFirst + 1);
}

std::vector<std::string> ReadLines(LPCSTR pszFile)
{
    std::vector<std::string> lines;
    std::ifstream in(pszFile, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// "[name]" gives name; anything else is no section line.
bool SectionOf(const std::string& line, std::string& strName)
{
    const std::string strTrimmed = Trim(line);
    if (strTrimmed.size() < 2 || strTrimmed.front() != '[')
        return false;
    const size_t nEnd = strTrimmed.find(']');
    if (nEnd == std::string::npos)
        return false;
    strName = Trim(strTrimmed.substr(1, nEnd - 1));
    return true;
}

bool KeyOf(const std::string& line, std::string& strKey, std::string& strValue)
{
    const size_t nEquals = line.find('=');
    if (nEquals == std::string::npos)
        return false;
    strKey = Trim(line.substr(0, nEquals));
    strValue = Trim(line.substr(nEquals + 1));
    return true;
}

bool SameName(const std::string& a, LPCSTR b)
{
    return strcasecmp(a.c_str(), b) == 0;
}

// Index of the key's line, or -1; *pnSectionEnd is the line after the
// section's last line (-1 when the section is missing).
int FindKey(const std::vector<std::string>& lines, LPCSTR pszSection, LPCSTR pszKey, int* pnSectionEnd)
{
    bool bInSection = false;
    *pnSectionEnd = -1;
    for (size_t i = 0; i < lines.size(); i++) {
        std::string strName, strKey, strValue;
        if (SectionOf(lines[i], strName)) {
            bInSection = SameName(strName, pszSection);
            if (bInSection)
                *pnSectionEnd = static_cast<int>(i) + 1;
            continue;
        }
        if (!bInSection)
            continue;
        if (!Trim(lines[i]).empty())
            *pnSectionEnd = static_cast<int>(i) + 1;
        if (KeyOf(lines[i], strKey, strValue) && SameName(strKey, pszKey))
            return static_cast<int>(i);
    }
    return -1;
}

bool LookUp(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszFile, std::string& strValue)
{
    if (pszSection == nullptr || pszKey == nullptr || pszFile == nullptr)
        return false;
    const std::vector<std::string> lines = ReadLines(pszFile);
    int nSectionEnd = -1;
    const int nLine = FindKey(lines, pszSection, pszKey, &nSectionEnd);
    if (nLine < 0)
        return false;
    std::string strKey;
    KeyOf(lines[static_cast<size_t>(nLine)], strKey, strValue);
    if (strValue.size() >= 2 && (strValue.front() == '"' || strValue.front() == '\'')
        && strValue.back() == strValue.front())
        strValue = strValue.substr(1, strValue.size() - 2);
    return true;
}
} // namespace

int TrayIniReadString(
    LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault, LPSTR pszBuffer, int nBufferSize, LPCSTR pszFile)
{
    if (pszBuffer == nullptr || nBufferSize <= 0)
        return 0;
    std::string strValue;
    if (!LookUp(pszSection, pszKey, pszFile, strValue))
        strValue = pszDefault != nullptr ? pszDefault : "";
    const size_t nCopy = strValue.size() < static_cast<size_t>(nBufferSize)
        ? strValue.size()
        : static_cast<size_t>(nBufferSize) - 1;
    std::memcpy(pszBuffer, strValue.data(), nCopy);
    pszBuffer[nCopy] = '\0';
    return static_cast<int>(nCopy);
}

int TrayIniReadInt(LPCSTR pszSection, LPCSTR pszKey, int nDefault, LPCSTR pszFile)
{
    std::string strValue;
    if (!LookUp(pszSection, pszKey, pszFile, strValue))
        return nDefault;
    return static_cast<int>(std::strtol(strValue.c_str(), nullptr, 10));
}

BOOL TrayIniWriteString(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue, LPCSTR pszFile)
{
    if (pszSection == nullptr || pszKey == nullptr || pszValue == nullptr || pszFile == nullptr)
        return FALSE;
    std::vector<std::string> lines = ReadLines(pszFile);
    int nSectionEnd = -1;
    const int nLine = FindKey(lines, pszSection, pszKey, &nSectionEnd);
    const std::string strEntry = std::string(pszKey) + "=" + pszValue;
    if (nLine >= 0)
        lines[static_cast<size_t>(nLine)] = strEntry;
    else if (nSectionEnd >= 0)
        lines.insert(lines.begin() + nSectionEnd, strEntry);
    else {
        lines.push_back(std::string("[") + pszSection + "]");
        lines.push_back(strEntry);
    }
    std::ofstream out(pszFile, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines)
        out << line << "\r\n";
    out.flush();
    return out.good() ? TRUE : FALSE;
}

int TrayRegReadString(LPCSTR, LPCSTR, LPSTR pszBuffer, int nBufferSize, LPCSTR pszDefault)
{
    return ReadRegistryString(nullptr, nullptr, nullptr, pszBuffer, nBufferSize, pszDefault);
}

int TrayRegReadInt(LPCSTR, LPCSTR, int nDefault)
{
    return nDefault;
}

BOOL TrayRegWriteString(LPCSTR, LPCSTR, LPCSTR)
{
    return FALSE;
}

BOOL TrayRegWriteInt(LPCSTR, LPCSTR, int)
{
    return FALSE;
}

int ReadRegistryInt(void*, LPCSTR, LPCSTR, int nDefault)
{
    return nDefault;
}

int ReadRegistryString(void*, LPCSTR, LPCSTR, LPSTR pszBuffer, int nBufferSize, LPCSTR pszDefault)
{
    if (pszBuffer == nullptr || nBufferSize <= 0)
        return 0;
    std::snprintf(pszBuffer, static_cast<size_t>(nBufferSize), "%s", pszDefault != nullptr ? pszDefault : "");
    return static_cast<int>(std::strlen(pszBuffer));
}

LPCSTR LoadResString(UINT)
{
    return "";
}

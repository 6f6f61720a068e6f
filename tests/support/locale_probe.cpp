// Says what decides the language of what a test reads, one "name: value" line
// each, for the check that every test runs in the tests' own locale: natively
// the C library's locale (from the environment) and a system message; under
// Windows the ANSI code page, the user's locale, the language of the system's
// messages and one of them. Both name the locale variables their environment
// holds: one that a pin let through (LANGUAGE, which glibc heeds under
// C.UTF-8) may change a message this probe does not read.
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
extern char** environ;
#endif

namespace
{

bool IsLocaleVariable(const char* pszEntry)
{
    return std::strncmp(pszEntry, "LC_", 3) == 0 || std::strncmp(pszEntry, "LANG=", 5) == 0 ||
           std::strncmp(pszEntry, "LANGUAGE=", 9) == 0;
}

// "NAME=value" entries, sorted, so that one report reads like another.
void PrintVariables(std::vector<std::string> entries)
{
    std::sort(entries.begin(), entries.end());
    std::string line;
    for (const std::string& entry : entries)
        line += (line.empty() ? "" : " ") + entry;
    std::printf("variables: %s\n", line.empty() ? "(none)" : line.c_str());
}

#ifdef _WIN32
std::string LocaleName(LCID lcid)
{
    char szLanguage[16] = "?";
    char szCountry[16] = "?";
    ::GetLocaleInfoA(lcid, LOCALE_SISO639LANGNAME, szLanguage, sizeof szLanguage);
    ::GetLocaleInfoA(lcid, LOCALE_SISO3166CTRYNAME, szCountry, sizeof szCountry);
    return std::string(szLanguage) + "-" + szCountry;
}

// The system's text for a missing file, in UTF-8 (Windows gives it in the
// ANSI code page, which the check cannot know).
std::string FileNotFoundMessage()
{
    char szText[512] = "";
    if (::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND,
                         0, szText, sizeof szText, nullptr) == 0)
        return "(none: error " + std::to_string(::GetLastError()) + ")";
    std::string text = szText;
    text.erase(text.find_last_not_of(" \r\n") + 1);
    std::vector<wchar_t> wide(text.size() + 1);
    int nWide = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    std::vector<char> utf8(4 * wide.size());
    if (nWide == 0 || ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, utf8.data(), static_cast<int>(utf8.size()),
                                            nullptr, nullptr) == 0)
        return text;
    return utf8.data();
}
#endif

} // namespace

int main()
{
    std::vector<std::string> variables;
#ifdef _WIN32
    std::printf("code page: %u\n", ::GetACP());
    std::printf("locale: %s\n", LocaleName(LOCALE_USER_DEFAULT).c_str());
    std::printf("ui language: %s\n", LocaleName(MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT)).c_str());
    std::printf("message: %s\n", FileNotFoundMessage().c_str());
    // Wine gives a program the Unix environment it was started in.
    LPCH pEnvironment = ::GetEnvironmentStringsA();
    for (const char* pszEntry = pEnvironment; pszEntry != nullptr && *pszEntry != '\0';
         pszEntry += std::strlen(pszEntry) + 1)
        if (IsLocaleVariable(pszEntry))
            variables.push_back(pszEntry);
    if (pEnvironment != nullptr)
        ::FreeEnvironmentStringsA(pEnvironment);
#else
    const char* pszLocale = std::setlocale(LC_ALL, "");
    std::printf("locale: %s\n", pszLocale != nullptr ? pszLocale : "(none: the environment names none here)");
    std::printf("message: %s\n", std::strerror(ENOENT));
    for (char** ppszEntry = environ; *ppszEntry != nullptr; ++ppszEntry)
        if (IsLocaleVariable(*ppszEntry))
            variables.push_back(*ppszEntry);
#endif
    // Last, as the runner's end line.
    PrintVariables(variables);
    return 0;
}

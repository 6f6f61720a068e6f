// Says which locale it runs in, for the check that every test runs in the
// tests' own: natively the C library's (taken from the environment), under
// Windows the ANSI code page and the user's locale.
#include <clocale>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

int main()
{
#ifdef _WIN32
    char szLanguage[16] = "?";
    char szCountry[16] = "?";
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, szLanguage, sizeof szLanguage);
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, szCountry, sizeof szCountry);
    std::printf("code page %u, locale %s-%s\n", ::GetACP(), szLanguage, szCountry);
#else
    const char* pszLocale = std::setlocale(LC_ALL, "");
    std::printf("locale %s\n", pszLocale != nullptr ? pszLocale : "(none: the environment names none here)");
#endif
    return 0;
}

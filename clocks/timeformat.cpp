#include "clocks/timeformat.h"

#include <string>

const char g_szDefaultDigitalFormat[] = "%hh(:)%nn(:)%ss";

const char* const g_apszDigitalFormatPresets[DIGITAL_FORMAT_PRESETS] = {
    "%hhh:%nn:%ss",
    "%hhh(:)%nn(:)%ss",
    "%hhh.%nn.%ss",
    "%hhh(.)%nn(.)%ss",
    "%hh:%nn:%ss %tt",
    "%hh(:)%nn(:)%ss %tt",
    "%hh(.)%nn(.)%ss %tt",
    "%hh:%nn:%ss (%tt)",
    "%hh(:)%nn(:)%ss (%tt)",
    "%mm/%dd/%yy, %hhh:%nn:%ss",
    "%mm/%dd/%yy, %hhh(.)%nn(.)%ss",
    "%dd/%mm/%yy, %hhh:%nn:%ss",
    "%mmm %dd %ddd %hhh.%nn(.)%ss",
    "%mmm %dd %ddd %hhh:%nn:%ss",
    "%mmm %dd %ddd %hhh:%nn(.)%ss",
    "%mmmm %dd %dddd %hhh:%nn:%ss",
    "%h(:)%n(:)%s",
    "%hhh(.)%nn",
    "%hhh(.)%nn, %ddd",
    "%hhh(.)%nn, %dddd",
    "%dd of %mmm, %ddd",
    "%dd of %mmm, (%ddd)",
    "%dd of %mmmm, %dddd",
    "%dd of %mmmm, (%dddd)",
    "%mm:%dd:%yy",
    "%mm:%dd:%yyyy",
    "%mm:%dd:%yy, %ddd",
    "%mm:%dd:%yyyy, %dddd",
};

namespace {

const char* const kShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[12] = {"January", "February", "March", "April", "May", "June",
                                     "July", "August", "September", "October", "November", "December"};
const char* const kShortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// Decimal without sign; the magnitude of a negative value, so that no value
// can bring a character the glyph strip lacks.
CString Number(int nValue)
{
    unsigned long long nMagnitude = nValue < 0 ? 0ULL - static_cast<unsigned long long>(nValue)
                                               : static_cast<unsigned long long>(nValue);
    CString str;
    str.Format("%llu", nMagnitude);
    return str;
}

CString TwoDigits(int nValue)
{
    CString str = Number(nValue);
    if (str.GetLength() < 2)
        str = "0" + str;
    return str;
}

const char* Name(const char* const* apszNames, int nCount, int nValue, const char* pszError)
{
    return nValue >= 1 && nValue <= nCount ? apszNames[nValue - 1] : pszError;
}

// A group's inner part keeps its width in both phases, so the text has the
// same length every second and the window keeps its size. The scan resumes
// right after a rewritten group, so "(a)(b)" blinks as two groups.
void ExpandGroups(std::string& text, bool bEvenSecond)
{
    bool bOpen = false;
    size_t o = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char ch = text[i];
        if (ch == '(') {
            bOpen = true;
            o = i;
            i++;
        } else if (ch == ')' && bOpen) {
            const size_t n = i - o - 1;
            if (bEvenSecond) {
                text.replace(o, n + 2, n, ' ');
            } else {
                text.erase(i, 1);
                text.erase(o, 1);
            }
            bOpen = false;
            i = o + n;
        } else {
            if (ch == ')')
                bOpen = false;
            i++;
        }
    }
}

} // namespace

CClockFields ClockFieldsFromTime(const CTime& time)
{
    CClockFields fields;
    fields.nYear = time.GetYear();
    fields.nMonth = time.GetMonth();
    fields.nDay = time.GetDay();
    fields.nDayOfWeek = time.GetDayOfWeek();
    fields.nHour = time.GetHour();
    fields.nMinute = time.GetMinute();
    fields.nSecond = time.GetSecond();
    return fields;
}

CString ExpandTimeFormat(const CString& strFormat, const CClockFields& fields)
{
    const CString strYear = Number(fields.nYear);
    const int nHour12 = fields.nHour >= 13 && fields.nHour <= 23 ? fields.nHour - 12 : fields.nHour;

    // Longer tokens first: each is replaced before the tokens it starts with.
    const struct {
        const char* pszToken;
        CString strValue;
    } tokens[] = {
        {"%yyyy", strYear},
        {"%yy", strYear.GetLength() < 4 ? CString("00") : strYear.Right(2)},
        {"%mmmm", Name(kLongMonths, 12, fields.nMonth, "Error")},
        {"%mmm", Name(kShortMonths, 12, fields.nMonth, "Err")},
        {"%mm", TwoDigits(fields.nMonth)},
        {"%m", Number(fields.nMonth)},
        {"%dddd", Name(kLongDays, 7, fields.nDayOfWeek, "Error")},
        {"%ddd", Name(kShortDays, 7, fields.nDayOfWeek, "Err")},
        {"%dd", TwoDigits(fields.nDay)},
        {"%d", Number(fields.nDay)},
        {"%hhh", TwoDigits(fields.nHour)},
        {"%hh", Number(nHour12)},
        {"%h", Number(fields.nHour)},
        {"%nn", TwoDigits(fields.nMinute)},
        {"%n", Number(fields.nMinute)},
        {"%ss", TwoDigits(fields.nSecond)},
        {"%s", Number(fields.nSecond)},
        {"%tt", CString(fields.nHour < 12 ? "AM" : "PM")},
    };

    CString strText = strFormat;
    for (const auto& token : tokens)
        strText.Replace(token.pszToken, token.strValue);

    if (strText.Find('(') < 0)
        return strText;
    std::string text(strText.GetString(), static_cast<size_t>(strText.GetLength()));
    ExpandGroups(text, fields.nSecond % 2 == 0);
    return CString(text.data(), static_cast<int>(text.size()));
}

CString ExpandTimeFormat(const CString& strFormat, const CTime& time)
{
    return ExpandTimeFormat(strFormat, ClockFieldsFromTime(time));
}

void FillFormatPresets(CStringArray& presets)
{
    presets.RemoveAll();
    for (const char* pszPreset : g_apszDigitalFormatPresets)
        presets.Add(pszPreset);
}

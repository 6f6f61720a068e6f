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

unsigned long long Magnitude(int nValue)
{
    return nValue < 0 ? 0ULL - static_cast<unsigned long long>(nValue) : static_cast<unsigned long long>(nValue);
}

// Decimal without sign, so that no value can bring a character the glyph
// strip lacks; at least nMinDigits digits.
void AppendNumber(std::string& text, unsigned long long nValue, int nMinDigits)
{
    char digits[24];
    char* const pEnd = digits + sizeof(digits);
    char* p = pEnd;
    do {
        *--p = static_cast<char>('0' + nValue % 10);
        nValue /= 10;
    } while (nValue != 0);
    while (pEnd - p < nMinDigits)
        *--p = '0';
    text.append(p, pEnd);
}

// Four letters ask for the long name, three for the short one.
void AppendName(std::string& text, int nLength, const char* const* apszLong, const char* const* apszShort, int nCount,
                int nValue)
{
    if (nValue < 1 || nValue > nCount)
        text += nLength == 4 ? "Error" : "Err";
    else
        text += (nLength == 4 ? apszLong : apszShort)[nValue - 1];
}

// How many letters after a "%" make a token: the longest run of one letter
// that the language knows, 0 for none.
int TokenLength(char chLetter, int nRun)
{
    switch (chLetter) {
    case 'y':
        return nRun >= 4 ? 4 : nRun >= 2 ? 2 : 0;
    case 'm':
    case 'd':
        return nRun >= 4 ? 4 : nRun;
    case 'h':
        return nRun >= 3 ? 3 : nRun;
    case 'n':
    case 's':
        return nRun >= 2 ? 2 : nRun;
    case 't':
        return nRun >= 2 ? 2 : 0;
    default:
        return 0;
    }
}

void AppendToken(std::string& text, char chLetter, int nLength, const CClockFields& fields)
{
    switch (chLetter) {
    case 'y':
        if (nLength == 4)
            AppendNumber(text, Magnitude(fields.nYear), 1);
        else if (Magnitude(fields.nYear) < 1000)
            text += "00";
        else
            AppendNumber(text, Magnitude(fields.nYear) % 100, 2);
        break;
    case 'm':
        if (nLength >= 3)
            AppendName(text, nLength, kLongMonths, kShortMonths, 12, fields.nMonth);
        else
            AppendNumber(text, Magnitude(fields.nMonth), nLength);
        break;
    case 'd':
        if (nLength >= 3)
            AppendName(text, nLength, kLongDays, kShortDays, 7, fields.nDayOfWeek);
        else
            AppendNumber(text, Magnitude(fields.nDay), nLength);
        break;
    case 'h':
        if (nLength == 2) {
            const int nHour12 = fields.nHour >= 13 && fields.nHour <= 23 ? fields.nHour - 12 : fields.nHour;
            AppendNumber(text, Magnitude(nHour12), 1);
        } else {
            AppendNumber(text, Magnitude(fields.nHour), nLength == 3 ? 2 : 1);
        }
        break;
    case 'n':
        AppendNumber(text, Magnitude(fields.nMinute), nLength);
        break;
    case 's':
        AppendNumber(text, Magnitude(fields.nSecond), nLength);
        break;
    default: // 't'
        text += fields.nHour < 12 ? "AM" : "PM";
        break;
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

// One pass: the clock calls this every second. Token values hold no "%" or
// brackets, so tokens and groups can be read from the format as written.
// A group's inner part keeps its width in both phases, so the text has the
// same length every second and the window keeps its size; the scan resumes
// right after a closed group, so "(a)(b)" blinks as two groups.
CString ExpandTimeFormat(const CString& strFormat, const CClockFields& fields)
{
    const char* const pFormat = strFormat.GetString();
    const int nFormat = strFormat.GetLength();
    const bool bEvenSecond = fields.nSecond % 2 == 0;
    std::string text;
    text.reserve(static_cast<size_t>(nFormat) + 16);
    bool bOpen = false;
    size_t nOpenAt = 0;
    for (int i = 0; i < nFormat; i++) {
        const char ch = pFormat[i];
        if (ch == '%' && i + 1 < nFormat) {
            const char chLetter = pFormat[i + 1];
            int nRun = 1;
            while (nRun < 4 && i + 1 + nRun < nFormat && pFormat[i + 1 + nRun] == chLetter)
                nRun++;
            const int nLength = TokenLength(chLetter, nRun);
            if (nLength > 0) {
                AppendToken(text, chLetter, nLength, fields);
                i += nLength;
                continue;
            }
        }
        if (ch == '(') {
            bOpen = true;
            nOpenAt = text.size();
            text += ch;
        } else if (ch == ')' && bOpen) {
            const size_t nInner = text.size() - nOpenAt - 1;
            if (bEvenSecond)
                text.replace(nOpenAt, nInner + 1, nInner, ' ');
            else
                text.erase(nOpenAt, 1);
            bOpen = false;
        } else {
            if (ch == ')')
                bOpen = false;
            text += ch;
        }
    }
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

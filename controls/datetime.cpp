#include "controls/datetime.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

namespace {

const LONGLONG TICKS_PER_MICRO = 10;
const LONGLONG TICKS_PER_MILLI = 10000;
const LONGLONG TICKS_PER_SECOND = 10000000;
const LONGLONG TICKS_PER_MINUTE = 60 * TICKS_PER_SECOND;
const LONGLONG TICKS_PER_HOUR = 60 * TICKS_PER_MINUTE;
const LONGLONG TICKS_PER_DAY = 24 * TICKS_PER_HOUR;
// Days from 0000-01-01 to 1601-01-01 by the day-number formula below.
const LONGLONG EPOCH_DAYS = 584754;
const int g_anDaysBefore[12] = { 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334 };

// Checked 64-bit steps: each returns false instead of wrapping.
bool Add(LONGLONG a, LONGLONG b, LONGLONG& r) { return !__builtin_add_overflow(a, b, &r); }
bool Mul(LONGLONG a, LONGLONG b, LONGLONG& r) { return !__builtin_mul_overflow(a, b, &r); }
bool MulAdd(LONGLONG a, LONGLONG b, LONGLONG c, LONGLONG& r)
{
    LONGLONG m;
    return Mul(a, b, m) && Add(m, c, r);
}

LONGLONG FloorDiv(LONGLONG a, LONGLONG b)
{
    LONGLONG q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

bool IsLeap(LONGLONG y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

// Days from 0000-01-01 to 1 January of a year (proleptic Gregorian).
LONGLONG YearStart(LONGLONG y)
{
    return y * 365 + FloorDiv(y + 3, 4) - FloorDiv(y + 99, 100) + FloorDiv(y + 399, 400);
}

struct CFields {
    LONGLONG nYear;
    int nMonth, nDay, nHour, nMinute, nSecond, nMilli, nMicro, nNano, nDayOfYear, nDayOfWeek;
};

// Ticks since 1601 to calendar fields (proleptic Gregorian).
CFields Split(LONGLONG ticks)
{
    CFields f {};
    LONGLONG seconds = FloorDiv(ticks, TICKS_PER_SECOND);
    LONGLONG rest = ticks - seconds * TICKS_PER_SECOND;
    f.nMilli = (int)(rest / TICKS_PER_MILLI);
    f.nMicro = (int)(rest % TICKS_PER_MILLI / TICKS_PER_MICRO);
    f.nNano = (int)(rest % TICKS_PER_MICRO * 100);
    LONGLONG days = FloorDiv(seconds, 86400);
    LONGLONG secOfDay = seconds - days * 86400;
    f.nHour = (int)(secOfDay / 3600);
    f.nMinute = (int)(secOfDay % 3600 / 60);
    f.nSecond = (int)(secOfDay % 60);
    f.nDayOfWeek = (int)(((days + 584753) % 7 + 7) % 7) + 1;
    // Civil date of a day count from 1970 (days since 0000-01-01 less 719528).
    LONGLONG z = days + EPOCH_DAYS - 719528 + 719468;
    LONGLONG era = FloorDiv(z, 146097);
    LONGLONG doe = z - era * 146097;
    LONGLONG yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    LONGLONG doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    LONGLONG mp = (5 * doy + 2) / 153;
    f.nDay = (int)(doy - (153 * mp + 2) / 5 + 1);
    f.nMonth = (int)(mp < 10 ? mp + 3 : mp - 9);
    f.nYear = yoe + era * 400 + (f.nMonth <= 2 ? 1 : 0);
    f.nDayOfYear = (int)(days + EPOCH_DAYS - YearStart(f.nYear)) + 1;
    return f;
}

struct tm ToTm(const CFields& f)
{
    struct tm tm;
    std::memset(&tm, 0, sizeof(tm));
    tm.tm_year = (int)(f.nYear - 1900);
    tm.tm_mon = f.nMonth - 1;
    tm.tm_mday = f.nDay;
    tm.tm_hour = f.nHour;
    tm.tm_min = f.nMinute;
    tm.tm_sec = f.nSecond;
    tm.tm_wday = f.nDayOfWeek - 1;
    tm.tm_yday = f.nDayOfYear - 1;
    return tm;
}

CString Number(LPCSTR pszFormat, LONGLONG n)
{
    CString str;
    str.Format(pszFormat, (long long)n);
    return str;
}

// Replaces each occurrence of a code, left to right; with a limit, an
// occurrence whose replacement would not leave room for the terminator stays.
void ReplaceCode(std::string& text, const char* pszCode, const CString& strBy, int nLimit)
{
    const size_t nCode = std::strlen(pszCode);
    for (size_t pos = text.find(pszCode); pos != std::string::npos; pos = text.find(pszCode, pos)) {
        if (nLimit > 0 && text.size() - nCode + (size_t)strBy.GetLength() + 1 > (size_t)nLimit) {
            pos += nCode;
            continue;
        }
        text.replace(pos, nCode, strBy.GetString(), (size_t)strBy.GetLength());
        pos += (size_t)strBy.GetLength();
    }
}

void ReplaceSubSecond(std::string& text, LONGLONG nMilli, LONGLONG nMicro, LONGLONG nNano, int nLimit)
{
    ReplaceCode(text, "%s", Number("%03lld", nMilli), nLimit);
    ReplaceCode(text, "%#s", Number("%lld", nMilli), nLimit);
    ReplaceCode(text, "%u", Number("%03lld", nMicro), nLimit);
    ReplaceCode(text, "%#u", Number("%lld", nMicro), nLimit);
    ReplaceCode(text, "%n", Number("%03lld", nNano), nLimit);
    ReplaceCode(text, "%#n", Number("%lld", nNano), nLimit);
}

LONGLONG Abs(LONGLONG n) { return n < 0 ? -n : n; }

// The buffer form shared by both classes: the format with its extra codes
// replaced inside the buffer's room, then the strftime conversions.
LPSTR FormatInto(LPSTR pszBuffer, int nSize, std::string text, const struct tm& tm)
{
    CString str = AfxFormatTm(tm, text.c_str());
    if (str.GetLength() >= nSize) {
        pszBuffer[0] = '\0'; // as strftime: nothing when the text does not fit
        return pszBuffer;
    }
    std::memcpy(pszBuffer, str.GetString(), (size_t)str.GetLength() + 1);
    return pszBuffer;
}

LPSTR FormatInvalid(LPSTR pszBuffer, int nSize)
{
    static const char szInvalid[] = "Invalid datetime";
    size_t n = std::min(sizeof(szInvalid) - 1, (size_t)nSize - 1);
    std::memcpy(pszBuffer, szInvalid, n);
    pszBuffer[n] = '\0';
    return pszBuffer;
}

CString InvalidText()
{
    CString str = AfxDateTimeLoadString(AFX_IDS_INVALID_DATETIME);
    return str.IsEmpty() ? CString("Invalid datetime") : str;
}

template <class T>
void SerializeValue(CArchive& ar, T& status, LONGLONG& ticks)
{
    if (ar.IsStoring()) {
        ar << (DWORD)status << (DWORD)((ULONGLONG)ticks >> 32) << (DWORD)(ULONGLONG)ticks;
    } else {
        DWORD dwStatus, dwHigh, dwLow;
        ar >> dwStatus >> dwHigh >> dwLow;
        status = dwStatus <= 2 ? (T)dwStatus : (T)1;
        ticks = (LONGLONG)(((ULONGLONG)dwHigh << 32) | dwLow);
    }
}

} // namespace

// --- CHighResDateTime --------------------------------------------------------

CHighResDateTime::CHighResDateTime(
    int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond, int nMilli, int nMicro, int nNano)
{
    SetDateTime(nYear, nMonth, nDay, nHour, nMinute, nSecond, nMilli, nMicro, nNano);
}

CHighResDateTime::CHighResDateTime(const COleDateTime& odt)
{
    if (odt.GetStatus() != COleDateTime::valid)
        m_status = invalid;
    else
        SetDateTime(odt.GetYear(), odt.GetMonth(), odt.GetDay(), odt.GetHour(), odt.GetMinute(), odt.GetSecond());
}

CHighResDateTime::CHighResDateTime(const CTime& time)
{
    struct tm tm;
    if (time.GetLocalTm(&tm) == nullptr)
        m_status = invalid;
    else
        SetDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
}

CHighResDateTime::CHighResDateTime(const SYSTEMTIME& st)
{
    SetDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

CHighResDateTime::CHighResDateTime(const FILETIME& ft)
{
    SYSTEMTIME st;
    if (AfxDateTimeFromFileTime(ft, st))
        SetDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    else
        m_status = invalid;
}

CHighResDateTime::CHighResDateTime(time_t t)
    : CHighResDateTime(CTime((LONGLONG)t))
{
}

CHighResDateTime CHighResDateTime::GetCurrentTime() { return CHighResDateTime(AfxDateTimeLocalNow()); }

BOOL CHighResDateTime::SetDateTime(
    int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond, int nMilli, int nMicro, int nNano)
{
    m_ticks = 0;
    m_status = invalid;
    if (nYear < -29000 || nYear > 29000 || nMonth < 1 || nMonth > 12)
        return FALSE;
    // The carries, each by truncating division; the fields are 64-bit from here
    // so that no carry can wrap.
    LONGLONG ns = (LONGLONG)nNano + 50;
    LONGLONG us = nMicro + ns / 1000;
    ns %= 1000;
    LONGLONG ms = nMilli + us / 1000;
    us %= 1000;
    LONGLONG s = nSecond + ms / 1000;
    ms %= 1000;
    LONGLONG mi = nMinute + s / 60;
    s %= 60;
    LONGLONG h = nHour + mi / 60;
    mi %= 60;
    LONGLONG d = nDay + h / 24;
    h %= 24;
    LONGLONG y = nYear;
    LONGLONG dayNumber = y * 365 + y / 4 - y / 100 + y / 400 + g_anDaysBefore[nMonth - 1] + d
        - (IsLeap(y) && nMonth <= 2 ? 1 : 0) - EPOCH_DAYS;
    LONGLONG seconds, ticks;
    if (!MulAdd(dayNumber, 86400, h * 3600 + mi * 60 + s, seconds)
        || !MulAdd(seconds, TICKS_PER_SECOND, ms * TICKS_PER_MILLI + us * TICKS_PER_MICRO + ns / 100, ticks))
        return FALSE;
    m_ticks = ticks;
    m_status = valid;
    return TRUE;
}

#define DT_FIELD(name, expr)                                                                                 \
    int CHighResDateTime::name() const                                                                       \
    {                                                                                                        \
        if (m_status != valid)                                                                               \
            return -1;                                                                                       \
        CFields f = Split(m_ticks);                                                                          \
        return (int)(expr);                                                                                  \
    }
DT_FIELD(GetYear, f.nYear)
DT_FIELD(GetMonth, f.nMonth)
DT_FIELD(GetDay, f.nDay)
DT_FIELD(GetHour, f.nHour)
DT_FIELD(GetMinute, f.nMinute)
DT_FIELD(GetSecond, f.nSecond)
DT_FIELD(GetMillisecond, f.nMilli)
DT_FIELD(GetMicrosecond, f.nMicro)
DT_FIELD(GetNanosecond, f.nNano)
DT_FIELD(GetDayOfYear, f.nDayOfYear)
DT_FIELD(GetDayOfWeek, f.nDayOfWeek)
#undef DT_FIELD

BOOL CHighResDateTime::GetAsSystemTime(SYSTEMTIME& st) const
{
    if (m_status != valid)
        return FALSE;
    CFields f = Split(m_ticks);
    st.wYear = (WORD)f.nYear;
    st.wMonth = (WORD)f.nMonth;
    st.wDayOfWeek = (WORD)(f.nDayOfWeek - 1);
    st.wDay = (WORD)f.nDay;
    st.wHour = (WORD)f.nHour;
    st.wMinute = (WORD)f.nMinute;
    st.wSecond = (WORD)f.nSecond;
    st.wMilliseconds = (WORD)f.nMilli;
    return TRUE;
}

struct CHighResAccess {
    template <class T>
    static void SetTicks(T& value, LONGLONG ticks)
    {
        value.m_ticks = ticks;
    }
};

// Null wins over invalid, invalid over valid; a sum that leaves 64 bits is invalid.
template <class TResult, class TA, class TB>
static TResult Combine(const TA& a, const TB& b, bool bSubtract)
{
    TResult r;
    if (a.GetStatus() == CHighResDateTime::null || b.GetStatus() == CHighResDateTime::null)
        r.SetStatus(CHighResDateTime::null);
    else if (a.GetStatus() != CHighResDateTime::valid || b.GetStatus() != CHighResDateTime::valid)
        r.SetStatus(CHighResDateTime::invalid);
    LONGLONG ticks = 0;
    bool bOk = bSubtract ? !__builtin_sub_overflow(a.GetTicks(), b.GetTicks(), &ticks)
                         : !__builtin_add_overflow(a.GetTicks(), b.GetTicks(), &ticks);
    if (r.GetStatus() == CHighResDateTime::valid && !bOk)
        r.SetStatus(CHighResDateTime::invalid);
    CHighResAccess::SetTicks(r, bOk && r.GetStatus() == CHighResDateTime::valid ? ticks : 0);
    return r;
}

CHighResDateTime CHighResDateTime::operator+(const CHighResTimeSpan& span) const
{
    return Combine<CHighResDateTime>(*this, span, false);
}

CHighResDateTime CHighResDateTime::operator-(const CHighResTimeSpan& span) const
{
    return Combine<CHighResDateTime>(*this, span, true);
}

CHighResTimeSpan CHighResDateTime::operator-(const CHighResDateTime& other) const
{
    return Combine<CHighResTimeSpan>(*this, other, true);
}

bool CHighResDateTime::operator==(const CHighResDateTime& other) const
{
    return m_status == other.m_status && m_ticks == other.m_ticks;
}

LPSTR CHighResDateTime::Format(LPSTR pszBuffer, int nSize, LPCSTR pszFormat) const
{
    if (pszBuffer == nullptr || m_status == null || nSize < 1)
        return nullptr;
    if (m_status == invalid)
        return FormatInvalid(pszBuffer, nSize);
    CFields f = Split(m_ticks);
    std::string text = pszFormat != nullptr ? pszFormat : "";
    if (text.size() >= (size_t)nSize)
        text.resize((size_t)nSize - 1);
    ReplaceSubSecond(text, f.nMilli, f.nMicro, f.nNano, nSize);
    return FormatInto(pszBuffer, nSize, text, ToTm(f));
}

CString CHighResDateTime::Format(LPCSTR pszFormat) const
{
    if (m_status == null)
        return CString();
    if (m_status == invalid)
        return InvalidText();
    CFields f = Split(m_ticks);
    std::string text = pszFormat != nullptr ? pszFormat : "";
    ReplaceSubSecond(text, f.nMilli, f.nMicro, f.nNano, 0);
    return AfxFormatTm(ToTm(f), text.c_str());
}

CString CHighResDateTime::Format(UINT nFormatID) const { return Format(AfxDateTimeLoadString(nFormatID)); }

void CHighResDateTime::Serialize(CArchive& ar) { SerializeValue(ar, m_status, m_ticks); }

// --- CHighResTimeSpan --------------------------------------------------------

CHighResTimeSpan::CHighResTimeSpan(
    LONGLONG nDays, int nHours, int nMinutes, int nSeconds, int nMilli, int nMicro, int nNano)
{
    // The carries keep the sum, so the ticks are the fields' sum with the
    // nanoseconds rounded to 100, halves away from zero.
    LONGLONG nanoTicks = nNano >= 0 ? ((LONGLONG)nNano + 50) / 100 : ((LONGLONG)nNano - 50) / 100;
    LONGLONG small = (LONGLONG)nHours * TICKS_PER_HOUR + (LONGLONG)nMinutes * TICKS_PER_MINUTE
        + (LONGLONG)nSeconds * TICKS_PER_SECOND + (LONGLONG)nMilli * TICKS_PER_MILLI
        + (LONGLONG)nMicro * TICKS_PER_MICRO + nanoTicks;
    if (!MulAdd(nDays, TICKS_PER_DAY, small, m_ticks)) {
        m_ticks = 0;
        m_status = CHighResDateTime::invalid;
    }
}

LONGLONG CHighResTimeSpan::GetTotalDays() const { return m_ticks / TICKS_PER_DAY; }
LONGLONG CHighResTimeSpan::GetTotalHours() const { return m_ticks / TICKS_PER_HOUR; }
LONGLONG CHighResTimeSpan::GetTotalMinutes() const { return m_ticks / TICKS_PER_MINUTE; }
LONGLONG CHighResTimeSpan::GetTotalSeconds() const { return m_ticks / TICKS_PER_SECOND; }
LONGLONG CHighResTimeSpan::GetTotalMilliseconds() const { return m_ticks / TICKS_PER_MILLI; }
LONGLONG CHighResTimeSpan::GetTotalMicroseconds() const { return m_ticks / TICKS_PER_MICRO; }

LONGLONG CHighResTimeSpan::GetTotalNanoseconds() const
{
    LONGLONG n;
    if (Mul(m_ticks, 100, n))
        return n;
    return m_ticks < 0 ? LLONG_MIN : LLONG_MAX;
}

int CHighResTimeSpan::GetHours() const { return (int)(m_ticks / TICKS_PER_HOUR % 24); }
int CHighResTimeSpan::GetMinutes() const { return (int)(m_ticks / TICKS_PER_MINUTE % 60); }
int CHighResTimeSpan::GetSeconds() const { return (int)(m_ticks / TICKS_PER_SECOND % 60); }
int CHighResTimeSpan::GetMilliseconds() const { return (int)(m_ticks % TICKS_PER_SECOND / TICKS_PER_MILLI); }
int CHighResTimeSpan::GetMicroseconds() const { return (int)(m_ticks % TICKS_PER_MILLI / TICKS_PER_MICRO); }
int CHighResTimeSpan::GetNanoseconds() const { return (int)(m_ticks % TICKS_PER_MICRO * 100); }

CHighResTimeSpan CHighResTimeSpan::operator+(const CHighResTimeSpan& other) const
{
    return Combine<CHighResTimeSpan>(*this, other, false);
}

CHighResTimeSpan CHighResTimeSpan::operator-(const CHighResTimeSpan& other) const
{
    return Combine<CHighResTimeSpan>(*this, other, true);
}

bool CHighResTimeSpan::operator==(const CHighResTimeSpan& other) const
{
    return m_status == other.m_status && m_ticks == other.m_ticks;
}

static struct tm SpanTm(const CHighResTimeSpan& span)
{
    struct tm tm;
    std::memset(&tm, 0, sizeof(tm));
    tm.tm_hour = (int)Abs(span.GetHours());
    tm.tm_min = (int)Abs(span.GetMinutes());
    tm.tm_sec = (int)Abs(span.GetSeconds());
    return tm;
}

static void ReplaceSpanCodes(std::string& text, const CHighResTimeSpan& span, int nLimit)
{
    ReplaceCode(text, "%D", Number("%0lld", Abs(span.GetTotalDays())), nLimit);
    ReplaceCode(text, "%#D", Number("%lld", Abs(span.GetTotalDays())), nLimit);
    ReplaceSubSecond(
        text, Abs(span.GetMilliseconds()), Abs(span.GetMicroseconds()), Abs(span.GetNanoseconds()), nLimit);
}

LPSTR CHighResTimeSpan::Format(LPSTR pszBuffer, int nSize, LPCSTR pszFormat) const
{
    if (pszBuffer == nullptr || m_status == CHighResDateTime::null || nSize < 1)
        return nullptr;
    if (m_status == CHighResDateTime::invalid)
        return FormatInvalid(pszBuffer, nSize);
    std::string text = pszFormat != nullptr ? pszFormat : "";
    if (text.size() >= (size_t)nSize)
        text.resize((size_t)nSize - 1);
    ReplaceSpanCodes(text, *this, nSize);
    return FormatInto(pszBuffer, nSize, text, SpanTm(*this));
}

CString CHighResTimeSpan::Format(LPCSTR pszFormat) const
{
    if (m_status == CHighResDateTime::null)
        return CString();
    if (m_status == CHighResDateTime::invalid)
        return InvalidText();
    std::string text = pszFormat != nullptr ? pszFormat : "";
    ReplaceSpanCodes(text, *this, 0);
    return AfxFormatTm(SpanTm(*this), text.c_str());
}

CString CHighResTimeSpan::Format(UINT nFormatID) const { return Format(AfxDateTimeLoadString(nFormatID)); }

void CHighResTimeSpan::Serialize(CArchive& ar) { SerializeValue(ar, m_status, m_ticks); }

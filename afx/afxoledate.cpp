#include "afx/afxoledate.h"

#include <cmath>

namespace {

const long long kSecondsPerDay = 86400;

// Days from 1 March of year 0 counting (proleptic Gregorian), shifted so that
// 30 December 1899 is day 0.
long long DaysFromCivil(long long y, int m, int d) {
    y -= m <= 2;
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 25569;  // 25569: 1970-01-01 as an automation date
}

void CivilFromDays(long long z, int* pnYear, int* pnMonth, int* pnDay) {
    z += 719468 - 25569;
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    *pnDay = (int)(doy - (153 * mp + 2) / 5 + 1);
    *pnMonth = (int)(mp < 10 ? mp + 3 : mp - 9);
    *pnYear = (int)(yoe + era * 400 + (*pnMonth <= 2));
}

bool IsLeap(int nYear) { return (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0; }

int DaysInMonth(int nYear, int nMonth) {
    static const int s_days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return nMonth == 2 && IsLeap(nYear) ? 29 : s_days[nMonth - 1];
}

}  // namespace

int COleDateTime::SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec) {
    m_dt = 0;
    if (nYear < 100 || nYear > 9999 || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > DaysInMonth(nYear, nMonth) ||
        nHour < 0 || nHour > 23 || nMin < 0 || nMin > 59 || nSec < 0 || nSec > 59) {
        m_status = invalid;
        return m_status;
    }
    long long nDays = DaysFromCivil(nYear, nMonth, nDay);
    double dFraction = (double)(nHour * 3600 + nMin * 60 + nSec) / kSecondsPerDay;
    m_dt = nDays >= 0 ? (double)nDays + dFraction : (double)nDays - dFraction;
    m_status = valid;
    return m_status;
}

bool COleDateTime::Split(int* pnFields) const {
    if (m_status != valid)
        return false;
    long long nDays = (long long)m_dt;  // toward zero: the fraction is the time either side
    long long nSecs = std::llround(std::fabs(m_dt - (double)nDays) * kSecondsPerDay);
    if (nSecs >= kSecondsPerDay) {  // rounded up to midnight: the next day
        nSecs -= kSecondsPerDay;
        ++nDays;
    }
    CivilFromDays(nDays, &pnFields[0], &pnFields[1], &pnFields[2]);
    pnFields[3] = (int)(nSecs / 3600);
    pnFields[4] = (int)(nSecs / 60 % 60);
    pnFields[5] = (int)(nSecs % 60);
    // 30 December 1899 was a Saturday.
    pnFields[6] = (int)(((nDays + 6) % 7 + 7) % 7) + 1;
    return true;
}

int COleDateTime::GetYear() const {
    int n[7];
    return Split(n) ? n[0] : -1;
}
int COleDateTime::GetMonth() const {
    int n[7];
    return Split(n) ? n[1] : -1;
}
int COleDateTime::GetDay() const {
    int n[7];
    return Split(n) ? n[2] : -1;
}
int COleDateTime::GetHour() const {
    int n[7];
    return Split(n) ? n[3] : -1;
}
int COleDateTime::GetMinute() const {
    int n[7];
    return Split(n) ? n[4] : -1;
}
int COleDateTime::GetSecond() const {
    int n[7];
    return Split(n) ? n[5] : -1;
}
int COleDateTime::GetDayOfWeek() const {
    int n[7];
    return Split(n) ? n[6] : -1;
}

BOOL COleDateTime::GetAsSystemTime(SYSTEMTIME& st) const {
    int n[7];
    if (!Split(n))
        return FALSE;
    st.wYear = (WORD)n[0];
    st.wMonth = (WORD)n[1];
    st.wDay = (WORD)n[2];
    st.wHour = (WORD)n[3];
    st.wMinute = (WORD)n[4];
    st.wSecond = (WORD)n[5];
    st.wDayOfWeek = (WORD)(n[6] - 1);
    st.wMilliseconds = 0;
    return TRUE;
}

// The digital clock's date/time format language: "%" tokens for the parts of
// the local time, "(...)" groups that blink, everything else as written.
#pragma once

#include "afx/afxstr.h"
#include "afx/afxtime.h"

// Stored into the setting when the clock finds it empty; not a preset.
extern const char g_szDefaultDigitalFormat[];

const int DIGITAL_FORMAT_PRESETS = 28;
// Preset i has the menu command 901 + i.
extern const char* const g_apszDigitalFormatPresets[DIGITAL_FORMAT_PRESETS];

// One reading of the clock. Month 1..12, day of week 1 = Sunday .. 7 =
// Saturday; other values are expanded as they stand ("Err" for the names).
struct CClockFields {
    int nYear;
    int nMonth;
    int nDay;
    int nDayOfWeek;
    int nHour;
    int nMinute;
    int nSecond;
};

CClockFields ClockFieldsFromTime(const CTime& time);

// The expanded text of strFormat. Not upper-cased: the caller does that
// before it draws glyphs.
CString ExpandTimeFormat(const CString& strFormat, const CClockFields& fields);
CString ExpandTimeFormat(const CString& strFormat, const CTime& time);

// Empties presets and fills it with the presets in menu order.
void FillFormatPresets(CStringArray& presets);

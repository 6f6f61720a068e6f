// The lists an alarm keeps in one string each, read the way the executor
// runs them: program paths and sound entries ended by "***", system-function
// codes in two-character slices. Portable, so the rules are tested natively.
#pragma once

#include "afx/afx.h"

#include <vector>

// The largest system-function code; codes above it (and below 0) do nothing.
constexpr int ALARM_SYSFUNC_LAST = 10;
// The most passes through an alarm's sounds that are played. Each sound cuts
// the one before off, so further passes change nothing a user hears; a count
// read from a damaged file must not decide how much is built.
constexpr int ALARM_SOUND_PASSES_MAX = 16;

class CAlarmLists
{
public:
    // The entries that a "***" ends, in order, matched as GetToken matches
    // (inside a delimiter just found too); text after the last "***" is no entry.
    static std::vector<CString> GetEntries(const CString& strList);
    // The programs to open: the non-empty entries of the program list.
    static std::vector<CString> GetPrograms(const CString& strApps);
    // The sound files to play, nPasses times through the list (at most
    // ALARM_SOUND_PASSES_MAX, none for 0 or less): entries marked
    // "TRUETRUETRUE", without the mark; a name without a backslash lies in
    // strSoundDir, and with no sound folder (empty) it is not played.
    static std::vector<CString> GetSounds(const CString& strSounds, const CString& strSoundDir, int nPasses);
    // The codes to perform, in order: each two-character slice read as atoi
    // reads it ("xx" is 0); codes outside 0..ALARM_SYSFUNC_LAST are left out.
    static std::vector<int> GetSystemFunctions(const CString& strCodes);
};

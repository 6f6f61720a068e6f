#include "alarms/alarmlists.h"
#include "alarms/alarmeditmodel.h"

#include <cstdlib>
#include <cstring>

namespace
{
const char kEnd[] = "***";
const char kSoundOn[] = "TRUETRUETRUE";
const int kSoundOnLength = 12;
}

std::vector<CString> CAlarmLists::GetEntries(const CString& strList)
{
    std::vector<CString> entries;
    LPCSTR pszText = strList;
    const int nLength = strList.GetLength();
    const int nEnd = static_cast<int>(std::strlen(kEnd));
    int nStart = 0;
    for (int i = 0; i + nEnd <= nLength; i++)
    {
        if (std::memcmp(pszText + i, kEnd, nEnd) != 0)
            continue;
        // A match inside the delimiter just found ends an empty entry.
        entries.push_back(i > nStart ? strList.Mid(nStart, i - nStart) : CString());
        nStart = i + nEnd;
    }
    return entries;
}

// An empty entry names no program; opening "" would open the current folder.
std::vector<CString> CAlarmLists::GetPrograms(const CString& strApps)
{
    std::vector<CString> programs;
    for (const CString& strEntry : GetEntries(strApps))
        if (!strEntry.IsEmpty())
            programs.push_back(strEntry);
    return programs;
}

std::vector<CString> CAlarmLists::GetSounds(const CString& strSounds, const CString& strSoundDir, int nPasses)
{
    std::vector<CString> pass;
    for (const CString& strEntry : GetEntries(strSounds))
    {
        if (strEntry.GetLength() <= kSoundOnLength || strEntry.Left(kSoundOnLength) != kSoundOn)
            continue;   // switched off, or a mark with no file after it
        // Empty: a bare name with no sounds folder, which would be looked
        // for at the root of the drive.
        const CString strSound = CAlarmSoundsModel::FullPath(strEntry.Mid(kSoundOnLength), strSoundDir);
        if (!strSound.IsEmpty())
            pass.push_back(strSound);
    }
    const int nPlayed = nPasses < ALARM_SOUND_PASSES_MAX ? nPasses : ALARM_SOUND_PASSES_MAX;
    std::vector<CString> sounds;
    if (nPlayed <= 0 || pass.empty())
        return sounds;
    sounds.reserve(pass.size() * static_cast<size_t>(nPlayed));
    for (int n = 0; n < nPlayed; n++)
        sounds.insert(sounds.end(), pass.begin(), pass.end());
    return sounds;
}

std::vector<int> CAlarmLists::GetSystemFunctions(const CString& strCodes)
{
    std::vector<int> codes;
    for (int i = 0; i < strCodes.GetLength(); i += 2)
    {
        const int nCode = std::atoi(strCodes.Mid(i, 2));
        if (nCode >= 0 && nCode <= ALARM_SYSFUNC_LAST)
            codes.push_back(nCode);
    }
    return codes;
}

#include "core/config.h"

#include "afx/afxfile.h"
#include "core/appseams.h"
#include "core/cfgstream.h"

#include <cstdio>
#include <cstring>
#include <utility>

CConfigFile g_configFile;
BOOL CConfigFile::ms_bBackupPending = FALSE;
BOOL CConfigFile::ms_bRegistryTold = FALSE;
BOOL CConfigFile::ms_bWriteTold = FALSE;
BOOL CConfigFile::ms_bKeepOut = FALSE;

namespace
{
const char kFileName[] = "Veltran.cfg";
const char kMsgOlderFile[] = "Older version's configuration file was found!";
const char kMsgCannotWrite[] = "Unable to write configuration file!";
const char kMsgRegistry[] = "Error to write the Registry!";
const char kMsgNoFolder[] = "The folder of Veltran Clock cannot be found (its path may be too long)! "
                            "The default settings are in use and will not be saved.";
const UINT kMessageBoxOk = 0;   // MB_OK

// A file that is there but cannot be read as a configuration (damaged, too
// large, of a layout this program does not know).
CString UnusableFileText(const CString& strPath)
{
    return "The configuration file " + strPath + " cannot be used! The default settings are in use; the file "
           "will be kept as " + strPath + ".bak at the first save.";
}

// A file that is there but does not open or read: no copy could be made of it either.
CString UnopenableFileText(const CString& strPath)
{
    return "The configuration file " + strPath + " cannot be opened or read! The default settings are in "
           "use and will not be saved over it.";
}

// A clock's picture effects, which end its items: layout 222 lacks the light
// level, 221 all three.
template <class Ar, class T>
void ExchangeEffects(Ar& ar, T& nLight, T& nContrast, T& nJitter, bool bHasLight, bool bHasContrast)
{
    if (bHasLight)
        ar.Dword(nLight);
    if (bHasContrast)
    {
        ar.Dword(nContrast);
        ar.Dword(nJitter);
    }
}

// The settings items in file order. One list serves both directions, so the
// reader can never drift from the writer. Layout 222 lacks the light effects
// and the Skin Browser flags; 221 lacks the contrast and jitter effects too.
template <class Ar, class S> void ExchangeSettings(Ar& ar, S& s, DWORD nLayout)
{
    const bool bHas222 = nLayout >= CONFIG_LAYOUT_222;
    const bool bHas230 = nLayout >= CONFIG_LAYOUT;

    DWORD nVersion = nLayout;
    ar.Dword(nVersion);
    if constexpr (Ar::IsLoading)
    {
        if (nVersion != nLayout)
            ar.Fail();
    }

    ar.Dword(s.m_bAnalogVisible);
    ar.String(s.m_strAnalogSkin);
    ar.Dword(s.m_nAnalogScale);
    ar.Dword(s.m_bAnalogSecondHand);
    ar.Dword(s.m_bAnalogOnTop);
    ar.Dword(s.m_nAnalogDblClkAction);
    ar.Dword(s.m_bAnalogAutoChange);
    ar.Dword(s.m_bAnalogChangeByMinutes);
    ar.Dword(s.m_nAnalogChangeMinutes);
    ar.Dword(s.m_bAnalogChangeBySeconds);
    ar.Dword(s.m_nAnalogChangeSeconds);
    ar.Dword(s.m_bAnalogAutoRemove);
    ar.Dword(s.m_bAnalogAlwaysCenter);
    ar.Dword(s.m_nAnalogFixedSize);
    ar.Dword(s.m_bAnalogLockMovement);
    ar.Dword(s.m_bAnalogOnBottom);
    ar.Dword(s.m_bAnalogToggleHides);
    ar.HotKey(s.m_hkAnalog);
    ar.String(s.m_strAnalogChangeSkins);
    ar.Point(s.m_ptAnalogCenter);
    ExchangeEffects(ar, s.m_nAnalogLight, s.m_nAnalogContrast, s.m_nAnalogJitter, bHas230, bHas222);

    ar.Dword(s.m_bDigitalVisible);
    ar.Dword(s.m_bDigitalOnTop);
    ar.Dword(s.m_nDigitalScale);
    ar.Dword(s.m_bDigitalAutoChange);
    ar.Dword(s.m_bDigitalChangeByMinutes);
    ar.Dword(s.m_nDigitalChangeMinutes);
    ar.Dword(s.m_bDigitalChangeBySeconds);
    ar.Dword(s.m_nDigitalChangeSeconds);
    ar.Dword(s.m_nDigitalDblClkAction);
    ar.String(s.m_strDigitalSkin);
    ar.String(s.m_strDigitalFormat);
    ar.Dword(s.m_bDigitalAutoRemove);
    ar.Dword(s.m_bDigitalAlwaysCenter);
    ar.Dword(s.m_nDigitalFixedSize);
    ar.Dword(s.m_bDigitalLockMovement);
    ar.Dword(s.m_bDigitalOnBottom);
    ar.Dword(s.m_bDigitalToggleHides);
    ar.HotKey(s.m_hkDigital);
    ar.String(s.m_strDigitalChangeSkins);
    ar.Point(s.m_ptDigitalCenter);
    ExchangeEffects(ar, s.m_nDigitalLight, s.m_nDigitalContrast, s.m_nDigitalJitter, bHas230, bHas222);

    ar.Dword(s.m_bRunAtStartup);
    ar.Dword(s.m_bAskOnExit);
    if (bHas230)
    {
        ar.Dword(s.m_bSkinBrowserAtStartup);
        ar.Dword(s.m_bSkinBrowserAutoConnect);
    }
    ar.Dword(s.m_nTrayDblClkAction);
    ar.HotKey(s.m_hkOptions);
    ar.Dword(s.m_crAlarmWndBack);
    ar.Dword(s.m_crAlarmWndText);
    ar.Dword(s.m_crAlarmButton);
    ar.Dword(s.m_crAlarmButtonText);
    ar.Dword(s.m_crAlarmListBack);
    ar.Dword(s.m_crAlarmListText);
    ar.Dword(s.m_nUsedAlarmAction);
    ar.Dword(s.m_bAlarmListAtStartup);
    ar.HotKey(s.m_hkAlarmList);

    ar.Dword(s.m_bCalendarVisible);
    ar.Dword(s.m_bCalUseBackColor);
    ar.Dword(s.m_bCalUseMonthBackColor);
    ar.Dword(s.m_bCalUseTextColor);
    ar.Dword(s.m_bCalUseTitleBackColor);
    ar.Dword(s.m_bCalUseTitleTextColor);
    ar.Dword(s.m_bCalUseTrailingTextColor);
    ar.Dword(s.m_crCalBack);
    ar.Dword(s.m_crCalMonthBack);
    ar.Dword(s.m_crCalText);
    ar.Dword(s.m_crCalTitleBack);
    ar.Dword(s.m_crCalTitleText);
    ar.Dword(s.m_crCalTrailingText);
    ar.Dword(s.m_bCalendarOnTop);
    ar.HotKey(s.m_hkCalendar);
    ar.Dword(s.m_bCalCustomFirstDay);
    ar.Dword(s.m_nCalFirstDay);
    ar.Dword(s.m_bCalendarToggleHides);

    // Three reserved items: written as 0, 0 and "", read and dropped.
    CTime timeReserved(0);
    DWORD dwReserved = 0;
    CString strReserved;
    ar.Time(timeReserved);
    ar.Dword(dwReserved);
    ar.String(strReserved);
}

// One alarm record; identical in all three layouts.
template <class Ar, class A> void ExchangeAlarm(Ar& ar, A& a)
{
    ar.String(a.m_strMinuteList);
    ar.Dword(a.m_nYearMonth);
    ar.Time(a.m_timeNext);
    ar.Dword(a.m_bEnabled);
    ar.String(a.m_strSecondList);
    ar.Time(a.m_time);
    ar.Dword(a.m_nRepeat);
    ar.Dword(a.m_nWeekDay);
    ar.Dword(a.m_nDays);
    ar.String(a.m_strWeekDays);
    ar.Dword(a.m_nYearDay);
    // Written twice; the second read is the one that counts.
    ar.Dword(a.m_nMinuteOfHour);
    ar.Dword(a.m_nMinuteOfHour);
    ar.Dword(a.m_nMinutePreset);
    ar.Dword(a.m_nMonthDay);
    ar.Dword(a.m_nSecondPreset);
    ar.Dword(a.m_nScheduleReserved);
    ar.Dword(a.m_bRunApps);
    ar.String(a.m_strApps);
    ar.Dword(a.m_bSysFuncs);
    ar.String(a.m_strSysFuncs);
    ar.Dword(a.m_bAskNotify);
    ar.Time(a.m_timeLastRun);

    // The hot key's words travel zero-extended in DWORDs.
    DWORD dwHotKeyVK = a.m_wHotKeyVK;
    DWORD dwHotKeyMods = a.m_wHotKeyMods;
    ar.Dword(dwHotKeyVK);
    ar.Dword(dwHotKeyMods);
    if constexpr (Ar::IsLoading)
    {
        a.m_wHotKeyVK = static_cast<WORD>(dwHotKeyVK & 0xFFFF);
        a.m_wHotKeyMods = static_cast<WORD>(dwHotKeyMods & 0xFFFF);
        a.m_nHotKeyExtra = 0;
    }

    ar.Dword(a.m_nIconIndex);
    ar.String(a.m_strIconFile);
    ar.Dword(a.m_bCustomIcon);
    ar.String(a.m_strName);
    ar.Dword(a.m_nStarts);
    ar.Dword(a.m_bShowInTray);
    ar.Dword(a.m_bToggleAnalog);
    ar.Dword(a.m_bAutoClose);
    ar.Dword(a.m_bToggleCalendar);
    ar.Dword(a.m_bToggleDigital);

    // The font's members in the alphabetical order of their names. The face
    // name is kept to 31 characters both ways, so it always ends in a zero.
    LOGFONTA lf = a.m_lfMessage;
    CString strFace;
    if constexpr (!Ar::IsLoading)
        strFace = CString(lf.lfFaceName, static_cast<int>(strnlen(lf.lfFaceName, LF_FACESIZE - 1)));
    ar.Byte(lf.lfCharSet);
    ar.Byte(lf.lfClipPrecision);
    ar.Dword(lf.lfEscapement);
    ar.String(strFace);
    ar.Dword(lf.lfHeight);
    ar.Byte(lf.lfItalic);
    ar.Dword(lf.lfOrientation);
    ar.Byte(lf.lfOutPrecision);
    ar.Byte(lf.lfPitchAndFamily);
    ar.Byte(lf.lfQuality);
    ar.Byte(lf.lfStrikeOut);
    ar.Byte(lf.lfUnderline);
    ar.Dword(lf.lfWeight);
    ar.Dword(lf.lfWidth);
    if constexpr (Ar::IsLoading)
    {
        const size_t nFace = strnlen(static_cast<LPCSTR>(strFace), LF_FACESIZE - 1);
        std::memset(lf.lfFaceName, 0, sizeof(lf.lfFaceName));
        std::memcpy(lf.lfFaceName, static_cast<LPCSTR>(strFace), nFace);
        a.m_lfMessage = lf;
    }

    ar.Dword(a.m_bMsgCenter);
    ar.String(a.m_strMessage);
    ar.Dword(a.m_bShowMessage);
    ar.Dword(a.m_bMsgOnTop);
    ar.Dword(a.m_nAutoCloseSec);
    ar.Dword(a.m_bToggleTrayClock);
    ar.Rect(a.m_rcMessage);
    ar.String(a.m_strSounds);
    ar.Dword(a.m_bPlaySounds);
    ar.Dword(a.m_nSoundExtra);
}

// Streams the file over, so a file too large to load is still kept whole.
BOOL CopyWholeFile(LPCSTR pszFrom, LPCSTR pszTo)
{
    FILE* pFrom = std::fopen(pszFrom, "rb");
    if (pFrom == NULL)
        return AppPlatformIsMissing(pszFrom);   // nothing left to keep, or a file we cannot copy
    FILE* pTo = std::fopen(pszTo, "wb");
    if (pTo == NULL)
    {
        std::fclose(pFrom);
        return FALSE;
    }
    BOOL bOk = TRUE;
    BYTE buffer[65536];
    for (;;)
    {
        const size_t nRead = std::fread(buffer, 1, sizeof(buffer), pFrom);
        if (nRead != 0 && std::fwrite(buffer, 1, nRead, pTo) != nRead)
        {
            bOk = FALSE;
            break;
        }
        if (nRead < sizeof(buffer))
        {
            if (std::ferror(pFrom))
                bOk = FALSE;
            break;
        }
    }
    std::fclose(pFrom);
    if (std::fclose(pTo) != 0)
        bOk = FALSE;
    return bOk;
}

CString ConfigPath()
{
    return CConfigFile::GetAppDir() + "\\" + kFileName;
}
} // namespace

CConfigFile::CConfigFile()
{
}

CConfigFile::~CConfigFile()
{
}

void CConfigFile::ResetSession()
{
    ms_bBackupPending = FALSE;
    ms_bRegistryTold = FALSE;
    ms_bWriteTold = FALSE;
    ms_bKeepOut = FALSE;
}

CString CConfigFile::GetAppDir()
{
    CString strPath = g_appSeams.pfnGetModulePath();
    std::vector<char> buffer(static_cast<LPCSTR>(strPath), static_cast<LPCSTR>(strPath) + strPath.GetLength() + 1);
    AppStripFileName(buffer.data());
    return CString(buffer.data());
}

// Without a program folder no folder is named: an empty folder plus "\..."
// would point at the root of the drive. Each user takes an empty folder as
// none (no skins, no sounds listed, the fallback icon).
void CConfigFile::SetDefaults(CSettings& s, const CString& strAppDir)
{
    const auto inAppDir = [&strAppDir](LPCSTR pszName) {
        return strAppDir.IsEmpty() ? CString() : strAppDir + "\\" + pszName;
    };
    s = CSettings();
    s.m_nVersion = CONFIG_LAYOUT;
    s.m_bRunAtStartup = TRUE;
    s.m_bAskOnExit = TRUE;
    s.m_crAlarmWndBack = 0xFFFFFF;
    s.m_crAlarmButton = 0xFFFFFF;
    s.m_crAlarmListBack = 0xFFFFFF;
    s.m_nUsedAlarmAction = 1;
    s.m_bAnalogSecondHand = TRUE;
    s.m_strIconLibrary = inAppDir("icons.icl");
    s.m_strSoundDir = inAppDir("sounds");
    s.m_strAnalogSkin = "Simple";
    s.m_strAnalogSkinDir = inAppDir("acs");
    s.m_nAnalogScale = 2;
    s.m_strAnalogPartSecond = "second";
    s.m_strAnalogPartMinute = "minute";
    s.m_strAnalogPartHour = "hour";
    s.m_strAnalogPartFace = "face";
    s.m_ptAnalogCenter.x = 100;
    s.m_ptAnalogCenter.y = 100;
    s.m_strDigitalSkin = "Red Digital";
    s.m_strDigitalSkinDir = inAppDir("dcs");
    s.m_strDigitalPartAbc = "abc";
    s.m_strDigitalPartBackground = "bkground";
    s.m_nDigitalScale = 100;
}

CString CConfigFile::BuildRunValue(const CString& strModulePath, BOOL bRunAtStartup)
{
    if (!bRunAtStartup)
        return CString();
    // Quoted: an unquoted path with blanks would let Windows start "C:\Program.exe".
    return CString("\"") + strModulePath + "\" /autorun";
}

BOOL CConfigFile::ParseStream(const BYTE* pData, size_t nSize, DWORD nLayout, CSettings& settings,
                              CAlarmArray& alarms)
{
    if (nLayout != CONFIG_LAYOUT && nLayout != CONFIG_LAYOUT_222 && nLayout != CONFIG_LAYOUT_221)
        return FALSE;

    CCfgReader ar(pData, nSize);
    CSettings scratch = settings;
    ExchangeSettings(ar, scratch, nLayout);
    DWORD nCount = 0;
    ar.Dword(nCount);
    if (!ar.IsGood() || nCount > ar.GetRemaining() / CONFIG_MIN_ALARM_BYTES)
        return FALSE;

    CAlarmArray scratchAlarms;
    scratchAlarms.SetSize(static_cast<INT_PTR>(nCount));
    for (INT_PTR i = 0; i < scratchAlarms.GetSize() && ar.IsGood(); i++)
        ExchangeAlarm(ar, scratchAlarms[i]);
    // Bytes after the last record mean the file is not what its version says.
    if (!ar.IsGood() || ar.GetRemaining() != 0)
        return FALSE;

    scratch.m_nLoadAlarmCount = static_cast<int>(nCount);
    settings = scratch;
    alarms = std::move(scratchAlarms);
    return TRUE;
}

void CConfigFile::BuildStream(const CSettings& settings, const CAlarmArray& alarms, std::vector<BYTE>& data)
{
    CCfgWriter ar;
    ExchangeSettings(ar, settings, CONFIG_LAYOUT);
    const DWORD nCount = static_cast<DWORD>(alarms.GetSize());
    ar.Dword(nCount);
    for (INT_PTR i = 0; i < alarms.GetSize(); i++)
        ExchangeAlarm(ar, alarms[i]);
    data = ar.GetData();
}

BOOL CConfigFile::LoadLayout(DWORD nLayout, const BYTE* pData, size_t nSize)
{
    return ParseStream(pData, nSize, nLayout, g_settings, g_alarms);
}

BOOL CConfigFile::LoadVersion221(const BYTE* pData, size_t nSize)
{
    return LoadLayout(CONFIG_LAYOUT_221, pData, nSize);
}

BOOL CConfigFile::LoadVersion222(const BYTE* pData, size_t nSize)
{
    return LoadLayout(CONFIG_LAYOUT_222, pData, nSize);
}

BOOL CConfigFile::LoadVersion230(const BYTE* pData, size_t nSize)
{
    return LoadLayout(CONFIG_LAYOUT, pData, nSize);
}

// Without the program's folder the file would be looked for, and written,
// in the root of the drive.
void CConfigFile::Load()
{
    if (GetAppDir().IsEmpty())
    {
        SetDefaults(g_settings, CString());
        g_alarms.RemoveAll();
        g_appSeams.pfnMessageBox(kMsgNoFolder, kMessageBoxOk);
        return;
    }
    LoadFile(ConfigPath());
}

// A file that is there but cannot be used whole leaves the defaults, says so
// once, and is copied aside before a save could replace it; one that does
// not open or read is never saved over.
void CConfigFile::LoadFile(LPCSTR pszPath)
{
    SetDefaults(g_settings, GetAppDir());
    g_alarms.RemoveAll();

    std::vector<BYTE> data;
    const AFX_FILE_READ result = AfxReadWholeFile(pszPath, CONFIG_MAX_FILE_BYTES, data);
    // Only a file that is not there means a first start; one that is there
    // but does not open or read (held by another program, no right to read,
    // a folder) is the user's and must survive this run.
    if (result == AFX_FILE_CANNOT_OPEN && AppPlatformIsMissing(pszPath))
        return;
    if (result == AFX_FILE_CANNOT_OPEN || result == AFX_FILE_READ_ERROR)
    {
        ms_bKeepOut = TRUE;
        g_appSeams.pfnMessageBox(UnopenableFileText(pszPath), kMessageBoxOk);
        return;
    }

    BOOL bLoaded = FALSE;
    DWORD nVersion = 0;
    CCfgReader header(data.data(), data.size());
    header.Dword(nVersion);
    if (header.IsGood())
    {
        if (nVersion == CONFIG_LAYOUT_221 || nVersion == CONFIG_LAYOUT_222)
            g_appSeams.pfnMessageBox(kMsgOlderFile, kMessageBoxOk);
        if (nVersion == CONFIG_LAYOUT_221)
            bLoaded = LoadVersion221(data.data(), data.size());
        else if (nVersion == CONFIG_LAYOUT_222)
            bLoaded = LoadVersion222(data.data(), data.size());
        else if (nVersion == CONFIG_LAYOUT)
            bLoaded = LoadVersion230(data.data(), data.size());
    }
    if (!bLoaded)
    {
        ms_bBackupPending = TRUE;
        g_appSeams.pfnMessageBox(UnusableFileText(pszPath), kMessageBoxOk);
    }
}

// Without the program's folder nothing is saved: the file would land in the
// root of the drive (said once, at the load).
void CConfigFile::Save()
{
    if (GetAppDir().IsEmpty())
        return;
    SaveFile(ConfigPath());
}

// The new file is written beside the old one and moved over it only when
// complete, so a failed save leaves the previous file as it was.
BOOL CConfigFile::SaveFile(LPCSTR pszPath)
{
    // The settings are the defaults that stood in for a file that did not
    // open: neither the file nor the start-up choice is replaced by them.
    if (ms_bKeepOut)
        return FALSE;
    g_appSeams.pfnSaveWindowState();

    // The file is saved after every change and firing: a Run value that
    // cannot be set (no right to the machine's key) is said once a run. A
    // program that cannot tell its own path starts nothing at log-on.
    const CString strModule = g_appSeams.pfnGetModulePath();
    if (!strModule.IsEmpty() &&
        g_appSeams.pfnWriteRunValue(BuildRunValue(strModule, g_settings.m_bRunAtStartup)) == RUNVALUE_FAILED &&
        !ms_bRegistryTold)
    {
        ms_bRegistryTold = TRUE;
        g_appSeams.pfnMessageBox(kMsgRegistry, kMessageBoxOk);
    }

    std::vector<BYTE> data;
    BuildStream(g_settings, g_alarms, data);

    const CString strPath(pszPath);
    const CString strTemp = strPath + ".tmp";
    BOOL bWritten = TRUE;
    if (ms_bBackupPending)
    {
        bWritten = CopyWholeFile(strPath, strPath + ".bak");
        ms_bBackupPending = !bWritten;
    }
    if (bWritten && !(g_appSeams.pfnWriteFile(strTemp, data.data(), data.size()) &&
                      g_appSeams.pfnReplaceFile(strTemp, strPath)))
    {
        std::remove(strTemp);
        bWritten = FALSE;
    }
    // The file is saved after every change and twice a firing, the first time
    // before the alarm runs: a folder that cannot be written is said once,
    // not in a box that holds back every alarm, until a save works again.
    if (!bWritten && !ms_bWriteTold)
        g_appSeams.pfnMessageBox(kMsgCannotWrite, kMessageBoxOk);
    ms_bWriteTold = !bWritten;
    return bWritten;
}

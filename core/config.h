// The configuration file "Veltran.cfg" beside the program: g_settings and
// g_alarms behind a layout version (230 written; 221, 222 and 230 read),
// and the program's Run value, written with every save.
#pragma once

#include "afx/afx.h"
#include "core/alarm.h"
#include "core/settings.h"

#include <vector>

class CConfigFile
{
public:
    CConfigFile();
    virtual ~CConfigFile();

    static CString GetAppDir();

    // Defaults, then the file beside the program; without a program folder
    // the defaults alone, said once.
    void Load();
    // Run value, then the file beside the program; nothing without a program folder.
    void Save();

    // The same on an explicit file; the defaults still name the program folder.
    // After a load found a file that did not open, SaveFile writes nothing.
    void LoadFile(LPCSTR pszPath);
    BOOL SaveFile(LPCSTR pszPath);

    // Each reads one whole layout into scratch copies and commits them to
    // g_settings and g_alarms only when everything was read; FALSE leaves both as they were.
    BOOL LoadVersion221(const BYTE* pData, size_t nSize);
    BOOL LoadVersion222(const BYTE* pData, size_t nSize);
    BOOL LoadVersion230(const BYTE* pData, size_t nSize);

    // Reads one layout of the stream; on FALSE settings and alarms are unchanged.
    static BOOL ParseStream(const BYTE* pData, size_t nSize, DWORD nLayout, CSettings& settings,
                            CAlarmArray& alarms);
    // The stream of layout 230.
    static void BuildStream(const CSettings& settings, const CAlarmArray& alarms, std::vector<BYTE>& data);

    static void SetDefaults(CSettings& settings, const CString& strAppDir);
    // The Run value's data: the quoted module path and " /autorun", or "".
    static CString BuildRunValue(const CString& strModulePath, BOOL bRunAtStartup);

    // Set when a file that could not be read was found, cleared once it is
    // copied to "Veltran.cfg.bak" ahead of the first save that replaces it.
    static BOOL IsBackupPending() { return ms_bBackupPending; }
    static void ResetBackupPending() { ms_bBackupPending = FALSE; }
    // Forgets what this run found and said, as at the start of the program.
    static void ResetSession();

private:
    BOOL LoadLayout(DWORD nLayout, const BYTE* pData, size_t nSize);

    static BOOL ms_bBackupPending;
    static BOOL ms_bRegistryTold;   // the Run value's failure was shown once this run
    static BOOL ms_bWriteTold;      // the last save failed and said so
    static BOOL ms_bKeepOut;        // the file found did not open: it is never saved over
};

enum
{
    CONFIG_LAYOUT = 230,
    CONFIG_LAYOUT_222 = 222,
    CONFIG_LAYOUT_221 = 221
};

// Bytes of an alarm record whose strings are all empty: no record is shorter,
// which bounds the count a file may claim.
constexpr size_t CONFIG_MIN_ALARM_BYTES = 194;
// A larger file is not ours; it is not read at all.
constexpr size_t CONFIG_MAX_FILE_BYTES = 16u * 1024u * 1024u;

extern CConfigFile g_configFile;

#include "cfgsample.h"
#include "core/appseams.h"
#include "core/config.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
const char kModulePath[] = "C:\\Program Files\\Veltran\\Veltran.exe";
const char kAppDir[] = "C:\\Program Files\\Veltran";
const char kMsgOlder[] = "Older version's configuration file was found!";
const char kMsgCannotWrite[] = "Unable to write configuration file!";
const char kMsgRegistry[] = "Error to write the Registry!";
const char kMsgNoFolder[] = "The folder of Veltran Clock cannot be found (its path may be too long)! "
                            "The default settings are in use and will not be saved.";

std::vector<std::string> g_messages;
std::vector<std::string> g_runValues;
RUNVALUERESULT g_runResult = RUNVALUE_WRITTEN;
int g_nWindowStateCalls = 0;
int g_nRunValueCallsAtWindowState = -1;

std::vector<uint8_t> ReadFileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const fs::path& path, const std::vector<uint8_t>& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

std::vector<uint8_t> StreamOf(const CSettings& settings, const CAlarmArray& alarms)
{
    std::vector<BYTE> data;
    CConfigFile::BuildStream(settings, alarms, data);
    return std::vector<uint8_t>(data.begin(), data.end());
}

class ConfigTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedSeams = g_appSeams;
        g_messages.clear();
        g_runValues.clear();
        g_runResult = RUNVALUE_WRITTEN;
        g_nWindowStateCalls = 0;
        g_nRunValueCallsAtWindowState = -1;
        g_appSeams.pfnMessageBox = [](LPCSTR pszText, UINT) {
            g_messages.push_back(pszText);
            return 1;
        };
        g_appSeams.pfnSaveWindowState = [] {
            g_nWindowStateCalls++;
            g_nRunValueCallsAtWindowState = static_cast<int>(g_runValues.size());
        };
        g_appSeams.pfnGetModulePath = [] { return CString(kModulePath); };
        g_appSeams.pfnWriteRunValue = [](LPCSTR pszData) {
            g_runValues.push_back(pszData);
            return g_runResult;
        };
        CConfigFile::ResetSession();
        g_alarms.RemoveAll();
        CConfigFile::SetDefaults(g_settings, kAppDir);

        m_folder = std::make_unique<vtest::CTempFolder>("veltran_cfg");
        m_dir = m_folder->Path();
        m_file = m_dir / "Veltran.cfg";
    }

    void TearDown() override
    {
        g_appSeams = m_savedSeams;
        g_alarms.RemoveAll();
        CConfigFile::ResetSession();
        m_folder.reset();
    }

    void Load() { m_config.LoadFile(m_file.string().c_str()); }
    BOOL Save() { return m_config.SaveFile(m_file.string().c_str()); }

    // What is said of a file that is there but cannot be read as a configuration.
    std::string Unusable() const
    {
        return "The configuration file " + m_file.string() + " cannot be used! The default settings are in use; " +
               "the file will be kept as " + m_file.string() + ".bak at the first save.";
    }
    // ... and of one that does not open at all.
    std::string Unopenable() const
    {
        return "The configuration file " + m_file.string() + " cannot be opened or read! The default settings are " +
               "in use and will not be saved over it.";
    }

    static std::vector<uint8_t> DefaultStream()
    {
        CSettings defaults;
        CConfigFile::SetDefaults(defaults, kAppDir);
        CAlarmArray none;
        return StreamOf(defaults, none);
    }

    CAppSeams m_savedSeams;
    CConfigFile m_config;
    std::unique_ptr<vtest::CTempFolder> m_folder;
    fs::path m_dir;
    fs::path m_file;
};

// --- defaults ------------------------------------------------------------

TEST_F(ConfigTest, MissingFileLeavesTheDefaultsSilently)
{
    g_settings.m_nAnalogScale = 55;
    CAlarm alarm;
    g_alarms.Add(alarm);
    Load();
    EXPECT_TRUE(g_messages.empty());
    EXPECT_FALSE(CConfigFile::IsBackupPending());
    EXPECT_EQ(g_alarms.GetSize(), 0);
    EXPECT_EQ(g_settings.m_nVersion, 230u);
    EXPECT_EQ(g_settings.m_nAnalogScale, 2);
    EXPECT_EQ(g_settings.m_nAnalogChangeMinutes, 0);
    EXPECT_EQ(g_settings.m_nAnalogChangeSeconds, 0);
    EXPECT_EQ(g_settings.m_nDigitalScale, 100);
    EXPECT_EQ(g_settings.m_bAnalogSecondHand, 1);
    EXPECT_EQ(g_settings.m_bRunAtStartup, 1);
    EXPECT_EQ(g_settings.m_bAskOnExit, 1);
    EXPECT_EQ(g_settings.m_nUsedAlarmAction, 1);
    EXPECT_EQ(g_settings.m_ptAnalogCenter.x, 100);
    EXPECT_EQ(g_settings.m_ptAnalogCenter.y, 100);
    EXPECT_EQ(g_settings.m_ptDigitalCenter.x, 0);
    EXPECT_EQ(g_settings.m_crAlarmWndBack, 0xFFFFFFu);
    EXPECT_EQ(g_settings.m_crAlarmWndText, 0u);
    EXPECT_EQ(g_settings.m_crAlarmButton, 0xFFFFFFu);
    EXPECT_EQ(g_settings.m_crAlarmListBack, 0xFFFFFFu);
    EXPECT_STREQ(g_settings.m_strAnalogSkin, "Simple");
    EXPECT_STREQ(g_settings.m_strDigitalSkin, "Red Digital");
    EXPECT_STREQ(g_settings.m_strAnalogSkinDir, "C:\\Program Files\\Veltran\\acs");
    EXPECT_STREQ(g_settings.m_strDigitalSkinDir, "C:\\Program Files\\Veltran\\dcs");
    EXPECT_STREQ(g_settings.m_strIconLibrary, "C:\\Program Files\\Veltran\\icons.icl");
    EXPECT_STREQ(g_settings.m_strSoundDir, "C:\\Program Files\\Veltran\\sounds");
    EXPECT_STREQ(g_settings.m_strAnalogPartFace, "face");
    EXPECT_STREQ(g_settings.m_strDigitalPartBackground, "bkground");
}

TEST_F(ConfigTest, AppDirIsTheModuleFolder)
{
    EXPECT_STREQ(CConfigFile::GetAppDir(), kAppDir);
    g_appSeams.pfnGetModulePath = [] { return CString("D:\\clock.exe"); };
    EXPECT_STREQ(CConfigFile::GetAppDir(), "D:\\");
    g_appSeams.pfnGetModulePath = [] { return CString("clock.exe"); };
    EXPECT_STREQ(CConfigFile::GetAppDir(), "");
}

// A program that cannot tell its own path (one of MAX_PATH characters or
// more) has no folder: it says so once at the load and writes nothing into
// the root of the drive, no file and no Run value.
TEST_F(ConfigTest, WithoutAProgramFolderNothingIsReadOrSaved)
{
    g_appSeams.pfnGetModulePath = [] { return CString(); };
    static int s_nWrites;
    s_nWrites = 0;
    g_appSeams.pfnWriteFile = [](LPCSTR, const BYTE*, size_t) -> BOOL {
        s_nWrites++;
        return TRUE;
    };
    g_settings.m_nAnalogScale = 55;
    m_config.Load();
    EXPECT_EQ(g_messages, std::vector<std::string>{kMsgNoFolder});
    EXPECT_EQ(g_settings.m_nAnalogScale, 2);
    g_messages.clear();
    m_config.Save();
    m_config.Save();
    EXPECT_TRUE(g_messages.empty());
    EXPECT_EQ(s_nWrites, 0);
    EXPECT_TRUE(g_runValues.empty());

    // Saved to a file named outright, the file is written but still no Run value.
    g_appSeams.pfnWriteFile = m_savedSeams.pfnWriteFile;
    ASSERT_TRUE(Save());
    EXPECT_TRUE(g_runValues.empty());
    EXPECT_EQ(ReadFileBytes(m_file).size(), 363u);
}

// The folders the defaults name lie in the program folder; without one they
// are empty, never "\acs" and the like at the root of the drive.
TEST_F(ConfigTest, WithoutAProgramFolderTheDefaultsNameNoFolder)
{
    const struct
    {
        const char* pszModule;
        const char* pszLibrary;
        const char* pszSounds;
        const char* pszAnalog;
        const char* pszDigital;
    } cases[] = {
        {kModulePath, "C:\\Program Files\\Veltran\\icons.icl", "C:\\Program Files\\Veltran\\sounds",
         "C:\\Program Files\\Veltran\\acs", "C:\\Program Files\\Veltran\\dcs"},
        {"", "", "", "", ""},
        {"Veltran.exe", "", "", "", ""},  // a path without a folder
    };
    for (const auto& c : cases)
    {
        static const char* s_pszModule;
        s_pszModule = c.pszModule;
        g_appSeams.pfnGetModulePath = [] { return CString(s_pszModule); };
        g_settings = CSettings();
        g_settings.m_strSoundDir = "stale";
        m_config.Load();
        EXPECT_STREQ(c.pszLibrary, g_settings.m_strIconLibrary) << c.pszModule;
        EXPECT_STREQ(c.pszSounds, g_settings.m_strSoundDir) << c.pszModule;
        EXPECT_STREQ(c.pszAnalog, g_settings.m_strAnalogSkinDir) << c.pszModule;
        EXPECT_STREQ(c.pszDigital, g_settings.m_strDigitalSkinDir) << c.pszModule;
        // The rest of the defaults stand as with a folder.
        EXPECT_STREQ("Simple", g_settings.m_strAnalogSkin);
        EXPECT_STREQ("Red Digital", g_settings.m_strDigitalSkin);
    }
    // The folders are not stored: the default file is the same either way.
    CSettings none;
    CConfigFile::SetDefaults(none, CString());
    EXPECT_EQ(StreamOf(none, CAlarmArray()), DefaultStream());
}

// --- the golden file -----------------------------------------------------

TEST_F(ConfigTest, DefaultRecordSavesAsThe363ByteFile)
{
    ASSERT_TRUE(Save());
    const std::vector<uint8_t> data = ReadFileBytes(m_file);
    ASSERT_EQ(data.size(), 363u);
    EXPECT_EQ(ReadU32(data, 0), 230u);
    EXPECT_EQ(ReadU32(data, 4), 0u);   // analog clock not shown
    EXPECT_EQ(std::string(data.begin() + 8, data.begin() + 15), std::string("\x06Simple"));
    EXPECT_EQ(ReadU32(data, 15), 2u);    // analog scale
    EXPECT_EQ(ReadU32(data, 19), 1u);    // second hand
    EXPECT_EQ(data[83], 0);              // empty skin-change list
    EXPECT_EQ(ReadU32(data, 84), 100u);  // analog centre
    EXPECT_EQ(ReadU32(data, 88), 100u);
    EXPECT_EQ(ReadU32(data, 112), 100u); // digital scale
    EXPECT_EQ(std::string(data.begin() + 140, data.begin() + 152), std::string("\x0BRed Digital"));
    EXPECT_EQ(data[152], 0);             // empty digital format
    EXPECT_EQ(ReadU32(data, 206), 1u);   // run at start-up
    EXPECT_EQ(ReadU32(data, 210), 1u);   // ask on exit
    EXPECT_EQ(ReadU32(data, 234), 0xFFFFFFu);
    EXPECT_EQ(ReadU32(data, 238), 0u);
    EXPECT_EQ(ReadU32(data, 250), 0xFFFFFFu);
    EXPECT_EQ(ReadU32(data, 258), 1u);   // keep used alarms
    EXPECT_EQ(ReadU32(data, 350), 0u);   // reserved time
    EXPECT_EQ(data[358], 0);             // reserved string
    EXPECT_EQ(ReadU32(data, 359), 0u);   // alarm count
}

TEST_F(ConfigTest, SaveWritesLayout230EvenWhenTheVersionFieldWasChanged)
{
    g_settings.m_nVersion = 222;
    ASSERT_TRUE(Save());
    EXPECT_EQ(ReadU32(ReadFileBytes(m_file), 0), 230u);
}

// --- round trips ---------------------------------------------------------

TEST_F(ConfigTest, StringsKeepTheirLengthAcrossEveryPrefixForm)
{
    struct Case
    {
        size_t nLength;
        std::vector<uint8_t> prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.nLength);
        std::string strText(c.nLength, 'x');
        for (size_t i = 0; i < c.nLength; i++)
            strText[i] = static_cast<char>('a' + i % 26);
        CConfigFile::SetDefaults(g_settings, kAppDir);
        g_alarms.RemoveAll();
        g_settings.m_strDigitalFormat = strText.c_str();
        CAlarm alarm;
        alarm.m_strMessage = strText.c_str();
        g_alarms.Add(alarm);
        ASSERT_TRUE(Save());

        const std::vector<uint8_t> data = ReadFileBytes(m_file);
        ASSERT_GE(data.size(), 152 + c.prefix.size());
        EXPECT_EQ(std::vector<uint8_t>(data.begin() + 152, data.begin() + 152 + static_cast<long>(c.prefix.size())),
                  c.prefix);

        CConfigFile::SetDefaults(g_settings, kAppDir);
        g_alarms.RemoveAll();
        Load();
        EXPECT_TRUE(g_messages.empty());
        EXPECT_EQ(std::string(g_settings.m_strDigitalFormat), strText);
        ASSERT_EQ(g_alarms.GetSize(), 1);
        EXPECT_EQ(std::string(g_alarms[0].m_strMessage), strText);
    }
}

TEST_F(ConfigTest, NegativeAndExtremeNumbersRoundTrip)
{
    g_settings.m_ptAnalogCenter.x = -100;
    g_settings.m_ptAnalogCenter.y = -2147483647 - 1;
    g_settings.m_nCalFirstDay = -1;
    g_settings.m_crCalText = 0xFFFFFFFFu;
    g_settings.m_hkOptions.dwReserved = 0xDEADBEEFu;
    CAlarm alarm;
    alarm.m_nYearMonth = -5;
    alarm.m_nMinuteOfHour = 2147483647;
    alarm.m_time = CTime(-1000);
    alarm.m_rcMessage.left = -32768;
    alarm.m_lfMessage.lfHeight = -2147483647 - 1;
    g_alarms.Add(alarm);
    const std::vector<uint8_t> before = StreamOf(g_settings, g_alarms);
    ASSERT_TRUE(Save());

    CConfigFile::SetDefaults(g_settings, kAppDir);
    g_alarms.RemoveAll();
    Load();
    EXPECT_EQ(g_settings.m_ptAnalogCenter.y, -2147483647 - 1);
    EXPECT_EQ(g_settings.m_nCalFirstDay, -1);
    EXPECT_EQ(g_settings.m_hkOptions.dwReserved, 0xDEADBEEFu);
    ASSERT_EQ(g_alarms.GetSize(), 1);
    EXPECT_EQ(g_alarms[0].m_nYearMonth, -5);
    EXPECT_EQ(g_alarms[0].m_nMinuteOfHour, 2147483647);
    EXPECT_EQ(g_alarms[0].m_time.GetTime(), -1000);
    EXPECT_EQ(g_alarms[0].m_lfMessage.lfHeight, -2147483647 - 1);
    EXPECT_EQ(StreamOf(g_settings, g_alarms), before);
}

TEST_F(ConfigTest, TimeBeyond32BitsIsStoredAsNoTime)
{
    CAlarm alarm;
    alarm.m_timeNext = CTime(static_cast<LONGLONG>(0x80000000LL));
    alarm.m_timeLastRun = CTime(static_cast<LONGLONG>(0x7FFFFFFFLL));
    g_alarms.Add(alarm);
    ASSERT_TRUE(Save());
    g_alarms.RemoveAll();
    Load();
    ASSERT_EQ(g_alarms.GetSize(), 1);
    EXPECT_EQ(g_alarms[0].m_timeNext.GetTime(), 0);
    EXPECT_EQ(g_alarms[0].m_timeLastRun.GetTime(), 0x7FFFFFFF);
}

TEST_F(ConfigTest, AlarmRecordLayoutAndTheFieldsNotKept)
{
    CAlarm alarm;
    alarm.m_wHotKeyVK = 'X';
    alarm.m_wHotKeyMods = 6;   // control + alt
    alarm.m_nHotKeyExtra = 99;
    alarm.m_nScheduleReserved = -7;
    alarm.m_nSoundExtra = 3;
    g_alarms.Add(alarm);
    ASSERT_TRUE(Save());
    const std::vector<uint8_t> data = ReadFileBytes(m_file);
    ASSERT_EQ(data.size(), 363u + CONFIG_MIN_ALARM_BYTES);
    EXPECT_EQ(ReadU32(data, 359), 1u);
    EXPECT_EQ(ReadU32(data, 363 + 55), static_cast<uint32_t>(-7));   // reserved schedule word
    EXPECT_EQ(ReadU32(data, 363 + 77), 0x58u);
    EXPECT_EQ(ReadU32(data, 363 + 81), 6u);
    EXPECT_EQ(ReadU32(data, data.size() - 4), 3u);   // the last item

    g_alarms.RemoveAll();
    Load();
    ASSERT_EQ(g_alarms.GetSize(), 1);
    EXPECT_EQ(g_alarms[0].m_wHotKeyVK, 'X');
    EXPECT_EQ(g_alarms[0].m_wHotKeyMods, 6);
    EXPECT_EQ(g_alarms[0].m_nHotKeyExtra, 0u);
    EXPECT_EQ(g_alarms[0].m_nScheduleReserved, -7);
    EXPECT_EQ(g_alarms[0].m_nSoundExtra, 3);
    EXPECT_EQ(g_settings.m_nLoadAlarmCount, 1);
}

// Playing bounds the passes; the file keeps the count as it was read, at
// its extremes too, through a load and the next save.
TEST_F(ConfigTest, SoundPassCountsSurviveASaveAndALoadUnbounded)
{
    for (int nPasses : {0x7FFFFFFF, static_cast<int>(0x80000000u), -1, 17})
    {
        g_alarms.RemoveAll();
        CAlarm alarm;
        alarm.m_nSoundExtra = nPasses;
        g_alarms.Add(alarm);
        ASSERT_TRUE(Save());
        EXPECT_EQ(ReadU32(ReadFileBytes(m_file), 363 + CONFIG_MIN_ALARM_BYTES - 4), static_cast<uint32_t>(nPasses));
        g_alarms.RemoveAll();
        Load();
        ASSERT_EQ(g_alarms.GetSize(), 1);
        EXPECT_EQ(g_alarms[0].m_nSoundExtra, nPasses);
        const std::vector<uint8_t> first = ReadFileBytes(m_file);
        ASSERT_TRUE(Save());
        EXPECT_EQ(first, ReadFileBytes(m_file)) << nPasses;
    }
}

TEST_F(ConfigTest, FaceNamesLoadAsAtMost31CharactersAndTerminated)
{
    const std::string strFace40(40, 'F');
    CTestBytes b;
    AppendSampleSettings(b, 230, 1);
    AppendSampleAlarm(b, 1, strFace40);
    WriteFileBytes(m_file, b.Data());
    Load();
    ASSERT_EQ(g_alarms.GetSize(), 1);
    EXPECT_EQ(std::string(g_alarms[0].m_lfMessage.lfFaceName), std::string(31, 'F'));
    EXPECT_EQ(g_alarms[0].m_lfMessage.lfFaceName[31], '\0');

    // A face filling all 32 bytes without a terminator is saved as 31.
    std::memset(g_alarms[0].m_lfMessage.lfFaceName, 'G', LF_FACESIZE);
    ASSERT_TRUE(Save());
    Load();
    ASSERT_EQ(g_alarms.GetSize(), 1);
    EXPECT_EQ(std::string(g_alarms[0].m_lfMessage.lfFaceName), std::string(31, 'G'));
}

// --- older and sample layouts -------------------------------------------

class ConfigLayoutTest : public ConfigTest, public ::testing::WithParamInterface<uint32_t>
{
};

TEST_P(ConfigLayoutTest, SampleFileLoadsIntoTheRightFieldsAndSavesBackAs230)
{
    const uint32_t nLayout = GetParam();
    WriteFileBytes(m_file, SampleFile(nLayout, 2).Data());
    Load();
    if (nLayout == 230)
        EXPECT_TRUE(g_messages.empty());
    else
        EXPECT_EQ(g_messages, std::vector<std::string>{kMsgOlder});
    EXPECT_FALSE(CConfigFile::IsBackupPending());
    ExpectSampleSettings(g_settings, nLayout);
    EXPECT_EQ(g_settings.m_nLoadAlarmCount, 2);
    ASSERT_EQ(g_alarms.GetSize(), 2);
    ExpectSampleAlarm(g_alarms[0], 1);
    ExpectSampleAlarm(g_alarms[1], 2);
    // Not stored: still the defaults.
    EXPECT_STREQ(g_settings.m_strAnalogSkinDir, "C:\\Program Files\\Veltran\\acs");

    ASSERT_TRUE(Save());
    const std::vector<uint8_t> saved = ReadFileBytes(m_file);
    EXPECT_EQ(ReadU32(saved, 0), 230u);
    g_messages.clear();
    CConfigFile::SetDefaults(g_settings, kAppDir);
    g_alarms.RemoveAll();
    Load();
    EXPECT_TRUE(g_messages.empty());
    ExpectSampleSettings(g_settings, nLayout);
    ASSERT_EQ(g_alarms.GetSize(), 2);
    ExpectSampleAlarm(g_alarms[1], 2);
    EXPECT_EQ(ReadFileBytes(m_file), saved);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ConfigLayoutTest, ::testing::Values(221u, 222u, 230u));

TEST_F(ConfigTest, LayoutWithTheFieldsOfAnotherIsRejected)
{
    // A 222 stream that claims 230 runs out of bytes: nothing is taken.
    std::vector<uint8_t> data = SampleFile(222, 1).Data();
    data[0] = 230;
    WriteFileBytes(m_file, data);
    Load();
    EXPECT_EQ(g_messages, std::vector<std::string>{Unusable()});
    EXPECT_EQ(g_alarms.GetSize(), 0);
    EXPECT_EQ(StreamOf(g_settings, g_alarms), DefaultStream());
}

// --- damaged files -------------------------------------------------------

TEST_F(ConfigTest, EveryTruncationOfAValidStreamFailsWithoutChangingAnything)
{
    const std::vector<uint8_t> full = SampleFile(230, 2).Data();
    CSettings settings;
    CAlarmArray alarms;
    ASSERT_TRUE(CConfigFile::ParseStream(full.data(), full.size(), 230, settings, alarms));
    ASSERT_EQ(alarms.GetSize(), 2);

    for (size_t n = 0; n < full.size(); n++)
    {
        CSettings marked;
        marked.m_nAnalogScale = 4711;
        CAlarmArray kept;
        CAlarm alarm;
        alarm.m_strName = "kept";
        kept.Add(alarm);
        ASSERT_FALSE(CConfigFile::ParseStream(full.data(), n, 230, marked, kept)) << n;
        ASSERT_EQ(marked.m_nAnalogScale, 4711) << n;
        ASSERT_TRUE(marked.m_strAnalogSkin.IsEmpty()) << n;
        ASSERT_EQ(kept.GetSize(), 1) << n;
        ASSERT_STREQ(kept[0].m_strName, "kept") << n;
    }
}

TEST_F(ConfigTest, TruncatedFilesLeaveTheDefaultsAndSaySo)
{
    const std::vector<uint8_t> full = SampleFile(230, 2).Data();
    const std::vector<uint8_t> defaults = DefaultStream();
    for (size_t n : {size_t(0), size_t(3), size_t(4), size_t(9), size_t(150), size_t(362), full.size() - 200,
                     full.size() - 1})
    {
        SCOPED_TRACE(n);
        WriteFileBytes(m_file, std::vector<uint8_t>(full.begin(), full.begin() + static_cast<long>(n)));
        g_messages.clear();
        CConfigFile::ResetBackupPending();
        Load();
        EXPECT_EQ(g_messages, std::vector<std::string>{Unusable()});
        EXPECT_TRUE(CConfigFile::IsBackupPending());
        EXPECT_EQ(g_alarms.GetSize(), 0);
        EXPECT_EQ(StreamOf(g_settings, g_alarms), defaults);
    }

    // An older layout that is damaged is both: said as older, then as unusable.
    std::vector<uint8_t> older = SampleFile(222, 1).Data();
    older.pop_back();
    WriteFileBytes(m_file, older);
    g_messages.clear();
    Load();
    EXPECT_EQ(g_messages, (std::vector<std::string>{kMsgOlder, Unusable()}));

    // A file larger than any configuration is not read at all.
    std::vector<uint8_t> huge = SampleFile(230, 1).Data();
    huge.resize(CONFIG_MAX_FILE_BYTES + 1);
    WriteFileBytes(m_file, huge);
    g_messages.clear();
    Load();
    EXPECT_EQ(g_messages, std::vector<std::string>{Unusable()});
    EXPECT_EQ(StreamOf(g_settings, g_alarms), defaults);
}

TEST_F(ConfigTest, ImpossibleCountsAndLengthsAreRefusedBeforeAllocating)
{
    CSettings settings;
    CAlarmArray alarms;

    CTestBytes hugeCount;
    AppendSampleSettings(hugeCount, 230, 0xFFFFFFFFu);
    EXPECT_FALSE(CConfigFile::ParseStream(hugeCount.Data().data(), hugeCount.Size(), 230, settings, alarms));

    // Two claimed, one present: the count fits no more than what is there.
    CTestBytes shortCount;
    AppendSampleSettings(shortCount, 230, 2);
    AppendSampleAlarm(shortCount, 1);
    EXPECT_FALSE(CConfigFile::ParseStream(shortCount.Data().data(), shortCount.Size(), 230, settings, alarms));

    // A skin name of 4 GiB - 1 characters in a 20-byte file.
    CTestBytes hugeString;
    hugeString.U32(230).U32(0).U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFFu).U32(0);
    EXPECT_FALSE(CConfigFile::ParseStream(hugeString.Data().data(), hugeString.Size(), 230, settings, alarms));

    // The wide-string mark is never written by this program.
    CTestBytes wide;
    wide.U32(230).U32(0).U8(0xFF).U16(0xFFFE).U8(1).U8('A');
    EXPECT_FALSE(CConfigFile::ParseStream(wide.Data().data(), wide.Size(), 230, settings, alarms));

    // One byte past the last record.
    CTestBytes trailing = SampleFile(230, 1);
    trailing.U8(0);
    EXPECT_FALSE(CConfigFile::ParseStream(trailing.Data().data(), trailing.Size(), 230, settings, alarms));

    EXPECT_EQ(alarms.GetSize(), 0);
    EXPECT_TRUE(settings.m_strAnalogSkin.IsEmpty());
}

TEST_F(ConfigTest, UnknownVersionIsKeptAsBackupBeforeTheFirstSave)
{
    std::vector<uint8_t> newer = SampleFile(230, 1).Data();
    newer[0] = 231;
    WriteFileBytes(m_file, newer);
    Load();
    EXPECT_EQ(g_messages, std::vector<std::string>{Unusable()});
    EXPECT_EQ(StreamOf(g_settings, g_alarms), DefaultStream());
    EXPECT_TRUE(CConfigFile::IsBackupPending());

    ASSERT_TRUE(Save());
    const fs::path backup = m_dir / "Veltran.cfg.bak";
    EXPECT_EQ(ReadFileBytes(backup), newer);
    EXPECT_EQ(ReadU32(ReadFileBytes(m_file), 0), 230u);
    EXPECT_FALSE(CConfigFile::IsBackupPending());

    // Later saves leave the backup alone.
    g_settings.m_nAnalogScale = 70;
    ASSERT_TRUE(Save());
    EXPECT_EQ(ReadFileBytes(backup), newer);
}

TEST_F(ConfigTest, FileThatIsThereButDoesNotOpenIsNeitherMissingNorReplaced)
{
    // Something is at the path that cannot be read as a file: a folder, or
    // (where links can be made) a link to itself, which no open follows.
    const struct
    {
        const char* name;
        bool (*make)(const fs::path& file);
    } cases[] = {
        {"folder", [](const fs::path& file) { return fs::create_directories(file / "inside"); }},
        {"link loop",
         [](const fs::path& file) {
             std::error_code ec;
             fs::create_symlink(file.filename(), file, ec);
             return !ec;
         }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::error_code ec;
        fs::remove_all(m_file, ec);
        if (!c.make(m_file))
            continue;
        g_messages.clear();
        g_runValues.clear();
        CConfigFile::ResetSession();
        Load();
        EXPECT_EQ(g_messages, std::vector<std::string>{Unopenable()});
        EXPECT_EQ(StreamOf(g_settings, g_alarms), DefaultStream());
        EXPECT_FALSE(CConfigFile::IsBackupPending()) << "no copy is promised: it would fail too";

        // The defaults standing in for it replace neither it nor the start-up choice.
        g_messages.clear();
        EXPECT_FALSE(Save());
        EXPECT_TRUE(g_messages.empty());
        EXPECT_TRUE(g_runValues.empty());
        EXPECT_TRUE(fs::is_symlink(m_file) || fs::is_directory(m_file));
        EXPECT_FALSE(fs::exists(m_dir / "Veltran.cfg.bak"));
    }
}

TEST_F(ConfigTest, BackupThatCannotBeWrittenStopsTheSave)
{
    std::vector<uint8_t> damaged = SampleFile(230, 1).Data();
    damaged.pop_back();
    WriteFileBytes(m_file, damaged);
    Load();
    ASSERT_TRUE(CConfigFile::IsBackupPending());
    fs::create_directories(m_dir / "Veltran.cfg.bak" / "blocker");
    g_messages.clear();
    EXPECT_FALSE(Save());
    EXPECT_EQ(g_messages, std::vector<std::string>{kMsgCannotWrite});
    EXPECT_EQ(ReadFileBytes(m_file), damaged);
    EXPECT_TRUE(CConfigFile::IsBackupPending());
}

// --- failed saves --------------------------------------------------------

TEST_F(ConfigTest, FailedSavesKeepThePreviousFileByteForByte)
{
    g_settings.m_strAnalogSkin = "Previous";
    ASSERT_TRUE(Save());
    const std::vector<uint8_t> previous = ReadFileBytes(m_file);
    g_settings.m_strAnalogSkin = "Next";
    CAlarm alarm;
    g_alarms.Add(alarm);

    // The temporary file cannot be created: a folder holds its name.
    fs::create_directories(m_dir / "Veltran.cfg.tmp" / "blocker");
    EXPECT_FALSE(Save());
    EXPECT_EQ(g_messages, std::vector<std::string>{kMsgCannotWrite});
    EXPECT_EQ(ReadFileBytes(m_file), previous);
    fs::remove_all(m_dir / "Veltran.cfg.tmp");

    // A short write, as on a full disk. The failure goes on, and was said.
    g_messages.clear();
    g_appSeams.pfnWriteFile = [](LPCSTR pszPath, const BYTE* pData, size_t nSize) -> BOOL {
        AppPlatformWriteFile(pszPath, pData, nSize / 2);
        return FALSE;
    };
    EXPECT_FALSE(Save());
    EXPECT_EQ(g_messages, std::vector<std::string>{});
    EXPECT_EQ(ReadFileBytes(m_file), previous);
    EXPECT_FALSE(fs::exists(m_dir / "Veltran.cfg.tmp"));

    // The final move refused, after a save that worked: said again.
    g_appSeams.pfnWriteFile = m_savedSeams.pfnWriteFile;
    ASSERT_TRUE(Save());
    const std::vector<uint8_t> saved = ReadFileBytes(m_file);
    g_settings.m_strAnalogSkin = "Last";
    g_messages.clear();
    g_appSeams.pfnReplaceFile = [](LPCSTR, LPCSTR) -> BOOL { return FALSE; };
    EXPECT_FALSE(Save());
    EXPECT_EQ(g_messages, std::vector<std::string>{kMsgCannotWrite});
    EXPECT_EQ(ReadFileBytes(m_file), saved);
    EXPECT_FALSE(fs::exists(m_dir / "Veltran.cfg.tmp"));

    // And with everything working again the new state lands.
    g_appSeams.pfnReplaceFile = m_savedSeams.pfnReplaceFile;
    EXPECT_TRUE(Save());
    EXPECT_NE(ReadFileBytes(m_file), previous);
}

TEST_F(ConfigTest, SaveIntoAMissingFolderFailsAndSaysSo)
{
    m_file = m_dir / "no such folder" / "Veltran.cfg";
    EXPECT_FALSE(Save());
    EXPECT_EQ(g_messages, std::vector<std::string>{kMsgCannotWrite});
    EXPECT_FALSE(fs::exists(m_file));
}

// --- the Run value -------------------------------------------------------

TEST_F(ConfigTest, RunValueIsTheQuotedPathAndSwitchOrEmpty)
{
    EXPECT_STREQ(CConfigFile::BuildRunValue("C:\\Program Files\\Veltran\\Veltran.exe", TRUE),
                 "\"C:\\Program Files\\Veltran\\Veltran.exe\" /autorun");
    EXPECT_STREQ(CConfigFile::BuildRunValue("C:\\Program Files\\Veltran\\Veltran.exe", FALSE), "");

    ASSERT_TRUE(Save());
    g_settings.m_bRunAtStartup = 0;
    ASSERT_TRUE(Save());
    EXPECT_EQ(g_runValues,
              (std::vector<std::string>{"\"C:\\Program Files\\Veltran\\Veltran.exe\" /autorun", ""}));
    EXPECT_TRUE(g_messages.empty());
    // The clock windows' state is recorded before anything is written.
    EXPECT_EQ(g_nWindowStateCalls, 2);
    EXPECT_EQ(g_nRunValueCallsAtWindowState, 1);
}

TEST_F(ConfigTest, RunValueFailuresDoNotStopTheFile)
{
    g_runResult = RUNVALUE_NOKEY;
    ASSERT_TRUE(Save());
    EXPECT_TRUE(g_messages.empty());

    fs::remove(m_file);
    g_runResult = RUNVALUE_FAILED;
    ASSERT_TRUE(Save());
    EXPECT_EQ(g_messages, std::vector<std::string>{kMsgRegistry});
    EXPECT_EQ(ReadFileBytes(m_file).size(), 363u);

    // Saved after every change, the program says it once a run; each save still tries.
    ASSERT_TRUE(Save());
    EXPECT_EQ(g_messages, std::vector<std::string>{kMsgRegistry});
    EXPECT_EQ(g_runValues.size(), 3u);
    CConfigFile::ResetSession();
    ASSERT_TRUE(Save());
    EXPECT_EQ(g_messages, (std::vector<std::string>{kMsgRegistry, kMsgRegistry}));
}
} // namespace

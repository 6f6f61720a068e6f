// Veltran.exe as it is wired, started when it cannot tell its own folder (a
// path over MAX_PATH gives none): every user of the folder refuses in its own
// way, and none reaches a file at the root of the drive. The root is C:\ of
// the test session's Wine prefix, made the current drive, with a probe of
// each file the users would look for there.
#include "alarms/alarmlistdlg.h"
#include "clocks/analogclock_win.h"
#include "clocks/clockoptions_win.h"
#include "clocks/digitalclock_win.h"
#include "core/alarmicon.h"
#include "core/appseams.h"
#include "core/config.h"
#include "core/iconhandle.h"
#include "core/settings.h"
#include "res/alarms_res.h"
#include "res/clockoptions_res.h"
#include "res/skinbrowser_res.h"
#include "shell/maindlg.h"
#include "shell/windowservices.h"
#include "skinbrowser/skinbrowserdlg.h"
#include "support/shellrestore.h"
#include "support/win_drivers.h"
#include "support/win_process.h"
#include "support/win_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

using vtest::CUnmapped;

template <class T> CDialog* Make()
{
    return new T;
}

// While it lives the current drive is C:, and files of its making stand at
// the root; it removes them, and the folders it made, when it goes. No other
// test program puts files there.
class CRootProbes {
public:
    CRootProbes()
    {
        char sz[MAX_PATH] = "";
        ::GetCurrentDirectoryA(MAX_PATH, sz);
        m_strOldCurrent = sz;
        m_bMoved = ::SetCurrentDirectoryA("C:\\") != FALSE;
    }
    ~CRootProbes()
    {
        for (auto it = m_files.rbegin(); it != m_files.rend(); ++it)
            ::DeleteFileA(it->c_str());
        for (auto it = m_folders.rbegin(); it != m_folders.rend(); ++it)
            ::RemoveDirectoryA(it->c_str());
        ::SetCurrentDirectoryA(m_strOldCurrent.c_str());
    }
    CRootProbes(const CRootProbes&) = delete;
    CRootProbes& operator=(const CRootProbes&) = delete;

    bool Moved() const { return m_bMoved; }
    // A folder at the root, e.g. "\acs".
    void Folder(const std::string& strPath)
    {
        if (::CreateDirectoryA(strPath.c_str(), nullptr))
            m_folders.push_back(strPath);
    }
    // A file at strPath: a copy of pszFrom, or a few bytes.
    bool File(const std::string& strPath, const char* pszFrom = nullptr)
    {
        BOOL bMade = FALSE;
        if (pszFrom != nullptr)
            bMade = ::CopyFileA(pszFrom, strPath.c_str(), TRUE);
        else {
            const HANDLE hFile
                = ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            if (hFile != INVALID_HANDLE_VALUE) {
                DWORD dwWritten = 0;
                bMade = ::WriteFile(hFile, "probe", 5, &dwWritten, nullptr);
                ::CloseHandle(hFile);
            }
        }
        if (bMade)
            m_files.push_back(strPath);
        return bMade != FALSE;
    }

private:
    std::string m_strOldCurrent;
    bool m_bMoved = false;
    std::vector<std::string> m_files;
    std::vector<std::string> m_folders;
};

// Puts back the wiring and the app seams the test changes, and leaves no
// alarm or configuration session behind, however it ends.
class CShellRestoreAll : public vtest::CShellRestore {
public:
    ~CShellRestoreAll()
    {
        g_alarms.RemoveAll();
        CConfigFile::ResetSession();
    }
};

std::vector<std::string> g_appBoxes;
int g_nFileWrites = 0;
int g_nRunValues = 0;

std::string ModulePath()
{
    char sz[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, sz, MAX_PATH);
    return sz;
}

int ItemCount(HWND hWnd, UINT nMessage)
{
    return static_cast<int>(::SendMessageA(hWnd, nMessage, 0, 0));
}

// The sound rows of an open editor: the texts, and for each a press of Test
// with that row marked, as a person selects it and clicks the button.
std::vector<std::string> SoundRows(HWND hEditor)
{
    std::vector<std::string> rows;
    const HWND hList = vtest::FindDescendant(hEditor, IDC_SND_LIST);
    if (hList == nullptr)
        return rows;
    for (int i = 0; i < ItemCount(hList, LVM_GETITEMCOUNT); i++) {
        char sz[MAX_PATH] = "";
        ListView_GetItemText(hList, i, 0, sz, sizeof(sz));
        rows.push_back(sz);
    }
    return rows;
}

void TestSoundRow(HWND hEditor, int nRow)
{
    const HWND hList = vtest::FindDescendant(hEditor, IDC_SND_LIST);
    ListView_SetItemState(hList, nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ::SendMessageA(hList, LVM_SETSELECTIONMARK, 0, nRow);
    ::SendMessageA(vtest::FindDescendant(hEditor, IDC_SND_TEST), BM_CLICK, 0, 0);
}

} // namespace

TEST(NoProgramFolder, EveryUserRefusesAndNoneReachesTheRootOfTheDrive)
{
    const long nGdi = AfxGetLiveGdiObjectCount();
    CRootProbes root;
    ASSERT_TRUE(root.Moved());
    for (const char* pszFolder : { "\\acs", "\\dcs", "\\sounds" })
        root.Folder(pszFolder);
    // Where the folders would be without a program folder ("\acs"), and
    // what an empty folder would list ("\*.acs").
    for (const char* pszProbe :
        { "\\acs\\NoFolderProbe.acs", "\\dcs\\NoFolderProbe.dcs", "\\sounds\\NoFolderProbe.wav",
            "\\NoFolderProbe.acs", "\\NoFolderProbe.dcs", "\\NoFolderProbe.wav" })
        ASSERT_TRUE(root.File(pszProbe)) << pszProbe;
    ASSERT_TRUE(root.File("\\icons.icl", ModulePath().c_str()));

    CWinApp app("Veltran Clock");
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    CShellRestoreAll restore;
    AppWireWindowServices();
    g_windowServices.pfnMake[WK_ANALOGCLOCK] = Make<CUnmapped<CAnalogClockDlg>>;
    g_windowServices.pfnMake[WK_DIGITALCLOCK] = Make<CUnmapped<CDigitalClockDlg>>;
    g_windowServices.pfnMake[WK_ANALOGOPTIONS] = Make<CUnmapped<CAnalogOptionsDlg>>;
    g_windowServices.pfnMake[WK_DIGITALOPTIONS] = Make<CUnmapped<CDigitalOptionsDlg>>;
    g_windowServices.pfnMake[WK_ALARMLIST] = Make<CUnmapped<CAlarmListDlg>>;
    g_windowServices.pfnMake[WK_SKINBROWSER] = Make<CUnmapped<CSkinBrowserDlg>>;
    g_appBoxes.clear();
    g_nFileWrites = g_nRunValues = 0;
    g_appSeams.pfnGetModulePath = [] { return CString(); };
    g_appSeams.pfnMessageBox = [](LPCSTR pszText, UINT) {
        g_appBoxes.push_back(pszText);
        return IDOK;
    };
    g_appSeams.pfnWriteFile = [](LPCSTR, const BYTE*, size_t) -> BOOL {
        g_nFileWrites++;
        return TRUE;
    };
    g_appSeams.pfnWriteRunValue = [](LPCSTR) {
        g_nRunValues++;
        return RUNVALUE_WRITTEN;
    };

    // Loading says so once; the defaults name no folder.
    CConfigFile::ResetSession();
    CConfigFile().Load();
    ASSERT_EQ(1u, g_appBoxes.size());
    EXPECT_EQ(0u, g_appBoxes[0].find("The folder of Veltran Clock cannot be found"));
    EXPECT_STREQ("", g_settings.m_strAnalogSkinDir);
    EXPECT_STREQ("", g_settings.m_strIconLibrary);

    g_settings.m_bAnalogVisible = 1;
    CAlarm alarm;
    alarm.m_strName = "Chimes";
    alarm.m_bShowInTray = 1;
    alarm.m_nIconIndex = 1;
    alarm.m_bPlaySounds = 1;
    alarm.m_strSounds = "TRUETRUETRUENoFolderProbe.wav***TRUETRUETRUEC:\\sounds\\NoFolderProbe.wav***";
    alarm.m_nSoundExtra = 1;
    g_alarms.Add(alarm);

    // Start-up reopens the analog clock, the tray shows the digital one: each
    // finds no skins (its own box, then the Skin Browser), never the probes;
    // nothing is started beside the program. As in the program, the main
    // window is published before it is made.
    CMainDlg* pMain = new CMainDlg;
    app.m_pMainWnd = pMain;
    ASSERT_TRUE(pMain->Create(IDD_MAINDLG));
    EXPECT_EQ(1, seams.CountCalls("MessageBox \"No skins were found!"));
    pMain->SendMessage(WM_COMMAND, ID_TRAY_DIGITAL);
    EXPECT_EQ(2, seams.CountCalls("MessageBox \"No skins were found!"));
    EXPECT_EQ(0, vtest::CountContaining(seams.m_calls, "NoFolderProbe"));
    EXPECT_EQ(0, vtest::CountContaining(seams.m_calls, "Glimmark"));
    EXPECT_EQ(nullptr, pMain->m_pAnalogClockDlg);
    EXPECT_EQ(nullptr, pMain->m_pDigitalClockDlg);
    EXPECT_EQ(0, g_settings.m_bAnalogVisible);
    EXPECT_EQ(0, g_settings.m_bDigitalVisible);
    EXPECT_EQ(0, seams.CountCalls("ShellExecute"));
    ASSERT_TRUE(CMainDlg::IsOpen(pMain->m_pSkinBrowserDlg));

    // The icon library at the root holds the alarm's icon; the tray and the
    // lists do not take it from there (they show the fallback icon).
    {
        CIconHandle atRoot(AlarmExtractIcon(alarm, "C:\\icons.icl"));
        EXPECT_NE(nullptr, atRoot.Get()) << "the probe holds no icon";
        EXPECT_EQ(nullptr, AlarmExtractIcon(alarm, g_settings.m_strIconLibrary));
    }
    EXPECT_EQ(0, pMain->FindTrayAlarm(0));

    // The options list no skins, in the combo or for the automatic change.
    for (UINT nShow : { UM_SHOWANALOGOPTIONS, UM_SHOWDIGITALOPTIONS }) {
        pMain->SendMessage(nShow);
        COptionsWindow* pOptions
            = nShow == UM_SHOWANALOGOPTIONS ? pMain->m_pAnalogOptionsDlg : pMain->m_pDigitalOptionsDlg;
        ASSERT_TRUE(CMainDlg::IsOpen(pOptions));
        const HWND hCombo = vtest::FindDescendant(pOptions->GetSafeHwnd(), IDC_VISIBLE_SKIN);
        const HWND hChange = vtest::FindDescendant(pOptions->GetSafeHwnd(), IDC_CHANGE_SKINS);
        ASSERT_NE(nullptr, hCombo);
        ASSERT_NE(nullptr, hChange);
        EXPECT_EQ(0, ItemCount(hCombo, CB_GETCOUNT)) << nShow;
        EXPECT_EQ(0, ItemCount(hChange, LVM_GETITEMCOUNT)) << nShow;
        EXPECT_TRUE(vtest::PressButton(pOptions->GetSafeHwnd(), IDCANCEL));
        EXPECT_EQ(nullptr,
            nShow == UM_SHOWANALOGOPTIONS ? pMain->m_pAnalogOptionsDlg : pMain->m_pDigitalOptionsDlg);
    }

    // The three help commands do nothing.
    pMain->SendMessage(WM_COMMAND, ID_TRAY_HELP);
    pMain->m_pSkinBrowserDlg->SendMessage(WM_COMMAND, IDC_SKINBROWSER_HELP);
    pMain->SendMessage(UM_SHOWALARMLIST);
    CAlarmListDlg* pList = static_cast<CAlarmListDlg*>(pMain->m_pAlarmListDlg);
    ASSERT_TRUE(CMainDlg::IsOpen(pList));
    pList->SendMessage(WM_COMMAND, IDC_ALARMLIST_HELP);
    EXPECT_EQ(0, seams.CountCalls("HtmlHelp"));

    // The Sounds page of a new alarm lists nothing; of the alarm's two
    // sounds, Test plays only the one given with a path.
    {
        std::vector<std::string> rows;
        vtest::CDialogDriver driver({ "#32770", nullptr, IDD_ALARMEDITOR }, [&rows](HWND hDlg) {
            rows = SoundRows(hDlg);
            vtest::PressButton(hDlg, IDCANCEL);
        });
        pMain->SendMessage(WM_COMMAND, 3000);
        EXPECT_EQ(1, driver.Driven());
        EXPECT_EQ(std::vector<std::string> {}, rows);
    }
    {
        std::vector<std::string> rows;
        int nPlaysOfBareName = -1;
        vtest::CDialogDriver driver({ "#32770", nullptr, IDD_ALARMEDITOR }, [&](HWND hDlg) {
            rows = SoundRows(hDlg);
            TestSoundRow(hDlg, 0);
            nPlaysOfBareName = seams.CountCalls("PlaySound");
            TestSoundRow(hDlg, 1);
            vtest::PressButton(hDlg, IDCANCEL);
        });
        pList->SendMessage(WM_COMMAND, IDC_ALARMLIST_EDIT);
        EXPECT_EQ(1, driver.Driven());
        EXPECT_EQ((std::vector<std::string> { "NoFolderProbe.wav", "C:\\sounds\\NoFolderProbe.wav" }), rows);
        EXPECT_EQ(0, nPlaysOfBareName);
        EXPECT_EQ(1, seams.CountCalls("PlaySound \"C:\\\\sounds\\\\NoFolderProbe.wav\""));
    }

    // Run from the tray, the alarm plays only its sound given with a path,
    // and nothing is saved (no file, no Run value).
    const int nPlays = seams.CountCalls("PlaySound");
    pMain->SendMessage(WM_COMMAND, ID_TRAY_FIRSTALARM);
    EXPECT_EQ(nPlays + 1, seams.CountCalls("PlaySound"));
    EXPECT_EQ(2, seams.CountCalls("PlaySound \"C:\\\\sounds\\\\NoFolderProbe.wav\""));
    EXPECT_EQ(0, g_nFileWrites);
    EXPECT_EQ(0, g_nRunValues);
    EXPECT_EQ(1u, g_appBoxes.size()) << "no box besides the one at the load";

    app.m_pMainWnd = nullptr;
    delete pMain;
    vtest::PumpPending();
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}

// The Skin Browser dialog and its workers against the local skin server
// (tools/skinserver), in its normal and hostile modes, with the dialog
// hidden and message boxes answered through the recording seams.
#include "afx/afxapp.h"
#include "afx/afxseams.h"
#include "app/messages.h"
#include "app/settings.h"
#include "clocks/skinarchive.h"
#include "res/skinbrowser_res.h"
#include "skinbrowser/skinbrowserdlg.h"
#include "skinbrowser/skinlist.h"
#include "support/tempfolder.h"
#include "support/win_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string WinePath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Root(const char* pszMode)
{
    const int nPort = std::atoi(ReadFile(WinePath(std::string(VELTRAN_TEST_SERVERS) + "/http/port")).c_str());
    std::string root = "http://127.0.0.1:" + std::to_string(nPort);
    return pszMode != nullptr ? root + "/mode/" + pszMode : root;
}

std::string SiteFile(const char* path) { return ReadFile(WinePath(std::string(VELTRAN_SKIN_SITE) + path)); }

// Every file under a folder with its size: what a test compares before and after.
void ListTree(const std::string& folder, const std::string& prefix, std::vector<std::string>& out)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = ::FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListTree(folder + "\\" + name, prefix + name + "/", out);
        else
            out.push_back(prefix + name + " " + std::to_string(fd.nFileSizeLow));
    } while (::FindNextFileA(hFind, &fd));
    ::FindClose(hFind);
    std::sort(out.begin(), out.end());
}

std::vector<std::string> Tree(const std::string& folder)
{
    std::vector<std::string> out;
    ListTree(folder, "", out);
    return out;
}

// The program's main window: records the messages the browser sends it.
class CMainStandIn : public CWnd {
public:
    std::vector<UINT> m_messages;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= 0x8000 && message < 0xC000)
            m_messages.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class SkinBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = std::make_unique<vtest::CTempFolder>("skinbrowser_test_app");
        m_strApp = m_folder->Str();
        ::CreateDirectoryA((m_strApp + "\\acs").c_str(), nullptr);
        ::CreateDirectoryA((m_strApp + "\\dcs").c_str(), nullptr);
        WriteFile(m_strApp + "\\Veltran.cfg", "settings");
        g_settings.m_strAnalogSkinDir = (m_strApp + "\\acs").c_str();
        g_settings.m_strDigitalSkinDir = (m_strApp + "\\dcs").c_str();
        g_settings.m_strAnalogSkin = "Simple";
        g_settings.m_strDigitalSkin = "Red Digital";
        g_settings.m_nSkinBrowserType = 0;
        g_settings.m_bSkinBrowserAutoConnect = FALSE;
        SetRoot(Root(nullptr));
        ASSERT_TRUE(m_main.CreateEx(0, nullptr, "main", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr));
        m_app.m_pMainWnd = &m_main;
        m_nGdi = AfxGetLiveGdiObjectCount();
    }

    void TearDown() override
    {
        if (m_pDlg != nullptr) {
            m_pDlg->DestroyWindow();
            delete m_pDlg;
        }
        EXPECT_EQ(m_nGdi, AfxGetLiveGdiObjectCount());
        m_app.m_pMainWnd = nullptr;
        m_main.DestroyWindow();
        SetRoot("");
        m_folder.reset();
    }

    static void SetRoot(const std::string& root) { _putenv_s("VELTRAN_SKIN_SERVER", root.c_str()); }

    CSkinBrowserDlg& Open()
    {
        m_pDlg = new CSkinBrowserDlg;
        EXPECT_TRUE(m_pDlg->Create(IDD_SKINBROWSER, CWnd::GetDesktopWindow()));
        return *m_pDlg;
    }

    void Click(int nID)
    {
        m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED),
                            reinterpret_cast<LPARAM>(m_pDlg->GetDlgItem(nID)->GetSafeHwnd()));
    }

    // The workers have ended and the lists are filled.
    void Settle()
    {
        ASSERT_TRUE(m_pDlg->WaitForWorkers(30000)) << "the workers did not end";
        ASSERT_TRUE(vtest::PumpUntil([&] { return !m_pDlg->IsFilling(); }, 30000)) << "the lists are not filled";
        ASSERT_TRUE(m_pDlg->WaitForWorkers(30000)) << "the workers did not end";
    }

    CString Install()
    {
        CString str;
        m_pDlg->GetDlgItemText(IDC_SKINBROWSER_INSTALL, str);
        return str;
    }
    bool InstallEnabled() { return m_pDlg->GetDlgItem(IDC_SKINBROWSER_INSTALL)->IsWindowEnabled() != FALSE; }
    CString Status() { return m_pDlg->m_progress.GetText(); }

    static std::vector<std::string> Items(CReportCtrl& list, int nColumn = 0)
    {
        std::vector<std::string> items;
        for (int i = 0; i < list.GetChildCount(RVI_ROOT); i++)
            items.push_back(list.GetItemText(list.GetChildItem(RVI_ROOT, i), nColumn).GetString());
        return items;
    }

    void SelectGroup(const char* pszGroup)
    {
        CReportCtrl& groups = m_pDlg->m_listGroups;
        groups.SelectItem(groups.FindItem(RVI_ROOT, RVI_NONE, 0, pszGroup, FALSE), -1, TRUE);
        Settle();
    }

    // The composed preview frame's pixel against the decoded preview's.
    bool PreviewShown()
    {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CSelectGuard sel(dc.m_hDC, m_pDlg->m_hbmBackground.GetSafeHandle());
        const COLORREF crShown = ::GetPixel(dc.m_hDC, m_pDlg->m_nBackWidth - 215 + 41, 35 + 41);
        const RGBQUAD q = m_pDlg->m_imgPreview.GetPixelColor(40, m_pDlg->m_imgPreview.GetHeight() - 1 - 40);
        return crShown == RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }

    CWinApp m_app{"Veltran Clock"};
    CMainStandIn m_main;
    CRecordingSeams m_seams;
    CSeamsScope m_scope{&m_seams};
    CSkinBrowserDlg* m_pDlg = nullptr;
    std::unique_ptr<vtest::CTempFolder> m_folder;
    std::string m_strApp;
    long m_nGdi = 0;
};

TEST_F(SkinBrowserTest, OpensEmptyAndReadyAndOnlyTheCloseBoxEndsIt)
{
    CSkinBrowserDlg& dlg = Open();
    EXPECT_EQ(0, dlg.m_listGroups.GetChildCount(RVI_ROOT));
    EXPECT_EQ(0, dlg.m_listSkins.GetChildCount(RVI_ROOT));
    EXPECT_STREQ("Ready", Status());
    EXPECT_EQ(100, dlg.m_progress.GetPos());
    EXPECT_FALSE(InstallEnabled());
    EXPECT_STREQ("Install this skin", Install());
    BITMAP bm{};
    ASSERT_TRUE(dlg.m_hbmPreview.GetBitmap(&bm));
    EXPECT_EQ(195, bm.bmWidth); // the no-preview picture
    EXPECT_EQ(1, dlg.SendDlgItemMessage(IDC_SKINBROWSER_ANALOG, BM_GETCHECK));
    EXPECT_EQ(0, dlg.SendDlgItemMessage(IDC_SKINBROWSER_DIGITAL, BM_GETCHECK));
    // Enter and Escape change nothing; the close box asks the main window.
    dlg.SendMessage(WM_COMMAND, IDOK);
    dlg.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
    dlg.SendMessage(WM_CLOSE);
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
    Click(IDC_SKINBROWSER_OPTIONS);
    EXPECT_EQ((std::vector<UINT>{UM_SKINBROWSERCLOSED, UM_SHOWGENERALSETTINGS}), m_main.m_messages);
    Click(IDC_SKINBROWSER_HELP);
    const std::vector<std::string> calls = m_seams.GetCalls();
    ASSERT_EQ(1u, calls.size());
    EXPECT_NE(std::string::npos, calls[0].find("Veltran.chm::/Skins/skinbrowser.htm")) << calls[0];
    // Clicking the kind already shown starts nothing.
    Click(IDC_SKINBROWSER_ANALOG);
    EXPECT_EQ(0, dlg.GetRunningWorkerCount());
    EXPECT_STREQ("Install this skin", Install());
}

TEST_F(SkinBrowserTest, ListsPreviewsAndInstallsBothKinds)
{
    WriteFile(m_strApp + "\\acs\\Pocket.acs", "an older Pocket");
    CSkinBrowserDlg& dlg = Open();
    Click(IDC_SKINBROWSER_CONNECT);
    Settle();
    EXPECT_EQ((std::vector<std::string>{"Samples", "Tiny"}), Items(dlg.m_listGroups));
    EXPECT_EQ((std::vector<std::string>{"Simple", "Large"}), Items(dlg.m_listSkins));
    EXPECT_EQ((std::vector<std::string>{"Veltran team", "Veltran team"}), Items(dlg.m_listSkins, 1));
    EXPECT_EQ(dlg.m_listSkins.GetChildItem(RVI_ROOT, 0), dlg.m_listSkins.GetSelectedItem());
    EXPECT_EQ(160u, dlg.m_imgPreview.GetWidth()); // Simple's face
    EXPECT_TRUE(PreviewShown());
    CString strDetails;
    dlg.GetDlgItemText(IDC_SKINBROWSER_DETAILS, strDetails);
    EXPECT_STREQ("SKIN COMMENT\n\nSkin name: Simple\n\nSkin group: Samples\n\nMade Veltran team\n\nMade on 2026-12-01",
                 strDetails);
    EXPECT_STREQ("Ready", Status());
    EXPECT_STREQ("Install selected skin", Install());
    EXPECT_TRUE(InstallEnabled());

    SelectGroup("Tiny");
    EXPECT_EQ(std::vector<std::string>{"Pocket"}, Items(dlg.m_listSkins));
    EXPECT_EQ(100u, dlg.m_imgPreview.GetWidth());
    EXPECT_TRUE(PreviewShown());

    // No to "Show now?": the archive replaces the older one, the settings stay.
    m_seams.m_messageBoxAnswers = {IDNO};
    Click(IDC_SKINBROWSER_INSTALL);
    Settle();
    EXPECT_EQ(SiteFile("/skins/acs/Tiny/Pocket.acs"), ReadFile(m_strApp + "\\acs\\Pocket.acs"));
    EXPECT_STREQ("Simple", g_settings.m_strAnalogSkin);
    EXPECT_STREQ("Ready", Status());
    EXPECT_STREQ("Install selected skin", Install());
    EXPECT_EQ(1, m_seams.CountCalls("MessageBox \"Skin installed. Show now?\" \"Skin installed\" 0x34 -> 7"));

    // The other kind lists at once; Yes shows the new digital skin.
    Click(IDC_SKINBROWSER_DIGITAL);
    Settle();
    EXPECT_EQ(1, g_settings.m_nSkinBrowserType);
    EXPECT_EQ((std::vector<std::string>{"Red Digital", "Wide Digital"}), Items(dlg.m_listSkins));
    m_seams.m_messageBoxAnswers = {IDYES};
    Click(IDC_SKINBROWSER_INSTALL);
    Settle();
    EXPECT_EQ(SiteFile("/skins/dcs/Samples/Red Digital.dcs"), ReadFile(m_strApp + "\\dcs\\Red Digital.dcs"));
    EXPECT_STREQ("Red Digital", g_settings.m_strDigitalSkin);
    EXPECT_EQ(std::vector<UINT>{UM_SHOWDIGITALCLOCK}, m_main.m_messages);
    // The clocks find the new skins; nothing else was written.
    CSortStringArray names;
    FindSkins(g_settings.m_strAnalogSkinDir, SKIN_ANALOG, names);
    EXPECT_EQ(1, names.GetSize());
    FindSkins(g_settings.m_strDigitalSkinDir, SKIN_DIGITAL, names);
    ASSERT_EQ(1, names.GetSize());
    EXPECT_STREQ("Red Digital", names[0]);
    EXPECT_EQ((std::vector<std::string>{"Veltran.cfg 8", "acs/Pocket.acs " + std::to_string(SiteFile("/skins/acs/Tiny/Pocket.acs").size()),
                                        "dcs/Red Digital.dcs " + std::to_string(SiteFile("/skins/dcs/Samples/Red Digital.dcs").size())}),
              Tree(m_strApp));
}

TEST_F(SkinBrowserTest, CancelDuringASlowDownloadKeepsTheInstalledSkin)
{
    WriteFile(m_strApp + "\\acs\\Simple.acs", "the installed Simple");
    const std::vector<std::string> before = Tree(m_strApp);
    SetRoot(Root("slow"));
    CSkinBrowserDlg& dlg = Open();
    Click(IDC_SKINBROWSER_CONNECT);
    Settle();
    // Previews still dripping in give way to the newest selection.
    const DWORD hSimple = dlg.m_listSkins.GetChildItem(RVI_ROOT, 0), hLarge = dlg.m_listSkins.GetChildItem(RVI_ROOT, 1);
    dlg.m_listSkins.SelectItem(hLarge, -1, TRUE);
    dlg.m_listSkins.SelectItem(hSimple, -1, TRUE);
    Settle();
    EXPECT_EQ(160u, dlg.m_imgPreview.GetWidth());
    EXPECT_TRUE(PreviewShown());
    EXPECT_STREQ("Ready", Status());
    Click(IDC_SKINBROWSER_INSTALL);
    ASSERT_TRUE(vtest::PumpUntil([&] { return dlg.m_progress.GetPos() > 0 && dlg.m_progress.GetPos() < 100; }, 20000));
    EXPECT_STREQ("Skin loading : %d%%", Status());
    EXPECT_STREQ("Cancel", Install());
    Click(IDC_SKINBROWSER_INSTALL);
    EXPECT_STREQ("Install selected skin", Install());
    EXPECT_STREQ("Ready", Status());
    ASSERT_TRUE(dlg.WaitForWorkers(3000)) << "a cancelled download runs on";
    EXPECT_STREQ("Install selected skin", Install());
    EXPECT_STREQ("Ready", Status());
    EXPECT_EQ(before, Tree(m_strApp));
    EXPECT_EQ(0, m_seams.CountCalls("MessageBox"));
}

TEST_F(SkinBrowserTest, ClosingDuringASlowDownloadStopsItFirst)
{
    const std::vector<std::string> before = Tree(m_strApp);
    SetRoot(Root("slow"));
    CSkinBrowserDlg& dlg = Open();
    Click(IDC_SKINBROWSER_CONNECT);
    Settle();
    Click(IDC_SKINBROWSER_INSTALL);
    ASSERT_TRUE(vtest::PumpUntil([&] { return dlg.m_progress.GetPos() > 0 && dlg.m_progress.GetPos() < 100; }, 20000));
    ASSERT_EQ(1, dlg.GetRunningWorkerCount());
    const DWORD dwStart = ::GetTickCount();
    dlg.DestroyWindow();
    EXPECT_EQ(0, dlg.GetRunningWorkerCount());
    EXPECT_LT(::GetTickCount() - dwStart, 2000u); // the rest would take seconds
    EXPECT_EQ(before, Tree(m_strApp));
    EXPECT_EQ(0, m_seams.CountCalls("MessageBox"));
}

TEST_F(SkinBrowserTest, HostileServersEndWithAClearStatusAndWriteNothing)
{
    WriteFile(m_strApp + "\\acs\\Simple.acs", "the installed Simple");
    const std::vector<std::string> before = Tree(m_strApp);
    const struct {
        const char* pszMode;
        const char* pszGroup;
        std::vector<std::string> groups;
        const char* pszPreviewStatus; // the status starts so
        const char* pszInstallStatus;
    } cases[] = {
        {"wrong-length", "Samples", {"Samples", "Tiny"}, "No preview: ", "Skin not installed: "},
        {"truncated", "Samples", {"Samples", "Tiny"}, "No preview: ", "Skin not installed: "},
        {"500", "Samples", {"Samples", "Tiny"}, "No preview: the server answered 500",
         "Skin not installed: the server answered 500"},
        {"not-zip", "Samples", {"Samples", "Tiny"}, "Ready", "Skin not installed: not a skin archive"},
        {"hostile-list", "Evil", {"Samples", "Tiny", "Evil"}, "No preview: the server answered 404",
         "Skin not installed: the server answered 404"},
    };
    CSkinBrowserDlg& dlg = Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszMode);
        SetRoot(Root(c.pszMode));
        Click(IDC_SKINBROWSER_CONNECT);
        Settle();
        EXPECT_EQ(c.groups, Items(dlg.m_listGroups));
        SelectGroup(c.pszGroup);
        EXPECT_EQ(0, Status().Find(c.pszPreviewStatus)) << Status().GetString();
        EXPECT_STREQ("Install selected skin", Install());
        Click(IDC_SKINBROWSER_INSTALL);
        Settle();
        EXPECT_EQ(0, Status().Find(c.pszInstallStatus)) << Status().GetString();
        EXPECT_STREQ("Install selected skin", Install());
        EXPECT_EQ(before, Tree(m_strApp));
    }
    // Only plain names came through: the rest went with their lines.
    EXPECT_EQ(std::vector<std::string>{"Tom & Jerry"}, Items(dlg.m_listSkins));
    EXPECT_EQ(0, m_seams.CountCalls("MessageBox"));
}

TEST_F(SkinBrowserTest, AHugeListArrivesWhole)
{
    SetRoot(Root("huge-list"));
    CSkinBrowserDlg& dlg = Open();
    Click(IDC_SKINBROWSER_CONNECT);
    Settle();
    EXPECT_EQ(20000, dlg.m_arrSkinList.GetSize());
    EXPECT_EQ(std::vector<std::string>{"Huge"}, Items(dlg.m_listGroups));
    EXPECT_EQ(20000, dlg.m_listSkins.GetChildCount(RVI_ROOT));
    EXPECT_STREQ("Skin 000000", dlg.m_listSkins.GetItemText(dlg.m_listSkins.GetSelectedItem(), 0));
    // Its preview is not there: the no-preview picture and a clear status.
    EXPECT_STREQ("No preview: the server answered 404", Status());
}

TEST_F(SkinBrowserTest, FailedListsShowErrorDuringTheBoxThenDisableInstall)
{
    const struct {
        std::string root;
    } cases[] = {{"http://127.0.0.1:1"}, {Root("404")}};
    CSkinBrowserDlg& dlg = Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root);
        SetRoot(c.root);
        CString strDuringBox;
        BOOL bEnabledDuringBox = FALSE;
        // The box is open on the worker's thread: only plain calls there, no
        // framework wrappers.
        const HWND hInstall = ::GetDlgItem(dlg.m_hWnd, IDC_SKINBROWSER_INSTALL);
        m_seams.m_fnMessageBoxOpenUntil = [&] {
            char sz[64] = "";
            ::GetWindowTextA(hInstall, sz, sizeof sz);
            strDuringBox = sz;
            bEnabledDuringBox = ::IsWindowEnabled(hInstall);
            return true;
        };
        Click(IDC_SKINBROWSER_CONNECT);
        Settle();
        EXPECT_STREQ("Error", strDuringBox);
        EXPECT_TRUE(bEnabledDuringBox);
        EXPECT_EQ(1, m_seams.CountCalls(("MessageBox \"Cannot access " + c.root + "\" \"Veltran Clock\" 0x0 -> 1").c_str()));
        EXPECT_STREQ("Install this skin", Install());
        EXPECT_FALSE(InstallEnabled());
        EXPECT_STREQ("Ready", Status());
        EXPECT_EQ(0, dlg.m_listGroups.GetChildCount(RVI_ROOT));
        m_seams.m_calls.clear();
    }
}

} // namespace

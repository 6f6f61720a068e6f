// The icon picker: environment references expanded before and after, the
// count and the icon of a file with three, one or no icons, cancelling, and
// the shell's own picker listing this program's icons.
#include <gtest/gtest.h>


#include <cstdio>
#include <string>

#include "afx/afxwin.h"
#include "controls/icondialog.h"
#include "support/win_window.h"

namespace {

// The picker's answer: a path (with references left in, as the shell gives
// them) and an index; or a cancel.
class CPickingSeams : public CRecordingSeams {
public:
    int m_nResult = 1;
    std::string m_strPath;
    int m_nIndex = 0;
    int PickIconDlg(HWND hWnd, LPWSTR pszIconPath, UINT cchIconPath, int* piIconIndex) override {
        CRecordingSeams::PickIconDlg(hWnd, pszIconPath, cchIconPath, piIconIndex);
        if (m_nResult == 1) {
            ::MultiByteToWideChar(CP_ACP, 0, m_strPath.c_str(), -1, pszIconPath, (int)cchIconPath);
            *piIconIndex = m_nIndex;
        }
        return m_nResult;
    }
};

std::string ModulePath() {
    char sz[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, sz, MAX_PATH);
    return sz;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

std::string FullPath(const char* pszName) {
    char sz[MAX_PATH] = "";
    ::GetFullPathNameA(pszName, MAX_PATH, sz, nullptr);
    return sz;
}

bool IconAlive(HICON h) {
    ICONINFO info{};
    if (h == nullptr || !::GetIconInfo(h, &info))
        return false;
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return true;
}

class IconDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_pOld = AfxSetSeams(&m_seams);
        // The program's own folder, under a name the picker's answers refer to.
        ::SetEnvironmentVariableA("VELTRAN_ICONS", FolderOf(ModulePath()).c_str());
        std::FILE* f = std::fopen("noicons.txt", "w");
        std::fputs("no icons here", f);
        std::fclose(f);
        std::fclose(std::fopen("empty.ico", "w"));
    }
    void TearDown() override { AfxSetSeams(m_pOld); }
    CPickingSeams m_seams;
    CSystemSeams* m_pOld = nullptr;
};

TEST_F(IconDialogTest, ReferencesAreExpandedBeforeAndAfter) {
    char szWinDir[MAX_PATH];
    ::GetEnvironmentVariableA("WINDIR", szWinDir, MAX_PATH);
    CIconDialog dlg("%WINDIR%\\system32\\shell32.dll", 4);
    EXPECT_EQ(std::string(szWinDir) + "\\system32\\shell32.dll", dlg.GetFileName());
    EXPECT_EQ(4, dlg.GetIconIndex());

    const std::string exe = ModulePath();
    m_seams.m_strPath = "%VELTRAN_ICONS%\\" + exe.substr(exe.find_last_of("\\/") + 1);
    m_seams.m_nIndex = 2;
    ASSERT_EQ(IDOK, dlg.DoModal());
    // The picker was opened with the expanded name and the index.
    ASSERT_EQ(1, m_seams.CountCalls("PickIconDlg"));
    std::string expected = "PickIconDlg \"" + std::string(szWinDir) + "\\system32\\shell32.dll\" 4";
    std::string escaped;
    for (char c : expected.substr(13, expected.size() - 16))
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    EXPECT_EQ("PickIconDlg \"" + escaped + "\" 4", m_seams.m_calls.back());
    EXPECT_STRCASEEQ(exe.c_str(), dlg.GetFileName());
    EXPECT_EQ(3, dlg.m_nIconCount);  // this program's three icons
    EXPECT_EQ(2, dlg.GetIconIndex());
    EXPECT_TRUE(IconAlive(dlg.m_hIcon));
}

TEST_F(IconDialogTest, FilesWithFewOrNoIconsGiveAClearState) {
    const std::string exe = ModulePath();
    struct Case {
        std::string path;
        int nIndex;
        int nCount, nIndexAfter;
        bool bIcon;
    } cases[] = {
        {exe, 0, 3, 0, true},
        {exe, 1, 3, 1, true},
        {exe, 9, 3, 2, true},  // past the end: the last icon
        {FullPath("test_icon.ico"), 0, 1, 0, true},
        {FullPath("test_icon.ico"), 5, 1, 0, true},
        {FullPath("noicons.txt"), 3, 0, 0, false},
        {FullPath("empty.ico"), 0, 0, 0, false},
        {FullPath("missing.dll"), 2, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.nIndex));
        CIconDialog dlg(exe.c_str(), 0);
        m_seams.m_strPath = c.path;
        m_seams.m_nIndex = c.nIndex;
        ASSERT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ(c.nCount, dlg.m_nIconCount);
        EXPECT_EQ(c.nIndexAfter, dlg.GetIconIndex());
        EXPECT_EQ(c.bIcon, IconAlive(dlg.m_hIcon));
        if (!c.bIcon)
            EXPECT_EQ(nullptr, dlg.m_hIcon);
    }
}

TEST_F(IconDialogTest, CancellingKeepsTheOldIconAndAnOwnedIconGoesOnce) {
    const std::string exe = ModulePath();
    HICON hFirst = nullptr, hSecond = nullptr;
    {
        CIconDialog dlg(exe.c_str(), 0);
        m_seams.m_strPath = exe;
        m_seams.m_nIndex = 1;
        ASSERT_EQ(IDOK, dlg.DoModal());
        hFirst = dlg.m_hIcon;
        ASSERT_TRUE(IconAlive(hFirst));
        m_seams.m_nResult = 0;
        m_seams.m_strPath = FullPath("test_icon.ico");
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
        EXPECT_EQ(hFirst, dlg.m_hIcon);
        EXPECT_STREQ(exe.c_str(), dlg.GetFileName());
        EXPECT_EQ(1, dlg.GetIconIndex());
        EXPECT_EQ(3, dlg.m_nIconCount);
        // A second choice replaces the first icon, which goes.
        m_seams.m_nResult = 1;
        ASSERT_EQ(IDOK, dlg.DoModal());
        hSecond = dlg.m_hIcon;
        EXPECT_FALSE(IconAlive(hFirst));
        EXPECT_TRUE(IconAlive(hSecond));
    }
    EXPECT_FALSE(IconAlive(hSecond));
}

TEST_F(IconDialogTest, AnEmptyNameOpensThePickerWithAnEmptyPath) {
    CIconDialog dlg("", 0);
    EXPECT_STREQ("", dlg.GetFileName());
    m_seams.m_nResult = 0;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ("PickIconDlg \"\" 0", m_seams.m_calls.back());
    EXPECT_STREQ("", dlg.GetFileName());
    EXPECT_EQ(nullptr, dlg.m_hIcon);
}

// Drives the shell's own picker from a thread timer: notes how many icons it
// lists, picks the second and confirms.
struct CPickerDriver {
    int nListed = -1;
    int nTicks = 0;
} g_driver;

BOOL CALLBACK FindPickerList(HWND hWnd, LPARAM lParam) {
    char szClass[32] = "";
    ::GetClassNameA(hWnd, szClass, sizeof(szClass));
    if (lstrcmpiA(szClass, "ListBox") == 0 && ::IsWindowVisible(hWnd)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindPickerDialog(HWND hWnd, LPARAM lParam) {
    char szClass[32] = "";
    ::GetClassNameA(hWnd, szClass, sizeof(szClass));
    if (lstrcmpA(szClass, "#32770") == 0 && ::IsWindowVisible(hWnd)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK DrivePicker(HWND, UINT, UINT_PTR nID, DWORD) {
    HWND hDialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindPickerDialog, (LPARAM)&hDialog);
    if (hDialog == nullptr) {
        if (++g_driver.nTicks > 200)  // ten seconds without a picker
            ::KillTimer(nullptr, nID);
        return;
    }
    HWND hList = nullptr;
    ::EnumChildWindows(hDialog, FindPickerList, (LPARAM)&hList);
    if (hList == nullptr || ::SendMessageA(hList, LB_GETCOUNT, 0, 0) <= 0) {
        if (++g_driver.nTicks > 200)
            ::PostMessageA(hDialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    ::KillTimer(nullptr, nID);
    g_driver.nListed = (int)::SendMessageA(hList, LB_GETCOUNT, 0, 0);
    ::SendMessageA(hList, LB_SETCURSEL, 1, 0);
    ::PostMessageA(hDialog, WM_COMMAND, IDOK, 0);
}

TEST(IconDialogShell, TheShellsPickerListsThisProgramsIcons) {
    // The real picker, driven by the timer above. Wine 8's shell has only a
    // stub that cancels at once: then nothing may change.
    CWin32Seams real;
    CSeamsScope scope(&real);
    const std::string exe = ModulePath();
    CIconDialog dlg(exe.c_str(), 0);
    const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 50, DrivePicker);
    ASSERT_NE(0u, nTimer);
    const INT_PTR nResult = dlg.DoModal();
    ::KillTimer(nullptr, nTimer);
    if (g_driver.nListed >= 0) {
        EXPECT_EQ(3, g_driver.nListed);
        ASSERT_EQ(IDOK, nResult);
        EXPECT_EQ(1, dlg.GetIconIndex());
        EXPECT_EQ(3, dlg.m_nIconCount);
        EXPECT_TRUE(IconAlive(dlg.m_hIcon));
    } else {
        EXPECT_EQ(IDCANCEL, nResult);
        EXPECT_STREQ(exe.c_str(), dlg.GetFileName());
        EXPECT_EQ(0, dlg.GetIconIndex());
        EXPECT_EQ(nullptr, dlg.m_hIcon);
    }
}

}  // namespace

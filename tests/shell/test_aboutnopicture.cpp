// About in a program whose picture resource is missing: no bitmap, a client
// area of 0 x 0, only frame and caption.
#include "shell/aboutdlg_win.h"

#include "afx/afxgdi.h"
#include "res/periphery_res.h"
#include "support/win_window.h"

#include <gtest/gtest.h>

namespace {
class CUnmappedAbout : public CAboutDlg {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_WINDOWPOSCHANGING)
            reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
        return CAboutDlg::WindowProc(message, wParam, lParam);
    }
};

TEST(AboutWithoutPicture, IsOnlyItsFrameAndCaption)
{
    ASSERT_EQ(nullptr, ::FindResourceA(nullptr, g_szAboutPictureName, g_szAboutPictureType));
    const long nGdi = AfxGetLiveGdiObjectCount();
    {
        CUnmappedAbout about;
        ASSERT_TRUE(about.Create(IDD_ABOUT));
        EXPECT_EQ(nullptr, about.GetPicture());
        CRect rcClient, rcWindow;
        about.GetClientRect(&rcClient);
        about.GetWindowRect(&rcWindow);
        EXPECT_EQ(CSize(0, 0), rcClient.Size());
        EXPECT_GT(rcWindow.Height(), ::GetSystemMetrics(SM_CYCAPTION) - 1);
        EXPECT_LT(rcWindow.Height(), ::GetSystemMetrics(SM_CYCAPTION) + 16);
        about.DestroyWindow();
    }
    vtest::PumpPending();
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}
} // namespace

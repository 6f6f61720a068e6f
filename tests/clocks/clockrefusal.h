// What both clock windows' tests check of a load that cannot draw the clock:
// a stored scale or fixed size past the largest side, and a bitmap the
// system cannot make, each with its cause in a message box; the settings stay
// as stored and a clock already shown keeps its last good skin.
#pragma once

#include "afx/afxwin.h"
#include "core/settings.h"

#include <gtest/gtest.h>

#include <string>

// A clock whose n-th bitmap (0 first) the system cannot make.
template <class TClock> class CBitmapFailingClock : public TClock {
public:
    int m_nFailAt = -1;
    mutable int m_nMade = 0;

protected:
    HBITMAP MakeClockBitmap(const CPicture& picture) const override
    {
        if (m_nMade++ == m_nFailAt)
            return nullptr;
        return TClock::MakeClockBitmap(picture);
    }
};

// A fresh clock (template nIDD) whose stored scale is 20000 % does not show;
// clock, loaded at 100 %, refuses a fixed size of 20000 pixels and the load
// whose first or second bitmap is missing, with no GDI object lost and its
// back buffer (pfnBuffer) kept. pszMemory is the text of the missing bitmaps.
template <class TClock, class TWindow>
void ExpectRefusedLoadsSayWhy(UINT nIDD, CBitmapFailingClock<TClock>& clock, HBITMAP (TWindow::*pfnBuffer)() const,
                              CRecordingSeams& seams, int& nScale, int& nFixedSize, const char* pszMemory)
{
    const std::string strScale =
        "MessageBox \"Cannot show the clock at 20000 %: a side would be larger than 16384 pixels!\"";
    const std::string strFixed =
        "MessageBox \"Cannot show the clock at a fixed size of 20000 pixels: a side would be larger than 16384 pixels!\"";
    const std::string strMemory = std::string("MessageBox \"") + pszMemory + "\"";
    nScale = 20000; // as a start reads it
    {
        TClock fresh;
        ASSERT_TRUE(fresh.Create(nIDD, CWnd::GetDesktopWindow()));
        EXPECT_FALSE(fresh.LoadSkin(nScale));
        EXPECT_EQ(seams.CountCalls(strScale.c_str()), 1);
        EXPECT_EQ(nScale, 20000);
        EXPECT_FALSE(fresh.IsWindowVisible());
        fresh.DestroyWindow();
    }

    nScale = 100;
    ASSERT_TRUE(clock.Create(nIDD, CWnd::GetDesktopWindow()));
    ASSERT_TRUE(clock.LoadSkin(100));
    HBITMAP hBuffer = (clock.*pfnBuffer)();
    const long nGdi = AfxGetLiveGdiObjectCount();
    nFixedSize = 20000;
    EXPECT_FALSE(clock.LoadSkin(100));
    EXPECT_EQ(seams.CountCalls(strFixed.c_str()), 1);
    EXPECT_EQ(nFixedSize, 20000);
    nFixedSize = -1;
    for (int nFail : {0, 1}) {
        clock.m_nMade = 0;
        clock.m_nFailAt = nFail;
        EXPECT_FALSE(clock.LoadSkin(100)) << nFail;
        EXPECT_EQ(seams.CountCalls(strMemory.c_str()), nFail + 1);
        EXPECT_EQ(AfxGetLiveGdiObjectCount(), nGdi) << nFail;
    }
    EXPECT_TRUE(clock.IsWindowVisible());
    EXPECT_EQ((clock.*pfnBuffer)(), hBuffer);
    clock.m_nFailAt = -1;
}

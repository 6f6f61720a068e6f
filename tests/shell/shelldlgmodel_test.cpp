// What General settings shows and stores, and the newsletter address.
#include "shell/shelldlgmodel.h"

#include <gtest/gtest.h>

namespace {
TEST(GeneralSettingsValues, ATrayActionOutsideTheListShowsNothingAndIsCorrectedAtOnce)
{
    struct CCase {
        int nStored;
        int nShown;
    };
    for (const CCase& c :
        { CCase { -1, 0 }, CCase { 0, 0 }, CCase { 6, 6 }, CCase { 7, 0 }, CCase { 9, 0 } }) {
        CSettings settings;
        settings.m_nTrayDblClkAction = c.nStored;
        CGeneralSettingsValues values;
        values.Load(settings);
        EXPECT_EQ(c.nShown, values.nTrayAction) << c.nStored;
        EXPECT_EQ(c.nShown, settings.m_nTrayDblClkAction) << c.nStored;
    }
    EXPECT_STREQ("Nothing", g_apszTrayActions[0]);
    EXPECT_STREQ("Show Help", g_apszTrayActions[TRAY_ACTION_COUNT - 1]);
}

TEST(GeneralSettingsValues, StoreWritesEveryChoiceAndKeepsTheReservedWord)
{
    CSettings settings;
    settings.m_hkOptions = { 0x41, 3, 0xABCD };
    settings.m_bAskOnExit = TRUE;
    CGeneralSettingsValues values;
    values.Load(settings);
    EXPECT_TRUE(values.bAskOnExit);
    EXPECT_EQ(0x41, values.wHotKeyVK);
    values.bRunAtStartup = TRUE;
    values.bAskOnExit = FALSE;
    values.bSkinBrowserAtStartup = TRUE;
    values.bSkinBrowserAutoConnect = TRUE;
    values.nTrayAction = 4;
    values.wHotKeyVK = 0; // a cleared hot-key control
    values.wHotKeyMods = 0;
    values.Store(settings);
    EXPECT_TRUE(settings.m_bRunAtStartup);
    EXPECT_FALSE(settings.m_bAskOnExit);
    EXPECT_TRUE(settings.m_bSkinBrowserAtStartup);
    EXPECT_TRUE(settings.m_bSkinBrowserAutoConnect);
    EXPECT_EQ(4, settings.m_nTrayDblClkAction);
    EXPECT_EQ((HOTKEYSETTING { 0, 0, 0xABCD }), settings.m_hkOptions);
}

TEST(NewsletterAddress, CarriesTheChoiceAndTheTextAsTyped)
{
    EXPECT_STREQ("http://www.veltranclock.example/subscribe.php?subscribe=1&email=me@host.example",
        BuildNewsletterAddress(TRUE, "me@host.example"));
    EXPECT_STREQ("http://www.veltranclock.example/subscribe.php?subscribe=0&email= ",
        BuildNewsletterAddress(FALSE, " "));
    EXPECT_STREQ("http://www.veltranclock.example/subscribe.php?subscribe=1&email=a b&c=d",
        BuildNewsletterAddress(TRUE, "a b&c=d"));
}
} // namespace

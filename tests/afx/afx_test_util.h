// Helpers shared by the afx test programs.
#pragma once

#include "afx/afxstr.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <string>

// Fails the test unless fn throws an EXCEPTION*, which it then deletes.
template <class EXCEPTION, class FN> void ExpectThrows(FN fn)
{
    bool bCaught = false;
    try {
        fn();
    } catch (EXCEPTION* e) {
        bCaught = true;
        e->Delete();
    }
    EXPECT_TRUE(bCaught);
}

// A fresh folder under the temporary folder, removed with everything in it.
class CScratchFolder {
public:
    // The folder itself for an empty name.
    CString Path(const char* pszName) const
    {
        std::string str = m_folder.Str();
        if (*pszName != '\0')
            str += std::string("/") + pszName;
        return CString(str.c_str());
    }

private:
    vtest::CTempFolder m_folder {"afx_test"};
};

// Helpers shared by the afx test programs.
#pragma once

#include "afx/afxstr.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

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
    CScratchFolder()
    {
        namespace fs = std::filesystem;
#ifdef _WIN32
        const long nProcess = _getpid();
#else
        const long nProcess = getpid();
#endif
        static int s_nCount = 0;
        fs::path base = fs::temp_directory_path();
        for (int nTry = 0; nTry < 1000; nTry++) {
            m_path = base / ("afx_test_" + std::to_string(nProcess) + "_" + std::to_string(++s_nCount));
            std::error_code ec;
            if (fs::create_directory(m_path, ec))
                break;
        }
    }
    ~CScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    // The folder itself for an empty name.
    CString Path(const char* pszName) const
    {
        std::string str = m_path.string();
        if (*pszName != '\0')
            str += std::string("/") + pszName;
        return CString(str.c_str());
    }

private:
    std::filesystem::path m_path;
};

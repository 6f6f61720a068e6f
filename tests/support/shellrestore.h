// For window tests that make the real main dialog: the window makers and the
// app seams a test changes are put back when this goes, however it ends.
#pragma once

#include "core/appseams.h"
#include "shell/windowservices.h"

namespace vtest {

class CShellRestore {
public:
    CShellRestore()
        : m_services(g_windowServices)
        , m_appSeams(g_appSeams)
    {
    }
    ~CShellRestore()
    {
        g_windowServices = m_services;
        g_appSeams = m_appSeams;
    }
    CShellRestore(const CShellRestore&) = delete;
    CShellRestore& operator=(const CShellRestore&) = delete;

private:
    const CWindowServices m_services;
    const CAppSeams m_appSeams;
};

} // namespace vtest

// Helpers for tests and benchmarks that start the built program in another
// process and watch it from outside: where the running executable sits, the
// program's main dialog of one process, and the lines of its automation log.
// No test framework here, so the window benchmarks link it too.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vtest {

// The folder of the running executable, without the trailing backslash.
std::string ModuleDir();
// The top-level window of that process with exactly this caption (other
// programs on the same display make windows of the same caption); null if none.
HWND FindProcessWindow(DWORD nProcessId, const char* pszCaption);
// The lines of a text file (none when it cannot be read).
std::vector<std::string> ReadLines(const std::string& strPath);
// How many of the lines contain strPart.
int CountContaining(const std::vector<std::string>& lines, const std::string& strPart);

}  // namespace vtest

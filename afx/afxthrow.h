// The throw helpers, separate from the exception classes so that the string and
// array headers can throw without including them (afxexcept.h needs CString).
#pragma once

#include "afx/wintypes.h"

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowInvalidArgException();
[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, LPCSTR lpszFileName = nullptr);
[[noreturn]] void AfxThrowArchiveException(int cause, LPCSTR lpszArchiveName = nullptr);
[[noreturn]] void AfxThrowResourceException();

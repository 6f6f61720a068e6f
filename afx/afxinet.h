// The framework's internet classes over WinINet: a session that opens URLs,
// the files it returns (read in blocks or line by line) and the exception
// their failures throw. Thin: each call is the WinINet call it names.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "afx/afxexcept.h"
#include "afx/afxfile.h"
#include "afx/afxstr.h"

class CInternetException : public CException {
public:
    explicit CInternetException(DWORD dwError, DWORD_PTR dwContext = 0) : m_dwError(dwError), m_dwContext(dwContext) {}
    DWORD m_dwError;
    DWORD_PTR m_dwContext;

protected:
    CString GetText() const override;
};

[[noreturn]] void AfxThrowInternetException(DWORD_PTR dwContext, DWORD dwError = 0);

// A file read as text: ReadString gives one line at a time, without its line
// end ("\n" or "\r\n"), and FALSE at the end.
class CStdioFile : public CFile {
public:
    CStdioFile() = default;
    virtual BOOL ReadString(CString& rString);

protected:
    // Bytes Read gave but ReadString has not handed out yet.
    CString m_strPending;
    bool m_bEnd = false;
};

// A file on the internet; Read throws CInternetException on failure.
class CInternetFile : public CStdioFile {
public:
    CInternetFile(HINTERNET hFile, LPCSTR pszUrl, DWORD_PTR dwContext);
    ~CInternetFile() override;

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    void Close() override;
    void Abort() override;
    HINTERNET GetHandle() const { return m_hInternet; }

protected:
    HINTERNET m_hInternet;
    DWORD_PTR m_dwContext;
};

class CHttpFile : public CInternetFile {
public:
    using CInternetFile::CInternetFile;
    BOOL QueryInfoStatusCode(DWORD& dwStatusCode) const;
    BOOL QueryInfo(DWORD dwInfoLevel, CString& str) const;
};

class CInternetSession {
public:
    CInternetSession(LPCSTR pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                     DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG, LPCSTR pstrProxyName = nullptr,
                     LPCSTR pstrProxyBypass = nullptr, DWORD dwFlags = 0);
    virtual ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // A CHttpFile for http and https addresses, a CInternetFile otherwise;
    // the caller deletes it. Throws CInternetException when the URL cannot
    // be opened.
    CStdioFile* OpenURL(LPCSTR pstrURL, DWORD_PTR dwContext = 1, DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII,
                        LPCSTR pstrHeaders = nullptr, DWORD dwHeadersLength = 0);
    void Close();
    HINTERNET GetHandle() const { return m_hSession; }

private:
    HINTERNET m_hSession;
    DWORD_PTR m_dwContext;
};

// Tests see every URL a session opens (and its flags); null turns it off.
using AFXINETREQUESTHOOK = void (*)(LPCSTR pszUrl, DWORD dwFlags);
AFXINETREQUESTHOOK AfxSetInternetRequestHook(AFXINETREQUESTHOOK pfnHook);

// The framework's internet classes over WinINet: a session that opens URLs
// or HTTP connections, the requests and files they return (read in blocks or
// line by line) and the exception their failures throw. Thin: each call is
// the WinINet call it names.
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
    // Bytes Read gave but ReadString has not handed out yet; the first
    // m_nScanned of them hold no line end.
    CString m_strPending;
    int m_nScanned = 0;
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
    // Sends an opened request; throws CInternetException on failure.
    BOOL SendRequest(LPCSTR pstrHeaders = nullptr, DWORD dwHeadersLen = 0, LPVOID lpOptional = nullptr,
                     DWORD dwOptionalLen = 0);
    BOOL QueryInfoStatusCode(DWORD& dwStatusCode) const;
    BOOL QueryInfo(DWORD dwInfoLevel, CString& str) const;
};

// A connection to one server; requests opened on it take its options.
class CInternetConnection {
public:
    CInternetConnection(HINTERNET hConnection, LPCSTR pstrServer, INTERNET_PORT nPort, DWORD_PTR dwContext);
    virtual ~CInternetConnection();
    CInternetConnection(const CInternetConnection&) = delete;
    CInternetConnection& operator=(const CInternetConnection&) = delete;

    BOOL SetOption(DWORD dwOption, DWORD dwValue);
    virtual void Close();
    HINTERNET GetHandle() const { return m_hConnection; }

protected:
    HINTERNET m_hConnection;
    CString m_strServer;
    INTERNET_PORT m_nPort;
    DWORD_PTR m_dwContext;
};

class CHttpConnection : public CInternetConnection {
public:
    using CInternetConnection::CInternetConnection;
    // An unsent request for an object of this server; the caller deletes it
    // before the connection. Throws CInternetException on failure.
    CHttpFile* OpenRequest(LPCSTR pstrVerb, LPCSTR pstrObjectName, LPCSTR pstrReferer = nullptr, DWORD_PTR dwContext = 1,
                           LPCSTR* ppstrAcceptTypes = nullptr, LPCSTR pstrVersion = nullptr,
                           DWORD dwFlags = INTERNET_FLAG_EXISTING_CONNECT);
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
    // The caller deletes it after its requests and before the session.
    // Throws CInternetException when the handle cannot be made.
    CHttpConnection* GetHttpConnection(LPCSTR pstrServer, INTERNET_PORT nPort = INTERNET_INVALID_PORT_NUMBER,
                                       LPCSTR pstrUserName = nullptr, LPCSTR pstrPassword = nullptr);
    void Close();
    HINTERNET GetHandle() const { return m_hSession; }

private:
    HINTERNET m_hSession;
    DWORD_PTR m_dwContext;
};

// Tests see every URL a session opens or requests (and its flags); null
// turns it off.
using AFXINETREQUESTHOOK = void (*)(LPCSTR pszUrl, DWORD dwFlags);
AFXINETREQUESTHOOK AfxSetInternetRequestHook(AFXINETREQUESTHOOK pfnHook);

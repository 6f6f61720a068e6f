// A small synchronous HTTP and FTP client over WinINet: split a URL, open a
// session and a connection, send GET, url-encoded and multipart POST
// requests with cookies, query the response headers, read the body, and
// move FTP files. Failures travel as texts inside the client and end in
// Trace; the public operations answer false, 0, null or 404.
#pragma once

#include "afx/afx.h"
#include "skinbrowser/httpurl.h"

#include <windows.h>
#include <wininet.h>

class CHttpClient {
public:
    CHttpClient() = default;
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;
    // Deletes the arguments and cookies; the handles are the caller's to Close.
    virtual ~CHttpClient();

    bool ConnectUrl(LPCSTR pszUrl, LPCSTR pszUser, LPCSTR pszPassword, LPCSTR pszAgent);
    // nPort 0: the scheme's own.
    virtual bool Connect(LPCSTR pszHost, int nPort, LPCSTR pszUser, LPCSTR pszPassword, int nScheme, LPCSTR pszAgent);
    const CString& GetPath() const { return m_strPath; }
    // Closes the request, the connection and the session, in this order.
    void Close();

    void AddArgument(LPCSTR pszName, int nValue);
    void AddArgument(LPCSTR pszName, long nValue);
    void AddArgument(LPCSTR pszName, float fValue);
    void AddArgument(LPCSTR pszName, double dValue);
    void AddArgument(LPCSTR pszName, LPCSTR pszValue, bool bFile = false);
    void AddCookie(LPCSTR pszName, int nValue);
    void AddCookie(LPCSTR pszName, long nValue);
    void AddCookie(LPCSTR pszName, float fValue);
    void AddCookie(LPCSTR pszName, double dValue);
    void AddCookie(LPCSTR pszName, LPCSTR pszValue);

    enum { METHOD_GET = 0, METHOD_POST = 1, METHOD_POST_MULTIPARTS = 2 };
    bool Request(LPCSTR pszPath, int nMethod, LPCSTR pszReferer = nullptr);
    // Bytes of one read of the body; 0 at its end or on failure.
    DWORD Response(BYTE* pBuffer, DWORD nSize);

    DWORD QueryContentLength();
    DWORD QueryStatusCode();
    // Shared by every client; overwritten by the next call.
    LPCSTR QueryContentType();
    DWORD QueryRawHeaders(LPSTR pszBuffer, DWORD nSize);
    DWORD QueryCookie(LPSTR pszBuffer, DWORD nSize, DWORD nIndex);

    bool FtpGetFile(LPCSTR pszRemote, LPCSTR pszLocalFile, bool bAscii);
    bool FtpPutFile(LPCSTR pszRemote, LPCSTR pszLocalFile, bool bAscii);
    DWORD FtpRead(LPCSTR pszRemote, BYTE* pBuffer, DWORD nSize, bool bAscii);
    DWORD FtpWrite(LPCSTR pszRemote, const BYTE* pBuffer, DWORD nSize, bool bAscii);

    HINTERNET m_hSession = nullptr;
    HINTERNET m_hConnect = nullptr;
    HINTERNET m_hRequest = nullptr;
    CString m_strHost;
    CString m_strUser;
    CString m_strPassword;
    CString m_strPath;
    int m_nPort = 0;
    int m_nScheme = HTTP_SCHEME_HTTP;
    CHttpArguments m_arguments;
    CHttpCookies m_cookies;
    // Given to each connection: its connect, send and receive timeouts (0
    // leaves WinINet's own), and flags added to each of its requests
    // (INTERNET_FLAG_NO_AUTO_REDIRECT, say).
    DWORD m_dwTimeoutMs = 0;
    DWORD m_dwRequestFlags = 0;

protected:
    virtual void RequestPostMultiParts(LPCSTR pszPath, LPCSTR pszReferer);
    virtual void RequestPost(LPCSTR pszPath, LPCSTR pszReferer);
    virtual void RequestGet(LPCSTR pszPath, LPCSTR pszReferer);

    // Session flags and the context given to connections and requests.
    virtual DWORD SessionFlags() const { return 0; }
    virtual DWORD_PTR Context() { return 0; }
    // Between opening the session and opening the connection.
    virtual void SessionOpened() {}
    // An asynchronous client also counts ERROR_IO_PENDING as sent.
    virtual bool Sent(BOOL bOk) const;

    // Where a log could be written; writes nothing.
    static void Trace(LPCSTR pszHost, int nPort, int nScheme, LPCSTR pszPath, LPCSTR pszText);

    HINTERNET OpenRequest(LPCSTR pszVerb, LPCSTR pszPath, LPCSTR pszReferer, DWORD dwFlags);
    void AddHeader(LPCSTR pszHeader, DWORD dwModifiers);
    void SetCookies(LPCSTR pszPath);
    void CloseRequest();
    bool QueryNumber(DWORD dwInfo, DWORD& dwValue);
    bool FtpTransfer(LPCSTR pszRemote, LPCSTR pszLocalFile, bool bAscii, bool bUpload);
};

// The same operations on an asynchronous session: the caller's status
// callback sees each request with the client as its context; SignalDone and
// WaitDone pair the callback with a waiting caller.
class CAsyncHttpClient : public CHttpClient {
public:
    explicit CAsyncHttpClient(INTERNET_STATUS_CALLBACK pfnCallback);
    ~CAsyncHttpClient() override;

    void SignalDone() { ::SetEvent(m_hDone); }
    bool WaitDone(DWORD dwTimeout) { return ::WaitForSingleObject(m_hDone, dwTimeout) == WAIT_OBJECT_0; }

    INTERNET_STATUS_CALLBACK m_pfnPrevious = nullptr;

protected:
    void RequestPost(LPCSTR pszPath, LPCSTR pszReferer) override;
    void RequestGet(LPCSTR pszPath, LPCSTR pszReferer) override;
    void SessionOpened() override;
    DWORD SessionFlags() const override { return INTERNET_FLAG_ASYNC; }
    DWORD_PTR Context() override { return reinterpret_cast<DWORD_PTR>(this); }
    bool Sent(BOOL bOk) const override;

private:
    INTERNET_STATUS_CALLBACK m_pfnCallback;
    HANDLE m_hDone;
};

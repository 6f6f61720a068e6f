#include "skinbrowser/httpclient.h"

#include "afx/afxfile.h"

#include <cstdio>
#include <vector>

namespace {

const char kVersion[] = "HTTP/1.0";
const char kAcceptHeader[] = "Accept: */*\r\n";
const char kFormHeader[] = "Content-Type: application/x-www-form-urlencoded\r\n";
const char kMultipartHeader[] = "Content-Type: multipart/form-data; boundary=--MULTI-PARTS-FORM-DATA-BOUNDARY\r\n";
const char kLengthHeader[] = "Content-Length: %d\r\n";

// The request operations throw these; Request catches them.
struct CHttpFailure {
    LPCSTR pszText;
};

[[noreturn]] void Fail(LPCSTR pszText) { throw CHttpFailure{pszText}; }

char g_szContentType[1024];

CString Formatted(LPCSTR pszFormat, double value)
{
    CString text;
    text.Format(pszFormat, value);
    return text;
}

CString Formatted(LPCSTR pszFormat, long value)
{
    CString text;
    text.Format(pszFormat, value);
    return text;
}

bool HasHeader(HINTERNET hRequest, DWORD dwInfo)
{
    char buffer[256];
    DWORD size = sizeof buffer;
    DWORD index = 0;
    return ::HttpQueryInfoA(hRequest, dwInfo | HTTP_QUERY_FLAG_REQUEST_HEADERS, buffer, &size, &index)
           || ::GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

} // namespace

CHttpClient::~CHttpClient() = default;

void CHttpClient::Trace(LPCSTR, int, int, LPCSTR, LPCSTR) {}

bool CHttpClient::Sent(BOOL bOk) const { return bOk != FALSE; }

bool CHttpClient::ConnectUrl(LPCSTR pszUrl, LPCSTR pszUser, LPCSTR pszPassword, LPCSTR pszAgent)
{
    CUrlParts parts;
    if (!SplitUrl(pszUrl, parts)) {
        Trace("", 0, -1, pszUrl, "connect failed...");
        return false;
    }
    m_strPath = parts.strPath;
    LPCSTR user = pszUser != nullptr ? pszUser : (parts.strUser.IsEmpty() ? nullptr : (LPCSTR)parts.strUser);
    LPCSTR password =
        pszPassword != nullptr ? pszPassword : (parts.strPassword.IsEmpty() ? nullptr : (LPCSTR)parts.strPassword);
    return Connect(parts.strHost, parts.nPort, user, password, HttpSchemeCode(parts.strScheme), pszAgent);
}

bool CHttpClient::Connect(LPCSTR pszHost, int nPort, LPCSTR pszUser, LPCSTR pszPassword, int nScheme, LPCSTR pszAgent)
{
    const int port = nPort != 0 ? nPort : HttpDefaultPort(nScheme);
    try {
        if (nScheme == HTTP_SCHEME_NONE)
            Fail("connect failed...");
        m_hSession = ::InternetOpenA(pszAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, SessionFlags());
        if (m_hSession == nullptr)
            Fail("open internet failed...");
        SessionOpened();
        const DWORD service = nScheme == HTTP_SCHEME_FTP ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP;
        const DWORD flags = nScheme == HTTP_SCHEME_FTP ? INTERNET_FLAG_PASSIVE : 0;
        m_hConnect = ::InternetConnectA(m_hSession, pszHost, INTERNET_PORT(port), pszUser, pszPassword, service, flags,
                                        Context());
        if (m_hConnect == nullptr)
            Fail("connect failed...");
        // On the connection, not the session: Wine gives a session's
        // timeouts to no connection.
        if (m_dwTimeoutMs != 0) {
            for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                                 INTERNET_OPTION_RECEIVE_TIMEOUT})
                ::InternetSetOptionA(m_hConnect, option, &m_dwTimeoutMs, sizeof m_dwTimeoutMs);
        }
        if (::InternetAttemptConnect(0) != ERROR_SUCCESS)
            Fail("connect failed...");
    } catch (const CHttpFailure& failure) {
        if (m_hConnect != nullptr)
            ::InternetCloseHandle(m_hConnect);
        if (m_hSession != nullptr)
            ::InternetCloseHandle(m_hSession);
        m_hConnect = m_hSession = nullptr;
        Trace(pszHost, port, nScheme, nullptr, failure.pszText);
        return false;
    }
    m_strHost = pszHost;
    m_nPort = port;
    m_nScheme = nScheme;
    if (pszUser != nullptr)
        m_strUser = pszUser;
    if (pszPassword != nullptr)
        m_strPassword = pszPassword;
    m_arguments.clear();
    m_cookies.clear();
    return true;
}

void CHttpClient::Close()
{
    for (HINTERNET* handle : {&m_hRequest, &m_hConnect, &m_hSession}) {
        if (*handle != nullptr)
            ::InternetCloseHandle(*handle);
        *handle = nullptr;
    }
}

void CHttpClient::CloseRequest()
{
    if (m_hRequest != nullptr)
        ::InternetCloseHandle(m_hRequest);
    m_hRequest = nullptr;
}

void CHttpClient::AddArgument(LPCSTR pszName, int nValue) { AddArgument(pszName, long(nValue)); }
void CHttpClient::AddArgument(LPCSTR pszName, long nValue) { AddArgument(pszName, Formatted("%ld", nValue)); }
void CHttpClient::AddArgument(LPCSTR pszName, float fValue) { AddArgument(pszName, double(fValue)); }
void CHttpClient::AddArgument(LPCSTR pszName, double dValue) { AddArgument(pszName, Formatted("%f", dValue)); }
void CHttpClient::AddArgument(LPCSTR pszName, LPCSTR pszValue, bool bFile)
{
    m_arguments.push_back(std::make_unique<CHttpArgument>(pszName, pszValue, bFile));
}

void CHttpClient::AddCookie(LPCSTR pszName, int nValue) { AddCookie(pszName, long(nValue)); }
void CHttpClient::AddCookie(LPCSTR pszName, long nValue) { AddCookie(pszName, Formatted("%ld", nValue)); }
void CHttpClient::AddCookie(LPCSTR pszName, float fValue) { AddCookie(pszName, double(fValue)); }
void CHttpClient::AddCookie(LPCSTR pszName, double dValue) { AddCookie(pszName, Formatted("%f", dValue)); }
void CHttpClient::AddCookie(LPCSTR pszName, LPCSTR pszValue)
{
    m_cookies.push_back(std::make_unique<CHttpCookie>(pszName, pszValue));
}

HINTERNET CHttpClient::OpenRequest(LPCSTR pszVerb, LPCSTR pszPath, LPCSTR pszReferer, DWORD dwFlags)
{
    if (m_hConnect == nullptr)
        Fail("handle not opened...");
    CloseRequest();
    dwFlags |= m_dwRequestFlags;
    if (m_nScheme == HTTP_SCHEME_HTTPS)
        dwFlags |= INTERNET_FLAG_SECURE;
    LPCSTR accept[] = {"*/*", nullptr};
    m_hRequest = ::HttpOpenRequestA(m_hConnect, pszVerb, pszPath, kVersion, pszReferer, accept, dwFlags, Context());
    if (m_hRequest == nullptr)
        Fail("request failed...");
    AddHeader(kAcceptHeader, HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
    return m_hRequest;
}

void CHttpClient::AddHeader(LPCSTR pszHeader, DWORD dwModifiers)
{
    if (!::HttpAddRequestHeadersA(m_hRequest, pszHeader, DWORD(-1), dwModifiers))
        Fail("additional header failed...");
}

void CHttpClient::SetCookies(LPCSTR pszPath)
{
    if (m_cookies.empty())
        return;
    const CString url = HttpCookieUrl(m_nScheme, m_strHost, m_nPort, pszPath);
    for (const auto& cookie : m_cookies) {
        if (!::InternetSetCookieA(url, cookie->m_strName, cookie->m_strValue))
            Fail("add cookie failed...");
    }
}

void CHttpClient::RequestGet(LPCSTR pszPath, LPCSTR pszReferer)
{
    OpenRequest("GET", pszPath, pszReferer, INTERNET_FLAG_NO_CACHE_WRITE);
    SetCookies(pszPath);
    if (!Sent(::HttpSendRequestA(m_hRequest, nullptr, 0, nullptr, 0)))
        Fail("request failed...");
}

void CHttpClient::RequestPost(LPCSTR pszPath, LPCSTR pszReferer)
{
    OpenRequest("POST", pszPath, pszReferer,
                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_FORMS_SUBMIT);
    SetCookies(pszPath);
    CString body = HttpFormBody(m_arguments);
    const BOOL ok = ::HttpSendRequestA(m_hRequest, kFormHeader, DWORD(-1), body.GetBuffer(), DWORD(body.GetLength()));
    body.ReleaseBuffer(body.GetLength());
    if (!Sent(ok) && ::GetLastError() != ERROR_HTTP_REDIRECT_NEEDS_CONFIRMATION)
        Fail("request failed...");
}

void CHttpClient::RequestPostMultiParts(LPCSTR pszPath, LPCSTR pszReferer)
{
    OpenRequest("POST", pszPath, pszReferer,
                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_FORMS_SUBMIT);
    if (!HasHeader(m_hRequest, HTTP_QUERY_CONTENT_TYPE))
        AddHeader(kMultipartHeader, HTTP_ADDREQ_FLAG_ADD);
    SetCookies(pszPath);
    std::vector<BYTE> body = HttpMultipartBody(m_arguments);
    if (!HasHeader(m_hRequest, HTTP_QUERY_CONTENT_LENGTH)) {
        char header[64];
        std::snprintf(header, sizeof header, kLengthHeader, int(body.size()));
        AddHeader(header, HTTP_ADDREQ_FLAG_ADD);
    }
    INTERNET_BUFFERSA buffers = {};
    buffers.dwStructSize = sizeof buffers;
    DWORD written = 0;
    if (!Sent(::HttpSendRequestExA(m_hRequest, &buffers, nullptr, HSR_INITIATE, Context()))
        || !::InternetWriteFile(m_hRequest, body.data(), DWORD(body.size()), &written)
        || !Sent(::HttpEndRequestA(m_hRequest, nullptr, HSR_INITIATE, Context())))
        Fail("request failed");
}

bool CHttpClient::Request(LPCSTR pszPath, int nMethod, LPCSTR pszReferer)
{
    LPCSTR failure = nullptr;
    try {
        switch (nMethod) {
        case METHOD_GET:
            RequestGet(pszPath, pszReferer);
            break;
        case METHOD_POST:
            RequestPost(pszPath, pszReferer);
            break;
        case METHOD_POST_MULTIPARTS:
            RequestPostMultiParts(pszPath, pszReferer);
            break;
        default:
            Fail("request failed...");
        }
    } catch (const CHttpFailure& f) {
        failure = f.pszText;
    } catch (...) {
        failure = "unknown exception...";
    }
    if (failure != nullptr) {
        CloseRequest();
        Trace(m_strHost, m_nPort, m_nScheme, pszPath, failure);
        return false;
    }
    m_strPath = pszPath;
    return true;
}

DWORD CHttpClient::Response(BYTE* pBuffer, DWORD nSize)
{
    LPCSTR failure = nullptr;
    DWORD read = 0;
    if (m_hRequest == nullptr)
        failure = "connection failed...";
    else if (!::InternetReadFile(m_hRequest, pBuffer, nSize, &read))
        failure = "response failed...";
    if (failure == nullptr)
        return read;
    CloseRequest();
    Trace(m_strHost, m_nPort, m_nScheme, m_strPath, failure);
    return 0;
}

bool CHttpClient::QueryNumber(DWORD dwInfo, DWORD& dwValue)
{
    char buffer[1024];
    DWORD size = sizeof buffer;
    if (m_hRequest == nullptr || !::HttpQueryInfoA(m_hRequest, dwInfo, buffer, &size, nullptr)) {
        Trace(m_strHost, m_nPort, m_nScheme, m_strPath, "query failed...");
        return false;
    }
    buffer[size < sizeof buffer ? size : sizeof buffer - 1] = '\0';
    dwValue = std::strtoul(buffer, nullptr, 10);
    return true;
}

DWORD CHttpClient::QueryContentLength()
{
    DWORD value = 0;
    return QueryNumber(HTTP_QUERY_CONTENT_LENGTH, value) ? value : 0;
}

DWORD CHttpClient::QueryStatusCode()
{
    DWORD value = 0;
    return QueryNumber(HTTP_QUERY_STATUS_CODE, value) ? value : 404;
}

LPCSTR CHttpClient::QueryContentType()
{
    DWORD size = sizeof g_szContentType - 1;
    if (m_hRequest == nullptr || !::HttpQueryInfoA(m_hRequest, HTTP_QUERY_CONTENT_TYPE, g_szContentType, &size, nullptr)) {
        Trace(m_strHost, m_nPort, m_nScheme, m_strPath, "query failed...");
        return nullptr;
    }
    g_szContentType[size] = '\0';
    return g_szContentType;
}

DWORD CHttpClient::QueryRawHeaders(LPSTR pszBuffer, DWORD nSize)
{
    DWORD size = nSize;
    if (m_hRequest == nullptr || pszBuffer == nullptr
        || !::HttpQueryInfoA(m_hRequest, HTTP_QUERY_RAW_HEADERS_CRLF, pszBuffer, &size, nullptr)) {
        Trace(m_strHost, m_nPort, m_nScheme, m_strPath, "query failed...");
        return 0;
    }
    return size;
}

DWORD CHttpClient::QueryCookie(LPSTR pszBuffer, DWORD nSize, DWORD nIndex)
{
    DWORD size = nSize;
    DWORD index = nIndex;
    if (m_hRequest == nullptr || pszBuffer == nullptr
        || !::HttpQueryInfoA(m_hRequest, HTTP_QUERY_SET_COOKIE, pszBuffer, &size, &index)) {
        Trace(m_strHost, m_nPort, m_nScheme, m_strPath, "query failed...");
        return 0;
    }
    return size;
}

bool CHttpClient::FtpTransfer(LPCSTR pszRemote, LPCSTR pszLocalFile, bool bAscii, bool bUpload)
{
    LPCSTR failure = nullptr;
    HINTERNET hFile = nullptr;
    CFile local;
    const DWORD type = bAscii ? FTP_TRANSFER_TYPE_ASCII : FTP_TRANSFER_TYPE_BINARY;
    if (m_hSession == nullptr || m_hConnect == nullptr) {
        failure = "connection failed";
    } else if (!local.Open(pszLocalFile, bUpload ? (CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary)
                                                 : (CFile::modeCreate | CFile::modeWrite | CFile::typeBinary))) {
        failure = "request failed...";
    } else if ((hFile = ::FtpOpenFileA(m_hConnect, pszRemote, bUpload ? GENERIC_WRITE : GENERIC_READ, type, Context()))
               == nullptr) {
        failure = "request failed...";
    } else {
        BYTE block[1024];
        try {
            for (;;) {
                DWORD n = 0;
                if (bUpload) {
                    n = local.Read(block, sizeof block);
                    DWORD written = 0;
                    if (n == 0 || !::InternetWriteFile(hFile, block, n, &written) || written != n)
                        break;
                } else {
                    if (!::InternetReadFile(hFile, block, sizeof block, &n) || n == 0)
                        break;
                    local.Write(block, n);
                }
            }
        } catch (CFileException* e) {
            e->Delete();
            failure = "request failed...";
        }
    }
    if (local.m_hFile != CFile::hFileNull)
        local.Close();
    if (hFile != nullptr)
        ::InternetCloseHandle(hFile);
    if (failure != nullptr) {
        Trace(m_strHost, m_nPort, m_nScheme, pszRemote, failure);
        return false;
    }
    return true;
}

bool CHttpClient::FtpGetFile(LPCSTR pszRemote, LPCSTR pszLocalFile, bool bAscii)
{
    return FtpTransfer(pszRemote, pszLocalFile, bAscii, false);
}

bool CHttpClient::FtpPutFile(LPCSTR pszRemote, LPCSTR pszLocalFile, bool bAscii)
{
    return FtpTransfer(pszRemote, pszLocalFile, bAscii, true);
}

DWORD CHttpClient::FtpRead(LPCSTR pszRemote, BYTE* pBuffer, DWORD nSize, bool bAscii)
{
    if (m_hSession == nullptr || m_hConnect == nullptr) {
        Trace(m_strHost, m_nPort, m_nScheme, pszRemote, "connection failed");
        return 0;
    }
    if (m_hRequest == nullptr) {
        m_hRequest = ::FtpOpenFileA(m_hConnect, pszRemote, GENERIC_READ,
                                    bAscii ? FTP_TRANSFER_TYPE_ASCII : FTP_TRANSFER_TYPE_BINARY, Context());
        if (m_hRequest == nullptr) {
            Trace(m_strHost, m_nPort, m_nScheme, pszRemote, "request failed...");
            return 0;
        }
    }
    DWORD read = 0;
    if (!::InternetReadFile(m_hRequest, pBuffer, nSize, &read) || read == 0) {
        CloseRequest();
        return 0;
    }
    return read;
}

DWORD CHttpClient::FtpWrite(LPCSTR pszRemote, const BYTE* pBuffer, DWORD nSize, bool bAscii)
{
    if (m_hSession == nullptr || m_hConnect == nullptr) {
        Trace(m_strHost, m_nPort, m_nScheme, pszRemote, "connection failed");
        return 0;
    }
    if (m_hRequest == nullptr) {
        m_hRequest = ::FtpOpenFileA(m_hConnect, pszRemote, GENERIC_WRITE,
                                    bAscii ? FTP_TRANSFER_TYPE_ASCII : FTP_TRANSFER_TYPE_BINARY, Context());
        if (m_hRequest == nullptr) {
            Trace(m_strHost, m_nPort, m_nScheme, pszRemote, "request failed...");
            return 0;
        }
    }
    DWORD written = 0;
    if (!::InternetWriteFile(m_hRequest, pBuffer, nSize, &written) || written == 0) {
        CloseRequest();
        return 0;
    }
    return written;
}

CAsyncHttpClient::CAsyncHttpClient(INTERNET_STATUS_CALLBACK pfnCallback)
    : m_pfnCallback(pfnCallback), m_hDone(::CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
}

CAsyncHttpClient::~CAsyncHttpClient()
{
    if (m_hDone != nullptr)
        ::CloseHandle(m_hDone);
}

bool CAsyncHttpClient::Sent(BOOL bOk) const { return bOk || ::GetLastError() == ERROR_IO_PENDING; }

namespace {
const DWORD kAsyncSendMs = 30000;
} // namespace

// Handles take the callback their parent has when they are made: the
// session gets it before the connection is opened.
void CAsyncHttpClient::SessionOpened() { m_pfnPrevious = ::InternetSetStatusCallbackA(m_hSession, m_pfnCallback); }

void CAsyncHttpClient::RequestGet(LPCSTR pszPath, LPCSTR pszReferer)
{
    OpenRequest("GET", pszPath, pszReferer, INTERNET_FLAG_NO_CACHE_WRITE);
    SetCookies(pszPath);
    if (!Sent(::HttpSendRequestA(m_hRequest, nullptr, 0, nullptr, 0)))
        Fail("asynchronized request failed...");
}

void CAsyncHttpClient::RequestPost(LPCSTR pszPath, LPCSTR pszReferer)
{
    OpenRequest("POST", pszPath, pszReferer,
                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_FORMS_SUBMIT);
    SetCookies(pszPath);
    CString body = HttpFormBody(m_arguments);
    INTERNET_BUFFERSA buffers = {};
    buffers.dwStructSize = sizeof buffers;
    buffers.lpcszHeader = kFormHeader;
    buffers.dwHeadersLength = DWORD(sizeof kFormHeader - 1);
    buffers.lpvBuffer = body.GetBuffer();
    buffers.dwBufferLength = buffers.dwBufferTotal = DWORD(body.GetLength());
    // The request may end only once its body is sent, and the body must live
    // until then: a pending send is waited for (the callback signals it).
    BOOL ok = ::HttpSendRequestExA(m_hRequest, &buffers, nullptr, HSR_INITIATE, Context());
    if (!ok && ::GetLastError() == ERROR_IO_PENDING)
        ok = WaitDone(kAsyncSendMs);
    body.ReleaseBuffer(body.GetLength());
    if (!ok || !Sent(::HttpEndRequestA(m_hRequest, nullptr, HSR_INITIATE, Context())))
        Fail("request failed...");
}

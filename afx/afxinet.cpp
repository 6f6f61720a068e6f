#include "afx/afxinet.h"

#include <atomic>

namespace {

std::atomic<AFXINETREQUESTHOOK> g_pfnRequestHook{nullptr};

} // namespace

AFXINETREQUESTHOOK AfxSetInternetRequestHook(AFXINETREQUESTHOOK pfnHook) { return g_pfnRequestHook.exchange(pfnHook); }

CString CInternetException::GetText() const
{
    char text[512] = "";
    const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS;
    if (::FormatMessageA(flags, ::GetModuleHandleA("wininet.dll"), m_dwError, 0, text, sizeof text, nullptr) == 0)
        wsprintfA(text, "Internet error %lu", static_cast<unsigned long>(m_dwError));
    CString message(text);
    message.TrimRight();
    return message;
}

void AfxThrowInternetException(DWORD_PTR dwContext, DWORD dwError)
{
    throw new CInternetException(dwError != 0 ? dwError : ::GetLastError(), dwContext);
}

// Each byte is looked at once: a long line is not searched again for its
// end after every block.
BOOL CStdioFile::ReadString(CString& rString)
{
    for (;;) {
        const int newline = m_strPending.Find('\n', m_nScanned);
        if (newline >= 0 || m_bEnd) {
            if (newline < 0 && m_strPending.IsEmpty())
                return FALSE;
            rString = newline >= 0 ? m_strPending.Left(newline) : m_strPending;
            m_strPending = newline >= 0 ? m_strPending.Mid(newline + 1) : CString();
            m_nScanned = 0;
            if (!rString.IsEmpty() && rString[rString.GetLength() - 1] == '\r')
                rString = rString.Left(rString.GetLength() - 1);
            return TRUE;
        }
        m_nScanned = m_strPending.GetLength();
        char block[512];
        const UINT n = Read(block, sizeof block);
        if (n == 0)
            m_bEnd = true;
        else
            m_strPending += CString(block, int(n));
    }
}

CInternetFile::CInternetFile(HINTERNET hFile, LPCSTR pszUrl, DWORD_PTR dwContext) : m_hInternet(hFile), m_dwContext(dwContext)
{
    m_strFileName = pszUrl;
}

CInternetFile::~CInternetFile() { Abort(); }

UINT CInternetFile::Read(void* lpBuf, UINT nCount)
{
    DWORD read = 0;
    if (m_hInternet == nullptr || !::InternetReadFile(m_hInternet, lpBuf, nCount, &read))
        AfxThrowInternetException(m_dwContext, m_hInternet == nullptr ? ERROR_INVALID_HANDLE : 0);
    return read;
}

void CInternetFile::Write(const void* lpBuf, UINT nCount)
{
    DWORD written = 0;
    if (m_hInternet == nullptr || !::InternetWriteFile(m_hInternet, lpBuf, nCount, &written) || written != nCount)
        AfxThrowInternetException(m_dwContext, m_hInternet == nullptr ? ERROR_INVALID_HANDLE : 0);
}

void CInternetFile::Close()
{
    if (m_hInternet != nullptr && !::InternetCloseHandle(m_hInternet)) {
        m_hInternet = nullptr;
        AfxThrowInternetException(m_dwContext);
    }
    m_hInternet = nullptr;
}

void CInternetFile::Abort()
{
    if (m_hInternet != nullptr)
        ::InternetCloseHandle(m_hInternet);
    m_hInternet = nullptr;
}

BOOL CHttpFile::SendRequest(LPCSTR pstrHeaders, DWORD dwHeadersLen, LPVOID lpOptional, DWORD dwOptionalLen)
{
    if (m_hInternet == nullptr
        || !::HttpSendRequestA(m_hInternet, pstrHeaders, pstrHeaders != nullptr ? dwHeadersLen : 0, lpOptional,
                               dwOptionalLen))
        AfxThrowInternetException(m_dwContext, m_hInternet == nullptr ? ERROR_INVALID_HANDLE : 0);
    return TRUE;
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const
{
    DWORD size = sizeof dwStatusCode;
    return m_hInternet != nullptr
           && ::HttpQueryInfoA(m_hInternet, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatusCode, &size, nullptr);
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, CString& str) const
{
    char buffer[1024];
    DWORD size = sizeof buffer - 1;
    if (m_hInternet == nullptr || !::HttpQueryInfoA(m_hInternet, dwInfoLevel, buffer, &size, nullptr))
        return FALSE;
    str = CString(buffer, int(size));
    return TRUE;
}

CInternetConnection::CInternetConnection(HINTERNET hConnection, LPCSTR pstrServer, INTERNET_PORT nPort,
                                         DWORD_PTR dwContext)
    : m_hConnection(hConnection), m_strServer(pstrServer), m_nPort(nPort), m_dwContext(dwContext)
{
}

CInternetConnection::~CInternetConnection() { Close(); }

BOOL CInternetConnection::SetOption(DWORD dwOption, DWORD dwValue)
{
    return m_hConnection != nullptr && ::InternetSetOptionA(m_hConnection, dwOption, &dwValue, sizeof dwValue);
}

void CInternetConnection::Close()
{
    if (m_hConnection != nullptr)
        ::InternetCloseHandle(m_hConnection);
    m_hConnection = nullptr;
}

CHttpFile* CHttpConnection::OpenRequest(LPCSTR pstrVerb, LPCSTR pstrObjectName, LPCSTR pstrReferer,
                                        DWORD_PTR dwContext, LPCSTR* ppstrAcceptTypes, LPCSTR pstrVersion,
                                        DWORD dwFlags)
{
    CString url;
    url.Format("%s://%s:%u%s", (dwFlags & INTERNET_FLAG_SECURE) ? "https" : "http", m_strServer.GetString(),
               unsigned(m_nPort), pstrObjectName);
    if (AFXINETREQUESTHOOK hook = g_pfnRequestHook.load())
        hook(url, dwFlags);
    if (m_hConnection == nullptr)
        AfxThrowInternetException(dwContext, ERROR_INVALID_HANDLE);
    HINTERNET hRequest = ::HttpOpenRequestA(m_hConnection, pstrVerb, pstrObjectName, pstrVersion, pstrReferer,
                                            ppstrAcceptTypes, dwFlags, dwContext);
    if (hRequest == nullptr)
        AfxThrowInternetException(dwContext);
    return new CHttpFile(hRequest, url, dwContext);
}

CInternetSession::CInternetSession(LPCSTR pstrAgent, DWORD_PTR dwContext, DWORD dwAccessType, LPCSTR pstrProxyName,
                                   LPCSTR pstrProxyBypass, DWORD dwFlags)
    : m_hSession(::InternetOpenA(pstrAgent, dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags)), m_dwContext(dwContext)
{
}

CInternetSession::~CInternetSession() { Close(); }

void CInternetSession::Close()
{
    if (m_hSession != nullptr)
        ::InternetCloseHandle(m_hSession);
    m_hSession = nullptr;
}

CStdioFile* CInternetSession::OpenURL(LPCSTR pstrURL, DWORD_PTR dwContext, DWORD dwFlags, LPCSTR pstrHeaders,
                                      DWORD dwHeadersLength)
{
    if (AFXINETREQUESTHOOK hook = g_pfnRequestHook.load())
        hook(pstrURL, dwFlags);
    if (m_hSession == nullptr)
        AfxThrowInternetException(dwContext);
    HINTERNET hFile = ::InternetOpenUrlA(m_hSession, pstrURL, pstrHeaders, pstrHeaders != nullptr ? dwHeadersLength : 0,
                                         dwFlags, dwContext);
    if (hFile == nullptr)
        AfxThrowInternetException(dwContext);
    const CString url(pstrURL);
    if (url.Left(7).CompareNoCase("http://") == 0 || url.Left(8).CompareNoCase("https://") == 0)
        return new CHttpFile(hFile, pstrURL, dwContext);
    return new CInternetFile(hFile, pstrURL, dwContext);
}

CHttpConnection* CInternetSession::GetHttpConnection(LPCSTR pstrServer, INTERNET_PORT nPort, LPCSTR pstrUserName,
                                                     LPCSTR pstrPassword)
{
    if (m_hSession == nullptr)
        AfxThrowInternetException(m_dwContext, ERROR_INVALID_HANDLE);
    HINTERNET hConnection = ::InternetConnectA(m_hSession, pstrServer, nPort, pstrUserName, pstrPassword,
                                               INTERNET_SERVICE_HTTP, 0, m_dwContext);
    if (hConnection == nullptr)
        AfxThrowInternetException(m_dwContext);
    return new CHttpConnection(hConnection, pstrServer, nPort, m_dwContext);
}

// The parts of the HTTP client that need no network: splitting a URL, the
// request arguments and cookies, and the bodies and cookie address built
// from them. The WinINet client (httpclient.h) sends what these build.
#pragma once

#include "afx/afx.h"

#include <memory>
#include <vector>

// Each part of a split URL holds at most this many characters.
constexpr int HTTP_MAX_URL_PART = 1023;

enum HTTPSCHEME { HTTP_SCHEME_FTP = 0, HTTP_SCHEME_HTTP = 1, HTTP_SCHEME_HTTPS = 2, HTTP_SCHEME_NONE = -1 };

struct CUrlParts {
    CString strScheme;
    CString strUser;
    CString strPassword;
    CString strHost;
    int nPort = 0;
    CString strPath;
};

// FALSE (parts untouched) when a part would be longer than HTTP_MAX_URL_PART.
BOOL SplitUrl(LPCSTR pszUrl, CUrlParts& parts);
// "https..." 2, "http..." 1, "ftp..." 0, anything else HTTP_SCHEME_NONE.
int HttpSchemeCode(const CString& strScheme);
// The scheme's port when none is given: 21, 80 or 443.
int HttpDefaultPort(int nScheme);

class CHttpArgument {
public:
    CHttpArgument(LPCSTR pszName, LPCSTR pszValue, bool bFile) : m_strName(pszName), m_strValue(pszValue), m_bFile(bFile) {}
    CString m_strName;
    CString m_strValue;
    bool m_bFile; // the value is the path of a file to upload
};

class CHttpCookie {
public:
    CHttpCookie(LPCSTR pszName, LPCSTR pszValue) : m_strName(pszName), m_strValue(pszValue) {}
    CString m_strName;
    CString m_strValue;
};

using CHttpArguments = std::vector<std::unique_ptr<CHttpArgument>>;
using CHttpCookies = std::vector<std::unique_ptr<CHttpCookie>>;

extern const char HTTP_MULTIPART_BOUNDARY[];

// name=value pairs joined with "&" in order, unescaped, as the server expects.
CString HttpFormBody(const CHttpArguments& arguments);
// The multipart/form-data body; a file that cannot be read contributes its
// header only. The buffer grows with what is written.
std::vector<BYTE> HttpMultipartBody(const CHttpArguments& arguments);
// The address cookies are set for: scheme + host (+ port unless the
// scheme's own) + path.
CString HttpCookieUrl(int nScheme, const CString& strHost, int nPort, const CString& strPath);

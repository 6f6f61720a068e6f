#include "skinbrowser/httpurl.h"

#include "afx/afxfile.h"

#include <cstring>

const char HTTP_MULTIPART_BOUNDARY[] = "--MULTI-PARTS-FORM-DATA-BOUNDARY";

namespace {

bool Fits(int nLength) { return nLength <= HTTP_MAX_URL_PART; }

} // namespace

BOOL SplitUrl(LPCSTR pszUrl, CUrlParts& parts)
{
    const CString url(pszUrl != nullptr ? pszUrl : "");
    CUrlParts out;
    int p = url.Find(':');
    if (p < 0)
        p = url.GetLength();
    CString rest;
    if (p + 1 < url.GetLength() && url[p + 1] == '/') {
        out.strScheme = url.Left(p);
        rest = url.Mid(p + 3 <= url.GetLength() ? p + 3 : url.GetLength());
    } else {
        out.strScheme = "http";
        rest = url;
    }

    const int at = rest.Find('@');
    if (at >= 0) {
        const CString info = rest.Left(at);
        const int colon = info.Find(':');
        if (colon >= 0) {
            out.strUser = info.Left(colon);
            out.strPassword = info.Mid(colon + 1);
        }
        rest = rest.Mid(at + 1);
    }

    const int slash = rest.Find('/');
    const CString hostPart = slash >= 0 ? rest.Left(slash) : rest;
    const int colon = hostPart.Find(':');
    if (colon >= 0) {
        out.strHost = hostPart.Left(colon);
        const CString port = hostPart.Mid(colon + 1);
        long n = 0;
        for (int i = 0; i < port.GetLength() && port[i] >= '0' && port[i] <= '9' && n <= 65535; i++)
            n = n * 10 + (port[i] - '0');
        out.nPort = n <= 65535 ? int(n) : 0;
    } else {
        out.strHost = hostPart;
        out.nPort = out.strScheme == "https" ? 443 : (out.strScheme == "ftp" ? 21 : 80);
    }
    out.strPath = slash >= 0 ? rest.Mid(slash) : CString("/");

    if (!Fits(out.strScheme.GetLength()) || !Fits(out.strUser.GetLength()) || !Fits(out.strPassword.GetLength())
        || !Fits(out.strHost.GetLength()) || !Fits(out.strPath.GetLength()))
        return FALSE;
    parts = out;
    return TRUE;
}

int HttpSchemeCode(const CString& strScheme)
{
    if (strScheme.Left(5) == "https")
        return HTTP_SCHEME_HTTPS;
    if (strScheme.Left(4) == "http")
        return HTTP_SCHEME_HTTP;
    if (strScheme.Left(3) == "ftp")
        return HTTP_SCHEME_FTP;
    return HTTP_SCHEME_NONE;
}

int HttpDefaultPort(int nScheme)
{
    return nScheme == HTTP_SCHEME_FTP ? 21 : (nScheme == HTTP_SCHEME_HTTPS ? 443 : 80);
}

CString HttpFormBody(const CHttpArguments& arguments)
{
    CString body;
    for (size_t i = 0; i < arguments.size(); i++) {
        if (i > 0)
            body += "&";
        body += arguments[i]->m_strName + "=" + arguments[i]->m_strValue;
    }
    return body;
}

std::vector<BYTE> HttpMultipartBody(const CHttpArguments& arguments)
{
    std::vector<BYTE> body;
    auto put = [&body](const CString& text) {
        body.insert(body.end(), (LPCSTR)text, (LPCSTR)text + text.GetLength());
    };
    for (const auto& argument : arguments) {
        CString part;
        if (!argument->m_bFile) {
            part.Format("--%s\r\nContent-Disposition: form-data; name=\"%s\"\r\n\r\n%s\r\n", HTTP_MULTIPART_BOUNDARY,
                        (LPCSTR)argument->m_strName, (LPCSTR)argument->m_strValue);
            put(part);
            continue;
        }
        part.Format("--%s\r\nContent-Disposition: form-data; name=\"%s\"; filename=\"%s\"\r\n\r\n",
                    HTTP_MULTIPART_BOUNDARY, (LPCSTR)argument->m_strName, (LPCSTR)argument->m_strValue);
        put(part);
        CFile file;
        if (!file.Open(argument->m_strValue, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary))
            continue;
        BYTE block[1024];
        try {
            for (UINT n; (n = file.Read(block, sizeof block)) > 0;)
                body.insert(body.end(), block, block + n);
        } catch (CFileException* e) {
            // What was read stays: the part ends where the file could no longer be read.
            e->Delete();
        }
        file.Close();
        put("\r\n");
    }
    put(CString("--") + HTTP_MULTIPART_BOUNDARY + "--\r\n");
    return body;
}

CString HttpCookieUrl(int nScheme, const CString& strHost, int nPort, const CString& strPath)
{
    const bool bSecure = nScheme == HTTP_SCHEME_HTTPS;
    CString url = CString(bSecure ? "https://" : "http://") + strHost;
    if (nPort != (bSecure ? 443 : 80)) {
        CString port;
        port.Format(":%d", nPort);
        url += port;
    }
    return url + strPath;
}

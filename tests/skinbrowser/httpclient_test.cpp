// The WinINet client and the framework's internet session against local
// servers (tools/skinserver): the skin site over HTTP, an echo for request
// bodies and cookies, and an FTP server.
#include "afx/afxinet.h"
#include "skinbrowser/httpclient.h"
#include "support/tempfolder.h"
#include "support/win_process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int Port(const char* server)
{
    return std::atoi(ReadFile(vtest::WinePath(std::string(VELTRAN_TEST_SERVERS) + "/" + server + "/port")).c_str());
}

std::string Url(const std::string& path) { return "http://127.0.0.1:" + std::to_string(Port("http")) + path; }

std::string ReadBody(CHttpClient& client)
{
    std::string body;
    BYTE block[333];
    for (DWORD n; (n = client.Response(block, sizeof block)) > 0;)
        body.append(reinterpret_cast<char*>(block), n);
    return body;
}

std::string SiteFile(const char* path) { return ReadFile(vtest::WinePath(std::string(VELTRAN_SKIN_SITE) + path)); }

TEST(HttpClient, GetWithTheSizeProbeAndHeaderQueries)
{
    CHttpClient client;
    EXPECT_EQ(404u, client.QueryStatusCode());
    ASSERT_TRUE(client.ConnectUrl(Url("/skins/acs//Samples//Simple.jpg").c_str(), nullptr, nullptr,
                                  "Mozilla/4.0 (compatible; )"));
    EXPECT_STREQ("/skins/acs//Samples//Simple.jpg", client.GetPath());
    EXPECT_STREQ("127.0.0.1", client.m_strHost);
    EXPECT_EQ(Port("http"), client.m_nPort);
    ASSERT_TRUE(client.Request(client.GetPath(), CHttpClient::METHOD_GET));
    const std::string expected = SiteFile("/skins/acs/Samples/Simple.jpg");
    ASSERT_GT(expected.size(), 1000u);
    EXPECT_EQ(200u, client.QueryStatusCode());
    EXPECT_EQ(expected.size(), client.QueryContentLength());
    EXPECT_STREQ("application/octet-stream", client.QueryContentType());
    char headers[2048];
    const DWORD n = client.QueryRawHeaders(headers, sizeof headers);
    ASSERT_GT(n, 0u);
    EXPECT_NE(std::string::npos, std::string(headers, n).find("200"));
    EXPECT_EQ(expected, ReadBody(client));

    ASSERT_TRUE(client.Request("/no/such/file", CHttpClient::METHOD_GET));
    EXPECT_EQ(404u, client.QueryStatusCode());
    EXPECT_STREQ("/no/such/file", client.GetPath());
    client.Close();
    EXPECT_EQ(nullptr, client.m_hSession);
    // No request any more: nothing to read.
    BYTE b[4];
    EXPECT_EQ(0u, client.Response(b, sizeof b));
    EXPECT_FALSE(client.Request("/x", CHttpClient::METHOD_GET));
}

TEST(HttpClient, PostBodiesAndCookiesReachTheServer)
{
    CHttpClient client;
    ASSERT_TRUE(client.ConnectUrl(Url("/").c_str(), nullptr, nullptr, "test"));
    client.AddArgument("n", 5);
    client.AddArgument("s", "x y");
    ASSERT_TRUE(client.Request("/form", CHttpClient::METHOD_POST));
    char type[256];
    DWORD size = sizeof type;
    ASSERT_TRUE(HttpQueryInfoA(client.m_hRequest, HTTP_QUERY_CUSTOM, strcpy(type, "X-Echo-Content-Type"), &size, nullptr));
    EXPECT_STREQ("application/x-www-form-urlencoded", type);
    EXPECT_EQ("n=5&s=x y", ReadBody(client));
    char cookie[64];
    const DWORD cookieLength = client.QueryCookie(cookie, sizeof cookie, 0);
    EXPECT_EQ("visit=1", std::string(cookie, cookieLength));

    client.m_arguments.clear();
    client.AddArgument("f", 1.5);
    client.AddArgument("text", "value");
    ASSERT_TRUE(client.Request("/multi", CHttpClient::METHOD_POST_MULTIPARTS));
    const std::vector<BYTE> expected = HttpMultipartBody(client.m_arguments);
    EXPECT_EQ(std::string(expected.begin(), expected.end()), ReadBody(client));

    client.AddCookie("flavour", "oat");
    ASSERT_TRUE(client.Request("/echo", CHttpClient::METHOD_GET));
    EXPECT_NE(std::string::npos, ReadBody(client).find("flavour=oat"));
    client.Close();
}

TEST(HttpClient, FailuresAnswerFalseAndCloseTheRequest)
{
    CHttpClient client;
    EXPECT_FALSE(client.ConnectUrl("gopher://127.0.0.1/", nullptr, nullptr, "test"));
    EXPECT_EQ(nullptr, client.m_hSession);
    EXPECT_FALSE(client.ConnectUrl(("http://h/" + std::string(1100, 'a')).c_str(), nullptr, nullptr, "test"));
    // Nothing listens on port 9: the connection is made lazily, so the request fails.
    ASSERT_TRUE(client.ConnectUrl("http://127.0.0.1:9/", nullptr, nullptr, "test"));
    EXPECT_FALSE(client.Request("/", CHttpClient::METHOD_GET));
    EXPECT_EQ(nullptr, client.m_hRequest);
    EXPECT_EQ(0u, client.QueryContentLength());
    EXPECT_EQ(nullptr, client.QueryContentType());
    client.Close();
}

std::vector<std::string> g_seen;
void Seen(LPCSTR url, DWORD) { g_seen.push_back(url); }

TEST(InternetSession, OpenUrlReadsLinesAndBlocksAndThrowsOnFailure)
{
    g_seen.clear();
    AfxSetInternetRequestHook(Seen);
    {
        CInternetSession session;
        CStdioFile* file = session.OpenURL(Url("/skins/acs/skins.inf").c_str());
        ASSERT_NE(nullptr, file);
        DWORD status = 0;
        ASSERT_NE(nullptr, dynamic_cast<CHttpFile*>(file));
        EXPECT_TRUE(static_cast<CHttpFile*>(file)->QueryInfoStatusCode(status));
        EXPECT_EQ(200u, status);
        std::vector<std::string> lines;
        CString line;
        while (file->ReadString(line))
            lines.push_back((LPCSTR)line);
        ASSERT_EQ(3u, lines.size());
        EXPECT_EQ("Samples;Simple;Veltran team;2026-12-01", lines[0]);
        EXPECT_EQ("Tiny;Pocket;Veltran team;2026-12-03", lines[2]);
        file->Close();
        delete file;

        file = session.OpenURL(Url("/downloadskin.php?type=a&categoryname=Samples&skinname=Simple").c_str(), 1,
                               INTERNET_FLAG_RELOAD | INTERNET_FLAG_TRANSFER_BINARY);
        std::string archive;
        char block[512];
        for (UINT n; (n = file->Read(block, sizeof block)) > 0;)
            archive.append(block, n);
        EXPECT_EQ(SiteFile("/skins/acs/Samples/Simple.acs"), archive);
        delete file;

        bool thrown = false;
        try {
            delete session.OpenURL("http://127.0.0.1:9/x");
        } catch (CInternetException* e) {
            thrown = e->m_dwError != 0 && !e->GetErrorMessage().IsEmpty();
            e->Delete();
        }
        EXPECT_TRUE(thrown);
    }
    AfxSetInternetRequestHook(nullptr);
    ASSERT_EQ(3u, g_seen.size());
    EXPECT_EQ(Url("/skins/acs/skins.inf"), g_seen[0]);
}

// Bounded waits: a server that never answers fails the request after the
// timeout, and one that redirects for ever is answered by its first redirection.
TEST(HttpClient, TimeoutsAndRequestFlagsReachEveryConnection)
{
    CHttpClient client;
    client.m_dwTimeoutMs = 1500;
    ASSERT_TRUE(client.ConnectUrl(Url("/mode/silent/skins/acs/skins.inf").c_str(), nullptr, nullptr, "test"));
    DWORD dwStart = ::GetTickCount();
    EXPECT_FALSE(client.Request(client.GetPath(), CHttpClient::METHOD_GET));
    const DWORD dwTook = ::GetTickCount() - dwStart;
    EXPECT_GE(dwTook, 1400u);
    EXPECT_LT(dwTook, 5000u);
    client.Close();

    client.m_dwRequestFlags = INTERNET_FLAG_NO_AUTO_REDIRECT;
    ASSERT_TRUE(client.ConnectUrl(Url("/mode/redirect-forever/skins/acs/skins.inf").c_str(), nullptr, nullptr, "test"));
    dwStart = ::GetTickCount();
    ASSERT_TRUE(client.Request(client.GetPath(), CHttpClient::METHOD_GET));
    EXPECT_LT(::GetTickCount() - dwStart, 3000u);
    EXPECT_EQ(302u, client.QueryStatusCode());
    EXPECT_EQ(0u, client.QueryContentLength());
    client.Close();
}

TEST(InternetSession, HttpConnectionsTakeTimeoutsForTheirRequests)
{
    g_seen.clear();
    AfxSetInternetRequestHook(Seen);
    CInternetSession session;
    std::unique_ptr<CHttpConnection> connection(session.GetHttpConnection("127.0.0.1", INTERNET_PORT(Port("http"))));
    ASSERT_NE(nullptr, connection);
    EXPECT_TRUE(connection->SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, 1500));
    {
        std::unique_ptr<CHttpFile> file(connection->OpenRequest("GET", "/skins/acs/skins.inf"));
        EXPECT_TRUE(file->SendRequest());
        DWORD dwStatus = 0;
        EXPECT_TRUE(file->QueryInfoStatusCode(dwStatus));
        EXPECT_EQ(200u, dwStatus);
        CString strLine;
        ASSERT_TRUE(file->ReadString(strLine));
        EXPECT_STREQ("Samples;Simple;Veltran team;2026-12-01", strLine);
    }
    std::unique_ptr<CHttpFile> file(connection->OpenRequest("GET", "/mode/silent/skins/acs/skins.inf"));
    const DWORD dwStart = ::GetTickCount();
    DWORD dwError = 0;
    try {
        file->SendRequest();
    } catch (CInternetException* e) {
        dwError = e->m_dwError;
        e->Delete();
    }
    const DWORD dwTook = ::GetTickCount() - dwStart;
    EXPECT_NE(0u, dwError);
    EXPECT_GE(dwTook, 1400u);
    EXPECT_LT(dwTook, 5000u);
    AfxSetInternetRequestHook(nullptr);
    ASSERT_EQ(2u, g_seen.size());
    EXPECT_EQ(Url("/skins/acs/skins.inf"), g_seen[0]);
}

// Lines handed out of memory in blocks of 512 bytes, as an internet file reads.
class CMemoryLines : public CStdioFile {
public:
    explicit CMemoryLines(std::string text) : m_text(std::move(text)) {}
    UINT Read(void* lpBuf, UINT nCount) override
    {
        const UINT n = UINT(std::min<size_t>(std::min<UINT>(nCount, 512), m_text.size() - m_nPos));
        std::memcpy(lpBuf, m_text.data() + m_nPos, n);
        m_nPos += n;
        return n;
    }

private:
    std::string m_text;
    size_t m_nPos = 0;
};

TEST(InternetSession, ReadStringLooksAtEachByteOnce)
{
    // 8 MB without a line end took half a minute when every block searched
    // the whole line again.
    CMemoryLines file(std::string(8 * 1024 * 1024, 'x') + "\r\nlast");
    const DWORD dwStart = ::GetTickCount();
    CString strLine;
    ASSERT_TRUE(file.ReadString(strLine));
    EXPECT_LT(::GetTickCount() - dwStart, 3000u);
    EXPECT_EQ(8 * 1024 * 1024, strLine.GetLength());
    ASSERT_TRUE(file.ReadString(strLine));
    EXPECT_STREQ("last", strLine);
    EXPECT_FALSE(file.ReadString(strLine));
}

TEST(HttpClient, FtpGetPutReadWrite)
{
    CHttpClient client;
    const std::string url = "ftp://127.0.0.1:" + std::to_string(Port("ftp")) + "/";
    ASSERT_TRUE(client.ConnectUrl(url.c_str(), "anonymous", "test@", "test"));
    EXPECT_EQ(HTTP_SCHEME_FTP, client.m_nScheme);

    const vtest::CTempFolder folder("veltran-ftp");
    const std::string local = folder.Str("local.txt");
    ASSERT_TRUE(client.FtpGetFile("hello.txt", local.c_str(), false));
    EXPECT_EQ("ftp file\r\nline two\r\n", ReadFile(local));

    std::ofstream(local, std::ios::binary) << std::string(3000, 'z');
    ASSERT_TRUE(client.FtpPutFile("up.bin", local.c_str(), false));
    EXPECT_EQ(std::string(3000, 'z'), ReadFile(vtest::WinePath(std::string(VELTRAN_TEST_SERVERS) + "/ftproot/up.bin")));

    const BYTE data[] = "written in two calls";
    EXPECT_EQ(10u, client.FtpWrite("w.txt", data, 10, false));
    EXPECT_EQ(10u, client.FtpWrite("w.txt", data + 10, 10, false));
    EXPECT_EQ(0u, client.FtpWrite("w.txt", data, 0, false)); // ends the file

    std::string read;
    BYTE block[7];
    for (DWORD n; (n = client.FtpRead("w.txt", block, sizeof block, false)) > 0;)
        read.append(reinterpret_cast<char*>(block), n);
    EXPECT_EQ("written in two calls", read);
    EXPECT_FALSE(client.FtpGetFile("missing.txt", local.c_str(), false));
    client.Close();
}

// The asynchronous client: requests complete through the caller's callback,
// which sees the client as the request's context.
std::atomic<int> g_nCompleted{0};
std::atomic<DWORD_PTR> g_nContext{0};
void CALLBACK AsyncStatus(HINTERNET, DWORD_PTR dwContext, DWORD dwStatus, LPVOID, DWORD)
{
    if (dwStatus != INTERNET_STATUS_REQUEST_COMPLETE)
        return;
    g_nContext = dwContext;
    g_nCompleted++;
    reinterpret_cast<CAsyncHttpClient*>(dwContext)->SignalDone();
}

TEST(AsyncHttpClient, GetAndPostCompleteThroughTheCallback)
{
    CAsyncHttpClient client(AsyncStatus);
    ASSERT_TRUE(client.ConnectUrl(Url("/skins/acs//Samples//Simple.jpg").c_str(), nullptr, nullptr, "test"));
    ASSERT_TRUE(client.Request(client.GetPath(), CHttpClient::METHOD_GET));
    ASSERT_TRUE(client.WaitDone(10000));
    EXPECT_EQ(reinterpret_cast<DWORD_PTR>(&client), g_nContext.load());
    EXPECT_EQ(200u, client.QueryStatusCode());
    EXPECT_EQ(SiteFile("/skins/acs/Samples/Simple.jpg").size(), client.QueryContentLength());

    client.AddArgument("n", 5);
    client.AddArgument("s", "x y");
    ASSERT_TRUE(client.Request("/form", CHttpClient::METHOD_POST));
    // The client waited for the body's sending; the request's end completes now.
    ASSERT_TRUE(client.WaitDone(10000));
    EXPECT_EQ(3, g_nCompleted.load());
    EXPECT_EQ(200u, client.QueryStatusCode());
    EXPECT_EQ(9u, client.QueryContentLength()); // the echo of n=5&s=x y
    client.Close();
}

} // namespace

#include "skinbrowser/skinworkers.h"

#include "afx/afxapp.h"
#include "afx/afxinet.h"
#include "afx/afxseams.h"
#include "skinbrowser/boundedcall.h"
#include "skinbrowser/httpclient.h"
#include "skinbrowser/skinlist.h"

#include <process.h>

#include <cstdlib>

namespace {

const char kAgent[] = "Mozilla/4.0 (compatible; )";
// Lines go to the dialog together when they come faster than this.
const DWORD kLineBatchMs = 50;

// The worker's hold on its job, released when the worker ends.
std::shared_ptr<CSkinJob> TakeJob(void* pArg)
{
    std::unique_ptr<std::shared_ptr<CSkinJob>> holder(static_cast<std::shared_ptr<CSkinJob>*>(pArg));
    return *holder;
}

// Said when a server's skin name cannot become a file's.
const char kNotPlainName[] = "the skin's name is not a plain file name";

bool IsRedirect(DWORD dwStatus)
{
    return dwStatus == 301 || dwStatus == 302 || dwStatus == 303 || dwStatus == 307 || dwStatus == 308;
}

// What one request of a size probe learnt. Its client is made, used and
// closed on the thread that sends it, so a probe given up holds nothing a
// later job waits for.
struct CProbeAnswer {
    // Runs on a thread of its own, which nothing may leave by an exception.
    void Probe(const CString& strUrl)
    {
        CHttpClient client;
        client.m_dwTimeoutMs = SKIN_NET_TIMEOUT_MS;
        // Redirections are the job's to follow and count; nothing is kept in
        // the internet cache.
        client.m_dwRequestFlags = INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
        if (!client.ConnectUrl(strUrl, nullptr, nullptr, kAgent))
            return;
        try {
            if (client.Request(client.GetPath(), CHttpClient::METHOD_GET)) {
                m_dwStatus = client.QueryStatusCode();
                m_nLength = client.QueryContentLength();
                char szLocation[2048];
                DWORD dwSize = sizeof szLocation - 1;
                if (IsRedirect(m_dwStatus)
                    && ::HttpQueryInfoA(client.m_hRequest, HTTP_QUERY_LOCATION, szLocation, &dwSize, nullptr))
                    m_strLocation = CString(szLocation, int(dwSize));
            }
        } catch (CException* e) {
            m_dwStatus = 0;
            e->Delete();
        }
        client.Close();
    }

    DWORD m_dwStatus = 0;
    DWORD m_nLength = 0;
    CString m_strLocation;
};

} // namespace

// One request of a transfer and what its sending learnt. The worker and the
// thread that sends it share it; a send given up frees it when it returns.
struct CSkinRequest {
    CSkinRequest() = default;
    CSkinRequest(const CSkinRequest&) = delete;
    CSkinRequest& operator=(const CSkinRequest&) = delete;
    ~CSkinRequest()
    {
        if (m_pFailure != nullptr)
            m_pFailure->Delete();
    }

    void Send()
    {
        try {
            m_file->SendRequest();
            m_file->QueryInfoStatusCode(m_dwStatus);
            if (IsRedirect(m_dwStatus))
                m_file->QueryInfo(HTTP_QUERY_LOCATION, m_strLocation);
            CString strLength;
            if (m_file->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, strLength)) {
                m_bHaveLength = true;
                m_nLength = std::strtoull(strLength, nullptr, 10);
            }
        } catch (CException* e) {
            m_pFailure = e;
        }
    }

    CInternetSession m_session;
    std::unique_ptr<CHttpConnection> m_connection;
    std::unique_ptr<CHttpFile> m_file;
    DWORD m_dwStatus = 0;
    CString m_strLocation;
    bool m_bHaveLength = false; // the answer gave a Content-Length
    ULONGLONG m_nLength = 0;
    // The send's failure, thrown again on the worker's thread.
    CException* m_pFailure = nullptr;
};

CSkinJob::CSkinJob(TYPE nType, HWND hWnd, int nKind)
    : m_nType(nType), m_hWnd(hWnd), m_nKind(nKind), m_hDone(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
}

CSkinJob::~CSkinJob()
{
    if (m_hDone != nullptr)
        ::CloseHandle(m_hDone);
}

bool CSkinJob::Start(const std::shared_ptr<CSkinJob>& self, uintptr_t& hThread)
{
    void(__cdecl * pfnWorker)(void*) =
        m_nType == LIST ? SkinListThread : (m_nType == PREVIEW ? SkinPreviewThread : SkinDownloadThread);
    auto* pArg = new std::shared_ptr<CSkinJob>(self);
    hThread = ::_beginthread(pfnWorker, 0, pArg);
    if (hThread == static_cast<uintptr_t>(-1L)) {
        delete pArg;
        hThread = 0;
        ::SetEvent(m_hDone);
        return false;
    }
    return true;
}

void CSkinJob::Send(SKINJOBSTEP nStep)
{
    if (!m_bCancel)
        ::SendMessageA(m_hWnd, UM_SKINJOB, nStep, reinterpret_cast<LPARAM>(this));
}

// Sends a request on a thread of its own (the send waits for all of the
// answer headers), given up when the job is cancelled or the headers take
// longer than SKIN_HEADERS_TIMEOUT_MS. The send given up runs on alone with
// what it holds; whether that is a bound is the caller's to say.
BOUNDEDCALLEND CSkinJob::SendBounded(std::function<void()> fnSend)
{
    m_dwCallStart = ::GetTickCount();
    return RunBoundedCall(std::move(fnSend), SKIN_HEADERS_TIMEOUT_MS, m_bCancel);
}

// The size probe: a GET of the address, its redirections followed as Get
// follows them, each request on a client of its own that its send closes.
// A probe that fails, its headers given up on included, leaves the size
// unknown and no bound: the transfer asks again with bounds of its own.
ULONGLONG CSkinJob::ProbeSize(bool& bKnown)
{
    bKnown = false;
    CString strUrl = m_strProbeUrl;
    for (int nRedirects = 0; nRedirects <= SKIN_MAX_REDIRECTS; nRedirects++) {
        auto answer = std::make_shared<CProbeAnswer>();
        if (m_bCancel || SendBounded([answer, strUrl] { answer->Probe(strUrl); }) != BCE_DONE)
            return 0;
        if (!IsRedirect(answer->m_dwStatus)) {
            bKnown = answer->m_dwStatus == 200 && answer->m_nLength != 0;
            return bKnown ? answer->m_nLength : 0;
        }
        strUrl = ResolveSkinRedirect(strUrl, answer->m_strLocation);
        if (strUrl.IsEmpty())
            return 0;
    }
    return 0;
}

// A GET of m_strUrl on a connection whose waits are bounded. Redirections
// are followed here, not by WinINet, which follows them without end: at
// most SKIN_MAX_REDIRECTS, only to http and https addresses. Nothing is
// asked once cancelled, not even the first request. Null when cancelled,
// refused or given up (strError says why); throws CInternetException.
std::shared_ptr<CSkinRequest> CSkinJob::Get(DWORD dwFlags, CString& strError)
{
    CString strUrl = m_strUrl;
    for (int nRedirects = 0;; nRedirects++) {
        if (m_bCancel)
            return nullptr;
        CUrlParts parts;
        const int nScheme = SplitUrl(strUrl, parts) ? HttpSchemeCode(parts.strScheme) : HTTP_SCHEME_NONE;
        if (nScheme != HTTP_SCHEME_HTTP && nScheme != HTTP_SCHEME_HTTPS) {
            strError = "not an http address";
            return nullptr;
        }
        auto request = std::make_shared<CSkinRequest>();
        request->m_connection.reset(request->m_session.GetHttpConnection(parts.strHost, INTERNET_PORT(parts.nPort)));
        for (DWORD dwOption : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                               INTERNET_OPTION_RECEIVE_TIMEOUT})
            request->m_connection->SetOption(dwOption, SKIN_NET_TIMEOUT_MS);
        const DWORD dwSecure = nScheme == HTTP_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;
        request->m_file.reset(request->m_connection->OpenRequest(
            "GET", parts.strPath, nullptr, 1, nullptr, nullptr, dwFlags | dwSecure | INTERNET_FLAG_NO_AUTO_REDIRECT));
        const BOUNDEDCALLEND nSent = SendBounded([request] { request->Send(); });
        if (nSent == BCE_LATE) {
            m_nBound = SKB_HEADERS;
            strError = DescribeSkinBound(m_nBound);
        }
        if (nSent != BCE_DONE)
            return nullptr;
        if (CException* e = request->m_pFailure) {
            request->m_pFailure = nullptr;
            throw e;
        }
        if (!IsRedirect(request->m_dwStatus))
            return request;
        if (nRedirects == SKIN_MAX_REDIRECTS) {
            m_nBound = SKB_REDIRECTS;
            strError = DescribeSkinBound(m_nBound);
            return nullptr;
        }
        strUrl = ResolveSkinRedirect(strUrl, request->m_strLocation);
        if (strUrl.IsEmpty()) {
            strError = "redirected to an address that is not http";
            return nullptr;
        }
    }
}

// What has arrived, at most nSize bytes; 0 at the end. InternetReadFile
// alone waits until the whole buffer is full, which a server that drips
// its bytes drags out for minutes.
UINT CSkinJob::ReadSome(CHttpFile& file, void* pBuffer, UINT nSize)
{
    DWORD dwAvailable = 0;
    m_dwCallStart = ::GetTickCount();
    if (!::InternetQueryDataAvailable(file.GetHandle(), &dwAvailable, 0, 0))
        AfxThrowInternetException(1);
    return dwAvailable == 0 ? 0 : file.Read(pBuffer, dwAvailable < nSize ? dwAvailable : nSize);
}

// A blocking call that failed after running as long as the timeout timed
// out: that is the bound that ended the transfer.
bool CSkinJob::TimedOut()
{
    if (::GetTickCount() - m_dwCallStart < SKIN_NET_TIMEOUT_MS * 9 / 10)
        return false;
    m_nBound = SKB_TIMEOUT;
    return true;
}

// Why a transfer failed: the timeout, or the exception's own text (at most
// 254 characters).
CString CSkinJob::FailureText(CException* e)
{
    if (TimedOut())
        return DescribeSkinBound(m_nBound);
    char szText[255] = "";
    e->GetErrorMessage(szText, sizeof szText);
    return szText[0] != '\0' ? CString(szText) : CString("the transfer failed");
}

// Reads the body of m_strUrl into m_transfer, telling the dialog each new
// percentage; stops at a bound or when cancelled, between any two reads.
void CSkinJob::Receive(ULONGLONG nExpected, bool bExpectedKnown)
{
    m_transfer = CSkinTransfer();
    try {
        std::shared_ptr<CSkinRequest> request =
            Get(INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY,
                m_transfer.m_strError);
        if (!request) {
            m_transfer.m_bCancelled = m_bCancel;
            return;
        }
        CHttpFile& file = *request->m_file;
        m_transfer.m_dwStatus = request->m_dwStatus;
        m_transfer.m_bHaveLength = request->m_bHaveLength;
        m_transfer.m_nLength = request->m_nLength;
        if (m_transfer.m_dwStatus != 200)
            return;
        BYTE block[512];
        CTransferPace pace(::GetTickCount());
        int nShown = 0;
        for (;;) {
            if (m_bCancel) {
                m_transfer.m_bCancelled = true;
                return;
            }
            const UINT nRead = ReadSome(file, block, sizeof block);
            if (nRead == 0)
                break;
            if (!pace.Arrived(nRead, ::GetTickCount())) {
                m_nBound = SKB_SLOW;
                m_transfer.m_strError = DescribeSkinBound(m_nBound);
                return;
            }
            if (m_transfer.m_bytes.size() + nRead > SKIN_TRANSFER_MAX_BYTES) {
                m_transfer.m_strError = "the answer is too large";
                return;
            }
            m_transfer.m_bytes.insert(m_transfer.m_bytes.end(), block, block + nRead);
            const int nPercent = GetTransferPercent(m_transfer.m_bytes.size(), bExpectedKnown ? nExpected : 0);
            if (nPercent != nShown) {
                nShown = m_nPercent = nPercent;
                Send(SJ_PROGRESS);
            }
        }
    } catch (CException* e) {
        m_transfer.m_strError = FailureText(e);
        e->Delete();
    }
}

// Writes the archive beside its final name in the skins folder (RunDownload
// found the name plain before the fetch) and moves it over that name only
// once it is whole: a failure leaves the installed skin as it was.
bool CSkinJob::Install()
{
    m_strFault = GetSkinArchiveFault(m_transfer.m_bytes, m_nKind);
    if (!m_strFault.IsEmpty())
        return false;
    char szTemp[MAX_PATH] = "";
    if (::GetTempFileNameA(m_strFolder, "vsb", 0, szTemp) == 0) {
        m_strFault = "cannot write to " + m_strFolder;
        return false;
    }
    bool bWritten = false;
    try {
        CFile file(szTemp, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        file.Write(m_transfer.m_bytes.data(), static_cast<UINT>(m_transfer.m_bytes.size()));
        file.Close();
        bWritten = true;
    } catch (CException* e) {
        e->Delete();
    }
    const CString strFinal = m_strFolder + "\\" + m_strName + "." + GetSkinKindWord(m_nKind);
    if (!bWritten || m_bCancel || !::MoveFileExA(szTemp, strFinal, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(szTemp);
        m_strFault = m_bCancel ? "cancelled" : "cannot write " + strFinal;
        return false;
    }
    return true;
}

void CSkinJob::RunList()
{
    Send(SJ_BEGIN);
    bool bFailed = false;
    CSkinListReader reader;
    // What came of the body, against the length the server gave.
    ULONGLONG nBody = 0;
    try {
        CString strError;
        std::shared_ptr<CSkinRequest> request =
            Get(INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_ASCII, strError);
        if (!request || request->m_dwStatus != 200) {
            bFailed = true;
        } else {
            CHttpFile& file = *request->m_file;
            char block[512];
            CTransferPace pace(::GetTickCount());
            DWORD dwSent = ::GetTickCount();
            while (!m_bCancel) {
                const UINT nRead = ReadSome(file, block, sizeof block);
                if (nRead == 0) {
                    // Under Wine a connection closed early ends the body as
                    // if it were whole; its last line is then cut too.
                    if (request->m_bHaveLength && nBody < request->m_nLength) {
                        m_strStop = FormatSkinListIncomplete(nBody, request->m_nLength);
                        bFailed = true;
                    } else {
                        bFailed = !reader.End();
                    }
                    break;
                }
                nBody += nRead;
                if (!pace.Arrived(nRead, ::GetTickCount())) {
                    m_nBound = SKB_SLOW;
                    bFailed = true;
                    break;
                }
                if (!reader.Feed(block, nRead)) {
                    bFailed = true;
                    break;
                }
                if (::GetTickCount() - dwSent >= kLineBatchMs) {
                    reader.TakeLines(m_newLines);
                    if (m_newLines.GetSize() > 0)
                        Send(SJ_LINES);
                    m_newLines.RemoveAll();
                    dwSent = ::GetTickCount();
                }
            }
        }
    } catch (CException* e) {
        TimedOut();
        e->Delete();
        bFailed = true;
    }
    if (reader.GetBound() != SKB_NONE)
        m_nBound = reader.GetBound();
    if (m_nBound != SKB_NONE)
        m_strStop = FormatSkinListStop(m_nBound);
    reader.TakeLines(m_newLines);
    if (m_newLines.GetSize() > 0)
        Send(SJ_LINES);
    m_newLines.RemoveAll();
    if (m_bCancel)
        return;
    m_bFailed = bFailed;
    if (bFailed) {
        Send(SJ_LISTFAILED);
        // Why it stopped is named too: the lines kept before are offered,
        // and the first one's preview soon takes the status line.
        CString strText = GetSkinListFailureText();
        if (!m_strStop.IsEmpty())
            strText += "\n\n" + m_strStop;
        CWinApp* pApp = AfxGetApp();
        AfxGetSeams()->MessageBox(nullptr, strText, pApp != nullptr ? pApp->m_pszAppName : "", MB_OK);
    }
    if (!m_bCancel)
        ::SendMessageA(m_hWnd, UM_SKINLISTREAD, 0, 0);
    Send(SJ_LISTEND);
}

// A preview or a skin: the size first, when it can be learnt, then the bytes;
// m_strFault says what went wrong.
void CSkinJob::Fetch()
{
    Send(SJ_BEGIN);
    bool bKnown = false;
    // The probe's address is not always the transfer's (a skin comes through
    // the download script): a probe given up stops nothing.
    const ULONGLONG nExpected = ProbeSize(bKnown);
    Send(SJ_PROBED);
    Receive(nExpected, bKnown);
    m_strFault = GetTransferFault(m_transfer);
}

void CSkinJob::RunPreview()
{
    Fetch();
    if (m_strFault.IsEmpty()) {
        // A copy for whoever looks; the dialog shows the bytes in memory.
        try {
            CFile file(m_strFolder + "Preview.jpg", CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
            file.Write(m_transfer.m_bytes.data(), static_cast<UINT>(m_transfer.m_bytes.size()));
        } catch (CException* e) {
            e->Delete();
        }
    }
    Send(SJ_PREVIEW);
}

void CSkinJob::RunDownload()
{
    // A name that cannot be a file's: refused before any request.
    if (!IsPlainSkinName(m_strName)) {
        m_strFault = kNotPlainName;
        Send(SJ_DOWNLOADED);
        return;
    }
    // Refused before anything is fetched: the clocks could never show it.
    m_strFault = GetSkinPathFault(m_strFolder, m_strTempFolder, m_strName, m_nKind);
    if (!m_strFault.IsEmpty()) {
        Send(SJ_DOWNLOADED);
        return;
    }
    Fetch();
    const bool bInstalled = m_strFault.IsEmpty() && Install();
    if (m_bCancel)
        return;
    Send(SJ_DOWNLOADED);
    if (bInstalled && !m_bCancel
        && AfxGetSeams()->MessageBox(nullptr, "Skin installed. Show now?", "Skin installed",
                                     MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
        Send(SJ_SHOWSKIN);
}

// Each worker ends by marking its job done; the dialog waits for that before
// it goes, so nothing here outlives what it uses.
void __cdecl SkinListThread(void* pArg)
{
    std::shared_ptr<CSkinJob> job = TakeJob(pArg);
    job->RunList();
    ::SetEvent(job->m_hDone);
}

void __cdecl SkinPreviewThread(void* pArg)
{
    std::shared_ptr<CSkinJob> job = TakeJob(pArg);
    job->RunPreview();
    ::SetEvent(job->m_hDone);
}

void __cdecl SkinDownloadThread(void* pArg)
{
    std::shared_ptr<CSkinJob> job = TakeJob(pArg);
    job->RunDownload();
    ::SetEvent(job->m_hDone);
}

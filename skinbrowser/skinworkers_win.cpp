#include "skinbrowser/skinworkers.h"

#include "afx/afxapp.h"
#include "afx/afxinet.h"
#include "afx/afxseams.h"
#include "skinbrowser/httpclient.h"
#include "skinbrowser/skinlist.h"

#include <process.h>

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

} // namespace

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

// The size probe: a GET of the address through the dialog's one client.
ULONGLONG CSkinJob::ProbeSize(bool& bKnown)
{
    bKnown = false;
    ULONGLONG nSize = 0;
    CCriticalSectionLock lock(*m_pClientLock);
    if (m_pHttpClient->ConnectUrl(m_strProbeUrl, nullptr, nullptr, kAgent)) {
        if (m_pHttpClient->Request(m_pHttpClient->GetPath(), CHttpClient::METHOD_GET)
            && m_pHttpClient->QueryStatusCode() == 200) {
            nSize = m_pHttpClient->QueryContentLength();
            bKnown = nSize != 0;
        }
        m_pHttpClient->Close();
    }
    return nSize;
}

// Reads the body of m_strUrl into m_transfer in blocks of 512 bytes, telling
// the dialog each new percentage; stops between blocks when cancelled.
void CSkinJob::Receive(ULONGLONG nExpected, bool bExpectedKnown)
{
    m_transfer = CSkinTransfer();
    try {
        CInternetSession session;
        std::unique_ptr<CStdioFile> file(
            session.OpenURL(m_strUrl, 1, INTERNET_FLAG_RELOAD | INTERNET_FLAG_TRANSFER_BINARY));
        if (!file) {
            m_transfer.m_strError = "cannot open " + m_strUrl;
            return;
        }
        if (auto* pHttp = dynamic_cast<CHttpFile*>(file.get())) {
            pHttp->QueryInfoStatusCode(m_transfer.m_dwStatus);
            CString strLength;
            if (pHttp->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, strLength)) {
                m_transfer.m_bHaveLength = true;
                m_transfer.m_nLength = std::strtoull(strLength, nullptr, 10);
            }
        }
        if (m_transfer.m_dwStatus != 200)
            return;
        BYTE block[512];
        int nShown = 0;
        for (;;) {
            if (m_bCancel) {
                m_transfer.m_bCancelled = true;
                return;
            }
            const UINT nRead = file->Read(block, sizeof block);
            if (nRead == 0)
                break;
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
        file->Close();
    } catch (CException* e) {
        char szText[255] = "";
        e->GetErrorMessage(szText, sizeof szText);
        m_transfer.m_strError = szText[0] != '\0' ? CString(szText) : CString("the transfer failed");
        e->Delete();
    }
}

// Writes the archive beside its final name in the skins folder and moves it
// over that name only once it is whole: a failure leaves the installed skin
// as it was.
bool CSkinJob::Install()
{
    if (!IsPlainSkinName(m_strName)) {
        m_strFault = "the skin's name is not a plain file name";
        return false;
    }
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
    try {
        CInternetSession session;
        std::unique_ptr<CStdioFile> file(session.OpenURL(m_strUrl, 1, INTERNET_FLAG_TRANSFER_ASCII));
        DWORD dwStatus = 200;
        if (auto* pHttp = dynamic_cast<CHttpFile*>(file.get()))
            pHttp->QueryInfoStatusCode(dwStatus);
        if (!file || dwStatus != 200) {
            bFailed = true;
        } else {
            CString strLine;
            DWORD dwSent = ::GetTickCount();
            while (!m_bCancel && file->ReadString(strLine)) {
                // Only names that can be file names reach the list.
                if (!IsSkinListLine(strLine) || !IsPlainSkinName(GetSkinListField(strLine, 1)))
                    continue;
                m_newLines.Add(strLine);
                if (::GetTickCount() - dwSent >= kLineBatchMs) {
                    Send(SJ_LINES);
                    m_newLines.RemoveAll();
                    dwSent = ::GetTickCount();
                }
            }
            file->Close();
        }
    } catch (CException* e) {
        e->Delete();
        bFailed = true;
    }
    if (m_newLines.GetSize() > 0)
        Send(SJ_LINES);
    m_newLines.RemoveAll();
    if (m_bCancel)
        return;
    m_bFailed = bFailed;
    if (bFailed) {
        Send(SJ_LISTFAILED);
        CWinApp* pApp = AfxGetApp();
        AfxGetSeams()->MessageBox(nullptr, GetSkinListFailureText(), pApp != nullptr ? pApp->m_pszAppName : "",
                                  MB_OK);
    }
    if (!m_bCancel)
        ::SendMessageA(m_hWnd, UM_SKINLISTREAD, 0, 0);
    Send(SJ_LISTEND);
}

// A preview or a skin: the size first, then the bytes; m_strFault says what went wrong.
void CSkinJob::Fetch()
{
    Send(SJ_BEGIN);
    bool bKnown = false;
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

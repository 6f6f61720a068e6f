#include "clocks/skinzip.h"

#include "afx/afxfile.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include <unzip.h>
#include <zip.h>
#include <zlib.h>

namespace {

// minizip reads the archive from memory through these.
struct CZipMemory {
    const BYTE* pData;
    ZPOS64_T nSize;
    ZPOS64_T nPos;
};

voidpf ZCALLBACK MemOpen(voidpf opaque, const void*, int mode)
{
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    return opaque;
}

uLong ZCALLBACK MemRead(voidpf, voidpf stream, void* buf, uLong size)
{
    CZipMemory* pMem = static_cast<CZipMemory*>(stream);
    const ZPOS64_T nLeft = pMem->nPos < pMem->nSize ? pMem->nSize - pMem->nPos : 0;
    const uLong nRead = size < nLeft ? size : static_cast<uLong>(nLeft);
    if (nRead != 0)
        std::memcpy(buf, pMem->pData + pMem->nPos, nRead);
    pMem->nPos += nRead;
    return nRead;
}

uLong ZCALLBACK MemWrite(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK MemTell(voidpf, voidpf stream)
{
    return static_cast<CZipMemory*>(stream)->nPos;
}

long ZCALLBACK MemSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    CZipMemory* pMem = static_cast<CZipMemory*>(stream);
    ZPOS64_T nBase;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        nBase = 0;
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
        nBase = pMem->nPos;
        break;
    case ZLIB_FILEFUNC_SEEK_END:
        nBase = pMem->nSize;
        break;
    default:
        return -1;
    }
    if (offset > pMem->nSize || nBase > pMem->nSize - offset)
        return -1;
    pMem->nPos = nBase + offset;
    return 0;
}

int ZCALLBACK MemClose(voidpf, voidpf)
{
    return 0;
}

int ZCALLBACK MemError(voidpf, voidpf)
{
    return 0;
}

// A member name is only shown, never used as a path; keep it printable and short.
CString ShownName(const char* pszName)
{
    CString str;
    for (const char* p = pszName; *p != '\0' && str.GetLength() < 64; p++)
        str += (*p >= 0x20 && *p < 0x7F) ? *p : '?';
    return str;
}

class CUnzipHandle {
public:
    explicit CUnzipHandle(unzFile h) : m_h(h) {}
    ~CUnzipHandle()
    {
        if (m_h != nullptr)
            unzClose(m_h);
    }
    CUnzipHandle(const CUnzipHandle&) = delete;
    CUnzipHandle& operator=(const CUnzipHandle&) = delete;
    operator unzFile() const { return m_h; }

private:
    unzFile m_h;
};

BOOL UnzipMember(unzFile hZip, DWORD nMaxData, const CString& strPrefix, std::vector<BYTE>& data,
                 CString& strError)
{
    unz_global_info64 global;
    if (unzGetGlobalInfo64(hZip, &global) != UNZ_OK) {
        strError = strPrefix + "unreadable directory";
        return FALSE;
    }
    if (global.number_entry != 1) {
        strError.Format("%sholds %llu members instead of one", strPrefix.GetString(),
                        static_cast<unsigned long long>(global.number_entry));
        return FALSE;
    }
    if (unzGoToFirstFile(hZip) != UNZ_OK) {
        strError = strPrefix + "unreadable member entry";
        return FALSE;
    }
    unz_file_info64 info;
    char szName[256];
    if (unzGetCurrentFileInfo64(hZip, &info, szName, sizeof(szName), nullptr, 0, nullptr, 0) != UNZ_OK) {
        strError = strPrefix + "unreadable member entry";
        return FALSE;
    }
    szName[sizeof(szName) - 1] = '\0';
    const CString strMember = strPrefix + "member \"" + ShownName(szName) + "\": ";
    if ((info.flag & 1) != 0) {
        strError = strMember + "encrypted";
        return FALSE;
    }
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) {
        strError.Format("%scompression method %lu not supported", strMember.GetString(), info.compression_method);
        return FALSE;
    }
    if (info.uncompressed_size > nMaxData) {
        strError.Format("%s%llu bytes, more than the %lu allowed", strMember.GetString(),
                        static_cast<unsigned long long>(info.uncompressed_size), static_cast<unsigned long>(nMaxData));
        return FALSE;
    }
    if (unzOpenCurrentFile(hZip) != UNZ_OK) {
        strError = strMember + "bad local header";
        return FALSE;
    }

    std::vector<BYTE> out;
    out.reserve(static_cast<size_t>(info.uncompressed_size));
    uLong nCrc = crc32(0L, Z_NULL, 0);
    BYTE buffer[16384];
    int nRead;
    while ((nRead = unzReadCurrentFile(hZip, buffer, sizeof(buffer))) > 0) {
        if (out.size() + static_cast<size_t>(nRead) > info.uncompressed_size)
            break;
        nCrc = crc32(nCrc, buffer, static_cast<uInt>(nRead));
        out.insert(out.end(), buffer, buffer + nRead);
    }
    const int nClose = unzCloseCurrentFile(hZip);
    if (nRead < 0) {
        strError = strMember + "damaged compressed data";
        return FALSE;
    }
    if (nRead > 0 || out.size() != info.uncompressed_size) {
        strError = strMember + "size does not match its entry";
        return FALSE;
    }
    if (nClose == UNZ_CRCERROR || nCrc != info.crc) {
        strError = strMember + "CRC error";
        return FALSE;
    }
    if (nClose != UNZ_OK) {
        strError = strMember + "damaged compressed data";
        return FALSE;
    }
    data = std::move(out);
    return TRUE;
}

CString BaseName(LPCSTR lpszPath)
{
    const CString strPath(lpszPath);
    int nCut = -1;
    for (int i = 0; i < strPath.GetLength(); i++) {
        if (strPath[i] == '\\' || strPath[i] == '/' || strPath[i] == ':')
            nCut = i;
    }
    return strPath.Mid(nCut + 1);
}

} // namespace

BOOL UnzipSkinData(const BYTE* pZip, size_t nZip, DWORD nMaxData, const CString& strArchiveName,
                   std::vector<BYTE>& data, CString& strError)
{
    data.clear();
    const CString strPrefix = strArchiveName + ": ";
    CZipMemory memory{pZip, nZip, 0};
    zlib_filefunc64_def funcs;
    funcs.zopen64_file = MemOpen;
    funcs.zread_file = MemRead;
    funcs.zwrite_file = MemWrite;
    funcs.ztell64_file = MemTell;
    funcs.zseek64_file = MemSeek;
    funcs.zclose_file = MemClose;
    funcs.zerror_file = MemError;
    funcs.opaque = &memory;
    CUnzipHandle hZip(unzOpen2_64("", &funcs));
    if (hZip == nullptr) {
        strError = strPrefix + "not a ZIP archive";
        return FALSE;
    }
    return UnzipMember(hZip, nMaxData, strPrefix, data, strError);
}

CUnzip::CUnzip(LPCSTR lpszArchivePath)
{
    m_strArchiveName = BaseName(lpszArchivePath);
    switch (AfxReadWholeFile(lpszArchivePath, SKIN_ARCHIVE_MAX_BYTES, m_archive)) {
    case AFX_FILE_READ_OK:
        break;
    case AFX_FILE_CANNOT_OPEN:
        throw new CZipException(m_strArchiveName + ": cannot open the archive");
    case AFX_FILE_TOO_LARGE:
        throw new CZipException(m_strArchiveName + ": archive larger than a skin can be");
    case AFX_FILE_READ_ERROR:
        throw new CZipException(m_strArchiveName + ": cannot read the archive");
    }
}

// A path longer than MAX_PATH - 1 is refused before anything is written:
// Wine's C runtime creates such a file, but can then neither rename nor
// remove it, and every attempt would leave one behind.
void CMamaZip::SwapSize(LPCSTR lpszDataPath)
{
    const CString strFinal(lpszDataPath);
    const CString strPartial = strFinal + ".part";
    if (strPartial.GetLength() > MAX_PATH - 1) {
        CString strText;
        strText.Format("%s: the path %s is %d characters long, more than %d", m_strArchiveName.GetString(),
                       strPartial.GetString(), strPartial.GetLength(), MAX_PATH - 1);
        throw new CZipException(strText);
    }

    std::vector<BYTE> data;
    CString strError;
    if (!UnzipSkinData(m_archive.data(), m_archive.size(), m_nMaxData, m_strArchiveName, data, strError))
        throw new CZipException(strError);

    FILE* pFile = std::fopen(strPartial, "wb");
    if (pFile == nullptr)
        throw new CZipException(m_strArchiveName + ": cannot create " + strPartial);
    bool bWritten = data.empty() || std::fwrite(data.data(), 1, data.size(), pFile) == data.size();
    bWritten = std::fclose(pFile) == 0 && bWritten;
    if (!bWritten) {
        std::remove(strPartial);
        throw new CZipException(m_strArchiveName + ": cannot write " + strPartial);
    }
    // Windows will not rename over an existing file.
    std::remove(strFinal);
    if (std::rename(strPartial, strFinal) != 0) {
        std::remove(strPartial);
        throw new CZipException(m_strArchiveName + ": cannot rename " + strPartial + " to " + strFinal);
    }
}

BOOL PackSkinData(LPCSTR lpszArchivePath, LPCSTR lpszMemberName, const std::vector<BYTE>& data)
{
    zipFile hZip = zipOpen64(lpszArchivePath, APPEND_STATUS_CREATE);
    if (hZip == nullptr)
        return FALSE;
    zip_fileinfo info = {};
    BOOL bOk = zipOpenNewFileInZip64(hZip, lpszMemberName, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                     Z_BEST_COMPRESSION, 0)
               == ZIP_OK;
    if (bOk && !data.empty())
        bOk = zipWriteInFileInZip(hZip, data.data(), static_cast<unsigned>(data.size())) == ZIP_OK;
    if (bOk)
        bOk = zipCloseFileInZip(hZip) == ZIP_OK;
    bOk = zipClose(hZip, nullptr) == ZIP_OK && bOk;
    if (!bOk)
        std::remove(lpszArchivePath);
    return bOk;
}

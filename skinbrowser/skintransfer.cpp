#include "skinbrowser/skintransfer.h"

#include "clocks/skindata.h"
#include "clocks/skinzip.h"
#include "skinbrowser/skinlimits.h"

CString GetTransferFault(const CSkinTransfer& transfer)
{
    CString str;
    if (transfer.m_bCancelled)
        return "cancelled";
    if (!transfer.m_strError.IsEmpty())
        return transfer.m_strError;
    if (transfer.m_dwStatus != 200) {
        str.Format("the server answered %lu", static_cast<unsigned long>(transfer.m_dwStatus));
        return str;
    }
    if (transfer.m_bHaveLength && transfer.m_nLength != transfer.m_bytes.size())
        return DescribeIncomplete(transfer.m_bytes.size(), transfer.m_nLength);
    if (transfer.m_bytes.empty())
        return "nothing arrived";
    return CString();
}

CString GetSkinArchiveFault(const std::vector<BYTE>& bytes, int nKind)
{
    std::vector<BYTE> data;
    CString strError;
    if (!UnzipSkinData(bytes.data(), bytes.size(), SKIN_DATA_MAX_BYTES, "the download", data, strError))
        return "not a skin archive";
    bool bRead = false;
    if (nKind == 1) {
        DigitalSkinData skin;
        bRead = ReadDigitalSkinData(data.data(), data.size(), skin, strError) != FALSE;
    } else {
        AnalogSkinData skin;
        bRead = ReadAnalogSkinData(data.data(), data.size(), skin, strError) != FALSE;
    }
    return bRead ? CString() : CString("not a skin of this kind");
}

CString FormatPreviewFault(const CString& strFault) { return "No preview: " + strFault; }

CString FormatDownloadFault(const CString& strFault) { return "Skin not installed: " + strFault; }

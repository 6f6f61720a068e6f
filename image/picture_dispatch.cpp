// Format dispatch: every decode and encode entry point ends in the two
// CPicFile dispatchers, which pick a codec from the table.
#include "image/picture_codecs.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char kUnknownFormat[] = "Decode: Unknown or wrong format";

} // namespace

CPicture::CPicture(const char* fileName, DWORD type)
{
    Startup(type);
    Load(fileName, type);
}

CPicture::CPicture(FILE* stream, DWORD type)
{
    Startup(type);
    Decode(stream, type);
}

CPicture::CPicture(CPicFile* file, DWORD type)
{
    Startup(type);
    Decode(file, type);
}

CPicture::CPicture(BYTE* buffer, DWORD size, DWORD type)
{
    Startup(type);
    Decode(buffer, size, type);
}

bool CPicture::Decode(CPicFile* file, DWORD type)
{
    if (!file)
        return SetError("null file handler");
    if (type == 0) {
        LONG pos = file->Tell();
        for (size_t i = 0; i < g_picCodecCount; ++i) {
            const CPicCodecEntry& codec = g_picCodecs[i];
            if (codec.decode(*this, file, codec.probeType, false))
                return true;
            file->Seek(pos, SEEK_SET);
        }
        return SetError(kUnknownFormat);
    }
    const CPicCodecEntry* codec = PicFindCodec(type);
    if (!codec)
        return SetError(kUnknownFormat);
    return codec->decode(*this, file, type, true);
}

bool CPicture::Decode(FILE* stream, DWORD type)
{
    if (!stream)
        return SetError("null file handler");
    CPicIOFile file(stream);
    return Decode(&file, type);
}

bool CPicture::Decode(BYTE* buffer, DWORD size, DWORD type)
{
    if (!buffer)
        return SetError("null file handler");
    CPicMemFile file(buffer, size);
    return Decode(&file, type);
}

bool CPicture::Load(const char* fileName, DWORD type)
{
    auto openFailed = [&]() {
        std::string text = std::string("Load: can't open ") + (fileName ? fileName : "(null)");
        return SetError(text.c_str());
    };
    if (type >= 1 && type < PIC_FORMAT_COUNT) {
        FILE* f = fileName ? std::fopen(fileName, "rb") : nullptr;
        if (!f)
            return openFailed();
        bool ok = Decode(f, type);
        std::fclose(f);
        if (ok)
            return true;
    }
    // The typed attempt's text is what the caller wants to see if the probe fails too.
    char typedError[sizeof(info.lastError)];
    std::memcpy(typedError, info.lastError, sizeof(typedError));

    FILE* f = fileName ? std::fopen(fileName, "rb") : nullptr;
    if (!f)
        return openFailed();
    bool ok = Decode(f, 0);
    std::fclose(f);
    if (ok || type == 0)
        return ok;
    return SetError(typedError);
}

bool CPicture::EncodeSafeCheck(CPicFile* file)
{
    if (!file) {
        SetError("null file handler");
        return true;
    }
    if (!dibBlock) {
        SetError("null image!!!");
        return true;
    }
    return false;
}

bool CPicture::Encode(CPicFile* file, DWORD type)
{
    const CPicCodecEntry* codec = type ? PicFindCodec(type) : nullptr;
    if (!codec)
        return SetError("Encode: Unknown format");
    return codec->encode(*this, file, type);
}

bool CPicture::Encode(FILE* stream, DWORD type)
{
    if (!stream)
        return SetError("null file handler");
    CPicIOFile file(stream);
    return Encode(&file, type);
}

bool CPicture::Save(const char* fileName, DWORD type)
{
    FILE* f = fileName ? std::fopen(fileName, "wb") : nullptr;
    if (!f) {
        std::string text = std::string("Save: can't create ") + (fileName ? fileName : "(null)");
        return SetError(text.c_str());
    }
    bool ok = Encode(f, type);
    // The last buffered bytes reach the disk only here.
    if (std::fclose(f) != 0 && ok) {
        std::string text = std::string("Save: error writing ") + fileName;
        return SetError(text.c_str());
    }
    return ok;
}

bool CPicture::Encode(BYTE*& buffer, LONG& size, DWORD type)
{
    if (buffer)
        return SetError("the buffer must be empty");
    CPicMemFile file;
    if (!file.Open())
        return SetError("Encode: can't allocate memory");
    if (!Encode(&file, type))
        return false; // the file frees its buffer
    size = file.Size();
    buffer = file.GetBuffer(true);
    return true;
}

bool CPicture::Encode(CPicFile* file, CPicture** pictures, int count, DWORD type)
{
    const CPicCodecEntry* codec = type ? PicFindCodec(type) : nullptr;
    if (!codec || !codec->encodePages)
        return SetError("Multipage Encode, Unsupported operation for this format");
    return codec->encodePages(*this, file, pictures, count);
}

bool CPicture::Encode(FILE* stream, CPicture** pictures, int count, DWORD type)
{
    if (!stream)
        return SetError("null file handler");
    CPicIOFile file(stream);
    return Encode(&file, pictures, count, type);
}

bool CPicture::Encode2RGBA(CPicFile* file)
{
    if (EncodeSafeCheck(file))
        return false;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    std::string row(size_t(w) * 4, '\0');
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            RGBQUAD c = BlindGetPixelColor(x, y);
            size_t i = size_t(x) * 4;
            row[i] = char(c.rgbRed);
            row[i + 1] = char(c.rgbGreen);
            row[i + 2] = char(c.rgbBlue);
            row[i + 3] = char(c.rgbReserved);
        }
        if (file->Write(row.data(), 1, row.size()) != row.size())
            return SetError("Encode2RGBA: write error");
    }
    return true;
}

bool CPicture::Encode2RGBA(BYTE*& buffer, LONG& size)
{
    if (buffer)
        return SetError("the buffer must be empty");
    CPicMemFile file;
    if (!file.Open())
        return SetError("Encode: can't allocate memory");
    if (!Encode2RGBA(&file))
        return false;
    size = file.Size();
    buffer = file.GetBuffer(true);
    return true;
}

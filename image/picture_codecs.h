// The codec table behind CPicture's format dispatch. A codec is a class
// derived from CPicture, constructed empty with its own format code, with
// Decode(CPicFile*) and Encode(CPicFile*). Adding one is its file plus one
// line in picture_codecs.cpp; a codec whose calls differ (a format code
// argument, an append flag) overloads PicCodecDecode / PicCodecEncode for
// its class in its own header.
#pragma once

#include "image/picture.h"

#include <cstddef>

struct CPicCodecEntry {
    DWORD firstType; // format codes the codec answers for
    DWORD lastType;
    DWORD probeType; // the code its Decode gets while probing (type 0)
    bool (*decode)(CPicture& target, CPicFile* file, DWORD type, bool keepError);
    bool (*encode)(CPicture& source, CPicFile* file, DWORD type);
    bool (*encodePages)(CPicture& source, CPicFile* file, CPicture** pictures, int count); // may be null
};

template <class Codec> bool PicCodecDecode(Codec& codec, CPicFile* file, DWORD) { return codec.Decode(file); }

template <class Codec> bool PicCodecEncode(Codec& codec, CPicFile* file, DWORD) { return codec.Encode(file); }

// The calls that need CPicture's protected side (CopyInfo, Ghost, SetError).
struct CPicCodecCalls {
    template <class Codec> static bool Decode(CPicture& target, CPicFile* file, DWORD type, bool keepError)
    {
        Codec codec;
        CPicture& base = codec;
        DWORD ownType = base.info.type;
        base.CopyInfo(target);
        base.info.type = ownType;
        if (PicCodecDecode(codec, file, type))
            return target.Transfer(base) || target.SetError("Decode: can't replace a borrowed picture");
        if (keepError)
            target.SetError(base.GetLastError());
        return false;
    }

    template <class Codec> static bool Encode(CPicture& source, CPicFile* file, DWORD type)
    {
        Codec codec;
        static_cast<CPicture&>(codec).Ghost(&source);
        if (PicCodecEncode(codec, file, type))
            return true;
        return source.SetError(codec.GetLastError());
    }

    template <class Codec> static bool EncodePages(CPicture& source, CPicFile* file, CPicture** pictures, int count)
    {
        Codec codec;
        static_cast<CPicture&>(codec).Ghost(&source);
        if (codec.Encode(file, pictures, count))
            return true;
        return source.SetError(codec.GetLastError());
    }

    static bool SetError(CPicture& pic, const char* text) { return pic.SetError(text); }
};

// probeType: the code a probing decode passes (kPicProbeOwnType: the first code).
constexpr DWORD kPicProbeOwnType = 0xFFFFFFFFu;

template <class Codec>
constexpr CPicCodecEntry PicCodec(DWORD type, DWORD lastType = 0, DWORD probeType = kPicProbeOwnType)
{
    return CPicCodecEntry { type, lastType ? lastType : type, probeType == kPicProbeOwnType ? type : probeType,
        &CPicCodecCalls::Decode<Codec>, &CPicCodecCalls::Encode<Codec>, nullptr };
}

template <class Codec> constexpr CPicCodecEntry PicPagedCodec(DWORD type)
{
    return CPicCodecEntry { type, type, type, &CPicCodecCalls::Decode<Codec>, &CPicCodecCalls::Encode<Codec>,
        &CPicCodecCalls::EncodePages<Codec> };
}

// In probe order.
extern const CPicCodecEntry g_picCodecs[];
extern const size_t g_picCodecCount;

const CPicCodecEntry* PicFindCodec(DWORD type);

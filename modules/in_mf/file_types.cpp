#include "file_types.h"

#include <windows.h>
#include <mfapi.h>

#include "win/unique_resource.h"

namespace {

constexpr char kAll[] =
    "M4A;MP4;AAC\0MPEG-4 and ADTS AAC audio (*.M4A;*.MP4;*.AAC)\0WMA\0Windows Media audio (*.WMA)\0";
constexpr char kAac[] = "M4A;MP4;AAC\0MPEG-4 and ADTS AAC audio (*.M4A;*.MP4;*.AAC)\0";
constexpr char kWma[] = "WMA\0Windows Media audio (*.WMA)\0";
constexpr char kNone[] = "\0";

// Whether a decoder for the audio subtype is registered.
bool HasDecoder(const MediaFoundation& platform, const GUID& subtype)
{
    const MFT_REGISTER_TYPE_INFO input = {MFMediaType_Audio, subtype};
    IMFActivate** found = nullptr;
    UINT32 count = 0;
    if (FAILED(platform.enumTransforms(MFT_CATEGORY_AUDIO_DECODER, MFT_ENUM_FLAG_ALL, &input, nullptr, &found, &count)))
        return false;
    for (UINT32 i = 0; i < count; ++i) found[i]->Release();
    CoTaskMemFree(found);
    return count > 0;
}

// Windows reads the ASF container through the handler it registers for the extension; a
// platform without one (Wine's, measured) cannot open the files whatever decoders it has.
bool HasContainerHandler(const char* extension)
{
    UniqueRegistryKey handlers, handler;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Media Foundation\\ByteStreamHandlers", 0,
                         KEY_READ, handlers.Out()) == ERROR_SUCCESS &&
           RegOpenKeyExA(handlers.Get(), extension, 0, KEY_READ, handler.Out()) == ERROR_SUCCESS;
}

}  // namespace

const char* PlatformExtensionList(const MediaFoundation& platform)
{
    if (!platform.Started()) return kNone;
    // The MPEG-4 and ADTS sources come with the platform itself; AAC needs its decoder.
    const bool aac = HasDecoder(platform, MFAudioFormat_AAC);
    const bool wma = HasDecoder(platform, MFAudioFormat_WMAudioV8) && HasContainerHandler(".wma");
    if (aac && wma) return kAll;
    if (aac) return kAac;
    return wma ? kWma : kNone;
}

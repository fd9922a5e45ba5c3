#include "mf_tags.h"

#include <windows.h>
#include <mfidl.h>
#include <propkey.h>
#include <propsys.h>
#include <stdio.h>

#include "utf8_text.h"
#include "win/ansi_text.h"
#include "win/com_ptr.h"

namespace {

// A text of the value: a string, the first of a list of strings, or a number.
void ValueText(const PROPVARIANT& value, char* text, size_t size)
{
    const wchar_t* wide = nullptr;
    if (value.vt == VT_LPWSTR) wide = value.pwszVal;
    else if (value.vt == (VT_VECTOR | VT_LPWSTR) && value.calpwstr.cElems > 0) wide = value.calpwstr.pElems[0];
    if (wide) {
        Utf8FromWide(wide, -1, text, size);
    } else if (value.vt == VT_UI4 && value.ulVal > 0) {
        char number[16];
        snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(value.ulVal));
        CopyBounded(text, size, number);
    }
}

void Read(IPropertyStore* store, const PROPERTYKEY& key, char* text, size_t size)
{
    PROPVARIANT value;
    PropVariantInit(&value);
    if (SUCCEEDED(store->GetValue(key, &value))) ValueText(value, text, size);
    PropVariantClear(&value);
}

}  // namespace

void ReadMfTags(IMFSourceReader* reader, MfTags* tags)
{
    ComPtr<IMFGetService> services;
    ComPtr<IPropertyStore> store;
    if (FAILED(reader->GetServiceForStream(static_cast<DWORD>(MF_SOURCE_READER_MEDIASOURCE), GUID_NULL,
                                           IID_IMFGetService, services.OutVoid())) ||
        FAILED(services->GetService(MF_PROPERTY_HANDLER_SERVICE, IID_IPropertyStore, store.OutVoid())))
        return;
    Read(store.Get(), PKEY_Title, tags->title, sizeof tags->title);
    Read(store.Get(), PKEY_Music_Artist, tags->artist, sizeof tags->artist);
    Read(store.Get(), PKEY_Music_AlbumTitle, tags->album, sizeof tags->album);
    Read(store.Get(), PKEY_Comment, tags->comment, sizeof tags->comment);
    Read(store.Get(), PKEY_Media_Year, tags->year, sizeof tags->year);
    Read(store.Get(), PKEY_Music_Genre, tags->genre, sizeof tags->genre);
    PROPVARIANT bitrate;
    PropVariantInit(&bitrate);
    if (SUCCEEDED(store->GetValue(PKEY_Audio_EncodingBitrate, &bitrate)) && bitrate.vt == VT_UI4)
        tags->kbps = static_cast<int32_t>(bitrate.ulVal / 1000);
    PropVariantClear(&bitrate);
}

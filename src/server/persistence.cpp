// IPersist, IPersistStreamInit, IPersistStorage: the extent ("_cx", "_cy", VT_UI4 HIMETRIC) is
// the only persistent property. Stream layout: a DWORD format version, then for each property
// its VARTYPE (WORD) and its 32-bit value.
#include "server/control_object.h"
#include "win/guarded.h"

namespace {

constexpr DWORD kStreamVersion = 0x0100;
constexpr LONG kDefaultExtent = 5080;
constexpr ULONG kStreamSize = sizeof(DWORD) + 2 * (sizeof(VARTYPE) + sizeof(ULONG));
constexpr wchar_t kContentsStream[] = L"Contents";

HRESULT ReadExact(IStream* stream, void* data, ULONG size)
{
    ULONG read = 0;
    HRESULT hr = stream->Read(data, size, &read);
    if (FAILED(hr)) return hr;
    return read == size ? S_OK : STG_E_READFAULT;
}

HRESULT WriteExact(IStream* stream, const void* data, ULONG size)
{
    ULONG written = 0;
    HRESULT hr = stream->Write(data, size, &written);
    if (FAILED(hr)) return hr;
    return written == size ? S_OK : STG_E_WRITEFAULT;
}

HRESULT ReadUi4(IStream* stream, LONG* value)
{
    VARTYPE type = VT_EMPTY;
    HRESULT hr = ReadExact(stream, &type, sizeof(type));
    if (FAILED(hr)) return hr;
    if (type != VT_UI4) return E_FAIL;
    ULONG raw = 0;
    hr = ReadExact(stream, &raw, sizeof(raw));
    if (SUCCEEDED(hr)) *value = static_cast<LONG>(raw);
    return hr;
}

HRESULT WriteUi4(IStream* stream, LONG value)
{
    const VARTYPE type = VT_UI4;
    HRESULT hr = WriteExact(stream, &type, sizeof(type));
    if (FAILED(hr)) return hr;
    const ULONG raw = static_cast<ULONG>(value);
    return WriteExact(stream, &raw, sizeof(raw));
}

}  // namespace

HRESULT ControlObject::GetClassID(CLSID* clsid)
{
    return GuardedCom([&]() -> HRESULT {
        if (!clsid) return E_POINTER;
        *clsid = CLSID_ITunaraActiveXChat;
        return S_OK;
    });
}

HRESULT ControlObject::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT ControlObject::Load(LPSTREAM stream)
{
    return GuardedCom([&]() -> HRESULT {
        if (!stream) return E_POINTER;
        DWORD version = 0;
        HRESULT hr = ReadExact(stream, &version, sizeof(version));
        if (FAILED(hr)) return hr;
        if (version > kStreamVersion) return E_FAIL;
        SIZEL loaded{};
        if (FAILED(hr = ReadUi4(stream, &loaded.cx)) || FAILED(hr = ReadUi4(stream, &loaded.cy)))
            return hr;
        extent_ = loaded;
        dirty_ = false;
        return S_OK;
    });
}

HRESULT ControlObject::Save(LPSTREAM stream, BOOL clearDirty)
{
    return GuardedCom([&]() -> HRESULT {
        if (!stream) return E_POINTER;
        HRESULT hr = WriteExact(stream, &kStreamVersion, sizeof(kStreamVersion));
        if (FAILED(hr) || FAILED(hr = WriteUi4(stream, extent_.cx)) || FAILED(hr = WriteUi4(stream, extent_.cy)))
            return hr;
        if (clearDirty) dirty_ = false;
        return S_OK;
    });
}

HRESULT ControlObject::GetSizeMax(ULARGE_INTEGER* size)
{
    return GuardedCom([&]() -> HRESULT {
        if (!size) return E_POINTER;
        size->QuadPart = kStreamSize;
        return S_OK;
    });
}

HRESULT ControlObject::InitNew()
{
    return GuardedCom([&]() -> HRESULT {
        extent_ = SIZEL{kDefaultExtent, kDefaultExtent};
        dirty_ = false;
        return S_OK;
    });
}

// IPersistStorage: InitNew or Load once, then "normal". Save enters "no scribble" until
// SaveCompleted; HandsOffStorage takes the storage away (from normal, or after a save) until
// SaveCompleted hands one back. Dirty means "changed since last saved to the current storage":
// a save with fSameAsLoad cleans it (IPersistStreamInit::Save's clearDirty), a copy saved
// elsewhere does not, and a storage handed over after a save holds what that save wrote.
HRESULT ControlObject::InitNew(IStorage* storage)
{
    return GuardedCom([&]() -> HRESULT {
        if (!storage) return E_POINTER;
        if (storageState_ != StorageState::kUninitialized) return CO_E_ALREADYINITIALIZED;
        storage_ = ComPtr<IStorage>(storage);
        storageState_ = StorageState::kNormal;
        return InitNew();
    });
}

HRESULT ControlObject::Load(IStorage* storage)
{
    return GuardedCom([&]() -> HRESULT {
        if (!storage) return E_POINTER;
        if (storageState_ != StorageState::kUninitialized) return CO_E_ALREADYINITIALIZED;
        ComPtr<IStream> stream;
        HRESULT hr = storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                         stream.Out());
        if (FAILED(hr)) return hr;
        hr = Load(stream.Get());
        if (FAILED(hr)) return hr;
        storage_ = ComPtr<IStorage>(storage);
        storageState_ = StorageState::kNormal;
        return S_OK;
    });
}

HRESULT ControlObject::Save(IStorage* storage, BOOL sameAsLoad)
{
    return GuardedCom([&]() -> HRESULT {
        if (!storage) return E_POINTER;
        ComPtr<IStream> stream;
        HRESULT hr = storage->CreateStream(kContentsStream,
                                           STGM_WRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0,
                                           stream.Out());
        if (FAILED(hr)) return hr;
        hr = Save(stream.Get(), sameAsLoad);
        if (FAILED(hr)) return hr;
        changedSinceStorageSave_ = false;
        const bool handsOff = storageState_ == StorageState::kHandsOffFromNormal ||
                              storageState_ == StorageState::kHandsOffAfterSave;
        storageState_ = handsOff ? StorageState::kHandsOffAfterSave : StorageState::kNoScribble;
        return S_OK;
    });
}

HRESULT ControlObject::SaveCompleted(IStorage* storage)
{
    return GuardedCom([&]() -> HRESULT {
        switch (storageState_) {
        case StorageState::kUninitialized:
        case StorageState::kNormal:
            return E_UNEXPECTED;
        case StorageState::kHandsOffFromNormal:
        case StorageState::kHandsOffAfterSave:
            if (!storage) return E_INVALIDARG;
            break;
        case StorageState::kNoScribble:
            break;
        }
        if (storage) {
            // After hands off from normal the new storage is a copy of the one taken away; after
            // a save it holds what the save wrote.
            if (storageState_ != StorageState::kHandsOffFromNormal) dirty_ = changedSinceStorageSave_;
            storage_ = ComPtr<IStorage>(storage);
        }
        storageState_ = StorageState::kNormal;
        return S_OK;
    });
}

HRESULT ControlObject::HandsOffStorage()
{
    return GuardedCom([&]() -> HRESULT {
        if (storageState_ == StorageState::kNormal) storageState_ = StorageState::kHandsOffFromNormal;
        else if (storageState_ == StorageState::kNoScribble) storageState_ = StorageState::kHandsOffAfterSave;
        storage_.Reset();
        return S_OK;
    });
}

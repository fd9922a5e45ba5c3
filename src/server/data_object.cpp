// IDataObject: the control renders itself as a metafile picture, and passes data advise
// connections to the platform's advise holder.
#include "server/control_object.h"
#include "server/placeholder.h"
#include "win/guarded.h"
#include "win/unique_resource.h"

namespace {

bool IsMetafileRequest(const FORMATETC* format)
{
    return format->cfFormat == CF_METAFILEPICT && (format->tymed & TYMED_MFPICT) &&
           format->dwAspect == DVASPECT_CONTENT;
}

// A metafile being recorded: closing it ends the recording and deletes what was recorded.
struct MetafileRecordingTraits {
    using Type = HDC;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { DeleteMetaFile(CloseMetaFile(value)); }
};
struct MetafileTraits {
    using Type = HMETAFILE;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { DeleteMetaFile(value); }
};

// HIMETRIC extent drawn into a metafile in the anisotropic mapping of that extent. On success
// the medium owns the picture's memory and the picture owns the metafile: the caller releases
// both with ReleaseStgMedium.
HRESULT RenderMetafile(const SIZEL& extent, STGMEDIUM* medium)
{
    UniqueResource<MetafileRecordingTraits> recording(CreateMetaFileW(nullptr));
    if (!recording) return E_OUTOFMEMORY;
    SetMapMode(recording.Get(), MM_ANISOTROPIC);
    SetWindowOrgEx(recording.Get(), 0, 0, nullptr);
    SetWindowExtEx(recording.Get(), extent.cx, extent.cy, nullptr);
    DrawPlaceholder(recording.Get(), RECT{0, 0, extent.cx, extent.cy});
    UniqueResource<MetafileTraits> metafile(CloseMetaFile(recording.Detach()));
    if (!metafile) return E_OUTOFMEMORY;

    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT)));
    if (!memory) return E_OUTOFMEMORY;
    auto* picture = static_cast<METAFILEPICT*>(GlobalLock(memory.Get()));
    if (!picture) return E_OUTOFMEMORY;
    picture->mm = MM_ANISOTROPIC;
    picture->xExt = extent.cx;
    picture->yExt = extent.cy;
    picture->hMF = metafile.Detach();
    GlobalUnlock(memory.Get());

    medium->tymed = TYMED_MFPICT;
    medium->hMetaFilePict = memory.Detach();
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

}  // namespace

HRESULT ControlObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    return GuardedCom([&]() -> HRESULT {
        if (!format || !medium) return E_POINTER;
        if (!IsMetafileRequest(format)) return DV_E_FORMATETC;
        return RenderMetafile(extent_, medium);
    });
}

HRESULT ControlObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT ControlObject::QueryGetData(FORMATETC* format)
{
    return GuardedCom([&]() -> HRESULT {
        if (!format) return E_POINTER;
        return IsMetafileRequest(format) ? S_OK : DV_E_FORMATETC;
    });
}

HRESULT ControlObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    return GuardedCom([&]() -> HRESULT {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    });
}

HRESULT ControlObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT ControlObject::EnumFormatEtc(DWORD, IEnumFORMATETC** formats)
{
    return GuardedCom([&]() -> HRESULT {
        if (formats) *formats = nullptr;
        return E_NOTIMPL;
    });
}

HRESULT ControlObject::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection)
{
    return GuardedCom([&]() -> HRESULT {
        if (!format || !sink || !connection) return E_POINTER;
        if (!dataAdvise_) {
            HRESULT hr = CreateDataAdviseHolder(dataAdvise_.Out());
            if (FAILED(hr)) return hr;
        }
        return dataAdvise_->Advise(static_cast<IDataObject*>(this), format, flags, sink, connection);
    });
}

HRESULT ControlObject::DUnadvise(DWORD connection)
{
    return GuardedCom([&]() -> HRESULT {
        return dataAdvise_ ? dataAdvise_->Unadvise(connection) : OLE_E_NOCONNECTION;
    });
}

HRESULT ControlObject::EnumDAdvise(IEnumSTATDATA** advise)
{
    return GuardedCom([&]() -> HRESULT {
        if (!advise) return E_POINTER;
        *advise = nullptr;
        return dataAdvise_ ? dataAdvise_->EnumAdvise(advise) : E_FAIL;
    });
}

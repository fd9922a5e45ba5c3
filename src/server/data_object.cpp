// IDataObject: the control renders itself as a metafile picture, and passes data advise
// connections to the platform's advise holder.
#include "server/control_object.h"
#include "server/placeholder.h"

namespace {

bool IsMetafileRequest(const FORMATETC* format)
{
    return format->cfFormat == CF_METAFILEPICT && (format->tymed & TYMED_MFPICT) &&
           format->dwAspect == DVASPECT_CONTENT;
}

// HIMETRIC extent drawn into a metafile in the anisotropic mapping of that extent.
HRESULT RenderMetafile(const SIZEL& extent, STGMEDIUM* medium)
{
    HDC dc = CreateMetaFileW(nullptr);
    if (!dc) return E_OUTOFMEMORY;
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, extent.cx, extent.cy, nullptr);
    DrawPlaceholder(dc, RECT{0, 0, extent.cx, extent.cy});
    HMETAFILE metafile = CloseMetaFile(dc);
    if (!metafile) return E_OUTOFMEMORY;

    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT));
    if (!memory) {
        DeleteMetaFile(metafile);
        return E_OUTOFMEMORY;
    }
    auto* picture = static_cast<METAFILEPICT*>(GlobalLock(memory));
    picture->mm = MM_ANISOTROPIC;
    picture->xExt = extent.cx;
    picture->yExt = extent.cy;
    picture->hMF = metafile;
    GlobalUnlock(memory);

    medium->tymed = TYMED_MFPICT;
    medium->hMetaFilePict = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

}  // namespace

HRESULT ControlObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!format || !medium) return E_POINTER;
    if (!IsMetafileRequest(format)) return DV_E_FORMATETC;
    return RenderMetafile(extent_, medium);
}

HRESULT ControlObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT ControlObject::QueryGetData(FORMATETC* format)
{
    if (!format) return E_POINTER;
    return IsMetafileRequest(format) ? S_OK : DV_E_FORMATETC;
}

HRESULT ControlObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT ControlObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT ControlObject::EnumFormatEtc(DWORD, IEnumFORMATETC** formats)
{
    if (formats) *formats = nullptr;
    return E_NOTIMPL;
}

HRESULT ControlObject::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection)
{
    if (!format || !sink || !connection) return E_POINTER;
    if (!dataAdvise_) {
        HRESULT hr = CreateDataAdviseHolder(dataAdvise_.Out());
        if (FAILED(hr)) return hr;
    }
    return dataAdvise_->Advise(static_cast<IDataObject*>(this), format, flags, sink, connection);
}

HRESULT ControlObject::DUnadvise(DWORD connection)
{
    return dataAdvise_ ? dataAdvise_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT ControlObject::EnumDAdvise(IEnumSTATDATA** advise)
{
    if (!advise) return E_POINTER;
    *advise = nullptr;
    return dataAdvise_ ? dataAdvise_->EnumAdvise(advise) : E_FAIL;
}

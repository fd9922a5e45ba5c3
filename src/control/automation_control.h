#pragma once
// ITunaraXChat2, ITunaraXChat, IDispatch: the automation face of the control. IUnknown belongs to
// the control object that derives from this class (server/), so one reference count serves all.
#include <windows.h>
#include <ole2.h>

#include "control/sink_slots.h"
#include "tunaraxchat.h"
#include "win/com_ptr.h"

#define TUNARA_VARIANT_OUT_11 VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, \
    VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*

class AutomationControl : public ITunaraXChat2 {
public:
    // The connected sinks of the _ITunaraXChatEvents connection point.
    SinkSlots& EventSinks() { return eventSinks_; }
    // Events fired while the container has frozen them (IOleControl::FreezeEvents) are dropped.
    bool EventsFrozen() const { return frozenEvents_ > 0; }

    // IDispatch, answered from the control's type library.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                     UINT* argErr) override;

    // ITunaraXChat
    HRESULT STDMETHODCALLTYPE Initialize() override;
    HRESULT STDMETHODCALLTYPE Deinitialize() override;
    HRESULT STDMETHODCALLTYPE AppendFileToPlaylist(BSTR file) override;
    HRESULT STDMETHODCALLTYPE Play() override;
    HRESULT STDMETHODCALLTYPE GetFiletypes(VARIANT* retFileTypes) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE get_Position(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Position(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Length(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Volume(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Volume(LONG value) override;
    HRESULT STDMETHODCALLTYPE ClearPlaylist() override;
    HRESULT STDMETHODCALLTYPE put_PlaylistPos(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_PlaylistPos(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE NextTrack() override;
    HRESULT STDMETHODCALLTYPE PreviousTrack() override;
    HRESULT STDMETHODCALLTYPE GetCurrentPlaylistItem(VARIANT* filename, VARIANT* filetitle) override;
    HRESULT STDMETHODCALLTYPE get_Shuffle(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Shuffle(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Repeat(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Repeat(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Status(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE GetVersion(VARIANT* tunaraVer, VARIANT* comVer) override;
    HRESULT STDMETHODCALLTYPE get_Nb_Playlist_Items(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE GetPlaylistItem(LONG Position, VARIANT* filename, VARIANT* filetitle,
                                              VARIANT* Length) override;
    HRESULT STDMETHODCALLTYPE DeletePlaylistItem(int Position) override;
    HRESULT STDMETHODCALLTYPE PlaylistSwapItems(LONG item1, LONG item2) override;
    HRESULT STDMETHODCALLTYPE PlaylistSort() override;
    HRESULT STDMETHODCALLTYPE PlaylistRandomize() override;
    HRESULT STDMETHODCALLTYPE GetPlaylistItemHeaderInfos(LONG Position,
                                                         TUNARA_VARIANT_OUT_11) override;
    HRESULT STDMETHODCALLTYPE SavePlaylist(BSTR file) override;
    HRESULT STDMETHODCALLTYPE GetCurrentFileInfos(VARIANT* bitrate, VARIANT* srate,
                                                  VARIANT* stereo) override;
    HRESULT STDMETHODCALLTYPE GetURLToLaunch(VARIANT* url) override;
    HRESULT STDMETHODCALLTYPE SetProxy(BSTR proxyAdr) override;
    HRESULT STDMETHODCALLTYPE SetLaunchURLEXE(BSTR exe_path) override;
    HRESULT STDMETHODCALLTYPE AppendPLSToPlaylist(BSTR file) override;
    HRESULT STDMETHODCALLTYPE AppendM3UToPlaylist(BSTR file) override;
    HRESULT STDMETHODCALLTYPE IsStreamPlaying(VARIANT* pVal) override;
    HRESULT STDMETHODCALLTYPE GetFileHeaderInfos(BSTR filename, TUNARA_VARIANT_OUT_11) override;

    // ITunaraXChat2
    HRESULT STDMETHODCALLTYPE AppendFilenameWithArgs(BSTR filename, LONG Volume,
                                                     LONG duration) override;

protected:
    AutomationControl() = default;
    virtual ~AutomationControl() = default;

    // A control released without Deinitialize must not stay the engine's event target: later
    // events would reach a destroyed object. They are dropped until the next Initialize names a
    // new target. The most derived control calls this first in its destructor, before any of its
    // parts goes away (releasing them may run container code that makes the engine fire).
    void StopBeingEventTarget();

    // Nesting count of the container's FreezeEvents(TRUE) calls.
    LONG frozenEvents_ = 0;

private:
    HRESULT DispatchTypeInfo(ITypeInfo** info);
    // The common end of NextTrack and PreviousTrack once an entry has been chosen.
    HRESULT PlayOrStopNewEntry();

    SinkSlots eventSinks_;
    ComPtr<ITypeInfo> typeInfo_;
};

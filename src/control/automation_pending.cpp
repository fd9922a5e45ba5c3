// Members whose engine operations are not built yet: they say so with E_NOTIMPL rather than
// pretend to work. Each moves to the file of its subsystem when that subsystem lands.
#include "control/automation_control.h"

HRESULT AutomationControl::Initialize() { return E_NOTIMPL; }
HRESULT AutomationControl::Deinitialize() { return E_NOTIMPL; }
HRESULT AutomationControl::AppendFileToPlaylist(BSTR) { return E_NOTIMPL; }
HRESULT AutomationControl::Play() { return E_NOTIMPL; }
HRESULT AutomationControl::GetFiletypes(VARIANT*) { return E_NOTIMPL; }
HRESULT AutomationControl::Stop() { return E_NOTIMPL; }
HRESULT AutomationControl::Pause() { return E_NOTIMPL; }
HRESULT AutomationControl::get_Position(LONG*) { return E_NOTIMPL; }
HRESULT AutomationControl::put_Position(LONG) { return E_NOTIMPL; }
HRESULT AutomationControl::get_Length(LONG*) { return E_NOTIMPL; }
HRESULT AutomationControl::get_Volume(LONG*) { return E_NOTIMPL; }
HRESULT AutomationControl::put_Volume(LONG) { return E_NOTIMPL; }
HRESULT AutomationControl::ClearPlaylist() { return E_NOTIMPL; }
HRESULT AutomationControl::put_PlaylistPos(LONG) { return E_NOTIMPL; }
HRESULT AutomationControl::get_PlaylistPos(LONG*) { return E_NOTIMPL; }
HRESULT AutomationControl::NextTrack() { return E_NOTIMPL; }
HRESULT AutomationControl::PreviousTrack() { return E_NOTIMPL; }
HRESULT AutomationControl::GetCurrentPlaylistItem(VARIANT*, VARIANT*) { return E_NOTIMPL; }
HRESULT AutomationControl::get_Shuffle(LONG*) { return E_NOTIMPL; }
HRESULT AutomationControl::put_Shuffle(LONG) { return E_NOTIMPL; }
HRESULT AutomationControl::get_Repeat(LONG*) { return E_NOTIMPL; }
HRESULT AutomationControl::put_Repeat(LONG) { return E_NOTIMPL; }
HRESULT AutomationControl::get_Status(LONG*) { return E_NOTIMPL; }
HRESULT AutomationControl::get_Nb_Playlist_Items(LONG*) { return E_NOTIMPL; }
HRESULT AutomationControl::GetPlaylistItem(LONG, VARIANT*, VARIANT*, VARIANT*) { return E_NOTIMPL; }
HRESULT AutomationControl::DeletePlaylistItem(int) { return E_NOTIMPL; }
HRESULT AutomationControl::PlaylistSwapItems(LONG, LONG) { return E_NOTIMPL; }
HRESULT AutomationControl::PlaylistSort() { return E_NOTIMPL; }
HRESULT AutomationControl::PlaylistRandomize() { return E_NOTIMPL; }
HRESULT AutomationControl::GetPlaylistItemHeaderInfos(LONG, TUNARA_VARIANT_OUT_11) { return E_NOTIMPL; }
HRESULT AutomationControl::SavePlaylist(BSTR) { return E_NOTIMPL; }
HRESULT AutomationControl::GetCurrentFileInfos(VARIANT*, VARIANT*, VARIANT*) { return E_NOTIMPL; }
HRESULT AutomationControl::GetURLToLaunch(VARIANT*) { return E_NOTIMPL; }
HRESULT AutomationControl::SetProxy(BSTR) { return E_NOTIMPL; }
HRESULT AutomationControl::SetLaunchURLEXE(BSTR) { return E_NOTIMPL; }
HRESULT AutomationControl::AppendPLSToPlaylist(BSTR) { return E_NOTIMPL; }
HRESULT AutomationControl::AppendM3UToPlaylist(BSTR) { return E_NOTIMPL; }
HRESULT AutomationControl::IsStreamPlaying(VARIANT*) { return E_NOTIMPL; }
HRESULT AutomationControl::GetFileHeaderInfos(BSTR, TUNARA_VARIANT_OUT_11) { return E_NOTIMPL; }
HRESULT AutomationControl::AppendFilenameWithArgs(BSTR, LONG, LONG) { return E_NOTIMPL; }

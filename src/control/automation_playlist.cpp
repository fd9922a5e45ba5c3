// The playlist members: count, entries, position, delete, swap, sort, shuffle of the entries.
#include "control/automation_control.h"
#include "control/events.h"
#include "control/out_variant.h"
#include "engine/engine_context.h"
#include "playlist/entry_titles.h"
#include "playlist/playlist_edit.h"
#include "playlist/playlist_position.h"
#include "playlist/playlist_reorder.h"
#include "playlist/playlist_store.h"
#include "playlist/wide_names.h"
#include "win/guarded.h"

namespace {
constexpr long kMsgListChanged = 2;
}  // namespace

HRESULT AutomationControl::ClearPlaylist()
{
    return GuardedCom([&]() -> HRESULT {
        PlaylistClear();
        return S_OK;
    });
}

HRESULT AutomationControl::get_Nb_Playlist_Items(LONG* pVal)
{
    return GuardedCom([&]() -> HRESULT {
        if (!pVal) return E_POINTER;
        *pVal = PlaylistCount();
        return S_OK;
    });
}

// The whole title the entry holds is handed over: no position prefix, no cut. Every
// out-parameter is filled even when one string cannot be allocated (that one is left empty).
HRESULT AutomationControl::GetPlaylistItem(LONG Position, VARIANT* filename, VARIANT* filetitle,
                                           VARIANT* Length)
{
    return GuardedCom([&]() -> HRESULT {
        if (!filename || !filetitle || !Length) return E_POINTER;
        SetOutLong(Length, EntryLength(Position));
        std::wstring wideName, wideTitle;
        if (EntryWideAnswer(Position, wideName, wideTitle)) {
            HRESULT nameResult = SetOutText(filename, wideName.c_str());
            HRESULT titleResult = SetOutText(filetitle, wideTitle.c_str());
            return FAILED(nameResult) ? nameResult : titleResult;
        }
        char name[kFileNameSize] = "";
        char title[kTitleSize] = "";
        PlaylistGetEntry(Position, name, sizeof(name), title, sizeof(title));
        HRESULT nameResult = SetOutText(filename, name);
        HRESULT titleResult = SetOutText(filetitle, title);
        return FAILED(nameResult) ? nameResult : titleResult;
    });
}

HRESULT AutomationControl::GetCurrentPlaylistItem(VARIANT* filename, VARIANT* filetitle)
{
    return GuardedCom([&]() -> HRESULT {
        if (!filename || !filetitle) return E_POINTER;
        std::wstring wideName, wideTitle;
        if (EntryWideAnswer(engine.currentIndex, wideName, wideTitle)) {
            const std::wstring display = std::to_wstring(engine.currentIndex + 1) + L". " + wideTitle;
            HRESULT nameResult = SetOutText(filename, wideName.c_str());
            HRESULT titleResult = SetOutText(filetitle, display.c_str());
            return FAILED(nameResult) ? nameResult : titleResult;
        }
        char name[kFileNameSize];
        char display[kDisplayTitleSize];
        PlaylistCurrentItem(name, sizeof(name), display, sizeof(display));
        HRESULT nameResult = SetOutText(filename, name);
        HRESULT titleResult = SetOutText(filetitle, display);
        return FAILED(nameResult) ? nameResult : titleResult;
    });
}

HRESULT AutomationControl::DeletePlaylistItem(int Position)
{
    return GuardedCom([&]() -> HRESULT {
        PlaylistDeleteAt(Position);
        FireMsgEvent(engine.controlObject, kMsgListChanged);
        return S_OK;
    });
}

HRESULT AutomationControl::PlaylistSwapItems(LONG item1, LONG item2)
{
    return GuardedCom([&]() -> HRESULT {
        PlaylistSwapItemsKeepingCurrent(item1, item2);
        return S_OK;
    });
}

HRESULT AutomationControl::PlaylistSort()
{
    return GuardedCom([&]() -> HRESULT {
        PlaylistSortRange(0);
        FireMsgEvent(engine.controlObject, kMsgListChanged);
        return S_OK;
    });
}

HRESULT AutomationControl::PlaylistRandomize()
{
    return GuardedCom([&]() -> HRESULT {
        PlaylistRandomizeEntries();
        FireMsgEvent(engine.controlObject, kMsgListChanged);
        return S_OK;
    });
}

HRESULT AutomationControl::put_PlaylistPos(LONG value)
{
    return GuardedCom([&]() -> HRESULT {
        PlaylistSetPos(value);
        FireMsgEvent(engine.controlObject, kMsgListChanged);
        return S_OK;
    });
}

HRESULT AutomationControl::get_PlaylistPos(LONG* pVal)
{
    return GuardedCom([&]() -> HRESULT {
        if (!pVal) return E_POINTER;
        *pVal = PlaylistStep(0);
        return S_OK;
    });
}

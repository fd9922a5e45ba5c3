#include "playlist/playlist_edit.h"

#include <utility>

#include "engine/engine_context.h"
#include "playlist/playlist_position.h"
#include "playlist/playlist_store.h"
#include "playlist/shuffle_order.h"

int PlaylistDeleteCurrent()
{
    if (engine.entries.empty()) return -1;
    int32_t removed = engine.currentIndex;
    // After a move on an empty list followed by appends the position can stand at -1.
    if (removed < 0 || removed >= engine.entryCount) return 0;
    MarkShuffleOrderStale();
    PlaylistRemoveRecord(removed);
    if (removed == engine.entryCount) engine.currentIndex -= 1;
    ReserveEntries(engine.entryCount);
    return engine.entries.empty() ? 1 : 0;
}

void PlaylistSwap(int32_t a, int32_t b)
{
    if (a == b || a < 0 || b < 0 || a >= engine.entryCount || b >= engine.entryCount) return;
    std::swap(engine.entries[static_cast<size_t>(a)], engine.entries[static_cast<size_t>(b)]);
}

int PlaylistDeleteAt(int32_t position)
{
    int32_t saved = engine.currentIndex;
    PlaylistSetPos(position);
    int result = PlaylistDeleteCurrent();
    if (saved > position) saved -= 1;
    PlaylistSetPos(saved);
    return result;
}

void PlaylistSwapItemsKeepingCurrent(int32_t a, int32_t b)
{
    if (engine.currentIndex == a) {
        PlaylistSetPos(b);
    } else if (engine.currentIndex == b) {
        PlaylistSetPos(a);
    }
    PlaylistSwap(a, b);
}

#include "playlist/playlist_navigation.h"

#include "engine/engine_context.h"
#include "playlist/playlist_position.h"
#include "playlist/shuffle_order.h"

namespace {
constexpr int32_t kToAnEnd = 1000000000;
}  // namespace

bool SelectNextEntry()
{
    if (!engine.shuffle) {
        if (PlaylistStep(+1) == -1) {
            if (!engine.repeat) return false;
            PlaylistSetPos(0);
        }
        return true;
    }
    if (engine.entryCount == 0) return false;
    const int32_t previous = engine.currentIndex;
    if (PlaylistShuffleStep(+1) == 1) {
        if (!engine.repeat) return false;
        PlaylistShuffleStep(-kToAnEnd);
    }
    if (engine.currentIndex == previous && engine.entryCount > 1) PlaylistShuffleStep(+1);
    return true;
}

int SelectPreviousEntry()
{
    if (!engine.shuffle && PlaylistStep(-1) == -1) {
        if (!engine.repeat) return -1;
        PlaylistStep(+kToAnEnd);
    }
    if (engine.entryCount == 0) return -1;
    if (engine.shuffle && PlaylistShuffleStep(-1) == 1) return 1;
    return 0;
}

#include "playlist/playlist_position.h"

#include "engine/engine_context.h"

int32_t PlaylistStep(int32_t delta)
{
    if (delta == 0) return engine.currentIndex;
    // Summed in 64 bits: a jump of a billion from any position must not overflow.
    int64_t moved = static_cast<int64_t>(engine.currentIndex) + delta;
    if (moved < 0) {
        engine.currentIndex = 0;
        return -1;
    }
    if (moved >= engine.entryCount) {
        engine.currentIndex = engine.entryCount - 1;
        return -1;
    }
    engine.currentIndex = static_cast<int32_t>(moved);
    return engine.currentIndex;
}

void PlaylistSetPos(int32_t index)
{
    engine.currentIndex = 0;
    PlaylistStep(index);
}

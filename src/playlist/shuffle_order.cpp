#include "playlist/shuffle_order.h"

#include <cstdlib>
#include <exception>
#include <utility>

#include "engine/engine_context.h"
#include "playlist/playlist_position.h"

namespace {

// False when the table cannot be had; the order then stays stale.
bool Rebuild(ShuffleOrder& order, int32_t count)
{
    try {
        order.table.assign(static_cast<size_t>(count), 0);
    } catch (const std::exception&) {
        order.table.clear();
        order.stale = true;
        order.builtFor = -1023;
        return false;
    }
    order.builtFor = count;
    order.stale = false;
    for (int32_t i = 0; i < count; ++i) order.table[static_cast<size_t>(i)] = i;
    for (int warmUp = std::rand() % 37 + 18; warmUp > 0; --warmUp) std::rand();
    for (int32_t i = 0; i + 1 < count; ++i) {
        int32_t left = count - i;
        int32_t j = i + 1 + std::rand() % (left - 1);
        if (std::rand() % left != 0) std::swap(order.table[static_cast<size_t>(i)], order.table[static_cast<size_t>(j)]);
    }
    order.cursor = 0;
    return true;
}

}  // namespace

void MarkShuffleOrderStale()
{
    engine.shuffleOrder.stale = true;
}

int32_t PlaylistShuffleStep(int32_t delta)
{
    ShuffleOrder& order = engine.shuffleOrder;
    const int32_t count = engine.entryCount;
    if (count == 0) {
        order.builtFor = 0;
        return 0;
    }
    int64_t cursor;
    if (order.builtFor == count && !order.stale) {
        cursor = static_cast<int64_t>(order.cursor) + delta;
    } else {
        if (!Rebuild(order, count)) return 0;
        cursor = 0;
    }
    int32_t ranPast = 0;
    if (cursor >= count) {
        cursor = engine.repeat ? 0 : count - 1;
        ranPast = 1;
    } else if (cursor < 0) {
        cursor = 0;
        ranPast = 1;
    }
    order.cursor = static_cast<int32_t>(cursor);
    PlaylistSetPos(order.table[static_cast<size_t>(cursor)]);
    return ranPast;
}

#include "playlist/shuffle_order.h"

#include "engine/engine_context.h"

void MarkShuffleOrderStale()
{
    engine.shuffleOrder.stale = true;
}

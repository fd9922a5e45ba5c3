#include "engine/play_timer.h"

#include "engine/engine_context.h"

void KillPlayTimer()
{
    if (engine.playTimer == 0) return;
    KillTimer(nullptr, engine.playTimer);
    engine.playTimer = 0;
}

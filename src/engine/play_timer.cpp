#include "engine/play_timer.h"

#include "engine/engine_context.h"

namespace {

constexpr UINT kPlayTimerPeriodMs = 256;

void CALLBACK PlayTimerTick(HWND, UINT, UINT_PTR, DWORD) {}

}  // namespace

void StartPlayTimer()
{
    KillPlayTimer();
    engine.playTimer = SetTimer(nullptr, 0, kPlayTimerPeriodMs, PlayTimerTick);
}

void KillPlayTimer()
{
    if (engine.playTimer == 0) return;
    KillTimer(nullptr, engine.playTimer);
    engine.playTimer = 0;
}

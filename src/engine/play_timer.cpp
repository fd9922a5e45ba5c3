#include "engine/play_timer.h"

#include "engine/engine_context.h"

namespace {

constexpr UINT kPlayTimerPeriodMs = 256;

void CALLBACK PlayTimerTick(HWND, UINT, UINT_PTR, DWORD) {}

}  // namespace

void StartPlayTimer()
{
    KillPlayTimer();
    engine.playTimer.Reset(SetTimer(nullptr, 0, kPlayTimerPeriodMs, PlayTimerTick));
}

void KillPlayTimer()
{
    engine.playTimer.Reset();
}

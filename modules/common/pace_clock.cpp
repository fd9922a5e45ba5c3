#include "pace_clock.h"

PaceClock::PaceClock()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    frequency_ = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    Restart();
}

int64_t PaceClock::Now() const
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void PaceClock::Restart()
{
    start_ = Now();
    pausedAt_ = start_;
}

void PaceClock::Pause(bool paused)
{
    if (paused == paused_) return;
    paused_ = paused;
    if (paused) pausedAt_ = Now();
    else start_ += Now() - pausedAt_;
}

int64_t PaceClock::ElapsedMs() const
{
    const int64_t ticks = (paused_ ? pausedAt_ : Now()) - start_;
    return ticks * 1000 / frequency_;
}

#pragma once
// A clock of milliseconds that stands still while paused: the file writer's stand-in for a
// device's play position.
#include <windows.h>
#include <stdint.h>

class PaceClock {
public:
    PaceClock();
    void Restart();
    void Pause(bool paused);
    bool Paused() const { return paused_; }
    // Milliseconds run since the last restart, pauses left out.
    int64_t ElapsedMs() const;

private:
    int64_t Now() const;

    int64_t frequency_ = 1;
    int64_t start_ = 0;
    int64_t pausedAt_ = 0;
    bool paused_ = false;
};

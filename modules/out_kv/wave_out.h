#pragma once
// The platform's wave output device and the blocks prepared for it, owned through the one owning
// template. A prepared block must be unprepared before its device closes: declare the blocks
// after the device, and reset them first.
#include <windows.h>
#include <mmsystem.h>

#include "win/unique_resource.h"

// Closing resets the device first: it refuses to close while blocks are queued.
struct WaveOutTraits {
    using Type = HWAVEOUT;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept
    {
        waveOutReset(value);
        waveOutClose(value);
    }
};
using UniqueWaveOut = UniqueResource<WaveOutTraits>;

// A block header prepared for a device.
struct PreparedBlock {
    HWAVEOUT device = nullptr;
    WAVEHDR* header = nullptr;
    bool operator==(const PreparedBlock& other) const { return device == other.device && header == other.header; }
    bool operator!=(const PreparedBlock& other) const { return !(*this == other); }
};
struct PreparedBlockTraits {
    using Type = PreparedBlock;
    static Type None() noexcept { return PreparedBlock(); }
    static void Close(Type value) noexcept { waveOutUnprepareHeader(value.device, value.header, sizeof *value.header); }
};
using UniquePreparedBlock = UniqueResource<PreparedBlockTraits>;

#pragma once
// One playlist entry: a plain record that the store moves whole (append, swap, sort, randomize).
#include <stdint.h>

#include <memory>
#include <new>
#include <utility>
#include <vector>

constexpr int kFileNameSize = 260;
constexpr int kTitleSize = 400;
constexpr int kDisplayTitleSize = 520;

struct PlaylistEntry {
    char filename[kFileNameSize];  // full local path, or a location (URL) as given
    char title[kTitleSize];
    int32_t length;                // seconds; -1 unknown
    uint8_t sortMark;              // scratch mark of the title sort
    int32_t duration;              // play limit in ms of output time; -1 none
    int32_t volumePercent;         // percent of the engine volume; plain entries 100
    uint32_t wideName;             // 1-based in engine.wideNames: the name the container gave,
                                   // where the code page cannot carry it; 0 none
};

// Allocates as the standard allocator does, but leaves the records that a vector adds by resizing
// unwritten: the store writes each record when an entry is appended and never reads the capacity
// beyond the count, so those pages stay untouched until entries use them (at 100,000 entries a
// third of the array, whose first touch costs more than the appends themselves).
template <typename T>
struct UnwrittenTailAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UnwrittenTailAllocator<U>;
    };
    UnwrittenTailAllocator() = default;
    template <typename U>
    UnwrittenTailAllocator(const UnwrittenTailAllocator<U>&) noexcept
    {
    }
    template <typename U>
    void construct(U* at) noexcept
    {
        ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args)
    {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
};

using PlaylistEntries = std::vector<PlaylistEntry, UnwrittenTailAllocator<PlaylistEntry>>;

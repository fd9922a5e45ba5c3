#include "playlist/playlist_store.h"

#include <stdint.h>

#include <algorithm>
#include <exception>
#include <new>
#include <vector>

#include "engine/engine_context.h"
#include "playlist/shuffle_order.h"
#include "win/ansi_text.h"

namespace {

constexpr int32_t kGrowthSlack = 128;
constexpr int32_t kShrinkThreshold = 256;
constexpr int32_t kAppendHeadroom = 16;

PlaylistEntry* EntryAt(int32_t index)
{
    if (index < 0 || index >= engine.entryCount) return nullptr;
    return &engine.entries[static_cast<size_t>(index)];
}

PlaylistEntry* CurrentEntry() { return EntryAt(engine.currentIndex); }

// Replaces the array by one of exactly capacity records, the entries in use copied.
void Reallocate(int32_t capacity)
{
    PlaylistEntries resized;
    if (capacity > 0) {
        size_t kept = static_cast<size_t>(std::min(engine.entryCount, capacity));
        resized.reserve(static_cast<size_t>(capacity));
        resized.assign(engine.entries.begin(), engine.entries.begin() + kept);
        resized.resize(static_cast<size_t>(capacity));
    }
    engine.entries.swap(resized);
    engine.entryCapacity = capacity;
}

// Once dropped texts outweigh the ones in use, copies those into one fresh block that holds them
// all and lets the old blocks go. Without memory for it the old blocks stay.
void CompactTextsIfWanted()
{
    if (!engine.entryTexts.WantsCompacting()) return;
    EntryTexts fresh;
    try {
        fresh.Reserve(engine.entryTexts.UsedBytes());
    } catch (const std::bad_alloc&) {
        return;
    }
    for (int32_t i = 0; i < engine.entryCount; ++i) {
        PlaylistEntry& entry = engine.entries[static_cast<size_t>(i)];
        entry.filename = fresh.Keep(entry.filename, kFileNameSize);
        entry.title = fresh.Keep(entry.title, kTitleSize);
    }
    engine.entryTexts = std::move(fresh);
}

// The capacity for need records: a growth step of half the present capacity (at least 128 beyond
// the need) keeps the records moved per append constant on average, however long the list.
int32_t GrownCapacity(int32_t need, int32_t capacity)
{
    int64_t grown = std::max<int64_t>(int64_t{need} + kGrowthSlack, int64_t{capacity} + capacity / 2);
    return static_cast<int32_t>(std::min<int64_t>(grown, INT32_MAX));
}

// Shrinking waits until less than a third is used and more than 256 records stand free, and
// leaves room for half as many again: after any move of the array the list must grow or shrink
// by about half before the array moves again, so alternating appends and deletes do not copy it
// each time.
bool ShouldShrink(int32_t need, int32_t capacity)
{
    return need < capacity - kShrinkThreshold && need < capacity / 3;
}

int32_t ShrunkCapacity(int32_t need) { return need + need / 2; }

}  // namespace

int32_t PlaylistCount() { return engine.entryCount; }

void PlaylistClear()
{
    PlaylistEntries().swap(engine.entries);
    engine.entryTexts = EntryTexts{};
    std::vector<WideText>().swap(engine.wideNames);
    engine.entryCount = 0;
    engine.entryCapacity = 0;
    engine.currentIndex = 0;
}

int PlaylistGetEntry(int32_t index, char* filename, size_t filenameSize, char* title,
                     size_t titleSize)
{
    const PlaylistEntry* entry = EntryAt(index);
    if (!entry) return 1;
    if (filename) CopyBounded(filename, filenameSize, entry->filename);
    if (title) CopyBounded(title, titleSize, entry->title);
    return 0;
}

int32_t EntryLength(int32_t index)
{
    const PlaylistEntry* entry = EntryAt(index);
    return entry ? entry->length : kUnknownLength;
}

int32_t CurrentVolume()
{
    const PlaylistEntry* entry = CurrentEntry();
    return entry ? entry->volumePercent : kPlainEntryVolume;
}

int32_t CurrentDuration()
{
    const PlaylistEntry* entry = CurrentEntry();
    return entry ? entry->duration : kNoDurationLimit;
}

int ReserveEntries(int32_t need)
{
    if (need < 0) need = 0;
    int32_t capacity = engine.entryCapacity;
    int32_t wanted;
    if (need > capacity) {
        wanted = GrownCapacity(need, capacity);
    } else if (ShouldShrink(need, capacity)) {
        wanted = ShrunkCapacity(need);
    } else {
        return 0;
    }
    try {
        Reallocate(wanted);
    } catch (const std::exception&) {
        return -1;
    }
    return 0;
}

int PlaylistAppendRecord(const char* storedName, const char* title, int32_t length,
                         int32_t volumePercent, int32_t duration)
{
    MarkShuffleOrderStale();
    if (ReserveEntries(engine.entryCount + kAppendHeadroom) != 0) return -1;
    try {
        engine.entryTexts.Reserve(kFileNameSize + kTitleSize);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    PlaylistEntry& entry = engine.entries[static_cast<size_t>(engine.entryCount)];
    entry = PlaylistEntry{};
    entry.filename = engine.entryTexts.Keep(storedName, kFileNameSize);
    entry.title = engine.entryTexts.Keep(title, kTitleSize);
    entry.length = length;
    entry.duration = duration;
    entry.volumePercent = volumePercent;
    engine.entryCount += 1;
    return 0;
}

int PlaylistSetTitle(int32_t index, const char* title)
{
    PlaylistEntry* entry = EntryAt(index);
    if (!entry) return -1;
    const char* kept;
    try {
        kept = engine.entryTexts.Keep(title, kTitleSize);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    engine.entryTexts.Drop(entry->title);
    entry->title = kept;
    CompactTextsIfWanted();
    return 0;
}

void PlaylistRemoveRecord(int32_t index)
{
    PlaylistEntry* entry = EntryAt(index);
    if (!entry) return;
    engine.entryTexts.Drop(entry->filename);
    engine.entryTexts.Drop(entry->title);
    auto removed = engine.entries.begin() + index;
    std::copy(removed + 1, engine.entries.begin() + engine.entryCount, removed);
    engine.entryCount -= 1;
    CompactTextsIfWanted();
}

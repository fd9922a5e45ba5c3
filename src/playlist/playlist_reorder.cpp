#include "playlist/playlist_reorder.h"

#include <cstdlib>
#include <exception>
#include <vector>

#include "engine/engine_context.h"
#include "playlist/playlist_edit.h"

namespace {

int FoldCase(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// _stricmp as the "C" locale defines it, spelled out: the runtime's own follows whatever locale
// the container has set, and Wine's compares bytes above 127 as negative values.
int CompareTitles(const void* left, const void* right)
{
    auto a = reinterpret_cast<const unsigned char*>(static_cast<const PlaylistEntry*>(left)->title);
    auto b = reinterpret_cast<const unsigned char*>(static_cast<const PlaylistEntry*>(right)->title);
    for (;; ++a, ++b) {
        int difference = FoldCase(*a) - FoldCase(*b);
        if (difference != 0 || *a == 0) return difference;
    }
}

int ComparePointedTitles(const void* left, const void* right)
{
    return CompareTitles(*static_cast<PlaylistEntry* const*>(left), *static_cast<PlaylistEntry* const*>(right));
}

// Sorts count records by title through an array of pointers: the quicksort makes the same
// comparisons and exchanges whatever it sorts, so the order comes out the same as when sorting
// the records themselves, but each exchange moves 4 bytes instead of a whole record, and each
// record then moves once. False (nothing moved) when the pointers cannot be had.
bool SortThroughPointers(PlaylistEntry* records, size_t count)
{
    std::vector<PlaylistEntry*> order;
    try {
        order.resize(count);
    } catch (const std::exception&) {
        return false;
    }
    for (size_t i = 0; i < count; ++i) order[i] = records + i;
    std::qsort(order.data(), count, sizeof(PlaylistEntry*), ComparePointedTitles);
    // order[i] names the record that belongs at i: follow each cycle of that permutation with
    // one record held aside, and clear each slot of order once its record is in place.
    for (size_t start = 0; start < count; ++start) {
        if (!order[start] || order[start] == records + start) continue;
        PlaylistEntry held = records[start];
        size_t at = start;
        while (order[at] != records + start) {
            size_t from = static_cast<size_t>(order[at] - records);
            records[at] = records[from];
            order[at] = nullptr;
            at = from;
        }
        records[at] = held;
        order[at] = nullptr;
    }
    return true;
}

}  // namespace

void PlaylistSortRange(int32_t first)
{
    int32_t count = engine.entryCount;
    if (count < 2 || first < 0 || first >= count) return;
    PlaylistEntry* entries = engine.entries.data();
    for (int32_t i = 0; i < count; ++i) entries[i].sortMark = 0;
    int32_t current = engine.currentIndex;
    if (current >= 0 && current < count) entries[current].sortMark = 1;
    const size_t sorted = static_cast<size_t>(count - first);
    if (!SortThroughPointers(entries + first, sorted)) {
        std::qsort(entries + first, sorted, sizeof(PlaylistEntry), CompareTitles);
    }
    for (int32_t i = 0; i < count; ++i) {
        if (entries[i].sortMark) {
            engine.currentIndex = i;
            break;
        }
    }
}

void PlaylistRandomizeEntries()
{
    int32_t count = engine.entryCount;
    for (int32_t i = 0; i + 1 < count; ++i) {
        int32_t j = i + 1 + std::rand() % (count - i - 1);
        int32_t exchange = std::rand() % (count - i);
        if (exchange == 0) continue;
        PlaylistSwap(i, j);
        if (engine.currentIndex == j) {
            engine.currentIndex = i;
        } else if (engine.currentIndex == i) {
            engine.currentIndex = j;
        }
    }
}

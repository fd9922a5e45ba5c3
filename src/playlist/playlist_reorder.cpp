#include "playlist/playlist_reorder.h"

#include <cstdlib>

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

}  // namespace

void PlaylistSortRange(int32_t first)
{
    int32_t count = engine.entryCount;
    if (count < 2 || first < 0 || first >= count) return;
    PlaylistEntry* entries = engine.entries.data();
    for (int32_t i = 0; i < count; ++i) entries[i].sortMark = 0;
    int32_t current = engine.currentIndex;
    if (current >= 0 && current < count) entries[current].sortMark = 1;
    std::qsort(entries + first, static_cast<size_t>(count - first), sizeof(PlaylistEntry), CompareTitles);
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

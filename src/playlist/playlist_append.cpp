#include "playlist/playlist_append.h"

#include "engine/engine_context.h"
#include "playlist/entry_names.h"
#include "playlist/entry_titles.h"
#include "playlist/playlist_store.h"
#include "playlist/title_lookup.h"
#include "playlist/wide_names.h"

namespace {

int AppendLookedUp(const char* name, int32_t volumePercent, int32_t durationMs)
{
    char stored[kFileNameSize];
    if (ResolveEntryName(name, stored) != 0) return -1;
    QueryFileTitle(stored);
    char* title = TidyLookedUpTitle();
    if (PlaylistAppendRecord(stored, title, engine.lookupLength, volumePercent, durationMs) != 0) return -1;
    KeepWideTitle(engine.entryCount - 1, engine.lookupWideTitle);
    return 0;
}

}  // namespace

int PlaylistAppendFile(const char* name)
{
    return AppendLookedUp(name, kPlainEntryVolume, kNoDurationLimit);
}

int PlaylistAppendWithArgs(const char* name, int32_t volumePercent, int32_t durationMs)
{
    return AppendLookedUp(name, volumePercent, durationMs);
}

int PlaylistAppendTitled(const char* name, const char* title, int32_t length)
{
    char stored[kFileNameSize];
    if (ResolveEntryName(name, stored) != 0) return -1;
    return PlaylistAppendRecord(stored, title, length, kPlainEntryVolume, kNoDurationLimit);
}

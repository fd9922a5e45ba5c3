#include "playlist/entry_texts.h"

#include <string.h>

#include <algorithm>

#include "win/ansi_text.h"

namespace {

constexpr size_t kBlockSize = 64 * 1024;

}  // namespace

void EntryTexts::Reserve(size_t bytes)
{
    if (bytes <= room_) return;
    const size_t size = std::max(bytes, kBlockSize);
    blocks_.reserve(blocks_.size() + 1);
    blocks_.emplace_back(new char[size]);
    next_ = blocks_.back().get();
    room_ = size;
    heldBytes_ += size;
}

const char* EntryTexts::Keep(const char* text, size_t limit)
{
    const size_t length = BoundedLength(text, limit);
    Reserve(length + 1);
    char* kept = next_;
    memcpy(kept, text ? text : "", length);
    kept[length] = '\0';
    next_ += length + 1;
    room_ -= length + 1;
    usedBytes_ += length + 1;
    return kept;
}

void EntryTexts::Drop(const char* text)
{
    const size_t bytes = strlen(text) + 1;
    usedBytes_ -= bytes;
    droppedBytes_ += bytes;
}

bool EntryTexts::WantsCompacting() const
{
    return droppedBytes_ > usedBytes_ && droppedBytes_ > kBlockSize;
}

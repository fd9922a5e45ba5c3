#pragma once
// The texts of the playlist's entries (stored names and titles), each kept at its own length in
// blocks that never move: a record holds a plain pointer to each of its texts, so the store still
// moves records as plain bytes (append, delete, swap, sort, randomize), and 100,000 entries take
// what their texts use instead of 660 bytes each.
#include <stddef.h>

#include <memory>
#include <vector>

class EntryTexts {
public:
    // Makes sure the next texts of up to bytes bytes in all (terminators included) find room
    // without allocating. Throws std::bad_alloc, nothing changed.
    void Reserve(size_t bytes);

    // A copy of text (null as the empty text), cut as a buffer of limit bytes would cut it.
    // Throws std::bad_alloc, nothing kept.
    const char* Keep(const char* text, size_t limit);

    // Counts a kept text as used by no record any more.
    void Drop(const char* text);

    // True once dropped texts outweigh the used ones and a block: copying the used ones to fresh
    // blocks then costs less than the texts dropped since the blocks were last fresh.
    bool WantsCompacting() const;

    // Bytes the blocks hold, and the bytes of texts in use.
    size_t HeldBytes() const { return heldBytes_; }
    size_t UsedBytes() const { return usedBytes_; }

private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t room_ = 0;     // free bytes at the end of the last block
    char* next_ = nullptr;
    size_t heldBytes_ = 0;
    size_t usedBytes_ = 0;
    size_t droppedBytes_ = 0;
};

#pragma once
// The titles that arrive while a station plays, each held until its audio reaches the listener:
// until then the audio before it still waits in the station's buffers, the decoder and the
// output. A station that changes titles faster than they are heard keeps the latest few. A heard
// title becomes the stream's: it is written, under the station's lock, where the host's thread
// reads the stream's title. All but that reading on the decoding thread.
#include <stddef.h>
#include <stdint.h>

#include "icy_demux.h"
#include "tunara_plugin.h"
#include "win/locked.h"

class HeardTitles {
public:
    HeardTitles(Lock& lock, char* title, size_t size) : lock_(lock), title_(title), size_(size) {}
    HeardTitles(const HeardTitles&) = delete;
    HeardTitles& operator=(const HeardTitles&) = delete;

    void Clear() { count_ = 0; }
    // A title whose audio follows the stream's first position bytes of audio.
    void QueueAfter(const char* text, uint64_t position);
    // A title whose audio follows what the output has been given so far.
    void QueueAtWritten(const char* text, const OutputPluginRecord& output);

    // Makes each title, oldest first, the stream's once its audio is heard, calling told() after
    // each, and stops at the first that is not yet. A title queued by its position has its start
    // in the output's time once fed audio bytes have left for the decoder and settled says that
    // all the decoder made of them has been written to the output; it is heard when the output's
    // time has passed that, or the output has played everything.
    template <typename Told>
    void Announce(const OutputPluginRecord& output, bool settled, uint64_t fed, Told told)
    {
        while (TakeHeard(output, settled, fed)) told();
    }

private:
    struct PendingTitle {
        uint64_t position;  // audio bytes of the stream before the title
        int32_t heardAtMs;  // the output time at which its audio starts; -1 while not known
        char text[IcyDemux::kTextBytes];
    };
    static constexpr int kPendingTitles = 4;

    void Push(const char* text, uint64_t position, int32_t heardAtMs);
    // Makes the oldest title the stream's when it is heard; false when there is none that is.
    bool TakeHeard(const OutputPluginRecord& output, bool settled, uint64_t fed);
    void Pop();

    Lock& lock_;
    char* const title_;
    const size_t size_;
    PendingTitle pending_[kPendingTitles];
    int count_ = 0;
};

#include "heard_titles.h"

#include <string.h>

#include "win/ansi_text.h"

namespace {

int32_t WrittenMs(const OutputPluginRecord& output) { return output.getWrittenTime ? output.getWrittenTime() : 0; }

}  // namespace

void HeardTitles::QueueAfter(const char* text, uint64_t position) { Push(text, position, -1); }

void HeardTitles::QueueAtWritten(const char* text, const OutputPluginRecord& output)
{
    Push(text, 0, WrittenMs(output));
}

void HeardTitles::Push(const char* text, uint64_t position, int32_t heardAtMs)
{
    if (count_ == kPendingTitles) Pop();
    PendingTitle& title = pending_[count_++];
    title.position = position;
    title.heardAtMs = heardAtMs;
    CopyBounded(title.text, text);
}

bool HeardTitles::TakeHeard(const OutputPluginRecord& output, bool settled, uint64_t fed)
{
    if (count_ == 0) return false;
    PendingTitle& next = pending_[0];
    if (next.heardAtMs < 0) {
        if (fed < next.position || !settled) return false;
        next.heardAtMs = WrittenMs(output);
    }
    // Once the output has played everything, every title before the stream's end is heard.
    const bool drained = output.isPlaying && !output.isPlaying();
    if (!drained && output.getOutputTime && output.getOutputTime() < next.heardAtMs) return false;
    {
        Locked locked(lock_);
        CopyBounded(title_, size_, next.text);
    }
    Pop();
    return true;
}

void HeardTitles::Pop()
{
    memmove(pending_, pending_ + 1, sizeof pending_[0] * static_cast<size_t>(count_ - 1));
    --count_;
}

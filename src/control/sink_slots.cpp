#include "control/sink_slots.h"

SinkSlots::~SinkSlots()
{
    for (IUnknown* sink : slots_)
        if (sink) sink->Release();
}

DWORD SinkSlots::Add(IUnknown* sink)
{
    sink->AddRef();
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (!slots_[i]) {
            slots_[i] = sink;
            return static_cast<DWORD>(i + 1);
        }
    }
    slots_.push_back(sink);
    return static_cast<DWORD>(slots_.size());
}

bool SinkSlots::Remove(DWORD cookie)
{
    if (cookie == 0 || cookie > slots_.size() || !slots_[cookie - 1]) return false;
    // Empty the slot before releasing: the release may call back into the control.
    IUnknown* sink = slots_[cookie - 1];
    slots_[cookie - 1] = nullptr;
    sink->Release();
    return true;
}

ComPtr<IUnknown> SinkSlots::At(size_t slot) const
{
    return slot < slots_.size() ? ComPtr<IUnknown>(slots_[slot]) : ComPtr<IUnknown>();
}

std::vector<CONNECTDATA> SinkSlots::Connections() const
{
    std::vector<CONNECTDATA> result;
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i]) result.push_back(CONNECTDATA{slots_[i], static_cast<DWORD>(i + 1)});
    return result;
}

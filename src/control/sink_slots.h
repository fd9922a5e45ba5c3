#pragma once
// The connection slots of one connection point: each connected sink holds a slot (and a
// reference) until it disconnects. Slots of disconnected sinks stay empty and are reused by the
// next connection, so the slot order is the delivery order.
#include <windows.h>
#include <ocidl.h>
#include <vector>

#include "win/com_ptr.h"

class SinkSlots {
public:
    SinkSlots() = default;
    SinkSlots(const SinkSlots&) = delete;
    SinkSlots& operator=(const SinkSlots&) = delete;
    ~SinkSlots();

    // Stores the sink (taking a reference) and returns its cookie, never 0.
    DWORD Add(IUnknown* sink);
    // Releases the sink of the cookie; false when the cookie names no connected sink.
    bool Remove(DWORD cookie);

    size_t SlotCount() const { return slots_.size(); }
    // The sink in a slot with a reference for the caller; empty for an empty slot.
    ComPtr<IUnknown> At(size_t slot) const;
    // Every connected sink with its cookie, in slot order.
    std::vector<CONNECTDATA> Connections() const;

private:
    std::vector<IUnknown*> slots_;
};

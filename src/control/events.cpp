#include "control/events.h"

#include "control/automation_control.h"
#include "win/variant.h"

namespace {

constexpr DISPID kDispidMsgEvent = 1;
constexpr DISPID kDispidStatus = 2;
constexpr LCID kUserDefaultLocale = 0x400;

// Calls one event on every connected sink in slot order. The number of slots is read once; a
// slot is read again just before its call, so a sink that a handler disconnects is not called,
// and each call holds its own reference, so a sink that disconnects itself survives its call.
// The control is held for the whole firing: a handler may drop the container's last reference
// to it, and the remaining sinks must still be reachable. What a sink returns is ignored: one
// failing sink does not keep the event from the others. While the container has frozen the
// control's events they are dropped, not queued.
void Fire(AutomationControl* control, DISPID dispid, const long* values, UINT count)
{
    if (!control || control->EventsFrozen()) return;
    ComPtr<AutomationControl> held(control);
    SinkSlots& sinks = control->EventSinks();
    const size_t slotCount = sinks.SlotCount();
    VARIANT args[2];
    Variant result;
    for (size_t slot = 0; slot < slotCount; ++slot) {
        // The slot holds the pointer the sink gave for the event interface: a dispatch pointer.
        ComPtr<IUnknown> heldSink = sinks.At(slot);
        if (!heldSink) continue;
        auto* sink = static_cast<IDispatch*>(heldSink.Get());
        result.Clear();
        // Invoke takes the arguments last to first.
        for (UINT i = 0; i < count; ++i) {
            VariantInit(&args[i]);
            args[i].vt = VT_I4;
            args[i].lVal = values[count - 1 - i];
        }
        DISPPARAMS params{args, nullptr, count, 0};
        sink->Invoke(dispid, IID_NULL, kUserDefaultLocale, DISPATCH_METHOD, &params, result.Get(),
                     nullptr, nullptr);
    }
}

}  // namespace

void FireMsgEvent(AutomationControl* control, long msgId)
{
    const long values[] = {msgId};
    Fire(control, kDispidMsgEvent, values, 1);
}

void FireStatus(AutomationControl* control, long msgId, long comp)
{
    const long values[] = {msgId, comp};
    Fire(control, kDispidStatus, values, 2);
}

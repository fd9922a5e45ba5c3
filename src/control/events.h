#pragma once
// The two events of _ITunaraXChatEvents. Only this file's routines call the container's sinks;
// the rest of the engine sends or posts its messages to the hidden window instead.
class AutomationControl;

void FireMsgEvent(AutomationControl* control, long msgId);
void FireStatus(AutomationControl* control, long msgId, long comp);

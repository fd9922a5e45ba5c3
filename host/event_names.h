#pragma once
// What each event code means to a person reading the demo's output.
const char* MsgEventMeaning(long msgId);
const char* StatusMeaning(long msgId);

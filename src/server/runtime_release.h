#pragma once
// What the statically linked C++ runtime keeps per load and never gives back by itself.
#include <windows.h>

// Called when the module is unloaded while the process goes on. The posix-threads runtime takes
// one thread-local storage index per load (at start-up, for its per-thread records) and never
// frees it: a process that loaded and unloaded the control about a thousand times ran out of
// indexes and aborted. This releases the calling thread's records (as if the thread had left
// the module) and then that index. Other threads' records stay with their threads.
void ReleaseRuntimeThreadStorage(HINSTANCE instance);

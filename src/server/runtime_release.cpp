#include "server/runtime_release.h"

#include <pthread.h>

#include <array>

namespace {

// Every index TlsAlloc can hand out: the 64 in the thread block and the 1024 expansion slots.
constexpr DWORD kTlsIndexes = TLS_MINIMUM_AVAILABLE + 1024;

using TlsValues = std::array<void*, kTlsIndexes>;

void ReadTlsValues(TlsValues& values)
{
    for (DWORD i = 0; i < kTlsIndexes; ++i) values[i] = TlsGetValue(i);
}

// The module's thread-local storage callbacks, from its own image: the runtime's per-thread
// clean-up runs through them.
void RunTlsCallbacks(HINSTANCE instance, DWORD reason)
{
    auto base = reinterpret_cast<const BYTE*>(instance);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS];
    if (entry.VirtualAddress == 0) return;
    auto directory = reinterpret_cast<const IMAGE_TLS_DIRECTORY*>(base + entry.VirtualAddress);
    // AddressOfCallBacks is an address, relocated with the image like any other.
    auto callbacks = reinterpret_cast<const PIMAGE_TLS_CALLBACK*>(directory->AddressOfCallBacks);
    for (; callbacks && *callbacks; ++callbacks) (*callbacks)(instance, reason, nullptr);
}

}  // namespace

void ReleaseRuntimeThreadStorage(HINSTANCE instance)
{
    // The runtime keeps a record for this thread from now on (if it had none), in its index.
    pthread_self();
    TlsValues before;
    ReadTlsValues(before);
    // The runtime's thread-detach clean-up frees this thread's record and empties its slot.
    RunTlsCallbacks(instance, DLL_THREAD_DETACH);
    TlsValues after;
    ReadTlsValues(after);

    // The runtime's index is the one slot that held a value and holds none now. Anything else
    // (no such slot, or several) leaves every index alone: a wrong guess would free an index
    // that some other code still uses.
    DWORD found = TLS_OUT_OF_INDEXES;
    for (DWORD i = 0; i < kTlsIndexes; ++i) {
        if (!before[i] || after[i]) continue;
        if (found != TLS_OUT_OF_INDEXES) return;
        found = i;
    }
    if (found != TLS_OUT_OF_INDEXES) TlsFree(found);
}

#pragma once
// The one catch-all between this code and the callers that cannot take a C++ exception: the
// system calling a window procedure, a container or the automation runtime calling a COM member,
// the loader or a registrar calling an export. The shipped 32-bit build unwinds with DWARF
// tables, which cannot pass the system's frames: an exception that reached one would end the
// process. Every such entry runs its body through Guarded, which turns whatever escapes into the
// entry's own failure result.
#include <windows.h>

#include <new>
#include <utility>

// Runs body and returns its result; outOfMemory when it throws std::bad_alloc, failure when it
// throws anything else.
template <typename Result, typename Body>
Result Guarded(Result outOfMemory, Result failure, Body&& body) noexcept
{
    try {
        return std::forward<Body>(body)();
    } catch (const std::bad_alloc&) {
        return outOfMemory;
    } catch (...) {
        return failure;
    }
}

// A COM member or export: E_OUTOFMEMORY when memory ran out, E_UNEXPECTED for any other failure.
template <typename Body>
HRESULT GuardedCom(Body&& body) noexcept
{
    return Guarded<HRESULT>(E_OUTOFMEMORY, E_UNEXPECTED, std::forward<Body>(body));
}

#pragma once
// What the process holds, to tell that cycles of work leave nothing behind.
#include <windows.h>

struct ProcessUsage {
    DWORD handles = 0;
    DWORD threads = 0;
    DWORD userObjects = 0;
    SIZE_T privateBytes = 0;

    static ProcessUsage Now();
};

// At most two handles, threads and user objects more than before, and less than a megabyte
// more private memory (a leak of 100 bytes a cycle shows over 10,000 cycles).
void ExpectNothingLeftSince(const ProcessUsage& before);

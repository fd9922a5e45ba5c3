#include "support/process_usage.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

ProcessUsage ProcessUsage::Now()
{
    ProcessUsage usage;
    GetProcessHandleCount(GetCurrentProcess(), &usage.handles);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++usage.threads;
    CloseHandle(snapshot);
    usage.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    usage.privateBytes = counters.PrivateUsage;
    return usage;
}

void ExpectNothingLeftSince(const ProcessUsage& before)
{
    const ProcessUsage now = ProcessUsage::Now();
    EXPECT_LE(now.handles, before.handles + 2);
    EXPECT_LE(now.threads, before.threads + 2);
    EXPECT_LE(now.userObjects, before.userObjects + 2);
    EXPECT_LT(now.privateBytes, before.privateBytes + 1024 * 1024);
}

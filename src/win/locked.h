#pragma once
// A critical section and its scoped holder: the modules keep to Win32 primitives (the C++
// runtime's thread support would take a thread-local slot per load that unloading never frees).
#include <windows.h>

class Lock {
public:
    Lock() { InitializeCriticalSection(&section_); }
    ~Lock() { DeleteCriticalSection(&section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    CRITICAL_SECTION* Get() { return &section_; }

private:
    CRITICAL_SECTION section_;
};

class Locked {
public:
    explicit Locked(Lock& lock) : section_(lock.Get()) { EnterCriticalSection(section_); }
    ~Locked() { LeaveCriticalSection(section_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CRITICAL_SECTION* section_;
};

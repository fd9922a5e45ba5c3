#pragma once
// The one owning template for raw system resources: a traits type names the resource's type, the
// value that means "none" and the function that closes it. Moving leaves the source empty; nothing
// here throws. Handles whose "none" is null and those whose "none" is INVALID_HANDLE_VALUE are
// distinct types, so a failed CreateFile is never mistaken for an open file.
#include <windows.h>
#include <wininet.h>
#include <oleauto.h>

#include <utility>

template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : value_(value) {}
    UniqueResource(UniqueResource&& other) noexcept : value_(other.Detach()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { Reset(); }

    Type Get() const noexcept { return value_; }
    bool Valid() const noexcept { return value_ != Traits::None(); }
    explicit operator bool() const noexcept { return Valid(); }
    // Gives up ownership without closing.
    Type Detach() noexcept { return std::exchange(value_, Traits::None()); }
    // Closes what is held and takes value instead.
    void Reset(Type value = Traits::None()) noexcept
    {
        Type old = std::exchange(value_, value);
        if (old != Traits::None()) Traits::Close(old);
    }
    // Closes what is held and hands out the slot for a function that returns through a pointer.
    Type* Out() noexcept
    {
        Reset();
        return &value_;
    }

private:
    Type value_ = Traits::None();
};

// A kernel handle whose "none" is null: events, threads, processes, mutexes.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { CloseHandle(value); }
};
// A file handle from CreateFile, whose "none" is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Type = HANDLE;
    static Type None() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { CloseHandle(value); }
};
// A directory search from FindFirstFile.
struct FindHandleTraits {
    using Type = HANDLE;
    static Type None() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { FindClose(value); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { FreeLibrary(value); }
};
struct WindowTraits {
    using Type = HWND;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept
    {
        if (IsWindow(value)) DestroyWindow(value);
    }
};
// A thread timer (SetTimer without a window).
struct ThreadTimerTraits {
    using Type = UINT_PTR;
    static Type None() noexcept { return 0; }
    static void Close(Type value) noexcept { KillTimer(nullptr, value); }
};
// Closing a WinInet session handle also closes the handles opened under it.
struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { InternetCloseHandle(value); }
};
struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { DeleteObject(value); }
};
struct GlobalMemoryTraits {
    using Type = HGLOBAL;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { GlobalFree(value); }
};
struct RegistryKeyTraits {
    using Type = HKEY;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { RegCloseKey(value); }
};
struct BstrTraits {
    using Type = BSTR;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { SysFreeString(value); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFile = UniqueResource<FileHandleTraits>;
using UniqueFind = UniqueResource<FindHandleTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;
using UniqueWindow = UniqueResource<WindowTraits>;
using UniqueThreadTimer = UniqueResource<ThreadTimerTraits>;
using UniqueInternet = UniqueResource<InternetHandleTraits>;
using UniqueGdiObject = UniqueResource<GdiObjectTraits>;
using UniqueGlobal = UniqueResource<GlobalMemoryTraits>;
using UniqueRegistryKey = UniqueResource<RegistryKeyTraits>;
using Bstr = UniqueResource<BstrTraits>;

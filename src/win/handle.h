#pragma once
// Owning wrappers for kernel handles and loaded modules.
#include <windows.h>
#include <utility>

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept { std::swap(h_, o.h_); return *this; }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { if (Valid()) CloseHandle(h_); }

    HANDLE Get() const { return h_; }
    bool Valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_ = nullptr;
};

class Module {
public:
    Module() = default;
    explicit Module(HMODULE m) : m_(m) {}
    Module(Module&& o) noexcept : m_(std::exchange(o.m_, nullptr)) {}
    Module& operator=(Module&& o) noexcept { std::swap(m_, o.m_); return *this; }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    ~Module() { if (m_) FreeLibrary(m_); }

    HMODULE Get() const { return m_; }
    HMODULE Detach() { return std::exchange(m_, nullptr); }
    FARPROC Export(const char* name) const { return m_ ? GetProcAddress(m_, name) : nullptr; }

private:
    HMODULE m_ = nullptr;
};

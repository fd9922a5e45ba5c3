#pragma once
// Owning wrapper for a WinInet handle. Closing a session handle also closes the handles opened
// under it.
#include <windows.h>
#include <wininet.h>

#include <utility>

class InternetHandle {
public:
    InternetHandle() = default;
    explicit InternetHandle(HINTERNET h) : h_(h) {}
    InternetHandle(InternetHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    InternetHandle& operator=(InternetHandle&& o) noexcept { std::swap(h_, o.h_); return *this; }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle() { Close(); }

    HINTERNET Get() const { return h_; }
    void Close()
    {
        if (h_) InternetCloseHandle(std::exchange(h_, nullptr));
    }

private:
    HINTERNET h_ = nullptr;
};

#pragma once
// Owning BSTR and the conversions between BSTR and ANSI text.
#include <windows.h>
#include <ole2.h>
#include <string>
#include <utility>

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : s_(SysAllocString(text)) {}
    Bstr(Bstr&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
    Bstr& operator=(Bstr&& o) noexcept { std::swap(s_, o.s_); return *this; }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(s_); }

    BSTR Get() const { return s_; }
    BSTR Detach() { return std::exchange(s_, nullptr); }
    BSTR* Out() { SysFreeString(std::exchange(s_, nullptr)); return &s_; }
    UINT Length() const { return SysStringLen(s_); }

private:
    BSTR s_ = nullptr;
};

// A new BSTR holding ANSI text converted with the given code page; empty text gives "".
BSTR AnsiToBstr(const char* text, UINT codePage);
// ANSI text of a BSTR in the given code page; a null BSTR gives "".
std::string BstrToAnsi(BSTR text, UINT codePage);

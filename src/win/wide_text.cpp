#include "win/wide_text.h"

namespace {

std::wstring ToWide(UINT codePage, std::string_view text)
{
    std::wstring wide;
    if (text.empty()) return wide;
    const int count = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (count <= 0) return wide;
    wide.assign(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), count);
    return wide;
}

std::string FromWide(UINT codePage, std::wstring_view text)
{
    std::string bytes;
    if (text.empty()) return bytes;
    const int count =
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (count <= 0) return bytes;
    bytes.assign(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), count, nullptr, nullptr);
    return bytes;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view text) { return ToWide(CP_UTF8, text); }
std::string Utf8FromWide(std::wstring_view text) { return FromWide(CP_UTF8, text); }
std::string AnsiFromWide(std::wstring_view text, UINT codePage) { return FromWide(codePage, text); }
std::wstring WideFromAnsi(std::string_view text, UINT codePage) { return ToWide(codePage, text); }

bool AnsiCarries(std::wstring_view text, std::string& ansi)
{
    BOOL lossy = FALSE;
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL* asked = utf8 ? nullptr : &lossy;
    const int length = static_cast<int>(text.size());
    const int bytes = length ? WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, asked) : 0;
    ansi.assign(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_ACP, flags, text.data(), length, ansi.data(), bytes, nullptr, asked);
    return !lossy;
}

std::wstring CutWide(std::wstring_view text, size_t count)
{
    if (text.size() <= count) return std::wstring(text);
    if (count > 0 && text[count - 1] >= 0xD800 && text[count - 1] <= 0xDBFF) --count;
    return std::wstring(text.substr(0, count));
}

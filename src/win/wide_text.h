#pragma once
// Conversions between UTF-16, UTF-8 and ANSI text. Each throws std::bad_alloc when no buffer
// can be had.
#include <windows.h>

#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
// Characters the code page lacks become "?".
std::string AnsiFromWide(std::wstring_view text, UINT codePage = CP_ACP);
std::wstring WideFromAnsi(std::string_view text, UINT codePage = CP_ACP);
// The text cut to at most count UTF-16 units, never between the halves of a surrogate pair.
std::wstring CutWide(std::wstring_view text, size_t count);
// The ANSI code page's rendering of the text, without best-fit substitutes ("?" for what it
// lacks), in ansi; true when it carries every character. A UTF-8 code page carries all.
bool AnsiCarries(std::wstring_view text, std::string& ansi);

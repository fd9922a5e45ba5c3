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

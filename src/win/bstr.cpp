#include "win/bstr.h"

#include <vector>

BSTR AnsiToBstr(const char* text, UINT codePage)
{
    if (!text || !*text) return SysAllocString(L"");
    int wide = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (wide <= 0) return SysAllocString(L"");
    std::vector<wchar_t> buffer(static_cast<size_t>(wide));
    MultiByteToWideChar(codePage, 0, text, -1, buffer.data(), wide);
    return SysAllocString(buffer.data());
}

std::string BstrToAnsi(BSTR text, UINT codePage)
{
    int length = static_cast<int>(SysStringLen(text));
    if (!text || length == 0) return std::string();
    int bytes = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(codePage, 0, text, length, result.data(), bytes, nullptr, nullptr);
    return result;
}

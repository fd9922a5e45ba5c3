#include "control/string_conversion.h"

HRESULT AppendedNameToAnsi(BSTR name, std::string& text)
{
    const UINT length = SysStringLen(name);
    if (!name || length == 0) return S_FALSE;
    // The terminator is converted too, as part of the name's characters.
    const int bytes = WideCharToMultiByte(CP_ACP, 0, name, static_cast<int>(length) + 1, nullptr, 0,
                                          nullptr, nullptr);
    if (bytes <= 1) return S_FALSE;
    text.assign(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, name, static_cast<int>(length) + 1, text.data(), bytes, nullptr, nullptr);
    text.resize(static_cast<size_t>(bytes) - 1);
    return S_OK;
}

#include "control/string_conversion.h"

#include "playlist/wide_names.h"

HRESULT AppendedName(BSTR name, std::string& text, std::wstring& wide)
{
    text = StoredNameFor(name, SysStringLen(name), wide);
    return text.empty() ? S_FALSE : S_OK;
}

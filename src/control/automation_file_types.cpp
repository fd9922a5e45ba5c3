// GetFiletypes: the file dialog filter of every supported type.
#include <string>

#include "control/automation_control.h"
#include "control/out_variant.h"
#include "plugins/file_type_list.h"
#include "win/guarded.h"

// The engine keeps the list as NUL-separated texts; the container gets them joined with '|'
// ("description|pattern|description|pattern|..."), the form file dialog filters take in most
// script hosts, since a BSTR cut at the first NUL would carry only the first description.
HRESULT AutomationControl::GetFiletypes(VARIANT* retFileTypes)
{
    return GuardedCom([&]() -> HRESULT {
        if (!retFileTypes) return E_POINTER;
        std::string joined;
        for (const char* text = BuildFileTypeList(); *text; text += strlen(text) + 1) {
            if (!joined.empty()) joined += '|';
            joined += text;
        }
        return SetOutText(retFileTypes, joined.c_str());
    });
}

#include "base_title.h"

#include <windows.h>

#include "utf8_text.h"
#include "win/ansi_text.h"

void BaseTitle(const char* path, char* title, size_t size)
{
    const char* name = path ? path : "";
    // CharNextA: a trail byte of a double-byte character may look like a backslash.
    for (const char* p = name; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/') name = p + 1;
    char copy[MAX_PATH];
    CopyBounded(copy, name);
    char* dot = nullptr;
    for (char* p = copy; *p; p = CharNextA(p))
        if (*p == '.') dot = p;
    if (dot && dot != copy) *dot = '\0';
    Utf8FromAnsi(copy, title, size);
}

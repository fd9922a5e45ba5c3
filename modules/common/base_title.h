#pragma once
#include <stddef.h>

// The file's name (in the ANSI code page) without its folder and extension, in UTF-8, cut to
// fit size bytes.
void BaseTitle(const char* path, char* title, size_t size);

#pragma once
#include <stddef.h>

// The file's name without its folder and extension, cut to fit size bytes.
void BaseTitle(const char* path, char* title, size_t size);

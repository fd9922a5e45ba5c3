#pragma once
// Titles as the list writers put them on one line.
#include <string>

// The title with every CR and LF turned into a space: a line break inside a title would end
// its line in the written list.
std::string OneLineTitle(const char* title);

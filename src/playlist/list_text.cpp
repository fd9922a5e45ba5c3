#include "playlist/list_text.h"

std::string OneLineTitle(const char* title)
{
    std::string line(title);
    for (char& c : line) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return line;
}

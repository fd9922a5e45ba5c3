#include "playlist/resource_strings.h"

#include <climits>

#include "engine/engine_context.h"
#include "win/ansi_text.h"

char* LoadResString(UINT id, char* buffer, size_t size)
{
    if (!buffer) {
        buffer = engine.resourceString;
        size = sizeof(engine.resourceString);
    }
    if (size == 0) return buffer;
    // Before Initialize there is no string module; a null instance would read the container's
    // own string table instead.
    int loaded = 0;
    if (engine.stringInstance) {
        int room = size > INT_MAX ? INT_MAX : static_cast<int>(size);
        loaded = LoadStringA(engine.stringInstance, id, buffer, room);
    }
    if (loaded == 0) CopyBounded(buffer, size, "Error loading string");
    return buffer;
}

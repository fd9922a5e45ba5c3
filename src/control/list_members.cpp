#include "control/list_members.h"

#include "playlist/entry_names.h"
#include "playlist/m3u_list.h"
#include "playlist/pls_list.h"

bool ReadListByExtension(const char* name)
{
    const char* extension = GetExtension(name);
    if (_stricmp(extension, "m3u") == 0 || _stricmp(extension, "m3u8") == 0) {
        ReadM3UList(name);
        return true;
    }
    if (_stricmp(extension, "pls") == 0) {
        ReadPLSList(name);
        return true;
    }
    return false;
}

#include "control/list_members.h"

#include "playlist/entry_names.h"
#include "playlist/m3u_list.h"
#include "playlist/pls_list.h"

HRESULT ListMemberResult(int readerResult)
{
    return readerResult == kRemoteListRefused ? E_NOTIMPL : S_OK;
}

bool ReadListByExtension(const char* name, HRESULT& result)
{
    const char* extension = GetExtension(name);
    if (_stricmp(extension, "m3u") == 0) {
        result = ListMemberResult(ReadM3UList(name));
        return true;
    }
    if (_stricmp(extension, "pls") == 0) {
        result = ListMemberResult(ReadPLSList(name));
        return true;
    }
    return false;
}

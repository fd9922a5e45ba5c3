#include "plugins/input_loader.h"

#include "engine/engine_context.h"
#include "plugins/host_services.h"
#include "plugins/plugin_search.h"
#include "win/unique_resource.h"
#include "win/library_loading.h"

namespace {
constexpr size_t kInputPathSize = 512;
}  // namespace

void LoadInputPlugins()
{
    int loaded = 0;
    ForEachPluginFile("IN_*.DLL", kInputPathSize, [&](const char* path, const char*) {
        // A library that fails any test is released at once: nothing uses it afterwards.
        UniqueModule library(LoadLibraryFromFullPath(path));
        auto entry = reinterpret_cast<TunaraGetInModuleFn>(
            reinterpret_cast<void*>(ModuleExport(library, "tunaraGetInModule2")));
        InputPluginRecord* record = entry ? entry() : nullptr;
        if (record && record->version <= TUNARA_INPUT_VERSION_EXTENDED) {
            WriteInputHostWords(record, library.Detach());
            engine.inputPlugins[loaded++] = record;
            if (record->init) record->init();
            InstallSetMediaInfo(record);
        }
        return loaded < kInputPluginSlots - 1;
    });
}

void UnloadInputPlugins()
{
    for (InputPluginRecord*& slot : engine.inputPlugins) {
        if (!slot) break;
        auto library = static_cast<HMODULE>(slot->moduleHandle);
        if (slot->quit) slot->quit();
        FreeLibrary(library);
        slot = nullptr;
    }
    engine.currentInputPlugin = nullptr;
}

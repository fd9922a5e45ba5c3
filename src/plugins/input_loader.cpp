#include "plugins/input_loader.h"

#include <utility>

#include "engine/engine_context.h"
#include "plugins/host_services.h"
#include "plugins/plugin_call.h"
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
            WriteInputHostWords(record, library.Get());
            engine.inputTexts[loaded] = reinterpret_cast<TunaraGetFileTextsFn>(
                reinterpret_cast<void*>(ModuleExport(library, TUNARA_FILE_TEXTS_EXPORT)));
            engine.inputModules[loaded] = std::move(library);
            engine.inputPlugins[loaded++] = record;
            if (record->init) CallPlugin(record->init);
            InstallSetMediaInfo(record);
        }
        return loaded < kInputPluginSlots - 1;
    });
}

void UnloadInputPlugins()
{
    for (int i = 0; i < kInputPluginSlots && engine.inputPlugins[i]; ++i) {
        InputPluginRecord* record = std::exchange(engine.inputPlugins[i], nullptr);
        engine.inputTexts[i] = nullptr;
        if (record->quit) CallPlugin(record->quit);
        engine.inputModules[i].Reset();
    }
    engine.currentInputPlugin = nullptr;
    ++engine.pluginGeneration;
}

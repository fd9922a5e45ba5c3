#include "plugins/output_loader.h"

#include <string.h>

#include <utility>

#include "engine/engine_context.h"
#include "plugins/plugin_call.h"
#include "plugins/plugin_search.h"
#include "win/ansi_text.h"
#include "win/unique_resource.h"
#include "win/library_loading.h"

namespace {

constexpr char kPreferredOutput[] = "out_kv.dll";
constexpr char kFallbackOutput[] = "out_pq2.dll";

// The host's copy of the file name, in zero-filled memory of exactly its length plus one.
char* CopyFileName(const char* fileName)
{
    size_t size = strlen(fileName) + 1;
    auto* copy = static_cast<char*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size));
    if (copy) CopyBounded(copy, size, fileName);
    return copy;
}

// The preferred plugin is opened once for CD-quality stereo; if it refuses, the fallback is
// chosen (whether or not it is loaded).
void SelectOutput()
{
    CopyBounded(engine.chosenOutputName, kPreferredOutput);
    OutputPluginRecord* record = FindChosenOutputPlugin();
    if (!record) return;
    record->hostWindow = engine.hiddenWindow.Get();
    int32_t opened = record->open ? CallPlugin(record->open, 44100, 2, 16, -1, -1) : -1;
    if (opened < 0) CopyBounded(engine.chosenOutputName, kFallbackOutput);
    if (record->close) CallPlugin(record->close);
}

}  // namespace

OutputPluginRecord* FindChosenOutputPlugin()
{
    for (OutputPluginRecord* record : engine.outputPlugins) {
        if (!record) break;
        if (record->fileName && _stricmp(record->fileName, engine.chosenOutputName) == 0) return record;
    }
    return nullptr;
}

void LoadOutputPlugins()
{
    int loaded = 0;
    ForEachPluginFile("OUT_*.DLL", MAX_PATH, [&](const char* path, const char* fileName) {
        UniqueModule library(LoadLibraryFromFullPath(path));
        auto entry = reinterpret_cast<TunaraGetOutModuleFn>(
            reinterpret_cast<void*>(ModuleExport(library, "tunaraGetOutModule")));
        OutputPluginRecord* record = entry ? entry() : nullptr;
        if (record && record->version == TUNARA_OUTPUT_VERSION) {
            // Without its name copy the plugin could never be chosen: leave it unloaded.
            UniqueGlobal name(CopyFileName(fileName));
            if (name) {
                record->moduleHandle = library.Get();
                record->fileName = static_cast<char*>(name.Get());
                engine.outputModules[loaded] = std::move(library);
                engine.outputFileNames[loaded] = std::move(name);
                if (record->init) CallPlugin(record->init);
                engine.outputPlugins[loaded++] = record;
            }
        }
        return loaded < kOutputPluginSlots - 1;
    });
    SelectOutput();
}

void UnloadOutputPlugins()
{
    for (int i = 0; i < kOutputPluginSlots && engine.outputPlugins[i]; ++i) {
        OutputPluginRecord* record = std::exchange(engine.outputPlugins[i], nullptr);
        if (record->quit) CallPlugin(record->quit);
        record->fileName = nullptr;
        engine.outputFileNames[i].Reset();
        engine.outputModules[i].Reset();
    }
}

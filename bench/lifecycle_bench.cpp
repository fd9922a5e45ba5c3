// Initialize + Deinitialize with 20 input and 5 output modules, beside a bare loop that does the
// same module loads (the plugins and the shared-folder helper), looks up their exports, calls init,
// the preferred output's test open and close, and quit: the engine's own overhead is the
// difference. The two alternate cycle by cycle, so that both meet the same load.
#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "bench_clock.h"
#include "engine/engine_context.h"
#include "engine/lifecycle.h"
#include "support/bare_control.h"
#include "support/plugin_layout.h"
#include "win/library_loading.h"

namespace {

constexpr int kCycles = 40;
constexpr double kGoal = 1.2;

struct LoadedModule {
    HMODULE module;
    TunaraVoidFn quit;
};

// The paths are plain ASCII; the engine loads plugins through the same call.
template <typename Record, typename Entry>
void LoadAndInit(const std::vector<std::string>& paths, const char* exportName, std::vector<LoadedModule>& loaded)
{
    for (const std::string& path : paths) {
        HMODULE module = LoadLibraryFromFullPath(path.c_str());
        auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, exportName)));
        Record* record = entry();
        record->init();
        loaded.push_back({module, record->quit});
    }
}

// As the engine holds them, every module is loaded before the first is released: copies of one
// library cannot all sit at its preferred address, and the system relocates the later ones.
void BareLoop(const std::string& helper, const std::vector<std::string>& inputs,
              const std::vector<std::string>& outputs)
{
    HMODULE helperModule = LoadLibraryFromFullPath(helper.c_str());
    auto query = reinterpret_cast<int32_t(__cdecl*)(char*, uint32_t)>(
        reinterpret_cast<void*>(GetProcAddress(helperModule, "QuerySharedFolderA")));
    char folder[MAX_PATH];
    query(folder, sizeof folder);
    FreeLibrary(helperModule);

    std::vector<LoadedModule> loaded;
    LoadAndInit<InputPluginRecord, TunaraGetInModuleFn>(inputs, "tunaraGetInModule2", loaded);
    LoadAndInit<OutputPluginRecord, TunaraGetOutModuleFn>(outputs, "tunaraGetOutModule", loaded);
    // The first output is the preferred one: the engine opens it once to choose it.
    auto preferred = reinterpret_cast<TunaraGetOutModuleFn>(
        reinterpret_cast<void*>(GetProcAddress(loaded[inputs.size()].module, "tunaraGetOutModule")))();
    preferred->open(44100, 2, 16, -1, -1);
    preferred->close();
    for (const LoadedModule& module : loaded) {
        module.quit();
        FreeLibrary(module.module);
    }
}

}  // namespace

int main()
{
    PluginLayout layout(L"bench_lifecycle");
    std::vector<std::string> inputs, outputs;
    for (int i = 0; i < 20; ++i) {
        std::wstring name = L"IN_" + std::to_wstring(i) + L".DLL";
        layout.AddInput(name, {"extensions=X" + std::to_string(i) + "|Bench"});
        std::wstring path = layout.PluginsDirectory() + L"\\" + name;
        inputs.emplace_back(path.begin(), path.end());
    }
    for (const wchar_t* name : {L"OUT_KV.DLL", L"OUT_PQ2.DLL", L"OUT_A.DLL", L"OUT_B.DLL", L"OUT_C.DLL"}) {
        layout.AddOutput(name);
        std::wstring path = layout.PluginsDirectory() + L"\\" + name;
        outputs.emplace_back(path.begin(), path.end());
    }
    const std::wstring helperPath = layout.Directory() + L"\\sharedir.dll";
    const std::string helper(helperPath.begin(), helperPath.end());
    HMODULE copy = LoadLibraryW((layout.Directory() + L"\\TunaraXChat.dll").c_str());
    engine.moduleInstance = copy;
    BareControl control;

    RoundTimes own, bare;
    for (int i = 0; i < kCycles; ++i) {
        BenchClock engineClock;
        InitializeEngine(&control);
        DeinitializeEngine();
        own.Add(engineClock.Milliseconds());
        BenchClock bareClock;
        BareLoop(helper, inputs, outputs);
        bare.Add(bareClock.Milliseconds());
    }

    printf("Initialize+Deinitialize, 20 inputs + 5 outputs: best %.2f ms, median %.2f ms per cycle\n", own.Best(),
           own.Median());
    printf("bare load/export/init/open/close/quit/free of the same modules: best %.2f ms, median %.2f ms per cycle\n",
           bare.Best(), bare.Median());
    printf("ratio engine/bare: %.2f best, %.2f median (goal <= %.1f)\n", own.Best() / bare.Best(),
           own.Median() / bare.Median(), kGoal);
    FreeLibrary(copy);
    return 0;
}

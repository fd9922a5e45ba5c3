// Initialize + Deinitialize with 20 input and 5 output modules, beside a bare loop that loads the
// same modules, looks up their exports and calls init and quit: the engine's own overhead is
// the difference.
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

// The paths are plain ASCII; the engine loads plugins through the same call.
void BareLoop(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs)
{
    for (const std::string& path : inputs) {
        HMODULE module = LoadLibraryFromFullPath(path.c_str());
        auto entry = reinterpret_cast<TunaraGetInModuleFn>(reinterpret_cast<void*>(GetProcAddress(module, "tunaraGetInModule2")));
        InputPluginRecord* record = entry();
        record->init();
        record->quit();
        FreeLibrary(module);
    }
    for (const std::string& path : outputs) {
        HMODULE module = LoadLibraryFromFullPath(path.c_str());
        auto entry = reinterpret_cast<TunaraGetOutModuleFn>(reinterpret_cast<void*>(GetProcAddress(module, "tunaraGetOutModule")));
        OutputPluginRecord* record = entry();
        record->init();
        record->quit();
        FreeLibrary(module);
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
    HMODULE copy = LoadLibraryW((layout.Directory() + L"\\TunaraXChat.dll").c_str());
    engine.moduleInstance = copy;
    BareControl control;

    BenchClock engineClock;
    for (int i = 0; i < kCycles; ++i) {
        InitializeEngine(&control);
        DeinitializeEngine();
    }
    const double engineMs = engineClock.Milliseconds() / kCycles;

    BenchClock bareClock;
    for (int i = 0; i < kCycles; ++i) BareLoop(inputs, outputs);
    const double bareMs = bareClock.Milliseconds() / kCycles;

    printf("Initialize+Deinitialize, 20 inputs + 5 outputs: %.2f ms per cycle\n", engineMs);
    printf("bare load/export/init/quit/free of the same modules: %.2f ms per cycle\n", bareMs);
    printf("ratio engine/bare: %.2f\n", engineMs / bareMs);
    FreeLibrary(copy);
    return 0;
}

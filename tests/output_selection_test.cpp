// The output choice as the engine settles it at Initialize, with fake output modules beside a
// copy of the control that stands in for the engine's own module.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "engine/engine_context.h"
#include "engine/lifecycle.h"
#include "support/bare_control.h"
#include "support/plugin_layout.h"

namespace {

// Initializes the engine of this test process with the layout's folder as its own directory.
class EngineInLayout {
public:
    explicit EngineInLayout(PluginLayout& layout)
        : module_(LoadLibraryW((layout.Directory() + L"\\TunaraXChat.dll").c_str())), saved_(engine.moduleInstance)
    {
        engine.moduleInstance = module_;
        InitializeEngine(&control_);
    }
    ~EngineInLayout()
    {
        DeinitializeEngine();
        engine.moduleInstance = saved_;
        FreeLibrary(module_);
    }
    EngineInLayout(const EngineInLayout&) = delete;
    EngineInLayout& operator=(const EngineInLayout&) = delete;

private:
    HMODULE module_;
    HINSTANCE saved_;
    BareControl control_;
};

}  // namespace

TEST(OutputSelection, PreferredOutputThatOpensIsChosen)
{
    PluginLayout layout(L"select_opens");
    layout.AddOutput("OUT_A.DLL");
    layout.AddOutput("Out_Kv.Dll", {"open=0"});
    EngineInLayout running(layout);
    EXPECT_STREQ(engine.chosenOutputName, "out_kv.dll");
    ASSERT_NE(engine.outputPlugins[0], nullptr);
    ASSERT_NE(engine.outputPlugins[1], nullptr);
    EXPECT_EQ(engine.outputPlugins[2], nullptr);
    OutputPluginRecord* chosen = layout.OutputRecord("Out_Kv.Dll");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->hostWindow, engine.hiddenWindow.Get());
}

TEST(OutputSelection, FailedTestOpenFallsBackToTheSecondName)
{
    PluginLayout layout(L"select_fails");
    layout.AddOutput("OUT_KV.DLL", {"open=-1"});
    EngineInLayout running(layout);
    EXPECT_STREQ(engine.chosenOutputName, "out_pq2.dll");
}

TEST(OutputSelection, NoOutputsKeepThePreferredName)
{
    PluginLayout layout(L"select_none");
    EngineInLayout running(layout);
    EXPECT_STREQ(engine.chosenOutputName, "out_kv.dll");
    EXPECT_EQ(engine.outputPlugins[0], nullptr);
}

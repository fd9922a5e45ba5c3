// Without sharedir.dll beside the executable the temporary file falls back to the root of the
// current drive. This suite's executable lives in a folder of its own for that reason.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/engine_context.h"
#include "engine/lifecycle.h"
#include "engine/module_paths.h"
#include "support/bare_control.h"

TEST(ModulePathsWithoutHelper, TemporaryFileIsAtTheDriveRoot)
{
    ASSERT_EQ(GetModuleHandleA("sharedir.dll"), nullptr);
    char folder[260] = "untouched";
    char directory[260];
    GetModuleDirectory(nullptr, directory, sizeof(directory));
    EXPECT_EQ(GetSharedDataFolder(directory, "QuerySharedFolderA", folder, sizeof(folder)), 0);
    EXPECT_STREQ(folder, "");

    BareControl control;
    InitializeEngine(&control);
    EXPECT_STREQ(engine.tempFilePath, "\\plyrlink.tmp");
    DeinitializeEngine();
}

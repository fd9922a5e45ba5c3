// The control's directory and the temporary file path that Initialize resolves.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include <gtest/gtest.h>

#include "engine/engine_context.h"
#include "engine/lifecycle.h"
#include "engine/module_paths.h"
#include "support/bare_control.h"
#include "win/ansi_text.h"

TEST(ModulePaths, CutAtLastSeparatorKeepsTheDirectory)
{
    char buffer[260];
    EXPECT_EQ(CutAtLastSeparator("C:\\Dir\\x.dll", buffer, sizeof(buffer)), 1);
    EXPECT_STREQ(buffer, "C:\\Dir");
    EXPECT_EQ(CutAtLastSeparator("C:\\x.dll", buffer, sizeof(buffer)), 1);
    EXPECT_STREQ(buffer, "C:");
    EXPECT_EQ(CutAtLastSeparator("http://host/list.m3u", buffer, sizeof(buffer)), 1);
    EXPECT_STREQ(buffer, "http://host");
    EXPECT_EQ(CutAtLastSeparator("x.dll", buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "x.dll");
    // The copy is bounded first: a separator beyond the room is not seen.
    char small[8];
    EXPECT_EQ(CutAtLastSeparator("abcdefghij\\k", small, sizeof(small)), 0);
    EXPECT_STREQ(small, "abcdefg");
    EXPECT_EQ(CutAtLastSeparator("a\\b", nullptr, 0), 0);
}

TEST(ModulePaths, ModuleDirectoryIsTheFolderOfTheModuleFile)
{
    char expected[MAX_PATH];
    GetModuleFileNameA(nullptr, expected, MAX_PATH);
    *strrchr(expected, '\\') = '\0';
    char directory[260];
    GetModuleDirectory(nullptr, directory, sizeof(directory));
    EXPECT_STREQ(directory, expected);
}

TEST(ModulePaths, TemporaryFileLivesInTheCommonDataDirectory)
{
    char common[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common), S_OK);
    char directory[260];
    GetModuleDirectory(nullptr, directory, sizeof(directory));
    char folder[260];
    ASSERT_EQ(GetSharedDataFolder(directory, "QuerySharedFolderA", folder, sizeof(folder)), 1);
    EXPECT_STREQ(folder, common);
    EXPECT_EQ(GetSharedDataFolder(directory, "NoSuchExport", folder, sizeof(folder)), 0);
    EXPECT_STREQ(folder, "");
    // The helper is looked for in the folder given and nowhere else.
    for (const char* elsewhere : {"", "C:\\windows", "C:\\no such folder"}) {
        CopyBounded(folder, "untouched");
        EXPECT_EQ(GetSharedDataFolder(elsewhere, "QuerySharedFolderA", folder, sizeof(folder)), 0) << elsewhere;
        EXPECT_STREQ(folder, "");
    }

    BareControl control;
    InitializeEngine(&control);
    EXPECT_EQ(std::string(engine.tempFilePath), std::string(common) + "\\plyrlink.tmp");
    DeinitializeEngine();
}

// A control installed in a folder of its own, with sharedir.dll and its plugins beside it, in a
// container that lives elsewhere (this suite's folder holds no sharedir.dll) and stands in a
// folder holding a planted sharedir.dll, or has one on PATH: the control uses its own helper for
// the temporary file and never loads the planted one.
#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "support/plugin_layout.h"
#include "support/test_paths.h"

namespace fs = std::filesystem;

namespace {

// Sets the current directory and PATH for the scope, and restores both.
class ProcessSurroundings {
public:
    ProcessSurroundings(const std::wstring& currentDirectory, const std::wstring& pathFront)
    {
        GetCurrentDirectoryW(MAX_PATH, savedDirectory_);
        DWORD length = GetEnvironmentVariableW(L"PATH", nullptr, 0);
        savedPath_.resize(length);
        if (length) savedPath_.resize(GetEnvironmentVariableW(L"PATH", savedPath_.data(), length));
        SetCurrentDirectoryW(currentDirectory.c_str());
        SetEnvironmentVariableW(L"PATH", (pathFront + L";" + savedPath_).c_str());
    }
    ~ProcessSurroundings()
    {
        SetCurrentDirectoryW(savedDirectory_);
        SetEnvironmentVariableW(L"PATH", savedPath_.c_str());
    }
    ProcessSurroundings(const ProcessSurroundings&) = delete;
    ProcessSurroundings& operator=(const ProcessSurroundings&) = delete;

private:
    wchar_t savedDirectory_[MAX_PATH] = L"";
    std::wstring savedPath_;
};

void Touch(const fs::path& file) { std::ofstream(file, std::ios::binary) << "x"; }

}  // namespace

TEST(InstallLayout, TheControlUsesItsOwnHelperAndNeverAPlantedOne)
{
    ASSERT_FALSE(fs::exists(fs::path(ExeDirectory()) / L"sharedir.dll"));
    wchar_t common[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common), S_OK);
    const fs::path tempFile = fs::path(common) / L"plyrlink.tmp";

    PluginLayout layout(L"install_layout");
    ASSERT_TRUE(layout.AddInput(L"IN_TONE.DLL"));
    const fs::path install(layout.Directory());
    const fs::path fixtures = fs::path(ExeDirectory()) / L"fixtures";
    const fs::path elsewhere = install / L"container_folder";
    const fs::path onPath = install / L"on_path";
    for (const fs::path& folder : {elsewhere, onPath}) {
        fs::create_directories(folder);
        fs::copy_file(fixtures / L"decoy_sharedir.dll", folder / L"sharedir.dll");
    }
    fs::copy_file(fixtures / L"sharedir.dll", install / L"sharedir.dll");

    ComPtr<ITunaraXChat2> control = layout.CreateControl();
    ASSERT_TRUE(control);
    // First the planted helper stands in the current directory, then only on PATH.
    for (const fs::path& current : {elsewhere, install / L"Plugins"}) {
        SCOPED_TRACE(current.string());
        for (const fs::path& folder : {elsewhere, onPath}) Touch(folder / L"plyrlink.tmp");
        Touch(tempFile);
        {
            ProcessSurroundings surroundings(current, onPath);
            ASSERT_EQ(control->Initialize(), S_OK);
            EXPECT_TRUE(layout.InputRecord(L"IN_TONE.DLL"));
            // Deinitialize deletes the temporary file wherever the helper's answer put it.
            EXPECT_EQ(control->Deinitialize(), S_OK);
        }
        EXPECT_FALSE(fs::exists(tempFile));
        for (const fs::path& folder : {elsewhere, onPath}) {
            EXPECT_FALSE(fs::exists(folder / L"decoy_loaded")) << folder.string();
            EXPECT_TRUE(fs::exists(folder / L"plyrlink.tmp")) << folder.string();
        }
        EXPECT_EQ(GetModuleHandleW(L"sharedir.dll"), nullptr);
    }
}

// Entry names: the extension test, the backwards character scan, stored names (full paths,
// locations, long names of short components) and string resources.
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "engine/engine_context.h"
#include "playlist/entry_names.h"
#include "playlist/resource_strings.h"
#include "support/test_paths.h"

namespace {

// An id that the control's string table does not use.
constexpr UINT kMissingString = 65000;

std::string Resolved(const std::string& name)
{
    char stored[kFileNameSize];
    EXPECT_EQ(ResolveEntryName(name.c_str(), stored), 0) << name;
    return stored;
}

// A fresh directory under the temporary directory, made current for the test's duration; it
// and the files created in it are removed afterwards.
class ScratchDirectory {
public:
    ScratchDirectory()
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "tunara_names_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path_.c_str(), nullptr);
        GetCurrentDirectoryA(MAX_PATH, saved_);
        SetCurrentDirectoryA(path_.c_str());
    }
    ~ScratchDirectory()
    {
        SetCurrentDirectoryA(saved_);
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
            if (!DeleteFileA(it->c_str())) RemoveDirectoryA(it->c_str());
        }
        RemoveDirectoryA(path_.c_str());
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& Path() const { return path_; }

    std::string MakeFolder(const std::string& relative)
    {
        std::string full = path_ + "\\" + relative;
        CreateDirectoryA(full.c_str(), nullptr);
        created_.push_back(full);
        return full;
    }

    std::string MakeFile(const std::string& relative)
    {
        std::string full = path_ + "\\" + relative;
        HANDLE file = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << full;
        CloseHandle(file);
        created_.push_back(full);
        return full;
    }

private:
    std::string path_;
    char saved_[MAX_PATH];
    std::vector<std::string> created_;
};

std::string ShortPath(const std::string& longPath)
{
    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA(longPath.c_str(), shortPath, sizeof shortPath);
    return length > 0 && length < sizeof shortPath ? shortPath : "";
}

// Points the engine's string module at the control's resources for one test.
class StringModule {
public:
    StringModule()
        : saved_(engine.stringInstance),
          module_(LoadLibraryExW(ControlDllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
        engine.stringInstance = module_;
    }
    ~StringModule()
    {
        engine.stringInstance = saved_;
        if (module_) FreeLibrary(module_);
    }
    StringModule(const StringModule&) = delete;
    StringModule& operator=(const StringModule&) = delete;

    bool Loaded() const { return module_ != nullptr; }

private:
    HINSTANCE saved_;
    HMODULE module_;
};

}  // namespace

// The extension is what follows the last dot of the last "\" component.
TEST(GetExtension, TakesTheTextAfterTheLastDot)
{
    EXPECT_STREQ(GetExtension("List.M3U"), "M3U");
    EXPECT_STREQ(GetExtension("a.b.pls"), "pls");
    EXPECT_STREQ(GetExtension("C:\\x\\list.m3u8"), "m3u8");
    EXPECT_STREQ(GetExtension("name."), "");
    const char* name = "C:\\dir\\song.mp3";
    EXPECT_EQ(GetExtension(name), name + 12);
}

// Names without a dot in their last component have no extension.
TEST(GetExtension, EmptyWithoutADotInTheLastComponent)
{
    EXPECT_STREQ(GetExtension("C:\\music.d\\song"), "");
    EXPECT_STREQ(GetExtension("song"), "");
    EXPECT_STREQ(GetExtension("dir.x\\"), "");
    EXPECT_STREQ(GetExtension(""), "");
    EXPECT_STREQ(GetExtension(nullptr), "");
}

// "/" separates nothing: the extension of a URL runs from its last dot, host part or query
// included.
TEST(GetExtension, SlashesDoNotEndTheExtension)
{
    EXPECT_STREQ(GetExtension("http://radio.example.com/stream"), "com/stream");
    EXPECT_STREQ(GetExtension("http://host/list.m3u?id=3"), "m3u?id=3");
    EXPECT_STREQ(GetExtension("list.pls?id=3"), "pls?id=3");
}

// The scan returns the last match, examines the first character, and reports the not-found
// value for no match and for empty texts or sets.
TEST(FindLastOf, FindsTheLastCharacterOfTheSet)
{
    EXPECT_EQ(FindLastOf("abcabc", "b", -1), 4);
    EXPECT_EQ(FindLastOf("a.b\\c", ".\\", -1), 3);
    EXPECT_EQ(FindLastOf("abc", "a", -1), 0);
    EXPECT_EQ(FindLastOf("abc", "x", -7), -7);
    EXPECT_EQ(FindLastOf("", "a", -1), -1);
    EXPECT_EQ(FindLastOf("abc", "", -1), -1);
    EXPECT_EQ(FindLastOf(nullptr, "a", 9), 9);
}

// A relative name becomes a full path against the current directory.
TEST(ResolveEntryName, ResolvesAgainstTheCurrentDirectory)
{
    ScratchDirectory scratch;
    EXPECT_EQ(Resolved("song.mp3"), scratch.Path() + "\\song.mp3");
    EXPECT_EQ(Resolved("sub\\..\\other.wav"), scratch.Path() + "\\other.wav");
    EXPECT_EQ(Resolved("C:\\music\\a.mp3"), "C:\\music\\a.mp3");
}

// Locations are stored as given, cut to 259 characters.
TEST(ResolveEntryName, KeepsLocations)
{
    EXPECT_EQ(Resolved("http://host/a b.mp3"), "http://host/a b.mp3");
    EXPECT_EQ(Resolved("mms:\\\\server\\..\\x"), "mms:\\\\server\\..\\x");
    std::string longUrl = "http://host/" + std::string(288, 'u');
    EXPECT_EQ(Resolved(longUrl), longUrl.substr(0, 259));
}

// A full path of 259 characters is stored; a longer one is refused with an empty stored name.
TEST(ResolveEntryName, RefusesPathsThatDoNotFit)
{
    std::string fits = "C:\\" + std::string(256, 'a');
    EXPECT_EQ(Resolved(fits), fits);
    char stored[kFileNameSize] = "old";
    EXPECT_EQ(ResolveEntryName((fits + "b").c_str(), stored), -1);
    EXPECT_STREQ(stored, "");
    EXPECT_EQ(ResolveEntryName(std::string(400, 'r').c_str(), stored), -1);
}

// A short last component of an existing file is replaced by its long name; a missing file keeps
// its short form.
TEST(ResolveEntryName, ExpandsTheShortLastComponent)
{
    ScratchDirectory scratch;
    std::string longPath = scratch.MakeFile("Long file name.mp3");
    std::string shortPath = ShortPath(longPath);
    std::string shortName = shortPath.substr(shortPath.rfind('\\') + 1);
    if (shortName.find('~') == std::string::npos) GTEST_SKIP() << "no short names here";
    EXPECT_EQ(Resolved(scratch.Path() + "\\" + shortName), longPath);
    EXPECT_EQ(Resolved(shortName), longPath);
    EXPECT_EQ(Resolved("C:\\MUSIC\\NOFILE~1.MP3"), "C:\\MUSIC\\NOFILE~1.MP3");
}

// Only the last component is expanded: a short directory name stays short.
TEST(ResolveEntryName, ExpandsOnlyTheLastComponent)
{
    ScratchDirectory scratch;
    scratch.MakeFolder("Long directory name");
    std::string longPath = scratch.MakeFile("Long directory name\\Another long name.txt");
    std::string shortPath = ShortPath(longPath);
    std::string shortFolder = ShortPath(scratch.Path() + "\\Long directory name");
    if (shortFolder.find('~') == std::string::npos) GTEST_SKIP() << "no short names here";
    EXPECT_EQ(Resolved(shortPath), shortFolder + "\\Another long name.txt");
}

// A wildcard in the last component is not looked up: it would name some other file.
TEST(ResolveEntryName, DoesNotExpandWildcards)
{
    ScratchDirectory scratch;
    scratch.MakeFile("Long file name.mp3");
    std::string pattern = scratch.Path() + "\\LONG~*.MP3";
    EXPECT_EQ(Resolved(pattern), pattern);
}

// A string of the control's table is loaded into the given or the shared buffer.
TEST(LoadResString, LoadsFromTheStringModule)
{
    StringModule strings;
    ASSERT_TRUE(strings.Loaded());
    char buffer[64];
    EXPECT_EQ(LoadResString(102, buffer, sizeof buffer), buffer);
    EXPECT_STREQ(buffer, "Retrieving playlist ...");
    const char* shared = LoadResString(102, nullptr, 0);
    EXPECT_STREQ(shared, "Retrieving playlist ...");
    EXPECT_EQ(LoadResString(101, nullptr, 0), shared);
    EXPECT_STREQ(shared, "Sorry, only HTTP streams are supported.");
    char small[10];
    EXPECT_STREQ(LoadResString(102, small, sizeof small), "Retrievin");
}

// A missing string, or no string module, gives the fallback text cut to the buffer.
TEST(LoadResString, FallsBackToTheErrorText)
{
    char buffer[64];
    char small[6];
    char none[1] = {'#'};
    {
        StringModule strings;
        EXPECT_STREQ(LoadResString(kMissingString, buffer, sizeof buffer), "Error loading string");
        EXPECT_STREQ(LoadResString(kMissingString, small, sizeof small), "Error");
        LoadResString(kMissingString, none, 0);
        EXPECT_EQ(none[0], '#');
    }
    HINSTANCE saved = engine.stringInstance;
    engine.stringInstance = nullptr;
    EXPECT_STREQ(LoadResString(102, buffer, sizeof buffer), "Error loading string");
    engine.stringInstance = saved;
}

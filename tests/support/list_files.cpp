#include "support/list_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/test_paths.h"

namespace {

std::string Narrow(const std::wstring& wide)
{
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text.data(), bytes, nullptr, nullptr);
    text.resize(static_cast<size_t>(bytes) - 1);
    return text;
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
            else DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

// Creates every folder of the path up to its last separator, stepping by whole characters.
void CreateParents(const std::string& path)
{
    for (const char* at = path.c_str(); *at; at = CharNextA(at)) {
        const size_t length = static_cast<size_t>(at - path.c_str());
        if (*at == '\\' && length > 2) CreateDirectoryA(path.substr(0, length).c_str(), nullptr);
    }
}

}  // namespace

ScratchFolder::ScratchFolder(const std::string& name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "tunara-" + name + "-" + std::to_string(GetCurrentProcessId());
    RemoveTree(path_);
    EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr)) << path_;
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

std::string ScratchFolder::Write(const std::string& relative, const std::string& bytes) const
{
    std::string full = path_ + "\\" + relative;
    CreateParents(full);
    HANDLE file = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << full;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    EXPECT_EQ(written, bytes.size()) << full;
    return full;
}

std::string ScratchFolder::CopySample(const std::string& sample, const std::string& relative) const
{
    std::string source = Narrow(ExeDirectory()) + "\\data\\lists\\" + sample;
    std::string bytes = ReadBytes(source);
    EXPECT_NE(bytes, "<missing>") << source;
    return Write(relative.empty() ? sample : relative, bytes);
}

std::string ReadBytes(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char piece[65536];
    DWORD got = 0;
    while (ReadFile(file, piece, sizeof piece, &got, nullptr) && got > 0) bytes.append(piece, got);
    CloseHandle(file);
    return bytes;
}

std::string CurrentDirectory()
{
    char path[MAX_PATH * 2];
    DWORD length = GetCurrentDirectoryA(sizeof path, path);
    return std::string(path, length);
}

CurrentDirectoryGuard::~CurrentDirectoryGuard() { SetCurrentDirectoryA(saved_.c_str()); }

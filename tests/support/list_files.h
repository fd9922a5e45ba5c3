#pragma once
// Files and folders for the list suites, named by ANSI paths as the engine sees them.
#include <string>

// A fresh folder under the temporary directory, removed with everything in it afterwards. Its
// path holds no "_" (which title tidying turns into a space), so a looked-up title of a file in it
// is the file's full path unchanged; name should hold none either.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    // Writes the bytes to the relative path (folders on the way are created); the full path.
    std::string Write(const std::string& relative, const std::string& bytes) const;
    // An empty file, for entries that only have to exist.
    std::string Touch(const std::string& relative) const { return Write(relative, ""); }
    // Copies tests/data/lists/<sample> to the relative path (the sample's name by default).
    std::string CopySample(const std::string& sample, const std::string& relative = "") const;

private:
    std::string path_;
};

// The whole content of a file; "<missing>" when it cannot be read.
std::string ReadBytes(const std::string& path);

std::string CurrentDirectory();

// Puts the current directory back when the scope ends: the list readers move it.
class CurrentDirectoryGuard {
public:
    CurrentDirectoryGuard() : saved_(CurrentDirectory()) {}
    ~CurrentDirectoryGuard();
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

private:
    std::string saved_;
};

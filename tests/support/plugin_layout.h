#pragma once
// One test case's own copy of the control with a Plugins folder of fake plugin modules:
//   <test exe dir>\cases\<case name>\TunaraXChat.dll (and sharedir.dll when the tests have it)
//   <test exe dir>\cases\<case name>\Plugins\<name>, <name without extension>.cfg, calls.log
// Each case's copy is a module of its own, with its own engine, created without the registry.
// Deinitialize the control and release every object from it before the layout goes away: the
// destructor unloads the copy.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tunara_plugin.h"
#include "tunaraxchat.h"
#include "win/com_ptr.h"
#include "win/unique_resource.h"

// A plugin file name as a test writes it: narrow (ANSI) or wide text.
class PluginFileName {
public:
    PluginFileName(const char* name);
    PluginFileName(const std::string& name) : PluginFileName(name.c_str()) {}
    PluginFileName(const wchar_t* name) : wide_(name) {}
    PluginFileName(std::wstring name) : wide_(std::move(name)) {}

    const std::wstring& Wide() const { return wide_; }

private:
    std::wstring wide_;
};

class PluginLayout {
public:
    enum EntryExport { kWithExport, kNoExport };

    // Starts from an empty case directory (an old one of that name is removed).
    explicit PluginLayout(const std::wstring& caseName);
    PluginLayout(const PluginLayout&) = delete;
    PluginLayout& operator=(const PluginLayout&) = delete;

    // Copies the fake input (output) module to Plugins\<name> and writes its .cfg with one
    // key=value per line (no lines: no file, so every key takes its default). kNoExport copies
    // the variant without the entry export. False when a file could not be written.
    bool AddInput(const PluginFileName& name, const std::vector<std::string>& configLines = {},
                  EntryExport entry = kWithExport);
    bool AddOutput(const PluginFileName& name, const std::vector<std::string>& configLines = {},
                   EntryExport entry = kWithExport);

    // Copies a module we ship (bin\Plugins\<shipped>) to Plugins\<name>; false on failure.
    bool AddShipped(const wchar_t* shipped, const wchar_t* name);
    // Writes Plugins\<name> with the given lines; false on failure.
    bool WritePluginFile(const wchar_t* name, const std::vector<std::string>& lines);

    // The lines of Plugins\calls.log in order, without line ends; empty when there is no log.
    std::vector<std::string> CallLog() const;
    void ClearLog();
    // Adds a line of the test's own (for example an event) so that it shows among the calls.
    void AppendLog(const std::string& line);

    // The record of Plugins\<name> while the process has that copy loaded, else null. Reading it
    // does not count as a call.
    InputPluginRecord* InputRecord(const PluginFileName& name) const;
    OutputPluginRecord* OutputRecord(const PluginFileName& name) const;
    // Sets the output time that the loaded fake input module reports; false when not loaded.
    bool SetInputPosition(const PluginFileName& name, int32_t positionMs) const;
    // Sets the name the loaded fake input module answers about for the playing file.
    bool SetInputPlayingName(const PluginFileName& name, const char* playing) const;

    // Loads this case's copy of the control (once) and creates a control object from its class
    // object; null on failure.
    ComPtr<ITunaraXChat2> CreateControl();

    const std::wstring& Directory() const { return directory_; }
    std::wstring PluginsDirectory() const { return directory_ + L"\\Plugins"; }

private:
    bool AddPlugin(const wchar_t* kind, const PluginFileName& name,
                   const std::vector<std::string>& configLines, EntryExport entry);
    FARPROC LoadedExport(const PluginFileName& name, const char* exportName) const;

    std::wstring directory_;
    UniqueModule control_;
};

#include "support/plugin_layout.h"

#include <objbase.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "support/test_paths.h"
#include "win/library_loading.h"

namespace fs = std::filesystem;

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using FakeInputRecordFn = InputPluginRecord*(TUNARA_CDECL*)(void);
using FakeInputSetPositionFn = void(TUNARA_CDECL*)(int32_t);
using FakeInputSetPlayingNameFn = void(TUNARA_CDECL*)(const char*);
using FakeOutputRecordFn = OutputPluginRecord*(TUNARA_CDECL*)(void);

fs::path LogPath(const std::wstring& pluginsDirectory) { return fs::path(pluginsDirectory) / L"calls.log"; }

}  // namespace

PluginFileName::PluginFileName(const char* name)
{
    int length = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    if (length <= 1) return;
    wide_.resize(static_cast<size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, name, -1, wide_.data(), length);
    wide_.resize(static_cast<size_t>(length) - 1);
}

PluginLayout::PluginLayout(const std::wstring& caseName)
    // Each suite has its own cases folder: suites may run at the same time.
    : directory_(ExeDirectory() + L"\\cases\\" + ExeStem() + L"\\" + caseName)
{
    std::error_code error;
    fs::remove_all(directory_, error);
    if (error) ADD_FAILURE() << "cannot remove the old case directory: " << error.message();
    fs::create_directories(fs::path(PluginsDirectory()), error);
    if (error) ADD_FAILURE() << "cannot create the case directory: " << error.message();
    fs::copy_file(ControlDllPath(), fs::path(directory_) / L"TunaraXChat.dll", error);
    if (error) ADD_FAILURE() << "cannot copy the control: " << error.message();
    // An installed control has its helper beside it and loads it from there only; suites that
    // run without the helper (bin/alone) get a control without it.
    const fs::path helper = fs::path(ExeDirectory()) / L"sharedir.dll";
    if (fs::exists(helper)) {
        fs::copy_file(helper, fs::path(directory_) / L"sharedir.dll", error);
        if (error) ADD_FAILURE() << "cannot copy sharedir.dll: " << error.message();
    }
}

bool PluginLayout::AddInput(const PluginFileName& name, const std::vector<std::string>& configLines,
                            EntryExport entry)
{
    return AddPlugin(L"input", name, configLines, entry);
}

bool PluginLayout::AddOutput(const PluginFileName& name, const std::vector<std::string>& configLines,
                             EntryExport entry)
{
    return AddPlugin(L"output", name, configLines, entry);
}

bool PluginLayout::AddPlugin(const wchar_t* kind, const PluginFileName& name,
                             const std::vector<std::string>& configLines, EntryExport entry)
{
    std::wstring fixture = std::wstring(L"fake_") + kind + (entry == kNoExport ? L"_noexport" : L"") + L".dll";
    fs::path target = fs::path(PluginsDirectory()) / name.Wide();
    std::error_code error;
    fs::copy_file(fs::path(ExeDirectory()) / L"fixtures" / fixture, target,
                  fs::copy_options::overwrite_existing, error);
    if (error) return false;
    if (configLines.empty()) return true;
    std::ofstream config(fs::path(target).replace_extension(L".cfg"), std::ios::binary | std::ios::trunc);
    for (const std::string& line : configLines) config << line << "\r\n";
    return static_cast<bool>(config.flush());
}

bool PluginLayout::AddShipped(const wchar_t* shipped, const wchar_t* name)
{
    std::error_code error;
    const fs::path from = fs::path(ExeDirectory()) / L"Plugins";
    fs::copy_file(from / shipped, fs::path(PluginsDirectory()) / name, fs::copy_options::overwrite_existing, error);
    if (error) return false;
    // The third-party libraries that shipped modules load from their own folder.
    for (const fs::directory_entry& entry : fs::directory_iterator(from, error)) {
        const std::wstring file = entry.path().filename().wstring();
        const fs::path target = fs::path(PluginsDirectory()) / file;
        if (file.rfind(L"lib", 0) != 0 || entry.path().extension() != L".dll" || fs::exists(target, error)) continue;
        fs::copy_file(entry.path(), target, error);
        if (error) return false;
    }
    return !error;
}

bool PluginLayout::WritePluginFile(const wchar_t* name, const std::vector<std::string>& lines)
{
    std::ofstream file(fs::path(PluginsDirectory()) / name, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) file << line << "\r\n";
    return static_cast<bool>(file.flush());
}

std::vector<std::string> PluginLayout::CallLog() const
{
    std::vector<std::string> lines;
    std::ifstream log(LogPath(PluginsDirectory()), std::ios::binary);
    std::string line;
    while (std::getline(log, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void PluginLayout::ClearLog()
{
    std::error_code error;
    fs::remove(LogPath(PluginsDirectory()), error);
}

void PluginLayout::AppendLog(const std::string& line)
{
    std::ofstream log(LogPath(PluginsDirectory()), std::ios::binary | std::ios::app);
    log << line << "\r\n";
}

FARPROC PluginLayout::LoadedExport(const PluginFileName& name, const char* exportName) const
{
    HMODULE module = GetModuleHandleW((PluginsDirectory() + L"\\" + name.Wide()).c_str());
    return module ? GetProcAddress(module, exportName) : nullptr;
}

bool PluginLayout::SetInputPosition(const PluginFileName& name, int32_t positionMs) const
{
    auto set = reinterpret_cast<FakeInputSetPositionFn>(
        reinterpret_cast<void*>(LoadedExport(name, "FakeInputSetPosition")));
    if (!set) return false;
    set(positionMs);
    return true;
}

bool PluginLayout::SetInputPlayingName(const PluginFileName& name, const char* playing) const
{
    auto set = reinterpret_cast<FakeInputSetPlayingNameFn>(
        reinterpret_cast<void*>(LoadedExport(name, "FakeInputSetPlayingName")));
    if (!set) return false;
    set(playing);
    return true;
}

InputPluginRecord* PluginLayout::InputRecord(const PluginFileName& name) const
{
    auto record = reinterpret_cast<FakeInputRecordFn>(reinterpret_cast<void*>(LoadedExport(name, "FakeInputRecord")));
    return record ? record() : nullptr;
}

OutputPluginRecord* PluginLayout::OutputRecord(const PluginFileName& name) const
{
    auto record = reinterpret_cast<FakeOutputRecordFn>(reinterpret_cast<void*>(LoadedExport(name, "FakeOutputRecord")));
    return record ? record() : nullptr;
}

ComPtr<ITunaraXChat2> PluginLayout::CreateControl()
{
    if (!control_.Get()) control_ = UniqueModule(LoadLibraryW((directory_ + L"\\TunaraXChat.dll").c_str()));
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(ModuleExport(control_, "DllGetClassObject")));
    ComPtr<ITunaraXChat2> control;
    if (!getClassObject) return control;
    ComPtr<IClassFactory> factory;
    if (FAILED(getClassObject(CLSID_ITunaraActiveXChat, IID_IClassFactory, factory.OutVoid()))) return control;
    factory->CreateInstance(nullptr, IID_ITunaraXChat2, control.OutVoid());
    return control;
}

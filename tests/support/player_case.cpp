#include "support/player_case.h"

#include <filesystem>
#include <fstream>

#include "win/bstr.h"
#include "win/variant.h"

PlayerCase::~PlayerCase()
{
    if (!control_) return;
    sink_.onEvent = nullptr;
    control_->Deinitialize();
    DisconnectEvents(control_.Get(), cookie_);
}

bool PlayerCase::Start()
{
    control_ = layout_.CreateControl();
    if (!control_) return false;
    call_ = DispatchCall(control_.As<IDispatch>(IID_IDispatch).Get());
    cookie_ = ConnectEvents(control_.Get(), &sink_);
    if (!cookie_ || control_->Initialize() != S_OK) return false;
    log_.clear();
    eventsTaken_ = 0;
    layout_.ClearLog();
    return true;
}

void PlayerCase::ReleaseControl()
{
    call_ = DispatchCall(nullptr);
    control_.Reset();
}

std::wstring PlayerCase::MakeFile(const std::wstring& name)
{
    std::wstring path = layout_.Directory() + L"\\" + name;
    std::ofstream(std::filesystem::path(path), std::ios::binary) << "audio";
    return path;
}

HRESULT PlayerCase::Append(const std::wstring& name)
{
    Bstr text(SysAllocString(name.c_str()));
    return control_->AppendFileToPlaylist(text.Get());
}

HRESULT PlayerCase::AppendWithArgs(const std::wstring& name, long volumePercent, long durationMs)
{
    Bstr text(SysAllocString(name.c_str()));
    return control_->AppendFilenameWithArgs(text.Get(), volumePercent, durationMs);
}

void PlayerCase::Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool PlayerCase::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

void PlayerCase::EndOfStream(const PluginFileName& plugin)
{
    InputPluginRecord* record = layout_.InputRecord(plugin);
    if (record) PostMessageA(static_cast<HWND>(record->hostWindow), TUNARA_WM_ENGINE_ADVANCE, 0, 0);
}

std::vector<long> PlayerCase::TakeEvents()
{
    std::vector<long> ids;
    for (; eventsTaken_ < log_.size(); ++eventsTaken_)
        if (log_[eventsTaken_].dispid == 1) ids.push_back(log_[eventsTaken_].msgId);
    return ids;
}

std::vector<std::string> PlayerCase::TakeCalls()
{
    std::vector<std::string> calls = layout_.CallLog();
    layout_.ClearLog();
    return calls;
}

std::wstring PlayerCase::CurrentTitle()
{
    Variant name, title;
    if (control_->GetCurrentPlaylistItem(name.Get(), title.Get()) != S_OK || title->vt != VT_BSTR) return L"<none>";
    return title->bstrVal;
}

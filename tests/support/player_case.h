#pragma once
// A container's view of one case: its own copy of the control with fake plugins, a recording event
// sink, local files to play, and the message loop that a container runs (advances and cuts arrive
// as posted messages).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/dispatch_call.h"
#include "support/plugin_layout.h"
#include "support/recording_sink.h"

class PlayerCase {
public:
    explicit PlayerCase(const std::wstring& caseName) : layout_(caseName) {}
    PlayerCase(const PlayerCase&) = delete;
    PlayerCase& operator=(const PlayerCase&) = delete;
    // Deinitializes the control (when it still exists) and disconnects the sink.
    ~PlayerCase();

    PluginLayout& Layout() { return layout_; }
    // Creates the control, connects the sink, calls Initialize; then forgets the events and calls
    // so far. False when any step failed.
    bool Start();
    ITunaraXChat2* Control() { return control_.Get(); }
    DispatchCall& Call() { return call_; }
    // Gives up the case's reference to the control (as a script's "Set player = Nothing").
    void ReleaseControl();

    // Creates a small file in the case directory and returns its full path.
    std::wstring MakeFile(const std::wstring& name);
    HRESULT Append(const std::wstring& name);
    HRESULT AppendWithArgs(const std::wstring& name, long volumePercent, long durationMs);

    // Runs this thread's messages until none is waiting.
    void Pump();
    // Runs messages until done() holds or the time runs out; returns done().
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
    // Posts the end of the stream to the window that the input plugin was handed, as a decoder does.
    void EndOfStream(const PluginFileName& plugin);

    // TunaraMsgEvent msgIds received since the last call (TunaraStatus events are left out).
    std::vector<long> TakeEvents();
    std::vector<RecordedEvent>& Log() { return log_; }
    RecordingSink& Sink() { return sink_; }
    // Plugin calls logged since the last call, each "<module> <call> [arguments]".
    std::vector<std::string> TakeCalls();
    // The current entry's display title ("N. title"), through GetCurrentPlaylistItem.
    std::wstring CurrentTitle();

private:
    PluginLayout layout_;
    ComPtr<ITunaraXChat2> control_;
    DispatchCall call_{nullptr};
    std::vector<RecordedEvent> log_;
    RecordingSink sink_{L"sink", log_};
    DWORD cookie_ = 0;
    size_t eventsTaken_ = 0;
};

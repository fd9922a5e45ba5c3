#include "plugins/host_services.h"

#include <windows.h>
#include <wininet.h>

#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "plugins/playback_control.h"

namespace {
constexpr int32_t kUnknown = -1;
constexpr WPARAM kMsgLaunchUrl = 3;

// The limit of the track that plays, as it was when the track started: the playlist itself may be
// reallocated by the container's thread while a plugin thread asks.
bool PastDurationLimit()
{
    int32_t limit = engine.trackDurationLimit;
    return limit != kUnknown && PluginPosition() > limit;
}
}  // namespace

extern "C" {

int32_t __cdecl HostHook24(int32_t, int32_t) { return 0; }
int32_t __cdecl HostHook25(int32_t, int32_t) { return 0; }
int32_t __cdecl HostHook27(int32_t, int32_t) { return 1; }
int32_t __cdecl HostHook29(int32_t, int32_t) { return 0; }
int32_t __cdecl HostHook30(int32_t, int32_t) { return 0; }
int32_t __cdecl HostHook31(int32_t, int32_t) { return 0; }
int32_t __cdecl HostHook32(int32_t, int32_t) { return 0; }
int32_t __cdecl HostHook33(int32_t, int32_t) { return 0; }
int32_t __cdecl HostHook34(int32_t, int32_t second) { return second; }

int32_t __cdecl CheckDurationLimit(int32_t, int32_t)
{
    if (PastDurationLimit()) PostEngineMessage(WM_ENGINE_CUT);
    return 0;
}

int32_t __cdecl CheckDurationLimitOnce(int32_t, int32_t)
{
    if (!PastDurationLimit() || engine.trackCutPosted.exchange(1) != 0) return 0;
    PostEngineMessage(WM_ENGINE_CUT);
    return 0;
}

int32_t __cdecl SetMediaInfo(int32_t bitrate, int32_t sampleRate, int32_t channels, int32_t)
{
    if (bitrate != kUnknown) engine.mediaBitrate = bitrate;
    if (sampleRate != kUnknown) engine.mediaSampleRate = sampleRate;
    if (channels != kUnknown) engine.mediaChannels = channels;
    return 0;
}

int32_t __cdecl RequestUrlLaunch(const char* url)
{
    DWORD size = sizeof(engine.launchUrl);
    if (!url || !InternetCanonicalizeUrlA(url, engine.launchUrl, &size, ICU_ENCODE_SPACES_ONLY))
        engine.launchUrl[0] = '\0';
    return PostMessageA(engine.hiddenWindow, WM_ENGINE_EVENT, kMsgLaunchUrl, 0);
}

// On the container's thread the event fires before this returns. A plugin thread does not wait
// for it: the container's thread may itself be waiting for that plugin thread (inside the
// plugin's stop), and a blocking send would deadlock both.
int32_t __cdecl SendStatusNotification(int32_t code, int32_t value)
{
    HWND window = engine.hiddenWindow;
    if (window) SendNotifyMessageA(window, WM_ENGINE_STATUS, static_cast<WPARAM>(code), static_cast<LPARAM>(value));
    return 0;
}

}  // extern "C"

void WriteInputHostWords(InputPluginRecord* record, void* moduleHandle)
{
    record->moduleHandle = moduleHandle;
    record->hostHook34 = HostHook34;
    record->hostHook33 = HostHook33;
    record->hostHook27 = HostHook27;
    record->checkDurationLimitOnce = CheckDurationLimitOnce;
    record->hostHook24 = HostHook24;
    record->hostHook25 = HostHook25;
    record->hostHook32 = HostHook32;
    record->hostHook31 = HostHook31;
    record->hostHook30 = HostHook30;
    record->checkDurationLimit = CheckDurationLimit;
    record->hostHook29 = HostHook29;
    record->setMediaInfo = nullptr;
    record->flags &= ~TUNARA_FLAGS_CLEARED_BY_HOST;
    record->hostWindow = engine.hiddenWindow;
    // Words 39 and 40 exist only in extended records.
    if (record->version >= TUNARA_INPUT_VERSION_EXTENDED) {
        record->requestUrlLaunch = RequestUrlLaunch;
        record->sendStatusNotification = SendStatusNotification;
    }
}

void InstallSetMediaInfo(InputPluginRecord* record)
{
    record->setMediaInfo = SetMediaInfo;
}

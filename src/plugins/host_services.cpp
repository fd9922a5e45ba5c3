#include "plugins/host_services.h"

#include <windows.h>
#include <wininet.h>

#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "win/ansi_text.h"

namespace {
constexpr int32_t kUnknown = -1;
constexpr WPARAM kMsgLaunchUrl = 3;

// Any thread: the position is the plugin's to answer, and a plugin may hold its own lock around
// this call, so the check itself runs on the container's thread. The track's limit, taken when it
// started, tells whether there is anything to check; one check at a time waits in the queue.
void PostDurationCheck(WPARAM check)
{
    if (engine.trackDurationLimit == kUnknown) return;
    HWND window = engine.serviceWindow;
    if (!window || engine.durationCheckPosted.exchange(1) != 0) return;
    if (!PostMessageA(window, WM_ENGINE_CUT, check, 0)) engine.durationCheckPosted = 0;
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
    PostDurationCheck(kCheckDurationEvery);
    return 0;
}

int32_t __cdecl CheckDurationLimitOnce(int32_t, int32_t)
{
    if (engine.trackCutPosted == 0) PostDurationCheck(kCheckDurationOnce);
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
    char canonical[kLaunchUrlSize];
    DWORD size = sizeof(canonical);
    if (!url || !InternetCanonicalizeUrlA(url, canonical, &size, ICU_ENCODE_SPACES_ONLY)) canonical[0] = '\0';
    {
        Locked hold(engine.launchUrlLock);
        CopyBounded(engine.launchUrl, canonical);
    }
    HWND window = engine.serviceWindow;
    return window ? PostMessageA(window, WM_ENGINE_EVENT, kMsgLaunchUrl, 0) : 0;
}

// On the container's thread the event fires before this returns. A plugin thread does not wait
// for it: the container's thread may itself be waiting for that plugin thread (inside the
// plugin's stop), and a blocking send would deadlock both.
int32_t __cdecl SendStatusNotification(int32_t code, int32_t value)
{
    HWND window = engine.serviceWindow;
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
    record->hostWindow = engine.hiddenWindow.Get();
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

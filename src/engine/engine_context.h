#pragma once
// The one process-wide engine state. Every part of the engine reads and writes it here; nothing
// else in the engine is global. It is used on the container's thread only, except for the fields
// that plugin threads reach through the host services, each safe to use from any thread:
// serviceWindow, trackDurationLimit and trackCutPosted, durationCheckPosted, the media values
// (atomics), and launchUrl (under launchUrlLock).
#include <windows.h>

#include <stdint.h>

#include <atomic>
#include <string>
#include <vector>

#include "net/internet_wait.h"
#include "playlist/entry_texts.h"
#include "playlist/playlist_entry.h"
#include "playlist/shuffle_order.h"
#include "playlist/wide_names.h"
#include "tunara_plugin.h"
#include "win/locked.h"
#include "win/unique_resource.h"

class AutomationControl;

constexpr int kInputPluginSlots = 512;    // at most 511 records: the last slot stays null
constexpr int kOutputPluginSlots = 32;    // at most 31 records
constexpr int kPathSize = 260;
constexpr int kChosenOutputNameSize = 128;
constexpr int kMatchExtensionSize = 32;
constexpr int kFileTypeListSize = 8192;
constexpr int kLookupTitleSize = 2048;
constexpr int kResourceStringSize = 1024;
constexpr int kLaunchUrlSize = 16384;
constexpr int kProxyAddressSize = 256;
constexpr int kLaunchExePathSize = 520;

struct EngineContext {
    // The control whose event sinks receive every event; set by Initialize, cleared only when
    // that control is released.
    AutomationControl* controlObject = nullptr;
    // The control's own module: window class, hidden window, module file name.
    HINSTANCE moduleInstance = nullptr;
    // Where string resources are loaded from; Initialize copies moduleInstance into it.
    HINSTANCE stringInstance = nullptr;
    // Directory of the control's module, without a trailing separator.
    char moduleDirectory[kPathSize] = "";
    // The common data directory followed by "\plyrlink.tmp": the download's temporary file.
    char tempFilePath[kPathSize] = "";
    // The hidden message window; non-null exactly between Initialize and Deinitialize.
    UniqueWindow hiddenWindow;
    // The same window for the host services that plugin threads call: set once it exists,
    // cleared before it is destroyed.
    std::atomic<HWND> serviceWindow{nullptr};
    // The 256 ms playback timer; none when it does not run.
    UniqueThreadTimer playTimer;

    // Plugin tables in load order, each ended by its first null slot.
    InputPluginRecord* inputPlugins[kInputPluginSlots] = {};
    OutputPluginRecord* outputPlugins[kOutputPluginSlots] = {};
    // The libraries behind the records, slot for slot, and the host's copies of the output
    // records' file names (the records' words point at them).
    UniqueModule inputModules[kInputPluginSlots];
    UniqueModule outputModules[kOutputPluginSlots];
    UniqueGlobal outputFileNames[kOutputPluginSlots];
    // Each input record's module's UTF-8 texts export, slot for slot; null where it has none.
    TunaraGetFileTextsFn inputTexts[kInputPluginSlots] = {};
    // The input plugin prepared by the latest start attempt; unloading clears it.
    InputPluginRecord* currentInputPlugin = nullptr;
    // Calls into plugins now on the container thread's stack (see PluginCallScope), the
    // Initialize or Deinitialize work left for when the outermost one returns, and a count of
    // unloads, by which a start tells that its plugin went while it ran.
    int32_t pluginCallDepth = 0;
    int32_t deferredLifecycle = 0;
    uint32_t pluginGeneration = 0;
    // File name of the output plugin handed to input plugins; settled at Initialize.
    char chosenOutputName[kChosenOutputNameSize] = "out_rill.dll";
    // Extension of the matching fallback.
    char defaultMatchExtension[kMatchExtensionSize] = "mp3";

    // Playback state.
    int32_t isPlaying = 0;
    int32_t isPaused = 0;
    int32_t playBusy = 0;
    int32_t failedStartBudget = -2;  // -2: no count of failed starts runs
    // Grows with every stop that acts, so that an advance can tell that the container stopped
    // playback from inside one of its events.
    uint32_t stopCount = 0;
    // The play limit of the track being started, taken before its plugin's play: plugin threads
    // test it through the duration services, which must never reach into the playlist (the
    // container's thread reallocates it at will). cutPosted is CheckDurationLimitOnce's mark.
    std::atomic<int32_t> trackDurationLimit{-1};
    std::atomic<int32_t> trackCutPosted{0};
    // Set while a duration check asked for by a plugin thread waits in the window's queue.
    std::atomic<int32_t> durationCheckPosted{0};
    uint8_t volume = 200;
    uint8_t pan = 0;
    uint8_t priorityLevel = 1;
    // The priority class the engine last gave the process; 0 before the first since Initialize.
    // Setting the class is a round trip to the system's server, made only when the class changes.
    DWORD processPriorityClass = 0;

    // What the playing input plugin last reported through SetMediaInfo (plugin threads write).
    std::atomic<int32_t> mediaChannels{0};
    std::atomic<int32_t> mediaBitrate{0};
    std::atomic<int32_t> mediaSampleRate{0};

    // The file type list that GetFiletypes hands over.
    char fileTypeList[kFileTypeListSize] = "";
    // Results of the latest title lookup: the plugin's title, and the length in seconds (-1
    // unknown). Shared by every lookup, so read them before the next one.
    char lookupTitle[kLookupTitleSize] = "";
    int32_t lookupLength = -1;
    // The same title in full where the plugin answered it in UTF-8 and the code page cannot
    // carry it (lookupTitle then holds its ANSI rendering); empty otherwise.
    std::wstring lookupWideTitle;

    // The playlist: entries.size() is the allocated capacity.
    PlaylistEntries entries;
    // The names and titles the records point to.
    EntryTexts entryTexts;
    // Wide names and titles of entries (PlaylistEntry::wideName), kept until the playlist is cleared.
    std::vector<WideText> wideNames;
    int32_t entryCount = 0;
    int32_t entryCapacity = 0;
    int32_t currentIndex = 0;
    char currentFile[kPathSize] = "";
    char currentTitle[kDisplayTitleSize] = "";

    // Play order flags (non-zero means on), and the order walked in shuffle mode.
    uint8_t shuffle = 0;
    uint8_t repeat = 0;
    ShuffleOrder shuffleOrder;

    // The string loader's shared buffer, for callers that bring none.
    char resourceString[kResourceStringSize] = "";

    // The one download that may run at a time: the busy flag guards against re-entry from the
    // container's status handlers; the texts are the caller's, not copies.
    int32_t downloadBusy = 0;
    const char* downloadUrl = nullptr;
    const char* downloadDestination = nullptr;
    // What WinInet's threads report about the download's request (see InternetCompletion).
    InternetCompletion downloadCompletion;
    // Numbers the temporary list files of this process.
    uint32_t temporaryListSequence = 0;

    // Written by RequestUrlLaunch on any thread, read by GetURLToLaunch: both under the lock.
    Lock launchUrlLock;
    char launchUrl[kLaunchUrlSize] = "";
    char proxyAddress[kProxyAddressSize] = "";
    char launchExePath[kLaunchExePathSize] = "";
};

extern EngineContext engine;

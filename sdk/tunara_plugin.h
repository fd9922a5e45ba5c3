#pragma once
// The binary interface between the TunaraXChat control (the host) and its plugin modules.
//
// A plugin module is a 32-bit Windows DLL in the "Plugins" folder beside the control:
//   IN_*.DLL  exports  InputPluginRecord*  tunaraGetInModule2(void)   (cdecl)
//   OUT_*.DLL exports  OutputPluginRecord* tunaraGetOutModule(void)   (cdecl)
// Each returns the address of a record that lives in the module's own memory (or null for
// none). Every field is one 32-bit little-endian word; every function, in both directions, is
// cdecl, so a callee may ignore trailing arguments. The host writes only the words marked
// "host" and leaves the module's words alone. Records stay the module's: the host never frees
// one; the only memory the host owns inside a record is an output record's fileName copy.
//
// Threads. The host calls every module function of both records on one thread, the thread that
// owns the host window (the container's thread), one call at a time; a module's own threads run
// alongside those calls. A module may call the host services (words 24 to 36, 39 and 40) and
// post the window messages below from any thread, its decoding threads included; no service
// calls back into the module on the caller's thread. A module may send a status notification
// from inside one of the host's calls (say, from play): the container's handlers then run before
// it returns, and the host never unloads a module while a call into it is on the stack.
#include <stddef.h>
#include <stdint.h>

#if defined(_M_IX86) || defined(__i386__)
#define TUNARA_RECORD_LAYOUT_CHECKED 1
#elif !defined(TUNARA_WIDE_TEST_BUILD)
// Only the project's own test build, which runs the suites where no 32-bit code can run, compiles
// these records with wider pointers; their layout is checked by every 32-bit build.
#error "Plugin records are 32-bit x86 layouts"
#endif

#define TUNARA_CDECL __cdecl

#ifdef __cplusplus
extern "C" {
#endif

struct OutputPluginRecord;

// Input records up to this version are accepted; 257 marks the extended record (words 38-40).
#define TUNARA_INPUT_VERSION_EXTENDED 257
// Output records must carry exactly this version.
#define TUNARA_OUTPUT_VERSION 16
// flags bit 0, set by the module: it plays through the output plugin handed over in word 37.
#define TUNARA_FLAG_USES_OUTPUT_PLUGIN 0x1u
// flags bits 1 and 2 are cleared by the host at load.
#define TUNARA_FLAGS_CLEARED_BY_HOST 0x6u

// Window messages a module posts or sends to the host window it finds in its record.
#define TUNARA_WM_ENGINE_ADVANCE 0x402  // post once when the stream has ended
#define TUNARA_WM_ENGINE_EVENT 0x403
#define TUNARA_WM_ENGINE_STATUS 0x404
#define TUNARA_WM_ENGINE_CUT 0x405

typedef void(TUNARA_CDECL* TunaraVoidFn)(void);
typedef int32_t(TUNARA_CDECL* TunaraIntFn)(void);
typedef void(TUNARA_CDECL* TunaraGetFileInfoFn)(const char* name, char* title, int32_t* lengthMs);
typedef int32_t(TUNARA_CDECL* TunaraNameFn)(const char* name);
typedef void(TUNARA_CDECL* TunaraSetIntFn)(int32_t value);
typedef int32_t(TUNARA_CDECL* TunaraGetExtendedInfoFn)(const char* name, char* title, char* artist,
                                                       char* album, char* comment, char* year,
                                                       char* genre, int32_t* bitrate,
                                                       int32_t* sampleRate, int32_t* stereo,
                                                       int32_t* vbr);
// Host services: each ignores arguments it does not name.
typedef int32_t(TUNARA_CDECL* TunaraHostServiceFn)(int32_t first, int32_t second);
typedef int32_t(TUNARA_CDECL* TunaraSetMediaInfoFn)(int32_t bitrate, int32_t sampleRate,
                                                    int32_t channels, int32_t fourth);
typedef int32_t(TUNARA_CDECL* TunaraRequestUrlLaunchFn)(const char* url);
typedef int32_t(TUNARA_CDECL* TunaraSendStatusFn)(int32_t code, int32_t value);
typedef int32_t(TUNARA_CDECL* TunaraOutputOpenFn)(int32_t sampleRate, int32_t channels,
                                                  int32_t bitsPerSample, int32_t fourth,
                                                  int32_t fifth);
typedef int32_t(TUNARA_CDECL* TunaraOutputWriteFn)(const char* data, int32_t bytes);
typedef int32_t(TUNARA_CDECL* TunaraOutputPauseFn)(int32_t pause);

typedef struct InputPluginRecord {
    int32_t version;              // 0  module: <= 257 accepted, 257 = extended record
    uint32_t reserved1;           // 1  module's
    void* hostWindow;             // 2  host: the hidden window; post WM_ENGINE_ADVANCE to it
    void* moduleHandle;           // 3  host: the library handle, released at unload
    const char* extensionList;    // 4  module: pairs "EXT;EXT\0Description\0", ended by "\0"
                                  //    (an extension token holds at most 15 characters)
    uint32_t reserved5;           // 5  module's
    uint32_t flags;               // 6  both: bit 0 module (uses output plugin), bits 1-2 host
    uint32_t reserved7;           // 7  module's
    uint32_t reserved8;           // 8  module's
    // Words 9 to 23 and 38: the host calls them on the host window's thread.
    TunaraVoidFn init;            // 9  module: called once at load, after the host's words
    TunaraVoidFn quit;            // 10 module: called once at unload
    TunaraGetFileInfoFn getFileInfo;  // 11 module: title (>= 512-byte buffer) and length in ms
    uint32_t reserved12;          // 12 module's
    TunaraNameFn acceptsFile;     // 13 module: non-zero claims the name whatever its extension
    TunaraNameFn play;            // 14 module: 0 means started
    TunaraVoidFn pause;           // 15 module
    TunaraVoidFn unpause;         // 16 module
    uint32_t reserved17;          // 17 module's
    TunaraVoidFn stop;            // 18 module
    TunaraIntFn getLength;        // 19 module: length in ms
    TunaraIntFn getPosition;      // 20 module: position in ms
    TunaraSetIntFn setPosition;   // 21 module: seek, in ms
    TunaraSetIntFn setVolume;     // 22 module
    TunaraSetIntFn setPan;        // 23 module: the host always passes 0
    // Words 24 to 36, 39 and 40: any thread may call them.
    TunaraHostServiceFn hostHook24;              // 24 host: does nothing
    TunaraHostServiceFn hostHook25;              // 25 host: does nothing
    TunaraHostServiceFn checkDurationLimit;      // 26 host: past the entry's play limit, the
                                                 //    track is cut; the host's own thread asks
                                                 //    getPosition, after this returns
    TunaraHostServiceFn hostHook27;              // 27 host: returns 1
    TunaraHostServiceFn checkDurationLimitOnce;  // 28 host: the same, once per started track
    TunaraHostServiceFn hostHook29;              // 29 host: does nothing
    TunaraHostServiceFn hostHook30;              // 30 host: returns 0
    TunaraHostServiceFn hostHook31;              // 31 host: returns 0
    TunaraHostServiceFn hostHook32;              // 32 host: does nothing
    TunaraHostServiceFn hostHook33;              // 33 host: returns 0
    TunaraHostServiceFn hostHook34;              // 34 host: returns its second argument
    uint32_t reserved35;                         // 35 module's
    TunaraSetMediaInfoFn setMediaInfo;           // 36 host: null during init, written after it
    struct OutputPluginRecord* outputPlugin;     // 37 host: before each play, when flags bit 0
    // Extended record (version 257) only:
    TunaraGetExtendedInfoFn getExtendedInfo;     // 38 module: non-zero = outputs filled
    TunaraRequestUrlLaunchFn requestUrlLaunch;   // 39 host: stores the address, posts event 3
    TunaraSendStatusFn sendStatusNotification;   // 40 host: reaches the container as an event;
                                                 //    returns after it fired when called on the
                                                 //    host window's thread, at once from others
} InputPluginRecord;

typedef struct OutputPluginRecord {
    int32_t version;          // 0  module: exactly 16
    uint32_t reserved1;       // 1  module's
    char* fileName;           // 2  host: copy of the module's file name, owned by the host
    void* hostWindow;         // 3  host: the hidden window
    void* moduleHandle;       // 4  host: the library handle, released at unload
    uint32_t reserved5;       // 5  module's
    uint32_t reserved6;       // 6  module's
    // Words 7 to 10 as the host uses them: on the host window's thread.
    TunaraVoidFn init;        // 7  module: called once, right after the record is accepted
    TunaraVoidFn quit;        // 8  module: called once at unload
    TunaraOutputOpenFn open;  // 9  module: negative means failure
    TunaraVoidFn close;       // 10 module
    // Words 11 to 19 are shared between the output module and the input modules that play
    // through it; the host never touches them. An input module opens the output (word 9) with
    // its stream's PCM format and closes it at stop, on the host's thread while no decoding
    // thread of its own runs. Between the two, write, canWrite, isPlaying, flush and
    // getWrittenTime come from the input module's decoding thread, one call at a time; pause,
    // setVolume, setPan and getOutputTime may also come from the host's thread (an input module
    // passes the host's pause, volume, pan and position calls on), at the same time as the
    // decoding thread's calls: an output must take those four from either thread.
    //
    // 11 module: (data, bytes) queues whole sample frames of the format given to open; the
    //    output applies its volume and pan to them. 0: taken; non-zero: not open. Never blocks
    //    for long: write no more than canWrite answered.
    TunaraOutputWriteFn write;
    // 12 module: bytes that write takes now without waiting; 0 while paused or full.
    TunaraIntFn canWrite;
    // 13 module: non-zero while written data is still to be heard (buffers not drained).
    TunaraIntFn isPlaying;
    // 14 module: (pause) non-zero pauses output time and playing, 0 resumes; returns the
    //    previous state.
    TunaraOutputPauseFn pause;
    // 15 module: (volume) 0 to 255; 255 passes samples unchanged, lower values scale linearly,
    //    0 is silence. -1 leaves it as it is. Kept across opens.
    TunaraSetIntFn setVolume;
    // 16 module: (pan) -128 (left only) to 128 (right only); 0 is centred and changes nothing.
    //    Kept across opens.
    TunaraSetIntFn setPan;
    // 17 module: (positionMs) drops every queued sample not yet heard and restarts output time
    //    and written time at positionMs (a seek).
    TunaraSetIntFn flush;
    // 18 module: milliseconds heard since open (plus the last flush position).
    TunaraIntFn getOutputTime;
    // 19 module: milliseconds written since open (plus the last flush position).
    TunaraIntFn getWrittenTime;
} OutputPluginRecord;

// An input module may also export, by name, a function that answers a file's texts in UTF-8,
// for containers that show titles and tags beyond the ANSI code page:
//   int32_t tunaraGetFileTextsUtf8(const char* name, int32_t wanted, TunaraFileTexts* texts)
// name is the ANSI name the record's functions take; an empty one asks about the file or stream
// now playing, as getFileInfo does. wanted names the parts asked for (TUNARA_TEXTS_...); the
// result names the parts the module filled, 0 for none: the host then asks through the record,
// as it does a module without the export. Each text is NUL-terminated within its buffer and cut
// on a character boundary. The host calls it on the host window's thread, as getFileInfo.
#define TUNARA_FILE_TEXTS_EXPORT "tunaraGetFileTextsUtf8"
#define TUNARA_TEXTS_TITLE 0x1  // displayTitle and lengthMs: what getFileInfo answers
#define TUNARA_TEXTS_TAGS 0x2   // title to genre: the texts getExtendedInfo answers
#define TUNARA_FILE_TEXT_SIZE 1024
typedef struct TunaraFileTexts {
    char displayTitle[TUNARA_FILE_TEXT_SIZE];
    int32_t lengthMs;  // -1 unknown
    char title[TUNARA_FILE_TEXT_SIZE];
    char artist[TUNARA_FILE_TEXT_SIZE];
    char album[TUNARA_FILE_TEXT_SIZE];
    char comment[TUNARA_FILE_TEXT_SIZE];
    char year[TUNARA_FILE_TEXT_SIZE];
    char genre[TUNARA_FILE_TEXT_SIZE];
} TunaraFileTexts;
typedef int32_t(TUNARA_CDECL* TunaraGetFileTextsFn)(const char* name, int32_t wanted, TunaraFileTexts* texts);

typedef InputPluginRecord*(TUNARA_CDECL* TunaraGetInModuleFn)(void);
typedef OutputPluginRecord*(TUNARA_CDECL* TunaraGetOutModuleFn)(void);

#ifdef __cplusplus
}
#endif

#define TUNARA_WORD(record, field) (offsetof(record, field) / 4)
#if TUNARA_RECORD_LAYOUT_CHECKED
#ifdef __cplusplus
#define TUNARA_STATIC_ASSERT static_assert
#else
#define TUNARA_STATIC_ASSERT _Static_assert
#endif

TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, version) == 0x00, "word 0");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, hostWindow) == 0x08, "word 2");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, moduleHandle) == 0x0c, "word 3");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, extensionList) == 0x10, "word 4");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, flags) == 0x18, "word 6");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, init) == 0x24, "word 9");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, quit) == 0x28, "word 10");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, getFileInfo) == 0x2c, "word 11");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, acceptsFile) == 0x34, "word 13");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, play) == 0x38, "word 14");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, pause) == 0x3c, "word 15");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, unpause) == 0x40, "word 16");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, stop) == 0x48, "word 18");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, getLength) == 0x4c, "word 19");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, getPosition) == 0x50, "word 20");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, setPosition) == 0x54, "word 21");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, setVolume) == 0x58, "word 22");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, setPan) == 0x5c, "word 23");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, hostHook24) == 0x60, "word 24");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, hostHook25) == 0x64, "word 25");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, checkDurationLimit) == 0x68, "word 26");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, hostHook27) == 0x6c, "word 27");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, checkDurationLimitOnce) == 0x70, "word 28");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, hostHook29) == 0x74, "word 29");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, hostHook30) == 0x78, "word 30");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, hostHook31) == 0x7c, "word 31");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, hostHook32) == 0x80, "word 32");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, hostHook33) == 0x84, "word 33");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, hostHook34) == 0x88, "word 34");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, setMediaInfo) == 0x90, "word 36");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, outputPlugin) == 0x94, "word 37");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, getExtendedInfo) == 0x98, "word 38");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, requestUrlLaunch) == 0x9c, "word 39");
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, sendStatusNotification) == 0xa0, "word 40");
TUNARA_STATIC_ASSERT(sizeof(InputPluginRecord) == 164, "extended input record: 41 words");
// A basic record (version below 257) may end after word 37: the host never touches words 38-40
// of such a record.
#define TUNARA_INPUT_BASIC_SIZE 152
TUNARA_STATIC_ASSERT(offsetof(InputPluginRecord, getExtendedInfo) == TUNARA_INPUT_BASIC_SIZE, "basic input record: 38 words");

TUNARA_STATIC_ASSERT(offsetof(TunaraFileTexts, lengthMs) == 0x400, "texts: the length after the display title");
TUNARA_STATIC_ASSERT(offsetof(TunaraFileTexts, title) == 0x404, "texts: the tags after the length");
TUNARA_STATIC_ASSERT(sizeof(TunaraFileTexts) == 7 * 1024 + 4, "texts: seven texts and the length");

TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, version) == 0x00, "word 0");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, fileName) == 0x08, "word 2");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, hostWindow) == 0x0c, "word 3");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, moduleHandle) == 0x10, "word 4");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, init) == 0x1c, "word 7");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, quit) == 0x20, "word 8");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, open) == 0x24, "word 9");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, close) == 0x28, "word 10");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, write) == 0x2c, "word 11");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, canWrite) == 0x30, "word 12");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, isPlaying) == 0x34, "word 13");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, pause) == 0x38, "word 14");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, setVolume) == 0x3c, "word 15");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, setPan) == 0x40, "word 16");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, flush) == 0x44, "word 17");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, getOutputTime) == 0x48, "word 18");
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, getWrittenTime) == 0x4c, "word 19");
TUNARA_STATIC_ASSERT(sizeof(OutputPluginRecord) == 80, "output record with the shared words: 20 words");
// The host itself uses only words 0 to 10.
#define TUNARA_OUTPUT_HOST_SIZE 44
TUNARA_STATIC_ASSERT(offsetof(OutputPluginRecord, write) == TUNARA_OUTPUT_HOST_SIZE, "host part: 11 words");
#endif

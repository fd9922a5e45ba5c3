#pragma once
// Opening a file's source reader for 16-bit PCM without holding the host's thread for long: the
// platform's media source may wait forever on a damaged file (measured: Wine's, on an MPEG-4 file
// cut inside its header). The open runs as a platform job (platform_job.h); the caller, on the
// host's thread, waits at most kOpenWaitMs.
#include <windows.h>
#include <stdint.h>

#include "media_foundation.h"
#include "win/com_ptr.h"

// As long as stopping a stream waits for its decoding thread.
constexpr DWORD kOpenWaitMs = 3000;

struct OpenedReader {
    ComPtr<IMFSourceReader> reader;
    int32_t rate = 0;
    int32_t channels = 0;
    int32_t lengthMs = -1;  // from the presentation's duration; -1 when the source does not tell
};

// False when the platform cannot read the file or decode its audio, or took longer than the wait.
bool OpenReader(const MediaFoundation& platform, const wchar_t* path, OpenedReader* opened);

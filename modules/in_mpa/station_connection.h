#pragma once
// What every station shares in reaching its server: the request (in-band metadata asked for,
// never from or into the cache) and the record WinInet reports into.
#include <windows.h>
#include <wininet.h>

#include "net/internet_stream.h"
#include "net/internet_wait.h"

// Each type of station has a record of its own, living as long as the module: a stopped
// station's thread may still own its request while a station of another type plays.
template <typename Station>
struct StationReports {
    static InternetCompletion completion;
    static void CALLBACK Callback(HINTERNET, DWORD_PTR context, DWORD status, void* info, DWORD)
    {
        ReportInternetStatus(completion, context, status, info);
    }
};

template <typename Station>
InternetCompletion StationReports<Station>::completion;

// On the host's thread: connects to url as agent. False, with the source closed, when the
// server cannot be reached within timeoutMs or answers other than 200.
bool OpenStation(InternetStream& source, const char* url, const char* agent, DWORD timeoutMs);

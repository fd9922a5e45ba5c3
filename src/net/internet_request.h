#pragma once
// Opening a URL on an asynchronous WinInet session and reading its answer's status and headers,
// with every wait bounded (see internet_wait.h). Shared by the control's downloads and the MPEG
// audio module's streams; each user brings its own completion record and status callback.
#include <windows.h>
#include <wininet.h>

#include <stdint.h>

#include "net/internet_wait.h"

// An asynchronous session that reports to callback; through proxy when it is given, else with the
// system's settings. Null when WinInet refuses.
HINTERNET OpenAsyncSession(const char* agent, const char* proxy, INTERNET_STATUS_CALLBACK callback);

// The request handle once the server has answered, or null with the reason in error: a text that
// is no URL, a failed open, or no answer within timeoutMs (ERROR_INTERNET_TIMEOUT). headers may
// be null, or request header lines each ended by CR LF.
HINTERNET OpenUrlWithin(InternetCompletion& completion, HINTERNET session, const char* url, const char* headers,
                        DWORD flags, LONG ticket, DWORD timeoutMs, DWORD& error);

// The HTTP status as the server sent it; 0 when there is none (another scheme).
int32_t ResponseStatus(HINTERNET request);

// The value of the named response header into text (size bytes, always terminated); false when
// the answer has no such header.
bool ResponseHeader(HINTERNET request, const char* name, char* text, DWORD size);

// Every handle of a request stops reporting before it is closed: a request abandoned after a
// time-out may be finished by WinInet much later (when the server lets go), and by then the
// module that holds the callback may be gone.
void SilenceInternetHandles(const InternetCompletion& completion, HINTERNET session, LONG ticket);

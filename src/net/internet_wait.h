#pragma once
// Waiting for WinInet's asynchronous operations with a time-out. A synchronous read from a
// server that stalls can block for as long as the server keeps the connection open (receive
// time-outs are not honoured everywhere), so the download runs its session in asynchronous mode
// and waits for each operation here, giving up after a time-out.
#include <windows.h>
#include <wininet.h>

#include <stdint.h>

#include "win/handle.h"

// What WinInet's threads report about the running download's request. It lives in the engine
// context for as long as the module is loaded: a request abandoned after a time-out may still
// report later, and its report must land in memory that exists. Each download has a ticket of
// its own (the request's context value); reports that carry another ticket are ignored.
struct InternetCompletion {
    UniqueHandle signal;  // auto-reset event, made by the first download, closed at unload
    volatile LONG ticket = 0;
    volatile LONG completedTicket = 0;
    DWORD_PTR result = 0;
    DWORD error = 0;
    // The request handle as soon as WinInet has made it, also while its open is still pending.
    HINTERNET request = nullptr;
};

// The status callback to install on the download's session handle.
void CALLBACK InternetStatusCallback(HINTERNET handle, DWORD_PTR context, DWORD status, void* info,
                                     DWORD infoLength);

// A new ticket for a download; 0 when no event can be created.
LONG BeginInternetTicket();
// Forgets any earlier completion; call before starting an operation that may complete later.
void ArmInternetWait();
// The request handle of the ticket that WinInet has reported so far; null when none.
HINTERNET ReportedRequest(LONG ticket);
// Waits until the operation of the ticket completes; false when the time ran out first.
bool WaitInternetCompletion(LONG ticket, DWORD timeoutMs, DWORD_PTR& result, DWORD& error);

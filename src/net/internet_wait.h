#pragma once
// Waiting for WinInet's asynchronous operations with a time-out. A synchronous read from a
// server that stalls can block for as long as the server keeps the connection open (receive
// time-outs are not honoured everywhere), so sessions run in asynchronous mode and each operation
// is waited for here, giving up after a time-out. The control's downloads and the stream reader
// of the MPEG audio module share this.
#include <windows.h>
#include <wininet.h>

#include <stdint.h>

#include "win/unique_resource.h"

// What WinInet's threads report about one user's requests. It must live as long as the module
// whose callback WinInet calls: a request abandoned after a time-out may still report later, and
// its report must land in memory that exists. Each request has a ticket of its own (the
// request's context value); reports that carry another ticket are ignored.
struct InternetCompletion {
    UniqueHandle signal;  // auto-reset event, made by the first ticket, closed with the owner
    volatile LONG ticket = 0;
    volatile LONG completedTicket = 0;
    DWORD_PTR result = 0;
    DWORD error = 0;
    // The request handle as soon as WinInet has made it, also while its open is still pending.
    HINTERNET request = nullptr;
};

// The body of the status callback each user installs on its session handle (a callback names its
// own completion record: WinInet passes only the context value).
void ReportInternetStatus(InternetCompletion& completion, DWORD_PTR context, DWORD status, const void* info);

// A new ticket for a request; 0 when no event can be created.
LONG BeginInternetTicket(InternetCompletion& completion);
// Forgets any earlier completion; call before starting an operation that may complete later.
void ArmInternetWait(InternetCompletion& completion);
// The request handle of the ticket that WinInet has reported so far; null when none.
HINTERNET ReportedRequest(const InternetCompletion& completion, LONG ticket);
// Waits until the operation of the ticket completes; false when the time ran out first (at once
// with a time-out of 0 when it has not completed).
bool WaitInternetCompletion(InternetCompletion& completion, LONG ticket, DWORD timeoutMs, DWORD_PTR& result,
                            DWORD& error);

// Where WinInet writes what an asynchronous query or read brings: the count of waiting bytes,
// the count read and the bytes. WinInet may finish an operation long after its caller gave up on
// it (when the server finally lets go) and writes its results then, so they never go to a stack
// or into a module's image: a block that an unfinished operation may still write to is left to
// it (Abandon), a few kilobytes per stream given up.
class InternetLanding {
public:
    static constexpr DWORD kBytes = 8192;
    struct Block {
        DWORD available;
        DWORD got;
        unsigned char data[kBytes];
    };

    InternetLanding() = default;
    ~InternetLanding() { Free(); }
    InternetLanding(const InternetLanding&) = delete;
    InternetLanding& operator=(const InternetLanding&) = delete;

    // The block, made at the first use; null when no memory is left.
    Block* Get();
    // An operation that was given up may still write into the block: it is never freed, and the
    // next use gets a new one.
    void Abandon() { block_ = nullptr; }

private:
    void Free();

    Block* block_ = nullptr;
};

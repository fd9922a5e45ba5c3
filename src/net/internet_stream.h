#pragma once
// One HTTP body (plain or over TLS) read as it arrives, on an asynchronous WinInet session, so
// that no wait for the server lasts longer than the caller allows (see internet_wait.h). The
// control's downloads and the MPEG audio module's streams read through it; each brings its own
// completion record and status callback. One request is open at a time per object; its owner calls Open, Read and Close
// from one thread at a time.
#include <windows.h>
#include <wininet.h>

#include <stdint.h>

#include "net/internet_wait.h"
#include "win/unique_resource.h"

struct InternetStreamSetup {
    const char* agent = nullptr;
    const char* proxy = nullptr;    // null or empty: the system's settings
    const char* headers = nullptr;  // request header lines each ended by CR LF, or null
    // InternetOpenUrl's flags. Never one that ignores a failed certificate check: over TLS a
    // certificate from an untrusted issuer, for another name or out of date must fail the open.
    DWORD flags = 0;
};

class InternetStream {
public:
    // Read's answers besides a byte count.
    static constexpr int32_t kEnded = -1;   // the body ended (the server closed it, or all of it came)
    static constexpr int32_t kFailed = -2;  // the connection failed, or nothing came for the stall time
    // The most one read hands over.
    static constexpr int32_t kPieceBytes = InternetLanding::kBytes;

    // The completion record and the callback that reports into it live as long as the module.
    InternetStream(InternetCompletion& completion, INTERNET_STATUS_CALLBACK callback)
        : completion_(completion), callback_(callback)
    {
    }
    ~InternetStream() { Close(); }
    InternetStream(const InternetStream&) = delete;
    InternetStream& operator=(const InternetStream&) = delete;

    // Opens url; false when the address cannot be opened or no answer came within timeoutMs, with
    // the reason in *error.
    bool Open(const char* url, const InternetStreamSetup& setup, DWORD timeoutMs, DWORD* error);
    // The HTTP status the server answered with; 0 when there is none (another scheme).
    int32_t Status() const;
    // The value of a header of the answer into text (always terminated); false when there is none.
    bool Header(const char* name, char* text, DWORD size) const;
    // A header's value read as a decimal number; 0 when there is none.
    int32_t HeaderNumber(const char* name) const;
    // Reads what has arrived, waiting at most waitMs for the first of it: the bytes now at Data(),
    // 0 when nothing came in that time, kEnded, or kFailed (also when bytes were asked for stallMs
    // ago and none has come since, however the waits were split; a caller that pauses its reading
    // does not stall the stream).
    int32_t Read(DWORD waitMs, DWORD stallMs);
    const unsigned char* Data() { return landing_.Get()->data; }
    // Stops every report from WinInet and closes the request and the session.
    void Close();

private:
    InternetCompletion& completion_;
    INTERNET_STATUS_CALLBACK callback_;
    UniqueInternet session_;
    UniqueInternet request_;
    LONG ticket_ = 0;
    // An asked-for count of waiting bytes, or a read, has not come back yet; asked for then.
    bool pending_ = false;
    DWORD pendingSince_ = 0;
    InternetLanding landing_;
};

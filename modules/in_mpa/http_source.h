#pragma once
// One HTTP stream read as it arrives, on an asynchronous WinInet session (the system's proxy
// settings), so that no wait for the server lasts longer than the caller allows. Open and Close
// run on the host's thread, Read on the decoding thread (or on the host's thread while a stream
// starts); one stream is open at a time.
#include <windows.h>
#include <wininet.h>

#include <stdint.h>

#include "net/internet_wait.h"
#include "win/internet_handle.h"

class HttpSource {
public:
    // Read's answers besides a byte count.
    static constexpr int32_t kEnded = -1;   // the server ended the stream
    static constexpr int32_t kFailed = -2;  // the connection failed, or nothing came for kStallMs
    // How long a stream may send nothing before it counts as dead.
    static constexpr DWORD kStallMs = 5000;
    // The most one read hands over.
    static constexpr int32_t kPieceBytes = InternetLanding::kBytes;

    HttpSource() = default;
    ~HttpSource() { Close(); }
    HttpSource(const HttpSource&) = delete;
    HttpSource& operator=(const HttpSource&) = delete;

    // Asks for the stream with in-band metadata; the server's HTTP status (200 when it streams),
    // or 0 when the address cannot be opened or no answer came within timeoutMs.
    int32_t Open(const char* url, DWORD timeoutMs);
    // The value of a header of the answer into text (always terminated); false when there is none.
    bool Header(const char* name, char* text, DWORD size) const;
    // Reads what has arrived, waiting at most waitMs for the first of it: the bytes now at Data(),
    // 0 when nothing came in that time, kEnded or kFailed.
    int32_t Read(DWORD waitMs);
    const unsigned char* Data() { return landing_.Get()->data; }
    // Stops every report from WinInet and closes the request and the session.
    void Close();

private:
    InternetHandle session_;
    InternetHandle request_;
    LONG ticket_ = 0;
    // An asked-for count of waiting bytes, or a read, has not come back yet.
    bool pending_ = false;
    DWORD lastData_ = 0;  // when bytes last arrived (or the stream opened)
    InternetLanding landing_;
};

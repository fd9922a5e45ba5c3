#include "net/download.h"

#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "engine/engine_context.h"
#include "net/internet_request.h"
#include "plugins/host_services.h"
#include "win/ansi_text.h"
#include "win/handle.h"
#include "win/internet_handle.h"

namespace {

constexpr char kAgent[] = "Tunara WinInet Download";
constexpr DWORD kTransferSize = 4096;
constexpr DWORD kStatusCodeSize = 32;
constexpr DWORD kErrorTextSize = 1024;

enum StatusCode : int32_t {
    kStarting = 200,
    kOpeningUrl = 201,
    kNotOk = 202,
    kCreatingFile = 203,
    kComplete = 204,
    kFileNotCreated = 205,
    kUrlNotOpened = 206,
};

// A list is fetched as the server has it now: no copy from the cache, none written to it.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;

void Notify(int32_t code, int32_t value = 0) { SendStatusNotification(code, value); }

void CALLBACK DownloadStatusCallback(HINTERNET, DWORD_PTR context, DWORD status, void* info, DWORD)
{
    ReportInternetStatus(engine.downloadCompletion, context, status, info);
}

// The last error and the server's last response text go to the debugger output.
void ReportOpenFailure(DWORD error)
{
    char text[kErrorTextSize];
    std::snprintf(text, sizeof text, "\n\nGetLastError = %lx\n", static_cast<unsigned long>(error));
    OutputDebugStringA(text);
    DWORD code = 0;
    DWORD length = sizeof text;
    if (!InternetGetLastResponseInfoA(&code, text, &length)) text[0] = '\0';
    text[sizeof text - 1] = '\0';
    AppendBounded(text, "\n\n");
    OutputDebugStringA(text);
}

// The body length the server announced; -1 when it announced none.
int64_t AnnouncedLength(HINTERNET request)
{
    char text[kStatusCodeSize] = "";
    DWORD length = kStatusCodeSize - 1;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &length, nullptr)) return -1;
    text[kStatusCodeSize - 1] = '\0';
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    return end != text && value >= 0 ? value : -1;
}

// How many body bytes can be read without waiting; 0 at the end of the body. False when the
// connection failed or nothing came within the time-out.
bool WaitForData(HINTERNET request, LONG ticket, DWORD& available)
{
    for (;;) {
        ArmInternetWait(engine.downloadCompletion);
        if (InternetQueryDataAvailable(request, &available, 0, 0)) return true;
        if (GetLastError() != ERROR_IO_PENDING) return false;
        DWORD_PTR result = 0;
        DWORD error = 0;
        if (!WaitInternetCompletion(engine.downloadCompletion, ticket, kDownloadTimeoutMs, result, error) || !result)
            return false;
    }
}

bool ReadPiece(HINTERNET request, LONG ticket, char* buffer, DWORD size, DWORD& got)
{
    ArmInternetWait(engine.downloadCompletion);
    if (InternetReadFile(request, buffer, size, &got)) return true;
    if (GetLastError() != ERROR_IO_PENDING) return false;
    DWORD_PTR result = 0;
    DWORD error = 0;
    return WaitInternetCompletion(engine.downloadCompletion, ticket, kDownloadTimeoutMs, result, error) && result;
}

// True only when the body ended (a read of 0 bytes), every byte was written, and as many came as
// the server announced: a connection that closes early ends the body with a read of 0 as well.
bool CopyBody(HINTERNET request, LONG ticket, HANDLE file)
{
    const int64_t announced = AnnouncedLength(request);
    int64_t total = 0;
    char buffer[kTransferSize];
    // What WinInet holds already is read piece by piece without asking again.
    DWORD available = 0;
    for (;;) {
        if (available == 0 && !WaitForData(request, ticket, available)) return false;
        DWORD got = 0;
        if (available > 0 && !ReadPiece(request, ticket, buffer, std::min(available, kTransferSize), got))
            return false;
        if (got == 0) return announced < 0 || total == announced;
        DWORD written = 0;
        if (!WriteFile(file, buffer, got, &written, nullptr) || written != got) return false;
        total += got;
        available -= std::min(available, got);
    }
}

// Everything up to a complete body; every handle is closed when it returns (the file first).
// 0 when the body is complete.
int Transfer(const char* url, const char* destination)
{
    Notify(kStarting);
    InternetHandle session(OpenAsyncSession(kAgent, engine.proxyAddress, DownloadStatusCallback));
    const LONG ticket = BeginInternetTicket(engine.downloadCompletion);
    Notify(kOpeningUrl);
    DWORD error = 0;
    InternetHandle request(OpenUrlWithin(engine.downloadCompletion, session.Get(), url, nullptr, kRequestFlags, ticket,
                                         kDownloadTimeoutMs, error));
    QuietHandles quiet(engine.downloadCompletion, session, ticket);
    if (!request.Get()) {
        ReportOpenFailure(error);
        Notify(kUrlNotOpened);
        return 1;
    }
    const int32_t status = ResponseStatus(request.Get());
    if (status != 200) {
        Notify(kNotOk, status);
        return 1;
    }
    Notify(kCreatingFile);
    UniqueHandle file(CreateFileA(destination, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file.Valid()) {
        Notify(kFileNotCreated);
        return 1;
    }
    const bool complete = CopyBody(request.Get(), ticket, file.Get());
    file = UniqueHandle();
    return complete ? 0 : 1;
}

int RunDownload(const char* url, const char* destination)
{
    if (Transfer(url, destination) != 0) return 1;
    Notify(kComplete);
    return 0;
}

}  // namespace

int DownloadUrlToFile(HWND, const char* url, const char* destination, const char*)
{
    if (engine.downloadBusy) return 1;
    engine.downloadBusy = 1;
    engine.downloadUrl = url ? url : "";
    engine.downloadDestination = destination ? destination : "";
    const int result = RunDownload(engine.downloadUrl, engine.downloadDestination);
    engine.downloadUrl = nullptr;
    engine.downloadDestination = nullptr;
    engine.downloadBusy = 0;
    return result;
}

#include "net/download.h"

#include <wininet.h>

#include <cstdio>
#include <cstdlib>

#include "engine/engine_context.h"
#include "net/internet_stream.h"
#include "plugins/host_services.h"
#include "win/ansi_text.h"
#include "win/unique_resource.h"

namespace {

constexpr char kAgent[] = "Tunara WinInet Download";
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
int64_t AnnouncedLength(const InternetStream& stream)
{
    char text[kStatusCodeSize] = "";
    if (!stream.Header("Content-Length", text, sizeof text)) return -1;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    return end != text && value >= 0 ? value : -1;
}

// True only when the body ended, every byte was written, and as many came as the server
// announced: a connection that closes early ends the body as well.
bool CopyBody(InternetStream& stream, HANDLE file)
{
    const int64_t announced = AnnouncedLength(stream);
    int64_t total = 0;
    for (;;) {
        const int32_t got = stream.Read(kDownloadTimeoutMs, kDownloadTimeoutMs);
        if (got == InternetStream::kEnded) return announced < 0 || total == announced;
        // Nothing within the time-out, or a failed connection.
        if (got <= 0) return false;
        DWORD written = 0;
        if (!WriteFile(file, stream.Data(), static_cast<DWORD>(got), &written, nullptr) ||
            written != static_cast<DWORD>(got))
            return false;
        total += got;
    }
}

// Everything up to a complete body; every handle is closed when it returns (the file first).
// 0 when the body is complete.
int Transfer(const char* url, const char* destination)
{
    Notify(kStarting);
    InternetStream stream(engine.downloadCompletion, DownloadStatusCallback);
    InternetStreamSetup setup;
    setup.agent = kAgent;
    setup.proxy = engine.proxyAddress;
    setup.flags = kRequestFlags;
    Notify(kOpeningUrl);
    DWORD error = 0;
    if (!stream.Open(url, setup, kDownloadTimeoutMs, &error)) {
        ReportOpenFailure(error);
        Notify(kUrlNotOpened);
        return 1;
    }
    const int32_t status = stream.Status();
    if (status != 200) {
        Notify(kNotOk, status);
        return 1;
    }
    Notify(kCreatingFile);
    UniqueFile file(CreateFileA(destination, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file.Valid()) {
        Notify(kFileNotCreated);
        return 1;
    }
    const bool complete = CopyBody(stream, file.Get());
    file.Reset();
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

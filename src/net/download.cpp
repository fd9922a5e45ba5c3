#include "net/download.h"

#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "engine/engine_context.h"
#include "net/internet_wait.h"
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

HINTERNET OpenSession()
{
    const bool proxy = engine.proxyAddress[0] != '\0';
    HINTERNET session = InternetOpenA(kAgent, proxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_PRECONFIG,
                                      proxy ? engine.proxyAddress : nullptr, nullptr, INTERNET_FLAG_ASYNC);
    if (session) InternetSetStatusCallbackA(session, InternetStatusCallback);
    return session;
}

// The request handle, or null with the reason in error.
HINTERNET OpenUrl(HINTERNET session, const char* url, LONG ticket, DWORD& error)
{
    if (!ticket) {
        error = GetLastError();
        return nullptr;
    }
    // A text that is no URL at all is refused here: the asynchronous open would never report it.
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    if (!InternetCrackUrlA(url, 0, 0, &parts)) {
        error = GetLastError();
        return nullptr;
    }
    ArmInternetWait();
    HINTERNET request = InternetOpenUrlA(session, url, nullptr, 0, kRequestFlags, static_cast<DWORD_PTR>(ticket));
    if (request) return request;
    error = GetLastError();
    if (error != ERROR_IO_PENDING) return nullptr;
    DWORD_PTR result = 0;
    if (!WaitInternetCompletion(ticket, kDownloadTimeoutMs, result, error)) {
        error = ERROR_INTERNET_TIMEOUT;
        return nullptr;
    }
    if (!result && !error) error = ERROR_INTERNET_INTERNAL_ERROR;
    return reinterpret_cast<HINTERNET>(result);
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

// The HTTP status as the server sent it; 0 when there is none (another scheme).
int32_t ResponseStatus(HINTERNET request)
{
    char text[kStatusCodeSize] = "";
    DWORD length = kStatusCodeSize - 1;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE, text, &length, nullptr)) return 0;
    text[kStatusCodeSize - 1] = '\0';
    return static_cast<int32_t>(std::strtol(text, nullptr, 10));
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
        ArmInternetWait();
        if (InternetQueryDataAvailable(request, &available, 0, 0)) return true;
        if (GetLastError() != ERROR_IO_PENDING) return false;
        DWORD_PTR result = 0;
        DWORD error = 0;
        if (!WaitInternetCompletion(ticket, kDownloadTimeoutMs, result, error) || !result) return false;
    }
}

bool ReadPiece(HINTERNET request, LONG ticket, char* buffer, DWORD size, DWORD& got)
{
    ArmInternetWait();
    if (InternetReadFile(request, buffer, size, &got)) return true;
    if (GetLastError() != ERROR_IO_PENDING) return false;
    DWORD_PTR result = 0;
    DWORD error = 0;
    return WaitInternetCompletion(ticket, kDownloadTimeoutMs, result, error) && result;
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

// Every handle of the download stops reporting before it is closed: a request abandoned after a
// time-out may be finished by WinInet much later (when the server lets go), and by then the
// module that holds the callback may be gone.
class QuietHandles {
public:
    QuietHandles(const InternetHandle& session, LONG ticket) : session_(session), ticket_(ticket) {}
    QuietHandles(const QuietHandles&) = delete;
    QuietHandles& operator=(const QuietHandles&) = delete;
    ~QuietHandles()
    {
        if (HINTERNET request = ReportedRequest(ticket_)) InternetSetStatusCallbackA(request, nullptr);
        if (session_.Get()) InternetSetStatusCallbackA(session_.Get(), nullptr);
    }

private:
    const InternetHandle& session_;
    LONG ticket_;
};

// Everything up to a complete body; every handle is closed when it returns (the file first).
// 0 when the body is complete.
int Transfer(const char* url, const char* destination)
{
    Notify(kStarting);
    InternetHandle session(OpenSession());
    const LONG ticket = BeginInternetTicket();
    Notify(kOpeningUrl);
    DWORD error = 0;
    InternetHandle request(OpenUrl(session.Get(), url, ticket, error));
    QuietHandles quiet(session, ticket);
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

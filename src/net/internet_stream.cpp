#include "net/internet_stream.h"

#include <stdlib.h>
#include <string.h>

#include "win/ansi_text.h"

namespace {

constexpr DWORD kStatusCodeSize = 32;

// An asynchronous session that reports to callback; through proxy when it is given, else with the
// system's settings. Null when WinInet refuses.
HINTERNET OpenAsyncSession(const char* agent, const char* proxy, INTERNET_STATUS_CALLBACK callback)
{
    const bool viaProxy = proxy && *proxy;
    HINTERNET session = InternetOpenA(agent, viaProxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_PRECONFIG,
                                      viaProxy ? proxy : nullptr, nullptr, INTERNET_FLAG_ASYNC);
    if (session) InternetSetStatusCallbackA(session, callback);
    return session;
}

// The request handle once the server has answered, or null with the reason in error: a text that
// is no URL, a failed open, or no answer within timeoutMs (ERROR_INTERNET_TIMEOUT).
HINTERNET OpenUrlWithin(InternetCompletion& completion, HINTERNET session, const char* url, const char* headers,
                        DWORD flags, LONG ticket, DWORD timeoutMs, DWORD& error)
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
    ArmInternetWait(completion);
    const DWORD headerLength = headers ? static_cast<DWORD>(strlen(headers)) : 0;
    HINTERNET request = InternetOpenUrlA(session, url, headers, headerLength, flags, static_cast<DWORD_PTR>(ticket));
    if (request) return request;
    error = GetLastError();
    if (error != ERROR_IO_PENDING) return nullptr;
    DWORD_PTR result = 0;
    if (!WaitInternetCompletion(completion, ticket, timeoutMs, result, error)) {
        error = ERROR_INTERNET_TIMEOUT;
        return nullptr;
    }
    if (!result && !error) error = ERROR_INTERNET_INTERNAL_ERROR;
    return reinterpret_cast<HINTERNET>(result);
}

// The HTTP status as the server sent it; 0 when there is none (another scheme).
int32_t ResponseStatus(HINTERNET request)
{
    char text[kStatusCodeSize] = "";
    DWORD length = kStatusCodeSize - 1;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE, text, &length, nullptr)) return 0;
    text[kStatusCodeSize - 1] = '\0';
    return static_cast<int32_t>(strtol(text, nullptr, 10));
}

// The value of the named response header into text (size bytes, always terminated); false when
// the answer has no such header.
bool ResponseHeader(HINTERNET request, const char* name, char* text, DWORD size)
{
    if (size == 0) return false;
    // The custom query takes the header's name in the buffer and answers its value there.
    CopyBounded(text, size, name);
    DWORD length = size - 1;
    const bool found = HttpQueryInfoA(request, HTTP_QUERY_CUSTOM, text, &length, nullptr) != FALSE;
    if (!found) text[0] = '\0';
    text[size - 1] = '\0';
    return found;
}

// Every handle of a request stops reporting before it is closed: a request abandoned after a
// time-out may be finished by WinInet much later (when the server lets go), and by then the
// module that holds the callback may be gone.
void SilenceInternetHandles(const InternetCompletion& completion, HINTERNET session, LONG ticket)
{
    if (HINTERNET request = ReportedRequest(completion, ticket)) InternetSetStatusCallbackA(request, nullptr);
    if (session) InternetSetStatusCallbackA(session, nullptr);
}

}  // namespace

bool InternetStream::Open(const char* url, const InternetStreamSetup& setup, DWORD timeoutMs, DWORD* error)
{
    Close();
    if (!landing_.Get()) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    session_ = UniqueInternet(OpenAsyncSession(setup.agent, setup.proxy, callback_));
    if (!session_.Get()) {
        *error = GetLastError();
        return false;
    }
    ticket_ = BeginInternetTicket(completion_);
    request_ = UniqueInternet(
        OpenUrlWithin(completion_, session_.Get(), url, setup.headers, setup.flags, ticket_, timeoutMs, *error));
    return request_.Get() != nullptr;
}

int32_t InternetStream::Status() const { return request_.Get() ? ResponseStatus(request_.Get()) : 0; }

bool InternetStream::Header(const char* name, char* text, DWORD size) const
{
    return request_.Get() && ResponseHeader(request_.Get(), name, text, size);
}

int32_t InternetStream::HeaderNumber(const char* name) const
{
    char text[32];
    return Header(name, text, sizeof text) ? static_cast<int32_t>(strtol(text, nullptr, 10)) : 0;
}

int32_t InternetStream::Read(DWORD waitMs, DWORD stallMs)
{
    InternetLanding::Block* block = landing_.Get();
    if (!request_.Get() || !block) return kFailed;
    const DWORD start = GetTickCount();
    // The count of waiting bytes is asked for until it comes at once: a completion only says that
    // bytes have arrived (the count WinInet may write with it is not relied on).
    for (;;) {
        if (pending_) {
            const DWORD waited = GetTickCount() - start;
            DWORD_PTR result = 0;
            DWORD error = 0;
            if (!WaitInternetCompletion(completion_, ticket_, waitMs > waited ? waitMs - waited : 0, result, error))
                return GetTickCount() - pendingSince_ >= stallMs ? kFailed : 0;
            pending_ = false;
            if (!result) return kFailed;
        }
        ArmInternetWait(completion_);
        if (InternetQueryDataAvailable(request_.Get(), &block->available, 0, 0)) break;
        if (GetLastError() != ERROR_IO_PENDING) return kFailed;
        pending_ = true;
        pendingSince_ = GetTickCount();
    }
    // No bytes waiting, and none to wait for: the end of the body.
    if (block->available == 0) return kEnded;
    ArmInternetWait(completion_);
    block->got = 0;
    const DWORD want = block->available < static_cast<DWORD>(kPieceBytes) ? block->available : kPieceBytes;
    if (!InternetReadFile(request_.Get(), block->data, want, &block->got)) {
        // Reading no more than is waiting should not wait; should it, the wait is bounded.
        DWORD_PTR result = 0;
        DWORD error = 0;
        if (GetLastError() != ERROR_IO_PENDING) return kFailed;
        if (!WaitInternetCompletion(completion_, ticket_, stallMs, result, error)) {
            pending_ = true;
            return kFailed;
        }
        if (!result) return kFailed;
    }
    if (block->got == 0) return kEnded;
    return static_cast<int32_t>(block->got);
}

void InternetStream::Close()
{
    SilenceInternetHandles(completion_, session_.Get(), ticket_);
    request_.Reset();
    session_.Reset();
    // An operation given up may still write into the landing.
    if (pending_) landing_.Abandon();
    pending_ = false;
    ticket_ = 0;
}

#include "http_source.h"

#include "net/internet_request.h"

namespace {

constexpr char kAgent[] = "Tunara MPEG audio stream";
// In-band metadata (the stream's titles) is asked for; a server that does not know it sends none.
constexpr char kRequestHeaders[] = "Icy-MetaData: 1\r\n";
// A stream is live: never from the cache, never into it.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

// What WinInet reports about the open stream's request; it lives as long as the module.
InternetCompletion completion;

void CALLBACK StreamStatusCallback(HINTERNET, DWORD_PTR context, DWORD status, void* info, DWORD)
{
    ReportInternetStatus(completion, context, status, info);
}

}  // namespace

int32_t HttpSource::Open(const char* url, DWORD timeoutMs)
{
    Close();
    if (!landing_.Get()) return 0;
    session_ = InternetHandle(OpenAsyncSession(kAgent, nullptr, StreamStatusCallback));
    if (!session_.Get()) return 0;
    ticket_ = BeginInternetTicket(completion);
    DWORD error = 0;
    request_ = InternetHandle(
        OpenUrlWithin(completion, session_.Get(), url, kRequestHeaders, kRequestFlags, ticket_, timeoutMs, error));
    if (!request_.Get()) {
        Close();
        return 0;
    }
    lastData_ = GetTickCount();
    return ResponseStatus(request_.Get());
}

bool HttpSource::Header(const char* name, char* text, DWORD size) const
{
    return request_.Get() && ResponseHeader(request_.Get(), name, text, size);
}

int32_t HttpSource::Read(DWORD waitMs)
{
    InternetLanding::Block* block = landing_.Get();
    if (!request_.Get() || !block) return kFailed;
    const DWORD start = GetTickCount();
    // The count of waiting bytes is asked for until it comes at once: a count that comes with a
    // completion is only the sign that bytes have arrived.
    for (;;) {
        if (pending_) {
            const DWORD waited = GetTickCount() - start;
            DWORD_PTR result = 0;
            DWORD error = 0;
            if (!WaitInternetCompletion(completion, ticket_, waitMs > waited ? waitMs - waited : 0, result, error))
                return GetTickCount() - lastData_ >= kStallMs ? kFailed : 0;
            pending_ = false;
            if (!result) return kFailed;
        }
        ArmInternetWait(completion);
        if (InternetQueryDataAvailable(request_.Get(), &block->available, 0, 0)) break;
        if (GetLastError() != ERROR_IO_PENDING) return kFailed;
        pending_ = true;
    }
    // No bytes waiting, and none to wait for: the end of the body.
    if (block->available == 0) return kEnded;
    ArmInternetWait(completion);
    block->got = 0;
    if (!InternetReadFile(request_.Get(), block->data, block->available < kPieceBytes ? block->available : kPieceBytes,
                          &block->got)) {
        // Reading no more than is waiting should not wait; should it, it is bounded.
        DWORD_PTR result = 0;
        DWORD error = 0;
        if (GetLastError() != ERROR_IO_PENDING) return kFailed;
        if (!WaitInternetCompletion(completion, ticket_, kStallMs, result, error)) {
            pending_ = true;
            return kFailed;
        }
        if (!result) return kFailed;
    }
    if (block->got == 0) return kEnded;
    lastData_ = GetTickCount();
    return static_cast<int32_t>(block->got);
}

void HttpSource::Close()
{
    SilenceInternetHandles(completion, session_.Get(), ticket_);
    request_.Close();
    session_.Close();
    if (pending_) landing_.Abandon();
    pending_ = false;
    ticket_ = 0;
}

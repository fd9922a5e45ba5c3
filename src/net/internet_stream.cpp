#include "net/internet_stream.h"

#include "net/internet_request.h"

bool InternetStream::Open(const char* url, const InternetStreamSetup& setup, DWORD timeoutMs, DWORD* error)
{
    Close();
    *error = ERROR_NOT_ENOUGH_MEMORY;
    if (!landing_.Get()) return false;
    session_ = InternetHandle(OpenAsyncSession(setup.agent, setup.proxy, callback_));
    *error = GetLastError();
    if (!session_.Get()) return false;
    ticket_ = BeginInternetTicket(completion_);
    request_ = InternetHandle(
        OpenUrlWithin(completion_, session_.Get(), url, setup.headers, setup.flags, ticket_, timeoutMs, *error));
    return request_.Get() != nullptr;
}

int32_t InternetStream::Status() const { return request_.Get() ? ResponseStatus(request_.Get()) : 0; }

bool InternetStream::Header(const char* name, char* text, DWORD size) const
{
    return request_.Get() && ResponseHeader(request_.Get(), name, text, size);
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
    request_.Close();
    session_.Close();
    // An operation given up may still write into the landing.
    if (pending_) landing_.Abandon();
    pending_ = false;
    ticket_ = 0;
}

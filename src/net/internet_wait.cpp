#include "net/internet_wait.h"

void ReportInternetStatus(InternetCompletion& completion, DWORD_PTR context, DWORD status, const void* info)
{
    if (!info || static_cast<LONG>(context) != completion.ticket) return;
    if (status == INTERNET_STATUS_HANDLE_CREATED) {
        completion.request = reinterpret_cast<HINTERNET>(static_cast<const INTERNET_ASYNC_RESULT*>(info)->dwResult);
        return;
    }
    if (status != INTERNET_STATUS_REQUEST_COMPLETE) return;
    const auto* outcome = static_cast<const INTERNET_ASYNC_RESULT*>(info);
    completion.result = outcome->dwResult;
    completion.error = outcome->dwError;
    InterlockedExchange(&completion.completedTicket, static_cast<LONG>(context));
    SetEvent(completion.signal.Get());
}

LONG BeginInternetTicket(InternetCompletion& completion)
{
    if (!completion.signal.Valid()) completion.signal = UniqueHandle(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!completion.signal.Valid()) return 0;
    completion.request = nullptr;
    LONG ticket = InterlockedIncrement(&completion.ticket);
    // 0 is no context at all: WinInet reports nothing for it.
    if (ticket == 0) ticket = InterlockedIncrement(&completion.ticket);
    return ticket;
}

// The event is not reset here (that would cost a call into the system for every piece of a
// body): a signal left from an earlier completion only makes the wait look at the ticket once more.
void ArmInternetWait(InternetCompletion& completion) { InterlockedExchange(&completion.completedTicket, 0); }

HINTERNET ReportedRequest(const InternetCompletion& completion, LONG ticket)
{
    return completion.ticket == ticket ? completion.request : nullptr;
}

bool WaitInternetCompletion(InternetCompletion& completion, LONG ticket, DWORD timeoutMs, DWORD_PTR& result,
                            DWORD& error)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (InterlockedCompareExchange(&completion.completedTicket, 0, 0) == ticket) {
            result = completion.result;
            error = completion.error;
            return true;
        }
        const DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs) return false;
        WaitForSingleObject(completion.signal.Get(), timeoutMs - waited);
    }
}

InternetLanding::Block* InternetLanding::Get()
{
    if (!block_) block_ = static_cast<Block*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Block)));
    return block_;
}

void InternetLanding::Free()
{
    if (block_) HeapFree(GetProcessHeap(), 0, block_);
    block_ = nullptr;
}

#include "net/internet_wait.h"

#include "engine/engine_context.h"

void CALLBACK InternetStatusCallback(HINTERNET, DWORD_PTR context, DWORD status, void* info, DWORD)
{
    InternetCompletion& completion = engine.downloadCompletion;
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

LONG BeginInternetTicket()
{
    InternetCompletion& completion = engine.downloadCompletion;
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
void ArmInternetWait() { InterlockedExchange(&engine.downloadCompletion.completedTicket, 0); }

HINTERNET ReportedRequest(LONG ticket)
{
    InternetCompletion& completion = engine.downloadCompletion;
    return completion.ticket == ticket ? completion.request : nullptr;
}

bool WaitInternetCompletion(LONG ticket, DWORD timeoutMs, DWORD_PTR& result, DWORD& error)
{
    InternetCompletion& completion = engine.downloadCompletion;
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

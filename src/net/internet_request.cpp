#include "net/internet_request.h"

#include <stdlib.h>
#include <string.h>

#include "win/ansi_text.h"

namespace {

constexpr DWORD kStatusCodeSize = 32;

}  // namespace

HINTERNET OpenAsyncSession(const char* agent, const char* proxy, INTERNET_STATUS_CALLBACK callback)
{
    const bool viaProxy = proxy && *proxy;
    HINTERNET session = InternetOpenA(agent, viaProxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_PRECONFIG,
                                      viaProxy ? proxy : nullptr, nullptr, INTERNET_FLAG_ASYNC);
    if (session) InternetSetStatusCallbackA(session, callback);
    return session;
}

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

int32_t ResponseStatus(HINTERNET request)
{
    char text[kStatusCodeSize] = "";
    DWORD length = kStatusCodeSize - 1;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE, text, &length, nullptr)) return 0;
    text[kStatusCodeSize - 1] = '\0';
    return static_cast<int32_t>(strtol(text, nullptr, 10));
}

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

void SilenceInternetHandles(const InternetCompletion& completion, HINTERNET session, LONG ticket)
{
    if (HINTERNET request = ReportedRequest(completion, ticket)) InternetSetStatusCallbackA(request, nullptr);
    if (session) InternetSetStatusCallbackA(session, nullptr);
}

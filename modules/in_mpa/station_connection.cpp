#include "station_connection.h"

namespace {

// In-band metadata (the stream's titles) is asked for; a server that does not know it sends none.
constexpr char kRequestHeaders[] = "Icy-MetaData: 1\r\n";
// A stream is live: never from the cache, never into it.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

}  // namespace

bool OpenStation(InternetStream& source, const char* url, const char* agent, DWORD timeoutMs)
{
    InternetStreamSetup setup;
    setup.agent = agent;
    setup.headers = kRequestHeaders;
    setup.flags = kRequestFlags;
    DWORD error = 0;
    if (source.Open(url, setup, timeoutMs, &error) && source.Status() == 200) return true;
    source.Close();
    return false;
}

// Downloading a 50 MB body from the test HTTP server on 127.0.0.1 into a file, beside its floor
// measured in the same run: the same URL read with plain blocking WinInet calls in pieces of the
// same size as the download's and written to a file, without notifications, time-outs or list
// handling. The two alternate run by run, so that both meet the same load; each figure is the
// best of five runs, and the file written is checked after each run, outside the timing. Needs
// the server: scripts/bench.sh starts it.
#include <windows.h>
#include <wininet.h>

#include <stdio.h>

#include <functional>
#include <string>

#include "bench_clock.h"
#include "net/download.h"
#include "net/internet_stream.h"
#include "support/http_server.h"
#include "support/list_files.h"

namespace {

constexpr size_t kBodySize = 50u << 20;
constexpr DWORD kPieceSize = InternetStream::kPieceBytes;
constexpr int kRuns = 5;
constexpr double kGoal = 1.1;

// The time of one run into rounds, when the run succeeded and wrote the whole body to path.
bool Timed(const std::function<bool()>& work, const std::string& path, RoundTimes& rounds)
{
    BenchClock clock;
    const bool done = work();
    const double ms = clock.Milliseconds();
    WIN32_FILE_ATTRIBUTE_DATA written;
    if (!done || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &written) || written.nFileSizeHigh != 0 ||
        written.nFileSizeLow != kBodySize)
        return false;
    rounds.Add(ms);
    return true;
}

bool Floor(const std::string& url, const std::string& path)
{
    HINTERNET session = InternetOpenA("floor", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET request = InternetOpenUrlA(session, url.c_str(), nullptr, 0,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    char buffer[kPieceSize];
    DWORD got = 0;
    size_t total = 0;
    DWORD written = 0;
    while (request && InternetReadFile(request, buffer, sizeof buffer, &got) && got > 0) {
        WriteFile(file, buffer, got, &written, nullptr);
        total += got;
    }
    CloseHandle(file);
    InternetCloseHandle(request);
    InternetCloseHandle(session);
    return total == kBodySize;
}

bool Own(const std::string& url, const std::string& path)
{
    return DownloadUrlToFile(nullptr, url.c_str(), path.c_str(), "") == 0;
}

}  // namespace

int main()
{
    const std::string url = ServerUrl("/bytes/" + std::to_string(kBodySize));
    if (url.empty()) {
        printf("download_bench: the test HTTP server does not run\n");
        return 1;
    }
    ScratchFolder folder("downloadbench");
    const std::string path = folder.Path() + "\\body.bin";
    RoundTimes floor, own;
    for (int run = 0; run < kRuns; ++run) {
        if (!Timed([&] { return Floor(url, path); }, path, floor) || !Timed([&] { return Own(url, path); }, path, own)) {
            printf("download_bench: a download failed\n");
            return 1;
        }
    }
    printf("%-44s floor %8.1f ms   own %8.1f ms   ratio %.2f best, %.2f median (goal <= %.1f)\n",
           "download of 50 MB into a file", floor.Best(), own.Best(), own.Best() / floor.Best(),
           own.Median() / floor.Median(), kGoal);
    return 0;
}

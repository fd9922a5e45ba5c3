#include "support/http_server.h"

#include <windows.h>

#include "support/test_paths.h"

std::string ServerAddress()
{
    HANDLE file = CreateFileW((ExeDirectory() + L"\\http_server.port").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    char port[16] = "";
    DWORD got = 0;
    ReadFile(file, port, sizeof port - 1, &got, nullptr);
    CloseHandle(file);
    port[got] = '\0';
    return got ? "127.0.0.1:" + std::string(port) : "";
}

std::string ServerUrl(const std::string& path)
{
    const std::string address = ServerAddress();
    return address.empty() ? "" : "http://" + address + path;
}

std::vector<std::string> TemporaryListFiles(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\plyrlink*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

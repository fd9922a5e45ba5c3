#include "module_bench_case.h"

#include <stdio.h>

#include <vector>

#include "win/unique_resource.h"

std::unique_ptr<PlayerCase> StartModuleCase(const wchar_t* caseName, const std::wstring& output, bool realtime)
{
    auto player = std::make_unique<PlayerCase>(caseName);
    PluginLayout& layout = player->Layout();
    const std::string file(output.begin(), output.end());
    if (!layout.AddShipped(L"IN_PCM.DLL", L"IN_PCM.DLL") || !layout.AddShipped(L"IN_MPA.DLL", L"IN_MPA.DLL") ||
        !layout.AddShipped(L"IN_OGG.DLL", L"IN_OGG.DLL") ||
        !layout.AddShipped(L"IN_MF.DLL", L"IN_MF.DLL") ||
        !layout.AddShipped(L"out_pq2.dll", L"out_pq2.dll") ||
        !layout.AddOutput("OUT_KV.DLL", {"open=-1"}) ||
        !layout.WritePluginFile(L"out_pq2.ini", {"[output]", "file=" + file, realtime ? "realtime=1" : "realtime=0"}) ||
        !player->Start()) {
        printf("bench: cannot set up the case %ls\n", caseName);
        return nullptr;
    }
    player->Call().Put(L"Volume", DispatchCall::Long(255));
    return player;
}

bool WriteNoiseWave(const std::wstring& path, int seconds)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    const uint32_t dataBytes = static_cast<uint32_t>(seconds) * 44100u * 4u;
    const uint32_t header[11] = {0x46464952u, 36u + dataBytes, 0x45564157u, 0x20746d66u, 16u, 0x00020001u,
                                 44100u,      44100u * 4u,     0x00100004u, 0x61746164u, dataBytes};
    DWORD written = 0;
    if (!WriteFile(file.Get(), header, sizeof header, &written, nullptr)) return false;
    std::vector<uint32_t> block(44100);
    uint32_t seed = 1;
    for (int s = 0; s < seconds; ++s) {
        for (uint32_t& word : block) word = seed = seed * 1664525u + 1013904223u;
        if (!WriteFile(file.Get(), block.data(), 44100 * 4, &written, nullptr)) return false;
    }
    return true;
}

long long FileBytes(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

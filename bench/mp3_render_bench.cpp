// Decoding a 10-minute 44.1 kHz stereo 128 kbit/s MP3 file (made by scripts/bench.sh with sox and
// lame in bin/bench_mp3/) through the control, IN_MPA.DLL and out_pq2.dll into a WAVE file,
// unpaced (realtime=0), from Play until the engine has stopped. The floor, measured in the same
// run, is the same file decoded by the compression manager directly in 64 KB pieces, the PCM
// written to a file. scripts/bench.sh times mpg123 -w decoding the same file beside it.
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <stdio.h>

#include <vector>

#include "bench_clock.h"
#include "module_bench_case.h"
#include "support/test_paths.h"
#include "win/unique_resource.h"

namespace {

constexpr DWORD kPieceBytes = 64 * 1024;
constexpr DWORD kPcmBytes = 4 * 1024 * 1024;

// -1 when the codec cannot be had.
double FloorMs(const std::wstring& source, const std::wstring& target)
{
    MPEGLAYER3WAVEFORMAT mp3 = {};
    mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3.wfx.nChannels = 2;
    mp3.wfx.nSamplesPerSec = 44100;
    mp3.wfx.nAvgBytesPerSec = 16000;
    mp3.wfx.nBlockAlign = 1;
    mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    mp3.wID = MPEGLAYER3_ID_MPEG;
    mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    mp3.nBlockSize = 417;
    mp3.nFramesPerBlock = 1;
    WAVEFORMATEX pcm = {WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    BenchClock clock;
    HACMSTREAM stream = nullptr;
    if (acmStreamOpen(&stream, nullptr, &mp3.wfx, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0) return -1;
    UniqueFile in(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    UniqueFile out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::vector<unsigned char> piece(kPieceBytes), decoded(kPcmBytes);
    DWORD read = 0, written = 0;
    while (ReadFile(in.Get(), piece.data(), kPieceBytes, &read, nullptr) && read > 0) {
        DWORD length = read;
        for (;;) {
            ACMSTREAMHEADER header = {};
            header.cbStruct = sizeof header;
            header.pbSrc = piece.data();
            header.cbSrcLength = length;
            header.pbDst = decoded.data();
            header.cbDstLength = kPcmBytes;
            acmStreamPrepareHeader(stream, &header, 0);
            acmStreamConvert(stream, &header, 0);
            acmStreamUnprepareHeader(stream, &header, 0);
            WriteFile(out.Get(), decoded.data(), header.cbDstLengthUsed, &written, nullptr);
            if (header.cbDstLengthUsed < kPcmBytes) break;
            length = 0;  // drain what did not fit
        }
    }
    acmStreamClose(stream, 0);
    return clock.Milliseconds();
}

}  // namespace

int main()
{
    if (FAILED(CoInitialize(nullptr))) return 2;
    int result = 0;
    {
        const std::wstring source = ExeDirectory() + L"\\bench_mp3\\long.mp3";
        auto player = StartModuleCase(L"mp3_render", L"", false);
        if (!player) return 1;
        const std::wstring dir = player->Layout().Directory();
        const std::wstring render = dir + L"\\render.wav";
        const std::string renderName(render.begin(), render.end());
        player->Layout().WritePluginFile(L"out_pq2.ini", {"[output]", "file=" + renderName, "realtime=0"});
        player->Append(source);
        const double floorMs = FloorMs(source, dir + L"\\floor.pcm");

        BenchClock clock;
        player->Call().Method(L"Play");
        const bool ended = player->PumpUntil([&] { return player->Call().GetLong(L"Status") == 0; }, 600000);
        const double renderMs = clock.Milliseconds();
        // 600 s of 16-bit stereo and the header.
        if (!ended || FileBytes(render) != 600LL * 44100 * 4 + 44 || floorMs < 0) {
            printf("mp3_render_bench: the render did not complete (%lld bytes, floor %.1f)\n", FileBytes(render), floorMs);
            result = 1;
        }
        printf("mp3_render_bench: 600 s of 44.1 kHz stereo at 128 kbit/s, unpaced, to a WAVE file\n");
        printf("  floor (the compression manager decoding the file directly): %.1f ms\n", floorMs);
        printf("  render through the control and the modules:               %.1f ms (%.0f times real time)\n",
               renderMs, 600000.0 / renderMs);
        printf("  ratio: %.2f\n", renderMs / floorMs);
    }
    CoUninitialize();
    return result;
}

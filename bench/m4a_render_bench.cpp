// Decoding a 10-minute 44.1 kHz stereo 128 kbit/s M4A file (AAC, made by scripts/bench.sh with
// ffmpeg in bin/bench_m4a/) through the control, IN_MF.DLL and out_pq2.dll into a WAVE file,
// unpaced (realtime=0), from Play until the engine has stopped. The floor, measured in the same
// run, is the platform's source reader decoding the file alone to 16-bit PCM, the PCM written to
// a file; the goal is at least 0.8 of its speed.
#include <windows.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>

#include <stdio.h>

#include "bench_clock.h"
#include "module_bench_case.h"
#include "support/test_paths.h"
#include "win/com_ptr.h"
#include "win/unique_resource.h"

namespace {

constexpr double kGoal = 0.8;
constexpr DWORD kAudio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);

// The bytes of PCM decoded; -1 when the platform cannot decode the file.
long long DecodeAlone(const std::wstring& source, const std::wstring& target)
{
    ComPtr<IMFSourceReader> reader;
    ComPtr<IMFMediaType> pcm;
    if (FAILED(MFCreateSourceReaderFromURL(source.c_str(), nullptr, reader.Out())) || FAILED(MFCreateMediaType(pcm.Out())))
        return -1;
    pcm->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
    pcm->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_PCM);
    pcm->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, 16);
    if (FAILED(reader->SetCurrentMediaType(kAudio, nullptr, pcm.Get()))) return -1;
    UniqueFile out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    long long total = 0;
    for (;;) {
        DWORD flags = 0;
        LONGLONG stamp = 0;
        ComPtr<IMFSample> sample;
        if (FAILED(reader->ReadSample(kAudio, 0, nullptr, &flags, &stamp, sample.Out())) ||
            (flags & MF_SOURCE_READERF_ENDOFSTREAM))
            break;
        if (!sample) continue;
        ComPtr<IMFMediaBuffer> buffer;
        BYTE* data = nullptr;
        DWORD bytes = 0, written = 0;
        if (FAILED(sample->ConvertToContiguousBuffer(buffer.Out())) || FAILED(buffer->Lock(&data, nullptr, &bytes)))
            return -1;
        WriteFile(out.Get(), data, bytes, &written, nullptr);
        buffer->Unlock();
        total += bytes;
    }
    return total;
}

}  // namespace

int main()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) || FAILED(MFStartup(MF_VERSION, MFSTARTUP_NOSOCKET)))
        return 2;
    int result = 0;
    {
        const std::wstring source = ExeDirectory() + L"\\bench_m4a\\long.m4a";
        auto player = StartModuleCase(L"m4a_render", L"", false);
        if (!player) return 1;
        const std::wstring dir = player->Layout().Directory();
        const std::wstring render = dir + L"\\render.wav";
        const std::string renderName(render.begin(), render.end());
        player->Layout().WritePluginFile(L"out_pq2.ini", {"[output]", "file=" + renderName, "realtime=0"});
        player->Append(source);

        BenchClock floorClock;
        const long long floorBytes = DecodeAlone(source, dir + L"\\floor.pcm");
        const double floorMs = floorClock.Milliseconds();

        BenchClock clock;
        player->Call().Method(L"Play");
        const bool ended = player->PumpUntil([&] { return player->Call().GetLong(L"Status") == 0; }, 600000);
        const double renderMs = clock.Milliseconds();
        // Every sample the source reader decodes alone, and the header.
        if (!ended || floorBytes < 600LL * 44100 * 4 - 4096 || FileBytes(render) != floorBytes + 44) {
            printf("m4a_render_bench: the render did not complete (%lld bytes, floor %lld bytes)\n", FileBytes(render),
                   floorBytes);
            result = 1;
        }
        printf("m4a_render_bench: 600 s of 44.1 kHz stereo AAC at 128 kbit/s in M4A, unpaced, to a WAVE file\n");
        printf("  floor (the source reader decoding the file alone): %.1f ms\n", floorMs);
        printf("  render through the control and the modules: %.1f ms (%.0f times real time)\n", renderMs,
               600000.0 / renderMs);
        printf("  speed against the floor: %.2f (goal: at least %.1f)\n", floorMs / renderMs, kGoal);
    }
    MFShutdown();
    CoUninitialize();
    return result;
}

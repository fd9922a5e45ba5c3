#include "wave_stream.h"

#include "pcm_to_16.h"
#include "win/ansi_text.h"

namespace {

constexpr int32_t kFramesPerPiece = 16384;
constexpr int32_t kMaxChannels = 8;

// The decoding thread's buffers: the module's one stream starts only once an earlier thread has ended.
unsigned char sourceBuffer[kFramesPerPiece * kMaxChannels * 4];
int16_t pcmBuffer[kFramesPerPiece * kMaxChannels];

}  // namespace

bool WaveStream::Start(const char* path, const WaveHeader& header, OutputPluginRecord* output,
                       const StreamHost& host, int32_t volume, int32_t pan)
{
    Stop();
    if (!CanStart(output)) return false;
    file_.Reset(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_) return false;
    header_ = header;
    CopyBounded(path_, path);
    // A block must fit the conversion buffer whole.
    if (header.kind == SampleKind::kCompressed &&
        (!decoder_.Open(header) || decoder_.BlockOutputBytes() > static_cast<int32_t>(sizeof pcmBuffer))) {
        CloseSource();
        return false;
    }
    readBytes_ = 0;
    return Launch(output, host, volume, pan, header.sampleRate, header.channels);
}

void WaveStream::CloseSource()
{
    decoder_.Close();
    file_.Reset();
}

bool WaveStream::FeedCompressed(int32_t room)
{
    const uint64_t block = static_cast<uint64_t>(header_.blockAlign);
    const uint64_t left = (header_.dataBytes - readBytes_) / block;
    if (left == 0) return false;
    const int32_t target = room < static_cast<int32_t>(sizeof pcmBuffer) ? room : static_cast<int32_t>(sizeof pcmBuffer);
    uint64_t blocks = static_cast<uint64_t>(target / decoder_.BlockOutputBytes());
    if (blocks > sizeof sourceBuffer / block) blocks = sizeof sourceBuffer / block;
    if (blocks > left) blocks = left;
    const DWORD bytes = static_cast<DWORD>(blocks * block);
    DWORD read = 0;
    if (!ReadFile(file_.Get(), sourceBuffer, bytes, &read, nullptr) || read < block) return false;
    const int32_t whole = static_cast<int32_t>(read / block * block);
    const int32_t pcmBytes = decoder_.Convert(sourceBuffer, whole, reinterpret_cast<unsigned char*>(pcmBuffer), target);
    if (pcmBytes < 0) return false;
    output_->write(reinterpret_cast<const char*>(pcmBuffer), pcmBytes - pcmBytes % (header_.channels * 2));
    readBytes_ += static_cast<uint64_t>(whole);
    return true;
}

bool WaveStream::Feed(int32_t room)
{
    if (header_.kind == SampleKind::kCompressed) return FeedCompressed(room);
    const uint64_t left = header_.dataBytes - readBytes_;
    if (left == 0) return false;
    const int32_t outFrame = header_.channels * 2;
    int64_t frames = room / outFrame;
    if (frames > kFramesPerPiece) frames = kFramesPerPiece;
    if (static_cast<uint64_t>(frames) * static_cast<uint64_t>(header_.blockAlign) > left)
        frames = static_cast<int64_t>(left / static_cast<uint64_t>(header_.blockAlign));
    const DWORD bytes = static_cast<DWORD>(frames * header_.blockAlign);
    DWORD read = 0;
    if (!ReadFile(file_.Get(), sourceBuffer, bytes, &read, nullptr) || read < static_cast<DWORD>(header_.blockAlign))
        return false;  // the file became shorter than its header says
    const int32_t whole = static_cast<int32_t>(read / static_cast<DWORD>(header_.blockAlign));
    ConvertTo16(header_, sourceBuffer, whole * header_.channels, pcmBuffer);
    output_->write(reinterpret_cast<const char*>(pcmBuffer), whole * outFrame);
    readBytes_ += static_cast<uint64_t>(whole) * static_cast<uint64_t>(header_.blockAlign);
    return true;
}

void WaveStream::Run()
{
    bool ended = false;
    LARGE_INTEGER start;
    start.QuadPart = static_cast<LONGLONG>(header_.dataOffset);
    SetFilePointerEx(file_.Get(), start, nullptr, FILE_BEGIN);
    // The flag is read while feeding (waiting on the event costs a system call per piece); the
    // event ends an idle wait.
    while (!stopRequested_) {
        const LONG seek = InterlockedExchange(&seekRequest_, -1);
        if (seek >= 0) {
            // To the block (a frame of PCM) that holds the position.
            const uint64_t block = static_cast<uint64_t>(header_.blockAlign);
            uint64_t blockIndex = static_cast<uint64_t>(seek) * static_cast<uint64_t>(header_.BytesPerSecond()) / 1000 / block;
            if (blockIndex > header_.dataBytes / block) blockIndex = header_.dataBytes / block;
            readBytes_ = blockIndex * block;
            LARGE_INTEGER at;
            at.QuadPart = static_cast<LONGLONG>(header_.dataOffset + readBytes_);
            SetFilePointerEx(file_.Get(), at, nullptr, FILE_BEGIN);
            if (output_->flush)
                output_->flush(static_cast<int32_t>(readBytes_ * 1000 / static_cast<uint64_t>(header_.BytesPerSecond())));
            ended = false;
            RestartEnding();
        }
        bool fed = false;
        if (!ended) {
            const int32_t room = output_->canWrite();
            const int32_t least = header_.kind == SampleKind::kCompressed ? decoder_.BlockOutputBytes() : header_.channels * 2;
            if (room >= least) {
                ended = !Feed(room);
                fed = !ended;
            }
        }
        EndRound(ended, fed);
    }
}

#pragma once
// One file opened through the platform's source reader, its first audio stream decoded to 16-bit
// PCM at the file's rate and channels. Opening the reader from a name is the only part that knows
// where the bytes come from. Open and the queries run on the host's thread; after Open hands the
// reader to the decoding thread, only that thread reads and seeks, and Close runs once it has
// ended (or on the thread Stop left behind).
#include <windows.h>
#include <stdint.h>

#include <mfidl.h>
#include <mfreadwrite.h>

#include "media_foundation.h"
#include "reader_opening.h"
#include "win/com_ptr.h"

class MfReader {
public:
    MfReader() = default;
    MfReader(const MfReader&) = delete;
    MfReader& operator=(const MfReader&) = delete;
    ~MfReader() { Close(); }

    // False, with nothing open, when the platform cannot read the file or decode its audio, or
    // takes longer than kOpenWaitMs to open it.
    bool Open(const MediaFoundation& platform, const char* path);
    void Close();

    int32_t SampleRate() const { return opened_.rate; }
    int32_t Channels() const { return opened_.channels; }
    // From the presentation's duration; -1 when the source does not tell.
    int32_t LengthMs() const { return opened_.lengthMs; }
    IMFSourceReader* Reader() const { return opened_.reader.Get(); }

    // The decoded samples not yet handed on, in whole sample frames.
    bool Pending() const { return pendingBytes_ > 0; }
    const char* PendingData() const { return pendingData_; }
    int32_t PendingBytes() const { return pendingBytes_; }
    void Consume(int32_t bytes);
    // Decodes the next piece of samples; false at the end of the audio or on a decoding error.
    bool ReadNext();
    // Moves to positionMs; the samples before it in the first piece decoded there are dropped.
    bool Seek(int32_t positionMs);

private:
    void Release();

    OpenedReader opened_;
    // The decoding thread's piece, locked while its samples are handed on.
    ComPtr<IMFMediaBuffer> buffer_;
    const char* pendingData_ = nullptr;
    int32_t pendingBytes_ = 0;
    // In 100-ns units: samples stamped before it are dropped (after a seek); -1 keeps all.
    LONGLONG dropBefore_ = -1;
};

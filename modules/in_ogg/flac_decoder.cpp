#include "flac_decoder.h"

#include <string.h>

#include "vorbis_comment.h"

namespace {

constexpr int32_t kMaxChannels = 8;

// One sample of bits bits as a 16-bit one: rounded to the nearest, halves upwards.
int16_t To16(FLAC__int32 sample, unsigned bits)
{
    if (bits <= 16) return static_cast<int16_t>(sample * (1 << (16 - bits)));
    const unsigned shift = bits - 16;
    const int64_t rounded = (static_cast<int64_t>(sample) + (int64_t{1} << (shift - 1))) >> shift;
    return static_cast<int16_t>(rounded > 32767 ? 32767 : rounded);
}

}  // namespace

bool FlacDecoder::Open(ByteSource* source)
{
    Close();
    source_ = source;
    decoder_.Reset(FLAC__stream_decoder_new());
    if (!decoder_) return false;
    FLAC__StreamDecoder* d = decoder_.Get();
    FLAC__stream_decoder_set_metadata_respond(d, FLAC__METADATA_TYPE_VORBIS_COMMENT);
    const FLAC__StreamDecoderInitStatus init =
        ogg_ ? FLAC__stream_decoder_init_ogg_stream(d, ReadBytes, SeekBytes, TellBytes, LengthBytes, AtEnd, WriteFrame,
                                                    Metadata, Error, this)
             : FLAC__stream_decoder_init_stream(d, ReadBytes, SeekBytes, TellBytes, LengthBytes, AtEnd, WriteFrame,
                                                Metadata, Error, this);
    if (init != FLAC__STREAM_DECODER_INIT_STATUS_OK || !FLAC__stream_decoder_process_until_end_of_metadata(d) ||
        !hasStreamInfo_ || info_.channels < 1 || info_.channels > kMaxChannels || info_.sampleRate <= 0) {
        Close();
        return false;
    }
    const int64_t size = source->Size();
    if (info_.samples > 0 && size > 0)
        info_.kbps = static_cast<int32_t>(8.0 * static_cast<double>(size) * info_.sampleRate / (1000.0 * static_cast<double>(info_.samples)));
    info_.vbr = true;
    return true;
}

void FlacDecoder::Close()
{
    decoder_.Reset();
    source_ = nullptr;
    hasStreamInfo_ = false;
    info_ = AudioInfo();
    pendingStart_ = pendingFrames_ = 0;
}

int32_t FlacDecoder::Decode(int16_t* pcm, int32_t frames)
{
    FLAC__StreamDecoder* d = decoder_.Get();
    while (pendingStart_ == pendingFrames_) {
        if (!d || FLAC__stream_decoder_get_state(d) > FLAC__STREAM_DECODER_READ_FRAME ||
            !FLAC__stream_decoder_process_single(d))
            return 0;
    }
    const int32_t given = pendingFrames_ - pendingStart_ < frames ? pendingFrames_ - pendingStart_ : frames;
    memcpy(pcm, pending_ + static_cast<size_t>(pendingStart_) * info_.channels,
           static_cast<size_t>(given) * info_.channels * sizeof(int16_t));
    pendingStart_ += given;
    return given;
}

bool FlacDecoder::Seek(int64_t sample)
{
    FLAC__StreamDecoder* d = decoder_.Get();
    pendingStart_ = pendingFrames_ = 0;
    if (!d || sample < 0) return false;
    // The frame that holds the sample is decoded inside the seek, from that sample on.
    if (FLAC__stream_decoder_seek_absolute(d, static_cast<FLAC__uint64>(sample))) return true;
    if (FLAC__stream_decoder_get_state(d) == FLAC__STREAM_DECODER_SEEK_ERROR) FLAC__stream_decoder_flush(d);
    pendingStart_ = pendingFrames_ = 0;
    return false;
}

FLAC__StreamDecoderReadStatus FlacDecoder::ReadBytes(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes,
                                                     void* self)
{
    ByteSource* source = static_cast<FlacDecoder*>(self)->source_;
    const size_t want = *bytes < 0x40000000u ? *bytes : 0x40000000u;
    const int32_t read = source->Read(buffer, static_cast<int32_t>(want));
    if (read < 0) {
        *bytes = 0;
        return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
    }
    *bytes = static_cast<size_t>(read);
    return read == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
}

FLAC__StreamDecoderSeekStatus FlacDecoder::SeekBytes(const FLAC__StreamDecoder*, FLAC__uint64 offset, void* self)
{
    ByteSource* source = static_cast<FlacDecoder*>(self)->source_;
    if (source->Size() < 0) return FLAC__STREAM_DECODER_SEEK_STATUS_UNSUPPORTED;
    return offset <= static_cast<FLAC__uint64>(INT64_MAX) && source->Seek(static_cast<int64_t>(offset))
               ? FLAC__STREAM_DECODER_SEEK_STATUS_OK
               : FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
}

FLAC__StreamDecoderTellStatus FlacDecoder::TellBytes(const FLAC__StreamDecoder*, FLAC__uint64* offset, void* self)
{
    ByteSource* source = static_cast<FlacDecoder*>(self)->source_;
    if (source->Size() < 0) return FLAC__STREAM_DECODER_TELL_STATUS_UNSUPPORTED;
    *offset = static_cast<FLAC__uint64>(source->Tell());
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
}

FLAC__StreamDecoderLengthStatus FlacDecoder::LengthBytes(const FLAC__StreamDecoder*, FLAC__uint64* length, void* self)
{
    const int64_t size = static_cast<FlacDecoder*>(self)->source_->Size();
    if (size < 0) return FLAC__STREAM_DECODER_LENGTH_STATUS_UNSUPPORTED;
    *length = static_cast<FLAC__uint64>(size);
    return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
}

FLAC__bool FlacDecoder::AtEnd(const FLAC__StreamDecoder*, void* self)
{
    const ByteSource* source = static_cast<FlacDecoder*>(self)->source_;
    return source->Size() >= 0 && source->Tell() >= source->Size();
}

FLAC__StreamDecoderWriteStatus FlacDecoder::WriteFrame(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                                       const FLAC__int32* const buffer[], void* self)
{
    FlacDecoder* decoder = static_cast<FlacDecoder*>(self);
    const int32_t channels = decoder->info_.channels;
    const unsigned bits = frame->header.bits_per_sample;
    // A frame that contradicts the stream's header ends the stream.
    if (static_cast<int32_t>(frame->header.channels) != channels || bits < 4 || bits > 32 ||
        frame->header.blocksize > 65535)
        return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
    const int32_t frames = static_cast<int32_t>(frame->header.blocksize);
    int16_t* to = decoder->pending_;
    for (int32_t i = 0; i < frames; ++i)
        for (int32_t c = 0; c < channels; ++c) *to++ = To16(buffer[c][i], bits);
    decoder->pendingStart_ = 0;
    decoder->pendingFrames_ = frames;
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void FlacDecoder::Metadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata, void* self)
{
    FlacDecoder* decoder = static_cast<FlacDecoder*>(self);
    AudioInfo& info = decoder->info_;
    if (metadata->type == FLAC__METADATA_TYPE_STREAMINFO) {
        const FLAC__StreamMetadata_StreamInfo& stream = metadata->data.stream_info;
        decoder->hasStreamInfo_ = true;
        info.sampleRate = static_cast<int32_t>(stream.sample_rate);
        info.channels = static_cast<int32_t>(stream.channels);
        info.bitsPerSample = static_cast<int32_t>(stream.bits_per_sample);
        info.samples = stream.total_samples && stream.total_samples <= static_cast<FLAC__uint64>(INT64_MAX)
                           ? static_cast<int64_t>(stream.total_samples)
                           : -1;
    } else if (metadata->type == FLAC__METADATA_TYPE_VORBIS_COMMENT) {
        const FLAC__StreamMetadata_VorbisComment& comments = metadata->data.vorbis_comment;
        for (FLAC__uint32 i = 0; i < comments.num_comments; ++i)
            ReadVorbisComment(reinterpret_cast<const char*>(comments.comments[i].entry), comments.comments[i].length,
                              &info.tags);
    }
}

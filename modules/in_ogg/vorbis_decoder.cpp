#include "vorbis_decoder.h"

#include "channel_order.h"
#include "ogg_source_callbacks.h"
#include "vorbis_comment.h"

namespace {

constexpr int kMaxChannels = 8;

}  // namespace

bool VorbisDecoder::Open(ByteSource* source)
{
    Close();
    if (ov_open_callbacks(source, &file_, nullptr, 0, kVorbisSourceCallbacks) != 0) return false;
    open_.Reset(&file_);
    const vorbis_info* vi = ov_info(&file_, -1);
    if (!vi || vi->channels < 1 || vi->channels > kMaxChannels || vi->rate <= 0 || vi->rate > INT32_MAX) {
        Close();
        return false;
    }
    info_.sampleRate = static_cast<int32_t>(vi->rate);
    info_.channels = vi->channels;
    const ogg_int64_t total = ov_pcm_total(&file_, -1);
    info_.samples = total >= 0 ? total : -1;
    const long average = ov_bitrate(&file_, -1);
    info_.kbps = static_cast<int32_t>((average > 0 ? average : vi->bitrate_nominal > 0 ? vi->bitrate_nominal : 0) / 1000);
    // Only a stream whose encoder held the bitrate between equal bounds is constant.
    info_.vbr = !(vi->bitrate_upper > 0 && vi->bitrate_upper == vi->bitrate_lower);
    if (const vorbis_comment* comments = ov_comment(&file_, -1)) {
        for (int i = 0; i < comments->comments; ++i)
            if (comments->user_comments[i] && comments->comment_lengths[i] > 0)
                ReadVorbisComment(comments->user_comments[i], static_cast<size_t>(comments->comment_lengths[i]),
                                  &info_.tags);
    }
    return true;
}

void VorbisDecoder::Close()
{
    open_.Reset();
    info_ = AudioInfo();
}

int32_t VorbisDecoder::Decode(int16_t* pcm, int32_t frames)
{
    if (!open_) return 0;
    const int frameBytes = info_.channels * 2;
    for (;;) {
        int link = 0;
        const long bytes = ov_read(&file_, reinterpret_cast<char*>(pcm), frames * frameBytes, 0, 2, 1, &link);
        if (bytes == OV_HOLE) continue;  // a gap in the pages: the decoding goes on after it
        if (bytes <= 0) return 0;
        const vorbis_info* vi = ov_info(&file_, link);
        if (!vi || vi->channels != info_.channels || vi->rate != info_.sampleRate) return 0;
        const int32_t given = static_cast<int32_t>(bytes / frameBytes);
        ToWaveChannelOrder(pcm, given, info_.channels);
        return given;
    }
}

bool VorbisDecoder::Seek(int64_t sample)
{
    return open_ && ov_pcm_seek(&file_, sample) == 0;
}

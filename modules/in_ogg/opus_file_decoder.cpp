#include "opus_file_decoder.h"

#include "channel_order.h"
#include "ogg_source_callbacks.h"
#include "vorbis_comment.h"

namespace {

constexpr int kMaxChannels = 8;
constexpr int32_t kOpusRate = 48000;

}  // namespace

bool OpusFileDecoder::Open(ByteSource* source)
{
    Close();
    int error = 0;
    file_.Reset(op_open_callbacks(source, &kOpusSourceCallbacks, nullptr, 0, &error));
    const OpusHead* head = file_ ? op_head(file_.Get(), -1) : nullptr;
    if (!head || head->channel_count < 1 || head->channel_count > kMaxChannels) {
        Close();
        return false;
    }
    OggOpusFile* of = file_.Get();
    op_set_dither_enabled(of, 0);
    vorbisOrder_ = head->mapping_family == 1;
    info_.sampleRate = kOpusRate;
    info_.channels = head->channel_count;
    const ogg_int64_t total = op_pcm_total(of, -1);
    info_.samples = total >= 0 ? total : -1;
    const opus_int32 average = op_bitrate(of, -1);
    info_.kbps = average > 0 ? average / 1000 : 0;
    info_.vbr = true;
    if (const OpusTags* tags = op_tags(of, -1)) {
        for (int i = 0; i < tags->comments; ++i)
            if (tags->user_comments[i] && tags->comment_lengths[i] > 0)
                ReadVorbisComment(tags->user_comments[i], static_cast<size_t>(tags->comment_lengths[i]), &info_.tags);
    }
    return true;
}

void OpusFileDecoder::Close()
{
    file_.Reset();
    info_ = AudioInfo();
}

int32_t OpusFileDecoder::Decode(int16_t* pcm, int32_t frames)
{
    if (!file_) return 0;
    for (;;) {
        int link = 0;
        const int given = op_read(file_.Get(), pcm, frames * info_.channels, &link);
        if (given == OP_HOLE) continue;  // a gap in the pages: the decoding goes on after it
        if (given <= 0) return 0;
        if (op_channel_count(file_.Get(), link) != info_.channels) return 0;
        if (vorbisOrder_) ToWaveChannelOrder(pcm, given, info_.channels);
        return given;
    }
}

bool OpusFileDecoder::Seek(int64_t sample)
{
    return file_ && op_pcm_seek(file_.Get(), sample) == 0;
}

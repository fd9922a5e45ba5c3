#include "ogg_chain.h"

#include <string.h>

#include "channel_order.h"
#include "ogg_source_callbacks.h"
#include "vorbis_comment.h"

namespace {

constexpr int32_t kPageHeaderBytes = 27;
constexpr int32_t kOpusRate = 48000;

void ReadComments(char** comments, const int* lengths, int count, Tags* tags)
{
    *tags = Tags();
    for (int i = 0; i < count; ++i)
        if (comments[i] && lengths[i] > 0) ReadVorbisComment(comments[i], static_cast<size_t>(lengths[i]), tags);
}

}  // namespace

OggCodec OggStartCodec(const unsigned char* page, int32_t bytes)
{
    // The page opens a logical stream, and its first packet begins on it.
    if (bytes < kPageHeaderBytes || memcmp(page, "OggS", 4) != 0 || (page[5] & 0x02) == 0) return OggCodec::kNone;
    const int32_t packet = kPageHeaderBytes + page[26];
    if (page[26] == 0 || bytes < packet + 8) return OggCodec::kNone;
    if (memcmp(page + packet, "OpusHead", 8) == 0) return OggCodec::kOpus;
    if (memcmp(page + packet, "\x01vorbis", 7) == 0) return OggCodec::kVorbis;
    return OggCodec::kNone;
}

bool OggChain::Open(OggCodec codec, ByteSource* source, const unsigned char* start, int32_t bytes)
{
    Close();
    if (codec == OggCodec::kVorbis) {
        if (ov_open_callbacks(source, &vorbisFile_, reinterpret_cast<const char*>(start), bytes,
                              kVorbisSourceCallbacks) == 0)
            vorbis_.Reset(&vorbisFile_);
    } else if (codec == OggCodec::kOpus) {
        int error = 0;
        opus_.Reset(op_open_callbacks(source, &kOpusSourceCallbacks, start, static_cast<size_t>(bytes), &error));
        if (opus_) op_set_dither_enabled(opus_.Get(), 0);
    }
    if ((!vorbis_ && !opus_) || !ReadCurrent()) {
        Close();
        return false;
    }
    return true;
}

bool OggChain::ReadCurrent()
{
    if (vorbis_) {
        const vorbis_info* vi = ov_info(vorbis_.Get(), -1);
        if (!vi || vi->channels < 1 || vi->channels > kMaxChannels || vi->rate <= 0 || vi->rate > INT32_MAX) return false;
        link_.sampleRate = static_cast<int32_t>(vi->rate);
        link_.channels = vi->channels;
        link_.nominalKbps = vi->bitrate_nominal > 0 ? static_cast<int32_t>(vi->bitrate_nominal / 1000) : 0;
        if (vorbis_comment* vc = ov_comment(vorbis_.Get(), -1)) ReadComments(vc->user_comments, vc->comment_lengths, vc->comments, &link_.tags);
        serial_ = ov_serialnumber(vorbis_.Get(), -1);
        return true;
    }
    const OpusHead* head = op_head(opus_.Get(), -1);
    if (!head || head->channel_count < 1 || head->channel_count > kMaxChannels) return false;
    vorbisOrder_ = head->mapping_family == 1;
    link_.sampleRate = kOpusRate;
    link_.channels = head->channel_count;
    link_.nominalKbps = 0;
    if (const OpusTags* tags = op_tags(opus_.Get(), -1))
        ReadComments(tags->user_comments, tags->comment_lengths, tags->comments, &link_.tags);
    serial_ = static_cast<long>(op_serialno(opus_.Get(), -1));
    return true;
}

int32_t OggChain::Decode(int16_t* pcm, int32_t room, bool* newStream)
{
    *newStream = false;
    for (;;) {
        int32_t frames = 0;
        long serial = 0;
        if (vorbis_) {
            int link = 0;
            const long bytes = ov_read(vorbis_.Get(), reinterpret_cast<char*>(pcm), room * 2, 0, 2, 1, &link);
            if (bytes == OV_HOLE) continue;  // a gap in the pages: the decoding goes on after it
            if (bytes <= 0) return 0;
            serial = ov_serialnumber(vorbis_.Get(), -1);
            const vorbis_info* vi = ov_info(vorbis_.Get(), -1);
            frames = vi && vi->channels > 0 ? static_cast<int32_t>(bytes / (2 * vi->channels)) : 0;
        } else if (opus_) {
            const int given = op_read(opus_.Get(), pcm, room, nullptr);
            if (given == OP_HOLE) continue;
            if (given <= 0) return 0;
            serial = static_cast<long>(op_serialno(opus_.Get(), -1));
            frames = given;
        } else {
            return 0;
        }
        if (serial != serial_) {
            if (!ReadCurrent()) return 0;
            *newStream = true;
        }
        if (vorbis_ || vorbisOrder_) ToWaveChannelOrder(pcm, frames, link_.channels);
        return frames;
    }
}

void OggChain::Close()
{
    vorbis_.Reset();
    opus_.Reset();
    link_ = OggLink();
    serial_ = 0;
}

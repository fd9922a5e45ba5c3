#include "mpeg_decoder.h"

bool MpegDecoder::Open(const FrameHeader& stream)
{
    Close();
    int error = MPG123_OK;
    handle_.Reset(mpg123_new(nullptr, &error));
    if (!handle_) return false;
    mpg123_handle* h = handle_.Get();
    const long channels = stream.channels == 1 ? MPG123_MONO_MIX : MPG123_FORCE_STEREO;
    const bool set = mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_IGNORE_INFOFRAME | channels, 0) == MPG123_OK &&
                     mpg123_param(h, MPG123_FORCE_RATE, stream.sampleRate, 0) == MPG123_OK &&
                     mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0) == MPG123_OK &&
                     mpg123_format_none(h) == MPG123_OK &&
                     mpg123_format(h, stream.sampleRate, stream.channels == 1 ? MPG123_MONO : MPG123_STEREO,
                                   MPG123_ENC_SIGNED_16) == MPG123_OK &&
                     mpg123_open_feed(h) == MPG123_OK;
    if (!set) Close();
    return set;
}

void MpegDecoder::Close()
{
    if (handle_) mpg123_close(handle_.Get());
    handle_.Reset();
}

int32_t MpegDecoder::Decode(const unsigned char* frames, int32_t bytes, unsigned char* target, int32_t room,
                            bool restart)
{
    if (!handle_) return -1;
    mpg123_handle* h = handle_.Get();
    if (restart) {
        // A jump in the input: nothing of the frames before may reach the new position.
        mpg123_close(h);
        if (mpg123_open_feed(h) != MPG123_OK) return -1;
    }
    size_t done = 0;
    int result = mpg123_decode(h, bytes > 0 ? frames : nullptr, bytes > 0 ? static_cast<size_t>(bytes) : 0, target,
                               static_cast<size_t>(room), &done);
    size_t total = done;
    // The first frame announces the format; a full target leaves decoded samples for the next call.
    while ((result == MPG123_NEW_FORMAT || (result == MPG123_OK && done > 0)) && total < static_cast<size_t>(room)) {
        result = mpg123_decode(h, nullptr, 0, target + total, static_cast<size_t>(room) - total, &done);
        total += done;
    }
    if (result == MPG123_ERR && total == 0) return -1;
    return static_cast<int32_t>(total);
}

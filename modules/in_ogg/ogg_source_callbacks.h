#pragma once
// The read, seek and tell functions that libvorbisfile and libopusfile ask for, over a ByteSource
// handed to them as their data source. A source that cannot seek makes them play it as a stream.
// The libraries call them on the thread that drives their decoder.
#include <opus/opusfile.h>
#include <vorbis/vorbisfile.h>

extern const ov_callbacks kVorbisSourceCallbacks;
extern const OpusFileCallbacks kOpusSourceCallbacks;

#include "decoder_set.h"

AudioDecoder* DecoderSet::Open(ByteSource* source, StreamKind* kind)
{
    Close();
    const StreamKind sniffed = SniffStreamKind(source);
    if (kind) *kind = sniffed;
    AudioDecoder* decoder = nullptr;
    switch (sniffed) {
    case StreamKind::kFlac:
    case StreamKind::kOggFlac:
        flac_.SetOgg(sniffed == StreamKind::kOggFlac);
        decoder = &flac_;
        break;
    case StreamKind::kVorbis:
        decoder = &vorbis_;
        break;
    case StreamKind::kOpus:
        decoder = &opus_;
        break;
    case StreamKind::kUnknown:
        break;
    }
    if (decoder && decoder->Open(source)) open_ = decoder;
    return open_;
}

void DecoderSet::Close()
{
    if (open_) open_->Close();
    open_ = nullptr;
}

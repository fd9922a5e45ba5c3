#include "mpeg_frame.h"

namespace {

// kbit/s by bitrate index 1 to 14.
const int kBitrates[5][14] = {
    {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG 1 layer 1
    {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG 1 layer 2
    {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG 1 layer 3
    {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG 2 and 2.5 layer 1
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG 2 and 2.5 layers 2, 3
};
const int kRates[3] = {44100, 48000, 32000};

}  // namespace

int FrameHeader::SideInfoBytes() const
{
    if (version == 1) return channels == 1 ? 17 : 32;
    return channels == 1 ? 9 : 17;
}

bool SameFreeFormatStream(const unsigned char* a, const unsigned char* b)
{
    return a[0] == 0xFF && (a[2] >> 4) == 0 && b[0] == a[0] && b[1] == a[1] && (b[2] & 0xFD) == (a[2] & 0xFD) &&
           (b[3] >> 6) == (a[3] >> 6);
}

bool ParseFrameHeader(const unsigned char* b, FrameHeader* header, int freeFrameBytes)
{
    if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return false;
    const int versionBits = (b[1] >> 3) & 3;
    const int layerBits = (b[1] >> 1) & 3;
    const int bitrateIndex = b[2] >> 4;
    const int rateIndex = (b[2] >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
    if (bitrateIndex == 0 && freeFrameBytes <= 0) return false;
    FrameHeader h;
    h.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    h.layer = 4 - layerBits;
    const int table = h.version == 1 ? h.layer - 1 : (h.layer == 1 ? 3 : 4);
    h.sampleRate = kRates[rateIndex] / (h.version == 1 ? 1 : h.version == 2 ? 2 : 4);
    h.channels = (b[3] >> 6) == 3 ? 1 : 2;
    h.crc = (b[1] & 1) == 0;
    const int padding = (b[2] >> 1) & 1;
    h.samplesPerFrame = h.layer == 1 ? 384 : h.layer == 3 && h.version != 1 ? 576 : 1152;
    if (bitrateIndex == 0) {
        // The bitrate that the frame length gives.
        h.freeFrameBytes = freeFrameBytes;
        h.frameBytes = freeFrameBytes + padding * (h.layer == 1 ? 4 : 1);
        h.bitrateKbps = static_cast<int>(static_cast<int64_t>(freeFrameBytes) * 8 * h.sampleRate / h.samplesPerFrame / 1000);
        if (h.frameBytes > kMaxFrameBytes || h.frameBytes < 4) return false;
    } else {
        h.bitrateKbps = kBitrates[table][bitrateIndex - 1];
        const int bits = h.bitrateKbps * 1000;
        h.frameBytes = h.layer == 1 ? (12 * bits / h.sampleRate + padding) * 4 : h.samplesPerFrame / 8 * bits / h.sampleRate + padding;
    }
    *header = h;
    return true;
}

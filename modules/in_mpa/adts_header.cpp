#include "adts_header.h"

namespace {

const int kSampleRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000, 7350};
const int kChannels[] = {0, 1, 2, 3, 4, 5, 6, 8};

}  // namespace

bool ParseAdtsHeader(const unsigned char* b, AdtsHeader* header)
{
    if (b[0] != 0xFF || (b[1] & 0xF6) != 0xF0) return false;
    AdtsHeader h;
    h.profile = b[2] >> 6;
    h.sampleRateIndex = (b[2] >> 2) & 0x0F;
    h.channelConfig = ((b[2] & 0x01) << 2) | (b[3] >> 6);
    h.frameBytes = ((b[3] & 0x03) << 11) | (b[4] << 3) | (b[5] >> 5);
    const int headerBytes = (b[1] & 0x01) ? kAdtsHeaderBytes : kAdtsHeaderBytes + 2;
    if (h.sampleRateIndex >= static_cast<int>(sizeof kSampleRates / sizeof kSampleRates[0]) || h.channelConfig == 0 ||
        h.frameBytes <= headerBytes)
        return false;
    h.sampleRate = kSampleRates[h.sampleRateIndex];
    h.channels = kChannels[h.channelConfig];
    *header = h;
    return true;
}

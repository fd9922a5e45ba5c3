#pragma once
// What a station carries, as its answer's Content-Type names it. This module owns every station
// (http:// and https://) and picks the decoder by the type; a station whose type names audio that
// no decoder here plays fails its start at once instead of being tried as MPEG audio.
enum class StationType {
    kMpegAudio,  // audio/mpeg and its aliases
    kOgg,        // application/ogg, audio/ogg, audio/opus: chained Ogg Vorbis or Ogg Opus streams
    kAac,        // audio/aac, audio/aacp, audio/x-aac: ADTS AAC, decoded by the platform
    kUnnamed,    // no type, or a generic one: the first bytes decide (MPEG frames, or nothing)
    kOther,      // any other type: nothing here decodes it
};

// The type of a Content-Type value (parameters after ";" ignored, in any case).
StationType ClassifyStation(const char* contentType);

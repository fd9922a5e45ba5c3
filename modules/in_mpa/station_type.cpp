#include "station_type.h"

#include <string.h>

namespace {

const char* const kMpegTypes[] = {"audio/mpeg", "audio/mpeg3", "audio/x-mpeg", "audio/mp3", "audio/x-mp3",
                                  "audio/mpa", "audio/mpg", "audio/x-mpeg-3"};
const char* const kOggTypes[] = {"application/ogg", "audio/ogg", "audio/opus"};
const char* const kAacTypes[] = {"audio/aac", "audio/aacp", "audio/x-aac"};
const char* const kGenericTypes[] = {"application/octet-stream", "binary/octet-stream", "audio/unknown"};

bool Names(const char* start, size_t length, const char* type)
{
    return strlen(type) == length && _strnicmp(start, type, length) == 0;
}

}  // namespace

StationType ClassifyStation(const char* contentType)
{
    const char* start = contentType ? contentType : "";
    while (*start == ' ' || *start == '\t') ++start;
    size_t length = strcspn(start, ";");
    while (length > 0 && (start[length - 1] == ' ' || start[length - 1] == '\t')) --length;
    if (length == 0) return StationType::kUnnamed;
    for (const char* type : kMpegTypes) {
        if (Names(start, length, type)) return StationType::kMpegAudio;
    }
    for (const char* type : kOggTypes) {
        if (Names(start, length, type)) return StationType::kOgg;
    }
    for (const char* type : kAacTypes) {
        if (Names(start, length, type)) return StationType::kAac;
    }
    for (const char* type : kGenericTypes) {
        if (Names(start, length, type)) return StationType::kUnnamed;
    }
    return StationType::kOther;
}

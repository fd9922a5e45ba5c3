#pragma once
// The status notifications a station sends while it plays (they reach the container as
// TunaraStatus events); what each means is told in mpa_radio.h. A new stream title is announced
// with 210 (the host's title refresh).
#include <stdint.h>

constexpr int32_t kStatusBuffering = 230;
constexpr int32_t kStatusConnectionEnded = 231;
constexpr int32_t kStatusUnplayableStation = 232;
constexpr int32_t kStatusTitle = 210;

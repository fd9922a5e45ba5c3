#pragma once
// A container with the shipped WAVE, MPEG audio, FLAC/Ogg and platform readers and the file
// writer, as the module benchmarks use it: the device output's name is taken by a fake whose open
// fails, so the control falls back to the file writer, as on a machine without a sound device.
#include <windows.h>

#include <stdint.h>

#include <memory>
#include <string>

#include "support/player_case.h"

// Starts the case with out_pq2.ini writing to output (empty: nothing written) at the given pace;
// null when any step failed (the reason is printed).
std::unique_ptr<PlayerCase> StartModuleCase(const wchar_t* caseName, const std::wstring& output, bool realtime);

// Writes a 16-bit stereo 44.1 kHz WAVE file of noise, seconds long; false on failure.
bool WriteNoiseWave(const std::wstring& path, int seconds);

// The size of a file in bytes; -1 when it cannot be told.
long long FileBytes(const std::wstring& path);

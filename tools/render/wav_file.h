// WAV files: 16-bit PCM, as RIFF lays them out.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The whole file for interleaved samples of `channels` channels.
std::vector<uint8_t> wavFile(std::span<const int16_t> samples, int32_t sampleRate, int channels);

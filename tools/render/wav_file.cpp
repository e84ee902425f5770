#include "wav_file.h"

#include <stdexcept>
#include <string_view>

namespace {

void put(std::vector<uint8_t>& bytes, std::string_view tag)
{
    bytes.insert(bytes.end(), tag.begin(), tag.end());
}

// Little-endian, as RIFF has it.
void put(std::vector<uint8_t>& bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> wavFile(std::span<const int16_t> samples, int32_t sampleRate, int channels)
{
    constexpr uint32_t header = 44;
    const uint64_t dataSize = samples.size() * sizeof(int16_t);
    if (dataSize > UINT32_MAX - header)
        throw std::runtime_error("the sound is too long for a WAV file");
    const auto blockAlign = static_cast<uint32_t>(channels * 2);
    std::vector<uint8_t> bytes;
    bytes.reserve(header + dataSize);
    put(bytes, "RIFF");
    put(bytes, static_cast<uint32_t>(header - 8 + dataSize), 4);
    put(bytes, "WAVEfmt ");
    put(bytes, 16, 4);  // the format chunk's size
    put(bytes, 1, 2);   // PCM
    put(bytes, static_cast<uint32_t>(channels), 2);
    put(bytes, static_cast<uint32_t>(sampleRate), 4);
    put(bytes, static_cast<uint32_t>(sampleRate) * blockAlign, 4);  // bytes a second
    put(bytes, blockAlign, 2);
    put(bytes, 16, 2);  // bits a sample
    put(bytes, "data");
    put(bytes, static_cast<uint32_t>(dataSize), 4);
    for (const int16_t sample : samples)
        put(bytes, static_cast<uint16_t>(sample), 2);
    return bytes;
}

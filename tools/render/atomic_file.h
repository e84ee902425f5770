// Writes a file whole or not at all: the bytes go to a temporary file beside the target,
// which is then renamed over it, so a failure never leaves a half-written file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Throws std::runtime_error naming the path and the reason.
void writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes);
void writeFileAtomically(const std::string& path, std::string_view text);

// Writes files whole or not at all: the bytes go to temporary files beside the targets,
// which are renamed over them only once every one is written, so a failure leaves no
// half-written file and no stray temporary.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct PendingFile {
    std::string path;
    std::vector<uint8_t> bytes;
};

// Throws std::runtime_error naming the path and the reason.
void writeFilesAtomically(std::span<const PendingFile> files);
void writeFileAtomically(const std::string& path, std::vector<uint8_t> bytes);

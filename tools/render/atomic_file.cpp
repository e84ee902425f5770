#include "atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace {

// One suffix for the whole program, so that two programs writing the same file at once
// each write their own temporary.
std::string temporaryFor(const std::string& path)
{
    static const std::string suffix = ".partial-" + std::to_string(std::random_device{}());
    return path + suffix;
}

// Writes and closes `path`; returns the reason for a failure, empty on success.
std::string writeWhole(const std::string& path, std::span<const uint8_t> bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return std::strerror(errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    std::string failure = written ? "" : std::strerror(errno);
    if (std::fclose(file) != 0 && failure.empty())
        failure = std::strerror(errno);
    return failure;
}

void removeTemporaries(std::span<const PendingFile> files)
{
    std::error_code ignored;
    for (const PendingFile& file : files)
        std::filesystem::remove(temporaryFor(file.path), ignored);
}

}  // namespace

void writeFilesAtomically(std::span<const PendingFile> files)
{
    for (const PendingFile& file : files) {
        const std::string failure = writeWhole(temporaryFor(file.path), file.bytes);
        if (!failure.empty()) {
            removeTemporaries(files);
            throw std::runtime_error("cannot write " + file.path + ": " + failure);
        }
    }
    for (const PendingFile& file : files) {
        std::error_code failure;
        std::filesystem::rename(temporaryFor(file.path), file.path, failure);
        if (failure) {
            removeTemporaries(files);
            throw std::runtime_error("cannot write " + file.path + ": " + failure.message());
        }
    }
}

void writeFileAtomically(const std::string& path, std::vector<uint8_t> bytes)
{
    const PendingFile file{path, std::move(bytes)};
    writeFilesAtomically({&file, 1});
}

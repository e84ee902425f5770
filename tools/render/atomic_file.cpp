#include "atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include <unistd.h>

namespace {

// Writes and closes `temporary`; returns the reason for a failure, empty on success.
std::string writeWhole(const std::string& temporary, std::span<const uint8_t> bytes)
{
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr)
        return std::strerror(errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    std::string failure = written ? "" : std::strerror(errno);
    if (std::fclose(file) != 0 && failure.empty())
        failure = std::strerror(errno);
    return failure;
}

}  // namespace

void writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes)
{
    const std::string temporary = path + ".partial-" + std::to_string(getpid());
    std::string failure = writeWhole(temporary, bytes);
    if (failure.empty()) {
        std::error_code renamed;
        std::filesystem::rename(temporary, path, renamed);
        failure = renamed.message();
        if (!renamed)
            return;
    }
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw std::runtime_error("cannot write " + path + ": " + failure);
}

void writeFileAtomically(const std::string& path, std::string_view text)
{
    writeFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

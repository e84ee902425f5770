// Reading a Standard MIDI File from disk.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "smf.h"

namespace smf {
namespace {

// Far larger than any musical file; a bound so that a wrong path costs no memory.
constexpr std::uintmax_t largestFile = 64u << 20;

}  // namespace

File readFile(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status))
        throw std::runtime_error("cannot read " + path + ": no such file");
    if (!std::filesystem::is_regular_file(status))
        throw std::runtime_error("cannot read " + path + ": not a regular file");
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > largestFile)
        throw std::runtime_error("cannot read " + path + ": " +
                                 (error ? error.message() : "larger than 64 MiB, not a MIDI file"));
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        throw std::runtime_error("cannot read " + path + ": " + std::strerror(errno));
    try {
        return read(bytes);
    } catch (const FormatError& problem) {
        throw FormatError(path + ": " + problem.what());
    }
}

}  // namespace smf

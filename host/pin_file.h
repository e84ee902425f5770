// A module library's description of its modules' pins, in a text file beside the library
// (<library file>.pins), for hosts that know nothing of the library beforehand. The
// binary interface fixes only each pin's number, direction and data type. The format:
//   # a comment
//   module MIDI_VelocityCurve | scales the velocity of every note-on by a percentage
//   0 | midi-in | MIDI in  |          |     |                   | notes to scale
//   2 | percent | int in   | 0 to 400 | 100 | soft=50, hard=150 | percentage velocities are scaled by
// with the fields midimod list shows: number, name, kind, range, default, words, purpose.
#pragma once

#include <deque>
#include <istream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "module_catalogue.h"

namespace host {

// A malformed file; the message names the file and the line.
class PinFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PinFile {
public:
    // Reads the whole file; `name` is how errors name it. Throws PinFileError.
    PinFile(std::istream& in, const std::string& name);
    PinFile(const PinFile&) = delete;  // the declarations point into the file's own text
    PinFile& operator=(const PinFile&) = delete;

    std::span<const ModuleDeclaration> modules() const { return declarations; }

private:
    void readModuleLine(std::string_view rest);
    void readPinLine(std::string_view line);
    void readValues(PinDeclaration& pin, std::string_view range, std::string_view defaultValue,
                    std::string_view wordList);

    std::deque<std::string> text;  // names, purposes and words the declarations view
    std::deque<std::vector<NamedValue>> words;
    std::deque<std::vector<PinDeclaration>> pins;  // one list a module
    std::vector<ModuleDeclaration> declarations;
};

// The path of the pin file of the library at `libraryPath`.
std::string pinFilePath(const std::string& libraryPath);
// The library's pin file, or null when there is none to open. Throws PinFileError when
// the file cannot be read through or is malformed.
std::unique_ptr<PinFile> readPinFileBeside(const std::string& libraryPath);

}  // namespace host

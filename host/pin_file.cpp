#include "pin_file.h"

#include <algorithm>
#include <fstream>

#include "words.h"

namespace host {
namespace {

constexpr std::string_view modulePrefix = "module ";
constexpr size_t pinFieldCount = 7;

std::string_view trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The first `count - 1` fields end at a '|'; the last takes the rest of the line.
std::vector<std::string_view> fields(std::string_view line, size_t count)
{
    std::vector<std::string_view> result;
    while (result.size() + 1 < count) {
        const size_t bar = line.find('|');
        if (bar == std::string_view::npos)
            break;
        result.push_back(trimmed(line.substr(0, bar)));
        line.remove_prefix(bar + 1);
    }
    result.push_back(trimmed(line));
    return result;
}

int32_t wholeNumber(std::string_view text, std::string_view what)
{
    if (const std::optional<int32_t> value = host::wholeNumber(text))
        return *value;
    throw PinFileError(std::string(what) + " \"" + std::string(text) + "\" is not a whole number");
}

PinKind parseKind(std::string_view text)
{
    for (PinKind kind : {PinKind::midiIn, PinKind::midiOut, PinKind::audioIn, PinKind::intIn, PinKind::intOut,
                         PinKind::boolIn})
        if (sameWordIgnoringCase(kindName(kind), text))
            return kind;
    throw PinFileError("kind \"" + std::string(text) +
                       "\" is none of MIDI in, MIDI out, audio in, int in, int out, bool in");
}

// "0 to 400"; a bool pin's range is 0 to 1 when left empty.
void parseRange(PinDeclaration& pin, std::string_view text)
{
    if (pin.kind == PinKind::boolIn && text.empty()) {
        pin.maximum = 1;
        return;
    }
    const size_t to = text.find(" to ");
    if (to == std::string_view::npos)
        throw PinFileError("range \"" + std::string(text) + "\" is not of the form \"0 to 127\"");
    pin.minimum = wholeNumber(trimmed(text.substr(0, to)), "range start");
    pin.maximum = wholeNumber(trimmed(text.substr(to + 4)), "range end");
    if (pin.minimum > pin.maximum)
        throw PinFileError("range \"" + std::string(text) + "\" ends below its start");
}

bool hasValues(PinKind kind)
{
    return isSetting(kind) || kind == PinKind::intOut;
}

}  // namespace

PinFile::PinFile(std::istream& in, const std::string& name)
{
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        const std::string_view content = trimmed(line);
        try {
            if (content.empty() || content.starts_with('#'))
                continue;
            if (content.starts_with(modulePrefix))
                readModuleLine(content.substr(modulePrefix.size()));
            else
                readPinLine(content);
        } catch (const PinFileError& problem) {
            throw PinFileError(name + ":" + std::to_string(lineNumber) + ": " + problem.what());
        }
    }
    if (in.bad())
        throw PinFileError(name + ": cannot be read");
    if (declarations.empty())
        throw PinFileError(name + ": describes no module (a line \"module IDENTIFIER | what it does\")");
}

void PinFile::readModuleLine(std::string_view rest)
{
    const std::vector<std::string_view> parts = fields(rest, 2);
    if (parts[0].empty() || parts[0].find_first_of(" \t") != std::string_view::npos)
        throw PinFileError("\"" + std::string(parts[0]) + "\" is not a module identifier (one word)");
    if (std::ranges::any_of(declarations, [&](auto& module) { return module.identifier == parts[0]; }))
        throw PinFileError("module " + std::string(parts[0]) + " is described twice");
    pins.emplace_back();
    declarations.push_back({text.emplace_back(parts[0]), text.emplace_back(parts.size() > 1 ? parts[1] : ""), {}});
}

void PinFile::readPinLine(std::string_view line)
{
    if (declarations.empty())
        throw PinFileError("a pin before any \"module IDENTIFIER | what it does\" line");
    const std::vector<std::string_view> parts = fields(line, pinFieldCount);
    if (parts.size() != pinFieldCount)
        throw PinFileError("a pin has " + std::to_string(pinFieldCount) + " fields separated by '|' (number | name | "
                           "kind | range | default | words | purpose), this line " + std::to_string(parts.size()));
    PinDeclaration pin{wholeNumber(parts[0], "pin number"), text.emplace_back(parts[1]), parseKind(parts[2]),
                       text.emplace_back(parts[6])};
    if (pin.number < 0 || declarations.back().pin(pin.number) != nullptr)
        throw PinFileError("pin number " + std::to_string(pin.number) + " is negative or taken");
    if (pin.name.empty() || pin.name.find_first_of(" \t=") != std::string_view::npos ||
        declarations.back().pin(pin.name) != nullptr)
        throw PinFileError("pin name \"" + std::string(pin.name) + "\" is empty, taken, or not one word");
    if (hasValues(pin.kind))
        readValues(pin, parts[3], parts[4], parts[5]);
    else if (!parts[3].empty() || !parts[4].empty() || !parts[5].empty())
        throw PinFileError("a " + std::string(kindName(pin.kind)) + " pin has no range, default or words");
    pins.back().push_back(pin);
    declarations.back().pins = pins.back();
}

// "soft=50, hard=150": words a person may type for values, as well as the numbers.
void PinFile::readValues(PinDeclaration& pin, std::string_view range, std::string_view defaultValue,
                         std::string_view wordList)
{
    parseRange(pin, range);
    std::vector<NamedValue>& named = words.emplace_back();
    for (size_t start = 0; !wordList.empty() && start <= wordList.size();) {
        const size_t comma = std::min(wordList.find(',', start), wordList.size());
        const std::string_view item = trimmed(wordList.substr(start, comma - start));
        const size_t equals = item.find('=');
        if (equals == std::string_view::npos || trimmed(item.substr(0, equals)).empty())
            throw PinFileError("word \"" + std::string(item) + "\" is not of the form word=value");
        named.push_back({text.emplace_back(trimmed(item.substr(0, equals))),
                         wholeNumber(trimmed(item.substr(equals + 1)), "word value")});
        start = comma + 1;
    }
    pin.names = named;
    if (named.empty() && pin.kind == PinKind::boolIn)
        pin.names = onOffWords;
    if (defaultValue.empty() && pin.kind == PinKind::intOut)
        return;
    const ParsedValue parsed = parsePinValue(pin, defaultValue);
    if (!parsed.value)
        throw PinFileError("default: " + parsed.problem);
    pin.defaultValue = *parsed.value;
}

std::string pinFilePath(const std::string& libraryPath)
{
    return libraryPath + ".pins";
}

std::unique_ptr<PinFile> readPinFileBeside(const std::string& libraryPath)
{
    const std::string path = pinFilePath(libraryPath);
    std::ifstream in(path);
    if (!in)
        return nullptr;
    return std::make_unique<PinFile>(in, path);
}

}  // namespace host

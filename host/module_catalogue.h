// What the host knows about the seven modules: readable pin names, kinds, defaults and
// ranges. The library fixes only each pin's number, direction and data type; names and
// values a person types are the host's own.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// A pin's data type and direction together: MIDI (type 2), audio (5), int (8) and bool (4)
// inputs, MIDI and int outputs.
enum class PinKind { midiIn, midiOut, audioIn, intIn, intOut, boolIn };

std::string_view kindName(PinKind kind);
// Integer and boolean inputs are the host's settings; every other pin is wired.
bool isSetting(PinKind kind);

// A word that stands for a value, such as "ascending" or "rest".
struct NamedValue {
    std::string_view name;
    int32_t value;
};

// The words of every boolean pin.
inline constexpr NamedValue onOffWords[] = {{"on", 1}, {"off", 0}, {"true", 1}, {"false", 0}};

struct PinDeclaration {
    int32_t number;
    std::string_view name;
    PinKind kind;
    std::string_view purpose;
    int32_t defaultValue = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    std::span<const NamedValue> names = {};  // words accepted besides the numbers in range
};

// Sixteen step pins in a row that a chain may set at once: `steps=1,0,1,1`.
struct StepPins {
    std::string_view name;
    int32_t firstPin;
    int32_t count;
};

struct ModuleDeclaration {
    std::string_view identifier;
    std::string_view purpose;
    std::span<const PinDeclaration> pins;
    std::optional<StepPins> steps = std::nullopt;

    const PinDeclaration* pin(std::string_view name) const;
    const PinDeclaration* pin(int32_t number) const;
    const PinDeclaration* firstPinOf(PinKind kind) const;
};

// The seven modules, in the library's registration order.
std::span<const ModuleDeclaration> moduleCatalogue();

// By identifier ("MIDI_Arp"), case-insensitively, with or without the "MIDI_" prefix,
// among `modules` (by default the seven).
const ModuleDeclaration* findModule(std::string_view name);
const ModuleDeclaration* findModule(std::span<const ModuleDeclaration> modules, std::string_view name);

// Reads a value typed for `pin`: one of its words, or a whole number in its range.
// Returns the reason when the text is not such a value.
struct ParsedValue {
    std::optional<int32_t> value;
    std::string problem;
};
ParsedValue parsePinValue(const PinDeclaration& pin, std::string_view text);

// Every value of the range has a word: the words are the values, numbers a second way.
bool isEnumeration(const PinDeclaration& pin);
// Each value's first word, in the order of the words: how a host labels the values.
std::vector<NamedValue> valueLabels(const PinDeclaration& pin);

// "-127 to 127", "played, ascending, descending", "on, off", "0 to 126 or rest".
std::string describeValues(const PinDeclaration& pin);
// The default as a person would type it: its word where it has one.
std::string describeDefault(const PinDeclaration& pin);

}  // namespace host

#include "module_catalogue.h"

#include <algorithm>
#include <array>

#include "words.h"

namespace host {
namespace {

using enum PinKind;

constexpr NamedValue noteOrders[] = {{"played", 0}, {"ascending", 1}, {"descending", 2}};
constexpr NamedValue rest[] = {{"rest", -1}};
constexpr NamedValue scaleFamilies[] = {
    {"major", 0}, {"melodic-minor", 1}, {"harmonic-minor", 2}, {"harmonic-major", 3}};
constexpr NamedValue pitchClasses[] = {
    {"C", 0}, {"C#", 1}, {"D", 2}, {"D#", 3}, {"E", 4}, {"F", 5}, {"F#", 6}, {"G", 7}, {"G#", 8},
    {"A", 9}, {"A#", 10}, {"B", 11}, {"Db", 1}, {"Eb", 3}, {"Gb", 6}, {"Ab", 8}, {"Bb", 10}};

constexpr std::string_view stepNames[] = {"step1", "step2", "step3", "step4", "step5", "step6",
                                          "step7", "step8", "step9", "step10", "step11", "step12",
                                          "step13", "step14", "step15", "step16"};
constexpr int32_t stepCount = 16;

constexpr PinDeclaration midiInPin(std::string_view purpose) { return {0, "midi-in", midiIn, purpose}; }
constexpr PinDeclaration midiOutPin(std::string_view purpose) { return {1, "midi-out", midiOut, purpose}; }
constexpr PinDeclaration clockPin{2, "clock", audioIn, "the host's step clock: one step per high period"};
constexpr PinDeclaration enablePin{3, "enable", audioIn, "steps fire while it is high"};
constexpr PinDeclaration tiePin(int32_t number, std::string_view purpose)
{
    return {number, "tie", boolIn, purpose, 0, 0, 1, onOffWords};
}
constexpr PinDeclaration currentStepPin(int32_t number)
{
    return {number, "current-step", intOut, "number of the step being played", 0, 0, 15};
}

// The fixed pins of a sequencer followed by its sixteen step pins, step1 on `step.number`.
template <size_t N>
constexpr std::array<PinDeclaration, N + stepCount> withSteps(const std::array<PinDeclaration, N>& fixed,
                                                              PinDeclaration step)
{
    std::array<PinDeclaration, N + stepCount> all{};
    std::copy(fixed.begin(), fixed.end(), all.begin());
    for (int32_t k = 0; k < stepCount; ++k) {
        PinDeclaration& pin = all[N + static_cast<size_t>(k)];
        pin = step;
        pin.number = step.number + k;
        pin.name = stepNames[k];
    }
    return all;
}

constexpr PinDeclaration arpPins[] = {
    midiInPin("notes to arpeggiate"),
    midiOutPin("the arpeggio, and messages other than notes"),
    clockPin,
    enablePin,
    {4, "length", intIn, "number of held notes the arpeggio cycles over", 12, 1, 12},
    {5, "order", intIn, "order of the held notes; a change forgets them", 0, 0, 2, noteOrders},
};

constexpr PinDeclaration blockPins[] = {
    midiInPin("messages to pass or hold back"),
    midiOutPin("the messages let through"),
    {2, "gate", boolIn, "on lets messages through, off holds them back", 1, 0, 1, onOffWords},
};

constexpr PinDeclaration noteCounterPins[] = {
    midiInPin("notes to count"),
    midiOutPin("the notes let through"),
    {2, "max-notes", intIn, "most notes held at once", 12, 0, 12},
    {3, "note-count", intOut, "number of notes held now", 0, 0, 12},
};

constexpr auto rhythmPins = withSteps(
    std::array<PinDeclaration, 6>{midiInPin("keys to play"), midiOutPin("the rhythm"), clockPin, enablePin,
                                  tiePin(4, "joins neighbouring steps of equal gate; a change forgets the keys"),
                                  currentStepPin(5)},
    {6, "", boolIn, "gate of the step", 1, 0, 1, onOffWords});

constexpr auto scaledPins = withSteps(
    std::array<PinDeclaration, 9>{
        midiInPin("keys to play"), midiOutPin("the sequence"), clockPin, enablePin,
        {4, "root", intIn, "pitch class the scale stands on", 0, 0, 11, pitchClasses},
        {5, "mode", intIn, "degree of the scale family that becomes the tonic", 0, 0, 6},
        {6, "scale", intIn, "scale family", 0, 0, 3, scaleFamilies},
        tiePin(7, "joins neighbouring steps of equal degree into one note"),
        currentStepPin(8)},
    {9, "", intIn, "scale degrees the keys move up", 0, 0, 14, rest});

constexpr auto semitonePins = withSteps(
    std::array<PinDeclaration, 6>{midiInPin("keys to play"), midiOutPin("the sequence"), clockPin, enablePin,
                                  tiePin(4, "joins neighbouring steps of equal offset into one note"),
                                  currentStepPin(5)},
    {6, "", intIn, "semitones the keys move up", 0, 0, 126, rest});

constexpr PinDeclaration transposerPins[] = {
    midiInPin("messages to move"),
    midiOutPin("the moved messages"),
    {2, "transpose", intIn, "semitones added to every note", 0, -127, 127},
    {3, "channel", intIn, "channel of every message (0 is MIDI channel 1)", 0, 0, 15},
};

const ModuleDeclaration catalogue[] = {
    {"MIDI_Arp", "plays the held notes one at a time, one per clock step", arpPins},
    {"MIDI_Block", "a gate: lets a MIDI stream through or holds it back", blockPins},
    {"MIDI_NoteCounter", "limits how many notes are held at once and counts them", noteCounterPins},
    {"MIDI_RhythmSeq", "plays the held keys on the steps whose gate is on", rhythmPins,
     StepPins{"steps", 6, stepCount}},
    {"MIDI_ScaledSeq", "plays the held keys moved up by each step's scale degrees", scaledPins,
     StepPins{"steps", 9, stepCount}},
    {"MIDI_SemiSeq", "plays the held keys moved up by each step's semitones", semitonePins,
     StepPins{"steps", 6, stepCount}},
    {"MIDI_Transposer", "shifts notes by semitones and moves every message to one channel", transposerPins},
};

}  // namespace

std::string_view kindName(PinKind kind)
{
    switch (kind) {
    case midiIn: return "MIDI in";
    case midiOut: return "MIDI out";
    case audioIn: return "audio in";
    case intIn: return "int in";
    case intOut: return "int out";
    case boolIn: return "bool in";
    }
    return "?";
}

bool isSetting(PinKind kind)
{
    return kind == intIn || kind == boolIn;
}

const PinDeclaration* ModuleDeclaration::pin(std::string_view name) const
{
    const auto found = std::find_if(pins.begin(), pins.end(), [name](auto& pin) { return pin.name == name; });
    return found != pins.end() ? &*found : nullptr;
}

const PinDeclaration* ModuleDeclaration::pin(int32_t number) const
{
    const auto found = std::find_if(pins.begin(), pins.end(), [number](auto& pin) { return pin.number == number; });
    return found != pins.end() ? &*found : nullptr;
}

const PinDeclaration* ModuleDeclaration::firstPinOf(PinKind kind) const
{
    const auto found = std::find_if(pins.begin(), pins.end(), [kind](auto& pin) { return pin.kind == kind; });
    return found != pins.end() ? &*found : nullptr;
}

std::span<const ModuleDeclaration> moduleCatalogue()
{
    return catalogue;
}

const ModuleDeclaration* findModule(std::string_view name)
{
    return findModule(catalogue, name);
}

const ModuleDeclaration* findModule(std::span<const ModuleDeclaration> modules, std::string_view name)
{
    constexpr std::string_view prefix = "MIDI_";
    for (const ModuleDeclaration& module : modules) {
        const bool prefixed = module.identifier.starts_with(prefix);
        if (sameWordIgnoringCase(module.identifier, name) ||
            (prefixed && sameWordIgnoringCase(module.identifier.substr(prefix.size()), name)))
            return &module;
    }
    return nullptr;
}

}  // namespace host

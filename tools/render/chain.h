// A chain of modules as a person writes it:
//   MIDI_Transposer transpose=12 channel=2 | MIDI_Arp order=ascending length=4
// Each module is named by identifier (the "MIDI_" prefix and case may be left out) and
// followed by settings for its integer and boolean inputs; a sequencer's steps may be
// given as one list, `steps=1,0,1,1`, repeated to fill all sixteen. A setting followed by
// `@BEAT` changes at that beat, counted in quarter notes from 0 at the start of the music
// (`gate=off@6 gate=on@10`, `steps=0,7@2.5`); `@0` is the value from the start.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "module_catalogue.h"

struct Setting {
    int32_t pin;
    int32_t value;
};

// One `name=value@BEAT` item: the pins it sets (sixteen for a step list) and when.
struct SettingChange {
    double beat;  // above 0
    std::vector<Setting> settings;
    std::string text;  // as written
};

struct ChainStage {
    const host::ModuleDeclaration* module;
    std::vector<Setting> settings;       // every setting pin, in pin order: given or default
    std::vector<SettingChange> changes;  // in beat order, as written at one beat
    std::string text;               // the stage as written, for titles and reports
};

using Chain = std::vector<ChainStage>;

// An unknown module or pin, a value out of range, a malformed item. The message names
// the module, the pin and what would be accepted.
class ChainError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Modules are looked up among `modules`: by default the seven, else those a library's
// pin file describes.
Chain parseChain(std::string_view text, std::span<const host::ModuleDeclaration> modules = host::moduleCatalogue());

// The LV2 ports of a module: its pins in pin order, as the host's catalogue declares
// them, then the adapter's own controls that choose where a clock and an enable level
// come from. The Turtle and the plug-in both read this layout, so that a port is
// described in one place only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "module_catalogue.h"

namespace lv2 {

enum class PortRole {
    midiIn,        // atom sequence of MIDI events and transport positions
    midiOut,       // atom sequence of MIDI events
    cvIn,          // a clock or enable level, sample by sample
    controlIn,     // an integer or boolean input pin
    controlOut,    // an integer output pin
    clockSource,   // the adapter's: the CV input or the host's transport
    enableSource,  // the adapter's: the CV input, the transport rolling, or always
    stepsPerBeat,  // the adapter's: steps of the transport clock to a beat
};

struct Port {
    uint32_t index;
    PortRole role;
    host::PinDeclaration pin;  // the adapter's own controls carry pin number -1
    std::string symbol;        // a C identifier
    std::string name;
};

// Values of the adapter's source controls.
enum ClockSource : int32_t { clockFromCv = 0, clockFromTransport = 1 };
enum EnableSource : int32_t { enableFromCv = 0, enableWhileRolling = 1, enableAlways = 2 };

std::vector<Port> portsOf(const host::ModuleDeclaration& module);

// One stable URI per module, named after it.
std::string pluginUri(std::string_view identifier);

}  // namespace lv2

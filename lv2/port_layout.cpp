#include "port_layout.h"

#include <algorithm>

namespace lv2 {
namespace {

using host::PinDeclaration;
using host::PinKind;

constexpr std::string_view uriBase = "urn:midi-modules:lv2:";

constexpr host::NamedValue clockSources[] = {{"cv", clockFromCv}, {"host", clockFromTransport}};
constexpr host::NamedValue enableSources[] = {
    {"cv", enableFromCv}, {"transport rolling", enableWhileRolling}, {"always", enableAlways}};

constexpr PinDeclaration clockSourceControl{
    -1, "clock-source", PinKind::intIn, "cv: the clock input as it comes; host: steps on the host's beat",
    clockFromTransport, 0, 1, clockSources};
constexpr PinDeclaration stepsPerBeatControl{
    -1, "steps-per-beat", PinKind::intIn, "steps of the host clock to a beat", 4, 1, 16};
constexpr PinDeclaration enableSourceControl{
    -1, "enable-source", PinKind::intIn, "cv: the enable input; or high while the transport rolls; or always high",
    enableWhileRolling, 0, 2, enableSources};

PortRole roleOf(PinKind kind)
{
    switch (kind) {
    case PinKind::midiIn: return PortRole::midiIn;
    case PinKind::midiOut: return PortRole::midiOut;
    case PinKind::audioIn: return PortRole::cvIn;
    case PinKind::intOut: return PortRole::controlOut;
    case PinKind::intIn:
    case PinKind::boolIn: break;
    }
    return PortRole::controlIn;
}

// Step pins are "step-1" to "step-16"; every name becomes a symbol with '_' for '-'.
std::string nameOf(const host::ModuleDeclaration& module, const PinDeclaration& pin)
{
    if (module.steps && pin.number >= module.steps->firstPin)
        return "step-" + std::to_string(pin.number - module.steps->firstPin + 1);
    return std::string(pin.name);
}

// A port's range covers its words too: a step's "rest" lies below its numbers.
PinDeclaration widenedOverWords(PinDeclaration pin)
{
    for (const host::NamedValue& word : pin.names) {
        pin.minimum = std::min(pin.minimum, word.value);
        pin.maximum = std::max(pin.maximum, word.value);
    }
    return pin;
}

Port portFor(uint32_t index, PortRole role, const PinDeclaration& pin, std::string name)
{
    std::string symbol = name;
    std::replace(symbol.begin(), symbol.end(), '-', '_');
    return {index, role, widenedOverWords(pin), std::move(symbol), std::move(name)};
}

}  // namespace

std::vector<Port> portsOf(const host::ModuleDeclaration& module)
{
    std::vector<Port> ports;
    for (const PinDeclaration& pin : module.pins)
        ports.push_back(portFor(uint32_t(ports.size()), roleOf(pin.kind), pin, nameOf(module, pin)));
    const auto addControl = [&](PortRole role, const PinDeclaration& control) {
        ports.push_back(portFor(uint32_t(ports.size()), role, control, std::string(control.name)));
    };
    if (module.pin("clock") != nullptr) {
        addControl(PortRole::clockSource, clockSourceControl);
        addControl(PortRole::stepsPerBeat, stepsPerBeatControl);
    }
    if (module.pin("enable") != nullptr)
        addControl(PortRole::enableSource, enableSourceControl);
    return ports;
}

std::string pluginUri(std::string_view identifier)
{
    return std::string(uriBase) + std::string(identifier);
}

}  // namespace lv2

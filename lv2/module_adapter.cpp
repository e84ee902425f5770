#include "module_adapter.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "position_report.h"

// The module library's entry point, linked into the plug-in's binary.
extern "C" int32_t MP_GetFactory(void** factory);

namespace lv2 {
namespace {

gmpi::IMpFactory* libraryFactory()
{
    void* unknown = nullptr;
    if (MP_GetFactory(&unknown) != gmpi::resultOk || unknown == nullptr)
        return nullptr;
    auto* base = static_cast<gmpi::IMpUnknown*>(unknown);
    void* factory = nullptr;
    base->queryInterface(&gmpi::iidFactory, &factory);
    base->release();
    return static_cast<gmpi::IMpFactory*>(factory);
}

}  // namespace

ModuleAdapter::ModuleAdapter(const host::ModuleDeclaration& moduleDeclaration, const LV2_URID_Map& map,
                             double sampleRate)
    : declaration(moduleDeclaration),
      uris(map),
      output(moduleDeclaration.firstPinOf(host::PinKind::midiOut)->number),
      transport(sampleRate)
{
    const std::vector<Port> ports = portsOf(moduleDeclaration);
    connections.assign(ports.size(), nullptr);
    for (const Port& port : ports)
        assignPort(port);
    createModule();
}

ModuleAdapter::~ModuleAdapter()
{
    if (module != nullptr)
        module->release();
}

void ModuleAdapter::assignPort(const Port& port)
{
    const Control control{port.index, port.pin, port.pin.defaultValue};
    switch (port.role) {
    case PortRole::midiIn:
        midiInPort = port.index;
        midiInPin = port.pin.number;
        break;
    case PortRole::midiOut: midiOutPort = port.index; break;
    case PortRole::cvIn: {
        Level& level = port.pin.name == "clock" ? clock : enable;
        level.port = port.index;
        level.pin = port.pin.number;
        break;
    }
    case PortRole::controlIn: pinControls.push_back(control); break;
    case PortRole::controlOut: outputPorts.emplace_back(port.index, port.pin); break;
    case PortRole::clockSource: clockSource = control; break;
    case PortRole::stepsPerBeat: stepsPerBeat = control; break;
    case PortRole::enableSource: enableSource = control; break;
    }
}

void ModuleAdapter::createModule()
{
    gmpi::IMpFactory* factory = libraryFactory();
    const std::u16string identifier(declaration.identifier.begin(), declaration.identifier.end());
    gmpi::IMpUnknown* created = nullptr;
    const int32_t result =
        factory != nullptr ? factory->createModule(identifier.c_str(), 0, &output, &created) : gmpi::resultFail;
    if (factory != nullptr)
        factory->release();
    if (result != gmpi::resultOk || created == nullptr)
        throw std::runtime_error("cannot create " + std::string(declaration.identifier));
    // The factory hands over the module's IMpPlugin2 part.
    module = static_cast<gmpi::IMpPlugin2*>(created);
    for (Level* level : {&clock, &enable})
        if (level->pin >= 0)
            module->attachPinBuffer(level->pin, level->samples.data());
}

void ModuleAdapter::connect(uint32_t port, void* data)
{
    if (port < connections.size())
        connections[port] = data;
}

void* ModuleAdapter::connection(uint32_t port) const
{
    return port < connections.size() ? connections[port] : nullptr;
}

void ModuleAdapter::activate()
{
    if (module == nullptr || ranSinceCreation) {
        if (module != nullptr)
            module->release();
        module = nullptr;
        ranSinceCreation = false;
        createModule();
    }
    firstRun = true;
    asleep = false;
    gridPhase = 0;
    clock.streaming = enable.streaming = false;
    output.forgetValues();
    output.takeSleepRequest();
}

void ModuleAdapter::run(uint32_t frames)
{
    outputSequence.begin(static_cast<LV2_Atom_Sequence*>(connection(midiOutPort)), uris.atomSequence, uris.midiEvent);
    if (module == nullptr || frames == 0)  // settings wait for a run with frames to carry them
        return;
    ranSinceCreation = true;
    readControls();
    InputSequence input(static_cast<const LV2_Atom_Sequence*>(connection(midiInPort)), frames);
    for (uint32_t start = 0; start < frames;) {
        const uint32_t length = std::min(subBlockLength - gridPhase, frames - start);
        runSubBlock(start, length, input);
        start += length;
        gridPhase = (gridPhase + length) % subBlockLength;
    }
    writeControlOutputs();
    framesRun += frames;
}

// A value the host left unreadable (NaN) keeps the last one; others are held to the range.
int32_t ModuleAdapter::controlValue(const Control& control) const
{
    const auto* port = static_cast<const float*>(connection(control.port));
    if (port == nullptr || std::isnan(*port))
        return control.value;
    if (control.pin.kind == host::PinKind::boolIn)
        return *port > 0 ? 1 : 0;
    const float held = std::clamp(*port, float(control.pin.minimum), float(control.pin.maximum));
    return static_cast<int32_t>(std::lround(held));
}

void ModuleAdapter::readControls()
{
    for (Control& control : pinControls) {
        const int32_t value = controlValue(control);
        control.changed = value != control.value;
        control.value = value;
    }
    for (Control* own : {&clockSource, &stepsPerBeat, &enableSource})
        own->value = controlValue(*own);
}

void ModuleAdapter::runSubBlock(uint32_t start, uint32_t length, InputSequence& input)
{
    events.clear();
    if (start == 0)
        addRunStartEvents();
    uint32_t filled = 0;
    InputEvent incoming;
    while (input.next(start + length, incoming)) {
        const uint32_t stamp = incoming.frame - start;
        fillLevels(start, filled, stamp);
        filled = stamp;
        takeInput(stamp, incoming.frame, *incoming.atom);
    }
    fillLevels(start, filled, length);
    processSubBlock(length);
    writeMessages(start, length);
}

// Settings that changed since the last run, at its first frame; after activation every
// setting, the inputs that stream, and the start of the graph.
void ModuleAdapter::addRunStartEvents()
{
    for (const Control& control : pinControls) {
        if (!firstRun && !control.changed)
            continue;
        if (control.pin.kind == host::PinKind::boolIn)
            events.boolValue(0, control.pin.number, control.value != 0);
        else
            events.value(0, control.pin.number, control.value);
    }
    updateStreaming(0);
    if (firstRun)
        events.graphStart(0);
    firstRun = false;
}

void ModuleAdapter::takeInput(uint32_t stamp, uint32_t frame, const LV2_Atom& atom)
{
    if (atom.type == uris.midiEvent) {
        if (atom.size > 0)
            events.midi(int32_t(stamp), midiInPin, reinterpret_cast<const uint8_t*>(&atom + 1), atom.size);
    } else if (isPosition(atom, uris)) {
        transport.update(framesRun + frame, readPosition(atom, uris));
        updateStreaming(stamp);
    }
}

// An input streams while it can change: a connected CV input, or the transport's clock
// and enable while it rolls. A module whose inputs all stand still may sleep.
void ModuleAdapter::updateStreaming(uint32_t stamp)
{
    const bool rolling = transport.rolling();
    setStreaming(clock, clockSource.value == clockFromCv ? connection(clock.port) != nullptr : rolling, stamp);
    const bool enableStreams = enableSource.value == enableFromCv ? connection(enable.port) != nullptr
                                                                   : enableSource.value == enableWhileRolling && rolling;
    setStreaming(enable, enableStreams, stamp);
}

void ModuleAdapter::setStreaming(Level& level, bool streaming, uint32_t stamp)
{
    if (level.pin >= 0 && level.streaming != streaming && events.stream(int32_t(stamp), level.pin, streaming))
        level.streaming = streaming;
}

void ModuleAdapter::fillLevels(uint32_t start, uint32_t from, uint32_t to)
{
    const bool enableHigh = enableSource.value == enableAlways || transport.rolling();
    for (uint32_t i = from; i < to; ++i) {
        const uint32_t frame = start + i;
        if (clock.pin >= 0)
            clock.samples[i] = clockSource.value == clockFromCv ? cvSample(clock, frame)
                                                                : transport.level(framesRun + frame, stepsPerBeat.value);
        if (enable.pin >= 0)
            enable.samples[i] = enableSource.value == enableFromCv ? cvSample(enable, frame) : enableHigh ? 1.0f : 0.0f;
    }
}

float ModuleAdapter::cvSample(const Level& level, uint32_t frame) const
{
    const auto* samples = static_cast<const float*>(connection(level.port));
    return samples != nullptr ? samples[frame] : 0.0f;
}

// The host lets a module that asked to sleep be until an event comes for it: a block
// without events would only repeat the request.
void ModuleAdapter::processSubBlock(uint32_t length)
{
    output.clearMessages();
    if (asleep && events.empty())
        return;
    module->processBlock(int32_t(length), events.head());
    asleep = output.takeSleepRequest();
}

// By position, in the order sent at each position; a position outside the sub-block
// counts as its nearest frame.
void ModuleAdapter::writeMessages(uint32_t start, uint32_t length)
{
    const auto messages = output.messages();
    const int32_t last = int32_t(length) - 1;
    for (int32_t position = 0; position <= last && !messages.empty(); ++position)
        for (const ModuleOutput::Message& message : messages)
            if (std::clamp(message.position, 0, last) == position)
                outputSequence.append(start + uint32_t(position), output.bytesOf(message), message.size);
}

void ModuleAdapter::writeControlOutputs()
{
    for (const auto& [port, pin] : outputPorts)
        if (auto* value = static_cast<float*>(connection(port)))
            *value = float(output.latestValue(pin.number, pin.defaultValue));
}

}  // namespace lv2

#include "score.h"

#include <algorithm>

#include "library_fixture.h"
#include "module_catalogue.h"
#include "port_layout.h"

namespace lv2test {
namespace {

constexpr int32_t subBlock = 16;

const host::ModuleDeclaration& declared(std::string_view identifier)
{
    return *host::findModule(identifier);
}

void addValue(host::EventList& events, const host::PinDeclaration& pin, int32_t value)
{
    if (pin.kind == host::PinKind::boolIn)
        events.boolValue(0, pin.number, value != 0);
    else
        events.value(0, pin.number, value);
}

void addStart(host::EventList& events, const host::ModuleDeclaration& module, const Score& score)
{
    for (const host::PinDeclaration& pin : module.pins) {
        if (!host::isSetting(pin.kind))
            continue;
        int32_t value = pin.defaultValue;
        for (const SettingChange& change : score.changes)
            if (change.frame == 0 && change.pin == pin.number)
                value = change.value;
        addValue(events, pin, value);
    }
    for (const host::PinDeclaration& pin : module.pins)
        if (pin.kind == host::PinKind::audioIn)
            events.streamStart(0, pin.number);
    events.graphStart(0);
}

}  // namespace

std::vector<TimedMidi> playThroughPlugin(World& world, UridMap& urids, std::string_view identifier,
                                         const Score& score, uint32_t hostBuffer)
{
    const host::ModuleDeclaration& module = declared(identifier);
    Instance plugin(world, urids, lv2::pluginUri(identifier));
    const bool clocked = module.pin("clock") != nullptr;
    if (clocked) {
        plugin.setControl("clock_source", lv2::clockFromCv);
        plugin.setControl("enable_source", lv2::enableFromCv);
    }
    size_t next = 0;
    for (int64_t start = 0; start < score.length; start += hostBuffer) {
        for (const SettingChange& change : score.changes)
            if (change.frame == start)
                plugin.setControl(uint32_t(change.pin), float(change.value));
        for (; next < score.midi.size() && score.midi[next].frame < start + hostBuffer; ++next)
            plugin.midi(uint32_t(score.midi[next].frame - start), score.midi[next].bytes);
        for (uint32_t i = 0; clocked && i < hostBuffer; ++i) {
            plugin.cv("clock")[i] = score.clock(start + i);
            plugin.cv("enable")[i] = score.enable(start + i);
        }
        plugin.run(hostBuffer);
    }
    return plugin.output();
}

std::vector<TimedMidi> playThroughStandInHost(std::string_view identifier, const Score& score)
{
    const host::ModuleDeclaration& module = declared(identifier);
    auto instance = builtLibrary().create(host::toU16(identifier));
    const host::PinDeclaration* clock = module.pin("clock");
    const host::PinDeclaration* enable = module.pin("enable");
    for (const host::PinDeclaration* pin : {clock, enable})
        if (pin != nullptr)
            instance->attachAudio(pin->number, subBlock);
    const int32_t midiIn = module.firstPinOf(host::PinKind::midiIn)->number;
    const int32_t midiOut = module.firstPinOf(host::PinKind::midiOut)->number;
    std::vector<TimedMidi> sent;
    size_t next = 0;
    for (int64_t start = 0; start < score.length; start += subBlock) {
        host::EventList events;
        if (start == 0)
            addStart(events, module, score);
        for (const SettingChange& change : score.changes)
            if (change.frame == start && start > 0)
                addValue(events, *module.pin(change.pin), change.value);
        for (; next < score.midi.size() && score.midi[next].frame < start + subBlock; ++next)
            events.midi(int32_t(score.midi[next].frame - start), midiIn, score.midi[next].bytes);
        for (int32_t i = 0; clock != nullptr && i < subBlock; ++i) {
            instance->audio(clock->number)[size_t(i)] = score.clock(start + i);
            instance->audio(enable->number)[size_t(i)] = score.enable(start + i);
        }
        instance->services().clear();
        instance->process(subBlock, events);
        std::vector<TimedMidi> block;
        for (const host::PinData& data : instance->services().pinData(midiOut))
            block.push_back({start + std::clamp(data.position, 0, subBlock - 1), data.bytes});
        std::ranges::stable_sort(block, {}, &TimedMidi::frame);
        sent.insert(sent.end(), block.begin(), block.end());
    }
    return sent;
}

}  // namespace lv2test

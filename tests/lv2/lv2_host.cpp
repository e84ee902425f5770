#include "lv2_host.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

namespace lv2test {
namespace {

constexpr uint8_t untouched = 0xA5;

}  // namespace

void PrintTo(const TimedMidi& message, std::ostream* out)
{
    *out << message.frame << ":";
    for (uint8_t byte : message.bytes)
        *out << " " << std::hex << int(byte) << std::dec;
}

UridMap::UridMap() : feature{this, mapUri} {}

LV2_URID UridMap::mapUri(LV2_URID_Map_Handle handle, const char* uri)
{
    auto& ids = static_cast<UridMap*>(handle)->ids;
    return ids.try_emplace(uri, LV2_URID(ids.size() + 1)).first->second;
}

World::World() : world(lilv_world_new())
{
    lilv_world_load_all(world);
}

World::~World()
{
    lilv_world_free(world);
}

const LilvPlugin* World::plugin(const std::string& uri) const
{
    LilvNode* node = lilv_new_uri(world, uri.c_str());
    const LilvPlugin* found = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), node);
    lilv_node_free(node);
    return found;
}

Instance::Instance(World& world, UridMap& urids, const std::string& uri, double sampleRate)
    : plugin(world.plugin(uri)), map(urids), atomIn(atomCapacity / 8), atomOut(atomCapacity + 64)
{
    if (plugin == nullptr)
        throw std::runtime_error(uri + " is not on LV2_PATH");
    LV2_Feature mapFeature{LV2_URID__map, urids.map()};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    instance = lilv_plugin_instantiate(plugin, sampleRate, features);
    if (instance == nullptr)
        throw std::runtime_error(uri + " does not instantiate");
    lv2_atom_forge_init(&forge, urids.map());
    connectAll();
    lilv_instance_activate(instance);
}

Instance::~Instance()
{
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}

void Instance::connectAll()
{
    const uint32_t count = lilv_plugin_get_num_ports(plugin);
    std::vector<float> minimum(count), maximum(count), defaults(count);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());
    for (uint32_t index = 0; index < count; ++index) {
        const LilvPort* lilvPort = lilv_plugin_get_port_by_index(plugin, index);
        const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, lilvPort));
        symbols[symbol] = index;
        if (symbol == "midi_in") {
            lilv_instance_connect_port(instance, index, atomIn.data());
        } else if (symbol == "midi_out") {
            lilv_instance_connect_port(instance, index, atomOut.data());
        } else if (symbol == "clock" || symbol == "enable") {
            cvBuffers[index].assign(maxFrames, 0.0f);
            lilv_instance_connect_port(instance, index, cvBuffers[index].data());
        } else {
            controls[index] = defaults[index];
            lilv_instance_connect_port(instance, index, &controls[index]);
        }
    }
    startInput();
}

void Instance::reactivate()
{
    lilv_instance_deactivate(instance);
    lilv_instance_activate(instance);
}

uint32_t Instance::port(const std::string& symbol) const
{
    const auto found = symbols.find(symbol);
    if (found == symbols.end())
        throw std::runtime_error("no port " + symbol);
    return found->second;
}

void Instance::disconnect(const std::string& symbol)
{
    lilv_instance_connect_port(instance, port(symbol), nullptr);
}

void Instance::startInput()
{
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(atomIn.data()), atomCapacity);
    lv2_atom_forge_sequence_head(&forge, &sequenceFrame, 0);
}

void Instance::event(uint32_t frame, LV2_URID type, const void* body, uint32_t size)
{
    lv2_atom_forge_frame_time(&forge, frame);
    lv2_atom_forge_atom(&forge, size, type);
    lv2_atom_forge_write(&forge, body, size);
}

void Instance::midi(uint32_t frame, const std::vector<uint8_t>& bytes)
{
    event(frame, map(LV2_MIDI__MidiEvent), bytes.data(), uint32_t(bytes.size()));
}

void Instance::position(uint32_t frame, float beatsPerMinute, float barBeat, float speed)
{
    LV2_Atom_Forge_Frame objectFrame;
    lv2_atom_forge_frame_time(&forge, frame);
    lv2_atom_forge_object(&forge, &objectFrame, 0, map(LV2_TIME__Position));
    lv2_atom_forge_key(&forge, map(LV2_TIME__beatsPerMinute));
    lv2_atom_forge_float(&forge, beatsPerMinute);
    lv2_atom_forge_key(&forge, map(LV2_TIME__barBeat));
    lv2_atom_forge_float(&forge, barBeat);
    lv2_atom_forge_key(&forge, map(LV2_TIME__speed));
    lv2_atom_forge_float(&forge, speed);
    lv2_atom_forge_pop(&forge, &objectFrame);
}

void Instance::process(uint32_t frames)
{
    lv2_atom_forge_pop(&forge, &sequenceFrame);
    std::memset(atomOut.data(), untouched, atomOut.size());
    auto* out = reinterpret_cast<LV2_Atom_Sequence*>(atomOut.data());
    out->atom.size = outputCapacity;
    lilv_instance_run(instance, frames);
}

void Instance::collect(uint32_t frames)
{
    const auto* out = reinterpret_cast<const LV2_Atom_Sequence*>(atomOut.data());
    LV2_ATOM_SEQUENCE_FOREACH (out, event) {
        const auto* bytes = static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&event->body));
        sent.push_back({elapsed + event->time.frames, {bytes, bytes + event->body.size}});
    }
    elapsed += frames;
    startInput();
}

bool Instance::outputStayedWithinCapacity() const
{
    const size_t end = sizeof(LV2_Atom) + outputCapacity;
    return std::all_of(atomOut.begin() + std::ptrdiff_t(end), atomOut.end(), [](uint8_t b) { return b == untouched; });
}

}  // namespace lv2test

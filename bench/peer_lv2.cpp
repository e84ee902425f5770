#include "peer_lv2.h"

#include <stdexcept>

#if MIDIMOD_HAVE_LILV

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <vector>

namespace bench {

// The plug-in's run, kept out of line so that callgrind can count it alone
// (bench/instructions.sh).
[[gnu::noinline]] void runPeerBlock(const LV2_Descriptor& descriptor, LV2_Handle handle, uint32_t sampleCount)
{
    descriptor.run(handle, sampleCount);
}

namespace {

// URIs mapped to numbers in the order first asked for, from 1.
class UridMap {
public:
    LV2_URID_Map* feature() { return &map; }
    LV2_URID id(const char* uri) { return mapUri(this, uri); }

private:
    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri)
    {
        auto& uris = static_cast<UridMap*>(handle)->uris;
        for (size_t i = 0; i < uris.size(); ++i)
            if (uris[i] == uri)
                return static_cast<LV2_URID>(i + 1);
        uris.emplace_back(uri);
        return static_cast<LV2_URID>(uris.size());
    }

    std::vector<std::string> uris;
    LV2_URID_Map map{this, &mapUri};
};

// An atom sequence with room for one block's traffic, 8-byte aligned as LV2 requires.
class Sequence {
public:
    static constexpr uint32_t capacity = 4096;

    LV2_Atom_Sequence* atom() { return reinterpret_cast<LV2_Atom_Sequence*>(storage.data()); }
    // An empty input sequence, or an output sequence offering its whole capacity.
    void resetAsInput(LV2_URID sequenceType)
    {
        atom()->atom = {sizeof(LV2_Atom_Sequence_Body), sequenceType};
        atom()->body = {0, 0};
    }
    void resetAsOutput(LV2_URID chunkType) { atom()->atom = {capacity - sizeof(LV2_Atom), chunkType}; }
    void append(int64_t frames, LV2_URID midiType, const std::array<uint8_t, 3>& bytes)
    {
        struct {
            LV2_Atom_Event event;
            uint8_t data[3];
        } message{};
        message.event.time.frames = frames;
        message.event.body = {3, midiType};
        std::memcpy(message.data, bytes.data(), 3);
        lv2_atom_sequence_append_event(atom(), capacity, &message.event);
    }

private:
    std::vector<uint64_t> storage = std::vector<uint64_t>(capacity / sizeof(uint64_t));
};

class PeerRunner final : public Runner {
public:
    PeerRunner(const std::string& uri, Traffic traffic);
    PeerRunner(const PeerRunner&) = delete;
    PeerRunner& operator=(const PeerRunner&) = delete;
    ~PeerRunner() override;

    void processBlock() override;

private:
    void connectPorts();

    UridMap urids;
    LilvWorld* world = lilv_world_new();
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;
    std::vector<float> controls;  // one value per port; MIDI ports leave theirs unused
    Sequence inputs[2];           // alternated block by block
    Sequence output;
    uint32_t inputIndex = 0;  // the atom input's port
    LV2_URID chunkType = urids.id(LV2_ATOM__Chunk);
    int blockIndex = 0;
};

PeerRunner::PeerRunner(const std::string& uri, Traffic traffic)
{
    lilv_world_load_all(world);
    LilvNode* uriNode = lilv_new_uri(world, uri.c_str());
    plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uriNode);
    lilv_node_free(uriNode);
    if (plugin == nullptr) {
        lilv_world_free(world);
        throw std::runtime_error(uri + " is not installed (Debian: x42-plugins)");
    }
    LV2_Feature mapFeature{LV2_URID__map, urids.feature()};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    instance = lilv_plugin_instantiate(plugin, sampleRate, features);
    if (instance == nullptr) {
        lilv_world_free(world);
        throw std::runtime_error(uri + " could not be instantiated");
    }
    for (int parity = 0; parity < 2; ++parity) {
        inputs[parity].resetAsInput(urids.id(LV2_ATOM__Sequence));
        for (const TimedMessage& message : midiTraffic(traffic, parity))
            inputs[parity].append(message.stamp, urids.id(LV2_MIDI__MidiEvent), message.bytes);
    }
    connectPorts();
    lilv_instance_activate(instance);
    for (int i = 0; i < 200; ++i)
        processBlock();
}

// Atom inputs get the traffic, atom outputs the output sequence, control ports a value
// each (inputs at their default).
void PeerRunner::connectPorts()
{
    const uint32_t portCount = lilv_plugin_get_num_ports(plugin);
    controls.assign(portCount, 0.0f);
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, controls.data());
    LilvNode* atomPort = lilv_new_uri(world, LV2_ATOM__AtomPort);
    LilvNode* inputPort = lilv_new_uri(world, LV2_CORE__InputPort);
    for (uint32_t index = 0; index < portCount; ++index) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, index);
        if (!lilv_port_is_a(plugin, port, atomPort))
            lilv_instance_connect_port(instance, index, &controls[index]);
        else if (lilv_port_is_a(plugin, port, inputPort))
            inputIndex = index;
        else
            lilv_instance_connect_port(instance, index, output.atom());
    }
    lilv_node_free(inputPort);
    lilv_node_free(atomPort);
}

PeerRunner::~PeerRunner()
{
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
    lilv_world_free(world);
}

// The host's part of a block: the input of this block and an empty output sequence.
void PeerRunner::processBlock()
{
    output.resetAsOutput(chunkType);
    lilv_instance_connect_port(instance, inputIndex, inputs[blockIndex].atom());
    runPeerBlock(*lilv_instance_get_descriptor(instance), lilv_instance_get_handle(instance), blockSize);
    blockIndex ^= 1;
}

}  // namespace

std::unique_ptr<Runner> makePeerRunner(const std::string& uri, Traffic traffic)
{
    return std::make_unique<PeerRunner>(uri, traffic);
}

}  // namespace bench

#else

namespace bench {

std::unique_ptr<Runner> makePeerRunner(const std::string& uri, Traffic)
{
    throw std::runtime_error(uri + ": this build has no LV2 host (Debian: liblilv-dev)");
}

}  // namespace bench

#endif

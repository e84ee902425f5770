// A minimal LV2 host on lilv, for tests: finds the bundle through LV2_PATH, instantiates
// a plug-in with its ports connected to buffers it owns, and runs it with MIDI, transport
// positions and control values, reading back what the plug-in writes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/urid/urid.h>

namespace lv2test {

struct TimedMidi {
    int64_t frame;
    std::vector<uint8_t> bytes;

    bool operator==(const TimedMidi&) const = default;
};
void PrintTo(const TimedMidi& message, std::ostream* out);

class UridMap {
public:
    UridMap();
    LV2_URID_Map* map() { return &feature; }
    LV2_URID operator()(const char* uri) { return feature.map(feature.handle, uri); }

private:
    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri);
    std::map<std::string, LV2_URID> ids;
    LV2_URID_Map feature;
};

// Every plug-in that LV2_PATH reaches.
class World {
public:
    World();
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    const LilvPlugin* plugin(const std::string& uri) const;  // null when not found
    LilvWorld* get() const { return world; }

private:
    LilvWorld* world;
};

class Instance {
public:
    static constexpr uint32_t maxFrames = 8192;
    static constexpr uint32_t atomCapacity = 1 << 16;

    // Instantiated, every port connected (CV inputs to silence), controls at their
    // defaults, and activated.
    Instance(World& world, UridMap& urids, const std::string& uri, double sampleRate = 48000);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    uint32_t port(const std::string& symbol) const;  // throws when the plug-in lacks it
    void setControl(const std::string& symbol, float value) { setControl(port(symbol), value); }
    void setControl(uint32_t index, float value) { controls.at(index) = value; }
    float control(const std::string& symbol) const { return controls.at(port(symbol)); }
    // A CV input's samples for the next runs, from frame 0 of a run.
    std::span<float> cv(const std::string& symbol) { return cvBuffers.at(port(symbol)); }
    void disconnect(const std::string& symbol);
    // The room, in bytes, the host gives the output sequence on each run.
    void setOutputCapacity(uint32_t bytes) { outputCapacity = bytes; }

    // Input for the next run, in frame order.
    void midi(uint32_t frame, const std::vector<uint8_t>& bytes);
    void position(uint32_t frame, float beatsPerMinute, float barBeat, float speed);
    void event(uint32_t frame, LV2_URID type, const void* body, uint32_t size);

    // Runs `frames` frames and appends what the plug-in sent, at frames counted from
    // activation; the next run starts with no input.
    void run(uint32_t frames)
    {
        process(frames);
        collect(frames);
    }
    // The two halves of a run: the plug-in's own, and the host reading what it sent.
    void process(uint32_t frames);
    void collect(uint32_t frames);
    // Deactivates and activates again: the plug-in starts afresh.
    void reactivate();
    const std::vector<TimedMidi>& output() const { return sent; }
    // Whether the last run left the bytes past the output's capacity as they were.
    bool outputStayedWithinCapacity() const;

private:
    void connectAll();
    void startInput();

    const LilvPlugin* plugin;
    UridMap& map;
    LilvInstance* instance = nullptr;
    std::map<std::string, uint32_t> symbols;
    std::map<uint32_t, float> controls;
    std::map<uint32_t, std::vector<float>> cvBuffers;
    std::vector<uint64_t> atomIn;  // 8-byte aligned, as atoms are
    std::vector<uint8_t> atomOut;
    uint32_t outputCapacity = atomCapacity;
    LV2_Atom_Forge forge;
    LV2_Atom_Forge_Frame sequenceFrame;
    int64_t elapsed = 0;
    std::vector<TimedMidi> sent;
};

}  // namespace lv2test

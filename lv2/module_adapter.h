// One module as an LV2 plug-in instance. The module is created through the library's
// factory and run through the binary interface alone, in sub-blocks of a fixed length
// on a grid counted from activation, whatever the host's buffer: an event goes to the
// sub-block that holds its frame, and what the module sends at a position lands at that
// sub-block's first frame plus the position. Timing is then the same at any buffer size.
//
// run() never allocates, locks or blocks: every buffer is sized at construction.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <lv2/urid/urid.h>

#include "event_block.h"
#include "input_sequence.h"
#include "module_catalogue.h"
#include "module_output.h"
#include "output_sequence.h"
#include "port_layout.h"
#include "transport_clock.h"
#include "uris.h"

namespace lv2 {

constexpr uint32_t subBlockLength = 16;

class ModuleAdapter {
public:
    // Throws std::runtime_error when the factory cannot create the module.
    ModuleAdapter(const host::ModuleDeclaration& moduleDeclaration, const LV2_URID_Map& map, double sampleRate);
    ~ModuleAdapter();
    ModuleAdapter(const ModuleAdapter&) = delete;
    ModuleAdapter& operator=(const ModuleAdapter&) = delete;

    void connect(uint32_t port, void* data);
    // A fresh module, as if just created, that gets every input on the next run.
    void activate();
    void run(uint32_t frames);

private:
    // An input pin set by a control port, or one of the adapter's own controls.
    struct Control {
        uint32_t port;
        host::PinDeclaration pin;
        int32_t value;
        bool changed = true;
    };
    struct Level {
        uint32_t port = noPort;  // the CV input
        int32_t pin = -1;        // the module's audio input
        std::array<float, subBlockLength> samples{};
        bool streaming = false;  // as last told to the module
    };
    static constexpr uint32_t noPort = UINT32_MAX;

    void assignPort(const Port& port);
    void createModule();
    void* connection(uint32_t port) const;
    void readControls();
    int32_t controlValue(const Control& control) const;
    void runSubBlock(uint32_t start, uint32_t length, InputSequence& input);
    void addRunStartEvents();
    void takeInput(uint32_t stamp, uint32_t frame, const LV2_Atom& atom);
    void updateStreaming(uint32_t stamp);
    void setStreaming(Level& level, bool streaming, uint32_t stamp);
    void fillLevels(uint32_t start, uint32_t from, uint32_t to);
    float cvSample(const Level& level, uint32_t frame) const;
    void processSubBlock(uint32_t length);
    void writeMessages(uint32_t start, uint32_t length);
    void writeControlOutputs();

    const host::ModuleDeclaration& declaration;
    Uris uris;
    std::vector<void*> connections;  // by port index
    ModuleOutput output;  // outlives the module, which holds a reference on it
    gmpi::IMpPlugin2* module = nullptr;

    uint32_t midiInPort = noPort;
    uint32_t midiOutPort = noPort;
    int32_t midiInPin = -1;
    std::vector<Control> pinControls;
    std::vector<std::pair<uint32_t, host::PinDeclaration>> outputPorts;
    Control clockSource{noPort, {}, clockFromCv};
    Control stepsPerBeat{noPort, {}, 4};
    Control enableSource{noPort, {}, enableFromCv};
    Level clock;
    Level enable;

    TransportClock transport;
    EventBlock events;
    OutputSequence outputSequence;
    int64_t framesRun = 0;     // since instantiation: the transport's time line
    uint32_t gridPhase = 0;    // frames into the current sub-block
    bool firstRun = true;
    bool asleep = false;
    bool ranSinceCreation = false;
};

}  // namespace lv2

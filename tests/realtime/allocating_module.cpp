// A library with one module that breaks the processing rule on purpose: it takes heap
// memory for every MIDI message. The validator must catch it, so that its silence on
// the real modules means something.
#include <cstring>
#include <memory>

#include "mp_base2.h"
#include "mp_factory.h"

class Test_Allocating final : public MpBase2 {
public:
    Test_Allocating()
    {
        bindPin(0, midiIn);
        bindPin(1, midiOut);
    }

    void handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept override
    {
        copy = std::make_unique<uint8_t[]>(static_cast<size_t>(length));
        std::memcpy(copy.get(), bytes, static_cast<size_t>(length));
        midiOut.sendMidi(copy.get(), length, 0);
    }

private:
    MidiInPin midiIn;
    MidiOutPin midiOut;
    std::unique_ptr<uint8_t[]> copy;
};

[[maybe_unused]] static const bool registered =
    registerModule(0, u"Test_Allocating", &createInstance<Test_Allocating>);

// MIDI_VelocityCurve: scales the velocity of every note-on by a percentage, so that a
// part plays softer or harder. A scaled velocity stays within 1 to 127, so a note-on
// never turns into a note-off; a note-on of velocity 0 stays 0. Every other message
// passes unchanged. Each message leaves at the sample it came in.
#include <algorithm>
#include <array>

#include "mp_base2.h"
#include "mp_factory.h"

class MIDI_VelocityCurve final : public MpModule<MIDI_VelocityCurve> {
public:
    enum Pin : int32_t { midiInPin, midiOutPin, percentPin };

    MIDI_VelocityCurve()
    {
        bindPin(midiInPin, midiIn);
        bindPin(midiOutPin, midiOut);
        bindPin(percentPin, percentIn);
    }

    void handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept override;
    void handlePinsChanged() noexcept override;

private:
    static constexpr int32_t maxPercent = 400;

    MidiInPin midiIn;
    MidiOutPin midiOut;
    IntInPin percentIn;

    int32_t percent = 100;  // the pin's value, clamped to 0 to maxPercent
};

[[maybe_unused]] static const bool registered =
    registerModule(0, u"MIDI_VelocityCurve", &createInstance<MIDI_VelocityCurve>);

void MIDI_VelocityCurve::handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept
{
    const bool noteOn = (bytes[0] & 0xF0) == 0x90 && length >= 3;
    if (!noteOn || bytes[2] == 0) {
        midiOut.sendMidi(bytes, length);
        return;
    }
    const int32_t scaled = (bytes[2] * percent + 50) / 100;  // rounded to the nearest
    const std::array<uint8_t, 3> message{bytes[0], bytes[1], static_cast<uint8_t>(std::clamp(scaled, 1, 127))};
    midiOut.sendMidi(message);
}

void MIDI_VelocityCurve::handlePinsChanged() noexcept
{
    if (percentIn.wasChanged)
        percent = std::clamp(percentIn.value, 0, maxPercent);
}

// MIDI_Block: a gate for a MIDI stream. While the gate is open every message passes
// unchanged; while it is closed messages are held back. Notes it let through are ended
// with All Notes Off whenever the gate changes and whenever the incoming channel changes.
#include "channel_follower.h"
#include "mp_base2.h"
#include "mp_factory.h"

class MIDI_Block final : public MpModule<MIDI_Block> {
public:
    enum Pin : int32_t { midiInPin, midiOutPin, gatePin };

    MIDI_Block()
    {
        bindPin(midiInPin, midiIn);
        bindPin(midiOutPin, midiOut);
        bindPin(gatePin, gateIn);
    }

    void handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept override;
    void handlePinsChanged() noexcept override;

private:
    MidiInPin midiIn;
    MidiOutPin midiOut;
    BoolInPin gateIn;

    // A copy of the gate pin taken in handlePinsChanged: a message that shares its stamp
    // with a gate change still meets the gate as it was. Open until the host says otherwise.
    uint8_t gateOpen = 1;
    ChannelFollower channel;  // All Notes Off goes to the channel of the message before
};

[[maybe_unused]] static const bool registered = registerModule(0, u"MIDI_Block", &createInstance<MIDI_Block>);

// A change of channel ends the old channel's notes whether the gate is open or not.
// Output goes at the block's start, so that a host ordering output by position never
// places an All Notes Off after a note that passed later in the same block.
void MIDI_Block::handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept
{
    channel.follow({bytes, length}, midiOut);
    if (gateOpen != 0)
        midiOut.sendMidi(bytes, length, 0);
}

// Opening as well as closing ends the notes, even when the new value equals the old.
void MIDI_Block::handlePinsChanged() noexcept
{
    if (!gateIn.wasChanged)
        return;
    gateOpen = gateIn.value;
    channel.sendAllNotesOff(midiOut);
}

// MIDI_Block: a gate for a MIDI stream. While the gate is open every message passes
// unchanged; while it is closed messages are held back. Notes it let through are ended
// with All Notes Off whenever the gate changes and whenever the incoming channel changes.
#include "midi_message.h"
#include "mp_base2.h"
#include "mp_factory.h"

class MIDI_Block final : public MpBase2 {
public:
    MIDI_Block()
    {
        bindPin(0, midiIn);
        bindPin(1, midiOut);
        bindPin(2, gateIn);
    }

    void handleMidi(int32_t, const uint8_t* bytes, int32_t length) override;
    void handlePinsChanged() override;

private:
    void sendAllNotesOff();

    MidiInPin midiIn;
    MidiOutPin midiOut;
    BoolInPin gateIn;

    // A copy of the gate pin taken in handlePinsChanged: a message that shares its stamp
    // with a gate change still meets the gate as it was. Open until the host says otherwise.
    uint8_t gateOpen = 1;
    uint8_t channel = 0;          // channel of the message being handled
    uint8_t previousChannel = 0;  // channel of the message before: All Notes Off goes there
};

[[maybe_unused]] static const bool registered = registerModule(0, u"MIDI_Block", &createInstance<MIDI_Block>);

// Every message, system messages included, sets the channel; a change ends the old
// channel's notes whether the gate is open or not. Output goes at the block's start.
void MIDI_Block::handleMidi(int32_t, const uint8_t* bytes, int32_t length)
{
    channel = midi::Message{bytes, length}.channel();
    if (channel != previousChannel) {
        sendAllNotesOff();
        previousChannel = channel;
    }
    if (gateOpen != 0)
        midiOut.sendMidi(bytes, length, 0);
}

// Opening as well as closing ends the notes, even when the new value equals the old.
void MIDI_Block::handlePinsChanged()
{
    if (!gateIn.wasChanged)
        return;
    gateOpen = gateIn.value;
    sendAllNotesOff();
}

// At the block's start like the messages passed, so that a host ordering output by
// position never places it after a note that passed later in the same block.
void MIDI_Block::sendAllNotesOff()
{
    const auto notesOff = midi::allNotesOff(previousChannel);
    midiOut.sendMidi(notesOff.data(), static_cast<int32_t>(notesOff.size()), 0);
}

// MIDI_Transposer: moves a MIDI stream to one output channel and shifts its notes by a
// number of semitones. Notes shifted outside 1 to 127 are dropped. Any change of the
// settings sends All Notes Off on the channel in force for the latest message.
#include <algorithm>

#include "midi_message.h"
#include "mp_base2.h"
#include "mp_factory.h"

class MIDI_Transposer final : public MpModule<MIDI_Transposer> {
public:
    enum Pin : int32_t { midiInPin, midiOutPin, transposePin, channelPin };

    MIDI_Transposer()
    {
        bindPin(midiInPin, midiIn);
        bindPin(midiOutPin, midiOut);
        bindPin(transposePin, transposeIn);
        bindPin(channelPin, channelIn);
    }

    void handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept override;
    void handlePinsChanged() noexcept override;

private:
    void sendChannelMessage(midi::Message message) noexcept;

    MidiInPin midiIn;
    MidiOutPin midiOut;
    IntInPin transposeIn;
    IntInPin channelIn;

    // Copies of the pins taken in handlePinsChanged: a message that shares its stamp
    // with a change still goes out with the settings before it.
    int32_t transposeAmount = 0;
    uint8_t outputChannel = 0;
    uint8_t previousChannel = 0;  // channel of the latest message: All Notes Off goes there
};

[[maybe_unused]] static const bool registered =
    registerModule(0, u"MIDI_Transposer", &createInstance<MIDI_Transposer>);

// Every channel message leaves on the output channel with its own length, at most the
// three bytes a channel message has; bytes past its length are neither read nor sent.
// A note message that holds its note number is shifted, so that its note-on and
// note-off meet again whatever their lengths.
inline void MIDI_Transposer::sendChannelMessage(midi::Message message) noexcept
{
    const uint8_t status = static_cast<uint8_t>(message.type() | outputChannel);
    midi::ShortMessage out;
    int32_t length = 3;
    if (message.length >= 3)
        out = {status, message.bytes[1], message.bytes[2]};
    else if (message.length == 2)
        out = {status, message.bytes[1], 0}, length = 2;
    else
        out = {status, 0, 0}, length = 1;
    if (length >= 2 && message.isNote()) {
        const int64_t note = int64_t{out[1]} + transposeAmount;
        if (note < 1 || note > 127)
            return;
        out[1] = static_cast<uint8_t>(note);
    }
    midiOut.sendMidi(out.data(), length, 0);
}

void MIDI_Transposer::handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept
{
    previousChannel = outputChannel;
    const midi::Message message{bytes, length};
    // System messages and stray data bytes are not channel messages: they pass as they came.
    if (message.isChannelMessage())
        sendChannelMessage(message);
    else
        midiOut.sendMidi(bytes, length, 0);
}

// Channel values outside 0 to 15 are clamped to the nearest channel.
void MIDI_Transposer::handlePinsChanged() noexcept
{
    const auto notesOff = midi::allNotesOff(previousChannel);
    if (transposeIn.wasChanged) {
        transposeAmount = transposeIn.value;
        midiOut.sendMidi(notesOff);
    }
    if (channelIn.wasChanged) {
        outputChannel = static_cast<uint8_t>(std::clamp(channelIn.value, 0, 15));
        midiOut.sendMidi(notesOff);
    }
}

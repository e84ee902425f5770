#include "demo_phrase.h"

#include <array>

namespace {

constexpr uint16_t ticksPerQuarter = 480;
constexpr uint64_t bar = 4 * ticksPerQuarter;
constexpr uint64_t held = 7 * ticksPerQuarter / 2;
constexpr uint8_t velocity = 90;
constexpr std::array<std::array<uint8_t, 3>, 4> chords = {{{60, 64, 67}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62}}};

}  // namespace

smf::File demoPhrase()
{
    smf::Track tempo{{smf::textEvent(0, smf::metaTrackName, "tempo"), smf::tempoEvent(0, smf::defaultTempo)}};
    smf::Track chordTrack{{smf::textEvent(0, smf::metaTrackName, "chords")}};
    for (size_t index = 0; index < chords.size(); ++index) {
        const uint64_t start = index * bar;
        for (uint8_t note : chords[index])
            chordTrack.events.push_back({start, {0x90, note, velocity}});
        for (uint8_t note : chords[index])
            chordTrack.events.push_back({start + held, {0x80, note, 0}});
    }
    tempo.endTick = chordTrack.endTick = chords.size() * bar;
    return smf::File{1, ticksPerQuarter, {tempo, chordTrack}};
}

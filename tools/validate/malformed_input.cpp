#include "malformed_input.h"

#include <limits>

#include "random_blocks.h"

namespace validate {
namespace {

constexpr int32_t most = std::numeric_limits<int32_t>::max();
constexpr int32_t least = std::numeric_limits<int32_t>::min();

gmpi::HostEvent event(int32_t stamp, int32_t type, int32_t pin, int32_t size)
{
    gmpi::HostEvent record{};
    record.timeStamp = stamp;
    record.type = type;
    record.pinNumber = pin;
    record.size = size;
    for (uint8_t& byte : record.inlineData)
        byte = 0x90;
    return record;
}

// One message of each common kind at `stamp` on every pin, so that whichever pin takes
// MIDI or values meets the case.
void everyPinGets(BlockRunner& runner, int32_t stamp)
{
    for (int32_t pin : runner.pins())
        runner.events().midi(stamp, pin, {0x90, 60, 100}).value(stamp, pin, 3).boolValue(stamp, pin, true);
}

void negativeSampleCount(BlockRunner& runner)
{
    for (int32_t count : {-1, -4096, least}) {
        everyPinGets(runner, 0);
        everyPinGets(runner, 5);
        runner.process(count);
    }
}

void zeroSampleCount(BlockRunner& runner)
{
    everyPinGets(runner, 0);
    everyPinGets(runner, 3);
    runner.events().graphStart(0);
    runner.process(0);
}

void stampsOutOfOrder(BlockRunner& runner)
{
    for (int32_t stamp : {200, 50, 10, 199, 0, 100})
        everyPinGets(runner, stamp);
    runner.process(256);
}

void negativeStamps(BlockRunner& runner)
{
    for (int32_t stamp : {-1, least, -100, 5})
        everyPinGets(runner, stamp);
    runner.process(64);
}

void stampsPastTheBlock(BlockRunner& runner)
{
    for (int32_t stamp : {10, 64, 65, most, 3})
        everyPinGets(runner, stamp);
    runner.process(64);
    everyPinGets(runner, most);
    runner.process(64);
}

void oversizedInlineData(BlockRunner& runner)
{
    for (int32_t pin : runner.pins())
        for (int32_t size : {9, 64, 4096, most})
            for (int32_t type : {gmpi::eventMidi, gmpi::eventPinValue, gmpi::eventStreamStart})
                runner.events().raw(event(1, type, pin, size));
    runner.process(32);
}

void emptyMessages(BlockRunner& runner)
{
    const uint8_t outside[4] = {0x90, 60, 100, 0};
    for (int32_t pin : runner.pins()) {
        runner.events().raw(event(0, gmpi::eventMidi, pin, 0));
        runner.events().raw(event(0, gmpi::eventMidi, pin, 0), outside);
        runner.events().raw(event(1, gmpi::eventPinValue, pin, 0));
        runner.events().raw(event(1, gmpi::eventPinValue, pin, 0), outside);
    }
    runner.process(16);
}

void negativeSizes(BlockRunner& runner)
{
    const uint8_t outside[4] = {0xB0, 123, 0, 0};
    for (int32_t pin : runner.pins())
        for (int32_t size : {-1, -8, least})
            for (int32_t type : {gmpi::eventMidi, gmpi::eventPinValue}) {
                runner.events().raw(event(2, type, pin, size));
                runner.events().raw(event(2, type, pin, size), outside);
            }
    runner.process(16);
}

// Integer values are four bytes; every other size, inline and outside.
void valuesOfTheWrongSize(BlockRunner& runner)
{
    const uint8_t outside[12] = {0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3, 4, 5, 6, 7, 8};
    for (int32_t pin : runner.pins())
        for (int32_t size : {1, 2, 3, 5, 6, 7, 8}) {
            runner.events().raw(event(3, gmpi::eventPinValue, pin, size));
            runner.events().raw(event(4, gmpi::eventPinValue, pin, size), {outside, static_cast<size_t>(size)});
        }
    runner.process(16);
}

void pinsThatDoNotExist(BlockRunner& runner)
{
    for (int32_t pin : {-1, -2, least, most, 1000, 255, 256})
        for (int32_t type = gmpi::eventPinValue; type <= gmpi::eventGraphStart; ++type)
            runner.events().raw(event(1, type, pin, 3));
    runner.process(16);
}

void unknownEventTypes(BlockRunner& runner)
{
    for (int32_t pin : runner.pins())
        for (int32_t type : {0, 1, 99, 105, 200, -1, least, most})
            runner.events().raw(event(2, type, pin, 3));
    runner.events().raw(event(2, 99, -1, 3));
    runner.process(16);
}

void streamEventsOutOfTurn(BlockRunner& runner)
{
    for (int32_t pin : runner.pins())
        runner.events().streamStop(0, pin).streamStop(0, pin).streamStop(1, pin);
    runner.process(8);
    for (int32_t pin : runner.pins())
        runner.events().streamStart(0, pin).streamStart(0, pin).streamStop(0, pin).streamStart(2, pin);
    runner.process(8);
    for (int32_t pin : runner.pins())
        runner.events().streamStart(0, pin).streamStart(1, pin);
    runner.process(8);
}

// Channel messages cut short, data bytes without a status, an unterminated system
// exclusive and a lone end of it.
void brokenMidi(BlockRunner& runner)
{
    std::vector<uint8_t> unterminated(300, 0x11);
    unterminated[0] = 0xF0;
    for (int32_t pin : runner.pins()) {
        host::EventList& events = runner.events();
        events.midi(0, pin, {0x90}).midi(0, pin, {0x93, 60}).midi(0, pin, {0x80}).midi(0, pin, {0xB0, 123});
        events.midi(1, pin, {0xB5}).midi(1, pin, {0xE0}).midi(1, pin, {0xC0}).midi(1, pin, {0xF2, 1});
        events.midi(2, pin, {60, 100}).midi(2, pin, {0x00}).midi(2, pin, {0x7F, 0x7F, 0x7F});
        events.midi(3, pin, unterminated).midi(3, pin, {0xF7}).midi(3, pin, {0xF0});
        events.midi(4, pin, {0x90, 0x80, 0xFF}).midi(4, pin, {0x80, 200, 200});
        events.midi(4, pin, {0xF4}).midi(4, pin, {0xF5});
    }
    runner.process(16);
}

// Far more events at one stamp than any fixed list of notes holds.
void crowdedStamp(BlockRunner& runner)
{
    for (int32_t round = 0; round < 40; ++round)
        for (int32_t pin : runner.pins())
            for (uint8_t note = 1; note < 128; note += 11)
                runner.events().midi(0, pin, {static_cast<uint8_t>(0x90 | (round % 16)), note, 100});
    for (int32_t pin : runner.pins())
        runner.events().value(0, pin, most).value(0, pin, least);
    runner.process(64);
}

void graphStartStorm(BlockRunner& runner)
{
    for (int32_t stamp = 0; stamp < 64; ++stamp)
        runner.events().graphStart(stamp).graphStart(stamp).raw(event(stamp, gmpi::eventGraphStart, least, most));
    runner.process(64);
}

void eventsOnTheLastSample(BlockRunner& runner)
{
    for (int32_t count : {1, 2, 64, largestBlock}) {
        everyPinGets(runner, count - 1);
        runner.process(count);
    }
}

void oneSampleBlocks(BlockRunner& runner)
{
    for (int32_t round = 0; round < 64; ++round) {
        if (round % 3 == 0)
            everyPinGets(runner, 0);
        runner.process(1);
    }
}

void missingAudioBuffers(BlockRunner& runner)
{
    runner.detachAudio();
    for (int32_t pin : runner.pins())
        runner.events().streamStart(0, pin);
    everyPinGets(runner, 7);
    runner.process(largestBlock);
    runner.process(33);
    runner.reattachAudio();
}

constexpr MalformedCase cases[] = {
    {"negative sample count", negativeSampleCount},
    {"zero sample count", zeroSampleCount},
    {"stamps out of order", stampsOutOfOrder},
    {"negative stamps", negativeStamps},
    {"stamps past the block", stampsPastTheBlock},
    {"inline size beyond 8 bytes", oversizedInlineData},
    {"zero-length messages", emptyMessages},
    {"negative sizes", negativeSizes},
    {"values of the wrong size", valuesOfTheWrongSize},
    {"pins that do not exist", pinsThatDoNotExist},
    {"unknown event types", unknownEventTypes},
    {"stream events out of turn", streamEventsOutOfTurn},
    {"broken MIDI", brokenMidi},
    {"thousands of events at one stamp", crowdedStamp},
    {"graph start storm", graphStartStorm},
    {"events on the last sample", eventsOnTheLastSample},
    {"one-sample blocks", oneSampleBlocks},
    {"missing audio buffers", missingAudioBuffers},
};

}  // namespace

std::span<const MalformedCase> malformedCases()
{
    return cases;
}

}  // namespace validate

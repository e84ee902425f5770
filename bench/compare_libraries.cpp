// The same traffic through every module of two builds of the library, to show that work
// on the processing path changed nothing a host can see: every pin-data call and sleep
// request must agree in order, position, pin and bytes. The traffic is dense where the
// modules keep state: notes from a small set (so that they collide, note 0 among them),
// short and controller messages, settings across and beyond their ranges, clocks,
// streams starting and stopping, blocks of 0 to 256 samples.
//   compare_libraries OLD_LIBRARY NEW_LIBRARY [SEEDS] [BLOCKS]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "module_catalogue.h"
#include "module_library.h"
#include "validate/random_source.h"

namespace {

constexpr int32_t longestBlock = 256;
constexpr uint8_t notes[] = {0, 1, 2, 60, 60, 61, 62, 64, 126, 127};

struct Difference {
    int seed;
    int block;
};

class Traffic {
public:
    Traffic(const host::ModuleDeclaration& declaration, uint64_t seed)
        : module(declaration), clockPin(declaration.firstPinOf(host::PinKind::audioIn)),
          midiPin(declaration.firstPinOf(host::PinKind::midiIn)), random(seed)
    {
    }

    // The next block's events and its sample count.
    int32_t next(host::EventList& events)
    {
        const int32_t samples = random.oneIn(50) ? 0 : random.between(1, longestBlock);
        std::vector<int32_t> stamps(random.below(14));
        for (int32_t& stamp : stamps)
            stamp = samples > 0 ? random.between(0, samples - 1) : 0;
        std::sort(stamps.begin(), stamps.end());
        for (const int32_t stamp : stamps)
            addEvent(events, stamp);
        return samples;
    }

    // A square clock of random period on the first audio input, the others mostly high.
    void fillAudio(int32_t pin, std::vector<float>& samples, int32_t count)
    {
        const bool clock = pin == clockPin->number;
        for (int32_t i = 0; i < count; ++i) {
            const bool high = clock ? (phase + i) % period < period / 2 : !random.oneIn(300);
            samples[static_cast<size_t>(i)] = high ? 1.0f : 0.0f;
        }
    }
    void advance(int32_t count) { phase += count; }

private:
    void addEvent(host::EventList& events, int32_t stamp)
    {
        const host::PinDeclaration& pin = module.pins[random.below(static_cast<uint32_t>(module.pins.size()))];
        const uint32_t kind = random.below(100);
        if (kind < 70 && midiPin != nullptr)
            addMidi(events, stamp);
        else if (host::isSetting(pin.kind))
            events.value(stamp, pin.number, random.between(pin.minimum - 2, pin.maximum + 2));
        else if (pin.kind == host::PinKind::audioIn && random.oneIn(2))
            events.streamStart(stamp, pin.number);
        else if (pin.kind == host::PinKind::audioIn)
            events.streamStop(stamp, pin.number);
        else if (random.oneIn(20))
            events.graphStart(stamp);
    }
    void addMidi(host::EventList& events, int32_t stamp)
    {
        if (random.oneIn(40))
            channel = static_cast<uint8_t>(random.below(3));
        const uint8_t type = random.oneIn(12) ? 0xB0 : random.oneIn(2) ? 0x90 : 0x80;
        const uint8_t note = notes[random.below(static_cast<uint32_t>(std::size(notes)))];
        const uint8_t first = type == 0xB0 ? (random.oneIn(2) ? 123 : 7) : note;
        const uint8_t second = random.oneIn(8) ? 0 : 100;
        std::vector<uint8_t> message{static_cast<uint8_t>(type | channel), first, second};
        message.resize(random.oneIn(15) ? random.between(1, 3) : 3);
        if (random.oneIn(10))
            events.midiOutside(stamp, midiPin->number, message);  // held outside the event
        else
            events.midi(stamp, midiPin->number, message);
    }

    const host::ModuleDeclaration& module;
    const host::PinDeclaration* clockPin;  // the first audio input, if any
    const host::PinDeclaration* midiPin;
    validate::RandomSource random;
    int32_t period = 16 + static_cast<int32_t>(random.below(200));
    int32_t phase = 0;
    uint8_t channel = 0;
};

bool sameCalls(host::HostServices& old, host::HostServices& now)
{
    const auto& oldCalls = old.calls();
    const auto& newCalls = now.calls();
    return std::equal(oldCalls.begin(), oldCalls.end(), newCalls.begin(), newCalls.end(),
                      [&](const host::HostServices::Call& a, const host::HostServices::Call& b) {
                          const auto oldBytes = old.bytesOf(a);
                          const auto newBytes = now.bytesOf(b);
                          return a.kind == b.kind && a.position == b.position && a.pin == b.pin &&
                                 std::equal(oldBytes.begin(), oldBytes.end(), newBytes.begin(), newBytes.end());
                      });
}

// Runs `blocks` blocks of each seed's traffic through both builds of `module`; returns the
// first block in which they differ, and counts the calls compared.
std::optional<Difference> compare(host::ModuleLibrary& oldLibrary, host::ModuleLibrary& newLibrary,
                                  const host::ModuleDeclaration& module, int seeds, int blocks, uint64_t& calls)
{
    const std::u16string identifier = host::toU16(module.identifier);
    for (int seed = 1; seed <= seeds; ++seed) {
        const auto oldModule = oldLibrary.create(identifier);
        const auto newModule = newLibrary.create(identifier);
        std::vector<int32_t> audioPins;
        for (const host::PinDeclaration& pin : module.pins)
            if (pin.kind == host::PinKind::audioIn) {
                oldModule->attachAudio(pin.number, longestBlock);
                newModule->attachAudio(pin.number, longestBlock);
                audioPins.push_back(pin.number);
            }
        Traffic traffic(module, static_cast<uint64_t>(seed));
        std::vector<float> samples(longestBlock);
        for (int block = 0; block < blocks; ++block) {
            host::EventList events;
            const int32_t count = traffic.next(events);
            for (const int32_t pin : audioPins) {
                traffic.fillAudio(pin, samples, count);
                std::copy_n(samples.begin(), count, oldModule->audio(pin).begin());
                std::copy_n(samples.begin(), count, newModule->audio(pin).begin());
            }
            traffic.advance(count);
            oldModule->services().clear();
            newModule->services().clear();
            oldModule->process(count, events);
            newModule->process(count, events);
            if (!sameCalls(oldModule->services(), newModule->services()))
                return Difference{seed, block};
            calls += oldModule->services().calls().size();
        }
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: compare_libraries OLD_LIBRARY NEW_LIBRARY [SEEDS] [BLOCKS]\n");
        return 2;
    }
    const int seeds = argc > 3 ? std::atoi(argv[3]) : 50;
    const int blocks = argc > 4 ? std::atoi(argv[4]) : 2000;
    try {
        host::ModuleLibrary oldLibrary(argv[1]);
        host::ModuleLibrary newLibrary(argv[2]);
        int differing = 0;
        for (const host::ModuleDeclaration& module : host::moduleCatalogue()) {
            uint64_t calls = 0;
            if (const auto difference = compare(oldLibrary, newLibrary, module, seeds, blocks, calls)) {
                std::printf("%.*s: differs at seed %d, block %d\n", static_cast<int>(module.identifier.size()),
                            module.identifier.data(), difference->seed, difference->block);
                ++differing;
            } else {
                std::printf("%.*s: same, %llu calls compared\n", static_cast<int>(module.identifier.size()),
                            module.identifier.data(), static_cast<unsigned long long>(calls));
            }
        }
        return differing == 0 ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "compare_libraries: %s\n", error.what());
        return 2;
    }
}

// The synthesizer of a build without libfluidsynth, such as the Windows build.
#include <stdexcept>

#include "synth.h"

namespace {

[[noreturn]] void unavailable()
{
    throw std::runtime_error("WAV output is not available in this build of midimod (built without libfluidsynth)");
}

}  // namespace

bool synthesizerBuilt()
{
    return false;
}

std::string findSoundfont(const std::string&)
{
    unavailable();
}

Synthesizer::Synthesizer(const std::string&, int32_t, double)
{
    unavailable();
}

struct Synthesizer::State {};

Synthesizer::~Synthesizer() = default;

Sound Synthesizer::play(const std::vector<TimedMessage>&, int64_t)
{
    unavailable();
}

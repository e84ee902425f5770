// The synthesizer: libfluidsynth, rendering into memory with no audio driver, one thread,
// no reverb and no chorus, so that the same messages always give the same samples.
#include <fluidsynth.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>

#include "smf.h"
#include "synth.h"

namespace {

// Debian's General MIDI SoundFonts, the small one first.
constexpr const char* soundfontFolder = "/usr/share/sounds/sf2/";
constexpr std::array<const char*, 3> soundfontSearch = {"TimGM6mb.sf2", "FluidR3_GM.sf2", "default-GM.sf2"};

// fluidsynth reports through a global log: its first error since the last clear is kept
// for the message midimod gives, and nothing is printed.
thread_local std::string firstError;

void keepError(int, const char* message, void*)
{
    if (firstError.empty())
        firstError = message;
}

void routeLog()
{
    static const bool routed = [] {
        fluid_set_log_function(FLUID_PANIC, keepError, nullptr);
        fluid_set_log_function(FLUID_ERR, keepError, nullptr);
        for (const int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
        return true;
    }();
    (void)routed;
}

// A SoundFont 2 file is a RIFF file of form "sfbk".
void checkSoundfont(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status))
        throw std::runtime_error("cannot read the soundfont " + path + ": no such file");
    if (!std::filesystem::is_regular_file(status))
        throw std::runtime_error("cannot read the soundfont " + path + ": not a regular file");
    std::ifstream in(path, std::ios::binary);
    std::array<unsigned char, 12> header{};
    if (!in)
        throw std::runtime_error("cannot read the soundfont " + path + ": " + std::strerror(errno));
    in.read(reinterpret_cast<char*>(header.data()), header.size());
    const std::string_view text(reinterpret_cast<const char*>(header.data()), header.size());
    if (!in || text.substr(0, 4) != "RIFF" || text.substr(8, 4) != "sfbk")
        throw std::runtime_error(path + ": not a SoundFont 2 file (.sf2)");
    const uint64_t size = 8 + (header[4] | header[5] << 8 | header[6] << 16 | uint64_t(header[7]) << 24);
    const uint64_t actual = std::filesystem::file_size(path, error);
    if (actual < size)
        throw std::runtime_error(path + ": truncated SoundFont, " + std::to_string(actual) + " of " +
                                 std::to_string(size) + " bytes");
}

// Loads the SoundFont with standard error closed: when fluidsynth's own loader refuses a
// file, Debian's build hands it on to libinstpatch, whose complaint goes through GLib
// straight to standard error, past fluidsynth's log.
int loadQuietly(fluid_synth_t* synth, const std::string& path)
{
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (saved >= 0 && null >= 0)
        dup2(null, STDERR_FILENO);
    const int id = fluid_synth_sfload(synth, path.c_str(), 1);
    if (saved >= 0 && null >= 0)
        dup2(saved, STDERR_FILENO);
    for (const int descriptor : {saved, null})
        if (descriptor >= 0)
            close(descriptor);
    return id;
}

void send(fluid_synth_t* synth, const std::vector<uint8_t>& message)
{
    if (!smf::isCompleteChannelMessage(message))
        return;
    const int channel = message[0] & 0x0F;
    const int data1 = message.size() > 1 ? message[1] : 0;
    const int data2 = message.size() > 2 ? message[2] : 0;
    switch (message[0] & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth, channel, data1); break;
    case 0x90:
        if (data2 == 0)
            fluid_synth_noteoff(synth, channel, data1);
        else
            fluid_synth_noteon(synth, channel, data1, data2);
        break;
    case 0xA0: fluid_synth_key_pressure(synth, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(synth, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(synth, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(synth, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(synth, channel, data1 | (data2 << 7)); break;
    default: break;
    }
}

int16_t toPcm(float value, int64_t& clipped)
{
    const double scaled = std::round(double(value) * 32768.0);
    if (scaled > 32767 || scaled < -32768) {
        ++clipped;
        return scaled > 0 ? int16_t{32767} : int16_t{-32768};
    }
    return static_cast<int16_t>(scaled);
}

}  // namespace

struct Synthesizer::State {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    bool played = false;  // then the next play starts a new synth
    std::string soundfont;
    int32_t sampleRate = 0;

    void startSynth()
    {
        if (synth != nullptr)
            delete_fluid_synth(synth);
        synth = new_fluid_synth(settings);
        if (synth == nullptr)
            throw std::runtime_error("cannot start the synthesizer: " + firstError);
        firstError.clear();
        if (loadQuietly(synth, soundfont) == FLUID_FAILED)
            throw std::runtime_error("cannot load the soundfont " + soundfont +
                                     (firstError.empty() ? "" : ": " + firstError));
        played = false;
    }

    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State()
    {
        if (synth != nullptr)
            delete_fluid_synth(synth);
        if (settings != nullptr)
            delete_fluid_settings(settings);
    }
};

bool synthesizerBuilt()
{
    return true;
}

std::string findSoundfont(const std::string& chosen)
{
    if (!chosen.empty())
        return chosen;
    std::string names;
    for (const char* name : soundfontSearch) {
        const std::string path = soundfontFolder + std::string(name);
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error))
            return path;
        names += (names.empty() ? "" : ", ") + std::string(name);
    }
    throw std::runtime_error("no General MIDI soundfont found (none of " + names + " in " + soundfontFolder +
                             "): install the Debian package timgm6mb-soundfont, or name one with --soundfont");
}

Synthesizer::Synthesizer(const std::string& soundfont, int32_t sampleRate, double gain)
    : state(std::make_unique<State>())
{
    routeLog();
    checkSoundfont(soundfont);
    state->sampleRate = sampleRate;
    state->settings = new_fluid_settings();
    if (state->settings == nullptr)
        throw std::runtime_error("cannot start the synthesizer: " + firstError);
    double lowest = 0;
    double highest = 0;
    fluid_settings_getnum_range(state->settings, "synth.sample-rate", &lowest, &highest);
    if (sampleRate < lowest || sampleRate > highest)
        throw std::runtime_error("the synthesizer runs at " + std::to_string(int(lowest)) + " to " +
                                 std::to_string(int(highest)) + " samples a second, not " +
                                 std::to_string(sampleRate) + ": choose another --rate for WAV output");
    fluid_settings_setnum(state->settings, "synth.sample-rate", sampleRate);
    fluid_settings_setnum(state->settings, "synth.gain", gain);
    fluid_settings_setint(state->settings, "synth.cpu-cores", 1);
    fluid_settings_setint(state->settings, "synth.reverb.active", 0);
    fluid_settings_setint(state->settings, "synth.chorus.active", 0);
    state->soundfont = soundfont;
    state->startSynth();
}

Synthesizer::~Synthesizer() = default;

Sound Synthesizer::play(const std::vector<TimedMessage>& messages, int64_t endSample)
{
    if (state->played)
        state->startSynth();
    state->played = true;
    fluid_synth_t* synth = state->synth;
    Sound sound;
    sound.sampleRate = state->sampleRate;
    sound.samples.reserve(static_cast<size_t>(2 * std::max<int64_t>(endSample, 0)));
    std::array<float, 1024> left{};
    std::array<float, 1024> right{};
    int64_t written = 0;
    const auto writeUntil = [&](int64_t end) {
        while (written < end) {
            const int count = static_cast<int>(std::min<int64_t>(end - written, left.size()));
            fluid_synth_write_float(synth, count, left.data(), 0, 1, right.data(), 0, 1);
            for (int i = 0; i < count; ++i) {
                sound.samples.push_back(toPcm(left[i], sound.clipped));
                sound.samples.push_back(toPcm(right[i], sound.clipped));
            }
            written += count;
        }
    };
    for (const TimedMessage& message : messages) {
        writeUntil(message.sample);
        send(synth, message.bytes);
    }
    writeUntil(endSample);

    // Pedals up and every note released, then the releases ring out.
    for (int channel = 0; channel < 16; ++channel) {
        fluid_synth_cc(synth, channel, 64, 0);
        fluid_synth_cc(synth, channel, 66, 0);
    }
    fluid_synth_all_notes_off(synth, -1);
    const int64_t last = written + static_cast<int64_t>(longestRelease * state->sampleRate);
    constexpr int64_t step = 64;
    while (written < last && fluid_synth_get_active_voice_count(synth) > 0)
        writeUntil(std::min(written + step, last));
    return sound;
}

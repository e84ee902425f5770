// A JACK MIDI client for live tests of a plug-in host: plays MIDI events into one port at
// frames counted from its start, and records what another port sends, with frames on the
// same count. Player and recorder are two JACK clients, so that the graph runs player,
// host, recorder within one cycle and a message passed straight through keeps its frame.
//
//   jack_midi_probe PLAY_TO RECORD_FROM FRAMES [BPM] < events > recorded
//
// Both event lists have one message a line: its frame, then its bytes in hexadecimal.
// The probe ends after FRAMES frames, or fails after 30 s of waiting for them; it then
// says on standard error how many times the server missed a deadline ("xruns N"). With BPM,
// the probe also rolls the transport as its timebase master, at that tempo in 4/4, bar
// and beat computed afresh from the frame every cycle, so that they never drift from it.
#include <jack/jack.h>
#include <jack/midiport.h>

#include <atomic>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Message {
    int64_t frame;
    std::vector<uint8_t> bytes;
};

struct Probe {
    jack_client_t* player = nullptr;
    jack_client_t* recorder = nullptr;
    jack_port_t* out = nullptr;
    jack_port_t* in = nullptr;
    std::vector<Message> toPlay;
    size_t played = 0;
    std::vector<Message> recorded;  // reserved before the clients run
    std::atomic<bool> armed{false};
    std::atomic<int64_t> start{-1};
    std::atomic<int64_t> recordedUpTo{0};
    std::atomic<int> xruns{0};
};

void beatsFromFrame(jack_transport_state_t, jack_nframes_t, jack_position_t* position, int, void* argument)
{
    const double beatsPerMinute = *static_cast<double*>(argument);
    const double ticksPerBeat = 1920;
    const double beats = double(position->frame) * beatsPerMinute / (60.0 * position->frame_rate);
    const auto wholeBeats = static_cast<int64_t>(beats);
    position->valid = JackPositionBBT;
    position->beats_per_bar = 4;
    position->beat_type = 4;
    position->ticks_per_beat = ticksPerBeat;
    position->beats_per_minute = beatsPerMinute;
    position->bar = int32_t(wholeBeats / 4) + 1;
    position->beat = int32_t(wholeBeats % 4) + 1;
    position->tick = int32_t((beats - double(wholeBeats)) * ticksPerBeat);
    position->bar_start_tick = double(position->bar - 1) * 4 * ticksPerBeat;
}

int play(jack_nframes_t frames, void* argument)
{
    auto& probe = *static_cast<Probe*>(argument);
    void* buffer = jack_port_get_buffer(probe.out, frames);
    jack_midi_clear_buffer(buffer);
    const int64_t now = jack_last_frame_time(probe.player);
    if (probe.start < 0 && probe.armed)
        probe.start = now;
    if (probe.start < 0)
        return 0;
    const int64_t cycleStart = now - probe.start;
    for (; probe.played < probe.toPlay.size(); ++probe.played) {
        const Message& message = probe.toPlay[probe.played];
        if (message.frame >= cycleStart + frames)
            break;
        const auto offset = static_cast<jack_nframes_t>(std::max<int64_t>(message.frame - cycleStart, 0));
        jack_midi_event_write(buffer, offset, message.bytes.data(), message.bytes.size());
    }
    return 0;
}

int record(jack_nframes_t frames, void* argument)
{
    auto& probe = *static_cast<Probe*>(argument);
    if (probe.start < 0)
        return 0;
    const int64_t cycleStart = int64_t(jack_last_frame_time(probe.recorder)) - probe.start;
    void* buffer = jack_port_get_buffer(probe.in, frames);
    const uint32_t count = jack_midi_get_event_count(buffer);
    for (uint32_t i = 0; i < count && probe.recorded.size() < probe.recorded.capacity(); ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) == 0)
            probe.recorded.push_back({cycleStart + event.time, {event.buffer, event.buffer + event.size}});
    }
    probe.recordedUpTo = cycleStart + frames;
    return 0;
}

std::vector<Message> readMessages(std::istream& input)
{
    std::vector<Message> messages;
    std::string line;
    while (std::getline(input, line)) {
        std::istringstream fields(line);
        Message message{};
        unsigned byte = 0;
        if (!(fields >> message.frame))
            continue;
        while (fields >> std::hex >> byte)
            message.bytes.push_back(static_cast<uint8_t>(byte));
        messages.push_back(std::move(message));
    }
    return messages;
}

int countXrun(void* argument)
{
    ++static_cast<Probe*>(argument)->xruns;
    return 0;
}

jack_client_t* openClient(const char* name, JackProcessCallback callback, Probe& probe)
{
    jack_client_t* client = jack_client_open(name, JackNoStartServer, nullptr);
    if (client == nullptr) {
        std::fprintf(stderr, "jack_midi_probe: no JACK server to join as %s\n", name);
        std::exit(1);
    }
    jack_set_process_callback(client, callback, &probe);
    return client;
}

void connect(jack_client_t* client, const char* from, const char* to)
{
    if (jack_connect(client, from, to) != 0) {
        std::fprintf(stderr, "jack_midi_probe: cannot connect %s to %s\n", from, to);
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: jack_midi_probe PLAY_TO RECORD_FROM FRAMES [BPM] < events > recorded\n");
        return 2;
    }
    static double beatsPerMinute = argc == 5 ? std::stod(argv[4]) : 0;
    const int64_t length = std::stoll(argv[3]);
    static Probe probe;
    probe.toPlay = readMessages(std::cin);
    probe.recorded.reserve(65536);
    probe.player = openClient("midi_probe_player", play, probe);
    probe.recorder = openClient("midi_probe_recorder", record, probe);
    jack_set_xrun_callback(probe.recorder, countXrun, &probe);
    probe.out = jack_port_register(probe.player, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    probe.in = jack_port_register(probe.recorder, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (jack_activate(probe.player) != 0 || jack_activate(probe.recorder) != 0)
        return 1;
    connect(probe.player, jack_port_name(probe.out), argv[1]);
    connect(probe.recorder, argv[2], jack_port_name(probe.in));
    if (beatsPerMinute > 0) {
        jack_set_timebase_callback(probe.player, 0, beatsFromFrame, &beatsPerMinute);
        jack_transport_locate(probe.player, 0);
        jack_transport_start(probe.player);
    }
    probe.armed = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (probe.start < 0 || probe.recordedUpTo < length) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "jack_midi_probe: %lld of %lld frames in 30 s\n",
                         static_cast<long long>(probe.recordedUpTo.load()), static_cast<long long>(length));
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    jack_deactivate(probe.recorder);
    jack_deactivate(probe.player);
    for (const Message& message : probe.recorded) {
        std::printf("%lld", static_cast<long long>(message.frame));
        for (uint8_t byte : message.bytes)
            std::printf(" %02x", byte);
        std::printf("\n");
    }
    std::fprintf(stderr, "xruns %d\n", probe.xruns.load());
    jack_client_close(probe.recorder);
    jack_client_close(probe.player);
    return 0;
}

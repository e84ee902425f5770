// A test-only module that logs what the frame does to it: spans with their position,
// hooks, and each pass of a logging pin. Created directly, driven through its
// IMpPlugin2 part with the stand-in host's services and event lists.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "event_list.h"
#include "host_services.h"
#include "mp_base2.h"

using Log = std::vector<std::string>;

// An integer input that logs the three passes: the first and third itself, the second
// through the handler the probe binds it with.
class LoggingPin final : public MpControlPinBase<int32_t> {
public:
    LoggingPin(Log& sharedLog, std::string pinName) : name(std::move(pinName)), log(sharedLog) {}
    int32_t direction() const noexcept override { return gmpi::pinDirectionIn; }
    void beforeEvent(const gmpi::HostEvent& event) noexcept override
    {
        log.push_back("before " + name);
        MpControlPinBase::beforeEvent(event);
    }
    void afterEvent(const gmpi::HostEvent& event) noexcept override
    {
        log.push_back("after " + name);
        MpControlPinBase::afterEvent(event);
    }

    const std::string name;

private:
    Log& log;
};

class FrameProbe final : public MpBase2 {
public:
    enum Pin { midiInPin, midiOutPin, firstPin, secondPin, audioPin, countPin, boolPin };

    explicit FrameProbe(Log& sharedLog) : log(sharedLog)
    {
        bindPin(midiInPin, midiIn);
        bindPin(midiOutPin, midiOut);
        bindPin(firstPin, first, &logDispatch);
        bindPin(secondPin, second, &logDispatch);
        bindPin(audioPin, audioIn);
        bindPin(countPin, countOut);
        bindPin(boolPin, flagIn);
    }

    void useOwnRoutine() { setProcessRoutine(&FrameProbe::ownRoutine); }
    void bindAgain(int32_t number, MpPinBase& pin, PinHandler handler = nullptr) { bindPin(number, pin, handler); }

    void handleMidi(int32_t pin, const uint8_t* bytes, int32_t length) noexcept override
    {
        log.push_back("midi pin " + std::to_string(pin) + " length " + std::to_string(length) + " at " +
                      std::to_string(blockPosition));
        if (echoMidi)
            midiOut.sendMidi(bytes, length, echoPosition);
    }
    void handlePinsChanged() noexcept override
    {
        log.push_back(std::string("pinsChanged") + (first.wasChanged ? " first" : "") +
                      (second.wasChanged ? " second" : "") + (flagIn.wasChanged ? " flag" : ""));
    }
    void handleGraphStart() noexcept override
    {
        log.push_back("graphStart");
        MpBase2::handleGraphStart();
    }
    void handleStreamingChange(bool streaming) noexcept override
    {
        log.push_back(streaming ? "streaming" : "not streaming");
        MpBase2::handleStreamingChange(streaming);
    }

    int32_t position() const { return blockPosition; }
    int32_t countdown() const { return sleepCountdown; }

    Log& log;
    MidiInPin midiIn;
    MidiOutPin midiOut;
    LoggingPin first{log, "first"};
    LoggingPin second{log, "second"};
    AudioInPin audioIn;
    IntOutPin countOut;
    BoolInPin flagIn;
    bool echoMidi = false;
    int32_t echoPosition = -1;
    float lastSample = 0.0f;
    std::vector<std::pair<size_t, int32_t>> spanStarts;  // log entry and position of each span

private:
    static void logDispatch(MpPluginBase& module, const gmpi::HostEvent& event)
    {
        auto& probe = static_cast<FrameProbe&>(module);
        probe.log.push_back("dispatch " + (event.pinNumber == firstPin ? probe.first : probe.second).name);
    }
    void ownRoutine(int32_t count)
    {
        log.push_back("span " + std::to_string(blockPosition) + "+" + std::to_string(count));
        spanStarts.emplace_back(log.size() - 1, blockPosition);
        if (count > 0)
            lastSample = audioIn.sampleAt(blockPosition + count - 1);
    }
};

// The probe with the stand-in host's services attached.
struct ProbeRig {
    Log log;
    host::HostServices services;
    FrameProbe* probe = new FrameProbe(log);
    host::EventList events;

    ProbeRig() { static_cast<gmpi::IMpPlugin2*>(probe)->attachHost(&services); }
    ~ProbeRig() { static_cast<gmpi::IMpPlugin2*>(probe)->release(); }

    // Processes one block with the events added so far, then starts a new list and log.
    // The spans of the block's last part are marked " last": those that start where the
    // block loop stops, unless a stamp at or past the block's end stopped it early.
    Log run(int32_t count)
    {
        log.clear();
        probe->spanStarts.clear();
        bool endedEarly = false;
        for (const gmpi::HostEvent* event = events.head(); event != nullptr; event = event->next)
            endedEarly = endedEarly || event->timeStamp >= std::max(count, 1);
        static_cast<gmpi::IMpPlugin2*>(probe)->processBlock(count, events.head());
        events.clear();
        for (const auto& [entry, start] : probe->spanStarts)
            if (!endedEarly && start == probe->position())
                log[entry] += " last";
        return log;
    }
    void startStreaming()
    {
        events.streamStart(0, FrameProbe::audioPin);
        run(1);
        services.clear();
    }
};

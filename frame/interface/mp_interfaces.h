// The binary interface between a host and a module library.
//
// Everything here is laid out exactly as a host compiled elsewhere expects it:
// interfaces are tables of operations in a fixed slot order, results are int32,
// identifiers are null-terminated strings of 16-bit code units, and HostEvent is
// a 40-byte record. The host side of this project includes this header and no
// other header of the library.
//
// Threads: the library takes no locks and uses no atomic operations, reference counts
// included. Calls on one object must never overlap: whoever owns a module calls it from
// one thread at a time (the audio thread while it processes). Different modules may be
// called on different threads at the same time.
//
// Rules that keep the layout stable across compilers:
// - no interface has a virtual destructor (g++ gives it two slots) or two
//   operations of the same name (MSVC groups overloads together);
// - only fixed-width integer types cross the boundary (`long` differs by platform);
// - no exception ever crosses an operation of these interfaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace gmpi {

// Result codes of every interface operation.
constexpr int32_t resultOk = 0;
constexpr int32_t resultFail = -1;      // exception inside the library, unbound pin, bad argument
constexpr int32_t resultNotFound = -2;  // identifier or interface not known

// A 128-bit interface identifier in GUID layout: little-endian first three groups,
// then eight bytes in order. Two identifiers are equal when all 16 bytes are.
struct MpGuid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};
static_assert(sizeof(MpGuid) == 16);

inline bool operator==(const MpGuid& a, const MpGuid& b) noexcept
{
    return std::memcmp(&a, &b, sizeof(MpGuid)) == 0;
}

// Note the C000 in the third group: this is not the well-known COM base identifier,
// which this interface rejects.
constexpr MpGuid iidUnknown{0x00000000, 0x0000, 0xC000, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr MpGuid iidFactory{0x9A7904B7, 0x7F7F, 0x4D61, {0xB5, 0x58, 0xC1, 0xA6, 0x69, 0x5B, 0xB6, 0x38}};
constexpr MpGuid iidFactory2{0x91C3D2EE, 0xC701, 0x4F35, {0x91, 0xA6, 0x09, 0x4D, 0xC7, 0xE0, 0x59, 0x76}};
constexpr MpGuid iidPlugin{0x2B0DFC7E, 0xA539, 0x49CD, {0xB7, 0x2D, 0x32, 0xFF, 0x9D, 0xF0, 0xD9, 0xE4}};
constexpr MpGuid iidPlugin2{0x1E07E3E8, 0x8118, 0x457F, {0xA6, 0x3C, 0xD4, 0xF2, 0x82, 0xA0, 0xF5, 0x19}};
constexpr MpGuid iidHostServices{0x4F1B532F, 0x3C46, 0x4927, {0xA4, 0x98, 0x61, 0x48, 0x67, 0x42, 0x5B, 0xE7}};

// Event types of HostEvent::type.
constexpr int32_t eventPinValue = 100;      // new value for a control input pin
constexpr int32_t eventStreamStart = 101;   // an audio input started streaming
constexpr int32_t eventStreamStop = 102;    // an audio input stopped streaming
constexpr int32_t eventMidi = 103;          // one MIDI message for a MIDI input pin
constexpr int32_t eventGraphStart = 104;    // the processing graph starts

// Pin directions, in the host's vocabulary.
constexpr int32_t pinDirectionIn = 0;
constexpr int32_t pinDirectionOut = 1;

// One event of a block. Events form a singly linked list in non-decreasing
// timeStamp order. The record and its data belong to the host and are valid only
// during the processBlock call that receives them.
struct HostEvent {
    int32_t timeStamp;       // sample offset within the block, expected in [0, sample count)
    int32_t type;            // eventPinValue .. eventGraphStart
    int32_t pinNumber;       // pin addressed by types 100 to 103
    int32_t size;            // byte count of the data
    uint8_t inlineData[8];   // the data when extraData is null (8 bytes at most)
    const uint8_t* extraData;  // the data when it does not fit inline, else null
    const HostEvent* next;     // next event of the block, null at the end
};
static_assert(sizeof(HostEvent) == 40);
static_assert(offsetof(HostEvent, timeStamp) == 0);
static_assert(offsetof(HostEvent, type) == 4);
static_assert(offsetof(HostEvent, pinNumber) == 8);
static_assert(offsetof(HostEvent, size) == 12);
static_assert(offsetof(HostEvent, inlineData) == 16);
static_assert(offsetof(HostEvent, extraData) == 24);
static_assert(offsetof(HostEvent, next) == 32);

// Slots 0 to 2 of every interface.
class IMpUnknown {
public:
    // Writes the interface named by `iid` (with one added reference, held by the caller) or
    // null to `*returnInterface`. Called by the object's owner, never at the same time as
    // another call on the same object.
    virtual int32_t queryInterface(const MpGuid* iid, void** returnInterface) = 0;
    // Adds a reference held by the caller; returns the new count. A plain count: never at
    // the same time as another call on the same object, from whatever thread.
    virtual int32_t addRef() = 0;
    // Drops the caller's reference; the object may be destroyed. Returns the new count.
    // Never at the same time as another call on the same object.
    virtual int32_t release() = 0;

protected:
    ~IMpUnknown() = default;
};

// The library's factory: a process-wide object that lives until the process ends. Its
// reference count is not kept: addRef and release return 1 and never destroy it.
class IMpFactory : public IMpUnknown {
public:
    // Slot 3. Creates the module registered under (identifier, subtype) and attaches `host`
    // to it. The new module's IMpPlugin2 part, holding one reference owned by the
    // caller, goes to `*module`. Called by the host on its loading or user thread.
    virtual int32_t createModule(const char16_t* identifier, int32_t subtype, IMpUnknown* host,
                                 IMpUnknown** module) = 0;
    // Slot 4. Writes the library's version number and, if `capacity` (in code units,
    // terminator included) is large enough, its build text into `text`. Host's loading or
    // user thread; the caller owns `version` and `text`.
    virtual int32_t buildInformation(int32_t* version, int32_t capacity, char16_t* text) = 0;

protected:
    ~IMpFactory() = default;
};

class IMpFactory2 : public IMpFactory {
public:
    // Slot 5. As createModule, but attaches no host; the caller attaches one later
    // through the module's IMpPlugin2::attachHost. Host's loading or user thread.
    virtual int32_t createModuleWithoutHost(const char16_t* identifier, int32_t subtype,
                                            IMpUnknown** module) = 0;

protected:
    ~IMpFactory2() = default;
};

// A module's primary part, reached through queryInterface with iidPlugin or iidUnknown.
class IMpPlugin : public IMpUnknown {
public:
    virtual int32_t prepare() = 0;  // slot 3: no effect; any thread, never during another call
    // Slot 4. Hands the host's sample buffer of one audio input; -1 when the pin is not bound.
    // The buffer stays the host's; it must hold a whole block's samples while processing.
    // Host's user thread, or the audio thread between blocks; never during processBlock.
    virtual int32_t attachPinBuffer(int32_t pinNumber, const float* buffer) = 0;
    // Slot 5. Processes one block on the host's audio thread (see IMpPlugin2::processBlock).
    virtual void processBlock(int32_t sampleCount, const HostEvent* events) = 0;
    // Slot 6: returns 0 and touches nothing. Any thread, never during another call.
    virtual int32_t customRequest(int32_t request, int32_t argument, void* data) = 0;

protected:
    ~IMpPlugin() = default;
};

// A module's second part: what the factory hands to the host.
class IMpPlugin2 : public IMpUnknown {
public:
    // Slot 3. Queries `host` for IMpHostServices and keeps that reference until destruction.
    // Host's loading or user thread, before the module processes.
    virtual int32_t attachHost(IMpUnknown* host) = 0;
    virtual int32_t prepare() = 0;  // slot 4: as IMpPlugin's slot 3
    virtual int32_t attachPinBuffer(int32_t pinNumber, const float* buffer) = 0;  // slot 5: as IMpPlugin's slot 4
    // Slot 6. Processes one block of `sampleCount` samples on the host's audio thread.
    // Events are read during the call only. Real-time safe: never allocates, locks or blocks.
    virtual void processBlock(int32_t sampleCount, const HostEvent* events) = 0;
    virtual int32_t customRequest(int32_t request, int32_t argument, void* data) = 0;  // slot 7: as IMpPlugin's slot 6

protected:
    ~IMpPlugin2() = default;
};

// The host's services, called by modules on the audio thread from inside processBlock.
class IMpHostServices : public IMpUnknown {
public:
    // Slot 3. Takes `size` bytes as the output of pin `pinNumber` at sample offset
    // `blockPosition` of the current block. The bytes are valid only during the call.
    virtual int32_t setPinData(int32_t blockPosition, int32_t pinNumber, int32_t size, const void* data) = 0;
    // Slot 4. Not called by this library; present so that the sleep request keeps slot 5.
    virtual int32_t reserved() = 0;
    // Slot 5. The module asks not to be processed until one of its inputs changes.
    virtual int32_t sleepRequest() = 0;

protected:
    ~IMpHostServices() = default;
};

}  // namespace gmpi

// A module's third part, outside gmpi: reached only by run-time type conversion inside
// the library, never through queryInterface. Slot 0 is IMpPlugin2::attachHost (same thread).
class IoldSchoolInitialisation {
public:
    virtual int32_t attachHost(gmpi::IMpUnknown* host) = 0;

protected:
    ~IoldSchoolInitialisation() = default;
};

namespace gmpi {

// The one exported function. Writes the factory (IMpUnknown part) to `*factory`. Any
// thread; the factory is built while the library loads.
using GetFactoryFunction = int32_t (*)(void** factory);
constexpr const char* getFactoryName = "MP_GetFactory";

}  // namespace gmpi

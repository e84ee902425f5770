// Slot order checked without the library's own interface declarations: operations are
// called by their slot index, and the host's services are a table of plain functions,
// as a host compiled by another compiler would lay them out.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "library_fixture.h"

namespace {

using Slot = void*;

// Text as a host writes it: a host compiled for Windows uses wchar_t, 16 bits wide there;
// elsewhere wchar_t has 32 bits and a host uses char16_t.
#if defined(_WIN32)
using HostChar = wchar_t;
#else
using HostChar = char16_t;
#endif
static_assert(sizeof(HostChar) == 2);
using HostText = std::basic_string<HostChar>;

HostText hostText(std::string_view ascii)
{
    return {ascii.begin(), ascii.end()};
}

const Slot* slotsOf(const void* object)
{
    return *static_cast<const Slot* const*>(object);
}

template <typename Result, typename... Args>
Result callSlot(void* object, int slot, Args... args)
{
    using Function = Result (*)(void*, Args...);
    return reinterpret_cast<Function>(slotsOf(object)[slot])(object, args...);
}

// A host object laid out by hand: one pointer to a table of six operations.
struct RawHost {
    const Slot* table;
    int references = 0;
    std::vector<std::string> calls;
};

int32_t rawQuery(RawHost* self, const gmpi::MpGuid* iid, void** out)
{
    self->calls.push_back("query");
    *out = *iid == gmpi::iidHostServices ? self : nullptr;
    self->references += *out != nullptr;
    return *out != nullptr ? gmpi::resultOk : gmpi::resultNotFound;
}
int32_t rawAddRef(RawHost* self) { self->calls.push_back("addRef"); return ++self->references; }
int32_t rawRelease(RawHost* self) { self->calls.push_back("release"); return --self->references; }
int32_t rawPinData(RawHost* self, int32_t position, int32_t pin, int32_t size, const uint8_t* bytes)
{
    std::string call = "pin ";
    call += std::to_string(pin) + " at " + std::to_string(position) + ":";
    for (int32_t i = 0; i < size; ++i)
        call += " " + std::to_string(bytes[i]);
    self->calls.push_back(call);
    return 0;
}
int32_t rawSlot4(RawHost* self) { self->calls.push_back("slot 4"); return 0; }
int32_t rawSleep(RawHost* self) { self->calls.push_back("sleep"); return 0; }

const Slot rawHostTable[] = {reinterpret_cast<Slot>(&rawQuery),   reinterpret_cast<Slot>(&rawAddRef),
                             reinterpret_cast<Slot>(&rawRelease), reinterpret_cast<Slot>(&rawPinData),
                             reinterpret_cast<Slot>(&rawSlot4),   reinterpret_cast<Slot>(&rawSleep)};

void* factoryObject()
{
    void* factory = nullptr;
    builtLibrary().entryPoint()(&factory);
    return factory;
}

TEST(Slots, FactoryOperationsSitInTheirSlots)
{
    void* factory = factoryObject();
    int32_t version = 0;
    HostChar text[32];
    std::fill(std::begin(text), std::end(text), HostChar('x'));
    EXPECT_EQ((callSlot<int32_t, int32_t*, int32_t, HostChar*>(factory, 4, &version, 28, text)), 0);
    EXPECT_EQ(version, 30800);
    EXPECT_EQ(HostText(text), hostText("MS Compiler V1924 (Release)"));
    EXPECT_EQ(text[28], HostChar('x'));  // nothing written past the capacity

    const HostText transposer = hostText("MIDI_Transposer");
    void* module = nullptr;
    EXPECT_EQ((callSlot<int32_t, const HostChar*, int32_t, void**>(factory, 5, transposer.c_str(), 0, &module)), 0);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(callSlot<int32_t>(module, 2), 0);  // release destroys it

    RawHost host{rawHostTable, 0, {}};
    EXPECT_EQ((callSlot<int32_t, const HostChar*, int32_t, void*, void**>(factory, 3, transposer.c_str(), 0,
                                                                          &host, &module)),
              0);
    EXPECT_EQ(host.references, 1);
    EXPECT_EQ(callSlot<int32_t>(module, 2), 0);
    EXPECT_EQ(host.references, 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"query", "release"}));
}

TEST(Slots, BothModulePartsAndTheHostTableLineUp)
{
    RawHost host{rawHostTable, 0, {}};
    void* factory = factoryObject();
    void* plugin2 = nullptr;
    ASSERT_EQ((callSlot<int32_t, const HostChar*, int32_t, void*, void**>(factory, 3,
                                                                          hostText("MIDI_Transposer").c_str(),
                                                                          0, &host, &plugin2)),
              0);

    // Second part: 5 attachPinBuffer, 6 processBlock, 7 customRequest.
    EXPECT_EQ((callSlot<int32_t, int32_t, const float*>(plugin2, 5, 42, nullptr)), -1);
    host::EventList events;
    events.midi(3, 0, {0x92, 64, 90});
    callSlot<void, int32_t, const gmpi::HostEvent*>(plugin2, 6, 8, events.head());
    EXPECT_EQ((callSlot<int32_t, int32_t, int32_t, void*>(plugin2, 7, 0, 0, nullptr)), 0);

    // Primary part: 4 attachPinBuffer, 5 processBlock, 6 customRequest.
    void* plugin = nullptr;
    ASSERT_EQ((callSlot<int32_t, const gmpi::MpGuid*, void**>(plugin2, 0, &gmpi::iidPlugin, &plugin)), 0);
    EXPECT_EQ((callSlot<int32_t, int32_t, const float*>(plugin, 4, 42, nullptr)), -1);
    callSlot<void, int32_t, const gmpi::HostEvent*>(plugin, 5, 8, events.head());
    EXPECT_EQ((callSlot<int32_t, int32_t, int32_t, void*>(plugin, 6, 0, 0, nullptr)), 0);
    EXPECT_EQ(callSlot<int32_t>(plugin, 1), 3);  // addRef
    EXPECT_EQ(callSlot<int32_t>(plugin, 2), 2);
    EXPECT_EQ(callSlot<int32_t>(plugin, 2), 1);
    EXPECT_EQ(callSlot<int32_t>(plugin2, 2), 0);

    // The transposer has no audio input, so the last span of each block asks to sleep.
    EXPECT_EQ(host.calls, (std::vector<std::string>{"query", "pin 1 at 0: 144 64 90", "sleep",
                                                     "pin 1 at 0: 144 64 90", "sleep", "release"}));
}

}  // namespace

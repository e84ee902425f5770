// The library as a host compiled elsewhere sees it: entry point, factory, identifiers,
// result codes, interface parts and reference counts.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "library_fixture.h"

namespace {

using Bytes = std::array<uint8_t, 16>;

Bytes bytesOf(const gmpi::MpGuid& iid)
{
    Bytes bytes;
    std::memcpy(bytes.data(), &iid, bytes.size());
    return bytes;
}

// The well-known base identifier of other component systems; not ours.
constexpr gmpi::MpGuid comBaseIdentifier{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

gmpi::IMpFactory2& factory()
{
    return builtLibrary().factory();
}

TEST(Identifiers, HaveTheirByteLayout)
{
    EXPECT_EQ(bytesOf(gmpi::iidUnknown), (Bytes{0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0, 0x46}));
    EXPECT_EQ(bytesOf(gmpi::iidFactory),
              (Bytes{0xB7, 0x04, 0x79, 0x9A, 0x7F, 0x7F, 0x61, 0x4D, 0xB5, 0x58, 0xC1, 0xA6, 0x69, 0x5B, 0xB6, 0x38}));
    EXPECT_EQ(bytesOf(gmpi::iidFactory2),
              (Bytes{0xEE, 0xD2, 0xC3, 0x91, 0x01, 0xC7, 0x35, 0x4F, 0x91, 0xA6, 0x09, 0x4D, 0xC7, 0xE0, 0x59, 0x76}));
    EXPECT_EQ(bytesOf(gmpi::iidPlugin2),
              (Bytes{0xE8, 0xE3, 0x07, 0x1E, 0x18, 0x81, 0x7F, 0x45, 0xA6, 0x3C, 0xD4, 0xF2, 0x82, 0xA0, 0xF5, 0x19}));
    EXPECT_EQ(bytesOf(gmpi::iidPlugin),
              (Bytes{0x7E, 0xFC, 0x0D, 0x2B, 0x39, 0xA5, 0xCD, 0x49, 0xB7, 0x2D, 0x32, 0xFF, 0x9D, 0xF0, 0xD9, 0xE4}));
    EXPECT_EQ(bytesOf(gmpi::iidHostServices),
              (Bytes{0x2F, 0x53, 0x1B, 0x4F, 0x46, 0x3C, 0x27, 0x49, 0xA4, 0x98, 0x61, 0x48, 0x67, 0x42, 0x5B, 0xE7}));
}

TEST(EntryPoint, ReturnsTheSameFactoryEveryTime)
{
    void* first = nullptr;
    void* second = nullptr;
    EXPECT_EQ(builtLibrary().entryPoint()(&first), gmpi::resultOk);
    EXPECT_EQ(builtLibrary().entryPoint()(&second), gmpi::resultOk);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(builtLibrary().entryPoint()(nullptr), gmpi::resultFail);
}

TEST(Factory, AnswersItsThreeIdentifiersWithOneAddress)
{
    for (const gmpi::MpGuid& iid : {gmpi::iidUnknown, gmpi::iidFactory, gmpi::iidFactory2}) {
        void* answer = nullptr;
        EXPECT_EQ(factory().queryInterface(&iid, &answer), gmpi::resultOk);
        EXPECT_EQ(answer, static_cast<void*>(&factory()));
    }
    for (const gmpi::MpGuid& iid : {comBaseIdentifier, gmpi::iidPlugin, gmpi::iidHostServices}) {
        void* answer = &factory();
        EXPECT_EQ(factory().queryInterface(&iid, &answer), gmpi::resultNotFound);
        EXPECT_EQ(answer, nullptr);
    }
    void* answer = &factory();
    EXPECT_EQ(factory().queryInterface(nullptr, &answer), gmpi::resultNotFound);
    EXPECT_EQ(answer, nullptr);
    EXPECT_EQ(factory().queryInterface(&gmpi::iidUnknown, nullptr), gmpi::resultFail);
}

TEST(Factory, ReferenceCountIsFixed)
{
    EXPECT_EQ(factory().addRef(), 1);
    EXPECT_EQ(factory().release(), 1);
}

TEST(Factory, BuildInformationNeedsRoomForTheWholeText)
{
    int32_t version = 0;
    char16_t text[40];
    std::fill(std::begin(text), std::end(text), u'x');
    EXPECT_EQ(factory().buildInformation(&version, 28, text), gmpi::resultOk);
    EXPECT_EQ(version, 30800);
    EXPECT_EQ(std::u16string(text), u"MS Compiler V1924 (Release)");

    std::fill(std::begin(text), std::end(text), u'x');
    EXPECT_EQ(factory().buildInformation(&version, 27, text), gmpi::resultFail);
    EXPECT_EQ(text[0], u'\0');
    EXPECT_EQ(text[1], u'x');  // nothing written past the empty string

    text[0] = u'x';
    EXPECT_EQ(factory().buildInformation(&version, 0, text), gmpi::resultFail);
    EXPECT_EQ(text[0], u'x');
    EXPECT_EQ(factory().buildInformation(nullptr, 28, nullptr), gmpi::resultFail);
}

TEST(Factory, CreatesOnlyExactlyRegisteredKeys)
{
    host::HostServices services;
    gmpi::IMpUnknown* module = &factory();
    EXPECT_EQ(factory().createModule(u"MIDI_Arp", 1, &services, &module), gmpi::resultNotFound);
    EXPECT_EQ(module, nullptr);
    EXPECT_EQ(factory().createModule(u"midi_transposer", 0, &services, &module), gmpi::resultNotFound);
    EXPECT_EQ(factory().createModule(u"MIDI_Transposer ", 0, &services, &module), gmpi::resultNotFound);
    EXPECT_EQ(factory().createModule(u"", 0, &services, &module), gmpi::resultNotFound);
    EXPECT_EQ(factory().createModule(nullptr, 0, &services, &module), gmpi::resultNotFound);
    EXPECT_EQ(factory().createModule(u"MIDI_Transposer", 0, &services, nullptr), gmpi::resultFail);
    EXPECT_EQ(factory().createModuleWithoutHost(u"MIDI_Transposer", 0, nullptr), gmpi::resultFail);
    EXPECT_EQ(services.references(), 0);
}

TEST(Factory, CreatesAllSevenModules)
{
    for (const char16_t* identifier : {u"MIDI_Arp", u"MIDI_Block", u"MIDI_NoteCounter", u"MIDI_RhythmSeq",
                                       u"MIDI_ScaledSeq", u"MIDI_SemiSeq", u"MIDI_Transposer"}) {
        host::HostServices services;
        gmpi::IMpUnknown* module = nullptr;
        ASSERT_EQ(factory().createModule(identifier, 0, &services, &module), gmpi::resultOk)
            << host::toUtf8(identifier);
        EXPECT_EQ(services.references(), 1);
        EXPECT_EQ(module->release(), 0);
        EXPECT_EQ(services.references(), 0);
    }
}

class CreatedModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(factory().createModule(u"MIDI_Transposer", 0, &services, &created), gmpi::resultOk);
        ASSERT_NE(created, nullptr);
    }
    void TearDown() override
    {
        if (created != nullptr)
            created->release();
    }

    host::HostServices services;
    gmpi::IMpUnknown* created = nullptr;
};

TEST_F(CreatedModule, IsHandedOverAsItsSecondPart)
{
    void* plugin2 = nullptr;
    ASSERT_EQ(created->queryInterface(&gmpi::iidPlugin2, &plugin2), gmpi::resultOk);
    EXPECT_EQ(plugin2, static_cast<void*>(created));
    void* plugin = nullptr;
    void* unknown = nullptr;
    ASSERT_EQ(created->queryInterface(&gmpi::iidPlugin, &plugin), gmpi::resultOk);
    ASSERT_EQ(created->queryInterface(&gmpi::iidUnknown, &unknown), gmpi::resultOk);
    EXPECT_EQ(plugin, unknown);
    EXPECT_NE(plugin, plugin2);
    // Each answer added a reference: three to drop before the creation reference.
    EXPECT_EQ(created->release(), 3);
    EXPECT_EQ(created->release(), 2);
    EXPECT_EQ(static_cast<gmpi::IMpPlugin*>(plugin)->release(), 1);
}

TEST_F(CreatedModule, AnswersNoOtherIdentifier)
{
    for (const gmpi::MpGuid& iid : {comBaseIdentifier, gmpi::iidFactory, gmpi::iidFactory2, gmpi::iidHostServices}) {
        void* answer = created;
        EXPECT_EQ(created->queryInterface(&iid, &answer), gmpi::resultNotFound);
        EXPECT_EQ(answer, nullptr);
    }
    EXPECT_EQ(created->queryInterface(&gmpi::iidPlugin2, nullptr), gmpi::resultFail);
}

TEST_F(CreatedModule, HoldsOneHostReferenceUntilDestroyed)
{
    EXPECT_EQ(services.references(), 1);
    EXPECT_EQ(created->addRef(), 2);
    EXPECT_EQ(created->release(), 1);
    EXPECT_EQ(services.references(), 1);
    EXPECT_EQ(created->release(), 0);
    created = nullptr;
    EXPECT_EQ(services.references(), 0);
}

TEST_F(CreatedModule, RejectsBuffersForUnboundPins)
{
    auto* plugin2 = static_cast<gmpi::IMpPlugin2*>(created);
    const float samples[4] = {};
    EXPECT_EQ(plugin2->attachPinBuffer(99, samples), gmpi::resultFail);
    EXPECT_EQ(plugin2->attachPinBuffer(-1, samples), gmpi::resultFail);
    EXPECT_EQ(plugin2->attachPinBuffer(0, samples), gmpi::resultOk);
}

TEST_F(CreatedModule, CustomRequestsReturnZeroOnBothParts)
{
    auto* plugin2 = static_cast<gmpi::IMpPlugin2*>(created);
    void* plugin = nullptr;
    ASSERT_EQ(created->queryInterface(&gmpi::iidPlugin, &plugin), gmpi::resultOk);
    EXPECT_EQ(plugin2->customRequest(1, 2, nullptr), 0);
    EXPECT_EQ(static_cast<gmpi::IMpPlugin*>(plugin)->customRequest(1, 2, nullptr), 0);
    EXPECT_EQ(plugin2->prepare(), 0);
    EXPECT_EQ(static_cast<gmpi::IMpPlugin*>(plugin)->prepare(), 0);
    static_cast<gmpi::IMpPlugin*>(plugin)->release();
}

TEST(ModuleWithoutHost, CanBeAttachedLater)
{
    gmpi::IMpUnknown* created = nullptr;
    ASSERT_EQ(factory().createModuleWithoutHost(u"MIDI_Transposer", 0, &created), gmpi::resultOk);
    auto* plugin = static_cast<gmpi::IMpPlugin2*>(created);
    host::EventList events;
    events.midi(0, 0, {0x90, 60, 100});
    plugin->processBlock(16, events.head());  // no host yet: the output is dropped

    host::HostServices services;
    EXPECT_EQ(plugin->attachHost(nullptr), gmpi::resultFail);
    EXPECT_EQ(plugin->attachHost(&services), gmpi::resultOk);
    plugin->processBlock(16, events.head());
    EXPECT_EQ(services.pinData(1), (std::vector<host::PinData>{{0, 1, {0x90, 60, 100}}}));

    host::HostServices other;
    EXPECT_EQ(plugin->attachHost(&other), gmpi::resultOk);
    EXPECT_EQ(services.references(), 0);  // the first host's reference was given back
    plugin->release();
    EXPECT_EQ(other.references(), 0);
}

TEST(ModuleWithoutHost, IsWhatCreateModuleGivesForANullHost)
{
    gmpi::IMpUnknown* created = nullptr;
    ASSERT_EQ(factory().createModule(u"MIDI_Transposer", 0, nullptr, &created), gmpi::resultOk);
    ASSERT_NE(created, nullptr);
    static_cast<gmpi::IMpPlugin2*>(created)->processBlock(8, nullptr);
    EXPECT_EQ(created->release(), 0);
}

}  // namespace

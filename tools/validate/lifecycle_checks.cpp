#include "lifecycle_checks.h"

#include <algorithm>
#include <string>

#include "checking_host.h"
#include "event_list.h"

namespace validate {
namespace {

// The well-known COM base identifier, which this interface does not answer to.
constexpr gmpi::MpGuid comUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// A host object that offers no services.
class BareHost final : public gmpi::IMpUnknown {
public:
    int32_t queryInterface(const gmpi::MpGuid*, void** returnInterface) override
    {
        if (returnInterface != nullptr)
            *returnInterface = nullptr;
        return gmpi::resultNotFound;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
};

std::string expectCount(const char* step, int32_t got, int32_t expected)
{
    if (got == expected)
        return {};
    return std::string(step) + " returned " + std::to_string(got) + ", expected " + std::to_string(expected);
}

// A block that makes a module send whatever it sends: graph start, a note on every
// MIDI channel, a value on every low pin.
void processSomething(gmpi::IMpPlugin2& plugin)
{
    host::EventList events;
    events.graphStart(0);
    for (int32_t pin = 0; pin < 16; ++pin)
        events.midi(1, pin, {static_cast<uint8_t>(0x90 | pin), 60, 100}).value(2, pin, 1);
    plugin.processBlock(64, events.head());
    plugin.processBlock(64, nullptr);
}

gmpi::IMpPlugin2* createWithoutHost(gmpi::IMpFactory2& factory, const char16_t* identifier, std::string& problem)
{
    gmpi::IMpUnknown* created = nullptr;
    const int32_t result = factory.createModuleWithoutHost(identifier, 0, &created);
    if (result != gmpi::resultOk || created == nullptr)
        problem = "createModuleWithoutHost returned " + std::to_string(result);
    return static_cast<gmpi::IMpPlugin2*>(created);
}

}  // namespace

std::string checkInterfaces(gmpi::IMpPlugin2& plugin)
{
    void* second = nullptr;
    void* primary = nullptr;
    void* unknown = nullptr;
    if (plugin.queryInterface(&gmpi::iidPlugin2, &second) != gmpi::resultOk || second != &plugin)
        return "queryInterface(IMpPlugin2) does not give back the part the factory returned";
    if (plugin.queryInterface(&gmpi::iidPlugin, &primary) != gmpi::resultOk || primary == nullptr)
        return "queryInterface(IMpPlugin) failed";
    if (plugin.queryInterface(&gmpi::iidUnknown, &unknown) != gmpi::resultOk || unknown != primary)
        return "queryInterface(IMpUnknown) does not give the primary part";
    for (const gmpi::MpGuid* foreign : {&comUnknown, &gmpi::iidHostServices, &gmpi::iidFactory}) {
        void* answer = &plugin;
        if (plugin.queryInterface(foreign, &answer) != gmpi::resultNotFound || answer != nullptr)
            return "queryInterface answers an identifier it does not implement";
    }
    auto& primaryPart = *static_cast<gmpi::IMpPlugin*>(primary);
    if (primaryPart.prepare() != gmpi::resultOk || plugin.prepare() != gmpi::resultOk)
        return "prepare did not return 0";
    // Creation reference plus three queries: four held now.
    std::string problem = expectCount("addRef after three queries", plugin.addRef(), 5);
    for (int32_t expected = 4; problem.empty() && expected >= 1; --expected)
        problem = expectCount("release", expected % 2 == 0 ? primaryPart.release() : plugin.release(), expected);
    return problem;
}

std::string checkHostAttachment(gmpi::IMpFactory2& factory, const char16_t* identifier, int& casesTried)
{
    std::string problem;
    CheckingHost first;
    CheckingHost second;
    BareHost bare;

    gmpi::IMpPlugin2* plugin = createWithoutHost(factory, identifier, problem);
    if (plugin == nullptr)
        return problem;
    processSomething(*plugin);  // no host attached: outputs and sleep requests have nowhere to go
    if (plugin->attachHost(&bare) == gmpi::resultOk)
        problem = "attachHost reports success with a host that has no services";
    processSomething(*plugin);
    if (problem.empty() && plugin->attachHost(&first) != gmpi::resultOk)
        problem = "attachHost with the host services failed";
    if (problem.empty() && plugin->attachHost(&second) != gmpi::resultOk)
        problem = "a second attachHost failed";
    processSomething(*plugin);
    casesTried += 2;
    const int32_t last = plugin->release();
    if (problem.empty())
        problem = expectCount("the last release", last, 0);
    if (problem.empty() && (first.referenceCount() != 0 || second.referenceCount() != 0))
        problem = "hosts still referenced after destruction: " + std::to_string(first.referenceCount()) + " and " +
                  std::to_string(second.referenceCount()) + " references left";
    return problem;
}

std::string checkFactory(gmpi::GetFactoryFunction entryPoint, gmpi::IMpFactory2& factory)
{
    void* once = nullptr;
    void* twice = nullptr;
    if (entryPoint(&once) != gmpi::resultOk || entryPoint(&twice) != gmpi::resultOk || once != twice ||
        once == nullptr)
        return "MP_GetFactory does not give the same factory every time";
    void* answer = &factory;
    if (factory.queryInterface(&comUnknown, &answer) != gmpi::resultNotFound || answer != nullptr)
        return "the factory answers the COM base identifier";
    for (const char16_t* unknown : {u"", u"NoSuchModule", u"midi_transposer"}) {
        gmpi::IMpUnknown* created = reinterpret_cast<gmpi::IMpUnknown*>(&factory);
        CheckingHost host;
        if (factory.createModule(unknown, 0, &host, &created) != gmpi::resultNotFound || created != nullptr)
            return "createModule of an unknown identifier did not return -2 and null";
        created = reinterpret_cast<gmpi::IMpUnknown*>(&factory);
        if (factory.createModuleWithoutHost(unknown, 0, &created) != gmpi::resultNotFound || created != nullptr)
            return "createModuleWithoutHost of an unknown identifier did not return -2 and null";
    }
    int32_t version = 0;
    char16_t text[65];
    for (int32_t capacity : {0, 1, 2, 27, 28, 64}) {
        for (char16_t& unit : text)
            unit = u'#';
        factory.buildInformation(&version, capacity, text);
        if (capacity > 0 && std::char_traits<char16_t>::find(text, static_cast<size_t>(capacity), u'\0') == nullptr)
            return "buildInformation leaves the text unterminated with capacity " + std::to_string(capacity);
        if (text[std::max(capacity, 0)] != u'#')
            return "buildInformation writes past its capacity of " + std::to_string(capacity);
    }
    return {};
}

}  // namespace validate

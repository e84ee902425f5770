#include "validator.h"

#include <exception>
#include <memory>

#include "allocation_guard.h"
#include "lifecycle_checks.h"
#include "module_library.h"
#include "module_session.h"

namespace validate {
namespace {

std::string describe(const BlockCounts& counts)
{
    return std::to_string(counts.blocks) + " blocks, " + std::to_string(counts.samples) + " samples, " +
           std::to_string(counts.events()) + " events (" + std::to_string(counts.midi) + " MIDI of which " +
           std::to_string(counts.sysex) + " sysex, " + std::to_string(counts.values) + " values, " +
           std::to_string(counts.streamChanges) + " stream changes, " + std::to_string(counts.graphStarts) +
           " graph starts)";
}

std::unique_ptr<ModuleSession> create(gmpi::IMpFactory2& factory, const std::u16string& identifier,
                                      int32_t& result)
{
    auto services = std::make_unique<CheckingHost>();
    gmpi::IMpUnknown* created = nullptr;
    result = factory.createModule(identifier.c_str(), 0, services.get(), &created);
    if (result != gmpi::resultOk || created == nullptr)
        return nullptr;
    return std::make_unique<ModuleSession>(static_cast<gmpi::IMpPlugin2*>(created), std::move(services));
}

std::string runRandomBlocks(ModuleSession& session, RandomSource& random, int32_t blockCount)
{
    BlockGenerator& generator = session.generator(random);
    for (int32_t block = 0; block < blockCount; ++block) {
        const int32_t sampleCount = generator.next(session.events());
        session.process(sampleCount);
        if (std::string problem = session.problem(); !problem.empty())
            return problem;
    }
    return {};
}

// Every case runs even after one fails, so the line names all that failed.
std::string runMalformedCases(ModuleSession& session, int& casesTried)
{
    std::string failed;
    for (const MalformedCase& malformed : malformedCases()) {
        malformed.run(session);
        ++casesTried;
        if (std::string problem = session.problem(); !problem.empty()) {
            failed += (failed.empty() ? "" : "; ") + std::string(malformed.name) + ": " + problem;
            session.host().clearFault();
        }
    }
    return failed;
}

std::string listOf(const std::vector<int32_t>& pins)
{
    std::string list;
    for (int32_t pin : pins)
        list += " " + std::to_string(pin);
    return list;
}

void reportAllocations(const std::string& name, const ModuleSession& session, Report& report)
{
    const char* check = "no allocation in processing";
    if (!allocation_guard::available()) {
        report.line(Outcome::skip, name, check, "no guard in sanitizer builds: the plain and rtsan builds watch");
        return;
    }
    const std::string problem =
        session.allocations() == 0 ? "" : std::to_string(session.allocations()) + " heap calls inside processBlock";
    report.verdict(name, check, problem,
                   std::to_string(session.blocksProcessed()) + " blocks guarded, " +
                       std::to_string(session.host().pinDataCalls()) + " outputs, " +
                       std::to_string(session.host().sleepRequests()) + " sleep requests");
}

// The module goes when its last reference does, and takes its host reference with it.
std::string releaseProblem(ModuleSession& session)
{
    if (const int32_t last = session.release(); last != 0)
        return "the last release returned " + std::to_string(last);
    if (const int32_t left = session.host().referenceCount(); left != 0)
        return "the host is still referenced " + std::to_string(left) + " times after destruction";
    return {};
}

// The checks of one module, in the order a host meets it. Returns false when the
// library does not have the module.
bool validateModule(gmpi::IMpFactory2& factory, const std::string& name, const Settings& settings, Report& report)
{
    const std::u16string identifier = host::toU16(name);
    int32_t result = 0;
    auto session = create(factory, identifier, result);
    if (!session) {
        if (result == gmpi::resultNotFound && !settings.modulesRequested)
            report.line(Outcome::skip, name, "create", "not in this library");
        else
            report.fail(name, "create", "createModule returned " + std::to_string(result));
        return result != gmpi::resultNotFound;
    }
    report.verdict(name, "create", session->host().referenceCount() == 1 ? "" : "the host is not referenced once",
                   "created with the host attached");
    report.verdict(name, "interfaces and references", checkInterfaces(session->plugin()),
                   "both parts answer, others refused, counts follow addRef and release");
    int malformedCases = 0;
    report.verdict(name, "host attachment", checkHostAttachment(factory, identifier.c_str(), malformedCases),
                   "without a host, without services, attached late and twice");
    const std::string pinProblem = session->probePins();
    report.verdict(name, "attachPinBuffer", pinProblem, "accepted by pins" + listOf(session->pins()));

    RandomSource random(moduleSeed(settings.seed, name));
    const std::string blockProblem = runRandomBlocks(*session, random, settings.blocks);
    report.verdict(name, "random blocks", blockProblem, describe(session->generator(random).counts()));
    const std::string malformedProblem = runMalformedCases(*session, malformedCases);
    report.verdict(name, "malformed input", malformedProblem,
                   std::to_string(malformedCases) + " cases survived, nothing bad sent");
    reportAllocations(name, *session, report);
    report.verdict(name, "release", releaseProblem(*session), "destroyed, host released");
    return true;
}

}  // namespace

int validateLibrary(const Settings& settings, Report& report)
{
    std::unique_ptr<host::ModuleLibrary> library;
    try {
        library = std::make_unique<host::ModuleLibrary>(settings.library);
    } catch (const std::exception& error) {
        report.fail("library", "load", error.what());
        return report.failures();
    }
    report.pass("library", "load", settings.library);
    allocation_guard::watchLibraryAt(reinterpret_cast<const void*>(library->entryPoint()));
    report.verdict("library", "factory", checkFactory(library->entryPoint(), library->factory()),
                   "one factory, unknown identifiers refused, build information bounded");

    int found = 0;
    for (const std::string& name : settings.modules)
        found += validateModule(library->factory(), name, settings, report) ? 1 : 0;
    if (found == 0)
        report.fail("library", "modules", "none of the modules asked for is in this library");
    report.note("summary: " + std::to_string(found) + " of " + std::to_string(settings.modules.size()) +
                " modules found; " + std::to_string(report.passes()) + " checks passed, " +
                std::to_string(report.failures()) + " failed, " + std::to_string(report.skips()) + " skipped");
    return report.failures();
}

}  // namespace validate

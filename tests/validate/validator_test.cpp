// Whole validator runs over the built library.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "module_library.h"
#include "validate/validator.h"

namespace {

struct ValidatorRun {
    int failures;
    std::string output;
};

ValidatorRun validateBuiltLibrary(std::vector<std::string> modules, bool requested, uint64_t seed = 1)
{
    validate::Settings settings;
    settings.library = host::ModuleLibrary::defaultPath();
    settings.modules = std::move(modules);
    settings.modulesRequested = requested;
    settings.seed = seed;
    settings.blocks = 300;
    std::FILE* file = std::tmpfile();
    validate::Report report(file);
    ValidatorRun run{validate::validateLibrary(settings, report), {}};
    std::rewind(file);
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
        run.output.push_back(static_cast<char>(c));
    std::fclose(file);
    return run;
}

// The paths differ between runs only in the library's location, which stays the same.
TEST(Validator, PassesTheTransposerTheSameWayForTheSameSeed)
{
    const ValidatorRun first = validateBuiltLibrary({"MIDI_Transposer"}, true);
    EXPECT_EQ(first.failures, 0) << first.output;
    EXPECT_NE(first.output.find("PASS  MIDI_Transposer   random blocks"), std::string::npos) << first.output;
    EXPECT_NE(first.output.find("PASS  MIDI_Transposer   release"), std::string::npos) << first.output;
    EXPECT_EQ(validateBuiltLibrary({"MIDI_Transposer"}, true).output, first.output);
    EXPECT_NE(validateBuiltLibrary({"MIDI_Transposer"}, true, 2).output, first.output);
}

TEST(Validator, AModuleAskedForByNameMustBeThere)
{
    const ValidatorRun run = validateBuiltLibrary({"MIDI_Transposer", "MIDI_Nothing"}, true);
    EXPECT_EQ(run.failures, 1);
    EXPECT_NE(run.output.find("FAIL  MIDI_Nothing      create"), std::string::npos) << run.output;
}

TEST(Validator, DefaultModulesNotYetBuiltAreSkipped)
{
    const ValidatorRun run = validateBuiltLibrary({"MIDI_Nothing", "MIDI_Transposer"}, false);
    EXPECT_EQ(run.failures, 0) << run.output;
    EXPECT_NE(run.output.find("SKIP  MIDI_Nothing      create                       not in this library"),
              std::string::npos)
        << run.output;
}

TEST(Validator, ALibraryWithoutAnyOfTheModulesFails)
{
    const ValidatorRun run = validateBuiltLibrary({"MIDI_Nothing"}, false);
    EXPECT_EQ(run.failures, 1);
    EXPECT_NE(run.output.find("none of the modules asked for is in this library"), std::string::npos);
}

TEST(Validator, AFileThatIsNoLibraryFails)
{
    validate::Settings settings;
    settings.library = "/nonexistent/library.so";
    settings.modules = {"MIDI_Transposer"};
    std::FILE* file = std::tmpfile();
    validate::Report report(file);
    EXPECT_EQ(validate::validateLibrary(settings, report), 1);
    std::fclose(file);
}

}  // namespace

#include "validate_command.h"

#include <memory>

#include "module_catalogue.h"
#include "module_library.h"
#include "pin_file.h"
#include "validator.h"

void addValidateCommand(CLI::App& app)
{
    auto settings = std::make_shared<validate::Settings>();
    CLI::App* command = app.add_subcommand(
        "validate", "Check a module library: creation, interfaces, pins, random and malformed blocks, "
                    "no allocation while processing");
    command->add_option("library", settings->library, "Module library to load (default: this program's own)");
    command->add_option("--module", settings->modules,
                        "Identifier to validate; repeat for several (default: those of the library's pin file "
                        "LIBRARY.pins, else the seven of this project; "
                        "those the library lacks are skipped, while a named one that is missing fails)");
    command->add_option("--seed", settings->seed, "Seed of the random input; the same seed repeats a run")
        ->capture_default_str();
    command->add_option("--blocks", settings->blocks, "Random blocks per module")
        ->check(CLI::Range(1, 100'000'000))
        ->capture_default_str();
    command->callback([settings] {
        if (settings->library.empty())
            settings->library = host::ModuleLibrary::defaultPath();
        // The modules a pin file describes must be in the library, as named ones must.
        const std::unique_ptr<host::PinFile> pinFile = host::readPinFileBeside(settings->library);
        const bool named = !settings->modules.empty();
        settings->modulesRequested = named || pinFile != nullptr;
        if (!named)
            for (const host::ModuleDeclaration& module : pinFile ? pinFile->modules() : host::moduleCatalogue())
                settings->modules.emplace_back(module.identifier);
        validate::Report report(stdout);
        report.note("validating " + settings->library + " with seed " + std::to_string(settings->seed) + ", " +
                    std::to_string(settings->blocks) + " random blocks per module");
        if (validate::validateLibrary(*settings, report) > 0)
            throw CLI::RuntimeError(1);
    });
}

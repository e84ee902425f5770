// midimod list: the modules with their pins as the host declares them: the seven, or
// those the pin file beside a library (--library) describes.
#include <cstdio>
#include <memory>

#include "pin_file.h"
#include "render_commands.h"
#include "renderer.h"

namespace {

// Settings show their values, with their purpose on a line of its own; wired pins show
// their purpose.
void printPin(const std::string& number, const std::string& name, const host::PinDeclaration& pin,
              const std::string& purpose)
{
    const std::string kind(host::kindName(pin.kind));
    if (host::isSetting(pin.kind)) {
        const std::string values = host::describeValues(pin) + ", default " + host::describeDefault(pin);
        std::printf("  %5s  %-13s %-9s %s\n  %30s %s\n", number.c_str(), name.c_str(), kind.c_str(), values.c_str(),
                    "", purpose.c_str());
    } else {
        const std::string values = pin.kind == host::PinKind::intOut ? " (" + host::describeValues(pin) + ")" : "";
        std::printf("  %5s  %-13s %-9s %s%s\n", number.c_str(), name.c_str(), kind.c_str(), purpose.c_str(),
                    values.c_str());
    }
}

void printModule(const host::ModuleDeclaration& module, const char* availability)
{
    std::printf("%s: %s%s\n", std::string(module.identifier).c_str(), std::string(module.purpose).c_str(),
                availability);
    for (const host::PinDeclaration& pin : module.pins) {
        if (module.steps && pin.number >= module.steps->firstPin) {
            if (pin.number == module.steps->firstPin) {
                const int32_t last = pin.number + module.steps->count - 1;
                printPin(std::to_string(pin.number) + "-" + std::to_string(last),
                         "step1-" + std::to_string(module.steps->count), pin,
                         std::string(pin.purpose) + "; all at once: " + std::string(module.steps->name) + "=a,b,...");
            }
            continue;
        }
        printPin(std::to_string(pin.number), std::string(pin.name), pin, std::string(pin.purpose));
    }
}

// The modules of the library's pin file when it has one, else the built-in seven.
void list(std::string libraryPath)
{
    if (libraryPath.empty())
        libraryPath = host::ModuleLibrary::defaultPath();
    const std::unique_ptr<host::PinFile> pinFile = host::readPinFileBeside(libraryPath);
    std::unique_ptr<host::ModuleLibrary> library;
    try {
        library = std::make_unique<host::ModuleLibrary>(libraryPath);
    } catch (const std::runtime_error& problem) {
        std::printf("(%s: showing the host's declarations only)\n", problem.what());
    }
    for (const host::ModuleDeclaration& module : pinFile ? pinFile->modules() : host::moduleCatalogue()) {
        const bool missing = library != nullptr && !libraryHas(*library, module.identifier);
        printModule(module, missing ? " [not in this build of the module library]" : "");
        std::printf("\n");
    }
    std::printf("A chain names modules with settings, e.g. --chain \"MIDI_Transposer transpose=12 | "
                "MIDI_Arp order=ascending length=4\".\n"
                "A setting changes at a beat, counted from 0 at the start, with @: \"MIDI_Block gate=off@6 gate=on@10\".\n");
}

}  // namespace

void addListCommand(CLI::App& app)
{
    auto libraryPath = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand("list", "the modules with their pins: number, name, kind, values");
    command->add_option("--library", *libraryPath,
                        "module library to load (default: the one built beside midimod); its modules are those "
                        "its pin file LIBRARY.pins describes, if it has one");
    command->callback([libraryPath] { list(*libraryPath); });
}

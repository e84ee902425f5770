// midimod: plays MIDI files through the modules, and checks module libraries.
// Each subcommand lives in a file of its own and adds itself to the program here.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <string>

#include "render_commands.h"
#include "validate/validate_command.h"
#include "version.h"

int main(int argc, char** argv)
{
    CLI::App app{"midimod: MIDI modules on the command line"};
    // Options start with '-' everywhere. CLI11 would also read "/name" as an option on
    // Windows, and so take a path like /music/song.mid for one. Set before the
    // subcommands, which copy it.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("midimod ") + midimodVersion);
    addRenderCommand(app);
    addDemoCommand(app);
    addListCommand(app);
    addValidateCommand(app);
    app.require_subcommand(1);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "midimod: %s\n", error.what());
        return 1;
    }
    return 0;
}

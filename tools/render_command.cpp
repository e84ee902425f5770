// midimod render IN.mid -o OUT.mid [--chain CHAIN] [--tempo BPM] [--steps-per-beat N]
//                [--block N] [--rate HZ] [--enable always|held] [--roll OUT.svg]
#include <cstdio>
#include <memory>

#include "outputs.h"
#include "render_commands.h"

namespace {

struct RenderArguments {
    std::string input;
    OutputPaths output;
    std::string chain = "MIDI_Transposer";
    std::string library;
    std::string enable = "always";
    JobSettings settings;
};

void render(RenderArguments& arguments)
{
    arguments.settings.options.enable = arguments.enable == "held" ? EnableMode::heldNotes : EnableMode::always;
    const Chain chain = parseChain(arguments.chain);
    const smf::File input = smf::readFile(arguments.input);
    host::ModuleLibrary library(arguments.library.empty() ? host::ModuleLibrary::defaultPath() : arguments.library);
    const RenderedFile rendered = renderFile(library, input, chain, arguments.settings);
    writeOutputs(rendered, arguments.output, describeChain(chain), arguments.input);

    std::printf("%s: %zu notes in, %zu notes out, %.1f s through %s\n", arguments.output.midi.c_str(),
                rendered.inputNotes.size(), rendered.outputNotes.size(), rendered.seconds,
                describeChain(chain).c_str());
    if (!arguments.output.roll.empty())
        std::printf("%s: piano roll\n", arguments.output.roll.c_str());
    if (rendered.releasedInputNotes > 0)
        std::printf("note: %d notes still held at the end of %s were released there\n",
                    rendered.releasedInputNotes, arguments.input.c_str());
    if (rendered.closedOutputNotes > 0)
        std::printf("note: the chain still sounded %d notes %d beats after the input's end; they end there\n",
                    rendered.closedOutputNotes, tailBeats);
}

}  // namespace

void addRenderCommand(CLI::App& app)
{
    auto arguments = std::make_shared<RenderArguments>();
    RenderOptions& options = arguments->settings.options;
    CLI::App* command = app.add_subcommand("render", "play a MIDI file through a chain of modules");
    command->add_option("input", arguments->input, "Standard MIDI File to play")->required();
    command->add_option("-o,--output", arguments->output.midi, "MIDI file to write")->required();
    command->add_option("--chain", arguments->chain,
                        "modules with settings, e.g. \"MIDI_Transposer transpose=12 | MIDI_Arp order=ascending\" "
                        "(see midimod list)")
        ->capture_default_str();
    command->add_option("--tempo", arguments->settings.tempo, "beats a minute, in place of the file's tempo map")
        ->check(CLI::Range(1.0, 1000.0));
    command->add_option("--steps-per-beat", options.stepsPerBeat, "clock steps to a quarter note")
        ->check(CLI::Range(1, 32))
        ->capture_default_str();
    command->add_option("--block", options.blockSize, "samples a block")
        ->check(CLI::Range(1, 8192))
        ->capture_default_str();
    command->add_option("--rate", options.sampleRate, "samples a second")
        ->check(CLI::Range(1000, 384000))
        ->capture_default_str();
    command->add_option("--enable", arguments->enable,
                        "enable inputs: always high, or high while the module's input holds a note")
        ->check(CLI::IsMember({"always", "held"}))
        ->capture_default_str();
    command->add_option("--roll", arguments->output.roll, "piano roll of input and output to write (SVG)");
    command->add_option("--library", arguments->library, "module library to load (default: the one built beside midimod)");
    command->callback([arguments] { render(*arguments); });
}

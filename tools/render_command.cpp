// midimod render IN.mid [-o OUT.mid] [--chain CHAIN] [--tempo BPM] [--steps-per-beat N]
//                [--block N] [--rate HZ] [--enable always|held] [--roll OUT.svg]
//                [--wav OUT.wav [--soundfont FILE.sf2] [--gain G]]
#include <cstdio>
#include <memory>
#include <optional>

#include "outputs.h"
#include "pin_file.h"
#include "render_commands.h"

namespace {

struct RenderArguments {
    std::string input;
    OutputPaths output;
    std::string chain = "MIDI_Transposer";
    std::string library;
    std::string enable = "always";
    std::string soundfont;
    double gain = defaultGain;
    JobSettings settings;
};

void render(RenderArguments& arguments)
{
    const OutputPaths& output = arguments.output;
    if (output.midi.empty() && output.wav.empty())
        throw std::runtime_error("render writes a MIDI file (-o OUT.mid), a WAV file (--wav OUT.wav) or both: "
                                 "name at least one");
    const int32_t rate = arguments.settings.options.sampleRate;
    std::string soundfont;
    std::optional<Synthesizer> synthesizer;
    if (!output.wav.empty()) {
        soundfont = findSoundfont(arguments.soundfont);
        synthesizer.emplace(soundfont, rate, arguments.gain);
    }
    arguments.settings.options.enable = arguments.enable == "held" ? EnableMode::heldNotes : EnableMode::always;
    const std::string libraryPath =
        arguments.library.empty() ? host::ModuleLibrary::defaultPath() : arguments.library;
    const std::unique_ptr<host::PinFile> pinFile = host::readPinFileBeside(libraryPath);
    const Chain chain = parseChain(arguments.chain, pinFile ? pinFile->modules() : host::moduleCatalogue());
    const smf::File input = smf::readFile(arguments.input);
    host::ModuleLibrary library(libraryPath);
    const RenderedFile rendered = renderFile(library, input, chain, arguments.settings);
    std::optional<Sound> sound;
    if (synthesizer)
        sound = synthesizer->play(rendered.outputMessages, rendered.endSample);
    writeOutputs(rendered, output, describeChain(chain), arguments.input, sound ? &*sound : nullptr);

    std::printf("%s: %zu notes in, %zu notes out, %.1f s through %s\n",
                (output.midi.empty() ? output.wav : output.midi).c_str(), rendered.inputNotes.size(),
                rendered.outputNotes.size(), rendered.seconds, describeChain(chain).c_str());
    if (!output.roll.empty())
        std::printf("%s: piano roll\n", output.roll.c_str());
    if (sound) {
        std::printf("%s: %.1f s of sound, stereo at %d Hz, peak %.1f dBFS, from %s\n", output.wav.c_str(),
                    double(sound->frames()) / rate, rate, sound->peakDecibels(), soundfont.c_str());
        if (sound->clipped > 0)
            std::printf("note: %lld samples of %s were clipped at full scale; a --gain below %g avoids it\n",
                        static_cast<long long>(sound->clipped), output.wav.c_str(), arguments.gain);
    }
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
    command->add_option("-o,--output", arguments->output.midi, "MIDI file to write");
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
    CLI::Option* wav = command->add_option(
        "--wav", arguments->output.wav, "sound of the output to write (WAV), played by a General MIDI synthesizer");
    command
        ->add_option("--soundfont", arguments->soundfont,
                     "SoundFont for --wav (default: the first of TimGM6mb.sf2, FluidR3_GM.sf2 and default-GM.sf2 in "
                     "/usr/share/sounds/sf2)")
        ->needs(wav);
    command->add_option("--gain", arguments->gain, "loudness of the synthesizer for --wav")
        ->check(CLI::Range(0.0, 10.0))
        ->capture_default_str()
        ->needs(wav);
    command->add_option("--library", arguments->library,
                        "module library to load (default: the one built beside midimod); a chain takes the modules "
                        "its pin file LIBRARY.pins describes, if it has one");
    command->callback([arguments] { render(*arguments); });
}

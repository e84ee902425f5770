// midimod demo [--out DIR] [--soundfont FILE.sf2]: plays a bundled phrase through each of
// the seven modules with settings that show what each one does, and writes a MIDI file, a
// piano roll and, where midimod has a synthesizer, the sound apiece.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "atomic_file.h"
#include "demo_phrase.h"
#include "outputs.h"
#include "render_commands.h"

namespace {

struct DemoArguments {
    std::string folder = "midimod-demo";
    std::string library;
    std::string soundfont;
};

struct DemoChain {
    const char* identifier;
    const char* settings;
};

// One chain per module, in the catalogue's order.
constexpr DemoChain demoChains[] = {
    {"MIDI_Arp", "order=ascending"},
    {"MIDI_Block", "gate=on gate=off@6 gate=on@10"},
    {"MIDI_NoteCounter", "max-notes=2"},
    {"MIDI_RhythmSeq", "steps=on,off,off,on,off,off,on,off"},
    {"MIDI_ScaledSeq", "root=C scale=major steps=0,2,4,rest,7,4,2,rest"},
    {"MIDI_SemiSeq", "steps=0,12,rest,12,7,rest,12,5"},
    {"MIDI_Transposer", "transpose=7 channel=1"},
};

// Renders one chain; returns false when the library lacks the module.
bool renderDemo(host::ModuleLibrary& library, const smf::File& phrase, const std::string& phrasePath,
                const DemoChain& demo, const std::string& folder, Synthesizer* synthesizer)
{
    if (!libraryHas(library, demo.identifier)) {
        std::printf("%-17s not in this build of the module library: skipped\n", demo.identifier);
        return false;
    }
    const Chain chain = parseChain(std::string(demo.identifier) + " " + demo.settings);
    const RenderedFile rendered = renderFile(library, phrase, chain, JobSettings{});
    const std::string base = folder + "/" + demo.identifier;
    const OutputPaths paths{base + ".mid", base + ".svg", synthesizer != nullptr ? base + ".wav" : ""};
    std::optional<Sound> sound;
    if (synthesizer != nullptr)
        sound = synthesizer->play(rendered.outputMessages, rendered.endSample);
    writeOutputs(rendered, paths, describeChain(chain), phrasePath, sound ? &*sound : nullptr);
    std::printf("%-17s %3zu notes in %4zu notes out   %s  %s  %s   (%s)\n", demo.identifier,
                rendered.inputNotes.size(), rendered.outputNotes.size(), paths.midi.c_str(), paths.roll.c_str(),
                paths.wav.c_str(), demo.settings);
    return true;
}

void runDemo(const DemoArguments& arguments)
{
    host::ModuleLibrary library(arguments.library.empty() ? host::ModuleLibrary::defaultPath() : arguments.library);
    // The sound is the synthesizer's at its default gain, at the render's default rate.
    std::string soundfont;
    std::optional<Synthesizer> synthesizer;
    if (synthesizerBuilt() || !arguments.soundfont.empty()) {
        soundfont = findSoundfont(arguments.soundfont);
        synthesizer.emplace(soundfont, RenderOptions{}.sampleRate, defaultGain);
    }
    std::error_code error;
    std::filesystem::create_directories(arguments.folder, error);
    if (error)
        throw std::runtime_error("cannot make the folder " + arguments.folder + ": " + error.message());
    const smf::File phrase = demoPhrase();
    const std::string phrasePath = arguments.folder + "/phrase.mid";
    writeFileAtomically(phrasePath, smf::write(phrase));
    std::printf("the phrase %s through each module, files in %s/\n", phrasePath.c_str(), arguments.folder.c_str());
    if (synthesizer)
        std::printf("MIDI, piano roll and sound apiece: the .wav plays the .mid through %s\n", soundfont.c_str());
    else
        std::printf("MIDI and piano roll apiece; no sound, this midimod is built without a synthesizer\n");

    int rendered = 0;
    for (const DemoChain& demo : demoChains)
        rendered += renderDemo(library, phrase, phrasePath, demo, arguments.folder,
                               synthesizer ? &*synthesizer : nullptr) ? 1 : 0;
    if (rendered == 0)
        throw std::runtime_error("the module library holds none of the seven modules: nothing rendered");
}

}  // namespace

void addDemoCommand(CLI::App& app)
{
    auto arguments = std::make_shared<DemoArguments>();
    CLI::App* command = app.add_subcommand("demo", "play a bundled phrase through each module into a folder");
    command->add_option("--out", arguments->folder, "folder for the files")->capture_default_str();
    command->add_option("--library", arguments->library, "module library to load (default: the one built beside midimod)");
    command->add_option("--soundfont", arguments->soundfont, "SoundFont to play the sound with (see render --help)");
    command->callback([arguments] { runDemo(*arguments); });
}

#include "outputs.h"

#include "atomic_file.h"
#include "piano_roll.h"
#include "wav_file.h"

void writeOutputs(const RenderedFile& rendered, const OutputPaths& paths, const std::string& title,
                  const std::string& inputName, const Sound* sound)
{
    std::vector<PendingFile> files;
    if (!paths.midi.empty())
        files.push_back({paths.midi, smf::write(rendered.output)});
    if (!paths.roll.empty()) {
        const std::string& output = paths.midi.empty() ? paths.wav : paths.midi;
        const RollPanel panels[] = {
            {"in: " + inputName + " (" + std::to_string(rendered.inputNotes.size()) + " notes)", rendered.inputNotes},
            {"out: " + output + " (" + std::to_string(rendered.outputNotes.size()) + " notes)", rendered.outputNotes}};
        const std::string svg = pianoRollSvg(title, rendered.output.division, rendered.endTick, panels);
        files.push_back({paths.roll, {svg.begin(), svg.end()}});
    }
    if (!paths.wav.empty())
        files.push_back({paths.wav, wavFile(sound->samples, sound->sampleRate, 2)});
    writeFilesAtomically(files);
}

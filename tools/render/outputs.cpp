#include "outputs.h"

#include "atomic_file.h"
#include "piano_roll.h"

void writeOutputs(const RenderedFile& rendered, const OutputPaths& paths, const std::string& title,
                  const std::string& inputName)
{
    std::vector<PendingFile> files{{paths.midi, smf::write(rendered.output)}};
    if (!paths.roll.empty()) {
        const RollPanel panels[] = {
            {"in: " + inputName + " (" + std::to_string(rendered.inputNotes.size()) + " notes)", rendered.inputNotes},
            {"out: " + paths.midi + " (" + std::to_string(rendered.outputNotes.size()) + " notes)",
             rendered.outputNotes}};
        const std::string svg = pianoRollSvg(title, rendered.output.division, rendered.endTick, panels);
        files.push_back({paths.roll, {svg.begin(), svg.end()}});
    }
    writeFilesAtomically(files);
}

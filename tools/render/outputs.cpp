#include "outputs.h"

#include "atomic_file.h"
#include "piano_roll.h"

void writeOutputs(const RenderedFile& rendered, const OutputPaths& paths, const std::string& title,
                  const std::string& inputName)
{
    writeFileAtomically(paths.midi, smf::write(rendered.output));
    if (paths.roll.empty())
        return;
    const RollPanel panels[] = {
        {"in: " + inputName + " (" + std::to_string(rendered.inputNotes.size()) + " notes)", rendered.inputNotes},
        {"out: " + paths.midi + " (" + std::to_string(rendered.outputNotes.size()) + " notes)", rendered.outputNotes}};
    writeFileAtomically(paths.roll, pianoRollSvg(title, rendered.output.division, rendered.endTick, panels));
}

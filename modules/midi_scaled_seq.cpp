// MIDI_ScaledSeq: a sixteen-step sequencer whose steps are scale degrees. On each clocked
// step the held keys sound moved up by the step's number of degrees, 0 to 14, of the scale
// chosen by root, family and mode; keys outside the scale sound unmoved, other step values
// are rests.
#include "mp_base2.h"
#include "mp_factory.h"
#include "sequencer_core.h"

class MIDI_ScaledSeq final : public MpModule<MIDI_ScaledSeq> {
public:
    enum Pin : int32_t {
        midiInPin, midiOutPin, clockPin, enablePin, rootPin, modePin, scalePin, tiePin, stepPin, firstStepInPin
    };

    MIDI_ScaledSeq()
    {
        bindPin(midiInPin, midiIn);
        bindPin(midiOutPin, midiOut);
        bindPin(clockPin, clockIn);
        bindPin(enablePin, enableIn);
        bindPin(rootPin, rootIn);
        bindPin(modePin, modeIn);
        bindPin(scalePin, scaleIn);
        bindPin(tiePin, tieIn);
        bindPin(stepPin, stepOut);
        for (int32_t step = 0; step < SequencerCore::stepCount; ++step)
            bindPin(firstStepInPin + step, stepIns[step]);
        buildScaleRows(0, 0, 0);
        setProcessRoutine(&MIDI_ScaledSeq::runSteps);
    }

    void handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept override { core.handleMidi(bytes, length); }
    void handlePinsChanged() noexcept override;

private:
    static constexpr int32_t semitones = 12;
    static constexpr int32_t degreeCount = 15;  // step values 0 to 14: two octaves of a seven-note scale
    using ScaleMask = std::array<bool, semitones>;
    // Which semitones above the tonic belong to each family: major, melodic minor
    // (ascending), harmonic minor, harmonic major.
    static constexpr std::array<ScaleMask, 4> scaleMasks{{
        {1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1},
        {1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1},
        {1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 0, 1},
        {1, 0, 1, 0, 1, 1, 0, 1, 1, 0, 0, 1},
    }};

    void runSteps(int32_t sampleCount) noexcept
    {
        if (core.process(blockPosition, sampleCount))
            playStep(core.firedValue());
    }
    void playStep(int32_t degrees) noexcept;
    void changeScale(int32_t newRoot, int32_t newScaleIndex, int32_t newMode) noexcept;
    bool buildScaleRows(int32_t newRoot, int32_t newScaleIndex, int32_t newMode) noexcept;
    static std::optional<int32_t> maskPositionOfC(int32_t root, int32_t scaleIndex, int32_t mode) noexcept;
    static int32_t tonicOffset(const ScaleMask& mask, int32_t mode) noexcept;

    MidiInPin midiIn;
    MidiOutPin midiOut;
    AudioInPin clockIn;
    AudioInPin enableIn;
    IntInPin rootIn;
    IntInPin modeIn;
    IntInPin scaleIn;
    BoolInPin tieIn;
    IntOutPin stepOut;
    std::array<IntInPin, SequencerCore::stepCount> stepIns;

    SequencerCore core{midiOut, clockIn, enableIn, stepOut};
    // Row r serves keys of pitch class r: entry v is how far such a key moves for v degrees.
    // Rows of pitch classes outside the scale are all 0.
    std::array<std::array<uint8_t, degreeCount>, semitones> scaleRows{};
    int32_t root = 0;        // pitch class the scale stands on, 0 = C
    int32_t scaleIndex = 0;  // row of scaleMasks
    int32_t mode = 0;        // degree of the family that acts as tonic; 1 to 6, else 0
};

[[maybe_unused]] static const bool registered = registerModule(0, u"MIDI_ScaledSeq", &createInstance<MIDI_ScaledSeq>);

// Each changed scale setting sends its own All Notes Off, in the order root, family, mode.
void MIDI_ScaledSeq::handlePinsChanged() noexcept
{
    core.takeChangedSteps(stepIns);
    if (tieIn.wasChanged)
        core.setTie(tieIn.value != 0);
    if (rootIn.wasChanged)
        changeScale(rootIn.value, scaleIndex, mode);
    if (scaleIn.wasChanged)
        changeScale(root, scaleIn.value, mode);
    if (modeIn.wasChanged)
        changeScale(root, scaleIndex, modeIn.value);
}

// A setting that would take the scale outside the masks is not taken: the scale stays.
void MIDI_ScaledSeq::changeScale(int32_t newRoot, int32_t newScaleIndex, int32_t newMode) noexcept
{
    core.allNotesOff();
    if (!buildScaleRows(newRoot, newScaleIndex, newMode))
        return;
    root = newRoot;
    scaleIndex = newScaleIndex;
    mode = newMode;
}

// Each row lists the distances from its pitch class up to the next fifteen scale notes,
// its own included. Returns false, leaving the rows as they were, for settings whose
// scale cannot be read from the masks.
bool MIDI_ScaledSeq::buildScaleRows(int32_t newRoot, int32_t newScaleIndex, int32_t newMode) noexcept
{
    const std::optional<int32_t> start = maskPositionOfC(newRoot, newScaleIndex, newMode);
    if (!start)
        return false;
    const ScaleMask& mask = scaleMasks[static_cast<size_t>(newScaleIndex)];
    int32_t position = *start;
    for (auto& row : scaleRows) {
        row.fill(0);
        if (mask[position]) {
            int32_t written = 0;
            for (int32_t distance = 0; distance <= 2 * semitones + 1 && written < degreeCount; ++distance)
                if (mask[(position + distance) % semitones])
                    row[written++] = static_cast<uint8_t>(distance);
        }
        position = (position + 1) % semitones;
    }
    return true;
}

// The mask position on which pitch class 0 falls once the family's tonic is moved to the
// mode's degree and that degree to the root. Computed in 64 bits, as the root is the
// host's number. Roots far enough above the mode's degree fall below the mask: nothing.
std::optional<int32_t> MIDI_ScaledSeq::maskPositionOfC(int32_t root, int32_t scaleIndex, int32_t mode) noexcept
{
    if (scaleIndex < 0 || scaleIndex >= static_cast<int32_t>(scaleMasks.size()))
        return std::nullopt;
    int64_t position = int64_t{tonicOffset(scaleMasks[static_cast<size_t>(scaleIndex)], mode)} - root;
    if (position <= 0)
        position += semitones;
    if (position < 0)
        return std::nullopt;
    return position < semitones ? static_cast<int32_t>(position) : 0;
}

// Semitones from the family's tonic up to its degree `mode`; 0 for a mode that names no
// degree above the tonic.
int32_t MIDI_ScaledSeq::tonicOffset(const ScaleMask& mask, int32_t mode) noexcept
{
    int32_t degree = 0;
    for (int32_t semitone = 1; semitone < semitones; ++semitone)
        if (mask[semitone] && ++degree == mode)
            return semitone;
    return 0;
}

void MIDI_ScaledSeq::playStep(int32_t degrees) noexcept
{
    if (degrees < 0 || degrees >= degreeCount)
        return;
    core.playHeldKeys([this, degrees](int32_t key) { return raisedNote(key, scaleRows[key % semitones][degrees]); });
}

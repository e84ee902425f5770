"""Reads midimod's files with mido, an independent reader, and checks the notes.

1. A file that mido writes (two tracks, a tempo change, note-offs as note-ons of
   velocity 0) is rendered through the transposer with blocks of one sample: mido must
   read the same notes back, an octave up on another channel, at the same seconds.
2. Every file of `midimod demo` reads back with as many notes as midimod reported, and
   with no note left sounding.
"""
import re
import subprocess
import sys
import tempfile
from pathlib import Path

import mido

midimod = sys.argv[1:]  # the command that runs midimod, maybe behind an emulator
failures = []


def notes_of(path):
    """(start, end, channel, note) in seconds; All Notes Off ends a channel's notes."""
    now, sounding, notes = 0.0, {}, []
    for message in mido.MidiFile(path):
        now += message.time
        if message.type == "note_on" and message.velocity > 0:
            sounding.setdefault((message.channel, message.note), []).append(now)
        elif message.type in ("note_on", "note_off"):
            starts = sounding.get((message.channel, message.note))
            if starts:
                notes.append((starts.pop(0), now, message.channel, message.note))
        elif message.type == "control_change" and message.control == 123:
            for key in [key for key in sounding if key[0] == message.channel]:
                notes += [(start, now, *key) for start in sounding.pop(key)]
    hanging = sum(len(starts) for starts in sounding.values())
    return sorted(notes), hanging


def check_transposed(folder):
    source = mido.MidiFile(ticks_per_beat=480)
    conductor, melody = mido.MidiTrack(), mido.MidiTrack()
    conductor.append(mido.MetaMessage("set_tempo", tempo=500000, time=0))
    conductor.append(mido.MetaMessage("set_tempo", tempo=400000, time=1920))
    for note, start in ((60, 0), (62, 480), (64, 960), (65, 1920), (67, 2400)):
        melody.append(mido.Message("note_on", channel=4, note=note, velocity=80, time=start - sum(m.time for m in melody)))
        melody.append(mido.Message("note_on", channel=4, note=note, velocity=0, time=240))
    source.tracks += [conductor, melody]
    source_path, output_path = folder / "melody.mid", folder / "octave.mid"
    source.save(source_path)
    subprocess.run([*midimod, "render", source_path, "-o", output_path, "--block", "1",
                    "--chain", "MIDI_Transposer transpose=12 channel=1"], check=True, stdout=subprocess.DEVNULL)
    expected = [(start, end, 1, note + 12) for start, end, _, note in notes_of(source_path)[0]]
    got, hanging = notes_of(output_path)
    close = len(got) == len(expected) and all(
        abs(a[0] - b[0]) < 0.002 and abs(a[1] - b[1]) < 0.002 and a[2:] == b[2:] for a, b in zip(got, expected))
    if not close or hanging:
        failures.append(f"transposed melody: expected {expected}, mido read {got} ({hanging} hanging)")


def check_demo(folder):
    report = subprocess.run([*midimod, "demo", "--out", folder / "demo"], check=True, capture_output=True, text=True)
    lines = [re.search(r"(\d+) notes out\s+(\S+\.mid)", line) for line in report.stdout.splitlines()]
    rendered = [match for match in lines if match]
    if not rendered:
        failures.append("the demo rendered nothing")
    for match in rendered:
        notes, hanging = notes_of(match.group(2))
        if len(notes) != int(match.group(1)) or hanging:
            failures.append(f"{match.group(2)}: midimod reported {match.group(1)} notes, "
                            f"mido read {len(notes)} and {hanging} left sounding")


if __name__ == "__main__":
    with tempfile.TemporaryDirectory() as temporary:
        check_transposed(Path(temporary))
        check_demo(Path(temporary))
    for failure in failures:
        print("FAIL:", failure)
    print(f"mido reads midimod's files: {2 - min(len(failures), 2)} passed, {min(len(failures), 2)} failed")
    sys.exit(1 if failures else 0)

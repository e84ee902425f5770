"""Reads midimod's WAV files with Python's own wave module and holds the sound to the MIDI.

1. Every WAV of `midimod demo` is 16-bit stereo at 48000 Hz, lasts as long as its MIDI
   file plus the last notes' release (under 4 s), ends in silence, and peaks between
   -12 and -1 dBFS.
2. Sound where notes sound and silence where none, in windows placed from the times of
   the MIDI file written beside the WAV: MIDI_RhythmSeq with steps far apart, and
   MIDI_Block with its gate closed from beat 3 to beat 11. After a silence the sound
   starts within 3 ms of its note-on.
3. The same render twice (WAV only, no MIDI file) gives the same bytes.
4. Bad soundfonts and rates are one-line errors that leave no file behind.
"""
import array
import math
import re
import subprocess
import sys
import tempfile
import wave
from pathlib import Path

import mido

from mido_check import notes_of

midimod = sys.argv[1:]  # the command that runs midimod
failures = []
RELEASE = 1.0  # seconds for a released note of the default soundfont to fall silent


def read_wav(path):
    """(rate, left and right interleaved) after checking the format."""
    with wave.open(str(path)) as file:
        form = (file.getnchannels(), file.getsampwidth(), file.getframerate())
        if form != (2, 2, 48000):
            failures.append(f"{path}: {form[0]} channels, {8 * form[1]} bits at {form[2]} Hz")
        samples = array.array("h", file.readframes(file.getnframes()))
    if sys.byteorder == "big":
        samples.byteswap()
    return file.getframerate(), samples


def decibels(level):
    return 20 * math.log10(level / 32768) if level > 0 else -math.inf


def rms(samples, rate, start, end):
    window = samples[2 * round(start * rate):2 * round(end * rate)]
    return decibels(math.sqrt(sum(x * x for x in window) / len(window))) if window else -math.inf


def check_demo(folder):
    report = subprocess.run([*midimod, "demo", "--out", folder], check=True, capture_output=True, text=True)
    rendered = re.findall(r"(\S+\.mid)\s+\S+\.svg\s+(\S+\.wav)", report.stdout)
    if len(rendered) != 7:
        failures.append(f"the demo named {len(rendered)} WAV files, not 7:\n{report.stdout}")
    for midi, wav in rendered:
        rate, samples = read_wav(wav)
        seconds, length = len(samples) / 2 / rate, mido.MidiFile(midi).length
        peak = decibels(max(abs(min(samples)), max(samples)))
        if not length <= seconds < length + 4:
            failures.append(f"{wav}: {seconds:.2f} s of sound for {length:.2f} s of MIDI")
        if not -12 <= peak <= -1:
            failures.append(f"{wav}: peak {peak:.1f} dBFS, outside -12 to -1")
        if any(samples[-2 * rate // 100:]):
            failures.append(f"{wav}: still sounding at its end")


def check_notes_and_silence(folder, name, chain, options, silent_from, silent_to):
    """Renders the demo phrase; notes must sound, gaps between them must be silent, and
    the MIDI must leave no note sounding from `silent_from` to `silent_to` seconds."""
    midi, wav = folder / f"{name}.mid", folder / f"{name}.wav"
    subprocess.run([*midimod, "render", folder / "demo" / "phrase.mid", "-o", midi, "--wav", wav,
                    "--chain", chain, *options], check=True, stdout=subprocess.DEVNULL)
    rate, samples = read_wav(wav)
    notes = [(start, end) for start, end, _, _ in notes_of(midi)[0]]
    for start, end in notes:
        level = rms(samples, rate, start + 0.01, min(end, start + 0.2))
        if level < -30:
            failures.append(f"{name}: the note at {start:.3f} s sounds at {level:.1f} dBFS")
    gaps, sounding_until = [], 0.0
    for start, end in notes:
        if start > sounding_until + RELEASE:
            gaps.append((sounding_until, start))
        sounding_until = max(sounding_until, end)
    if not any(start <= silent_from and silent_to <= end for start, end in gaps):
        failures.append(f"{name}: the MIDI has no gap from {silent_from} s to {silent_to} s: {notes}")
    for last_end, next_start in gaps:
        window = samples[2 * round((last_end + RELEASE) * rate):2 * round(next_start * rate)]
        if any(window):
            failures.append(f"{name}: sound between {last_end + RELEASE:.3f} s and {next_start:.3f} s")
        onset = next((i for i, x in enumerate(samples[2 * round(next_start * rate):]) if x), None)
        if onset is None or onset / 2 / rate > 0.003:
            failures.append(f"{name}: the note at {next_start:.3f} s starts {onset} samples late")


def check_same_bytes(folder):
    files = [folder / "first.wav", folder / "second.wav"]
    for wav in files:
        subprocess.run([*midimod, "render", folder / "demo" / "phrase.mid", "--wav", wav, "--chain", "MIDI_Arp"],
                       check=True, stdout=subprocess.DEVNULL)
    if files[0].read_bytes() != files[1].read_bytes():
        failures.append("two renders of the same file gave different WAV files")


def check_errors(folder):
    phrase = folder / "demo" / "phrase.mid"
    (folder / "text.sf2").write_text("not a soundfont")
    (folder / "cut.sf2").write_bytes(b"RIFF\x00\x10\x00\x00sfbkLIST")
    (folder / "junk.sf2").write_bytes(b"RIFF\x0c\x00\x00\x00sfbkjunkjunk")
    cases = [
        (["--soundfont", folder / "missing.sf2"], f"cannot read the soundfont {folder}/missing.sf2: no such file"),
        (["--soundfont", folder / "text.sf2"], f"{folder}/text.sf2: not a SoundFont 2 file"),
        (["--soundfont", folder / "cut.sf2"], f"{folder}/cut.sf2: truncated SoundFont, 16 of 4104 bytes"),
        (["--soundfont", folder / "junk.sf2"], f"cannot load the soundfont {folder}/junk.sf2: "),
        (["--rate", "200000"], "not 200000: choose another --rate for WAV output"),
    ]
    for options, reason in cases:
        out = folder / "failed"
        run = subprocess.run([*midimod, "render", phrase, "-o", out.with_suffix(".mid"), "--wav",
                              out.with_suffix(".wav"), *options], capture_output=True, text=True)
        if run.returncode != 1 or reason not in run.stderr or len(run.stderr.splitlines()) != 1:
            failures.append(f"{options}: expected one line with '{reason}', got {run.returncode}: {run.stderr}")
    left = sorted(path.name for path in folder.iterdir() if path.name.startswith("failed"))
    if left:
        failures.append(f"failed renders left files behind: {left}")


with tempfile.TemporaryDirectory() as temporary:
    folder = Path(temporary)
    check_demo(folder / "demo")
    # A chord every eight steps of half a beat, sounding for a quarter of a beat.
    check_notes_and_silence(folder, "rhythm", "MIDI_RhythmSeq steps=on,off,off,off,off,off,off,off",
                            ["--steps-per-beat", "1"], 0.5, 3.9)
    # Gate closed at beat 3 (1.5 s) until beat 11; the next chord comes at beat 12.
    check_notes_and_silence(folder, "block", "MIDI_Block gate=off@3 gate=on@11", [], 1.6, 5.9)
    check_same_bytes(folder)
    check_errors(folder)
for failure in failures:
    print("FAIL:", failure)
print(f"midimod's WAV files: {'failed' if failures else 'all checks passed'}")
sys.exit(1 if failures else 0)

#!/usr/bin/env bash
# midimod's one-line errors and exit codes, and that a failed render writes nothing.
set -uo pipefail
midimod=("$@")  # the command that runs midimod, maybe behind an emulator
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs midimod with the arguments after the first, which must fail with a one-line
# message containing the first.
expect_error() {
  local reason=$1; shift
  if midimod_output=$("${midimod[@]}" "$@" 2>&1 >/dev/null); then
    fail "midimod $* succeeded"
  elif [[ "$midimod_output" != *"$reason"* || $(printf '%s\n' "$midimod_output" | wc -l) -ne 1 ]]; then
    fail "midimod $*: expected one line with '$reason', got: $midimod_output"
  fi
}

"${midimod[@]}" demo --out "$dir/demo" >/dev/null || fail "demo failed"
phrase=$dir/demo/phrase.mid
out=$dir/out.mid
printf 'not midi' >"$dir/text.mid"
head -c 60 "$phrase" >"$dir/cut.mid"

expect_error "cannot read $dir/missing.mid: no such file" render "$dir/missing.mid" -o "$out"
expect_error "not a regular file" render "$dir" -o "$out"
expect_error "$dir/text.mid: not a Standard MIDI File" render "$dir/text.mid" -o "$out"
expect_error "$dir/cut.mid: truncated" render "$dir/cut.mid" -o "$out"
expect_error 'unknown module "MIDI_Nope"' render "$phrase" -o "$out" --chain MIDI_Nope
expect_error 'MIDI_Arp has no pin "speed"' render "$phrase" -o "$out" --chain "MIDI_Arp speed=2"
expect_error "MIDI_Transposer transpose: 300 is out of range (-127 to 127)" \
  render "$phrase" -o "$out" --chain "MIDI_Transposer transpose=300"
expect_error "MIDI_Block gate=off@x: \"x\" after '@' is not a beat" \
  render "$phrase" -o "$out" --chain "MIDI_Block gate=off@x"
expect_error "MIDI_Block gate=off@20: beat 20 is after the input's end at beat 16" \
  render "$phrase" -o "$out" --chain "MIDI_Block gate=off@20"
expect_error "name at least one" render "$phrase"
# A malformed pin file beside a library is an error naming its line, before the library loads.
printf 'module M | m\n0 | in | MIDI sideways | | | | x\n' >"$dir/lib.pins"
expect_error "$dir/lib.pins:2: kind \"MIDI sideways\" is none of" list --library "$dir/lib"
expect_error "$dir/lib.pins:2: kind" render "$phrase" -o "$out" --library "$dir/lib"
expect_error "cannot write $dir/none/out.svg" render "$phrase" -o "$out" --roll "$dir/none/out.svg"
[ ! -e "$out" ] || fail "a failed render left $out behind"
ls "$dir" | grep -q partial && fail "a temporary file was left behind"

"${midimod[@]}" render "$phrase" -o "$out" --roll "$dir/out.svg" --chain "MIDI_Transposer transpose=12" >/dev/null ||
  fail "a good render failed"
[ -s "$out" ] && [ -s "$dir/out.svg" ] || fail "a good render wrote no files"

if [ "$failures" -eq 0 ]; then echo "midimod errors: 14 passed, 0 failed"; else exit 1; fi

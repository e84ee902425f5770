#!/usr/bin/env bash
# Instructions per block for every load, counted by callgrind: repeatable whatever else
# the machine is doing. Each load runs twice, for 1000 and 2000 blocks; the difference
# over 1000 leaves out loading, creation and warm-up.
#   bench/instructions.sh [BUILD_DIR]     (default: builds/default)
set -euo pipefail
build=${1:-builds/default}
program=$build/bin/block_count
count() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$program" "$1" "$2" 2>&1 |
    awk '/Collected :/ {print $NF}'
}
printf '%-26s %12s %12s\n' load instr/block instr/event
"$program" --list | while read -r load events; do
  short=$(count "$load" 1000) || continue
  long=$(count "$load" 2000) || continue
  [ -n "$short" ] && [ -n "$long" ] || { printf '%-26s %12s\n' "$load" "unavailable"; continue; }
  per_block=$(( (long - short) / 1000 ))
  if [ "$events" -gt 0 ]; then per_event=$(( per_block / events )); else per_event="-"; fi
  printf '%-26s %12s %12s\n' "$load" "$per_block" "$per_event"
done

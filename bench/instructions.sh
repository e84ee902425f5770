#!/usr/bin/env bash
# Instructions per block for every load, counted by callgrind: repeatable whatever else
# the machine is doing. Only the processing calls are counted: `block` with the host's
# pin-data calls (which copy into a fixed array), `library` without them; a peer's
# plug-in writes its output itself, so its two columns agree. Each load runs twice, for
# 1000 and 2000 blocks; the difference over 1000 leaves out loading, creation and
# warm-up. `per event` is the library's count over the block's events.
#   bench/instructions.sh [BUILD_DIR]     (default: builds/default)
set -euo pipefail
build=${1:-builds/default}
program=$build/bin/block_count
block_calls=('bench::runModuleBlock(*' 'bench::runPeerBlock(*')
host_calls=('bench::FixedHost::setPinData(*' 'bench::FixedHost::sleepRequest(*')
# count LOAD BLOCKS TOGGLE...: instructions inside the toggled functions.
count() {
  local load=$1 blocks=$2; shift 2
  local toggles=()
  for function in "$@"; do toggles+=("--toggle-collect=$function"); done
  valgrind --tool=callgrind --callgrind-out-file=/dev/null --collect-atstart=no "${toggles[@]}" \
    "$program" "$load" "$blocks" 2>&1 | awk '/Collected :/ {print $NF}'
}
per_block() {
  local short long
  short=$(count "$1" 1000 "${@:2}") && long=$(count "$1" 2000 "${@:2}") && [ -n "$short" ] && [ -n "$long" ] ||
    return 1
  echo $(( (long - short) / 1000 ))
}
printf '%-26s %10s %10s %10s\n' load block library 'per event'
"$program" --list | while read -r load events; do
  if ! block=$(per_block "$load" "${block_calls[@]}") ||
    ! library=$(per_block "$load" "${block_calls[@]}" "${host_calls[@]}"); then
    printf '%-26s %10s\n' "$load" unavailable
    continue
  fi
  if [ "$events" -gt 0 ]; then per_event=$(( library / events )); else per_event="-"; fi
  printf '%-26s %10s %10s %10s\n' "$load" "$block" "$library" "$per_event"
done

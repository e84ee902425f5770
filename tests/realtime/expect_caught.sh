#!/usr/bin/env bash
# Runs a command that must fail and whose output must match a pattern:
#   expect_caught.sh PATTERN COMMAND...
set -uo pipefail
pattern=$1
shift
output=$("$@" 2>&1)
status=$?
printf '%s\n' "$output"
if [ "$status" -eq 0 ]; then
  echo "expected a failure, the command succeeded"
  exit 1
fi
if ! grep -Eq "$pattern" <<<"$output"; then
  echo "expected output matching: $pattern"
  exit 1
fi

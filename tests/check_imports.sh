#!/usr/bin/env bash
# Checks that a built Windows module library imports only from the system and the C
# runtime: the MinGW runtime DLLs (libstdc++, libgcc, libwinpthread) are not installed
# where the host runs, so the library must carry that code itself.
set -euo pipefail
library=$1
imports=$(x86_64-w64-mingw32-objdump -p "$library" | awk '/^\tDLL Name: /{print $3}')
unexpected=$(grep -viE '^(kernel32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$' <<<"$imports" || true)
if [ -z "$imports" ] || [ -n "$unexpected" ]; then
  echo "expected system and C runtime DLLs only, found:"; echo "$imports"
  exit 1
fi
echo "imports:" $imports

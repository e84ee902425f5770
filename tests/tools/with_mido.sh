#!/usr/bin/env bash
# Runs a Python check (the first argument) with a Python that has mido; exits 77 (skipped)
# when none has.
script=$(dirname "$0")/$1
shift
for python in /usr/bin/python3 python3; do
  if "$python" -c "import mido" 2>/dev/null; then
    exec "$python" "$script" "$@"
  fi
done
echo "mido is not installed: skipped"
exit 77

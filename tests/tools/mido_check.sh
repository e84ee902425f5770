#!/usr/bin/env bash
# Runs mido_check.py with a Python that has mido; exits 77 (skipped) when none has.
here=$(dirname "$0")
for python in /usr/bin/python3 python3; do
  if "$python" -c "import mido" 2>/dev/null; then
    exec "$python" "$here/mido_check.py" "$@"
  fi
done
echo "mido is not installed: skipped"
exit 77

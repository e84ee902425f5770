#!/usr/bin/env bash
# The module guide's pictures are the demo's piano rolls: renders them afresh and checks
# that docs/img holds them byte for byte, or with --update writes them there.
#   docs_images.sh MIDIMOD SOURCE_DIR [--update]
set -euo pipefail
midimod=$1
images=$2/docs/img
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Rendered from a folder of the same name, since a roll names the phrase's path.
(cd "$work" && "$midimod" demo --out docs/img >/dev/null)
if [ "${3-}" = --update ]; then
  cp "$work"/docs/img/*.svg "$images/"
  exit 0
fi
stale=0
for roll in "$work"/docs/img/*.svg; do
  cmp -s "$roll" "$images/$(basename "$roll")" || { echo "stale: docs/img/$(basename "$roll")"; stale=1; }
done
[ $stale -eq 0 ] || echo "run scripts/docs-images to bring the guide's pictures up to date"
exit $stale

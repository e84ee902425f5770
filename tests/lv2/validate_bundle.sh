#!/usr/bin/env bash
# The bundle's Turtle against every LV2 schema installed: lv2_validate exits non-zero on
# an error; its summary must also say so.
set -euo pipefail
summary=$(lv2_validate "$1"/*.ttl 2>&1 | tail -1)
echo "$summary"
[[ $summary == "Found 0 errors among"* ]]

#!/usr/bin/env bash
# Installs the build into a fresh prefix, then configures, builds and tests an outside
# project against the installed files alone: its library must pass midimod validate.
#   outside_project.sh BUILD_DIR PROJECT_DIR MODULE_SOURCE CXX_COMPILER
set -euo pipefail
build=$1 project=$2 module=$3 compiler=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

cmake --install "$build" --prefix "$dir/prefix" >/dev/null
cp -r "$project" "$dir/project"
cp "$module" "$dir/project/"
cmake -S "$dir/project" -B "$dir/build" -DCMAKE_PREFIX_PATH="$dir/prefix" -DCMAKE_CXX_COMPILER="$compiler" >/dev/null
cmake --build "$dir/build" -j2 >/dev/null
# Nothing of the build may point back into this project's own tree.
source_tree=$(cd "$(dirname "$0")/../.." && pwd)
if grep -rqF "$source_tree" "$dir/build/CMakeCache.txt" "$dir/build/CTestTestfile.cmake"; then
  echo "FAIL: the outside project's build refers to $source_tree"
  exit 1
fi
ctest --test-dir "$dir/build" --output-on-failure

#!/usr/bin/env bash
# Draws the libraries of the tree and the links between them, from CMake's own view of the
# build: scripts/target-graph.sh [OUT_DIR] writes OUT_DIR/targets.dot and, with Graphviz's
# `dot` installed, OUT_DIR/targets.svg (default docs/). Tests, tools and outside libraries
# are left out; an edge points from a library to one it links.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/docs}")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cat >"$scratch/CMakeGraphVizOptions.cmake" <<'OPTIONS'
set(GRAPHVIZ_GRAPH_NAME "plenvo")
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_EXECUTABLES TRUE)
set(GRAPHVIZ_INTERFACE_LIBS TRUE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS "^tst_" "^fuzz_" "_autogen" "_resources_" "^plenvo-fuzz-seeds$")
OPTIONS
cmake -S "$root" -B "$scratch" -G Ninja -DPLENVO_BUILD_BENCH=ON --graphviz="$scratch/targets.dot" >/dev/null
mkdir -p "$out"
cp "$scratch/targets.dot" "$out/targets.dot"
if command -v dot >/dev/null; then
    dot -Tsvg "$out/targets.dot" -o "$out/targets.svg"
    echo "wrote $out/targets.dot and $out/targets.svg"
else
    echo "wrote $out/targets.dot (install graphviz for the picture)"
fi

#!/usr/bin/env bash
# Runs every test suite headless. Widget tests use the offscreen platform; the end-to-end
# tests start their own Xvfb server.
set -euo pipefail
build_dir=${1:-build}
export QT_QPA_PLATFORM=offscreen
# Keep tests away from the user's own settings and recent files.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cd "$build_dir"
ctest --output-on-failure -j "$(nproc)"

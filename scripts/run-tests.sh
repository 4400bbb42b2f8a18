#!/usr/bin/env bash
# Runs every test suite headless: scripts/run-tests.sh [BUILD_DIR [CTEST ARGS...]]. Widget
# tests use the offscreen platform; the end-to-end tests start their own Xvfb server.
#
# With ASAN_OPTIONS, UBSAN_OPTIONS or TSAN_OPTIONS set, sanitizer reports go to files instead
# of stderr, so that a report from a program whose exit status a test ignores (the viewer an
# end-to-end test starts and kills) still fails the run; they are printed at the end.
set -euo pipefail
build_dir=${1:-build}
shift || true
export QT_QPA_PLATFORM=offscreen
# Keep tests away from the user's own settings and recent files.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
reports="$scratch/sanitizer"
mkdir -p "$reports"
for var in ASAN_OPTIONS UBSAN_OPTIONS TSAN_OPTIONS; do
    if [ -n "${!var:-}" ]; then
        export "$var=${!var}:log_path=$reports/report:log_exe_name=1"
    fi
done
cd "$build_dir"
status=0
ctest --output-on-failure -j "$(nproc)" "$@" || status=$?
if [ -n "$(ls -A "$reports")" ]; then
    for report in "$reports"/*; do
        echo "==== $(basename "$report")"
        cat "$report"
    done
    echo "FAIL: $(ls "$reports" | wc -l) sanitizer report(s)" >&2
    status=1
fi
exit "$status"

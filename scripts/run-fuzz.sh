#!/usr/bin/env bash
# Runs each fuzz target for a while on two cores, from its committed seeds plus a scratch
# corpus that keeps what earlier runs found.
#   scripts/run-fuzz.sh BUILD_DIR SECONDS SCRATCH_DIR TARGET…
# Stops at the first target with a finding (crash, leak, sanitizer report, a run over 5 s, or
# over 2 GB); the input is left in SCRATCH_DIR/artifacts/.
set -euo pipefail
build_dir=$1 seconds=$2 scratch=$3
shift 3
root=$(cd "$(dirname "$0")/.." && pwd)
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
mkdir -p "$scratch/artifacts"
for target in "$@"; do
  corpus="$scratch/corpus/$target"
  mkdir -p "$corpus"
  log="$scratch/$target.log"
  echo "== $target: ${seconds}s, log $log"
  # Fork mode keeps going past a slow or large input unless told not to.
  status=0
  "$build_dir/bin/fuzz_$target" -fork=2 -ignore_crashes=0 -ignore_timeouts=0 -ignore_ooms=0 \
    -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
    -artifact_prefix="$scratch/artifacts/$target-" \
    "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  # The last progress line: executions, coverage, corpus, findings.
  grep -E '^#[0-9]+' "$log" | tail -n 1 || true
  if [ "$status" -ne 0 ]; then
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -n 20 || true
    echo "$target: finding (exit $status), see $log"
    exit 1
  fi
done

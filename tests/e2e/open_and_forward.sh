#!/usr/bin/env bash
# A launch with a drawing shows it under the file's name; a second launch hands its file to
# the running window and exits; a bad file handed over leaves the shown drawing alone (what
# follows "--": tst_PlenvoCommandLine).
set -euo pipefail
bin=$1
. "$(dirname "$0")/e2e_lib.sh"
e2e_setup

docs="$E2E_WORK/docs"
mkdir -p "$docs"
"$bin/plenvo-make-sample" "$docs/plenvo-sample-a0.pdf" || e2e_fail "could not write the sample"
cp "$docs/plenvo-sample-a0.pdf" "$docs/other.pdf"
printf 'not a pdf at all' >"$docs/broken.pdf"

cd "$docs"
"$bin/plenvo" plenvo-sample-a0.pdf >"$E2E_WORK/first.log" 2>&1 &
first=$!
E2E_PIDS="$first"
e2e_wait 30 e2e_window_titled plenvo-sample-a0 || e2e_fail "no window titled plenvo-sample-a0"

# The drawing appears: the canvas area fills with ink once rendering has finished.
inked() {
    local shot
    shot=$(e2e_screenshot sample)
    [ "$(e2e_ink "$shot" 200 200 600 400)" -ge 3 ]
}
e2e_wait 30 inked || e2e_fail "the drawing never appeared"
echo "ok - first launch shows the sample drawing"

start=$SECONDS
timeout 20 "$bin/plenvo" "$docs/other.pdf" || e2e_fail "second launch did not exit cleanly"
[ $((SECONDS - start)) -le 10 ] || e2e_fail "second launch took too long"
kill -0 "$first" || e2e_fail "the first instance is gone"
e2e_wait 20 e2e_window_titled other || e2e_fail "the running window did not open other.pdf"
[ "$(xdotool search --onlyvisible --name '^(other|plenvo-sample-a0|Plenvo)$' | wc -l)" -eq 1 ] \
    || e2e_fail "more than one viewer window"
echo "ok - second launch opened its file in the first window"

timeout 20 "$bin/plenvo" "file://$docs/broken.pdf" || e2e_fail "third launch did not exit cleanly"
sleep 1
e2e_window_titled other >/dev/null || e2e_fail "a bad file replaced the open drawing"
kill -0 "$first" || e2e_fail "a bad file killed the viewer"
echo "ok - a broken file handed over leaves the drawing open"

echo "3 passed, 0 failed"

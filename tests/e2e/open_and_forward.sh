#!/usr/bin/env bash
# --help and --version answer without a display, an unknown option is refused; a launch with
# drawings shows the first under the file's name and says why the others are not opened; a
# second launch hands its file to the running window and exits, also a name after "--" that
# starts with "-" and a file URL of a name that is not UTF-8; a bad file handed over leaves the
# shown drawing alone.
set -euo pipefail
bin=$1
. "$(dirname "$0")/e2e_lib.sh"

version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/plenvo" --version) \
    || e2e_fail "--version failed without a display"
[[ "$version" =~ ^plenvo\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || e2e_fail "--version printed \"$version\""
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/plenvo" -h | grep -q '^用法：plenvo ' \
    || e2e_fail "-h printed no usage without a display"
echo "ok - --version and -h answer without a display"

e2e_setup

docs="$E2E_WORK/docs"
mkdir -p "$docs"
"$bin/plenvo-make-sample" "$docs/plenvo-sample-a0.pdf" || e2e_fail "could not write the sample"
cp "$docs/plenvo-sample-a0.pdf" "$docs/other.pdf"
cp "$docs/plenvo-sample-a0.pdf" "$docs/-odd-name.pdf"
cp "$docs/plenvo-sample-a0.pdf" "$docs/"$'\xb9\xa4'" 图.pdf"
printf 'not a pdf at all' >"$docs/broken.pdf"

cd "$docs"
set +e
timeout 20 "$bin/plenvo" --bogus plenvo-sample-a0.pdf 2>"$E2E_WORK/bogus.log"
status=$?
set -e
[ "$status" = 2 ] || e2e_fail "an unknown option exited with $status"
[ "$(head -1 "$E2E_WORK/bogus.log")" = "plenvo：未知选项“--bogus”" ] && grep -q -- 'plenvo --help' "$E2E_WORK/bogus.log" \
    || e2e_fail "an unknown option said: $(cat "$E2E_WORK/bogus.log")"
echo "ok - an unknown option is refused with a hint and status 2"

"$bin/plenvo" plenvo-sample-a0.pdf notes.txt other.pdf >"$E2E_WORK/first.log" 2>&1 &
first=$!
E2E_PIDS="$first"
e2e_wait 30 e2e_window_titled plenvo-sample-a0 || e2e_fail "no window titled plenvo-sample-a0"
grep -qx 'plenvo：未打开“notes.txt”：不是本机上的 PDF 文件' "$E2E_WORK/first.log" \
    && grep -qx 'plenvo：未打开“other.pdf”：一次只打开一个文件' "$E2E_WORK/first.log" \
    || e2e_fail "the files not opened were not named: $(cat "$E2E_WORK/first.log")"
echo "ok - the first of several drawings opens, and each other one is named with why"

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

timeout 20 "$bin/plenvo" -- -odd-name.pdf || e2e_fail "a launch with -- did not exit cleanly"
e2e_wait 20 e2e_window_titled -odd-name || e2e_fail "the name after -- was not opened"
# As the desktop hands a file over: a percent-encoded URL of bytes that are not UTF-8.
timeout 20 "$bin/plenvo" "file://$docs/%B9%A4%20%E5%9B%BE.pdf" || e2e_fail "a file URL launch did not exit cleanly"
e2e_wait 20 xdotool search --onlyvisible --name ' 图$' || e2e_fail "the file URL of a name not in UTF-8 was not opened"
echo "ok - a name starting with - after --, and a percent-encoded file URL, open"

echo "7 passed, 0 failed"

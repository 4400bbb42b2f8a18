#!/usr/bin/env bash
# A fitted portrait page turned landscape in a window of the default size used to flip the
# scroll bars for ever: the window stopped answering. Turn page 11 of a long document both
# ways and check that the page stays current and the window still answers the keys.
set -euo pipefail
bin=$1
. "$(dirname "$0")/e2e_lib.sh"
e2e_setup

"$bin/plenvo-test-pages" "$E2E_WORK/book.pdf" 20 || e2e_fail "could not write the document"
state="$E2E_WORK/state.json"
export PLENVO_TEST_STATE_FILE="$state"
"$bin/plenvo-e2e" "$E2E_WORK/book.pdf" >"$E2E_WORK/app.log" 2>&1 &
E2E_PIDS=$!
e2e_wait 30 e2e_window_titled book || e2e_fail "no window titled book"
window=$(e2e_window_titled book)
xdotool windowfocus --sync "$window"


e2e_expect '.pageCount == 20 and .pageIndex == 0' "the document did not open on its first page"
for _ in $(seq 10); do xdotool key alt+bracketright; done
e2e_expect '.pageIndex == 10' "Alt+] ten times did not reach page 11"
echo "ok - page 11 of 20, fitted"

# Just wider than the default window the turned sheet, fitted, is within a scroll bar's width of
# the view's width: sweep that band a pixel at a time.
for width in $(seq 1078 1 1092); do
    xdotool windowsize --sync "$window" "$width" 760
    xdotool windowfocus --sync "$window"
    sleep 0.3 # the window takes its new size before the turn
    xdotool key alt+Right
    e2e_expect '.statusText == "当前页已向右旋转 90°" and .pageIndex == 10' "Alt+→ did not turn page 11 in place at $width px"
    sleep 0.5 # as long as a user looks at the turned page before the next key
    xdotool key alt+bracketright
    # A window that needs seconds for a key has stopped answering: a healthy one takes a frame.
    e2e_expect '.pageIndex == 11' "the window stopped answering after the turn at $width px" 3
    xdotool key alt+bracketleft alt+Left
    e2e_expect '.pageIndex == 10 and .statusText == "当前页已向左旋转 90°"' "page 11 did not turn back at $width px"
done
echo "ok - turning page 11 at 1078 to 1092 px wide: the window answers and the page stays current"

xdotool key alt+Right alt+Right alt+0
e2e_expect '.statusText == "当前页已恢复默认方向" and .pageIndex == 10' "turning twice and resetting left page 11"
echo "ok - turning twice and resetting keep page 11"

kill -0 "$E2E_PIDS" || e2e_fail "the viewer exited"
echo "3 passed, 0 failed"

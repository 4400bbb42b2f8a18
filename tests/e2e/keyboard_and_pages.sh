#!/usr/bin/env bash
# The default drawing keys, the page-number field, presentation and the menu keys, driven
# through the real program and read back from its window title and its state read-out. The
# page-number field is reached with Tab and found by its accessible name.
set -euo pipefail
bin=$1
. "$(dirname "$0")/e2e_lib.sh"
e2e_accessibility "$@"

docs="$E2E_WORK/docs"
mkdir -p "$docs"
"$bin/plenvo-make-sample" "$docs/总图 set.pdf" || e2e_fail "could not write the sample"
state="$E2E_WORK/state.json"
export PLENVO_TEST_STATE_FILE="$state"

"$bin/plenvo-e2e" "$docs/总图 set.pdf" >"$E2E_WORK/app.log" 2>&1 &
viewer=$!
E2E_PIDS="$E2E_PIDS $viewer"
e2e_wait 30 e2e_window_titled "总图 set" || e2e_fail "no window titled 总图 set"
window=$(e2e_window_titled "总图 set")

state_value() {
    jq -r ".$1" "$state"
}
# Without a window manager nothing gives the window the keyboard; take it explicitly.
focus_viewer() {
    xdotool windowfocus --sync "$window"
}

e2e_expect '.title == "总图 set" and .pageCount == 3 and .pageIndex == 0' "the set did not open on its first page"
focus_viewer
echo "ok - the set opens on page 1 of 3"

# Two forward and one back: a key that did nothing leaves the set on page 1 or 3.
xdotool key alt+bracketright alt+bracketright alt+bracketleft
e2e_expect '.pageIndex == 1' "Alt+] twice and Alt+[ did not end on page 2"
echo "ok - Alt+] and Alt+[ turn the pages"

zoom=$(state_value zoomPercentage)
xdotool key alt+equal
e2e_expect ".zoomPercentage > $zoom" "Alt+= did not zoom in from $zoom %"
xdotool key alt+Down
e2e_expect '.statusText == "已适合页面"' "Alt+↓ did not fit the page"
echo "ok - Alt+= zooms in and Alt+↓ fits the page"

xdotool key alt+f
e2e_expect '.isPresentationMode == true and .pageIndex == 1' "Alt+F did not start presenting page 2"
xdotool key Escape
e2e_expect '.isPresentationMode == false and .pageIndex == 1' "Escape did not end the presentation on page 2"
echo "ok - Alt+F presents and Escape returns to the same page"

# Taking the focus by Tab selects what the field shows.
focus_viewer
e2e_tab_to 跳转页码
xdotool type --delay 50 3
xdotool key Return
e2e_expect '.pageIndex == 2' "typing 3 in the page-number field did not go to page 3"
e2e_window_titled "总图 set" >/dev/null || e2e_fail "the window title changed while paging"
echo "ok - the page-number field takes the user to page 3"

xdotool key ctrl+shift+slash
e2e_wait 10 xdotool search --onlyvisible --name '^帮助$' || e2e_fail "Ctrl+Shift+/ did not open the help window"
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name '^帮助$' | head -1)"
xdotool key alt+bracketleft
e2e_expect '.pageIndex == 1' "Alt+[ pressed in the help window did not reach the viewer"
echo "ok - Ctrl+Shift+/ opens help, and the drawing keys work from there"

focus_viewer
xdotool key ctrl+shift+w
e2e_expect '.pageCount == 0 and .title == "Plenvo"' "Ctrl+Shift+W did not close the set"
e2e_wait 10 e2e_window_titled Plenvo || e2e_fail "the window title did not go back to Plenvo"
echo "ok - closing returns to the empty window"

kill -0 "$viewer" || e2e_fail "the viewer exited"
echo "7 passed, 0 failed"

#!/usr/bin/env bash
# Changing a key in the shortcut settings window with the keyboard alone: the new key works in
# the viewer at once and after the program was killed; a reserved key is refused with its
# message; "恢复全部默认" brings the default back. Controls are found by their accessible names.
set -euo pipefail
bin=$1
. "$(dirname "$0")/e2e_lib.sh"
e2e_accessibility "$@"

"$bin/plenvo-make-sample" "$E2E_WORK/sheet.pdf" --a0-only || e2e_fail "could not write the sample"
state="$E2E_WORK/state.json"
export PLENVO_TEST_STATE_FILE="$state"

start_viewer() {
    rm -f "$state"
    "$bin/plenvo-e2e" "$E2E_WORK/sheet.pdf" >>"$E2E_WORK/app.log" 2>&1 &
    viewer=$!
    E2E_PIDS="$E2E_PIDS $viewer"
    e2e_wait 30 e2e_window_titled sheet || e2e_fail "no window titled sheet"
    window=$(e2e_window_titled sheet)
    e2e_expect '.pageCount == 1' "the sheet did not open"
}
open_settings() {
    xdotool windowfocus --sync "$window"
    xdotool key ctrl+comma
    e2e_wait 10 xdotool search --onlyvisible --name '^Plenvo · 快捷键$' || e2e_fail "Ctrl+, did not open the settings"
    settings=$(xdotool search --onlyvisible --name '^Plenvo · 快捷键$' | head -1)
    xdotool windowfocus --sync "$settings"
}
# Presses $1 in the viewer and reports whether the zoom grew.
zooms_in_with() {
    xdotool windowfocus --sync "$window"
    xdotool key alt+Down
    e2e_expect '.statusText == "已适合页面"' "Alt+↓ did not fit the sheet"
    local fitted
    fitted=$(jq .zoomPercentage "$state")
    xdotool key "$1"
    e2e_wait 5 jq -e ".zoomPercentage > $fitted" "$state"
}

start_viewer
open_settings
e2e_tab_to "放大快捷键"
xdotool key space
sleep 0.3
xdotool key ctrl+alt+k
e2e_showing "已把“放大”改为 Ctrl+Alt+K。" "the new key was not taken"
echo "ok - Ctrl+, opens the settings, and Tab, Space, Ctrl+Alt+K change 放大"

zooms_in_with ctrl+alt+k || e2e_fail "Ctrl+Alt+K did not zoom the viewer in"
echo "ok - the new key zooms the viewer in at once"

kill -9 "$viewer"
wait "$viewer" 2>/dev/null || true
start_viewer
zooms_in_with ctrl+alt+k || e2e_fail "Ctrl+Alt+K no longer zooms in after the program was killed"
echo "ok - the key survives the program being killed"

open_settings
e2e_tab_to "放大快捷键"
xdotool key space
sleep 0.3
xdotool key ctrl+q
e2e_showing "这个组合已被应用或系统常用功能占用。" "Ctrl+Q was not refused"
kill -0 "$viewer" || e2e_fail "Ctrl+Q quit the program instead of being recorded"
grep -q 'zoomIn.*\\"k\\"' "$XDG_CONFIG_HOME/Plenvo/Plenvo.ini" || e2e_fail "the refused key changed the stored keys"
zooms_in_with ctrl+alt+k || e2e_fail "after the refusal Ctrl+Alt+K no longer zooms in"
echo "ok - a reserved key is refused with its message and changes nothing"

open_settings
e2e_tab_to "恢复全部默认"
xdotool key space
e2e_showing "已恢复全部默认快捷键。" "恢复全部默认 did not report"
zooms_in_with alt+equal || e2e_fail "Alt+= does not zoom in after 恢复全部默认"
! zooms_in_with ctrl+alt+k || e2e_fail "Ctrl+Alt+K still zooms in after 恢复全部默认"
echo "ok - 恢复全部默认 brings Alt+= back"

open_settings
xdotool key ctrl+shift+w
e2e_expect '.pageCount == 0' "Ctrl+Shift+W pressed in the settings window did not close the sheet"
echo "ok - the application's own keys work from the settings window"

echo "6 passed, 0 failed"

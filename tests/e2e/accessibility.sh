#!/usr/bin/env bash
# The viewer as a screen reader meets it on the accessibility bus: the main window's controls
# are there under their accessible names, the zoom label's name carries the zoom, and the result
# of a search reaches a listener on the bus as an alert.
set -euo pipefail
bin=$1
. "$(dirname "$0")/e2e_lib.sh"
e2e_accessibility "$@"

e2e_open_sheet

for name in "打开 PDF" "跳转页码" "搜索 PDF" "图纸" "页面缩略图"; do
    e2e_showing "$name" "the main window on the bus"
done
# The menu bar has an item named 帮助 too; the status bar's is the push button.
e2e_atspi showing 帮助 "push button" || e2e_fail "no 帮助 button in the status bar"
e2e_atspi names >"$E2E_WORK/names.txt"
grep -qE '^当前缩放 [0-9]+%$' "$E2E_WORK/names.txt" || e2e_fail "no zoom label named with its zoom"
echo "ok - the main window's controls are found by their accessible names"

heard="$E2E_WORK/heard.log"
coproc listener { e2e_atspi hear 20 object:state-changed:showing "找到 1 处" 2>"$heard"; }
read -r -u "${listener[0]}" ready || e2e_fail "the bus listener did not start"
xdotool windowfocus --sync "$window"
xdotool key ctrl+f
xdotool type --delay 20 RIVERSIDE
xdotool key Return
wait "$listener_PID" || e2e_fail "no alert \"找到 1 处\" was shown on the bus (heard: $(cut -f2 "$heard" | sort -u | tr '\n' '|'))"
echo "ok - a search's result is announced on the bus"

echo "2 passed, 0 failed"

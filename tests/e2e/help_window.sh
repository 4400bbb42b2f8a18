#!/usr/bin/env bash
# The help window, opened from the status bar and with Ctrl+Shift+/, closed with Escape; its
# copy button puts only a PNG of the card, twice its size, on the clipboard, read from outside the
# program. Controls are pressed by their accessible names.
set -euo pipefail
bin=$1
. "$(dirname "$0")/e2e_lib.sh"
e2e_accessibility "$@"

e2e_open_sheet

help_shown() {
    e2e_window_titled 帮助
}
help_hidden() {
    ! e2e_window_titled 帮助
}
clipboard_png() {
    xclip -selection clipboard -t image/png -o
}
# Checks that the clipboard offers nothing but image/png besides the selection protocol's own
# targets, and keeps the picture as $1.
take_copied_card() {
    local targets others size
    targets=$(xclip -selection clipboard -t TARGETS -o) || e2e_fail "the clipboard lists no targets"
    others=$(grep -vxE 'TARGETS|MULTIPLE|TIMESTAMP|SAVE_TARGETS' <<<"$targets" || true)
    [ "$others" = "image/png" ] || e2e_fail "the clipboard offers $(tr '\n' ' ' <<<"$others")instead of image/png alone"
    clipboard_png >"$1" || e2e_fail "the clipboard gave no image/png"
    size=$(identify -format '%wx%h' "$1") || e2e_fail "the copied image/png is not an image"
    [ "$size" = "1440x960" ] || e2e_fail "the copied card is $size, not 1440x960"
}

# The menu bar also has an item named 帮助; the status bar's is the push button.
e2e_wait 20 e2e_atspi press 帮助 "push button" || e2e_fail "no 帮助 button in the status bar"
e2e_wait 10 help_shown || e2e_fail "the status bar's 帮助 did not open the help window"
help=$(e2e_window_titled 帮助 | head -1)
xdotool windowfocus --sync "$help"
xdotool key Escape
e2e_wait 10 help_hidden || e2e_fail "Escape did not close the help window"
echo "ok - the status bar's 帮助 opens the help window, and Escape closes it"

xdotool windowfocus --sync "$window"
xdotool key ctrl+shift+slash
e2e_wait 10 help_shown || e2e_fail "Ctrl+Shift+/ did not open the help window"
[ "$(e2e_window_titled 帮助 | wc -l)" = 1 ] || e2e_fail "Ctrl+Shift+/ opened a second help window"
help=$(e2e_window_titled 帮助)
e2e_atspi press 复制帮助图 "push button" || e2e_fail "no 复制帮助图 button"
e2e_showing "已复制 ✓" "the copy was not confirmed"
take_copied_card "$E2E_WORK/card1.png"
if [ -n "${E2E_KEEP_SCREENSHOTS:-}" ]; then
    mkdir -p "$E2E_KEEP_SCREENSHOTS"
    import -window "$help" "$E2E_KEEP_SCREENSHOTS/help-window.png"
fi
echo "ok - Ctrl+Shift+/ opens it again, and 复制帮助图 leaves a 1440x960 PNG, the clipboard's only format"

echo "2 passed, 0 failed"

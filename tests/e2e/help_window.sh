#!/usr/bin/env bash
# The help window, opened from the status bar and with Ctrl+Shift+/, closed with Escape; its
# copy button puts only a PNG of the card, twice its size, on the clipboard, read from outside the
# program; "自定义快捷键…" leads to the settings window, and a key changed there is in the next
# copy. Controls are pressed by their accessible names.
set -euo pipefail
bin=$1
. "$(dirname "$0")/e2e_lib.sh"
e2e_accessibility "$@"

"$bin/plenvo-make-sample" "$E2E_WORK/sheet.pdf" --a0-only || e2e_fail "could not write the sample"
"$bin/plenvo" "$E2E_WORK/sheet.pdf" >>"$E2E_WORK/app.log" 2>&1 &
E2E_PIDS="$E2E_PIDS $!"
e2e_wait 30 e2e_window_titled sheet || e2e_fail "no window titled sheet"
window=$(e2e_window_titled sheet)

help_shown() {
    e2e_window_titled 帮助
}
help_hidden() {
    ! e2e_window_titled 帮助
}
open_help_with_keys() {
    xdotool windowfocus --sync "$window"
    xdotool key ctrl+shift+slash
    e2e_wait 10 help_shown || e2e_fail "Ctrl+Shift+/ did not open the help window"
}
clipboard_png() {
    xclip -selection clipboard -t image/png -o
}
# The clipboard's picture, once its checksum differs from $1.
clipboard_changed_from() {
    [ "$(clipboard_png 2>/dev/null | md5sum)" != "$1" ]
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

open_help_with_keys
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

e2e_atspi press "自定义快捷键…" "push button" || e2e_fail "no 自定义快捷键… button"
e2e_wait 10 e2e_window_titled 'Plenvo · 快捷键' || e2e_fail "自定义快捷键… did not open the settings"
e2e_wait 10 help_hidden || e2e_fail "自定义快捷键… left the help window open"
xdotool windowfocus --sync "$(e2e_window_titled 'Plenvo · 快捷键' | head -1)"
e2e_tab_to "放大快捷键"
xdotool key space
sleep 0.3
xdotool key ctrl+alt+k
e2e_showing "已把“放大”改为 Ctrl+Alt+K。" "the new key was not taken"
echo "ok - 自定义快捷键… hides help and opens the settings, where 放大 becomes Ctrl+Alt+K"

open_help_with_keys
first=$(md5sum <"$E2E_WORK/card1.png")
e2e_atspi press "已复制 ✓" "push button" || e2e_fail "the copy button no longer says 已复制 ✓"
e2e_wait 10 clipboard_changed_from "$first" || e2e_fail "copying after the change gave the same picture"
take_copied_card "$E2E_WORK/card2.png"
differing=$(compare -metric AE "$E2E_WORK/card1.png" "$E2E_WORK/card2.png" null: 2>&1 || true)
[ "${differing%% *}" != 0 ] || e2e_fail "the two copies have the same pixels"
[ -z "${E2E_KEEP_SCREENSHOTS:-}" ] || cp "$E2E_WORK/card2.png" "$E2E_KEEP_SCREENSHOTS/help-card@2x.png"
echo "ok - the next copy shows the changed key"

echo "4 passed, 0 failed"

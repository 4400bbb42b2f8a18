#!/usr/bin/env bash
# check_install.sh BUILD_DIR VERSION: installs BUILD_DIR under a scratch prefix, as a package
# or `make install` would, and checks the tree a desktop reads: the program runs, its desktop
# entry and metainfo validate against each other, the icon is there at every theme size, the
# manual page renders cleanly, and nothing else reaches bin/.
set -euo pipefail
build=$1
version=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
cmake --install "$build" --prefix "$root/usr" >/dev/null
share=$root/usr/share

[ "$(ls "$root/usr/bin")" = plenvo ] || fail "bin/ holds more than the program: $(ls "$root/usr/bin" | xargs)"
# --version is answered before the toolkit starts; a private runtime folder and settings
# all the same, so that a program that opened its window could neither hand its arguments to
# a running viewer nor touch the user's files.
mkdir -m 700 "$root/run"
status=0
out=$(XDG_RUNTIME_DIR="$root/run" XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data" \
    QT_QPA_PLATFORM=offscreen timeout -k 5 5 "$root/usr/bin/plenvo" --version </dev/null) || status=$?
[ "$status" -eq 0 ] && [ "$out" = "plenvo $version" ] ||
    fail "plenvo --version exited with $status and printed '$out', not 'plenvo $version'"

report=$(desktop-file-validate "$share/applications/plenvo.desktop" 2>&1) || fail "$report"
[ -z "$report" ] || fail "desktop-file-validate: $report"
# The tree form also checks that the metainfo's launchable names the installed desktop entry.
appstreamcli validate-tree --no-net "$root/usr" >"$root/appstream.log" 2>&1 || {
    cat "$root/appstream.log" >&2
    fail "appstreamcli validate-tree"
}

[ -f "$share/icons/hicolor/scalable/apps/plenvo.svg" ] || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256 512; do
    png=$share/icons/hicolor/${size}x${size}/apps/plenvo.png
    [ -f "$png" ] || fail "no ${size} px icon"
    # The PNG signature, then the IHDR chunk's width and height, big-endian, at byte 16.
    header=$(od -An -tu1 -N24 "$png" | xargs)
    read -r -a b <<<"$header"
    [ "${b[*]:0:8}" = "137 80 78 71 13 10 26 10" ] || fail "$png is not a PNG"
    width=$(((b[16] << 24) | (b[17] << 16) | (b[18] << 8) | b[19]))
    height=$(((b[20] << 24) | (b[21] << 16) | (b[22] << 8) | b[23]))
    [ "$width" -eq "$size" ] && [ "$height" -eq "$size" ] || fail "$png is ${width}x${height}"
done

page=$share/man/man1/plenvo.1.gz
[ -f "$page" ] || fail "no manual page"
if command -v man >/dev/null; then
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >"$root/man.txt") || fail "man: $warnings"
    [ -z "$warnings" ] || fail "man: $warnings"
    grep -q -- '--version' "$root/man.txt" || fail "the manual page renders empty"
fi
echo "installed tree checked"

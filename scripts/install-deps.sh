#!/usr/bin/env bash
# Installs the Debian 12 packages Plenvo needs to build, run, test and benchmark; with
# --fuzz, also the compiler and runtime of the fuzz build (`make fuzz`).
# Idempotent and quick when everything is present: only missing packages are fetched.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config
  # the formatter whose check is part of the tests
  clang-format-14
  # Qt 6 Widgets (with the GL headers its CMake config asks for) and Qt Network/Xml/Concurrent
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-svg-dev
  # Qt's window-system interface, for widget tests that press keys with scan codes
  qt6-base-private-dev
  # keyboard layouts, to record the key a shortcut was pressed on
  libxkbcommon-dev
  # the PDF engine and the libraries its static archive links against
  libmupdf-dev libharfbuzz-dev libfreetype-dev libjbig2dec0-dev libjpeg-dev
  libopenjp2-7-dev zlib1g-dev libgumbo-dev libmujs-dev
  # Qt's own strings (file dialogs, standard buttons) in Chinese
  qt6-translations-l10n
  # fonts for the Chinese interface, and an icon theme
  fonts-noto-cjk adwaita-icon-theme hicolor-icon-theme
  # the install test's validators of the desktop entry and metainfo, and its manual page reader
  desktop-file-utils appstream man-db
  # end-to-end tests and screenshots; the accessibility bus they read controls from
  xvfb xauth xdotool xclip imagemagick jq dbus-daemon at-spi2-core python3-pyatspi
  # peer engines, used only by the benchmark; poppler-data holds the CJK character maps
  # without which Poppler reads no Chinese text at all
  libpoppler-qt6-dev qt6-pdf-dev poppler-data
)
if [ "${1:-}" = "--fuzz" ]; then
  # libFuzzer and the sanitizer runtimes
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

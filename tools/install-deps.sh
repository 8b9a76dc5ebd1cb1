#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and benchmarks need,
# only when one is missing. Run as root (or with sudo available).
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config ccache
  qt6-base-dev            # Qt 6 Widgets, Gui, Core, Test
  libsqlcipher-dev sqlcipher
  libpq-dev postgresql    # the exam lab's server: client library, and the server its tests start
  libfreexl-dev           # reads the .xls spreadsheets
  libzip-dev libpugixml-dev # writes the printed paper (DOCX)
  fonts-noto-cjk          # stands in for 宋体 and MS Shell Dlg
  qt6-translations-l10n   # Qt's own dialogs and buttons in Chinese
  qt6-qpa-plugins         # the X11 platform the program runs on
  libxcb1-dev             # the exam holds the pointer and stays on top (X11)
  libgtest-dev libbenchmark-dev
  xvfb xdotool            # the keyboard lock's test on a real X server
  dpkg-dev                # dpkg-shlibdeps: the package's dependencies read from its binaries
  libxlsxwriter-dev       # writes the .xlsx exports of results and item analysis
  poppler-utils           # pdftotext and pdftoppm: the tests read the PDF exports back
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

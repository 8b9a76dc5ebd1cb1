#!/usr/bin/env bash
# Builds the Debian package from build/ and tries it as a school's computer
# would: installs it (dpkg -i, then apt-get -f install), starts the installed
# program from its menu entry under Xvfb with a fresh home folder until the
# start screen shows, asks `vorn --version`, removes the package and checks
# that nothing of it is left under /usr. Run as root on a machine of its own
# (.ci/run does); prints the package's size and the install time.
set -euo pipefail
cd "$(dirname "$0")/.."

(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/vorn_*_amd64.deb)
echo "package: $deb, $(stat -c %s "$deb") bytes" >&2

dpkg -s vorn >/dev/null 2>&1 && dpkg -r vorn >/dev/null
export DEBIAN_FRONTEND=noninteractive
start=$(date +%s%N)
dpkg -i "$deb" >/dev/null 2>&1 || apt-get -f install -y -qq >/dev/null
end=$(date +%s%N)
dpkg -s vorn | grep -q "Status: install ok installed"
echo "installed in $(( (end - start) / 1000000 )) ms" >&2
files=$(dpkg -L vorn)

fail() { echo "package check: $*" >&2; exit 1; }
# The program finds its helper and template where the package put them.
grep -q /usr/libexec/vorn /usr/bin/vorn || fail "vorn does not look in /usr/libexec/vorn"
[ -x /usr/libexec/vorn/vorn-xls-reader ] || fail "no spreadsheet reader"
[ -f /usr/share/vorn/wordtest.docx ] || fail "no printed paper template"
/usr/bin/vorn --version | grep -q "1\." || fail "vorn --version"

# From the menu: the desktop entry's command, a new user's home, no working
# directory yet. VORN_EXIT_WHEN_SHOWN ends the program once the start screen
# is up.
command=$(sed -n 's/^Exec=//p' /usr/share/applications/vorn.desktop)
home=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$home/.display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$home/.display" ] && break; sleep 0.1; done
display=":$(cat "$home/.display")"
out=$(cd "$home" && env -u XDG_DATA_HOME -u VORN_WORKDIR -u QT_QPA_PLATFORM HOME="$home" DISPLAY="$display" \
      VORN_EXIT_WHEN_SHOWN=1 timeout 120 $command 2>&1) || fail "the installed program did not start: $out"
echo "$out" | grep -q '^shown$' || fail "no start screen: $out"
[ -f "$home/.local/share/vorn/personnel.mdb" ] || fail "no working directory under the XDG data folder"
kill $xvfb 2>/dev/null || true
rm -rf "$home"

dpkg -r vorn >/dev/null
left=""
while read -r f; do
  [ -e "$f" ] && [ ! -d "$f" ] && left="$left $f"
done <<< "$files"
[ -z "$left" ] || fail "left under /usr after removal:$left"
for d in /usr/share/vorn /usr/libexec/vorn /usr/share/doc/vorn; do
  [ ! -e "$d" ] || fail "left after removal: $d"
done
echo "package check passed"

#!/usr/bin/env bash
# Builds Lumet, prepares the working directory ./workdir on first use (an
# existing one keeps its data) and starts the program in it.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target vorn vorn-setup
workdir="${VORN_WORKDIR:-$PWD/workdir}"
if [ ! -e "$workdir/questions.mdb" ] && [ ! -e "$workdir/personnel.mdb" ]; then
  build/vorn-setup "$workdir"
fi
cd "$workdir"
exec "$OLDPWD/build/vorn"

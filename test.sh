#!/usr/bin/env bash
# Builds the program and its tests and runs the whole test suite headless;
# ends with ctest's summary. VORN_WERROR=ON makes compiler warnings errors.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_WERROR="${VORN_WERROR:-OFF}" >/dev/null
cmake --build build
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2 --timeout 300

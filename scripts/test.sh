#!/usr/bin/env bash
# One command from a fresh machine to a full test run: installs what is missing (the
# package lists build, display and test), configures, builds and runs every test.
# Build folder: build/ (override with BUILD_DIR).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}

bash "$here/scripts/install-deps.sh" build display test
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTO_BUILD_TESTS=ON
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 300

#!/usr/bin/env bash
# The core, the store, the drivers and the parsers with their tests, built with
# AddressSanitizer and UndefinedBehaviorSanitizer and run: any finding fails the run.
# The desktop programs are left out (Qt and the web engine are not ours to check), and so
# is the on-the-air virtual machine: the Linux library's code runs here under its fake
# daemons' tests, and on the air once, in the test command (under the sanitizers it took
# over three minutes of this run's five, the other core idle).
# Build folder: build-sanitize/ (override with BUILD_DIR).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build-sanitize}

bash "$here/scripts/install-deps.sh" build test
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DKESTO_SANITIZE=ON -DKESTO_DESKTOP=OFF -DKESTO_BUILD_BENCH=OFF -DKESTO_VM_TESTS=OFF
cmake --build "$build" -j "$(nproc)"
cd "$build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --output-on-failure -j "$(nproc)" --timeout 300

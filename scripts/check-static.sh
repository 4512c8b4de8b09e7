#!/usr/bin/env bash
# Static checks beyond the compiler's warnings: shellcheck over every shell script of the
# tree, and clang-tidy with the checks of .clang-tidy over the core and the drivers (any
# finding fails). clang-tidy reads the compile commands of a configured build folder:
# build-tidy/ (override with BUILD_DIR); it is only configured, never built.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build-tidy}
cd "$here"
bash scripts/install-deps.sh build static

# The scripts: bash ones by their extension or shebang, the test machine's busybox ones by
# the directive in their first lines.
mapfile -t scripts < <(git ls-files '*.sh' .ci/run scripts/vm/init)
shellcheck -x "${scripts[@]}"
echo "check-static: shellcheck finds nothing in ${#scripts[@]} scripts"

# The core and the drivers, as the test build compiles them (without the Qt programs,
# whose code is not in the checked folders).
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTO_DESKTOP=OFF -DKESTO_BUILD_TESTS=OFF -DKESTO_BUILD_BENCH=OFF >/dev/null
folders=(base platform pages profiles adapter security apply chart station ap app drivers)
mapfile -t sources < <(git ls-files "${folders[@]/%//*.cpp}")
printf '%s\n' "${sources[@]}" |
  xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2>/dev/null
echo "check-static: clang-tidy finds nothing in ${#sources[@]} sources"

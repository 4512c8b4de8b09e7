#!/usr/bin/env bash
# Builds the Debian package of the desktop programs: installs what is missing, configures
# a build without the tests and without the window program's test hooks, builds it, and
# runs CPack's Debian generator (dependencies from dpkg-shlibdeps). Prints the package's
# path on its last line.
#
#   bash scripts/package.sh
#
# Build folder: build-package/ (override with PACKAGE_BUILD_DIR); the package lands there.
# The compiler flags are the test build's (RelWithDebInfo; CPack strips the programs), so
# a compiler cache shares every object but the window program's with build/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${PACKAGE_BUILD_DIR:-$here/build-package}

bash "$here/scripts/install-deps.sh" build package
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_INSTALL_PREFIX=/usr -DKESTO_BUILD_TESTS=OFF -DKESTO_WINDOW_TEST_HOOKS=OFF \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro -Wl,-z,now" >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/*.deb

#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the package check (lintian) and the
# benchmarks need.
# Safe to run again: packages already present are not fetched.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libssl-dev nlohmann-json3-dev
  qt6-base-dev
  qt6-webengine-dev qt6-webchannel-dev libqt6webenginecore6-bin fonts-dejavu-core
  xvfb xauth trayer xdotool openbox
  lintian
  clang-format clang-tidy shellcheck
  clang libclang-rt-14-dev
  qemu-system-x86 busybox-static hostapd wpasupplicant openssl
  libsystemd-dev dbus-daemon python3-dbusmock
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

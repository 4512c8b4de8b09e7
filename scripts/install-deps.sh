#!/usr/bin/env bash
# Installs the Debian packages of the named lists (scripts/packages/<LIST>.txt), or of
# every list when none is named. Each script that builds or runs something names the
# lists it needs; .ci/run installs them all as its first step.
#
#   bash scripts/install-deps.sh [LIST...]
#
#   build     compiling the three programs and running them
#   display   a virtual display with a notification area (run.sh without a display, the
#             desktop tests)
#   test      what the test command adds (test frameworks, the on-the-air machine)
#   static    the format check, shellcheck and clang-tidy
#   fuzz      clang with libFuzzer
#   package   the Debian package's check (lintian)
#   bench     the benchmarks
#
# Safe to run again, and cheap then: packages already present are not fetched.
set -euo pipefail
lists_dir=$(cd "$(dirname "$0")" && pwd)/packages

lists=("$@")
if [ ${#lists[@]} -eq 0 ]; then
  for file in "$lists_dir"/*.txt; do
    name=${file##*/}
    lists+=("${name%.txt}")
  done
fi

packages=()
for list in "${lists[@]}"; do
  file=$lists_dir/$list.txt
  [ -f "$file" ] || { echo "install-deps.sh: no package list '$list' in $lists_dir" >&2; exit 2; }
  while read -r package _; do
    [ -z "$package" ] || [ "${package:0:1}" = '#' ] || packages+=("$package")
  done <"$file"
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps.sh: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

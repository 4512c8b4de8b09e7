#!/usr/bin/env bash
# End-to-end check of the Debian package: builds it (scripts/package.sh) unless one is
# given, runs lintian on it (no error allowed), unpacks it into a fresh root with dpkg -x
# (the libraries it depends on come from this machine, which must have them all), and
# runs the installed programs from there as the menu entry starts them: in the data folder
# that holds QVWlan.INI, on the shipped default scenario, offscreen, on a fresh store. The
# utility must come up (window program started, adapter driven, no message box) and end
# when a second start asks it to with /EXIT.
#
#   bash scripts/check-package.sh [PACKAGE.deb]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "check-package: $*" >&2; exit 1; }

if [ $# -gt 0 ]; then
  deb=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  bash "$here/scripts/install-deps.sh" build package
else
  deb=$(bash "$here/scripts/package.sh" | tail -1)
fi
[ -f "$deb" ] || fail "no package at $deb"
echo "check-package: $deb"

lintian_status=0
lintian_out=$(lintian --fail-on error "$deb" 2>&1) || lintian_status=$?
grep -v '^running with root privileges' <<<"$lintian_out" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors"

work=$(mktemp -d /tmp/kesto-package-XXXXXX)
utility_pid=
bus_pid=
cleanup() {
  if [ -n "$utility_pid" ] && kill -0 "$utility_pid" 2>/dev/null; then
    kill "$utility_pid" 2>/dev/null || true
    wait "$utility_pid" 2>/dev/null || true
  fi
  [ -z "$bus_pid" ] || kill "$bus_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The package's own dependencies must be on this machine: they are what the unpacked
# programs run on.
missing=()
for dep in $(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/(.*)//; s/|.*//' | tr -d ' '); do
  dpkg-query -W -f='${Status}' "$dep" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$dep")
done
[ ${#missing[@]} -eq 0 ] || fail "dependencies not installed here: ${missing[*]}"

root=$work/root
dpkg -x "$deb" "$root"
for file in usr/bin/kesto-utility usr/bin/kestoctl usr/libexec/kesto/kesto-window \
            usr/share/kesto/QVWlan.INI usr/share/kesto/scenarios/default.json \
            usr/share/kesto/help/KestoR-450.html \
            usr/share/applications/org.kesto.WlanUtility.desktop \
            etc/xdg/autostart/org.kesto.WlanUtility.desktop \
            usr/share/icons/hicolor/scalable/apps/org.kesto.WlanUtility.svg \
            usr/share/icons/hicolor/48x48/apps/org.kesto.WlanUtility.png \
            usr/share/metainfo/org.kesto.WlanUtility.metainfo.xml \
            usr/share/man/man1/kesto-utility.1.gz usr/share/man/man1/kestoctl.1.gz \
            usr/share/man/man5/org.kesto.WlanUtility1.5.gz \
            usr/share/bash-completion/completions/kestoctl \
            usr/share/dbus-1/interfaces/org.kesto.WlanUtility1.xml; do
  [ -e "$root/$file" ] || fail "the package has no /$file"
done
# The pages as the build assembled them: the pages the window has always loaded.
(cd "$root/usr/share/kesto/pages" && sha256sum --check --strict --quiet \
  "$here/tests/resources/pages.sha256" && [ -f bridge.js ] && [ -f style.css ]) ||
  fail "the package's pages differ from tests/resources/pages.sha256"
for program in "$root"/usr/bin/* "$root"/usr/libexec/kesto/*; do
  ! grep -q -a -F "$here" "$program" || fail "$program holds a path of the source tree"
done
# The entries start the utility in the data folder, where QVWlan.INI is.
for entry in usr/share/applications etc/xdg/autostart; do
  grep -qx 'Path=/usr/share/kesto' "$root/$entry/org.kesto.WlanUtility.desktop" ||
    fail "/$entry/org.kesto.WlanUtility.desktop does not start in /usr/share/kesto"
done

# Both programs say the package's version.
version=$(dpkg-deb -f "$deb" Version)
for program in kesto-utility kestoctl; do
  said=$("$root/usr/bin/$program" --version) || fail "$program --version failed"
  [ "$said" = "$program ${version%-*}" ] || fail "$program --version says '$said', not ${version%-*}"
done

mkdir -m 0700 "$work/run" "$work/config"
# A session bus of the check's own, for the utility's service and kestoctl.
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus.address" 4>"$work/bus.pid" ||
  fail "no dbus-daemon"
bus_pid=$(cat "$work/bus.pid")
export DBUS_SESSION_BUS_ADDRESS
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus.address")
store=$work/registry.db
utility=$root/usr/bin/kesto-utility
# Starts the installed utility as the menu entry does; replaces the shell it runs in, so
# call it in a subshell or in the background.
run() {
  cd "$root/usr/share/kesto"
  exec env -u KESTO_RESOURCES_DIR -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$work/run" \
    XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 \
    "$utility" --registry "$store" "$@"
}
run --call-log "$work/calls.log" --message-log "$work/messages.log" \
  >"$work/utility.log" 2>&1 &
utility_pid=$!

# Up: the installed window program runs as the utility's child (offscreen there is no
# notification area, so the window shows at start) and the adapter has been opened.
window_pid=
for _ in $(seq 300); do
  kill -0 "$utility_pid" 2>/dev/null || { cat "$work/utility.log"; fail "the utility ended at start"; }
  window_pid=$(pgrep -P "$utility_pid" -f "$root/usr/libexec/kesto/kesto-window" || true)
  [ -n "$window_pid" ] && [ -s "$work/calls.log" ] && break
  sleep 0.1
done
[ -n "$window_pid" ] || { cat "$work/utility.log"; fail "no window program after 30 s"; }
[ -s "$work/calls.log" ] || fail "the adapter was never called"
sleep 2
kill -0 "$window_pid" 2>/dev/null || { cat "$work/utility.log"; fail "the window program ended"; }
if [ -s "$work/messages.log" ]; then
  cat "$work/messages.log"
  fail "the utility showed a message box at start"
fi

# The installed command line reaches the utility through its session service.
answered=
for _ in $(seq 100); do
  "$root/usr/bin/kestoctl" status >"$work/status.txt" 2>&1 && { answered=1; break; }
  sleep 0.1
done
[ -n "$answered" ] || { cat "$work/status.txt"; fail "kestoctl status found no utility on the bus"; }
grep -q '^Modus: *Station$' "$work/status.txt" || { cat "$work/status.txt"; fail "kestoctl status printed no mode"; }

(run /EXIT) >>"$work/exit.log" 2>&1 || { cat "$work/exit.log"; fail "kesto-utility /EXIT failed"; }
for _ in $(seq 150); do kill -0 "$utility_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$utility_pid" 2>/dev/null && fail "the utility did not end on /EXIT within 15 s"
status=0
wait "$utility_pid" || status=$?
utility_pid=
[ "$status" -eq 0 ] || { cat "$work/utility.log"; fail "the utility ended with status $status"; }
for _ in $(seq 50); do kill -0 "$window_pid" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$window_pid" 2>/dev/null || fail "the window program outlived the utility"

# The installed command line reads the store the utility wrote.
"$root/usr/bin/kestoctl" --registry "$store" reg export "$work/store.reg" --regedit4 ||
  fail "kestoctl could not read the store"
[ -s "$work/store.reg" ] || fail "the store is empty"
echo "check-package: the installed utility came up on the default scenario and ended on /EXIT"

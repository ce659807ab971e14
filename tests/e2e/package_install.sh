#!/usr/bin/env bash
# The Debian package as a player gets it: built by scripts/package, clean under lintian,
# installed with apt-get, started from / by its menu entry's command under Xvfb (window,
# a drawn yard, status 0 on ESC), then purged without a trace. Runs as root; anything
# missing fails the test.
# Usage: package_install.sh SCRIPTS_PACKAGE
set -uo pipefail
. "$(dirname "$0")/robust_lib.sh"
package_script=${1:?usage: package_install.sh SCRIPTS_PACKAGE}
entry=/usr/share/applications/boneyard.desktop

[ "$(id -u)" -eq 0 ] || { echo "FAIL: installing a package needs root" >&2; exit 1; }
for tool in Xvfb xdotool xdpyinfo import convert lintian desktop-file-validate apt-get; do
    command -v "$tool" >/dev/null || { echo "FAIL: missing tool: $tool" >&2; exit 1; }
done
# One package test at a time on this machine: each installs and purges the same package.
exec 9>/run/lock/boneyard-package-test
flock -w 900 9 || { echo "FAIL: another package test holds the lock" >&2; exit 1; }
if dpkg-query -W -f='${Status}' boneyard 2>/dev/null | grep -q installed; then
    echo "FAIL: boneyard is already installed here: this test would remove it" >&2
    exit 1
fi
WORK=$(mktemp -d "${TMPDIR:-/tmp}/boneyard-package.XXXXXX")
chmod 755 "$WORK"  # apt fetches a local package as the _apt user
cleanup() { robust_cleanup; apt-get purge -y -qq boneyard >/dev/null 2>&1; }
trap cleanup EXIT

start=$SECONDS
deb=$("$package_script" "$WORK" 2>"$WORK/package.log") || { tail -n 30 "$WORK/package.log"; fail "scripts/package failed"; exit 1; }
note "$(basename "$deb"): $(stat -c %s "$deb") bytes, built in $((SECONDS - start)) s"
lintian --fail-on error "$deb" || fail "lintian reports errors"

apt_get() { apt-get -y -qq -o DPkg::Lock::Timeout=300 "$@" >"$WORK/apt.log" 2>&1 || { cat "$WORK/apt.log"; fail "apt-get $*"; }; }
apt_get install --no-install-recommends "$deb"
desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
command=$(sed -n 's/^Exec=//p' "$entry")
start_private_display
(cd / && exec $command 2>"$WORK/game.err") &
GAME_PID=$! GAME_DIR=$WORK/game  # its stderr is $GAME_DIR.err, as show_stderr reads it
if wait_window 30; then
    # The yard, sky and fence fill the window (1024 x 768 at -1, -1 without a window
    # manager): many colours and some light, not a black frame. Polled: a busy machine
    # may take a while over the first frames.
    for try in $(seq 10); do
        sleep 1
        import -window root -crop 1022x766+0+0 "$WORK/frame.ppm"
        read -r colours mean < <(convert "$WORK/frame.ppm" -format '%k %[fx:round(mean*1000)]\n' info:)
        [ "$colours" -gt 500 ] && [ "$mean" -gt 50 ] && break
    done
    [ "$colours" -gt 500 ] && [ "$mean" -gt 50 ] || fail "a blank frame: $colours colours, mean $mean/1000"
    note "the yard drawn: $colours colours, mean brightness $mean/1000 after $try s"
    xdotool key --window "$WINDOW" Escape 2>/dev/null
    wait_exit 20 && [ "$STATUS" -eq 0 ] || fail "ESC: exit status ${STATUS:-none}, expected 0"
else
    fail "no window titled \"Assignment 3 - Pellowin\""; show_stderr
fi

apt_get purge boneyard
dpkg-query -W boneyard >/dev/null 2>&1 && fail "dpkg still knows boneyard after the purge"
for path in $(dpkg-deb -c "$deb" | awk '{ sub(/^\./, "", $6); print $6 }'); do
    case "$path" in */boneyard*) [ -e "$path" ] && fail "left behind: $path" ;; esac
done
note "install, play and purge: $((SECONDS - start)) s in all"
[ "$FAILURES" -eq 0 ]

#!/usr/bin/env bash
# The Debian package as a player gets it: built by scripts/package, clean under lintian,
# installed with apt-get, its menu entry valid, its AppStream metadata valid with the menu entry
# it names, its command started from / (a window drawing frames, every data file found: nothing
# on stderr; status 0 on ESC), then purged. Needs root.
# Usage: package_install.sh SCRIPTS_PACKAGE FRAME_SHIM
FRAME_SHIM=$2
. "$(dirname "$0")/lib.sh" || exit 1
[ "$(id -u)" -eq 0 ] || die "installing a package needs root"
e2e_setup lintian desktop-file-validate appstreamcli apt-get flock
# One package test at a time on this machine: each installs and purges the same package.
exec 9>/run/lock/boneyard-package-test && flock -w 900 9 || die "another package test holds the lock"
dpkg-query -W -f='${Status}' boneyard 2>/dev/null | grep -q installed && die "boneyard is installed here: this test would remove it"
trap 'cleanup; apt-get purge -y -qq boneyard >/dev/null 2>&1' EXIT
apt_get() { apt-get -y -qq -o DPkg::Lock::Timeout=300 "$@" >"$WORK/apt.log" 2>&1 || { cat "$WORK/apt.log"; fail "apt-get $*"; }; }

deb=$("$1" "$WORK" 2>"$WORK/package.log") || { tail -n 30 "$WORK/package.log"; die "scripts/package failed"; }
lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"
apt_get install --no-install-recommends "$deb"
desktop-file-validate /usr/share/applications/boneyard.desktop || fail "desktop-file-validate boneyard.desktop"
# What a software centre reads: the metadata, no warning or note but pedantic ones, checked in
# a tree of the package's installed files alone, so the menu entry it launches must be among them.
dpkg -L boneyard | while read -r file; do [ ! -f "$file" ] || install -D -m 644 "$file" "$WORK/installed$file"; done
[ -f "$WORK/installed/usr/share/metainfo/org.example.boneyard.metainfo.xml" ] || fail "no AppStream metadata installed"
appstreamcli validate-tree --no-net --strict "$WORK/installed" || fail "appstreamcli finds fault with the metadata"
BONEYARD=$(sed -n 's/^Exec=//p' /usr/share/applications/boneyard.desktop)
start_playing / && end_game Escape "installed, started from / (stderr: a data file not found)"

apt_get purge boneyard
finish

#!/usr/bin/env bash
# The Debian package: built twice to the same bytes, checked, then installed, run and purged in a
# minimal Debian root in FOLDER with only what its Depends bring in. Nothing is installed here.
# Usage: package_install.sh SCRIPTS_PACKAGE FRAME_SHIM FOLDER
FRAME_SHIM=$2 FOLDER=$3
. "$(dirname "$0")/lib.sh" || exit 1
[ "$(id -u)" -eq 0 ] || die "a Debian root of its own needs root"
# In a mount namespace of its own: whatever ends the test, its mounts end with it, unseen outside.
[ -n "${BONEYARD_OWN_MOUNTS:-}" ] || exec unshare --mount --propagation private env BONEYARD_OWN_MOUNTS=1 "$0" "$@"
MOUNTS=() ROOT_PID=""
unmount_root() { local m; for m in "${MOUNTS[@]}"; do umount "$m" || fail "cannot unmount $m"; done; MOUNTS=(); }
mount_in() { mount "$@" && MOUNTS=("${@: -1}" "${MOUNTS[@]}") || die "mount $*"; }  # last word: where
e2e_setup lintian desktop-file-validate appstreamcli diffoscope mmdebstrap git
trap '[ -z "$ROOT_PID" ] || { kill "$ROOT_PID" && wait "$ROOT_PID"; } 2>/dev/null; cleanup; unmount_root' EXIT

# The root, made while the package is built, from the mirror this machine's apt uses (the default
# one if it names none). The last run's goes first; nothing can be mounted in it, as its mounts
# ended with that run.
root=$FOLDER/root
. /etc/os-release
mirror=$(apt-get indextargets --format '$(REPO_URI)' "Codename: $VERSION_CODENAME" 'Label: Debian' | head -n1)
awk -v r="$root" '$5 == r || index($5, r "/") == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo && die "something is mounted in $root"
rm -rf "$root" && mkdir -p "$FOLDER" || die "cannot remove $root"
mmdebstrap --variant=apt --skip=cleanup/apt/lists "$VERSION_CODENAME" "$root" ${mirror:+"$mirror"} >"$WORK/mmdebstrap.log" 2>&1 &
ROOT_PID=$!

# Built twice: in the tree, and in a clone of its commit (edits not committed yet applied too) at
# another path under another umask.
src=$(realpath "$(dirname "$1")/..") clone=$FOLDER/clone
deb=$("$1" "$WORK/tree" 2>"$WORK/package.log") || { tail -n 30 "$WORK/package.log"; die "scripts/package failed"; }
rm -rf "$clone" || die "cannot remove $clone"
(umask 002 && git clone -q --no-checkout "$src" "$clone" && git -C "$clone" checkout -q --detach "$(git -C "$src" rev-parse HEAD)" &&
    git -C "$src" diff --binary HEAD | git -C "$clone" apply --allow-empty && "$clone/scripts/package" "$WORK/clone") >"$WORK/clone.log" 2>&1 ||
    { tail -n 30 "$WORK/clone.log"; die "scripts/package failed in a clone at $clone"; }
sha256sum "$deb" "$WORK/clone/${deb##*/}" | sed 's/^/-- /'
cmp -s "$deb" "$WORK/clone/${deb##*/}" ||
    { diffoscope --text - "$deb" "$WORK/clone/${deb##*/}" | head -n 100; fail "two builds of one commit give different packages"; }

lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"
dpkg -x "$deb" "$WORK/files" || die "dpkg -x $deb"
desktop-file-validate "$WORK/files/usr/share/applications/boneyard.desktop" || fail "desktop-file-validate boneyard.desktop"
# What a software centre reads: no warning or note but pedantic ones (none found is one), in a tree
# of the package's files alone, so the menu entry it launches must be among them.
appstreamcli validate-tree --no-net --strict "$WORK/files" || fail "appstreamcli finds fault with the metadata"

wait "$ROOT_PID" || { ROOT_PID=""; tail -n 30 "$WORK/mmdebstrap.log"; die "mmdebstrap made no root"; }
ROOT_PID=""
echo "-- the root made by $SECONDS s"
mount_in -t proc proc "$root/proc"
# The scratch folder at the same path inside (the package, the test shim, the game's logs), and
# the X server's socket, which is all the game gets of the X server: its libraries are the root's.
mkdir -p "$root$WORK" "$root/tmp/.X11-unix" && mount_in --bind "$WORK" "$root$WORK" && mount_in --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
apt_root() { in_root apt-get -y -q --no-install-recommends "$@" >"$WORK/apt.log" 2>&1 || { tail -n 30 "$WORK/apt.log"; die "apt-get $*, in the root"; }; }
# Every path in the root but apt's and dpkg's own records, caches and logs, the linker's cache and
# the homes (what the game's drivers keep there, Mesa's shader cache, is the player's).
paths_in_root() {
    (cd "$root" && find . -xdev \( -path ./proc -o -path ./tmp -o -path ./root -o -path ./home -o -path ./var/log -o -path ./var/lib/apt -o -path ./var/cache/apt \
        -o -path ./var/cache/debconf -o -path ./var/cache/ldconfig -o -path ./etc/ld.so.cache \) -prune -o \
        ! \( -path './var/lib/dpkg/*' ! -path './var/lib/dpkg/info/*' \) -print | sort)
}

# What the package's Depends bring in (apt's own resolution of them) comes in first, so what is
# left after the purge is the package's alone.
apt_root satisfy "$(dpkg-deb -f "$deb" Depends)"
paths_in_root >"$WORK/before"
apt_root install "$deb"
version="$(in_root /usr/games/boneyard --version 2>"$WORK/version.err"; echo "status $?")"
[ "$version" = "boneyard $(dpkg-deb -f "$deb" Version)"$'\n'"status 0" ] && [ ! -s "$WORK/version.err" ] ||
    { cat "$WORK/version.err"; fail "boneyard --version in the root: \"$version\""; }
cp "$FRAME_SHIM" "$WORK/test_shim.so" && FRAME_SHIM=$WORK/test_shim.so
BONEYARD=$(sed -n 's/^Exec=//p' "$WORK/files/usr/share/applications/boneyard.desktop") GAME_PREFIX=("$(command -v chroot)" "$root")
start_playing / && end_game Escape "installed in the root, started from / (stderr: a library or data file not found)"
apt_root purge boneyard
paths_in_root >"$WORK/after"
diff "$WORK/before" "$WORK/after" | sed -n 's/^> /    left: /p; s/^< /    gone: /p' | grep '' && fail "the root after the purge differs from before the install"
unmount_root
finish

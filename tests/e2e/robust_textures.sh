#!/usr/bin/env bash
# Bad texture files through the real game: for each of the six textures a missing file
# ends the game with status 1 and one stderr line naming the file and the folder before
# any window exists (so before any change of screen mode); an empty, cut-short (also
# inside the header), garbage or very large file is read as far as it goes, and the game
# draws frames and ends on ESC with status 0.
#
# Usage: robust_textures.sh BONEYARD FRAME_SHIM GOOD_DATA_DIR
set -uo pipefail
BONEYARD=$1 FRAME_SHIM=$2 GOOD_DATA=$3
. "$(dirname "$0")/robust_lib.sh"
robust_setup

# A second X client on our private server records every window created on it or mapped
# (CreateNotify, MapNotify on the root). A root property we set and see come back tells
# us that every request sent before it, the game's included, has reached the log.
WATCH_LOG="$WORK/windows.log" WATCH_PID=""
sync_window_watch() {
    local seen deadline=$((SECONDS + 20))
    seen=$(grep -c PropertyNotify "$WATCH_LOG")
    until [ "$(grep -c PropertyNotify "$WATCH_LOG")" -gt "$seen" ]; do
        [ $SECONDS -ge $deadline ] && { echo "the window watcher does not answer" >&2; exit 2; }
        xprop -root -f _BONEYARD_WATCH 8s -set _BONEYARD_WATCH "$seen"  # again: at first it may not listen yet
        sleep 0.1
    done
}
windows_seen() {
    grep -cE '^(CreateNotify|MapNotify)' "$WATCH_LOG"
}
xev -root -event substructure -event property >"$WATCH_LOG" 2>&1 &
WATCH_PID=$!
trap '[ -n "$WATCH_PID" ] && kill "$WATCH_PID" 2>/dev/null; robust_cleanup' EXIT
sync_window_watch

# A missing texture: the game must not open a window, and must say which file and where.
for texture in "${TEXTURES[@]}"; do
    dir=$(fresh_run_dir)
    rm "$dir/$texture"
    windows_before=$(windows_seen)
    start_game "$dir"
    if ! wait_exit 30; then
        fail "missing $texture: the game did not end within 30 s (killed)"
        continue
    fi
    sync_window_watch
    [ "$(windows_seen)" -eq "$windows_before" ] \
        || fail "missing $texture: $(($(windows_seen) - windows_before)) window(s) created or mapped before the exit"
    [ "$STATUS" -eq 1 ] || fail "missing $texture: exit status $STATUS, expected 1"
    if [ "$(stderr_lines)" -ne 1 ]; then
        fail "missing $texture: expected one stderr line, got $(stderr_lines)"
        show_stderr
    elif ! grep -qF "$texture" "$dir.err" || ! grep -qF "$dir" "$dir.err"; then
        fail "missing $texture: the stderr line does not name the file and $dir"
        show_stderr
    fi
    [ "$(frames)" -eq 0 ] || fail "missing $texture: $(frames) frames were drawn before the exit"
    note "missing $texture: status $STATUS, $(cat "$dir.err")"
    rm -rf "$dir"
done

windows_before=$(windows_seen)

# Damaged textures: all six damaged the same way in one run, so every slot is loaded from
# a bad file. "header" is cut inside the 54 header bytes; "pixels" ends 1 byte into the
# pixel data, in the middle of the first pixel.
for kind in empty header pixels truncated garbage huge; do
    dir=$(fresh_run_dir)
    for texture in "${TEXTURES[@]}"; do
        good="$GOOD_DATA/$texture"
        case "$kind" in
            header) head -c 30 "$good" >"$dir/$texture" ;;
            pixels) head -c 55 "$good" >"$dir/$texture" ;;
            huge)   repeat_to_size "$good" "$dir/$texture" 20 ;;
            *)      damage "$good" "$kind" "$dir/$texture" ;;
        esac
    done
    start_game "$dir"
    if play_and_quit "$kind textures" && [ "$(stderr_lines)" -ne 0 ]; then
        fail "$kind textures: a damaged texture is no error, but stderr has output"
        show_stderr
    fi
    rm -rf "$dir"
done

sync_window_watch
[ "$(windows_seen)" -gt "$windows_before" ] || fail "the watcher saw none of the windows of the games that ran"

[ "$FAILURES" -eq 0 ] || { echo "$FAILURES failure(s)" >&2; exit 1; }
echo "all texture cases passed"

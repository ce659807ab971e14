#!/usr/bin/env bash
# Bad texture files through the real game: for each of the six textures a missing file
# ends the game before any frame with status 1 and one stderr line naming the file and
# the folder; an empty, cut-short (also inside the header), garbage or very large file is
# read as far as it goes, and the game draws frames and ends on ESC with status 0.
#
# Usage: robust_textures.sh BONEYARD FRAME_SHIM GOOD_DATA_DIR
set -uo pipefail
BONEYARD=$1 FRAME_SHIM=$2 GOOD_DATA=$3
. "$(dirname "$0")/robust_lib.sh"
robust_setup

# A missing texture: the game must not open a frame loop, and must say which file and where.
for texture in "${TEXTURES[@]}"; do
    dir=$(fresh_run_dir)
    rm "$dir/$texture"
    start_game "$dir"
    if ! wait_exit 30; then
        fail "missing $texture: the game did not end within 30 s (killed)"
        continue
    fi
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

[ "$FAILURES" -eq 0 ] || { echo "$FAILURES failure(s)" >&2; exit 1; }
echo "all texture cases passed"

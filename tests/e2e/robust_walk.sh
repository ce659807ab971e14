#!/usr/bin/env bash
# Bad walk files through the real game. A missing "walk.txt", or a folder of that name,
# gives one warning line on stderr naming it, and the game goes on; an empty, cut-short,
# garbage, very large file, or one whose lines miss fields, is read as far as it goes
# (missing fields read 0) and the game goes on. In every case the game draws frames, walks the dog (so the walk cycle is
# stepped through whatever was loaded) and ends on ESC with status 0.
#
# Usage: robust_walk.sh BONEYARD FRAME_SHIM GOOD_DATA_DIR
set -uo pipefail
BONEYARD=$1 FRAME_SHIM=$2 GOOD_DATA=$3
. "$(dirname "$0")/robust_lib.sh"
robust_setup

good="$GOOD_DATA/walk.txt"

# Lines that stop early, have empty fields or no fields at all, carriage returns, a line
# of spaces only, and key times that run backward: every one must read without harm.
write_short_fields() {
    printf '%s\n' \
        '0.00 0 0 0 0 35 35' \
        '0.05' \
        '' \
        '0.10 a b c d e f g h i j k l m n o p q r s t u v w' \
        '0.15 0 0 0 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20' \
        '                                             ' \
        '0.20  0  0  0  0  0' \
        '-0.05 0 0 0 0 -99999999999999999999 99999999999999999999 nan inf' >"$1"
    printf '0.25 0 0 0 0 1 2 3\r\n0.30 0 0 0 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15' >>"$1"
}

# Tens of megabytes: the good cycle many times over (key times then run backward at each
# repeat), a line of a million fields and a megabyte line without a single space.
write_huge() {
    repeat_to_size "$good" "$1" 24
    { printf '0.00'; head -c 2000000 /dev/zero | tr '\0' ' ' | sed 's/  /1 /g'; printf '\n'; } >>"$1"
    { head -c 1048576 /dev/zero | tr '\0' '7'; printf '\n'; } >>"$1"
    cat "$good" >>"$1"
}

# Steps the dog forward and back, running and walking, so the walk cycle advances.
walk_the_dog() {
    press q
    press --repeat 20 --delay 5 e
    press r
    press --repeat 20 --delay 5 d
    press r s s f
}

run_case() {
    local name=$1 dir=$2
    start_game "$dir"
    if wait_window 30 && wait_frames 3 30; then
        walk_the_dog
        local before
        before=$(frames)
        wait_frames $((before + 5)) 30 || fail "$name: frames stopped while the dog walked (at $(frames))"
    fi
    play_and_quit "$name"
}

# Missing, or a folder of that name (it opens, but reads nothing): one warning naming the
# file, and the game still plays.
for kind in missing folder; do
    dir=$(fresh_run_dir)
    rm "$dir/walk.txt"
    [ "$kind" = folder ] && mkdir "$dir/walk.txt"
    run_case "$kind walk.txt" "$dir"
    expect_one_line_naming walk.txt "$kind walk.txt"
    rm -rf "$dir"
done

for kind in empty truncated garbage shortfields huge; do
    dir=$(fresh_run_dir)
    case "$kind" in
        shortfields) write_short_fields "$dir/walk.txt" ;;
        huge)        write_huge "$dir/walk.txt" ;;
        *)           damage "$good" "$kind" "$dir/walk.txt" ;;
    esac
    run_case "$kind walk.txt ($(stat -c %s "$dir/walk.txt") bytes)" "$dir"
    if ! stderr_quiet_or_names walk.txt; then
        fail "$kind walk.txt: stderr holds more than one warning about walk.txt"
        show_stderr
    fi
    rm -rf "$dir"
done

[ "$FAILURES" -eq 0 ] || { echo "$FAILURES failure(s)" >&2; exit 1; }
echo "all walk file cases passed"

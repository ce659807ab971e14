#!/usr/bin/env bash
# Bad model files through the real game. A missing "car4x4.obj" or "toy.obj" gives one
# warning line on stderr naming it, and the game goes on without that prop; an empty,
# cut-short, garbage or very large model, or one whose faces name records that do not
# exist, is read as far as it goes (such faces are dropped) and the game goes on. In every
# case the game draws frames, with the props in view, and ends on ESC with status 0.
#
# Usage: robust_models.sh BONEYARD FRAME_SHIM GOOD_DATA_DIR
set -uo pipefail
BONEYARD=$1 FRAME_SHIM=$2 GOOD_DATA=$3
. "$(dirname "$0")/robust_lib.sh"
robust_setup

MODELS=(car4x4.obj toy.obj)

# The good model, then faces whose indices name nothing: 0, negative, past the end, past
# int, in octal and hex, normal and texture indices past the end, too many corners, too
# few, and a flipped group; then a bare "vt" as the last line, without its line feed.
write_bad_indices() {
    cat "$1"
    printf '%s\n' \
        'f 0 0 0' \
        'f -1 -2 -3' \
        'f 99999999 1 2' \
        'f 1 2 4294967298' \
        'f 0x7fffffff 1 2' \
        'f 1 2 077777777777' \
        'f 1/99999/1 2/1/1 3/1/1' \
        'f 1//99999 2//1 3//1' \
        'f 1/1/-5 2/-7/1 3/1/1' \
        'f 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20' \
        'f 1 2' \
        'f' \
        'f ' \
        'f 1/2/3/4/5 1/' \
        'g Facets_8' \
        'f 1 2 99999 4' \
        'g other'
    printf 'vt'
}

# Tens of megabytes: a million and a quarter vertices, then lines longer than the reader's
# line buffer whose remainders look like records, then faces on the last vertices.
write_huge() {
    cat "$1"
    local line
    line=$(printf 'v 1.5 -2.25 3.125\n')
    printf '%s\n' "$line" >"$WORK/vline"
    repeat_to_size "$WORK/vline" "$WORK/vlines" 20
    cat "$WORK/vlines"
    rm -f "$WORK/vline" "$WORK/vlines"
    local i
    for i in $(seq 1 2000); do
        printf 'v 1 2 3 %0100d f 1 2 3 4 vt 0.5 %090d vn 1 0 0\n' "$i" "$i"
    done
    printf 'f 1 2 3\nf 1200000 1200001 1200002\n'
}

run_case() {
    local name=$1 dir=$2
    start_game "$dir"
    # Turn the free camera toward the props and step back, so they are drawn in frames.
    if wait_window 30 && wait_frames 3 30; then
        press --repeat 10 --delay 5 minus
        press --repeat 10 --delay 5 9
        local before
        before=$(frames)
        wait_frames $((before + 5)) 30 || fail "$name: frames stopped while the view turned (at $(frames))"
    fi
    play_and_quit "$name"
}

for model in "${MODELS[@]}"; do
    dir=$(fresh_run_dir)
    rm "$dir/$model"
    run_case "missing $model" "$dir"
    expect_one_line_naming "$model" "missing $model" && note "missing $model: $(cat "$dir.err")"
    rm -rf "$dir"
done

# Damaged models: both damaged the same way in one run.
for kind in empty truncated garbage badindex huge; do
    dir=$(fresh_run_dir)
    for model in "${MODELS[@]}"; do
        case "$kind" in
            badindex) write_bad_indices "$GOOD_DATA/$model" >"$dir/$model" ;;
            huge)     write_huge "$GOOD_DATA/$model" >"$dir/$model" ;;
            *)        damage "$GOOD_DATA/$model" "$kind" "$dir/$model" ;;
        esac
    done
    run_case "$kind models ($(stat -c %s "$dir/car4x4.obj") bytes)" "$dir"
    # At most one warning per model, and nothing else.
    extra=$(grep -vF -e car4x4.obj -e toy.obj "$dir.err" | head -n 5)
    if [ -n "$extra" ] || [ "$(grep -cF car4x4.obj "$dir.err")" -gt 1 ] \
        || [ "$(grep -cF toy.obj "$dir.err")" -gt 1 ]; then
        fail "$kind models: unexpected stderr"
        show_stderr
    fi
    rm -rf "$dir"
done

[ "$FAILURES" -eq 0 ] || { echo "$FAILURES failure(s)" >&2; exit 1; }
echo "all model cases passed"

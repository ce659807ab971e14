#!/usr/bin/env bash
# The real game driven by real keys, checked by its pixels where the texts are drawn: the
# start-up banner, the countdown after "q", help on "w", status 0 on ESC and nothing on
# stderr (what each view draws is for the reference frames to check).
# Usage: play_keys.sh BONEYARD FRAME_SHIM DATA_DIR
BONEYARD=$1 FRAME_SHIM=$2
. "$(dirname "$0")/lib.sh" || exit 1
e2e_setup
start_playing "$(fresh_run_dir "$3")" || finish
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
# Boxes in window pixels: the texts' baselines are at their lower edges.
cx=$((WIDTH / 2)) cy=$((HEIGHT / 2))
banner=($((cx - 90)) $((cy - 18)) 150 20)   # "GAME OVER"
time_value=(110 24 60 20)                   # the number of "Time Left: 0" at (30, 40)
help_box=(30 92 270 362)                    # twelve help lines from y 110 to 450

shot "$WORK/start.ppm"
[ "$(white_count "$WORK/start.ppm" "${banner[@]}")" -gt 100 ] || fail "no GAME OVER at the centre"

press q; sleep 0.5; shot "$WORK/run1.ppm"; sleep 1.6; shot "$WORK/run2.ppm"
[ "$(white_count "$WORK/run1.ppm" "${banner[@]}")" -lt 20 ] || fail "GAME OVER still shown after q"
[ "$(changed_count "$WORK/run1.ppm" "$WORK/run2.ppm" "${time_value[@]}")" -gt 10 ] || fail "the time field stood still for 1.6 s"

press w; sleep 0.5; shot "$WORK/help.ppm"
before=$(white_count "$WORK/run2.ppm" "${help_box[@]}") after=$(white_count "$WORK/help.ppm" "${help_box[@]}")
[ "$after" -gt 1500 ] && [ "$after" -gt $((before * 4)) ] || fail "w: $after white pixels where help goes ($before before)"

echo "-- help: $after white pixels ($before before)"
end_game Escape "all data files in place"
finish

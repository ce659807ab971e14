#!/usr/bin/env bash
# The real game under memcheck, in a window shrunk at once (llvmpipe and the shadow pass are
# slow there): frames with shadows on, after a reshape, in blimp view with help as the dog
# walks, then ESC. Passes with no error and no byte definitely lost; the test shim keeps the
# GL driver loaded, so the leak report can name its blocks (see valgrind.supp).
# Usage: valgrind_game.sh BONEYARD TEST_SHIM DATA_DIR SUPPRESSIONS
BONEYARD=$1 FRAME_SHIM=$2
. "$(dirname "$0")/lib.sh" || exit 1
e2e_setup valgrind
log=$WORK/valgrind.log
export GALLIUM_DRIVER=softpipe  # not llvmpipe: LLVM compiling its shaders under memcheck takes minutes
GAME_PREFIX=(valgrind --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite
             --error-exitcode=99 --num-callers=40 --gen-suppressions=all --suppressions="$4" --log-file="$log")
start_game "$(fresh_run_dir "$3")"
step() {  # keys $2.., then $1 more frames within 7 minutes, or the end
    press "${@:2}"
    more_frames "$1" 420 || { show_stderr; tail -n 40 "$log"; die "stopped at frame $(frames) after ${*:2}"; }
}
wait_window 420 || { tail -n 40 "$log"; die "no window under valgrind"; }
xdotool windowsize --sync "$WINDOW" 128 96
step 3 h                                     # shadows on
xdotool windowsize --sync "$WINDOW" 160 112  # a reshape with shadows on
step 4 y w q e e r e                         # blimp view and help while the dog walks and runs
echo "-- $(frames) frames in $SECONDS s"
press Escape
wait_exit 180 || die "ESC did not end the game under valgrind within 180 s"

sed -n '/HEAP SUMMARY/,$p' "$log" | sed 's/^==[0-9]*== //'
errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' "$log" | tail -n1)
[ "${errors:-1}" -eq 0 ] && grep -qE 'definitely lost: 0 bytes|no leaks are possible' "$log" || fail "memcheck: errors or bytes definitely lost"
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS, expected 0 (99: memcheck found errors)"
finish

#!/usr/bin/env bash
# The real game under X, driven by real key events: start-up banner, a running
# countdown, blimp view, help, ESC, and the exit status when a texture is missing.
#
# Usage: play_keys.sh BONEYARD_BINARY DATA_FOLDER
# With BONEYARD_E2E_KEEP set to a folder, the screen captures are kept there.
# Needs a display in DISPLAY (scripts/test starts Xvfb when there is none), xdotool,
# xwininfo and ImageMagick. Exits 77 (skipped) without a display.
set -euo pipefail

binary=${1:?usage: play_keys.sh BONEYARD_BINARY DATA_FOLDER}
data=${2:?usage: play_keys.sh BONEYARD_BINARY DATA_FOLDER}
title="Assignment 3 - Pellowin"

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    echo "SKIP: no X display (scripts/test starts one)"
    exit 77
fi
for tool in xdotool xwininfo import convert compare; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/boneyard-e2e.XXXXXX")
game_pid=""
cleanup() {
    if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then  # running or a zombie
        kill "$game_pid" 2>/dev/null || true
        wait "$game_pid" 2>/dev/null || true
    fi
    if [ -n "${BONEYARD_E2E_KEEP:-}" ]; then  # a folder to keep the pictures in, for a look
        mkdir -p "$BONEYARD_E2E_KEEP"
        local picture
        for picture in "$scratch"/*.ppm; do
            [ -e "$picture" ] && convert "$picture" "$BONEYARD_E2E_KEEP/$(basename "$picture" .ppm).png"
        done
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    if [ -s "$scratch/stderr" ]; then
        echo "--- the game's stderr:"
        cat "$scratch/stderr"
    fi
    exit 1
}
pass() { echo "ok (${SECONDS} s): $*"; }

# ---- the window and its pixels --------------------------------------------------

win=""      # window id
win_x=0     # window origin on the root window
win_y=0
win_w=0
win_h=0

# Waits up to 15 s for our process's window with the designed title. Other programs may
# show the same title on this display: take the window whose recorded pid is ours, or,
# as freeglut records none, the one window that was not there before the game started.
windows_before=""
find_window() {
    local i ids id fresh
    for i in $(seq 1 150); do
        alive || fail "the game exited before its window appeared"
        ids=$(xdotool search --name "^${title}\$" 2>/dev/null || true)
        fresh=()
        for id in $ids; do
            if [ "$(xdotool getwindowpid "$id" 2>/dev/null || true)" = "$game_pid" ]; then
                win=$id
                return 0
            fi
            case " $windows_before " in *" $id "*) ;; *) fresh+=("$id") ;; esac
        done
        if [ ${#fresh[@]} -eq 1 ]; then
            win=${fresh[0]}
            return 0
        fi
        sleep 0.1
    done
    return 1
}

read_geometry() {
    local info
    info=$(xwininfo -id "$win")
    win_x=$(echo "$info" | awk -F: '/Absolute upper-left X/ {gsub(/ /, "", $2); print $2}')
    win_y=$(echo "$info" | awk -F: '/Absolute upper-left Y/ {gsub(/ /, "", $2); print $2}')
    win_w=$(echo "$info" | awk -F: '/Width/ {gsub(/ /, "", $2); print $2}')
    win_h=$(echo "$info" | awk -F: '/Height/ {gsub(/ /, "", $2); print $2}')
}

# Saves the window's picture (uncompressed: PNG costs seconds on a busy machine), cut from the root window (nothing redirects it there:
# without a window manager the window sits on the root at its own position).
shot() {
    # Another window may have been mapped over ours since the last look: lift ours.
    xdotool windowraise "$win" 2>/dev/null || fail "cannot raise the game's window"
    sleep 0.2
    import -window root "$scratch/root.ppm" || fail "cannot capture the screen"
    # The window may hang over the root's top-left corner (freeglut puts it at -1, -1):
    # cut what is on screen and pad the missing edge so window pixel (0, 0) stays at 0, 0.
    local cx=$((win_x < 0 ? 0 : win_x)) cy=$((win_y < 0 ? 0 : win_y))
    local pad_x=$((cx - win_x)) pad_y=$((cy - win_y))
    convert "$scratch/root.ppm" -crop "$((win_w - pad_x))x$((win_h - pad_y))+${cx}+${cy}" +repage \
        -background black -gravity southeast -extent "${win_w}x${win_h}" +gravity "$1" \
        || fail "cannot cut the window out of the screen"
}

# Number of near-white pixels (every channel above 90 %) in a box of a picture:
# white_count PICTURE X Y WIDTH HEIGHT, all in window pixels from the top-left.
white_count() {
    convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -channel RGB -separate +channel \
        -evaluate-sequence min -threshold 90% -format '%[fx:round(mean*w*h)]' info:
}

# Number of pixels that differ between two pictures in a box.
changed_count() {
    local a="$scratch/a.ppm" b="$scratch/b.ppm"
    convert "$1" -crop "${5}x${6}+${3}+${4}" +repage "$a"
    convert "$2" -crop "${5}x${6}+${3}+${4}" +repage "$b"
    compare -metric AE "$a" "$b" null: 2>&1 || true
}

send() {
    # xdotool asks for the input focus first; with no window manager Xvfb answers with
    # the root window and xdotool complains on stderr, harmlessly.
    xdotool key --window "$win" --delay 30 "$@" 2>/dev/null || fail "xdotool could not send $*"
}

# True while the game process runs (an exited child stays a zombie until waited for).
alive() {
    [ -n "$game_pid" ] && [ -r "/proc/$game_pid/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$game_pid/status"
}

# Waits up to 10 s for the process to end; sets exit_status ("timeout" if it did not).
exit_status=""
wait_exit() {
    local i
    exit_status="timeout"
    for i in $(seq 1 100); do
        if ! alive; then
            exit_status=0
            wait "$game_pid" || exit_status=$?
            game_pid=""
            return 0
        fi
        sleep 0.1
    done
}

# ---- run 1: a full data folder ---------------------------------------------------

mkdir "$scratch/data"
cp -r "$data"/. "$scratch/data/"
windows_before=$(xdotool search --name "^${title}\$" 2>/dev/null || true)
(cd "$scratch/data" && exec "$binary") 2>"$scratch/stderr" >/dev/null &
game_pid=$!

find_window || fail "no window titled \"$title\" within 15 s"
pass "window \"$title\" appeared"
read_geometry
[ "$win_w" -gt 300 ] && [ "$win_h" -gt 500 ] || fail "window is only ${win_w}x${win_h}"
half_w=$((win_w / 2))
half_h=$((win_h / 2))

# Text boxes, in window pixels from the top-left; a baseline at y puts 18-24 px fonts
# on rows y-17 .. y (the descenders of these texts are few).
banner=("$((half_w - 90))" "$((half_h - 18))" 150 20)   # "GAME OVER" from its baseline origin
press_q=("$((half_w - 70))" "$((half_h + 12))" 40 20)   # "PRESS" of "PRESS Q"
time_line=(30 24 140 20)                                # "Time Left: N" at (30, 40)
time_value=(110 24 60 20)                               # the number after "Time Left: "
help_box=(30 92 270 362)                                # twelve lines from y 110 to 450

# The first frames show the game-over banner: no game runs before "q".
ok=0
for i in $(seq 1 50); do
    shot "$scratch/start.ppm"
    if [ "$(white_count "$scratch/start.ppm" "${banner[@]}")" -gt 100 ]; then ok=1; break; fi
    sleep 0.2
done
[ "$ok" -eq 1 ] || fail "no GAME OVER banner at ($((half_w - 90)), $half_h) in 10 s"
[ "$(white_count "$scratch/start.ppm" "${press_q[@]}")" -gt 40 ] || fail "no PRESS Q under the banner"
[ "$(white_count "$scratch/start.ppm" "${time_line[@]}")" -gt 150 ] || fail "no \"Time Left: 0\" at (30, 40)"
pass "start-up frame shows GAME OVER, PRESS Q and the time line"

# "q" starts the countdown: the time field changes between two pictures over a second apart.
send q
sleep 0.5
shot "$scratch/run1.ppm"
sleep 1.6
shot "$scratch/run2.ppm"
[ "$(white_count "$scratch/run1.ppm" "${banner[@]}")" -lt 20 ] || fail "GAME OVER still shown after q"
[ "$(white_count "$scratch/run1.ppm" "${press_q[@]}")" -lt 5 ] || fail "PRESS Q still shown after q"
[ "$(white_count "$scratch/run1.ppm" "${time_value[@]}")" -gt "$(white_count "$scratch/start.ppm" "${time_value[@]}")" ] \
    || fail "the time field did not grow from 0 to a three-digit count after q"
changed=$(changed_count "$scratch/run1.ppm" "$scratch/run2.ppm" "${time_value[@]}")
[ "$changed" -gt 10 ] || fail "the time field did not change over 1.6 s ($changed pixels differ)"
pass "q started the countdown and removed the banner"

# Blimp view: the camera hangs over the dog and follows it.
send y
sleep 0.5
shot "$scratch/blimp0.ppm"
sleep 0.5
shot "$scratch/blimp1.ppm"
scene_box=(0 100 "$win_w" "$((win_h - 100))")  # below the HUD lines
idle=$(changed_count "$scratch/blimp0.ppm" "$scratch/blimp1.ppm" "${scene_box[@]}")
send e e e e e e e e e e e e e e e e e e e e e e e e e
sleep 0.5
shot "$scratch/blimp2.ppm"
moved=$(changed_count "$scratch/blimp1.ppm" "$scratch/blimp2.ppm" "${scene_box[@]}")
area=$((win_w * (win_h - 100)))
[ "$moved" -gt $((area / 20)) ] && [ "$moved" -gt $((idle * 5)) ] \
    || fail "25 e presses in blimp view changed $moved pixels of $area (standing still: $idle)"
pass "e moves the blimp view ($moved pixels changed, $idle while standing)"
send y

# "w" shows the twelve help lines.
before=$(white_count "$scratch/blimp2.ppm" "${help_box[@]}")
send w
sleep 0.5
shot "$scratch/help.ppm"
after=$(white_count "$scratch/help.ppm" "${help_box[@]}")
[ "$after" -gt 1500 ] && [ "$after" -gt $((before * 4)) ] \
    || fail "w: $after white pixels at x 30..300, y 92..454 (before: $before)"
pass "w shows the help lines ($after white pixels, $before before)"

# ESC ends the game with status 0. The window may be gone before xdotool sends the key's
# release, which it reports as a failure: the exit status below is the check.
xdotool key --window "$win" Escape 2>/dev/null || true
wait_exit
[ "$exit_status" = "0" ] || fail "ESC: exit status $exit_status, not 0"
pass "ESC ends the game with status 0"

# ---- run 2: no "moon.bmp" -----------------------------------------------------------

rm "$scratch/data/moon.bmp"
(cd "$scratch/data" && exec "$binary") 2>"$scratch/stderr" >/dev/null &
game_pid=$!
wait_exit
[ "$exit_status" = "1" ] || fail "without moon.bmp: exit status $exit_status, not 1"
grep -q 'moon\.bmp' "$scratch/stderr" || fail "without moon.bmp: stderr does not name it"
pass "without moon.bmp the game exits 1 and says: $(grep -m 1 'moon\.bmp' "$scratch/stderr")"

echo "all end-to-end checks passed"

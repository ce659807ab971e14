#!/usr/bin/env bash
# The game as a desktop program, one table, a row per case:
#   args ARG...       --help, -h, --version: stdout, status 0, no window, also with no display;
#                     anything else: one line naming it and "Try 'boneyard --help'." on stderr,
#                     status 2, no window ever created (the root-window watcher sees none);
#   signal NAME WHEN  on a running game whose window is hidden, or was never mapped (GLUT
#                     waits for the map): it ends by that signal within a second, 128 + n; an
#                     ignored SIGHUP (nohup) stays ignored. In full screen, and --windowed and
#                     -geometry where full screen is possible: game_mode.sh, on Xorg;
#   window-manager    WM_CLASS, _NET_WM_PID and the icon's sizes as xprop reads them, all there
#                     when the window is first mapped; the icon's pixels are the SVG's as
#                     rsvg-convert draws it; unmapped for 5 s, under 5% of a core; frames again
#                     once mapped.
# Usage: desktop.sh BONEYARD FRAME_SHIM DATA_DIR PACKAGING_DIR ROW_PATTERN (an ERE on the rows)
BONEYARD=$1 FRAME_SHIM=$2 DATA=$3 PACKAGING=$4
. "$(dirname "$0")/lib.sh" || exit 1
ROWS='
args --help
args -h
args --version
args --bogus
args yard
args -geometry
signal TERM hidden
signal TERM unmapped
signal HUP ignored
window-manager'
HIDDEN_CPU_LIMIT=5      # percent of one core
SIGNAL_LIMIT_MS=1500    # the game looks every 250 ms; the rest is slack for a busy machine

e2e_setup xev xprop xwininfo perl rsvg-convert
watch_windows

# The command line alone: in the data folder, so a game that wrongly starts opens its window.
args_row() {
    local windows status lines
    windows=$(sync_watch)
    (cd "$DATA" && exec timeout 10 "$BONEYARD" "$@" >"$WORK/out" 2>"$WORK/err"); status=$?
    [ "$(sync_watch)" -eq "$windows" ] || fail "$*: a window was created"
    lines=$(grep -c '' "$WORK/err")
    case $1 in
    --help|-h)
        [ "$status" -eq 0 ] && grep -q '^Usage: boneyard' "$WORK/out" && grep -qF "man boneyard" "$WORK/out" && [ "$lines" -eq 0 ] ||
            fail "$*: status $status, expected 0 and a usage naming 'man boneyard' on stdout, nothing on stderr" ;;
    --version)
        [ "$status" -eq 0 ] && [ "$(<"$WORK/out")" = "boneyard 1.0.0" ] && [ "$lines" -eq 0 ] ||
            fail "$*: status $status, stdout \"$(head -c 80 "$WORK/out")\", expected 0 and \"boneyard 1.0.0\"" ;;
    *)
        [ "$status" -eq 2 ] && [ ! -s "$WORK/out" ] && [ "$lines" -eq 2 ] && grep -qF -- "'$1'" <(head -n1 "$WORK/err") &&
            [ "$(tail -n1 "$WORK/err")" = "Try 'boneyard --help'." ] ||
            { fail "$*: status $status, expected 2 and two stderr lines, naming '$1' and then \"Try 'boneyard --help'.\""; sed 's/^/    stderr: /' "$WORK/err" >&2; }
        ;;
    esac
    echo "-- $*: status $status, $(grep -c '' "$WORK/out") lines on stdout, $lines on stderr"
    [ "$status" -eq 0 ] || return
    # Help and version need no display either.
    (cd "$DATA" && DISPLAY= exec timeout 10 "$BONEYARD" "$@" >"$WORK/out.nodisplay" 2>/dev/null); status=$?
    [ "$status" -eq 0 ] && cmp -s "$WORK/out" "$WORK/out.nodisplay" || fail "$*: status $status or other output without a display"
}

# Starts the game with the arguments after $1 and waits for frames in the window named $1 (an
# ERE); map.log then tells what the window carried when it was first mapped.
start_playing() {
    local name=$1; shift
    rm -f "$WORK/map.log"
    start_game "$(fresh_run_dir "$DATA")" "$@"
    wait_window 30 "$name" && wait_frames 3 30 || { show_stderr; fail "no window named $name drawing frames"; return 1; }
}
quit() { wait_window 10 "$@" && press Escape; wait_exit 20; }

signal_row() {
    local number started elapsed
    number=$(kill -l "$1")
    local GAME_PREFIX=(env --default-signal=INT)  # bash starts a background job with SIGINT ignored
    [ "$2" = ignored ] && GAME_PREFIX=(env --ignore-signal=HUP)
    if [ "$2" = unmapped ]; then
        GAME_ENV=("BONEYARD_MAP_LOG=$WORK/map.log" BONEYARD_NEVER_MAP=1)
        rm -f "$WORK/map.log"
        start_game "$(fresh_run_dir "$DATA")"
        until [ -s "$WORK/map.log" ]; do kill -0 "$GAME_PID" && sleep 0.1 || { fail "SIG$1: no map asked for"; return; }; done
        sleep 0.5
    else
        GAME_ENV=()
        start_playing '^Assignment 3 - Pellowin$' || return
        press q
    fi
    if [ "$2" = hidden ]; then xdotool windowunmap --sync "$WINDOW"; sleep 0.5; fi
    started=$(date +%s%N)
    kill -s "$1" "$GAME_PID"
    if [ "$2" = ignored ]; then
        more_frames 3 20 || fail "SIG$1 ($2): no frames after it"
        press Escape; wait_exit 20; [ "$STATUS" -eq 0 ] || fail "SIG$1 ($2): status $STATUS after ESC, expected 0"
        return
    fi
    wait_exit 10; elapsed=$((($(date +%s%N) - started) / 1000000))
    [ "$STATUS" -eq $((128 + number)) ] || fail "SIG$1 ($2): status $STATUS, expected $((128 + number))"
    [ "$elapsed" -le "$SIGNAL_LIMIT_MS" ] || fail "SIG$1 ($2): ended after $elapsed ms"
    echo "-- SIG$1 ($2): status $STATUS after $elapsed ms"
}

# Processor time of all the game's threads, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }

# The window's identity, then 5 s unmapped during a game, then mapped again.
window_manager_row() {
    local size off ticks started percent
    GAME_ENV=("BONEYARD_MAP_LOG=$WORK/map.log")
    start_playing '^Assignment 3 - Pellowin$' || return
    { xprop -id "$WINDOW" WM_CLASS _NET_WM_PID; xprop -id "$WINDOW" -notype _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)'; } >"$WORK/xprop"
    sed 's/^/-- xprop: /' "$WORK/xprop"
    diff - "$WORK/xprop" <<EOF || fail "xprop differs from the lines above (< expected, > got)"
WM_CLASS(STRING) = "boneyard", "Boneyard"
_NET_WM_PID(CARDINAL) = $GAME_PID
Icon (16 x 16)
Icon (32 x 32)
Icon (48 x 48)
Icon (64 x 64)
EOF
    grep -qx 'StartupWMClass=Boneyard' "$PACKAGING/boneyard.desktop" || fail "the menu entry's StartupWMClass is not Boneyard"
    # 4 sizes of 2 + size * size values: 7688.
    [ "$(head -n1 "$WORK/map.log")" = "WM_CLASS boneyard.Boneyard _NET_WM_PID $GAME_PID _NET_WM_ICON 7688" ] ||
        fail "when first mapped the window carried $(head -n1 "$WORK/map.log")"
    # Each size against the SVG drawn by another renderer: pixels off by more than 15% (none
    # here) at most 1%. A flipped gradient, a turned bone or swapped channels change far more.
    xprop -id "$WINDOW" -notype -f _NET_WM_ICON 32c _NET_WM_ICON | perl -e '
        my @v = split /,\s*/, (<STDIN> =~ s/^[^=]*=\s*//r);
        while (my ($w, $h) = splice @v, 0, 2) {
            open my $out, ">", "$ARGV[0]/icon$w.pam" or die;
            print $out "P7\nWIDTH $w\nHEIGHT $h\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
            print $out pack "C4", ($_ >> 16) & 255, ($_ >> 8) & 255, $_ & 255, ($_ >> 24) & 255 for splice @v, 0, $w * $h;
        }' "$WORK"
    for size in 16 32 48 64; do
        rsvg-convert -w $size -h $size "$PACKAGING/boneyard.svg" -o "$WORK/svg$size.png" &&
            off=$(compare -metric AE -fuzz 15% "$WORK/icon$size.pam" "$WORK/svg$size.png" null: 2>&1) &&
            [ "${off%.*}" -le $((size * size / 100)) ] || { fail "the ${size}-pixel icon: ${off:-none}"; continue; }
        echo "-- the ${size}-pixel icon: $off pixels off from the SVG's"
    done

    press q
    xdotool windowunmap --sync "$WINDOW"; sleep 1
    ticks=$(cpu_ticks) started=$(date +%s%N)
    sleep 5
    # Thousandths of a percent of one core.
    percent=$((($(cpu_ticks) - ticks) * 100000000 / $(getconf CLK_TCK) / (($(date +%s%N) - started) / 1000000)))
    echo "-- hidden for 5 s: $((percent / 1000)).$(printf %03d $((percent % 1000))) % of a core"
    [ "$percent" -lt $((HIDDEN_CPU_LIMIT * 1000)) ] || fail "hidden: $((percent / 1000)) % of a core, expected under $HIDDEN_CPU_LIMIT %"
    xdotool windowmap --sync "$WINDOW"
    more_frames 3 20 || fail "hidden: no frames after the window was mapped again"
    quit
}

rows=$(grep -E -e "$5" <<<"$ROWS") || die "no row matches \"$5\""
while read -r kind words; do
    # shellcheck disable=SC2086
    case $kind in
    args) args_row $words ;;
    signal) signal_row $words ;;
    window-manager) window_manager_row ;;
    esac
done <<<"$rows"
finish

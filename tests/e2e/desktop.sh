#!/usr/bin/env bash
# The game as a desktop program, one table, a row per case (each function says what it checks;
# the README's Tests section says it in prose). Full screen is game_mode.sh's, on Xorg.
# Usage: desktop.sh BONEYARD FRAME_SHIM DATA_DIR PACKAGING_DIR ROW_PATTERN (an ERE on the rows)
BONEYARD=$1 FRAME_SHIM=$2 DATA=$3 PACKAGING=$4
. "$(dirname "$0")/lib.sh" || exit 1
ROWS='
args --help
args --version
args --bogus
args yard
args -geometry
args -geometry 0x0
args --
args -display :4999
signal TERM unmapped
signal HUP ignored
keys
window-manager'

e2e_setup xprop perl rsvg-convert

# The command line alone, with no display (a game that would open a window ends with 1 instead),
# in the data folder; compared as "STATUS STDOUT STDERR", each with its lines ended by "|".
args_row() {
    local got want
    got="$(cd "$DATA" && env -u DISPLAY timeout 10 "$BONEYARD" "$@" >"$WORK/out" 2>"$WORK/err"; echo $?)"
    got+=" $(tr '\n' '|' <"$WORK/out") $(tr '\n' '|' <"$WORK/err")"
    case $1 in
    --help) want="0 Usage: boneyard*'man boneyard'*| " ;;
    --version) want="0 boneyard 1.0.0| " ;;
    --) want="1  boneyard: cannot open a display: DISPLAY is not set|" ;;
    -display) want="1  boneyard: cannot open display \"$2\"|" ;;
    *) want="2  boneyard: +([!|])'${!#}'*([!|])|Try 'boneyard --help'.|" ;;
    esac
    # shellcheck disable=SC2053
    [[ $got == $want ]] || fail "$*: \"$got\", expected \"$want\""
    echo "-- $*: ${got:0:100}"
    [ "${want:0:1}" = 0 ] || return
    # What was asked for and could not be written is a failure, said on stderr.
    got="$(cd "$DATA" && env -u DISPLAY timeout 10 "$BONEYARD" "$@" >/dev/full 2>"$WORK/err"; echo $?) $(<"$WORK/err")"
    [[ $got == "1 boneyard: cannot write to standard output: "* ]] || fail "$* >/dev/full: \"$got\""
}

# A game whose window was never mapped (GLUT waits for the map) ends by the signal within a
# second, 128 + n; a SIGHUP ignored from the start (nohup) stays ignored.
signal_row() {
    local GAME_ENV=() GAME_PREFIX=() row="SIG$1 ($2)"
    if [ "$2" = unmapped ]; then
        GAME_ENV=(BONEYARD_NEVER_MAP=1)
        start_game "$(fresh_run_dir "$DATA")"
        within 20 test -s "$WORK/map.log" && sleep 0.5 && end_game "$1" "$row" || fail "$row: no map asked for"
    else  # ignored from the start, as under nohup
        GAME_PREFIX=(env --ignore-signal="$1")
        start_playing "$(fresh_run_dir "$DATA")" || return
        kill -s "$1" "$GAME_PID"
        more_frames 3 20 || fail "$row: no frames after it"
        end_game Escape "$row"
    fi
}

# Real keys through the X server: "q" starts the countdown (its field changes within 1.6 s), "w"
# shows the help where the yard was (what each draws is the reference frames' to check), ESC.
keys_row() {
    local before after
    start_playing "$(fresh_run_dir "$DATA")" || return
    press q; sleep 0.5; shot "$WORK/run1.ppm"; sleep 1.6; shot "$WORK/run2.ppm"
    [ "$(changed_count "$WORK/run1.ppm" "$WORK/run2.ppm" 110 24 60 20)" -gt 10 ] || fail "keys: the time field stood still for 1.6 s"
    press w; sleep 0.5; shot "$WORK/help.ppm"
    before=$(white_count "$WORK/run2.ppm" 30 92 270 362) after=$(white_count "$WORK/help.ppm" 30 92 270 362)
    [ "$after" -gt 1500 ] && [ "$after" -gt $((before * 4)) ] || fail "keys: w: $after white pixels where help goes ($before before)"
    end_game Escape "keys: help with $after white pixels ($before before)"
}

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }  # all the game's threads, in clock ticks

# The window's identity, then 5 s unmapped during a game, mapped again, and hidden again.
window_manager_row() {
    local size off ticks percent
    start_playing "$(fresh_run_dir "$DATA")" || return
    xprop -id "$WINDOW" WM_CLASS _NET_WM_PID | tee "$WORK/xprop" | sed 's/^/-- xprop: /'
    [ "$(tr '\n' '|' <"$WORK/xprop")" = "WM_CLASS(STRING) = \"boneyard\", \"Boneyard\"|_NET_WM_PID(CARDINAL) = $GAME_PID|" ] ||
        fail "xprop: expected the class \"boneyard\", \"Boneyard\" and the pid $GAME_PID"
    grep -qx 'StartupWMClass=Boneyard' "$PACKAGING/boneyard.desktop" || fail "the menu entry's StartupWMClass is not Boneyard"
    named_at_map window-manager
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
    ticks=$(cpu_ticks); sleep 5
    percent=$((($(cpu_ticks) - ticks) * 200 / $(getconf CLK_TCK)))  # tenths of a percent of a core over 5 s
    echo "-- hidden for 5 s: $((percent / 10)).$((percent % 10)) % of a core"
    [ "$percent" -lt 50 ] || fail "hidden: $((percent / 10)) % of a core, expected under 5 %"
    xdotool windowmap --sync "$WINDOW"
    more_frames 3 20 || fail "hidden: no frames after the window was mapped again"
    xdotool windowunmap --sync "$WINDOW"; sleep 0.5
    end_game TERM "SIGTERM (hidden)"
}

rows=$(grep -E -e "$5" <<<"$ROWS") || die "no row matches \"$5\""
# shellcheck disable=SC2086
while read -r kind words; do "${kind//-/_}_row" $words; done <<<"$rows"
finish

#!/usr/bin/env bash
# Bad data files through the real game: a table of files, each with its faults and outcomes:
#   exit1  status 1 and one stderr line naming the file, the folder and why; no frame drawn, and
#          no window ever mapped (the test shim logs each map; the toolkit maps as it creates);
#   warn   frames drawn while keys play, one stderr line naming the file, status 0 on ESC;
#   quiet  the same with at most one such line. The six textures share one reader, as do the
#          two models: moon.bmp and car4x4.obj take every fault, the others are only missing.
# Usage: bad_data.sh BONEYARD FRAME_SHIM GOOD_DATA_DIR ROW_PATTERN (an ERE on the rows)
BONEYARD=$1 FRAME_SHIM=$2 GOOD_DATA=$3
. "$(dirname "$0")/lib.sh" || exit 1
ROWS='
moon.bmp               missing:exit1 folder:exit1 empty:exit1 truncated:exit1 garbage:exit1 huge:quiet
sides.bmp              missing:exit1
roof.bmp               missing:exit1
ground.bmp             missing:exit1
stones.bmp             missing:exit1
quorlinstarrynight.bmp missing:exit1 editor:quiet
walk.txt               missing:warn folder:warn empty:quiet truncated:quiet garbage:quiet huge:warn
car4x4.obj             missing:warn empty:quiet truncated:quiet garbage:quiet badindex:quiet huge:quiet
toy.obj                missing:warn'

# Puts fault $3 on the copy of file $2 in run folder $1.
damage() {
    local path=$1/$2 size=$(stat -c %s "$1/$2")
    case $3 in
        missing)   rm "$path" ;;
        folder)    rm "$path" && mkdir "$path" ;;
        empty)     : >"$path" ;;
        truncated) head -c $((size / 2 + 1)) "$GOOD_DATA/$2" >"$path" ;;  # mid-record; a BMP: 1 byte into a pixel
        garbage)   perl -e 'srand(14); print map { chr int rand 256 } 1 .. $ARGV[0]' "$size" >"$path" ;;
        # Faces naming no record (vertex, texture, normal), too many corners, too few; a bare vt.
        badindex)  printf 'f 0 0 0\nf -1 -2 -3\nf 99999 1 2\nf 1 2 4294967298\nf 1/99999/1 2//99999 3/-7/1\nf %s\nf 1 2\nf\nvt' \
                       "$(seq -s ' ' 20)" >>"$path" ;;
        # As an editor saves a picture (ImageMagick's convert): 32 bits, a 124-byte header, rows top-down (by hand).
        editor)    convert "$GOOD_DATA/$2" -flip -type TrueColorAlpha "BMP:$path" &&
                       printf '\x80\xff\xff\xff' | dd of="$path" bs=1 seek=22 conv=notrunc status=none || die "cannot make $2" ;;
        # 20 MiB of the file's text over and over, then a 1 MiB line.
        huge)      { yes -- "$(tr -d '\0' <"$path")" | head -c 20M; head -c 1M /dev/zero | tr '\0' 7; } >>"$path" ;;
    esac
}

e2e_setup perl

rows=$(grep -E -e "$4" <<<"$ROWS") || die "no row matches \"$4\""
while read -r file cells; do for cell in $cells; do
    fault=${cell%:*} outcome=${cell#*:} row="$file $fault" dir=$(fresh_run_dir "$GOOD_DATA")
    damage "$dir" "$file" "$fault"
    start_game "$dir"
    if [ "$outcome" = exit1 ]; then
        wait_exit 30; [ "$STATUS" -eq 1 ] && [ "$(frames)" -eq 0 ] || fail "$row: status $STATUS (124: hung), $(frames) frames drawn; expected 1, none"
        [ ! -s "$WORK/map.log" ] || fail "$row: a window was mapped"
        [[ $(stderr_lines) -eq 1 && $(<"$WORK/game.err") == "boneyard: cannot load texture \"$file\" from $dir: "?* ]] \
            || { fail "$row: expected one stderr line naming $file, $dir and the reason"; show_stderr; }
    else
        # Every drawing path over the damaged data: the props turned into view with shadows
        # on, a game with the dog walking and running (the walk cycle), blimp view, help.
        wait_window 60 && wait_frames 3 60 && press --repeat 10 minus 9 && press h && more_frames 3 60 &&
            press q && press --repeat 10 e && press r && press --repeat 10 d && press y w && more_frames 3 60 ||
            fail "$row: frames stopped at $(frames)"
        [ -s "$WORK/map.log" ] || fail "$row: the map log holds no window of a game that opened one"
        end_game Escape "$row" stderr-checked-below
        lines=$(stderr_lines) named=$(grep -cF "\"$file\"" "$WORK/game.err")
        [ "$lines" -eq "$named" ] && [ "$lines" -le 1 ] && { [ "$outcome" = quiet ] || [ "$lines" -eq 1 ]; } \
            || { fail "$row: stderr is not $outcome (warn: one line naming $file; quiet: none or that)"; show_stderr; }
    fi
    echo "-- $row ($(stat -c %s "$dir/$file" 2>/dev/null || echo no) bytes): status $STATUS, $(frames) frames, $(stderr_lines) stderr lines"
    rm -rf "$dir"
done; done <<<"$rows"
finish
